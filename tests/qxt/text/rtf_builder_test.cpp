#include "text/rtf_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/memory.h"

namespace qxt {
namespace {

// Group structure of an RTF text: true when every group opened is closed, none is closed that was
// not opened, and no backslash is left without the character it escapes.
bool GroupsBalanced(std::string_view rtf) {
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    char c = rtf[i];
    if (c == '\\') {
      if (i + 1 == rtf.size()) return false;
      ++i;  // the escaped character, or the first letter of a control word
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (--depth < 0) return false;
    }
  }
  return depth == 0;
}

// The five replacements done literally, one after another, as a reference for the one-pass
// escaper.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

std::string SequentialEscape(std::string body) {
  body = ReplaceAll(body, "\\", "\\\\");
  body = ReplaceAll(body, "{", "\\{");
  body = ReplaceAll(body, "}", "\\}");
  body = ReplaceAll(body, "\r\n", "\r\n\\par ");
  return ReplaceAll(body, "@@", "\\");
}

// An escaped body keeps the document's structure when it opens and closes no group of its own
// and leaves no backslash to escape the closing after it.
bool KeepsStructure(std::string_view escapedBody) {
  for (std::size_t i = 0; i < escapedBody.size(); ++i) {
    char c = escapedBody[i];
    if (c == '\\') {
      if (++i == escapedBody.size()) return false;
    } else if (c == '{' || c == '}') {
      return false;
    }
  }
  return true;
}

TrueTypeTextSettings ExampleSettings() {
  TrueTypeTextSettings s;
  s.faceName = "Arial";
  s.size = 12;
  s.lineWidth = 6.0;
  s.just = 1;
  s.style = kStyleBold;
  return s;
}

TEST(RtfBuilder, WorkedExampleGivesExactlyItsDocument) {
  EXPECT_EQ(BuildRtfDocument(ExampleSettings(), "Hello\r\nA{b}"),
            "{\\rtf1\\ansi\\paperw8640\\margl0\\margr0\\deff0{\\fonttbl{\\f0\\fnil Arial;}}"
            "{\\f0\\fs24\\qc\\b Hello\r\n\\par A\\{b\\}}\\par}");
}

TEST(RtfBuilder, HeaderSizeAlignmentAndStyleWords) {
  TrueTypeTextSettings s;
  s.size = 10;
  s.lineWidth = 0;
  s.just = 0;
  EXPECT_EQ(
      RtfHeader(s),
      "{\\rtf1\\ansi\\paperw0\\margl0\\margr0\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\f0\\fs20 ");

  s.just = 2;
  s.style = kStyleUnderline | kStyleStrikeOut;
  EXPECT_TRUE(RtfHeader(s).ends_with("\\fs20\\qr\\ul\\strike "));

  s.just = 1;
  s.style = kStyleStrikeOut | kStyleUnderline | kStyleItalic | kStyleBold;
  EXPECT_TRUE(RtfHeader(s).ends_with("\\fs20\\qc\\b\\i\\ul\\strike "));

  // Bits above strike-out and alignment items outside 0..2 add nothing.
  s.just = 7;
  s.style = 0xF0;
  EXPECT_TRUE(RtfHeader(s).ends_with("\\fs20 "));
}

TEST(RtfBuilder, PaperWidthIsInTwipsAndSafeForDamagedValues) {
  EXPECT_EQ(PaperWidthTwips(6.0), 8640);
  EXPECT_EQ(PaperWidthTwips(21.0), 30240);
  EXPECT_EQ(PaperWidthTwips(0.0), 0);
  EXPECT_EQ(PaperWidthTwips(std::nan("")), 0);
  EXPECT_EQ(PaperWidthTwips(1e300), std::numeric_limits<int32_t>::max());
}

TEST(RtfBuilder, FaceNameCannotBreakTheFontTable) {
  TrueTypeTextSettings s;
  s.faceName = "Odd}{\\Face";
  EXPECT_NE(RtfHeader(s).find("\\fnil Odd\\}\\{\\\\Face;}}"), std::string::npos);
  EXPECT_TRUE(GroupsBalanced(BuildRtfDocument(s, "x")));
}

TEST(RtfBuilder, EscapesSpecialsLineBreaksAndRawControlWords) {
  EXPECT_EQ(EscapeRtfBody("a\\b{c}d"), "a\\\\b\\{c\\}d");
  EXPECT_EQ(EscapeRtfBody("one\r\ntwo\r\n"), "one\r\n\\par two\r\n\\par ");
  EXPECT_EQ(EscapeRtfBody("@@ul words@@ul0"), "\\ul words\\ul0");
  EXPECT_EQ(EscapeRtfBody("x@@@@y"), "x\\\\y");  // two in a row: one literal backslash
  EXPECT_EQ(EscapeRtfBody("a@@@b"), "a\\@b");
  EXPECT_EQ(EscapeRtfBody("\r\r\n"), "\r\r\n\\par ");
  EXPECT_EQ(EscapeRtfBody(""), "");
}

TEST(RtfBuilder, RawBackslashNeverEscapesTheDocumentStructure) {
  // Alone at the end, "@@" would turn the closing's first brace into a literal one; before a
  // brace or backslash it would pair with that character's escape. It writes a literal
  // backslash there instead.
  EXPECT_EQ(EscapeRtfBody("abc@@"), "abc\\\\");
  EXPECT_EQ(EscapeRtfBody("@@{"), "\\\\\\{");
  EXPECT_EQ(EscapeRtfBody("@@@@@@}"), "\\\\\\\\\\}");
  EXPECT_EQ(EscapeRtfBody("@@\\"), "\\\\\\\\");
  // An even run is already a run of literal backslashes and stays as it is.
  EXPECT_EQ(EscapeRtfBody("@@@@{"), "\\\\\\{");
}

TEST(RtfBuilder, RawControlWordsThatTakeDataAfterThemAreWrittenLiterally) {
  // A hex escape needs its two hex digits typed right after it; binary data is never passed.
  EXPECT_EQ(EscapeRtfBody("hex@@'e"), "hex\\\\'e");
  EXPECT_EQ(EscapeRtfBody("@@'"), "\\\\'");
  EXPECT_EQ(EscapeRtfBody("@@'4"), "\\\\'4");
  EXPECT_EQ(EscapeRtfBody("@@'4}"), "\\\\'4\\}");
  EXPECT_EQ(EscapeRtfBody("@@'41x"), "\\'41x");
  EXPECT_EQ(EscapeRtfBody("data@@bin6"), "data\\\\bin6");
  EXPECT_EQ(EscapeRtfBody("@@bin"), "\\\\bin");
  EXPECT_EQ(EscapeRtfBody("@@bin 2ab"), "\\\\bin 2ab");
  // Other control words pass as typed, byte for byte.
  EXPECT_EQ(EscapeRtfBody("@@b bold@@b0 @@i it@@i0 @@ul u@@ul0 @@strike s@@strike0@@par x"),
            "\\b bold\\b0 \\i it\\i0 \\ul u\\ul0 \\strike s\\strike0\\par x");
  EXPECT_EQ(EscapeRtfBody("@@binding"), "\\binding");
  // A typed backslash before the quote is a literal one already.
  EXPECT_EQ(EscapeRtfBody("\\'e"), "\\\\'e");
}

TEST(RtfBuilder, OnePassMatchesTheFiveStepsAndIsAlwaysWellFormed) {
  std::mt19937 random(20021019);
  const std::array<char, 7> alphabet = {'\\', '{', '}', '\r', '\n', '@', 'a'};
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string body(random() % 12, ' ');
    for (char& c : body) c = alphabet[random() % alphabet.size()];
    std::string escaped = EscapeRtfBody(body);
    ASSERT_EQ(escaped.size(), EscapedRtfBodyLength(body));
    ASSERT_TRUE(KeepsStructure(escaped)) << ::testing::PrintToString(body);
    std::string reference = SequentialEscape(body);
    if (KeepsStructure(reference)) {
      ASSERT_EQ(escaped, reference) << body;
      ++compared;
    }
  }
  EXPECT_GT(compared, 10000);
}

