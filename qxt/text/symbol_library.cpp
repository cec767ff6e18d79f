#include "text/symbol_library.h"

#include <cctype>
#include <limits>

#include "core/numbers.h"
#include "hsi/hsi.h"

namespace qxt {

namespace {

std::string Trim(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The comma-separated fields of a line, blanks around each removed.
std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(
        Trim(line.substr(start, comma == std::string_view::npos ? line.npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

std::string FieldOf(const std::vector<std::string>& fields, std::size_t number) {
  return number >= 1 && number <= fields.size() ? fields[number - 1] : std::string();
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}

std::optional<std::int32_t> LeadingInteger(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i]))) return std::nullopt;
  std::int64_t value = 0;
  for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
    value = value * 10 + (line[i] - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// ---- Main menu ----

int SymbolMenu::CellAt(int x, int y) const {
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || rows <= 0 || columns <= 0) return 0;
  const std::int64_t row = std::int64_t{y} * rows / height;
  const std::int64_t column = std::int64_t{x} * columns / width;
  // A picture larger than the grid it declares: a point past the last row or column would
  // otherwise count as a cell of the next row, or past the entries.
  if (row >= rows || column >= columns) return 0;
  return static_cast<int>(row * columns + column + 1);
}

SymbolMenuRead ParseSymbolMenu(std::string_view text) {
  SymbolMenuRead read;
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) return read;
  read.linesRead = 1;  // the first line is only skipped
  SymbolMenu menu;
  std::int32_t* numbers[] = {&menu.width, &menu.height, &menu.rows, &menu.columns};
  for (std::int32_t* number : numbers) {
    if (static_cast<std::size_t>(read.linesRead) >= lines.size()) return read;
    const std::optional<std::int32_t> value =
        LeadingInteger(lines[static_cast<std::size_t>(read.linesRead)]);
    if (!value || *value <= 0) return read;
    *number = *value;
    ++read.linesRead;
  }
  const std::int64_t cells = std::int64_t{menu.rows} * menu.columns;
  for (std::int64_t cell = 0; cell < cells; ++cell) {
    if (static_cast<std::size_t>(read.linesRead) >= lines.size()) return read;
    menu.entries.push_back(Trim(lines[static_cast<std::size_t>(read.linesRead)]));
    ++read.linesRead;
  }
  read.menu = std::move(menu);
  return read;
}

bool IsCancelEntry(std::string_view entry) { return Upper(Trim(entry)) == "CANCEL"; }

// ---- Groups ----

std::optional<SymbolGroup> ParseSymbolGroup(std::string_view text, const std::string& menuEntry) {
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.size() < 2) return std::nullopt;
  const std::optional<std::int32_t> count = LeadingInteger(lines[1]);
  if (!count || *count < 1) return std::nullopt;
  if (lines.size() - 2 < static_cast<std::size_t>(*count)) return std::nullopt;
  SymbolGroup group;
  for (std::size_t i = 2; i < 2 + static_cast<std::size_t>(*count); ++i) {
    const std::vector<std::string> fields = Fields(lines[i]);
    SymbolPageEntry page;
    page.name = FieldOf(fields, 1);
    const std::string mode = FieldOf(fields, 3);
    page.scaleMode =
        !mode.empty() && std::isdigit(static_cast<unsigned char>(mode[0])) ? mode[0] - '0' : 1;
    group.pages.push_back(std::move(page));
  }
  group.mode = HSI_MODE_2D;
  group.displayName = menuEntry;
  const std::size_t modeLine = 2 + static_cast<std::size_t>(*count);
  if (modeLine < lines.size()) {
    const std::string mode = Upper(Trim(lines[modeLine]));
    if (mode == "2D" || mode == "3D") {
      group.mode = mode == "3D" ? HSI_MODE_3D : HSI_MODE_2D;
      if (modeLine + 1 < lines.size()) group.displayName = Trim(lines[modeLine + 1]);
    }
  }
  return group;
}

// ---- Page cells ----

CellListRead ParseCellList(std::string_view text, std::int32_t pageScaleMode) {
  CellListRead read;
  const std::vector<std::string> lines = SplitLines(text);
  for (int index = 0; index < kPageCells; ++index) {
    const int lineNumber = index + 1;
    if (static_cast<std::size_t>(index) >= lines.size()) {
      read.error = CellListRead::Error::Short;
      read.line = lineNumber;
      return read;
    }
    const std::vector<std::string> fields = Fields(lines[static_cast<std::size_t>(index)]);
    SymbolCell& cell = read.cells[static_cast<std::size_t>(index)];
    cell = SymbolCell{};
    const std::string name = FieldOf(fields, 1);
    if (Upper(name) == "NONE") {
      cell.Name = "NONE";
      continue;
    }
    cell.Name = name.substr(0, kCellNameChars);
    auto formatError = [&] {
      read.error = CellListRead::Error::Format;
      read.line = lineNumber;
      return read;
    };
    const std::optional<std::int32_t> layer = ParseInt32(FieldOf(fields, 2));
    if (!layer) return formatError();
    cell.Layer = *layer;
    const std::string kind = Upper(FieldOf(fields, 3));
    if (kind.empty()) {
      cell.Kind = kPlaceCell;
      cell.ScaleMode = pageScaleMode;
    } else if (kind == "L" || kind == "C" || kind == "R") {
      cell.Kind = kInsertCell;
      cell.Justify = kind;
      const std::string scale = FieldOf(fields, 4);
      if (scale.empty()) {
        cell.ScaleMode = pageScaleMode;
      } else {
        const std::optional<std::int32_t> mode = ParseInt32(scale);
        if (!mode) return formatError();
        cell.ScaleMode = *mode;
      }
    } else {
      const std::optional<std::int32_t> mode = ParseInt32(kind);
      if (!mode) return formatError();
      cell.Kind = kPlaceCell;
      cell.ScaleMode = *mode;
    }
  }
  return read;
}

int PageCellAt(int x, int y, int pictureHeight) {
  if (x < 0 || y < 0) return 0;
  const int row = y / kCellPixels;
  const int column = x / kCellPixels;
  if (column >= kPageColumns) return 0;
  const int rows = kPageCells / kPageColumns;
  const int firstRow = pictureHeight >= kCoveredPageHeight ? 1 : 0;
  if (row < firstRow || row >= firstRow + rows) return 0;
  return (row - firstRow) * kPageColumns + column + 1;
}

}  // namespace qxt
