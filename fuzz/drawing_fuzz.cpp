// Drawing files (.VWF): JSON documents opened by the host, with the symbols and references they
// carry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("drawing");
  machine.ResetPlatform();
  machine.Write("C:\\TRACELON\\DRAWINGS\\FUZZ.VWF", qxtfuzz::AsString(data, size));
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  // Something on the drawing, so that a refused file can be seen to leave it alone.
  const int32_t line = h.AddLine({{0, 0}, {1000, 0}});

  std::string error;
  if (!h.OpenDrawing("C:\\TRACELON\\DRAWINGS\\FUZZ.VWF", &error)) {
    if (error.empty()) qxtfuzz::Broken("a refused drawing without a reason");
    if (h.Objects().size() != 1 || h.Find(line) == nullptr)
      qxtfuzz::Broken("a refused drawing changed the drawing");
  } else {
    h.ToJson();
    h.ToSvg();
    // What the host opened it must be able to save and open again.
    const size_t objects = h.FinalObjects().size();
    if (!h.SaveDrawing("C:\\TRACELON\\DRAWINGS\\AGAIN.VWF", &error))
      qxtfuzz::Broken("opened drawing cannot be saved: " + error);
    if (!h.OpenDrawing("C:\\TRACELON\\DRAWINGS\\AGAIN.VWF", &error))
      qxtfuzz::Broken("saved drawing does not open again: " + error);
    if (h.FinalObjects().size() != objects) qxtfuzz::Broken("saved drawing lost objects");
  }
  host::Host::Stop();
  return 0;
}
