#include "drafting/dimension_strings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "dimension_fixture.h"
#include "drafting/dimension_command.h"
#include "platform/actions.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testing::DimensionTest;

constexpr int32_t kInch = 768000;  // the fresh host's drawing units per inch
constexpr int32_t kFoot = 12 * kInch;
constexpr int32_t kGap = 48000;  // the default gaps, extensions and overrun (1/16 inch of paper)
constexpr int32_t kTextSize = 72000;

struct Placed {
  host::Point at;
  double rotation;
  bool operator==(const Placed&) const = default;
};

std::vector<Placed> Placements(const std::vector<host::Object>& markers) {
  std::vector<Placed> placed;
  for (const host::Object& m : markers)
    placed.push_back({m.at, host::get<host::SymbolData>(m.data).rotation});
  return placed;
}

TEST_F(DimensionTest, ArrowsDoNotDependOnTheOrderThePointsWerePicked) {
  UseArrows();
  const HsiPoint p1{0, kFoot}, p2{kFoot, kFoot};
  String(p1, p2, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  const std::vector<Placed> leftToRight = Placements(Markers());

  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  String(p1, p2, {{6 * kInch, 0}, {0, 0}});
  QXDimension();
  EXPECT_EQ(Placements(Markers()), leftToRight);
  EXPECT_EQ(leftToRight, (std::vector<Placed>{{{0, kFoot}, 0.0}, {{6 * kInch, kFoot}, 180.0}}));

  // A vertical string: the arrow turned 90 stands at the smaller y.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  String({kFoot, 0}, {kFoot, kFoot}, {{0, 6 * kInch}, {0, 0}});
  QXDimension();
  EXPECT_EQ(Placements(Markers()),
            (std::vector<Placed>{{{kFoot, 0}, 90.0}, {{kFoot, 6 * kInch}, 270.0}}));
}

TEST_F(DimensionTest, HorizontalTextsStandAboveAndVerticalTextsLeftOfTheLine) {
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch + 1, 0}}, true);
  String({kFoot, 0}, {kFoot, kFoot}, {{0, 0}, {0, 6 * kInch}});
  QXDimension();
  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  // Halfway between the points (rounded half to even), the text size away from the line.
  EXPECT_EQ(texts[0].at, (host::Point{3 * kInch, kFoot + kTextSize}));
  EXPECT_EQ(Text(texts[0]).orientation, 0.0);
  EXPECT_EQ(Text(texts[0]).text, "0'-6\"");
  EXPECT_EQ(texts[1].at, (host::Point{kFoot - kTextSize, 3 * kInch}));
  EXPECT_EQ(Text(texts[1]).orientation, 90.0);
  EXPECT_EQ(Text(texts[1]).text, "0'-6\"");
  // Centred on their point both ways.
  EXPECT_EQ(Text(texts[1]).hcode, 2);
  EXPECT_EQ(Text(texts[1]).vcode, 2);
}

TEST_F(DimensionTest, TicksRunTheDimensionLinePastBothEndsAndArrowsEndAtThem) {
  for (const bool backwards : {false, true}) {
    for (const bool ticks : {true, false}) {
      SCOPED_TRACE(std::string(ticks ? "ticks" : "arrows") + (backwards ? " backwards" : ""));
      for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
      if (ticks) {
        Config().DimTerminator = 1;
        Config().DimMarkerSymbol.Set("SLASH.SYM");
      } else {
        UseArrows();
      }
      std::vector<HsiPoint> points{{0, 0}, {6 * kInch, 0}, {kFoot, 0}};
      if (backwards) std::swap(points.front(), points.back());
      String({0, kFoot}, {kFoot, kFoot}, points);
      QXDimension();

      const std::vector<host::Object> lines = Lines();
      ASSERT_EQ(lines.size(), 4u);  // two extension lines, the dimension line, the first's
      const int32_t overrun = ticks ? kGap : 0;
      EXPECT_EQ(Vertices(lines[2]),
                (std::vector<host::Point>{{-overrun, kFoot}, {kFoot + overrun, kFoot}}));
      // The first point's extension line comes last: off the point by the gap, past the line.
      const int32_t firstX = points.front().x;
      EXPECT_EQ(Vertices(lines[3]),
                (std::vector<host::Point>{{firstX, kGap}, {firstX, kFoot + kGap}}));
      EXPECT_EQ(Markers().size(), ticks ? 3u : 4u);
      if (ticks) {
        EXPECT_EQ(Markers().back().at, (host::Point{firstX, kFoot}));
      }
    }
  }
}

