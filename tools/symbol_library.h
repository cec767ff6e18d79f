// The symbol library's files and pictures, as the sample machine and the symbol import make
// them: the symbols drawn into the 60-pixel cells of their page pictures, and the main menu's
// picture drawn from the groups it lists.
#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/symbols.h"
#include "platform/picture.h"
#include "raster.h"

namespace tools {

std::string Upper(std::string s);
std::string Trim(const std::string& s);
// The file's lines without their line ends; throws when it cannot be read.
std::vector<std::string> ReadLines(const std::filesystem::path& path);
std::vector<std::string> Fields(const std::string& line);  // comma-separated, trimmed
int LeadingInt(const std::string& line);
// A file in `folder` whose name matches `name` without regard to case (as the platform finds it).
std::optional<std::filesystem::path> FindFile(const std::filesystem::path& folder,
                                              const std::string& name);
void WriteBitmap(const std::filesystem::path& path, const platform::Bitmap& bitmap);

struct Bounds {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  void Add(double x, double y) {
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
  }
  bool Empty() const { return minX > maxX; }
};
// The symbol's extents in symbol units (arcs as they run, a text as a square of its size).
Bounds SymbolBounds(const host::SymbolDef& def);
// Draws the symbol fitted into the box (left, top, width, height) of the raster.
void DrawSymbol(Raster& r, const host::SymbolDef& def, int left, int top, int width, int height);
std::optional<host::SymbolDef> LoadSymbol(const std::filesystem::path& symbols,
                                          const std::string& name);
std::string BaseName(const std::string& name);  // without folder and extension
void CentredText(Raster& r, int cx, int y, const std::string& text, platform::Color color,
                 int maxWidth, int scale = 1);
// A page of the symbol library: 20 cells of 60 x 60 pixels, five to a row.
platform::Bitmap SymbolPage(const std::filesystem::path& list,
                            const std::filesystem::path& symbols);

struct Group {
  std::string menuEntry, displayName;
  std::vector<std::string> pages;
};
Group ReadGroup(const std::filesystem::path& folder, const std::string& entry);
// Draws every page picture of every group on the main menu and the menu's own picture; returns
// how many pictures it wrote.
int DrawSymbolLibrary(const std::filesystem::path& library, const std::filesystem::path& symbols);

}  // namespace tools
