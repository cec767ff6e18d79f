// A macro page's button list: line i is the command of button i.
#include <cstddef>
#include <cstdint>
#include <string>

#include "drafting/macro_toolbar.h"
#include "fuzz_support.h"
#include "scratch_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("macrolst");
  machine.ResetPlatform();
  const std::string path = "C:\\TRACELON\\MACROS\\PAGE.LST";
  machine.Write(path, qxtfuzz::AsString(data, size));
  for (int button : {-4, 0, 1, 2, 5, 15, 1000}) {
    std::string command;
    int lines = -1;
    if (!qxt::ReadButtonCommand(path, button, command, lines))
      qxtfuzz::Broken("a readable button list was refused");
    if (lines < 0 || lines > (button < 0 ? 0 : button))
      qxtfuzz::Broken("more lines read than the button number");
    if (command.size() > size) qxtfuzz::Broken("a command longer than its file");
    (void)qxt::MacroCommandKindOf(command);
  }
  return 0;
}
