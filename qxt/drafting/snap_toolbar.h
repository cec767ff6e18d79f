// The snap toolbar: a modeless tool window over the host's drawing area with a button per host
// snap mode, a two-point midpoint snap, three saved snap hierarchies and a Close button. QXSnap
// opens it and returns at once; the window then acts on the user's clicks until it is closed.
// It is made anew by every QXSnap and freed when it closes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/export.h"
#include "platform/forms.h"
#include "platform/window_handle.h"

QXT_EXPORT void QXSnap();

namespace qxt {

class TfrmQXSnap : public platform::Form {
 public:
  // Made with the host's main window and its drawing area (the window the toolbar stands in).
  TfrmQXSnap(platform::WindowHandle hostWindow, platform::WindowHandle drawWindow);

  static constexpr int kModeButtons = 16;  // Off and the fifteen snap modes, tagged 0 to 15
  static constexpr int kHierarchies = 3;

  platform::ToolBar& tbrSnap;
  std::array<platform::ToolButton*, kModeButtons> modeButtons{};  // by snap mode
  platform::ToolButton* tbtn2point = nullptr;
  std::array<platform::ToolButton*, kHierarchies> hierarchyButtons{};
  platform::ToolButton* tbtnClose = nullptr;
  platform::Timer& Timer1;

  platform::ToolButton& tbtnOff() const { return *modeButtons[0]; }

  // The snap mode the buttons last showed.
  int LastShownMode = 0;
  // The names of the snap modes applied since the last hierarchy, in order; the two-point
  // midpoint sets them again after it has handed its point over.
  std::vector<std::string> SnapHistory;

  // The toolbar's width for a number of buttons per row: the buttons, twice the border, 16
  // pixels, and 8 more from 18 and again from 21 buttons per row.
  int ToolbarWidth(int columns) const;
  // Sizes the window for the configured columns and places it in the drawing area; `onShow`
  // places it at the last stored position for the Last choice, otherwise it keeps its place.
  void LayOut(bool onShow);

  void SnapButtonClick(platform::Control& sender);
  void Timer1Timer();
  void tbtnOffMouseUp(platform::MouseButton button);
  void tbtn2pointClick();
  void HierarchyBtnUp(int hierarchy, platform::MouseButton button);
  void tbtnCloseClick();

 private:
  void ActivateHost() const;
  void ReleaseModeAndHierarchyButtons();
  void ApplyHierarchy(int hierarchy);
  void DefineHierarchy(int hierarchy);

  platform::WindowHandle hostWindow_;
  platform::WindowHandle drawWindow_;
  bool closed_ = false;
};

// The snap toolbar's window width, 0 when it is not shown.
int SnapToolbarWidth();
// The open snap toolbar, or null.
TfrmQXSnap* SnapToolbar();
// Frees the snap toolbar when the library is unloaded with it open.
void DestroySnapToolbar();

// Sets or reads the host's snap mode for its program mode: 2D or 3D.
void SetHostSnapMode(int mode);
int HostSnapMode();

}  // namespace qxt
