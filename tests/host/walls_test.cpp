// Openings cut into wall lines for a door symbol, junction repairs, and undo through command 1139.
#include <algorithm>
#include <filesystem>

#include "host_fixture.h"

namespace {

using hosttest::HostTest;

std::vector<std::vector<host::Point>> Linesets(const host::Host& h) {
  std::vector<std::vector<host::Point>> out;
  for (const auto* o : h.FinalObjects())
    if (o->Kind() == host::ObjectKind::Lineset)
      out.push_back(host::get<host::LinesetData>(o->data).points);
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
    return std::tie(a[0].y, a[0].x) < std::tie(b[0].y, b[0].x);
  });
  return out;
}

class Opening : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    WriteFile("C:\\TRACELON\\SYMBOLS\\36DR-L.SYM", hosttest::kDoorSymbol);
    WriteFile("C:\\TRACELON\\SYMBOLS\\ARROW.SYM", hosttest::kArrowSymbol);
    face1_ = host_->AddLine({{0, 0}, {1000000, 0}});
    face2_ = host_->AddLine({{0, 48000}, {1000000, 48000}});
    char folder[HSI_PATH_SIZE];
    ASSERT_EQ(HsiGetPaths(folder, HSI_PATH_SYMBOLS, 0), HSI_SUCCESS);
    EXPECT_EQ(HsiSymbolFind(10, "36DR-L.SYM"), static_cast<int32_t>(HSI_FAILURE));
    door_ = HsiLoadSymFile(4, folder, "36DR-L.SYM", HSI_TRUE);
    ASSERT_GT(door_, 0);
    ASSERT_NE(door_, static_cast<int32_t>(HSI_FAILURE));
    EXPECT_EQ(HsiSymbolFind(10, "36dr-l.sym"), door_);
    HsiSymbolInfo info{1, 1, 0, 1, 1, 1, 0, 0, 0};
    ASSERT_EQ(HsiSetSymInfo(HSI_SYMINFO_SELECTOR, &info), HSI_SUCCESS);
    list_ = HsiCreateLocalOsl(-2, 0, 512);
  }
  void AddToList(int32_t id, int16_t segment = 1) {
    HsiOslEntry e{id, segment, 0};
    ASSERT_EQ(HsiOslAdd(list_, &e, HSI_TRUE), HSI_SUCCESS);
  }
  HsiStatus Open(HsiPoint insertion, HsiPoint direction, int16_t justification = 0,
                 int32_t symbol = 0) {
    return HsiObjOpenSegment(list_, symbol ? symbol : door_, &insertion, &direction, justification);
  }
  int32_t face1_ = 0, face2_ = 0, door_ = 0;
  int16_t list_ = 0;
};

TEST_F(Opening, DoorCutsBothFacesAndSitsInTheOpening) {
  AddToList(face1_);
  AddToList(face2_);
  ASSERT_EQ(Open({100000, 0}, {1000000, 0}), HSI_SUCCESS);
  // 36 units x 8000 DBU: the opening runs from 100000 to 388000 on both faces.
  auto lines = Linesets(*host_);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (std::vector<host::Point>{{0, 0}, {100000, 0}}));
  EXPECT_EQ(lines[1], (std::vector<host::Point>{{388000, 0}, {1000000, 0}}));
  EXPECT_EQ(lines[2], (std::vector<host::Point>{{0, 48000}, {100000, 48000}}));
  EXPECT_EQ(lines[3], (std::vector<host::Point>{{388000, 48000}, {1000000, 48000}}));
  ASSERT_EQ(CountKind(host::ObjectKind::Symbol), 1u);
  const host::Object* door = nullptr;
  for (const auto* o : host_->FinalObjects())
    if (o->Kind() == host::ObjectKind::Symbol) door = o;
  // The door swings into +y: its hinge (the node) goes onto the face on that side.
  EXPECT_EQ(door->at, (host::Point{100000, 48000}));
  EXPECT_TRUE(host::get<host::SymbolData>(door->data).inserted);

  // Towards the other direction the symbol is turned half round, and centred when asked.
  HsiOslClear(list_);
  HsiPoint pick{700000, 1000};  // the entry's segment word is 0: the host finds the segment
  ASSERT_EQ(HsiSelectbyPoint(list_, "", 1, HSI_TRUE, HSI_TRUE, &pick, HSI_FILTER_LINESET),
            HSI_SUCCESS);
  ASSERT_EQ(Open({700000, 0}, {400000, 0}, 2), HSI_SUCCESS);
  auto after = Linesets(*host_);
  EXPECT_NE(
      std::find(after.begin(), after.end(), std::vector<host::Point>{{388000, 0}, {556000, 0}}),
      after.end());
}

