// Length texts through the real host engine: the settings each conversion uses, and that it
// leaves every host setting as it found it; the two-point pick; the layer and window helpers.
#include "core/units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/two_point.h"
#include "host/host.h"
#include "machine_test.h"
#include "platform/system.h"
#include "platform/window_handle.h"

namespace qxt {
namespace {

// The shared fresh machine, with the host at scale 1.
class Units : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    h = host_;
    h->SetScale(1.0);
  }
  void Use(uint16_t scaledUnits, int32_t pointsPerUnit, int space = 1) {
    host::UnitSettings& u = h->MutableUnits();
    u.scaledUnits = scaledUnits;
    u.pointsPerUnit = pointsPerUnit;
    u.denominator = 32;
    u.precision = 2;
    u.space = space;
  }
  // The scaled-unit modes the host was switched to since the call log was cleared.
  std::vector<std::string> ModesSet() const {
    std::vector<std::string> modes;
    for (const host::CallRecord& call : h->CallsTo("HsiSetScaledUnits")) modes.push_back(call.args);
    return modes;
  }

  host::Host* h = nullptr;
  testsupport::TestUser& input = user;
};

void ExpectSameUnits(const host::UnitSettings& a, const host::UnitSettings& b,
                     const std::string& what) {
  EXPECT_EQ(a.unitType, b.unitType) << what;
  EXPECT_EQ(a.paperUnit, b.paperUnit) << what;
  EXPECT_EQ(a.scaledUnits, b.scaledUnits) << what;
  EXPECT_EQ(a.pointsPerUnit, b.pointsPerUnit) << what;
  EXPECT_EQ(a.denominator, b.denominator) << what;
  EXPECT_EQ(a.precision, b.precision) << what;
  EXPECT_EQ(a.drawingScale, b.drawingScale) << what;
  EXPECT_EQ(a.plotScale, b.plotScale) << what;
  EXPECT_EQ(a.space, b.space) << what;
}

TEST_F(Units, EveryConversionLeavesTheHostSettingsAsTheyWere) {
  for (uint16_t mode : {HSI_SCALED_FRACTIONS, HSI_SCALED_DECIMALS}) {
    for (int space : {0, 1}) {
      Use(mode, 8000, space);
      const host::UnitSettings before = h->Units();
      const std::string where = "mode " + std::to_string(mode) + " space " + std::to_string(space);
      int32_t dbu = 0;
      PaperDistToText(8);
      ExpectSameUnits(h->Units(), before, "PaperDistToText, " + where);
      DistToText(8000);
      ExpectSameUnits(h->Units(), before, "DistToText, " + where);
      for (const char* text :
           {"1/8\"", "0.125", "3\"", "1'-6 3/8\"", "25cm", "not a length", "1/0", "./."}) {
        TextToPaperDist(text, dbu);
        ExpectSameUnits(h->Units(), before, std::string("TextToPaperDist ") + text + ", " + where);
        TextToDist(text, dbu);
        ExpectSameUnits(h->Units(), before, std::string("TextToDist ") + text + ", " + where);
      }
    }
  }
}

TEST_F(Units, PaperLengthsShowAsFinelyAsThePointsPerUnitAllow) {
  // 8000 points per unit: fractions to 1/1024 (not 1/8000), decimals to 4 places.
  Use(HSI_SCALED_FRACTIONS, 8000);
  EXPECT_EQ(PaperDistToText(8), "1/1024\"");  // 0.001 inch; the zero part "0 " is dropped
  EXPECT_EQ(PaperDistToText(8000 * 2 + 1000), "2 1/8\"");
  Use(HSI_SCALED_DECIMALS, 8000);
  EXPECT_EQ(PaperDistToText(8), "0.0010\"");
  // A coarse drawing keeps its own resolution: 16 points per unit give sixteenths, 2 places.
  Use(HSI_SCALED_FRACTIONS, 16);
  EXPECT_EQ(PaperDistToText(6), "3/8\"");
  Use(HSI_SCALED_DECIMALS, 16);
  EXPECT_EQ(PaperDistToText(6), "0.38\"");
  // The default resolution: 3/32 inch as text sizes are stored.
  Use(HSI_SCALED_FRACTIONS, 768000);
  EXPECT_EQ(PaperDistToText(72000), "3/32\"");
  Use(HSI_SCALED_DECIMALS, 768000);
  EXPECT_EQ(PaperDistToText(72000), "0.093750\"");
}

