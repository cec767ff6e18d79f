#include "drafting/snap_toolbar.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "drafting/define_hierarchy.h"
#include "hsi/hsi.h"
#include "machine_test.h"
#include "platform/actions.h"
#include "platform/system.h"
#include "platform/window_handle.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testsupport::PointAt;

class SnapToolbarTest : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    StartLibrary();
    ASSERT_EQ(+Config().ConfigValid, 1);
    user.messages.clear();
  }
  void TearDown() override {
    EndLibrary();
    MachineTest::TearDown();
  }

  TfrmQXSnap& Bar() {
    TfrmQXSnap* bar = SnapToolbar();
    if (bar == nullptr) throw std::logic_error("the snap toolbar is not open");
    return *bar;
  }
  bool Down(const std::string& button) {
    return act::HasState(act::Resolve(Bar(), button), "down");
  }
  std::vector<std::string> PressedButtons() {
    std::vector<std::string> names;
    for (platform::Control* c : Bar().ChildrenOf(&Bar().tbrSnap))
      if (static_cast<platform::ToolButton*>(c)->Down()) names.push_back(c->Name());
    return names;
  }
  // The snap modes the plug-in set since the last call.
  std::vector<std::string> ModesSet(const char* function = "HsiSetSnapMode") {
    std::vector<std::string> modes;
    for (const auto& call : Host().CallsTo(function)) modes.push_back(call.args);
    Host().ClearCalls();
    return modes;
  }
  void RightUp(const std::string& button) {
    act::Mouse(Bar(), button, act::MouseAction::Up, platform::MouseButton::Right, {5, 5});
  }
  void SetHierarchy(int k, std::vector<std::int16_t> modes) {
    // Element by element: the record is packed, so no reference to its members is taken.
    for (int i = 0; i < 15; ++i)
      Config().SnapHierarchies[k][i] = i < int(modes.size()) ? modes[i] : std::int16_t{0};
  }
};

TEST_F(SnapToolbarTest, OpensOnceWithOffPressedAndNoSnap) {
  Host().SetSnapMode(5);
  QXSnap();
  EXPECT_TRUE(State().SnapToolbarShown);
  EXPECT_TRUE(Bar().Visible());
  EXPECT_EQ(PressedButtons(), std::vector<std::string>{"tbtnOff"});
  EXPECT_EQ(Host().SnapMode(), 0);
  EXPECT_EQ(platform::ActiveWindow(), HsiGetWindowHandle());
  // No announcement and no interlock: the toolbar stays open beside every command.
  EXPECT_EQ(Host().CallbackTitle(), "");
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(act::Resolve(Bar(), "tbtnPerpendicular").Caption(), "&Perpendicular");
  EXPECT_EQ(act::Resolve(Bar(), "tbtnH3").hint, "Saved Snap Hierarchy 3, Right-click to define");

  TfrmQXSnap* first = &Bar();
  QXSnap();
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{"Kelvo Snap is already running."});
  EXPECT_EQ(&Bar(), first);

  act::Click(Bar(), "tbtnClose");
  EXPECT_FALSE(State().SnapToolbarShown);
  EXPECT_EQ(SnapToolbar(), nullptr);
  // Freed once the click was over.
  EXPECT_EQ(platform::ReleasedFormCount(), 0);
  EXPECT_EQ(platform::FindShownForm("TfrmQXSnap"), nullptr);
  QXSnap();
  EXPECT_TRUE(State().SnapToolbarShown);
  EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(SnapToolbarTest, ModeButtonSetsItsModeAloneIn2DAnd3D) {
  QXSnap();
  ModesSet();
  act::Click(Bar(), "tbtnVertex");
  act::Click(Bar(), "tbtnEndPoint");
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"0", "3", "0", "13"}));
  EXPECT_EQ(PressedButtons(), std::vector<std::string>{"tbtnEndPoint"});
  // Clicking the pressed button again keeps it pressed.
  act::Click(Bar(), "tbtnEndPoint");
  EXPECT_TRUE(Down("tbtnEndPoint"));

  Host().SetProgMode3D(true);
  act::Click(Bar(), "tbtnGrid");
  EXPECT_EQ(Host().Snap3DMode(), 1);
  EXPECT_EQ(Host().SnapMode(), 13);
}

