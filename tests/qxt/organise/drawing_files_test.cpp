// Copying a template into a new drawing, and the drawing editor's browse buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "organise/drawing_dialog.h"
#include "organise/file_copy.h"
#include "organise/project_manager.h"
#include "organise_fixture.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using platform::MsgResult;

class CopyTest : public testing::LoadedLibrary {
 protected:
  std::vector<std::string> Texts() const { return user.MessageTexts(); }
};

TEST_F(CopyTest, ACopyHasTheSourcesBytesAndDate) {
  // More than one block, not a whole number of blocks.
  std::string bytes(kCopyBlockSize * 2 + 123, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFileIn("C:\\T", "ARCH.VWF", bytes);
  WriteFileIn("C:\\D", "NEW.VWF", "an older, longer file that is replaced entirely ...........");
  const auto date = platform::GetFileTime("C:\\T\\ARCH.VWF");
  ASSERT_TRUE(date);
  platform::SetFileTime("C:\\T\\ARCH.VWF", *date - std::chrono::hours(48));
  ASSERT_TRUE(CopyFileTo("C:\\T\\ARCH.VWF", "C:\\D\\NEW.VWF"));
  EXPECT_EQ(ReadFile("C:\\D\\NEW.VWF"), bytes);
  EXPECT_EQ(platform::GetFileTime("C:\\D\\NEW.VWF"), platform::GetFileTime("C:\\T\\ARCH.VWF"));
  EXPECT_TRUE(Texts().empty());
}

TEST_F(CopyTest, RefusalsAreShownAndNothingIsCopied) {
  WriteFileIn("C:\\T", "ARCH.VWF", "drawing");
  EXPECT_FALSE(CopyFileTo("C:\\T\\ARCH.VWF", "c:\\t\\arch.vwf"));
  EXPECT_FALSE(CopyFileTo("C:\\T\\NONE.VWF", "C:\\D\\NEW.VWF"));
  EXPECT_FALSE(CopyFileTo("C:\\T\\ARCH.VWF", "C:\\NOFOLDER\\NEW.VWF"));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Can not copy a file to itself.",
                                               "Could not open: C:\\T\\NONE.VWF",
                                               "Could not create: C:\\NOFOLDER\\NEW.VWF"}));
  EXPECT_EQ(user.messages[0].caption, "Warning");
}

TEST_F(CopyTest, AFullDriveAsksFirstAndAShortWriteIsAFailure) {
  WriteFileIn("C:\\T", "ARCH.VWF", std::string(50000, 'd'));
  platform::ForceDirectories("C:\\D");
  platform::SetDriveCapacity('C', 60000);
  user.messageAnswers = {MsgResult::Yes};  // cancel the copy
  EXPECT_FALSE(CopyFileTo("C:\\T\\ARCH.VWF", "C:\\D\\NEW.VWF"));
  EXPECT_FALSE(platform::FileExists("C:\\D\\NEW.VWF"));
  user.messageAnswers = {MsgResult::No};  // go on: the disk fills up part-way
  EXPECT_FALSE(CopyFileTo("C:\\T\\ARCH.VWF", "C:\\D\\NEW.VWF"));
  EXPECT_FALSE(platform::FileExists("C:\\D\\NEW.VWF"));  // no cut-off drawing is left
  platform::SetDriveCapacity('C', std::nullopt);
  ASSERT_EQ(Texts().size(), 3u);
  EXPECT_EQ(Texts()[0],
            "There is insufficient space on the target drive for\r\nC:\\T\\ARCH.VWF\r\n"
            "\r\nDo you wish to cancel the copy process?");
  EXPECT_EQ(user.messages[0].buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(Texts()[2], platform::SystemErrorMessage(platform::FileErrorCode::DiskFull));
}

TEST_F(CopyTest, ANewDrawingFromATemplateIsCopiedIntoTheDrawingsFolder) {
  Config().BaseDirectory.Set("C:\\QXTOOLS");
  WriteFileIn("C:\\QXTOOLS\\template", "ARCH.VWF", "template drawing");
  platform::ForceDirectories("C:\\JOBS");
  TdlgQXProject& dialog = *State().forms->dlgQXProject;
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnProjectNew");
    act::Click(form, "btnDrawingNew");
    act::Click(form, "btnDrawingNew");
    act::Click(form, "Close");
  });
  OnForm([&](platform::Form& form) {
    act::SetText(form, "txtProjectCode", {"P"});
    act::SetText(form, "txtDrawings", {"C:\\JOBS"});
    act::Click(form, "OK");
  });
  OnForm([&](platform::Form& form) {
    auto& edit = *State().forms->dlgEditDrawings;
    EXPECT_EQ(edit.Caption(), "New Drawing");
    EXPECT_EQ(edit.txtVWFName.Text(), "UNTITLED.VWF");
    EXPECT_EQ(edit.txtBaseScale.Text(), "1");
    act::SetText(form, "txtVWFName", {"A.VWF"});
    act::Click(form, "OK");
  });
  OnForm([&](platform::Form& form) {
    act::SetText(form, "txtVWFName", {"B.VWF"});
    act::Click(form, "OK");
  });
  user.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::No};
  user.fileAnswers = {"C:\\QXTOOLS\\template\\ARCH.VWF", "C:\\JOBS\\A.VWF"};
  QXProject();
  EXPECT_EQ(ReadFile("C:\\JOBS\\A.VWF"), "template drawing");
  // Copying A onto itself under B's name is fine; B is A's copy.
  EXPECT_EQ(ReadFile("C:\\JOBS\\B.VWF"), "template drawing");
  EXPECT_EQ(dialog.lbxDrawings.items.Count(), 2);
}

TEST_F(CopyTest, TheLayerFileButtonNeverOverrunsTheExchangeBuffer) {
  Config().BaseDirectory.Set("C:\\QXTOOLS");
  TdlgEditDrawings& edit = *State().forms->dlgEditDrawings;
  const std::string longPath = "C:\\" + std::string(75, 'L') + ".lyr";
  edit.txtLYRName.SetText(longPath);
  OnForm([](platform::Form& form) { act::Click(form, "Cancel"); });
  edit.btnLYRFilenameClick();
  EXPECT_EQ(edit.txtLYRName.Text(), longPath);  // cancelled: the whole text stays
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  edit.btnLYRFilenameClick();
  EXPECT_EQ(edit.txtLYRName.Text(), "C:\\QXTOOLS\\layers\\plan3.lyr");

  OnForm([](platform::Form& form) { act::Click(form, "Cancel"); });
  edit.txtBaseScale.SetText("96");
  edit.btnBaseScaleClick();
  EXPECT_EQ(edit.txtBaseScale.Text(), "96");
}

}  // namespace
}  // namespace qxt
