#include "platform/forms.h"

#include "platform/actions.h"
#include "platform/metrics.h"
#include "platform_test_support.h"

namespace platform {
namespace {

using testing::PlatformTest;
namespace act = platform::actions;

class FormsTest : public PlatformTest {};

// A dialog with a checked number field, a second field and OK / Cancel buttons.
struct SizeDialog : Form {
  Edit& txtSize = Add<Edit>("txtSize");
  Edit& txtName = Add<Edit>("txtName");
  Button& btnOK = Add<Button>("btnOK");
  Button& btnCancel = Add<Button>("btnCancel");
  int okClicks = 0;
  std::vector<std::string> events;

  SizeDialog() : Form("TdlgSize", "Size") {
    btnOK.SetCaption("&OK");
    btnOK.modalResult = ModalResult::OK;
    btnOK.isDefault = true;
    btnCancel.SetCaption("Cancel");
    btnCancel.modalResult = ModalResult::Cancel;
    btnCancel.isCancel = true;
    txtSize.SetText("10");
    txtSize.OnEnter = [this](Control&) { events.push_back("enter size"); };
    txtName.OnEnter = [this](Control&) { events.push_back("enter name"); };
    txtSize.OnExit = [this](Control&) {
      events.push_back("exit size");
      if (txtSize.Text().find_first_not_of("0123456789") != std::string::npos ||
          txtSize.Text().empty()) {
        Beep(BeepKind::Exclamation);
        MessageBox("The value you entered for Size is invalid.", "Warning", MsgIcon::Warning);
        txtSize.SetText("10");
        txtSize.SetFocus();
      }
    };
    btnOK.OnClick = [this](Control&) { ++okClicks; };
  }
};

TEST_F(FormsTest, AnExitCheckThatKeepsTheFocusStopsTheClick) {
  SizeDialog dlg;
  std::vector<bool> clicked;
  driver.onModal = [&](Form& form) {
    EXPECT_EQ(form.ActiveControl(), &dlg.txtSize);  // the first field has the focus
    act::SetText(form, "txtSize", {"abc"});
    clicked.push_back(act::Click(form, "OK"));  // by caption, '&' ignored
    EXPECT_FALSE(form.ModalDone());
    EXPECT_EQ(form.ActiveControl(), &dlg.txtSize);
    EXPECT_EQ(dlg.txtSize.Text(), "10");
    act::SetText(form, "txtSize", {"12"});
    clicked.push_back(act::Click(form, "btnOK"));
  };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::OK);
  EXPECT_EQ(clicked, (std::vector<bool>{false, true}));
  EXPECT_EQ(dlg.okClicks, 1);
  ASSERT_EQ(driver.messages.size(), 1u);
  EXPECT_EQ(driver.messages[0].text, "The value you entered for Size is invalid.");
  EXPECT_EQ(driver.beeps, (std::vector<BeepKind>{BeepKind::Exclamation}));
  EXPECT_EQ(dlg.txtSize.Text(), "12");
  EXPECT_FALSE(dlg.Visible());
}

TEST_F(FormsTest, AButtonThatDoesNotValidateLeavesWithoutTheFieldCheckWhichIsOwedMeanwhile) {
  SizeDialog dlg;
  dlg.btnCancel.causesValidation = false;
  auto& btnHelp = dlg.Add<Button>("btnHelp");
  btnHelp.causesValidation = false;
  // Cancel leaves at once, the refused entry neither checked nor warned about.
  driver.onModal = [&](Form& form) {
    act::SetText(form, "txtSize", {"abc"});
    EXPECT_TRUE(act::Click(form, "Cancel"));
  };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::Cancel);
  EXPECT_TRUE(driver.messages.empty());
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), "exit size"), 0);

  // A button that stays in the dialog: the check skipped on the way to it runs when the focus
  // moves on to a control that validates, and keeps the focus in the field; going back to the
  // field itself owes nothing.
  driver.onModal = [&](Form& form) {
    act::SetText(form, "txtSize", {"abc"});
    EXPECT_TRUE(act::Click(form, "btnHelp"));
    EXPECT_TRUE(driver.messages.empty());
    EXPECT_FALSE(act::Focus(form, "txtName"));
    EXPECT_EQ(form.ActiveControl(), &dlg.txtSize);
    ASSERT_EQ(driver.messages.size(), 1u);
    act::SetText(form, "txtSize", {"abc"});
    EXPECT_TRUE(act::Click(form, "btnHelp"));
    EXPECT_TRUE(act::Focus(form, "txtSize"));
    EXPECT_EQ(driver.messages.size(), 1u);
    form.SetModalResult(ModalResult::Cancel);
  };
  dlg.ShowModal();
  EXPECT_EQ(dlg.txtSize.Text(), "abc");
}

