#include "drafting/dimension_command.h"

#include <string>

#include "core/command.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/replaced_settings.h"
#include "core/state.h"
#include "core/symbols.h"
#include "core/two_point.h"
#include "drafting/dimension_dialog.h"

namespace qxt {

namespace {

// The dimension settings as the dimension dialog would have let them be typed. A value a damaged
// configuration file holds outside those ranges (not a number included) is taken as absent: the
// default replaces it, and the message line names what was replaced.
void UseDefaultsForDamagedDimensionSettings() {
  QXConfig& config = Config();
  const QXConfig defaults = DefaultConfig(config.BaseDirectory.Get());
  ReplacedSettings replaced;
  if (replaced.Bad(config.DimTextSize > 0, "text size")) config.DimTextSize = defaults.DimTextSize;
  if (replaced.Bad(config.DimArrowExtLineExt >= 0, "arrow extension"))
    config.DimArrowExtLineExt = defaults.DimArrowExtLineExt;
  if (replaced.Bad(config.DimArrowExtLineOffset >= 0, "arrow offset"))
    config.DimArrowExtLineOffset = defaults.DimArrowExtLineOffset;
  if (replaced.Bad(config.DimTickDimLineExt >= 0, "tick overrun"))
    config.DimTickDimLineExt = defaults.DimTickDimLineExt;
  if (replaced.Bad(config.DimTickExtLineExt >= 0, "tick extension"))
    config.DimTickExtLineExt = defaults.DimTickExtLineExt;
  if (replaced.Bad(config.DimTickExtLineOffset >= 0, "tick offset"))
    config.DimTickExtLineOffset = defaults.DimTickExtLineOffset;
  if (replaced.Bad(Within(config.DimTextWidth, 0.5, 3.0), "width factor"))
    config.DimTextWidth = defaults.DimTextWidth;
  if (replaced.Bad(config.DimTextCharSpacing <= 30000, "character spacing"))
    config.DimTextCharSpacing = defaults.DimTextCharSpacing;
  if (replaced.Bad(config.DimTextSlant >= -45 && config.DimTextSlant <= 45, "slant"))
    config.DimTextSlant = defaults.DimTextSlant;
  replaced.Report("Dimension");
}

}  // namespace

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
  UseDefaultsForDamagedDimensionSettings();

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
