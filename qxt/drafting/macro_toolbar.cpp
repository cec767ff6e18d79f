#include "drafting/macro_toolbar.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <exception>

#include "core/command.h"
#include "core/export.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr int kButtonSize = 60;
constexpr int kButtonsPerRow = 5;
// A picture at most this high is all grid; a higher one has its first row as a band.
constexpr int kBandlessHeight = 250;
// A picture lower than this sits below the page buttons instead of under them.
constexpr int kPictureBelowButtons = 290;
constexpr int kPanelHeight = 60;

// Cuts towards zero, as the button arithmetic asks (a position left of or above the picture
// would otherwise land in the next button).
int Trunc(int value, int divisor) { return value / divisor; }

// The integer at the start of `line`, after blanks, with an optional sign. False when there is
// none or it does not fit.
bool LeadingInteger(const std::string& line, int& value) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i]))) return false;
  long long number = 0;
  while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
    number = number * 10 + (line[i++] - '0');
    if (number > INT_MAX) return false;
  }
  value = static_cast<int>(negative ? -number : number);
  return true;
}

bool SameTextNoCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

}  // namespace

int MacroButtonAt(int x, int y, int pictureHeight) {
  const int button = kButtonsPerRow * Trunc(y, kButtonSize) + Trunc(x, kButtonSize);
  return pictureHeight <= kBandlessHeight ? button + 1 : button - (kButtonsPerRow - 1);
}

bool ReadMacroControl(const std::string& path, std::vector<std::string>& pages, int& pageCount,
                      int& linesRead) {
  pages.clear();
  pageCount = 0;
  linesRead = 0;
  try {
    platform::TextReader file(path);
    std::string line;
    if (!file.ReadLine(line)) return false;
    ++linesRead;
    if (!file.ReadLine(line)) return false;
    int count = 0;
    if (!LeadingInteger(line, count)) return false;
    ++linesRead;
    // No page to show is as unusable as no number at all.
    if (count < 1) return false;
    // A file that ends before naming every page keeps the names it has: the other pages fail
    // when the user turns to them, and the named ones stay usable.
    for (int i = 0; i < count && file.ReadLine(line); ++i) {
      pages.push_back(line);
      ++linesRead;
    }
    pageCount = count;
    return true;
  } catch (const platform::FileError&) {
    pages.clear();
    pageCount = 0;
    return false;
  }
}

bool ReadButtonCommand(const std::string& path, int button, std::string& command, int& linesRead) {
  command.clear();
  linesRead = 0;
  try {
    platform::TextReader file(path);
    std::string line;
    for (int i = 0; i < button; ++i) {
      // A list shorter than the button number reads as an empty command.
      if (!file.ReadLine(line)) {
        command.clear();
        return true;
      }
      ++linesRead;
      command = line;
    }
    return true;
  } catch (const platform::FileError&) {
    return false;
  }
}

MacroCommandKind MacroCommandKindOf(const std::string& command) {
  if (command.empty() || SameTextNoCase(command, "NONE")) return MacroCommandKind::Nothing;
  const std::size_t dot = command.rfind('.');
  if (dot == std::string::npos) return MacroCommandKind::Nothing;
  const std::string extension = command.substr(dot);
  if (extension == ".COM" || extension == ".EXE" || extension == ".BAT" || extension == ".PIF")
    return MacroCommandKind::Program;
  if (extension == ".CBX") return MacroCommandKind::HostMacro;
  return MacroCommandKind::Nothing;
}

