// Window handles: every window of the process, the host's main window included, has one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/graphics.h"

namespace platform {

using WindowHandle = std::uint32_t;  // 0 is no window

// Creates the top-level window of a program (the host's main window) and returns its handle.
WindowHandle CreateMainWindow(const std::string& caption);
// Makes `owner` the application window: it owns, and is modal against, every form made later.
void SetApplicationWindow(WindowHandle owner);
WindowHandle ApplicationWindow();

// A child window inside `parent` (the host's drawing area inside its main window), with
// `bounds` in the parent's client coordinates.
WindowHandle CreateChildWindow(WindowHandle parent, const Rect& bounds);
// Destroys a window and its children. False for an unknown handle.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);

// Geometry. A top-level window's bounds are in screen coordinates, a child's in its parent's
// client coordinates. The client rectangle always starts at (0, 0).
Rect WindowRect(WindowHandle window);  // in screen coordinates
Rect ClientRect(WindowHandle window);
Point ClientToScreen(WindowHandle window, Point p);
void SetWindowBounds(WindowHandle window, const Rect& bounds);
// Size of the frame around the client area (left/top/right/bottom thickness); a main window
// has a caption and a sizeable frame.
void SetWindowFrame(WindowHandle window, const Rect& frame);

WindowHandle ParentWindow(WindowHandle window);
WindowHandle FirstChildWindow(WindowHandle window);
std::string WindowCaption(WindowHandle window);
void SetWindowCaption(WindowHandle window, const std::string& caption);

// The window the user types into; commands hand the activation back to the host's window.
WindowHandle ActiveWindow();
void SetActiveWindow(WindowHandle window);

}  // namespace platform
