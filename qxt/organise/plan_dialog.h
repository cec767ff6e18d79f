// The plan command's dialog: plan type and group option.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXPlan : public platform::Form {
 public:
  TdlgQXPlan();
};

}  // namespace qxt
