// The colours the host shows its colour numbers in: the drawing's SVG, the desktop view and the
// DXF writer's nearest palette colour all take them from here.
#pragma once

namespace host {

struct ColourRgb {
  int r = 0, g = 0, b = 0;  // 0..255
};

// 1..7 the classic seven (7 is black on the white sheet), 8 and 9 greys, then a spread of hues
// around the wheel, darker in every second ten.
ColourRgb ColourOf(int colour);

}  // namespace host
