#include "organise/reference_settings.h"

namespace qxt {

TdlgRefSettings::TdlgRefSettings() : platform::Form("TdlgRefSettings", "QX Reference Settings") {
  helpContext = 112;
}

}  // namespace qxt
