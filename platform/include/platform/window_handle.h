// Window handles: every window of the process, the host's main window included, has one.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = std::uint32_t;  // 0 is no window

// Creates the top-level window of a program (the host's main window) and returns its handle.
WindowHandle CreateMainWindow(const std::string& caption);
// Makes `owner` the application window: it owns, and is modal against, every form made later.
void SetApplicationWindow(WindowHandle owner);
WindowHandle ApplicationWindow();

}  // namespace platform
