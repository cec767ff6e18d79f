// Ini files: one value at a time read by the platform; the host takes its folders from the
// [Paths] section of tracelon.ini when it starts, the toolset reads other sections.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "hsi/hsi.h"
#include "platform/system.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("ini");
  machine.ResetPlatform();
  machine.Write("C:\\TRACELON\\tracelon.ini", qxtfuzz::AsString(data, size));

  for (const char* key : {"Background", "Reference", "1", ""})
    platform::GetPrivateProfileString("Colors", key, "none", "C:\\TRACELON\\TRACELON.INI");
  platform::GetPrivateProfileString("", "", "", "C:\\TRACELON\\tracelon.ini");

  host::Host& h = host::Host::Start();  // reads [Paths]
  char buffer[HSI_PATH_SIZE];
  for (int16_t number = 0; number < 15; ++number) {
    std::memset(buffer, 'x', sizeof buffer);
    if (HsiGetPaths(buffer, number, 0) != HSI_SUCCESS)
      qxtfuzz::Broken("a folder of the host went missing");
    if (std::memchr(buffer, '\0', sizeof buffer) == nullptr)
      qxtfuzz::Broken("a folder overflows its buffer");
  }
  h.ClearCalls();
  host::Host::Stop();
  return 0;
}
