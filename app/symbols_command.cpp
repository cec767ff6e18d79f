#include "symbols_command.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "machine.h"

#ifdef TRACELON_SYMBOLS
#include "symbol_import.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = R"(usage:
  tracelon symbols import DIR --group NAME [--into ROOT]

Turns each DXF file of the folder DIR into a symbol file (C:\TRACELON\SYMBOLS) and makes them
the symbol library group NAME (C:\QXTOOLS\QXSYMBOL): its control file, cell lists and page
pictures, and a cell on the main menu. ROOT is the machine's root folder (drive C: is ROOT/C);
a new copy of the sample machine when it does not exist. Without --into, the sample machine
beside the program.
)";

int Usage(const std::string& message) {
  std::cerr << "tracelon: " << message << "\n\n" << kUsage;
  return 2;
}

}  // namespace

int SymbolsCommand(const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "import") return Usage("symbols needs \"import\"");
  std::optional<fs::path> folder, into;
  std::string group;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--group" && i + 1 < args.size()) {
      group = args[++i];
    } else if (args[i] == "--into" && i + 1 < args.size()) {
      into = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      return Usage("unknown or incomplete option " + args[i]);
    } else if (!folder) {
      folder = args[i];
    } else {
      return Usage("only one folder of DXF files at a time");
    }
  }
  if (!folder) return Usage("symbols import needs a folder of DXF files");
  if (group.empty()) return Usage("symbols import needs --group NAME");
  fs::path root = SampleMachine();
  if (into) {
    std::string made, error;
    auto machine = PrepareMachine(into, "tracelon-", made, error);
    if (!machine) {
      std::cerr << "tracelon: " << error << "\n";
      return 1;
    }
    root = *machine;
  }
#ifdef TRACELON_SYMBOLS
  try {
    tools::ImportedGroup imported = tools::ImportSymbolGroup(*folder, group, root);
    for (const auto& s : imported.symbols)
      std::cout << s.file << " -> " << s.symbol << (s.note.empty() ? "" : " (" + s.note + ")")
                << "\n";
    std::cout << "group " << imported.entry << " \"" << group << "\": " << imported.symbols.size()
              << " symbols on " << imported.pages.size() << " page"
              << (imported.pages.size() == 1 ? "" : "s")
              << (imported.addedToMenu ? ", added to the main menu" : "") << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "tracelon: " << e.what() << "\n";
    return 1;
  }
#else
  std::cerr << "tracelon: this build cannot import symbols\n";
  return 1;
#endif
}