TEST_F(FormsTest, FocusMovesRunExitBeforeEnterAndAHandlerMayRedirectIt) {
  SizeDialog dlg;
  dlg.txtName.OnExit = [&](Control&) {
    dlg.events.push_back("exit name");
    dlg.btnCancel.SetFocus();  // sends the focus elsewhere
  };
  driver.onModal = [&](Form& form) {
    EXPECT_TRUE(act::Focus(form, "txtName"));
    EXPECT_FALSE(act::Focus(form, "txtSize"));
    EXPECT_EQ(form.ActiveControl(), &dlg.btnCancel);
    form.SetModalResult(ModalResult::Cancel);
  };
  dlg.ShowModal();
  EXPECT_EQ(dlg.events,
            (std::vector<std::string>{"enter size", "exit size", "enter name", "exit name"}));
}

TEST_F(FormsTest, EnterAndEscapeClickTheDefaultAndCancelButtonsWithoutLeavingTheField) {
  SizeDialog dlg;
  driver.onModal = [&](Form& form) { act::TypeText(form, "txtSize", "25\r"); };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::OK);
  EXPECT_EQ(dlg.txtSize.Text(), "25");  // typing replaced the text selected on entry
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), "exit size"), 0);

  driver.onModal = [&](Form& form) { act::TypeText(form, "txtName", "\x1b"); };
  EXPECT_EQ(dlg.ShowModal(), ModalResult::Cancel);
  EXPECT_EQ(dlg.okClicks, 1);
}

// A one-line number field built on the memo, filtering its keys as numeric entry fields do.
class NumberMemo : public Memo {
 public:
  using Memo::Memo;
  void KeyPress(char& key) override {
    bool ok = (key >= '0' && key <= '9') || key == '.' || key == '-' ||
              (static_cast<unsigned char>(key) < 32 && key != '\r');
    if (!ok) {
      key = 0;
      Beep(BeepKind::Default);
    }
    Memo::KeyPress(key);
  }
  void DoEnter() override {
    SelectAll();
    Memo::DoEnter();
  }
};

TEST_F(FormsTest, TypedKeysPassTheKeyFilterAndRejectedKeysBeep) {
  Form form("TdlgKeys");
  auto& number = form.Add<NumberMemo>("dblValue");
  number.SetText("0");
  auto& code = form.Add<Edit>("txtCode");
  code.maxLength = 3;
  std::vector<char> seen;
  code.OnKeyPress = [&](Control&, char& key) {
    seen.push_back(key);
    if (key == ' ') key = 0;  // dropped silently by this handler
  };
  int changes = 0;
  code.OnChange = [&](Control&) { ++changes; };
  form.Show();

  EXPECT_TRUE(act::TypeText(form, "dblValue", "1e,5\r"));
  EXPECT_EQ(number.Text(), "15");  // the selected "0" was replaced; e , and Enter dropped
  EXPECT_EQ(driver.beeps.size(), 3u);

  driver.beeps.clear();
  EXPECT_TRUE(act::TypeText(form, "txtCode", "A B\bCDE"));
  EXPECT_EQ(code.Text(), "ACD");  // the space dropped, Backspace took B, E over the limit
  EXPECT_EQ(seen, (std::vector<char>{'A', ' ', 'B', '\b', 'C', 'D', 'E'}));
  EXPECT_EQ(driver.beeps, (std::vector<BeepKind>{BeepKind::Default}));
  EXPECT_EQ(changes, 5);

  code.readOnly = true;
  EXPECT_TRUE(act::TypeText(form, "txtCode", "Z"));
  EXPECT_EQ(code.Text(), "ACD");
  EXPECT_THROW(act::SetText(form, "txtCode", {"Q"}), act::ActionError);
}

