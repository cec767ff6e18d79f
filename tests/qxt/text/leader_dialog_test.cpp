// The leader settings dialog: the working copy and the per-type records, the notes layer list,
// the browse dialog, and what OK and Cancel keep.
#include "text/leader_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "core/units.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/system.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;

class LeaderDialogTest : public testing::LoadedLibrary {
 protected:
  TdlgQXLeader& Dialog() { return *State().forms->dlgQXLeader; }

  // Shows the dialog once with what the user does; returns its modal result.
  int Show(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
    return Dialog().ShowModal();
  }
  LeaderStyle Style(int type) const { return Config().LeaderStyles[type]; }
  void SetExtension(int type, int32_t dbu) {
    LeaderStyle s = Config().LeaderStyles[type];
    s.Extension = dbu;
    Config().LeaderStyles[type] = s;
  }
};

TEST_F(LeaderDialogTest, TypedNotesLayerTakesItsLeadingWholeNumberWithinRange) {
  std::vector<int> selected;
  Show([&](platform::Form& form) {
    act::Click(form, "rbtnNoteOptionsAutoText");
    for (const char* typed : {"300", "-4", "12abc", "abc", "99999999999999999999", "7 - ANY"}) {
      act::SetText(form, "cbxNotesLayer", {typed});
      act::Focus(form, "txtWeight");  // leaving the field
      selected.push_back(Dialog().cbxNotesLayer.ItemIndex());
    }
    act::Click(form, "OK");
  });
  EXPECT_EQ(selected, (std::vector<int>{255, 0, 12, 0, 255, 7}));
  EXPECT_EQ(+Style(Config().LeaderType).NotesLayer, 7);
}

TEST_F(LeaderDialogTest, NotesLayerListNamesEveryLayerCutTo22Characters) {
  Host().SetLayerName(100, "ABCDEFGHIJKLMNOPQ");  // 17 characters, the most a name holds
  Host().SetLayerName(3, "NOTES");
  Show([](platform::Form& form) { act::Click(form, "Cancel"); });
  const platform::StringList& items = Dialog().cbxNotesLayer.items;
  ASSERT_EQ(items.Count(), 256);
  EXPECT_EQ(items[0], "0 - Use default layer");
  EXPECT_EQ(items[3], "3 - NOTES");
  EXPECT_EQ(items[100], "100 - ABCDEFGHIJKLMNOP");
  EXPECT_EQ(Host().MessageLine(), kLeaderDialogMessage);
}

