// The fix palette: the kind of wall-line junction QXFix repairs, chosen with five grouped speed
// buttons standing in one column. The palette stays up, not modal, while QXFix asks for
// selection windows, so the kind can change between two windows.
#pragma once

#include <cstdint>

#include "platform/forms.h"

namespace qxt {

// The junction kinds as the host's fix function numbers them.
enum FixKind : std::int32_t {
  kFixCorner = 1,
  kFixOpenWye = 2,
  kFixCross = 3,
  kFixOpenTee = 4,
  kFixClosedTee = 5,
};

class TfrmQXFix : public platform::Form {
 public:
  TfrmQXFix();

  platform::SpeedButton& sbtnCorner;
  platform::SpeedButton& sbtnCross;
  platform::SpeedButton& sbtnOpenT;
  platform::SpeedButton& sbtnClosedT;
  platform::SpeedButton& sbtnOpenY;

  // The junction kind the next window repairs. It starts at the open tee when the palette is
  // made (at load) and keeps the last choice while the library is loaded.
  std::int32_t FixType = kFixOpenTee;
  // True while QXFix asks for windows: picking QXFix again then only brings the palette back.
  bool Running = false;

  // Presses the button of the current FixType.
  void PressCurrentType();

  // The junction kind of a button's tag. The tags number the buttons in their order on the
  // palette, which is not the host's numbering of the kinds.
  static std::int32_t FixTypeOfTag(int tag);

 private:
  void SpeedButtonClick(platform::Control& sender);
};

}  // namespace qxt
