// Edits the text of one dimension while a dimension string is drawn.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgDimEdit : public platform::Form {
 public:
  TdlgDimEdit();
};

}  // namespace qxt
