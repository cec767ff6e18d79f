#include "platform/native_windows.h"

#include "platform/actions.h"
#include "platform/file_io.h"
#include "platform_test_support.h"

#ifdef _WIN32
#include <windows.h>
// The toolkit has a MessageBox of its own.
#undef MessageBox

#include <utility>
#endif

namespace platform {
namespace {

namespace act = platform::actions;

class NativeWindowsTest : public testing::PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    if (!native::Available()) GTEST_SKIP() << "this build shows no native windows";
    ASSERT_TRUE(native::Enable());
  }
  void TearDown() override {
    native::Disable();
    PlatformTest::TearDown();
  }
};

// A kind of control that no system control shows.
class Dial : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "Dial"; }
};

TEST_F(NativeWindowsTest, EveryControlKindHasItsSystemControlAndAnUnknownKindHasNone) {
  Form form("TAllKinds");
  PageControl& pages = form.Add<PageControl>("pages");
  Page& page = pages.AddPage("One");
  const std::vector<std::pair<Control*, std::string>> expected = {
      {&form.Add<Label>("label"), "STATIC"},
      {&form.Add<GroupBox>("group"), "BUTTON"},
      {&form.Add<Panel>("panel"), "STATIC"},
      {&form.Add<Edit>("edit"), "EDIT"},
      {&form.Add<Memo>("memo"), "EDIT"},
      {&form.Add<Button>("button"), "BUTTON"},
      {&form.Add<CheckBox>("check"), "BUTTON"},
      {&form.Add<RadioButton>("radio"), "BUTTON"},
      {&form.Add<RadioGroup>("radios"), "BUTTON"},
      {&form.Add<ListBox>("list"), "LISTBOX"},
      {&form.Add<ComboBox>("combo"), "COMBOBOX"},
      {&form.Add<SpinEdit>("spin"), "EDIT"},
      {&form.Add<StringGrid>("grid"), "QxtStringGrid"},
      {&form.Add<TabSet>("tabs"), "SysTabControl32"},
      {&form.Add<Notebook>("book"), "STATIC"},
      {&pages, "SysTabControl32"},
      {&page, "STATIC"},
      {&form.Add<Image>("image"), "STATIC"},
      {&form.Add<SpeedButton>("speed"), "BUTTON"},
      {&form.Add<ToolBar>("toolbar"), "STATIC"},
      {&form.Add<ToolButton>("tool"), "BUTTON"},
  };
  for (const auto& [control, cls] : expected)
    EXPECT_EQ(native::NativeClassFor(*control), cls) << control->TypeName();
  EXPECT_EQ(native::NativeClassFor(form.Add<Dial>("dial")), "");
}

#ifdef _WIN32

std::wstring TextOf(void* hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(static_cast<HWND>(hwnd), text, 256);
  return text;
}

HWND Window(const Control& c) { return static_cast<HWND>(native::ControlWindow(c)); }

// Without a display (Wine with no X server) the system makes no windows at all.
bool SystemMakesWindows() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

// A dialog as the plug-in makes them, with one control of a kind the backend cannot show.
struct Dialog : Form {
  Label& lblName = Add<Label>("lblName");
  Edit& txtName = Add<Edit>("txtName");
  CheckBox& chkBold = Add<CheckBox>("chkBold");
  ListBox& lstKind = Add<ListBox>("lstKind");
  Panel& pnlHidden = Add<Panel>("pnlHidden");
  StringGrid& grdCells = Add<StringGrid>("grdCells");
  Button& btnApply = Add<Button>("btnApply");
  Button& btnOK = Add<Button>("btnOK");
  Dial& dial = Add<Dial>("dial");
  int changes = 0, boldClicks = 0, applyClicks = 0;
  std::string cellEdits;

  Dialog() : Form("TdlgName", "Name") {
    borderStyle = BorderStyle::Dialog;
    SetBounds(50, 50, 320, 240);
    lblName.SetBounds(8, 8, 60, 13);
    lblName.SetText("&Name:");
    txtName.SetBounds(8, 24, 200, 21);
    txtName.autoSelect = false;
    txtName.OnChange = [this](Control&) { ++changes; };
    // Digits are refused by the field's key filter.
    txtName.OnKeyPress = [](Control&, char& key) {
      if (key >= '0' && key <= '9') key = 0;
    };
    chkBold.SetBounds(8, 52, 120, 17);
    chkBold.SetText("Bold");
    chkBold.OnClick = [this](Control&) { ++boldClicks; };
    lstKind.SetBounds(8, 76, 120, 60);
    lstKind.items.Assign({"Alpha", "Beta", "Gamma"});
    pnlHidden.SetBounds(140, 76, 40, 40);
    pnlHidden.Hide();
    grdCells.SetBounds(190, 40, 110, 100);
    grdCells.SetColCount(2);
    grdCells.SetRowCount(3);
    grdCells.defaultColWidth = 50;
    grdCells.editing = true;
    grdCells.OnSetEditText = [this](Control&, int col, int row, const std::string& text) {
      cellEdits += std::to_string(col) + "," + std::to_string(row) + "=" + text + ";";
    };
    btnApply.SetBounds(140, 150, 75, 25);
    btnApply.SetText("Apply");
    btnApply.OnClick = [this](Control&) { ++applyClicks; };
    btnOK.SetBounds(225, 150, 75, 25);
    btnOK.SetText("OK");
    btnOK.modalResult = ModalResult::OK;
    dial.SetBounds(200, 8, 30, 30);
  }
};