TEST_F(Opening, OnlyTheSenseOfTheDirectionPointCounts) {
  // A hinge on the far face and a direction point on the near face, close by: the opening still
  // runs along the wall, not towards the point.
  AddToList(face1_);
  AddToList(face2_);
  ASSERT_EQ(Open({400000, 48000}, {500000, 0}), HSI_SUCCESS);
  auto lines = Linesets(*host_);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (std::vector<host::Point>{{0, 0}, {400000, 0}}));
  EXPECT_EQ(lines[1], (std::vector<host::Point>{{688000, 0}, {1000000, 0}}));
  for (const auto* o : host_->FinalObjects())
    if (o->Kind() == host::ObjectKind::Symbol) {
      EXPECT_EQ(host::get<host::SymbolData>(o->data).rotation, 0.0);
      EXPECT_EQ(o->at, (host::Point{400000, 48000}));
    }
  // Backwards along the wall turns it half round; a point straight across the wall is refused.
  HsiOslClear(list_);
  HsiPoint pick{200000, 1000};
  HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &pick, HSI_FILTER_LINESET);
  HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &pick, HSI_FILTER_LINESET);
  EXPECT_EQ(Open({350000, 0}, {350000, 48000}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_ODD_LINES);
  ASSERT_EQ(Open({350000, 0}, {300000, 48000}), HSI_SUCCESS);
  EXPECT_EQ(Linesets(*host_).size(), 6u);
}

TEST_F(Opening, EachRefusalHasItsErrorNumberAndChangesNothing) {
  auto before = Linesets(*host_);
  // Not enough lines.
  EXPECT_EQ(Open({100000, 0}, {1000000, 0}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_TOO_FEW_LINES);
  EXPECT_EQ(static_cast<uint16_t>(HsiGetCvErrno()), 0xFC4D);
  // A symbol without a node.
  AddToList(face1_);
  int32_t arrow = HsiLoadSymFile(4, "C:\\TRACELON\\SYMBOLS", "ARROW.SYM", HSI_TRUE);
  ASSERT_GT(arrow, 0);
  EXPECT_EQ(Open({100000, 0}, {1000000, 0}, 0, arrow), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_NO_NODE);
  EXPECT_EQ(static_cast<uint16_t>(HsiGetCvErrno()), 0xFC4B);
  // An unknown symbol.
  EXPECT_EQ(Open({100000, 0}, {1000000, 0}, 0, 999), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_PLACEMENT);
  // The opening would run past the end of the wall.
  EXPECT_EQ(Open({900000, 0}, {1000000, 0}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_DOES_NOT_FIT);
  EXPECT_EQ(static_cast<uint16_t>(HsiGetCvErrno()), 0xFC51);
  // A line across the direction.
  int32_t across = host_->AddLine({{500000, -100000}, {500000, 100000}});
  AddToList(across);
  EXPECT_EQ(Open({100000, 0}, {1000000, 0}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_ODD_LINES);
  // Three lines.
  AddToList(face2_);
  EXPECT_EQ(Open({100000, 0}, {1000000, 0}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_TOO_MANY_LINES);
  EXPECT_EQ(static_cast<uint16_t>(HsiGetCvErrno()), 0xFC4C);
  host_->DeleteObject(across);
  EXPECT_EQ(Linesets(*host_), before);
  EXPECT_EQ(CountKind(host::ObjectKind::Symbol), 0u);
}

TEST_F(Opening, UndoRestoresTheWallAndRemovesTheDoorOneCreationPerCommand) {
  AddToList(face1_);
  AddToList(face2_);
  auto wall = Linesets(*host_);
  ASSERT_EQ(Open({100000, 0}, {1000000, 0}), HSI_SUCCESS);
  // Two extras, as a door command draws them: a header line and a reference symbol.
  HsiPoint a{100000, 0}, b{388000, 48000};
  HsiObjStartline(&a, 0, 0, 0, 7);
  HsiObjAddtoline(&b, 2);
  int32_t header = HsiObjEndline(HSI_FINAL, HSI_TRUE, 7);
  ASSERT_GT(header, 0);
  int32_t key = HsiPutInstance(door_, &a, 1, 1, 1, 0, 0, 0, HSI_FINAL);
  ASSERT_GT(key, 0);
  int16_t x = 0, y = 0;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y), HSI_SUCCESS);
  EXPECT_EQ(Linesets(*host_), wall);
  EXPECT_EQ(CountKind(host::ObjectKind::Symbol), 0u);
  EXPECT_EQ(host_->HostCommands(), (std::vector<int>{1139, 1139, 1139}));
  // The restored faces keep their ids, so lists and callers still know them.
  EXPECT_EQ(HsiObjType(face1_), HSI_OBJ_LINESET);
  // Nothing more to undo than the two set-up lines.
  HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y);
  HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y);
  HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y);
  EXPECT_TRUE(host_->FinalObjects().empty());
}

