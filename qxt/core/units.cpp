#include "core/units.h"

#include <algorithm>
#include <array>

#include "core/messages.h"
#include "core/numbers.h"
#include "platform/window_handle.h"

namespace qxt {

namespace {

// Switches the host to another space and back when it goes out of scope.
class SpaceGuard {
 public:
  explicit SpaceGuard(int16_t space) : saved_(HsiGetSpace()) { HsiSetSpace(space); }
  ~SpaceGuard() { HsiSetSpace(saved_); }
  SpaceGuard(const SpaceGuard&) = delete;
  SpaceGuard& operator=(const SpaceGuard&) = delete;

 private:
  int16_t saved_;
};

// Remembers the scaled-unit mode and puts it back when it goes out of scope.
class ScaledUnitsGuard {
 public:
  ScaledUnitsGuard() : saved_(HsiGetScaledUnits()) {}
  ~ScaledUnitsGuard() { HsiSetScaledUnits(saved_); }
  ScaledUnitsGuard(const ScaledUnitsGuard&) = delete;
  ScaledUnitsGuard& operator=(const ScaledUnitsGuard&) = delete;

 private:
  HsiStatus saved_;
};

// Sets the display resolution of the current scaled-unit mode (the denominator for fractions,
// the number of places for decimals) for a paper length, and puts back the one it changed when
// it goes out of scope.
class PaperResolutionGuard {
 public:
  PaperResolutionGuard(HsiStatus scaledUnits, int32_t pointsPerUnit)
      : fractions_(scaledUnits == HSI_SCALED_FRACTIONS) {
    if (fractions_) {
      saved_ = HsiGetDispDenom();
      HsiSetDispDenom(static_cast<int16_t>(std::min<int32_t>(pointsPerUnit, kMaxPaperDenominator)));
    } else {
      saved_ = HsiGetDispPrecision();
      HsiSetDispPrecision(
          static_cast<int16_t>(std::min<int32_t>(DigitCount(pointsPerUnit), kMaxPaperPrecision)));
    }
  }
  ~PaperResolutionGuard() {
    if (fractions_)
      HsiSetDispDenom(saved_);
    else
      HsiSetDispPrecision(saved_);
  }
  PaperResolutionGuard(const PaperResolutionGuard&) = delete;
  PaperResolutionGuard& operator=(const PaperResolutionGuard&) = delete;

 private:
  bool fractions_;
  int16_t saved_ = 0;
};

// The host's text for a length under the settings in force.
std::string HostLengthText(int32_t dbu) {
  std::array<char, HSI_UNIT_TEXT_SIZE + 1> buffer{};
  HsiDbutoString(dbu, buffer.data());
  buffer.back() = '\0';
  return std::string(buffer.data());
}

// Reads a text with a slash as a fraction and one with a point as a decimal, whatever the
// drawing's mode; other texts are read in the mode in force.
void ChooseScaledUnitsFor(std::string_view text) {
  if (text.find('/') != std::string_view::npos)
    HsiSetScaledUnits(HSI_SCALED_FRACTIONS);
  else if (text.find('.') != std::string_view::npos)
    HsiSetScaledUnits(HSI_SCALED_DECIMALS);
}

// Lets the host read the text's first characters.
HsiStatus ReadLengthText(std::string_view text, int32_t& dbu) {
  const std::string head(text.substr(0, kLengthTextChars));
  return HsiStringtoDbu(head.c_str(), &dbu);
}

}  // namespace

std::string PaperDistToText(int32_t dbu) {
  std::string text;
  {
    const int32_t pointsPerUnit = HsiGetPntsPerUnit();
    PaperResolutionGuard resolution(HsiGetScaledUnits(), pointsPerUnit);
    // The space goes back before the resolution does, so the resolution is restored in the space
    // it was changed in.
    SpaceGuard paper(0);
    text = HostLengthText(dbu);
  }
  if (text.starts_with("0 ")) text.erase(0, 2);
  return text;
}

HsiStatus TextToPaperDist(std::string_view text, int32_t& dbu) {
  ScaledUnitsGuard mode;
  ChooseScaledUnitsFor(text);
  SpaceGuard paper(0);
  return ReadLengthText(text, dbu);
}

bool CheckPaperLengthField(platform::Edit& field, bool zeroAllowed) {
  int32_t dbu = 0;
  const bool readable = TextToPaperDist(field.Text(), dbu) == HSI_SUCCESS;
  if (readable && (dbu > 0 || (zeroAllowed && dbu == 0))) return true;
  ShowWarning(kLengthNotValid);
  field.SetFocus();
  field.SelectAll();
  return false;
}

std::string DistToText(int32_t dbu) { return HostLengthText(dbu); }

HsiStatus TextToDist(std::string_view text, int32_t& dbu) {
  ScaledUnitsGuard mode;
  ChooseScaledUnitsFor(text);
  return ReadLengthText(text, dbu);
}

int16_t LayerColor(int16_t layer) {
  HsiLayerRecord record{};
  HsiGetLayer(&record, layer);
  const int16_t colour = record.colour;
  return colour != 0 ? colour : HsiGetCurColor();
}

platform::Point HostClientOrigin() {
  return platform::ClientToScreen(HsiGetWindowHandle(), platform::Point{0, 0});
}

platform::Rect HostClientRect() { return platform::ClientRect(HsiGetWindowHandle()); }

}  // namespace qxt
