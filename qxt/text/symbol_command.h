// The symbol command: the user picks a symbol from the picture menus of the symbol library and
// places it, or inserts it into lines; the browser comes back on the same page after each
// symbol until the user ends the command.
#pragma once

#include "core/export.h"

QXT_EXPORT void QXSymbol();