TEST_F(Opening, UndoTakesBackDeletionsAndMovesAndOnlyTheLastDoor) {
  int16_t x = 0, y = 0;
  auto undo = [&] { ASSERT_EQ(HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y), HSI_SUCCESS); };
  auto header = [&](HsiPoint a, HsiPoint b) {
    HsiObjStartline(&a, 0, 0, 0, 7);
    HsiObjAddtoline(&b, 2);
    return HsiObjEndline(HSI_FINAL, HSI_TRUE, 7);
  };
  // Two doors into one wall, each with a header line; undoing the second door's two creations
  // leaves the first door and its header as they were.
  AddToList(face1_);
  AddToList(face2_);
  ASSERT_EQ(Open({100000, 0}, {1000000, 0}), HSI_SUCCESS);
  ASSERT_GT(header({100000, 0}, {388000, 0}), 0);
  auto afterFirst = Linesets(*host_);
  HsiOslClear(list_);
  HsiPoint pick{700000, 1000};
  HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &pick, HSI_FILTER_LINESET);
  HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &pick, HSI_FILTER_LINESET);
  ASSERT_EQ(HsiOslCount(list_), 2);
  ASSERT_EQ(Open({600000, 0}, {1000000, 0}), HSI_SUCCESS);
  ASSERT_GT(header({600000, 0}, {888000, 0}), 0);
  undo();
  undo();
  EXPECT_EQ(Linesets(*host_), afterFirst);
  EXPECT_EQ(CountKind(host::ObjectKind::Symbol), 1u);

  // A deleted object comes back with its id; a list deleted at once comes back at once.
  int32_t one = host_->AddLine({{0, 500000}, {100000, 500000}});
  int32_t two = host_->AddLine({{0, 600000}, {100000, 600000}});
  auto before = Linesets(*host_);
  ASSERT_EQ(HsiEditDelete(one), HSI_SUCCESS);
  undo();
  EXPECT_EQ(HsiObjType(one), HSI_OBJ_LINESET);
  EXPECT_EQ(Linesets(*host_), before);
  int16_t doomed = HsiCreateLocalOsl(-1, 0, 512);
  for (int32_t id : {one, two}) {
    HsiOslEntry e{id, 0, 0};
    HsiOslAdd(doomed, &e, HSI_FALSE);
  }
  ASSERT_EQ(HsiObjDelete(doomed), HSI_SUCCESS);
  EXPECT_EQ(Linesets(*host_).size(), before.size() - 2);
  undo();
  EXPECT_EQ(Linesets(*host_), before);
  // A move goes back.
  ASSERT_EQ(HsiEditMove(two, 5000, -7000, HSI_DRAW_NORMAL), HSI_SUCCESS);
  EXPECT_EQ(host_->Find(two)->at, (host::Point{5000, 593000}));
  undo();
  EXPECT_EQ(host_->Find(two)->at, (host::Point{0, 600000}));
  EXPECT_EQ(Linesets(*host_), before);

  // One grouped operation: a line made and then moved goes away; one deleted in it comes back.
  host_->BeginOperation();
  int32_t made = host_->AddLine({{0, 700000}, {100000, 700000}});
  host_->MoveObject(made, 0, 1000);
  host_->DeleteObject(one);
  host_->MoveObject(two, 1, 1);
  host_->MoveObject(two, 1, 1);
  host_->EndOperation();
  size_t history = host_->HistorySize();
  undo();
  EXPECT_EQ(host_->HistorySize(), history - 1);
  EXPECT_EQ(host_->Find(made), nullptr);
  EXPECT_EQ(Linesets(*host_), before);
}

