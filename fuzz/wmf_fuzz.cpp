// Metafiles (.WMF): the reference library's preview pictures.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::Metafile metafile;
  try {
    metafile = platform::DecodeWmf(qxtfuzz::AsString(data, size));
  } catch (const platform::InvalidPicture&) {
    return 0;
  }
  // A metafile that was read is saved again when its reference is stored: the writer either
  // refuses it with a reason or writes a file that reads back with the same records.
  std::string written;
  try {
    written = platform::EncodeWmf(metafile);
  } catch (const platform::InvalidPicture&) {
    return 0;
  }
  try {
    const platform::Metafile again = platform::DecodeWmf(written);
    if (again.records.size() != metafile.records.size())
      qxtfuzz::Broken("a written metafile reads back with other records");
  } catch (const platform::InvalidPicture& e) {
    qxtfuzz::Broken(std::string("a written metafile does not read back: ") + e.what());
  }
  return 0;
}
