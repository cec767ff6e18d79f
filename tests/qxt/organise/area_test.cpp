#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "../text/text_fixture.h"
#include "core/forms.h"
#include "core/state.h"
#include "organise/area_command.h"
#include "platform/actions.h"
#include "platform/system.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace msg = area_messages;
using host::PointReply;
using testing::PointAt;

class AreaTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    Host().SetUnitType(HSI_UNIT_FEET);
    Host().SetPointsPerUnit(1000);
  }

  int32_t Line(std::vector<host::Point> points) { return Host().AddLine(points, 1); }

  void Pick(int32_t x, int32_t y) { user.replies.push_back(PointAt(x, y)); }
  void B2() { user.Reply(PointReply::Kind::Button2); }

  // Runs one measurement; nullopt when it produced no area.
  std::optional<double> Measure() {
    double area = 0;
    if (!MeasureBoundary(area)) return std::nullopt;
    return area;
  }

  // No local selection list is left behind.
  bool NoLocalLists() const {
    for (int16_t n = 1; n < 100; ++n)
      if (host_->List(n) != nullptr) return false;
    return true;
  }

  std::vector<std::string> MessageLines() const {
    std::vector<std::string> lines;
    for (const auto& e : user.events)
      if (e.kind == host::HostEvent::Kind::MessageLine) lines.push_back(e.text);
    return lines;
  }

  static std::string TextOf(const host::Object& o) {
    return host::get<host::TextData>(o.data).text;
  }
};

// ---- Linesets ----

class ClosedRectangle : public AreaTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ClosedRectangle, MeasuresTheSameInEitherDirectionAndClosesAtOnce) {
  const bool clockwise = GetParam();
  if (clockwise) {
    Line({{0, 0}, {0, 20000}, {10000, 20000}, {10000, 0}, {0, 0}});
  } else {
    Line({{0, 0}, {10000, 0}, {10000, 20000}, {0, 20000}, {0, 0}});
  }
  Pick(5000, 0);
  EXPECT_EQ(Measure(), 200.0);
  EXPECT_EQ(user.prompts, std::vector<std::string>{msg::kFirstPrompt});
  EXPECT_TRUE(user.MessageTexts().empty());
  EXPECT_EQ(Host().Marks().size(), 4u);  // every segment highlighted
  EXPECT_TRUE(NoLocalLists());
}
INSTANTIATE_TEST_SUITE_P(Area, ClosedRectangle, ::testing::Bool());

TEST_F(AreaTest, AnOpenLAndALinesetBackToItsStartCloseOnTheSecondPick) {
  Line({{0, 0}, {2000, 0}, {2000, 1000}, {1000, 1000}, {1000, 2000}, {0, 2000}});
  Line({{0, 2000}, {-500, 1000}, {0, 0}});
  Pick(2000, 500);
  Pick(-250, 500);
  EXPECT_DOUBLE_EQ(Measure().value_or(-1), 3.5);
  EXPECT_EQ(user.prompts, (std::vector<std::string>{msg::kFirstPrompt, msg::kNextPrompt}));
  EXPECT_TRUE(NoLocalLists());
}

// A quadrilateral of 9 x 10^6 square units in three linesets, each drawn either way: the second
// one joins the first at its start or its end, forward or backward, and the third closes it.
class ThreeLinesets : public AreaTest, public ::testing::WithParamInterface<int> {};

TEST_P(ThreeLinesets, JoinAtEitherEndInEitherDirection) {
  const std::vector<std::vector<host::Point>> pieces = {
      {{0, 0}, {3000, 0}}, {{3000, 0}, {4000, 2000}}, {{4000, 2000}, {0, 3000}, {0, 0}}};
  for (int i = 0; i < 3; ++i) {
    std::vector<host::Point> piece = pieces[std::size_t(i)];
    if (GetParam() & (1 << i)) std::reverse(piece.begin(), piece.end());
    Line(piece);
  }
  Pick(1500, 0);
  Pick(3500, 1000);
  Pick(0, 1500);
  EXPECT_DOUBLE_EQ(Measure().value_or(-1), 9.0);
  EXPECT_TRUE(user.messages.empty());
}
INSTANTIATE_TEST_SUITE_P(Area, ThreeLinesets, ::testing::Range(0, 8));

