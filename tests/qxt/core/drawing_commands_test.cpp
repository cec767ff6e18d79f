#include "core/drawing_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fix_command.h"
#include "core/fix_palette.h"
#include "core/forms.h"
#include "core/state.h"
#include "drafting/snap_toolbar.h"
#include "hsi/hsi.h"
#include "platform/actions.h"
#include "platform/window_handle.h"
#include "plugin_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testsupport::PointAt;

class DrawingCommands : public test::PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    StartLibrary();
    ASSERT_EQ(+Config().ConfigValid, 1);
    ForgetMessages();
  }
  TfrmQXFix& FixPalette() { return *State().forms->frmQXFix; }
  void Press(const std::string& button) {
    user.onModal = [button](platform::Form& form) { act::Click(form, button); };
  }

  // Two walls 6 units thick meeting in an L with a gap at the corner: the horizontal wall runs
  // from x 0 to 90, the vertical one from y 10 up, its outer face at x 100.
  void DrawOpenCorner() {
    Host().AddLine({{0, 0}, {90, 0}});
    Host().AddLine({{0, 6}, {90, 6}});
    Host().AddLine({{100, 10}, {100, 100}});
    Host().AddLine({{94, 10}, {94, 100}});
  }
};

TEST_F(DrawingCommands, PalettesStartTheChosenHostCommand) {
  struct Case {
    void (*command)();
    const char* button;
    int hostCommand;
  };
  for (const Case& c : {Case{QXCircle, "Radius", 1005}, Case{QXCircle, "Diameter", 1006},
                        Case{QXCircle, "3 Points", 1007}, Case{QXCircle, "Inscribe", 1008},
                        Case{QXArc, "Radius", 1010}, Case{QXArc, "Diameter", 1011},
                        Case{QXArc, "3 Points", 1012}}) {
    const auto before = Host().HostCommands().size();
    Press(c.button);
    c.command();
    ASSERT_EQ(Host().HostCommands().size(), before + 1) << c.button;
    EXPECT_EQ(Host().HostCommands().back(), c.hostCommand) << c.button;
  }
  EXPECT_EQ(Host().CallbackTitle(), "QX Arc");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DrawingCommands, CancelOrClosingEitherPaletteStartsNothing) {
  for (void (*command)() : {QXCircle, QXArc}) {
    Press("Cancel");
    command();
    // The close box gives the system's Cancel result, 2, which is also the Diameter button's.
    user.onModal = [](platform::Form& form) { act::CloseBox(form); };
    command();
    // Escape clicks the Cancel button.
    user.onModal = [](platform::Form& form) { act::TypeText(form, "btnRadius", "\x1b"); };
    command();
  }
  EXPECT_TRUE(Host().HostCommands().empty());
}

TEST_F(DrawingCommands, PalettesWorkIn2DOnly) {
  Host().SetProgMode3D(true);
  Press("Radius");
  QXCircle();
  QXArc();
  QXFix();
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_TRUE(Host().HostCommands().empty());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>(3, "This command works in 2D mode only."));
  EXPECT_EQ(Host().CallbackTitle(), "");
}

TEST_F(DrawingCommands, TrimWithAndWithoutASelection) {
  QXTrim();
  Host().AddLine({{0, 0}, {100, 0}});
  Host().AddLine({{0, 50}, {100, 50}});
  Host().SelectNearest({50, 0});
  QXTrim();
  Host().SelectNearest({50, 50});
  QXTrim();
  EXPECT_EQ(Host().HostCommands(), (std::vector<int>{1157, 1147, 1147}));
}

TEST_F(DrawingCommands, ActiveLayerByTheSelection) {
  Host().AddLine({{0, 0}, {100, 0}}, 7);
  Host().AddLine({{0, 50}, {100, 50}}, 9);
  const int16_t layerBefore = Host().ActiveLayer();

  // Two selected: a warning and nothing changes.
  Host().SelectNearest({50, 0});
  Host().SelectNearest({50, 50});
  QXActiveLayer();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please select only one object."});
  EXPECT_EQ(Messages()[0].request.caption, "QX Tools (Warning!)");
  EXPECT_EQ(Host().ActiveLayer(), layerBefore);
  EXPECT_EQ(HsiOslCount(0), 2);
  EXPECT_TRUE(Host().HostCommands().empty());

  // One selected: its layer becomes active and the selection is cleared.
  Host().SelectNone();
  Host().SelectNearest({50, 50});
  const int updates = Host().StatusLineUpdates();
  QXActiveLayer();
  EXPECT_EQ(Host().ActiveLayer(), 9);
  EXPECT_EQ(HsiOslCount(0), 0);
  EXPECT_EQ(Host().StatusLineUpdates(), updates + 1);

  // None: the host lets the user pick the object.
  QXActiveLayer();
  EXPECT_EQ(Host().HostCommands(), std::vector<int>{664});
}

