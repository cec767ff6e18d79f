// Numbers written for people in the user's locale: fixed decimals with the locale's decimal
// separator and its thousands separator between groups of three digits ("12,345.68").
#pragma once

#include <string>

namespace qxt {

// The thousands separator of the user's locale.
char LocaleThousandsSeparator();

// `value` with exactly `decimals` decimals (0 to 18; others are brought within that), rounded
// to nearest, grouped in thousands: the decimal separator and the thousands separator as given.
// A value that is not finite is written "INF", "-INF" or "NAN".
std::string GroupedFixedText(double value, int decimals, char decimalSeparator,
                             char thousandsSeparator);

// The same with the separators of the user's locale.
std::string LocaleGroupedFixedText(double value, int decimals);

}  // namespace qxt
