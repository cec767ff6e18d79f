#include "drafting/dimension_edit.h"

namespace qxt {

TdlgDimEdit::TdlgDimEdit() : platform::Form("TdlgDimEdit", "Edit Dimension") { helpContext = 110; }

}  // namespace qxt
