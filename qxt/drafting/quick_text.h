// The quick text strip: a borderless window for typing text straight into the drawing.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXQText : public platform::Form {
 public:
  TfrmQXQText();
};

}  // namespace qxt
