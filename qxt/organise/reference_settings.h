// Placement settings of reference objects: rotation, mirroring and layers.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgRefSettings : public platform::Form {
 public:
  TdlgRefSettings();
};

}  // namespace qxt
