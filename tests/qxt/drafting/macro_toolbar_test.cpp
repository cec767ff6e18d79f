#include "drafting/macro_toolbar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../text/text_fixture.h"
#include "core/forms.h"
#include "core/state.h"
#include "platform/actions.h"
#include "platform/picture.h"
#include "platform/system.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using platform::MouseButton;
using Action = platform::actions::MouseAction;

constexpr const char* kMacros = "C:\\TRACELON\\MACROS\\";

class MacroToolbarTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    std::filesystem::create_directories(Root() / "C" / "TRACELON" / "MACROS");
    std::filesystem::create_directories(Root() / "C" / "WINDOWS");
    WriteFile("C:\\WINDOWS\\NOTEPAD.EXE", "");
    WriteFile(std::string(kMacros) + "GRID.CBX", "TRACELON MACRO 1\r\nSNAP 1\r\n");
  }

  void Control(const std::string& text) { WriteFile(std::string(kMacros) + "QXMACRO.CTL", text); }
  void Page(const std::string& name, int height, const std::string& buttons) {
    platform::WriteBmp(std::string(kMacros) + name + ".BMP", platform::Bitmap(300, height));
    WriteFile(std::string(kMacros) + name + ".LST", buttons);
  }
  // Presses and releases the left button on the picture.
  static void ClickAt(platform::Form& form, int downX, int downY, int upX, int upY) {
    act::Mouse(form, "imgMacro", Action::Down, MouseButton::Left, {downX, downY});
    act::Mouse(form, "imgMacro", Action::Up, MouseButton::Left, {upX, upY});
  }
  void OnForm(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  TfrmQXMacro& Form() { return *State().forms->frmQXMacro; }
  const std::vector<std::string>& Programs() { return platform::GetHistory().programs; }
};

TEST(MacroButtons, GridArithmeticWithAndWithoutTheTopBand) {
  EXPECT_EQ(MacroButtonAt(65, 10, 240), 2);
  EXPECT_EQ(MacroButtonAt(0, 0, 250), 1);
  EXPECT_EQ(MacroButtonAt(299, 119, 250), 10);
  // Higher than 250 pixels: the first row is a band outside the grid.
  EXPECT_LT(MacroButtonAt(65, 10, 300), 1);
  EXPECT_EQ(MacroButtonAt(65, 70, 300), 2);
  EXPECT_EQ(MacroButtonAt(0, 60, 251), 1);
}

TEST(MacroButtons, OnlyExactUpperCaseExtensionsRun) {
  EXPECT_EQ(MacroCommandKindOf("C:\\WINDOWS\\NOTEPAD.EXE"), MacroCommandKind::Program);
  EXPECT_EQ(MacroCommandKindOf("C:\\WINDOWS\\notepad.exe"), MacroCommandKind::Nothing);
  for (const char* program : {"A.COM", "A.BAT", "A.PIF"})
    EXPECT_EQ(MacroCommandKindOf(program), MacroCommandKind::Program) << program;
  EXPECT_EQ(MacroCommandKindOf("WALL4.CBX"), MacroCommandKind::HostMacro);
  EXPECT_EQ(MacroCommandKindOf("WALL4.cbx"), MacroCommandKind::Nothing);
  // The extension is taken from the last dot.
  EXPECT_EQ(MacroCommandKindOf("MY.CBX.TXT"), MacroCommandKind::Nothing);
  for (const char* none : {"NONE", "NoNe", "none", "", "README"})
    EXPECT_EQ(MacroCommandKindOf(none), MacroCommandKind::Nothing) << none;
}

