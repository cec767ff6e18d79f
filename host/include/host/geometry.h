// Plane geometry in drawing units: points, boxes, segments, arcs.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace host {

struct Point {
  int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct PointD {
  double x = 0, y = 0;
};

// An axis-aligned box; empty until a point is added.
struct Box {
  int64_t x1 = 1, y1 = 1, x2 = 0, y2 = 0;
  bool Empty() const { return x1 > x2 || y1 > y2; }
  void Add(int64_t x, int64_t y);
  void Add(const Box& other);
  void Inflate(int64_t d);
  bool Intersects(const Box& other) const;
  bool Contains(const Box& other) const;
  bool Contains(int64_t x, int64_t y) const;
};

constexpr double kPi = 3.14159265358979323846;

inline double Radians(double degrees) { return degrees * kPi / 180.0; }
// Angle of the vector a->b in degrees, 0 <= a < 360 (0 for equal points).
double AngleDeg(PointD a, PointD b);
double NormaliseDeg(double degrees);  // into 0 <= a < 360
double Distance(PointD a, PointD b);
// Rounds to the nearest DBU, clamped to the int32 range.
int32_t RoundDbu(double v);
Point RoundPoint(PointD p);
inline PointD ToD(Point p) { return {double(p.x), double(p.y)}; }

// Distance from p to the segment a-b, and the parameter (0..1) of the nearest point.
double SegmentDistance(PointD p, PointD a, PointD b, double* t = nullptr);
// Foot of the perpendicular from p onto the infinite line a-b (a when a == b).
PointD Foot(PointD p, PointD a, PointD b);
// Intersection of the infinite lines a1-a2 and b1-b2; nullopt when parallel.
std::optional<PointD> LineIntersection(PointD a1, PointD a2, PointD b1, PointD b2);
// True when the segments a1-a2 and b1-b2 touch or cross.
bool SegmentsIntersect(PointD a1, PointD a2, PointD b1, PointD b2);
bool SegmentIntersectsBox(PointD a, PointD b, const Box& box);

// An arc counter-clockwise from a1 to a2 degrees: whether angle a lies on it.
bool AngleOnArc(double a, double a1, double a2);
// Bounding box of an arc of centre c and radius r from a1 to a2 degrees.
Box ArcBox(PointD c, double r, double a1, double a2);
// Distance from p to the arc.
double ArcDistance(PointD p, PointD c, double r, double a1, double a2);

PointD Rotate(PointD p, PointD centre, double degrees);

}  // namespace host
