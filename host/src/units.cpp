#include "host/units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

namespace host {

namespace {

bool IsMetric(uint16_t unit) {
  return unit == HSI_UNIT_MILLIMETRES || unit == HSI_UNIT_CENTIMETRES || unit == HSI_UNIT_METRES;
}

const char* MetricSuffix(uint16_t unit) {
  switch (unit) {
    case HSI_UNIT_MILLIMETRES:
      return "mm";
    case HSI_UNIT_CENTIMETRES:
      return "cm";
    default:
      return "m";
  }
}

std::string Decimal(double value, int places) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
  std::string text = buffer;
  if (text == "-0" || text.rfind("-0.", 0) == 0) {
    // A negative value that rounds to zero is written without its sign.
    bool allZero = text.find_first_not_of("-0.") == std::string::npos;
    if (allZero) text.erase(0, 1);
  }
  return text;
}

int ClampDenominator(int d) { return d < 1 ? 1 : (d > 65536 ? 65536 : d); }
int ClampPrecision(int p) { return p < 0 ? 0 : (p > 10 ? 10 : p); }

// "W N/D" of a non-negative value rounded to 1/denominator: whole part and reduced fraction.
struct Fraction {
  long long whole = 0, num = 0, den = 1;
};

Fraction ToFraction(double value, int denominator) {
  // Beyond what a long long holds the value cannot be written in the text buffer anyway.
  const double scaled = std::min(value * denominator, 9.0e18);
  long long n = std::llround(scaled);
  Fraction f;
  f.whole = n / denominator;
  f.num = n % denominator;
  f.den = denominator;
  if (f.num != 0) {
    long long g = std::gcd(f.num, f.den);
    f.num /= g;
    f.den /= g;
  }
  return f;
}

std::string FractionText(const Fraction& f) {
  std::string text = std::to_string(f.whole);
  if (f.num != 0) text += " " + std::to_string(f.num) + "/" + std::to_string(f.den);
  return text;
}

// `value` (in the notation's unit; inches for feet and inches) written at one accuracy: `places`
// decimals, or fractions of 1/`denominator`.
std::string Notation(double value, uint16_t unit, bool fractions, int places, int denominator) {
  bool negative = value < 0;
  const double magnitude = std::fabs(value);
  if (IsMetric(unit)) return Decimal(value, places) + MetricSuffix(unit);
  if (unit == HSI_UNIT_FEET_INCHES) {
    std::string body;
    if (fractions) {
      Fraction f = ToFraction(magnitude, denominator);
      long long feet = f.whole / 12, inches = f.whole % 12;
      body = std::to_string(feet) + "'-" + std::to_string(inches);
      if (f.num != 0) body += " " + std::to_string(f.num) + "/" + std::to_string(f.den);
      body += "\"";
      negative = negative && (f.whole != 0 || f.num != 0);
    } else {
      // Feet split off first and the inches rounded, so that no product of the whole length
      // and the accuracy has to fit an integer.
      const double factor = std::pow(10.0, places);
      double feet = std::floor(magnitude / 12.0);
      double inches = std::round((magnitude - feet * 12.0) * factor) / factor;
      if (inches >= 12.0) {
        feet += 1;
        inches = 0;
      }
      if (inches < 0) inches = 0;
      body = Decimal(feet, 0) + "'-" + Decimal(inches, places) + "\"";
      negative = negative && (feet != 0 || inches != 0);
    }
    return (negative ? "-" : "") + body;
  }
  const char* mark = unit == HSI_UNIT_FEET ? "'" : "\"";
  if (!fractions) return Decimal(value, places) + mark;
  Fraction f = ToFraction(magnitude, denominator);
  negative = negative && (f.whole != 0 || f.num != 0);
  return (negative ? "-" : "") + FractionText(f) + mark;
}

// A small reader over the text being parsed.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  void Skip(size_t n = 1) { pos_ += n; }
  void SkipSpaces() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++pos_;
  }
  size_t Pos() const { return pos_; }
  void Seek(size_t pos) { pos_ = pos; }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  bool AcceptWord(std::string_view word) {
    if (text_.size() - std::min(pos_, text_.size()) < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(text_[pos_ + i])) != word[i]) return false;
    pos_ += word.size();
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, optionally with a decimal point ("12", "12.5", ".5"). Nullopt when there is none.
std::optional<double> ReadDecimal(Reader& r) {
  size_t start = r.Pos();
  std::string digits;
  bool point = false, any = false;
  while (true) {
    char c = r.Peek();
    if (IsDigit(c)) {
      digits += c;
      any = true;
      r.Skip();
    } else if (c == '.' && !point) {
      digits += c;
      point = true;
      r.Skip();
    } else {
      break;
    }
  }
  if (!any) {
    r.Seek(start);
    return std::nullopt;
  }
  if (digits.size() > 30) return std::nullopt;
  return std::strtod(digits.c_str(), nullptr);
}

