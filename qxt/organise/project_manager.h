// The project manager: projects, their drawings, and loading a drawing.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXProject : public platform::Form {
 public:
  TdlgQXProject();
};

}  // namespace qxt
