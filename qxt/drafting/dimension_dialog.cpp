#include "drafting/dimension_dialog.h"

namespace qxt {

TdlgQXDimension::TdlgQXDimension() : platform::Form("TdlgQXDimension", "QX Dimension") {
  helpContext = 102;
}

}  // namespace qxt
