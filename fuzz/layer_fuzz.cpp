// Layer files (.lyr): applied by the host to the drawing's layers, whole or not at all.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("layer");
  machine.ResetPlatform();
  machine.Write("C:\\TRACELON\\LAYERS\\FUZZ.LYR", qxtfuzz::AsString(data, size));
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  h.SetLayerName(3, "KEEP");
  h.SetLayerOn(4, false);
  h.SetActiveLayer(2);
  const std::string before = h.ToJson();

  std::string error;
  if (!h.LoadLayerFile("C:\\TRACELON\\LAYERS\\FUZZ.LYR", &error)) {
    if (error.empty()) qxtfuzz::Broken("a refused layer file without a reason");
    if (h.ToJson() != before) qxtfuzz::Broken("a refused layer file changed the layers");
  } else if (!h.Layer(h.ActiveLayer()).On()) {
    qxtfuzz::Broken("a layer file hid the active layer");
  }
  host::Host::Stop();
  return 0;
}
