#include "core/setup_form.h"

namespace qxt {

TfrmQXSetup::TfrmQXSetup() : platform::Form("TfrmQXSetup", "QX Setup") { helpContext = 120; }

}  // namespace qxt