TEST(RtfBuilder, EmptyMemoStillGivesAWholeDocument) {
  TrueTypeTextSettings s;
  EXPECT_EQ(BuildRtfDocument(s, ""), RtfHeader(s) + "}\\par}");
}

TEST(RtfBuilder, BodyIsCutAndTheDocumentKeepsItsClosing) {
  TrueTypeTextSettings s;
  std::string doc = BuildRtfDocument(s, std::string(3000, 'x'));
  EXPECT_EQ(doc, RtfHeader(s) + std::string(kRtfMaxBodyChars, 'x') + "}\\par}");

  // Cut between CR and LF: the lone CR stays a plain character.
  std::string memo(kRtfMaxBodyChars - 1, 'y');
  memo += "\r\nz";
  EXPECT_TRUE(BuildRtfDocument(s, memo).ends_with("y\r}\\par}"));
}

TEST(RtfBuilder, BlocksHoldTheWholeDocumentEvenWhenItOutgrowsTheUsualSize) {
  std::size_t before = platform::LiveBlockCount();
  TrueTypeTextSettings s;
  s.faceName = std::string(240, 'F');  // the longest face name the settings hold
  std::string manyLines;
  while (manyLines.size() + 2 <= kRtfMaxBodyChars) manyLines += "\r\n";
  {
    RtfDocumentBlocks blocks(s, manyLines);
    ASSERT_TRUE(blocks.ok());
    EXPECT_EQ(platform::LiveBlockCount(), before + 2);
    EXPECT_NE(blocks.documentHandle(), blocks.previewHandle());

    std::string expected = BuildRtfDocument(s, manyLines);
    ASSERT_GT(expected.size(), kRtfBlockSize);
    EXPECT_EQ(blocks.document(), expected);
    for (platform::MemHandle h : {blocks.documentHandle(), blocks.previewHandle()}) {
      ASSERT_GT(platform::GlobalSize(h), expected.size());
      const char* data = static_cast<const char*>(platform::GlobalLock(h));
      ASSERT_NE(data, nullptr);
      EXPECT_EQ(std::string(data), expected);  // NUL-terminated in its block
      platform::GlobalUnlock(h);
    }
  }
  EXPECT_EQ(platform::LiveBlockCount(), before);

  RtfDocumentBlocks small(s, "short");
  ASSERT_TRUE(small.ok());
  EXPECT_EQ(platform::GlobalSize(small.documentHandle()), kRtfBlockSize);
  small.Release();
  EXPECT_EQ(platform::LiveBlockCount(), before);
}