TEST_F(AreaTest, ObjectsOffTheOpenEndsAreRefusedAndTheBoundaryKept) {
  Line({{0, 0}, {2000, 0}, {2000, 2000}});
  Line({{5000, 5000}, {6000, 5000}});  // touches nothing
  Host().AddArc({9000, 9000}, 500, 0, 90, 1);
  Line({{2000, 2000}, {0, 2000}, {0, 0}});
  Pick(1000, 0);
  Pick(5500, 5000);
  Pick(5500, 5000);  // refused objects leave the list, so the same one can be picked again
  Pick(9500, 9000);
  Pick(0, 1000);
  EXPECT_DOUBLE_EQ(Measure().value_or(-1), 4.0);
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{msg::kLinesetMisses, msg::kLinesetMisses, msg::kArcMisses}));
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(user.prompts.size(), 5u);
  EXPECT_TRUE(NoLocalLists());
}

// ---- The second button, empty picks and menu picks ----

TEST_F(AreaTest, SecondButtonBeforeAnyPickEndsWithoutAQuestion) {
  B2();
  EXPECT_EQ(Measure(), std::nullopt);
  EXPECT_TRUE(user.messages.empty());
  EXPECT_TRUE(NoLocalLists());
}

TEST_F(AreaTest, SecondButtonOnAnOpenBoundaryAsksWhetherToClose) {
  Line({{0, 0}, {2000, 0}, {2000, 1000}, {1000, 1000}, {1000, 2000}, {0, 2000}});
  Pick(2000, 500);
  B2();
  user.messageAnswers = {platform::MsgResult::No};
  EXPECT_EQ(Measure(), std::nullopt);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, msg::kNotClosedCaption);
  EXPECT_EQ(user.messages[0].text, msg::kNotClosedQuestion);
  EXPECT_EQ(user.messages[0].buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(user.messages[0].owner, nullptr);  // the host's window
  EXPECT_TRUE(NoLocalLists());

  // Yes closes it with the straight edge from the open end back to the start.
  Pick(2000, 500);
  B2();
  user.messageAnswers = {platform::MsgResult::Yes};
  EXPECT_DOUBLE_EQ(Measure().value_or(-1), 3.0);
  EXPECT_TRUE(NoLocalLists());
}

TEST_F(AreaTest, EmptyPicksAndMenuPicksAskAgain) {
  Line({{0, 0}, {10000, 0}, {10000, 20000}, {0, 20000}, {0, 0}});
  Pick(50000, 50000);                       // nothing there
  user.Reply(PointReply::Kind::Fail);       // a menu item
  user.Reply(PointReply::Kind::Status, 7);  // anything else
  Pick(5000, 0);
  const std::size_t before = platform::GetHistory().beeps.size();
  EXPECT_EQ(Measure(), 200.0);
  EXPECT_EQ(user.prompts.size(), 4u);
  EXPECT_EQ(MessageLines(), std::vector<std::string>{msg::kNothingSelected});
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{msg::kMenuItem});
  const auto& beeps = platform::GetHistory().beeps;
  EXPECT_EQ(std::vector(beeps.begin() + std::ptrdiff_t(before), beeps.end()),
            (std::vector{platform::BeepKind::Information, platform::BeepKind::Exclamation}));
}

TEST_F(AreaTest, WithoutALocalListThereIsNoAreaAndNoEndlessWarnings) {
  std::vector<int16_t> taken;
  // Lists of another owner (0: a new list each time) until the host has none left.
  for (int16_t list; (list = HsiCreateLocalOsl(0, 0, 512)) > 0;) taken.push_back(list);
  Pick(0, 0);
  EXPECT_EQ(Measure(), std::nullopt);
  EXPECT_TRUE(user.prompts.empty());
  EXPECT_TRUE(user.messages.empty());
  for (int16_t list : taken) HsiFreeLocalOsl(list);
}

// ---- Arcs ----

