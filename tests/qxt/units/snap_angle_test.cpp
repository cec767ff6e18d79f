// Turning a second point onto the snap angle: the target directions and the one-axis move.
#include <gtest/gtest.h>

#include <cmath>

#include "core/two_point.h"

namespace qxt {
namespace {

TEST(SnapAngle, SnapAnglesUpTo90GiveTheirMultiples) {
  EXPECT_DOUBLE_EQ(SnappedDirection(45, 50), 45);
  EXPECT_DOUBLE_EQ(SnappedDirection(45, 20), 0);
  EXPECT_DOUBLE_EQ(SnappedDirection(45, 22.5), 45);  // a half step goes up
  EXPECT_DOUBLE_EQ(SnappedDirection(45, 350), 0);    // 360 wraps to 0
  EXPECT_DOUBLE_EQ(SnappedDirection(30, 100), 90);
  EXPECT_DOUBLE_EQ(SnappedDirection(90, 44.9), 0);
  EXPECT_DOUBLE_EQ(SnappedDirection(90, 225), 270);
  // Kept to three decimals, so a snap angle that does not divide evenly stays readable.
  EXPECT_DOUBLE_EQ(SnappedDirection(360.0 / 7, 60), 51.429);
}

TEST(SnapAngle, SnapAnglesAbove90GiveFourDirectionsThroughTheRemainder) {
  // 120 leaves 30 over 90: the directions are 30, 120, 210 and 300.
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 0), 30);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 74.9), 30);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 75), 120);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 200), 210);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 290), 300);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 344.9), 300);
  // From 345 on the next direction would be 390: it becomes 0, not 30.
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 345), 0);
  EXPECT_DOUBLE_EQ(SnappedDirection(120, 359.9), 0);
  EXPECT_DOUBLE_EQ(SnappedDirection(180, 100), 90);
}

TEST(SnapAngle, AboveNinetySmallDirectionsTruncateTowardZeroOntoTheRemainder) {
  // r = trunc((a + 45 - c) / 90) * 90 + c. With 150 (c = 60) a direction of 10 degrees gives
  // (10 + 45 - 60) / 90 = -0.06, truncated to 0: r is 60, although 330 lies nearer.
  EXPECT_DOUBLE_EQ(SnappedDirection(150, 10), 60);
  EXPECT_DOUBLE_EQ(SnappedDirection(150, 0), 60);
  EXPECT_DOUBLE_EQ(SnappedDirection(150, 14.9), 60);
  EXPECT_DOUBLE_EQ(SnappedDirection(150, 105), 150);
  EXPECT_DOUBLE_EQ(SnappedDirection(170, 1), 80);  // c = 80: the whole first quarter gives 80
  // A remainder of 45 or less keeps the nearest direction for small angles.
  EXPECT_DOUBLE_EQ(SnappedDirection(100, 1), 10);
  EXPECT_DOUBLE_EQ(SnappedDirection(135, 1), 45);

  // The point then moves along one axis onto that direction: a mostly horizontal point at
  // 10 degrees keeps its x and gets the y on 60 degrees.
  HsiPoint p2{10000, 1763};
  MoveOntoDirection({0, 0}, p2, 10, SnappedDirection(150, 10));
  EXPECT_EQ(p2.x, 10000);
  EXPECT_EQ(p2.y, 17321);  // tan(60) * 10000 = 17320.5..
}

HsiPoint Moved(HsiPoint p1, HsiPoint p2, double s) {
  const double a = std::atan2(double(p2.y - p1.y), double(p2.x - p1.x)) * 180 / M_PI;
  const double direction = a < 0 ? a + 360 : a;
  MoveOntoDirection(p1, p2, direction, SnappedDirection(s, direction));
  return p2;
}

TEST(SnapAngle, MostlyVerticalPointsKeepTheirYAndGetANewX) {
  // Direction about 50 degrees with a snap angle of 45: y stays, x puts it on 45 degrees.
  const HsiPoint p = Moved({1000, 2000}, {1000 + 8391, 2000 + 10000}, 45);
  EXPECT_EQ(p.y, 12000);
  EXPECT_EQ(p.x, 1000 + 10000);
  // Near-vertical directions land on the vertical through the first point.
  const HsiPoint v = Moved({0, 0}, {-300, 5000}, 45);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.y, 5000);
}

TEST(SnapAngle, MostlyHorizontalPointsKeepTheirXAndGetANewY) {
  // Direction about 20 degrees with a snap angle of 45 goes onto 0 degrees.
  const HsiPoint p = Moved({1000, 2000}, {1000 + 10000, 2000 + 3640}, 45);
  EXPECT_EQ(p.x, 11000);
  EXPECT_EQ(p.y, 2000);
  // Snap 30 at about 25 degrees: onto 30 degrees, y from the tangent, rounded.
  const HsiPoint t = Moved({0, 0}, {10000, 4663}, 30);
  EXPECT_EQ(t.x, 10000);
  EXPECT_EQ(t.y, 5774);  // tan(30) * 10000 = 5773.50...
  // Pointing left (135..225) the y comes from the tangent too.
  const HsiPoint l = Moved({0, 0}, {-10000, -4663}, 30);
  EXPECT_EQ(l.x, -10000);
  EXPECT_EQ(l.y, -5774);
  const HsiPoint back = Moved({500, 500}, {-9500, 900}, 45);
  EXPECT_EQ(back.y, 500);
}

TEST(SnapAngle, ABoundaryDiagonalWithSnap90LandsOnTheAxisNotFarAway) {
  // Exactly 45 degrees snaps to 90 and exactly 225 to 270 with a snap angle of 90: the target is
  // vertical, so the point goes onto the vertical through the first point instead of being sent
  // to the end of the world by the unbounded tangent.
  HsiPoint p2{100, 100};
  MoveOntoDirection({0, 0}, p2, 45, SnappedDirection(90, 45));
  EXPECT_EQ(p2.x, 0);
  EXPECT_EQ(p2.y, 100);
  HsiPoint q2{-100, -100};
  MoveOntoDirection({0, 0}, q2, 225, SnappedDirection(90, 225));
  EXPECT_EQ(q2.x, 0);
  EXPECT_EQ(q2.y, -100);
  // A mostly vertical point whose target is horizontal keeps x and goes onto the horizontal.
  HsiPoint h2{10, 1000};
  MoveOntoDirection({0, 0}, h2, 89, 0);
  EXPECT_EQ(h2.y, 0);
  EXPECT_EQ(h2.x, 10);
}

}  // namespace
}  // namespace qxt
