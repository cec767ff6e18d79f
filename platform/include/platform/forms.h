// A headless forms toolkit. A Form owns named controls and components; events are
// std::function members that dialog code fills in; what a person does to a shown form arrives
// through platform/actions.h. Behaviour the commands depend on is modelled: focus moves run the
// old control's exit handler first (which may keep the focus), typed characters pass the
// key-press handler, a memo wraps its text at its pixel width, grids paint cells onto a
// recording canvas, buttons set the form's modal result, and closing asks the close query.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/window_handle.h"

namespace platform {

class Form;
class Control;

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
  bool doubleClick = false;
  // True when Shift is held and no other modifier.
  bool OnlyShift() const { return shift && !ctrl && !alt; }
};

// Modal results as the system numbers them; forms may use any other number of their own.
struct ModalResult {
  static constexpr int None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6,
                       No = 7, All = 8;
};

using NotifyEvent = std::function<void(Control& sender)>;
using KeyPressEvent = std::function<void(Control& sender, char& key)>;
using MouseEvent =
    std::function<void(Control& sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Control& sender, ShiftState shift, int x, int y)>;

// Something a form owns and names: a control, or a timer.
class Component {
 public:
  Component(Form& form, std::string name);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  Form& OwnerForm() const { return form_; }
  // The kind of component ("Edit", "Memo", ...), for messages.
  virtual const char* TypeName() const = 0;

  int tag = 0;

 private:
  Form& form_;
  std::string name_;
};

class Control : public Component {
 public:
  Control(Form& form, std::string name, Control* parent);

  Control* Parent() const { return parent_; }

  // Caption and text are one property, as in the system: a label's or button's caption, an
  // edit's text. SetText fires OnChange on controls the user edits.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& caption) { SetText(caption); }
  const std::string& Text() const { return text_; }
  virtual void SetText(const std::string& text);

  std::string hint;
  bool showHint = true;
  int helpContext = 0;
  Font font;
  Color color = colors::ButtonFace;
  Alignment alignment = Alignment::Left;
  bool tabStop = false;
  // Whether the focus arriving here runs the check of the control it leaves. A button that
  // leaves a dialog without using its fields (Cancel, Done) does not: the check is owed instead,
  // and runs when the focus next moves on to a control that does validate.
  bool causesValidation = true;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent (and on the notebook page shown).
  bool VisibleOnForm() const;
  // Enabled here and in every parent.
  bool EnabledOnForm() const;
  // Visible on a form that is shown.
  bool Showing() const;

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  virtual void SetBounds(int left, int top, int width, int height);
  Rect BoundsRect() const { return bounds_; }
  Rect ClientRect() const { return {0, 0, Width(), Height()}; }

  // Focus. A control takes the focus when it is a focusable kind, shown and enabled.
  virtual bool Focusable() const { return false; }
  bool CanFocus() const;
  bool Focused() const;
  // Moves the focus here (running the old control's exit handler first). False when the focus
  // did not arrive (a check kept it elsewhere, or the control cannot take it).
  bool SetFocus();

  NotifyEvent OnEnter, OnExit, OnClick, OnDblClick, OnChange;
  KeyPressEvent OnKeyPress;
  MouseEvent OnMouseDown, OnMouseUp;
  MouseMoveEvent OnMouseMove;

  // What the control does; subclasses extend these and call the base.
  virtual void Click();
  virtual void DblClick();
  virtual void DoEnter();
  virtual void DoExit();
  virtual void Change();
  virtual void KeyPress(char& key);
  virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseMove(ShiftState shift, int x, int y);

  // A character the user typed (already past the key filter of the form). The base ignores it.
  virtual void TypeChar(char key);
  // True when the control takes Enter (or Tab, Escape) itself instead of the form's buttons.
  virtual bool WantsReturn() const { return false; }
  // Whether a child is shown (a notebook shows only its active page).
  virtual bool ChildShown(const Control& child) const;
  // Paints the control (grids and forms call handlers; others draw nothing).
  virtual void Paint() {}

 protected:
  std::string text_;

 private:
  Control* parent_;
  Rect bounds_{0, 0, 75, 25};
  bool enabled_ = true;
  bool visible_ = true;
};

