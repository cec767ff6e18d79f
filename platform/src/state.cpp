// The one place that holds the platform's state, and the default user.
#include "state.h"

#include <exception>
#include <utility>

#include "platform/native_windows.h"

namespace platform {

namespace detail {

State& S() {
  static State state;
  return state;
}

namespace {

// Answers as a dialog does when the user just presses Enter or closes it: the first button of a
// message box, Cancel for everything else.
class DefaultDriver : public UiDriver {
 public:
  void RunModal(Form&) override {}
  MsgResult AskMessage(const MessageBoxRequest& request) override {
    switch (request.buttons) {
      case MsgButtons::OK:
      case MsgButtons::OKCancel:
        return MsgResult::OK;
      case MsgButtons::YesNo:
      case MsgButtons::YesNoCancel:
        return MsgResult::Yes;
      case MsgButtons::RetryCancel:
        return MsgResult::Retry;
      case MsgButtons::AbortRetryIgnore:
        return MsgResult::Abort;
    }
    return MsgResult::OK;
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { return std::nullopt; }
  std::optional<FontChoice> AskFont(const FontRequest&) override { return std::nullopt; }
  std::optional<std::string> AskFolder(const FolderRequest&) override { return std::nullopt; }
  std::optional<std::string> AskInput(const InputRequest&) override { return std::nullopt; }
};

}  // namespace

UiDriver& Driver() {
  static DefaultDriver fallback;
  UiDriver* driver = S().driver;
  return driver ? *driver : fallback;
}

}  // namespace detail

void Reset() {
  auto& s = detail::S();
  // Released forms are the platform's own: they are destroyed, not forgotten.
  s.userActionDepth = 0;
  detail::DestroyReleasedForms();
  // Handles keep counting up, so a handle from before the reset never names a new object.
  MemHandle nextBlock = s.nextBlock;
  WindowHandle nextWindow = s.nextWindow;
  s = detail::State{};
  s.nextBlock = nextBlock;
  s.nextWindow = nextWindow;
}

namespace {
// The backend outlives a reset: it belongs to the program, not to one run of the toolkit.
FormBackend* backend = nullptr;
}  // namespace

void SetFormBackend(FormBackend* b) { backend = b; }
FormBackend* CurrentFormBackend() { return backend; }

void SetUiDriver(UiDriver* driver) { detail::S().driver = driver; }
UiDriver* CurrentUiDriver() { return detail::S().driver; }

const History& GetHistory() { return detail::S().history; }

namespace {
std::exception_ptr& HeldLoaderError() {
  static std::exception_ptr held;
  return held;
}
}  // namespace

void HoldLoaderError(std::exception_ptr error) {
  // The first error is the one that stopped the library; a later one is its consequence.
  if (!HeldLoaderError()) HeldLoaderError() = std::move(error);
}

std::exception_ptr TakeLoaderError() { return std::exchange(HeldLoaderError(), nullptr); }

}  // namespace platform
