#include "organise/project_manager.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "core/command.h"
#include "core/exports.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "organise/drawing_dialog.h"
#include "organise/file_copy.h"
#include "organise/project_dialog.h"
#include "platform/files.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 123;
constexpr const char* kCaption = "QX Project";
constexpr const char* kNoProjectHint = "Press \"New\" to add a project.";
constexpr const char* kUnsavedDrawingsQuestion =
    "The drawing list could not be saved.  Close anyway and lose the changes to it?";
// The host command that brings the drawing's display up to a changed scale.
constexpr std::int16_t kRescaleCommand = 1811;
// The longest path the host takes in a file name (its buffers hold 256 bytes with the zero).
constexpr std::size_t kHostPathChars = HSI_PATH_SIZE - 1;

std::string Cut(std::string text, std::size_t maxLength) {
  if (text.size() > maxLength) text.resize(maxLength);
  return text;
}

std::string Text(const char* chars, std::size_t size) {
  return std::string(chars, strnlen(chars, size));
}

// Layout: the two groups side by side, the Close button below.
constexpr int kGroupWidth = 300;
constexpr int kGroupHeight = 400;
constexpr int kListHeight = 120;
constexpr int kFieldHeight = 40;

platform::Button& MakeButton(platform::Form& form, platform::Control* parent, const char* name,
                             const char* caption, const char* hint, int index) {
  platform::Button& button = form.Add<platform::Button>(name, parent);
  button.SetCaption(caption);
  button.hint = hint;
  button.SetBounds(8 + index * 72, kGroupHeight - 35, 66, 25);
  return button;
}

platform::Label& FieldLabel(platform::Form& form, platform::Control* parent, const char* name,
                            const char* caption, int row) {
  platform::Label& label = form.Add<platform::Label>(name, parent);
  label.SetCaption(caption);
  label.SetBounds(8, 24 + kListHeight + 4 + row * (kFieldHeight + 6), 100, 16);
  return label;
}

platform::Memo& Display(platform::Form& form, platform::Control* parent, const char* name,
                        int row) {
  platform::Memo& memo = form.Add<platform::Memo>(name, parent);
  memo.readOnly = true;
  memo.color = platform::colors::ButtonFace;
  memo.SetBounds(110, 24 + kListHeight + row * (kFieldHeight + 6), kGroupWidth - 118, kFieldHeight);
  return memo;
}

platform::ListBox& List(platform::Form& form, platform::Control* parent, const char* name,
                        const char* hint) {
  platform::ListBox& list = form.Add<platform::ListBox>(name, parent);
  list.items.sorted = true;
  list.hint = hint;
  list.SetBounds(8, 20, kGroupWidth - 16, kListHeight);
  return list;
}

platform::GroupBox& Group(platform::Form& form, const char* name, const char* caption, int index) {
  platform::GroupBox& group = form.Add<platform::GroupBox>(name);
  group.SetCaption(caption);
  group.SetBounds(8 + index * (kGroupWidth + 8), 8, kGroupWidth, kGroupHeight);
  return group;
}

// Saves the list items as records, in list order; `fill` stores one item in its record.
template <typename Record, typename Fill>
ListSaveResult WriteList(const std::string& path, const platform::StringList& list, Fill fill,
                         std::string& error) {
  return SaveListFile(
      path, BackupPath(path), static_cast<std::size_t>(list.Count()), sizeof(Record),
      [&list, &fill](std::size_t index, unsigned char* bytes) {
        Record record;
        std::memset(&record, 0, sizeof record);
        const int i = static_cast<int>(index);
        fill(record, list[i], list.Object(i));
        std::memcpy(bytes, &record, sizeof record);
      },
      error);
}

std::string ProjectListPath(const std::string& projectDir) {
  return platform::JoinPath(projectDir, "projects.dat");
}

}  // namespace

// ---- Records and lists ----

TProjectObject::TProjectObject(std::string code, std::string drawingsFolder,
                               std::string referenceFolder, std::string description)
    : Code(Cut(std::move(code), decltype(ProjectRecord::Code)::kMaxLength)),
      DrawingsFolder(
          Cut(std::move(drawingsFolder), decltype(ProjectRecord::DrawingsFolder)::kMaxLength)),
      ReferenceFolder(
          Cut(std::move(referenceFolder), decltype(ProjectRecord::ReferenceFolder)::kMaxLength)),
      Description(Cut(std::move(description), decltype(ProjectRecord::Description)::kMaxLength)) {}

