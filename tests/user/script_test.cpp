#include "user/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace user {
namespace {

std::string ErrorOf(const std::string& text) {
  try {
    Script::Parse(text, "t.session");
  } catch (const ScriptError& e) {
    return e.what();
  }
  return "";
}

TEST(Translate, MovesDrawingPointsOnlyAndRefusesWhatLeaves32Bits) {
  Script script = Script::Parse(
      "host line 0 0 10 20 30 40 layer 11\n"
      "host symbol DOOR.SYM 5 6 layer 2\n"
      "host select none\n"
      "run QXDoor\n"
      "form TdlgQXDoor\n"
      "  mouse pnlSwing down left 3 4\n"
      "pick -7 8\n"
      "enter 5,5\n",
      "t.session");
  script.Translate(1000, -2000);
  const auto& lines = script.Lines();
  EXPECT_EQ(lines[0].source, "host line 1000 -2000 1010 -1980 1030 -1960 layer 11");
  EXPECT_EQ(lines[1].source, "host symbol DOOR.SYM 1005 -1994 layer 2");
  EXPECT_EQ(lines[2].source, "host select none");
  EXPECT_EQ(lines[5].source, "mouse pnlSwing down left 3 4");
  EXPECT_EQ(lines[6].Arg(1), "993");
  EXPECT_EQ(lines[6].Arg(2), "-1992");
  EXPECT_EQ(lines[7].source, "enter 5,5");
  EXPECT_EQ(script.OffsetX(), 1000);
  EXPECT_EQ(script.OffsetY(), -2000);

  Script edge = Script::Parse("point 0 0\npoint 0 147483648\n", "t.session");
  try {
    edge.Translate(0, 2000000000);
    ADD_FAILURE() << "a coordinate beyond 32 bits was accepted";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.Line(), 2);
  }
}

