#include "platform/picture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/file_io.h"
#include "platform/forms.h"
#include "platform_test_support.h"

namespace platform {
namespace {

using testing::PlatformTest;

class PictureTest : public PlatformTest {};

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A 3 x 2 bitmap of 8 bits per pixel with a two-colour palette, stored top-down.
std::string HandMadeBmp() {
  std::string s = "BM";
  Put32(s, 14 + 40 + 8 + 8);
  Put32(s, 0);
  Put32(s, 14 + 40 + 8);
  Put32(s, 40);
  Put32(s, 3);
  Put32(s, static_cast<unsigned>(-2));  // top-down
  Put16(s, 1);
  Put16(s, 8);
  Put32(s, 0);
  Put32(s, 8);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 2);  // colours used
  Put32(s, 0);
  s += std::string("\xFF\x00\x00\x00", 4);  // index 0: blue (stored B G R 0)
  s += std::string("\x00\x00\xFF\x00", 4);  // index 1: red
  s += std::string("\x00\x01\x00\x00", 4);  // top row: blue red blue, padded
  s += std::string("\x01\x01\x01\x00", 4);  // bottom row: red red red
  return s;
}

TEST_F(PictureTest, BitmapsAreReadAndWritten) {
  Bitmap decoded = DecodeBmp(HandMadeBmp());
  ASSERT_EQ(decoded.width, 3);
  ASSERT_EQ(decoded.height, 2);
  EXPECT_EQ(decoded.Pixel(0, 0), colors::Blue);
  EXPECT_EQ(decoded.Pixel(1, 0), colors::Red);
  EXPECT_EQ(decoded.Pixel(2, 1), colors::Red);

  Bitmap page(300, 250, colors::White);
  page.SetPixel(0, 0, Rgb(1, 2, 3));
  page.SetPixel(299, 249, colors::Yellow);
  ASSERT_TRUE(ForceDirectories("C:\\QXTOOLS\\QXSYMBOL"));
  WriteBmp("C:\\QXTOOLS\\QXSYMBOL\\QXSYMBOL.BMP", page);
  EXPECT_EQ(ReadBmp("c:\\qxtools\\qxsymbol\\qxsymbol.bmp"), page);

  Form form("TfrmQXSymbol");
  auto& image = form.Add<Image>("imgMenu");
  image.autoSize = true;
  image.LoadFromFile("C:\\QXTOOLS\\QXSYMBOL\\QXSYMBOL.BMP");
  EXPECT_EQ(image.Width(), 300);
  EXPECT_EQ(image.Height(), 250);
}

TEST_F(PictureTest, MalformedBitmapsAreRefusedWithAClearMessage) {
  std::string good = HandMadeBmp();
  std::vector<std::string> bad = {"", "BM", "XY" + good.substr(2), good.substr(0, good.size() - 3),
                                  good.substr(0, 30)};
  std::string huge = good;
  huge[18] = '\xFF';
  huge[19] = '\xFF';
  huge[20] = '\xFF';  // width 16 million
  bad.push_back(huge);
  std::string badIndex = good;
  badIndex[good.size() - 2] = '\x07';  // a palette index past the two colours
  bad.push_back(badIndex);
  for (const std::string& bytes : bad) {
    try {
      DecodeBmp(bytes);
      ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
    } catch (const InvalidPicture& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
  }
  EXPECT_THROW(ReadBmp("C:\\MISSING.BMP"), FileError);
}

// A 1 x 1 bitmap with the newer header.
std::string OnePixelBmp(unsigned bits, const std::string& palette, const std::string& row,
                        unsigned compression = 0) {
  std::string s = "BM";
  unsigned offset = 14 + 40 + static_cast<unsigned>(palette.size());
  Put32(s, offset + static_cast<unsigned>(row.size()));
  Put32(s, 0);
  Put32(s, offset);
  Put32(s, 40);
  Put32(s, 1);
  Put32(s, 1);
  Put16(s, 1);
  Put16(s, bits);
  Put32(s, compression);
  Put32(s, static_cast<unsigned>(row.size()));
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, static_cast<unsigned>(palette.size() / 4));  // colours used
  Put32(s, 0);
  return s + palette + row;
}

TEST_F(PictureTest, EveryDepthTheHeaderNamesIsRead) {
  const std::string palette("\xFF\x00\x00\x00\x00\x00\xFF\x00", 8);  // blue, red
  const std::pair<unsigned, std::string> red[] = {
      {1, std::string("\x80\x00\x00\x00", 4)},  // index 1 in the top bit
      {4, std::string("\x10\x00\x00\x00", 4)},  {8, std::string("\x01\x00\x00\x00", 4)},
      {16, std::string("\x00\x7C\x00\x00", 4)},  // 5-5-5: red 31
      {24, std::string("\x00\x00\xFF\x00", 4)}, {32, std::string("\x00\x00\xFF\x00", 4)},
  };
  for (const auto& [bits, row] : red) {
    Bitmap b = DecodeBmp(OnePixelBmp(bits, bits <= 8 ? palette : "", row));
    EXPECT_EQ(b.Pixel(0, 0), colors::Red) << bits << " bits per pixel";
  }
  // The old core header: 12 bytes, 16-bit width and height.
  std::string core = "BM";
  Put32(core, 14 + 12 + 4);
  Put32(core, 0);
  Put32(core, 14 + 12);
  Put32(core, 12);
  Put16(core, 1);
  Put16(core, 1);
  Put16(core, 1);
  Put16(core, 24);
  core += std::string("\x00\x00\xFF\x00", 4);
  EXPECT_EQ(DecodeBmp(core).Pixel(0, 0), colors::Red);

  // Depths it does not name, and compression, are refused.
  EXPECT_THROW(DecodeBmp(OnePixelBmp(2, palette, std::string(4, '\0'))), InvalidPicture);
  EXPECT_THROW(DecodeBmp(OnePixelBmp(8, palette, std::string(4, '\0'), 1)), InvalidPicture);
  EXPECT_THROW(DecodeBmp(OnePixelBmp(16, "", std::string(4, '\0'), 3)), InvalidPicture);
}

Metafile Preview() {
  Metafile m;
  m.width = 400;
  m.height = 300;
  m.AddPolyline({{10, 10}, {390, 10}, {390, 290}}, colors::Red, 2);
  m.AddArc({100, 50, 300, 250}, {300, 150}, {200, 50});
  m.AddText({120, 140}, "SECTION A", "Arial", 24, colors::Blue);
  m.records.back().font.bold = true;
  return m;
}

TEST_F(PictureTest, MetafilesAreWrittenAndReadBack) {
  Metafile m = Preview();
  WriteWmf("C:\\ARROW1.WMF", m);
  Metafile back = ReadWmf("C:\\arrow1.wmf");
  EXPECT_EQ(back.width, 400);
  EXPECT_EQ(back.height, 300);
  EXPECT_EQ(back.unitsPerInch, 96);
  ASSERT_EQ(back.records.size(), 3u);
  EXPECT_EQ(back.records[0], m.records[0]);
  EXPECT_EQ(back.records[1], m.records[1]);
  EXPECT_EQ(back.records[2].text, "SECTION A");
  EXPECT_EQ(back.records[2].font.name, "Arial");
  EXPECT_EQ(back.records[2].font.size, 24);
  EXPECT_TRUE(back.records[2].font.bold);
  EXPECT_EQ(back.records[2].color, colors::Blue);

  Picture picture;
  picture.LoadFromFile("C:\\ARROW1.WMF");
  ASSERT_TRUE(picture.IsMetafile());
  EXPECT_THROW(picture.LoadFromFile("C:\\ARROW1.TXT"), InvalidPicture);

  Metafile tooBig;
  tooBig.width = 100;
  tooBig.AddLine({0, 0}, {40000, 0});
  EXPECT_THROW(EncodeWmf(tooBig), InvalidPicture);
}

TEST_F(PictureTest, MalformedMetafilesAreRefused) {
  std::string bytes = EncodeWmf(Preview());
  for (std::size_t cut :
       {std::size_t{0}, std::size_t{10}, std::size_t{30}, bytes.size() - 6, bytes.size() - 1}) {
    EXPECT_THROW(DecodeWmf(bytes.substr(0, cut)), InvalidPicture) << "cut at " << cut;
  }
  std::string badRecord = bytes;
  badRecord[22 + 18] = '\x01';  // the first record claims fewer than three words
  badRecord[22 + 19] = '\0';
  EXPECT_THROW(DecodeWmf(badRecord), InvalidPicture);
}

TEST_F(PictureTest, APlainMetafileDrawsWithTheSelectedPen) {
  std::string body;
  auto record = [&](unsigned function, std::vector<int> words) {
    Put32(body, static_cast<unsigned>(3 + words.size()));
    Put16(body, function);
    for (int w : words) Put16(body, static_cast<unsigned>(w) & 0xFFFF);
  };
  record(0x02FA, {0, 3, 0, 0x00FF, 0});  // a red pen, 3 wide
  record(0x012D, {0});                   // selected
  record(0x0214, {20, 10});              // move to (10, 20)
  record(0x0213, {40, 30});              // line to (30, 40)
  record(0x0626, {1, 2, 3});             // a record this reader does not draw
  record(0x0000, {});
  std::string bytes;
  Put16(bytes, 1);
  Put16(bytes, 9);
  Put16(bytes, 0x0300);
  Put32(bytes, static_cast<unsigned>(9 + body.size() / 2));
  Put16(bytes, 1);
  Put32(bytes, 8);
  Put16(bytes, 0);
  Metafile m = DecodeWmf(bytes + body);
  ASSERT_EQ(m.records.size(), 1u);
  EXPECT_EQ(m.records[0].points, (std::vector<Point>{{10, 20}, {30, 40}}));
  EXPECT_EQ(m.records[0].color, colors::Red);
  EXPECT_EQ(m.records[0].penWidth, 3);
}

// Another program reads the metafile: libwmf's converter draws it as SVG.
TEST_F(PictureTest, AMetafileReadsInAnotherProgram) {
  if (std::system("command -v wmf2svg >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "wmf2svg (Debian package libwmf-bin) is not installed; ./do setup installs it";
  WriteWmf("C:\\PREVIEW.WMF", Preview());
  std::filesystem::path wmf = ResolvePath("C:\\PREVIEW.WMF");
  std::filesystem::path svg = wmf.parent_path() / "preview.svg";
  std::string command = "wmf2svg -o '" + svg.string() + "' '" + wmf.string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(svg);
  std::stringstream text;
  text << in.rdbuf();
  std::string out = text.str();
  EXPECT_NE(out.find("<svg"), std::string::npos);
  EXPECT_NE(out.find("SECTION A"), std::string::npos);
  EXPECT_NE(out.find("polyline"), std::string::npos) << out;
}

}  // namespace
}  // namespace platform
