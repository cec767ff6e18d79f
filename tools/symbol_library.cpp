// The symbol library's pictures: symbols drawn into the 60-pixel cells of their pages, and the
// main menu drawn from the groups it lists.
#include "symbol_library.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "raster.h"

namespace fs = std::filesystem;
using platform::Color;

namespace tools {

using namespace ink;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(Trim(field));
  return fields;
}

int LeadingInt(const std::string& line) {
  try {
    return std::stoi(line);
  } catch (const std::exception&) {
    throw std::runtime_error("no number at the start of \"" + line + "\"");
  }
}

// A file in `folder` whose name matches `name` without regard to case (as the platform finds it).
std::optional<fs::path> FindFile(const fs::path& folder, const std::string& name) {
  if (!fs::is_directory(folder)) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (Upper(entry.path().filename().string()) == Upper(name)) return entry.path();
  }
  return std::nullopt;
}

void WriteBitmap(const fs::path& path, const platform::Bitmap& bitmap) {
  std::ofstream out(path, std::ios::binary);
  out << platform::EncodeBmp(bitmap);
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// ---- Drawing symbols into cells ----

namespace {
constexpr double kRadians = 3.14159265358979323846 / 180.0;
}  // namespace

Bounds SymbolBounds(const host::SymbolDef& def) {
  Bounds b;
  for (const auto& e : def.elements) {
    switch (e.kind) {
      case host::SymbolElement::Kind::Lineset:
        for (const auto& p : e.points) b.Add(p.x, p.y);
        break;
      case host::SymbolElement::Kind::Arc: {
        double a2 = e.angle2;
        while (a2 <= e.angle1) a2 += 360;
        for (double a = e.angle1; a <= a2 + 1e-9; a += std::min(5.0, a2 - e.angle1)) {
          b.Add(e.centre.x + e.radius * std::cos(a * kRadians),
                e.centre.y + e.radius * std::sin(a * kRadians));
          if (a2 - e.angle1 <= 0) break;
        }
        break;
      }
      case host::SymbolElement::Kind::Text:
        b.Add(e.centre.x - e.size / 2, e.centre.y - e.size / 2);
        b.Add(e.centre.x + e.size / 2, e.centre.y + e.size / 2);
        break;
    }
  }
  return b;
}

// Draws the symbol fitted into the box (left, top, width, height) of the raster.
void DrawSymbol(tools::Raster& r, const host::SymbolDef& def, int left, int top, int width,
                int height) {
  Bounds b = SymbolBounds(def);
  if (b.Empty()) return;
  double bw = std::max(b.maxX - b.minX, 1e-6), bh = std::max(b.maxY - b.minY, 1e-6);
  double scale = std::min(width / bw, height / bh);
  double ox = left + (width - bw * scale) / 2 - b.minX * scale;
  double oy = top + (height - bh * scale) / 2 + b.maxY * scale;
  auto X = [&](double x) { return static_cast<int>(std::lround(ox + x * scale)); };
  auto Y = [&](double y) { return static_cast<int>(std::lround(oy - y * scale)); };
  for (const auto& e : def.elements) {
    switch (e.kind) {
      case host::SymbolElement::Kind::Lineset:
        for (size_t i = 1; i < e.points.size(); ++i) {
          r.Line(X(e.points[i - 1].x), Y(e.points[i - 1].y), X(e.points[i].x), Y(e.points[i].y),
                 kInk);
        }
        break;
      case host::SymbolElement::Kind::Arc:
        r.Arc(ox + e.centre.x * scale, oy - e.centre.y * scale, e.radius * scale, e.angle1,
              e.angle2, kInk);
        break;
      case host::SymbolElement::Kind::Text: {
        int w = tools::Raster::TextWidth(e.text);
        r.Text(X(e.centre.x) - w / 2, Y(e.centre.y) - tools::Raster::kTextHeight / 2, e.text, kInk);
        break;
      }
    }
  }
}

std::optional<host::SymbolDef> LoadSymbol(const fs::path& symbols, const std::string& name) {
  auto path = FindFile(symbols, name);
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  auto def = host::ParseSymbol(text.str(), name, &error);
  if (!def) throw std::runtime_error(path->string() + ": " + error);
  return def;
}

std::string BaseName(const std::string& name) {
  std::string base = name.substr(
      name.find_last_of("\\/:") == std::string::npos ? 0 : name.find_last_of("\\/:") + 1);
  size_t dot = base.rfind('.');
  return dot == std::string::npos ? base : base.substr(0, dot);
}

void CentredText(tools::Raster& r, int cx, int y, const std::string& text, Color color,
                 int maxWidth, int scale) {
  std::string shown = text;
  while (!shown.empty() && tools::Raster::TextWidth(shown, scale) > maxWidth) shown.pop_back();
  r.Text(cx - tools::Raster::TextWidth(shown, scale) / 2, y, shown, color, scale);
}

// A page of the symbol library: 20 cells of 60 x 60 pixels, five to a row.
platform::Bitmap SymbolPage(const fs::path& list, const fs::path& symbols) {
  std::vector<std::string> lines = ReadLines(list);
  tools::Raster r(300, 240);
  for (int cell = 0; cell < 20; ++cell) {
    int left = (cell % 5) * 60, top = (cell / 5) * 60;
    r.Frame(left, top, left + 59, top + 59, kGrid);
    if (static_cast<size_t>(cell) >= lines.size()) continue;
    std::string name = Fields(lines[static_cast<size_t>(cell)]).at(0);
    if (Upper(name) == "NONE" || name.empty()) continue;
    auto def = LoadSymbol(symbols, name);
    if (!def) throw std::runtime_error(list.string() + ": no symbol file " + name);
    DrawSymbol(r, *def, left + 6, top + 5, 48, 40);
    CentredText(r, left + 30, top + 50, BaseName(name), kLabel, 56);
  }
  return r.Bitmap();
}

Group ReadGroup(const fs::path& folder, const std::string& entry) {
  auto path = FindFile(folder, entry + ".CTL");
  if (!path) throw std::runtime_error("no group file " + entry + ".CTL in " + folder.string());
  std::vector<std::string> lines = ReadLines(*path);
  Group group;
  group.menuEntry = entry;
  group.displayName = entry;
  int pages = LeadingInt(lines.at(1));
  for (int i = 0; i < pages; ++i) group.pages.push_back(Fields(lines.at(2 + i)).at(0));
  size_t mode = static_cast<size_t>(2 + pages);
  if (mode + 1 < lines.size() &&
      (Upper(Trim(lines[mode])) == "2D" || Upper(Trim(lines[mode])) == "3D")) {
    group.displayName = Trim(lines[mode + 1]);
  }
  return group;
}

int DrawSymbolLibrary(const fs::path& library, const fs::path& symbols) {
  auto menuPath = FindFile(library, "QXSYMBOL.CTL");
  if (!menuPath) throw std::runtime_error("no QXSYMBOL.CTL in " + library.string());
  std::vector<std::string> lines = ReadLines(*menuPath);
  int width = LeadingInt(lines.at(1)), height = LeadingInt(lines.at(2));
  int rows = LeadingInt(lines.at(3)), cols = LeadingInt(lines.at(4));
  tools::Raster menu(width, height);
  int pictures = 0;
  for (int cell = 0; cell < rows * cols; ++cell) {
    std::string entry = Trim(lines.at(static_cast<size_t>(5 + cell)));
    int left = (cell % cols) * width / cols, top = (cell / cols) * height / rows;
    int right = ((cell % cols) + 1) * width / cols - 1;
    int bottom = ((cell / cols) + 1) * height / rows - 1;
    int cw = right - left + 1;
    menu.Frame(left, top, right, bottom, kShadow);
    if (Upper(entry) == "CANCEL") {
      menu.Line(left + cw / 2 - 15, top + 20, left + cw / 2 + 15, top + 50, kInk);
      menu.Line(left + cw / 2 + 15, top + 20, left + cw / 2 - 15, top + 50, kInk);
      CentredText(menu, left + cw / 2, bottom - 20, "CANCEL", kLabel, cw - 6);
      continue;
    }
    Group group = ReadGroup(library, entry);
    // The group's first symbol stands for it on the menu.
    for (const std::string& page : group.pages) {
      auto list = FindFile(library, page + ".LST");
      if (!list) throw std::runtime_error("no page list " + page + ".LST");
      WriteBitmap(library / (page + ".BMP"), SymbolPage(*list, symbols));
      ++pictures;
    }
    auto first = FindFile(library, group.pages.at(0) + ".LST");
    std::string name = Fields(ReadLines(*first).at(0)).at(0);
    if (auto def = LoadSymbol(symbols, name)) {
      DrawSymbol(menu, *def, left + 15, top + 8, cw - 30, bottom - top - 30);
    }
    CentredText(menu, left + cw / 2, bottom - 14, group.displayName, kLabel, cw - 6);
  }
  WriteBitmap(library / "QXSYMBOL.BMP", menu.Bitmap());
  return pictures + 1;
}

}  // namespace tools