TEST(SplitWords, QuotedTextsEscapesAndComments) {
  auto words = SplitWords(R"(set mmText "a \"b\" \\ c\r\nd\te" plain # "not" a word)");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[0].text, "set");
  EXPECT_FALSE(words[0].quoted);
  EXPECT_EQ(words[2].text, "a \"b\" \\ c\r\nd\te");
  EXPECT_TRUE(words[2].quoted);
  EXPECT_EQ(words[3].text, "plain");

  auto hash = SplitWords(R"(host text 0 0 "#1 # not a comment")");
  ASSERT_EQ(hash.size(), 5u);
  EXPECT_EQ(hash[4].text, "#1 # not a comment");

  EXPECT_TRUE(SplitWords(R"(input "")")[1].quoted);
  EXPECT_EQ(SplitWords(R"(input "")")[1].text, "");
}

TEST(SplitWords, OtherBackslashesStandForThemselves) {
  EXPECT_EQ(SplitWords(R"(file "C:\QXTOOLS\REF\QXREF.DAT")")[1].text,
            "C:\\QXTOOLS\\REF\\QXREF.DAT");
  EXPECT_EQ(SplitWords(R"(file "C:\\QXTOOLS\\template")")[1].text, "C:\\QXTOOLS\\template");
}

TEST(SplitWords, MalformedTextsAreRefused) {
  EXPECT_THROW(SplitWords(R"(set a "open)"), std::invalid_argument);
  EXPECT_THROW(SplitWords(R"(set a "x"y)"), std::invalid_argument);
  EXPECT_THROW(SplitWords("set a \"ends with \\"), std::invalid_argument);
}

TEST(SplitWords, InchMarksInsideBareWords) {
  // A double quote after the start of a bare word is an inch mark, part of the word.
  auto words = SplitWords(R"(enter 18'-4" 12'-0"  # "a comment)");
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[1].text, "18'-4\"");
  EXPECT_FALSE(words[1].quoted);
  EXPECT_EQ(words[2].text, "12'-0\"");
  EXPECT_EQ(SplitWords(R"(set a x"y")")[2].text, "x\"y\"");
  // The line's source stops before its comment, also after a lone inch mark.
  Script script = Script::Parse("enter @3'-0\" 0   # \"three feet\n");
  ASSERT_EQ(script.Lines().size(), 1u);
  EXPECT_EQ(script.Lines()[0].source, "enter @3'-0\" 0");
  EXPECT_EQ(script.Lines()[0].verb, Verb::Enter);
}

TEST(Quote, IsTheInverseOfTheParser) {
  const std::string texts[] = {
      "", "plain", "with space", "q\"uote", "back\\slash", "line\r\nbreak\ttab", "#hash"};
  for (const auto& text : texts) {
    auto words = SplitWords("input " + Quote(text));
    ASSERT_EQ(words.size(), 2u) << text;
    EXPECT_EQ(words[1].text, text);
  }
}

TEST(ParseNumbers, DecimalHexAndSigns) {
  EXPECT_EQ(ParseInteger("64538"), 64538);
  EXPECT_EQ(ParseInteger("0xFC1A"), 0xFC1A);
  EXPECT_EQ(ParseInteger("-12"), -12);
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_FALSE(ParseInteger("12a"));
  EXPECT_FALSE(ParseInteger("0x"));
  EXPECT_FALSE(ParseInteger(""));
  EXPECT_FALSE(ParseInteger("-"));
  EXPECT_EQ(ParseReal("-22.5"), -22.5);
  EXPECT_FALSE(ParseReal("1/8"));
}

TEST(Script, ParsesAFullSessionWithAFormBlock) {
  auto script = Script::Parse(R"S(# a comment line
host units feet-inches
host line 0 0 120000 0 120000 96000 layer 11
run QXText

form TdlgQXText
  set mmText "NOTE" "SECOND LINE"
  check chkWordWrap on
  select rgrpHJust "Centre"
  select rgrpVJust 2
  expect btnOK enabled
  expect Help "Help"
  click OK
  answer Yes
  expect message "QX Tools (Warning!)" "Bad" prefix
point 100 200   # placement
status 0xFC40
expect no message
expect help "qxt.hlp" 100
)S",
                              "s.session");
  const auto& lines = script.Lines();
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0].verb, Verb::Host);
  EXPECT_EQ(lines[0].number, 2);
  EXPECT_EQ(lines[2].verb, Verb::Run);
  EXPECT_EQ(lines[3].verb, Verb::Form);
  EXPECT_FALSE(lines[3].indented);
  EXPECT_EQ(lines[4].verb, Verb::Set);
  EXPECT_TRUE(lines[4].indented);
  EXPECT_EQ(lines[4].Count(), 4u);
  EXPECT_EQ(lines[8].verb, Verb::ExpectControl);
  EXPECT_EQ(lines[9].verb, Verb::ExpectControl) << "a caption Help is a control, not the keyword";
  EXPECT_EQ(lines[11].verb, Verb::Answer);
  EXPECT_EQ(lines[12].verb, Verb::ExpectMessage);
  EXPECT_EQ(lines[13].verb, Verb::Point);
  EXPECT_EQ(lines[13].source, "point 100 200");
  EXPECT_EQ(lines[13].Where(), "s.session:16");
  EXPECT_EQ(lines[15].verb, Verb::ExpectNoMessage);
  EXPECT_EQ(lines[16].verb, Verb::ExpectHelp);
}

TEST(Script, FormActionsNeedAnIndentedBlock) {
  EXPECT_NE(ErrorOf("click OK\n").find("t.session:1:"), std::string::npos);
  EXPECT_NE(ErrorOf("form A\nclick OK\n").find("t.session:2:"), std::string::npos);
  // A line that is not indented ends the block.
  EXPECT_NE(ErrorOf("form A\n  click B\npoint 1 2\n  click OK\n").find("t.session:4:"),
            std::string::npos);
  EXPECT_NE(ErrorOf("form A\n  form B\n").find("do not indent"), std::string::npos);
  // Answers may sit inside a block without ending it.
  EXPECT_EQ(ErrorOf("form A\n  click Delete\n  answer Yes\n  click OK\n"), "");
}

