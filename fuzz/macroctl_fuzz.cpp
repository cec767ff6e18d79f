// The macro toolbar's control file QXMACRO.CTL: the number of pages, then the page names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drafting/macro_toolbar.h"
#include "fuzz_support.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("macroctl");
  machine.ResetPlatform();
  const std::string path = "C:\\TRACELON\\MACROS\\QXMACRO.CTL";
  machine.Write(path, qxtfuzz::AsString(data, size));
  std::vector<std::string> pages;
  int count = -1, lines = -1;
  const bool read = qxt::ReadMacroControl(path, pages, count, lines);
  if (lines < 0 || static_cast<std::size_t>(lines) > size + 1)
    qxtfuzz::Broken("more lines counted than the file holds");
  if (read && (count < 1 || pages.size() > static_cast<std::size_t>(count) ||
               static_cast<std::size_t>(lines) != pages.size() + 2))
    qxtfuzz::Broken("a control file read with more names than pages, or lines miscounted");
  if (!read && (!pages.empty() || count != 0))
    qxtfuzz::Broken("a refused control file left pages behind");
  return 0;
}