// The door command's rules for a wall of two faces along +x (A at x = 0, B at the far end): the
// swing point on the left of the wall (above it) or on the right; the opening runs towards B for
// a left swing of hand 0 or a right swing of any other hand, else towards A; the hand is the
// justification. What the sample machine's door symbols must do under those rules: lie on the
// swing side, hinged at the picked hinge point.
class SampleDoors : public Opening {
 protected:
  struct Door {
    const char* name;
    int16_t hand;
    bool hinged;  // a single leaf hinged at one end (swing and folding doors)
  };
  // The placed door after inserting `door` at `hinge` on the wall; null when it failed.
  const host::Object* Insert(const Door& door, host::Point hinge, bool left) {
    std::filesystem::path file =
        std::filesystem::path(QXT_SAMPLE_ROOT) / "C" / "TRACELON" / "SYMBOLS" / door.name;
    if (!std::filesystem::exists(file)) return nullptr;
    std::filesystem::copy_file(file, Root() / "C" / "TRACELON" / "SYMBOLS" / door.name,
                               std::filesystem::copy_options::overwrite_existing);
    int32_t symbol = HsiLoadSymFile(4, "C:\\TRACELON\\SYMBOLS", door.name, HSI_TRUE);
    EXPECT_GT(symbol, 0) << door.name;
    HsiOslClear(list_);
    AddToList(face1_, 0);
    AddToList(face2_, 0);
    bool towardsB = left ? door.hand == 0 : door.hand != 0;
    HsiPoint h{hinge.x, hinge.y}, e{towardsB ? 1000000 : 0, 0};
    EXPECT_EQ(HsiObjOpenSegment(list_, symbol, &h, &e, door.hand), HSI_SUCCESS) << door.name;
    const host::Object* placed = nullptr;
    for (const auto* o : host_->FinalObjects())
      if (o->Kind() == host::ObjectKind::Symbol) placed = o;
    return placed;
  }
};

TEST_F(SampleDoors, EveryHandSwingsToThePickedSideHingedOnThatFace) {
  if (!std::filesystem::exists(std::filesystem::path(QXT_SAMPLE_ROOT) / "C" / "TRACELON" /
                               "SYMBOLS" / "36DR-R.SYM"))
    GTEST_SKIP() << "the sample machine was not built";
  const Door doors[] = {{"36DR-L.SYM", 0, true},  {"36DR-R.SYM", 1, true},
                        {"36DR-LF.SYM", 0, true}, {"36DR-RF.SYM", 1, true},
                        {"36DR-P.SYM", 1, false}, {"36DR-F.SYM", 1, false}};
  const host::Point hinge{500000, 0};
  for (const Door& door : doors) {
    for (bool left : {true, false}) {
      SCOPED_TRACE(std::string(door.name) + (left ? " swinging left" : " swinging right"));
      // A fresh wall for each door.
      std::vector<int32_t> ids;
      for (const auto* o : host_->FinalObjects()) ids.push_back(o->id);
      for (int32_t id : ids) host_->DeleteObject(id);
      face1_ = host_->AddLine({{0, 0}, {1000000, 0}});
      face2_ = host_->AddLine({{0, 48000}, {1000000, 48000}});
      const host::Object* placed = Insert(door, hinge, left);
      ASSERT_NE(placed, nullptr);
      // The door reaches well into the swing side and not past the wall line on the other.
      host::Box box = host_->ObjectBox(*placed);
      double reach = left ? double(box.y2) : -double(box.y1);
      double behind = left ? -double(box.y1) : double(box.y2);
      EXPECT_GT(reach, 36 * 8000 * 0.2);
      EXPECT_LE(behind, 1.0);
      if (door.hinged) {
        // The leaf's first point is the hinge.
        const auto& data = host::get<host::SymbolData>(placed->data);
        const host::SymbolDef& def = *host_->Symbol(data.symbol);
        host::PointD first =
            host_->SymbolToDrawing(def, data, placed->at, def.elements.front().points.front());
        // The hinge is where it was picked along the wall, on the face of the swing side.
        EXPECT_NEAR(first.x, hinge.x, 1.0);
        EXPECT_NEAR(first.y, left ? 48000 : 0, 1.0);
      }
    }
  }
}

