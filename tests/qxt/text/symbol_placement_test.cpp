// Placing symbols at picked points and inserting them into lines, on a machine with a few symbol
// files in the host's symbol folder.
#include "text/symbol_placement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "core/state.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace msg = symbol_placement_messages;
using testing::PointAt;

constexpr const char* kChair =
    "TRACELON SYMBOL 1\nLINE -9 -9 9 -9 9 9 -9 9 -9 -9\nLINE -9 9 -9 13 9 13 9 9\n";
constexpr const char* kWindow =
    "TRACELON SYMBOL 1\nNODE 0 0 36\nLINE 0 -3 36 -3\nLINE 0 0 36 0\nLINE 0 3 36 3\n";

class SymbolPlacementTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
    WriteFile("C:\\TRACELON\\SYMBOLS\\CHAIR.SYM", kChair);
    WriteFile("C:\\TRACELON\\SYMBOLS\\BOX.S3D", kChair);
    WriteFile("C:\\TRACELON\\SYMBOLS\\WIN36.SYM", kWindow);
  }

  static SymbolCell Cell(const std::string& name, std::int32_t kind, std::int32_t scaleMode = 1,
                         std::int32_t layer = 0, const std::string& justify = "") {
    return SymbolCell{name, layer, justify, kind, scaleMode};
  }

  std::vector<host::SymbolData> Instances() const {
    std::vector<host::SymbolData> instances;
    for (const host::Object& o : FinalObjects())
      if (const auto* s = host::get_if<host::SymbolData>(&o.data)) instances.push_back(*s);
    return instances;
  }

  // Feet, with the toolset's points per unit equal to the host's.
  void FeetAt96() {
    HsiSetPaperUnit(HSI_UNIT_INCHES);
    HsiSetUnitType(HSI_UNIT_FEET);
    Config().PointsPerUnit = HsiGetPntsPerUnit();
    Config().SymbolScale = 96;
  }

  // A wall of two lines 4" apart along the x axis, 20' long (8000 drawing units to the inch).
  void TwoLineWall() {
    for (int32_t y : {0, 4 * 8000}) {
      const HsiPoint a{0, y}, b{20 * 96000, y};
      HsiObjStartline(&a, 11, 0, 0, 7);
      HsiObjAddtoline(&b, 2);
      HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
    }
  }

  int LocalListsLeft() {
    return static_cast<int>(Host().CallsTo("HsiCreateLocalOsl").size()) -
           static_cast<int>(Host().CallsTo("HsiFreeLocalOsl").size());
  }
};

TEST_F(SymbolPlacementTest, ScaleFactorForPlacingAndForInsertion) {
  FeetAt96();
  EXPECT_EQ(SymbolScaleFactor(1, true), 1.0);
  EXPECT_EQ(SymbolScaleFactor(1, false), 1.0);
  EXPECT_DOUBLE_EQ(SymbolScaleFactor(2, true), 8.0);
  EXPECT_DOUBLE_EQ(SymbolScaleFactor(2, false), 96.0);
  // The toolset's points per unit twice the host's halves the factor.
  Config().PointsPerUnit = 2 * HsiGetPntsPerUnit();
  EXPECT_DOUBLE_EQ(SymbolScaleFactor(2, false), 48.0);
  // Metric paper: millimetres scale up by 10.
  Config().PointsPerUnit = HsiGetPntsPerUnit();
  HsiSetPaperUnit(HSI_UNIT_MILLIMETRES);
  HsiSetUnitType(HSI_UNIT_MILLIMETRES);
  EXPECT_DOUBLE_EQ(SymbolScaleFactor(0, true), 960.0);
  // No points per unit in a damaged configuration does not divide by zero.
  Config().PointsPerUnit = 0;
  EXPECT_DOUBLE_EQ(SymbolScaleFactor(0, false), 96.0);
}

TEST_F(SymbolPlacementTest, PlacesScaledInstancesOnTheCellLayerAndRestoresTheActiveOne) {
  FeetAt96();
  HsiSetActLayer(5);
  user.replies = {PointAt(1000, 2000), PointAt(3000, 4000)};
  EXPECT_FALSE(PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell, 0, 12), HSI_MODE_2D));
  const auto instances = Instances();
  ASSERT_EQ(instances.size(), 2u);
  EXPECT_DOUBLE_EQ(instances[0].scaleX, 8.0);
  EXPECT_DOUBLE_EQ(instances[0].scaleY, 8.0);
  EXPECT_EQ(instances[0].scaleZ, 1.0);
  for (const host::Object& o : FinalObjects()) EXPECT_EQ(o.layer, 12);
  EXPECT_EQ(Host().ActiveLayer(), 5);
  EXPECT_EQ(user.prompts[0], "Place symbol CHAIR.SYM, or B2 to change settings...");
  // The settings reach the host before every point, and the preview follows the cursor.
  EXPECT_EQ(Host().CallsTo("HsiSetSymInfo").size(), 3u);
  ASSERT_EQ(user.cursorsAtPick.size(), 3u);
  EXPECT_TRUE(user.cursorsAtPick[0].active);
  EXPECT_EQ(user.cursorsAtPick[0].objects.size(), 1u);
  EXPECT_EQ(LocalListsLeft(), 0);
}

