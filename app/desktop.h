// tracelon as a Windows desktop program: a main window with the drafting page's menus, the
// drawing drawn with GDI, and the host's tools, prompt and status bar (app/desktop_win32.cpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// True when this build has the desktop window (the Windows build).
bool DesktopAvailable();

// `tracelon` alone, `tracelon open DRAWING` and their options (args without the program name).
// Returns the exit status (2 for a usage error).
int DesktopCommand(const std::vector<std::string>& args,
                   const std::filesystem::path& defaultPlugin);
