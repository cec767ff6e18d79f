#include "organise/drawing_dialog.h"

namespace qxt {

TdlgEditDrawings::TdlgEditDrawings() : platform::Form("TdlgEditDrawings", "Edit Drawings") {
  helpContext = 124;
}

}  // namespace qxt