TEST_F(SnapToolbarTest, HierarchyAndTwoPointMidpointRestoreTheModesInOrder) {
  SetHierarchy(0, {3, 13, 7});
  QXSnap();
  act::Click(Bar(), "tbtnGrid");
  ModesSet();
  act::Click(Bar(), "tbtnH1");
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"0", "3", "13", "7"}));
  EXPECT_EQ(PressedButtons(),
            (std::vector<std::string>{"tbtnVertex", "tbtnMidpoint", "tbtnEndPoint"}));
  EXPECT_EQ(Bar().SnapHistory, (std::vector<std::string>{"Vertex", "Endpoint", "Midpoint"}));
  EXPECT_EQ(Bar().LastShownMode, 7);
  EXPECT_TRUE(Bar().Timer1.Enabled());

  user.replies = {PointAt(100, 200), PointAt(301, 400)};
  act::Click(Bar(), "tbtn2point");
  EXPECT_EQ(user.prompts, (std::vector<std::string>{"Pick first point for midpoint...",
                                                    "Pick second point for midpoint..."}));
  EXPECT_EQ(Host().CoordinateInputs().back(), (host::Point{200, 300}));
  EXPECT_EQ(ModesSet(), (std::vector<std::string>{"0", "3", "13", "7"}));
  EXPECT_FALSE(Down("tbtn2point"));
  EXPECT_TRUE(Bar().Timer1.Enabled());

  // An empty hierarchy leaves no snap and the timer running.
  act::Click(Bar(), "tbtnH2");
  EXPECT_EQ(ModesSet(), std::vector<std::string>{"0"});
  EXPECT_TRUE(PressedButtons().empty());
  EXPECT_TRUE(Bar().Timer1.Enabled());
}

TEST_F(SnapToolbarTest, TwoPointMidpointIn3DAndWhenAborted) {
  Host().SetProgMode3D(true);
  QXSnap();
  user.replies = {PointAt(0, 0, 0), PointAt(-5, 7, 100)};
  act::Click(Bar(), "tbtn2point");
  // Half the way from the first point, rounded to the nearest (halves to even).
  EXPECT_EQ(Host().CoordinateInputs().back(), (host::Point{-2, 4}));

  const auto inputs = Host().CoordinateInputs().size();
  ModesSet();
  user.replies = {PointAt(0, 0, 0), testsupport::Reply(host::PointReply::Kind::Escape)};
  act::Click(Bar(), "tbtn2point");
  EXPECT_EQ(Host().CoordinateInputs().size(), inputs);
  EXPECT_TRUE(ModesSet("HsiSet3DSnapMode").empty());
  EXPECT_EQ(Host().MessageLine(), "2 point snap aborted...");
  EXPECT_FALSE(Down("tbtn2point"));
}

TEST_F(SnapToolbarTest, TimerFollowsTheHostOnlyWhileACommandRuns) {
  QXSnap();
  Host().SetSnapMode(4);
  platform::AdvanceClock(1000);
  EXPECT_TRUE(Down("tbtnOff"));

  Host().SetActiveCommand(1);
  platform::AdvanceClock(250);
  EXPECT_EQ(PressedButtons(), std::vector<std::string>{"tbtnIntersection"});
  Host().SetSnapMode(9);
  platform::AdvanceClock(250);
  // Buttons pressed before stay pressed; the history grows.
  EXPECT_EQ(PressedButtons(), (std::vector<std::string>{"tbtnIntersection", "tbtnArc"}));
  EXPECT_EQ(Bar().SnapHistory, (std::vector<std::string>{"Intersection", "Arc"}));
  Host().SetSnapMode(0);
  platform::AdvanceClock(250);
  EXPECT_EQ(PressedButtons(), std::vector<std::string>{"tbtnOff"});
}

TEST_F(SnapToolbarTest, WidthGrowsAtEighteenAndTwentyOneColumns) {
  QXSnap();
  const int button = Bar().tbrSnap.buttonWidth;
  const int border = Bar().tbrSnap.borderWidth;
  for (int n : {1, 17, 18, 20, 21}) {
    const int extra = n >= 21 ? 16 : n >= 18 ? 8 : 0;
    EXPECT_EQ(Bar().ToolbarWidth(n), n * button + 2 * border + 16 + extra) << n;
  }
  // The window's client area holds the toolbar and twice its border each way.
  Config().SnapColumns = 21;
  Bar().LayOut(true);
  EXPECT_EQ(Bar().ClientWidth(), Bar().ToolbarWidth(21) + 2 * border);
  EXPECT_EQ(Bar().tbrSnap.Height(), Bar().tbrSnap.buttonHeight + 2 * border);
  // A new configuration's 0 columns: one column.
  Config().SnapColumns = 0;
  Bar().LayOut(true);
  EXPECT_EQ(Bar().ClientWidth(), Bar().ToolbarWidth(1) + 2 * border);
}