constexpr int32_t kRadius = 1000000000;  // large, so that whole-unit chord ends hardly matter

// The area of n equal chords spanning half a circle, with the diameter.
double HalfCircleChords(double n) {
  const double r = kRadius;
  return n * 0.5 * r * r * std::sin(std::numbers::pi / n);
}

// A half circle and its diameter, away from the axes so that both add to the sum: the upper or
// the lower half, the diameter drawn either way, the arc picked first or second.
struct HalfCircle {
  bool lower;
  bool diameterReversed;
  bool arcFirst;
};
class HalfCircleArea : public AreaTest, public ::testing::WithParamInterface<HalfCircle> {};

TEST_P(HalfCircleArea, IsHalfOfPiRSquaredFrom18000Chords) {
  Host().SetPointsPerUnit(1);
  const host::Point c{-500000000, 300000000};
  const HalfCircle h = GetParam();
  Host().AddArc(c, kRadius, h.lower ? 180 : 0, h.lower ? 360 : 180, 1);
  const host::Point left{c.x - kRadius, c.y}, right{c.x + kRadius, c.y};
  Line(h.diameterReversed ? std::vector<host::Point>{right, left}
                          : std::vector<host::Point>{left, right});
  const host::Point onArc{c.x, h.lower ? c.y - kRadius : c.y + kRadius};
  const host::Point onDiameter{c.x + kRadius / 2, c.y};
  for (const host::Point p :
       h.arcFirst ? std::vector{onArc, onDiameter} : std::vector{onDiameter, onArc})
    Pick(p.x, p.y);
  const double area = Measure().value_or(-1);
  // 18000 chords fall short of the circle by about 5e-9 of the area, 1800 by 5e-7.
  EXPECT_NEAR(area / HalfCircleChords(18000), 1.0, 2e-9);
  EXPECT_GT(std::fabs(area / HalfCircleChords(1800) - 1.0), 1e-7);
  EXPECT_NEAR(area / (std::numbers::pi * kRadius * 1.0 * kRadius / 2), 1.0, 1e-8);
}
INSTANTIATE_TEST_SUITE_P(
    Area, HalfCircleArea,
    ::testing::Values(HalfCircle{false, false, false}, HalfCircle{false, true, false},
                      HalfCircle{true, false, false}, HalfCircle{true, true, false},
                      HalfCircle{false, false, true}, HalfCircle{true, true, true}));

// A 120-degree arc (from 30 to 150 degrees) closed by its chord, drawn as two linesets that
// meet at the chord's middle. The arc is picked second, after the half of the chord that meets
// one of its ends, drawn either way: it joins at its start or its end, walked forward or back.
class ArcJoins : public AreaTest, public ::testing::WithParamInterface<int> {};

TEST_P(ArcJoins, AtEitherEndWalkTheArcItself) {
  Host().SetPointsPerUnit(1);
  const int32_t r = 200000000;
  const host::Point c{300000000, -100000000};
  Host().AddArc(c, r, 30, 150, 1);
  const double s30 = std::sin(std::numbers::pi / 6), c30 = std::cos(std::numbers::pi / 6);
  const host::Point a{c.x + int32_t(std::lround(r * c30)), c.y + int32_t(std::lround(r * s30))};
  const host::Point b{c.x - int32_t(std::lround(r * c30)), a.y};
  const host::Point m{c.x, a.y};
  const bool fromB = GetParam() & 1, reversed = GetParam() & 2;
  std::vector<host::Point> first = fromB ? std::vector{m, b} : std::vector{a, m};
  std::vector<host::Point> second = fromB ? std::vector{a, m} : std::vector{m, b};
  if (reversed) std::reverse(first.begin(), first.end());
  Line(first);
  Line(second);
  Pick((first[0].x + first[1].x) / 2, a.y);
  Pick(c.x, c.y + r);
  Pick((second[0].x + second[1].x) / 2, a.y);
  const double theta = 2 * std::numbers::pi / 3;
  const double segment = 0.5 * r * double(r) * (theta - std::sin(theta));
  EXPECT_NEAR(Measure().value_or(-1) / segment, 1.0, 1e-6);
  EXPECT_TRUE(user.messages.empty());
}
INSTANTIATE_TEST_SUITE_P(Area, ArcJoins, ::testing::Range(0, 4));

