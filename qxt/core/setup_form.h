// The setup form: every setting of the configuration on six pages.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXSetup : public platform::Form {
 public:
  TfrmQXSetup();
};

}  // namespace qxt
