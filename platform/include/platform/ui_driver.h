// The person in front of the stand-in windowing system. Everything a window or a system dialog
// asks of the user goes through one UiDriver; the scripted user implements it, and so may a test.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Form;

enum class MsgIcon { None, Warning, Error, Information, Question };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
// Values as the system's own message box results.
enum class MsgResult {
  None = 0,
  OK = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7
};
enum class BeepKind { Default, Exclamation, Error, Information };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::OK;
  const Form* owner = nullptr;  // null: owned by the application window
};

struct OpenFileRequest {
  std::string title;
  std::string filter;      // "Drawings (*.VWF)|*.VWF|All files (*.*)|*.*"
  std::string defaultExt;  // without the point
  std::string initialDir;  // Windows path
  std::string fileName;    // initial file name, if any
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool noChangeDir = false;
};

struct FontChoice {
  std::string face;
  int size = 10;  // points
  bool bold = false, italic = false, underline = false, strikeout = false;
};

struct FontRequest {
  FontChoice initial;
  bool trueTypeOnly = false;
  bool effects = false;
};

struct FolderRequest {
  std::string title;
  std::string initialDir;  // Windows path
};

struct InputRequest {
  std::string caption;
  std::string prompt;
  std::string initial;
};

class UiDriver {
 public:
  virtual ~UiDriver() = default;
  // A modal form is shown: act on it, through the Form API, until it has a modal result or is
  // closed. Handlers run as the actions happen; they may show further forms and boxes.
  virtual void RunModal(Form& form) = 0;
  virtual MsgResult AskMessage(const MessageBoxRequest& request) = 0;
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
  virtual std::optional<FontChoice> AskFont(const FontRequest& request) = 0;
  virtual std::optional<std::string> AskFolder(const FolderRequest& request) = 0;
  virtual std::optional<std::string> AskInput(const InputRequest& request) = 0;

  // Things a person notices without answering them.
  virtual void OnBeep(BeepKind) {}
  virtual void OnHelp(const std::string& /*file*/, const std::string& /*topicOrContext*/) {}
  virtual void OnFormShown(Form&, bool /*modal*/) {}
  // A form is being destroyed: a driver that keeps the form's address forgets it.
  virtual void OnFormDestroyed(Form&) {}
  virtual void OnProgramStarted(const std::string& /*commandLine*/) {}
};

// Loader protocol of this platform: a plug-in library exports these two functions with C
// linkage; the host program calls the first right after loading and the second right before
// unloading (process attach and detach).
inline constexpr const char* kLibraryAttachEntry = "DllProcessAttach";
inline constexpr const char* kLibraryDetachEntry = "DllProcessDetach";

// On Windows the system's loader itself runs a library's attach and detach (DllMain) inside
// LoadLibrary and FreeLibrary, and no error may cross the loader. The library hands an error of
// its attach or detach over here; the program that loaded it takes it when the call returns.
void HoldLoaderError(std::exception_ptr error);
std::exception_ptr TakeLoaderError();  // null when none is held; the slot is emptied

}  // namespace platform