TEST_F(NativeWindowsTest, ShownFormIsSystemWindowsInStepWithTheModel) {
  if (!SystemMakesWindows()) GTEST_SKIP() << "no display here: the system makes no windows";
  Dialog dialog;
  bool acted = false;
  driver.onModal = [&](Form& form) {
    acted = true;
    HWND window = static_cast<HWND>(native::FormWindow(form));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(TextOf(window), L"Name");

    // Every control stands where the toolkit puts it; the one the system cannot show is named.
    std::vector<native::GeometryProblem> problems = native::CheckGeometry(form);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].control, "dial");
    EXPECT_NE(problems[0].what.find("no native counterpart"), std::string::npos);
    EXPECT_FALSE(IsWindowVisible(Window(dialog.pnlHidden)));
    EXPECT_EQ(TextOf(Window(dialog.lblName)), L"&Name:");

    // A script's actions arrive as messages; each runs the toolkit's action once, and the
    // windows show the outcome (texts cross as UTF-16).
    EXPECT_TRUE(native::Perform(form,
                                {native::Act::Set, "txtName",
                                 "Gr\xC3\xB6\xC3\x9F"
                                 "e"},
                                [&] {
                                  return act::SetText(form, "txtName",
                                                      {"Gr\xC3\xB6\xC3\x9F"
                                                       "e"});
                                }));
    EXPECT_EQ(dialog.txtName.Text(),
              "Gr\xC3\xB6\xC3\x9F"
              "e");
    EXPECT_EQ(TextOf(Window(dialog.txtName)), L"Gr\u00F6\u00DFe");
    EXPECT_EQ(dialog.changes, 1);

    native::Action check{native::Act::Check, "chkBold"};
    check.on = true;
    EXPECT_TRUE(native::Perform(form, check, [&] { return act::Check(form, "chkBold", true); }));
    EXPECT_EQ(dialog.boldClicks, 1);
    EXPECT_EQ(SendMessageW(Window(dialog.chkBold), BM_GETCHECK, 0, 0), BST_CHECKED);

    native::Action select{native::Act::Select, "lstKind", "Beta"};
    EXPECT_TRUE(
        native::Perform(form, select, [&] { return act::Select(form, "lstKind", "Beta"); }));
    EXPECT_EQ(dialog.lstKind.ItemIndex(), 1);
    EXPECT_EQ(SendMessageW(Window(dialog.lstKind), LB_GETCURSEL, 0, 0), 1);

    // A person's input: a key the field's filter refuses changes nothing, a letter is typed;
    // a click on a button runs its handler once.
    SendMessageW(Window(dialog.txtName), WM_CHAR, '7', 0);
    SendMessageW(Window(dialog.txtName), WM_CHAR, 'n', 0);
    EXPECT_EQ(dialog.txtName.Text(),
              "Gr\xC3\xB6\xC3\x9F"
              "en");
    EXPECT_EQ(TextOf(Window(dialog.txtName)), L"Gr\u00F6\u00DFen");
    SendMessageW(Window(dialog.btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.applyClicks, 1);

    // Typing on a grid opens its in-place editor on the current cell; Enter puts the text in.
    HWND grid = Window(dialog.grdCells);
    SendMessageW(grid, WM_CHAR, '4', 0);
    HWND editor = GetWindow(grid, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    SendMessageW(editor, WM_CHAR, '2', 0);
    SendMessageW(editor, WM_CHAR, '\r', 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(dialog.grdCells.Cell(1, 1), "42");
    EXPECT_EQ(dialog.cellEdits, "1,1=42;");
    EXPECT_EQ(GetWindow(grid, GW_CHILD), nullptr);

    // A script's action on a control that is not there fails as the toolkit says.
    EXPECT_THROW(native::Perform(form, {native::Act::Click, "btnNone"},
                                 [&] { return act::Click(form, "btnNone"); }),
                 act::ActionError);
    EXPECT_TRUE(native::Perform(form, {native::Act::Click, "btnOK"},
                                [&] { return act::Click(form, "btnOK"); }));
  };
  EXPECT_EQ(dialog.ShowModal(), ModalResult::OK);
  EXPECT_TRUE(acted);
  EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(native::FormWindow(dialog))));
  EXPECT_GE(native::MessagesDelivered(), 4);
}

