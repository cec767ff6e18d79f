// Symbol files (.SYM): read by the host when a symbol is found by name, and carried inside
// drawing files in the form the host writes them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "host/symbols.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("symbol");
  const std::string text = qxtfuzz::AsString(data, size);

  std::string error;
  const auto def = host::ParseSymbol(text, "FUZZ.SYM", &error);
  if (!def) {
    if (error.empty()) qxtfuzz::Broken("a refused symbol without a reason");
    return 0;
  }
  // A saved drawing carries its symbols as WriteSymbol puts them: that text must read back to
  // the same elements, or the drawing could not be opened again.
  const std::string written = host::WriteSymbol(*def);
  const auto again = host::ParseSymbol(written, "FUZZ.SYM", &error, true);
  if (!again) qxtfuzz::Broken("written symbol does not read back: " + error);
  if (again->elements.size() != def->elements.size() || again->hasNode != def->hasNode)
    qxtfuzz::Broken("written symbol reads back different");

  // Placed in a drawing, the instance is measured, indexed and exported.
  machine.ResetPlatform();
  machine.Write("C:\\TRACELON\\SYMBOLS\\FUZZ.SYM", text);
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  if (h.AddSymbol("FUZZ.SYM", host::Point{1000, -2000}, 0, &error) != 0) {
    h.ToJson();
    h.ToSvg();
  }
  host::Host::Stop();
  return 0;
}
