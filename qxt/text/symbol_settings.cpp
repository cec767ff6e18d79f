#include "text/symbol_settings.h"

namespace qxt {

TdlgSymbolSettings::TdlgSymbolSettings()
    : platform::Form("TdlgSymbolSettings", "QX Symbol Settings") {
  helpContext = 113;
}

}  // namespace qxt
