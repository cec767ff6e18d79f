#include "drafting/macro_toolbar.h"

namespace qxt {

TfrmQXMacro::TfrmQXMacro() : platform::Form("TfrmQXMacro", "QX Macro") { helpContext = 118; }

}  // namespace qxt
