// A page's cell list (page name + ".LST"), read when the user chooses a cell of the page; the
// first byte chooses the page's default scale mode.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "text/symbol_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int pageScale = data[0] % 10;
  const std::string text = qxtfuzz::AsString(data + 1, size - 1);
  const qxt::CellListRead read = qxt::ParseCellList(text, pageScale);
  if (read.error != qxt::CellListRead::Error::None) {
    if (read.line < 1 || read.line > qxt::kPageCells) qxtfuzz::Broken("an error line off the page");
    return 0;
  }
  for (const qxt::SymbolCell& cell : read.cells) {
    if (cell.Name.size() > qxt::kCellNameChars) qxtfuzz::Broken("a name longer than 13");
    if (cell.Kind == qxt::kEmptyCell && cell.Name != "NONE") qxtfuzz::Broken("an empty cell named");
    if (cell.Kind == qxt::kInsertCell && cell.Justify.size() != 1)
      qxtfuzz::Broken("an insertion without its justification");
    if (cell.Kind != qxt::kInsertCell && !cell.Justify.empty())
      qxtfuzz::Broken("a justification on a placed symbol");
  }
  return 0;
}
