// The door command's dialog: size, door kind, door group and options.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgQXDoor : public platform::Form {
 public:
  TdlgQXDoor();
};

}  // namespace qxt
