// A symbol group's control file (group name + ".CTL"), read when the user opens the group.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "hsi/hsi.h"
#include "text/symbol_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = qxtfuzz::AsString(data, size);
  const auto group = qxt::ParseSymbolGroup(text, "ENTRY");
  if (!group) return 0;
  if (group->pages.empty()) qxtfuzz::Broken("a group without pages");
  if (group->pages.size() > qxt::SplitLines(text).size()) qxtfuzz::Broken("more pages than lines");
  if (group->mode != HSI_MODE_2D && group->mode != HSI_MODE_3D)
    qxtfuzz::Broken("a group mode that is neither 2D nor 3D");
  for (const auto& page : group->pages) {
    if (page.scaleMode < 0 || page.scaleMode > 9)
      qxtfuzz::Broken("a scale mode of more than a digit");
  }
  return 0;
}
