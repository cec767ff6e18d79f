// DXF drawings opened by the host (and the same text read as a symbol, as the symbol import
// reads parts): a refused file leaves the drawing alone, and what opens saves as DXF and opens
// again with as many objects.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/dxf.h"
#include "host/host.h"
#include "scratch_machine.h"

namespace {
// A short file can explode its blocks into a million objects, within the reader's limits. Such a
// drawing opens (the reader's own checks run), but writing and reading it again takes seconds under
// the sanitizers and would only repeat what smaller drawings exercise; the round trip is kept to
// drawings up to this size.
constexpr size_t kRoundTripObjects = 20000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("dxf");
  machine.ResetPlatform();
  const std::string text = qxtfuzz::AsString(data, size);
  machine.Write("C:\\TRACELON\\DRAWINGS\\FUZZ.DXF", text);
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  const int32_t line = h.AddLine({{0, 0}, {1000, 0}});

  std::string error, note;
  if (!h.OpenDrawing("C:\\TRACELON\\DRAWINGS\\FUZZ.DXF", &error)) {
    if (error.empty()) qxtfuzz::Broken("a refused DXF without a reason");
    if (h.Objects().size() != 1 || h.Find(line) == nullptr)
      qxtfuzz::Broken("a refused DXF changed the drawing");
  } else if (h.Objects().size() <= kRoundTripObjects) {
    h.ToJson();
    h.ToSvg();
    const size_t objects = h.FinalObjects().size();
    if (!h.SaveDrawing("C:\\TRACELON\\DRAWINGS\\AGAIN.DXF", &error))
      qxtfuzz::Broken("an opened DXF cannot be saved: " + error);
    if (!h.OpenDrawing("C:\\TRACELON\\DRAWINGS\\AGAIN.DXF", &error))
      qxtfuzz::Broken("a saved DXF does not open again: " + error);
    if (h.FinalObjects().size() != objects) qxtfuzz::Broken("a saved DXF lost objects");
  }
  auto symbol = host::DxfToSymbol(text, "FUZZ.SYM", 8000, &note, &error);
  if (symbol && !host::ParseSymbol(host::WriteSymbol(*symbol), "FUZZ.SYM", &error))
    qxtfuzz::Broken("a symbol read from DXF cannot be read again: " + error);
  host::Host::Stop();
  return 0;
}