TDrawingObject::TDrawingObject(std::string fileName, std::string layerFile, std::string baseScale,
                               std::string description)
    : FileName(Cut(std::move(fileName), decltype(DrawingRecord::FileName)::kMaxLength)),
      LayerFile(Cut(std::move(layerFile), decltype(DrawingRecord::LayerFile)::kMaxLength)),
      BaseScale(Cut(std::move(baseScale), decltype(DrawingRecord::BaseScale)::kMaxLength)),
      Description(Cut(std::move(description), decltype(DrawingRecord::Description)::kMaxLength)) {}

namespace {

// Items read from a list file, to be put into a sorted list in one go.
struct ReadItem {
  std::string key;  // the name in lower case: sorted lists ignore case
  std::string name;
  std::unique_ptr<platform::ItemData> object;
};

// Puts the items into the list in the order a sorted list would give them one by one (by name
// without regard to case, equal names in file order), without inserting into the middle of the
// list each time: a long list loads in one sort.
void Fill(platform::StringList& list, std::vector<ReadItem>& items) {
  std::vector<std::size_t> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (list.sorted) {
    std::stable_sort(order.begin(), order.end(), [&items](std::size_t a, std::size_t b) {
      return items[a].key < items[b].key;
    });
  }
  const bool sorted = list.sorted;
  list.sorted = false;
  for (std::size_t i : order) list.Add(items[i].name, std::move(items[i].object));
  list.sorted = sorted;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

template <typename Record, typename MakeObject>
bool ReadList(const std::string& path, platform::StringList& list, std::string& error,
              MakeObject makeObject) {
  list.Clear();
  std::vector<ReadItem> items;
  items.reserve(platform::FileSizeOf(path).value_or(0) / sizeof(Record));
  const bool whole = LoadListFile(
      path, sizeof(Record),
      [&items, &makeObject](const unsigned char* bytes) {
        Record record;
        std::memcpy(&record, bytes, sizeof record);
        std::string name = record.Name.Get();
        std::string key = Lower(name);
        items.push_back(ReadItem{std::move(key), std::move(name), makeObject(record)});
      },
      error);
  // Whatever was read before a failure is listed.
  Fill(list, items);
  return whole;
}

}  // namespace

bool ReadProjectList(const std::string& path, platform::StringList& list, std::string& error) {
  return ReadList<ProjectRecord>(path, list, error, [](const ProjectRecord& record) {
    return std::make_unique<TProjectObject>(record.Code.Get(), record.DrawingsFolder.Get(),
                                            record.ReferenceFolder.Get(), record.Description.Get());
  });
}

bool ReadDrawingList(const std::string& path, platform::StringList& list, std::string& error) {
  return ReadList<DrawingRecord>(path, list, error, [](const DrawingRecord& record) {
    return std::make_unique<TDrawingObject>(record.FileName.Get(), record.LayerFile.Get(),
                                            record.BaseScale.Get(), record.Description.Get());
  });
}

ListSaveResult WriteProjectList(const std::string& path, const platform::StringList& list,
                                std::string& error) {
  return WriteList<ProjectRecord>(
      path, list,
      [](ProjectRecord& record, const std::string& name, platform::ItemData* data) {
        record.Name.Set(name);
        if (const auto* project = dynamic_cast<const TProjectObject*>(data)) {
          record.Code.Set(project->Code);
          record.DrawingsFolder.Set(project->DrawingsFolder);
          record.ReferenceFolder.Set(project->ReferenceFolder);
          record.Description.Set(project->Description);
        }
      },
      error);
}

ListSaveResult WriteDrawingList(const std::string& path, const platform::StringList& list,
                                std::string& error) {
  return WriteList<DrawingRecord>(
      path, list,
      [](DrawingRecord& record, const std::string& name, platform::ItemData* data) {
        record.Name.Set(name);
        if (const auto* drawing = dynamic_cast<const TDrawingObject*>(data)) {
          record.FileName.Set(drawing->FileName);
          record.LayerFile.Set(drawing->LayerFile);
          record.BaseScale.Set(drawing->BaseScale);
          record.Description.Set(drawing->Description);
        }
      },
      error);
}

std::optional<std::int32_t> ScaledPointsPerUnit(std::int32_t fullScale, double scale,
                                                std::uint16_t unitType) {
  // nearbyint rounds halves to even in the default rounding mode.
  double points = std::nearbyint(static_cast<double>(fullScale) / scale);
  switch (unitType) {
    case HSI_UNIT_FEET:
      points *= 12;
      break;
    case HSI_UNIT_MILLIMETRES:
      points = std::nearbyint(points / 10);
      break;
    case HSI_UNIT_METRES:
      points *= 100;
      break;
    default:
      break;
  }
  if (!(points >= 1 && points <= std::numeric_limits<std::int32_t>::max())) return std::nullopt;
  return static_cast<std::int32_t>(points);
}

// ---- The dialog ----

TdlgQXProject::TdlgQXProject()
    : platform::Form("TdlgQXProject", kCaption),
      grpProjects(Group(*this, "grpProjects", "&Projects", 0)),
      lbxProjects(
          List(*this, &grpProjects, "lbxProjects", "Select a project to work with from the list")),
      lblProjectCode(FieldLabel(*this, &grpProjects, "lblProjectCode", "Project Code:", 0)),
      mmProjectCode(Display(*this, &grpProjects, "mmProjectCode", 0)),
      lblDrawingsFolder(
          FieldLabel(*this, &grpProjects, "lblDrawingsFolder", "Drawings Folder:", 1)),
      mmDrawingsFolder(Display(*this, &grpProjects, "mmDrawingsFolder", 1)),
      lblRefFolder(FieldLabel(*this, &grpProjects, "lblRefFolder", "Reference Folder:", 2)),
      mmRefFolder(Display(*this, &grpProjects, "mmRefFolder", 2)),
      lblProjectDescription(
          FieldLabel(*this, &grpProjects, "lblProjectDescription", "Description:", 3)),
      mmProjectDescription(Display(*this, &grpProjects, "mmProjectDescription", 3)),
      btnProjectNew(
          MakeButton(*this, &grpProjects, "btnProjectNew", "&New", "Set up a new project", 0)),
      btnProjectEdit(MakeButton(*this, &grpProjects, "btnProjectEdit", "&Edit",
                                "Edit the currently selected project", 1)),
      btnProjectDelete(MakeButton(*this, &grpProjects, "btnProjectDelete", "&Delete",
                                  "Delete the currently selected project", 2)),
      btnProjectActive(MakeButton(*this, &grpProjects, "btnProjectActive", "&Active",
                                  "Setup Tracelon directories for selected project", 3)),
      grpDrawings(Group(*this, "grpDrawings", "&Drawings", 1)),
      lbxDrawings(
          List(*this, &grpDrawings, "lbxDrawings", "Select a drawing to work with from the list")),
      lblVWFName(FieldLabel(*this, &grpDrawings, "lblVWFName", "VWF Filename:", 0)),
      mmVWFName(Display(*this, &grpDrawings, "mmVWFName", 0)),
      lblLYRName(FieldLabel(*this, &grpDrawings, "lblLYRName", "Layer File:", 1)),
      mmLYRName(Display(*this, &grpDrawings, "mmLYRName", 1)),
      lblBaseScale(FieldLabel(*this, &grpDrawings, "lblBaseScale", "Base Scale:", 2)),
      mmBaseScale(Display(*this, &grpDrawings, "mmBaseScale", 2)),
      lblDrawingDescription(
          FieldLabel(*this, &grpDrawings, "lblDrawingDescription", "Description:", 3)),
      mmDrawingDescription(Display(*this, &grpDrawings, "mmDrawingDescription", 3)),
      btnDrawingNew(
          MakeButton(*this, &grpDrawings, "btnDrawingNew", "&New", "Set up a new drawing", 0)),
      btnDrawingEdit(MakeButton(*this, &grpDrawings, "btnDrawingEdit", "&Edit",
                                "Edit the current drawing", 1)),
      btnDrawingDelete(MakeButton(*this, &grpDrawings, "btnDrawingDelete", "&Delete",
                                  "Delete the current drawing", 2)),
      btnDrawingLoad(MakeButton(*this, &grpDrawings, "btnDrawingLoad", "&Load",
                                "Load the selected drawing into Tracelon", 3)),
      btnOK(Add<platform::Button>("btnOK")) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  showHint = true;
  btnOK.SetCaption("Close");
  btnOK.modalResult = platform::ModalResult::OK;
  btnOK.isDefault = true;
  btnOK.SetBounds(2 * kGroupWidth + 24 - 83, kGroupHeight + 16, 75, 25);
  SetClientWidth(2 * kGroupWidth + 24);
  SetClientHeight(kGroupHeight + 49);

