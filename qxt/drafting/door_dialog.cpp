#include "drafting/door_dialog.h"

namespace qxt {

TdlgQXDoor::TdlgQXDoor() : platform::Form("TdlgQXDoor", "QX Door") { helpContext = 103; }

}  // namespace qxt
