// The reference command: a library of reference objects (a host symbol such as a section mark or
// a detail key, with up to three annotation texts beside it), kept in "QXREF.DAT" in the
// reference folder under the base directory. The user defines an object by picking a symbol
// instance and its texts in the drawing, and places it any number of times: the symbol and its
// texts follow the cursor, a click asks for the texts' contents and creates the symbol instance
// and the texts with the chosen rotation, mirroring and layers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/export.h"
#include "organise/reference_file.h"
#include "platform/forms.h"

QXT_EXPORT void QXReference();

namespace qxt {

// The modal result of the manager's New button.
inline constexpr int kRefManagerNew = 100;

inline constexpr const char* kRefManagerMessage = "Select a reference object to place..";
inline constexpr const char* kRefDefinedMessage = "Select an object from the list...";
inline constexpr const char* kSelectSymbolPrompt = "Select the reference symbol...";
inline constexpr const char* kPlacePrompt = "Place reference object, or B2 to change settings...";
inline constexpr const char* kAnnotationCaption = "Enter Annotation";
inline constexpr const char* kPreviewNotAvailable = "Preview not available";
inline constexpr const char* kNewObjectName = "New reference object";
inline constexpr const char* kPreviewSaveError =
    "An error occurred saving the preview bitmap.  A preview image\r\n"
    "will not be available for this reference object";
inline constexpr const char* kPreviewLoadWarning =
    "An error occurred attempting to load the preview image.";
inline constexpr const char* kSelectFirstWarning =
    "You must first select a reference object from the list.";
inline constexpr const char* kSelectToPlaceWarning = "You must select an object from the list.";
inline constexpr const char* kDeleteQuestion =
    "Are you sure you want to delete the selected object?";
inline constexpr const char* kCloseUnsavedQuestion =
    "The reference objects could not be saved.  Close QX Reference anyway?\r\n"
    "The changes stay in the list until Tracelon closes and are saved when QX Reference is "
    "next closed.";

// "The symbol name NAME is too long (at most 13 characters)."
std::string SymbolNameTooLong(const std::string& name);

// "Select annotation item N, B2 when done".
std::string AnnotationPickPrompt(int n);

// The drawing background colour of the host's ini value ("R G B", three whole numbers from 0 to
// 255 separated by single spaces). False when the value is not of that form.
bool ParseIniColour(const std::string& value, platform::Color& colour);

class TdlgQXReference : public platform::Form {
 public:
  TdlgQXReference();

  platform::Label& lblNames;
  platform::ListBox& lbxNames;
  platform::Label& lblPreview;
  platform::Panel& pnlPreview;
  platform::Image& imgPreview;
  platform::Button& btnNew;
  platform::Button& btnEdit;
  platform::Button& btnDelete;
  platform::Button& btnPlace;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // Unsaved changes to the list: set by defining, editing and deleting, cleared only by a save
  // that succeeded. While it is set the list is newer than the file and is not read over.
  bool RefsChanged = false;

  // The reference folder: the base directory joined with "REF".
  static std::string RefDir();

  // Reads "QXREF.DAT" into the list (replacing what it held). False, with the error shown, when
  // the file cannot be read to its end; records that cannot be trusted are left out with a
  // warning.
  bool LoadRefObjects();
  // Writes the list, or deletes the file when the list is empty; errors are shown. A file that
  // held unreadable records is kept as QXREF.BAK. Preview pictures of deleted objects are
  // removed once the list is saved. False when the save failed: the list stays marked changed.
  bool SaveRefObjects();
  // Shows the selected object's preview and enables Edit and Delete when one is selected.
  void UpdateRefObject();
  // Defines a new object from a symbol instance and up to three texts picked in the drawing.
  void DefineRefObject();
  // Places the selected object until the user stops. True when the manager should show again.
  bool PlaceRefObject();

  void lbxNamesDblClick(platform::Control& sender);
  void btnEditClick(platform::Control& sender);
  void btnDeleteClick(platform::Control& sender);

  // The selected object, or null.
  TRefObject* Selected() const;
  // A malformed ini colour found when the dialog was made, reported (once) by the next run of
  // the command; empty when there was none.
  void ReportColourProblem();

 private:
  void ReadPreviewColour();
  void SelectObject(const TRefObject* object);

  std::string colourProblem_;
  // The file read held records that could not be read: it is kept whole as the backup.
  bool keepReadFile_ = false;
  // Preview pictures of deleted objects, removed when the list without them is saved.
  std::vector<std::string> deletedPreviews_;
};

}  // namespace qxt