// ---- Simple controls ----

class Label : public Control {
 public:
  Label(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Label"; }
  bool autoSize = true;
  bool wordWrap = false;
  bool transparent = false;
  Control* focusControl = nullptr;
  void SetText(const std::string& text) override;
};

class GroupBox : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "GroupBox"; }
};

class Panel : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "Panel"; }
  enum class Bevel { None, Lowered, Raised };
  Bevel bevelOuter = Bevel::Raised;
};

// A single-line edit box.
class Edit : public Control {
 public:
  Edit(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Edit"; }
  bool Focusable() const override { return true; }

  int maxLength = 0;  // 0: no limit
  bool readOnly = false;
  bool autoSelect = true;  // entering the field selects its whole text
  char passwordChar = 0;

  void SetText(const std::string& text) override;
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelStart(int start);
  void SetSelLength(int length);
  void SelectAll();
  std::string SelText() const;
  bool modified = false;

  void DoEnter() override;
  void TypeChar(char key) override;

 protected:
  // Replaces the selection with `insert` (or deletes one character before the caret when
  // `insert` is empty and nothing is selected) and fires OnChange.
  void ReplaceSelection(const std::string& insert, bool backspace);
  virtual std::string LineBreak() const { return ""; }
  int selStart_ = 0, selLength_ = 0;
};

enum class ScrollBars { None, Horizontal, Vertical, Both };

// A multi-line edit box. Text holds the typed lines separated by CR LF; Lines() are the lines
// as displayed, wrapped at the memo's width when word wrap is on.
class Memo : public Edit {
 public:
  Memo(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Memo"; }

  bool wordWrap = true;
  bool wantReturns = true;
  bool wantTabs = false;
  ScrollBars scrollBars = ScrollBars::None;

  // The displayed lines. A line break at the very end adds no line.
  std::vector<std::string> Lines() const;
  // The typed lines (split at the line breaks only).
  std::vector<std::string> Paragraphs() const;
  void SetLines(const std::vector<std::string>& lines);
  void Clear() { SetText(""); }
  // Width in pixels available to text: the memo's width less its borders, margins and the
  // vertical scroll bar when it has one.
  int TextAreaWidth() const;

  bool WantsReturn() const override { return wantReturns; }
  void DoEnter() override;

 protected:
  std::string LineBreak() const override { return "\r\n"; }
};

class Button : public Control {
 public:
  Button(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Button"; }
  bool Focusable() const override { return true; }

  enum class Kind { Normal, Help };
  int modalResult = ModalResult::None;
  bool isDefault = false;  // Enter anywhere on the form clicks it
  bool isCancel = false;   // Escape anywhere on the form clicks it
  Kind kind = Kind::Normal;
  Picture glyph;

  // Sets the form's modal result (when the button has one), then runs OnClick; a Help button
  // opens help at its own help context, or the form's.
  void Click() override;
  void TypeChar(char key) override;  // space clicks
};

class CheckBox : public Control {
 public:
  CheckBox(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "CheckBox"; }
  bool Focusable() const override { return true; }
  bool Checked() const { return checked_; }
  // Changing the state fires OnClick, as the system's check box does.
  void SetChecked(bool checked);
  void Click() override;  // toggles
  void TypeChar(char key) override;

 private:
  bool checked_ = false;
};

class RadioButton : public Control {
 public:
  RadioButton(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "RadioButton"; }
  bool Focusable() const override { return true; }
  bool Checked() const { return checked_; }
  // Checking releases the other radio buttons of the same parent and fires OnClick.
  void SetChecked(bool checked);
  void Click() override;  // checks

 private:
  bool checked_ = false;
};

// A group of radio buttons made from a list of item captions, laid out in columns.
class RadioGroup : public Control {
 public:
  RadioGroup(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "RadioGroup"; }
  bool Focusable() const override { return true; }

  std::vector<std::string> items;
  int columns = 1;
  // -1 when nothing is selected (or the index is past the items). Changing it fires OnClick.
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string SelectedText() const;