TEST_F(FormsTest, AMemoWrapsItsLinesAtItsPixelWidth) {
  Form form("TdlgMemo");
  auto& memo = form.Add<Memo>("mmText");
  memo.font.name = "Courier New";  // fixed pitch: every character 8 pixels at 10 points
  memo.font.size = 10;
  ASSERT_EQ(metrics::CharWidth(memo.font, 'W'), 8);
  memo.scrollBars = ScrollBars::Vertical;
  // Ten characters fit: borders, margins and the scroll bar take the rest.
  memo.SetWidth(80 + 2 * metrics::EditBorder + 2 * metrics::EditMargin +
                metrics::VerticalScrollBarWidth);
  EXPECT_EQ(memo.TextAreaWidth(), 80);

  memo.SetText("HELLO WORLD AGAIN\r\n\r\nABCDEFGHIJKLMNOP\r\nSHORT\r\n");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"HELLO ", "WORLD ", "AGAIN", "", "ABCDEFGHIJ",
                                                    "KLMNOP", "SHORT"}));
  EXPECT_EQ(memo.Paragraphs().size(), 4u);  // a closing line break adds no line

  memo.SetText("0123456789   X");  // blanks hang at the end of a full line
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"0123456789   ", "X"}));

  memo.wordWrap = false;
  memo.SetText("HELLO WORLD AGAIN");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"HELLO WORLD AGAIN"}));
  memo.SetText("");
  EXPECT_TRUE(memo.Lines().empty());

  // Proportional faces measure each character; bold is wider.
  Font arial{"Arial", 10};
  Font bold = arial;
  bold.bold = true;
  EXPECT_LT(metrics::TextWidth(arial, "iiii"), metrics::TextWidth(arial, "WWWW"));
  EXPECT_GT(metrics::TextWidth(bold, "WWWW"), metrics::TextWidth(arial, "WWWW"));
}

struct Counted : ItemData {
  explicit Counted(int& live) : live(live) { ++live; }
  ~Counted() override { --live; }
  int& live;
};

TEST_F(FormsTest, ASortedListOwnsAnObjectPerItem) {
  Form form("TdlgList");
  auto& list = form.Add<ListBox>("lbxNames");
  list.items.sorted = true;
  int live = 0;
  for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "alpha"})
    list.items.Add(name, std::make_unique<Counted>(live));
  EXPECT_EQ(live, 5);
  EXPECT_EQ(list.items.Strings(),
            (std::vector<std::string>{"Alpha", "alpha", "Bravo", "charlie", "delta"}));
  EXPECT_NE(list.items.ObjectAs<Counted>(2), nullptr);
  EXPECT_EQ(list.items.IndexOf("CHARLIE"), 3);

  list.SetItemIndex(3);
  list.DeleteItem(1);
  EXPECT_EQ(live, 4);
  EXPECT_EQ(list.SelectedText(), "charlie");  // the selection stays on its item
  list.DeleteItem(2);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.items.Set(0, "zulu");  // renaming moves the item to its place
  EXPECT_EQ(list.items.Strings(), (std::vector<std::string>{"Bravo", "delta", "zulu"}));
  EXPECT_EQ(live, 3);
  list.ClearItems();
  EXPECT_EQ(live, 0);
}