// What a person at the screen does comes through the system's own message loop: a timer stands
// in for the person, acting on the windows while the modal loop runs.
struct Person {
  static inline std::function<void()> next;
  static void CALLBACK Act(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto step = std::exchange(next, nullptr)) step();
  }
  static void Soon(std::function<void()> step) {
    next = std::move(step);
    SetTimer(nullptr, 0, 20, Act);
  }
};

// The system's message box of the thread, once it is up.
HWND MessageBoxWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM out) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(h, cls, 32);
        if (std::wstring(cls) == L"#32770" && IsWindowVisible(h)) {
          *reinterpret_cast<HWND*>(out) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(NativeWindowsTest, PersonAtTheScreenAnswersModalFormsAndMessageBoxes) {
  if (!SystemMakesWindows()) GTEST_SKIP() << "no display here: the system makes no windows";
  SetUiDriver(&native::DesktopUser());
  Dialog dialog;
  // The field refuses to be left empty: its check shows a box, which the person answers.
  MsgResult answer = MsgResult::None;
  dialog.txtName.OnExit = [&](Control&) {
    if (dialog.txtName.Text().empty())
      answer = MessageBox("A name is needed. Leave it empty?", "Name", MsgIcon::Question,
                          MsgButtons::YesNo);
  };
  dialog.SetActiveControl(&dialog.txtName);
  // The person clicks OK: the field's check asks, the person says No, and the click that moved
  // the focus is lost to the box; a second click on OK closes the dialog.
  Person::Soon([&] {
    Person::Soon([&] {
      HWND box = MessageBoxWindow();
      if (!box) {
        // No box came: the click did not reach the field's check. The dialog is closed so
        // that the test ends.
        ADD_FAILURE() << "the field's check showed no message box";
        PostMessageW(static_cast<HWND>(native::FormWindow(dialog)), WM_CLOSE, 0, 0);
        return;
      }
      PostMessageW(box, WM_COMMAND, IDNO, 0);
      Person::Soon([&] {
        dialog.txtName.OnExit = nullptr;
        PostMessageW(Window(dialog.btnOK), BM_CLICK, 0, 0);
      });
    });
    PostMessageW(Window(dialog.btnOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dialog.ShowModal(), ModalResult::OK);
  EXPECT_EQ(answer, MsgResult::No);

  // Help opens in a window of its own, with the topic and a plain-text help file's words.
  WriteWholeFile("C:\\QXHELP.TXT", "Doors are placed in walls.\r\n");
  ShowHelp("C:\\QXHELP.TXT", "Doors");
  Form* help = FindShownForm("THelpWindow");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(native::FormWindow(*help))));
  const std::wstring shown = TextOf(native::ControlWindow(*help->Find<Control>("HelpText")));
  EXPECT_NE(shown.find(L"Topic: Doors"), std::wstring::npos);
  EXPECT_NE(shown.find(L"Doors are placed in walls."), std::wstring::npos);
  help->Close();

  // The system's open-file dialog starts in the machine's folder and gives the chosen file
  // back as the machine's own path.
  CreateDir("C:\\WORK");
  WriteWholeFile("C:\\WORK\\A.VWF", "drawing");
  // The person waits for the dialog to show (a second at most), types the name, presses OK.
  int waited = 0;
  std::function<void()> answerFile = [&] {
    HWND box = MessageBoxWindow();
    if (!box && ++waited < 50) {
      Person::Soon(answerFile);
      return;
    }
    if (!box) {
      ADD_FAILURE() << "no open-file dialog";
      return;
    }
    // The file name field: a combo box in the newer dialog, an edit box in the older one.
    SetDlgItemTextW(box, 0x47c, L"A.VWF");
    SetDlgItemTextW(box, 0x480, L"A.VWF");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  };
  Person::Soon(answerFile);
  OpenFileRequest request;
  request.title = "Open Drawing";
  request.filter = "Drawings (*.VWF)|*.VWF";
  request.initialDir = "C:\\WORK";
  request.fileMustExist = true;
  EXPECT_EQ(native::DesktopUser().AskOpenFile(request), "C:\\WORK\\A.VWF");
  SetUiDriver(&driver);
}

#endif

}  // namespace
}  // namespace platform
