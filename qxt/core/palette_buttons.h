// The buttons of the circle and arc palettes: one column of equal buttons, each with its caption,
// hint and modal result.
#pragma once

#include <string>

#include "platform/forms.h"

namespace qxt {

inline platform::Button& AddPaletteButton(platform::Form& palette, const std::string& name,
                                          const std::string& caption, const std::string& hint,
                                          int modalResult) {
  constexpr int kWidth = 90, kHeight = 25;
  const int row = static_cast<int>(palette.Controls().size());
  auto& button = palette.Add<platform::Button>(name);
  button.SetCaption(caption);
  button.hint = hint;
  button.modalResult = modalResult;
  button.SetBounds(0, row * kHeight, kWidth, kHeight);
  return button;
}

}  // namespace qxt
