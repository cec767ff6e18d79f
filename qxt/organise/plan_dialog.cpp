#include "organise/plan_dialog.h"

namespace qxt {

TdlgQXPlan::TdlgQXPlan() : platform::Form("TdlgQXPlan", "QX Plan") { helpContext = 106; }

}  // namespace qxt