// The walk that turns chord ends from one to the next gives exactly the ends (and so the sum)
// of computing each with its own sine and cosine: over random arcs of every size and direction,
// and over arcs whose ends fall on halves of a unit (odd radii at 30 and 60 degrees).
TEST(ChordWalk, TurningGivesExactlyTheComputedEnds) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int32_t> coordinate(-2000000000, 2000000000);
  std::uniform_int_distribution<int32_t> radius(1, 2147483647);
  std::uniform_real_distribution<double> angle(0, 360), sweep(-360, 360);
  auto same = [](HsiPoint c, int32_t r, double a0, double sw) {
    const auto chords = static_cast<int64_t>(std::nearbyint(std::fabs(sw * kChordsPerDegree)));
    double direct = 12345.0, turned = 12345.0;
    AddChordWalkDirect(direct, c, r, a0, sw, chords);
    AddChordWalk(turned, c, r, a0, sw, chords);
    return direct == turned;
  };
  for (int i = 0; i < 200; ++i) {
    const HsiPoint c{coordinate(random), coordinate(random)};
    const int32_t r = i % 4 == 0 ? radius(random) % 1000 + 1 : radius(random);
    const double a0 = angle(random), sw = i % 10 == 0 ? 360 : sweep(random);
    EXPECT_TRUE(same(c, r, a0, sw)) << c.x << " " << c.y << " " << r << " " << a0 << " " << sw;
  }
  for (const int32_t r : {1, 3, 99999, 2000000001, 2147483647}) {
    for (const double a0 : {0.0, 29.5, 59.9, 89.99, 180.0}) {
      EXPECT_TRUE(same({0, 0}, r, a0, 0.64)) << r << " " << a0;
      EXPECT_TRUE(same({7, -7}, r, a0 + 1.28, -1.28)) << r << " " << a0;
      EXPECT_TRUE(same({0, 0}, r, a0, 180)) << r << " " << a0;
    }
  }
}

TEST_F(AreaTest, AnArcWhoseEndsMeetIsAWholeCircle) {
  Host().SetPointsPerUnit(100000);
  Host().AddArc({0, 0}, 100000000, 30, 30, 1);
  Pick(0, 100000000);
  EXPECT_NEAR(Measure().value_or(-1) / (std::numbers::pi * 1000 * 1000), 1.0, 1e-7);
  EXPECT_EQ(user.prompts.size(), 1u);
}

// A bow tie whose lobes are 33.33 and 133.33 square feet measures their difference, with a
// warning: as one closed lineset, and as an open one whose closing edge makes the crossing.
TEST_F(AreaTest, ABoundaryThatCrossesItselfIsMeasuredWithAWarning) {
  const std::string crosses =
      "The boundary crosses itself: its area is the difference of its loops.";
  Line({{0, 0}, {20000, 20000}, {20000, 0}, {0, 10000}, {0, 0}});
  Pick(20000, 10000);
  EXPECT_NEAR(Measure().value_or(-1), 100.0, 1e-9);
  ASSERT_EQ(user.MessageTexts(), std::vector<std::string>{crosses});
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");

  user.messages.clear();
  Line({{50000, 10000}, {50000, 0}, {70000, 20000}, {70000, 0}});
  Pick(50000, 5000);
  B2();
  user.messageAnswers = {platform::MsgResult::Yes};
  EXPECT_NEAR(Measure().value_or(-1), 100.0, 1e-9);
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{msg::kNotClosedQuestion, crosses}));
}

// ---- Large numbers ----