  cmdlgTemplate.title = "Select a drawing template";
  cmdlgTemplate.filter = "Tracelon drawings|*.vwf";
  cmdlgTemplate.defaultExt = "VWF";
  cmdlgTemplate.fileMustExist = true;

  OnShow = [this](platform::Form&) { UpdateProject(); };
  OnCloseQuery = [this](platform::Form&, bool& canClose) { FormCloseQuery(canClose); };
  lbxProjects.OnClick = [this](platform::Control&) { UpdateProject(); };
  lbxProjects.OnDblClick = [this](platform::Control&) { btnProjectEditClick(); };
  lbxDrawings.OnClick = [this](platform::Control&) { UpdateDrawings(); };
  lbxDrawings.OnDblClick = [this](platform::Control&) { btnDrawingLoadClick(); };
  btnProjectNew.OnClick = [this](platform::Control&) { btnProjectNewClick(); };
  btnProjectEdit.OnClick = [this](platform::Control&) { btnProjectEditClick(); };
  btnProjectDelete.OnClick = [this](platform::Control&) { btnProjectDeleteClick(); };
  btnProjectActive.OnClick = [this](platform::Control&) { btnProjectActiveClick(); };
  btnDrawingNew.OnClick = [this](platform::Control&) { btnDrawingNewClick(); };
  btnDrawingEdit.OnClick = [this](platform::Control&) { btnDrawingEditClick(); };
  btnDrawingDelete.OnClick = [this](platform::Control&) { btnDrawingDeleteClick(); };
  btnDrawingLoad.OnClick = [this](platform::Control&) { btnDrawingLoadClick(); };
}