TEST_F(FormsTest, AMultiSelectListAddsToItsSelection) {
  Form form("TdlgDefine");
  auto& src = form.Add<ListBox>("SrcList");
  src.multiSelect = true;
  src.items.Assign({"Grid", "Node", "Vertex"});
  int clicks = 0;
  src.OnClick = [&](Control&) { ++clicks; };
  form.Show();
  act::Select(form, "SrcList", "Grid");
  act::Select(form, "SrcList", "Vertex");
  EXPECT_EQ(src.SelCount(), 2);
  EXPECT_TRUE(src.Selected(0));
  EXPECT_FALSE(src.Selected(1));
  act::Deselect(form, "SrcList", "Grid");
  EXPECT_EQ(src.SelCount(), 1);
  EXPECT_EQ(clicks, 3);
  EXPECT_THROW(act::Select(form, "SrcList", "Midpoint"), act::ActionError);
}

TEST_F(FormsTest, ListSelectionsStayWithTheirItemsWhateverChangesTheItems) {
  Form form("TdlgDefine");
  auto& src = form.Add<ListBox>("SrcList");
  src.multiSelect = true;
  src.items.sorted = true;
  src.items.Assign({"Vertex", "Grid", "Node", "Line"});  // Grid, Line, Node, Vertex
  auto at = [&](const char* name) { return src.items.IndexOf(name); };
  src.SetSelected(at("Node"), true);
  src.SetItemIndex(at("Vertex"));

  // An item deleted or added before them through the items: the marks keep to their items.
  src.items.Delete(at("Grid"));
  src.items.Add("Arc");
  EXPECT_TRUE(src.Selected(at("Node")));
  EXPECT_EQ(src.SelCount(), 1);
  EXPECT_EQ(src.ItemIndex(), at("Vertex"));

  // Renaming moves the item to its place, its selection with it.
  src.items.Set(at("Node"), "Center");
  EXPECT_EQ(src.items.Strings(), (std::vector<std::string>{"Arc", "Center", "Line", "Vertex"}));
  EXPECT_TRUE(src.Selected(1));
  EXPECT_FALSE(src.Selected(2));
  EXPECT_EQ(src.ItemIndex(), 3);

  // Deleting a selected item takes its selection; new items after a clear are not selected.
  src.items.Delete(1);
  EXPECT_EQ(src.SelCount(), 0);
  src.items.Clear();
  src.items.Assign({"Grid", "Node", "Vertex"});
  EXPECT_EQ(src.SelCount(), 0);
  EXPECT_EQ(src.ItemIndex(), -1);

  // A single-select list's selection follows its item the same way.
  auto& names = form.Add<ListBox>("lbxNames");
  names.items.sorted = true;
  names.items.Assign({"B", "D"});
  names.SetItemIndex(1);
  names.items.Add("A");
  EXPECT_EQ(names.SelectedText(), "D");
  names.items.Set(2, "C");
  EXPECT_EQ(names.SelectedText(), "C");
  names.items.Delete(names.ItemIndex());
  EXPECT_EQ(names.ItemIndex(), -1);
  names.items.Add("E");
  EXPECT_EQ(names.ItemIndex(), -1);
}

