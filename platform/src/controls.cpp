// The controls of the forms toolkit: their properties, events and the user's input.
#include <algorithm>
#include <cctype>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/system.h"
#include "state.h"

namespace platform {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

int CompareText(const std::string& a, const std::string& b) {
  std::string la = Lower(a), lb = Lower(b);
  return la < lb ? -1 : (la == lb ? 0 : 1);
}

}  // namespace

// ---- Component and Control ----

Component::Component(Form& form, std::string name) : form_(form), name_(std::move(name)) {}
Component::~Component() = default;

Control::Control(Form& form, std::string name, Control* parent)
    : Component(form, std::move(name)), parent_(parent) {
  font = form.font;
}

void Control::SetText(const std::string& text) { text_ = text; }

void Control::SetVisible(bool visible) { visible_ = visible; }

bool Control::VisibleOnForm() const {
  if (!visible_) return false;
  if (!parent_) return true;
  return parent_->ChildShown(*this) && parent_->VisibleOnForm();
}

bool Control::EnabledOnForm() const { return enabled_ && (!parent_ || parent_->EnabledOnForm()); }

bool Control::Showing() const { return OwnerForm().Visible() && VisibleOnForm(); }

void Control::SetBounds(int left, int top, int width, int height) {
  bounds_ = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
}

bool Control::CanFocus() const { return Focusable() && Showing() && EnabledOnForm(); }

bool Control::Focused() const { return OwnerForm().ActiveControl() == this; }

bool Control::SetFocus() { return OwnerForm().SetActiveControl(this); }

bool Control::ChildShown(const Control&) const { return true; }

void Control::Click() {
  if (OnClick) OnClick(*this);
}
void Control::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}
void Control::DoEnter() {
  if (OnEnter) OnEnter(*this);
}
void Control::DoExit() {
  if (OnExit) OnExit(*this);
}
void Control::Change() {
  if (OnChange) OnChange(*this);
}
void Control::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(*this, key);
}
void Control::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}
void Control::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}
void Control::MouseMove(ShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}
void Control::TypeChar(char) {}

// ---- Label ----

Label::Label(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  SetBounds(0, 0, 0, metrics::TextHeight(font));
}

void Label::SetText(const std::string& text) {
  Control::SetText(text);
  if (autoSize && !wordWrap) SetWidth(metrics::TextWidth(font, StripCaption(text)));
}

// ---- Edit ----

Edit::Edit(Form& form, std::string name, Control* parent) : Control(form, std::move(name), parent) {
  tabStop = true;
  color = colors::Window;
  SetBounds(0, 0, 121, 21);
}

void Edit::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  selStart_ = 0;
  selLength_ = 0;
  Change();
}

void Edit::SetSelStart(int start) {
  selStart_ = std::clamp(start, 0, static_cast<int>(text_.size()));
  selLength_ = 0;
}

void Edit::SetSelLength(int length) {
  selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
}

void Edit::SelectAll() {
  selStart_ = 0;
  selLength_ = static_cast<int>(text_.size());
}

std::string Edit::SelText() const { return text_.substr(selStart_, selLength_); }

void Edit::DoEnter() {
  if (autoSelect) SelectAll();
  Control::DoEnter();
}

void Edit::ReplaceSelection(const std::string& insert, bool backspace) {
  int start = std::clamp(selStart_, 0, static_cast<int>(text_.size()));
  int length = std::clamp(selLength_, 0, static_cast<int>(text_.size()) - start);
  if (backspace && length == 0) {
    if (start == 0) return;
    length = 1;
    --start;
    if (start > 0 && text_[start] == '\n' && text_[start - 1] == '\r') {
      --start;
      ++length;
    }
  }
  text_ = text_.substr(0, start) + insert + text_.substr(start + length);
  selStart_ = start + static_cast<int>(insert.size());
  selLength_ = 0;
  modified = true;
  Change();
}