TProjectObject* TdlgQXProject::SelectedProject() const {
  const int index = lbxProjects.ItemIndex();
  return index < 0 ? nullptr : lbxProjects.items.ObjectAs<TProjectObject>(index);
}

TDrawingObject* TdlgQXProject::SelectedDrawing() const {
  const int index = lbxDrawings.ItemIndex();
  return index < 0 ? nullptr : lbxDrawings.items.ObjectAs<TDrawingObject>(index);
}

std::string TdlgQXProject::DrawingListPath() const {
  const TProjectObject* project = SelectedProject();
  return project ? platform::JoinPath(ProjectDir, project->Code + ".DAT") : "";
}

platform::MsgResult TdlgQXProject::Ask(const std::string& text, const std::string& caption,
                                       platform::MsgButtons buttons) {
  return platform::MessageBox(text, caption, platform::MsgIcon::Question, buttons, this);
}

bool TdlgQXProject::LoadProjects() {
  selected_.clear();
  unsavedDrawings_ = nullptr;
  lbxProjects.ClearItems();
  std::string error;
  if (ReadProjectList(ProjectListPath(ProjectDir), lbxProjects.items, error)) {
    // The list is the file's again: changes not saved before are gone, not pending.
    ProjectsChanged = false;
    return true;
  }
  ShowError("The following error occurred opening/reading " + ProjectDir +
            "\\PROJECTS.DAT:" + "\r\n" + error);
  return false;
}

bool TdlgQXProject::SaveProjects() {
  std::string error;
  switch (WriteProjectList(ProjectListPath(ProjectDir), lbxProjects.items, error)) {
    case ListSaveResult::Written:
      ProjectsChanged = false;
      return true;
    case ListSaveResult::Empty:
      return true;
    case ListSaveResult::Failed:
      break;
  }
  ShowError("The following error occurred opening/writing to " + ProjectDir +
            "\\PROJECTS.DAT:" + "\r\n" + error);
  return false;
}