TEST_F(FormsTest, GridCellsArePaintedOntoARecordingCanvas) {
  Form form("TdlgLayer");
  auto& grid = form.Add<StringGrid>("sgrdLayer");
  grid.SetColCount(16);
  grid.SetRowCount(16);
  grid.fixedCols = grid.fixedRows = 0;
  grid.defaultDrawing = false;
  grid.defaultColWidth = 20;
  grid.defaultRowHeight = 20;
  std::vector<bool> on(257, true);  // by layer number; the last cell is 256
  on[3] = false;
  grid.OnDrawCell = [&](Control&, int col, int row, const Rect& rect, GridDrawState) {
    Canvas& canvas = grid.GetCanvas();
    int layer = row * 16 + col + 1;
    canvas.DrawButtonFace(rect, !on[layer]);
    canvas.TextOut(rect.left + 2, rect.top + 2, std::to_string(layer));
    if (layer == 18) {
      canvas.brushColor = colors::Red;
      canvas.Ellipse({rect.right - 6, rect.bottom - 6, rect.right - 1, rect.bottom - 1});
    }
  };
  std::vector<std::pair<int, bool>> ups;
  grid.OnMouseUp = [&](Control&, MouseButton, ShiftState shift, int x, int y) {
    int col, row;
    ASSERT_TRUE(grid.MouseToCell({x, y}, col, row));
    int layer = row * 16 + col + 1;
    on[layer] = !on[layer];
    grid.PaintCell(col, row);
    ups.push_back({layer, shift.OnlyShift()});
  };
  form.Show();
  EXPECT_EQ(grid.PaintCount(), 1);

  const auto& cell = grid.CellDrawing(1, 1);  // layer 18
  ASSERT_EQ(cell.size(), 3u);
  EXPECT_EQ(cell[0].kind, DrawOp::Kind::Edge);
  EXPECT_FALSE(cell[0].raised);
  EXPECT_EQ(cell[1].text, "18");
  EXPECT_EQ(cell[1].rect.left, 21 + 2);
  EXPECT_EQ(cell[2].kind, DrawOp::Kind::Ellipse);
  EXPECT_EQ(cell[2].brushColor, colors::Red);
  EXPECT_TRUE(grid.CellDrawing(2, 0)[0].raised);  // layer 3 is off

  act::MouseCell(form, "sgrdLayer", act::MouseAction::Down, MouseButton::Left, 2, 0, {true});
  act::MouseCell(form, "sgrdLayer", act::MouseAction::Up, MouseButton::Left, 2, 0, {true});
  act::MouseCell(form, "sgrdLayer", act::MouseAction::Up, MouseButton::Left, 4, 0, {true, true});
  EXPECT_EQ(ups, (std::vector<std::pair<int, bool>>{{3, true}, {5, false}}));
  EXPECT_FALSE(grid.CellDrawing(2, 0)[0].raised);  // repainted as on
  EXPECT_EQ(grid.Col(), 2);
}

TEST_F(FormsTest, CloseQueryCanRefuseAndModalResultsComeBack) {
  Form form("TdlgQXProject", "QX Project");
  auto& close = form.Add<Button>("btnOK");
  close.SetCaption("Close");
  close.modalResult = ModalResult::OK;
  auto& newButton = form.Add<Button>("btnNew");
  newButton.modalResult = 100;
  int asked = 0;
  bool allow = false;
  form.OnCloseQuery = [&](Form&, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  driver.onModal = [&](Form& f) {
    EXPECT_TRUE(act::Click(f, "Close"));
    EXPECT_FALSE(f.ModalDone());
    EXPECT_EQ(f.GetModalResult(), ModalResult::None);
    EXPECT_FALSE(act::CloseBox(f));
    allow = true;
    EXPECT_TRUE(act::Click(f, "btnNew"));
  };
  EXPECT_EQ(form.ShowModal(), 100);
  EXPECT_EQ(asked, 3);

  driver.onModal = [&](Form& f) { EXPECT_TRUE(act::CloseBox(f)); };
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);

  driver.onModal = nullptr;  // a driver that leaves the form alone cancels it
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
  EXPECT_EQ(driver.shownForms, (std::vector<std::string>(3, "TdlgQXProject")));
}

TEST_F(FormsTest, ButtonHandlersCanKeepTheDialogOpen) {
  Form form("TdlgEditProject");
  auto& code = form.Add<Edit>("txtProjectCode");
  auto& ok = form.Add<Button>("btnOK");
  ok.modalResult = ModalResult::OK;
  ok.OnClick = [&](Control&) {
    if (code.Text().empty()) {
      form.SetModalResult(ModalResult::None);
      code.SetFocus();
    }
  };
  driver.onModal = [&](Form& f) {
    act::Click(f, "btnOK");
    EXPECT_EQ(f.ActiveControl(), &code);
    act::TypeText(f, "txtProjectCode", "P1");
    act::Click(f, "btnOK");
  };
  EXPECT_EQ(form.ShowModal(), ModalResult::OK);
}

