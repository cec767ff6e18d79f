// The snap toolbar's layout settings: buttons per row, border style and where the toolbar stands
// in the drawing area.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgSnapSettings : public platform::Form {
 public:
  TdlgSnapSettings();

  platform::Label& lblColumns;
  platform::SpinEdit& sedtColumns;  // 1 to 21
  platform::RadioGroup& rgrpBorderStyle;
  platform::RadioGroup& rgrpHorzPos;
  platform::RadioGroup& rgrpVertPos;
  platform::Button& btnOK;
  platform::Button& btnCancel;
};

}  // namespace qxt
