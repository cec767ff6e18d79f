#include "core/scale_dialog.h"

namespace qxt {

TdlgQXScale::TdlgQXScale() : platform::Form("TdlgQXScale", "QX Scale") { helpContext = 108; }

}  // namespace qxt