// A number as the notation writes it: "12", "12.5", "3/8", "12 3/8". Nullopt when the text
// at the reader is not one (the reader is then left where it was).
std::optional<double> ReadNumber(Reader& r, bool* bad) {
  size_t start = r.Pos();
  auto first = ReadDecimal(r);
  if (!first) return std::nullopt;
  if (r.Peek() == '/') {
    // A plain fraction "N/D": N must be whole.
    r.Skip();
    auto den = ReadDecimal(r);
    if (!den || *den == 0 || std::floor(*first) != *first || std::floor(*den) != *den) {
      *bad = true;
      return std::nullopt;
    }
    return *first / *den;
  }
  // A whole number followed by blanks and a fraction: "12 3/8".
  size_t afterFirst = r.Pos();
  r.SkipSpaces();
  if (r.Pos() > afterFirst && IsDigit(r.Peek()) && std::floor(*first) == *first) {
    size_t fracStart = r.Pos();
    auto num = ReadDecimal(r);
    if (num && r.Peek() == '/') {
      r.Skip();
      auto den = ReadDecimal(r);
      if (!den || *den == 0 || std::floor(*num) != *num || std::floor(*den) != *den) {
        *bad = true;
        return std::nullopt;
      }
      return *first + *num / *den;
    }
    r.Seek(fracStart);
  }
  r.Seek(afterFirst);
  (void)start;
  return first;
}

}  // namespace

bool IsUnitType(uint16_t code) { return code >= HSI_UNIT_INCHES && code <= HSI_UNIT_FEET_INCHES; }

double UnitsPerInch(uint16_t unitType) {
  switch (unitType) {
    case HSI_UNIT_MILLIMETRES:
      return 25.4;
    case HSI_UNIT_CENTIMETRES:
      return 2.54;
    case HSI_UNIT_METRES:
      return 0.0254;
    case HSI_UNIT_FEET:
      return 1.0 / 12.0;
    default:
      return 1.0;
  }
}

uint16_t NotationUnit(const UnitSettings& units) {
  return units.space == 0 ? units.paperUnit : units.unitType;
}

double DbuPerNotationUnit(const UnitSettings& units) {
  double ppu = units.pointsPerUnit > 0 ? units.pointsPerUnit : 1;
  if (units.space != 0) return ppu;
  double scale = units.drawingScale > 0 ? units.drawingScale : 1.0;
  return ppu * scale;
}

double DbuPerPaperInch(const UnitSettings& units) {
  double ppu = units.pointsPerUnit > 0 ? units.pointsPerUnit : 1;
  double scale = units.drawingScale > 0 ? units.drawingScale : 1.0;
  return ppu * scale * UnitsPerInch(units.paperUnit);
}

