// The reference library "QXREF.DAT": a run of 1384-byte reference object records.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "organise/reference_file.h"
#include "platform/files.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("refdat");
  machine.ResetPlatform();
  platform::ForceDirectories("C:\\QXTOOLS\\REF");
  const std::string path = "C:\\QXTOOLS\\REF\\QXREF.DAT";
  machine.Write(path, qxtfuzz::AsString(data, size));

  std::vector<qxt::NamedRefObject> objects;
  int refused = -1;
  std::string error;
  if (!qxt::ReadRefFile(path, objects, refused, error)) {
    if (size % sizeof(qxt::RefRecord) == 0) qxtfuzz::Broken("whole records were not read");
    if (error.empty()) qxtfuzz::Broken("a failed read without a reason");
    return 0;
  }
  if (size % sizeof(qxt::RefRecord) != 0) qxtfuzz::Broken("a partial record was read");
  if (objects.size() + static_cast<std::size_t>(refused) != size / sizeof(qxt::RefRecord))
    qxtfuzz::Broken("records lost or invented");
  for (const qxt::NamedRefObject& named : objects) {
    const qxt::TRefObject& o = named.object;
    if (o.Count < 0 || o.Count > qxt::kMaxAnnotations) qxtfuzz::Broken("a count out of range");
    if (named.name.size() > qxt::kRefNameChars || o.Symbol.size() > qxt::kRefSymbolChars)
      qxtfuzz::Broken("a text longer than its field");
    for (int k = 0; k < o.Count; ++k) {
      if (qxt::ItemText(o.Items[k]).size() > qxt::kAnnotationTextChars)
        qxtfuzz::Broken("an annotation text longer than its field");
      const double turned = qxt::UprightOrientation(123.4, o.Items[k].orientation, true);
      if (!(turned >= 0 && turned < 360)) qxtfuzz::Broken("an orientation out of range");
    }
    // What was read is written back unchanged.
    const std::optional<qxt::NamedRefObject> again =
        qxt::ReadRefRecord(qxt::MakeRefRecord(named.name, o));
    if (!again || again->name != named.name || again->object.Symbol != o.Symbol ||
        again->object.Count != o.Count || again->object.Preview != o.Preview)
      qxtfuzz::Broken("a record does not survive being written back");
    for (int k = 0; k < o.Count; ++k) {
      if (qxt::ItemText(again->object.Items[k]) != qxt::ItemText(o.Items[k]) ||
          again->object.Prompts[k] != o.Prompts[k])
        qxtfuzz::Broken("an item does not survive being written back");
    }
  }
  return 0;
}
