// The host tools that command numbers start: when they run, what they draw where the golden
// sessions do not look (arc sense, cuts inside arcs and polylines, mitres, metric walls), their
// refusals of unusable geometry, and undo.
#include <algorithm>

#include "host_fixture.h"

namespace {

using host::ArcData;
using host::LinesetData;
using host::Object;
using host::ObjectKind;
using host::Point;
using hosttest::HostTest;

class HostTools : public HostTest {
 protected:
  // Starts the command as the plug-in does and lets the host carry it out.
  void Run(int16_t command) {
    int16_t x = 0, y = 0;
    ASSERT_EQ(HsiMenuEntry(command, &x, &y), HSI_SUCCESS);
    host_->RunPendingTools();
  }
  std::vector<const Object*> Of(ObjectKind kind) const {
    std::vector<const Object*> out;
    for (const auto* o : host_->FinalObjects())
      if (o->Kind() == kind) out.push_back(o);
    return out;
  }
  static const ArcData& Arc(const Object* o) { return host::get<ArcData>(o->data); }
  static const host::PointList& Points(const Object* o) {
    return host::get<LinesetData>(o->data).points;
  }
};

TEST_F(HostTools, RunOnlyWhenControlIsBackWithTheHostAndUnknownNumbersAreOnlyRecorded) {
  int16_t x = 0, y = 0;
  ASSERT_EQ(HsiMenuEntry(1005, &x, &y), HSI_SUCCESS);
  ASSERT_EQ(HsiMenuEntry(1101, &x, &y), HSI_SUCCESS);
  EXPECT_TRUE(input_.prompts.empty());  // nothing asked while the plug-in's command runs
  EXPECT_TRUE(host_->ToolsPending());
  input_.Point(0, 0);
  input_.Point(0, 1000);
  host_->RunPendingTools();
  EXPECT_FALSE(host_->ToolsPending());
  EXPECT_EQ(input_.prompts, (std::vector<std::string>{"Pick the center point of the circle...",
                                                      "Pick a point on the circle..."}));
  ASSERT_EQ(Of(ObjectKind::Arc).size(), 1u);
  EXPECT_EQ(host_->HostCommands(), (std::vector<int>{1005, 1101}));
}

TEST_F(HostTools, ArcsRunCounterClockwiseThroughTheirMiddlePoint) {
  // Ends 2000 apart, the middle point above: counter-clockwise from the right end to the left.
  for (Point middle : {Point{0, 1000}, Point{0, -1000}}) {
    input_.Point(-1000, 0);
    input_.Point(1000, 0);
    input_.Point(middle.x, middle.y);
    Run(1012);
  }
  auto arcs = Of(ObjectKind::Arc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(Arc(arcs[0]).start, (Point{1000, 0}));
  EXPECT_EQ(Arc(arcs[0]).end, (Point{-1000, 0}));
  EXPECT_EQ(Arc(arcs[1]).start, (Point{-1000, 0}));
  EXPECT_EQ(Arc(arcs[1]).end, (Point{1000, 0}));
  EXPECT_EQ(arcs[1]->at, (Point{0, 0}));
  EXPECT_EQ(Arc(arcs[1]).radius, 1000);
}

TEST_F(HostTools, CirclesThatDoNotFitTheDrawingAreRefused) {
  // Three points almost on a line: the circle through them lies far outside the drawing.
  input_.Point(-2000000000, 0);
  input_.Point(2000000000, 1);
  input_.Point(0, 0);
  input_.Reply(host::PointReply::Kind::Escape);
  Run(1007);
  EXPECT_EQ(host_->MessageLine(), "The circle would be too large: pick another point.");
  EXPECT_TRUE(Of(ObjectKind::Arc).empty());
  // A radius past the coordinate range.
  input_.Point(2000000000, 0);
  input_.Point(-2000000000, 0);
  input_.Reply(host::PointReply::Kind::Escape);
  Run(1005);
  EXPECT_EQ(host_->MessageLine(), "The circle would be too large: pick another point.");
  EXPECT_TRUE(Of(ObjectKind::Arc).empty());
}

TEST_F(HostTools, TrimCutsInsideArcsAndPolylinesAndOneUndoBringsTheObjectBack) {
  // A quarter arc about the origin crossed twice by the edge x = 500.
  host_->AddArc({0, 0}, 1000, 0, 90);
  host_->AddLine({{500, -2000}, {500, 2000}});
  // A polyline whose middle segment the edge crosses.
  int32_t poly = host_->AddLine({{-3000, -1500}, {0, -1500}, {1000, -1500}, {1000, -3000}});
  input_.Point(500, 1500);  // the edge
  input_.Point(0, 1000);    // the arc's end beyond the edge: counter-clockwise, after x = 500
  input_.Point(-2000, -1500);
  input_.Reply(host::PointReply::Kind::Escape);
  Run(1157);
  auto arcs = Of(ObjectKind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(Arc(arcs[0]).start, (Point{1000, 0}));
  EXPECT_EQ(Arc(arcs[0]).end, (Point{500, 866}));  // where x = 500 meets the arc
  const Object* rest = nullptr;
  for (const auto* o : Of(ObjectKind::Lineset))
    if (Points(o).back() == (Point{1000, -3000})) rest = o;
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(Points(rest), (std::vector<Point>{{500, -1500}, {1000, -1500}, {1000, -3000}}));
  EXPECT_EQ(host_->Find(poly), nullptr);

  int16_t x = 0, y = 0;
  ASSERT_EQ(HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y), HSI_SUCCESS);
  ASSERT_NE(host_->Find(poly), nullptr);
  EXPECT_EQ(Points(host_->Find(poly)).front(), (Point{-3000, -1500}));
  EXPECT_EQ(Of(ObjectKind::Lineset).size(), 2u);
  // A cut whose only crossing is at the object's end cuts nothing.
  host_->AddLine({{500, 3000}, {900, 3000}, {500, 2000}});
  input_.Point(500, 0);
  input_.Point(700, 3000);
  input_.Reply(host::PointReply::Kind::Escape);
  Run(1157);
  EXPECT_EQ(host_->MessageLine(),
            "That piece does not cross the cutting edge: pick another piece.");
}

TEST_F(HostTools, WallsAreMitredAtTheMacrosThicknessAndUndoneWhole) {
  // 100 mm walls in a millimetre drawing of 100 DBU per mm: faces 5000 either side.
  ASSERT_TRUE(host_->SetUnitType(HSI_UNIT_MILLIMETRES));
  ASSERT_TRUE(host_->SetPointsPerUnit(100));
  WriteFile("C:\\TRACELON\\MACROS\\W100.CBX", "TRACELON MACRO 1\r\nWALL 100 MM\r\n");
  ASSERT_EQ(HsiRunMacro("W100.CBX"), HSI_SUCCESS);
  input_.Point(0, 0);
  input_.Point(100000, 0);
  input_.Point(200000, 0);  // straight on: no corner
  input_.Point(200000, 100000);
  input_.Reply(host::PointReply::Kind::Button2);
  Run(1021);
  auto faces = Of(ObjectKind::Lineset);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(Points(faces[0]),
            (std::vector<Point>{{0, 5000}, {100000, 5000}, {195000, 5000}, {195000, 100000}}));
  EXPECT_EQ(Points(faces[1]),
            (std::vector<Point>{{0, -5000}, {100000, -5000}, {205000, -5000}, {205000, 100000}}));
  EXPECT_EQ(host_->Objects().size(), 2u);  // the preview is gone

  int16_t x = 0, y = 0;
  ASSERT_EQ(HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y), HSI_SUCCESS);
  EXPECT_TRUE(host_->FinalObjects().empty());

  // A turn back at a sharp angle: the corner is cut off near the turning point, not mitred far
  // beyond it.
  input_.Point(0, 0);
  input_.Point(100000, 0);
  input_.Point(0, 10000);
  input_.Reply(host::PointReply::Kind::Escape);
  Run(1021);
  for (const auto* face : Of(ObjectKind::Lineset))
    for (const Point& p : Points(face)) EXPECT_LE(p.x, 105000) << p.x << "," << p.y;
  ASSERT_EQ(HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y), HSI_SUCCESS);

  // Thicknesses the macro cannot give refuse the whole macro and keep the thickness.
  for (const char* bad : {"WALL 0 IN", "WALL 4", "WALL 4 FURLONGS", "WALL -4 IN", "WALL 4x IN",
                          "WALL 101 FT", "WALL nan IN"}) {
    WriteFile("C:\\TRACELON\\MACROS\\BAD.CBX", std::string("TRACELON MACRO 1\r\n") + bad + "\r\n");
    EXPECT_EQ(HsiRunMacro("BAD.CBX"), HSI_FAILURE) << bad;
  }
  EXPECT_DOUBLE_EQ(host_->WallThickness(), 100 / 25.4);
}

}  // namespace
