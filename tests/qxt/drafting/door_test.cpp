// The door command on a machine with the sample office's units (feet and inches, 8000 drawing
// units to the inch, 1/8" = 1'-0") and door symbols of both hands in the host's symbol folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "../text/text_fixture.h"
#include "core/forms.h"
#include "core/state.h"
#include "drafting/door_command.h"
#include "drafting/door_dialog.h"
#include "platform/actions.h"
#include "platform/files.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace msg = door_messages;
using testing::PointAt;

constexpr std::int32_t kInch = 8000;
constexpr std::int32_t kFoot = 12 * kInch;

// A swing door of `inches`, hinged at the node, swinging into +y (or -y, mirrored, for hand 1).
std::string SwingDoor(int inches, bool mirrored) {
  const int y = mirrored ? -inches : inches;
  return "TRACELON SYMBOL 1\nUNIT 8000\nNODE 0 0 " + std::to_string(inches) + "\nLINE 0 0 0 " +
         std::to_string(y) + "\n";
}

class DoorTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    HsiSetUnitType(HSI_UNIT_FEET_INCHES);
    Host().SetPointsPerUnit(8000);
    Host().SetScale(96.0);
    for (int layer : {11, 14, 24, 33, 49}) Host().SetLayerColour(layer, 3);
    std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
    for (const char* size : {"18", "30", "36", "72"}) {
      const int inches = std::stoi(size);
      for (const char* kind : {"DR-L", "DR-R", "DR-P", "DR-D"}) {
        const bool mirrored = std::string(kind) != "DR-L";
        WriteFile(std::string("C:\\TRACELON\\SYMBOLS\\") + size + kind + ".SYM",
                  SwingDoor(inches, mirrored));
      }
    }
    WriteFile("C:\\TRACELON\\SYMBOLS\\DR_KEY1.SYM",
              "TRACELON SYMBOL 1\nARC 0 0 8 0 360\nLINE -8 0 8 0\n");
    HsiSetActLayer(1);
  }

  TdlgQXDoor& Dialog() { return *State().forms->dlgQXDoor; }

  // A wall of two faces 6" apart along +x, 20' long, from x = 0; or one line of it.
  void Wall(bool twoFaces = true, std::int16_t layer = 11) {
    for (std::int32_t y : {0, 6 * kInch}) {
      if (y != 0 && !twoFaces) break;
      const HsiPoint a{0, y}, b{20 * kFoot, y};
      HsiObjStartline(&a, layer, 0, 0, 7);
      HsiObjAddtoline(&b, 2);
      HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
    }
  }

  // Runs QXDoor, pressing `kind` in its dialog (after `settings`). When picking ends with the
  // second button the dialog comes back and, unless the test queued more, closes with Cancel.
  void RunDoor(const char* kind, std::function<void(platform::Form&)> settings = {}) {
    user.formActions.push_back([=](platform::Form& form) {
      if (settings) settings(form);
      act::Click(form, kind);
    });
    QXDoor();
  }

  std::vector<host::Object> Objects(host::ObjectKind kind) const {
    std::vector<host::Object> out;
    for (const host::Object& o : FinalObjects())
      if (o.Kind() == kind) out.push_back(o);
    return out;
  }
  std::vector<host::Object> Symbols(const std::string& name) const {
    std::vector<host::Object> out;
    for (const host::Object& o : Objects(host::ObjectKind::Symbol))
      if (platform::SameFileName(host::get<host::SymbolData>(o.data).name, name)) out.push_back(o);
    return out;
  }
  // The wall lines (layer 11) as point lists, sorted.
  std::vector<std::vector<host::Point>> WallLines() const {
    std::vector<std::vector<host::Point>> out;
    for (const host::Object& o : Objects(host::ObjectKind::Lineset))
      if (o.layer == 11) out.push_back(host::get<host::LinesetData>(o.data).points);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
      return std::tie(a[0].y, a[0].x) < std::tie(b[0].y, b[0].x);
    });
    return out;
  }
  // The lines on `layer`, each from its lower-left end, sorted: which face the host found first
  // does not matter.
  std::vector<std::vector<host::Point>> LinesOn(std::int16_t layer) const {
    std::vector<std::vector<host::Point>> out;
    for (const host::Object& o : Objects(host::ObjectKind::Lineset)) {
      if (o.layer != layer) continue;
      auto points = host::get<host::LinesetData>(o.data).points;
      if (std::tie(points.back().x, points.back().y) < std::tie(points.front().x, points.front().y))
        std::reverse(points.begin(), points.end());
      out.push_back(points);
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
      return std::tie(a[0].y, a[0].x) < std::tie(b[0].y, b[0].x);
    });
    return out;
  }
};