void Edit::TypeChar(char key) {
  std::string insert;
  bool backspace = false;
  if (key == '\b') {
    backspace = true;
  } else if (key == '\r' && !LineBreak().empty()) {
    insert = LineBreak();
  } else if (key == '\t' && dynamic_cast<Memo*>(this) && static_cast<Memo*>(this)->wantTabs) {
    insert = "\t";
  } else if (static_cast<unsigned char>(key) < 32) {
    return;
  } else {
    insert = std::string(1, key);
  }
  if (readOnly) {
    Beep(BeepKind::Default);
    return;
  }
  if (!backspace && maxLength > 0 &&
      static_cast<int>(text_.size()) - selLength_ + static_cast<int>(insert.size()) > maxLength) {
    Beep(BeepKind::Default);
    return;
  }
  ReplaceSelection(insert, backspace);
}

// ---- Memo ----

Memo::Memo(Form& form, std::string name, Control* parent) : Edit(form, std::move(name), parent) {
  autoSelect = false;
  SetBounds(0, 0, 185, 89);
}

void Memo::DoEnter() { Control::DoEnter(); }

std::vector<std::string> Memo::Paragraphs() const {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    char c = text_[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int Memo::TextAreaWidth() const {
  bool vertical = scrollBars == ScrollBars::Vertical || scrollBars == ScrollBars::Both;
  int width = Width() - 2 * metrics::EditBorder - 2 * metrics::EditMargin -
              (vertical ? metrics::VerticalScrollBarWidth : 0);
  return std::max(width, 1);
}

std::vector<std::string> Memo::Lines() const {
  std::vector<std::string> paragraphs = Paragraphs();
  if (!wordWrap) return paragraphs;
  const int width = TextAreaWidth();
  std::vector<std::string> lines;
  for (const std::string& p : paragraphs) {
    if (p.empty()) {
      lines.push_back("");
      continue;
    }
    std::size_t pos = 0;
    while (pos < p.size()) {
      int used = 0;
      std::size_t i = pos;
      std::size_t lastBreak = std::string::npos;  // just after a run of blanks
      while (i < p.size()) {
        int w = metrics::CharWidth(font, p[i]);
        if (p[i] == ' ') {
          // Blanks never push a line over: they hang at its end.
          used += w;
          ++i;
          lastBreak = i;
          continue;
        }
        if (used + w > width) break;
        used += w;
        ++i;
      }
      std::size_t end;
      if (i >= p.size()) {
        end = p.size();
      } else if (lastBreak != std::string::npos && lastBreak > pos) {
        end = lastBreak;
      } else {
        end = std::max(i, pos + 1);  // a word longer than the line is broken
      }
      lines.push_back(p.substr(pos, end - pos));
      pos = end;
    }
  }
  return lines;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

// ---- Buttons ----

Button::Button(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
}

void Button::Click() {
  if (modalResult != ModalResult::None) OwnerForm().SetModalResult(modalResult);
  if (kind == Kind::Help) HelpContext(helpContext != 0 ? helpContext : OwnerForm().helpContext);
  Control::Click();
}

void Button::TypeChar(char key) {
  if (key == ' ') Click();
}

CheckBox::CheckBox(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Control::Click();
}

void CheckBox::Click() { SetChecked(!checked_); }

void CheckBox::TypeChar(char key) {
  if (key == ' ') Click();
}

RadioButton::RadioButton(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (!checked) return;
  for (Control* sibling : OwnerForm().ChildrenOf(Parent())) {
    auto* radio = dynamic_cast<RadioButton*>(sibling);
    if (radio && radio != this) radio->checked_ = false;
  }
  Control::Click();
}

void RadioButton::Click() { SetChecked(true); }

RadioGroup::RadioGroup(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
}

int RadioGroup::ItemIndex() const {
  return itemIndex_ >= 0 && itemIndex_ < static_cast<int>(items.size()) ? itemIndex_ : -1;
}

void RadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items.size())) index = -1;
  if (index == ItemIndex()) return;
  itemIndex_ = index;
  Control::Click();
}

std::string RadioGroup::SelectedText() const {
  int i = ItemIndex();
  return i < 0 ? std::string() : items[i];
}

// ---- StringList ----

