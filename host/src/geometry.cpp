#include "host/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

void Box::Add(int64_t x, int64_t y) {
  if (Empty()) {
    x1 = x2 = x;
    y1 = y2 = y;
    return;
  }
  x1 = std::min(x1, x);
  y1 = std::min(y1, y);
  x2 = std::max(x2, x);
  y2 = std::max(y2, y);
}

void Box::Add(const Box& other) {
  if (other.Empty()) return;
  Add(other.x1, other.y1);
  Add(other.x2, other.y2);
}

void Box::Inflate(int64_t d) {
  if (Empty()) return;
  x1 -= d;
  y1 -= d;
  x2 += d;
  y2 += d;
}

bool Box::Intersects(const Box& o) const {
  if (Empty() || o.Empty()) return false;
  return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2;
}

bool Box::Contains(const Box& o) const {
  if (Empty() || o.Empty()) return false;
  return x1 <= o.x1 && o.x2 <= x2 && y1 <= o.y1 && o.y2 <= y2;
}

bool Box::Contains(int64_t x, int64_t y) const {
  return !Empty() && x >= x1 && x <= x2 && y >= y1 && y <= y2;
}

double NormaliseDeg(double degrees) {
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  return a;
}

double AngleDeg(PointD a, PointD b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  if (dx == 0 && dy == 0) return 0;
  return NormaliseDeg(std::atan2(dy, dx) * 180.0 / kPi);
}

double Distance(PointD a, PointD b) { return std::hypot(b.x - a.x, b.y - a.y); }

int32_t RoundDbu(double v) {
  if (!std::isfinite(v)) return 0;
  double r = std::nearbyint(v);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

Point RoundPoint(PointD p) { return {RoundDbu(p.x), RoundDbu(p.y)}; }

double SegmentDistance(PointD p, PointD a, PointD b, double* t) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double u = 0;
  if (len2 > 0) u = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0);
  if (t) *t = u;
  return Distance(p, {a.x + u * dx, a.y + u * dy});
}

PointD Foot(PointD p, PointD a, PointD b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  if (len2 == 0) return a;
  double u = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
  return {a.x + u * dx, a.y + u * dy};
}

std::optional<PointD> LineIntersection(PointD a1, PointD a2, PointD b1, PointD b2) {
  double d1x = a2.x - a1.x, d1y = a2.y - a1.y;
  double d2x = b2.x - b1.x, d2y = b2.y - b1.y;
  double den = d1x * d2y - d1y * d2x;
  double scale = std::hypot(d1x, d1y) * std::hypot(d2x, d2y);
  if (scale == 0 || std::fabs(den) <= 1e-9 * scale) return std::nullopt;
  double u = ((b1.x - a1.x) * d2y - (b1.y - a1.y) * d2x) / den;
  return PointD{a1.x + u * d1x, a1.y + u * d1y};
}

namespace {
double Cross(PointD o, PointD a, PointD b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}
bool OnSegment(PointD a, PointD b, PointD p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}
}  // namespace

bool SegmentsIntersect(PointD a1, PointD a2, PointD b1, PointD b2) {
  double d1 = Cross(b1, b2, a1), d2 = Cross(b1, b2, a2);
  double d3 = Cross(a1, a2, b1), d4 = Cross(a1, a2, b2);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
    return true;
  if (d1 == 0 && OnSegment(b1, b2, a1)) return true;
  if (d2 == 0 && OnSegment(b1, b2, a2)) return true;
  if (d3 == 0 && OnSegment(a1, a2, b1)) return true;
  if (d4 == 0 && OnSegment(a1, a2, b2)) return true;
  return false;
}

bool SegmentIntersectsBox(PointD a, PointD b, const Box& box) {
  if (box.Empty()) return false;
  if (box.Contains(std::llround(a.x), std::llround(a.y)) ||
      box.Contains(std::llround(b.x), std::llround(b.y)))
    return true;
  PointD c[4] = {{double(box.x1), double(box.y1)},
                 {double(box.x2), double(box.y1)},
                 {double(box.x2), double(box.y2)},
                 {double(box.x1), double(box.y2)}};
  for (int i = 0; i < 4; ++i)
    if (SegmentsIntersect(a, b, c[i], c[(i + 1) % 4])) return true;
  return false;
}

bool AngleOnArc(double a, double a1, double a2) {
  a = NormaliseDeg(a);
  a1 = NormaliseDeg(a1);
  a2 = NormaliseDeg(a2);
  double sweep = NormaliseDeg(a2 - a1);
  if (sweep == 0) sweep = 360;
  return NormaliseDeg(a - a1) <= sweep + 1e-9;
}

Box ArcBox(PointD c, double r, double a1, double a2) {
  Box box;
  auto add = [&](double deg) {
    box.Add(std::llround(c.x + r * std::cos(Radians(deg))),
            std::llround(c.y + r * std::sin(Radians(deg))));
  };
  add(a1);
  add(a2);
  for (double q : {0.0, 90.0, 180.0, 270.0})
    if (AngleOnArc(q, a1, a2)) add(q);
  return box;
}

double ArcDistance(PointD p, PointD c, double r, double a1, double a2) {
  double a = AngleDeg(c, p);
  if (AngleOnArc(a, a1, a2)) return std::fabs(Distance(p, c) - r);
  PointD s{c.x + r * std::cos(Radians(a1)), c.y + r * std::sin(Radians(a1))};
  PointD e{c.x + r * std::cos(Radians(a2)), c.y + r * std::sin(Radians(a2))};
  return std::min(Distance(p, s), Distance(p, e));
}

PointD Rotate(PointD p, PointD centre, double degrees) {
  double s = std::sin(Radians(degrees)), c = std::cos(Radians(degrees));
  double dx = p.x - centre.x, dy = p.y - centre.y;
  return {centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
}

}  // namespace host
