// How long a form lives and what it keeps between showings: a form released by its own handler,
// a modal form hidden and shown again by its code, the focus of an earlier showing.
#include <memory>
#include <string>
#include <vector>

#include "platform/actions.h"
#include "platform/forms.h"
#include "platform_test_support.h"

namespace platform {
namespace {

using testing::PlatformTest;
namespace act = platform::actions;

class LifetimeTest : public PlatformTest {};

// A tool window whose Close button releases it, as a toolbar does from its own click. Its
// handlers write what they see into a log that outlives the window.
struct ToolWindow : Form {
  Button& btnClose = Add<Button>("btnClose");
  std::vector<std::string>& log;
  bool& destroyed;
  std::function<void()> afterRelease;

  ToolWindow(std::vector<std::string>& log, bool& destroyed)
      : Form("TfrmTool", "Tool"), log(log), destroyed(destroyed) {
    btnClose.SetCaption("&Close");
    btnClose.OnClick = [this](Control&) {
      this->log.push_back("click");
      Release();
      if (afterRelease) afterRelease();
    };
    // Reads the window's own members after the click: freed memory under the address sanitizer.
    btnClose.OnMouseUp = [this](Control& sender, MouseButton, ShiftState, int, int) {
      this->log.push_back("mouse up " + sender.Name() + " on " + sender.OwnerForm().ClassName() +
                          (this->destroyed ? " (destroyed)" : ""));
    };
  }
  ~ToolWindow() override {
    destroyed = true;
    log.push_back("destroyed");
  }
};

TEST_F(LifetimeTest, AFormReleasedFromItsOwnClickGoesWhenTheClickIsOver) {
  std::vector<std::string> log;
  bool destroyed = false;
  auto* tool = new ToolWindow(log, destroyed);
  tool->Show();
  ASSERT_EQ(FindShownForm("Tool"), tool);

  EXPECT_TRUE(act::Click(*tool, "Close"));
  EXPECT_EQ(log, (std::vector<std::string>{"click", "mouse up btnClose on TfrmTool", "destroyed"}));
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(ReleasedFormCount(), 0);
  EXPECT_EQ(FindShownForm("Tool"), nullptr);
  EXPECT_TRUE(ShownForms().empty());
}

TEST_F(LifetimeTest, AReleasedFormOutlivesTheNestedActionsOfItsHandler) {
  // The Close handler asks for confirmation in a modal dialog that the user clicks: that inner
  // click ends first, and the tool window must survive it until its own click is over.
  std::vector<std::string> log;
  bool destroyed = false;
  auto* tool = new ToolWindow(log, destroyed);
  Form confirm("TdlgConfirm", "Confirm");
  Button& ok = confirm.Add<Button>("btnOK");
  ok.modalResult = ModalResult::OK;
  ok.OnClick = [&](Control&) { log.push_back(destroyed ? "ok (tool gone)" : "ok"); };
  tool->afterRelease = [&] {
    EXPECT_EQ(confirm.ShowModal(), ModalResult::OK);
    log.push_back(destroyed ? "back (tool gone)" : "back");
  };
  driver.onModal = [&](Form& form) { act::Click(form, "btnOK"); };
  tool->Show();
  EXPECT_TRUE(act::Click(*tool, "btnClose"));
  EXPECT_EQ(log, (std::vector<std::string>{"click", "ok", "back", "mouse up btnClose on TfrmTool",
                                           "destroyed"}));
}

TEST_F(LifetimeTest, ReleasedFormsGoWhenNoActionIsUnderWay) {
  std::vector<std::string> log;
  bool destroyed = false;

  // Outside every user action the form goes at once.
  auto* quiet = new ToolWindow(log, destroyed);
  quiet->Release();
  EXPECT_TRUE(destroyed);

  // A timer's handler releases its window: it goes when the ticks are over, not in between.
  destroyed = false;
  auto* ticking = new ToolWindow(log, destroyed);
  Timer& timer = ticking->AddTimer("Timer1");
  timer.SetInterval(100);
  int ticks = 0;
  timer.OnTimer = [&](Timer& t) {
    ++ticks;
    EXPECT_FALSE(destroyed);
    t.SetEnabled(false);
    t.OwnerForm().Release();
  };
  AdvanceClock(250);
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(destroyed);

  // An owner that deletes a released form before its time takes it off the list: no second
  // deletion when the action ends.
  destroyed = false;
  {
    UserActionScope action;
    auto* owned = new ToolWindow(log, destroyed);
    owned->Release();
    EXPECT_EQ(ReleasedFormCount(), 1);
    delete owned;
    EXPECT_EQ(ReleasedFormCount(), 0);
  }
  EXPECT_TRUE(destroyed);

  // A reset destroys what is still waiting.
  destroyed = false;
  {
    UserActionScope action;
    (new ToolWindow(log, destroyed))->Release();
    Reset();
    EXPECT_TRUE(destroyed);
  }
  SetUiDriver(&driver);
}

}  // namespace
}  // namespace platform
