#include "core/arc_palette.h"

#include "core/palette_buttons.h"

namespace qxt {

TfrmQXArc::TfrmQXArc()
    : platform::Form("TfrmQXArc", "QX Arc"),
      btnRadius(AddPaletteButton(*this, "btnRadius", "  &Radius   ",
                                 "Create arc with center point and 2 endpoints", 1)),
      btnDiameter(AddPaletteButton(*this, "btnDiameter", "  &Diameter",
                                   "Create semi-circle with 2 endpoints", 2)),
      btn3Points(AddPaletteButton(*this, "btn3Points", "  &3 Points  ",
                                  "Create arc with 2 endpoints and point on arc", 3)),
      btnCancel(AddPaletteButton(*this, "btnCancel", "Cancel", "Cancel QX Arc command", 4)) {
  helpContext = 115;
  borderStyle = platform::BorderStyle::ToolWindow;
  showHint = true;
  btnCancel.isCancel = true;
  SetClientWidth(btnRadius.Width());
  SetClientHeight(4 * btnRadius.Height());
}

}  // namespace qxt
