#include "platform/system.h"

#include <fstream>

#include "platform/file_io.h"
#include "platform/metrics.h"
#include "platform/window_handle.h"
#include "platform_test_support.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::PlatformTest;

class SystemTest : public PlatformTest {
 protected:
  void WriteLocal(const std::string& relative, const std::string& bytes) {
    fs::path local = RootFolder() / relative;
    fs::create_directories(local.parent_path());
    std::ofstream(local, std::ios::binary) << bytes;
  }
};

TEST_F(SystemTest, NumbersAreFormattedWithTheLocalesSeparators) {
  EXPECT_EQ(FormatNumber(1234567.891, 2), "1,234,567.89");
  EXPECT_EQ(FormatNumber(-1234.5, 2), "-1,234.50");
  EXPECT_EQ(FormatNumber(999.999, 2), "1,000.00");  // the carry reaches a new group
  EXPECT_EQ(FormatNumber(123.0, 0), "123");
  EXPECT_EQ(FormatNumber(1e20, 1), "100,000,000,000,000,000,000.0");
  EXPECT_EQ(FormatNumber(0.0004, 3), "0.000");
  // Halves go away from zero; a value just below a half (2.675 is 2.67499...) does not.
  EXPECT_EQ(FormatNumber(0.125, 2), "0.13");
  EXPECT_EQ(FormatNumber(-2.5, 0), "-3");
  EXPECT_EQ(FormatNumber(2.675, 2), "2.67");
  EXPECT_EQ(FormatNumber(-0.001, 2), "0.00");  // no sign on a value that rounds to zero
  EXPECT_EQ(FormatNumber(0.5, 0), "1");

  Application().thousandSeparator = '.';
  Application().decimalSeparator = ',';
  EXPECT_EQ(FormatNumber(1234567.891, 2), "1.234.567,89");
  Application().thousandSeparator = '\0';
  EXPECT_EQ(FormatNumber(1234567.891, 1), "1234567,9");
  Reset();  // back to the stand-in machine's English (United States)
  EXPECT_EQ(FormatNumber(12345.0, 2), "12,345.00");
}

TEST_F(SystemTest, MessageBoxesAreAnsweredByTheDriverAndRecorded) {
  driver.messageAnswers = {MsgResult::No, MsgResult::Retry};
  EXPECT_EQ(MessageBox("Are you sure you want to delete the selected object?", "QX Reference",
                       MsgIcon::Question, MsgButtons::YesNo),
            MsgResult::No);
  // An answer the box does not offer counts as closing it.
  EXPECT_EQ(MessageBox("Save changes?", "QX Project", MsgIcon::Question, MsgButtons::YesNoCancel),
            MsgResult::Cancel);
  const History& history = GetHistory();
  ASSERT_EQ(history.messages.size(), 2u);
  EXPECT_EQ(history.messages[0].request.caption, "QX Reference");
  EXPECT_EQ(history.messages[0].answer, MsgResult::No);
  EXPECT_EQ(history.messages[1].answer, MsgResult::Cancel);

  EXPECT_EQ(MessageDlg("Can not copy a file to itself.", MsgDlgType::Warning, MsgButtons::OK),
            MsgResult::OK);
  EXPECT_EQ(driver.messages.back().caption, "Warning");
  EXPECT_EQ(driver.messages.back().icon, MsgIcon::Warning);
  MessageDlg("Cancel the copy?", MsgDlgType::Confirmation, MsgButtons::YesNo);
  EXPECT_EQ(driver.messages.back().caption, "Confirmation");
  EXPECT_EQ(driver.messages.back().icon, MsgIcon::Question);

  // A plain message box takes the application title, or the main window's caption.
  SetApplicationWindow(CreateMainWindow("Tracelon"));
  ShowMessage("The text you entered is not a valid number");
  EXPECT_EQ(driver.messages.back().caption, "Tracelon");
  Application().title = "QX";
  ShowMessage("x");
  EXPECT_EQ(driver.messages.back().caption, "QX");
}

