// Object snaps applied to picked points, typed points in the drawing's notation, and the sheet a
// new drawing is shown on.
#include <cmath>

#include "host_fixture.h"

namespace {

using hosttest::HostTest;
using Kind = host::PointReply::Kind;

constexpr int32_t kInch = 768000;  // DBU per inch at the start: full scale, feet-inches

class SnapTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // At full scale the pick aperture reaches 0.1 inch of paper: 76800 DBU.
    host_->AddLine({{0, 0}, {1000000, 0}, {1000000, 800000}});  // an L
    host_->AddLine({{500000, -300000}, {500000, 300000}});      // crossing the L's foot
    host_->AddArc({2000000, 0}, 400000, 0, 180);                // a half circle
    host_->AddArc({3500000, 0}, 200000, 0, 360);                // a whole circle
    host_->AddText({0, 2000000}, "NOTE");
  }

  // The snap modes `modes` set through the interface (as the snap toolbar does), then a point
  // picked at `at`: where the host answers it.
  host::Point Pick(std::initializer_list<int16_t> modes, host::Point at) {
    HsiSetSnapMode(0);
    for (int16_t m : modes) HsiSetSnapMode(m);
    input_.Point(at.x, at.y);
    HsiPoint p{};
    int16_t status = 0;
    HsiGetPoint("Pick...", &p, &status, nullptr);
    EXPECT_EQ(status, HSI_POINT_GIVEN);
    return {p.x, p.y};
  }

  HsiPoint Typed(const std::string& text) {
    host::PointReply reply;
    reply.kind = Kind::Typed;
    reply.text = text;
    input_.replies.push_back(reply);
    HsiPoint p{};
    int16_t status = 0;
    HsiGetPoint("Pick...", &p, &status, nullptr);
    EXPECT_EQ(status, HSI_POINT_GIVEN) << text;
    return p;
  }
};

TEST_F(SnapTest, EachModeMovesAPickOntoTheGeometryWithinTheAperture) {
  struct Case {
    int16_t mode;
    host::Point at, expected;
  };
  const int32_t r45 = 282843;  // 400000 x cos 45 degrees, rounded
  const Case cases[] = {
      {13, {1030000, 780000}, {1000000, 800000}},    // end of the L
      {13, {960000, 20000}, {960000, 20000}},        // its corner is no end: the pick stays
      {3, {960000, 20000}, {1000000, 0}},            // but a vertex
      {4, {530000, 40000}, {500000, 0}},             // where the lines cross
      {5, {700000, 50000}, {700000, 0}},             // nearest on the line
      {7, {1030000, 100000}, {1000000, 400000}},     // middle of the segment picked
      {7, {2050000, 380000}, {2000000, 400000}},     // middle of the half circle
      {6, {2010000, 430000}, {2000000, 0}},          // centre of the arc picked
      {9, {2000000, 430000}, {2000000, 400000}},     // on the arc
      {9, {3500000, 230000}, {3500000, 230000}},     // a whole circle is no arc
      {10, {3500000, 230000}, {3500000, 200000}},    // but a circle
      {8, {2260000, 300000}, {2000000 + r45, r45}},  // onto the arc at 45 degrees
      {12, {20000, 2030000}, {0, 2000000}},          // a text's insertion point
      {11, {10000, 10000}, {0, 0}},                  // the L's own point
      {1, {200000, 390000}, {192000, 384000}},       // a quarter inch of paper grid
      {13, {1200000, 400000}, {1200000, 400000}},    // nothing within the aperture
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Pick({c.mode}, c.at), c.expected) << "mode " << c.mode;
  }
  // The snapped point is reported, with the mode that found it; an unmoved pick is not.
  events_.events.clear();
  Pick({13}, {1030000, 780000});
  Pick({13}, {1200000, 400000});
  int snapped = 0;
  for (const auto& e : events_.events) {
    if (e.kind != host::HostEvent::Kind::PointSnapped) continue;
    ++snapped;
    EXPECT_EQ(e.text, "end 1000000,800000");
  }
  EXPECT_EQ(snapped, 1);
  EXPECT_EQ(host_->LastPoint(), (host::Point{1200000, 400000}));
}

TEST_F(SnapTest, PerpendicularAndTangentAreDrawnFromTheRubberBandsBase) {
  HsiPoint base{700000, 500000};
  HsiPoint other = base;
  ASSERT_EQ(HsiMakeCursor(0, HSI_CURSOR_LINE, &base, 0, &other, 0), HSI_SUCCESS);
  EXPECT_EQ(Pick({15}, {300000, 20000}), (host::Point{700000, 0}));
  base = {2000000, 800000};  // tangents touch the half circle at 30 and 150 degrees
  ASSERT_EQ(HsiMakeCursor(0, HSI_CURSOR_LINE, &base, 0, &other, 0), HSI_SUCCESS);
  EXPECT_EQ(Pick({14}, {2350000, 210000}), (host::Point{2346410, 200000}));
  // Without a rubber band the last point given is the base.
  HsiDeleteCursor();
  Pick({}, {300000, 600000});
  EXPECT_EQ(Pick({15}, {1020000, 300000}), (host::Point{1000000, 600000}));
}

