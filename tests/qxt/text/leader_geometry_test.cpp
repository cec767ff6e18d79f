// The arithmetic of one leader, checked against cases worked by hand.
#include "text/leader_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace qxt {
namespace {

double DirectionOf(const HsiPoint& from, const HsiPoint& to) {
  double a = std::atan2(double(to.y) - from.y, double(to.x) - from.x) * 180.0 / std::numbers::pi;
  return a < 0 ? a + 360.0 : a;
}

bool Same(const HsiPoint& a, const HsiPoint& b) { return a.x == b.x && a.y == b.y; }

TEST(LeaderElbow, ExtensionRunsBackTowardTheArrowExceptForTheReverseLine) {
  const HsiPoint arrow{0, 0};
  const HsiPoint right{100000, 50000};
  const HsiPoint left{-100000, 50000};
  // Note right of the arrow: arc and normal line step back left, the reverse line goes on.
  EXPECT_EQ(Elbow(arrow, right, kArcLeader, 20000).x, 80000);
  EXPECT_EQ(Elbow(arrow, right, kLineLeader, 20000).x, 80000);
  EXPECT_EQ(Elbow(arrow, right, kReverseLineLeader, 20000).x, 120000);
  // Note left of the arrow: the other way round.
  EXPECT_EQ(Elbow(arrow, left, kLineLeader, 20000).x, -80000);
  EXPECT_EQ(Elbow(arrow, left, kReverseLineLeader, 20000).x, -120000);
  // Straight above counts as "not right of": the extension goes right for the normal line.
  EXPECT_EQ(Elbow(arrow, HsiPoint{0, 50000}, kLineLeader, 20000).x, 20000);
  // The elbow is always level with the note.
  EXPECT_EQ(Elbow(arrow, right, kLineLeader, 20000).y, 50000);
  // Near the end of the range the elbow stays inside it instead of wrapping.
  EXPECT_EQ(Elbow(arrow, HsiPoint{2147000000, 0}, kReverseLineLeader, 2000000).x, 2147483647);
}

TEST(LeaderSnapToText, NoteEndsBesideTheTextNearerTheArrow) {
  const TextExtent text{100000, 400000, 60000, 30000};
  // Text left of the arrow (its middle, 250000, is less than the arrow's x): its right end.
  HsiPoint note = SnappedNotePoint(text, HsiPoint{500000, 0});
  EXPECT_TRUE(Same(note, HsiPoint{410000, 75000}));
  // Text right of the arrow, or the arrow exactly over its middle: its left end.
  EXPECT_TRUE(Same(SnappedNotePoint(text, HsiPoint{0, 0}), HsiPoint{90000, 75000}));
  EXPECT_TRUE(Same(SnappedNotePoint(text, HsiPoint{250000, 0}), HsiPoint{90000, 75000}));
  // Thirds and halves truncate toward zero.
  const TextExtent odd{0, 10, 0, 7};
  EXPECT_TRUE(Same(SnappedNotePoint(odd, HsiPoint{100, 0}), HsiPoint{12, 3}));
  const TextExtent negative{-100, -10, -20, -7};
  EXPECT_TRUE(Same(SnappedNotePoint(negative, HsiPoint{0, 0}), HsiPoint{-12, -23}));
}

TEST(LeaderSnapToText, LineTypesSwapOnlyWithTheArrowStrictlyBetweenTheTextEnds) {
  const TextExtent text{100000, 400000, 60000, 30000};
  EXPECT_TRUE(ArrowWithinText(text, HsiPoint{100001, 0}));
  EXPECT_TRUE(ArrowWithinText(text, HsiPoint{399999, 0}));
  EXPECT_FALSE(ArrowWithinText(text, HsiPoint{100000, 0}));
  EXPECT_FALSE(ArrowWithinText(text, HsiPoint{400000, 0}));
  EXPECT_FALSE(ArrowWithinText(text, HsiPoint{-5, 0}));
  EXPECT_EQ(SwappedLineType(kLineLeader), kReverseLineLeader);
  EXPECT_EQ(SwappedLineType(kReverseLineLeader), kLineLeader);
  EXPECT_EQ(SwappedLineType(kArcLeader), kArcLeader);
}

TEST(LeaderArc, HandWorkedCase) {
  // A = (0, 0), E = (768000, 384000). M = (384000, 192000); theta = atan(1/2), sin = 1/sqrt5,
  // cos = 2/sqrt5. R = 384000 x sqrt5 = 858650.1 -> 858650; D = 858650 x sqrt5 / 2 = 959999.9
  // -> 960000. Centre (768000, 384000 - 960000), radius 960000. A lies left of and below E,
  // so the arc runs counter-clockwise from E (the top of the circle) round to A.
  const HsiPoint a{0, 0}, e{768000, 384000};
  const auto arc = ArcLeaderThrough(a, e, DirectionOf(a, e));
  ASSERT_TRUE(arc);
  EXPECT_TRUE(Same(arc->centre, HsiPoint{768000, -576000}));
  EXPECT_EQ(arc->radius, 960000);
  EXPECT_TRUE(Same(arc->first, e));
  EXPECT_TRUE(Same(arc->second, a));

  // The arrow point for a symbol arrowhead: ya = 384000 / 200 = 1920;
  // k = ((960000 + 1920 + 576000) / 100) x ((960000 - 1920 - 576000) / 100) = 15379 x 3820
  //   = 58747780 (past 32 bits once the radius passes about 4.6 million; here still inside);
  // sqrt(k) x 100 = 766470.8 -> 766471; A lies left of the centre: xa = 768000 - 766471 = 1529.
  const auto along = ArcArrowPoint(a, e, *arc, true);
  ASSERT_TRUE(along);
  EXPECT_TRUE(Same(*along, HsiPoint{1529, 1920}));
  // Drawn lines take twice the step: ya = 3840.
  EXPECT_EQ(ArcArrowPoint(a, e, *arc, false)->y, 3840);
}

TEST(LeaderArc, EndOrderFollowsTheQuadrantOfTheArrow) {
  const HsiPoint e{0, 0};
  struct Case {
    HsiPoint arrow;
    bool elbowFirst;
  };
  // The arc always runs counter-clockwise, the short way between A and E.
  for (const Case c : {Case{{-300000, -200000}, true}, Case{{-300000, 200000}, false},
                       Case{{300000, -200000}, false}, Case{{300000, 200000}, true}}) {
    const auto arc = ArcLeaderThrough(c.arrow, e, DirectionOf(c.arrow, e));
    ASSERT_TRUE(arc);
    EXPECT_TRUE(Same(arc->first, c.elbowFirst ? e : c.arrow)) << c.arrow.x << "," << c.arrow.y;
    // Both ends lie on the circle and the centre lies straight below or above E.
    EXPECT_EQ(arc->centre.x, e.x);
    EXPECT_NEAR(std::hypot(double(c.arrow.x) - arc->centre.x, double(c.arrow.y) - arc->centre.y),
                arc->radius, 2.0);
    EXPECT_NEAR(std::abs(double(e.y) - arc->centre.y), arc->radius, 0.5);
  }
}

TEST(LeaderArc, LevelVerticalAndOversizedPicksHaveNoArc) {
  const HsiPoint e{500000, 200000};
  EXPECT_FALSE(ArcLeaderThrough(HsiPoint{0, 200000}, e, 0.0));         // level, left
  EXPECT_FALSE(ArcLeaderThrough(HsiPoint{900000, 200000}, e, 180.0));  // level, right
  EXPECT_FALSE(ArcLeaderThrough(HsiPoint{500000, 0}, e, 90.0));        // straight below
  EXPECT_FALSE(ArcLeaderThrough(HsiPoint{500000, 900000}, e, 270.0));  // straight above
  // Nearly level: one unit of rise over 1,000,000 wants a radius of 5 x 10^11.
  const HsiPoint flat{-500000, 199999};
  EXPECT_FALSE(ArcLeaderThrough(flat, e, DirectionOf(flat, e)));
  // Nearly vertical: the whole-unit midpoint throws the circle off A, so there is no arc.
  const HsiPoint steep{499999, -800000};
  EXPECT_FALSE(ArcLeaderThrough(steep, e, DirectionOf(steep, e)));
}

TEST(LeaderArc, LargeRadiiAreWorkedPast32Bits) {
  // A rise of 20000 over 8,000,000: D = (8e6^2 + 2e4^2) / (2 x 2e4) = 1,600,010,000, which fits
  // 32 bits, while R x 2 and the arrow's product k do not.
  const HsiPoint a{0, 0}, e{8000000, 20000};
  const auto arc = ArcLeaderThrough(a, e, DirectionOf(a, e));
  ASSERT_TRUE(arc);
  EXPECT_NEAR(arc->radius, 1600010000.0, 2.0);
  EXPECT_EQ(arc->centre.x, 8000000);
  const auto along = ArcArrowPoint(a, e, *arc, true);
  ASSERT_TRUE(along);
  // The arrow points up the arc toward E, nearly level: along +x, slightly upward.
  EXPECT_EQ(along->y, 100);
  EXPECT_GT(along->x, 0);
  EXPECT_LT(along->x, 100000);
}

TEST(LeaderArc, TangentAtTheArrowPointsAlongTheArcTowardTheElbow) {
  const HsiPoint a{0, 0}, e{768000, 384000};
  const auto arc = ArcLeaderThrough(a, e, DirectionOf(a, e));
  ASSERT_TRUE(arc);
  // The radius to A is (-768000, 576000); the arc leaves A up and to the right.
  EXPECT_NEAR(ArcTangentAtArrow(a, *arc), std::atan2(768000.0, 576000.0) * 180 / std::numbers::pi,
              1e-9);
  // From an arrow above and right of E the arc runs down-left to E, which lies at the foot.
  const HsiPoint high{1500000, 900000};
  const auto other = ArcLeaderThrough(high, e, DirectionOf(high, e));
  ASSERT_TRUE(other);
  const double t = ArcTangentAtArrow(high, *other);
  EXPECT_GT(t, 180.0);
  EXPECT_LT(t, 270.0);
}

TEST(LeaderArrowhead, LinesOpenByTheAngleAroundTheDirection) {
  const LineArrowhead head = LineArrowheadEnds(HsiPoint{1000, 1000}, 0.0, 90.0, 1000);
  // a1 = 45, a2 = -45: 1000 x cos 45 = 707.1 -> 707.
  EXPECT_TRUE(Same(head.p1, HsiPoint{1707, 1707}));
  EXPECT_TRUE(Same(head.p2, HsiPoint{1707, 293}));
  const LineArrowhead up = LineArrowheadEnds(HsiPoint{0, 0}, 90.0, 30.0, 96000);
  EXPECT_TRUE(Same(up.p1, HsiPoint{-24847, 92729}));
  EXPECT_TRUE(Same(up.p2, HsiPoint{24847, 92729}));
}

}  // namespace
}  // namespace qxt
