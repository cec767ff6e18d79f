// The configuration record's bytes, defaults, conversion from the earlier format and version test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config_bytes.h"
#include "core/config.h"

namespace qxt {
namespace {

using test::Bytes;
using test::ExpectedDefaultBytes;
using test::RecordBytes;

TEST(ConfigRecord, DefaultsMatchTheDocumentedRecordByteForByte) {
  const std::string base = "C:\\TRACELON\\QXTOOLS";
  const Bytes expected = ExpectedDefaultBytes(base);
  const Bytes actual = RecordBytes(DefaultConfig(base));
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(int(actual[i]), int(expected[i])) << "first difference at offset " << i;
  }
  // Plan-type slot 48 is 50 zero bytes at the end of the plan types.
  for (std::size_t i = 1769 + 48 * 50; i < 1769 + 49 * 50; ++i) EXPECT_EQ(actual[i], 0) << i;
}

TEST(ConfigRecord, StringsAreCutToTheirFieldAndDamagedLengthsAreBounded) {
  QXConfig c = DefaultConfig("C:\\X");
  c.Version.Set("5.10.123");
  EXPECT_EQ(c.Version.Get(), "5.10.");
  c.DoorSizeCode[0].Set("1234");
  EXPECT_EQ(c.DoorSizeCode[0].Get(), "12");
  // A length byte beyond the field (a damaged file) never reads past the field.
  c.DoorSizeCode[0].Length = 200;
  EXPECT_EQ(c.DoorSizeCode[0].Get(), "12");
  // Shortening clears the bytes that are no longer used.
  c.DimMarkerSymbol.Set("AB");
  const Bytes bytes = RecordBytes(c);
  EXPECT_EQ(bytes[776], 2);
  for (std::size_t i = 779; i < 790; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

// An earlier-format record whose every field holds a value of its own, so that a field landing
// in the wrong place shows.
QXConfigEarlier DistinctiveEarlierRecord() {
  QXConfigEarlier e{};
  unsigned char* raw = reinterpret_cast<unsigned char*>(&e);
  for (std::size_t i = 0; i < sizeof e; ++i) raw[i] = static_cast<unsigned char>(i * 7 + 3);
  e.ConfigValid = 0;
  e.Version.Set("4.2");
  return e;
}

TEST(ConfigRecord, EarlierFormatConvertsEveryFieldToItsNewPlace) {
  const QXConfigEarlier earlier = DistinctiveEarlierRecord();
  const Bytes old = RecordBytes(earlier);
  const Bytes converted = RecordBytes(ConvertEarlierConfig(earlier));
  ASSERT_EQ(old.size(), 4604u);
  ASSERT_EQ(converted.size(), 5254u);

  // Flag and version are the current ones.
  EXPECT_EQ(converted[0], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&converted[2]), converted[1]), "5.10");
  // Everything else up to the plan types, and the 36 plan-type slots, in place.
  for (std::size_t i = 7; i < 3569; ++i) ASSERT_EQ(converted[i], old[i]) << "offset " << i;
  // Slots 36..48 empty.
  for (std::size_t i = 3569; i < 4219; ++i) ASSERT_EQ(converted[i], 0) << "offset " << i;
  // Scales, scale state, snap settings and door reference scale 650 bytes later.
  for (std::size_t i = 3569; i < 4604; ++i) ASSERT_EQ(converted[i + 650], old[i]) << "old " << i;
}

TEST(ConfigRecord, VersionTextDecidesTheFormat) {
  struct Case {
    const char* text;
    ConfigFormat format;
  };
  const Case cases[] = {
      {"5.10", ConfigFormat::Current},
      {"5.1", ConfigFormat::Current},
      {"5.05", ConfigFormat::Current},
      {"5.01", ConfigFormat::Current},
      {"5.11", ConfigFormat::Later},
      {"6", ConfigFormat::Later},
      {"5.2", ConfigFormat::Later},
      {"5", ConfigFormat::Earlier},
      {"5.00", ConfigFormat::Earlier},
      {"4.2", ConfigFormat::Earlier},
      {"", ConfigFormat::Earlier},
      {"abc", ConfigFormat::Earlier},
      {"5.1x", ConfigFormat::Earlier},
      {"-7", ConfigFormat::Earlier},
      {"nan", ConfigFormat::Earlier},
      {"1e300", ConfigFormat::Later},
      // A sign belongs to a number; blanks do not, so such a text is not a number at all.
      {"+5.10", ConfigFormat::Current},
      {"+6", ConfigFormat::Later},
      {" 5.10", ConfigFormat::Earlier},
      {"5.10 ", ConfigFormat::Earlier},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyConfigVersion(c.text), c.format) << "version text \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace qxt
