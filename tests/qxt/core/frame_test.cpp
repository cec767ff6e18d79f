// The plug-in frame: load and unload, the entry check and dead state, the interlock, the 2D check,
// palettes, the About box and the help and settings exports.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "core/about_box.h"
#include "core/command.h"
#include "core/exports.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/actions.h"
#include "platform/window_handle.h"
#include "plugin_fixture.h"

namespace qxt {
namespace {

using test::kLoadFailure;
using test::kNotInitialised;

class Frame : public test::PluginTest {
 protected:
  // Loads the library on a configuration of a later version: the dead state.
  void LoadDead() {
    QXConfig later = DefaultConfig("C:\\QXTOOLS");
    later.Version.Set("6.0");
    later.PointsPerUnit = 1000;
    WriteConfig(test::RecordBytes(later));
    StartLibrary();
    ASSERT_EQ(MessageTexts().back(), kLoadFailure);
    ForgetMessages();
  }
  void LoadReady() {
    StartLibrary();
    ASSERT_EQ(+Config().ConfigValid, 1);
    ForgetMessages();
  }
};

TEST_F(Frame, LoadingSetsUpTheLibrary) {
  platform::Application().title = "Host";
  platform::Application().helpFile = "host.hlp";
  platform::Application().exeName = "D:\\PROGRAMS\\CAD\\TRACELON.EXE";
  LoadReady();
  EXPECT_EQ(platform::ApplicationWindow(), HsiGetWindowHandle());
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_FALSE(State().SnapToolbarShown);
  EXPECT_EQ(State().HostDirectory, "D:\\PROGRAMS\\CAD\\");
  EXPECT_EQ(platform::Application().title, "");
  EXPECT_EQ(platform::Application().helpFile, "");

  // Every form exists, as its class, with its caption and help context.
  const Forms& forms = *State().forms;
  const struct {
    const platform::Form* form;
    const char* className;
    const char* caption;
    int helpContext;
  } expected[] = {
      {forms.dlgQXDimension.get(), "TdlgQXDimension", "QX Dimension", 102},
      {forms.dlgDimEdit.get(), "TdlgDimEdit", "Edit Dimension", 110},
      {forms.dlgQXLeader.get(), "TdlgQXLeader", "QX Leader", 105},
      {forms.dlgQXText.get(), "TdlgQXText", "QX Text", 126},
      {forms.dlgQXDoor.get(), "TdlgQXDoor", "QX Door", 103},
      {forms.dlgCADTextSettings.get(), "TdlgCADTextSettings", "Text Settings", 109},
      {forms.frmQXQText.get(), "TfrmQXQText", "", 119},
      {forms.frmQXSetup.get(), "TfrmQXSetup", "QX Setup", 120},
      {forms.dlgQXPlan.get(), "TdlgQXPlan", "QX Plan", 106},
      {forms.dlgQXScale.get(), "TdlgQXScale", "QX Scale", 108},
      {forms.dlgQXReference.get(), "TdlgQXReference", "QX Reference", 107},
      {forms.dlgRefEdit.get(), "TdlgRefEdit", "New Reference Object", 111},
      {forms.dlgRefSettings.get(), "TdlgRefSettings", "QX Reference Settings", 112},
      {forms.frmQXFix.get(), "TfrmQXFix", "QX Fix", 117},
      {forms.frmQXCircle.get(), "TfrmQXCircle", "QX Circle", 116},
      {forms.frmQXArc.get(), "TfrmQXArc", "QX Arc", 115},
      {forms.dlgQXLayer.get(), "TdlgQXLayer", "QX Layer", 104},
      {forms.dlgQXArea.get(), "TdlgQXArea", "QX Area", 101},
      {forms.frmQXMacro.get(), "TfrmQXMacro", "QX Macro", 118},
      {forms.dlgSymbolSettings.get(), "TdlgSymbolSettings", "QX Symbol Settings", 113},
      {forms.dlgEditDrawings.get(), "TdlgEditDrawings", "Edit Drawings", 124},
      {forms.dlgEditProject.get(), "TdlgEditProject", "Edit Project", 125},
      {forms.dlgQXProject.get(), "TdlgQXProject", "QX Project", 123},
      {forms.dlgSnapSettings.get(), "TdlgSnapSettings", "QX Snap Settings", 0},
      {forms.dlgDefineHierarchy.get(), "TdlgDefineHierarchy", "Define Snap Hierarchy", 0},
  };
  for (const auto& e : expected) {
    ASSERT_NE(e.form, nullptr) << e.className;
    EXPECT_EQ(e.form->ClassName(), e.className);
    EXPECT_EQ(e.form->Caption(), e.caption) << e.className;
    EXPECT_EQ(e.form->helpContext, e.helpContext) << e.className;
    EXPECT_FALSE(e.form->Visible()) << e.className;
  }
  EXPECT_NE(forms.frmAboutBox, nullptr);
  EXPECT_NE(forms.frmQXSymbol, nullptr);
}

TEST_F(Frame, SettingsSurviveUnloadAndReloadOnlyWhenSaved) {
  LoadReady();
  std::int32_t value = 4711;
  SaveQXProjSettings(&value);
  std::int32_t projectSettings = 0, pointsPerUnit = 0;
  GetQXProjSettings(&projectSettings, &pointsPerUnit);
  EXPECT_EQ(projectSettings, 4711);
  EXPECT_EQ(pointsPerUnit, 768000);
  EndLibrary();
  EXPECT_FALSE(StateExists());

  StartLibrary();
  GetQXProjSettings(&projectSettings, &pointsPerUnit);
  EXPECT_EQ(projectSettings, 4711);

  // A change that is never written (the file vanished before the save) is lost on reload.
  value = 99;
  SaveQXProjSettings(&value);
  std::filesystem::remove(LocalConfig());
  EndLibrary();
  StartLibrary();
  GetQXProjSettings(&projectSettings, &pointsPerUnit);
  EXPECT_EQ(projectSettings, -1);
}

TEST_F(Frame, SettingsExportsAnswerFromTheRecord) {
  LoadReady();
  Config().BaseDirectory.Set("D:\\SOME\\TOOLS");
  Config().SymbolScale = 48.0;
  Config().PointsPerUnit = 1000;
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  GetBaseDir(buffer);
  EXPECT_STREQ(buffer, "D:\\SOME\\TOOLS");
  std::int32_t ppu = 0;
  double symbolScale = 0;
  GetUnitSettings(&ppu, &symbolScale);
  EXPECT_EQ(ppu, 1000);
  EXPECT_EQ(symbolScale, 48.0);
  // A full-length base directory still fits the caller's 256 bytes with its terminator.
  Config().BaseDirectory.Set(std::string(300, 'A'));
  GetBaseDir(buffer);
  EXPECT_EQ(std::string(buffer), std::string(255, 'A'));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Frame, DeadStateRefusesEveryCommandWithOneBoxAndChangesNothing) {
  LoadDead();
  ShowAboutBox();
  QXTHelp();
  ToolHelp();
  LayerHelp();
  {
    ToolRun run(kTextTool);
    EXPECT_FALSE(run.Started());
  }
  EXPECT_EQ(MessageTexts(), std::vector<std::string>(5, kNotInitialised));
  for (const auto& m : Messages()) {
    EXPECT_EQ(m.request.caption, "QX Tools (Error!)");
    EXPECT_EQ(m.request.icon, platform::MsgIcon::Error);
  }
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_TRUE(platform::GetHistory().help.empty());
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_TRUE(Host().CallsTo("HsiCustomCallback").empty());
  EXPECT_EQ(platform::Application().helpFile, "");

  // The settings exports still answer, without a box.
  ForgetMessages();
  std::int32_t value = 5;
  SaveQXProjSettings(&value);
  std::int32_t projectSettings = 0, pointsPerUnit = -7;
  GetQXProjSettings(&projectSettings, &pointsPerUnit);
  EXPECT_EQ(projectSettings, 5);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Frame, DeadStateSettingsExportsAnswerFromTheRecordAsItThenIs) {
  // The refused file's first bytes (flag, version, base directory) are in the record; nothing
  // after them was read, so the rest of the record is as the library started it.
  QXConfig later = DefaultConfig("E:\\LATER\\TOOLS");
  later.Version.Set("6.0");
  later.PointsPerUnit = 1000;
  later.SymbolScale = 12.0;
  later.ProjectSettings = 77;
  WriteConfig(test::RecordBytes(later));
  StartLibrary();
  ASSERT_EQ(+Config().ConfigValid, 0);
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  GetBaseDir(buffer);
  EXPECT_STREQ(buffer, "E:\\LATER\\TOOLS");
  std::int32_t ppu = -1;
  double symbolScale = -1;
  GetUnitSettings(&ppu, &symbolScale);
  EXPECT_EQ(ppu, 0);
  EXPECT_EQ(symbolScale, 0.0);
  std::int32_t projectSettings = -1;
  GetQXProjSettings(&projectSettings, &ppu);
  EXPECT_EQ(projectSettings, 0);
  // Nothing of the refused file is ever written back.
  EndLibrary();
  EXPECT_EQ(ReadConfig(), test::RecordBytes(later));
}

TEST_F(Frame, InterlockRefusesAnySecondToolAndIsReleasedOnEveryWayOut) {
  LoadReady();
  const int statusUpdates = Host().StatusLineUpdates();
  {
    ToolRun leader(kLeaderTool);
    ASSERT_TRUE(leader.Started());
    EXPECT_EQ(State().RunningTool, 3);
    EXPECT_EQ(Host().CallbackTitle(), "QX Leader");
    // Text uses the same code as Leader, and is refused all the same.
    {
      ToolRun text(kTextTool);
      EXPECT_FALSE(text.Started());
    }
    {
      ToolRun area(kAreaTool);
      EXPECT_FALSE(area.Started());
    }
    EXPECT_EQ(State().RunningTool, 3);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{
                  "You cannot run QX Text when another QX Tool is already running.",
                  "You cannot run QX Area when another QX Tool is already running."}));
    EXPECT_EQ(Host().StatusLineUpdates(), statusUpdates);
  }
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(Host().StatusLineUpdates(), statusUpdates + 1);