 private:
  int itemIndex_ = -1;
};

// The object a list item may own; freed with its item.
class ItemData {
 public:
  virtual ~ItemData() = default;
};

// A list of strings, each with an optional owned object, optionally kept sorted (without regard
// to case; an item equal to others goes after them).
class StringList {
 public:
  bool sorted = false;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int index) const { return items_.at(index).text; }
  void Set(int index, const std::string& text);  // in a sorted list the item moves to its place
  int Add(const std::string& text, std::unique_ptr<ItemData> object = nullptr);
  void Insert(int index, const std::string& text, std::unique_ptr<ItemData> object = nullptr);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& text) const;  // without regard to case; -1 when absent
  ItemData* Object(int index) const { return items_.at(index).object.get(); }
  template <typename T>
  T* ObjectAs(int index) const {
    return dynamic_cast<T*>(Object(index));
  }
  std::vector<std::string> Strings() const;
  void Assign(const std::vector<std::string>& strings);
  void Move(int from, int to);

 private:
  friend class ListBox;
  struct Item {
    std::string text;
    std::unique_ptr<ItemData> object;
    // A list box's marks: they travel with the item when items are added, deleted, moved or
    // renamed, and go with it.
    bool selected = false;
    bool focused = false;
  };
  std::vector<Item> items_;
};

class ListBox : public Control {
 public:
  ListBox(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "ListBox"; }
  bool Focusable() const override { return true; }

  // Items; set items.sorted for a sorted list box. The selection and the focused item belong
  // to their items: they stay with them when other items are added or deleted, when the list
  // is sorted anew or an item renamed, and go with them when they are deleted or cleared.
  StringList items;
  bool multiSelect = false;

  int ItemIndex() const;
  // The focused item. In a single-select list it is the selection; in a multi-select list it
  // only moves the caret (select items with SetSelected).
  void SetItemIndex(int index);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;
  std::string SelectedText() const;
  // Deletes an item, its object and its selection state.
  void DeleteItem(int index);
  void ClearItems();
  int ItemHeight() const;
  int ItemAtPos(Point p) const;  // -1 below the last item
  // The left button selects the item under the mouse (with Ctrl held, a multi-select list adds
  // or removes it) and fires OnClick.
  void MouseDown(MouseButton button, ShiftState shift, int x, int y) override;
};

class ComboBox : public Control {
 public:
  ComboBox(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "ComboBox"; }
  bool Focusable() const override { return true; }

  enum class Style { DropDown, DropDownList };
  Style style = Style::DropDown;
  StringList items;
  int maxLength = 0;
  int dropDownCount = 8;

  int ItemIndex() const;
  // Selects an item and shows its text (-1: none); while the box has the focus its whole text
  // is selected. Fires no event.
  void SetItemIndex(int index);
  // Sets the text; the item of that text (without regard to case) becomes selected, or none.
  void SetText(const std::string& text) override;
  // Text the user pasted into the edit part (cut to the maximum length; the caret after it):
  // no item is selected then; fires OnChange.
  void SetEditText(const std::string& text);

  // The selection in the edit part, as an edit box has it.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelStart(int start);
  void SetSelLength(int length);
  void SelectAll();
  std::string SelText() const;

  // Entering an editable box selects its whole text, as entering an edit box does.
  void DoEnter() override;
  // In an editable box a typed character replaces the selection (Backspace deletes it, or the
  // character before the caret); a key that would make the text longer than the maximum length
  // beeps and is dropped. In a drop-down list a letter selects the next item starting with it.
  void TypeChar(char key) override;

 private:
  int itemIndex_ = -1;
  int selStart_ = 0, selLength_ = 0;
};

// A spin edit: an edit box for whole numbers kept within a range when left.
class SpinEdit : public Edit {
 public:
  SpinEdit(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "SpinEdit"; }
  int minValue = 0, maxValue = 0, increment = 1;  // equal bounds: no range
  // The text as a whole number (clamped to the range); the minimum when it is none.
  int Value() const;
  void SetValue(int value);
  void KeyPress(char& key) override;  // digits, signs and control keys only; others beep
  void DoExit() override;             // writes the checked value back
};

// ---- Grids ----

struct GridDrawState {
  bool selected = false, focused = false, fixed = false;
};

class StringGrid : public Control {
 public:
  StringGrid(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "StringGrid"; }
  bool Focusable() const override { return true; }

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  void SetColCount(int count);
  void SetRowCount(int count);
  int fixedCols = 1, fixedRows = 1;
  int defaultColWidth = 64, defaultRowHeight = 24;
  int gridLineWidth = 1;
  bool editing = false;        // the user may type into cells
  bool defaultDrawing = true;  // the grid draws cell texts before OnDrawCell
  ScrollBars scrollBars = ScrollBars::Both;

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // The current cell. Moving it asks OnSelectCell first.
  int Col() const { return col_; }
  int Row() const { return row_; }
  bool SelectCell(int col, int row);

