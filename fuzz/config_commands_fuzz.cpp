// A damaged configuration file QXTOOLS.DAT used by the commands that draw from it: QX Text places
// two lines, QX Door lets a door into a wall of the sample office, QX Dimension draws a string
// along it. Whatever the record held, what was drawn is a drawing the host can keep.
#include <cstddef>
#include <cstdint>
#include <string>

#include "command_run.h"
#include "drafting/dimension_command.h"
#include "drafting/door_command.h"
#include "fuzz_support.h"
#include "host/host.h"
#include "text/text_command.h"

namespace {

void Accept(platform::Form& form) { form.SetModalResult(platform::ModalResult::OK); }

void Press(platform::Form& form, const std::string& button) {
  if (auto* control = form.Find<platform::Control>(button)) control->Click();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("config_commands");
  machine.ResetPlatform();
  qxtfuzz::CopySampleFolder(machine, "C/TRACELON/SYMBOLS");
  qxtfuzz::CopySampleFolder(machine, "C/TRACELON/DRAWINGS");
  machine.Write("C:\\TRACELON\\WORK\\QXTOOLS.DAT", qxtfuzz::AsString(data, size));

  testsupport::TestUser user;
  qxtfuzz::RunCommands(user, [&user] {
    host::Host& host = *host::Host::Current();
    host.OpenDrawing("C:\\TRACELON\\DRAWINGS\\SAMPLE.VWF");

    // Two typed lines, placed once; the dialog shown again is cancelled.
    user.formActions.push_back([](platform::Form& form) {
      if (auto* text = form.Find<platform::Memo>("mmText"))
        text->SetText("First line of a note\r\nand its second, longer line");
      Accept(form);
    });
    user.Point(400000, 900000);
    QXText();

    // A left-hand door in the partition, swinging east.
    user.formActions.clear();
    user.formActions.push_back([](platform::Form& form) { Press(form, "btnLeftDoor"); });
    user.Point(1744000, 200000);
    user.Point(1900000, 300000);
    QXDoor();

    // A string along the north wall and out from it.
    user.formActions.clear();
    user.formActions.push_back(Accept);
    user.Point(300000, 1896000);
    user.Point(1500000, 1896000);
    user.Point(900000, 2100000);
    QXDimension();

    qxtfuzz::CheckSavedAndReopened("C:\\TRACELON\\DRAWINGS\\DRAWN.VWF");
  });
  return 0;
}