void StringList::Set(int index, const std::string& text) {
  if (!sorted) {
    items_.at(index).text = text;
    return;
  }
  Item item = std::move(items_.at(index));
  Delete(index);
  int at = Add(text, std::move(item.object));
  items_[at].selected = item.selected;
  items_[at].focused = item.focused;
}

int StringList::Add(const std::string& text, std::unique_ptr<ItemData> object) {
  std::size_t at = items_.size();
  if (sorted) {
    auto it = std::upper_bound(
        items_.begin(), items_.end(), text,
        [](const std::string& t, const Item& item) { return CompareText(t, item.text) < 0; });
    at = static_cast<std::size_t>(it - items_.begin());
  }
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), Item{text, std::move(object)});
  return static_cast<int>(at);
}

void StringList::Insert(int index, const std::string& text, std::unique_ptr<ItemData> object) {
  if (sorted || index < 0 || index > Count()) {
    Add(text, std::move(object));
    return;
  }
  items_.insert(items_.begin() + index, Item{text, std::move(object)});
}

void StringList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void StringList::Clear() { items_.clear(); }

int StringList::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareText(items_[i].text, text) == 0) return i;
  return -1;
}

std::vector<std::string> StringList::Strings() const {
  std::vector<std::string> result;
  for (const Item& item : items_) result.push_back(item.text);
  return result;
}

void StringList::Assign(const std::vector<std::string>& strings) {
  Clear();
  for (const std::string& s : strings) Add(s);
}

void StringList::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  Item item = std::move(items_[from]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
}

// ---- ListBox ----

ListBox::ListBox(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
  color = colors::Window;
  SetBounds(0, 0, 121, 97);
}

int ListBox::ItemIndex() const {
  for (int i = 0; i < items.Count(); ++i)
    if (items.items_[i].focused) return i;
  return -1;
}

void ListBox::SetItemIndex(int index) {
  if (index < 0 || index >= items.Count()) index = -1;
  for (int i = 0; i < items.Count(); ++i) items.items_[i].focused = i == index;
}

bool ListBox::Selected(int index) const {
  if (index < 0 || index >= items.Count()) return false;
  if (!multiSelect) return index == ItemIndex();
  return items.items_[index].selected;
}

void ListBox::SetSelected(int index, bool selected) {
  if (index < 0 || index >= items.Count()) return;
  if (!multiSelect) {
    if (selected)
      SetItemIndex(index);
    else if (ItemIndex() == index)
      SetItemIndex(-1);
    return;
  }
  items.items_[index].selected = selected;
}

int ListBox::SelCount() const {
  if (!multiSelect) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(
      std::count_if(items.items_.begin(), items.items_.end(),
                    [](const StringList::Item& item) { return item.selected; }));
}

std::string ListBox::SelectedText() const {
  int i = ItemIndex();
  return i < 0 ? std::string() : items[i];
}

void ListBox::DeleteItem(int index) { items.Delete(index); }

void ListBox::ClearItems() { items.Clear(); }

int ListBox::ItemHeight() const { return metrics::TextHeight(font) + 2; }

int ListBox::ItemAtPos(Point p) const {
  if (p.y < 0 || p.x < 0 || p.x >= Width()) return -1;
  int index = p.y / ItemHeight();
  return index < items.Count() ? index : -1;
}

void ListBox::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  int index = ItemAtPos({x, y});
  if (button == MouseButton::Left && index >= 0) {
    if (multiSelect) {
      if (shift.ctrl) {
        SetSelected(index, !Selected(index));
      } else {
        for (int i = 0; i < items.Count(); ++i) SetSelected(i, i == index);
      }
    }
    SetItemIndex(index);
    Control::Click();
  }
  Control::MouseDown(button, shift, x, y);
}

// ---- ComboBox ----

ComboBox::ComboBox(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
  color = colors::Window;
  SetBounds(0, 0, 145, 21);
}

int ComboBox::ItemIndex() const { return itemIndex_ < items.Count() ? itemIndex_ : -1; }

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= items.Count()) index = -1;
  itemIndex_ = index;
  text_ = index < 0 ? std::string() : items[index];
  // The box shows the chosen item's text selected while it has the focus.
  if (Focused())
    SelectAll();
  else
    selStart_ = selLength_ = 0;
}