  Rect CellRect(int col, int row) const;
  // The cell at a point in the grid's pixels; false outside every cell.
  bool MouseToCell(Point p, int& col, int& row) const;

  std::function<void(Control& sender, int col, int row, const Rect& rect, GridDrawState state)>
      OnDrawCell;
  std::function<void(Control& sender, int col, int row, bool& canSelect)> OnSelectCell;
  std::function<void(Control& sender, int col, int row, const std::string& text)> OnSetEditText;

  // Painting: every cell, or one cell. What was drawn for a cell is kept until it is painted
  // again.
  void Paint() override;
  void PaintCell(int col, int row);
  Canvas& GetCanvas() { return canvas_; }
  const std::vector<DrawOp>& CellDrawing(int col, int row) const;
  int PaintCount() const { return paintCount_; }

  void MouseDown(MouseButton button, ShiftState shift, int x, int y) override;

 private:
  int colCount_ = 5, rowCount_ = 5;
  int col_ = 1, row_ = 1;
  std::vector<std::string> cells_;
  std::vector<int> colWidths_, rowHeights_;
  std::vector<std::vector<DrawOp>> drawn_;
  Canvas canvas_;
  int paintCount_ = 0;
};

// ---- Tabs and pages ----

class TabSet : public Control {
 public:
  TabSet(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "TabSet"; }
  std::vector<std::string> tabs;
  int TabIndex() const;
  // Asks OnChange (which may refuse), then selects the tab and fires OnClick.
  bool SetTabIndex(int index);
  std::function<void(Control& sender, int newTab, bool& allowChange)> OnTabChange;
  std::string SelectedText() const;

 private:
  int tabIndex_ = -1;
};

// One page of a notebook: a container shown while it is the notebook's active page.
class Page : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "Page"; }
};

