// The setup form through the command: what OK stores and writes, what every other way of closing
// puts back, and the two entries that keep the form open.
#include "core/setup_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config_bytes.h"
#include "core/forms.h"
#include "core/scale_dialog.h"
#include "core/state.h"
#include "platform/actions.h"
#include "plugin_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using test::Bytes;
using test::RecordBytes;

class SetupTest : public test::PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    StartLibrary();
    ForgetMessages();  // the new configuration file's notice
  }
  void OnForm(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  TfrmQXSetup& Form() { return *State().forms->frmQXSetup; }
};

TEST_F(SetupTest, EveryWayOfClosingButOkPutsBackTheWholeRecordLeaderChangesIncluded) {
  const std::vector<std::pair<const char*, std::function<void(platform::Form&)>>> closers = {
      {"Cancel", [](platform::Form& form) { act::Click(form, "btnCancel"); }},
      {"close box", [](platform::Form& form) { act::CloseBox(form); }},
      {"Escape", [](platform::Form& form) { act::TypeText(form, "chkLeaderHints", "\x1b"); }},
  };
  for (const auto& [how, close] : closers) {
    const Bytes before = RecordBytes(Config());
    const Bytes fileBefore = ReadConfig();
    int32_t weightInside = -1;
    OnForm([&, close = close](platform::Form& form) {
      act::SelectTab(form, "General");
      act::SetText(form, "txtSmallestUnit", {"1234"});
      act::SelectTab(form, "QX Leader");
      act::Check(form, "chkDialogBefore", !Form().chkDialogBefore.Checked());
      // The leader dialog stores straight into the record.
      OnForm([](platform::Form& leader) {
        act::SetText(leader, "txtWeight", {"77"});
        act::Click(leader, "OK");
      });
      act::Click(form, "btnLeaderSettings");
      const int32_t type = Config().LeaderType;
      weightInside = Config().LeaderStyles[type].ArrowWeight;
      close(form);
    });
    QXSetup();
    EXPECT_EQ(weightInside, 77) << how << ": the leader dialog changed nothing";
    EXPECT_EQ(RecordBytes(Config()), before) << how;
    EXPECT_EQ(RecordBytes(Form().SetupBackup), before) << how;
    EXPECT_EQ(ReadConfig(), fileBefore) << how;
  }
}