TEST_F(SnapTest, CombinationsWhatIsSnappedAndWhatIsNot) {
  // A hierarchy of end then midpoint: the end where one is near, else the middle.
  EXPECT_EQ(Pick({13, 7}, {1010000, 790000}), (host::Point{1000000, 800000}));
  EXPECT_EQ(Pick({13, 7}, {1030000, 400000 + 5000}), (host::Point{1000000, 400000}));
  EXPECT_EQ(HsiGetSnapMode(), 7);  // the mode set last
  EXPECT_EQ(host_->SnapModes(), (std::vector<int>{13, 7}));
  // Grid snap is the fallback of the others, wherever it stands in the order.
  EXPECT_EQ(Pick({1, 3}, {960000, 20000}), (host::Point{1000000, 0}));
  EXPECT_EQ(Pick({1, 3}, {5000000, 5001000}), (host::Point{4992000, 4992000}));
  // The host's own setting puts one mode in force; 0 none.
  ASSERT_TRUE(host_->SetSnapMode(13));
  EXPECT_EQ(host_->SnapModes(), std::vector<int>{13});
  ASSERT_TRUE(host_->SetSnapMode(0));
  EXPECT_TRUE(host_->SnapModes().empty());
  EXPECT_EQ(Pick({}, {1010000, 790000}), (host::Point{1010000, 790000}));

  // Hidden layers and previews are not snapped to.
  host_->AddLine({{0, 5000000}, {100000, 5000000}}, 20);
  host_->SetLayerOn(20, false);
  EXPECT_EQ(Pick({13}, {10000, 5010000}), (host::Point{10000, 5010000}));
  // A pick of an object is not moved; a 3D point follows the 3D modes and keeps its z.
  HsiSetSnapMode(13);
  HsiSet3DSnapMode(13);
  input_.replies.push_back(testsupport::PointAt(1030000, 780000, 55));
  HsiPoint3D p3{};
  int16_t status = 0;
  HsiGet3DPoint("3D...", &p3, &status, nullptr);
  EXPECT_EQ(p3.x, 1000000);
  EXPECT_EQ(p3.y, 800000);
  EXPECT_EQ(p3.z, 55);
  input_.Point(1030000, 780000);
  int16_t list = HsiCreateLocalOsl(-1, 0, 0);
  HsiPoint at{};
  EXPECT_EQ(HsiSelectbyPoint(list, "Pick", 2, HSI_FALSE, HSI_TRUE, &at, 0), HSI_SUCCESS);
  EXPECT_EQ(at.x, 1030000);
}

TEST_F(SnapTest, TypedPointsInTheDrawingsNotation) {
  HsiSetSnapMode(13);  // typed points are taken as typed, never snapped
  HsiPoint p = Typed("18'-4\" 12'-0\"");
  EXPECT_EQ(p.x, 220 * kInch);
  EXPECT_EQ(p.y, 144 * kInch);
  p = Typed("@3'-0\",0");  // relative to the last point
  EXPECT_EQ(p.x, 256 * kInch);
  EXPECT_EQ(p.y, 144 * kInch);
  p = Typed("@ 10'<90");  // a length and an angle
  EXPECT_EQ(p.x, 256 * kInch);
  EXPECT_EQ(p.y, 264 * kInch);
  p = Typed("1' 6\" 6 3/8");  // blanks inside a length: one way to read it
  EXPECT_EQ(p.x, 18 * kInch);
  EXPECT_EQ(p.y, 6 * kInch + 3 * kInch / 8);
  p = Typed("@");
  EXPECT_EQ(p.x, 18 * kInch);

  // An unreadable answer is refused on the message line and the point asked again.
  host::PointReply bad;
  bad.kind = Kind::Typed;
  for (const char* text : {"12abc 3", "5'", "@10'<north"}) {
    bad.text = text;
    input_.replies.push_back(bad);
  }
  input_.prompts.clear();
  p = Typed("10,20");
  EXPECT_EQ(input_.prompts.size(), 4u);
  EXPECT_EQ(host_->MessageLine(),
            "Not a point: \"@10'<north\" (type X,Y or X Y, @DX,DY or @LENGTH<ANGLE, in the "
            "drawing's units)");
  EXPECT_EQ(p.x, 10 * kInch);  // a bare number is in inches

  // A metric drawing reads millimetres; a point beyond the drawing's range is refused.
  host_->SetUnitType(HSI_UNIT_MILLIMETRES);
  host_->SetPointsPerUnit(100);
  p = Typed("5600 3200");
  EXPECT_EQ(p.x, 560000);
  EXPECT_EQ(p.y, 320000);
  Typed("20000m,0");
  bad.text = "@2000m 0";
  input_.replies.push_back(bad);
  Typed("0,0");
  EXPECT_EQ(host_->MessageLine(), "The point \"@2000m 0\" lies beyond the drawing's range");
}

TEST_F(HostTest, ANewDrawingIsShownOnASheetAtItsScale) {
  // 1/4" = 1'-0": 36 x 24 inches of paper are 144 x 96 feet of drawing.
  host_->SetPointsPerUnit(16000);
  host_->SetScale(48);
  std::string svg = host_->ToSvg();
  EXPECT_NE(svg.find("data-min-x=\"0.00\" data-max-y=\"18432000.00\""), std::string::npos) << svg;
  host_->AddLine({{0, 0}, {1000, 1000}});
  EXPECT_NE(host_->ToSvg().find("data-max-y=\"1000.00\""), std::string::npos);
}

}  // namespace
