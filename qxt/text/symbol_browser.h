// The symbol library browser: picture menus of symbol groups and pages.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXSymbol : public platform::Form {
 public:
  TfrmQXSymbol();
};

}  // namespace qxt