TEST_F(SetupTest, OkCutsTextsAppliesTheCellRulesAndWritesTheFileAtOnce) {
  const int32_t firstType = Config().DoorFirstType[0];
  const int32_t noteLayer = Config().DoorLayers[1][1];
  OnForm([this](platform::Form& form) {
    act::SelectTab(form, "QX Door");
    act::SetCell(form, "sgrdDoorSize", 0, 1, "ABCDEF");
    act::SetCell(form, "sgrdDoorSize", 1, 1, "XYZ");
    act::SetCell(form, "sgrdDoorSize", 2, 1, "two");   // not a whole number: kept
    act::SetCell(form, "sgrdDoorSize", 3, 1, "9");     // no range check
    act::SetCell(form, "sgrdDoorTypes", 2, 2, "2.5");  // kept
    act::SetCell(form, "sgrdDoorTypes", 3, 2, "12");
    act::SelectTab(form, "QX Plan");
    act::SetCell(form, "sgrdPlanTypes", 0, 1, std::string(40, 'd'));
    act::SetCell(form, "sgrdPlanTypes", 1, 1, "LONGFILENAME");
    // The drop-down covers the Group Option column; the cells are given their texts directly.
    platform::StringGrid& plans = Form().sgrdPlanTypes;
    plans.SetCell(3, 1, "Yes");
    plans.SetCell(3, 2, "yes");
    plans.SetCell(3, 3, "");
    plans.SetCell(3, 4, "Yes ");
    act::SelectTab(form, "QX Scale");
    act::SetCell(form, "sgrdArchScales", 1, 1, "abc");  // not a number: 0
    act::SetCell(form, "sgrdArchScales", 0, 3, "");     // ends the list
    act::SetCell(form, "sgrdEngScales", 1, 1, "2.5");
    act::Click(form, "OK");
  });
  QXSetup();
  const QXConfig& c = Config();
  EXPECT_EQ(c.DoorSizeText[0].Get(), "ABCDE");
  EXPECT_EQ(c.DoorSizeCode[0].Get(), "XY");
  EXPECT_EQ(+c.DoorFirstType[0], firstType);
  EXPECT_EQ(+c.DoorLastType[0], 9);
  EXPECT_EQ(+c.DoorLayers[1][1], noteLayer);
  EXPECT_EQ(+c.DoorLayers[1][2], 12);
  EXPECT_EQ(c.PlanTypes[0].Description.Get(), std::string(30, 'd'));
  EXPECT_EQ(c.PlanTypes[0].LayerFile.Get(), "LONGFILE");
  EXPECT_EQ(+c.PlanTypes[0].GroupOption, 1);
  EXPECT_EQ(+c.PlanTypes[1].GroupOption, 0);
  EXPECT_EQ(+c.PlanTypes[2].GroupOption, 0);
  EXPECT_EQ(+c.PlanTypes[3].GroupOption, 0);
  EXPECT_EQ(double(c.ArchScales[0].Scale), 0.0);
  EXPECT_EQ(double(c.EngScales[0].Scale), 2.5);
  EXPECT_FALSE(c.ArchScales[3].Display.Empty()) << "later rows stay filled";
  EXPECT_EQ(ListedScales(c.ArchScales, 14), 2);
  EXPECT_TRUE(MessageTexts().empty());

  // The file holds the record, byte for byte, with the cut label at its documented offset.
  const Bytes file = ReadConfig();
  ASSERT_EQ(file.size(), kConfigSize);
  EXPECT_EQ(file, RecordBytes(Config()));
  EXPECT_EQ(file[1136], 5);
  EXPECT_EQ(std::string(file.begin() + 1137, file.begin() + 1142), "ABCDE");

  // The scale command lists the architectural scales only up to the cleared caption.
  std::vector<std::string> archItems;
  OnForm([&](platform::Form&) { archItems = State().forms->dlgQXScale->rgrpArchScales.items; });
  QXScale();
  EXPECT_EQ(archItems.size(), 2u);
}

TEST_F(SetupTest, PointsPerUnitMustBeWholeAndSymbolScaleANumberAndTheFormStaysOpen) {
  const Bytes fileBefore = ReadConfig();
  std::vector<std::string> warnings;
  bool openAfterPoints = false, openAfterScale = false;
  Bytes fileWhileRefused;
  OnForm([&](platform::Form& form) {
    act::SelectTab(form, "QX Door");
    act::SetCell(form, "sgrdDoorSize", 0, 2, "NEW");
    act::SelectTab(form, "General");
    act::SetText(form, "txtSmallestUnit", {"12.5"});
    act::Click(form, "OK");
    openAfterPoints = form.GetModalResult() == platform::ModalResult::None;
    EXPECT_TRUE(Form().txtSmallestUnit.Focused());
    act::SetText(form, "txtSmallestUnit", {"0"});
    act::SetText(form, "txtSymbolScale", {"1/2"});
    act::Click(form, "OK");
    openAfterScale = form.GetModalResult() == platform::ModalResult::None;
    EXPECT_TRUE(Form().txtSymbolScale.Focused());
    fileWhileRefused = ReadConfig();
    act::SetText(form, "txtSymbolScale", {"0.25"});
    act::Click(form, "OK");
  });
  QXSetup();
  EXPECT_TRUE(openAfterPoints);
  EXPECT_TRUE(openAfterScale);
  EXPECT_EQ(fileWhileRefused, fileBefore);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kBadPointsPerUnit, kBadSymbolScale}));
  EXPECT_EQ(+Config().PointsPerUnit, 0);
  EXPECT_EQ(double(Config().SymbolScale), 0.25);
  EXPECT_EQ(Config().DoorSizeText[1].Get(), "NEW");
  EXPECT_EQ(ReadConfig(), RecordBytes(Config()));
}

