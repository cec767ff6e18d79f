// Shared pieces of the fuzz targets: the input as a string, and a loud stop when a reader breaks
// a promise that is not a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qxtfuzz {

inline std::string AsString(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Stops the program so that the fuzzer keeps the input: the reader accepted or refused something
// in a way its callers cannot live with (for example it wrote a file it cannot read back).
[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "broken promise: %s\n", what.c_str());
  std::abort();
}

}  // namespace qxtfuzz