// A real RTF reader gets the user's text back out of the documents.
std::string ReadWithUnrtf(const std::string& document) {
  auto dir = std::filesystem::temp_directory_path();
  auto path = dir / ("qxt_rtf_" + std::to_string(::getpid()) + ".rtf");
  std::ofstream(path, std::ios::binary) << document;
  std::string command = "unrtf --text '" + path.string() + "' 2>/dev/null";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 512> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      output.append(buffer.data(), n);
    ::pclose(pipe);
  }
  std::filesystem::remove(path);
  // Drop unrtf's own banner lines and the rule under them; keep the text lines.
  std::size_t start = output.find("-----------------\n");
  std::string text = start == std::string::npos ? output : output.substr(start + 18);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// True when a real reader ends the document with its own closing: the paragraph mark of the
// closing comes after every group the text is in has been closed, as the last thing it shows.
bool ReaderSeesTheClosing(const std::string& document) {
  auto dir = std::filesystem::temp_directory_path();
  auto path = dir / ("qxt_rtf_closing_" + std::to_string(::getpid()) + ".rtf");
  std::ofstream(path, std::ios::binary) << document;
  std::string command = "unrtf --html '" + path.string() + "' 2>/dev/null";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 512> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      output.append(buffer.data(), n);
    ::pclose(pipe);
  }
  std::filesystem::remove(path);
  return output.ends_with("<br>\n</body>\n</html>\n");
}

TEST(RtfBuilder, RealReaderAlwaysSeesTheDocumentsOwnClosing) {
  if (std::system("command -v unrtf >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "unrtf is not installed";
  TrueTypeTextSettings s = ExampleSettings();
  s.style = kStyleBold | kStyleItalic | kStyleUnderline | kStyleStrikeOut;
  for (const char* typed :
       {"plain", "hex@@'e", "@@'", "@@'4", "data@@bin6", "@@bin", "@@bin-3", "ends with@@",
        "@@uc9@@u65", "@@b bold@@b0 @@ul under@@ul0@@par", "last line\r\n", "@@'41"}) {
    EXPECT_TRUE(ReaderSeesTheClosing(BuildRtfDocument(s, typed))) << typed;
  }
  // The text itself comes back as typed where a control word was refused.
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "hex@@'e")), "hex\\'e");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "data@@bin6")), "data\\bin6");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "hex@@'41")), "hexA");

  // Short texts made of the pieces that matter, typed in any order.
  std::mt19937 random(19102002);
  const std::array<const char*, 12> pieces = {"@@", "'", "bin", "4", "e", "6",
                                              "{",  "}", "\\",  "u", " ", "\r\n"};
  for (int round = 0; round < 60; ++round) {
    std::string typed;
    for (int n = 1 + random() % 6; n > 0; --n) typed += pieces[random() % pieces.size()];
    ASSERT_TRUE(ReaderSeesTheClosing(BuildRtfDocument(s, typed)))
        << ::testing::PrintToString(typed);
  }
}

TEST(RtfBuilder, RealReaderGetsTheTextBack) {
  if (std::system("command -v unrtf >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "unrtf is not installed";
  TrueTypeTextSettings s = ExampleSettings();
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "Hello\r\nA{b}")), "Hello\nA{b}");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "C:\\WORK\\{x}")), "C:\\WORK\\{x}");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "a@@@@b")), "a\\b");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "plain @@ul under@@ul0  end")), "plain under end");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "ends with@@")), "ends with\\");
  EXPECT_EQ(ReadWithUnrtf(BuildRtfDocument(s, "@@}{")), "\\}{");
}

}  // namespace
}  // namespace qxt
