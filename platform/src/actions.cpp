// What a person does to a shown form, carried out through the controls' own behaviour. Each
// action holds a user action scope, so a form that a handler released stays alive until the
// action has finished touching it.
#include "platform/actions.h"

#include "platform/system.h"

namespace platform::actions {

namespace {

[[noreturn]] void Fail(const std::string& message) { throw ActionError(message); }

Control* FindControl(Form& form, const std::string& name) {
  if (auto* c = form.Find<Control>(name)) return c;
  return form.FindByCaption(name);
}

// The control, which must be shown and enabled on a shown form.
Control& Usable(Form& form, const std::string& name) {
  Control& c = Resolve(form, name);
  if (!form.Visible()) Fail("the form " + form.ClassName() + " is not shown");
  if (!c.VisibleOnForm()) Fail(c.Name() + " on " + form.ClassName() + " is hidden");
  if (!c.EnabledOnForm()) Fail(c.Name() + " on " + form.ClassName() + " is disabled");
  return c;
}

// Gives the control the focus as the user's click on it does; false when a check kept the
// focus elsewhere. Controls that never take the focus leave it where it is.
bool TakeFocus(Control& c) { return !c.Focusable() || c.SetFocus(); }

// The same for a mouse press. A message box shown while the focus moves (the exit check of the
// control that had it warned about its entry) takes the mouse: the press and its release go to
// the box, so the click that moved the focus is lost. False then too.
bool TakeFocusForPress(Control& c) {
  const std::size_t boxesBefore = GetHistory().messages.size();
  if (!TakeFocus(c)) return false;
  return GetHistory().messages.size() == boxesBefore;
}

// Focuses a field for typing: a field entered anew has its caret at the end of its text, unless
// entering it selected text.
bool EnterField(Control& c) {
  bool had = c.Focused();
  if (!c.SetFocus()) return false;
  if (auto* edit = dynamic_cast<Edit*>(&c); edit && !had && edit->SelLength() == 0)
    edit->SetSelStart(static_cast<int>(edit->Text().size()));
  return true;
}

bool Finish(Form& form, bool result) {
  form.SettleModalResult();
  return result;
}

// Controls whose click comes with the release of the left button over them.
bool ClicksOnRelease(const Control& c) {
  return !c.Focusable() || dynamic_cast<const Button*>(&c) || dynamic_cast<const CheckBox*>(&c) ||
         dynamic_cast<const RadioButton*>(&c);
}

// One key, as the system routes it: Tab and Enter and Escape go to the dialog's navigation and
// buttons unless the control takes them, everything else through the key filters.
void Key(Form& form, Control& control, char key) {
  auto* memo = dynamic_cast<Memo*>(&control);
  if (key == '\t' && !(memo && memo->wantTabs)) {
    if (Control* next = form.NextFocusable(&control)) form.FocusControl(next);
    return;
  }
  if (key == '\r' && !control.WantsReturn()) {
    if (auto* button = dynamic_cast<Button*>(&control)) {
      button->Click();
      return;
    }
    if (Button* button = form.DefaultButton()) {
      // The default button is clicked without taking the focus.
      button->Click();
      return;
    }
  }
  if (key == 27) {
    if (Button* button = form.CancelButton()) {
      button->Click();
      return;
    }
  }
  if (form.keyPreview && form.OnKeyPress) {
    form.OnKeyPress(form, key);
    if (key == 0) return;
  }
  control.KeyPress(key);
  if (key == 0) return;
  control.TypeChar(key);
}

int ItemIndexOf(const std::vector<std::string>& items, const std::string& text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameCaption(items[i], text)) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> ItemsOf(Control& c) {
  if (auto* rg = dynamic_cast<RadioGroup*>(&c)) return rg->items;
  if (auto* lb = dynamic_cast<ListBox*>(&c)) return lb->items.Strings();
  if (auto* cb = dynamic_cast<ComboBox*>(&c)) return cb->items.Strings();
  if (auto* ts = dynamic_cast<TabSet*>(&c)) return ts->tabs;
  if (auto* nb = dynamic_cast<Notebook*>(&c)) {
    std::vector<std::string> pages;
    for (int i = 0; i < nb->PageCount(); ++i) pages.push_back(nb->PageAt(i).Caption());
    return pages;
  }
  Fail(c.Name() + " is a " + c.TypeName() + ", which has no items to select");
}

// A page change the user makes by clicking a tab: the control may refuse it.
bool UserSelectPage(Notebook& notebook, int index) {
  if (index == notebook.PageIndex()) return true;
  bool allow = true;
  if (notebook.OnChanging) notebook.OnChanging(notebook, allow);
  if (!allow) return false;
  notebook.SetPageIndex(index);
  return true;
}

}  // namespace

Control& Resolve(Form& form, const std::string& nameOrCaption) {
  Control* c = FindControl(form, nameOrCaption);
  if (!c) Fail("there is no control \"" + nameOrCaption + "\" on " + form.ClassName());
  return *c;
}

bool SetText(Form& form, const std::string& control, const std::vector<std::string>& texts) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  std::string joined;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i) joined += "\r\n";
    joined += texts[i];
  }
  if (auto* edit = dynamic_cast<Edit*>(&c)) {
    if (edit->readOnly) Fail(c.Name() + " is read-only");
    if (!EnterField(c)) return Finish(form, false);
    if (edit->maxLength > 0 && static_cast<int>(joined.size()) > edit->maxLength)
      joined.resize(static_cast<std::size_t>(edit->maxLength));
    edit->SetText(joined);
    edit->SetSelStart(static_cast<int>(joined.size()));
    edit->modified = true;
    return Finish(form, true);
  }
  if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    if (combo->style == ComboBox::Style::DropDownList)
      Fail(c.Name() + " is a drop-down list: select one of its items");
    if (!EnterField(c)) return Finish(form, false);
    combo->SetEditText(joined);
    return Finish(form, true);
  }
  Fail(c.Name() + " is a " + c.TypeName() + ", which has no text to type into");
}