TEST_F(DoorTest, SymbolNamesAndOpeningErrors) {
  EXPECT_EQ(DoorSymbolName("36", 0, 1), "36DR-LT.SYM");
  EXPECT_EQ(DoorSymbolName("96", 7, 0), "96DR-S.SYM");
  EXPECT_EQ(DoorSymbolName("18", 3, 2), "18DR-RFD.SYM");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_NO_NODE), "The door symbol must have a node.");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_TOO_MANY_LINES), "More than two lines were selected to open");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_TOO_FEW_LINES), "At least one line must be selected to open.");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_ODD_LINES), "An odd number of lines were selected.");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_DOES_NOT_FIT),
            "The door does not fit in the wall at that location.");
  EXPECT_EQ(DoorOpeningError(HSI_ERR_PLACEMENT),
            "The door does not fit in the wall at that location.");
  // Along a wall each component is rounded by itself.
  EXPECT_EQ(AlongWall({10, 20}, 90, 100).x, 10);
  EXPECT_EQ(AlongWall({10, 20}, 90, 100).y, 120);
  EXPECT_EQ(AlongWall({0, 0}, 45, 10).x, 7);
  EXPECT_EQ(AlongWall({0, 0}, 45, 10).y, 7);
}

TEST_F(DoorTest, SizeEnablesOnlyItsKindsAndTheDialogIsFilledFromTheSettings) {
  TdlgQXDoor& dialog = Dialog();
  // The kind buttons are the first eight controls, in kind order.
  const auto controls = dialog.Controls();
  for (int kind = 0; kind < kDoorKindCount; ++kind)
    EXPECT_EQ(controls[kind]->Name(), kDoorKinds[kind].button);
  auto enabled = [&] {
    std::string out;
    for (platform::Button* b : dialog.kindButtons) out += b->Enabled() ? '1' : '0';
    return out;
  };
  dialog.rgrpSize.SetItemIndex(0);  // 18"
  EXPECT_EQ(enabled(), "11000000");
  for (int size = 9; size < 14; ++size) {  // 60" to 96"
    dialog.rgrpSize.SetItemIndex(size);
    EXPECT_EQ(enabled(), "00001111") << size;
  }
  dialog.rgrpSize.SetItemIndex(1);  // 24"
  EXPECT_EQ(enabled(), "11110000");

  Config().DoorSizeIndex = 5;
  Config().DoorPlacement = 1;
  Config().DoorDistance = "6\"";
  Config().DoorType = 2;
  Config().DoorHeaders = 0;
  dialog.LoadFromConfig();
  EXPECT_EQ(dialog.rgrpSize.SelectedText(), "36\"");
  EXPECT_EQ(enabled(), "11111111");
  EXPECT_TRUE(dialog.rbtnCenter.Checked());
  EXPECT_FALSE(dialog.chkWallHeaders.Checked());
  EXPECT_EQ(dialog.rgrpDoorType.SelectedText(), "Demolition");
  // A stored size past the list selects none, and no kind can be pressed.
  Config().DoorSizeIndex = 40;
  dialog.LoadFromConfig();
  EXPECT_EQ(enabled(), "00000000");

  // Written back: texts cut to their fields, the placement from the radio buttons.
  dialog.rgrpSize.SetItemIndex(2);
  dialog.txtDistanceFromEnd.SetText("1234567890123456789");
  dialog.rbtnManual.SetChecked(true);
  dialog.StoreToConfig();
  EXPECT_EQ(Config().DoorSizeIndex, 2);
  EXPECT_EQ(Config().DoorDistance.Get(), "123456789012345");
  EXPECT_EQ(+Config().DoorPlacement, 0);
}

