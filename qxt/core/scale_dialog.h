// The scale command's dialog: architectural, engineering and metric scales.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXScale : public platform::Form {
 public:
  TdlgQXScale();
};

}  // namespace qxt
