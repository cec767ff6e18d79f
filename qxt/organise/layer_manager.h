// The layer manager: all 255 layers as a grid.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXLayer : public platform::Form {
 public:
  TdlgQXLayer();
};

}  // namespace qxt
