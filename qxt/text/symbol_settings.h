// Rotation, scale and mirroring of the symbols being placed.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgSymbolSettings : public platform::Form {
 public:
  TdlgSymbolSettings();
};

}  // namespace qxt
