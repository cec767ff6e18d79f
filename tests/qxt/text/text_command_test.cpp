#include "text/text_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "platform/actions.h"
#include "platform/memory.h"
#include "text/text_dialog.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testing::PointAt;

class TextCommandTest : public testing::LoadedLibrary {
 protected:
  TdlgQXText& Dialog() { return *State().forms->dlgQXText; }

  // Queues what the user does on the next showing of the text dialog.
  void OnDialog(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  static std::string TextOf(const host::Object& o) {
    return host::get<host::TextData>(o.data).text;
  }
};

TEST_F(TextCommandTest, CancellingTheFirstShowingCreatesAndStoresNothing) {
  const QXConfig before = Config();
  OnDialog([](platform::Form& form) {
    act::SetText(form, "mmText", {"NOTE"});
    act::SetText(form, "txtCTWidth", {"2"});
    act::Click(form, "Cancel");
  });
  QXText();
  EXPECT_EQ(user.formsShown, std::vector<std::string>{"TdlgQXText"});
  EXPECT_EQ(Dialog().Caption(), "QX Text");
  EXPECT_TRUE(FinalObjects().empty());
  EXPECT_TRUE(user.prompts.empty());
  EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(Host().CallbackTitle(), "QX Text");
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
}

TEST_F(TextCommandTest, DialogComesBackAfterEachPlacementWithCloseForCancel) {
  std::vector<std::string> cancelCaptions;
  std::vector<std::string> memoTexts;
  auto placeAgain = [&](platform::Form& form) {
    cancelCaptions.push_back(Dialog().btnCancel.Caption());
    memoTexts.push_back(Dialog().mmText.Text());
    act::Click(form, "OK");
  };
  OnDialog([&](platform::Form& form) {
    act::SetText(form, "mmText", {"ROOM", "101"});
    act::SetText(form, "txtCTSize", {"1/8\""});
    act::SetText(form, "txtCTLineSpacing", {"0.5"});
    placeAgain(form);
  });
  OnDialog(placeAgain);
  OnDialog([&](platform::Form& form) {
    cancelCaptions.push_back(Dialog().btnCancel.Caption());
    act::Click(form, "btnCancel");
  });
  user.replies = {PointAt(0, 0), PointAt(5000, 0)};
  QXText();

  EXPECT_EQ(cancelCaptions, (std::vector<std::string>{"Cancel", "Close", "Close"}));
  EXPECT_EQ(memoTexts[1], "ROOM\r\n101");  // the memo keeps its text
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[3].at, (host::Point{5000, -144000}));  // 1.5 x 1/8 inch below
  EXPECT_EQ(State().RunningTool, 0);

  // The next run starts with "Cancel" again.
  OnDialog([&](platform::Form& form) {
    cancelCaptions.push_back(Dialog().btnCancel.Caption());
    act::Click(form, "Cancel");
  });
  QXText();
  EXPECT_EQ(cancelCaptions.back(), "Cancel");
}

