// The symbol command through its browser: a small library of two groups on a fresh machine.
#include "text/symbol_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "text/symbol_browser.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace msg = symbol_browser_messages;
using testing::PointAt;

constexpr const char* kLibrary = "C:\\QXTOOLS\\QXSYMBOL\\";

class SymbolCommandTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    std::filesystem::create_directories(platform::ResolvePath("C:\\QXTOOLS\\QXSYMBOL"));
    std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
    WriteFile("C:\\TRACELON\\SYMBOLS\\CHAIR.SYM",
              "TRACELON SYMBOL 1\nLINE -9 -9 9 -9 9 9 -9 9 -9 -9\n");
    Library("QXSYMBOL.CTL",
            "menu\r\n300\r\n200\r\n2\r\n3\r\nFURNISH\r\nEMPTY\r\nBROKEN\r\n"
            "MISSING\r\nFURNISH\r\nCANCEL\r\n");
    Picture("QXSYMBOL.BMP", 300, 200);
    Library("FURNISH.CTL",
            "Furniture\r\n3\r\nP1,one,2\r\nP2,two,1\r\nP3,three,\r\n2D\r\nFurniture\r\n");
    Library("EMPTY.CTL", "No pages\r\n0\r\n");
    Library("BROKEN.CTL", "Page picture missing\r\n1\r\nNOPIC,x,1\r\n");
    Library("P1.LST", Cells("CHAIR.SYM,12,\r\nNONE\r\nCHAIR.SYM,0,L\r\n"));
    Library("P2.LST", Cells("CHAIR.SYM,x,\r\n"));
    Library("P3.LST", Cells("CHAIR.SYM,0,1\r\n"));
    for (const char* page : {"P1.BMP", "P2.BMP", "P3.BMP"}) Picture(page, 300, 240);
    Library("NOPIC.LST", Cells(""));
  }

  void Library(const std::string& name, const std::string& text) {
    WriteFile(std::string(kLibrary) + name, text);
  }
  void Picture(const std::string& name, int width, int height) {
    platform::WriteBmp(std::string(kLibrary) + name, platform::Bitmap(width, height));
  }
  static std::string Cells(std::string first) {
    int lines = 0;
    for (char c : first) lines += c == '\n';
    for (; lines < kPageCells; ++lines) first += "NONE\r\n";
    return first;
  }

  TfrmQXSymbol& Browser() { return *State().forms->frmQXSymbol; }
  void OnBrowser(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  static bool Press(platform::Form& form, int x, int y,
                    platform::MouseButton button = platform::MouseButton::Left) {
    return act::Mouse(form, "imgSymbol", act::MouseAction::Down, button, {x, y});
  }
  static bool Release(platform::Form& form, int x, int y) {
    return act::Mouse(form, "imgSymbol", act::MouseAction::Up, platform::MouseButton::Left, {x, y});
  }
  static void ClickAt(platform::Form& form, int x, int y) {
    Press(form, x, y);
    Release(form, x, y);
  }
  static void RightClick(platform::Form& form) { Press(form, 1, 1, platform::MouseButton::Right); }

  std::vector<host::Object> Symbols() const {
    std::vector<host::Object> symbols;
    for (const host::Object& o : FinalObjects())
      if (o.Kind() == host::ObjectKind::Symbol) symbols.push_back(o);
    return symbols;
  }
};