// Pages stacked on each other, one shown at a time, without tabs of their own.
class Notebook : public Control {
 public:
  Notebook(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Notebook"; }

  Page& AddPage(const std::string& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  Page& PageAt(int index) const { return *pages_.at(index); }
  int PageIndex() const { return pageIndex_; }
  // Shows another page and fires OnChange.
  void SetPageIndex(int index);
  // Selects the page of that caption (compared without '&'); false when there is none.
  bool SetActivePage(const std::string& caption);
  std::string ActivePageCaption() const;
  bool ChildShown(const Control& child) const override;

  // A page control's tabs: the user's click asks OnChanging first.
  bool showTabs = false;
  std::function<void(Control& sender, bool& allowChange)> OnChanging;

 private:
  std::vector<Page*> pages_;
  int pageIndex_ = -1;
};

// Pages with tabs the user clicks.
class PageControl : public Notebook {
 public:
  PageControl(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "PageControl"; }
  bool Focusable() const override { return true; }
};

// ---- Pictures and buttons that stay down ----

class Image : public Control {
 public:
  Image(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "Image"; }
  bool autoSize = false;  // the control takes the picture's size when one is set
  bool stretch = false;
  bool center = false;
  bool transparent = false;
  const Picture& GetPicture() const { return picture_; }
  void SetPicture(Picture picture);
  // Loads the picture from a ".BMP" or ".WMF" file (FileError or InvalidPicture on failure; the
  // old picture is kept then).
  void LoadFromFile(const std::string& windowsPath);
  void SaveToFile(const std::string& windowsPath) const { picture_.SaveToFile(windowsPath); }

 private:
  Picture picture_;
};

// A button that does not take the focus and can stay down; buttons of one group index (with
// the same parent) release each other, unless the group is not exclusive: then each goes down
// and up by itself, and several may be down at once.
class SpeedButton : public Control {
 public:
  SpeedButton(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "SpeedButton"; }
  int groupIndex = 0;
  bool allowAllUp = false;
  // False on the buttons of a group whose buttons do not release each other.
  bool exclusive = true;
  bool flat = false;
  Picture glyph;
  bool Down() const { return down_; }
  void SetDown(bool down);
  // Pushes a grouped button down (or up again when all may be up), then runs OnClick.
  void Click() override;

 private:
  bool down_ = false;
};

class ToolBar : public Control {
 public:
  ToolBar(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "ToolBar"; }
  bool flat = true;
  bool showCaptions = false;
  int buttonWidth = 23, buttonHeight = 22;
  int borderWidth = 0;
  bool edges = true;  // edges drawn on all four sides
};

class ToolButton : public Control {
 public:
  ToolButton(Form& form, std::string name, Control* parent);
  const char* TypeName() const override { return "ToolButton"; }
  enum class Style { Button, Check, Separator };
  Style style = Style::Button;
  bool grouped = false;
  bool allowAllUp = false;
  int imageIndex = -1;
  bool Down() const { return down_; }
  void SetDown(bool down);
  // A check-style button toggles (a grouped one goes down and releases its group), then
  // OnClick runs.
  void Click() override;

 private:
  bool down_ = false;
};

// ---- Timer ----

// Fires OnTimer every `interval` ms of the platform clock while enabled.
class Timer : public Component {
 public:
  Timer(Form& form, std::string name);
  ~Timer() override;
  const char* TypeName() const override { return "Timer"; }
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::int64_t NextDue() const { return due_; }
  std::function<void(Timer& sender)> OnTimer;
  void Fire();  // runs one tick now and schedules the next

 private:
  int interval_ = 1000;
  bool enabled_ = true;
  std::int64_t due_ = 0;
};

// ---- Forms ----

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class FormPosition { Designed, ScreenCenter, MainFormCenter };
enum class CloseAction { None, Hide, Free, Minimize };

class Form {
 public:
  // `className` names the form's class ("TdlgQXText"); the scripted user finds a shown form by
  // its class name or its caption.
  explicit Form(std::string className, std::string caption = "");
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& ClassName() const { return className_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  WindowHandle Handle() const { return handle_; }

  int helpContext = 0;
  BorderStyle borderStyle = BorderStyle::Sizeable;
  bool stayOnTop = false;
  FormPosition position = FormPosition::Designed;
  bool showHint = false;
  bool keyPreview = false;  // the form's OnKeyPress sees keys before the control
  Color color = colors::ButtonFace;
  Font font;

  // Outer bounds in screen pixels and the client area inside the frame.
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  Rect FrameSize() const;  // frame thickness on each side for the border style

  // ---- Controls ----
  template <typename T>
  T& Add(std::string name, Control* parent = nullptr) {
    static_assert(std::is_base_of_v<Control, T>);
    auto control = std::make_unique<T>(*this, std::move(name), parent);
    T& ref = *control;
    Adopt(std::move(control));
    return ref;
  }
  Timer& AddTimer(std::string name);

  Component* Find(const std::string& name) const;
  template <typename T>
  T* Find(const std::string& name) const {
    return dynamic_cast<T*>(Find(name));
  }
  // The first control whose caption equals `caption` without '&' and surrounding blanks,
  // buttons and check boxes before other kinds.
  Control* FindByCaption(const std::string& caption) const;
  std::vector<Control*> Controls() const;  // in creation (tab) order
  std::vector<Control*> ChildrenOf(const Control* parent) const;

  // ---- Showing ----
  bool Visible() const { return visible_; }
  bool Modal() const { return modal_; }
  // Shows the form modally: the UI driver acts on it until it has a modal result. Returns the
  // modal result (Cancel when the driver left it without one).
  int ShowModal();
  // Shows the form without waiting; it stays open while the program waits for other input.
  // A modal form its own code hid comes back within the same showing.
  void Show();
  // Hides the form. A modeless form is closed by it. A modal form stays modal: its showing goes
  // on, hidden, until its code shows it again or gives it a modal result.
  void Hide();
  // Closes the form: a modal form gets the modal result Cancel (the close query is asked when
  // the user's action ends); a modeless one is hidden when the close query allows it.
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  bool CloseQuery();
  // Destroys the form once the user action under way has finished (at once when none is), so
  // that a handler of the form may release it and the action goes on touching a live form. The
  // form must have been made with `new` and be owned by nobody else from then on; an owner that
  // deletes it first takes it off the list.
  void Release();

  int GetModalResult() const { return modalResult_; }
  void SetModalResult(int result);
  // True once a modal form has a modal result that its close query accepted.
  bool ModalDone() const { return modal_ && modalResult_ != ModalResult::None && closeAccepted_; }
  // Checks a modal result set by the last user action against the close query; a refusal
  // clears it. Called by the actions after each thing the user did.
  void SettleModalResult();

  // ---- Focus ----
  Control* ActiveControl() const { return focused_; }
  // Sets the control that has (or, before the form shows, will get) the focus.
  bool SetActiveControl(Control* control);
  // Moves the focus: the old control's exit handler runs first and may move the focus itself
  // (for example back to the field it checks); then the new control's enter handler runs.
  // True when the focus ended on `target`.
  bool FocusControl(Control* target);
  // The next focusable control after `from` in tab order (wrapping), or null.
  Control* NextFocusable(Control* from, bool forward = true) const;

  Button* DefaultButton() const;
  Button* CancelButton() const;

  // ---- Painting ----
  Canvas& GetCanvas() { return canvas_; }
  void Repaint();  // the form's OnPaint, then every shown grid

  std::function<void(Form&)> OnShow, OnHide, OnActivate, OnPaint, OnResize;
  std::function<void(Form&, bool& canClose)> OnCloseQuery;
  std::function<void(Form&, CloseAction& action)> OnClose;
  std::function<void(Form&, char& key)> OnKeyPress;

  // Runs OnActivate (when the form becomes the active window again).
  void Activate();
  // The control the left mouse button went down on (for the click at button-up).
  Control* pressedControl = nullptr;

 private:
  void Adopt(std::unique_ptr<Component> component);
  void FocusFirst();
  void Place();
  void UnregisterShown();

  std::string className_;
  std::string caption_;
  WindowHandle handle_ = 0;
  Rect bounds_{100, 100, 100 + 400, 100 + 300};
  std::vector<std::unique_ptr<Component>> components_;
  Control* focused_ = nullptr;
  bool visible_ = false;
  bool modal_ = false;
  int modalResult_ = ModalResult::None;
  bool closeAccepted_ = false;
  bool inFocusChange_ = false;
  Control* focusRequest_ = nullptr;
  // The control whose check was skipped when the focus went to a control that does not validate.
  Control* unvalidated_ = nullptr;
  Canvas canvas_;
};

// ---- User actions ----

// A user action under way: each action of platform/actions.h, a timer tick, a menu command the
// driver runs and a modal showing hold one. Forms released meanwhile are destroyed when the
// outermost one ends, as the system frees them from its message loop.
class UserActionScope {
 public:
  UserActionScope();
  ~UserActionScope();
  UserActionScope(const UserActionScope&) = delete;
  UserActionScope& operator=(const UserActionScope&) = delete;
};

// Forms released and not destroyed yet.
int ReleasedFormCount();

// ---- The shown forms ----

// Every live form, in the order made.
std::vector<Form*> AllForms();
// Every shown form, in the order shown (modal forms last, the innermost at the end). A modal
// form its code hid is not among them while it is hidden.
std::vector<Form*> ShownForms();
// The innermost modal form (shown or hidden by its code), or null.
Form* ActiveModalForm();
// The newest shown form whose class name or caption (without '&') is `nameOrCaption`.
Form* FindShownForm(const std::string& nameOrCaption);
// A caption without '&' (a doubled "&&" stays one '&') and without surrounding blanks.
std::string StripCaption(const std::string& caption);
bool SameCaption(const std::string& a, const std::string& b);

}  // namespace platform
