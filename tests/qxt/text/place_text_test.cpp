#include "text/place_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "core/state.h"
#include "platform/memory.h"
#include "text/rtf_builder.h"
#include "text_fixture.h"

namespace qxt {
namespace {

using testing::PointAt;
using testing::Reply;
using Kind = host::PointReply::Kind;

class PlaceTextTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    QXConfig& c = Config();
    c.TextMode = 0;
    c.CTSize = 100;
    c.CTLineSpacing = 0.5;
    c.CTOrientation = 0.0;
  }

  static const host::TextData& Text(const host::Object& o) {
    return host::get<host::TextData>(o.data);
  }
  static const host::TrueTypeData& TrueType(const host::Object& o) {
    return host::get<host::TrueTypeData>(o.data);
  }
};

TEST_F(PlaceTextTest, CadLinesStepAlongTheTextsDownDirection) {
  user.replies = {PointAt(1000, 2000)};
  ASSERT_TRUE(PlaceText({"ONE", "TWO", "THREE"}, ""));
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].at, (host::Point{1000, 2000}));
  EXPECT_EQ(objects[1].at, (host::Point{1000, 1850}));
  EXPECT_EQ(objects[2].at, (host::Point{1000, 1700}));
  EXPECT_EQ(Text(objects[2]).text, "THREE");
  EXPECT_EQ(user.prompts, std::vector<std::string>{kPlacementPrompt});
  EXPECT_EQ(State().LastCreatedObject, objects[2].id);

  // Turned by 90 degrees, each further line lies further along +x.
  Config().CTOrientation = 90.0;
  user.replies = {PointAt(0, 0)};
  ASSERT_TRUE(PlaceText({"A", "B", "C"}, ""));
  objects = FinalObjects();
  ASSERT_EQ(objects.size(), 6u);
  EXPECT_EQ(objects[4].at, (host::Point{150, 0}));
  EXPECT_EQ(objects[5].at, (host::Point{300, 0}));
}

TEST_F(PlaceTextTest, SettingsADamagedConfigurationHoldsOutOfRangeAreReplacedAndNamed) {
  Config().CTLineSpacing = 1e300;
  Config().CTWidthFactor = std::nan("");
  HsiPutMsg("");
  user.replies = {PointAt(1000, 2000)};
  ASSERT_TRUE(PlaceText({"ONE", "TWO"}, ""));
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1].at, (host::Point{1000, 1850}));  // the default spacing of half a line
  EXPECT_EQ(Text(objects[1]).widthFactor, 1.0);
  EXPECT_EQ(Host().MessageLine(),
            "Text settings out of range (width factor, line spacing): the defaults are used");

  // A TrueType size of nothing makes text of the default size.
  Config().TextMode = 1;
  Config().TTSize = 0;
  user.replies = {PointAt(0, 0)};
  ASSERT_TRUE(PlaceText({}, "NOTE"));
  objects = FinalObjects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(Host().MessageLine(),
            "Text settings out of range (width factor, line spacing, TrueType size): the defaults "
            "are used");
  EXPECT_NE(TrueType(objects[2]).document.find("\\fs20"), std::string::npos)
      << TrueType(objects[2]).document;
}

TEST_F(PlaceTextTest, CadRecordCarriesEverySettingWithTheHostsCodes) {
  QXConfig& c = Config();
  c.CTWidthFactor = 1.5;
  c.CTCharSpacing = 5000;
  c.CTSlant = -20;
  c.CTFont = 3;
  c.CTHJust = 1;  // centre: host code 2
  c.CTVJust = 0;  // top: host code 4
  Host().SetCurrentColour(5);
  user.replies = {PointAt(10, 20)};
  PlaceText({"X"}, "");
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 1u);
  const host::TextData& t = Text(objects[0]);
  EXPECT_EQ(t.size, 100);
  EXPECT_EQ(t.widthFactor, 1.5);
  EXPECT_EQ(t.charSpacing, 5000);
  EXPECT_EQ(t.slant, -20);
  EXPECT_EQ(t.font, 3);
  EXPECT_EQ(t.hcode, 2);
  EXPECT_EQ(t.vcode, 4);
  EXPECT_EQ(objects[0].colour, 5);

  c.CTHJust = 2;  // right: host code 1
  c.CTVJust = 1;  // centre: host code 2
  EXPECT_EQ(+CadTextRecord(c, 1, 7).hcode, 1);
  EXPECT_EQ(+CadTextRecord(c, 1, 7).vcode, 2);
}