std::string FormatLength(int32_t dbu, const UnitSettings& units) {
  const uint16_t unit = NotationUnit(units);
  const double value = dbu / DbuPerNotationUnit(units);
  // Metric lengths are decimal even when fractions are asked for.
  const bool fractions = units.scaledUnits != HSI_SCALED_DECIMALS && !IsMetric(unit);
  int places = ClampPrecision(units.precision);
  int denominator = ClampDenominator(units.denominator);
  // The accuracy asked for first. A text that reads back beyond the range of drawing units
  // (rounded up at the ends of the range) is rounded toward zero instead; one too long for the
  // host's text buffer (a tiny drawing scale in paper space) is written at a coarser accuracy,
  // so that every length shown reads back as nearly itself.
  std::string text;
  while (true) {
    text = Notation(value, unit, fractions, places, denominator);
    if (text.size() < HSI_UNIT_TEXT_SIZE && ParseLength(text, units)) return text;
    const double step = fractions ? 1.0 / denominator : std::pow(10.0, -places);
    text = Notation(std::trunc(value / step) * step, unit, fractions, places, denominator);
    if (text.size() < HSI_UNIT_TEXT_SIZE && ParseLength(text, units)) return text;
    if (fractions ? denominator == 1 : places == 0) break;
    if (fractions)
      denominator /= 2;
    else
      --places;
  }
  // Nothing fits: the length is beyond what the notation can write in the buffer.
  if (text.size() > HSI_UNIT_TEXT_SIZE - 1) text.resize(HSI_UNIT_TEXT_SIZE - 1);
  return text;
}

std::optional<int32_t> ParseLength(std::string_view text, const UnitSettings& units) {
  Reader r(text);
  r.SkipSpaces();
  bool negative = false;
  if (r.Accept('-')) {
    negative = true;
  } else {
    r.Accept('+');
  }
  r.SkipSpaces();

  uint16_t unit = NotationUnit(units);
  double dbuPerUnit = DbuPerNotationUnit(units);
  double dbuPerInch = dbuPerUnit * UnitsPerInch(unit);
  bool bad = false;
  double dbu = 0;

  auto first = ReadNumber(r, &bad);
  if (!first || bad) return std::nullopt;
  r.SkipSpaces();

  if (r.AcceptWord("mm")) {
    dbu = *first / 25.4 * dbuPerInch;
  } else if (r.AcceptWord("cm")) {
    dbu = *first / 2.54 * dbuPerInch;
  } else if (r.AcceptWord("m")) {
    dbu = *first / 0.0254 * dbuPerInch;
  } else if (r.Accept('\'')) {
    // Feet, then optionally a dash or blanks and inches.
    double inches = *first * 12.0;
    r.SkipSpaces();
    bool dash = r.Accept('-');
    r.SkipSpaces();
    if (!r.AtEnd()) {
      auto more = ReadNumber(r, &bad);
      if (!more || bad) return std::nullopt;
      r.SkipSpaces();
      r.Accept('"');
      inches += *more;
    } else if (dash) {
      return std::nullopt;
    }
    dbu = inches * dbuPerInch;
  } else if (r.Accept('"')) {
    dbu = *first * dbuPerInch;
  } else {
    // A bare number is in the notation's own unit (inches for feet-inches).
    dbu = *first * dbuPerUnit;
  }
  r.SkipSpaces();
  if (!r.AtEnd()) return std::nullopt;
  if (negative) dbu = -dbu;
  double rounded = std::nearbyint(dbu);
  if (!std::isfinite(rounded) || rounded > std::numeric_limits<int32_t>::max() ||
      rounded < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int32_t>(rounded);
}

std::optional<uint16_t> UnitTypeFromName(std::string_view name) {
  std::string n;
  for (char c : name) n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (n == "feet-inches" || n == "ft-in") return HSI_UNIT_FEET_INCHES;
  if (n == "feet") return HSI_UNIT_FEET;
  if (n == "inches") return HSI_UNIT_INCHES;
  if (n == "millimetres" || n == "millimeters" || n == "mm") return HSI_UNIT_MILLIMETRES;
  if (n == "centimetres" || n == "centimeters" || n == "cm") return HSI_UNIT_CENTIMETRES;
  if (n == "metres" || n == "meters" || n == "m") return HSI_UNIT_METRES;
  return std::nullopt;
}

std::string UnitTypeName(uint16_t unitType) {
  switch (unitType) {
    case HSI_UNIT_INCHES:
      return "inches";
    case HSI_UNIT_MILLIMETRES:
      return "millimetres";
    case HSI_UNIT_CENTIMETRES:
      return "centimetres";
    case HSI_UNIT_METRES:
      return "metres";
    case HSI_UNIT_FEET:
      return "feet";
    case HSI_UNIT_FEET_INCHES:
      return "feet-inches";
    default:
      return "unknown";
  }
}

}  // namespace host
