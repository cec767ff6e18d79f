#include "drafting/snap_toolbar.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/config.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "drafting/define_hierarchy.h"
#include "drafting/snap_settings.h"
#include "hsi/hsi.h"
#include "platform/metrics.h"

namespace qxt {

namespace {

struct ToolbarItem {
  const char* name;
  const char* caption;
  const char* hint;
};

// The mode buttons, by snap mode.
constexpr ToolbarItem kModeItems[TfrmQXSnap::kModeButtons] = {
    {"tbtnOff", "&Off", "No Snap, Right click for snap bar settings"},
    {"tbtnGrid", "&Grid", "Grid Snap"},
    {"tbtnNode", "&Node", "Node Snap"},
    {"tbtnVertex", "&Vertex", "Vertex Snap"},
    {"tbtnIntersection", "&Int", "Intersection Snap"},
    {"tbtnLine", "&Line", "Line Snap (Nearest)"},
    {"tbtnCenter", "C&enter", "Center Snap"},
    {"tbtnMidpoint", "&Midpoint", "Midpoint Snap"},
    {"tbtnPieAngle", "&Pie", "Pie Angle Snap"},
    {"tbtnArc", "&Arc", "Arc Snap"},
    {"tbtnCircle", "C&ircle", "Circle Snap (Nearest)"},
    {"tbtnObject", "&Object", "Object Basepoint Snap"},
    {"tbtnText", "Te&xt", "Text Snap"},
    {"tbtnEndPoint", "&End", "End Point Snap"},
    {"tbtnTangent", "&Tangent", "Tangent Snap"},
    {"tbtnPerpendicular", "&Perpendicular", "Perpendicular Snap"},
};

constexpr ToolbarItem kHierarchyItems[TfrmQXSnap::kHierarchies] = {
    {"tbtnH1", "Hierarchy &1", "Saved Snap Hierarchy 1, Right-click to define"},
    {"tbtnH2", "Hierarchy &2", "Saved Snap Hierarchy 2, Right-click to define"},
    {"tbtnH3", "Hierarchy &3", "Saved Snap Hierarchy 3, Right-click to define"},
};

constexpr int kSeparatorWidth = 8;
constexpr int kToolbarBorder = 2;
constexpr int kButtonHeight = 38;  // a 16-pixel picture over the caption
constexpr int kEdgeGap = 12;       // from the drawing area's right or bottom edge
constexpr int kTimerPeriod = 250;

// The open toolbar. It is made by QXSnap and released when it closes.
TfrmQXSnap* gToolbar = nullptr;

platform::ToolButton& AddButton(platform::Form& form, platform::ToolBar& bar,
                                const ToolbarItem& item) {
  auto& button = form.Add<platform::ToolButton>(item.name, &bar);
  button.style = platform::ToolButton::Style::Check;
  button.SetCaption(item.caption);
  button.hint = item.hint;
  return button;
}

platform::ToolButton& AddSeparator(platform::Form& form, platform::ToolBar& bar, const char* name) {
  auto& separator = form.Add<platform::ToolButton>(name, &bar);
  separator.style = platform::ToolButton::Style::Separator;
  separator.SetWidth(kSeparatorWidth);
  return separator;
}

int ColumnsSetting() {
  // A new configuration holds 0 buttons per row; the toolbar then stands in one column, as a
  // row narrower than a button would make it.
  return std::clamp<int>(Config().SnapColumns, 1, 21);
}

}  // namespace

void SetHostSnapMode(int mode) {
  if (HsiGetProgMode() == HSI_MODE_2D)
    HsiSetSnapMode(static_cast<std::int16_t>(mode));
  else
    HsiSet3DSnapMode(static_cast<std::int16_t>(mode));
}

int HostSnapMode() {
  return HsiGetProgMode() == HSI_MODE_2D ? HsiGetSnapMode() : HsiGet3DSnapMode();
}

TfrmQXSnap::TfrmQXSnap(platform::WindowHandle hostWindow, platform::WindowHandle drawWindow)
    : platform::Form("TfrmQXSnap", "QX Snap"),
      tbrSnap(Add<platform::ToolBar>("tbrSnap")),
      Timer1(AddTimer("Timer1")),
      hostWindow_(hostWindow),
      drawWindow_(drawWindow) {
  for (int mode = 0; mode < kModeButtons; ++mode)
    modeButtons[mode] = &AddButton(*this, tbrSnap, kModeItems[mode]);
  tbtn2point = &AddButton(*this, tbrSnap, {"tbtn2point", "&2Point", "2 Point Midpoint Snap"});
  AddSeparator(*this, tbrSnap, "tbtnSeparator1");
  for (int k = 0; k < kHierarchies; ++k)
    hierarchyButtons[k] = &AddButton(*this, tbrSnap, kHierarchyItems[k]);
  AddSeparator(*this, tbrSnap, "tbtnSeparator2");
  tbtnClose = &AddButton(*this, tbrSnap, {"tbtnClose", "&Close", "Close the Snap Toolbar"});

  // FormCreate: the border style is taken when the window is made, so a change applies to the
  // next toolbar.
  helpContext = 121;
  showHint = true;
  stayOnTop = true;
  tbrSnap.hint = "QX Snap";
  tbrSnap.flat = true;
  tbrSnap.showCaptions = true;
  tbrSnap.borderWidth = kToolbarBorder;
  if (Config().SnapBorderStyle != 0) {
    borderStyle = platform::BorderStyle::None;
    tbrSnap.edges = true;
  } else {
    borderStyle = platform::BorderStyle::ToolWindow;
    tbrSnap.edges = false;
  }
  // Every button is as wide as the widest caption needs.
  int widest = 0;
  for (platform::Control* c : ChildrenOf(&tbrSnap)) {
    widest = std::max(
        widest, platform::metrics::TextWidth(tbrSnap.font, platform::StripCaption(c->Caption())));
  }
  tbrSnap.buttonWidth = widest + 10;
  tbrSnap.buttonHeight = kButtonHeight;
  int imageIndex = 0;
  for (platform::Control* c : ChildrenOf(&tbrSnap)) {
    auto& button = static_cast<platform::ToolButton&>(*c);
    if (button.style != platform::ToolButton::Style::Separator) button.imageIndex = imageIndex++;
  }
  tbtnOff().SetDown(true);

  for (int mode = 0; mode < kModeButtons; ++mode) {
    modeButtons[mode]->tag = mode;
    modeButtons[mode]->OnClick = [this](platform::Control& sender) { SnapButtonClick(sender); };
  }
  tbtnOff().OnMouseUp = [this](platform::Control&, platform::MouseButton button,
                               platform::ShiftState, int, int) { tbtnOffMouseUp(button); };
  tbtn2point->OnClick = [this](platform::Control&) { tbtn2pointClick(); };
  for (int k = 0; k < kHierarchies; ++k) {
    hierarchyButtons[k]->tag = k;
    hierarchyButtons[k]->OnMouseUp = [this, k](platform::Control&, platform::MouseButton button,
                                               platform::ShiftState, int,
                                               int) { HierarchyBtnUp(k, button); };
  }
  tbtnClose->OnClick = [this](platform::Control&) { tbtnCloseClick(); };

  Timer1.SetEnabled(false);
  Timer1.SetInterval(kTimerPeriod);
  Timer1.OnTimer = [this](platform::Timer&) { Timer1Timer(); };

  OnShow = [this](platform::Form&) { LayOut(true); };
  // The toolbar never keeps the keyboard: the user goes on working in the drawing.
  OnPaint = [this](platform::Form&) { ActivateHost(); };
  // Closing the window by its caption's close box ends the toolbar as its Close button does, so
  // that QXSnap can open it again.
  OnClose = [this](platform::Form&, platform::CloseAction& action) {
    if (!closed_) tbtnCloseClick();
    action = platform::CloseAction::None;
  };
}

int TfrmQXSnap::ToolbarWidth(int columns) const {
  return (columns / 18 + columns / 21) * kSeparatorWidth + columns * tbrSnap.buttonWidth +
         2 * tbrSnap.borderWidth + 16;
}

void TfrmQXSnap::LayOut(bool onShow) {
  const QXConfig& config = Config();
  const int columns = ColumnsSetting();

  // The buttons in rows of `columns`; a separator takes its width within a row and none where
  // a row ends.
  int x = 0, row = 0, inRow = 0;
  for (platform::Control* c : ChildrenOf(&tbrSnap)) {
    auto& button = static_cast<platform::ToolButton&>(*c);
    if (button.style == platform::ToolButton::Style::Separator) {
      if (inRow == columns || inRow == 0) {
        button.SetBounds(x, row * tbrSnap.buttonHeight, 0, tbrSnap.buttonHeight);
      } else {
        button.SetBounds(x, row * tbrSnap.buttonHeight, kSeparatorWidth, tbrSnap.buttonHeight);
        x += kSeparatorWidth;
      }
      continue;
    }
    if (inRow == columns) {
      ++row;
      inRow = 0;
      x = 0;
    }
    button.SetBounds(tbrSnap.borderWidth + x, tbrSnap.borderWidth + row * tbrSnap.buttonHeight,
                     tbrSnap.buttonWidth, tbrSnap.buttonHeight);
    x += tbrSnap.buttonWidth;
    ++inRow;
  }
  const int border = tbrSnap.borderWidth;
  const int barWidth = ToolbarWidth(columns);
  const int barHeight = (row + 1) * tbrSnap.buttonHeight + 2 * border;
  tbrSnap.SetBounds(border, border, barWidth, barHeight);
  SetClientWidth(barWidth + 2 * border);
  SetClientHeight(barHeight + 2 * border);

  const platform::Rect area = platform::ClientRect(drawWindow_);
  const platform::Point origin = platform::ClientToScreen(drawWindow_, {0, 0});
  int left = Left(), top = Top();
  switch (config.SnapHorzPos) {
    case 0:
      left = origin.x;
      break;
    case 1:
      left = origin.x + area.Width() - Width() - kEdgeGap;
      break;
    default:
      if (onShow) left = config.SnapLastLeft;
      break;
  }
  switch (config.SnapVertPos) {
    case 0:
      top = origin.y;
      break;
    case 1:
      top = origin.y + area.Height() - Height() - kEdgeGap;
      break;
    default:
      if (onShow) top = config.SnapLastTop;
      break;
  }
  SetBounds(left, top, Width(), Height());
}

void TfrmQXSnap::ActivateHost() const { platform::SetActiveWindow(hostWindow_); }

void TfrmQXSnap::ReleaseModeAndHierarchyButtons() {
  for (platform::ToolButton* button : modeButtons) button->SetDown(false);
  for (platform::ToolButton* button : hierarchyButtons) button->SetDown(false);
}

void TfrmQXSnap::SnapButtonClick(platform::Control& sender) {
  SetHostSnapMode(0);
  ReleaseModeAndHierarchyButtons();
  SetHostSnapMode(sender.tag);
  static_cast<platform::ToolButton&>(sender).SetDown(true);
  ActivateHost();
}

void TfrmQXSnap::Timer1Timer() {
  // The buttons follow the host's snap mode only while a command of the host runs: that is when
  // the user can change the mode in the host itself.
  if (HsiGetActiveCommand() == 0) return;
  const int mode = HostSnapMode();
  if (mode != LastShownMode && mode >= 0 && mode < kModeButtons) {
    LastShownMode = mode;
    if (mode == 0) {
      ReleaseModeAndHierarchyButtons();
      tbtnOff().SetDown(true);
    } else {
      modeButtons[mode]->SetDown(true);
      tbtnOff().SetDown(false);
      SnapHistory.push_back(SnapModeName(mode));
    }
  }
  Config().SnapLastLeft = static_cast<std::int16_t>(Left());
  Config().SnapLastTop = static_cast<std::int16_t>(Top());
}

void TfrmQXSnap::tbtnOffMouseUp(platform::MouseButton button) {
  if (button != platform::MouseButton::Right) return;
  QXConfig& config = Config();
  TdlgSnapSettings& dialog = *State().forms->dlgSnapSettings;
  dialog.sedtColumns.SetValue(ColumnsSetting());
  dialog.rgrpBorderStyle.SetItemIndex(config.SnapBorderStyle);
  dialog.rgrpHorzPos.SetItemIndex(config.SnapHorzPos);
  dialog.rgrpVertPos.SetItemIndex(config.SnapVertPos);
  if (dialog.ShowModal() == platform::ModalResult::OK) {
    config.SnapColumns = static_cast<std::int16_t>(dialog.sedtColumns.Value());
    config.SnapHorzPos = static_cast<std::int16_t>(std::max(dialog.rgrpHorzPos.ItemIndex(), 0));
    config.SnapVertPos = static_cast<std::int16_t>(std::max(dialog.rgrpVertPos.ItemIndex(), 0));
    LayOut(false);
    const int borderStyle = std::max(dialog.rgrpBorderStyle.ItemIndex(), 0);
    if (borderStyle != config.SnapBorderStyle) {
      ShowWarning("Changes to border style will take effect next time you run Kelvo Snap.");
      config.SnapBorderStyle = static_cast<std::int16_t>(borderStyle);
    }
  }
  ActivateHost();
}

void TfrmQXSnap::tbtn2pointClick() {
  ActivateHost();
  LibraryState& state = State();
  std::int16_t status = 0;
  HsiPoint mid{};
  bool both = false;
  if (HsiGetProgMode() == HSI_MODE_2D) {
    HsiPoint first{}, second{};
    HsiGetPoint("Pick first point for midpoint...", &first, &status, &state.MenuArgY);
    if (status == HSI_POINT_GIVEN) {
      HsiGetPoint("Pick second point for midpoint...", &second, &status, &state.MenuArgY);
      if (status == HSI_POINT_GIVEN) {
        HsiLineCenter(&first, &second, &mid);
        both = true;
      }
    }
  } else {
    HsiPoint3D first{}, second{};
    HsiGet3DPoint("Pick first point for midpoint...", &first, &status, &state.MenuArgY);
    if (status == HSI_POINT_GIVEN) {
      HsiGet3DPoint("Pick second point for midpoint...", &second, &status, &state.MenuArgY);
      if (status == HSI_POINT_GIVEN) {
        // Half the way from the first point, per coordinate, rounded to the nearest unit. Typed
        // input carries x and y.
        auto half = [](std::int32_t a, std::int32_t b) {
          return RoundToInt32(double(a) + RoundHalfEven((double(b) - double(a)) / 2.0));
        };
        mid = {half(first.x, second.x), half(first.y, second.y)};
        both = true;
      }
    }
  }
  if (both) {
    // The point goes to the host without a snap; then the modes in use before come back.
    Timer1.SetEnabled(false);
    SetHostSnapMode(0);
    HsiCoordInput(&mid, 0);
    for (const std::string& name : SnapHistory) SetHostSnapMode(SnapModeCode(name));
    Timer1.SetEnabled(true);
  } else {
    HsiPutMsg("2 point snap aborted...");
    if (status == HSI_POINT_CANCELLED) HsiClearMenuEvent();
  }
  HsiStatusLineUpdate();
  tbtn2point->SetDown(false);
  ActivateHost();
}

void TfrmQXSnap::ApplyHierarchy(int hierarchy) {
  Timer1.SetEnabled(false);
  SetHostSnapMode(0);
  tbtnOff().SetDown(false);
  ReleaseModeAndHierarchyButtons();
  SnapHistory.clear();
  // A copy: the record is packed, so no reference to its members is taken.
  std::int16_t modes[15];
  std::memcpy(modes, Config().SnapHierarchies[hierarchy], sizeof modes);
  for (int slot = 0; slot < 15 && modes[slot] != 0; ++slot) {
    const int mode = modes[slot];
    // A code that names no snap mode (a damaged file) has no button and is passed over.
    if (mode < 1 || mode >= kModeButtons) continue;
    SetHostSnapMode(mode);
    SnapHistory.push_back(SnapModeName(mode));
    modeButtons[mode]->SetDown(true);
    LastShownMode = mode;
  }
  Timer1.SetEnabled(true);
}

void TfrmQXSnap::DefineHierarchy(int hierarchy) {
  TdlgDefineHierarchy& dialog = *State().forms->dlgDefineHierarchy;
  // Through a copy: the record is packed, so no reference to its members is taken.
  std::int16_t modes[15];
  std::memcpy(modes, Config().SnapHierarchies[hierarchy], sizeof modes);
  dialog.Load(modes);
  if (dialog.ShowModal() == platform::ModalResult::OK) {
    dialog.Store(modes);
    std::memcpy(Config().SnapHierarchies[hierarchy], modes, sizeof modes);
  }
}

void TfrmQXSnap::HierarchyBtnUp(int hierarchy, platform::MouseButton button) {
  if (button == platform::MouseButton::Right)
    DefineHierarchy(hierarchy);
  else
    ApplyHierarchy(hierarchy);
  hierarchyButtons[hierarchy]->SetDown(false);
  ActivateHost();
}

void TfrmQXSnap::tbtnCloseClick() {
  if (closed_) return;
  closed_ = true;
  Config().SnapLastLeft = static_cast<std::int16_t>(Left());
  Config().SnapLastTop = static_cast<std::int16_t>(Top());
  HsiStatusLineUpdate();
  State().SnapToolbarShown = false;
  Timer1.SetEnabled(false);
  SnapHistory.clear();
  Hide();
  // The click that closes the window is still under way: the window is freed once it is over.
  if (gToolbar == this) {
    gToolbar = nullptr;
    Release();
  }
}

int SnapToolbarWidth() { return gToolbar != nullptr ? gToolbar->Width() : 0; }

TfrmQXSnap* SnapToolbar() { return gToolbar; }

void DestroySnapToolbar() {
  delete gToolbar;
  gToolbar = nullptr;
}

}  // namespace qxt

QXT_EXPORT void QXSnap() {
  using namespace qxt;
  // The toolbar takes no part in the one-tool interlock and announces nothing: it stays open
  // beside every other command.
  if (!ToolsReady()) return;
  if (State().SnapToolbarShown) {
    ShowWarning("Kelvo Snap is already running.");
    return;
  }
  const platform::WindowHandle hostWindow = HsiGetWindowHandle();
  const platform::WindowHandle drawWindow = platform::FirstChildWindow(hostWindow);
  gToolbar = new TfrmQXSnap(hostWindow, drawWindow);
  gToolbar->Show();
  State().SnapToolbarShown = true;
  gToolbar->Timer1.SetEnabled(true);
  gToolbar->LastShownMode = 0;

  SetHostSnapMode(0);
  gToolbar->SnapHistory.clear();
  platform::SetActiveWindow(hostWindow);
}
