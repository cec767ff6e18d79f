#include "drafting/snap_settings.h"

namespace qxt {

TdlgSnapSettings::TdlgSnapSettings() : platform::Form("TdlgSnapSettings", "QX Snap Settings") {}

}  // namespace qxt