TEST_F(SnapToolbarTest, PlacedLeftRightTopBottomOrWhereItWasLast) {
  const platform::WindowHandle area = platform::FirstChildWindow(HsiGetWindowHandle());
  const platform::Point origin = platform::ClientToScreen(area, {0, 0});
  const platform::Rect client = platform::ClientRect(area);
  Config().SnapColumns = 4;
  Config().SnapHorzPos = 1;
  Config().SnapVertPos = 1;
  QXSnap();
  EXPECT_EQ(Bar().Left(), origin.x + client.Width() - Bar().Width() - 12);
  EXPECT_EQ(Bar().Top(), origin.y + client.Height() - Bar().Height() - 12);

  // Moved by the user; the timer stores the place while a command runs.
  Config().SnapHorzPos = 2;
  Config().SnapVertPos = 2;
  Bar().SetBounds(300, 222, Bar().Width(), Bar().Height());
  Host().SetActiveCommand(1);
  platform::AdvanceClock(250);
  EXPECT_EQ(+Config().SnapLastLeft, 300);
  EXPECT_EQ(+Config().SnapLastTop, 222);
  // Moved again and closed: Close stores it too, and the next toolbar opens there.
  Bar().SetBounds(310, 240, Bar().Width(), Bar().Height());
  act::Click(Bar(), "tbtnClose");
  QXSnap();
  EXPECT_EQ(Bar().Left(), 310);
  EXPECT_EQ(Bar().Top(), 240);

  Config().SnapHorzPos = 0;
  Config().SnapVertPos = 0;
  act::Click(Bar(), "tbtnClose");
  QXSnap();
  EXPECT_EQ(Bar().Left(), origin.x);
  EXPECT_EQ(Bar().Top(), origin.y);
}

TEST_F(SnapToolbarTest, SettingsResizeAtOnceAndBorderStyleWarnsForTheNextToolbar) {
  Config().SnapColumns = 3;
  QXSnap();
  EXPECT_EQ(Bar().borderStyle, platform::BorderStyle::ToolWindow);
  EXPECT_FALSE(Bar().tbrSnap.edges);
  const int left = Bar().Left(), top = Bar().Top();
  std::string columnsShown;
  user.formActions.push_back([&](platform::Form& form) {
    columnsShown = act::DisplayText(act::Resolve(form, "sedtColumns"));
    act::SetText(form, "sedtColumns", {"18"});
    act::Select(form, "rgrpBorderStyle", 1);
    act::Select(form, "rgrpHorzPos", "Last");
    act::Click(form, "OK");
  });
  RightUp("tbtnOff");
  EXPECT_EQ(columnsShown, "3");
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "Changes to border style will take effect next time you run Kelvo Snap."});
  EXPECT_EQ(+Config().SnapColumns, 18);
  EXPECT_EQ(+Config().SnapBorderStyle, 1);
  EXPECT_EQ(Bar().ClientWidth(), Bar().ToolbarWidth(18) + 2 * Bar().tbrSnap.borderWidth);
  EXPECT_EQ(Bar().Left(), left);  // Last keeps the place after the settings
  EXPECT_EQ(Bar().Top(), top);
  EXPECT_EQ(Bar().borderStyle, platform::BorderStyle::ToolWindow);

  // Cancel changes nothing; the same border style again does not warn.
  user.formActions.push_back([](platform::Form& form) {
    act::SetText(form, "sedtColumns", {"2"});
    act::Click(form, "Cancel");
  });
  RightUp("tbtnOff");
  EXPECT_EQ(+Config().SnapColumns, 18);

  act::Click(Bar(), "tbtnClose");
  QXSnap();
  EXPECT_EQ(Bar().borderStyle, platform::BorderStyle::None);
  EXPECT_TRUE(Bar().tbrSnap.edges);
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "OK"); });
  RightUp("tbtnOff");
  EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(SnapToolbarTest, DefiningAHierarchyStoresTheSelectedListInOrder) {
  SetHierarchy(1, {13, 3});
  QXSnap();
  std::vector<std::string> available, selected;
  user.formActions.push_back([&](platform::Form& form) {
    auto& dialog = static_cast<TdlgDefineHierarchy&>(form);
    available = dialog.SrcList.items.Strings();
    selected = dialog.DstList.items.Strings();
    // Grid and Node together: moved from the last to the first.
    act::Select(form, "SrcList", "Grid");
    act::Select(form, "SrcList", "Node");
    act::Click(form, ">");
    act::Click(form, "OK");
  });
  RightUp("tbtnH2");
  EXPECT_EQ(selected, (std::vector<std::string>{"Endpoint", "Vertex"}));
  EXPECT_EQ(available.size(), 13u);
  EXPECT_EQ(available.front(), "Grid");
  std::int16_t stored[15];
  std::memcpy(stored, Config().SnapHierarchies[1], sizeof stored);
  EXPECT_EQ((std::vector<int>(stored, stored + 5)), (std::vector<int>{13, 3, 2, 1, 0}));
  EXPECT_FALSE(Down("tbtnH2"));
  EXPECT_EQ(Host().SnapMode(), 0);  // defining applies nothing

  // Cancel keeps the stored hierarchy.
  user.formActions.push_back([](platform::Form& form) {
    act::Click(form, "<<");
    act::Click(form, "Cancel");
  });
  RightUp("tbtnH2");
  std::memcpy(stored, Config().SnapHierarchies[1], sizeof stored);
  EXPECT_EQ(stored[0], 13);
}