TEST_F(LeaderDialogTest, NotesLayerIsEnabledOnlyWithAutoText) {
  std::vector<bool> enabled;
  Show([&](platform::Form& form) {
    for (const char* option :
         {"rbtnNoteOptionsNone", "rbtnNoteOptionsAutoText", "rbtnNoteOptionsSnapToText"}) {
      act::Click(form, option);
      enabled.push_back(Dialog().cbxNotesLayer.Enabled());
    }
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

TEST_F(LeaderDialogTest, TypeGroupSavesIntoTheSelectedTypeAndLoadsTheClickedOne) {
  Config().LeaderType = 1;
  SetExtension(0, 48000);
  SetExtension(1, 96000);
  SetExtension(2, 24000);
  const QXConfig before = Config();
  std::vector<std::string> shown;
  const int result = Show([&](platform::Form& form) {
    shown.push_back(Dialog().txtExtension.Text());
    act::SetText(form, "txtExtension", {"1/4\""});
    act::Select(form, "rGrpLeaderType", "Arc");  // saves 1/4" into type 1, shows type 0
    shown.push_back(Dialog().txtExtension.Text());
    act::SetText(form, "txtWeight", {"7"});
    act::Select(form, "rGrpLeaderType", "Line with reverse extension");
    shown.push_back(Dialog().txtExtension.Text());
    act::Select(form, "rGrpLeaderType", "Arc");
    shown.push_back(Dialog().txtWeight.Text());
    // Nothing reaches the record before OK.
    EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);
    act::SetText(form, "txtAngle", {"30"});
    act::Click(form, "OK");  // saves type 0 from the controls first, then commits
  });
  EXPECT_EQ(result, platform::ModalResult::OK);
  EXPECT_EQ(shown, (std::vector<std::string>{"1/8\"", "1/16\"", "1/32\"", "7"}));
  EXPECT_EQ(+Config().LeaderType, 0);
  EXPECT_EQ(+Style(1).Extension, 192000);
  EXPECT_EQ(+Style(0).ArrowWeight, 7);
  EXPECT_EQ(double(Style(0).ArrowAngle), 30.0);
  EXPECT_EQ(+Style(2).Extension, 24000);
}

TEST_F(LeaderDialogTest, CancelDropsTheWorkingCopy) {
  const QXConfig before = Config();
  Show([](platform::Form& form) {
    act::SetText(form, "txtExtension", {"3\""});
    act::Select(form, "rGrpLeaderType", "Arc");
    act::Click(form, "rbtnNoteOptionsSnapToText");
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);
  // The next showing starts from the record again, not from what was left in the controls.
  std::string extension;
  Show([&](platform::Form& form) {
    extension = Dialog().txtExtension.Text();
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(extension, "1/8\"");
  EXPECT_EQ(Dialog().rGrpLeaderType.ItemIndex(), int(Config().LeaderType));
}

TEST_F(LeaderDialogTest, FieldsThatAreNoNumbersStoreZeroAndWeightStaysWithin255) {
  Show([](platform::Form& form) {
    act::SetText(form, "txtAngle", {"wide"});
    act::SetText(form, "txtWeight", {"300"});
    act::SetText(form, "txtSymbolName", {"AVERYLONGNAME.SYM"});
    act::Click(form, "rbtnNoteOptionsSnapToText");
    act::Click(form, "Draw Lines");
    act::Click(form, "OK");
  });
  const LeaderStyle s = Style(Config().LeaderType);
  EXPECT_EQ(double(s.ArrowAngle), 0.0);
  EXPECT_EQ(+s.ArrowWeight, 255);
  EXPECT_EQ(s.ArrowSymbol.Get(), "AVERYLONGNAME");  // the first 13 characters
  EXPECT_EQ(+s.NoteOption, 2);
  EXPECT_EQ(+s.ArrowheadType, 1);
  Show([](platform::Form& form) {
    act::SetText(form, "txtWeight", {"heavy"});
    act::Click(form, "OK");
  });
  EXPECT_EQ(+Style(Config().LeaderType).ArrowWeight, 0);
}

TEST_F(LeaderDialogTest, ANegativeExtensionOrAnUnreadableLengthIsRefusedWhenTheFieldIsLeft) {
  const int type = Config().LeaderType;
  const LeaderStyle before = Style(type);
  const int result = Show([&](platform::Form& form) {
    act::SetText(form, "txtExtension", {"-1/8\""});
    EXPECT_FALSE(act::Focus(form, "txtAngle"));
    EXPECT_EQ(form.ActiveControl(), &Dialog().txtExtension);
    EXPECT_EQ(Dialog().txtExtension.Text(), "-1/8\"");
    act::SetText(form, "txtExtension", {"0"});  // no extension at all is a leader too
    EXPECT_TRUE(act::Focus(form, "txtLength"));
    act::SetText(form, "txtLength", {"long"});
    EXPECT_FALSE(act::Click(form, "OK"));
    act::TypeText(form, "txtLength", "\r");  // OK by the Enter key checks it as well
    EXPECT_FALSE(form.ModalDone());
    act::SetText(form, "txtLength", {"1/4\""});
    act::Click(form, "OK");
  });
  EXPECT_EQ(result, platform::ModalResult::OK);
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>(3, kLengthNotValid));
  EXPECT_EQ(+Style(type).Extension, 0);
  EXPECT_NE(+Style(type).ArrowLength, +before.ArrowLength);
  // Cancel leaves at once with a refused entry in a field.
  user.messages.clear();
  Show([&](platform::Form& form) {
    act::SetText(form, "txtExtension", {"-3\""});
    EXPECT_TRUE(act::Click(form, "Cancel"));
  });
  EXPECT_TRUE(user.messages.empty());
}

// A person who also notes what each open-file dialog asked.
class RecordingUser : public testsupport::TestUser {
 public:
  std::vector<platform::OpenFileRequest> fileRequests;
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest& request) override {
    fileRequests.push_back(request);
    return TestUser::AskOpenFile(request);
  }
};

TEST_F(LeaderDialogTest, BrowseStartsInTheSymbolFolderAndKeepsOnlyTheFileName) {
  std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
  WriteFile("C:\\TRACELON\\SYMBOLS\\DOT.SYM", "TRACELON SYMBOL 1\nARC 0 0 2 0 360\n");
  RecordingUser recording;
  platform::SetUiDriver(&recording);
  recording.fileAnswers.push_back("C:\\TRACELON\\SYMBOLS\\DOT.SYM");
  std::string chosen;
  recording.formActions.push_back([&](platform::Form& form) {
    act::Click(form, "btnBrowse");
    chosen = Dialog().txtSymbolName.Text();
    act::Click(form, "OK");
  });
  Dialog().ShowModal();
  platform::SetUiDriver(&user);

  ASSERT_EQ(recording.fileRequests.size(), 1u);
  const platform::OpenFileRequest& request = recording.fileRequests[0];
  EXPECT_EQ(request.title, "Select Arrowhead Symbol");
  EXPECT_EQ(request.filter, "Symbol Files (*.sym)|*.sym|All Files (*.*)|*.*");
  EXPECT_EQ(request.defaultExt, "SYM");
  EXPECT_EQ(request.initialDir, "C:\\TRACELON\\SYMBOLS");
  EXPECT_TRUE(request.fileMustExist);
  EXPECT_TRUE(request.pathMustExist);
  EXPECT_EQ(chosen, "DOT.SYM");
  EXPECT_EQ(Style(Config().LeaderType).ArrowSymbol.Get(), "DOT.SYM");
}

TEST_F(LeaderDialogTest, HintsAreSettledWhenTheDialogIsMade) {
  EXPECT_TRUE(Dialog().showHint);  // the new record's LeaderHints is on
  Config().LeaderHints = 0;
  EXPECT_TRUE(Dialog().showHint);
  EXPECT_FALSE(TdlgQXLeader().showHint);
}

}  // namespace
}  // namespace qxt