bool TdlgQXProject::LoadDrawings(const std::string& path) {
  lbxDrawings.ClearItems();
  std::string error;
  if (ReadDrawingList(path, lbxDrawings.items, error)) return true;
  ShowError("The following error occurred opening/reading " + path + ":" + "\r\n" + error);
  return false;
}

bool TdlgQXProject::SaveDrawings(const std::string& path) {
  std::string error;
  if (WriteDrawingList(path, lbxDrawings.items, error) != ListSaveResult::Failed) return true;
  ShowError("The following error occurred opening/writing to " + path + ":" + "\r\n" + error);
  return false;
}

void TdlgQXProject::SaveShownDrawings() {
  unsavedDrawings_ = SaveDrawings(DrawingListPath()) ? nullptr : SelectedProject();
}

bool TdlgQXProject::UnsavedDrawingsSaved() {
  if (unsavedDrawings_ == nullptr) return true;
  if (SaveDrawings(platform::JoinPath(ProjectDir, unsavedDrawings_->Code + ".DAT"))) {
    unsavedDrawings_ = nullptr;
    return true;
  }
  for (int i = 0; i < lbxProjects.items.Count(); ++i) {
    if (lbxProjects.items.Object(i) == unsavedDrawings_) lbxProjects.SetItemIndex(i);
  }
  return false;
}

void TdlgQXProject::UpdateProject() {
  // A drawing list that could not be saved is not replaced by another one, or read over.
  if (!UnsavedDrawingsSaved()) return;
  const TProjectObject* project = SelectedProject();
  if (project == nullptr) {
    for (platform::Memo* field :
         {&mmProjectCode, &mmDrawingsFolder, &mmRefFolder, &mmProjectDescription})
      field->SetText("");
    mmDrawingsFolder.hint = kNoProjectHint;
    mmRefFolder.hint = kNoProjectHint;
    grpDrawings.Hide();
    for (platform::Button* button : {&btnProjectEdit, &btnProjectDelete, &btnProjectActive})
      button->SetEnabled(false);
    return;
  }
  Remember(project);
  mmProjectCode.SetText(project->Code);
  mmDrawingsFolder.SetText(project->DrawingsFolder);
  mmDrawingsFolder.hint = project->DrawingsFolder;
  mmRefFolder.SetText(project->ReferenceFolder);
  mmRefFolder.hint = project->ReferenceFolder;
  mmProjectDescription.SetText(project->Description);
  for (platform::Button* button : {&btnProjectEdit, &btnProjectDelete, &btnProjectActive})
    button->SetEnabled(true);
  grpDrawings.Show();

  const std::string listPath = DrawingListPath();
  if (platform::FileExists(listPath)) {
    LoadDrawings(listPath);
    if (lbxDrawings.items.Count() > 0) lbxDrawings.SetItemIndex(0);
    UpdateDrawings();
  } else {
    lbxDrawings.ClearItems();
    UpdateDrawings();
  }
}

void TdlgQXProject::Remember(const TProjectObject* project) {
  std::erase(selected_, project);
  selected_.push_back(project);
  LastProjectIndex = lbxProjects.ItemIndex();
}

void TdlgQXProject::Forget(const TProjectObject* project) {
  // The deleted project's drawing list is left as it is on disk.
  if (unsavedDrawings_ == project) unsavedDrawings_ = nullptr;
  std::erase(selected_, project);
  LastProjectIndex = -1;
  if (selected_.empty()) return;
  int deleted = -1;
  int remembered = -1;
  for (int i = 0; i < lbxProjects.items.Count(); ++i) {
    if (lbxProjects.items.Object(i) == project) deleted = i;
    if (lbxProjects.items.Object(i) == selected_.back()) remembered = i;
  }
  // Its place once the deleted project has gone from the list.
  if (remembered >= 0) LastProjectIndex = remembered > deleted ? remembered - 1 : remembered;
}

void TdlgQXProject::UpdateDrawings() {
  const TDrawingObject* drawing = SelectedDrawing();
  for (platform::Button* button : {&btnDrawingEdit, &btnDrawingDelete, &btnDrawingLoad})
    button->SetEnabled(drawing != nullptr);
  mmVWFName.SetText(drawing ? drawing->FileName : "");
  mmLYRName.SetText(drawing ? drawing->LayerFile : "");
  mmBaseScale.SetText(drawing ? drawing->BaseScale : "");
  mmDrawingDescription.SetText(drawing ? drawing->Description : "");
}