TEST_F(SystemTest, WithoutADriverBoxesTakeTheirFirstButtonAndDialogsCancel) {
  SetUiDriver(nullptr);
  EXPECT_EQ(MessageBox("?", "c", MsgIcon::Question, MsgButtons::YesNoCancel), MsgResult::Yes);
  OpenDialog open;
  EXPECT_FALSE(open.Execute());
  std::string value = "keep";
  EXPECT_FALSE(InputQuery("Enter Annotation", "Text 1", value));
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(GetHistory().messages.size(), 1u);
}

TEST_F(SystemTest, BeepsAndHelpAreReported) {
  Beep(BeepKind::Exclamation);
  Beep(BeepKind::Error);
  EXPECT_EQ(driver.beeps, (std::vector<BeepKind>{BeepKind::Exclamation, BeepKind::Error}));
  EXPECT_EQ(GetHistory().beeps, driver.beeps);

  EXPECT_FALSE(HelpContext(126));  // no help file yet
  Application().helpFile = "qxt.hlp";
  EXPECT_TRUE(HelpContext(126));
  ShowHelp("qxt.hlp", "100");
  ASSERT_EQ(GetHistory().help.size(), 2u);
  EXPECT_EQ(GetHistory().help[0].topic, "126");
  EXPECT_EQ(GetHistory().help[1].file, "qxt.hlp");
}

TEST_F(SystemTest, TheOpenDialogRefusesAMissingFileAndSetsTheCurrentFolder) {
  WriteLocal("C/Projects/Templates/Plan.vwf", "drawing");
  OpenDialog dialog;
  dialog.title = "Select a drawing template";
  dialog.filter = "Tracelon drawings|*.vwf";
  dialog.defaultExt = "VWF";
  dialog.initialDir = "C:\\PROJECTS\\TEMPLATES";
  dialog.fileMustExist = true;
  driver.fileAnswers = {std::string("missing.vwf"), std::string("PLAN")};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.fileName, "C:\\PROJECTS\\TEMPLATES\\PLAN.VWF");
  ASSERT_EQ(driver.messages.size(), 1u);
  EXPECT_EQ(driver.messages[0].text,
            "C:\\PROJECTS\\TEMPLATES\\missing.vwf\r\nFile not found.\r\n"
            "Please verify the correct file name was given.");
  EXPECT_EQ(driver.fileRequests[0].defaultExt, "VWF");
  EXPECT_EQ(CurrentFolder(), "C:\\PROJECTS\\TEMPLATES\\");

  SetCurrentFolder("C:\\");
  dialog.noChangeDir = true;
  driver.fileAnswers = {std::string("C:\\Projects\\Templates\\plan.vwf")};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(CurrentFolder(), "C:\\");
}

TEST_F(SystemTest, TheFolderChooserOffersToCreateAMissingFolder) {
  std::string folder = "C:\\";
  driver.folderAnswers = {std::string("C:\\JOBS\\NEW"), std::string("C:\\JOBS\\NEW\\")};
  driver.messageAnswers = {MsgResult::No, MsgResult::Yes};
  ASSERT_TRUE(SelectDirectory("Drawings Folder", folder));
  EXPECT_EQ(folder, "C:\\JOBS\\NEW");
  EXPECT_TRUE(DirectoryExists("C:\\jobs\\new"));
  ASSERT_EQ(driver.messages.size(), 2u);
  EXPECT_EQ(driver.messages[0].buttons, MsgButtons::YesNo);

  driver.folderAnswers = {std::nullopt};
  EXPECT_FALSE(SelectDirectory("Drawings Folder", folder));
  EXPECT_EQ(folder, "C:\\JOBS\\NEW");
}

