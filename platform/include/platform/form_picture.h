// Pictures of forms: a form drawn as the screen would show it, from its model alone (bounds,
// captions, states, painted grid cells), as an SVG document. For documentation and for looking
// at a dialog's layout without a screen; nothing in the toolkit depends on it.
#pragma once

#include <string>

#include "platform/graphics.h"

namespace platform {

class Form;

// The form with its frame and title bar and every control shown on it, in the classic grey
// scheme: sunken fields, raised buttons, etched group boxes, the accelerator character of a
// caption underlined, disabled controls greyed, the focused control with its focus mark. The
// document is the form's outer size in pixels. Each word of a text is placed where the toolkit's
// text measure puts it, so what fits in the toolkit fits in the picture whatever face the viewer
// draws it with; a control draws nothing outside its bounds and a child nothing outside its
// parent.
std::string FormPictureSvg(const Form& form);

// A caption without its accelerator marks ("&&" stays one '&'), and the index in that text of
// the character the first single '&' marks (-1 when none).
struct AcceleratedCaption {
  std::string text;
  int accelerator = -1;
};
AcceleratedCaption SplitAccelerator(const std::string& caption);

}  // namespace platform
