#include "core/symbols.h"

#include "hsi/hsi.h"

namespace qxt {

std::int32_t FindOrLoadSymbol(const std::string& name, std::int16_t findCode,
                              std::int16_t loadCode) {
  const std::int32_t found = HsiSymbolFind(findCode, name.c_str());
  if (found != HSI_FAILURE) return found;
  char folder[HSI_PATH_SIZE + 1] = {};
  HsiGetPaths(folder, HSI_PATH_SYMBOLS, 0);
  folder[HSI_PATH_SIZE] = '\0';  // never trust the host to end the text inside the buffer
  return HsiLoadSymFile(loadCode, folder, name.c_str(), HSI_TRUE);
}

}  // namespace qxt