bool TypeText(Form& form, const std::string& control, const std::string& text) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  if (!c.Focusable()) Fail(c.Name() + " is a " + c.TypeName() + ", which takes no typing");
  if (!EnterField(c)) return Finish(form, false);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char key = text[i];
    if (key == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (key == '\n') key = '\r';
    Control* focused = form.ActiveControl();
    if (!focused || !form.Visible()) break;
    Key(form, *focused, key);
    if (form.Modal() && form.GetModalResult() != ModalResult::None) {
      // A key that gives the form its result (Enter, Escape) ends the typing when the form
      // agrees to close.
      form.SettleModalResult();
      if (form.ModalDone()) break;
    }
  }
  return Finish(form, true);
}

bool Focus(Form& form, const std::string& control) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  if (!c.Focusable()) Fail(c.Name() + " is a " + c.TypeName() + ", which takes no focus");
  return Finish(form, EnterField(c));
}

bool Check(Form& form, const std::string& control, bool on) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  if (auto* box = dynamic_cast<CheckBox*>(&c)) {
    if (box->Checked() == on) return Finish(form, true);
    if (!TakeFocusForPress(c)) return Finish(form, false);
    box->Click();
    return Finish(form, true);
  }
  if (auto* radio = dynamic_cast<RadioButton*>(&c)) {
    if (!on) Fail(c.Name() + " is a radio button: check another one of its group instead");
    if (!TakeFocusForPress(c)) return Finish(form, false);
    radio->Click();
    return Finish(form, true);
  }
  Fail(c.Name() + " is a " + c.TypeName() + ", which cannot be ticked");
}

bool Select(Form& form, const std::string& control, int index) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  int count = static_cast<int>(ItemsOf(c).size());
  if (index < 0 || index >= count)
    Fail(c.Name() + " has no item " + std::to_string(index) + " (it has " + std::to_string(count) +
         ")");
  if (auto* rg = dynamic_cast<RadioGroup*>(&c)) {
    if (!TakeFocus(c)) return Finish(form, false);
    rg->SetItemIndex(index);
    return Finish(form, true);
  }
  if (auto* lb = dynamic_cast<ListBox*>(&c)) {
    if (!TakeFocus(c)) return Finish(form, false);
    if (lb->multiSelect) lb->SetSelected(index, true);
    lb->SetItemIndex(index);
    lb->Click();
    return Finish(form, true);
  }
  if (auto* cb = dynamic_cast<ComboBox*>(&c)) {
    if (!TakeFocus(c)) return Finish(form, false);
    cb->SetItemIndex(index);
    cb->Click();
    cb->Change();
    return Finish(form, true);
  }
  if (auto* ts = dynamic_cast<TabSet*>(&c)) return Finish(form, ts->SetTabIndex(index));
  if (auto* nb = dynamic_cast<Notebook*>(&c)) return Finish(form, UserSelectPage(*nb, index));
  Fail(c.Name() + " cannot select items");
}