TEST(Script, LineShapesAreChecked) {
  struct Case {
    const char* text;
    const char* fragment;
  };
  const Case bad[] = {
      {"host line 0 0 10\n", "host line X1 Y1"},
      {"host line 0 0 10 0 layer\n", "the layer"},
      {"host arc 0 0 10 0\n", "host arc"},
      {"host units yards\n", "the unit must be"},
      {"host layer 3 dim\n", "on|off"},
      {"host frobnicate\n", "unknown host set-up"},
      {"host undo 2\n", "host undo (alone on its line)"},
      {"point 1\n", "point X Y"},
      {"point 1 2.5\n", "whole number"},
      {"answer Maybe\n", "answer Yes|No"},
      {"file C:\\X.VWF\n", "file cancel"},
      {"font \"Arial\" big\n", "the size"},
      {"font \"Arial\" 10 heavy\n", "[bold]"},
      {"wait -5\n", "negative"},
      {"expect beep loud\n", "expect beep"},
      {"expect txtName \"x\"\n", "indented form block"},
      {"form A\n  expect txtName bright\n", "enabled, disabled"},
      {"form A\n  mouse img down left 5\n", "mouse CONTROL"},
      {"form A\n  mouse img drag left 5 5\n", "mouse CONTROL"},
      {"form A\n  select rgrp second\n", "the index"},
      {"frobnicate\n", "unknown action"},
      {"host aperture wide\n", "the value"},
      {"host busy maybe\n", "host busy on|off"},
      {"host snap3d\n", "host snap3d N"},
      {"host snap 3 x\n", "a snap mode"},
      {"host grid\n", "host grid LENGTH"},
      {"enter\n", "enter X Y"},
      {"file \"C:\\QXTOOLS\\template\\A.VWF\"\n", "write \\\\ for a backslash"},
      {"host open \"C:\\new.VWF\"\n", "write \\\\ for a backslash"},
      {"\"run\" QXText\n", "action word"},
  };
  for (const auto& c : bad) {
    std::string error = ErrorOf(c.text);
    EXPECT_NE(error.find(c.fragment), std::string::npos) << c.text << " gave: " << error;
  }
  const char* good[] = {
      "host text 10 20 \"A B\" size 72000 layer 4\n",
      "host select none\nhost select 5 5\nhost layer 12 name \"WALLS\"\nhost mode 3d\n",
      "host scale 48\nhost snapangle 22.5\nhost open \"C:\\W\\A.VWF\"\n",
      "host aperture 0.1\nhost busy on\nhost busy off\nhost snap3d 7\n",
      "host symbol ARROW.SYM 0 0 layer 2\nhost arc 0 0 500 0 90.5\n",
      "form A\n  mouse img down left cell 2 3 shift ctrl\n  dblclick lbx 4 5\n  close\n",
      "font cancel\nfont \"Arial\" 12 bold italic\nfolder cancel\ninput \"x\"\n",
      "expect command 1139\nexpect no command\nexpect form TdlgQXText\nexpect beep error\n",
      "run GetLyrFile \"C:\\QXTOOLS\\layers\\plan3.lyr\"\nrun SaveQXProjSettings 4\n",
      "enter 18'-4\" 12'-0\"\nenter @10'<45\nenter \"5600 3200\"\nhost snap 13 7\nhost grid 6\"\n",
  };
  for (const char* text : good) EXPECT_EQ(ErrorOf(text), "") << text;
}

TEST(Script, LocaleAndMachineLinesAreCheckedBeforeAnythingRuns) {
  EXPECT_EQ(ErrorOf("locale thousands \".\" decimal \",\"\nlocale thousands \"\"\n"), "");
  EXPECT_EQ(ErrorOf("form A\n  click OK\n  locale decimal \",\"\n"), "");  // anywhere
  EXPECT_EQ(ErrorOf("disk C free 4096\ndisk c full\ndisk C unlimited\n"), "");
  EXPECT_EQ(ErrorOf("delete \"C:\\\\QXTOOLS\\\\X.DAT\"\n"), "");
  EXPECT_EQ(ErrorOf("truncate \"C:\\\\QXTOOLS\\\\X.DAT\" 100\n"), "");
  const std::pair<const char*, const char*> bad[] = {
      {"locale\n", "locale [thousands"},
      {"disk C\n", "disk DRIVE free"},
      {"delete C:\\X.DAT\n", "the path in quotes"},
      {"delete\n", "delete \"C:"},
      {"truncate \"C:\\\\X.DAT\"\n", "truncate \"C:"},
      {"truncate \"C:\\\\X.DAT\" -1\n", "cannot be negative"},
      {"truncate C:\\X.DAT 10\n", "the path in quotes"},
      {"disk CC full\n", "disk DRIVE free"},
      {"disk C free\n", "disk DRIVE free"},
      {"disk C free -1\n", "cannot be negative"},
      {"disk C empty\n", "disk DRIVE free"},
      {"locale thousands\n", "locale [thousands"},
      {"locale grouping \" \"\n", "locale [thousands"},
      {"locale thousands .\n", "locale [thousands"},
      {"locale thousands \"..\"\n", "one character, or \"\" for none"},
      {"locale decimal \"\"\n", "decimal separator is one character"},
  };
  for (const auto& [text, fragment] : bad) {
    std::string error = ErrorOf(text);
    EXPECT_NE(error.find(fragment), std::string::npos) << text << " gave: " << error;
  }
}