void TdlgQXProject::btnProjectNewClick() {
  char drawings[HSI_PATH_SIZE] = {};
  char references[HSI_PATH_SIZE] = {};
  HsiGetPaths(drawings, HSI_PATH_DRAWINGS, 0);
  HsiGetPaths(references, HSI_PATH_REFERENCES, 0);
  TdlgEditProject& edit = *State().forms->dlgEditProject;
  edit.Prepare("New Project", "New project", "", Text(drawings, sizeof drawings),
               Text(references, sizeof references), "");
  if (edit.ShowModal() != platform::ModalResult::OK) return;
  const int index = lbxProjects.items.Add(
      Cut(edit.txtProjectName.Text(), decltype(ProjectRecord::Name)::kMaxLength),
      std::make_unique<TProjectObject>(edit.txtProjectCode.Text(), edit.txtDrawings.Text(),
                                       edit.txtReference.Text(), edit.mmProjectDescription.Text()));
  ProjectsChanged = true;
  lbxProjects.SetItemIndex(index);
  UpdateProject();
}

void TdlgQXProject::btnProjectEditClick() {
  const int index = lbxProjects.ItemIndex();
  TProjectObject* project = SelectedProject();
  if (project == nullptr) return;
  TdlgEditProject& edit = *State().forms->dlgEditProject;
  edit.Prepare("Edit Project", lbxProjects.items[index], project->Code, project->DrawingsFolder,
               project->ReferenceFolder, project->Description, project);
  if (edit.ShowModal() != platform::ModalResult::OK) return;
  *project = TProjectObject(edit.txtProjectCode.Text(), edit.txtDrawings.Text(),
                            edit.txtReference.Text(), edit.mmProjectDescription.Text());
  lbxProjects.items.Set(index,
                        Cut(edit.txtProjectName.Text(), decltype(ProjectRecord::Name)::kMaxLength));
  ProjectsChanged = true;
  // A new name moves the item to its place in the sorted list: the edited project stays selected.
  for (int i = 0; i < lbxProjects.items.Count(); ++i) {
    if (lbxProjects.items.Object(i) == project) lbxProjects.SetItemIndex(i);
  }
  UpdateProject();
}

void TdlgQXProject::btnProjectDeleteClick() {
  const int index = lbxProjects.ItemIndex();
  if (index < 0) return;
  if (Ask("Are you sure you want to delete the selected project?", kCaption,
          platform::MsgButtons::YesNo) != platform::MsgResult::Yes)
    return;
  Forget(SelectedProject());
  lbxProjects.DeleteItem(index);
  lbxProjects.SetItemIndex(-1);
  ProjectsChanged = true;
  UpdateProject();
}

void TdlgQXProject::MakeActive(const std::string& drawingsFolder,
                               const std::string& referenceFolder) {
  for (std::int16_t kind :
       {HSI_PATH_DRAWINGS, HSI_PATH_SYMBOLS, HSI_PATH_PLOTS, HSI_PATH_BACKUPS, HSI_PATH_EXPORTS})
    HsiSetPaths(drawingsFolder.c_str(), kind, 0);
  for (std::int16_t kind : {HSI_PATH_REFERENCES, HSI_PATH_REFERENCE_LAYERS})
    HsiSetPaths(referenceFolder.c_str(), kind, 0);
}

void TdlgQXProject::btnProjectActiveClick() {
  const TProjectObject* project = SelectedProject();
  if (project) MakeActive(project->DrawingsFolder, project->ReferenceFolder);
}