TEST_F(AreaTest, LargeCoordinatesAndPointsPerUnitDoNotOverflow) {
  // 10' x 20' at 192000 drawing units to the foot: the square of the points per unit and each
  // trapezoid lie far beyond 32 bits.
  Host().SetPointsPerUnit(192000);
  Line({{0, 0}, {1920000, 0}, {1920000, 3840000}, {0, 3840000}, {0, 0}});
  Pick(0, 1000000);
  EXPECT_DOUBLE_EQ(Measure().value_or(-1), 200.0);

  // A square across nearly the whole coordinate range: its sides do not fit 32 bits.
  const int32_t m = 2000000000;
  Line({{-m, -m}, {m, -m}, {m, m}, {-m, m}, {-m, -m}});
  Pick(0, -m);
  const double side = 4e9 / 192000;
  EXPECT_NEAR(Measure().value_or(-1) / (side * side), 1.0, 1e-12);
}

// ---- Units and the label ----

TEST(AreaUnits, ConversionTable) {
  EXPECT_DOUBLE_EQ(AreaInUnit(2500000, HSI_UNIT_MILLIMETRES, AreaUnit::SquareMetres), 2.5);
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_FEET, AreaUnit::SquareInches), 144);
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_FEET, AreaUnit::SquareFeet), 1);
  EXPECT_DOUBLE_EQ(AreaInUnit(9, HSI_UNIT_FEET, AreaUnit::SquareYards), 1);
  EXPECT_DOUBLE_EQ(AreaInUnit(28800, HSI_UNIT_FEET_INCHES, AreaUnit::SquareFeet), 200);
  EXPECT_DOUBLE_EQ(AreaInUnit(10000, HSI_UNIT_CENTIMETRES, AreaUnit::SquareMetres), 1);
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_METRES, AreaUnit::SquareMillimetres), 1000000);
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_METRES, AreaUnit::SquareFeet), 1 / (0.3048 * 0.3048));
  // An inch drawing's metric factors are the rounded ones, not 1/25.4 and its multiples.
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_INCHES, AreaUnit::SquareMillimetres),
                   1 / (0.03937 * 0.03937));
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_INCHES, AreaUnit::SquareMetres), 1 / (39.37 * 39.37));
  EXPECT_DOUBLE_EQ(AreaInUnit(1, HSI_UNIT_FEET, AreaUnit::SquareCentimetres),
                   144 / (0.3937 * 0.3937));
  // The unit of the drawing itself, and a unit type the table does not know, stay as they are.
  EXPECT_DOUBLE_EQ(AreaInUnit(7, HSI_UNIT_MILLIMETRES, AreaUnit::SquareMillimetres), 7);
  EXPECT_DOUBLE_EQ(AreaInUnit(7, 0x1234, AreaUnit::SquareMetres), 7);

  EXPECT_EQ(AreaLabel(AreaInUnit(2500000, HSI_UNIT_MILLIMETRES, AreaUnit::SquareMetres), 2, " m2"),
            "2.50 m2");
  EXPECT_EQ(AreaLabel(AreaInUnit(1, HSI_UNIT_FEET, AreaUnit::SquareInches), 0, " Sq. In."),
            "144 Sq. In.");
}

TEST_F(AreaTest, LabelsUseTheLocaleSeparators) {
  EXPECT_EQ(AreaLabel(1234567.891, 2, " Sq. Ft."), "1,234,567.89 Sq. Ft.");
  platform::Application().decimalSeparator = ',';
  platform::Application().thousandSeparator = '.';
  EXPECT_EQ(AreaLabel(1234567.891, 2, " m2"), "1.234.567,89 m2");
  EXPECT_EQ(AreaLabel(-0.001, 0, " m2"), "0 m2");
}

// ---- The command ----

TEST_F(AreaTest, CommandMeasuresLabelsAndComesBackUntilCancel) {
  Line({{0, 0}, {10000, 0}, {10000, 20000}, {0, 20000}, {0, 0}});
  std::string memo, caption;
  user.formActions.push_back([](platform::Form& f) { act::Click(f, "OK"); });
  Pick(5000, 0);
  user.formActions.push_back([&](platform::Form& f) {
    memo = State().forms->dlgQXText->mmText.Text();
    caption = f.Caption();
    act::Click(f, "OK");
  });
  Pick(3000, 4000);  // the label's placement point
  user.formActions.push_back([](platform::Form& f) { act::Click(f, "Cancel"); });
  QXArea();

  EXPECT_EQ(memo, "200.00 Sq. Ft.");
  EXPECT_EQ(caption, "QX Text");  // the dialog's own caption: no command has set another yet
  EXPECT_EQ(user.formsShown, (std::vector<std::string>{"TdlgQXArea", "TdlgQXText", "TdlgQXArea"}));
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(TextOf(objects[1]), "200.00 Sq. Ft.");
  EXPECT_EQ(objects[1].at, (host::Point{3000, 4000}));
  EXPECT_EQ(MessageLines(),
            (std::vector<std::string>{msg::kContinue, msg::kEditLabel, msg::kContinue}));
  EXPECT_EQ(Host().CallbackTitle(), "QX Area");
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(platform::Application().hintPause, 1500);
}

