// A project's drawing list: a run of 1025-byte drawing records. Every whole record is listed,
// a partial last record is an error, and a list read back after saving is the list saved.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "organise/project_manager.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("drawinglist");
  machine.ResetPlatform();
  platform::ForceDirectories("C:\\QXTOOLS\\PROJECT");
  const std::string path = "C:\\QXTOOLS\\PROJECT\\JOB.DAT";
  machine.Write(path, qxtfuzz::AsString(data, size));

  platform::StringList list;
  list.sorted = true;
  std::string error;
  const bool whole = qxt::ReadDrawingList(path, list, error);
  const std::size_t records = size / sizeof(qxt::DrawingRecord);
  if (whole != (size % sizeof(qxt::DrawingRecord) == 0))
    qxtfuzz::Broken("a partial record was missed");
  if (static_cast<std::size_t>(list.Count()) != records)
    qxtfuzz::Broken("not every whole record was listed");
  if (!whole && error.empty()) qxtfuzz::Broken("a failure without a description");

  // Saving and reading again gives the same names in the same order.
  const auto result = qxt::WriteDrawingList(path, list, error);
  if (result == qxt::ListSaveResult::Failed) qxtfuzz::Broken("saving failed: " + error);
  platform::StringList again;
  again.sorted = true;
  if (records > 0 && !qxt::ReadDrawingList(path, again, error))
    qxtfuzz::Broken("a saved list is unreadable");
  if (again.Strings() != list.Strings()) qxtfuzz::Broken("the list changed on saving");
  return 0;
}
