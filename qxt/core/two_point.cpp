#include "core/two_point.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/messages.h"
#include "core/numbers.h"

namespace qxt {

namespace {

// Deletes the host's cursor image when it goes out of scope.
class CursorGuard {
 public:
  CursorGuard(int16_t style, const HsiPoint& base) { HsiMakeCursor(0, style, &base, 0, &base, 0); }
  ~CursorGuard() { HsiDeleteCursor(); }
  CursorGuard(const CursorGuard&) = delete;
  CursorGuard& operator=(const CursorGuard&) = delete;
};

}  // namespace

double SnappedDirection(double s, double a) {
  double r;
  if (s > 90) {
    const double c = s - std::trunc(s / 90) * 90;
    r = std::trunc((a + 45 - c) / 90) * 90 + c;
  } else {
    r = std::trunc((a + s / 2) / s) * s;
  }
  // Three decimals are enough for a direction and keep 89.9999999 from missing 90.
  r = std::trunc((r + 0.0005) * 1000) / 1000;
  if (r >= 360) r = s > 90 ? 0 : r - 360;
  return r;
}

void MoveOntoDirection(const HsiPoint& p1, HsiPoint& p2, double a, double r) {
  const double dx = static_cast<double>(p2.x) - p1.x;
  const double dy = static_cast<double>(p2.y) - p1.y;
  const bool vertical = r == 90 || r == 270;
  const bool horizontal = r == 0 || r == 180;
  if (a <= 45 || a >= 315) {
    // A vertical target has no y for this x (its tangent is unbounded): the point goes onto the
    // vertical through p1 instead.
    if (r == 0)
      p2.y = p1.y;
    else if (vertical)
      p2.x = p1.x;
    else
      p2.y = RoundToInt32(p1.y + RoundHalfEven(Tangent(r / kDegreesPerRadian) * dx));
  } else if (a < 135 || a > 225) {
    // Likewise a horizontal target has no x for this y: the point goes onto the horizontal.
    if (vertical)
      p2.x = p1.x;
    else if (horizontal)
      p2.y = p1.y;
    else
      p2.x = RoundToInt32(p1.x + RoundHalfEven(dy / Tangent(r / kDegreesPerRadianCoarse)));
  } else {
    if (r == 180)
      p2.y = p1.y;
    else if (vertical)
      p2.x = p1.x;
    else
      p2.y = RoundToInt32(Tangent(r / kDegreesPerRadian) * dx + p1.y);
  }
}

void SnapToAngle(const HsiPoint& p1, HsiPoint& p2) {
  const double s = HsiGetSnapAngle();
  if (s == 0) return;
  const double a = HsiPang(&p1, &p2);
  MoveOntoDirection(p1, p2, a, SnappedDirection(s, a));
}

bool TwoPointInput(const std::string& prompt1, const std::string& prompt2, HsiPoint& p1,
                   bool snapToAngle, int16_t& extra, int16_t& status, HsiPoint& p2) {
  for (;;) {
    status = 0;
    HsiGetPoint(prompt1.c_str(), &p1, &status, &extra);
    if (status != HSI_POINT_GIVEN) return false;
    {
      CursorGuard band(snapToAngle ? HSI_CURSOR_LINE_SNAPPED : HSI_CURSOR_LINE, p1);
      for (;;) {
        status = 0;
        HsiGetPoint(prompt2.c_str(), &p2, &status, &extra);
        if (status != HSI_POINT_GIVEN) break;
        if (snapToAngle) SnapToAngle(p1, p2);
        // A second point on the first (a double click) gives neither length nor direction: it
        // is ignored and asked for again.
        if (p2.x != p1.x || p2.y != p1.y) break;
      }
    }
    if (status == HSI_POINT_GIVEN) {
      if (!snapToAngle) return true;
      if (HsiPtCheck(&p2) == HSI_INSIDE_WORLD) return true;
      ShowWarning("Entered point falls outside world");
      status = HSI_POINT_BUTTON2;
    } else if (status == HSI_POINT_CANCELLED) {
      return false;
    }
  }
}

double Tangent(double x) {
  const double c = std::cos(x);
  if (c == 0) {
    ShowWarning("Internal error: attempt to find tangent of vertical line");
    return 0;
  }
  return std::sin(x) / c;
}

void SwapPoints(HsiPoint& a, HsiPoint& b) { std::swap(a, b); }

HsiPoint OffsetInWorld(const HsiPoint& p, std::int64_t dx, std::int64_t dy) {
  auto hold = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp(v, -kWorldLimit, kWorldLimit));
  };
  // Offsets beyond the 32-bit range are held first, so the sum cannot overflow either.
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  dx = std::clamp(dx, -2 * kMax, 2 * kMax);
  dy = std::clamp(dy, -2 * kMax, 2 * kMax);
  return HsiPoint{hold(p.x + dx), hold(p.y + dy)};
}

}  // namespace qxt
