#include "symbol_import.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host/dxf.h"
#include "symbol_library.h"

namespace fs = std::filesystem;

namespace tools {

namespace {

constexpr size_t kMaxDxfFile = 64u << 20;
constexpr int kCellsPerPage = 20;
constexpr int kMaxPages = 9;

std::string ReadWhole(const fs::path& path) {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  if (ec || size > kMaxDxfFile) throw std::runtime_error(path.string() + ": cannot be read");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) throw std::runtime_error(path.string() + ": cannot be read");
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The group's name on the menu: its first eight letters and digits, in capitals.
std::string EntryFor(const std::string& displayName) {
  std::string entry;
  for (char c : displayName)
    if (std::isalnum(static_cast<unsigned char>(c)) && entry.size() < 8)
      entry += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (entry.empty()) throw std::runtime_error("the group needs a name of letters or digits");
  return entry;
}

// Puts the group on the main menu: into a spare "CANCEL" cell (one after the first) when the menu
// has more than one, else into a new row of cells below the others (its other cells "CANCEL"), so
// that the cells already there keep their places. Returns false when the group is there already.
bool AddToMenu(const fs::path& library, const std::string& entry) {
  auto path = FindFile(library, "QXSYMBOL.CTL");
  if (!path) {
    WriteText(library / "QXSYMBOL.CTL",
              "QX Symbol main menu: width, height, rows, columns, then one group per cell\r\n"
              "300 pixels wide\r\n100 pixels high\r\n1 rows\r\n3 columns\r\n" +
                  entry + "\r\nCANCEL\r\nCANCEL\r\n");
    return true;
  }
  std::vector<std::string> lines = ReadLines(*path);
  if (lines.size() < 5) throw std::runtime_error(path->string() + ": not a menu");
  int width = LeadingInt(lines[1]), height = LeadingInt(lines[2]);
  int rows = LeadingInt(lines[3]), columns = LeadingInt(lines[4]);
  if (width <= 0 || height <= 0 || rows <= 0 || columns <= 0 || rows > 20 || columns > 20 ||
      lines.size() < static_cast<size_t>(5 + rows * columns))
    throw std::runtime_error(path->string() + ": not a menu");
  std::vector<std::string> cells(lines.begin() + 5, lines.begin() + 5 + rows * columns);
  for (auto& c : cells) c = Trim(c);
  for (const auto& c : cells)
    if (Upper(c) == entry) return false;
  auto cancels = std::count_if(cells.begin(), cells.end(),
                               [](const std::string& c) { return Upper(c) == "CANCEL"; });
  if (cancels > 1) {
    // The first "CANCEL" cell stays where a person knows it; the next one takes the group.
    auto isCancel = [](const std::string& c) { return Upper(c) == "CANCEL"; };
    auto first = std::find_if(cells.begin(), cells.end(), isCancel);
    *std::find_if(first + 1, cells.end(), isCancel) = entry;
  } else {
    height += height / rows;
    ++rows;
    cells.push_back(entry);
    for (int i = 1; i < columns; ++i) cells.push_back("CANCEL");
  }
  std::string text = lines[0] + "\r\n" + std::to_string(width) + " pixels wide\r\n" +
                     std::to_string(height) + " pixels high\r\n" + std::to_string(rows) +
                     " rows\r\n" + std::to_string(columns) + " columns\r\n";
  for (const auto& c : cells) text += c + "\r\n";
  WriteText(*path, text);
  return true;
}

}  // namespace

std::string SymbolNameFor(const std::string& fileName, const std::vector<std::string>& taken) {
  std::vector<std::string> words(1);
  for (char c : BaseName(fileName)) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      words.back() += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    else if (!words.back().empty())
      words.emplace_back();
  }
  if (words.back().empty()) words.pop_back();
  std::string name;
  for (size_t i = 0; i < words.size(); ++i) {
    size_t take = i == 0 ? 4 : (i == 1 ? 3 : 1);
    name += words[i].substr(0, take);
  }
  if (name.empty()) name = "PART";
  name = name.substr(0, 8);
  auto used = [&](const std::string& n) {
    return std::find(taken.begin(), taken.end(), n + ".SYM") != taken.end();
  };
  for (int n = 2; used(name) && n < 100; ++n) {
    std::string suffix = std::to_string(n);
    name = name.substr(0, std::min(name.size(), 8 - suffix.size())) + suffix;
  }
  if (used(name)) throw std::runtime_error(fileName + ": no free symbol name");
  return name + ".SYM";
}

ImportedGroup ImportSymbolGroup(const fs::path& folder, const std::string& displayName,
                                const fs::path& root) {
  if (!fs::is_directory(folder)) throw std::runtime_error(folder.string() + ": no such folder");
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && host::IsDxfPath(name)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) throw std::runtime_error(folder.string() + ": no DXF files");
  if (files.size() > static_cast<size_t>(kCellsPerPage * kMaxPages))
    throw std::runtime_error(folder.string() + ": more than " +
                             std::to_string(kCellsPerPage * kMaxPages) + " DXF files");

  ImportedGroup group;
  group.entry = EntryFor(displayName);
  std::vector<std::string> taken;
  // Everything is read and made before anything is written.
  for (const auto& file : files) {
    ImportedSymbol s;
    s.file = file.filename().string();
    s.symbol = SymbolNameFor(s.file, taken);
    taken.push_back(s.symbol);
    std::string error;
    auto def = host::DxfToSymbol(ReadWhole(file), s.symbol, kSymbolDbuPerInch, &s.note, &error);
    if (!def) throw std::runtime_error(file.string() + ": " + error);
    s.def = std::move(*def);
    group.symbols.push_back(std::move(s));
  }

  const fs::path symbols = root / "C" / "TRACELON" / "SYMBOLS";
  const fs::path library = root / "C" / "QXTOOLS" / "QXSYMBOL";
  fs::create_directories(symbols);
  fs::create_directories(library);
  for (const auto& s : group.symbols) WriteText(symbols / s.symbol, host::WriteSymbol(s.def));
  size_t pages = (group.symbols.size() + kCellsPerPage - 1) / kCellsPerPage;
  std::string control =
      displayName + ": parts imported from DXF files\r\n" + std::to_string(pages) + "\r\n";
  for (size_t p = 0; p < pages; ++p) {
    std::string page = group.entry.substr(0, 7) + std::to_string(p + 1);
    group.pages.push_back(page);
    std::string cells;
    for (size_t i = p * kCellsPerPage; i < (p + 1) * kCellsPerPage; ++i)
      cells += i < group.symbols.size() ? group.symbols[i].symbol + ",0,\r\n" : "NONE\r\n";
    WriteText(library / (page + ".LST"), cells);
    control += page + "," + displayName + " " + std::to_string(p + 1) + ",2\r\n";
  }
  control += "2D\r\n" + displayName + "\r\n";
  WriteText(library / (group.entry + ".CTL"), control);
  group.addedToMenu = AddToMenu(library, group.entry);
  DrawSymbolLibrary(library, symbols);
  return group;
}

}  // namespace tools