TEST_F(SystemTest, TheFontDialogOffersOnlyTrueTypeFacesWhenAsked) {
  FontDialog dialog;
  dialog.trueTypeOnly = true;
  dialog.font = Font{"Arial", 10};
  FontChoice system{"System", 10};
  FontChoice times{"Times New Roman", 12, true, false, true, false};
  driver.fontAnswers = {system, times};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.font.name, "Times New Roman");
  EXPECT_EQ(dialog.font.size, 12);
  EXPECT_TRUE(dialog.font.bold);
  EXPECT_FALSE(dialog.font.underline);  // effects were not offered
  EXPECT_EQ(driver.messages.size(), 1u);
}

TEST_F(SystemTest, StartingAProgramReportsTheSystemsReturnCodes) {
  WriteLocal("C/TOOLS/CALC.EXE", "");
  EXPECT_EQ(WinExec("C:\\tools\\calc.exe /x", 5), 33u);
  SetCurrentFolder("C:\\TOOLS");
  EXPECT_EQ(WinExec("\"CALC.EXE\"", 5), 33u);
  EXPECT_EQ(WinExec("C:\\TOOLS\\NONE.EXE", 5), 2u);
  EXPECT_EQ(WinExec("C:\\NOWHERE\\NONE.EXE", 5), 3u);
  EXPECT_EQ(GetHistory().programs,
            (std::vector<std::string>{"C:\\tools\\calc.exe /x", "\"CALC.EXE\""}));
}

TEST_F(SystemTest, OneValueOfAnIniFile) {
  WriteLocal("C/TRACELON/tracelon.ini",
             "; settings\r\n[General]\r\n0=1 2 3\r\n[colors]\r\n 0 = 255 128 0 \r\nName=\"x\"\r\n");
  EXPECT_EQ(GetPrivateProfileString("Colors", "0", "0 0 0", "C:\\TRACELON\\TRACELON.INI"),
            "255 128 0");
  EXPECT_EQ(GetPrivateProfileString("COLORS", "name", "", "C:\\TRACELON\\TRACELON.INI"), "x");
  EXPECT_EQ(GetPrivateProfileString("Colors", "1", "0 0 0", "C:\\TRACELON\\TRACELON.INI"), "0 0 0");
  EXPECT_EQ(GetPrivateProfileString("Colors", "0", "0 0 0", "C:\\NONE\\TRACELON.INI"), "0 0 0");
}

TEST_F(SystemTest, TheClipboardHoldsOnePicture) {
  EXPECT_FALSE(ClipboardHasPicture());
  Metafile picture;
  picture.width = picture.height = 100;
  picture.AddLine({0, 0}, {100, 100});
  SetClipboardPicture(picture);
  ASSERT_TRUE(ClipboardHasPicture());
  EXPECT_EQ(*ClipboardPicture().AsMetafile(), picture);
  ClearClipboard();
  EXPECT_TRUE(ClipboardPicture().Empty());
}

TEST_F(SystemTest, WindowGeometryForPlacingToolWindows) {
  WindowHandle main = CreateMainWindow("Tracelon");
  SetApplicationWindow(main);
  SetWindowBounds(main, {10, 20, 810, 620});
  WindowHandle drawing = CreateChildWindow(main, {0, 30, 792, 570});
  EXPECT_EQ(FirstChildWindow(main), drawing);
  EXPECT_EQ(ClientRect(drawing), (Rect{0, 0, 792, 540}));
  Point origin = ClientToScreen(drawing, {0, 0});
  EXPECT_EQ(origin, (Point{10 + metrics::SizeableFrame,
                           20 + metrics::SizeableFrame + metrics::CaptionHeight + 30}));
  SetActiveWindow(drawing);
  EXPECT_EQ(ActiveWindow(), drawing);
  EXPECT_TRUE(DestroyWindow(main));
  EXPECT_FALSE(IsWindow(drawing));
  EXPECT_EQ(ActiveWindow(), 0u);
}

}  // namespace
}  // namespace platform
