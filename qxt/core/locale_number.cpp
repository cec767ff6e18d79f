#include "core/locale_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "core/numedit.h"

namespace qxt {

namespace {
constexpr int kMaxDecimals = 18;
}  // namespace

// The platform's application settings carry the locale's decimal separator only. The stand-in
// machine is English (United States), whose thousands separator is the comma; a locale that
// writes decimals with a comma groups thousands with a point, so the two never coincide.
char LocaleThousandsSeparator() { return LocaleDecimalSeparator() == ',' ? '.' : ','; }

std::string GroupedFixedText(double value, int decimals, char decimalSeparator,
                             char thousandsSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  decimals = std::clamp(decimals, 0, kMaxDecimals);

  // The digits with a point as separator: a finite double has at most 309 integer digits.
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string_view plain(buffer);

  bool negative = false;
  if (!plain.empty() && plain.front() == '-') {
    plain.remove_prefix(1);
    // A value that rounds to zero is written without its sign.
    negative = plain.find_first_not_of("0.") != std::string_view::npos;
  }
  const std::size_t point = plain.find('.');
  const std::string_view whole = plain.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : plain.substr(point + 1);

  std::string grouped;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += thousandsSeparator;
    grouped += whole[i];
  }
  std::string text = negative ? "-" + grouped : grouped;
  if (!fraction.empty()) {
    text += decimalSeparator;
    text += fraction;
  }
  return text;
}

std::string LocaleGroupedFixedText(double value, int decimals) {
  return GroupedFixedText(value, decimals, LocaleDecimalSeparator(), LocaleThousandsSeparator());
}

}  // namespace qxt
