#include "organise/reference_edit.h"

namespace qxt {

TdlgRefEdit::TdlgRefEdit() : platform::Form("TdlgRefEdit", "New Reference Object") {
  helpContext = 111;
}

}  // namespace qxt
