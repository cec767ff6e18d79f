// Defines or edits one reference object.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgRefEdit : public platform::Form {
 public:
  TdlgRefEdit();
};

}  // namespace qxt