TEST_F(DimensionTest, AnExtensionLineStartsOnTheSideOfThePointItComesFrom) {
  String({0, kFoot}, {kFoot, kFoot}, {{0, 2 * kFoot}, {6 * kInch, 0}});
  QXDimension();
  const std::vector<host::Object> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Vertices(lines[0]),
            (std::vector<host::Point>{{6 * kInch, kGap}, {6 * kInch, kFoot + kGap}}));
  EXPECT_EQ(Vertices(lines[2]),
            (std::vector<host::Point>{{0, 2 * kFoot - kGap}, {0, kFoot - kGap}}));
}

TEST_F(DimensionTest, AnAlignedLineAt135DegreesKeepsItsTextsUprightAboveIt) {
  UseArrows();
  String({0, 0}, {-kFoot, kFoot}, {{0, 0}, {-2 * kFoot, 0}});
  QXDimension();
  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NEAR(Text(texts[0]).orientation, 315.0, 1e-9);
  // Halfway between the feet, moved the text size towards 45 degrees.
  const int32_t offset = 50912;  // 72000 x cos 45, rounded
  EXPECT_EQ(texts[0].at, (host::Point{-kFoot / 2 + offset, kFoot / 2 + offset}));
  EXPECT_EQ(Text(texts[0]).text, "1'-4 31/32\"");  // 12 x sqrt 2 inches
  // The second point lies ahead along the line: the arrow turned by the line's angle is at the
  // first foot, the opposite one at the second.
  const std::vector<host::Object> markers = Markers();
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].at, (host::Point{0, 0}));
  EXPECT_NEAR(Marker(markers[0]).rotation, 135.0, 1e-9);
  EXPECT_EQ(markers[1].at, (host::Point{-kFoot, kFoot}));
  EXPECT_NEAR(Marker(markers[1]).rotation, 315.0, 1e-9);
}

TEST_F(DimensionTest, EndsOneUnitApartInYMakeAnAlignedString) {
  String({0, kFoot}, {kFoot, kFoot + 1}, {{0, 0}, {kFoot, 0}});
  QXDimension();
  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_GT(Text(texts[0]).orientation, 0.0);
  EXPECT_LT(Text(texts[0]).orientation, 0.001);
  EXPECT_FALSE(Host().CallsTo("HsiNormal").empty());
  EXPECT_NEAR(Marker(Markers()[0]).rotation, Text(texts[0]).orientation, 1e-12);
}

TEST_F(DimensionTest, AngleSnappingMakesANearlyLevelLineHorizontal) {
  Host().SetSnapAngle(45);
  String({0, kFoot}, {kFoot, kFoot + 1000}, {{0, 0}, {kFoot, 0}});
  QXDimension();
  EXPECT_TRUE(Host().CallsTo("HsiNormal").empty());
  const std::vector<host::Object> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Vertices(lines[1]), (std::vector<host::Point>{{-kGap, kFoot}, {kFoot + kGap, kFoot}}));
}

// The line (0,0)-(866026,500000) runs at 29.99998 degrees, but the feet of these two points lie
// at 30.0000009 degrees from each other, one whole degree further when each is cut to its whole
// degree. Ahead is ahead all the same.
TEST_F(DimensionTest, TheForwardTestDoesNotHingeOnWholeDegrees) {
  const HsiPoint p1{0, 0}, p2{866026, 500000};
  const host::Point firstFoot{-43301, -25000}, nextFoot{80939, 46730};
  ASSERT_EQ(int(HsiPang(&p1, &p2)), 29);
  const HsiPoint f{firstFoot.x, firstFoot.y}, n{nextFoot.x, nextFoot.y};
  ASSERT_EQ(int(HsiPang(&f, &n)), 30);

  UseArrows();
  String(p1, p2, {{0, -100000}, {107919, 0}});
  QXDimension();
  std::vector<host::Object> markers = Markers();
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].at, firstFoot);
  EXPECT_NEAR(Marker(markers[0]).rotation, 29.99998, 1e-5);
  EXPECT_EQ(markers[1].at, nextFoot);
  EXPECT_NEAR(Marker(markers[1]).rotation, 209.99998, 1e-5);

  // With ticks the dimension line reaches past both feet.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  Config().DimTerminator = 1;
  Config().DimMarkerSymbol.Set("SLASH.SYM");
  String(p1, p2, {{0, -100000}, {107919, 0}});
  QXDimension();
  const std::vector<host::Object> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<host::Point> line = Vertices(lines[1]);
  EXPECT_LT(line[0].x, firstFoot.x);
  EXPECT_GT(line[1].x, nextFoot.x);
  EXPECT_NEAR(line[1].x - nextFoot.x, 41569, 1);  // 48000 x cos 30

  // Picked backwards, the arrows swap sides and still point outwards.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  UseArrows();
  String(p1, p2, {{107919, 0}, {0, -100000}});
  QXDimension();
  markers = Markers();
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0].at, firstFoot);
  EXPECT_NEAR(Marker(markers[0]).rotation, 29.99998, 1e-5);
}