TfrmQXMacro::TfrmQXMacro()
    : platform::Form("TfrmQXMacro", "QX Macro"),
      imgMacro(Add<platform::Image>("imgMacro")),
      pnlPages(Add<platform::Panel>("pnlPages")),
      spdbtnFirst(Add<platform::SpeedButton>("spdbtnFirst", &pnlPages)),
      spdbtnPrevious(Add<platform::SpeedButton>("spdbtnPrevious", &pnlPages)),
      spdbtnNext(Add<platform::SpeedButton>("spdbtnNext", &pnlPages)),
      spdbtnLast(Add<platform::SpeedButton>("spdbtnLast", &pnlPages)),
      pnlPageNumber(Add<platform::Panel>("pnlPageNumber", &pnlPages)) {
  helpContext = 118;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  showHint = true;
  SetClientWidth(kButtonSize * kButtonsPerRow);
  SetClientHeight(kPanelHeight + kButtonSize);

  imgMacro.autoSize = true;
  imgMacro.SetBounds(0, kPanelHeight, kButtonSize * kButtonsPerRow, kButtonSize);
  pnlPages.SetBounds(0, 0, kButtonSize * kButtonsPerRow, kPanelHeight);

  // First and Last form one group of which at most one is down; First starts down.
  struct PageButton {
    platform::SpeedButton& button;
    const char* caption;
    const char* hint;
  };
  const PageButton buttons[] = {
      {spdbtnFirst, "|<", "Go to the first page in this group"},
      {spdbtnPrevious, "<", "Go to the previous page in this group"},
      {spdbtnNext, ">", "Go to the next page in this group"},
      {spdbtnLast, ">|", "Go to the last page in this group"},
  };
  int left = 8;
  for (const PageButton& b : buttons) {
    b.button.SetCaption(b.caption);
    b.button.hint = b.hint;
    b.button.SetBounds(left, 17, 25, 25);
    left += 27;
  }
  spdbtnFirst.groupIndex = 1;
  spdbtnLast.groupIndex = 1;
  spdbtnFirst.allowAllUp = true;
  spdbtnLast.allowAllUp = true;
  spdbtnFirst.SetDown(true);
  pnlPageNumber.SetBounds(left + 8, 17, kButtonSize * kButtonsPerRow - left - 16, 25);

  imgMacro.OnMouseDown = [this](platform::Control&, platform::MouseButton button,
                                platform::ShiftState, int x,
                                int y) { imgMacroMouseDown(button, x, y); };
  imgMacro.OnMouseUp = [this](platform::Control&, platform::MouseButton button,
                              platform::ShiftState, int x,
                              int y) { imgMacroMouseUp(button, x, y); };
  spdbtnFirst.OnClick = [this](platform::Control&) { spdbtnFirstClick(); };
  spdbtnPrevious.OnClick = [this](platform::Control&) { spdbtnPreviousClick(); };
  spdbtnNext.OnClick = [this](platform::Control&) { spdbtnNextClick(); };
  spdbtnLast.OnClick = [this](platform::Control&) { spdbtnLastClick(); };
}

std::string TfrmQXMacro::PageName(int page) const {
  if (page < 1 || static_cast<std::size_t>(page) > pages.size()) return {};
  return pages[static_cast<std::size_t>(page - 1)];
}

std::string TfrmQXMacro::PagePath(int page, const char* extension) const {
  return JoinPath(folder, PageName(page) + extension);
}

bool TfrmQXMacro::ShowPage(int page) {
  const std::string path = PagePath(page, ".BMP");
  bool loaded = false;
  // A page without a name has no picture, whatever file the bare extension might name.
  if (!PageName(page).empty()) {
    try {
      platform::Picture picture;
      picture.LoadFromFile(path);
      imgMacro.SetTop(0);
      imgMacro.SetPicture(std::move(picture));
      loaded = true;
    } catch (const std::exception&) {
      loaded = false;
    }
  }
  if (!loaded) {
    ShowError("An error occurred attempting to load the bitmap for page " + std::to_string(page) +
              "\r\nThe bitmap file name is: " + path);
    return false;
  }
  const int height = imgMacro.GetPicture().Height();
  if (height < kPictureBelowButtons) imgMacro.SetTop(kPanelHeight);
  SetClientWidth(std::max(imgMacro.Width(), kButtonSize * kButtonsPerRow));
  SetClientHeight(imgMacro.Top() + height);
  pnlPages.SetWidth(ClientWidth());
  currentPage = page;
  const int count = pageCount;
  if (page == 1) spdbtnFirst.SetDown(true);
  if (page == count) spdbtnLast.SetDown(true);
  pnlPageNumber.SetCaption("Page " + std::to_string(page) + " of " + std::to_string(count));
  return true;
}

