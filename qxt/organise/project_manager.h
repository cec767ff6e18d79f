// The project manager: a list of projects and, for each project, a list of its drawings, kept in
// fixed-record files in the base directory's "PROJECT" folder. QXProject edits both lists in one
// dialog and loads a chosen drawing into the host with the project's folders and the drawing's
// scale and layer set-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/export.h"
#include "core/list_file.h"
#include "core/pstring.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace qxt {

// One project of "projects.dat".
#pragma pack(push, 1)
struct ProjectRecord {
  PString<60> Name;  // shown in the list
  PString<8> Code;   // names the project's drawing list file (code + ".DAT")
  PString<250> DrawingsFolder;
  PString<250> ReferenceFolder;
  PString<250> Description;
};
// One drawing of a project's drawing list.
struct DrawingRecord {
  PString<250> Name;       // shown in the list
  PString<250> FileName;   // relative to the project's drawings folder
  PString<250> LayerFile;  // full path
  PString<20> BaseScale;   // as text
  PString<250> Description;
};
#pragma pack(pop)
static_assert(sizeof(ProjectRecord) == 823, "the project list's record size");
static_assert(sizeof(DrawingRecord) == 1025, "the drawing list's record size");

// The rest of a project record, owned by its list item (the name is the item's text). Fields are
// cut to their record's maxima when set.
class TProjectObject : public platform::ItemData {
 public:
  TProjectObject(std::string code, std::string drawingsFolder, std::string referenceFolder,
                 std::string description);
  std::string Code, DrawingsFolder, ReferenceFolder, Description;
};

// The rest of a drawing record, owned by its list item.
class TDrawingObject : public platform::ItemData {
 public:
  TDrawingObject(std::string fileName, std::string layerFile, std::string baseScale,
                 std::string description);
  std::string FileName, LayerFile, BaseScale, Description;
};

// The list files' contents as list items. Reading clears `list` first and adds every record read
// before a failure; the error is the system's description.
bool ReadProjectList(const std::string& path, platform::StringList& list, std::string& error);
bool ReadDrawingList(const std::string& path, platform::StringList& list, std::string& error);
// Writes the list in list order, the previous file kept as the ".BAK" file (see SaveListFile).
ListSaveResult WriteProjectList(const std::string& path, const platform::StringList& list,
                                std::string& error);
ListSaveResult WriteDrawingList(const std::string& path, const platform::StringList& list,
                                std::string& error);

// Points per unit for a drawing of base scale `scale` (greater than 0): the full-scale points
// per unit divided by the scale, adjusted for the host's unit type (foot: times 12, millimetre:
// a tenth, metre: times 100), each rounding to the nearest integer with halves to even. Nothing
// when the result is not a positive int32 (the host cannot work at such a scale).
std::optional<std::int32_t> ScaledPointsPerUnit(std::int32_t fullScale, double scale,
                                                std::uint16_t unitType);

class TdlgQXProject : public platform::Form {
 public:
  TdlgQXProject();

  platform::GroupBox& grpProjects;
  platform::ListBox& lbxProjects;
  platform::Label& lblProjectCode;
  platform::Memo& mmProjectCode;
  platform::Label& lblDrawingsFolder;
  platform::Memo& mmDrawingsFolder;
  platform::Label& lblRefFolder;
  platform::Memo& mmRefFolder;
  platform::Label& lblProjectDescription;
  platform::Memo& mmProjectDescription;
  platform::Button& btnProjectNew;
  platform::Button& btnProjectEdit;
  platform::Button& btnProjectDelete;
  platform::Button& btnProjectActive;

  platform::GroupBox& grpDrawings;
  platform::ListBox& lbxDrawings;
  platform::Label& lblVWFName;
  platform::Memo& mmVWFName;
  platform::Label& lblLYRName;
  platform::Memo& mmLYRName;
  platform::Label& lblBaseScale;
  platform::Memo& mmBaseScale;
  platform::Label& lblDrawingDescription;
  platform::Memo& mmDrawingDescription;
  platform::Button& btnDrawingNew;
  platform::Button& btnDrawingEdit;
  platform::Button& btnDrawingDelete;
  platform::Button& btnDrawingLoad;

  platform::Button& btnOK;
  platform::OpenDialog cmdlgTemplate;

  // The project list has changes not yet saved.
  bool ProjectsChanged = false;
  // The user asked to load the selected drawing.
  bool LoadRequested = false;
  // The project selected last (-1: none), kept in the configuration between starts.
  std::int32_t LastProjectIndex = -1;
  // The configuration's points per unit at full scale.
  std::int32_t FullScalePointsPerUnit = 768000;
  // The base directory and its "PROJECT" folder, as read when the command started.
  std::string BaseDir;
  std::string ProjectDir;

  bool LoadProjects();
  // Writes the project list; false (the error shown, the list still marked changed) when the
  // save failed.
  bool SaveProjects();
  bool LoadDrawings(const std::string& path);
  // Writes the drawing list shown; false (the error shown) when the save failed.
  bool SaveDrawings(const std::string& path);

  void UpdateProject();
  void UpdateDrawings();
  void btnProjectNewClick();
  void btnProjectEditClick();
  void btnProjectDeleteClick();
  void btnProjectActiveClick();
  void btnDrawingNewClick();
  void btnDrawingEditClick();
  void btnDrawingDeleteClick();
  void btnDrawingLoadClick();
  // Asks whether to save a changed project list. The dialog stays open (and a pending load
  // request ends) when the drafter cancels or the save fails.
  void FormCloseQuery(bool& canClose);
  // Loads the selected drawing into the host; run after the dialog has closed.
  void LoadDrawing();

  // The selected project's drawing list file, "" with no project selected.
  std::string DrawingListPath() const;

 private:
  // Makes `project` the remembered one and LastProjectIndex its place in the list.
  void Remember(const TProjectObject* project);
  // Saves the drawing list shown (the selected project's). When that fails the list shown is
  // the only copy of the change: it is saved again before another list replaces it.
  void SaveShownDrawings();
  // Saves again a drawing list whose save failed. False when it is still unsaved: then its
  // project is selected again and the list shown must stay.
  bool UnsavedDrawingsSaved();
  // Forgets a project about to be deleted: the project selected before it is remembered again,
  // at its place in the list without the deleted one (none when there was no other).
  void Forget(const TProjectObject* project);
  TProjectObject* SelectedProject() const;
  TDrawingObject* SelectedDrawing() const;
  void MakeActive(const std::string& drawingsFolder, const std::string& referenceFolder);
  platform::MsgResult Ask(const std::string& text, const std::string& caption,
                          platform::MsgButtons buttons);

  // The projects selected in this run, the last selected at the back (each once): the
  // remembered project is followed as the list changes around it, not by its old place.
  std::vector<const TProjectObject*> selected_;
  // The project whose drawing list is shown but could not be saved; null when none.
  const TProjectObject* unsavedDrawings_ = nullptr;
};

}  // namespace qxt

// The project manager command.
QXT_EXPORT void QXProject();
