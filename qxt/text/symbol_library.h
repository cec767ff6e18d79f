// The symbol library's files, read from their text: the main menu control file, a group control
// file and a page's cell list. These readers only parse; the browser opens the files and shows
// the messages. Lines may end with CR LF, LF or CR.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qxt {

// The library's folder under the base directory, and its main menu files.
inline constexpr const char* kSymbolLibraryFolder = "QXSYMBOL";
inline constexpr const char* kSymbolMenuPicture = "QXSYMBOL.BMP";
inline constexpr const char* kSymbolMenuControl = "QXSYMBOL.CTL";

// The text split into lines (a line break at the very end adds no line).
std::vector<std::string> SplitLines(std::string_view text);

// The whole number at the start of a line after leading blanks (an optional sign, then digits;
// whatever follows is ignored). Nothing when the line does not start with one or it does not
// fit an int32.
std::optional<std::int32_t> LeadingInteger(std::string_view line);

// ---- Main menu ----

// The main menu: a W x H pixel grid of R rows and C columns, one entry per cell row by row (a
// group name, or "CANCEL" in any letter case).
struct SymbolMenu {
  std::int32_t width = 0, height = 0, rows = 0, columns = 0;
  std::vector<std::string> entries;

  // The cell (1 to R x C) under a point of the picture; 0 outside the R x C cells.
  int CellAt(int x, int y) const;
};

struct SymbolMenuRead {
  std::optional<SymbolMenu> menu;  // nothing when the file is not a menu
  int linesRead = 0;               // lines taken before the error (or all of them)
};

// Line 1 is ignored; lines 2 to 5 hold W, H, R and C as the first number on their line (each
// must be above 0: they divide the picture into cells); then R x C entries.
SymbolMenuRead ParseSymbolMenu(std::string_view text);

bool IsCancelEntry(std::string_view entry);

// ---- Groups ----

struct SymbolPageEntry {
  std::string name;          // base name of the page's ".BMP" and ".LST" files
  std::int32_t scaleMode{};  // the page's default scale mode
};

struct SymbolGroup {
  std::vector<SymbolPageEntry> pages;
  std::uint16_t mode = 0;  // the host's program-mode code, 2D or 3D
  std::string displayName;
};

// Line 1 is ignored; line 2 holds the number of pages N (at least 1), then one page entry per
// line ("name,title,scale mode": the title is not read; a scale mode that does not start with a
// digit gives 1). An optional "2D" or "3D" line (any letter case) sets the mode, and the line
// after it the display name. Without a mode line the group is 2D and is shown under its menu
// entry; a mode line that ends the file keeps the menu entry as the name. Nothing when N is not
// a number above 0 or the file has fewer page lines.
std::optional<SymbolGroup> ParseSymbolGroup(std::string_view text, const std::string& menuEntry);

// ---- Page cells ----

inline constexpr int kPageCells = 20;
inline constexpr int kPageColumns = 5;
inline constexpr int kCellPixels = 60;
inline constexpr std::size_t kCellNameChars = 13;

// What a cell does.
inline constexpr std::int32_t kEmptyCell = 0;   // "NONE"
inline constexpr std::int32_t kPlaceCell = 1;   // placed at picked points
inline constexpr std::int32_t kInsertCell = 2;  // inserted into lines

struct SymbolCell {
  std::string Name;  // at most 13 characters; "NONE" for an empty cell
  std::int32_t Layer = 0;
  std::string Justify;  // "L", "C", "R" or empty
  std::int32_t Kind = kEmptyCell;
  std::int32_t ScaleMode = 0;
};

using SymbolCellTable = std::array<SymbolCell, kPageCells>;

struct CellListRead {
  enum class Error { None, Format, Short };
  Error error = Error::None;
  int line = 0;  // the line of the error, from 1
  SymbolCellTable cells;
};

// Exactly 20 lines are read (more are ignored): "name,layer,kind or scale,scale". A field that
// should be a number and is not gives a Format error on its line; a file of fewer lines a Short
// error on the first missing line.
CellListRead ParseCellList(std::string_view text, std::int32_t pageScaleMode);

// The cell (1 to 20) under a point of a page picture `pictureHeight` pixels high; 0 outside the
// cells. A picture at least 290 pixels high has its top row of cells under the button strip, so
// that row counts for nothing; a lower picture is shown below the strip and numbered from its top.
int PageCellAt(int x, int y, int pictureHeight);

// Page pictures at least this high are shown at the top of the browser, under the button strip.
inline constexpr int kCoveredPageHeight = 290;

}  // namespace qxt