TEST_F(SnapToolbarTest, HierarchyListMovesSelectionAndButtons) {
  TdlgDefineHierarchy& d = *State().forms->dlgDefineHierarchy;
  const std::int16_t none[15] = {};
  d.Load(none);
  EXPECT_FALSE(d.ExcludeBtn.Enabled());
  EXPECT_FALSE(d.ExAllBtn.Enabled());
  EXPECT_TRUE(d.IncludeBtn.Enabled());

  // Nothing selected: ">" moves nothing and selects the first entry.
  d.IncludeBtnClick();
  EXPECT_EQ(d.DstList.items.Count(), 0);
  EXPECT_TRUE(d.SrcList.Selected(0));

  // The last entries: the selection goes to the new last entry.
  d.SrcList.SetSelected(0, false);
  d.SrcList.SetSelected(13, true);
  d.SrcList.SetSelected(14, true);
  d.IncludeBtnClick();
  EXPECT_EQ(d.DstList.items.Strings(), (std::vector<std::string>{"Perpendicular", "Tangent"}));
  EXPECT_EQ(d.SrcList.items.Count(), 13);
  EXPECT_TRUE(d.SrcList.Selected(12));
  EXPECT_EQ(d.SrcList.SelCount(), 1);
  EXPECT_TRUE(d.ExcludeBtn.Enabled());

  // "<" puts them back at the end of the available list.
  d.DstList.SetSelected(1, true);
  d.ExcludeBtnClick();
  EXPECT_EQ(d.SrcList.items[13], "Tangent");
  EXPECT_TRUE(d.DstList.Selected(0));

  d.IncAllBtnClick();
  EXPECT_EQ(d.SrcList.items.Count(), 0);
  EXPECT_EQ(d.DstList.items.Count(), 15);
  EXPECT_EQ(d.DstList.items[0], "Perpendicular");
  EXPECT_FALSE(d.IncludeBtn.Enabled());
  EXPECT_FALSE(d.IncAllBtn.Enabled());
  std::int16_t stored[15];
  d.Store(stored);
  EXPECT_EQ(stored[0], 15);
  EXPECT_EQ(stored[14], 14);

  d.ExAllBtnClick();
  EXPECT_EQ(d.SrcList.items.Count(), 15);
  EXPECT_FALSE(d.ExcludeBtn.Enabled());
  d.Store(stored);
  EXPECT_EQ(stored[0], 0);

  // A damaged hierarchy: codes that name no mode are left out, not stored back as the end.
  const std::int16_t damaged[15] = {3, 99, 7};
  d.Load(damaged);
  EXPECT_EQ(d.DstList.items.Strings(), (std::vector<std::string>{"Vertex", "Midpoint"}));
}

TEST_F(SnapToolbarTest, ClosingByTheCloseBoxEndsTheToolbarToo) {
  QXSnap();
  Bar().SetBounds(50, 60, Bar().Width(), Bar().Height());
  act::CloseBox(Bar());
  EXPECT_FALSE(State().SnapToolbarShown);
  EXPECT_EQ(+Config().SnapLastLeft, 50);
  EXPECT_EQ(+Config().SnapLastTop, 60);
  QXSnap();
  EXPECT_TRUE(Bar().Visible());
  EXPECT_TRUE(user.messages.empty());
}

}  // namespace
}  // namespace qxt