TEST_F(FormsTest, NestedModalFormsAndModelessWindowsAreAddressable) {
  Form palette("TfrmQXSnap", "QX &Snap");
  auto& tbar = palette.Add<ToolBar>("tbrSnap");
  auto& off = palette.Add<ToolButton>("tbtnOff", &tbar);
  auto& grid = palette.Add<ToolButton>("tbtnGrid", &tbar);
  for (ToolButton* b : {&off, &grid}) {
    b->style = ToolButton::Style::Check;
    b->grouped = true;
  }
  off.SetDown(true);
  palette.Show();
  EXPECT_EQ(FindShownForm("QX Snap"), &palette);

  Form settings("TdlgSnapSettings");
  auto& ok = settings.Add<Button>("btnOK");
  ok.modalResult = ModalResult::OK;
  off.OnMouseUp = [&](Control&, MouseButton button, ShiftState, int, int) {
    if (button == MouseButton::Right) settings.ShowModal();
  };
  int activations = 0;
  palette.OnActivate = [&](Form&) { ++activations; };
  driver.onModal = [&](Form& f) {
    EXPECT_EQ(ActiveModalForm(), &settings);
    EXPECT_EQ(ShownForms().size(), 2u);
    EXPECT_EQ(ShownForms().back(), &settings);
    act::Click(f, "btnOK");
  };
  act::Mouse(palette, "tbtnOff", act::MouseAction::Up, MouseButton::Right, {5, 5});
  EXPECT_EQ(ActiveModalForm(), nullptr);
  EXPECT_EQ(activations, 1);  // the palette became active again

  act::Click(palette, "tbtnGrid");
  EXPECT_TRUE(act::HasState(grid, "down"));
  EXPECT_TRUE(act::HasState(off, "up"));
  palette.Close();
  EXPECT_EQ(FindShownForm("TfrmQXSnap"), nullptr);
  EXPECT_THROW(act::Click(palette, "tbtnOff"), act::ActionError);
}

TEST_F(FormsTest, ButtonsThatStayDownWorkInGroups) {
  Form form("TfrmQXFix");
  auto& corner = form.Add<SpeedButton>("sbtnCorner");
  auto& cross = form.Add<SpeedButton>("sbtnCross");
  auto& next = form.Add<SpeedButton>("spdbtnNext");
  corner.groupIndex = cross.groupIndex = 1;
  int clicks = 0;
  next.OnClick = [&](Control&) { ++clicks; };
  form.Show();
  act::Click(form, "sbtnCorner");
  act::Click(form, "sbtnCross");
  EXPECT_FALSE(corner.Down());
  EXPECT_TRUE(cross.Down());
  act::Click(form, "sbtnCross");  // one of the group stays down
  EXPECT_TRUE(cross.Down());
  act::Click(form, "spdbtnNext");
  EXPECT_FALSE(next.Down());
  EXPECT_EQ(clicks, 1);

  // A group that is not exclusive: its buttons go down together and up by themselves.
  auto& first = form.Add<SpeedButton>("spdbtnFirst");
  auto& last = form.Add<SpeedButton>("spdbtnLast");
  for (SpeedButton* b : {&first, &last}) {
    b->groupIndex = 2;
    b->allowAllUp = true;
    b->exclusive = false;
  }
  first.SetDown(true);
  last.SetDown(true);
  EXPECT_TRUE(first.Down());
  EXPECT_TRUE(last.Down());
  EXPECT_TRUE(cross.Down());  // another group is not touched
  last.SetDown(false);
  EXPECT_TRUE(first.Down());
  EXPECT_FALSE(last.Down());
}

