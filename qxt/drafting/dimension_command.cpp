#include "drafting/dimension_command.h"

#include "core/command.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"
#include "core/symbols.h"
#include "core/two_point.h"
#include "drafting/dimension_dialog.h"

namespace qxt {

void DrawDimensionString(DimensionRun& run, HsiPoint p1, HsiPoint p2) {
  const int32_t marker = FindOrLoadSymbol(Config().DimMarkerSymbol.Get());
  if (marker == HSI_FAILURE) {
    // The string is drawn without markers; the user hears of it once in a run of the command.
    if (!run.MarkerMissingReported) ShowWarning(kMarkerSymbolNotFound);
    run.MarkerMissingReported = true;
    run.MarkerSymbol = 0;
  } else {
    run.MarkerSymbol = marker;
  }
  HsiDrawLine(&p1, &p2, HSI_DRAW_HIGHLIGHT, 0, 0);
  if (p1.y == p2.y) {
    DrawHorizontalString(run, p1, p2);
  } else if (p1.x == p2.x) {
    DrawVerticalString(run, p1, p2);
  } else {
    DrawAlignedString(run, p1, p2);
  }
}

}  // namespace qxt

QXT_EXPORT void QXDimension() {
  using namespace qxt;
  // Entry check and interlock (code 9); every way out updates the status line and releases it.
  ToolRun tool(kDimensionTool, ToolRun::Announce::Later);
  if (!tool.Started()) return;
  SwitchHintsOn();
  tool.AnnounceTool();

  TdlgQXDimension& dialog = *State().forms->dlgQXDimension;
  if (Config().DimDialogBefore && dialog.ShowModal() != platform::ModalResult::OK) return;

  DimensionRun run;
  run.SavedSnapMode = HsiGetSnapMode();
  for (;;) {
    // Between strings the user picks freely (or on the grid, when that was the snap mode).
    if (Config().DimAutoSnap) SnapOnly(run.SavedSnapMode == kSnapGrid ? kSnapGrid : kSnapNone);
    HsiPoint p1{};
    HsiPoint p2{};
    int16_t status = 0;
    if (TwoPointInput(kDimensionLineFirstPrompt, kDimensionLineSecondPrompt, p1, true,
                      State().MenuArgY, status, p2)) {
      DrawDimensionString(run, p1, p2);
      continue;
    }
    if (Config().DimAutoSnap) SnapOnly(run.SavedSnapMode);
    // Picking ended otherwise than by cancelling: the user may change the settings and go on.
    if (status != HSI_POINT_CANCELLED && Config().DimDialogAfter &&
        dialog.ShowModal() == platform::ModalResult::OK) {
      continue;
    }
    break;
  }
}