TEST_F(TextCommandTest, CancelledPlacementEndsTheCommand) {
  OnDialog([](platform::Form& form) {
    act::SetText(form, "mmText", {"A"});
    act::Click(form, "OK");
  });
  user.replies = {};  // escape
  QXText();
  EXPECT_EQ(user.formsShown.size(), 1u);
  EXPECT_TRUE(FinalObjects().empty());
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(TextCommandTest, WordWrapDecidesTheCadLines) {
  const std::string typed = "THIS LONG NOTE IS WIDER THAN THE MEMO AND WRAPS ONTO SEVERAL LINES";
  std::vector<std::string> shown;
  OnDialog([&](platform::Form& form) {
    act::Check(form, "chkWordWrap", true);
    act::SetText(form, "mmText", {typed, ""});
    Dialog().mmText.SetWidth(160);
    shown = Dialog().mmText.Lines();
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, 0)};
  QXText();
  auto objects = FinalObjects();
  ASSERT_GT(shown.size(), 1u);
  ASSERT_EQ(objects.size(), shown.size());  // the empty last line is not counted
  std::string joined;
  for (const auto& o : objects) joined += TextOf(o);
  std::string compact = typed;
  std::erase(compact, ' ');
  std::erase(joined, ' ');
  EXPECT_EQ(joined, compact);
}

TEST_F(TextCommandTest, TrueTypeIsPlacedFromTheTypedTextAndTheMemoWrapsAgain) {
  const std::string typed(200, 'W');
  bool wrapWhilePicking = true;
  platform::Alignment alignmentWhilePicking = platform::Alignment::Center;
  user.whilePicking = [&] {
    wrapWhilePicking = Dialog().mmText.wordWrap;
    alignmentWhilePicking = Dialog().mmText.alignment;
  };
  OnDialog([&](platform::Form& form) {
    act::SelectTab(form, "True Type");
    act::Select(form, "rgrpTTJus", "Right");
    act::SetText(form, "mmText", {typed, "second"});
    act::Click(form, "OK");
  });
  user.replies = {PointAt(100, 100)};
  const std::size_t blocks = platform::LiveBlockCount();
  QXText();
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_TRUE(host::get<host::TrueTypeData>(objects[0].data)
                  .document.ends_with(" " + typed + "\r\n\\par second}\\par}"));
  EXPECT_FALSE(wrapWhilePicking);
  EXPECT_EQ(alignmentWhilePicking, platform::Alignment::Left);
  EXPECT_TRUE(Dialog().mmText.wordWrap);
  EXPECT_EQ(Dialog().mmText.alignment, platform::Alignment::Right);
  EXPECT_EQ(platform::LiveBlockCount(), blocks);
}

TEST_F(TextCommandTest, OkClickedFromARejectedFieldKeepsTheDialogOpenWithTheResetValue) {
  // The warning shown as the click left the field takes the click: nothing is placed until the
  // user, who now sees the reset value, clicks OK again.
  bool firstClick = true;
  bool stillShown = false;
  std::string widthShown;
  std::vector<std::string> promptsAfterFirstClick;
  OnDialog([&](platform::Form& form) {
    act::SetText(form, "mmText", {"NOTE"});
    act::SetText(form, "txtCTWidth", {"9"});
    firstClick = act::Click(form, "OK");
    stillShown = form.Visible() && !form.ModalDone();
    widthShown = Dialog().cad.txtCTWidth.Text();
    promptsAfterFirstClick = user.prompts;
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, 0)};
  QXText();
  EXPECT_FALSE(firstClick);
  EXPECT_TRUE(stillShown);
  EXPECT_EQ(widthShown, "1");
  EXPECT_TRUE(promptsAfterFirstClick.empty());
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{cad_text_messages::kWidthRange});
  auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(host::get<host::TextData>(objects[0].data).widthFactor, 1.0);
}

TEST_F(TextCommandTest, RefusedWhenStartedFromItsOwnPointRequest) {
  // The host keeps its menus live while the placement point is asked for.
  int runningDuringPick = -1;
  user.whilePicking = [&] {
    QXText();
    runningDuringPick = State().RunningTool;
  };
  OnDialog([](platform::Form& form) {
    act::SetText(form, "mmText", {"A"});
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, 0)};
  QXText();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"You cannot run QX Text when another QX Tool is already "
                                     "running."});
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(runningDuringPick, 3);
  EXPECT_EQ(user.formsShown.size(), 2u);  // the running command's dialog, shown again after
  EXPECT_EQ(FinalObjects().size(), 1u);   // the placement went on
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(TextCommandTest, RefusedWhileAnotherToolRuns) {
  State().RunningTool = 3;
  QXText();
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"You cannot run QX Text when another QX Tool is already "
                                     "running."});
  EXPECT_EQ(State().RunningTool, 3);
}

}  // namespace
}  // namespace qxt