TEST_F(DoorTest, DistanceFromEndMeasuresFromTheNearerEndOnEitherSwingSide) {
  // D = 4", W = 36": the opening's near edge is 4" from the end picked near, whichever way the
  // door swings, for a left-hand and a right-hand door.
  struct Case {
    const char* kind;
    std::int32_t pickX;  // near the west (A) or east (B) end
    std::int32_t swingY;
    std::int32_t from, to;  // the expected opening along x
  };
  const std::int32_t end = 20 * kFoot;
  const Case cases[] = {
      {"btnLeftDoor", 2 * kFoot, 5 * kFoot, 4 * kInch, 40 * kInch},
      {"btnLeftDoor", 2 * kFoot, -5 * kFoot, 4 * kInch, 40 * kInch},
      {"btnRightDoor", 2 * kFoot, 5 * kFoot, 4 * kInch, 40 * kInch},
      {"btnLeftDoor", end - 2 * kFoot, 5 * kFoot, end - 40 * kInch, end - 4 * kInch},
      {"btnRightDoor", end - 2 * kFoot, -5 * kFoot, end - 40 * kInch, end - 4 * kInch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " at " + std::to_string(c.pickX) + " swing " +
                 std::to_string(c.swingY));
    for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
    Wall();
    user.replies = {PointAt(c.pickX, 3 * kInch), PointAt(c.pickX, c.swingY)};
    RunDoor(c.kind);
    const auto walls = WallLines();
    ASSERT_EQ(walls.size(), 4u);
    EXPECT_EQ(walls[0], (std::vector<host::Point>{{0, 0}, {c.from, 0}}));
    EXPECT_EQ(walls[1], (std::vector<host::Point>{{c.to, 0}, {end, 0}}));
    ASSERT_EQ(Objects(host::ObjectKind::Symbol).size(), 2u);  // the door and its key
  }
  EXPECT_EQ(user.prompts[0], msg::kPickWallNearEnd);
  EXPECT_EQ(user.prompts[1], msg::kPickSwing);
}

// Points within `tolerance` drawing units of each other in both coordinates.
bool Near(host::Point a, host::Point b, std::int32_t tolerance = 2) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

