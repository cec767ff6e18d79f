// The macro toolbar: picture pages of host macros and programs.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXMacro : public platform::Form {
 public:
  TfrmQXMacro();
};

}  // namespace qxt
