#include "core/arc_palette.h"

namespace qxt {

TfrmQXArc::TfrmQXArc() : platform::Form("TfrmQXArc", "QX Arc") { helpContext = 115; }

}  // namespace qxt
