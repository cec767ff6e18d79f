// The user's mouse and keyboard on pictures, lists, combo boxes, spin edits and grids.
#include "platform/actions.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform_test_support.h"

namespace platform {
namespace {

using testing::PlatformTest;
namespace act = platform::actions;

class InputTest : public PlatformTest {};

TEST_F(InputTest, APictureClickNeedsPressAndReleaseOnIt) {
  Form form("TfrmQXMacro");
  auto& image = form.Add<Image>("imgMacro");
  image.SetBounds(0, 60, 300, 240);
  std::vector<std::string> events;
  image.OnMouseDown = [&](Control&, MouseButton b, ShiftState, int x, int y) {
    events.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                     std::to_string(y));
  };
  image.OnMouseUp = [&](Control&, MouseButton, ShiftState, int x, int y) {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  image.OnClick = [&](Control&) { events.push_back("click"); };
  form.Show();
  using A = act::MouseAction;
  act::Mouse(form, "imgMacro", A::Down, MouseButton::Left, {65, 10});
  act::Mouse(form, "imgMacro", A::Up, MouseButton::Left, {65, 10});
  act::Mouse(form, "imgMacro", A::Down, MouseButton::Left, {65, 10});
  act::Mouse(form, "imgMacro", A::Up, MouseButton::Left, {400, 10});  // released outside
  act::Mouse(form, "imgMacro", A::Down, MouseButton::Right, {1, 2});
  act::Mouse(form, "imgMacro", A::Up, MouseButton::Right, {1, 2});
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 65,10", "click", "up 65,10", "down 0 65,10",
                                              "up 400,10", "down 1 1,2", "up 1,2"}));
}

TEST_F(InputTest, ADoubleClickOnAListItemSelectsItFirst) {
  Form form("TdlgQXReference");
  auto& list = form.Add<ListBox>("lbxNames");
  list.items.sorted = true;
  list.items.Add("SECTION");
  list.items.Add("DETAIL");
  std::vector<std::string> events;
  list.OnClick = [&](Control&) { events.push_back("click " + list.SelectedText()); };
  list.OnDblClick = [&](Control&) {
    events.push_back("dblclick " + list.SelectedText());
    form.SetModalResult(ModalResult::OK);
  };
  driver.onModal = [&](Form& f) {
    act::DoubleClick(f, "lbxNames", Point{5, list.ItemHeight() + 2});
  };
  EXPECT_EQ(form.ShowModal(), ModalResult::OK);
  EXPECT_EQ(events, (std::vector<std::string>{"click SECTION", "dblclick SECTION"}));
}

TEST_F(InputTest, TabMovesTheFocusThroughTheExitCheck) {
  Form form("TdlgQXScale");
  auto& a = form.Add<Edit>("txtA");
  form.Add<Label>("lblB");
  auto& b = form.Add<Edit>("txtB");
  auto& hidden = form.Add<Edit>("txtHidden");
  hidden.SetVisible(false);
  int exits = 0;
  a.OnExit = [&](Control&) { ++exits; };
  b.SetText("old");
  form.Show();
  act::TypeText(form, "txtA", "1\tnew");
  EXPECT_EQ(a.Text(), "1");
  EXPECT_EQ(b.Text(), "new");  // entering txtB selected its text, so typing replaced it
  EXPECT_EQ(exits, 1);
  act::TypeText(form, "txtB", "\t");
  EXPECT_EQ(form.ActiveControl(), &a);  // past the hidden field, round to the first
}

