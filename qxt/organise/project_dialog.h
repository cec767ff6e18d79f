// Edits one project of the project list.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgEditProject : public platform::Form {
 public:
  TdlgEditProject();
};

}  // namespace qxt