void TdlgQXProject::btnDrawingNewClick() {
  const TProjectObject* project = SelectedProject();
  if (project == nullptr) return;
  HsiDrawingInfo info;
  std::memset(&info, 0, sizeof info);
  HsiGetDwgInfo(&info);
  const double hostScale = HsiGetDwgScale();
  const std::string hostName = Text(info.name, sizeof info.name);
  TdlgEditDrawings& edit = *State().forms->dlgEditDrawings;
  edit.Prepare("New Drawing", "New drawing", hostName.empty() ? "UNTITLED.VWF" : hostName + ".VWF",
               "", RealToText(hostScale), Text(info.description, sizeof info.description));
  if (edit.ShowModal() != platform::ModalResult::OK) return;

  const int index = lbxDrawings.items.Add(
      Cut(edit.txtDrawingName.Text(), decltype(DrawingRecord::Name)::kMaxLength),
      std::make_unique<TDrawingObject>(edit.txtVWFName.Text(), edit.txtLYRName.Text(),
                                       edit.txtBaseScale.Text(), edit.mmDescription.Text()));
  SaveShownDrawings();
  lbxDrawings.SetItemIndex(index);
  UpdateDrawings();

  const std::string path = platform::JoinPath(project->DrawingsFolder, SelectedDrawing()->FileName);
  if (platform::FileExists(path)) return;
  if (Ask("The new drawing does not exist.  Do you want to create one from a template?", "QX Tools",
          platform::MsgButtons::YesNo) != platform::MsgResult::Yes)
    return;
  const std::string templates = platform::JoinPath(BaseDir, "template");
  if (!platform::DirectoryExists(templates)) platform::ForceDirectories(templates);
  cmdlgTemplate.initialDir = templates;
  cmdlgTemplate.fileName.clear();
  if (!cmdlgTemplate.Execute()) return;
  if (!CopyFileTo(cmdlgTemplate.fileName, path))
    ShowWarning("An error occurred attempting to create the new drawing.");
}

void TdlgQXProject::btnDrawingEditClick() {
  const int index = lbxDrawings.ItemIndex();
  TDrawingObject* drawing = SelectedDrawing();
  if (drawing == nullptr) return;
  TdlgEditDrawings& edit = *State().forms->dlgEditDrawings;
  edit.Prepare("Edit Drawing", lbxDrawings.items[index], drawing->FileName, drawing->LayerFile,
               drawing->BaseScale, drawing->Description);
  if (edit.ShowModal() != platform::ModalResult::OK) return;
  *drawing = TDrawingObject(edit.txtVWFName.Text(), edit.txtLYRName.Text(),
                            edit.txtBaseScale.Text(), edit.mmDescription.Text());
  lbxDrawings.items.Set(index,
                        Cut(edit.txtDrawingName.Text(), decltype(DrawingRecord::Name)::kMaxLength));
  SaveShownDrawings();
  // A new name moves the item to its place in the sorted list: the edited drawing stays selected.
  for (int i = 0; i < lbxDrawings.items.Count(); ++i) {
    if (lbxDrawings.items.Object(i) == drawing) lbxDrawings.SetItemIndex(i);
  }
  UpdateDrawings();
}

void TdlgQXProject::btnDrawingDeleteClick() {
  const int index = lbxDrawings.ItemIndex();
  const TProjectObject* project = SelectedProject();
  const TDrawingObject* drawing = SelectedDrawing();
  if (project == nullptr || drawing == nullptr) return;
  const std::string path = platform::JoinPath(project->DrawingsFolder, drawing->FileName);
  if (Ask("Are you sure you want to delete the selected drawing?", kCaption,
          platform::MsgButtons::YesNo) != platform::MsgResult::Yes)
    return;
  lbxDrawings.DeleteItem(index);
  SaveShownDrawings();
  lbxDrawings.SetItemIndex(-1);
  UpdateDrawings();
  if (platform::FileExists(path) &&
      Ask("Do you also want to delete the file on disk?", kCaption, platform::MsgButtons::YesNo) ==
          platform::MsgResult::Yes &&
      !platform::DeleteFile(path))
    ShowWarning("Unable to delete the file: " + path);
}

void TdlgQXProject::btnDrawingLoadClick() {
  if (SelectedDrawing() == nullptr) return;
  LoadRequested = true;
  SetModalResult(platform::ModalResult::OK);
}

