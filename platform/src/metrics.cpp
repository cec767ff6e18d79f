// The fixed text measure: every character has an advance width that depends only on the face,
// the size and boldness, so wrapping and layout come out the same on every machine.
#include "platform/metrics.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace platform::metrics {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Width of a character in thousandths of the font's pixel height.
int Units(char c) {
  switch (c) {
    case ' ':
      return 280;
    case 'i':
    case 'l':
    case 'j':
    case 'I':
    case '.':
    case ',':
    case ':':
    case ';':
    case '\'':
    case '!':
    case '|':
      return 250;
    case 'f':
    case 't':
    case 'r':
    case '(':
    case ')':
    case '[':
    case ']':
    case '/':
    case '\\':
    case '-':
    case '"':
    case '`':
      return 350;
    case 'm':
    case 'w':
      return 780;
    case 'M':
    case 'W':
      return 830;
    default:
      break;
  }
  unsigned char u = static_cast<unsigned char>(c);
  if (std::isdigit(u)) return 550;
  if (std::islower(u)) return 520;
  if (std::isupper(u)) return 650;
  return 550;
}

}  // namespace

int FontPixelHeight(int points) {
  return static_cast<int>(std::lround(std::abs(points) * PixelsPerInch / 72.0));
}

bool IsFixedPitch(const std::string& face) {
  std::string f = Lower(face);
  return f == "courier" || f == "courier new" || f == "lucida console" || f == "fixedsys" ||
         f == "terminal";
}

bool IsTrueTypeFace(const std::string& face) {
  static const char* const kTrueType[] = {
      "arial",          "times new roman", "courier new", "verdana",       "tahoma",      "georgia",
      "lucida console", "symbol",          "wingdings",   "comic sans ms", "trebuchet ms"};
  std::string f = Lower(face);
  return std::any_of(std::begin(kTrueType), std::end(kTrueType),
                     [&](const char* name) { return f == name; });
}

bool IsInstalledFace(const std::string& face) {
  static const char* const kOther[] = {"ms sans serif", "ms serif", "small fonts", "system",
                                       "courier",       "fixedsys", "terminal"};
  std::string f = Lower(face);
  return IsTrueTypeFace(face) || std::any_of(std::begin(kOther), std::end(kOther),
                                             [&](const char* name) { return f == name; });
}

int CharWidth(const Font& font, char c) {
  int height = FontPixelHeight(font.size);
  int units = IsFixedPitch(font.name) ? 600 : Units(c);
  if (font.bold) units += units / 10;
  int width = static_cast<int>(std::lround(units * height / 1000.0));
  return std::max(width, 1);
}

int TextWidth(const Font& font, const std::string& text) {
  int width = 0;
  for (char c : text) width += CharWidth(font, c);
  return width;
}

int TextHeight(const Font& font) {
  int height = FontPixelHeight(font.size);
  return height + (height + 4) / 5;  // the face's height plus its leading
}

}  // namespace platform::metrics
