// The arc palette: the host's arc construction methods, one button each, and Cancel.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXArc : public platform::Form {
 public:
  TfrmQXArc();

  platform::Button& btnRadius;
  platform::Button& btnDiameter;
  platform::Button& btn3Points;
  platform::Button& btnCancel;
};

}  // namespace qxt