TEST_F(FormsTest, ChoicesFireTheirEventsOnlyWhenTheyChange) {
  Form form("TdlgQXText");
  auto& group = form.Add<RadioGroup>("rgrpCTHJus");
  group.items = {"&Left", "&Cente&r", "&Right"};
  group.SetItemIndex(0);
  auto& wrap = form.Add<CheckBox>("chkWordWrap");
  std::vector<std::string> events;
  group.OnClick = [&](Control&) { events.push_back("group " + group.SelectedText()); };
  wrap.OnClick = [&](Control&) { events.push_back(wrap.Checked() ? "wrap on" : "wrap off"); };
  form.Show();
  act::Select(form, "rgrpCTHJus", "Center");  // '&' ignored in item captions
  act::Select(form, "rgrpCTHJus", 1);
  act::Click(form, "Right");  // an item named by its caption
  act::Check(form, "chkWordWrap", true);
  act::Check(form, "chkWordWrap", true);
  act::Click(form, "chkWordWrap");
  EXPECT_EQ(events,
            (std::vector<std::string>{"group &Cente&r", "group &Right", "wrap on", "wrap off"}));
  EXPECT_EQ(act::DisplayText(group), "&Right");
  EXPECT_THROW(act::Check(form, "rgrpCTHJus", true), act::ActionError);
}

TEST_F(FormsTest, OnlyTheActivePageIsShownAndTabsSwitchIt) {
  Form form("TdlgQXText");
  auto& tabs = form.Add<TabSet>("TabSet");
  tabs.tabs = {"CAD Text", "True Type"};
  tabs.SetTabIndex(0);
  auto& book = form.Add<Notebook>("ntbkSettings");
  Page& cad = book.AddPage("CAD Text");
  Page& tt = book.AddPage("True Type");
  form.Add<Edit>("txtCTSize", &cad);
  form.Add<Edit>("txtTTLineWidth", &tt);
  bool refuse = false;
  tabs.OnTabChange = [&](Control&, int newTab, bool& allow) {
    allow = !refuse;
    if (allow) book.SetPageIndex(newTab);
  };
  form.Show();
  EXPECT_THROW(act::SetText(form, "txtTTLineWidth", {"6"}), act::ActionError);
  EXPECT_TRUE(act::SelectTab(form, "True Type"));
  EXPECT_TRUE(act::SetText(form, "txtTTLineWidth", {"6"}));
  EXPECT_TRUE(act::HasState(*form.Find<Control>("txtCTSize"), "hidden"));
  refuse = true;
  EXPECT_FALSE(act::SelectTab(form, "CAD Text"));
  EXPECT_EQ(act::DisplayText(tabs), "True Type");
  EXPECT_THROW(act::SelectTab(form, "Layers"), act::ActionError);
}

TEST_F(FormsTest, TimersFireAsTheClockAdvances) {
  Form form("TfrmQXSnap");
  Timer& timer = form.AddTimer("Timer1");
  timer.SetInterval(250);
  std::vector<std::int64_t> ticks;
  timer.OnTimer = [&](Timer&) { ticks.push_back(Clock()); };
  AdvanceClock(600);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{250, 500}));
  timer.SetEnabled(false);
  AdvanceClock(1000);
  EXPECT_EQ(ticks.size(), 2u);
  timer.SetEnabled(true);  // starts a full interval from now
  AdvanceClock(499);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{250, 500, 1850}));
  EXPECT_EQ(Clock(), 2099);
}

TEST_F(FormsTest, ClientSizeFollowsTheBorderStyle) {
  Form form("TdlgQXLayer");
  form.borderStyle = BorderStyle::Dialog;
  form.SetClientWidth(337);
  form.SetClientHeight(400);
  EXPECT_EQ(form.Width(), 337 + 2 * metrics::FixedFrame);
  EXPECT_EQ(form.Height(), 400 + 2 * metrics::FixedFrame + metrics::CaptionHeight);
  EXPECT_EQ(ClientRect(form.Handle()).Width(), 337);
  form.borderStyle = BorderStyle::None;
  EXPECT_EQ(form.ClientWidth(), form.Width());
}

}  // namespace
}  // namespace platform
