#include "drafting/define_hierarchy.h"

namespace qxt {

TdlgDefineHierarchy::TdlgDefineHierarchy()
    : platform::Form("TdlgDefineHierarchy", "Define Snap Hierarchy") {}

}  // namespace qxt