  // An error that ends a tool early releases it too.
  try {
    ToolRun door(kDoorTool);
    EXPECT_EQ(State().RunningTool, 10);
    throw std::runtime_error("cancelled");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(State().RunningTool, 0);
  ToolRun next(kTextTool);
  EXPECT_TRUE(next.Started());
}

TEST_F(Frame, TwoDimensionalCheck) {
  LoadReady();
  EXPECT_TRUE(RequireMode2D());
  EXPECT_TRUE(Messages().empty());
  Host().SetProgMode3D(true);
  EXPECT_FALSE(RequireMode2D());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"This command works in 2D mode only."});
}

TEST_F(Frame, PaletteStartsTheMappedHostCommandAndCancelStartsNone) {
  LoadReady();
  platform::Form palette("TfrmTestPalette", "Palette");
  auto& radius = palette.Add<platform::Button>("btnRadius");
  radius.SetCaption("&Radius");
  radius.modalResult = 1;
  auto& cancel = palette.Add<platform::Button>("btnCancel");
  cancel.SetCaption("Cancel");
  cancel.modalResult = 5;
  const std::map<int, std::int32_t> commands{{1, 1005}};

  std::string press;
  user.onModal = [&](platform::Form& form) { platform::actions::Click(form, press); };
  press = "Cancel";
  EXPECT_EQ(RunPalette(palette, commands), 5);
  EXPECT_TRUE(Host().HostCommands().empty());
  // Closing the palette with its close box starts nothing either.
  user.onModal = [](platform::Form& form) { platform::actions::CloseBox(form); };
  RunPalette(palette, commands);
  EXPECT_TRUE(Host().HostCommands().empty());

  user.onModal = [&](platform::Form& form) { platform::actions::Click(form, press); };
  press = "Radius";
  EXPECT_EQ(RunPalette(palette, commands), 1);
  EXPECT_EQ(Host().HostCommands(), std::vector<int>{1005});
  StartNestedHostCommand(664);
  EXPECT_EQ(Host().HostCommands(), (std::vector<int>{1005, 664}));
}

