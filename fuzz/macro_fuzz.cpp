// Macro files (.CBX): checked whole by the host, then run.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("macro");
  machine.ResetPlatform();
  machine.Write("C:\\TRACELON\\MACROS\\FUZZ.CBX", qxtfuzz::AsString(data, size));
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  const std::string before = h.ToJson();

  std::string error;
  if (!h.RunMacro("FUZZ.CBX", &error)) {
    if (error.empty()) qxtfuzz::Broken("a refused macro without a reason");
    if (!h.MacrosRun().empty() || !h.HostCommands().empty() || h.ToJson() != before)
      qxtfuzz::Broken("a refused macro ran in part");
  } else if (h.MacrosRun().size() != 1) {
    qxtfuzz::Broken("a macro that ran was not recorded");
  }
  host::Host::Stop();
  return 0;
}