TEST_F(SymbolCommandTest, RightClickInTheMainMenuEndsTheCommand) {
  std::string messageLine;
  int width = 0;
  OnBrowser([&](platform::Form& form) {
    messageLine = Host().MessageLine();
    width = form.ClientWidth();
    RightClick(form);
  });
  QXSymbol();
  EXPECT_EQ(messageLine, msg::kMenuMessage);
  EXPECT_EQ(width, 300);
  EXPECT_FALSE(Browser().pnlButtons.Visible());
  EXPECT_EQ(Host().CallbackTitle(), "QX Symbol");
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(platform::Application().hintPause, 1000);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(SymbolCommandTest, CancelCellEndsAndAPressReleasedElsewhereChoosesNothing) {
  int groupAfterDrag = -1;
  OnBrowser([&](platform::Form& form) {
    Press(form, 10, 10);     // cell 1
    Release(form, 150, 10);  // cell 2
    groupAfterDrag = Browser().CurrentGroup();
    EXPECT_EQ(Browser().SelectedCell(), 0);
    ClickAt(form, 299, 199);  // cell 6: CANCEL
  });
  QXSymbol();
  EXPECT_EQ(groupAfterDrag, 0);
  EXPECT_EQ(user.formsShown, std::vector<std::string>{"TfrmQXSymbol"});
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(SymbolCommandTest, MenuFilesThatCannotBeReadEndTheCommandBeforeItIsAnnounced) {
  Library("QXSYMBOL.CTL", "menu\r\n300\r\n200\r\nrows\r\n");
  QXSymbol();
  platform::DeleteFile(std::string(kLibrary) + "QXSYMBOL.CTL");
  QXSymbol();
  platform::DeleteFile(std::string(kLibrary) + "QXSYMBOL.BMP");
  QXSymbol();
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{std::string(msg::kMenuControlError) + "3",
                                      std::string(msg::kMenuControlError) + "0",
                                      msg::kMenuPictureError}));
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_EQ(Host().CallbackTitle(), "");
  EXPECT_EQ(Host().StatusLineUpdates(), 3);
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(SymbolCommandTest, RefusedWhileAnotherToolRuns) {
  State().RunningTool = 3;
  QXSymbol();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "You cannot run QX Symbol when another QX Tool is already running."});
  EXPECT_EQ(State().RunningTool, 3);
  EXPECT_TRUE(user.formsShown.empty());
}

TEST_F(SymbolCommandTest, PageButtonsMoveBeepAtTheEndsAndShowWhereThePageIs) {
  std::vector<std::string> labels;
  std::vector<std::string> downs;
  auto note = [&] {
    labels.push_back(Browser().pnlPageNumber.Caption());
    downs.push_back(std::string(Browser().spdbtnFirst.Down() ? "F" : "") +
                    (Browser().spdbtnLast.Down() ? "L" : ""));
  };
  OnBrowser([&](platform::Form& form) {
    ClickAt(form, 10, 10);  // FURNISH
    EXPECT_EQ(Browser().CurrentGroup(), 1);
    EXPECT_TRUE(Browser().pnlButtons.Visible());
    EXPECT_EQ(Browser().lblGroupName.Caption(), "Furniture");
    EXPECT_EQ(Browser().imgSymbol.Top(), 60);
    note();
    act::Click(form, "spdbtnPrevious");  // beeps
    note();
    act::Click(form, "spdbtnNext");
    note();
    act::Click(form, "spdbtnLast");
    note();
    act::Click(form, "spdbtnNext");  // beeps
    note();
    act::Click(form, "spdbtnPrevious");
    note();
    act::Click(form, "spdbtnFirst");
    note();
    RightClick(form);  // back to the menu
    EXPECT_EQ(Browser().CurrentGroup(), 0);
    EXPECT_FALSE(Browser().pnlButtons.Visible());
    EXPECT_EQ(Host().MessageLine(), msg::kMenuMessage);
    RightClick(form);  // ends
  });
  const std::size_t beepsBefore = platform::GetHistory().beeps.size();
  QXSymbol();
  EXPECT_EQ(labels,
            (std::vector<std::string>{"Page 1 of 3", "Page 1 of 3", "Page 2 of 3", "Page 3 of 3",
                                      "Page 3 of 3", "Page 2 of 3", "Page 1 of 3"}));
  EXPECT_EQ(downs, (std::vector<std::string>{"F", "F", "", "L", "L", "", "F"}));
  const auto& beeps = platform::GetHistory().beeps;
  EXPECT_EQ(
      std::vector<platform::BeepKind>(beeps.begin() + std::ptrdiff_t(beepsBefore), beeps.end()),
      (std::vector<platform::BeepKind>{platform::BeepKind::Exclamation,
                                       platform::BeepKind::Exclamation}));
  EXPECT_TRUE(user.messages.empty());

  // A group of one page: its page is the first and the last, so both buttons are down, and
  // stay so after First and Last.
  Library("FURNISH.CTL", "Furniture\r\n1\r\nP1,one,2\r\n");
  labels.clear();
  downs.clear();
  OnBrowser([&](platform::Form& form) {
    ClickAt(form, 10, 10);
    note();
    act::Click(form, "spdbtnLast");
    note();
    act::Click(form, "spdbtnFirst");
    note();
    RightClick(form);
    RightClick(form);
  });
  QXSymbol();
  EXPECT_EQ(labels, std::vector<std::string>(3, "Page 1 of 1"));
  EXPECT_EQ(downs, std::vector<std::string>(3, "FL"));
}