TEST_F(DoorTest, WallsInEveryDirectionAndWithAFaceAHairOffOpenWhereTheDoorIsPlaced) {
  // A wall of 20' along `degrees`, the second face 6" to the left of the first. A hair off: the
  // second face's far end one drawing unit to the right, so that a face near east-west lies on
  // the other side of 0 or 180 degrees than the first. Centred, a 36" left-hand door swings to
  // the side picked; headers, jambs and key lie at the opening the host cut.
  constexpr double kPi = 3.14159265358979323846;
  const double length = 20 * kFoot, half = 18 * kInch;
  const host::Point start{3 * kFoot, 3 * kFoot};
  for (const double degrees : {0.0, 90.0, 180.0, 270.0, 30.0}) {
    for (const bool hairOff : {false, true}) {
      for (const int side : {1, -1}) {
        for (const int placement : {1, 2}) {
          SCOPED_TRACE(std::to_string(degrees) + (hairOff ? " hair off" : "") + " side " +
                       std::to_string(side) + " placement " + std::to_string(placement));
          // Centred, or its near edge 4" from the wall's start.
          const double middle = placement == 1 ? length / 2 : 4 * kInch + half;
          for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
          const double ux = std::cos(degrees * kPi / 180), uy = std::sin(degrees * kPi / 180);
          auto at = [&](double along, double across) {
            return host::Point{
                static_cast<std::int32_t>(std::lround(start.x + ux * along - uy * across)),
                static_cast<std::int32_t>(std::lround(start.y + uy * along + ux * across))};
          };
          auto line = [&](host::Point a, host::Point b) {
            const HsiPoint p{a.x, a.y}, q{b.x, b.y};
            HsiObjStartline(&p, 11, 0, 0, 7);
            HsiObjAddtoline(&q, 2);
            HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
          };
          line(at(0, 0), at(length, 0));
          host::Point far = at(length, 6 * kInch);
          if (hairOff)
            far = {far.x + static_cast<std::int32_t>(std::lround(uy)),
                   far.y - static_cast<std::int32_t>(std::lround(ux))};
          line(at(0, 6 * kInch), far);
          Config().DoorPlacement = placement;
          const host::Point pick = at(placement == 1 ? length / 2 : 2 * kFoot, kInch);
          const host::Point swing = at(middle, side * 5 * kFoot);
          user.replies = {PointAt(pick.x, pick.y), PointAt(swing.x, swing.y)};
          RunDoor("btnLeftDoor");
          ASSERT_TRUE(user.messages.empty()) << user.messages[0].text;

          // The opening on the first face, centred on the wall.
          const host::Point from = at(middle - half, 0), to = at(middle + half, 0);
          const auto headers = LinesOn(24);
          ASSERT_EQ(headers.size(), 2u);
          int onFirstFace = 0;
          for (const auto& header : headers) {
            if ((Near(header.front(), from) && Near(header.back(), to)) ||
                (Near(header.front(), to) && Near(header.back(), from)))
              ++onFirstFace;
          }
          EXPECT_EQ(onFirstFace, 1);
          int cutEnds = 0;
          for (const auto& wall : LinesOn(11))
            for (const host::Point& p : {wall.front(), wall.back()})
              cutEnds += Near(p, from) || Near(p, to);
          EXPECT_EQ(cutEnds, 2);
          // Jambs 2" outside the opening, the key in its middle.
          for (const auto& jamb : LinesOn(14)) {
            EXPECT_TRUE(Near(jamb.front(), at(middle - half - 2 * kInch, 0)) ||
                        Near(jamb.front(), at(middle + half + 2 * kInch, 0)) ||
                        Near(jamb.back(), at(middle - half - 2 * kInch, 0)) ||
                        Near(jamb.back(), at(middle + half + 2 * kInch, 0)));
          }
          ASSERT_EQ(Symbols("DR_KEY1.SYM").size(), 1u);
          const host::Point key = Symbols("DR_KEY1.SYM")[0].at;
          EXPECT_LE(std::abs((key.x - start.x) * ux + (key.y - start.y) * uy - middle), 2);
          // The leaf (the symbol's +y line, mirrored by a negative y scale) on the side picked.
          ASSERT_EQ(Symbols("36DR-L.SYM").size(), 1u);
          const host::Object door = Symbols("36DR-L.SYM")[0];
          const auto& data = host::get<host::SymbolData>(door.data);
          const double r = data.rotation * kPi / 180, leaf = 36 * kInch * data.scaleY;
          const double tipX = door.at.x - std::sin(r) * leaf, tipY = door.at.y + std::cos(r) * leaf;
          const double across = -uy * (tipX - start.x) + ux * (tipY - start.y);
          EXPECT_GT(across * side, 0);
        }
      }
    }
  }
}

