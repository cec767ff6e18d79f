// Edits one drawing of a project's drawing list.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgEditDrawings : public platform::Form {
 public:
  TdlgEditDrawings();
};

}  // namespace qxt
