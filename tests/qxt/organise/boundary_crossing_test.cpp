#include "organise/boundary_crossing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace qxt {
namespace {

bool EveryPair(const std::vector<Edge>& edges) {
  for (std::size_t i = 0; i < edges.size(); ++i)
    for (std::size_t j = i + 1; j < edges.size(); ++j)
      if (Cross(edges[i], edges[j])) return true;
  return false;
}

// The edges of the closed walk through `points`.
std::vector<Edge> Closed(const std::vector<WalkPoint>& points) {
  std::vector<Edge> edges;
  for (std::size_t i = 0; i < points.size(); ++i)
    edges.push_back({points[i], points[(i + 1) % points.size()]});
  return edges;
}

// Two sawtooth runs, rightwards along y = 0 and back leftwards along y = gap, their teeth
// pointing at each other; `poke` moves one tooth of the upper run down by that much.
std::vector<WalkPoint> Teeth(int teeth, int64_t gap, int64_t poke) {
  std::vector<WalkPoint> points;
  for (int i = 0; i <= 2 * teeth; ++i) points.push_back({i * 10, i % 2 == 1 ? gap / 2 : 0});
  for (int i = 2 * teeth; i >= 0; --i) {
    int64_t y = i % 2 == 1 ? gap / 2 : gap;
    if (i == teeth + (teeth % 2 == 0 ? 1 : 0)) y -= poke;
    points.push_back({i * 10, y});
  }
  return points;
}

// A polygon of n vertices close to a circle, from the angle `start` (radians) counter-clockwise.
std::vector<WalkPoint> Circle(int n, double radius, double cx = 0, double start = 0) {
  std::vector<WalkPoint> points;
  for (int k = 0; k < n; ++k) {
    const double a = start + 2 * std::numbers::pi * k / n;
    points.push_back({static_cast<int64_t>(std::llround(cx + radius * std::cos(a))),
                      static_cast<int64_t>(std::llround(radius * std::sin(a)))});
  }
  return points;
}

// The points of the paths a check reads back, as the area command reads linesets from the host.
std::vector<std::vector<WalkPoint>> g_sources;

// The edges told as paths whose points are read back, split at random places besides where they
// do not join.
bool ReadBackCrossing(const std::vector<Edge>& edges, std::mt19937_64& random) {
  g_sources.clear();
  CrossingCheck check;
  std::bernoulli_distribution split(0.05);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const Edge& e = edges[i];
    const bool joins = i > 0 && edges[i - 1].q.x == e.p.x && edges[i - 1].q.y == e.p.y;
    if (!joins || split(random)) {
      g_sources.push_back({e.p});
      check.StartPathOf(static_cast<int32_t>(g_sources.size() - 1));
      check.Add(e.p);
    }
    g_sources.back().push_back(e.q);
    check.Add(e.q);
  }
  return check.AnyCrossing(
      [](int32_t source, uint32_t k) { return g_sources[static_cast<std::size_t>(source)][k]; });
}

TEST(BoundaryCrossing, FindsExactlyTheCrossingsThatTestingEveryPairFinds) {
  std::mt19937_64 random(37);
  auto expectSame = [&](const std::vector<Edge>& edges, const std::string& what) {
    const bool expected = EveryPair(edges);
    EXPECT_EQ(AnyCrossing(edges), expected) << what;
    EXPECT_EQ(ReadBackCrossing(edges, random), expected) << what << ", read back";
  };

  // Random polygons on a small grid: many shared points, collinear overlaps, pieces of no length.
  for (int trial = 0; trial < 400; ++trial) {
    std::uniform_int_distribution<int> count(2, 40), coordinate(0, trial % 2 == 0 ? 6 : 1000);
    std::vector<WalkPoint> points(static_cast<std::size_t>(count(random)));
    for (auto& p : points) p = {coordinate(random), coordinate(random)};
    expectSame(Closed(points), "random polygon " + std::to_string(trial));
  }
  // Random walks of small steps, long enough to make blocks of many edges.
  for (int trial = 0; trial < 20; ++trial) {
    std::uniform_int_distribution<int> step(-3, 3);
    std::vector<WalkPoint> points{{0, 0}};
    for (int i = 0; i < 300; ++i)
      points.push_back({points.back().x + step(random) * 7, points.back().y + step(random)});
    expectSame(Closed(points), "random walk " + std::to_string(trial));
  }

  // Teeth that only touch at their tips do not cross; one tooth poked through by a unit does,
  // deep inside two long runs.
  const std::vector<Edge> touching = Closed(Teeth(300, 100, 0));
  EXPECT_FALSE(AnyCrossing(touching));
  expectSame(touching, "teeth touching");
  const std::vector<Edge> poked = Closed(Teeth(300, 100, 1));
  EXPECT_TRUE(AnyCrossing(poked));
  expectSame(poked, "one tooth through");

  // A polygon close to a circle, then with one vertex pulled across to the far side.
  std::vector<WalkPoint> round = Circle(1500, 1e6);
  EXPECT_FALSE(AnyCrossing(Closed(round)));
  round[700] = {round[700].x + 2'500'000, round[700].y};
  EXPECT_TRUE(AnyCrossing(Closed(round)));
  expectSame(Closed(round), "circle with a vertex across");

  // Coordinates past 32 bits, as chord ends of a large arc may be: two circles whose outlines
  // overlap cross; side by side they do not. The walk goes round the first, out along the x axis
  // to the second, round it and back the same way.
  for (const double shift : {1.5e10, 2.5e10}) {
    std::vector<WalkPoint> points = Circle(400, 1e10);
    points.push_back(points.front());
    for (const WalkPoint& p : Circle(400, 1e10, shift, std::numbers::pi)) points.push_back(p);
    points.push_back({static_cast<int64_t>(shift - 1e10), 0});
    const std::vector<Edge> edges = Closed(points);
    EXPECT_EQ(AnyCrossing(edges), shift < 2e10);
    expectSame(edges, "two large circles");
  }

  // A comb: every edge starts a run of its own, and upright edges lie along each other.
  std::vector<WalkPoint> comb;
  for (int i = 0; i < 200; ++i) {
    comb.push_back({i * 2, 0});
    comb.push_back({i * 2, 50});
    comb.push_back({i * 2 + 1, 50});
    comb.push_back({i * 2 + 1, i % 50 == 49 ? -1 : 0});
  }
  expectSame(Closed(comb), "comb");
  std::vector<WalkPoint> upright{{0, 0}, {0, 10}, {0, 5}, {0, 20}, {0, 3}};
  EXPECT_FALSE(AnyCrossing(Closed(upright)));
}

}  // namespace
}  // namespace qxt