TEST_F(DoorTest, AHingePickedOffTheWallStandsForItsFootOnTheFirstFace) {
  // The hinge picked 1' into the room below the wall, the swing point between it and the wall:
  // the door swings down from the hinge's foot, and the key lies on the face.
  Wall();
  Config().DoorPlacement = 0;
  user.replies = {PointAt(5 * kFoot, kInch), PointAt(5 * kFoot, -12 * kInch),
                  PointAt(5 * kFoot, -6 * kInch)};
  RunDoor("btnLeftDoor");
  ASSERT_TRUE(user.messages.empty());
  const auto walls = WallLines();
  ASSERT_EQ(walls.size(), 4u);
  EXPECT_EQ(walls[0], (std::vector<host::Point>{{0, 0}, {2 * kFoot, 0}}));
  EXPECT_EQ(walls[1], (std::vector<host::Point>{{5 * kFoot, 0}, {20 * kFoot, 0}}));
  ASSERT_EQ(Symbols("DR_KEY1.SYM").size(), 1u);
  EXPECT_EQ(Symbols("DR_KEY1.SYM")[0].at, (host::Point{5 * kFoot - 18 * kInch, 0}));
  const auto headers = LinesOn(24);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0], (std::vector<host::Point>{{2 * kFoot, 0}, {5 * kFoot, 0}}));
  // A left-hand door running west from its hinge swings to the right of the wall: down.
  ASSERT_EQ(Symbols("36DR-L.SYM").size(), 1u);
  EXPECT_EQ(host::get<host::SymbolData>(Symbols("36DR-L.SYM")[0].data).rotation, 180.0);
}

TEST_F(DoorTest, ADoorFlushWithTheWallsEndLeavesNoPieceBeforeIt) {
  // Distance 0 from the west end: the opening starts at the faces' ends; the host leaves no
  // line of a single point there, and Undo Last brings the whole faces back.
  Wall();
  Config().DoorDistance = "0";
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot),
                  testsupport::Reply(host::PointReply::Kind::Button2)};
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "btnLeftDoor"); });
  std::vector<std::vector<host::Point>> cut;
  user.formActions.push_back([&](platform::Form& form) {
    cut = WallLines();
    act::Click(form, "BtnUndoLast");
    act::Click(form, "btnCancel");
  });
  QXDoor();
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(cut, (std::vector<std::vector<host::Point>>{
                     {{36 * kInch, 0}, {20 * kFoot, 0}},
                     {{36 * kInch, 6 * kInch}, {20 * kFoot, 6 * kInch}}}));
  EXPECT_EQ(WallLines(),
            (std::vector<std::vector<host::Point>>{{{0, 0}, {20 * kFoot, 0}},
                                                   {{0, 6 * kInch}, {20 * kFoot, 6 * kInch}}}));
}