TEST(Script, AppendBuildsLinesWithNumbers) {
  Script script;
  script.Append("run QXText", false);
  script.Append("form TdlgQXText", false);
  script.Append("click OK", true);
  ASSERT_EQ(script.Lines().size(), 3u);
  EXPECT_EQ(script.Lines()[2].number, 3);
  EXPECT_TRUE(script.Lines()[2].indented);
  EXPECT_THROW(script.Append("click OK", false), ScriptError);
}

TEST(Script, LoadReportsMissingAndBinaryFiles) {
  try {
    Script::Load("/nonexistent/x.session");
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/x.session"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("cannot open"), std::string::npos);
  }
}

// A streamed script refuses what Load refuses before giving any line (a malformed last line, a
// coordinate the offset moves out of range, a NUL byte), gives the lines Load gives, moved by
// the offset, and holds only the lines not yet released.
TEST(Script, OpenChecksTheWholeFileAndReadsAsReleased) {
  const std::filesystem::path path =
      std::filesystem::path(::testing::TempDir()) / "qxt-streamed.session";
  auto write = [&](const std::string& text) { std::ofstream(path, std::ios::binary) << text; };
  std::string text = "# lines\n\n";
  for (int i = 0; i < 100; ++i)
    text += "host line " + std::to_string(i) + " 0 " + std::to_string(i) + " 10\n";
  text += "run QXDoor\nform TdlgQXDoor\n  click OK\npoint 5 6\n";

  write(text + "host line 1 2\n");
  try {
    Script::Open(path);
    ADD_FAILURE() << "a malformed last line was accepted";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.Line(), 107);
  }
  write(text + "point 0 2147483000\n");
  EXPECT_THROW(Script::Open(path, 0, 1000), ScriptError);
  write(text + std::string("point 1 2\0\n", 11));
  EXPECT_THROW(Script::Open(path), ScriptError);

  write(text);
  Script whole = Script::Load(path);
  whole.Translate(-7, 9);
  Script streamed = Script::Open(path, -7, 9);
  EXPECT_EQ(streamed.Size(), 0u) << "nothing is held before it is reached";
  size_t mostHeld = 0;
  for (size_t i = 0; streamed.Has(i); ++i) {
    ASSERT_LT(i, whole.Lines().size());
    EXPECT_EQ(streamed.At(i).source, whole.Lines()[i].source);
    EXPECT_EQ(streamed.At(i).number, whole.Lines()[i].number);
    EXPECT_EQ(streamed.At(i).indented, whole.Lines()[i].indented);
    mostHeld = std::max(mostHeld, streamed.Lines().size());
    streamed.Release(i);
  }
  EXPECT_EQ(streamed.Size(), whole.Lines().size());
  EXPECT_LE(mostHeld, 2u);
  EXPECT_EQ(streamed.LastWhere(), path.string() + ":106");
  // A line appended (a live session's) follows the file.
  streamed.Append("escape", false);
  EXPECT_EQ(streamed.At(streamed.Size() - 1).number, 107);
  // A script read whole keeps every line.
  whole.Release(50);
  EXPECT_EQ(whole.Lines().size(), whole.Size());
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace user
