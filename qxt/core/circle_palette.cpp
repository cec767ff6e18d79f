#include "core/circle_palette.h"

#include "core/palette_buttons.h"

namespace qxt {

TfrmQXCircle::TfrmQXCircle()
    : platform::Form("TfrmQXCircle", "QX Circle"),
      btnRadius(AddPaletteButton(*this, "btnRadius", "  &Radius   ",
                                 "Create circle with center point and point on circle", 1)),
      btnDiameter(AddPaletteButton(*this, "btnDiameter", "  &Diameter",
                                   "Create circle with 2 points on circle", 2)),
      btn3Points(AddPaletteButton(*this, "btn3Points", "  &3 Points  ",
                                  "Create circle with 3 points on circle", 3)),
      btnInscribe(AddPaletteButton(*this, "btnInscribe", "  &Inscribe   ",
                                   "Inscribe a circle in 3 selected lines", 4)),
      btnCancel(AddPaletteButton(*this, "btnCancel", "Cancel", "Cancel QX Circle command", 5)) {
  helpContext = 116;
  borderStyle = platform::BorderStyle::ToolWindow;
  showHint = true;
  btnCancel.isCancel = true;
  SetClientWidth(btnRadius.Width());
  SetClientHeight(5 * btnRadius.Height());
}

}  // namespace qxt
