#include "core/messages.h"

#include "core/state.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/window_handle.h"

namespace qxt {

namespace {

// The shown form that is the active window, or null when the active window is not one of the
// forms (the host's window: the box then belongs to the application window).
const platform::Form* ActiveForm() {
  const platform::WindowHandle active = platform::ActiveWindow();
  for (const platform::Form* form : platform::ShownForms()) {
    if (form->Handle() == active) return form;
  }
  return nullptr;
}

}  // namespace

bool ToolsReady() {
  if (StateExists() && Config().ConfigValid == 1) {
    platform::Application().helpFile = kHelpFile;
    return true;
  }
  ShowError("QxTools did not initialize properly, unable to continue.");
  return false;
}

void ShowWarning(const std::string& text) {
  platform::Beep(platform::BeepKind::Exclamation);
  platform::MessageBox(text, "QX Tools (Warning!)", platform::MsgIcon::Warning,
                       platform::MsgButtons::OK, ActiveForm());
}

void ShowError(const std::string& text) {
  platform::Beep(platform::BeepKind::Error);
  platform::MessageBox(text, "QX Tools (Error!)", platform::MsgIcon::Error,
                       platform::MsgButtons::OK, ActiveForm());
}

}  // namespace qxt
