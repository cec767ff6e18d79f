// The symbol library browser: a picture menu of symbol groups, and for each group pages of 20
// symbol cells with a strip of page buttons above them. The left button chooses (pressed and
// released on the same cell); the right button goes back one level, or ends in the main menu.
// The library lives in the folder QXSYMBOL under the base directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "text/symbol_library.h"

namespace qxt {

namespace symbol_browser_messages {
inline constexpr const char* kMenuPictureError =
    "An error was encountered attempting to load the\r\nQX Symbol menu bitmap.  Use QX Setup to "
    "check your\r\nBase Directory setting and try again.";
inline constexpr const char* kMenuControlError =
    "An error was encountered reading the QX Symbol\r\nmain menu control file.  Lines "
    "successfully read = ";
inline constexpr const char* kFirstPageError =
    "QX Tools encountered an error attempting to display the first page\r\nof symbols in the "
    "requested symbol group.";
inline constexpr const char* kPageMoveError =
    "QX Tools encountered a file error attempting to move\r\nto the requested page.";
inline constexpr const char* kGroupMessage = "Select a symbol, or B2 for categories...";
inline constexpr const char* kMenuMessage = "Select a symbol category from the menu...";
}  // namespace symbol_browser_messages

// The browser closes with this result when the command is to end without a choice.
inline constexpr int kBrowserEndResult = 3;

class TfrmQXSymbol : public platform::Form {
 public:
  TfrmQXSymbol();

  platform::Panel& pnlButtons;  // the button strip above a group's pages
  platform::SpeedButton& spdbtnFirst;
  platform::SpeedButton& spdbtnPrevious;
  platform::SpeedButton& spdbtnNext;
  platform::SpeedButton& spdbtnLast;
  platform::Panel& pnlPageNumber;
  platform::Label& lblGroupName;
  platform::Button& btnSymbolMenu;
  platform::Image& imgSymbol;

  // ---- The command's use ----

  // Starts a run of the command: no group, page, selection or loaded cell table, and the library
  // folder from the configuration.
  void StartRun();
  // Loads the main menu picture and control file, with the messages of a failure.
  bool LoadMainMenu();
  bool RestartRequested() const { return restartMenu_; }
  // The chosen cell (1 to 20) of the loaded table, after the browser closed with OK.
  const SymbolCell& ChosenCell() const;
  std::uint16_t GroupMode() const { return groupMode_; }

  // ---- State, for the browser's own work and for tests ----

  const SymbolMenu& Menu() const { return menu_; }
  int CurrentGroup() const { return currentGroup_; }
  int CurrentPage() const { return currentPage_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int SelectedCell() const { return selectedCell_; }
  const std::string& GroupName() const { return groupName_; }
  const SymbolCellTable& Cells() const { return cells_; }
  int TableKey() const { return tableKey_; }

  // Loads group `cell` of the menu (its control file and first page); false after a message.
  bool LoadGroup(int cell);
  // Shows page `page` of the current group; false, without a message, when it cannot.
  bool ShowPage(int page);
  // Reads the current page's cell list unless it is the table already loaded; false after a
  // message.
  bool LoadCellTable();
  // The cell under a point of the picture: of the menu, or of the page shown.
  int CellAt(int x, int y) const;

  void FormShow(platform::Form& sender);
  void imgSymbolMouseDown(platform::Control& sender, platform::MouseButton button,
                          platform::ShiftState shift, int x, int y);
  void imgSymbolMouseUp(platform::Control& sender, platform::MouseButton button,
                        platform::ShiftState shift, int x, int y);
  void spdbtnFirstClick(platform::Control& sender);
  void spdbtnPreviousClick(platform::Control& sender);
  void spdbtnNextClick(platform::Control& sender);
  void spdbtnLastClick(platform::Control& sender);
  void btnSymbolMenuClick(platform::Control& sender);

 private:
  std::string LibraryPath(const std::string& name) const;
  bool LoadMenuPicture();
  void BackToMenu();
  void MoveToPage(int page);

  std::string folder_;  // the library folder
  SymbolMenu menu_;
  std::vector<SymbolPageEntry> pages_;
  int currentGroup_ = 0;  // 0 while the main menu is shown
  int currentPage_ = 0;
  std::string groupName_;
  std::uint16_t groupMode_ = 0;
  int selectedCell_ = 0;
  bool restartMenu_ = false;
  // The cell table of the page loaded last and its key (group x 1000 + page; 0 when none). They
  // outlive a run of the command; each run clears the key.
  SymbolCellTable cells_{};
  int tableKey_ = 0;
};

}  // namespace qxt