TEST_F(MacroToolbarTest, ControlFileNumberIsTheLineStartAndTheRestIsIgnored) {
  Control("pages\r\n3 pages and more words\r\nA\r\nB\r\nC\r\nextra\r\n");
  std::vector<std::string> pages;
  int count = -1, lines = -1;
  ASSERT_TRUE(ReadMacroControl(std::string(kMacros) + "QXMACRO.CTL", pages, count, lines));
  EXPECT_EQ(pages, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(lines, 5);

  // A file that names fewer pages than it counts keeps the names it has.
  Control("pages\r\n3\r\nA\r\nB\r\n");
  ASSERT_TRUE(ReadMacroControl(std::string(kMacros) + "QXMACRO.CTL", pages, count, lines));
  EXPECT_EQ(pages, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(lines, 4);

  // Refusals keep the count of lines completed before them.
  struct Case {
    const char* text;
    int lines;
  } cases[] = {{"pages\r\nthree\r\nA\r\n", 1},
               {"pages\r\n0\r\n", 2},
               {"pages\r\n-2\r\n", 2},
               {"pages\r\n99999999999\r\nA\r\n", 1},
               {"", 0}};
  for (const Case& c : cases) {
    Control(c.text);
    EXPECT_FALSE(ReadMacroControl(std::string(kMacros) + "QXMACRO.CTL", pages, count, lines))
        << c.text;
    EXPECT_EQ(lines, c.lines) << c.text;
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(count, 0);
  }
}

TEST_F(MacroToolbarTest, MissingControlFileShowsItsErrorAndShowsNoForm) {
  QXMacro();
  EXPECT_TRUE(user.formsShown.empty());
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(user.messages[0].text,
            "An error was encountered reading the QX Macro\r\ncontrol file.  Lines successfully "
            "read = 0");
  EXPECT_EQ(Host().StatusLineUpdates(), 0);
}

TEST_F(MacroToolbarTest, AClickRunsTheButtonsHostMacroAndClosesTheWindow) {
  Control("x\r\n1\r\nDRAFT\r\n");
  Page("DRAFT", 120, "NONE\r\nGRID.CBX\r\n");
  OnForm([&](platform::Form& form) {
    EXPECT_EQ(Form().pnlPageNumber.Caption(), "Page 1 of 1");
    EXPECT_EQ(Form().imgMacro.Top(), 60);
    ClickAt(form, 65, 10, 70, 50);
  });
  QXMacro();
  EXPECT_EQ(Host().MacrosRun(), std::vector<std::string>{"C:\\TRACELON\\MACROS\\GRID.CBX"});
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
}

TEST_F(MacroToolbarTest, ProgramsStartOnlyWithTheExactExtension) {
  Control("x\r\n1\r\nDRAFT\r\n");
  Page("DRAFT", 60,
       "C:\\WINDOWS\\NOTEPAD.EXE\r\nC:\\WINDOWS\\notepad.exe\r\nNoNe\r\nC:\\NO.EXE\r\n");
  for (int x : {10, 70, 130}) OnForm([x](platform::Form& form) { ClickAt(form, x, 5, x, 5); });
  for (int i = 0; i < 3; ++i) QXMacro();
  EXPECT_EQ(Programs(), std::vector<std::string>{"C:\\WINDOWS\\NOTEPAD.EXE"});
  EXPECT_TRUE(user.messages.empty());

  // A program the system cannot start is reported after the window has closed.
  OnForm([](platform::Form& form) { ClickAt(form, 190, 5, 190, 5); });
  QXMacro();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text,
            "Windows reported an error attempting to execute \r\nC:\\NO.EXE");
}

TEST_F(MacroToolbarTest, ReleasingOverAnotherButtonRunsNothingAndKeepsTheWindow) {
  Control("x\r\n1\r\nDRAFT\r\n");
  Page("DRAFT", 60, "GRID.CBX\r\nGRID.CBX\r\n");
  bool stillShown = false;
  OnForm([&](platform::Form& form) {
    ClickAt(form, 10, 10, 70, 10);
    stillShown = form.Visible() && form.GetModalResult() == platform::ModalResult::None;
    // The right button closes without choosing.
    act::Mouse(form, "imgMacro", Action::Down, MouseButton::Right, {10, 10});
  });
  QXMacro();
  EXPECT_TRUE(stillShown);
  EXPECT_TRUE(Host().MacrosRun().empty());
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
}

TEST_F(MacroToolbarTest, ShortListsAndTheTopBandRunNothingWithoutABox) {
  Control("x\r\n1\r\nTALL\r\n");
  Page("TALL", 300, "GRID.CBX\r\n");
  OnForm([&](platform::Form& form) {
    EXPECT_EQ(Form().imgMacro.Top(), 0);  // a tall picture sits under the page buttons
    ClickAt(form, 10, 10, 10, 10);        // the band: button number below 1
  });
  OnForm([](platform::Form& form) { ClickAt(form, 130, 70, 130, 70); });  // button 3 of 1 line
  OnForm([](platform::Form& form) { ClickAt(form, 10, 70, 10, 70); });    // button 1
  for (int i = 0; i < 3; ++i) QXMacro();
  EXPECT_EQ(Host().MacrosRun(), std::vector<std::string>{"C:\\TRACELON\\MACROS\\GRID.CBX"});
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(MacroToolbarTest, PageButtonsBeepAtTheEndsAndKeepTheirDownStates) {
  Control("x\r\n3\r\nA\r\nB\r\nC\r\n");
  for (const char* p : {"A", "B", "C"}) Page(p, 60, "NONE\r\n");
  std::vector<std::string> labels;
  std::vector<std::pair<bool, bool>> downs;
  auto note = [&] {
    labels.push_back(Form().pnlPageNumber.Caption());
    downs.emplace_back(Form().spdbtnFirst.Down(), Form().spdbtnLast.Down());
  };
  OnForm([&](platform::Form& form) {
    note();
    act::Click(form, "spdbtnPrevious");  // page 1: only a beep
    note();
    act::Click(form, "spdbtnNext");
    note();
    act::Click(form, "spdbtnLast");
    note();
    act::Click(form, "spdbtnNext");  // page 3 of 3: only a beep
    act::Click(form, "spdbtnPrevious");
    note();
    act::Click(form, "spdbtnFirst");
    note();
    act::CloseBox(form);
  });
  const std::size_t beepsBefore = platform::GetHistory().beeps.size();
  QXMacro();
  EXPECT_EQ(labels, (std::vector<std::string>{"Page 1 of 3", "Page 1 of 3", "Page 2 of 3",
                                              "Page 3 of 3", "Page 2 of 3", "Page 1 of 3"}));
  EXPECT_EQ(downs, (std::vector<std::pair<bool, bool>>{{true, false},
                                                       {true, false},
                                                       {false, false},
                                                       {false, true},
                                                       {false, false},
                                                       {true, false}}));
  const auto& beeps = platform::GetHistory().beeps;
  EXPECT_EQ(
      std::vector<platform::BeepKind>(beeps.begin() + static_cast<long>(beepsBefore), beeps.end()),
      (std::vector<platform::BeepKind>{platform::BeepKind::Exclamation,
                                       platform::BeepKind::Exclamation}));
  EXPECT_EQ(Form().spdbtnNext.hint, "Go to the next page in this group");
}

TEST_F(MacroToolbarTest, ErrorBoxesNameTheirFilesAndCounts) {
  Control("x\r\n2\r\nA\r\nB\r\n");
  Page("A", 60, "GRID.CBX\r\n");
  // Page B has no picture: turning to it fails and the page stays.
  WriteFile(std::string(kMacros) + "B.LST", "NONE\r\n");
  OnForm([&](platform::Form& form) {
    act::Click(form, "spdbtnNext");
    EXPECT_EQ(Form().pnlPageNumber.Caption(), "Page 1 of 2");
    // A's button list vanishes before the click.
    std::filesystem::remove(platform::ResolvePath(std::string(kMacros) + "A.LST"));
    ClickAt(form, 10, 10, 10, 10);
  });
  QXMacro();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(user.messages[0].text,
            "An error occurred attempting to load the bitmap for page 2\r\nThe bitmap file name "
            "is: C:\\TRACELON\\MACROS\\B.BMP");
  EXPECT_EQ(user.messages[1].text,
            "An error was encountered reading the file C:\\TRACELON\\MACROS\\A.LST\r\nLines "
            "successfully read = 0");
  EXPECT_TRUE(Host().MacrosRun().empty());

  // A macro the host refuses is named.
  Page("A", 60, "MISSING.CBX\r\n");
  user.messages.clear();
  OnForm([](platform::Form& form) { ClickAt(form, 10, 10, 10, 10); });
  QXMacro();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text,
            "Tracelon reported an error attempting to execute \r\nMISSING.CBX");
}

TEST_F(MacroToolbarTest, PagesCountedButNotNamedFailOnlyWhenTurnedTo) {
  // Three pages counted, a huge count in the second file: only the named pages are kept.
  for (const char* control : {"x\r\n3\r\nA\r\nB\r\n", "x\r\n2000000000\r\nA\r\nB\r\n"}) {
    Control(control);
    Page("A", 60, "GRID.CBX\r\n");
    Page("B", 60, "NONE\r\n");
    user.messages.clear();
    std::string onB, afterLast;
    OnForm([&](platform::Form& form) {
      act::Click(form, "spdbtnNext");
      onB = Form().pnlPageNumber.Caption();
      act::Click(form, "spdbtnLast");
      afterLast = Form().pnlPageNumber.Caption();
      act::Click(form, "spdbtnFirst");
      ClickAt(form, 10, 10, 10, 10);
    });
    QXMacro();
    const std::string count =
        std::string(control).substr(3, std::string(control).find('\r', 3) - 3);
    EXPECT_EQ(onB, "Page 2 of " + count);
    EXPECT_EQ(afterLast, "Page 2 of " + count) << "the nameless last page is not shown";
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, "An error occurred attempting to load the bitmap for page " +
                                         count + "\r\nThe bitmap file name is: " + kMacros +
                                         ".BMP");
    ASSERT_FALSE(Host().MacrosRun().empty());
    EXPECT_EQ(Host().MacrosRun().back(), std::string(kMacros) + "GRID.CBX")
        << "the named pages work";
  }
  // No name at all: the first page fails as it is shown, and no window opens.
  Control("x\r\n2\r\n");
  user.messages.clear();
  const std::size_t shown = user.formsShown.size();
  QXMacro();
  EXPECT_EQ(user.formsShown.size(), shown);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text,
            std::string("An error occurred attempting to load the bitmap for page 1\r\nThe bitmap "
                        "file name is: ") +
                kMacros + ".BMP");
}

}  // namespace
}  // namespace qxt
