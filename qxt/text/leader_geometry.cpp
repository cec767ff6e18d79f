#include "text/leader_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/numbers.h"

namespace qxt {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// A 64-bit result brought back into the 32-bit coordinate range, saturating at its ends.
std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool FitsInt32(double v) {
  return std::isfinite(v) && v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

HsiPoint SnappedNotePoint(const TextExtent& text, const HsiPoint& arrow) {
  const std::int64_t x1 = text.x1, x2 = text.x2, h = text.height;
  HsiPoint note{};
  note.y = Clamp32(std::int64_t{text.y2} + h / 2);
  // The note end goes to the end of the text nearer the arrow.
  const bool textLeftOfArrow = (x1 + x2) / 2 < arrow.x;
  note.x = Clamp32(textLeftOfArrow ? x2 + h / 3 : x1 - h / 3);
  return note;
}

bool ArrowWithinText(const TextExtent& text, const HsiPoint& arrow) {
  return text.x1 < arrow.x && arrow.x < text.x2;
}

std::int32_t SwappedLineType(std::int32_t type) {
  if (type == kLineLeader) return kReverseLineLeader;
  if (type == kReverseLineLeader) return kLineLeader;
  return type;
}

HsiPoint Elbow(const HsiPoint& arrow, const HsiPoint& note, std::int32_t type,
               std::int32_t extension) {
  // Toward the arrow's side is -x when the note lies right of the arrow; the reverse line turns
  // the other way.
  const bool noteRightOfArrow = note.x > arrow.x;
  const bool towardArrow = type != kReverseLineLeader;
  const std::int64_t step =
      (noteRightOfArrow == towardArrow) ? -std::int64_t{extension} : std::int64_t{extension};
  return HsiPoint{Clamp32(note.x + step), note.y};
}

std::optional<ArcLeader> ArcLeaderThrough(const HsiPoint& arrow, const HsiPoint& elbow,
                                          double theta) {
  if (arrow.y == elbow.y || arrow.x == elbow.x) return std::nullopt;
  const std::int64_t midX = (std::int64_t{arrow.x} + elbow.x) / 2;
  const double angle = theta * kRadiansPerDegree;
  const double r = RoundHalfEven(static_cast<double>(elbow.x - midX) / std::sin(angle));
  const double d = RoundHalfEven(r / std::cos(angle));
  const double centreY = static_cast<double>(elbow.y) - d;
  if (!FitsInt32(d) || !FitsInt32(-d) || !FitsInt32(centreY)) return std::nullopt;

  ArcLeader arc;
  arc.centre = HsiPoint{elbow.x, static_cast<std::int32_t>(centreY)};
  arc.radius = static_cast<std::int32_t>(std::abs(d));
  const double fromCentre = std::hypot(static_cast<double>(arrow.x) - arc.centre.x,
                                       static_cast<double>(arrow.y) - arc.centre.y);
  if (std::abs(fromCentre - arc.radius) > std::max(2.0, arc.radius / 1000.0)) return std::nullopt;

  // Counter-clockwise from the first end to the second is the short way from A round to E.
  const bool elbowFirst = arrow.x < elbow.x ? arrow.y < elbow.y : arrow.y >= elbow.y;
  arc.first = elbowFirst ? elbow : arrow;
  arc.second = elbowFirst ? arrow : elbow;
  return arc;
}

std::optional<HsiPoint> ArcArrowPoint(const HsiPoint& arrow, const HsiPoint& note,
                                      const ArcLeader& arc, bool symbolArrowhead) {
  const std::int64_t step = symbolArrowhead ? 200 : 100;
  const std::int64_t ya = arrow.y + (std::int64_t{note.y} - arrow.y) / step;
  const std::int64_t r = arc.radius, cy = arc.centre.y;
  const std::int64_t k = ((r + ya - cy) / 100) * ((r - ya + cy) / 100);
  if (k < 0) return std::nullopt;
  const double across = RoundHalfEven(std::sqrt(static_cast<double>(k)) * 100.0);
  const double xa = arrow.x < arc.centre.x ? arc.centre.x - across : arc.centre.x + across;
  const HsiPoint point{RoundToInt32(xa), Clamp32(ya)};
  if (point.x == arrow.x && point.y == arrow.y) return std::nullopt;
  return point;
}

double ArcTangentAtArrow(const HsiPoint& arrow, const ArcLeader& arc) {
  const double rx = static_cast<double>(arrow.x) - arc.centre.x;
  const double ry = static_cast<double>(arrow.y) - arc.centre.y;
  // From the first end the arc runs counter-clockwise; from the second, clockwise back.
  const bool arrowFirst = arc.first.x == arrow.x && arc.first.y == arrow.y;
  const double tx = arrowFirst ? -ry : ry;
  const double ty = arrowFirst ? rx : -rx;
  double degrees = std::atan2(ty, tx) / kRadiansPerDegree;
  if (degrees < 0) degrees += 360.0;
  if (degrees >= 360.0) degrees -= 360.0;
  return degrees;
}

LineArrowhead LineArrowheadEnds(const HsiPoint& arrow, double direction, double angle,
                                std::int32_t length) {
  const double a1 = (direction + angle / 2) * kRadiansPerDegree;
  const double a2 = a1 - angle * kRadiansPerDegree;
  const double l = length;
  LineArrowhead head;
  head.p1 = HsiPoint{RoundToInt32(arrow.x + RoundHalfEven(l * std::cos(a1))),
                     RoundToInt32(arrow.y + RoundHalfEven(l * std::sin(a1)))};
  head.p2 = HsiPoint{RoundToInt32(arrow.x + RoundHalfEven(l * std::cos(a2))),
                     RoundToInt32(arrow.y + RoundHalfEven(l * std::sin(a2)))};
  return head;
}

}  // namespace qxt
