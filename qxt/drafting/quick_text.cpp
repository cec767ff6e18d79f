#include "drafting/quick_text.h"

namespace qxt {

TfrmQXQText::TfrmQXQText() : platform::Form("TfrmQXQText", "") { helpContext = 119; }

}  // namespace qxt
