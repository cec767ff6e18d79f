// The dimension command's settings dialog.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXDimension : public platform::Form {
 public:
  TdlgQXDimension();
};

}  // namespace qxt
