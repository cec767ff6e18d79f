// Grids, tabs and pages, pictures, buttons that stay down, tool bars and timers.
#include <algorithm>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/system.h"
#include "state.h"

namespace platform {

// ---- StringGrid ----

StringGrid::StringGrid(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  tabStop = true;
  color = colors::Window;
  SetBounds(0, 0, 320, 120);
  cells_.assign(static_cast<std::size_t>(colCount_ * rowCount_), std::string());
  drawn_.assign(cells_.size(), {});
}

void StringGrid::SetColCount(int count) {
  count = std::max(count, 1);
  std::vector<std::string> cells(static_cast<std::size_t>(count * rowCount_));
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < std::min(count, colCount_); ++c)
      cells[static_cast<std::size_t>(r * count + c)] = Cell(c, r);
  colCount_ = count;
  cells_ = std::move(cells);
  drawn_.assign(cells_.size(), {});
  fixedCols = std::min(fixedCols, colCount_ - 1);
  col_ = std::clamp(col_, fixedCols, colCount_ - 1);
}

void StringGrid::SetRowCount(int count) {
  count = std::max(count, 1);
  cells_.resize(static_cast<std::size_t>(colCount_ * count));
  rowCount_ = count;
  drawn_.assign(cells_.size(), {});
  fixedRows = std::min(fixedRows, rowCount_ - 1);
  row_ = std::clamp(row_, fixedRows, rowCount_ - 1);
}

int StringGrid::ColWidth(int col) const {
  if (col >= 0 && col < static_cast<int>(colWidths_.size()) && colWidths_[col] >= 0)
    return colWidths_[col];
  return defaultColWidth;
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < 0) return;
  if (col >= static_cast<int>(colWidths_.size())) colWidths_.resize(col + 1, -1);
  colWidths_[col] = width;
}

int StringGrid::RowHeight(int row) const {
  if (row >= 0 && row < static_cast<int>(rowHeights_.size()) && rowHeights_[row] >= 0)
    return rowHeights_[row];
  return defaultRowHeight;
}

void StringGrid::SetRowHeight(int row, int height) {
  if (row < 0) return;
  if (row >= static_cast<int>(rowHeights_.size())) rowHeights_.resize(row + 1, -1);
  rowHeights_[row] = height;
}

const std::string& StringGrid::Cell(int col, int row) const {
  static const std::string empty;
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return empty;
  return cells_[static_cast<std::size_t>(row * colCount_ + col)];
}

void StringGrid::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  cells_[static_cast<std::size_t>(row * colCount_ + col)] = text;
}

bool StringGrid::SelectCell(int col, int row) {
  if (col < fixedCols || row < fixedRows || col >= colCount_ || row >= rowCount_) return false;
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(*this, col, row, canSelect);
  if (!canSelect) return false;
  col_ = col;
  row_ = row;
  return true;
}

Rect StringGrid::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
  int x = 0, y = 0;
  for (int c = 0; c < col; ++c) x += ColWidth(c) + gridLineWidth;
  for (int r = 0; r < row; ++r) y += RowHeight(r) + gridLineWidth;
  return {x, y, x + ColWidth(col), y + RowHeight(row)};
}

bool StringGrid::MouseToCell(Point p, int& col, int& row) const {
  col = row = -1;
  if (p.x < 0 || p.y < 0) return false;
  int x = 0;
  for (int c = 0; c < colCount_; ++c) {
    int next = x + ColWidth(c) + gridLineWidth;
    if (p.x < next) {
      col = c;
      break;
    }
    x = next;
  }
  int y = 0;
  for (int r = 0; r < rowCount_; ++r) {
    int next = y + RowHeight(r) + gridLineWidth;
    if (p.y < next) {
      row = r;
      break;
    }
    y = next;
  }
  return col >= 0 && row >= 0;
}

void StringGrid::PaintCell(int col, int row) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  canvas_.Clear();
  canvas_.font = font;
  GridDrawState state;
  state.fixed = col < fixedCols || row < fixedRows;
  state.selected = !state.fixed && col == col_ && row == row_;
  state.focused = state.selected && Focused();
  canvas_.brushColor = state.fixed ? colors::ButtonFace : color;
  Rect rect = CellRect(col, row);
  if (defaultDrawing) {
    canvas_.FillRect(rect);
    canvas_.TextOut(rect.left + 2, rect.top + 2, Cell(col, row));
  }
  if (OnDrawCell) OnDrawCell(*this, col, row, rect, state);
  drawn_[static_cast<std::size_t>(row * colCount_ + col)] = canvas_.Ops();
}

void StringGrid::Paint() {
  ++paintCount_;
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < colCount_; ++c) PaintCell(c, r);
}

const std::vector<DrawOp>& StringGrid::CellDrawing(int col, int row) const {
  static const std::vector<DrawOp> none;
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return none;
  return drawn_[static_cast<std::size_t>(row * colCount_ + col)];
}

void StringGrid::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  int col, row;
  if (button == MouseButton::Left && MouseToCell({x, y}, col, row)) SelectCell(col, row);
  Control::MouseDown(button, shift, x, y);
}

