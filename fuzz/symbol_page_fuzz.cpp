// A damaged page cell list used by QX Symbol: the person opens the furniture group of the sample
// library, whose first page lists the input, and chooses one of its cells (the first byte says
// which); what it names is placed and the drawing is saved and opened again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "command_run.h"
#include "fuzz_support.h"
#include "host/host.h"
#include "text/symbol_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static qxtfuzz::ScratchMachine machine("symbol_page");
  machine.ResetPlatform();
  qxtfuzz::CopySampleFolder(machine, "C/TRACELON/SYMBOLS");
  qxtfuzz::CopySampleFolder(machine, "C/QXTOOLS/QXSYMBOL");
  machine.Write("C:\\QXTOOLS\\QXSYMBOL\\FURN1.LST", qxtfuzz::AsString(data + 1, size - 1));

  // One of the page's 5 by 4 cells, below the button strip.
  const int cell = data[0] % 20;
  const int x = 30 + 60 * (cell % 5);
  const int y = 90 + 60 * (cell / 5);

  testsupport::TestUser user;
  user.formActions.push_back([x, y](platform::Form& form) {
    qxtfuzz::ClickAt(form, "imgSymbol", 150, 50);  // the furniture group
    qxtfuzz::ClickAt(form, "imgSymbol", x, y);
  });
  user.Point(500000, 400000);
  user.Point(520000, 400000);
  for (const char* answer : {"101", "A"}) user.inputAnswers.push_back(std::string(answer));

  qxtfuzz::RunCommands(user, [] {
    QXSymbol();
    qxtfuzz::CheckSavedAndReopened("C:\\TRACELON\\DRAWINGS\\PLACED.VWF");
  });
  return 0;
}
