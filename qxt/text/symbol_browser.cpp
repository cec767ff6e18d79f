#include "text/symbol_browser.h"

namespace qxt {

TfrmQXSymbol::TfrmQXSymbol() : platform::Form("TfrmQXSymbol", "QX Symbol") {}

}  // namespace qxt
