#include "text/symbol_browser.h"

#include <exception>

#include "core/form_layout.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/file_io.h"
#include "platform/system.h"

namespace qxt {

namespace {

namespace msg = symbol_browser_messages;

constexpr int kPageSize = 300;    // a group page's client area is square
constexpr int kStripHeight = 60;  // the button strip over the page picture
constexpr std::size_t kMaxLibraryFileBytes = 1u << 20;

platform::SpeedButton& MakePageButton(platform::Form& form, const char* name,
                                      platform::Control* parent, int left, const char* caption,
                                      const char* hint) {
  auto& button = Make<platform::SpeedButton>(form, name, parent, left, 4, 25, 25, caption);
  button.hint = hint;
  return button;
}

bool IsReadError(const platform::FileError& error) {
  return error.Code() == platform::FileErrorCode::IoError ||
         error.Code() == platform::FileErrorCode::ReadPastEnd;
}

std::string GroupFileMessage(const char* what, const std::string& path) {
  return std::string(what) + path + "\r\n" +
         "QX Symbol cannot load the group of symbols requested.";
}

}  // namespace

TfrmQXSymbol::TfrmQXSymbol()
    : platform::Form("TfrmQXSymbol", "QX Symbol"),
      pnlButtons(
          Make<platform::Panel>(*this, "pnlButtons", nullptr, 0, 0, kPageSize, kStripHeight)),
      spdbtnFirst(MakePageButton(*this, "spdbtnFirst", &pnlButtons, 4, "|<",
                                 "Go to the first page in this group")),
      spdbtnPrevious(MakePageButton(*this, "spdbtnPrevious", &pnlButtons, 30, "<",
                                    "Go to the previous page in this group")),
      spdbtnNext(MakePageButton(*this, "spdbtnNext", &pnlButtons, 56, ">",
                                "Go to the next page in this group")),
      spdbtnLast(MakePageButton(*this, "spdbtnLast", &pnlButtons, 82, ">|",
                                "Go to the last page in this group")),
      pnlPageNumber(Make<platform::Panel>(*this, "pnlPageNumber", &pnlButtons, 112, 4, 90, 25)),
      lblGroupName(Make<platform::Label>(*this, "lblGroupName", &pnlButtons, 4, 36, 292, 18)),
      btnSymbolMenu(Make<platform::Button>(*this, "btnSymbolMenu", &pnlButtons, 208, 4, 88, 25,
                                           "Symbol Menu")),
      imgSymbol(Make<platform::Image>(*this, "imgSymbol", nullptr, 0, 0, kPageSize, kPageSize)) {
  borderStyle = platform::BorderStyle::Dialog;
  showHint = true;
  imgSymbol.autoSize = true;
  pnlPageNumber.bevelOuter = platform::Panel::Bevel::Lowered;
  // First and Last show where the page is: down on the first and on the last page, so both
  // down in a group of one page. Their group is not exclusive: the page shown sets each.
  for (platform::SpeedButton* button : {&spdbtnFirst, &spdbtnLast}) {
    button->groupIndex = 1;
    button->allowAllUp = true;
    button->exclusive = false;
  }
  btnSymbolMenu.modalResult = platform::ModalResult::Cancel;
  pnlButtons.Hide();

  OnShow = [this](platform::Form& sender) { FormShow(sender); };
  imgSymbol.OnMouseDown = [this](platform::Control& sender, platform::MouseButton button,
                                 platform::ShiftState shift, int x,
                                 int y) { imgSymbolMouseDown(sender, button, shift, x, y); };
  imgSymbol.OnMouseUp = [this](platform::Control& sender, platform::MouseButton button,
                               platform::ShiftState shift, int x,
                               int y) { imgSymbolMouseUp(sender, button, shift, x, y); };
  spdbtnFirst.OnClick = [this](platform::Control& sender) { spdbtnFirstClick(sender); };
  spdbtnPrevious.OnClick = [this](platform::Control& sender) { spdbtnPreviousClick(sender); };
  spdbtnNext.OnClick = [this](platform::Control& sender) { spdbtnNextClick(sender); };
  spdbtnLast.OnClick = [this](platform::Control& sender) { spdbtnLastClick(sender); };
  btnSymbolMenu.OnClick = [this](platform::Control& sender) { btnSymbolMenuClick(sender); };
}

std::string TfrmQXSymbol::LibraryPath(const std::string& name) const {
  return JoinPath(folder_, name);
}

void TfrmQXSymbol::StartRun() {
  folder_ = JoinPath(Config().BaseDirectory.Get(), kSymbolLibraryFolder);
  restartMenu_ = false;
  selectedCell_ = 0;
  currentGroup_ = 0;
  currentPage_ = 0;
  tableKey_ = 0;
  menu_ = SymbolMenu{};
  pages_.clear();
  pnlButtons.Hide();
}

bool TfrmQXSymbol::LoadMenuPicture() {
  try {
    imgSymbol.LoadFromFile(LibraryPath(kSymbolMenuPicture));
  } catch (const std::exception&) {
    return false;
  }
  imgSymbol.SetLeft(0);
  imgSymbol.SetTop(0);
  return true;
}

bool TfrmQXSymbol::LoadMainMenu() {
  if (!LoadMenuPicture()) {
    ShowError(msg::kMenuPictureError);
    return false;
  }
  SymbolMenuRead read;
  try {
    read = ParseSymbolMenu(
        platform::ReadWholeFile(LibraryPath(kSymbolMenuControl), kMaxLibraryFileBytes));
  } catch (const platform::FileError&) {
    read = SymbolMenuRead{};
  }
  if (!read.menu) {
    ShowError(msg::kMenuControlError + std::to_string(read.linesRead));
    return false;
  }
  menu_ = std::move(*read.menu);
  return true;
}

const SymbolCell& TfrmQXSymbol::ChosenCell() const {
  static const SymbolCell kNone{"NONE", 0, "", kEmptyCell, 0};
  if (selectedCell_ < 1 || selectedCell_ > kPageCells) return kNone;
  return cells_[static_cast<std::size_t>(selectedCell_ - 1)];
}

int TfrmQXSymbol::CellAt(int x, int y) const {
  if (currentGroup_ == 0) return menu_.CellAt(x, y);
  return PageCellAt(x, y, imgSymbol.GetPicture().Height());
}

bool TfrmQXSymbol::LoadGroup(int cell) {
  if (cell < 1 || cell > static_cast<int>(menu_.entries.size())) return false;
  const std::string& entry = menu_.entries[static_cast<std::size_t>(cell - 1)];
  const std::string path = LibraryPath(entry + ".CTL");
  std::string text;
  try {
    text = platform::ReadWholeFile(path, kMaxLibraryFileBytes);
  } catch (const platform::FileError& error) {
    ShowError(GroupFileMessage(IsReadError(error)
                                   ? "QX Tools encountered an error while reading the file\r\n"
                                   : "QX Tools encountered an error attempting to open\r\n",
                               path));
    return false;
  }
  std::optional<SymbolGroup> group = ParseSymbolGroup(text, entry);
  if (!group) {
    ShowError(GroupFileMessage("QX Tools encountered an error while reading the file\r\n", path));
    return false;
  }
  pages_ = std::move(group->pages);
  groupMode_ = group->mode;
  groupName_ = group->displayName;
  currentPage_ = 1;
  if (!ShowPage(1)) {
    ShowError(msg::kFirstPageError);
    return false;
  }
  lblGroupName.SetCaption(groupName_);
  return true;
}

bool TfrmQXSymbol::ShowPage(int page) {
  if (page < 1 || page > PageCount()) return false;
  // A picture that cannot be read leaves the page shown as it was.
  platform::Picture picture;
  try {
    picture.LoadFromFile(LibraryPath(pages_[static_cast<std::size_t>(page - 1)].name + ".BMP"));
  } catch (const std::exception&) {
    return false;
  }
  SetClientWidth(kPageSize);
  SetClientHeight(kPageSize);
  imgSymbol.SetTop(0);
  imgSymbol.SetPicture(std::move(picture));
  // A picture without the covered top row goes below the button strip.
  if (imgSymbol.GetPicture().Height() < kCoveredPageHeight) imgSymbol.SetTop(kStripHeight);
  spdbtnFirst.SetDown(page == 1);
  spdbtnLast.SetDown(page == PageCount());
  pnlPageNumber.SetCaption("Page " + std::to_string(page) + " of " + std::to_string(PageCount()));
  return true;
}

bool TfrmQXSymbol::LoadCellTable() {
  const int key = currentGroup_ * 1000 + currentPage_;
  if (key == tableKey_) return true;
  tableKey_ = 0;
  if (currentPage_ < 1 || currentPage_ > PageCount()) return false;
  const SymbolPageEntry& page = pages_[static_cast<std::size_t>(currentPage_ - 1)];
  const std::string path = LibraryPath(page.name + ".LST");
  auto readError = [&](int line, const std::string& system) {
    ShowError("The following error occurred while reading line " + std::to_string(line) +
              "\r\nof the file " + path + ":\r\n" + system);
    return false;
  };
  std::string text;
  try {
    text = platform::ReadWholeFile(path, kMaxLibraryFileBytes);
  } catch (const platform::FileError& error) {
    if (IsReadError(error)) return readError(1, error.what());
    ShowError("The following error occurred while opening the file\r\n" + path + ":\r\n" +
              error.what());
    return false;
  }
  const CellListRead read = ParseCellList(text, page.scaleMode);
  switch (read.error) {
    case CellListRead::Error::Format:
      ShowError("The file " + path + "\r\n" + " is not properly formatted on line " +
                std::to_string(read.line) + "." + "\r\n" +
                "QX Symbol cannot place symbols on this page until the file is" + "\r\n" +
                "corrected.");
      return false;
    case CellListRead::Error::Short:
      return readError(read.line,
                       platform::SystemErrorMessage(platform::FileErrorCode::ReadPastEnd));
    case CellListRead::Error::None:
      break;
  }
  cells_ = read.cells;
  tableKey_ = key;
  return true;
}

void TfrmQXSymbol::FormShow(platform::Form&) {
  if (currentGroup_ != 0) {
    SetClientWidth(kPageSize);
    SetClientHeight(kPageSize);
    HsiPutMsg(msg::kGroupMessage);
    return;
  }
  pnlButtons.Hide();
  imgSymbol.SetLeft(0);
  imgSymbol.SetTop(0);
  SetClientWidth(imgSymbol.GetPicture().Width());
  SetClientHeight(imgSymbol.GetPicture().Height());
  HsiPutMsg(msg::kMenuMessage);
}

void TfrmQXSymbol::BackToMenu() {
  if (!LoadMenuPicture()) {
    ShowError(msg::kMenuPictureError);
    SetModalResult(kBrowserEndResult);
    return;
  }
  currentGroup_ = 0;
  selectedCell_ = 0;
  SetClientWidth(imgSymbol.GetPicture().Width());
  SetClientHeight(imgSymbol.GetPicture().Height());
  pnlButtons.Hide();
  HsiPutMsg(msg::kMenuMessage);
}

void TfrmQXSymbol::imgSymbolMouseDown(platform::Control&, platform::MouseButton button,
                                      platform::ShiftState, int x, int y) {
  if (button == platform::MouseButton::Left) {
    selectedCell_ = CellAt(x, y);
  } else if (button == platform::MouseButton::Right) {
    if (currentGroup_ != 0) {
      BackToMenu();
    } else {
      SetModalResult(platform::ModalResult::Cancel);
    }
  }
}

void TfrmQXSymbol::imgSymbolMouseUp(platform::Control&, platform::MouseButton button,
                                    platform::ShiftState, int x, int y) {
  if (button != platform::MouseButton::Left) return;
  const int cell = CellAt(x, y);
  // Pressed on one cell and released on another, or outside every cell: no choice.
  if (cell != selectedCell_ || cell == 0) {
    selectedCell_ = 0;
    return;
  }
  if (currentGroup_ == 0) {
    if (IsCancelEntry(menu_.entries[static_cast<std::size_t>(cell - 1)])) {
      SetModalResult(kBrowserEndResult);
      return;
    }
    // Out of sight while the group's files are read.
    Hide();
    if (LoadGroup(cell)) {
      pnlButtons.Show();
      currentGroup_ = cell;
      selectedCell_ = 0;
      Show();
    } else {
      SetModalResult(kBrowserEndResult);
    }
    HsiPutMsg(msg::kGroupMessage);
    return;
  }
  if (!LoadCellTable()) return;
  // An empty cell stands for no symbol: the click is ignored.
  if (ChosenCell().Kind == kEmptyCell) {
    selectedCell_ = 0;
    return;
  }
  SetModalResult(platform::ModalResult::OK);
}

void TfrmQXSymbol::MoveToPage(int page) {
  if (ShowPage(page)) {
    currentPage_ = page;
  } else {
    ShowError(msg::kPageMoveError);
  }
}

void TfrmQXSymbol::spdbtnFirstClick(platform::Control&) { MoveToPage(1); }

void TfrmQXSymbol::spdbtnLastClick(platform::Control&) { MoveToPage(PageCount()); }

void TfrmQXSymbol::spdbtnPreviousClick(platform::Control&) {
  if (currentPage_ <= 1) {
    platform::Beep(platform::BeepKind::Exclamation);
    return;
  }
  if (ShowPage(currentPage_ - 1)) {
    --currentPage_;
    spdbtnLast.SetDown(false);
  } else {
    ShowError(msg::kPageMoveError);
  }
}

void TfrmQXSymbol::spdbtnNextClick(platform::Control&) {
  if (currentPage_ >= PageCount()) {
    platform::Beep(platform::BeepKind::Exclamation);
    return;
  }
  if (ShowPage(currentPage_ + 1)) {
    ++currentPage_;
    spdbtnFirst.SetDown(false);
  } else {
    ShowError(msg::kPageMoveError);
  }
}

void TfrmQXSymbol::btnSymbolMenuClick(platform::Control&) {
  // Ends this run; the command starts again at the main menu.
  restartMenu_ = true;
}

}  // namespace qxt
