#include "organise/layer_manager.h"

namespace qxt {

TdlgQXLayer::TdlgQXLayer() : platform::Form("TdlgQXLayer", "QX Layer") { helpContext = 104; }

}  // namespace qxt
