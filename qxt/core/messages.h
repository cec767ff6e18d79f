// The entry check every command performs first, and the toolset's two message boxes.
#pragma once

#include <string>

namespace qxt {

// The toolset's help file.
inline constexpr const char* kHelpFile = "qxt.hlp";

// The entry check: true when the configuration was read or created (and then the application's
// help file is "qxt.hlp"); otherwise shows "QxTools did not initialize properly, unable to
// continue." as an error box and returns false, and the command must return at once.
bool ToolsReady();

// Exclamation beep, then a modal box owned by the active window: caption "QX Tools (Warning!)",
// the warning icon and one OK button. Returns when the user has closed it.
void ShowWarning(const std::string& text);

// Error beep, then a modal box owned by the active window: caption "QX Tools (Error!)", the error
// icon and one OK button. Returns when the user has closed it.
void ShowError(const std::string& text);

}  // namespace qxt
