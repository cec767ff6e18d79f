// The window table: every window of the process, its caption, parent and geometry.
#include "platform/metrics.h"
#include "platform/window_handle.h"
#include "state.h"

namespace platform {

namespace {

detail::WindowRecord* Find(WindowHandle window) {
  auto& windows = detail::S().windows;
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : &it->second;
}

WindowHandle NewWindow(detail::WindowRecord record) {
  auto& s = detail::S();
  WindowHandle handle = s.nextWindow++;
  s.windows.emplace(handle, std::move(record));
  return handle;
}

}  // namespace

WindowHandle CreateMainWindow(const std::string& caption) {
  detail::WindowRecord record;
  record.caption = caption;
  record.bounds = {0, 0, metrics::ScreenWidth, metrics::ScreenHeight - 40};
  record.frame = {metrics::SizeableFrame, metrics::SizeableFrame + metrics::CaptionHeight,
                  metrics::SizeableFrame, metrics::SizeableFrame};
  WindowHandle handle = NewWindow(std::move(record));
  if (detail::S().activeWindow == 0) detail::S().activeWindow = handle;
  return handle;
}

namespace detail {
WindowHandle NewFormWindow(Form* form, const std::string& caption) {
  WindowRecord record;
  record.caption = caption;
  record.parent = 0;
  record.form = form;
  return NewWindow(std::move(record));
}
}  // namespace detail

void SetApplicationWindow(WindowHandle owner) { detail::S().applicationWindow = owner; }
WindowHandle ApplicationWindow() { return detail::S().applicationWindow; }

WindowHandle CreateChildWindow(WindowHandle parent, const Rect& bounds) {
  if (!Find(parent)) return 0;
  detail::WindowRecord record;
  record.parent = parent;
  record.bounds = bounds;
  return NewWindow(std::move(record));
}

bool DestroyWindow(WindowHandle window) {
  auto& s = detail::S();
  if (!Find(window)) return false;
  std::vector<WindowHandle> children;
  for (auto& [handle, record] : s.windows)
    if (record.parent == window) children.push_back(handle);
  for (WindowHandle child : children) DestroyWindow(child);
  s.windows.erase(window);
  if (s.activeWindow == window) s.activeWindow = 0;
  if (s.applicationWindow == window) s.applicationWindow = 0;
  return true;
}

bool IsWindow(WindowHandle window) { return Find(window) != nullptr; }

Rect WindowRect(WindowHandle window) {
  auto* record = Find(window);
  if (!record) return {};
  Rect r = record->bounds;
  if (record->parent != 0) {
    Point origin = ClientToScreen(record->parent, {0, 0});
    r = {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
  }
  return r;
}

Rect ClientRect(WindowHandle window) {
  auto* record = Find(window);
  if (!record) return {};
  int w = record->bounds.Width() - record->frame.left - record->frame.right;
  int h = record->bounds.Height() - record->frame.top - record->frame.bottom;
  return {0, 0, w < 0 ? 0 : w, h < 0 ? 0 : h};
}

Point ClientToScreen(WindowHandle window, Point p) {
  auto* record = Find(window);
  if (!record) return p;
  Rect outer = WindowRect(window);
  return {outer.left + record->frame.left + p.x, outer.top + record->frame.top + p.y};
}

void SetWindowBounds(WindowHandle window, const Rect& bounds) {
  if (auto* record = Find(window)) record->bounds = bounds;
}

void SetWindowFrame(WindowHandle window, const Rect& frame) {
  if (auto* record = Find(window)) record->frame = frame;
}

WindowHandle ParentWindow(WindowHandle window) {
  auto* record = Find(window);
  return record ? record->parent : 0;
}

WindowHandle FirstChildWindow(WindowHandle window) {
  for (auto& [handle, record] : detail::S().windows)
    if (record.parent == window && window != 0) return handle;
  return 0;
}

std::string WindowCaption(WindowHandle window) {
  auto* record = Find(window);
  return record ? record->caption : std::string();
}

void SetWindowCaption(WindowHandle window, const std::string& caption) {
  if (auto* record = Find(window)) record->caption = caption;
}

WindowHandle ActiveWindow() { return detail::S().activeWindow; }

void SetActiveWindow(WindowHandle window) {
  if (window == 0 || Find(window)) detail::S().activeWindow = window;
}

}  // namespace platform
