// The toolset's configuration file QXTOOLS.DAT: read when the library is loaded, in the current or
// the earlier record format, and written back when it is unloaded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/config.h"
#include "core/exports.h"
#include "core/state.h"
#include "fuzz_support.h"
#include "host/host.h"
#include "scratch_machine.h"

namespace {

constexpr const char* kConfigPath = "C:\\TRACELON\\WORK\\QXTOOLS.DAT";

// Loads the library on the scratch machine and gives the record it read (and whether it is
// valid), then unloads it, which saves the record.
bool LoadAndUnload(qxt::QXConfig& record) {
  host::Host::Options options;
  options.readIni = false;
  host::Host::Start(options);
  qxt::StartLibrary();
  record = qxt::Config();
  const bool valid = record.ConfigValid == 1;
  if (valid) {
    // What an outside caller gets from the record stays within its buffer.
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    GetBaseDir(buffer);
    if (std::memchr(buffer, '\0', sizeof buffer) == nullptr)
      qxtfuzz::Broken("the base directory overflows its buffer");
  }
  qxt::EndLibrary();
  host::Host::Stop();
  return valid;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("config");
  machine.ResetPlatform();
  machine.Write(kConfigPath, qxtfuzz::AsString(data, size));

  qxt::QXConfig first{};
  if (!LoadAndUnload(first)) return 0;
  // A record that was read and saved reads again, the same.
  qxt::QXConfig second{};
  if (!LoadAndUnload(second)) qxtfuzz::Broken("a saved configuration does not read again");
  if (std::memcmp(&first, &second, sizeof first) != 0)
    qxtfuzz::Broken("a saved configuration reads back different");
  return 0;
}
