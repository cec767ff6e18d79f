// The leader command's settings dialog.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXLeader : public platform::Form {
 public:
  TdlgQXLeader();
};

}  // namespace qxt
