// The host's unit notation through HsiDbutoString / HsiStringtoDbu.
#include <cmath>
#include <cstring>

#include "host_fixture.h"

namespace {

using hosttest::HostTest;

class UnitNotation : public HostTest {
 protected:
  std::string Text(int32_t dbu) {
    char buffer[HSI_UNIT_TEXT_SIZE];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(HsiDbutoString(dbu, buffer), HSI_SUCCESS);
    return buffer;
  }
  // The value read, or the sentinel when the host refused the text.
  int64_t Read(const char* text) {
    int32_t value = 123456789;
    HsiStatus status = HsiStringtoDbu(text, &value);
    if (status != HSI_SUCCESS) {
      EXPECT_EQ(status, HSI_FAILURE);
      EXPECT_EQ(value, 123456789) << "a refused text changed the value: " << text;
      return -1;
    }
    return value;
  }
};

TEST_F(UnitNotation, FeetInchesWithFractionsBothWays) {
  // 768000 DBU per inch, denominator 32.
  struct Case {
    int32_t dbu;
    const char* text;
  } cases[] = {{14112000, "1'-6 3/8\""}, {72000, "0'-0 3/32\""}, {9216000, "1'-0\""},
               {-4608000, "-0'-6\""},    {0, "0'-0\""},          {96000, "0'-0 1/8\""}};
  for (const auto& c : cases) {
    EXPECT_EQ(Text(c.dbu), c.text);
    EXPECT_EQ(Read(c.text), c.dbu) << c.text;
  }
  // Other ways of writing the same lengths.
  EXPECT_EQ(Read("1'6 3/8\""), 14112000);
  EXPECT_EQ(Read(" 1' - 6 3/8 \" "), 14112000);
  EXPECT_EQ(Read("18 3/8"), 14112000);  // a bare number is inches
  EXPECT_EQ(Read("1.53125'"), 14112000);
  EXPECT_EQ(Read("3/32\""), 72000);
  EXPECT_EQ(Read(".5\""), 384000);
  EXPECT_EQ(Read("+1'"), 9216000);
  // Rounded to the denominator, reduced.
  EXPECT_EQ(Text(768000 / 32 * 4 + 1), "0'-0 1/8\"");
}

TEST_F(UnitNotation, DecimalsAndOtherUnitTypes) {
  ASSERT_EQ(HsiSetScaledUnits(HSI_SCALED_DECIMALS), HSI_SUCCESS);
  EXPECT_EQ(Text(14112000), "1'-6.38\"");
  ASSERT_EQ(HsiSetUnitType(HSI_UNIT_INCHES), HSI_SUCCESS);
  EXPECT_EQ(Text(14112000), "18.38\"");
  ASSERT_EQ(HsiSetUnitType(HSI_UNIT_FEET), HSI_SUCCESS);
  ASSERT_EQ(HsiSetPntsPerUnit(12000), HSI_SUCCESS);  // per foot
  EXPECT_EQ(Text(18000), "1.50'");
  EXPECT_EQ(Read("1.5"), 18000);
  EXPECT_EQ(Read("18\""), 18000);
  ASSERT_EQ(HsiSetScaledUnits(HSI_SCALED_FRACTIONS), HSI_SUCCESS);
  EXPECT_EQ(Text(18000), "1 1/2'");

  ASSERT_EQ(HsiSetUnitType(HSI_UNIT_MILLIMETRES), HSI_SUCCESS);
  ASSERT_EQ(HsiSetPntsPerUnit(100), HSI_SUCCESS);
  ASSERT_EQ(HsiSetDispPrecision(0), HSI_SUCCESS);
  EXPECT_EQ(Text(3000), "30mm");  // metric is decimal even in fraction mode
  EXPECT_EQ(Read("30mm"), 3000);
  EXPECT_EQ(Read("25cm"), 25000);
  EXPECT_EQ(Read("25 cm"), 25000);
  EXPECT_EQ(Read("1.5m"), 150000);
  EXPECT_EQ(Read("1\""), 2540);
  ASSERT_EQ(HsiSetUnitType(HSI_UNIT_CENTIMETRES), HSI_SUCCESS);
  EXPECT_EQ(Text(2500), "25cm");
}

TEST_F(UnitNotation, PaperSpaceUsesThePaperUnitAndTheDrawingScale) {
  // A quarter-inch scale drawing: 16000 DBU per drawing inch, 48 drawing inches per paper inch.
  ASSERT_EQ(HsiSetPntsPerUnit(16000), HSI_SUCCESS);
  ASSERT_EQ(HsiSetDwgScale(48.0), HSI_SUCCESS);
  EXPECT_EQ(Text(72000), "0'-4 1/2\"");
  ASSERT_EQ(HsiSetSpace(0), HSI_SUCCESS);
  EXPECT_EQ(Text(72000), "0 3/32\"");
  EXPECT_EQ(Read("3/32\""), 72000);
  EXPECT_EQ(Read("1/8"), 96000);
}

TEST_F(UnitNotation, TextsThatAreNoLengthAreRefusedAndLeaveTheValue) {
  for (const char* bad : {"", "   ", "abc", "12abc", "1ft", "3/0", "3/1.5", "--1", "1'-", "6\"x",
                          "1/2/3", "9999999999999", "'", "\"", "1 2"})
    EXPECT_EQ(Read(bad), -1) << "accepted: [" << bad << "]";
  int32_t value = 5;
  EXPECT_EQ(HsiStringtoDbu(nullptr, &value), HSI_FAILURE);
  EXPECT_EQ(HsiStringtoDbu("1\"", nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiDbutoString(1, nullptr), HSI_FAILURE);
  EXPECT_EQ(value, 5);
}

TEST_F(UnitNotation, SettingsAreValidated) {
  EXPECT_EQ(HsiSetUnitType(0xFC27), HSI_FAILURE);
  EXPECT_EQ(HsiSetScaledUnits(HSI_UNIT_FEET), HSI_FAILURE);
  EXPECT_EQ(HsiSetPntsPerUnit(0), HSI_FAILURE);
  EXPECT_EQ(HsiSetDispDenom(0), HSI_FAILURE);
  EXPECT_EQ(HsiSetDispPrecision(11), HSI_FAILURE);
  EXPECT_EQ(HsiSetDwgScale(0.0), HSI_FAILURE);
  EXPECT_EQ(HsiSetSpace(2), HSI_FAILURE);
  EXPECT_EQ(HsiGetUnitType(), HSI_UNIT_FEET_INCHES);
  EXPECT_EQ(HsiGetPntsPerUnit(), 768000);
  EXPECT_EQ(HsiGetSpace(), 1);
  // The engine keeps the same rules for its own callers (the host program, the sessions).
  EXPECT_FALSE(host_->SetPointsPerUnit(-5));
  EXPECT_FALSE(host_->SetDrawingScale(std::nan("")));
  EXPECT_FALSE(host_->SetPlotScale(-1));
  EXPECT_FALSE(host_->SetPrecision(-1));
  EXPECT_FALSE(host_->SetDenominator(0));
  EXPECT_FALSE(host_->SetSpace(-1));
  EXPECT_FALSE(host_->SetPaperUnit(0));
  EXPECT_FALSE(host_->SetScaledUnits(HSI_UNIT_INCHES));
  EXPECT_EQ(host_->Units().pointsPerUnit, 768000);
  EXPECT_DOUBLE_EQ(host_->Units().drawingScale, 1.0);
  EXPECT_TRUE(host_->SetPlotScale(96));
  EXPECT_DOUBLE_EQ(host_->Units().plotScale, 96.0);
  EXPECT_DOUBLE_EQ(host_->Units().drawingScale, 1.0);
  // The active layer is always shown, whichever way its state is written.
  EXPECT_FALSE(host_->SetLayerOn(host_->ActiveLayer(), false));
  EXPECT_TRUE(host_->Layer(host_->ActiveLayer()).On());
}

// Whatever length the host shows, it reads back, and to nearly the same length: at the ends of the
// range of drawing units, where rounding to the nearest step would leave the range, and where a
// tiny drawing scale makes paper-space lengths too long for the text buffer at full accuracy.
TEST_F(UnitNotation, EveryShownLengthReadsBackNearTheLengthShown) {
  const uint16_t types[] = {HSI_UNIT_FEET_INCHES, HSI_UNIT_FEET,        HSI_UNIT_INCHES,
                            HSI_UNIT_MILLIMETRES, HSI_UNIT_CENTIMETRES, HSI_UNIT_METRES};
  const int32_t lengths[] = {
      INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, 1000000000, -987654321, 1, -1};
  int checked = 0;
  for (uint16_t unit : types)
    for (uint16_t mode : {HSI_SCALED_FRACTIONS, HSI_SCALED_DECIMALS})
      for (int32_t perUnit : {1, 768000})
        for (double scale : {1.0, 0.001})
          for (int16_t space : {0, 1}) {
            ASSERT_EQ(HsiSetUnitType(unit), HSI_SUCCESS);
            ASSERT_EQ(HsiSetPaperUnit(unit), HSI_SUCCESS);
            ASSERT_EQ(HsiSetScaledUnits(mode), HSI_SUCCESS);
            ASSERT_EQ(HsiSetPntsPerUnit(perUnit), HSI_SUCCESS);
            ASSERT_EQ(HsiSetDispPrecision(space == 0 ? 7 : 3), HSI_SUCCESS);
            ASSERT_EQ(HsiSetDispDenom(space == 0 ? 128 : 1), HSI_SUCCESS);
            ASSERT_EQ(HsiSetDwgScale(scale), HSI_SUCCESS);
            ASSERT_EQ(HsiSetSpace(space), HSI_SUCCESS);
            for (int32_t dbu : lengths) {
              const std::string shown = Text(dbu);
              int32_t back = 0;
              ASSERT_EQ(HsiStringtoDbu(shown.c_str(), &back), HSI_SUCCESS)
                  << shown << " from " << dbu;
              // Within one step of the notation (a whole unit at worst) plus rounding.
              const double unitDbu = perUnit * (space == 0 ? scale : 1.0) *
                                     (unit == HSI_UNIT_FEET_INCHES ? 12.0 : 1.0);
              EXPECT_LE(std::fabs(static_cast<double>(back) - dbu), unitDbu + 1.0)
                  << shown << " from " << dbu;
              ++checked;
            }
          }
  EXPECT_EQ(checked, 6 * 2 * 2 * 2 * 2 * 8);
}

}  // namespace