TEST_F(Units, TheTextChoosesFractionOrDecimalReading) {
  Use(HSI_SCALED_DECIMALS, 768000);
  int32_t dbu = 0;
  h->ClearCalls();
  EXPECT_EQ(TextToDist("3/8\"", dbu), HSI_SUCCESS);
  EXPECT_EQ(dbu, 288000);
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"64550", "64551"}));  // fractions, then back

  Use(HSI_SCALED_FRACTIONS, 768000);
  h->ClearCalls();
  EXPECT_EQ(TextToPaperDist("0.125", dbu), HSI_SUCCESS);
  EXPECT_EQ(dbu, 96000);
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"64551", "64550"}));  // decimals, then back

  h->ClearCalls();
  EXPECT_EQ(TextToDist("6\"", dbu), HSI_SUCCESS);
  EXPECT_EQ(dbu, 6 * 768000);
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"64550"}));  // only put back
}

TEST_F(Units, PaperLengthsAreReadInPaperSpace) {
  Use(HSI_SCALED_FRACTIONS, 768000, 1);
  h->SetScale(48.0);
  int32_t paper = 0, drawing = 0;
  EXPECT_EQ(TextToPaperDist("1/8\"", paper), HSI_SUCCESS);
  EXPECT_EQ(TextToDist("1/8\"", drawing), HSI_SUCCESS);
  EXPECT_EQ(paper, drawing * 48);
  EXPECT_EQ(PaperDistToText(paper), "1/8\"");
  EXPECT_EQ(h->Units().space, 1);
}

TEST_F(Units, OnlyTheFirstTwentyCharactersAreRead) {
  Use(HSI_SCALED_FRACTIONS, 768000);
  int32_t dbu = 0;
  const std::string twenty = "1'-6\"" + std::string(15, ' ');
  ASSERT_EQ(twenty.size(), 20u);
  EXPECT_EQ(TextToDist(twenty + "junk", dbu), HSI_SUCCESS);
  EXPECT_EQ(dbu, 18 * 768000);
  EXPECT_EQ(TextToDist(std::string(19, ' ') + "12", dbu), HSI_SUCCESS);
  EXPECT_EQ(dbu, 1 * 768000);  // the host saw "...1", the 2 was cut off
}

TEST_F(Units, RefusedTextsReturnTheHostStatusAndKeepTheValue) {
  Use(HSI_SCALED_FRACTIONS, 768000);
  int32_t dbu = 12345;
  EXPECT_EQ(TextToDist("1/0", dbu), HSI_FAILURE);
  EXPECT_EQ(dbu, 12345);
  EXPECT_EQ(TextToPaperDist("", dbu), HSI_FAILURE);
  EXPECT_EQ(dbu, 12345);
  EXPECT_TRUE(platform::GetHistory().messages.empty());
}

TEST_F(Units, TwoPointInputGivesBothPointsWithARubberBand) {
  input.Point(100, 200);
  input.Point(5000, 7000);
  HsiPoint p1{}, p2{};
  int16_t extra = 5, status = -1;
  EXPECT_TRUE(TwoPointInput("First point", "Second point", p1, false, extra, status, p2));
  EXPECT_EQ(status, HSI_POINT_GIVEN);
  EXPECT_EQ(p1.x, 100);
  EXPECT_EQ(p2.y, 7000);
  EXPECT_EQ(input.prompts, (std::vector<std::string>{"First point", "Second point"}));
  const std::vector<host::CallRecord> cursors = h->CallsTo("HsiMakeCursor");
  ASSERT_EQ(cursors.size(), 1u);
  EXPECT_EQ(cursors[0].args.substr(0, 12), "0, 1, (100,2");  // style 1 from the first point
  EXPECT_EQ(h->CallsTo("HsiDeleteCursor").size(), 1u);
  EXPECT_FALSE(h->Cursor().active);
}

TEST_F(Units, TwoPointInputStartsAgainOnOtherStatusesAndStopsOnCancel) {
  using K = host::PointReply::Kind;
  input.Point(0, 0);
  input.Reply(K::Button2);  // second point: start again from the first
  input.Point(10, 10);
  input.Reply(K::Escape);
  HsiPoint p1{}, p2{};
  int16_t extra = 0, status = -1;
  EXPECT_FALSE(TwoPointInput("A", "B", p1, false, extra, status, p2));
  EXPECT_EQ(status, HSI_POINT_CANCELLED);
  EXPECT_EQ(input.prompts, (std::vector<std::string>{"A", "B", "A", "B"}));
  EXPECT_EQ(h->CallsTo("HsiDeleteCursor").size(), 2u);

  input.prompts.clear();
  input.Reply(K::Button2);  // a first request without a point ends the pick
  EXPECT_FALSE(TwoPointInput("A", "B", p1, false, extra, status, p2));
  EXPECT_EQ(status, HSI_POINT_BUTTON2);
  EXPECT_EQ(input.prompts, (std::vector<std::string>{"A"}));
}

