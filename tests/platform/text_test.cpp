#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextTest, WindowsBytesBecomeTheirCharactersAndUtf8IsKept) {
  // A degree sign, an en dash and a euro sign as single bytes of the Western code page.
  EXPECT_EQ(Utf8Text("45\xB0 \x96 \x80"), "45\u00B0 \u2013 \u20AC");
  // The same degree sign already in UTF-8, and a character beyond the basic plane, stay.
  EXPECT_EQ(Utf8Text("90\xC2\xB0 \xF0\x9F\x93\x90"), "90\u00B0 \U0001F4D0");
  // Bytes the code page leaves unused stand for themselves.
  EXPECT_EQ(Utf8Text("\x81\x9D"), "\u0081\u009D");
  EXPECT_EQ(Utf8Text(""), "");
}

TEST(TextTest, BrokenUtf8IsReadByteByByte) {
  // An overlong form, a lead byte cut off at the end, an encoded surrogate and a lead byte
  // followed by plain text are not UTF-8: each of their bytes is a code-page character.
  EXPECT_EQ(Utf8Text("\xC0\x80"), "\u00C0\u20AC");
  EXPECT_EQ(Utf8Text("a\xE2\x82"), "a\u00E2\u201A");
  EXPECT_EQ(Utf8Text("\xED\xA0\x80"), "\u00ED\u00A0\u20AC");
  EXPECT_EQ(Utf8Text("\xC3x"), "\u00C3x");
}

TEST(TextTest, XmlTextEscapesMarkupAndBlanksForbiddenControls) {
  EXPECT_EQ(XmlText("<a href=\"x\">R&D's</a>"),
            "&lt;a href=&quot;x&quot;&gt;R&amp;D&apos;s&lt;/a&gt;");
  EXPECT_EQ(XmlText(std::string("a\x01\tb\nc\rd\x1F", 9)), "a \tb\nc\rd ");
  EXPECT_EQ(XmlText("3\xB0"), "3\u00B0");
}

}  // namespace
}  // namespace platform