TEST_F(PlaceTextTest, EmptyLinesAndAnEmptyMemo) {
  // An empty line between others is an object of length 0.
  user.replies = {PointAt(0, 0)};
  PlaceText({"A", "", "C"}, "");
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(Text(objects[1]).text, "");

  // No lines: no preview and no object, but the point is still asked for.
  user.replies = {PointAt(0, 0)};
  user.prompts.clear();
  EXPECT_TRUE(PlaceText({}, ""));
  EXPECT_EQ(FinalObjects().size(), 3u);
  EXPECT_EQ(user.prompts.size(), 1u);
  EXPECT_TRUE(user.cursorsAtPick.back().objects.empty());
}

TEST_F(PlaceTextTest, LineLongerThanTheRecordIsCut) {
  HsiCadText record{};
  std::string longLine(300, 'L');
  longLine[kCadTextMaxChars - 1] = 'E';
  SetCadTextLine(record, longLine);
  EXPECT_EQ(+record.length, 255);
  EXPECT_EQ(+record.text[254], 'E');
  EXPECT_EQ(+record.text[255], '\0');

  user.replies = {PointAt(0, 0)};
  PlaceText({longLine}, "");
  ASSERT_EQ(FinalObjects().size(), 1u);
  EXPECT_EQ(Text(FinalObjects()[0]).text, longLine.substr(0, 255));
}

TEST_F(PlaceTextTest, PreviewFollowsTheCursorWhileTheDrawingLayerIsShownAgain) {
  Host().SetActiveLayer(7);
  user.replies = {PointAt(500, 500)};
  std::vector<host::Object> temporaryAtPick;
  int16_t activeAtPick = 0;
  user.whilePicking = [&] {
    activeAtPick = Host().ActiveLayer();
    for (const auto& [id, object] : Host().Objects())
      if (!object.final) temporaryAtPick.push_back(object);
  };
  PlaceText({"A", "B"}, "");
  ASSERT_EQ(user.cursorsAtPick.size(), 1u);
  const host::CursorImage& cursor = user.cursorsAtPick[0];
  ASSERT_EQ(cursor.objects.size(), 2u);
  EXPECT_EQ(cursor.objects[0].at, (host::Point{0, 0}));  // relative to the origin
  EXPECT_EQ(cursor.objects[1].at, (host::Point{0, -150}));
  EXPECT_TRUE(temporaryAtPick.empty());  // the preview objects were removed again
  EXPECT_EQ(activeAtPick, 7);
  EXPECT_TRUE(Host().Layer(7).On());
}

TEST_F(PlaceTextTest, SpareLayerWrapsToOneAndEveryLayerEndsAsItWas) {
  for (int active : {255, 254}) {
    Host().SetActiveLayer(active);
    Host().SetLayerOn(1, false);  // a hidden spare layer stays hidden
    Host().SetLayerName(255, "TOP");
    std::vector<host::LayerState> before;
    for (int n = 1; n <= HSI_LAYER_COUNT; ++n) before.push_back(Host().Layer(n));
    Host().ClearCalls();

    user.replies = {PointAt(0, 0)};
    PlaceText({"A"}, "");

    std::vector<std::string> activated;
    for (const auto& call : Host().CallsTo("HsiSetActLayer")) activated.push_back(call.args);
    const std::string spare = active == 255 ? "1" : "255";
    EXPECT_EQ(activated, (std::vector<std::string>{spare, std::to_string(active)}));
    for (int n = 1; n <= HSI_LAYER_COUNT; ++n) {
      EXPECT_EQ(Host().Layer(n).state, before[n - 1].state) << "layer " << n;
      EXPECT_EQ(Host().Layer(n).name, before[n - 1].name) << "layer " << n;
    }
    EXPECT_EQ(Host().ActiveLayer(), active);
  }
}

TEST_F(PlaceTextTest, FinalObjectsTakeTheLayerAndColourCurrentAtThePick) {
  Host().SetActiveLayer(3);
  user.whilePicking = [&] {
    Host().SetActiveLayer(9);
    Host().SetCurrentColour(2);
  };
  user.replies = {PointAt(0, 0)};
  PlaceText({"A"}, "");
  ASSERT_EQ(FinalObjects().size(), 1u);
  EXPECT_EQ(FinalObjects()[0].layer, 9);
  EXPECT_EQ(FinalObjects()[0].colour, 2);
}

