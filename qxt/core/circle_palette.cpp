#include "core/circle_palette.h"

namespace qxt {

TfrmQXCircle::TfrmQXCircle() : platform::Form("TfrmQXCircle", "QX Circle") { helpContext = 116; }

}  // namespace qxt
