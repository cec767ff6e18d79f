// Reading the symbol library's control files and cell lists, and the cell under a point.
#include "text/symbol_library.h"

#include <gtest/gtest.h>

#include <string>

#include "hsi/hsi.h"

namespace qxt {
namespace {

constexpr const char* kMenu =
    "main menu\r\n300 pixels wide\r\n200 pixels high\r\n2 rows\r\n3 columns\r\n"
    "DOORS\r\nFURNISH\r\nPLUMBING\r\nELECTRIC\r\nNOTES\r\ncancel\r\n";

// A cell list of 20 lines whose first lines are `first` and the rest "NONE".
std::string CellList(const std::string& first, int lines = kPageCells) {
  std::string text = first;
  int count = first.empty() ? 0 : static_cast<int>(SplitLines(first).size());
  for (; count < lines; ++count) text += "NONE\r\n";
  return text;
}

TEST(SymbolMenuTest, ReadsFirstNumbersOfLinesAndEveryEntry) {
  const SymbolMenuRead read = ParseSymbolMenu(kMenu);
  ASSERT_TRUE(read.menu);
  EXPECT_EQ(read.linesRead, 11);
  EXPECT_EQ(read.menu->width, 300);
  EXPECT_EQ(read.menu->height, 200);
  EXPECT_EQ(read.menu->rows, 2);
  EXPECT_EQ(read.menu->columns, 3);
  ASSERT_EQ(read.menu->entries.size(), 6u);
  EXPECT_EQ(read.menu->entries[4], "NOTES");
  EXPECT_TRUE(IsCancelEntry(read.menu->entries[5]));
  EXPECT_TRUE(IsCancelEntry("Cancel"));
  EXPECT_FALSE(IsCancelEntry("CANCELLED"));
}

TEST(SymbolMenuTest, CellsOfTheGridAndNothingOutsideIt) {
  const SymbolMenu menu = *ParseSymbolMenu(kMenu).menu;
  EXPECT_EQ(menu.CellAt(299, 199), 6);
  EXPECT_EQ(menu.CellAt(0, 0), 1);
  EXPECT_EQ(menu.CellAt(100, 0), 2);  // trunc(100 x 3 / 300) = column 1
  EXPECT_EQ(menu.CellAt(99, 100), 4);
  // A picture larger than the grid: past the last column is not the next row's first cell.
  EXPECT_EQ(menu.CellAt(300, 0), 0);
  EXPECT_EQ(menu.CellAt(0, 200), 0);
  EXPECT_EQ(menu.CellAt(-1, 5), 0);
}

TEST(SymbolMenuTest, ErrorsCountTheLinesReadBeforeThem) {
  // A grid number that is not a number, or none above 0, stops at its line.
  EXPECT_EQ(ParseSymbolMenu("menu\r\nwide\r\n").linesRead, 1);
  const SymbolMenuRead zeroHeight = ParseSymbolMenu("menu\r\n300\r\n0 high\r\n2\r\n3\r\n");
  EXPECT_FALSE(zeroHeight.menu);
  EXPECT_EQ(zeroHeight.linesRead, 2);
  // Too few entries for R x C.
  const SymbolMenuRead shortMenu = ParseSymbolMenu("menu\n300\n200\n2\n3\nDOORS\nCANCEL\n");
  EXPECT_FALSE(shortMenu.menu);
  EXPECT_EQ(shortMenu.linesRead, 7);
  EXPECT_EQ(ParseSymbolMenu("").linesRead, 0);
  EXPECT_FALSE(ParseSymbolMenu("m\n1\n1\n99999\n99999\nA\n").menu);
}

TEST(SymbolGroupTest, PagesModeAndDisplayName) {
  const auto group = ParseSymbolGroup(
      "Doors\r\n3\r\nDOORS1,Swing,2\r\nDOORS2,Pairs, x\r\nWINDOWS,Windows,\r\n3d\r\nDoors & "
      "Windows\r\n",
      "DOORS");
  ASSERT_TRUE(group);
  ASSERT_EQ(group->pages.size(), 3u);
  EXPECT_EQ(group->pages[0].name, "DOORS1");
  EXPECT_EQ(group->pages[0].scaleMode, 2);
  EXPECT_EQ(group->pages[1].scaleMode, 1);  // not a digit
  EXPECT_EQ(group->pages[2].scaleMode, 1);  // empty
  EXPECT_EQ(group->mode, HSI_MODE_3D);
  EXPECT_EQ(group->displayName, "Doors & Windows");
}

TEST(SymbolGroupTest, WithoutModeLineTheGroupIs2DUnderItsMenuEntry) {
  for (const char* text :
       {"g\n1\nP1,a,2\n", "g\n1\nP1,a,2\nnot a mode\nName\n", "g\n1\nP1\n2D\n"}) {
    const auto group = ParseSymbolGroup(text, "ENTRY");
    ASSERT_TRUE(group) << text;
    EXPECT_EQ(group->mode, HSI_MODE_2D) << text;
    EXPECT_EQ(group->displayName, "ENTRY") << text;
  }
}

TEST(SymbolGroupTest, NoPagesOrTooFewPageLinesAreReadErrors) {
  EXPECT_FALSE(ParseSymbolGroup("g\n0\n", "E"));
  EXPECT_FALSE(ParseSymbolGroup("g\n-2\nP1\n", "E"));
  EXPECT_FALSE(ParseSymbolGroup("g\nthree\nP1\n", "E"));
  EXPECT_FALSE(ParseSymbolGroup("g\n3\nP1,a,2\nP2,b,2\n", "E"));
  EXPECT_FALSE(ParseSymbolGroup("g\n", "E"));
}

TEST(CellListTest, PlacedAndInsertedCells) {
  const CellListRead read =
      ParseCellList(CellList("DOOR1.SYM,3,\r\nWIN.SYM,0,c,1\r\nWIN2.SYM,0,R\r\nARROW.SYM,0,2\r\n"
                             "none\r\n"),
                    4);
  ASSERT_EQ(read.error, CellListRead::Error::None);
  const SymbolCell& door = read.cells[0];
  EXPECT_EQ(door.Name, "DOOR1.SYM");
  EXPECT_EQ(door.Kind, kPlaceCell);
  EXPECT_EQ(door.Layer, 3);
  EXPECT_EQ(door.ScaleMode, 4);  // the page's default
  EXPECT_EQ(door.Justify, "");
  const SymbolCell& window = read.cells[1];
  EXPECT_EQ(window.Kind, kInsertCell);
  EXPECT_EQ(window.Justify, "C");
  EXPECT_EQ(window.ScaleMode, 1);
  EXPECT_EQ(read.cells[2].Justify, "R");
  EXPECT_EQ(read.cells[2].ScaleMode, 4);
  EXPECT_EQ(read.cells[3].Kind, kPlaceCell);
  EXPECT_EQ(read.cells[3].ScaleMode, 2);
  EXPECT_EQ(read.cells[4].Kind, kEmptyCell);
  EXPECT_EQ(read.cells[4].Name, "NONE");
  EXPECT_EQ(read.cells[19].Kind, kEmptyCell);
}

TEST(CellListTest, NamesAreCutTo13Characters) {
  const CellListRead read = ParseCellList(CellList("ABCDEFGHIJKLMNOP.SYM,0,\n"), 1);
  ASSERT_EQ(read.error, CellListRead::Error::None);
  EXPECT_EQ(read.cells[0].Name, "ABCDEFGHIJKLM");
}

TEST(CellListTest, FieldsThatShouldBeNumbersNameTheirLine) {
  const CellListRead layer = ParseCellList(CellList("A.SYM,0,\nB.SYM,three,\n"), 1);
  EXPECT_EQ(layer.error, CellListRead::Error::Format);
  EXPECT_EQ(layer.line, 2);
  EXPECT_EQ(ParseCellList(CellList("A.SYM,0,x\n"), 1).error, CellListRead::Error::Format);
  const CellListRead scale = ParseCellList(CellList("A\n\n\nB.SYM,0,L,big\n"), 1);
  EXPECT_EQ(scale.error, CellListRead::Error::Format);  // line 1 has no layer field
  EXPECT_EQ(scale.line, 1);
  const CellListRead insertScale = ParseCellList(CellList("NONE\nB.SYM,0,L,big\n"), 1);
  EXPECT_EQ(insertScale.line, 2);
}

TEST(CellListTest, AShortListIsAReadErrorAtItsFirstMissingLine) {
  const CellListRead read = ParseCellList(CellList("", 7), 1);
  EXPECT_EQ(read.error, CellListRead::Error::Short);
  EXPECT_EQ(read.line, 8);
  EXPECT_EQ(ParseCellList("", 1).line, 1);
}

TEST(PageCellTest, PicturesBelowTheStripAndPicturesUnderIt) {
  // Four rows below the button strip.
  EXPECT_EQ(PageCellAt(0, 0, 240), 1);
  EXPECT_EQ(PageCellAt(299, 239, 240), 20);
  EXPECT_EQ(PageCellAt(60, 60, 240), 7);
  EXPECT_EQ(PageCellAt(0, 240, 240), 0);  // below the last row
  EXPECT_EQ(PageCellAt(300, 0, 240), 0);  // right of the last column
  // A covered top row: it counts for nothing, the cells start on the second row.
  EXPECT_EQ(PageCellAt(10, 10, 300), 0);
  EXPECT_EQ(PageCellAt(10, 70, 300), 1);
  EXPECT_EQ(PageCellAt(299, 299, 300), 20);
  // Between the two, the picture lies below the strip and is numbered from its top.
  EXPECT_EQ(PageCellAt(10, 10, 270), 1);
  EXPECT_EQ(PageCellAt(10, 250, 270), 0);
}

}  // namespace
}  // namespace qxt