// ---- TabSet ----

TabSet::TabSet(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {}

int TabSet::TabIndex() const {
  return tabIndex_ >= 0 && tabIndex_ < static_cast<int>(tabs.size()) ? tabIndex_ : -1;
}

bool TabSet::SetTabIndex(int index) {
  if (index < -1 || index >= static_cast<int>(tabs.size())) return false;
  if (index == TabIndex()) return true;
  bool allow = true;
  if (OnTabChange) OnTabChange(*this, index, allow);
  if (!allow) return false;
  tabIndex_ = index;
  Control::Click();
  return true;
}

std::string TabSet::SelectedText() const {
  int i = TabIndex();
  return i < 0 ? std::string() : tabs[i];
}

// ---- Notebook and PageControl ----

Notebook::Notebook(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {}

PageControl::PageControl(Form& form, std::string name, Control* parent)
    : Notebook(form, std::move(name), parent) {
  showTabs = true;
  tabStop = true;
}

Page& Notebook::AddPage(const std::string& caption) {
  Page& page = OwnerForm().Add<Page>(Name() + "." + StripCaption(caption), this);
  page.SetText(caption);
  page.SetBounds(0, 0, Width(), Height());
  pages_.push_back(&page);
  if (pageIndex_ < 0) pageIndex_ = 0;
  return page;
}

void Notebook::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == pageIndex_) return;
  pageIndex_ = index;
  Change();
}

bool Notebook::SetActivePage(const std::string& caption) {
  for (int i = 0; i < PageCount(); ++i) {
    if (SameCaption(pages_[i]->Caption(), caption)) {
      SetPageIndex(i);
      return true;
    }
  }
  return false;
}

std::string Notebook::ActivePageCaption() const {
  return pageIndex_ < 0 ? std::string() : pages_[pageIndex_]->Caption();
}

bool Notebook::ChildShown(const Control& child) const {
  for (int i = 0; i < PageCount(); ++i)
    if (pages_[i] == &child) return i == pageIndex_;
  return true;
}

// ---- Image ----

Image::Image(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  SetBounds(0, 0, 105, 105);
}

void Image::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  if (autoSize && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

void Image::LoadFromFile(const std::string& windowsPath) {
  Picture picture;
  picture.LoadFromFile(windowsPath);
  SetPicture(std::move(picture));
}

// ---- SpeedButton ----

SpeedButton::SpeedButton(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  SetBounds(0, 0, 25, 25);
}

void SpeedButton::SetDown(bool down) {
  if (groupIndex == 0) {
    down_ = false;  // an ungrouped speed button never stays down
    return;
  }
  if (down == down_) return;
  if (!down && !allowAllUp) {
    // One button of a group must stay down, unless the group allows all up.
    bool otherDown = false;
    for (Control* c : OwnerForm().ChildrenOf(Parent()))
      if (auto* b = dynamic_cast<SpeedButton*>(c); b && b != this && b->groupIndex == groupIndex)
        otherDown = otherDown || b->down_;
    if (!otherDown) return;
  }
  down_ = down;
  if (down && exclusive) {
    for (Control* c : OwnerForm().ChildrenOf(Parent()))
      if (auto* b = dynamic_cast<SpeedButton*>(c); b && b != this && b->groupIndex == groupIndex)
        b->down_ = false;
  }
}

void SpeedButton::Click() {
  if (groupIndex != 0) {
    if (!down_)
      SetDown(true);
    else if (allowAllUp)
      SetDown(false);
  }
  Control::Click();
}

// ---- ToolBar and ToolButton ----

ToolBar::ToolBar(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  SetBounds(0, 0, 150, 29);
}

ToolButton::ToolButton(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), parent) {
  SetBounds(0, 0, 23, 22);
}

void ToolButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  if (down && grouped && style == Style::Check) {
    for (Control* c : OwnerForm().ChildrenOf(Parent()))
      if (auto* b = dynamic_cast<ToolButton*>(c); b && b != this && b->grouped) b->down_ = false;
  }
}

void ToolButton::Click() {
  if (style == Style::Check) {
    if (!grouped)
      SetDown(!down_);
    else if (!down_)
      SetDown(true);
    else if (allowAllUp)
      SetDown(false);
  }
  Control::Click();
}

// ---- Timer ----

Timer::Timer(Form& form, std::string name) : Component(form, std::move(name)) {
  detail::S().timers.push_back(this);
  due_ = detail::S().clock + interval_;
}

Timer::~Timer() {
  auto& timers = detail::S().timers;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::SetInterval(int ms) {
  interval_ = std::max(ms, 0);
  due_ = detail::S().clock + interval_;
}

void Timer::SetEnabled(bool enabled) {
  if (enabled && !enabled_) due_ = detail::S().clock + interval_;
  enabled_ = enabled;
}

void Timer::Fire() {
  due_ = detail::S().clock + interval_;
  if (OnTimer) OnTimer(*this);
}

}  // namespace platform