TEST_F(SymbolPlacementTest, ACellLayerNoLayerHasPlacesOnTheActiveLayerAndSaysSo) {
  HsiSetActLayer(5);
  for (const std::int32_t layer : {99999, -3, 256}) {
    HsiPutMsg("");
    user.replies = {PointAt(1000, 2000), PointAt(3000, 4000)};
    EXPECT_FALSE(PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell, 0, layer), HSI_MODE_2D));
    EXPECT_EQ(Host().MessageLine(), "Symbol CHAIR.SYM: there is no layer " + std::to_string(layer) +
                                        ", it goes on the active layer");
  }
  ASSERT_EQ(FinalObjects().size(), 6u);
  for (const host::Object& o : FinalObjects()) EXPECT_EQ(o.layer, 5);
  EXPECT_EQ(Host().ActiveLayer(), 5);
}

TEST_F(SymbolPlacementTest, SettingsIn2DRepeatTheRotationAndKeepTheThirdScaleAt1) {
  user.formActions.push_back([](platform::Form& form) {
    act::SetText(form, "txt2DRotation", {"30"});
    act::SetText(form, "txt2DScale", {"2"});
    act::Check(form, "chk2DYMirror", true);
    act::Click(form, "OK");
  });
  user.replies = {testsupport::Reply(host::PointReply::Kind::Button2), PointAt(0, 0)};
  EXPECT_FALSE(PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell), HSI_MODE_2D));
  const auto instances = Instances();
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(instances[0].scaleX, 2);
  EXPECT_EQ(instances[0].scaleY, -2);
  EXPECT_EQ(instances[0].scaleZ, 1);
  EXPECT_EQ(instances[0].rotation, 30);
  EXPECT_EQ(instances[0].rotationY, 30);
  EXPECT_EQ(instances[0].rotationZ, 30);
  // The new preview carries the new settings.
  ASSERT_EQ(user.cursorsAtPick.size(), 3u);
  ASSERT_EQ(user.cursorsAtPick[1].objects.size(), 1u);
  EXPECT_EQ(host::get<host::SymbolData>(user.cursorsAtPick[1].objects[0].data).rotation, 30);
}

TEST_F(SymbolPlacementTest, In3DThreeIndependentScalesAndRotations) {
  Host().SetProgMode3D(true);
  user.formActions.push_back([](platform::Form& form) {
    act::SetText(form, "txt3DXRotation", {"10"});
    act::SetText(form, "txt3DYRotation", {"20"});
    act::SetText(form, "txt3DZRotation", {"30"});
    act::SetText(form, "txt3DXScale", {"2"});
    act::SetText(form, "txt3DYScale", {"3"});
    act::SetText(form, "txt3DZScale", {"4"});
    act::Check(form, "chk3DZMirror", true);
    act::Click(form, "OK");
  });
  user.replies = {testsupport::Reply(host::PointReply::Kind::Button2), PointAt(500, 600, 700)};
  EXPECT_FALSE(PlaceSymbol(Cell("BOX.S3D", kPlaceCell), HSI_MODE_3D));
  const auto instances = Instances();
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(instances[0].scaleX, 2);
  EXPECT_EQ(instances[0].scaleY, 3);
  EXPECT_EQ(instances[0].scaleZ, -4);
  EXPECT_EQ(instances[0].rotation, 10);
  EXPECT_EQ(instances[0].rotationY, 20);
  EXPECT_EQ(instances[0].rotationZ, 30);
  EXPECT_EQ(Host().CallsTo("HsiGet3DPoint").size(), 3u);  // B2, the point, the end
  EXPECT_EQ(Host().CallsTo("HsiMake3DCursor").size(), 2u);
}

TEST_F(SymbolPlacementTest, DoneEndsAndSymbolsReturnsToTheBrowser) {
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Done"); });
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Symbols"); });
  user.replies = {testsupport::Reply(host::PointReply::Kind::Button2),
                  testsupport::Reply(host::PointReply::Kind::Status, 7),
                  testsupport::Reply(host::PointReply::Kind::Button2)};
  EXPECT_FALSE(PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell), HSI_MODE_2D));
  EXPECT_TRUE(PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell), HSI_MODE_2D));
  EXPECT_EQ(user.prompts.size(), 3u);  // another status asks again
  EXPECT_TRUE(Instances().empty());
  EXPECT_EQ(LocalListsLeft(), 0);
}

