#include "text/leader_dialog.h"

namespace qxt {

TdlgQXLeader::TdlgQXLeader() : platform::Form("TdlgQXLeader", "QX Leader") { helpContext = 105; }

}  // namespace qxt
