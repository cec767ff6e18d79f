// The circle palette: the host's circle construction methods.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXCircle : public platform::Form {
 public:
  TfrmQXCircle();
};

}  // namespace qxt