TEST_F(DimensionTest, UndoPointMeasuresTheNextPointFromThePreviousOne) {
  Config().DimEditText = 1;
  std::vector<std::string> shown;
  user.formActions.push_back([&](platform::Form& form) {
    shown.push_back(State().forms->dlgDimEdit->txtDimensionText.Text());
    act::Click(form, "btnUndoLast");
  });
  user.formActions.push_back([&](platform::Form& form) {
    shown.push_back(State().forms->dlgDimEdit->txtDimensionText.Text());
    act::Click(form, "OK");
  });
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}, {kFoot, 0}});
  QXDimension();
  EXPECT_EQ(shown, (std::vector<std::string>{"0'-6\"", "1'-0\""}));
  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].at.x, 6 * kInch);
  EXPECT_EQ(Lines().size(), 3u);  // nothing was drawn for the dropped point
}

TEST_F(DimensionTest, TheEditDialogShowsTheValueSelectedAndTakesTheEditedText) {
  Config().DimEditText = 1;
  user.formActions.push_back([&](platform::Form& form) {
    const TdlgDimEdit& dialog = *State().forms->dlgDimEdit;
    EXPECT_EQ(form.ActiveControl(), &dialog.txtDimensionText);
    EXPECT_EQ(dialog.txtDimensionText.SelStart(), 0);
    EXPECT_EQ(dialog.txtDimensionText.SelLength(), 5);
    act::TypeText(form, "txtDimensionText", "6\" CLR");
    act::Click(form, "OK");
  });
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Text(Texts()[0]).text, "6\" CLR");
}

TEST_F(DimensionTest, MarksGoWhenTheStringEndsOrNeverStarts) {
  // No first point: the dimension line's mark goes.
  user.Point(0, kFoot);
  user.Point(kFoot, kFoot);
  user.Reply(host::PointReply::Kind::Button2);
  // One point only: both marks go and nothing is made.
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}}, true);
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {kFoot, 0}});
  const std::size_t marksBefore = Host().Marks().size();
  QXDimension();
  EXPECT_EQ(marksBefore, 0u);
  EXPECT_EQ(Host().CallsTo("HsiDrawLine").size(), 2u + 4u + 3u);
  // After a finished string only the first extension line's image is left, under its line.
  ASSERT_EQ(Host().Marks().size(), 1u);
  EXPECT_EQ(Host().Marks()[0].a, (host::Point{0, kGap}));
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(DimensionTest, ADimensionLayerIsActiveAroundEachMarkerOnly) {
  Host().SetActiveLayer(11);
  Host().SetLayerColour(80, 2);
  Config().DimLayer = 80;
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}, {kFoot, 0}});
  Host().ClearCalls();
  QXDimension();

  std::vector<std::string> sequence;
  for (const host::CallRecord& call : Host().Calls()) {
    if (call.name == "HsiSetActLayer") sequence.push_back("layer " + call.args);
    if (call.name == "HsiPutInstance") sequence.push_back("marker");
  }
  const std::vector<std::string> around = {"layer 80", "marker", "layer 11"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), around.begin(), around.end());
  EXPECT_EQ(sequence, expected);
  EXPECT_EQ(Host().ActiveLayer(), 11);
  for (const host::Object& o : Markers()) EXPECT_EQ(o.layer, 80);
  for (const host::Object& o : Lines()) {
    EXPECT_EQ(o.layer, 80);
    EXPECT_EQ(o.colour, 2);
  }
  for (const host::Object& o : Texts()) EXPECT_EQ(o.layer, 11);  // texts keep the active layer
}