void ComboBox::SetText(const std::string& text) {
  int index = items.IndexOf(text);
  if (style == Style::DropDownList) {
    SetItemIndex(index);
    return;
  }
  text_ = text;
  itemIndex_ = index;
  selStart_ = selLength_ = 0;
}

void ComboBox::SetEditText(const std::string& text) {
  if (style == Style::DropDownList) {
    SetText(text);
    return;
  }
  text_ =
      maxLength > 0 && static_cast<int>(text.size()) > maxLength ? text.substr(0, maxLength) : text;
  itemIndex_ = -1;
  selStart_ = static_cast<int>(text_.size());
  selLength_ = 0;
  Change();
}

void ComboBox::SetSelStart(int start) {
  selStart_ = std::clamp(start, 0, static_cast<int>(text_.size()));
  selLength_ = 0;
}

void ComboBox::SetSelLength(int length) {
  selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
}

void ComboBox::SelectAll() {
  selStart_ = 0;
  selLength_ = static_cast<int>(text_.size());
}

std::string ComboBox::SelText() const {
  int start = std::clamp(selStart_, 0, static_cast<int>(text_.size()));
  return text_.substr(start, std::clamp(selLength_, 0, static_cast<int>(text_.size()) - start));
}

void ComboBox::DoEnter() {
  if (style == Style::DropDown) SelectAll();
  Control::DoEnter();
}

void ComboBox::TypeChar(char key) {
  if (style == Style::DropDownList) {
    // Typing in a drop-down list jumps to the next item starting with the letter.
    if (static_cast<unsigned char>(key) < 32) return;
    int count = items.Count();
    for (int step = 1; step <= count; ++step) {
      int i = (ItemIndex() + step) % count;
      if (!items[i].empty() && std::tolower(static_cast<unsigned char>(items[i][0])) ==
                                   std::tolower(static_cast<unsigned char>(key))) {
        SetItemIndex(i);
        Control::Click();
        Change();
        return;
      }
    }
    return;
  }
  // The edit part: the key replaces the selection, as in an edit box.
  int size = static_cast<int>(text_.size());
  int start = std::clamp(selStart_, 0, size);
  int length = std::clamp(selLength_, 0, size - start);
  std::string insert;
  if (key == '\b') {
    if (length == 0) {
      if (start == 0) return;
      --start;
      length = 1;
    }
  } else if (static_cast<unsigned char>(key) < 32) {
    return;
  } else {
    insert = std::string(1, key);
    // The maximum length counts the text as it will be once the key has replaced the selection.
    if (maxLength > 0 && size - length + 1 > maxLength) {
      Beep(BeepKind::Default);
      return;
    }
  }
  text_ = text_.substr(0, start) + insert + text_.substr(start + length);
  selStart_ = start + static_cast<int>(insert.size());
  selLength_ = 0;
  itemIndex_ = -1;  // typed text selects no item
  Change();
}

// ---- SpinEdit ----

SpinEdit::SpinEdit(Form& form, std::string name, Control* parent)
    : Edit(form, std::move(name), parent) {
  text_ = "0";
}

int SpinEdit::Value() const {
  long value = 0;
  std::size_t used = 0;
  try {
    value = std::stol(text_, &used);
  } catch (...) {
    return minValue;
  }
  if (used != text_.size()) return minValue;
  if (maxValue != minValue) value = std::clamp<long>(value, minValue, maxValue);
  return static_cast<int>(value);
}

void SpinEdit::SetValue(int value) {
  if (maxValue != minValue) value = std::clamp(value, minValue, maxValue);
  SetText(std::to_string(value));
}

void SpinEdit::KeyPress(char& key) {
  bool allowed = key == '+' || key == '-' || (key >= '0' && key <= '9') ||
                 static_cast<unsigned char>(key) < 32;
  if (!allowed) {
    key = 0;
    Beep(BeepKind::Default);
    return;
  }
  Edit::KeyPress(key);
}

void SpinEdit::DoExit() {
  std::string checked = std::to_string(Value());
  if (checked != text_) SetText(checked);
  Edit::DoExit();
}

}  // namespace platform
