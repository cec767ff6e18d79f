#include "organise/project_dialog.h"

#include <cctype>
#include <utility>

#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"
#include "organise/project_manager.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 125;
constexpr int kLabelLeft = 8;
constexpr int kFieldLeft = 120;
constexpr int kFieldWidth = 280;
constexpr int kRowHeight = 30;
constexpr int kBrowseWidth = 25;

constexpr FieldRows kRows{kLabelLeft, kFieldLeft, kFieldWidth, kRowHeight};

// Lets the user choose a folder for a field, starting at the field's text; a folder that does
// not exist yet is offered for creation.
void ChooseFolder(platform::Edit& field) {
  std::string folder = field.Text();
  if (platform::SelectDirectory("", folder)) field.SetText(folder);
}

// Codes name files, and file names are compared without regard to case.
bool SameCode(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The code names the project list file itself ("projects.dat"): a drawing list of that name
// would overwrite the list of projects.
constexpr const char* kProjectListCode = "PROJECTS";

}  // namespace

std::string project_messages::CodeInUse(const std::string& code) {
  return "Another project already uses the code " + code + ".";
}

TdlgEditProject::TdlgEditProject()
    : platform::Form("TdlgEditProject", "Edit Project"),
      lblProjectName(kRows.Label(*this, "lblProjectName", "Project&Name:", 0)),
      txtProjectName(kRows.Field<platform::Edit>(*this, "txtProjectName", 0)),
      lblProjectCode(kRows.Label(*this, "lblProjectCode", "&Project Code:", 1)),
      txtProjectCode(kRows.Field<platform::Edit>(*this, "txtProjectCode", 1, 90)),
      lblDrawings(kRows.Label(*this, "lblDrawings", "Dra&wings Folder:", 2)),
      txtDrawings(
          kRows.Field<platform::Edit>(*this, "txtDrawings", 2, kFieldWidth - kBrowseWidth - 4)),
      btnDrawingsFolder(MakeButton(*this, "btnDrawingsFolder", "...", platform::ModalResult::None)),
      lblReference(kRows.Label(*this, "lblReference", "&Reference Folder:", 3)),
      txtReference(
          kRows.Field<platform::Edit>(*this, "txtReference", 3, kFieldWidth - kBrowseWidth - 4)),
      btnReferenceFolder(
          MakeButton(*this, "btnReferenceFolder", "...", platform::ModalResult::None)),
      lblProjectDescription(kRows.Label(*this, "lblProjectDescription", "De&scription:", 4)),
      mmProjectDescription(kRows.Field<platform::Memo>(*this, "mmProjectDescription", 4)),
      btnOK(MakeButton(*this, "btnOK", "OK", platform::ModalResult::None)),
      btnCancel(MakeButton(*this, "btnCancel", "Cancel", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", "&Help", platform::ModalResult::None)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  // Of the hints, only those of the two folder buttons show.
  showHint = true;
  txtProjectName.maxLength = 250;
  txtProjectCode.maxLength = 8;
  const std::pair<platform::Control*, const char*> hints[] = {
      {&txtProjectName, "Enter a descriptive name for this project"},
      {&txtProjectCode, "Enter a code for this project (must be a legal filename)"},
      {&txtDrawings,
       "Press the button at right to select a folder for storing this project's drawings"},
      {&btnDrawingsFolder, "Press this button to select a new folder from a list"},
      {&txtReference,
       "Press the button at right to select a folder for storing this project's reference files"},
      {&btnReferenceFolder, "Press this button to select a new folder from a list"},
      {&mmProjectDescription, "Enter a description for this project"},
  };
  for (const auto& [control, hint] : hints) {
    control->hint = hint;
    control->showHint = control == &btnDrawingsFolder || control == &btnReferenceFolder;
  }
  lblProjectName.focusControl = &txtProjectName;
  lblProjectCode.focusControl = &txtProjectCode;
  lblDrawings.focusControl = &txtDrawings;
  lblReference.focusControl = &txtReference;
  lblProjectDescription.focusControl = &mmProjectDescription;

  const int browseLeft = kFieldLeft + kFieldWidth - kBrowseWidth;
  btnDrawingsFolder.SetBounds(browseLeft, 8 + 2 * kRowHeight, kBrowseWidth, 23);
  btnReferenceFolder.SetBounds(browseLeft, 8 + 3 * kRowHeight, kBrowseWidth, 23);
  mmProjectDescription.SetHeight(90);
  mmProjectDescription.scrollBars = platform::ScrollBars::Vertical;
  const int buttonsTop = 8 + 4 * kRowHeight + 98;
  int left = kFieldLeft + kFieldWidth - 3 * 83 + 8;
  for (platform::Button* button : {&btnOK, &btnCancel, &btnHelp}) {
    button->SetBounds(left, buttonsTop, 75, 25);
    left += 83;
  }
  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kHelpContext;
  SetClientWidth(kFieldLeft + kFieldWidth + 8);
  SetClientHeight(buttonsTop + 33);

  btnOK.OnClick = [this](platform::Control&) { btnOKClick(); };
  btnDrawingsFolder.OnClick = [this](platform::Control&) { btnDrawingsFolderClick(); };
  btnReferenceFolder.OnClick = [this](platform::Control&) { btnReferenceFolderClick(); };
}

void TdlgEditProject::Prepare(const std::string& caption, const std::string& name,
                              const std::string& code, const std::string& drawingsFolder,
                              const std::string& referenceFolder, const std::string& description,
                              const platform::ItemData* edited) {
  edited_ = edited;
  SetCaption(caption);
  txtProjectName.SetText(name);
  txtProjectCode.SetText(code);
  txtDrawings.SetText(drawingsFolder);
  txtReference.SetText(referenceFolder);
  mmProjectDescription.SetText(description);
  SetActiveControl(&txtProjectName);
}

void TdlgEditProject::btnOKClick() {
  const std::string code = txtProjectCode.Text();
  if (code.empty()) {
    ShowWarning(project_messages::kCodeEmpty);
    txtProjectCode.SetFocus();
    return;
  }
  if (SameCode(code, kProjectListCode)) {
    RefuseCode(project_messages::kCodeReserved);
    return;
  }
  // Two projects with one code would share one drawing list.
  const platform::StringList& projects = State().forms->dlgQXProject->lbxProjects.items;
  for (int i = 0; i < projects.Count(); ++i) {
    const auto* other = projects.ObjectAs<TProjectObject>(i);
    if (other != nullptr && other != edited_ && SameCode(other->Code, code)) {
      RefuseCode(project_messages::CodeInUse(code));
      return;
    }
  }
  // The project's drawing list file is made now, empty, so that the code is known to name a
  // file; it stays even when the project is not saved.
  const std::string listPath =
      platform::JoinPath(State().forms->dlgQXProject->ProjectDir, code + ".DAT");
  // A code is one file name: a folder part or ".." would put the list file elsewhere.
  bool valid = platform::IsValidFileName(code + ".DAT");
  if (valid && !platform::FileExists(listPath)) {
    bool created = false;
    try {
      platform::RecordFile file(listPath, sizeof(DrawingRecord),
                                platform::RecordFile::Mode::Create);
      created = file.Close();
    } catch (const platform::FileError&) {
    }
    valid = created;
  }
  if (!valid) {
    RefuseCode(project_messages::kCodeInvalid);
    return;
  }
  if (txtProjectName.Text().empty()) {
    ShowWarning(project_messages::kNameEmpty);
    txtProjectName.SetFocus();
    return;
  }
  SetModalResult(platform::ModalResult::OK);
}

void TdlgEditProject::RefuseCode(const std::string& text) {
  ShowWarning(text);
  txtProjectCode.SetFocus();
  txtProjectCode.SelectAll();
}

void TdlgEditProject::btnDrawingsFolderClick() { ChooseFolder(txtDrawings); }

void TdlgEditProject::btnReferenceFolderClick() { ChooseFolder(txtReference); }

}  // namespace qxt
