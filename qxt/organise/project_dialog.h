// Edits one project of the project list: name, code, drawings folder, reference folder and
// description. The project manager fills the fields and caption and reads them back after OK.
#pragma once

#include <string>

#include "platform/forms.h"

namespace qxt {

namespace project_messages {
inline constexpr const char* kCodeEmpty = "The project code must be filled in.";
inline constexpr const char* kCodeInvalid = "The project code must be a valid filename.";
inline constexpr const char* kNameEmpty = "You must enter something for the project name.";
inline constexpr const char* kCodeReserved =
    "The project code PROJECTS is reserved for the project list.";
// "Another project already uses the code CODE."
std::string CodeInUse(const std::string& code);
}  // namespace project_messages

class TdlgEditProject : public platform::Form {
 public:
  TdlgEditProject();

  platform::Label& lblProjectName;
  platform::Edit& txtProjectName;
  platform::Label& lblProjectCode;
  platform::Edit& txtProjectCode;
  platform::Label& lblDrawings;
  platform::Edit& txtDrawings;
  platform::Button& btnDrawingsFolder;
  platform::Label& lblReference;
  platform::Edit& txtReference;
  platform::Button& btnReferenceFolder;
  platform::Label& lblProjectDescription;
  platform::Memo& mmProjectDescription;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // Fills the dialog before it is shown; the name field gets the focus. `edited` is the project
  // manager's item being edited (null for a new project): its own code is no clash.
  void Prepare(const std::string& caption, const std::string& name, const std::string& code,
               const std::string& drawingsFolder, const std::string& referenceFolder,
               const std::string& description, const platform::ItemData* edited = nullptr);

  // Checks the code (not the project list's own name, not another project's code, and one that
  // names a file: the project's empty drawing list file is created when it has none) and the
  // name, and ends the dialog with OK when both are good; otherwise warns and keeps it open.
  void btnOKClick();
  void btnDrawingsFolderClick();
  void btnReferenceFolderClick();

 private:
  // Warns with `text` and puts the focus on the code with its whole text selected.
  void RefuseCode(const std::string& text);

  const platform::ItemData* edited_ = nullptr;
};

}  // namespace qxt
