// The fix palette: the kind of wall-line junction to repair.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXFix : public platform::Form {
 public:
  TfrmQXFix();
};

}  // namespace qxt
