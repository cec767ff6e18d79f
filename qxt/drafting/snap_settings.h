// The snap toolbar's layout settings.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgSnapSettings : public platform::Form {
 public:
  TdlgSnapSettings();
};

}  // namespace qxt