TEST_F(AreaTest, NoAreaReturnsToTheSettingsDialogAndAnEscapedPlacementPlacesNothing) {
  Line({{0, 0}, {10000, 0}, {10000, 20000}, {0, 20000}, {0, 0}});
  int runningWhileShown = 0;
  auto ok = [&](platform::Form& f) {
    runningWhileShown = State().RunningTool;
    act::Click(f, "OK");
  };
  user.formActions = {ok, ok, ok, [](platform::Form& f) { act::Click(f, "Cancel"); }};
  B2();
  Pick(5000, 0);
  QXArea();
  EXPECT_EQ(user.formsShown,
            (std::vector<std::string>{"TdlgQXArea", "TdlgQXArea", "TdlgQXText", "TdlgQXArea"}));
  // The "continue" line is written before each settings dialog except the one after no area.
  EXPECT_EQ(MessageLines(),
            (std::vector<std::string>{msg::kContinue, msg::kEditLabel, msg::kContinue}));
  EXPECT_EQ(FinalObjects().size(), 1u);
  EXPECT_EQ(runningWhileShown, 28);
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(AreaTest, RefusedWhileAnotherToolRuns) {
  State().RunningTool = 3;
  QXArea();
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_EQ(
      user.MessageTexts(),
      std::vector<std::string>{"You cannot run QX Area when another QX Tool is already running."});
  EXPECT_EQ(State().RunningTool, 3);
}

// ---- The settings dialog ----

TEST_F(AreaTest, DialogUnitsSuffixAndDecimalsStayWhileLoaded) {
  TdlgQXArea& d = *State().forms->dlgQXArea;
  EXPECT_EQ(d.rgrpAreaUnits.columns, 2);
  EXPECT_EQ(d.Unit(), AreaUnit::SquareFeet);
  EXPECT_EQ(d.Suffix(), " Sq. Ft.");
  EXPECT_EQ(d.Decimals(), 2);

  Host().SetUnitType(HSI_UNIT_MILLIMETRES);
  Line({{0, 0}, {2000, 0}, {2000, 1250}, {0, 1250}, {0, 0}});  // 2.5 m2 at 1 unit per mm
  Host().SetPointsPerUnit(1);
  bool okHadFocus = false;
  user.formActions.push_back([&](platform::Form& f) {
    okHadFocus = f.ActiveControl() == &d.btnOK;
    act::Select(f, "rgrpAreaUnits", "Meters");
    EXPECT_EQ(d.txtSuffix.Text(), " m2");
    act::SetText(f, "txtSuffix", {" sq m"});
    act::SetText(f, "txtDecimals", {"7"});
    act::Click(f, "OK");
  });
  Pick(1000, 0);
  std::string memo;
  user.formActions.push_back([&](platform::Form& f) {
    memo = State().forms->dlgQXText->mmText.Text();
    act::Click(f, "Cancel");
  });
  QXArea();  // the third showing is cancelled by the dry queue
  EXPECT_TRUE(okHadFocus);
  EXPECT_EQ(memo, "2.5000 sq m");  // 7 decimals are more than the field allows
  EXPECT_EQ(FinalObjects().size(), 1u);
  EXPECT_EQ(d.Unit(), AreaUnit::SquareMetres);
  EXPECT_EQ(d.Suffix(), " sq m");
  EXPECT_EQ(d.Decimals(), 4);
}

}  // namespace
}  // namespace qxt
