#include "core/fix_command.h"

#include <cstdint>

#include "core/command.h"
#include "core/fix_palette.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"
#include "drafting/snap_toolbar.h"
#include "hsi/hsi.h"
#include "platform/window_handle.h"

namespace {

constexpr const char* kFirstCorner = "Pick first corner of selection window...";
constexpr const char* kOppositeCorner = "Pick opposite corner of selection window...";
constexpr std::int16_t kLinesetsOnly = HSI_FILTER_LINESET;

const char* FixFailure(std::int32_t fixType) {
  switch (fixType) {
    case qxt::kFixCorner:
      return "Unable to fix corner";
    case qxt::kFixOpenWye:
      return "Unable to fix open wye";
    case qxt::kFixCross:
      return "Unable to fix cross";
    case qxt::kFixOpenTee:
      return "Unable to fix open tee";
    default:
      return "Unable to fix closed tee";
  }
}

// Puts the palette at the top-left corner of the host's drawing area, beside the snap toolbar
// when that is shown there.
void PlacePalette(qxt::TfrmQXFix& palette, platform::WindowHandle hostWindow) {
  const platform::WindowHandle drawArea = platform::FirstChildWindow(hostWindow);
  platform::Point corner = platform::ClientToScreen(drawArea, {0, 0});
  if (qxt::State().SnapToolbarShown) corner.x += qxt::SnapToolbarWidth();
  palette.SetBounds(corner.x, corner.y, palette.Width(), palette.Height());
}

}  // namespace

QXT_EXPORT void QXFix() {
  using namespace qxt;
  if (!ToolsReady() || !RequireMode2D()) return;
  TfrmQXFix& palette = *State().forms->frmQXFix;
  const platform::WindowHandle hostWindow = HsiGetWindowHandle();
  // Picked again while it waits for a window, the command that runs keeps going: a second run
  // would hide the palette when it ends and leave the first asking for windows without it.
  if (palette.Running) {
    palette.Show();
    platform::SetActiveWindow(hostWindow);
    return;
  }
  AnnounceCommand("QX Fix");
  struct RunningWhileHere {
    TfrmQXFix& palette;
    explicit RunningWhileHere(TfrmQXFix& p) : palette(p) { palette.Running = true; }
    ~RunningWhileHere() { palette.Running = false; }
  } running(palette);

  PlacePalette(palette, hostWindow);
  palette.PressCurrentType();
  palette.Show();
  platform::SetActiveWindow(hostWindow);

  LibraryState& state = State();
  for (;;) {
    HsiPoint first{}, opposite{};
    std::int16_t status = 0;
    HsiDeleteCursor();
    HsiGetPoint(kFirstCorner, &first, &status, &state.MenuArgY);
    if (status != HSI_POINT_GIVEN) break;
    HsiMakeCursor(0, HSI_CURSOR_WINDOW, &first, 0, &first, 0);
    HsiGetPoint(kOppositeCorner, &opposite, &status, &state.MenuArgY);
    if (status == HSI_POINT_CANCELLED) break;
    if (status != HSI_POINT_GIVEN) continue;  // start again from the first corner

    HsiOslClear(0);
    HsiSelectbyWindow(0, kFirstCorner, kOppositeCorner, HSI_WINDOW_CROSSING, HSI_TRUE, HSI_TRUE,
                      &first, &opposite, kLinesetsOnly);
    // The kind is read now: the user may have chosen another on the palette meanwhile.
    const std::int32_t fixType = palette.FixType;
    if (HsiObjFixParLines(0, static_cast<std::int16_t>(fixType), &first, &opposite,
                          HSI_DRAW_NORMAL) == HSI_FAILURE) {
      ShowWarning(FixFailure(fixType));
    }
  }
  HsiDeleteCursor();
  palette.Hide();
}