bool Select(Form& form, const std::string& control, const std::string& item) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  int index = ItemIndexOf(ItemsOf(c), item);
  if (index < 0) Fail(c.Name() + " has no item \"" + item + "\"");
  return Select(form, control, index);
}

bool Deselect(Form& form, const std::string& control, const std::string& item) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  auto* lb = dynamic_cast<ListBox*>(&c);
  if (!lb || !lb->multiSelect) Fail(c.Name() + " is not a multi-select list");
  int index = ItemIndexOf(lb->items.Strings(), item);
  if (index < 0) Fail(c.Name() + " has no item \"" + item + "\"");
  if (!TakeFocus(c)) return Finish(form, false);
  lb->SetSelected(index, false);
  lb->Click();
  return Finish(form, true);
}

bool SetCell(Form& form, const std::string& control, int col, int row, const std::string& text) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  auto* grid = dynamic_cast<StringGrid*>(&c);
  if (!grid) Fail(c.Name() + " is not a grid");
  if (!grid->editing) Fail(c.Name() + " does not let the user type into its cells");
  if (col < grid->fixedCols || row < grid->fixedRows || col >= grid->ColCount() ||
      row >= grid->RowCount())
    Fail(c.Name() + " has no editable cell " + std::to_string(col) + "," + std::to_string(row));
  if (!TakeFocus(c)) return Finish(form, false);
  if (!grid->SelectCell(col, row)) return Finish(form, false);
  grid->SetCell(col, row, text);
  if (grid->OnSetEditText) grid->OnSetEditText(*grid, col, row, text);
  grid->PaintCell(col, row);
  return Finish(form, true);
}

bool SelectTab(Form& form, const std::string& caption) {
  UserActionScope scope;
  if (!form.Visible()) Fail("the form " + form.ClassName() + " is not shown");
  std::vector<Control*> controls = form.Controls();
  for (Control* c : controls) {
    if (!c->Showing() || !c->EnabledOnForm()) continue;
    if (auto* ts = dynamic_cast<TabSet*>(c)) {
      int index = ItemIndexOf(ts->tabs, caption);
      if (index >= 0) return Finish(form, ts->SetTabIndex(index));
    }
    if (auto* nb = dynamic_cast<Notebook*>(c); nb && nb->showTabs) {
      int index = ItemIndexOf(ItemsOf(*nb), caption);
      if (index >= 0) return Finish(form, UserSelectPage(*nb, index));
    }
  }
  for (Control* c : controls) {
    if (auto* nb = dynamic_cast<Notebook*>(c); nb && c->Showing()) {
      int index = ItemIndexOf(ItemsOf(*nb), caption);
      if (index >= 0) return Finish(form, UserSelectPage(*nb, index));
    }
  }
  Fail("there is no tab \"" + caption + "\" on " + form.ClassName());
}

bool Click(Form& form, const std::string& control) {
  UserActionScope scope;
  if (!FindControl(form, control)) {
    // An item of a radio group may be named by its caption.
    for (Control* c : form.Controls()) {
      auto* rg = dynamic_cast<RadioGroup*>(c);
      if (rg && rg->Showing() && ItemIndexOf(rg->items, control) >= 0)
        return Select(form, rg->Name(), ItemIndexOf(rg->items, control));
    }
  }
  Control& c = Usable(form, control);
  Point centre = c.ClientRect().Centre();
  if (!TakeFocusForPress(c)) return Finish(form, false);
  c.MouseDown(MouseButton::Left, {}, centre.x, centre.y);
  c.Click();
  c.MouseUp(MouseButton::Left, {}, centre.x, centre.y);
  return Finish(form, true);
}