TEST_F(DimensionTest, DamagedSettingsAreReplacedByTheDefaultsAndNamedOnTheMessageLine) {
  // Values no dialog accepts, as a damaged configuration file may hold them.
  Config().DimTextSize = -5;
  Config().DimArrowExtLineExt = -1000;
  Config().DimTextWidth = std::numeric_limits<double>::quiet_NaN();
  Config().DimTextSlant = 90;
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  EXPECT_EQ(Host().MessageLine(),
            "Dimension settings out of range (text size, arrow extension, width factor, slant): "
            "the defaults are used");
  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  const auto& text = host::get<host::TextData>(texts[0].data);
  EXPECT_EQ(text.size, kTextSize);
  EXPECT_EQ(text.widthFactor, 1.0);
  EXPECT_EQ(text.slant, 0);
  EXPECT_EQ(Config().DimArrowExtLineExt, kGap);
}

TEST_F(DimensionTest, AMissingMarkerSymbolIsReportedOnceAndTheStringsAreDrawnWithoutMarkers) {
  Config().DimMarkerSymbol.Set("NOSUCH.SYM");
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}}, true);
  String({0, 2 * kFoot}, {kFoot, 2 * kFoot}, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"Could not find the specified marker symbol."});
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_TRUE(Markers().empty());
  EXPECT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Lines().size(), 6u);  // per string: two extension lines and the dimension line
  EXPECT_EQ(State().RunningTool, 0);
  // A new run of the command reports it again.
  user.messages.clear();
  String({0, 3 * kFoot}, {kFoot, 3 * kFoot}, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(DimensionTest, AnEmptiedTextMakesNoTextObject) {
  Config().DimEditText = 1;
  user.formActions.push_back([](platform::Form& form) {
    act::SetText(form, "txtDimensionText", {""});
    act::Click(form, "OK");
  });
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {6 * kInch, 0}});
  QXDimension();
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(Markers().size(), 2u);
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(DimensionTest, TrueTypeTextsArePlainCentredTextsLaidOutByTheHostSettings) {
  QXConfig& config = Config();
  config.DimTextType = 1;
  config.DimTTFontName.Set("Times New Roman Condensed Extra Long Face Name");
  config.DimTTSize = 14;
  config.DimTTStyle = 3;
  config.DimTextLayer = 33;
  String({kFoot, 0}, {kFoot, kFoot}, {{0, 0}, {0, 6 * kInch}});
  Host().ClearCalls();
  QXDimension();

  const std::vector<host::Object> texts = OfKind(host::ObjectKind::TrueType);
  ASSERT_EQ(texts.size(), 1u);
  const auto& data = host::get<host::TrueTypeData>(texts[0].data);
  EXPECT_EQ(data.content, HSI_TT_CONTENT_PLAIN);
  EXPECT_EQ(data.document, "0'-6\"");
  EXPECT_EQ(data.face, "Times New Roman Condensed Extra");  // the record's 31 characters
  EXPECT_EQ(data.size, 14);
  EXPECT_EQ(data.style, 3);
  EXPECT_EQ(data.orientation, 90.0);
  EXPECT_EQ(data.hcode, 2);
  EXPECT_EQ(data.vcode, 2);
  EXPECT_EQ(data.plainWidth, 12.0);
  EXPECT_EQ(data.plainWrap, 0);
  EXPECT_EQ(data.plainAlign, 2);
  EXPECT_EQ(texts[0].layer, 33);

  // The settings block is written before the text is made.
  std::vector<std::string> order;
  for (const host::CallRecord& call : Host().Calls())
    if (call.name == "HsiSetTrueTypeInfo" || call.name == "HsiObjCreate")
      order.push_back(call.name);
  EXPECT_EQ(order, (std::vector<std::string>{"HsiSetTrueTypeInfo", "HsiObjCreate"}));
}

