// RTF documents of TrueType texts: read by the host when the plug-in hands over a text object,
// laid out for its extent and drawn in the exports.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "host/rtf.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("rtf");
  const std::string text = qxtfuzz::AsString(data, size);

  const host::RtfDocument document = host::ParseRtf(text);
  for (double wrap : {0.0, 1.0, 72.0, 500.0}) host::LayoutDocument(document, wrap);
  host::DocumentText(document);

  // The same document on a TrueType text object of the drawing.
  machine.ResetPlatform();
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  host::Object object;
  object.at = {5000, 5000};
  host::TrueTypeData truetype;
  truetype.face = "Arial";
  truetype.orientation = 30;
  truetype.document = text;
  object.data = truetype;
  const int32_t id = h.CreateObject(object, true);
  if (const host::Object* created = h.Find(id)) {
    h.ObjectBox(*created);
    h.ToJson();
    h.ToSvg();
  }
  host::Host::Stop();
  return 0;
}
