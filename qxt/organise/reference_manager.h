// The reference manager: the library of reference objects.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXReference : public platform::Form {
 public:
  TdlgQXReference();
};

}  // namespace qxt