TEST_F(DimensionTest, LocateTextMovesTheTextOrWarnsAboutAMenuPick) {
  Config().DimEditText = 1;
  Config().DimAutoSnap = 1;
  Host().SetSnapMode(1);
  for (int i = 0; i < 2; ++i)
    user.formActions.push_back([](platform::Form& form) { act::Click(form, "btnLocateText"); });
  user.Point(0, kFoot);
  user.Point(kFoot, kFoot);
  user.Point(0, 0);
  user.Point(6 * kInch, 0);
  user.Point(100, 2 * kFoot);  // the new place
  user.Point(kFoot, 0);
  user.Reply(host::PointReply::Kind::Escape);  // no new place
  user.Reply(host::PointReply::Kind::Button2);
  user.Reply(host::PointReply::Kind::Escape);
  std::vector<int> snapWhileLocating;
  user.whilePicking = [&] {
    if (user.prompts.back() == kNewTextLocationPrompt)
      snapWhileLocating.push_back(Host().SnapMode());
  };
  QXDimension();

  const std::vector<host::Object> texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].at, (host::Point{0, 2 * kFoot}));  // the new place, snapped to the grid
  EXPECT_EQ(texts[1].at, (host::Point{9 * kInch, kFoot + kTextSize}));
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{kMenuDuringLocateWarning});
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(snapWhileLocating, (std::vector<int>{1, 1}));  // grid snap, as the user had it
  EXPECT_FALSE(Host().Cursor().active);
  EXPECT_EQ(Host().CallsTo("HsiFreeLocalOsl").size(), 2u);
  EXPECT_EQ(Host().SnapMode(), 1);  // put back when the command ends
  // The host adds modes to those in force: vertex snap must not stay on beside grid snap.
  EXPECT_EQ(Host().SnapModes(), std::vector<int>{1});
}

TEST_F(DimensionTest, TheDialogAfterPickingComesOnlyWhenTheSeriesEnds) {
  Config().DimDialogAfter = 1;
  std::vector<std::size_t> objectsWhenShown;
  user.formActions.push_back([&](platform::Form& form) {
    objectsWhenShown.push_back(FinalObjects().size());
    act::Click(form, "OK");
  });
  user.formActions.push_back([&](platform::Form& form) {
    objectsWhenShown.push_back(FinalObjects().size());
    act::Click(form, "Cancel");
  });
  String({0, kFoot}, {kFoot, kFoot}, {{0, 0}, {kFoot, 0}}, true);
  user.Reply(host::PointReply::Kind::Button2);  // the first series ends
  String({0, 2 * kFoot}, {kFoot, 2 * kFoot}, {{0, 0}, {kFoot, 0}}, true);
  user.Reply(host::PointReply::Kind::Button2);
  QXDimension();
  // Shown after the first string (6 objects: 2 extension lines, 2 ticks, a text, the line) and
  // again after the second series; Cancel ends the command.
  EXPECT_EQ(objectsWhenShown, (std::vector<std::size_t>{6u, 12u}));
  EXPECT_EQ(user.formsShown, (std::vector<std::string>{"TdlgQXDimension", "TdlgQXDimension"}));
  EXPECT_EQ(State().RunningTool, 0);

  // Cancelling the first point ends without the dialog.
  user.formsShown.clear();
  user.Reply(host::PointReply::Kind::Escape);
  QXDimension();
  EXPECT_TRUE(user.formsShown.empty());
}

TEST(DimensionGeometry, TextAnglesStayUpright) {
  EXPECT_EQ(UprightTextAngle(0), 0);
  EXPECT_EQ(UprightTextAngle(90), 90);
  EXPECT_EQ(UprightTextAngle(90.5), 270.5);
  EXPECT_EQ(UprightTextAngle(180), 0);
  EXPECT_EQ(UprightTextAngle(270), 90);
  EXPECT_EQ(UprightTextAngle(300), 300);
  EXPECT_EQ(AlignedTextSide(30), 120);
  EXPECT_EQ(AlignedTextSide(135), 45);
  EXPECT_EQ(AlignedTextSide(200), 110);
  EXPECT_EQ(AlignedTextSide(315), 45);
  EXPECT_EQ(OppositeAngle(30), 210);
  EXPECT_EQ(OppositeAngle(180), 0);
  EXPECT_EQ(MoveAlong({0, 0}, 180, 48000).x, -48000);
  EXPECT_EQ(MoveAlong({0, 0}, 180, 48000).y, 0);
}

}  // namespace
}  // namespace qxt
