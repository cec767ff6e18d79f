// The desktop window's reading of a person's input: the grid clicks land on, the typed box, the
// host tools' lines and the machine paths of chosen files.
#include "desktop_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "user/script.h"

namespace fs = std::filesystem;

namespace {

TEST(DesktopInput, ClicksLandOnTheSmallestRoundStepOfAtLeastAPixel) {
  EXPECT_EQ(desktop::GridStep(0.25), 1);  // zoomed far in: whole drawing units, no fractions
  EXPECT_EQ(desktop::GridStep(1), 1);
  EXPECT_EQ(desktop::GridStep(1.01), 2);
  EXPECT_EQ(desktop::GridStep(2), 2);
  EXPECT_EQ(desktop::GridStep(2.5), 5);
  EXPECT_EQ(desktop::GridStep(7), 10);
  EXPECT_EQ(desktop::GridStep(2900), 5000);
  EXPECT_EQ(desktop::GridStep(20000), 20000);
  EXPECT_EQ(desktop::GridStep(std::nan("")), 1);

  EXPECT_EQ(desktop::OnGrid(1743210.0, 201999.0, 2900), (host::Point{1745000, 200000}));
  // Negative coordinates round to the nearest step too, not towards zero.
  EXPECT_EQ(desktop::OnGrid(-1743210.0, -2600.0, 2900), (host::Point{-1745000, -5000}));
  // A click far outside the world is held at its edge.
  EXPECT_EQ(desktop::OnGrid(1e12, -1e12, 1e6).x, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(desktop::OnGrid(1e12, -1e12, 1e6).y, std::numeric_limits<int32_t>::min());
}

TEST(DesktopInput, TheTypedBoxIsAnExactPointOrATypedOne) {
  EXPECT_EQ(desktop::TypedPointLine("100 -200"), "point 100 -200");
  EXPECT_EQ(desktop::TypedPointLine("  100\t 200  "), "point 100 200");
  EXPECT_EQ(desktop::TypedPointLine("2147483647 -2147483648"), "point 2147483647 -2147483648");
  // Anything else goes to the host as written, which reads the drawing's notation.
  EXPECT_EQ(desktop::TypedPointLine("18'-4\" 12'-0\""), "enter 18'-4\" 12'-0\"");
  EXPECT_EQ(desktop::TypedPointLine("@3'-0\" 0"), "enter @3'-0\" 0");
  EXPECT_EQ(desktop::TypedPointLine("5600,3200"), "enter 5600,3200");
  EXPECT_EQ(desktop::TypedPointLine("1 2 3"), "enter 1 2 3");
  EXPECT_EQ(desktop::TypedPointLine("12 5x"), "enter 12 5x");
  // Beyond the coordinate range is not an exact point.
  EXPECT_EQ(desktop::TypedPointLine("2147483648 0"), "enter 2147483648 0");
  EXPECT_EQ(desktop::TypedPointLine("99999999999999999999 0"), "enter 99999999999999999999 0");
  EXPECT_EQ(desktop::TypedPointLine(" \t "), "");
}

TEST(DesktopInput, TheHostToolsMakeSetUpLinesTheSessionReads) {
  EXPECT_EQ(desktop::LineToolLine({{0, 0}}), "");
  EXPECT_EQ(desktop::LineToolLine({{0, 0}, {1000, -5}, {1000, 700}}),
            "host line 0 0 1000 -5 1000 700");
  EXPECT_EQ(desktop::ArcToolLine({10, 20}, {110, 20}, {10, 500}),
            "host arc 10 20 100 0.0000 90.0000");
  // From the start counter-clockwise round to the end's direction, past 180 degrees.
  EXPECT_EQ(desktop::ArcToolLine({0, 0}, {0, 100}, {100, -1}), "host arc 0 0 100 90.0000 359.4271");
  EXPECT_EQ(desktop::ArcToolLine({5, 5}, {5, 5}, {50, 50}), "");  // no radius
  EXPECT_EQ(desktop::TextToolLine({1, 2}, ""), "");
  // A text with quotes and a backslash stays one word of the line, read back as typed.
  const std::string typed = "ROOM \"A\" C:\\NOTES";
  const std::string line = desktop::TextToolLine({1, -2}, typed);
  std::vector<user::Word> words = user::SplitWords(line);
  ASSERT_EQ(words.size(), 5u);
  EXPECT_EQ(words[0].text + " " + words[1].text + " " + words[2].text + " " + words[3].text,
            "host text 1 -2");
  EXPECT_TRUE(words[4].quoted);
  EXPECT_EQ(words[4].text, typed);
}

TEST(DesktopInput, OnlyFilesOnTheMachinesDrivesHaveAMachinePath) {
  const fs::path root = fs::temp_directory_path() / "qxt-desktop-input" / "root";
  fs::remove_all(root.parent_path());
  fs::create_directories(root / "C" / "TRACELON" / "DRAWINGS");
  fs::create_directories(root / "CC");
  std::ofstream(root / "C" / "TRACELON" / "DRAWINGS" / "A.VWF") << "x";

  EXPECT_EQ(desktop::MachinePath(root, root / "C" / "TRACELON" / "DRAWINGS" / "A.VWF"),
            "C:\\TRACELON\\DRAWINGS\\A.VWF");
  // A file not written yet (Save As) has its path too, and ".." inside the machine is followed.
  EXPECT_EQ(desktop::MachinePath(root, root / "C" / "TRACELON" / ".." / "NEW.VWF"), "C:\\NEW.VWF");
  EXPECT_EQ(desktop::MachinePath(root, root / "D" / "X.VWF"), "D:\\X.VWF");
  EXPECT_EQ(desktop::MachinePath(root, root / "C"), "C:\\");
  // Not on a drive of the machine.
  EXPECT_EQ(desktop::MachinePath(root, root), std::nullopt);
  EXPECT_EQ(desktop::MachinePath(root, root / "CC" / "X.VWF"), std::nullopt);
  EXPECT_EQ(desktop::MachinePath(root, root / ".." / "X.VWF"), std::nullopt);
  EXPECT_EQ(desktop::MachinePath(root, root / "C" / ".." / ".." / "X.VWF"), std::nullopt);
  EXPECT_EQ(desktop::MachinePath(root, root.parent_path() / "rootless" / "X.VWF"), std::nullopt);
  fs::remove_all(root.parent_path());
}

}  // namespace