void TfrmQXMacro::imgMacroMouseDown(platform::MouseButton button, int x, int y) {
  if (button == platform::MouseButton::Right) {
    SetModalResult(platform::ModalResult::Cancel);
    return;
  }
  pressedButton = MacroButtonAt(x, y, imgMacro.GetPicture().Height());
}

void TfrmQXMacro::imgMacroMouseUp(platform::MouseButton button, int x, int y) {
  if (button != platform::MouseButton::Left) return;
  // Moving off a button before releasing cancels the click.
  if (MacroButtonAt(x, y, imgMacro.GetPicture().Height()) == pressedButton) {
    SetModalResult(platform::ModalResult::OK);
  } else {
    pressedButton = 0;
  }
}

void TfrmQXMacro::spdbtnFirstClick() { ShowPage(1); }

void TfrmQXMacro::spdbtnPreviousClick() {
  if (currentPage <= 1) {
    platform::Beep(platform::BeepKind::Exclamation);
    return;
  }
  if (ShowPage(currentPage - 1)) spdbtnLast.SetDown(false);
}

void TfrmQXMacro::spdbtnNextClick() {
  if (currentPage >= pageCount) {
    platform::Beep(platform::BeepKind::Exclamation);
    return;
  }
  if (ShowPage(currentPage + 1)) spdbtnFirst.SetDown(false);
}

void TfrmQXMacro::spdbtnLastClick() { ShowPage(pageCount); }

}  // namespace qxt

QXT_EXPORT void QXMacro() {
  using namespace qxt;
  if (!ToolsReady()) return;
  SwitchHintsOn();
  TfrmQXMacro& form = *State().forms->frmQXMacro;
  // The page list lives for this call only; the files are read anew each time.
  struct PageList {
    TfrmQXMacro& form;
    ~PageList() {
      form.pages.clear();
      form.pageCount = 0;
    }
  } pageList{form};

  std::string folder;
  char buffer[HSI_PATH_SIZE] = {};
  if (HsiGetPaths(buffer, 1, 0) == HSI_SUCCESS) folder = buffer;
  form.folder = folder;
  int linesRead = 0;
  if (!ReadMacroControl(JoinPath(folder, "QXMACRO.CTL"), form.pages, form.pageCount, linesRead)) {
    ShowError(
        "An error was encountered reading the QX Macro\r\ncontrol file.  Lines successfully read "
        "= " +
        std::to_string(linesRead));
    return;
  }

  form.currentPage = 1;
  form.pressedButton = 0;
  if (form.ShowPage(1) && form.ShowModal() == platform::ModalResult::OK) {
    const std::string listPath = form.PagePath(form.currentPage, ".LST");
    std::string command;
    if (!ReadButtonCommand(listPath, form.pressedButton, command, linesRead)) {
      ShowError("An error was encountered reading the file " + listPath +
                "\r\nLines successfully read = " + std::to_string(linesRead));
      return;
    }
    switch (MacroCommandKindOf(command)) {
      case MacroCommandKind::Program:
        if (platform::WinExec(command, 5) < 32)
          ShowError("Windows reported an error attempting to execute \r\n" + command);
        break;
      case MacroCommandKind::HostMacro:
        if (HsiRunMacro(command.c_str()) != HSI_SUCCESS)
          ShowError("Tracelon reported an error attempting to execute \r\n" + command);
        break;
      case MacroCommandKind::Nothing:
        break;
    }
  }
  HsiStatusLineUpdate();
}