TEST_F(PlaceTextTest, AnswersOtherThanAPointCreateNothing) {
  user.replies = {Reply(Kind::Escape)};
  EXPECT_FALSE(PlaceText({"A"}, ""));
  user.replies = {Reply(Kind::Button2)};
  EXPECT_TRUE(PlaceText({"A"}, ""));
  EXPECT_TRUE(user.messages.empty());

  user.replies = {Reply(Kind::Fail)};
  PlaceText({"A"}, "");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(user.messages[0].text, kPlacementPointError);
  EXPECT_TRUE(FinalObjects().empty());
  EXPECT_FALSE(Host().Cursor().active);
}

// The placement's calls on its selection list, its objects and the cursor, in order, with their
// arguments as the host logged them; the list's number reads "L".
std::vector<std::string> PlacementTrace(const host::Host& h) {
  static const std::set<std::string> kNames = {
      "HsiCreateLocalOsl", "HsiOslRedraw",    "HsiObjCreate", "HsiOslAdd",
      "HsiDeleteCursor",   "HsiMakeCursor",   "HsiObjDelete", "HsiOslClear",
      "HsiGetPoint",       "HsiFreeLocalOsl", "HsiSetLayer",  "HsiSetActLayer"};
  std::string list;
  std::vector<std::string> trace;
  for (const host::CallRecord& call : h.Calls()) {
    if (!kNames.count(call.name)) continue;
    std::string args = call.args;
    if (call.name == "HsiOslRedraw" && list.empty()) list = args.substr(0, args.find(','));
    if (call.name == "HsiGetPoint") args = args.substr(0, args.find(','));
    if (!list.empty() && args.rfind(list, 0) == 0 && call.name != "HsiObjCreate" &&
        call.name != "HsiSetLayer" && call.name != "HsiSetActLayer")
      args = "L" + args.substr(list.size());
    trace.push_back(call.name + "(" + args + ")");
  }
  return trace;
}

TEST_F(PlaceTextTest, HostCallsComeInTheirOrderWithTheirFlags) {
  Host().SetActiveLayer(7);
  Host().ClearCalls();
  user.replies = {PointAt(10, 20)};
  PlaceText({"A", "B"}, "");
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  std::vector<std::string> trace = PlacementTrace(Host());
  // The list entries carry the preview objects' ids.
  ASSERT_GE(trace.size(), 8u);
  auto entryOf = [](const std::string& call) {
    const std::size_t open = std::min(call.find('{'), call.size());
    return call.substr(open, call.find('}') + 1 - open);
  };
  const std::string first = entryOf(trace[5]);
  const std::string second = entryOf(trace[7]);
  EXPECT_EQ(trace, (std::vector<std::string>{
                       "HsiCreateLocalOsl(-1, 0, 512)",
                       "HsiOslRedraw(L, 64544)",
                       "HsiSetActLayer(8)",
                       "HsiSetLayer(ptr, 7)",
                       "HsiObjCreate(46, ptr, 64544)",
                       "HsiOslAdd(L, " + first + ", 64544)",
                       "HsiObjCreate(46, ptr, 64544)",
                       "HsiOslAdd(L, " + second + ", 64544)",
                       "HsiDeleteCursor()",
                       "HsiMakeCursor(L, 0, (0,0), 0, (0,0), 0)",
                       "HsiObjDelete(L)",
                       "HsiOslClear(L)",
                       "HsiSetLayer(ptr, 7)",
                       "HsiSetActLayer(7)",
                       "HsiSetLayer(ptr, 8)",
                       "HsiGetPoint(\"Select text placement point...\")",
                       "HsiObjCreate(46, ptr, 64543)",
                       "HsiObjCreate(46, ptr, 64543)",
                       "HsiDeleteCursor()",
                       "HsiFreeLocalOsl(L)",
                   }));
  // Each entry is a preview object's id followed by two zero words.
  EXPECT_TRUE(first.ends_with(",0,0}")) << first;
  EXPECT_TRUE(second.ends_with(",0,0}")) << second;
  EXPECT_NE(first, second);
}

TEST_F(PlaceTextTest, LastCreatedObjectIsWhatTheLastCreationReturned) {
  user.replies = {PointAt(0, 0)};
  PlaceText({"A"}, "");
  ASSERT_EQ(FinalObjects().size(), 1u);
  ASSERT_EQ(State().LastCreatedObject, FinalObjects()[0].id);

  // The host refuses a text in a colour it does not have: its failure answer is the last
  // created object.
  Host().SetCurrentColour(300);
  user.replies = {PointAt(0, 0)};
  PlaceText({"B"}, "");
  EXPECT_EQ(FinalObjects().size(), 1u);
  EXPECT_EQ(State().LastCreatedObject, static_cast<int32_t>(HSI_FAILURE));

  // Nothing to create leaves it as it was.
  Host().SetCurrentColour(7);
  State().LastCreatedObject = 42;
  user.replies = {PointAt(0, 0)};
  PlaceText({}, "");
  EXPECT_EQ(State().LastCreatedObject, 42);
}