TEST_F(DrawingCommands, FixFirstRepairsOpenTeesAndKeepsTheLastChoice) {
  EXPECT_EQ(FixPalette().FixType, kFixOpenTee);
  // The palette's tags number the buttons in their order, not the host's kinds.
  EXPECT_EQ(TfrmQXFix::FixTypeOfTag(FixPalette().sbtnCross.tag), kFixCross);
  EXPECT_EQ(TfrmQXFix::FixTypeOfTag(FixPalette().sbtnOpenY.tag), kFixOpenWye);
  DrawOpenCorner();
  // An L is no tee: the open tee fails with its warning, and the next window is asked for.
  user.replies = {PointAt(80, -10), PointAt(110, 20)};
  bool palettePressed = false;
  user.whilePicking = [&] {
    palettePressed = palettePressed || FixPalette().sbtnOpenT.Down();
    EXPECT_TRUE(FixPalette().Visible());
  };
  QXFix();
  EXPECT_TRUE(palettePressed);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Unable to fix open tee"});
  EXPECT_EQ(Host().CallbackTitle(), "QX Fix");
  EXPECT_EQ(user.prompts, (std::vector<std::string>{"Pick first corner of selection window...",
                                                    "Pick opposite corner of selection window...",
                                                    "Pick first corner of selection window..."}));
  EXPECT_FALSE(FixPalette().Visible());

  // Corner chosen on the palette while the first corner is asked: the walls now meet.
  ForgetMessages();
  user.replies = {PointAt(80, -10), PointAt(110, 20)};
  user.whilePicking = [&] {
    if (user.prompts.size() == 4) act::Click(FixPalette(), "sbtnCorner");
  };
  QXFix();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(FixPalette().FixType, kFixCorner);
  EXPECT_EQ(platform::ActiveWindow(), HsiGetWindowHandle());
  const auto outer = Host().FinalObjects();
  ASSERT_EQ(outer.size(), 4u);
  EXPECT_EQ(host::get<host::LinesetData>(outer[0]->data).points.back(), (host::Point{100, 0}));

  // The next run presses Corner again.
  user.whilePicking = [&] { palettePressed = FixPalette().sbtnCorner.Down(); };
  QXFix();
  EXPECT_TRUE(palettePressed);
}

TEST_F(DrawingCommands, FixCancelledAtEitherCornerEndsAndHidesThePalette) {
  // At the first corner.
  QXFix();
  EXPECT_EQ(user.prompts.size(), 1u);
  EXPECT_FALSE(FixPalette().Visible());
  // At the opposite corner; the second button there starts the window again.
  user.replies = {PointAt(0, 0), testsupport::Reply(host::PointReply::Kind::Button2), PointAt(0, 0),
                  testsupport::Reply(host::PointReply::Kind::Escape)};
  QXFix();
  EXPECT_EQ(user.prompts.size(), 5u);
  EXPECT_EQ(user.prompts.back(), "Pick opposite corner of selection window...");
  EXPECT_FALSE(FixPalette().Visible());
  EXPECT_FALSE(Host().Cursor().active);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DrawingCommands, FixPickedAgainWhileItWaitsBringsItsPaletteBackAndGoesOn) {
  DrawOpenCorner();
  user.replies = {PointAt(80, -10), PointAt(110, 20)};
  bool shownAgain = false;
  user.whilePicking = [&] {
    if (user.prompts.size() != 1) return;
    FixPalette().Hide();  // the user closed the palette
    QXFix();
    shownAgain = FixPalette().Visible();
    act::Click(FixPalette(), "sbtnCorner");
  };
  QXFix();
  EXPECT_TRUE(shownAgain);
  // One run only: its windows are asked for once each, and the corner chosen on the palette
  // brought back repairs the walls.
  EXPECT_EQ(user.prompts, (std::vector<std::string>{"Pick first corner of selection window...",
                                                    "Pick opposite corner of selection window...",
                                                    "Pick first corner of selection window..."}));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(host::get<host::LinesetData>(Host().FinalObjects()[0]->data).points.back(),
            (host::Point{100, 0}));
  EXPECT_FALSE(FixPalette().Visible());

  // Once it has ended, picking it starts a new run.
  QXFix();
  EXPECT_EQ(user.prompts.size(), 4u);
}

TEST_F(DrawingCommands, FixPaletteStandsBesideTheSnapToolbar) {
  const platform::WindowHandle drawArea = platform::FirstChildWindow(HsiGetWindowHandle());
  const platform::Point corner = platform::ClientToScreen(drawArea, {0, 0});
  QXFix();
  EXPECT_EQ(FixPalette().Left(), corner.x);
  EXPECT_EQ(FixPalette().Top(), corner.y);
  EXPECT_EQ(FixPalette().ClientWidth(), FixPalette().sbtnCorner.Width());

  QXSnap();
  ASSERT_NE(SnapToolbar(), nullptr);
  QXFix();
  EXPECT_EQ(FixPalette().Left(), corner.x + SnapToolbar()->Width());
}

}  // namespace
}  // namespace qxt