TEST_F(SymbolCommandTest, AChosenCellIsPlacedAndTheBrowserComesBackWithoutReadingThePageAgain) {
  OnBrowser([&](platform::Form& form) {
    ClickAt(form, 10, 10);  // FURNISH
    ClickAt(form, 70, 10);  // NONE: ignored
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    ClickAt(form, 10, 10);  // CHAIR.SYM on layer 12
  });
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Symbols"); });
  OnBrowser([&](platform::Form& form) {
    EXPECT_EQ(Browser().CurrentPage(), 1);
    EXPECT_EQ(Host().MessageLine(), msg::kGroupMessage);
    // The page's list is gone now: the table loaded before serves.
    platform::DeleteFile(std::string(kLibrary) + "P1.LST");
    ClickAt(form, 10, 10);
  });
  user.replies = {PointAt(100, 100), testsupport::Reply(host::PointReply::Kind::Button2),
                  PointAt(200, 200)};
  QXSymbol();
  EXPECT_TRUE(user.messages.empty());
  const auto symbols = Symbols();
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0].layer, 12);
  EXPECT_EQ(user.formsShown,
            (std::vector<std::string>{"TfrmQXSymbol", "TdlgSymbolSettings", "TfrmQXSymbol"}));
  // A new run reads the list again.
  OnBrowser([&](platform::Form& form) {
    ClickAt(form, 10, 10);
    ClickAt(form, 10, 10);
    EXPECT_EQ(Browser().TableKey(), 0);
    RightClick(form);
    RightClick(form);
  });
  QXSymbol();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text,
            "The following error occurred while opening the file\r\nC:\\QXTOOLS\\QXSYMBOL\\P1.LST:"
            "\r\nFile not found");
}

TEST_F(SymbolCommandTest, ABadPageListKeepsTheBrowserOpenOnThatPage) {
  OnBrowser([&](platform::Form& form) {
    ClickAt(form, 10, 10);
    act::Click(form, "spdbtnNext");
    ClickAt(form, 10, 10);  // P2: its layer field is not a number
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    EXPECT_EQ(Browser().CurrentPage(), 2);
    act::Click(form, "Symbol Menu");
  });
  OnBrowser([&](platform::Form& form) {
    EXPECT_EQ(Browser().CurrentGroup(), 0);  // started afresh at the main menu
    RightClick(form);
  });
  QXSymbol();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "The file C:\\QXTOOLS\\QXSYMBOL\\P2.LST\r\n is not properly formatted on line 1."
                "\r\nQX Symbol cannot place symbols on this page until the file is\r\ncorrected."});
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(Host().StatusLineUpdates(), 2);
}

TEST_F(SymbolCommandTest, GroupsThatCannotBeLoadedEndTheCommandWithTheirMessage) {
  for (int cell : {2, 3, 4}) {
    OnBrowser([cell](platform::Form& form) {
      ClickAt(form, (cell - 1) % 3 * 100 + 5, (cell - 1) / 3 * 100 + 5);
    });
    QXSymbol();
  }
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{
                "QX Tools encountered an error while reading the file\r\nC:\\QXTOOLS\\QXSYMBOL\\"
                "EMPTY.CTL\r\nQX Symbol cannot load the group of symbols requested.",
                msg::kFirstPageError,
                "QX Tools encountered an error attempting to open\r\nC:\\QXTOOLS\\QXSYMBOL\\"
                "MISSING.CTL\r\nQX Symbol cannot load the group of symbols requested."}));
  EXPECT_EQ(State().RunningTool, 0);
}

}  // namespace
}  // namespace qxt