TEST_F(InputTest, AClickThatMovedTheFocusIsLostWhenTheExitCheckShowedABox) {
  Form form("TdlgQXText");
  auto& field = form.Add<Edit>("txtWidth");
  auto& ok = form.Add<Button>("btnOK");
  auto& wrap = form.Add<CheckBox>("chkWrap");
  auto& image = form.Add<Image>("imgPreview");
  image.SetBounds(0, 60, 100, 100);
  int clicks = 0;
  ok.OnClick = [&](Control&) { ++clicks; };
  // The exit check warns about a bad entry and puts the stored value back; it keeps no focus.
  field.OnExit = [&](Control&) {
    if (field.Text() == "9") {
      MessageBox("out of range", "Warning", MsgIcon::Warning);
      field.SetText("1");
    }
  };
  form.Show();

  act::SetText(form, "txtWidth", {"9"});
  EXPECT_FALSE(act::Click(form, "btnOK"));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(form.ActiveControl(), &ok);  // the focus moved, only the click was lost
  EXPECT_EQ(field.Text(), "1");
  EXPECT_EQ(driver.messages.size(), 1u);
  // The next click, with nothing to warn about, goes through.
  EXPECT_TRUE(act::Click(form, "btnOK"));
  EXPECT_EQ(clicks, 1);
  act::SetText(form, "txtWidth", {"2"});
  EXPECT_TRUE(act::Click(form, "btnOK"));
  EXPECT_EQ(clicks, 2);

  // A check box ticked and a press on a picture are lost the same way.
  act::SetText(form, "txtWidth", {"9"});
  EXPECT_FALSE(act::Check(form, "chkWrap", true));
  EXPECT_FALSE(wrap.Checked());
  act::SetText(form, "txtWidth", {"9"});
  EXPECT_FALSE(act::Mouse(form, "btnOK", act::MouseAction::Down, MouseButton::Left, {5, 5}));
  act::Mouse(form, "btnOK", act::MouseAction::Up, MouseButton::Left, {5, 5});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(driver.messages.size(), 3u);

  // A picture takes no focus: pressing it leaves the field, unchecked, where it is.
  act::SetText(form, "txtWidth", {"9"});
  int pictureClicks = 0;
  image.OnClick = [&](Control&) { ++pictureClicks; };
  EXPECT_TRUE(act::Click(form, "imgPreview"));
  EXPECT_EQ(pictureClicks, 1);
  EXPECT_EQ(form.ActiveControl(), &field);
  EXPECT_EQ(driver.messages.size(), 3u);
}

TEST_F(InputTest, ComboBoxesAndSpinEdits) {
  Form form("TdlgQXDimension");
  auto& layers = form.Add<ComboBox>("cbxDimLayer");
  layers.items.Assign({"0 - Default Layer", "1 - WALLS", "2 - DOORS"});
  layers.maxLength = 3;
  auto& columns = form.Add<SpinEdit>("sedtColumns");
  columns.minValue = 1;
  columns.maxValue = 21;
  columns.SetValue(5);
  int changes = 0;
  layers.OnChange = [&](Control&) { ++changes; };
  form.Show();

  act::Select(form, "cbxDimLayer", "1 - WALLS");
  EXPECT_EQ(layers.ItemIndex(), 1);
  EXPECT_EQ(layers.Text(), "1 - WALLS");
  act::SetText(form, "cbxDimLayer", {"2 - DOORS"});  // typed text selects no item
  EXPECT_EQ(layers.ItemIndex(), -1);
  EXPECT_EQ(layers.Text(), "2 -");
  EXPECT_EQ(changes, 2);
  layers.SetText("2 - doors");
  EXPECT_EQ(layers.ItemIndex(), 2);

  act::TypeText(form, "sedtColumns", "3x0");
  EXPECT_EQ(columns.Text(), "30");
  EXPECT_EQ(driver.beeps.size(), 1u);
  act::Focus(form, "cbxDimLayer");  // leaving writes the value back within range
  EXPECT_EQ(columns.Text(), "21");
  act::SetText(form, "sedtColumns", {"abc"});
  EXPECT_EQ(columns.Value(), 1);
}

