// Bitmaps (.BMP): the picture menus' page pictures.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::Bitmap bitmap;
  try {
    bitmap = platform::DecodeBmp(qxtfuzz::AsString(data, size));
  } catch (const platform::InvalidPicture&) {
    return 0;
  }
  if (bitmap.width < 0 || bitmap.height < 0 ||
      bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height)
    qxtfuzz::Broken("a read bitmap's pixels do not match its size");
  // Every bitmap read can be written and read back unchanged.
  platform::Bitmap again;
  try {
    again = platform::DecodeBmp(platform::EncodeBmp(bitmap));
  } catch (const platform::InvalidPicture& e) {
    qxtfuzz::Broken(std::string("a written bitmap does not read back: ") + e.what());
  }
  if (!(again == bitmap)) qxtfuzz::Broken("a written bitmap reads back different");
  return 0;
}