TEST_F(SetupTest, DoorLayersOutside0To255KeepTheFormOpenWithTheFocusOnTheCell) {
  std::vector<bool> open;
  std::vector<std::string> focusedCell;
  OnForm([&](platform::Form& form) {
    for (const char* layer : {"256", "-1"}) {
      act::SelectTab(form, "QX Door");
      act::SetCell(form, "sgrdDoorTypes", 3, 2, layer);  // the second group's wall layer
      act::SelectTab(form, "General");
      act::Click(form, "OK");
      open.push_back(form.GetModalResult() == platform::ModalResult::None);
      focusedCell.push_back(std::to_string(Form().nbkSetup.PageIndex()) + " " +
                            std::to_string(Form().sgrdDoorTypes.Col()) + "," +
                            std::to_string(Form().sgrdDoorTypes.Row()) +
                            (Form().sgrdDoorTypes.Focused() ? " focused" : ""));
    }
    act::SetCell(form, "sgrdDoorTypes", 3, 2, "255");
    act::SetCell(form, "sgrdDoorTypes", 4, 3, "0");
    act::Click(form, "OK");
  });
  QXSetup();
  EXPECT_EQ(open, (std::vector<bool>{true, true}));
  EXPECT_EQ(focusedCell, (std::vector<std::string>{"1 3,2 focused", "1 3,2 focused"}));
  const std::string layers = "Layer numbers must be between 0 and 255.";
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{layers, layers}));
  EXPECT_EQ(+Config().DoorLayers[1][2], 255);
  EXPECT_EQ(+Config().DoorLayers[2][3], 0);
  EXPECT_EQ(ReadConfig(), RecordBytes(Config()));
}

TEST_F(SetupTest, TheYesNoDropDownIsCommittedWhenEnterPressesOkWhileItHasTheFocus) {
  Config().PlanTypes[1].GroupOption = 0;
  std::string shownOnCell;
  OnForm([&](platform::Form& form) {
    act::SelectTab(form, "QX Plan");
    act::MouseCell(form, "sgrdPlanTypes", act::MouseAction::Down, platform::MouseButton::Left, 3,
                   2);
    shownOnCell = act::DisplayText(Form().cbxYesNo);
    EXPECT_TRUE(Form().cbxYesNo.Focused());
    act::Select(form, "cbxYesNo", "Yes");
    act::TypeText(form, "cbxYesNo", "\r");
  });
  QXSetup();
  EXPECT_EQ(shownOnCell, "No");
  EXPECT_EQ(+Config().PlanTypes[1].GroupOption, 1);
  EXPECT_FALSE(Form().cbxYesNo.Visible());
}

TEST_F(SetupTest, AMissingFileAtOkIsReportedTheFormClosesAndMemoryKeepsTheNewValues) {
  std::filesystem::remove(LocalConfig());
  int result = -1;
  OnForm([&](platform::Form& form) {
    act::SetText(form, "txtSmallestUnit", {"4321"});
    act::Click(form, "OK");
    result = form.GetModalResult();
  });
  QXSetup();
  EXPECT_EQ(result, platform::ModalResult::OK);
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find("is missing."), std::string::npos);
  EXPECT_EQ(+Config().PointsPerUnit, 4321);
  EXPECT_FALSE(std::filesystem::exists(LocalConfig()));
}

TEST_F(SetupTest, FillingShowsNumbersAsTextRealsShortAndGroupOptionAsYesNo) {
  Config().SymbolScale = 0.5;
  Config().PlanTypes[0].GroupOption = 1;
  Config().PlanTypes[1].GroupOption = 2;  // anything but 1 shows "No"
  std::string scale, points, first, second, archScale;
  OnForm([&](platform::Form&) {
    scale = Form().txtSymbolScale.Text();
    points = Form().txtSmallestUnit.Text();
    first = Form().sgrdPlanTypes.Cell(3, 1);
    second = Form().sgrdPlanTypes.Cell(3, 2);
    archScale = Form().sgrdArchScales.Cell(1, 4);
  });
  QXSetup();
  EXPECT_EQ(scale, "0.5");
  EXPECT_EQ(points, std::to_string(+Config().PointsPerUnit));
  EXPECT_EQ(first, "Yes");
  EXPECT_EQ(second, "No");
  EXPECT_EQ(archScale, "96") << "1/8\" = 1'-0\" is the fourth architectural scale";
}

}  // namespace
}  // namespace qxt