TEST_F(Units, TwoPointInputEndsWhenTheHostFailsARequest) {
  using K = host::PointReply::Kind;
  HsiPoint p1{}, p2{};
  int16_t extra = 0, status = -1;
  // The first request fails: no band is made and nothing is asked again.
  input.Reply(K::Fail);
  EXPECT_FALSE(TwoPointInput("A", "B", p1, true, extra, status, p2));
  EXPECT_EQ(status, HSI_POINT_CANCELLED);
  EXPECT_EQ(input.prompts, std::vector<std::string>{"A"});
  EXPECT_TRUE(h->CallsTo("HsiMakeCursor").empty());

  // The second one fails: the band is deleted again.
  input.prompts.clear();
  input.Point(10, 10);
  input.Reply(K::Fail);
  EXPECT_FALSE(TwoPointInput("A", "B", p1, true, extra, status, p2));
  EXPECT_EQ(input.prompts, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(h->CallsTo("HsiMakeCursor").size(), 1u);
  EXPECT_EQ(h->CallsTo("HsiDeleteCursor").size(), 1u);
  EXPECT_FALSE(h->Cursor().active);
  EXPECT_TRUE(platform::GetHistory().messages.empty());
}

TEST_F(Units, SnappedSecondPointOutsideTheWorldIsRefusedAndThePickStartsAgain) {
  h->SetSnapAngle(45);
  input.Point(0, 0);
  input.Point(1800000000, 2100000000);  // about 49 degrees: x would become 2.1e9
  input.Point(1000, 2000);
  input.Point(1000 + 10000, 2000 + 3640);  // about 20 degrees: onto 0
  HsiPoint p1{}, p2{};
  int16_t extra = 0, status = 0;
  EXPECT_TRUE(TwoPointInput("A", "B", p1, true, extra, status, p2));
  EXPECT_EQ(p1.x, 1000);
  EXPECT_EQ(p2.x, 11000);
  EXPECT_EQ(p2.y, 2000);
  const auto& messages = platform::GetHistory().messages;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].request.text, "Entered point falls outside world");
  EXPECT_EQ(messages[0].request.caption, "QX Tools (Warning!)");
  EXPECT_EQ(h->CallsTo("HsiMakeCursor")[0].args.substr(0, 4), "0, 3");  // the snapped band
}

TEST_F(Units, SnapToAngleFollowsTheHostsSnapAngle) {
  HsiPoint p2{1000 + 8391, 2000 + 10000};  // about 50 degrees
  h->SetSnapAngle(0);
  SnapToAngle({1000, 2000}, p2);
  EXPECT_EQ(p2.x, 9391);
  h->SetSnapAngle(45);
  SnapToAngle({1000, 2000}, p2);
  EXPECT_EQ(p2.x, 11000);
  EXPECT_EQ(p2.y, 12000);
  h->SetSnapAngle(120);
  HsiPoint q2{10000, -2500};  // about 346 degrees: onto 0, not 30
  SnapToAngle({0, 0}, q2);
  EXPECT_EQ(q2.y, 0);
}

TEST_F(Units, LayerColourFallsBackToTheCurrentColour) {
  h->SetLayerColour(5, 3);
  h->SetLayerColour(6, 0);
  h->SetCurrentColour(9);
  EXPECT_EQ(LayerColor(5), 3);
  EXPECT_EQ(LayerColor(6), 9);
}

TEST_F(Units, HostClientAreaFollowsTheHostWindow) {
  const platform::WindowHandle main = HsiGetWindowHandle();
  const platform::Point before = HostClientOrigin();
  const platform::Rect bounds = platform::WindowRect(main);
  platform::SetWindowBounds(
      main, {bounds.left + 40, bounds.top + 30, bounds.right + 40, bounds.bottom + 30});
  const platform::Point after = HostClientOrigin();
  EXPECT_EQ(after.x - before.x, 40);
  EXPECT_EQ(after.y - before.y, 30);
  EXPECT_EQ(HostClientRect(), platform::ClientRect(main));
  EXPECT_GT(HostClientRect().Width(), 0);
}

}  // namespace
}  // namespace qxt