TEST_F(Frame, AboutBoxShowsItsLabelsWithHintsOn) {
  LoadReady();
  std::vector<std::string> labels;
  user.onModal = [&](platform::Form& form) {
    for (const char* name : {"lblProductName", "lblVersion", "lblDate"}) {
      labels.push_back(platform::actions::DisplayText(platform::actions::Resolve(form, name)));
    }
    platform::actions::Click(form, "OK");
  };
  ShowAboutBox();
  EXPECT_EQ(user.formsShown, std::vector<std::string>{"TfrmAboutBox"});
  EXPECT_EQ(labels, (std::vector<std::string>{"QX Tools 2002", "Version: QX Tools 2002.2",
                                              "    Date: 10/19/02"}));
  EXPECT_TRUE(platform::Application().showHint);
  EXPECT_EQ(platform::Application().hintPause, 1500);
  EXPECT_EQ(platform::Application().helpFile, "qxt.hlp");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Frame, HelpExportsOpenTheirTopics) {
  LoadReady();
  QXTHelp();
  ToolHelp();
  LayerHelp();
  const auto& help = platform::GetHistory().help;
  ASSERT_EQ(help.size(), 3u);
  EXPECT_EQ(help[0].file, "qxt.hlp");
  EXPECT_EQ(help[0].topic, "100");
  EXPECT_EQ(help[1].topic, "127");
  EXPECT_EQ(help[2].topic, "128");
}

TEST_F(Frame, MessageBoxesBeepAndCarryTheirCaptionsAndIcons) {
  LoadReady();
  ShowWarning("careful");
  ShowError("broken");
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].request.caption, "QX Tools (Warning!)");
  EXPECT_EQ(Messages()[0].request.icon, platform::MsgIcon::Warning);
  EXPECT_EQ(Messages()[0].request.buttons, platform::MsgButtons::OK);
  EXPECT_EQ(Messages()[1].request.caption, "QX Tools (Error!)");
  EXPECT_EQ(Messages()[1].request.icon, platform::MsgIcon::Error);
  const auto& beeps = platform::GetHistory().beeps;
  ASSERT_GE(beeps.size(), 2u);
  EXPECT_EQ(beeps[beeps.size() - 2], platform::BeepKind::Exclamation);
  EXPECT_EQ(beeps.back(), platform::BeepKind::Error);

  // A box shown while a dialog is the active window belongs to that dialog.
  const platform::Form* owner = nullptr;
  user.onModal = [&](platform::Form& form) {
    ShowWarning("inside");
    owner = platform::GetHistory().messages.back().request.owner;
    form.SetModalResult(platform::ModalResult::OK);
  };
  State().forms->dlgQXPlan->ShowModal();
  EXPECT_EQ(owner, State().forms->dlgQXPlan.get());
}

}  // namespace
}  // namespace qxt
