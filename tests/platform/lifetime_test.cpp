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

// A browser that hides itself while it loads a group and shows again, within one showing.
struct Browser : Form {
  ListBox& lstGroups = Add<ListBox>("lstGroups");
  Button& btnOK = Add<Button>("btnOK");
  std::vector<std::string> events;
  int loads = 0;

  Browser() : Form("TfrmBrowser", "Browser") {
    lstGroups.items.Assign({"Doors", "Windows"});
    btnOK.SetCaption("OK");
    btnOK.modalResult = ModalResult::OK;
    OnShow = [this](Form&) { events.push_back("show"); };
    OnHide = [this](Form&) { events.push_back("hide"); };
    lstGroups.OnDblClick = [this](Control&) {
      Hide();
      events.push_back(Visible() ? "loading (visible)" : "loading (hidden)");
      ++loads;
      Show();
    };
  }
};

TEST_F(LifetimeTest, AModalFormHiddenAndShownByItsCodeGoesOnBeingShown) {
  Browser browser;
  std::vector<std::string> seen;
  driver.onModal = [&](Form& form) {
    EXPECT_TRUE(act::DoubleClick(form, "lstGroups"));
    // Still the same showing: no result, shown, and the user goes on acting on it.
    EXPECT_EQ(form.GetModalResult(), ModalResult::None);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(ActiveModalForm(), &form);
    EXPECT_EQ(form.ActiveControl(), &browser.lstGroups);  // the focus came back where it was
    EXPECT_TRUE(act::Click(form, "OK"));
  };
  EXPECT_EQ(browser.ShowModal(), ModalResult::OK);
  EXPECT_EQ(browser.loads, 1);
  EXPECT_EQ(browser.events,
            (std::vector<std::string>{"show", "hide", "loading (hidden)", "show", "hide"}));
  EXPECT_EQ(driver.shownForms, (std::vector<std::string>{"TfrmBrowser"}));  // shown once

  // Hidden and given a result while hidden, it ends with that result; left hidden without
  // one, the showing ends as cancelled (nobody could answer it).
  browser.lstGroups.OnDblClick = [&](Control&) {
    browser.Hide();
    browser.SetModalResult(3);
  };
  driver.onModal = [&](Form& form) { act::DoubleClick(form, "lstGroups"); };
  EXPECT_EQ(browser.ShowModal(), 3);
  browser.lstGroups.OnDblClick = [&](Control&) { browser.Hide(); };
  EXPECT_EQ(browser.ShowModal(), ModalResult::Cancel);
  EXPECT_FALSE(browser.Visible());
  EXPECT_EQ(ActiveModalForm(), nullptr);
}

TEST_F(LifetimeTest, AFormShownAgainRunsNoExitCheckOfItsLastShowing) {
  // The size field checks itself on exit; the dialog puts the focus on the name when it shows.
  Form dlg("TdlgSize", "Size");
  Edit& txtSize = dlg.Add<Edit>("txtSize");
  Edit& txtName = dlg.Add<Edit>("txtName");
  Button& ok = dlg.Add<Button>("btnOK");
  ok.modalResult = ModalResult::OK;
  ok.isDefault = true;
  int checks = 0;
  txtSize.OnExit = [&](Control&) {
    ++checks;
    if (txtSize.Text().empty()) MessageBox("Enter a size.", "Warning", MsgIcon::Warning);
  };
  dlg.OnShow = [&](Form&) { txtName.SetFocus(); };

  // The first showing ends with Enter while the size field has the focus: it is never left.
  driver.onModal = [&](Form& form) { act::TypeText(form, "txtSize", "12\r"); };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::OK);
  EXPECT_EQ(checks, 0);
  EXPECT_EQ(dlg.ActiveControl(), nullptr);

  // Shown again with the field emptied for a new entry: the focus moving to the name must not
  // run the size field's check against the fresh content.
  txtSize.SetText("");
  driver.onModal = [&](Form& form) {
    EXPECT_EQ(form.ActiveControl(), &txtName);
    act::Click(form, "btnOK");
  };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::OK);
  EXPECT_EQ(checks, 0);
  EXPECT_TRUE(driver.messages.empty());

  // The same for a modeless window closed with the focus in the field.
  dlg.Show();
  act::Focus(dlg, "txtSize");
  dlg.Close();
  EXPECT_EQ(dlg.ActiveControl(), nullptr);
  dlg.Show();
  EXPECT_EQ(dlg.ActiveControl(), &txtName);
  EXPECT_EQ(checks, 0);
  EXPECT_TRUE(driver.messages.empty());
}

}  // namespace
}  // namespace platform
