// Typed points: a drafter answers a point request with lengths in the drawing's own notation,
// absolute or relative to the last point, instead of picking.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "host/host.h"

namespace host {

namespace {

std::string Trim(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return std::string(text.substr(b, e - b));
}

// A plain decimal number (an angle in degrees), blanks around it allowed.
std::optional<double> Number(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<Point> Offset(Point base, double dx, double dy) {
  double x = std::round(double(base.x) + dx), y = std::round(double(base.y) + dy);
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  if (x < lo || x > hi || y < lo || y > hi) return std::nullopt;
  return Point{static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

}  // namespace

std::optional<Point> Host::ReadTypedPoint(const std::string& text, std::string* why) const {
  auto refuse = [&](const std::string& reason) -> std::optional<Point> {
    if (why) *why = reason;
    return std::nullopt;
  };
  const std::string usage = " (type X,Y or X Y, @DX,DY or @LENGTH<ANGLE, in the drawing's units)";
  std::string t = Trim(text);
  Point base{0, 0};
  bool relative = !t.empty() && t[0] == '@';
  if (relative) {
    base = lastPoint_.value_or(Point{0, 0});
    t = Trim(std::string_view(t).substr(1));
    if (t.empty()) return base;  // "@": the last point itself
  }
  const std::string quoted = "\"" + text + "\"";
  auto length = [&](std::string_view part) { return ParseLength(Trim(part), units_); };
  if (size_t angleMark = t.find('<'); angleMark != std::string::npos) {
    auto len = length(std::string_view(t).substr(0, angleMark));
    auto angle = Number(std::string_view(t).substr(angleMark + 1));
    if (!len || !angle) return refuse("Not a point: " + quoted + usage);
    auto p = Offset(base, *len * std::cos(Radians(*angle)), *len * std::sin(Radians(*angle)));
    if (!p) return refuse("The point " + quoted + " lies beyond the drawing's range");
    return p;
  }
  std::optional<int32_t> x, y;
  if (size_t comma = t.find(','); comma != std::string::npos) {
    x = length(std::string_view(t).substr(0, comma));
    y = length(std::string_view(t).substr(comma + 1));
  } else {
    // Lengths may hold blanks themselves (1' 6", 6 3/8), so every blank is tried as the one
    // between X and Y; exactly one reading must make sense.
    int readings = 0;
    for (size_t i = 1; i + 1 < t.size(); ++i) {
      if (!std::isspace(static_cast<unsigned char>(t[i])) ||
          std::isspace(static_cast<unsigned char>(t[i - 1])))
        continue;
      auto a = length(std::string_view(t).substr(0, i));
      auto b = length(std::string_view(t).substr(i));
      if (!a || !b) continue;
      if (++readings > 1)
        return refuse("Two ways to read " + quoted + ": put a comma between X and Y");
      x = a;
      y = b;
    }
  }
  if (!x || !y) return refuse("Not a point: " + quoted + usage);
  auto p = Offset(base, *x, *y);
  if (!p) return refuse("The point " + quoted + " lies beyond the drawing's range");
  return p;
}

}  // namespace host