TEST_F(DoorTest, ExtrasLayersAndTheActiveLayerRestored) {
  Wall();
  Config().DoorPlacement = 1;  // centred: the opening from 8'-6" to 11'-6"
  user.replies = {PointAt(10 * kFoot, 3 * kInch), PointAt(10 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  const std::int32_t a = 10 * kFoot - 18 * kInch, b = 10 * kFoot + 18 * kInch;
  ASSERT_EQ(Symbols("36DR-L.SYM").size(), 1u);
  EXPECT_EQ(Symbols("36DR-L.SYM")[0].layer, 49);
  // Headers on both faces across the opening, jambs 2" outside it across the wall.
  const auto headers = LinesOn(24);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0], (std::vector<host::Point>{{a, 0}, {b, 0}}));
  EXPECT_EQ(headers[1], (std::vector<host::Point>{{a, 6 * kInch}, {b, 6 * kInch}}));
  auto jambs = LinesOn(14);
  ASSERT_EQ(jambs.size(), 2u);
  std::sort(jambs.begin(), jambs.end(),
            [](const auto& p, const auto& q) { return p[0].x < q[0].x; });
  EXPECT_EQ(jambs[0], (std::vector<host::Point>{{a - 2 * kInch, 0}, {a - 2 * kInch, 6 * kInch}}));
  EXPECT_EQ(jambs[1], (std::vector<host::Point>{{b + 2 * kInch, 0}, {b + 2 * kInch, 6 * kInch}}));
  // The key in the middle of the opening, on the note layer; the line colours are the layers'.
  const auto keys = Symbols("DR_KEY1.SYM");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].layer, 33);
  EXPECT_EQ(keys[0].at.x, 10 * kFoot);
  for (const host::Object& o : Objects(host::ObjectKind::Lineset)) {
    if (o.layer != 11) {
      EXPECT_EQ(o.colour, 3);
    }
  }
  EXPECT_EQ(Host().ActiveLayer(), 1);
  EXPECT_EQ(Dialog().UndoCount, 6);  // door, two headers, key, two jambs

  // A single line: one header, no jambs.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  Wall(false);
  user.replies = {PointAt(10 * kFoot, 1000), PointAt(10 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  EXPECT_EQ(LinesOn(24).size(), 1u);
  EXPECT_EQ(LinesOn(14).size(), 0u);
  EXPECT_EQ(Dialog().UndoCount, 3);
}

TEST_F(DoorTest, WithDoorLayerZeroTheKeyLayerDoesNotStayActive) {
  Wall();
  Config().DoorLayers[0][0] = 0;
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  ASSERT_EQ(Symbols("DR_KEY1.SYM").size(), 1u);
  EXPECT_EQ(Symbols("36DR-L.SYM")[0].layer, 1);  // the door on the layer that was active
  EXPECT_EQ(Host().ActiveLayer(), 1);
}

TEST_F(DoorTest, DamagedLayersAreReplacedByTheDefaultsAndNamedOnTheMessageLine) {
  Wall();
  Config().DoorLayers[0][0] = 99999;  // values Setup refuses, as a damaged file may hold them
  Config().DoorLayers[0][1] = -3;
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  EXPECT_EQ(Host().MessageLine(),
            "Door settings out of range (door layers): the defaults are used");
  ASSERT_EQ(Symbols("36DR-L.SYM").size(), 1u);
  EXPECT_EQ(Symbols("36DR-L.SYM")[0].layer, 49);
  ASSERT_EQ(Symbols("DR_KEY1.SYM").size(), 1u);
  EXPECT_EQ(Symbols("DR_KEY1.SYM")[0].layer, 33);
}

TEST_F(DoorTest, UndoLastAfterThreeDoorsRemovesOnlyTheThird) {
  Wall();
  std::vector<std::vector<host::Point>> afterTwo;
  std::size_t objectsAfterTwo = 0;
  const auto button2 = testsupport::Reply(host::PointReply::Kind::Button2);
  user.replies = {PointAt(2 * kFoot, 3 * kInch),
                  PointAt(2 * kFoot, 5 * kFoot),
                  PointAt(18 * kFoot, 3 * kInch),
                  PointAt(18 * kFoot, 5 * kFoot),
                  button2,
                  PointAt(10 * kFoot, 3 * kInch),
                  PointAt(10 * kFoot, -5 * kFoot),
                  button2};
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "btnLeftDoor"); });
  user.formActions.push_back([&](platform::Form& form) {
    // After two doors: Done and Undo Last are offered. The third door is centred.
    EXPECT_EQ(Dialog().btnCancel.Caption(), "Done");
    EXPECT_TRUE(Dialog().BtnUndoLast.Visible());
    afterTwo = WallLines();
    objectsAfterTwo = FinalObjects().size();
    act::Click(form, "rbtnCenter");
    act::Click(form, "btnRightDoor");
  });
  user.formActions.push_back([&](platform::Form& form) {
    // Each face split once more, the door, two headers, the key and two jambs.
    EXPECT_EQ(FinalObjects().size(), objectsAfterTwo + 2 + 6);
    act::Click(form, "BtnUndoLast");
    EXPECT_FALSE(Dialog().BtnUndoLast.Visible());
    act::Click(form, "btnCancel");
  });
  QXDoor();
  EXPECT_EQ(WallLines(), afterTwo);
  EXPECT_EQ(FinalObjects().size(), objectsAfterTwo);
  EXPECT_EQ(Symbols("36DR-L.SYM").size(), 2u);
  EXPECT_EQ(Symbols("36DR-R.SYM").size(), 0u);
  EXPECT_EQ(Host().HostCommands(), std::vector<int>(6, HSI_COMMAND_UNDO));
  EXPECT_EQ(+State().RunningTool, 0);
}

