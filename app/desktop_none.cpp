// Builds without a desktop window (all but Windows): `tracelon` needs a command there.
#include <iostream>

#include "desktop.h"

bool DesktopAvailable() { return false; }

int DesktopCommand(const std::vector<std::string>&, const std::filesystem::path&) {
  std::cerr << "tracelon: this build has no desktop window (it is the Windows program's)\n";
  return 2;
}