TEST_F(InputTest, TypingIntoAnEditableListReplacesTheSelectedItemsText) {
  Form form("TdlgQXDimension");
  auto& layers = form.Add<ComboBox>("cbxDimLayer");
  layers.items.Assign({"0 - Default Layer", "1 - WALLS", "2 - DOORS"});
  form.Add<Edit>("txtOther");
  std::vector<std::string> seen;
  layers.OnExit = [&](Control&) { seen.push_back(layers.Text()); };
  layers.SetItemIndex(0);
  form.Show();

  // Entering the box selects its whole text, so typing replaces the item's text.
  EXPECT_TRUE(act::TypeText(form, "cbxDimLayer", "300"));
  EXPECT_EQ(layers.Text(), "300");
  EXPECT_EQ(layers.ItemIndex(), -1);
  act::Focus(form, "txtOther");

  // The maximum length counts the text as it will be, not the item's text being replaced.
  layers.maxLength = 5;
  layers.SetItemIndex(1);
  EXPECT_TRUE(act::TypeText(form, "cbxDimLayer", "12abc"));
  EXPECT_EQ(layers.Text(), "12abc");
  act::Focus(form, "txtOther");
  EXPECT_EQ(seen, (std::vector<std::string>{"300", "12abc"}));
  EXPECT_TRUE(driver.beeps.empty());

  // Past the maximum a key beeps and is dropped; Backspace deletes before the caret.
  act::TypeText(form, "cbxDimLayer", "123456\bX");
  EXPECT_EQ(layers.Text(), "1234X");
  EXPECT_EQ(driver.beeps, (std::vector<BeepKind>{BeepKind::Default}));

  // An item chosen in the focused box shows selected: typing replaces it too.
  act::Select(form, "cbxDimLayer", "2 - DOORS");
  act::TypeText(form, "cbxDimLayer", "7");
  EXPECT_EQ(layers.Text(), "7");
  act::Focus(form, "txtOther");
  EXPECT_EQ(seen.back(), "7");
}

TEST_F(InputTest, GridCellsAreTypedIntoOnlyWhereAllowed) {
  Form form("TfrmQXSetup");
  auto& grid = form.Add<StringGrid>("sgrdPlanTypes");
  grid.SetColCount(4);
  grid.SetRowCount(49);
  grid.editing = true;
  grid.OnSelectCell = [&](Control&, int col, int, bool& canSelect) { canSelect = col != 3; };
  std::vector<std::string> edits;
  grid.OnSetEditText = [&](Control&, int col, int row, const std::string& text) {
    edits.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + text);
  };
  form.Show();
  EXPECT_TRUE(act::SetCell(form, "sgrdPlanTypes", 1, 2, "&Floor Plan"));
  EXPECT_FALSE(act::SetCell(form, "sgrdPlanTypes", 3, 2, "Yes"));
  EXPECT_THROW(act::SetCell(form, "sgrdPlanTypes", 0, 2, "x"), act::ActionError);  // fixed
  EXPECT_EQ(grid.Cell(1, 2), "&Floor Plan");
  EXPECT_EQ(grid.Cell(3, 2), "");
  EXPECT_EQ(edits, (std::vector<std::string>{"1,2=&Floor Plan"}));
  EXPECT_EQ(grid.Row(), 2);
  grid.editing = false;
  EXPECT_THROW(act::SetCell(form, "sgrdPlanTypes", 1, 3, "x"), act::ActionError);
}

TEST_F(InputTest, APageControlMayRefuseATabClick) {
  Form form("TdlgQXScale");
  auto& pages = form.Add<PageControl>("tbkScales");
  pages.AddPage("&Architectural");
  pages.AddPage("&Engineering");
  bool allow = false;
  pages.OnChanging = [&](Control&, bool& ok) { ok = allow; };
  int changed = 0;
  pages.OnChange = [&](Control&) { ++changed; };
  form.Show();
  EXPECT_FALSE(act::SelectTab(form, "Engineering"));
  allow = true;
  EXPECT_TRUE(act::SelectTab(form, "Engineering"));
  EXPECT_EQ(act::DisplayText(pages), "&Engineering");
  EXPECT_EQ(changed, 1);
}

}  // namespace
}  // namespace platform
