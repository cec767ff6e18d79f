// The page's picture kept object by object: what a page is sent after each change, and that the
// pieces, placed by the drawing's transform, lie where the whole SVG draws the same objects.
#include "serve_picture.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "hsi/hsi.h"
#include "machine_test.h"

namespace {

using nlohmann::json;

class LivePictureTest : public testsupport::MachineTest {
 protected:
  // The change a page at version `have` is sent (null when none).
  json Since(uint64_t have) {
    const std::string text = picture_.Since(have);
    return text.empty() ? json() : json::parse(text);
  }
  static std::vector<int32_t> Ids(const json& change) {
    std::vector<int32_t> ids;
    for (const auto& o : change["objects"]) ids.push_back(o[0].get<int32_t>());
    return ids;
  }
  LivePicture picture_;
};

TEST_F(LivePictureTest, SendsOnlyWhatChangedSinceThePagesVersion) {
  const int32_t a = Host().AddLine({{0, 0}, {100000, 0}});
  const int32_t b = Host().AddLine({{0, 50000}, {100000, 50000}});
  picture_.Update(&Host());
  const uint64_t first = picture_.Version();
  const json whole = Since(0);
  ASSERT_TRUE(whole["whole"].get<bool>());
  const std::string svg = whole["svg"];
  EXPECT_NE(svg.find("<g id=\"o" + std::to_string(a) + "\">"), std::string::npos);
  EXPECT_NE(svg.find("<g id=\"layer-1\">"), std::string::npos);

  // Nothing changed: the same version, and nothing to send.
  picture_.Update(&Host());
  EXPECT_EQ(picture_.Version(), first);
  EXPECT_TRUE(Since(first).is_null());

  // An object further out changes the extent: only it is sent, with the new sheet.
  const int32_t c = Host().AddLine({{-400000, 0}, {-400000, 300000}}, 3);
  picture_.Update(&Host());
  json change = Since(first);
  EXPECT_FALSE(change["whole"].get<bool>());
  EXPECT_EQ(Ids(change), std::vector<int32_t>{c});
  EXPECT_EQ(change["objects"][0][1], 3);
  EXPECT_EQ(change["sheet"]["minX"], -400000);
  const uint64_t second = picture_.Version();

  // Moved, erased, selected, a layer switched off: each reaches a page one change behind, and
  // one further behind gets them all.
  ASSERT_TRUE(Host().MoveObject(a, 0, 1000));
  ASSERT_TRUE(Host().DeleteObject(b));
  picture_.Update(&Host());
  change = Since(second);
  EXPECT_EQ(Ids(change), std::vector<int32_t>{a});
  EXPECT_EQ(change["removed"], json::array({b}));
  const uint64_t third = picture_.Version();
  HsiOslEntry entry{c, 0, 0};
  ASSERT_TRUE(Host().AddToList(0, entry));
  picture_.Update(&Host());
  change = Since(third);
  EXPECT_EQ(Ids(change), std::vector<int32_t>{c});
  EXPECT_NE(change["objects"][0][2].get<std::string>().find("class=\"selected\""),
            std::string::npos);
  host::LayerState off = Host().Layer(3);
  off.state = HSI_LAYER_OFF;
  ASSERT_TRUE(Host().WriteLayer(3, off));
  picture_.Update(&Host());
  change = Since(second);
  EXPECT_EQ(Ids(change), std::vector<int32_t>{a});
  EXPECT_EQ(change["removed"], json::array({b, c}));

  // A page from another run, or with no picture, gets the whole picture; so does every page
  // once the drawing grew so much that the pieces are drawn at another scale.
  EXPECT_TRUE(Since(picture_.Version() + 5)["whole"].get<bool>());
  EXPECT_TRUE(Since(0)["whole"].get<bool>());
  const uint64_t fourth = picture_.Version();
  Host().AddLine({{90000000, 0}, {90000000, 1000}});
  picture_.Update(&Host());
  EXPECT_TRUE(Since(fourth)["whole"].get<bool>());
}

TEST_F(LivePictureTest, PiecesLieWhereTheWholeSvgDrawsThemAndKeepTheirTextWhenTheExtentChanges) {
  const int32_t a = Host().AddLine({{10000, 20000}, {250000, 90000}, {400000, -30000}});
  picture_.Update(&Host());
  const std::string before = Since(0)["svg"];
  Host().AddLine({{-900000, 0}, {-800000, 700000}});
  picture_.Update(&Host());
  const std::string after = Since(0)["svg"];
  // The first line's piece is the same text in both pictures.
  const std::regex piece("<g id=\"o" + std::to_string(a) + "\">[^]*?</g>\n");
  std::smatch p1, p2;
  ASSERT_TRUE(std::regex_search(before, p1, piece));
  ASSERT_TRUE(std::regex_search(after, p2, piece));
  EXPECT_EQ(p1.str(), p2.str());

  // Its points, through the drawing's transform, are the whole SVG's points of the same line.
  std::smatch t;
  ASSERT_TRUE(std::regex_search(
      after, t,
      std::regex(R"(transform="translate\(([-0-9.e+]+) ([-0-9.e+]+)\) scale\(([-0-9.e+]+)\))")));
  const double tx = std::stod(t[1]), ty = std::stod(t[2]), s = std::stod(t[3]);
  auto points = [](const std::string& text) {
    std::smatch m;
    EXPECT_TRUE(std::regex_search(text, m, std::regex(R"(points="([^"]*)\")")));
    std::vector<double> v;
    std::istringstream in(std::regex_replace(m[1].str(), std::regex(","), " "));
    for (double d; in >> d;) v.push_back(d);
    return v;
  };
  const std::vector<double> local = points(p2.str());
  const std::vector<double> sheet = points(Host().ToSvg());
  ASSERT_EQ(local.size(), 6u);
  ASSERT_EQ(sheet.size(), 6u);
  for (size_t i = 0; i < 6; i += 2) {
    EXPECT_NEAR(tx + s * local[i], sheet[i], 0.02) << i;
    EXPECT_NEAR(ty + s * local[i + 1], sheet[i + 1], 0.02) << i;
  }
}

TEST_F(LivePictureTest, TheHostsTemporaryImagesComeAndGoWithTheHost) {
  Host().AddLine({{0, 0}, {1000000, 0}});
  picture_.Update(&Host());
  const uint64_t first = picture_.Version();
  HsiPoint at{100000, 200000};
  HsiTextAttributes look{};
  look.size = 20000;
  look.widthFactor = 1;
  look.vcode = 3;
  ASSERT_EQ(HsiDrawText(&at, "KITCHEN", &look, HSI_DRAW_HIGHLIGHT), HSI_SUCCESS);
  picture_.Update(&Host());
  json change = Since(first);
  EXPECT_TRUE(change["objects"].empty());
  const std::string marks = change["marks"];
  EXPECT_NE(marks.find("<g id=\"marks\">"), std::string::npos);
  EXPECT_NE(marks.find(">KITCHEN</text>"), std::string::npos);
  // At the text's size: 20000 units times the pieces' scale, over the 0.72 of a font's height.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(marks, m, std::regex(R"(font-size="([0-9.]+)\")")));
  EXPECT_NEAR(std::stod(m[1]), 20000 * change["sheet"]["pieces"].get<double>() / 0.72, 0.01);
  const uint64_t second = picture_.Version();
  ASSERT_EQ(HsiDrawText(&at, "KITCHEN", &look, HSI_DRAW_ERASE), HSI_SUCCESS);
  picture_.Update(&Host());
  change = Since(second);
  EXPECT_EQ(change["marks"], "");
}

}  // namespace
