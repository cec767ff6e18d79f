#include "organise/reference_manager.h"

namespace qxt {

TdlgQXReference::TdlgQXReference() : platform::Form("TdlgQXReference", "QX Reference") {
  helpContext = 107;
}

}  // namespace qxt
