// Layer records and display state, point requests, cursors and the host's messages.
#include <cstring>

#include "host_fixture.h"
#include "platform/memory.h"

namespace {

using hosttest::HostTest;
using Kind = host::PointReply::Kind;

TEST_F(HostTest, LayerRecordRoundTripAndDisplayState) {
  HsiLayerRecord r;
  ASSERT_EQ(HsiGetLayer(&r, 12), HSI_SUCCESS);
  EXPECT_EQ(r.state, HSI_LAYER_ON);
  EXPECT_EQ(r.state2, HSI_LAYER_ON);
  EXPECT_EQ(r.marker, HSI_FALSE);
  std::strcpy(r.name, "DOORS");
  r.colour = 3;
  r.state = r.state2 = HSI_LAYER_OFF;
  ASSERT_EQ(HsiSetLayer(&r, 12), HSI_SUCCESS);
  HsiLayerRecord back;
  ASSERT_EQ(HsiGetLayer(&back, 12), HSI_SUCCESS);
  EXPECT_STREQ(back.name, "DOORS");
  // The colour is the tenth 16-bit word of the record.
  int16_t words[20];
  std::memcpy(words, &back, sizeof words);
  EXPECT_EQ(words[9], 3);
  EXPECT_EQ(words[10], static_cast<int16_t>(HSI_LAYER_OFF));
  EXPECT_EQ(words[11], static_cast<int16_t>(HSI_LAYER_OFF));
  EXPECT_FALSE(host_->Layer(12).On());

  // The marker shows a layer that holds objects.
  host_->AddLine({{0, 0}, {10, 10}}, 12);
  ASSERT_EQ(HsiGetLayer(&back, 12), HSI_SUCCESS);
  EXPECT_EQ(back.marker, HSI_TRUE);
  EXPECT_EQ(back.objectCount, 1);

  // The active layer cannot be hidden; making a hidden layer active shows it.
  ASSERT_EQ(HsiGetActLayer(), 1);
  HsiGetLayer(&r, 1);
  r.state = r.state2 = HSI_LAYER_OFF;
  EXPECT_EQ(HsiSetLayer(&r, 1), HSI_FAILURE);
  EXPECT_TRUE(host_->Layer(1).On());
  ASSERT_EQ(HsiSetActLayer(12), HSI_SUCCESS);
  EXPECT_TRUE(host_->Layer(12).On());
  // The switched-off active layer's state is kept as written.
  HsiGetLayer(&r, 1);
  r.state = r.state2 = HSI_LAYER_OFF_WAS_ACTIVE;
  ASSERT_EQ(HsiSetLayer(&r, 1), HSI_SUCCESS);
  HsiGetLayer(&back, 1);
  EXPECT_EQ(back.state2, HSI_LAYER_OFF_WAS_ACTIVE);
  EXPECT_FALSE(host_->Layer(1).On());
  // A name longer than the record holds is cut to 17 characters.
  HsiGetLayer(&r, 2);
  std::memset(r.name, 'A', sizeof r.name);  // no NUL at all
  ASSERT_EQ(HsiSetLayer(&r, 2), HSI_SUCCESS);
  EXPECT_EQ(host_->Layer(2).name, std::string(17, 'A'));
}

TEST_F(HostTest, PointRequestsAskTheInputSource) {
  HsiPoint p{};
  int16_t status = -1, extra = -1;
  input_.Point(10, 20);
  ASSERT_EQ(HsiGetPoint("Select text placement point...", &p, &status, &extra), HSI_SUCCESS);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  input_.Reply(Kind::Button2);
  HsiGetPoint("next", &p, &status, nullptr);
  EXPECT_EQ(status, 2);
  input_.Reply(Kind::Status, 7);
  HsiGetPoint("next", &p, &status, nullptr);
  EXPECT_EQ(status, 7);
  input_.Reply(Kind::Fail);
  EXPECT_EQ(HsiGetPoint("next", &p, &status, nullptr), HSI_FAILURE);
  EXPECT_EQ(status, 0);
  HsiGetPoint("nobody answers", &p, &status, nullptr);
  EXPECT_EQ(status, 0);
  HsiPoint3D q{};
  host::PointReply r;
  r.kind = Kind::Point;
  r.x = 1;
  r.y = 2;
  r.z = 3;
  input_.replies.push_back(r);
  ASSERT_EQ(HsiGet3DPoint("3d", &q, &status, nullptr), HSI_SUCCESS);
  EXPECT_EQ(q.z, 3);
  // Each prompt was shown to the observer first.
  ASSERT_FALSE(events_.events.empty());
  EXPECT_EQ(events_.events.front().kind, host::HostEvent::Kind::Prompt);
  EXPECT_EQ(events_.events.front().text, "Select text placement point...");
}

TEST_F(HostTest, TypedCoordinateInputAnswersTheWaitingRequest) {
  // A tool window's two-point midpoint while a command waits: two requests of its own, then the
  // midpoint is typed in and answers the command's request.
  int requests = 0;
  input_.Point(100, 200);  // the tool window's two points
  input_.Point(300, 600);
  input_.whilePicking = [&] {
    if (++requests != 1) return;
    HsiPoint a{}, b{}, mid{};
    int16_t status = 0;
    HsiGetPoint("First point for midpoint...", &a, &status, nullptr);
    HsiGetPoint("Second point for midpoint...", &b, &status, nullptr);
    HsiLineCenter(&a, &b, &mid);
    EXPECT_EQ(HsiCoordInput(&mid, 0), HSI_SUCCESS);
  };
  HsiPoint p{};
  int16_t status = -1;
  ASSERT_EQ(HsiGetPoint("First corner...", &p, &status, nullptr), HSI_SUCCESS);
  EXPECT_EQ(status, HSI_POINT_GIVEN);
  EXPECT_EQ(p.x, 200);
  EXPECT_EQ(p.y, 400);
  EXPECT_EQ(host_->CoordinateInputs(), (std::vector<host::Point>{{200, 400}}));
  // A pick request takes a typed point the same way.
  input_.whilePicking = [] {
    HsiPoint q{5000, 6000};
    HsiCoordInput(&q, 0);
  };
  int16_t list = HsiCreateLocalOsl(-1, 0, 512);
  int32_t line = host_->AddLine({{0, 6000}, {10000, 6000}});
  HsiPoint pick{};
  EXPECT_EQ(HsiSelectbyPoint(list, "Pick", 2, HSI_FALSE, HSI_TRUE, &pick, 0), HSI_SUCCESS);
  EXPECT_EQ(pick.x, 5000);
  HsiOslEntry e{};
  ASSERT_EQ(HsiOslItem(list, 0, &e), HSI_SUCCESS);
  EXPECT_EQ(e.id, line);
  // Typed in while nothing waits: recorded only; the next request is the user's to answer.
  input_.whilePicking = nullptr;
  HsiPoint idle{7, 7};
  ASSERT_EQ(HsiCoordInput(&idle, 0), HSI_SUCCESS);
  EXPECT_FALSE(host_->TypedInputWaiting());
  input_.Point(1, 2);
  HsiGetPoint("next", &p, &status, nullptr);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(host_->CoordinateInputs().size(), 3u);
  EXPECT_EQ(HsiCoordInput(nullptr, 0), HSI_FAILURE);
}

TEST_F(HostTest, ActiveCommandFlagAndSnapModes) {
  EXPECT_EQ(HsiGetActiveCommand(), 0);
  int16_t whileWaiting = -1;
  input_.whilePicking = [&] { whileWaiting = HsiGetActiveCommand(); };
  HsiPoint p{};
  int16_t status = 0;
  HsiGetPoint("Pick...", &p, &status, nullptr);
  EXPECT_EQ(whileWaiting, 1);
  EXPECT_EQ(HsiGetActiveCommand(), 0);
  host_->SetActiveCommand(1);  // the host's own command runs
  EXPECT_EQ(HsiGetActiveCommand(), 1);
  host_->SetActiveCommand(0);
  EXPECT_EQ(HsiGetActiveCommand(), 0);

  // 2D and 3D snap modes are kept apart; 0..15 only.
  EXPECT_EQ(HsiSetSnapMode(3), HSI_SUCCESS);
  EXPECT_EQ(HsiSet3DSnapMode(13), HSI_SUCCESS);
  EXPECT_EQ(HsiGetSnapMode(), 3);
  EXPECT_EQ(HsiGet3DSnapMode(), 13);
  EXPECT_EQ(HsiSet3DSnapMode(16), HSI_FAILURE);
  EXPECT_EQ(HsiSet3DSnapMode(-1), HSI_FAILURE);
  EXPECT_FALSE(host_->SetSnap3DMode(99));
  EXPECT_EQ(HsiGet3DSnapMode(), 13);
  EXPECT_EQ(HsiGetSnapMode(), 3);
}

TEST_F(HostTest, PreviewThroughASpareLayerAndADragCursor) {
  // The text command's preview: temporary objects become the cursor image, then go.
  int16_t list = HsiCreateLocalOsl(-1, 0, 512);
  HsiCadText t{};
  t.layer = 2;
  t.colour = 7;
  t.size = 72000;
  t.widthFactor = 1;
  t.vcode = 3;
  std::strcpy(t.text, "NOTE");
  t.length = 4;
  int32_t preview = HsiObjCreate(HSI_RECORD_CAD_TEXT, &t, HSI_TEMPORARY);
  ASSERT_GT(preview, 0);
  HsiOslEntry e{preview, 0, 0};
  ASSERT_EQ(HsiOslAdd(list, &e, HSI_TEMPORARY), HSI_SUCCESS);
  HsiPoint base{0, 0};
  ASSERT_EQ(HsiMakeCursor(list, HSI_CURSOR_DRAG, &base, 0, &base, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiObjDelete(list), HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(list), 0);
  EXPECT_EQ(host_->Find(preview), nullptr);
  ASSERT_TRUE(host_->Cursor().active);
  ASSERT_EQ(host_->Cursor().objects.size(), 1u);
  EXPECT_EQ(host::get<host::TextData>(host_->Cursor().objects[0].data).text, "NOTE");
  HsiDeleteCursor();
  EXPECT_FALSE(host_->Cursor().active);
  // No creation was reported for the preview, and nothing can be undone.
  for (const auto& ev : events_.events) EXPECT_NE(ev.kind, host::HostEvent::Kind::ObjectCreated);
  EXPECT_EQ(host_->HistorySize(), 0u);
}

TEST_F(HostTest, DragCursorsOfEveryKindAreRelativeToTheBase) {
  int16_t list = HsiCreateLocalOsl(-1, 0, 512);
  int32_t line = host_->AddLine({{100000, 50000}, {300000, 50000}, {300000, 90000}});
  int32_t arc = host_->AddArc({200000, 50000}, 10000, 0, 90);
  int32_t text = host_->AddText({120000, 60000}, "A", 7200);
  for (int32_t id : {line, arc, text}) {
    HsiOslEntry e{id, 0, 0};
    HsiOslAdd(list, &e, HSI_FALSE);
  }
  HsiPoint base{100000, 50000};
  ASSERT_EQ(HsiMakeCursor(list, HSI_CURSOR_DRAG, &base, 0, &base, 0), HSI_SUCCESS);
  const auto& image = host_->Cursor().objects;
  ASSERT_EQ(image.size(), 3u);
  EXPECT_EQ(host::get<host::LinesetData>(image[0].data).points,
            (std::vector<host::Point>{{0, 0}, {200000, 0}, {200000, 40000}}));
  EXPECT_EQ(image[0].at, (host::Point{0, 0}));
  const auto& a = host::get<host::ArcData>(image[1].data);
  EXPECT_EQ(image[1].at, (host::Point{100000, 0}));
  EXPECT_EQ(a.start, (host::Point{110000, 0}));
  EXPECT_EQ(a.end, (host::Point{100000, 10000}));
  EXPECT_EQ(image[2].at, (host::Point{20000, 10000}));
  // The drawing's objects stay where they are.
  EXPECT_EQ(host::get<host::LinesetData>(host_->Find(line)->data).points.front(),
            (host::Point{100000, 50000}));
  // The 3D cursor takes x and y of its base the same way.
  HsiPoint3D base3{100000, 50000, 999};
  ASSERT_EQ(HsiMake3DCursor(list, HSI_CURSOR_DRAG, &base3, 0, &base3, 0), HSI_SUCCESS);
  EXPECT_TRUE(host_->Cursor().is3D);
  EXPECT_EQ(host::get<host::LinesetData>(host_->Cursor().objects[0].data).points[1],
            (host::Point{200000, 0}));
  HsiPoint3D far{5, 5, 5};
  ASSERT_EQ(HsiMake3DCursor(0, HSI_CURSOR_WINDOW, &base3, 0, &far, 0), HSI_SUCCESS);
  EXPECT_EQ(host_->Cursor().other, (host::Point{5, 5}));
  EXPECT_TRUE(host_->Cursor().objects.empty());
  EXPECT_EQ(HsiMake3DCursor(0, 9, &base3, 0, &far, 0), HSI_FAILURE);
  EXPECT_EQ(HsiDeleteCursor(), HSI_SUCCESS);
  EXPECT_FALSE(host_->Cursor().active);
}

// A walk highlighted segment after segment is kept as a run; whatever is drawn, erased or painted
// over, the marks read back as drawn, in order.
TEST_F(HostTest, HighlightsAlongAWalkReadBackAsDrawn) {
  std::vector<host::ScreenMark> drawn;
  auto line = [&](HsiPoint p, HsiPoint q, int16_t colour) {
    ASSERT_EQ(HsiDrawLine(&p, &q, HSI_DRAW_HIGHLIGHT, colour, 0), HSI_SUCCESS);
    host::ScreenMark m;
    m.a = {p.x, p.y};
    m.b = {q.x, q.y};
    m.colour = colour;
    drawn.push_back(m);
  };
  auto same = [&](const char* when) {
    ASSERT_EQ(host_->Marks().size(), drawn.size()) << when;
    std::size_t i = 0;
    for (const host::ScreenMark& m : host_->Marks()) {
      const host::ScreenMark& d = drawn[i];
      EXPECT_TRUE(m.kind == d.kind && m.a == d.a && m.b == d.b && m.colour == d.colour &&
                  m.centre == d.centre && m.radius == d.radius)
          << when << ": mark " << i;
      EXPECT_EQ(host_->Marks()[i].b, d.b) << when << ": mark " << i;
      ++i;
    }
  };
  // A walk of 50 segments, one in another colour, a jump, and an arc between two runs.
  for (int i = 0; i < 50; ++i) line({i * 1000, 0}, {(i + 1) * 1000, 0}, i == 20 ? 3 : 2);
  line({0, 5000}, {1000, 5000}, 2);
  line({1000, 5000}, {1000, 9000}, 2);
  HsiPoint centre{0, 0}, s{30000, 0}, t{0, 30000};
  ASSERT_EQ(HsiDrawArc(&centre, &s, &t, 30000, HSI_DRAW_HIGHLIGHT, 2, 0), HSI_SUCCESS);
  host::ScreenMark arc;
  arc.kind = host::ScreenMark::Kind::Arc;
  arc.centre = {0, 0};
  arc.a = {30000, 0};
  arc.b = {0, 30000};
  arc.radius = 30000;
  arc.colour = 2;
  drawn.push_back(arc);
  line({0, 30000}, {-5000, 30000}, 2);
  same("drawn");
  // Erasing a segment from the middle of a run splits it.
  HsiPoint p{10000, 0}, q{11000, 0};
  ASSERT_EQ(HsiDrawLine(&p, &q, HSI_DRAW_ERASE, 2, 0), HSI_SUCCESS);
  drawn.erase(drawn.begin() + 10);
  same("one erased");
  // The walk goes on after the erased segment, drawn again where it was.
  line({10000, 0}, {11000, 0}, 2);
  same("drawn again");
  // Redrawing an object paints over the marks lying on it, and only those.
  const int32_t wall = host_->AddLine({{0, 0}, {25000, 0}});
  ASSERT_EQ(HsiEditDraw(wall, HSI_DRAW_NORMAL), HSI_SUCCESS);
  std::erase_if(drawn, [](const host::ScreenMark& m) {
    return m.kind == host::ScreenMark::Kind::Line && m.a.y == 0 && m.b.y == 0 && m.a.x <= 25000 &&
           m.b.x <= 25000;
  });
  same("painted over");
}

TEST_F(HostTest, SegmentMarksGoWhenTheirObjectsAreRedrawn) {
  // The door command marks the picked wall segments, then redraws its list normally.
  int32_t face = host_->AddLine({{0, 0}, {100000, 0}, {100000, 50000}});
  int32_t other = host_->AddLine({{0, 80000}, {100000, 80000}});
  int32_t arc = host_->AddArc({0, 0}, 30000, 0, 90);
  int16_t list = HsiCreateLocalOsl(-2, 0, 512);
  HsiOslEntry e{face, 1, 0};
  HsiOslAdd(list, &e, HSI_TRUE);
  HsiPoint a{0, 0}, b{100000, 0}, c{0, 80000}, d{100000, 80000};
  HsiPoint centre{0, 0}, s{30000, 0}, t{0, 30000};
  HsiTextAttributes attributes{};
  ASSERT_EQ(HsiDrawLine(&a, &b, HSI_DRAW_HIGHLIGHT, 2, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiDrawLine(&c, &d, HSI_DRAW_HIGHLIGHT, 2, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiDrawArc(&centre, &s, &t, 30000, HSI_DRAW_HIGHLIGHT, 2, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiDrawText(&b, "12", &attributes, HSI_DRAW_NORMAL), HSI_SUCCESS);
  ASSERT_EQ(host_->Marks().size(), 4u);
  // Highlighting leaves the marks; a normal redraw paints over those on the listed line.
  ASSERT_EQ(HsiObjDraw(list, HSI_DRAW_HIGHLIGHT), HSI_SUCCESS);
  EXPECT_EQ(host_->Marks().size(), 4u);
  ASSERT_EQ(HsiObjDraw(list, HSI_DRAW_NORMAL), HSI_SUCCESS);
  ASSERT_EQ(host_->Marks().size(), 2u);
  EXPECT_EQ(host_->Marks()[0].a, (host::Point{0, 80000}));
  EXPECT_EQ(host_->Marks()[1].kind, host::ScreenMark::Kind::Arc);
  // One object redrawn by itself; an erased mark goes by its own call.
  ASSERT_EQ(HsiEditDraw(arc, HSI_DRAW_NORMAL), HSI_SUCCESS);
  ASSERT_EQ(host_->Marks().size(), 1u);
  ASSERT_EQ(HsiDrawLine(&c, &d, HSI_DRAW_ERASE, 2, 0), HSI_SUCCESS);
  EXPECT_TRUE(host_->Marks().empty());
  EXPECT_EQ(HsiEditDraw(other, HSI_DRAW_NORMAL), HSI_SUCCESS);
  EXPECT_EQ(HsiEditDraw(987654, HSI_DRAW_NORMAL), HSI_FAILURE);
  EXPECT_EQ(HsiDrawLine(&c, &d, 7, 2, 0), HSI_FAILURE);
  EXPECT_EQ(HsiDrawArc(&centre, &s, &t, 0, HSI_DRAW_HIGHLIGHT, 2, 0), HSI_FAILURE);
}

TEST_F(HostTest, TrueTypeTextReadsItsDocumentFromTheMemoryBlock) {
  const char* doc =
      "{\\rtf1\\ansi\\paperw8640\\margl0\\margr0\\deff0{\\fonttbl{\\f0\\fnil Arial;}}"
      "{\\f0\\fs24\\qc\\b Hello\r\n\\par A\\{b\\}}\\par}";
  platform::MemHandle block = platform::GlobalAlloc(3072, true);
  ASSERT_NE(block, 0u);
  std::strcpy(static_cast<char*>(platform::GlobalLock(block)), doc);
  platform::GlobalUnlock(block);
  HsiTrueTypeText r{};
  r.x = 100;
  r.y = 200;
  r.layer = 1;
  r.colour = 7;
  r.scaleX = r.scaleY = 1.0;
  r.hcode = 0;
  r.vcode = 3;
  r.content = HSI_TT_CONTENT_RTF;
  std::strcpy(r.face, "Arial");
  r.size = 12;
  r.style = 1;
  r.document = block;
  int32_t id = HsiObjCreate(HSI_RECORD_TRUETYPE, &r, HSI_FINAL);
  ASSERT_GT(id, 0);
  platform::GlobalFree(block);  // the host keeps its own copy
  HsiObjectInfo info;
  ASSERT_EQ(HsiObjInfo(id, &info), HSI_SUCCESS);
  EXPECT_EQ(info.head.type, HSI_OBJ_TRUETYPE);
  EXPECT_STREQ(info.truetype.text, "Hello\nA{b}");
  EXPECT_EQ(info.truetype.height, 12 * 768000 / 72);
  // An unknown memory block is refused.
  r.document = 987654;
  EXPECT_EQ(HsiObjCreate(HSI_RECORD_TRUETYPE, &r, HSI_FINAL), static_cast<int32_t>(HSI_FAILURE));
}

TEST_F(HostTest, MessagesCallbackCommandsAndMacrosAreReported) {
  HsiCustomCallback("QX Text", 0);
  HsiPutMsg("Select layers to turn off/on...");
  HsiStatusLineUpdate();
  int16_t x = 0, y = 0;
  HsiMenuEntry(1157, &x, &y);
  HsiNestedMenuEntry(664, &x, &y);
  WriteFile(
      "C:\\TRACELON\\MACROS\\WALLS.CBX",
      "TRACELON MACRO 1\r\nCOMMAND 1005\r\nMESSAGE \"Pick the centre...\"\r\nLAYER 9 OFF\r\n");
  EXPECT_EQ(HsiRunMacro("WALLS.CBX"), HSI_SUCCESS);
  EXPECT_EQ(HsiRunMacro("MISSING.CBX"), HSI_FAILURE);
  WriteFile("C:\\TRACELON\\MACROS\\BAD.CBX", "TRACELON MACRO 1\r\nCOMMAND 1005\r\nFLY AWAY\r\n");
  EXPECT_EQ(HsiRunMacro("C:\\TRACELON\\MACROS\\BAD.CBX"), HSI_FAILURE);
  EXPECT_EQ(host_->CallbackTitle(), "QX Text");
  EXPECT_EQ(host_->MessageLine(), "Pick the centre...");
  EXPECT_EQ(host_->HostCommands(), (std::vector<int>{1157, 664, 1005}));
  EXPECT_FALSE(host_->Layer(9).On());
  EXPECT_EQ(host_->StatusLineUpdates(), 1);
  std::vector<host::HostEvent::Kind> kinds;
  for (const auto& e : events_.events) kinds.push_back(e.kind);
  using K = host::HostEvent::Kind;
  EXPECT_EQ(kinds,
            (std::vector<K>{K::Callback, K::MessageLine, K::StatusLine, K::CommandStarted,
                            K::CommandStarted, K::MacroRun, K::CommandStarted, K::MessageLine}));
}

}  // namespace