TEST_F(SymbolPlacementTest, RepeatedPlacingDoesNotRunTheHostOutOfLists) {
  for (int i = 0; i < 100; ++i) {
    user.replies = {PointAt(i * 1000, 0)};
    PlaceSymbol(Cell("CHAIR.SYM", kPlaceCell), HSI_MODE_2D);
  }
  EXPECT_EQ(Instances().size(), 100u);
  EXPECT_EQ(user.cursorsAtPick.back().objects.size(), 1u);
  EXPECT_EQ(LocalListsLeft(), 0);
}

TEST_F(SymbolPlacementTest, MissingSymbolsWarnEachWithItsOwnText) {
  EXPECT_TRUE(PlaceSymbol(Cell("GONE.SYM", kPlaceCell), HSI_MODE_2D));
  EXPECT_TRUE(PlaceSymbol(Cell("GONE.S3D", kPlaceCell), HSI_MODE_2D));
  EXPECT_TRUE(InsertSymbolIntoLines(Cell("GONE.SYM", kInsertCell, 1, 0, "C")));
  Host().SetProgMode3D(true);
  EXPECT_TRUE(PlaceSymbol(Cell("GONE.sym", kPlaceCell), HSI_MODE_3D));
  EXPECT_TRUE(InsertSymbolIntoLines(Cell("WIN36.SYM", kInsertCell, 1, 0, "C")));
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{
                "Could not find symbol - GONE.SYM\r\nPlease check your symbol path settings under "
                "Options/Path",
                msg::kCheckProgramMode,
                "Could not find symbol - GONE.SYM\r\nPlease check your symbol path settings using "
                "Options/Path",
                msg::kCheckProgramMode, msg::kInsertIn3D}));
  EXPECT_TRUE(user.prompts.empty());
}

TEST_F(SymbolPlacementTest, InsertsIntoBothLinesOfAWallUnscaledByUnits) {
  FeetAt96();
  Config().SymbolScale = 1;  // the window at its own size, 36 symbol units
  TwoLineWall();
  HsiSetActLayer(3);
  user.replies = {PointAt(480000, 16000), PointAt(480000, 16000), PointAt(600000, 16000),
                  testsupport::Reply(host::PointReply::Kind::Button2)};
  EXPECT_TRUE(InsertSymbolIntoLines(Cell("WIN36.SYM", kInsertCell, 0, 14, "C")));
  EXPECT_EQ(user.prompts,
            (std::vector<std::string>{msg::kPickLines, msg::kPickInsertion,
                                      "Pick direction for symbol WIN36.SYM", msg::kPickLines}));
  const auto instances = Instances();
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_TRUE(instances[0].inserted);
  EXPECT_EQ(instances[0].scaleX, 1.0);  // no unit conversion when inserting
  EXPECT_EQ(Host().ActiveLayer(), 3);
  const auto open = Host().CallsTo("HsiObjOpenSegment");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(Host().Marks().size(), 2u);  // each picked segment marked
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(LocalListsLeft(), 0);
}

TEST_F(SymbolPlacementTest, APickWhereNoLineLiesWarnsAndAsksAgain) {
  TwoLineWall();
  user.replies = {PointAt(5000000, 5000000), testsupport::Reply(host::PointReply::Kind::Escape)};
  EXPECT_FALSE(InsertSymbolIntoLines(Cell("WIN36.SYM", kInsertCell, 1, 0, "L")));
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{msg::kNothingSelected});
  EXPECT_EQ(user.prompts, (std::vector<std::string>{msg::kPickLines, msg::kPickLines}));
}

TEST_F(SymbolPlacementTest, TheHostsRefusalIsExplainedAndTheLinesArePickedAgain) {
  TwoLineWall();
  user.replies = {PointAt(96000, 1000),
                  PointAt(96000, 1000),
                  PointAt(96000, 1000),  // a symbol without a node: the host refuses
                  PointAt(96000, 1000),
                  testsupport::Reply(host::PointReply::Kind::Button2),
                  testsupport::Reply(host::PointReply::Kind::Escape)};
  EXPECT_FALSE(InsertSymbolIntoLines(Cell("CHAIR.SYM", kInsertCell, 1, 0, "R")));
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{"The symbol does not contain a node."});
  EXPECT_EQ(user.prompts.size(), 6u);
  EXPECT_EQ(user.prompts[4], msg::kPickInsertion);
  EXPECT_EQ(user.prompts[5], msg::kPickLines);  // B2 at the point picks the lines again
}

}  // namespace
}  // namespace qxt
