// A damaged reference library "QXREF.DAT" used by QX Reference: the manager lists what it read,
// the person places the first object twice (answering its prompts), and the drawing is saved
// and opened again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "command_run.h"
#include "core/exports.h"
#include "fuzz_support.h"
#include "host/host.h"
#include "organise/reference_manager.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("refplace");
  machine.ResetPlatform();
  qxtfuzz::CopySampleFolder(machine, "C/TRACELON/SYMBOLS");
  platform::ForceDirectories("C:\\QXTOOLS\\REF");
  machine.Write("C:\\QXTOOLS\\REF\\QXREF.DAT", qxtfuzz::AsString(data, size));

  testsupport::TestUser user;
  // The manager: the first object, then Place. Any other form (the placement settings) is
  // accepted as it comes; the manager shown again is closed.
  user.formActions.push_back([](platform::Form& form) {
    if (auto* names = form.Find<platform::ListBox>("lbxNames")) names->SetItemIndex(0);
    form.SetModalResult(platform::ModalResult::OK);
  });
  user.onModal = [](platform::Form& form) {
    if (form.ClassName() != "TdlgQXReference") form.SetModalResult(platform::ModalResult::OK);
  };
  user.Point(12000, 8000);
  user.Point(-3000, 250);
  for (const char* answer : {"A1", "", "A very long annotation answer for the third item"})
    user.inputAnswers.push_back(std::string(answer));
  for (const char* answer : {"7", "B"}) user.inputAnswers.push_back(std::string(answer));

  qxtfuzz::RunCommands(user, [] {
    QXReference();
    // What was placed is a drawing the host can keep.
    qxtfuzz::CheckSavedAndReopened("C:\\TRACELON\\DRAWINGS\\PLACED.VWF");
  });
  return 0;
}
