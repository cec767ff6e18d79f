// The area command's settings dialog.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXArea : public platform::Form {
 public:
  TdlgQXArea();
};

}  // namespace qxt
