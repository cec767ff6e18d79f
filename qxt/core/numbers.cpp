#include "core/numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace qxt {

namespace {

constexpr std::array<const char*, kSnapModeCount> kSnapModeNames = {
    "No Snap", "Grid",     "Node",      "Vertex",       "Intersection", "Line",
    "Center",  "Midpoint", "Pie Angle", "Arc",          "Circle",       "Object",
    "Text",    "Endpoint", "Tangent",   "Perpendicular"};

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when `text` is exactly: [sign] digits [. digits] [(e|E) [sign] digits], with at least one
// digit in the mantissa.
bool IsDecimalNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++mantissaDigits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

std::string RealToText(double x) {
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                 std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buffer.data(), end);
}

double TextToReal(std::string_view text) { return ParseReal(text).value_or(0); }

std::optional<double> ParseReal(std::string_view text) {
  if (!IsDecimalNumber(text)) return std::nullopt;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  double value = 0;
  auto [ptr, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  }
  int32_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

int32_t DigitCount(double n) {
  if (!(n >= 10)) return 1;  // also NaN
  int32_t digits = 1;
  double whole = std::trunc(n);
  while (whole >= 10) {
    whole = std::trunc(whole / 10);
    ++digits;
  }
  return digits;
}

std::string GetField(int n, std::string_view text, char separator) {
  if (n < 1) return {};
  size_t start = 0;
  for (int field = 1; field < n; ++field) {
    size_t next = text.find(separator, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  size_t end = text.find(separator, start);
  if (end == std::string_view::npos) return std::string(text.substr(start));
  return std::string(text.substr(start, end - start));
}

void ReplaceText(std::string& buffer, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  size_t pos = buffer.find(from);
  while (pos != std::string::npos) {
    buffer.replace(pos, from.size(), to);
    pos = buffer.find(from, pos + to.size());
  }
}

std::string RightPart(std::string_view text, int count) {
  if (count <= 0) return {};
  const size_t wanted = static_cast<size_t>(count);
  if (wanted >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - wanted));
}

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  double lower = std::floor(x);
  double diff = x - lower;
  if (diff < 0.5) return lower;
  if (diff > 0.5) return lower + 1;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

int32_t RoundToInt32(double x) {
  if (std::isnan(x)) return 0;
  double r = RoundHalfEven(x);
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

std::string SnapModeName(int code) {
  if (code < 0 || code >= kSnapModeCount) return "Undefined";
  return kSnapModeNames[static_cast<size_t>(code)];
}

int SnapModeCode(std::string_view name) {
  for (int code = 0; code < kSnapModeCount; ++code)
    if (name == kSnapModeNames[static_cast<size_t>(code)]) return code;
  return 0;
}

}  // namespace qxt
