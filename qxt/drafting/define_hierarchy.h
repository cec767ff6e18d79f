// Defines one of the snap toolbar's snap hierarchies.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgDefineHierarchy : public platform::Form {
 public:
  TdlgDefineHierarchy();
};

}  // namespace qxt
