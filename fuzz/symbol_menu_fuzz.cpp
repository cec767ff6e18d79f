// The symbol library's main menu control file (QXSYMBOL.CTL), read when the symbol command
// starts; then the cell under points of the picture.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "text/symbol_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = qxtfuzz::AsString(data, size);
  const qxt::SymbolMenuRead read = qxt::ParseSymbolMenu(text);
  const int lines = static_cast<int>(qxt::SplitLines(text).size());
  if (read.linesRead < 0 || read.linesRead > lines) qxtfuzz::Broken("more lines read than exist");
  if (!read.menu) return 0;
  const qxt::SymbolMenu& menu = *read.menu;
  if (menu.width <= 0 || menu.height <= 0 || menu.rows <= 0 || menu.columns <= 0)
    qxtfuzz::Broken("a menu grid without cells");
  const long long cells = static_cast<long long>(menu.rows) * menu.columns;
  if (static_cast<long long>(menu.entries.size()) != cells)
    qxtfuzz::Broken("a menu entry count other than rows x columns");
  // Every point of the picture and beyond it names a cell with an entry, or none.
  for (int x : {-1, 0, menu.width / 2, menu.width - 1, menu.width, INT_MAX}) {
    for (int y : {-1, 0, menu.height / 2, menu.height - 1, menu.height, INT_MAX}) {
      const int cell = menu.CellAt(x, y);
      if (cell < 0 || cell > cells) qxtfuzz::Broken("a cell past the menu's entries");
    }
  }
  return 0;
}
