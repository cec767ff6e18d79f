// Lengths as text in the host's own unit notation, and small host-window helpers.
//
// The host does the unit arithmetic. Each conversion here switches the host to the settings it
// needs (space, scaled-unit mode, display denominator or precision) and puts every one of them
// back before it returns, whatever the host made of the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hsi/hsi.h"
#include "platform/forms.h"
#include "platform/graphics.h"

namespace qxt {

// Host texts read by the length readers are cut to this many characters.
inline constexpr size_t kLengthTextChars = 20;
// The finest fraction a paper length is shown with.
inline constexpr int16_t kMaxPaperDenominator = 1024;
// The most decimal places a paper length is shown with.
inline constexpr int16_t kMaxPaperPrecision = 10;

// A paper length (text sizes, arrow lengths, offsets on the plotted sheet) in the host's notation,
// as precise as the drawing's resolution allows: in fraction mode with the denominator set to the
// points per unit (at most 1024), in decimal mode with as many places as the points per unit has
// digits (at most 10). A leading zero-feet part "0 " is dropped.
std::string PaperDistToText(int32_t dbu);

// Reads a paper length. A text with a slash is read as a fraction, else one with a point as a
// decimal; only its first 20 characters are read. Returns the host's status; on failure `dbu`
// keeps whatever the host left in it.
HsiStatus TextToPaperDist(std::string_view text, int32_t& dbu);

inline constexpr const char* kLengthNotValid =
    "The length you entered is not valid here.\r\nPlease enter a length greater than zero.";

// The check of a dialog field holding a paper length, run when the field is left: a text the host
// cannot read, a negative length, and (unless `zeroAllowed`) a length of 0 are refused with a
// warning, and the field gets the focus back with its text, as typed, selected. True when the
// entry is accepted.
bool CheckPaperLengthField(platform::Edit& field, bool zeroAllowed);

// A drawing length in the current space and settings.
std::string DistToText(int32_t dbu);

// Reads a drawing length in the current space, with the same fraction/decimal choice and the same
// 20-character cut as TextToPaperDist.
HsiStatus TextToDist(std::string_view text, int32_t& dbu);

// A layer number of the configuration as the host's layer number, clamped to its range (a
// damaged configuration must not wrap around to another layer).
inline int16_t LayerNumber(int32_t layer) {
  return static_cast<int16_t>(layer < INT16_MIN   ? INT16_MIN
                              : layer > INT16_MAX ? INT16_MAX
                                                  : layer);
}

// The colour of a layer: the colour word of its host record, or the host's current colour when
// the layer has none (0).
int16_t LayerColor(int16_t layer);

// The screen position of the host main window's client area, and that client rectangle (which
// starts at 0, 0), for placing tool windows beside the drawing.
platform::Point HostClientOrigin();
platform::Rect HostClientRect();

}  // namespace qxt