class Junction : public HostTest {
 protected:
  HsiStatus Fix(int16_t kind, HsiPoint c1, HsiPoint c2) {
    HsiOslClear(0);
    HsiSelectbyWindow(0, "", "", HSI_WINDOW_CROSSING, HSI_TRUE, HSI_TRUE, &c1, &c2, 1);
    return HsiObjFixParLines(0, kind, &c1, &c2, -3);
  }
};

TEST_F(Junction, CornerMeetsOuterToOuterAndInnerToInner) {
  host_->AddLine({{10000, 0}, {100000, 0}});
  host_->AddLine({{10000, 6000}, {100000, 6000}});
  host_->AddLine({{0, 10000}, {0, 100000}});
  host_->AddLine({{6000, 10000}, {6000, 100000}});
  ASSERT_EQ(Fix(HSI_FIX_CORNER, {-5000, -5000}, {20000, 20000}), HSI_SUCCESS);
  auto lines = Linesets(*host_);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (std::vector<host::Point>{{0, 0}, {100000, 0}}));
  EXPECT_EQ(lines[1], (std::vector<host::Point>{{0, 0}, {0, 100000}}));
  EXPECT_EQ(lines[2], (std::vector<host::Point>{{6000, 6000}, {100000, 6000}}));
  EXPECT_EQ(lines[3], (std::vector<host::Point>{{6000, 6000}, {6000, 100000}}));
}

TEST_F(Junction, TeesOpenOrCloseTheThroughWall) {
  host_->AddLine({{0, 0}, {200000, 0}});
  host_->AddLine({{0, 6000}, {200000, 6000}});
  host_->AddLine({{97000, 10000}, {97000, 100000}});
  host_->AddLine({{103000, 10000}, {103000, 100000}});
  auto before = Linesets(*host_);
  // The wrong kind for this junction is refused and changes nothing.
  EXPECT_EQ(Fix(HSI_FIX_CORNER, {90000, -1000}, {110000, 20000}), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_NO_JUNCTION);
  EXPECT_EQ(Fix(HSI_FIX_CROSS, {90000, -1000}, {110000, 20000}), HSI_FAILURE);
  EXPECT_EQ(Linesets(*host_), before);

  ASSERT_EQ(Fix(HSI_FIX_CLOSED_TEE, {90000, -1000}, {110000, 20000}), HSI_SUCCESS);
  auto closed = Linesets(*host_);
  ASSERT_EQ(closed.size(), 4u);
  EXPECT_EQ(closed[1], (std::vector<host::Point>{{0, 6000}, {200000, 6000}}));
  EXPECT_EQ(closed[2], (std::vector<host::Point>{{97000, 6000}, {97000, 100000}}));
  EXPECT_EQ(closed[3], (std::vector<host::Point>{{103000, 6000}, {103000, 100000}}));

  int16_t x = 0, y = 0;
  HsiMenuEntry(HSI_COMMAND_UNDO, &x, &y);
  EXPECT_EQ(Linesets(*host_), before);
  ASSERT_EQ(Fix(HSI_FIX_OPEN_TEE, {90000, -1000}, {110000, 20000}), HSI_SUCCESS);
  auto open = Linesets(*host_);
  ASSERT_EQ(open.size(), 5u);
  auto has = [&](std::vector<host::Point> line) {
    return std::find(open.begin(), open.end(), line) != open.end();
  };
  EXPECT_TRUE(has({{0, 6000}, {97000, 6000}}));
  EXPECT_TRUE(has({{103000, 6000}, {200000, 6000}}));
  EXPECT_TRUE(has({{97000, 6000}, {97000, 100000}}));
  EXPECT_TRUE(has({{0, 0}, {200000, 0}}));
}

TEST_F(Junction, CrossOpensAllFourLines) {
  host_->AddLine({{0, 0}, {200000, 0}});
  host_->AddLine({{0, 6000}, {200000, 6000}});
  host_->AddLine({{97000, -100000}, {97000, 100000}});
  host_->AddLine({{103000, -100000}, {103000, 100000}});
  ASSERT_EQ(Fix(HSI_FIX_CROSS, {90000, -10000}, {110000, 20000}), HSI_SUCCESS);
  EXPECT_EQ(Linesets(*host_).size(), 8u);
  EXPECT_EQ(Fix(HSI_FIX_CROSS, {-50000, -50000}, {-40000, -40000}), HSI_FAILURE);
}

}  // namespace