TEST_F(DoorTest, ReferenceScaleThatIsNoNumberOrZeroPlacesTheDoorWithoutKey) {
  for (const char* scale : {"0", "abc"}) {
    SCOPED_TRACE(scale);
    for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
    user.messages.clear();
    Wall();
    Config().DoorRefScaleOn = 1;
    Config().DoorRefScale = scale;
    user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
    RunDoor("btnLeftDoor",
            [&](platform::Form& form) { act::SetText(form, "ScaleValue", {scale}); });
    EXPECT_EQ(Symbols("36DR-L.SYM").size(), 1u);
    EXPECT_EQ(Symbols("DR_KEY1.SYM").size(), 0u);
    EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{msg::kIllegalValue});
    EXPECT_EQ(Dialog().UndoCount, 5);  // the door, two headers and two jambs
  }
  // A scale of 2 with the box on doubles the key; with the box off the key is at scale 1.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  Wall();
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor", [&](platform::Form& form) { act::SetText(form, "ScaleValue", {"2"}); });
  ASSERT_EQ(Symbols("DR_KEY1.SYM").size(), 1u);
  EXPECT_EQ(host::get<host::SymbolData>(Symbols("DR_KEY1.SYM")[0].data).scaleX, 2.0);
  // A missing key symbol is reported once in a run of the command, however many doors miss it,
  // and not counted; the doors stay.
  for (const host::Object& o : FinalObjects()) Host().DeleteObject(o.id);
  Wall();
  user.messages.clear();
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot),
                  PointAt(18 * kFoot, 3 * kInch), PointAt(18 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor",
          [&](platform::Form& form) { act::SetText(form, "txtRefSymbol", {"NOKEY.SYM"}); });
  EXPECT_EQ(Symbols("36DR-L.SYM").size(), 2u);
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"Unable to find the door reference symbol NOKEY.SYM."});
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(Dialog().UndoCount, 5);
  // The next run of the command reports it again.
  user.messages.clear();
  user.replies = {PointAt(10 * kFoot, 3 * kInch), PointAt(10 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(DoorTest, RefusalsWarnAndPickingGoesOn) {
  Wall(true, 16);  // on the second group's wall layer
  user.messageAnswers = {platform::MsgResult::OK, platform::MsgResult::No,
                         platform::MsgResult::Yes};
  user.replies = {PointAt(2 * kFoot, 20 * kFoot),  // nothing there
                  PointAt(2 * kFoot, 3 * kInch),   // off the walls layer: No picks again
                  PointAt(2 * kFoot, 3 * kInch),   // Yes goes on
                  PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  const auto texts = user.MessageTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], msg::kNoWall);
  EXPECT_EQ(user.messages[1].caption, "QX Door");
  EXPECT_EQ(texts[1], msg::kNotOnWallLayer);
  EXPECT_EQ(texts[2], msg::kNotOnWallLayer);
  EXPECT_EQ(Symbols("36DR-L.SYM").size(), 1u);
  EXPECT_EQ(user.prompts.size(), 5u);  // three wall picks, the swing, and the escape

  // A missing door symbol: the warning, and the dialog comes back.
  user.messages.clear();
  const auto shown = user.formsShown.size();
  RunDoor("btnLeftFold");
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"Unable to find door symbol 36DR-LF.SYM"});
  EXPECT_EQ(user.formsShown.size(), shown + 2);
}

TEST_F(DoorTest, EachHostRefusalShowsItsOwnText) {
  // No room at the end of the wall.
  Wall();
  Config().DoorDistance = "19'";
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnLeftDoor");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(user.messages[0].text, "The door does not fit in the wall at that location.");
  EXPECT_EQ(Dialog().UndoCount, 0);  // a failed opening counts nothing
  // A door symbol without a node.
  user.messages.clear();
  Config().DoorDistance = "4\"";
  WriteFile("C:\\TRACELON\\SYMBOLS\\36DR-P.SYM", "TRACELON SYMBOL 1\nLINE 0 0 10 10\n");
  user.replies = {PointAt(2 * kFoot, 3 * kInch), PointAt(2 * kFoot, 5 * kFoot)};
  RunDoor("btnPair");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "The door symbol must have a node.");
}

}  // namespace
}  // namespace qxt
