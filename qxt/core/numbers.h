// Number and text helpers shared by every dialog: numbers as text and back, fields of a
// separated text, in-place replacement, and the names of the host's snap modes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qxt {

// x in the general format with up to 15 significant digits and no trailing zeros
// (96.0 gives "96", 0.5 gives "0.5", 1e20 gives "1e+20"). Always a point as decimal separator.
std::string RealToText(double x);

// The text read as a decimal number: optional sign, digits with an optional point (".5" and "5."
// are numbers), optional exponent. Any text that is not entirely such a number (blanks around it
// included: " 5" is not a number), and a number too large for a double, gives 0.
double TextToReal(std::string_view text);

// The same reading, telling a bad text apart from 0: nullopt when the text is not a number.
std::optional<double> ParseReal(std::string_view text);

// The text read as a whole number: optional sign and digits, blanks around allowed; nullopt
// when it is anything else or does not fit an int32.
std::optional<int32_t> ParseInt32(std::string_view text);

// Number of decimal digits of the integer part of n; 1 for anything below 10, negatives included.
int32_t DigitCount(double n);

// The n-th field (counting from 1) of text split at separator; the last field runs to the end of
// the text. Empty when the text has fewer than n fields or n is below 1.
std::string GetField(int n, std::string_view text, char separator);

// Replaces, left to right, every occurrence of `from` in `buffer` by `to`, resuming the search
// after each inserted text (so a `to` that contains `from` is not replaced again). The string
// grows as needed. An empty `from` changes nothing.
void ReplaceText(std::string& buffer, std::string_view from, std::string_view to);

// The last `count` characters of text, or the whole text when it is shorter; empty for a count
// of 0 or less.
std::string RightPart(std::string_view text, int count);

// Round to nearest, halves to the even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
double RoundHalfEven(double x);

// x rounded half-to-even into an int32, saturating at the ends of the range (NaN gives 0), so a
// runaway coordinate never becomes undefined behaviour.
int32_t RoundToInt32(double x);

// Snap modes of the host (0 "No Snap" .. 15 "Perpendicular").
inline constexpr int kSnapModeCount = 16;
// The name of a snap-mode code; "Undefined" for any other code.
std::string SnapModeName(int code);
// The code whose name equals `name` exactly (case-sensitive); 0 for any other text.
int SnapModeCode(std::string_view name);

}  // namespace qxt