TEST_F(PlaceTextTest, ManyPlacementsKeepTheirPreview) {
  // Each placement gives its selection list back; the host has only so many.
  for (int i = 0; i < 100; ++i) {
    user.replies = {PointAt(i * 1000, 0)};
    PlaceText({"A", "B"}, "");
    ASSERT_EQ(user.cursorsAtPick.back().objects.size(), 2u) << "placement " << i;
  }
  EXPECT_EQ(FinalObjects().size(), 200u);
}

TEST_F(PlaceTextTest, TrueTypeTextIsOneObjectCarryingTheDocument) {
  QXConfig& c = Config();
  c.TextMode = 1;
  c.TTFontName.Set("Times New Roman");
  c.TTSize = 12;
  c.TTStyle = kStyleBold | kStyleItalic;
  c.TTHPos = 2;  // right: host code 1
  c.TTVPos = 0;  // top: host code 4
  c.TTJust = 1;
  c.TTLineWidth = 3.0;
  c.TTOrientation = 30.0;
  const std::string memo = "First {line}\r\nSecond";
  const std::size_t blocksBefore = platform::LiveBlockCount();

  user.replies = {PointAt(400, 300)};
  ASSERT_TRUE(PlaceText({"ignored"}, memo));
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 1u);
  const host::TrueTypeData& t = TrueType(objects[0]);
  EXPECT_EQ(objects[0].at, (host::Point{400, 300}));
  EXPECT_EQ(t.document, BuildRtfDocument(TrueTypeSettingsFrom(c), memo));
  EXPECT_EQ(t.face, "Times New Roman");
  EXPECT_EQ(t.size, 12);
  EXPECT_EQ(t.style, kStyleBold | kStyleItalic);
  EXPECT_EQ(t.hcode, 1);
  EXPECT_EQ(t.vcode, 4);
  EXPECT_EQ(t.orientation, 30.0);
  EXPECT_EQ(State().LastCreatedObject, objects[0].id);
  // The preview came from its own copy of the document, at the origin.
  ASSERT_EQ(user.cursorsAtPick.size(), 1u);
  ASSERT_EQ(user.cursorsAtPick[0].objects.size(), 1u);
  EXPECT_EQ(TrueType(user.cursorsAtPick[0].objects[0]).document, t.document);
  EXPECT_EQ(user.cursorsAtPick[0].objects[0].at, (host::Point{0, 0}));
  EXPECT_EQ(platform::LiveBlockCount(), blocksBefore);

  // An empty memo still places one (empty) TrueType object.
  user.replies = {PointAt(0, 0)};
  PlaceText({}, "");
  ASSERT_EQ(FinalObjects().size(), 2u);
  EXPECT_TRUE(TrueType(FinalObjects()[1]).document.ends_with(" }\\par}"));
}

TEST_F(PlaceTextTest, TrueTypeBlocksAreFreedWhateverTheAnswer) {
  Config().TextMode = 1;
  const std::size_t before = platform::LiveBlockCount();
  std::size_t blocksWhilePicking = 0;
  user.whilePicking = [&] { blocksWhilePicking = platform::LiveBlockCount(); };
  for (Kind kind : {Kind::Point, Kind::Escape, Kind::Fail, Kind::Button2}) {
    user.replies = {Reply(kind)};
    PlaceText({}, "text");
    EXPECT_EQ(blocksWhilePicking, before + 2);
    EXPECT_EQ(platform::LiveBlockCount(), before) << "answer " << static_cast<int>(kind);
  }
}

TEST_F(PlaceTextTest, TrueTypeFaceNameIsCutToItsField) {
  TrueTypeTextSettings s;
  s.faceName = std::string(40, 'F');
  HsiTrueTypeText record = TrueTypeRecord(s, 1, 7);
  EXPECT_EQ(std::string(record.face), std::string(31, 'F'));
  EXPECT_EQ(+record.content, 1);
  EXPECT_EQ(+record.scaleX, 1.0);
  EXPECT_EQ(+record.scaleY, 1.0);
}

}  // namespace
}  // namespace qxt
