// The circle palette: the host's circle construction methods, one button each, and Cancel.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXCircle : public platform::Form {
 public:
  TfrmQXCircle();

  platform::Button& btnRadius;
  platform::Button& btnDiameter;
  platform::Button& btn3Points;
  platform::Button& btnInscribe;
  platform::Button& btnCancel;
};

}  // namespace qxt
