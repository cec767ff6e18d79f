#include "organise/area_dialog.h"

namespace qxt {

TdlgQXArea::TdlgQXArea() : platform::Form("TdlgQXArea", "QX Area") { helpContext = 101; }

}  // namespace qxt
