#include "core/host_paths.h"

#include "hsi/hsi.h"

namespace qxt {

bool HostFolder(std::int16_t number, std::string& folder) {
  char buffer[HSI_PATH_SIZE + 1] = {};
  const HsiStatus status = HsiGetPaths(buffer, number, 0);
  buffer[HSI_PATH_SIZE] = '\0';  // never trust the host to end the text inside the buffer
  if (status != HSI_SUCCESS) {
    folder.clear();
    return false;
  }
  folder = buffer;
  return true;
}

}  // namespace qxt