void TdlgQXProject::FormCloseQuery(bool& canClose) {
  // A drawing list still unsaved is saved again; when that fails the dialog stays open with it,
  // unless the drafter chooses to leave without it.
  if (!UnsavedDrawingsSaved()) {
    if (Ask(kUnsavedDrawingsQuestion, kCaption, platform::MsgButtons::YesNo) ==
        platform::MsgResult::Yes) {
      unsavedDrawings_ = nullptr;
    } else {
      canClose = false;
      LoadRequested = false;
      return;
    }
  }
  if (!ProjectsChanged) return;
  switch (Ask("Save changes to project list?", kCaption, platform::MsgButtons::YesNoCancel)) {
    case platform::MsgResult::Cancel:
      canClose = false;
      break;
    case platform::MsgResult::Yes:
      // A list that could not be saved stays on screen, still marked changed, so that the
      // next Close saves it again.
      canClose = SaveProjects();
      break;
    default:
      break;
  }
  // The dialog stays: whatever closed it, a drawing is loaded only when asked for again.
  if (!canClose) LoadRequested = false;
}

void TdlgQXProject::LoadDrawing() {
  MakeActive(mmDrawingsFolder.Text(), mmRefFolder.Text());
  const std::string path = platform::JoinPath(mmDrawingsFolder.Text(), mmVWFName.Text());
  if (!platform::FileExists(path)) {
    ShowWarning("The file: " + path + " does not exist.");
    return;
  }
  // Cut to the host's length, the path would name another file.
  const HsiLoadOptions options{0, 0};
  if (path.size() > kHostPathChars ||
      HsiLoadFile(path.c_str(), HSI_LOAD_DRAWING, &options) != HSI_SUCCESS) {
    ShowError("Tracelon reported an error while attempting to load the drawing:\r\n" + path);
    return;
  }
  const std::string scaleText = mmBaseScale.Text();
  const double scale = TextToReal(scaleText);
  std::optional<std::int32_t> points;
  if (scale > 0 && std::isfinite(scale))
    points = ScaledPointsPerUnit(FullScalePointsPerUnit, scale,
                                 static_cast<std::uint16_t>(HsiGetUnitType()));
  if (points && *points != HsiGetPntsPerUnit()) {
    HsiSetPntsPerUnit(*points);
    HsiSetPlotScale(scale);
    HsiSetDwgScale(scale);
    StartHostCommand(kRescaleCommand);
  }
  const std::string layerFile = mmLYRName.Text();
  if (!layerFile.empty() && platform::FileExists(layerFile)) {
    HsiSetActLayer(3);
    HsiLoadFile(layerFile.c_str(), HSI_LOAD_LAYERS, nullptr);
  }
  // A base scale the host cannot work at (a damaged drawing list) is taken as none, and the
  // message line says so; an empty one simply means none.
  if (!points && scaleText.find_first_not_of(' ') != std::string::npos) {
    const std::string text =
        "Base scale " + scaleText + " cannot be used: the drawing keeps its own scale";
    HsiPutMsg(text.c_str());
  }
}

}  // namespace qxt

QXT_EXPORT void QXProject() {
  using namespace qxt;
  if (!ToolsReady()) return;
  AnnounceCommand(kCaption);
  platform::ApplicationSettings& application = platform::Application();
  application.showHint = true;
  application.hintPause = 250;
  application.hintHidePause = 4500;
  application.hintShortPause = 125;

  TdlgQXProject& dialog = *State().forms->dlgQXProject;
  char baseDir[256] = {};
  GetBaseDir(baseDir);
  dialog.BaseDir = Text(baseDir, sizeof baseDir);
  GetQXProjSettings(&dialog.LastProjectIndex, &dialog.FullScalePointsPerUnit);
  dialog.ProjectDir = platform::JoinPath(dialog.BaseDir, "PROJECT");
  if (!platform::DirectoryExists(dialog.ProjectDir)) platform::ForceDirectories(dialog.ProjectDir);

  if (platform::FileExists(platform::JoinPath(dialog.ProjectDir, "projects.dat")) &&
      !dialog.LoadProjects())
    return;
  const int index = dialog.LastProjectIndex;
  dialog.lbxProjects.SetItemIndex(index >= 0 && index < dialog.lbxProjects.items.Count() ? index
                                                                                         : -1);
  dialog.LoadRequested = false;
  dialog.ShowModal();
  SaveQXProjSettings(&dialog.LastProjectIndex);
  if (dialog.LoadRequested) {
    dialog.LoadRequested = false;
    dialog.LoadDrawing();
  }
}
