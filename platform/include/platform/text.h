// Texts of the 8-bit Windows world written out for the world outside it (JSON, SVG, HTML).
#pragma once

#include <string>

namespace platform {

// Texts here are 8-bit strings: mostly UTF-8, but a text may also hold single bytes of the
// Western Windows code page (a degree sign as 0xB0, an en dash as 0x96). Every valid UTF-8
// sequence is kept and every other byte is written as the character it stands for in that code
// page (the five bytes the code page leaves unused stand for themselves), so the result is
// always valid UTF-8.
std::string Utf8Text(const std::string& text);

// Utf8Text escaped for XML character data and attribute values: '&', '<', '>' and both quotes
// as entities, and the control characters XML does not allow (all below a blank but tab, line
// feed and carriage return) as blanks, so a text keeps its length in characters.
std::string XmlText(const std::string& text);

}  // namespace platform
