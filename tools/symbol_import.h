// DXF parts imported into the symbol library: each DXF file of a folder becomes a host symbol
// file, and the files one group of the library, with its control file, cell lists and page
// pictures, on the main menu.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/symbols.h"

namespace tools {

struct ImportedSymbol {
  std::string file;    // the DXF file's name
  std::string symbol;  // the symbol file's name (at most 8 characters and ".SYM")
  host::SymbolDef def;
  std::string note;  // what was converted or skipped
};

struct ImportedGroup {
  std::string entry;  // the group's name on the main menu (its control file's name)
  std::vector<std::string> pages;
  std::vector<ImportedSymbol> symbols;
  bool addedToMenu = false;
};

// The drawing units of an inch of the world in the symbols the library places (as its own
// symbols are drawn: UNIT 8000 is an inch).
inline constexpr double kSymbolDbuPerInch = 8000;

// Imports every ".dxf" file of `folder` (in name order) as the group `displayName` of the machine
// at `root` (drive C: is root/C): symbol files in C:\TRACELON\SYMBOLS, the group's files in
// C:\QXTOOLS\QXSYMBOL. Throws std::runtime_error naming the file and the reason when a file cannot
// be imported; then nothing is written.
ImportedGroup ImportSymbolGroup(const std::filesystem::path& folder, const std::string& displayName,
                                const std::filesystem::path& root);

// An 8-character symbol name for a part's file name: the leading letters of its words
// ("Bathroom-basin-V" gives "BATHBASV"), made unique against `taken`.
std::string SymbolNameFor(const std::string& fileName, const std::vector<std::string>& taken);

}  // namespace tools