bool Mouse(Form& form, const std::string& control, MouseAction action, MouseButton button, Point at,
           ShiftState shift) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  switch (action) {
    case MouseAction::Down:
      if (!TakeFocusForPress(c)) return Finish(form, false);
      if (button == MouseButton::Left) form.pressedControl = &c;
      c.MouseDown(button, shift, at.x, at.y);
      break;
    case MouseAction::Up: {
      bool click = button == MouseButton::Left && form.pressedControl == &c &&
                   c.ClientRect().Contains(at) && ClicksOnRelease(c);
      if (button == MouseButton::Left) form.pressedControl = nullptr;
      if (click) c.Click();
      c.MouseUp(button, shift, at.x, at.y);
      break;
    }
    case MouseAction::Move:
      c.MouseMove(shift, at.x, at.y);
      break;
  }
  return Finish(form, true);
}

bool MouseCell(Form& form, const std::string& control, MouseAction action, MouseButton button,
               int col, int row, ShiftState shift) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  auto* grid = dynamic_cast<StringGrid*>(&c);
  if (!grid) Fail(c.Name() + " is not a grid");
  if (col < 0 || row < 0 || col >= grid->ColCount() || row >= grid->RowCount())
    Fail(c.Name() + " has no cell " + std::to_string(col) + "," + std::to_string(row));
  return Mouse(form, control, action, button, grid->CellRect(col, row).Centre(), shift);
}

bool DoubleClick(Form& form, const std::string& control, std::optional<Point> at) {
  UserActionScope scope;
  Control& c = Usable(form, control);
  Point p = c.ClientRect().Centre();
  if (at) {
    p = *at;
  } else if (auto* lb = dynamic_cast<ListBox*>(&c); lb && lb->ItemIndex() >= 0) {
    p = {lb->Width() / 2, lb->ItemIndex() * lb->ItemHeight() + lb->ItemHeight() / 2};
  }
  if (!Mouse(form, control, MouseAction::Down, MouseButton::Left, p)) return false;
  Mouse(form, control, MouseAction::Up, MouseButton::Left, p);
  if (!form.Visible() || form.ModalDone()) return true;
  c.DblClick();
  return Finish(form, true);
}

bool CloseBox(Form& form) {
  UserActionScope scope;
  if (!form.Visible()) Fail("the form " + form.ClassName() + " is not shown");
  form.Close();
  form.SettleModalResult();
  return !form.Visible() || form.ModalDone();
}

std::string DisplayText(const Control& control) {
  if (auto* rg = dynamic_cast<const RadioGroup*>(&control)) return rg->SelectedText();
  if (auto* lb = dynamic_cast<const ListBox*>(&control)) return lb->SelectedText();
  if (auto* ts = dynamic_cast<const TabSet*>(&control)) return ts->SelectedText();
  if (auto* nb = dynamic_cast<const Notebook*>(&control)) return nb->ActivePageCaption();
  return control.Text();
}

bool HasState(const Control& control, const std::string& state) {
  if (state == "enabled") return control.EnabledOnForm();
  if (state == "disabled") return !control.EnabledOnForm();
  if (state == "visible") return control.VisibleOnForm();
  if (state == "hidden") return !control.VisibleOnForm();
  if (state == "checked" || state == "unchecked") {
    bool checked;
    if (auto* box = dynamic_cast<const CheckBox*>(&control))
      checked = box->Checked();
    else if (auto* radio = dynamic_cast<const RadioButton*>(&control))
      checked = radio->Checked();
    else
      Fail(control.Name() + " is a " + control.TypeName() + ", which is never checked");
    return (state == "checked") == checked;
  }
  if (state == "down" || state == "up") {
    bool down;
    if (auto* speed = dynamic_cast<const SpeedButton*>(&control))
      down = speed->Down();
    else if (auto* tool = dynamic_cast<const ToolButton*>(&control))
      down = tool->Down();
    else
      Fail(control.Name() + " is a " + control.TypeName() + ", which does not stay down");
    return (state == "down") == down;
  }
  Fail("unknown state \"" + state + "\"");
}

}  // namespace platform::actions
