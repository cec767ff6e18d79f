#include "core/fix_palette.h"

namespace qxt {

TfrmQXFix::TfrmQXFix() : platform::Form("TfrmQXFix", "QX Fix") { helpContext = 117; }

}  // namespace qxt
