// The macro toolbar: picture pages of host macros and programs. Each page is a bitmap drawn as a
// grid of 60 by 60 pixel buttons; line i of the page's button list is the command of button i.
#pragma once

#include <string>
#include <vector>

#include "core/export.h"
#include "platform/forms.h"

namespace qxt {

class TfrmQXMacro : public platform::Form {
 public:
  TfrmQXMacro();

  platform::Image& imgMacro;
  platform::Panel& pnlPages;
  platform::SpeedButton& spdbtnFirst;
  platform::SpeedButton& spdbtnPrevious;
  platform::SpeedButton& spdbtnNext;
  platform::SpeedButton& spdbtnLast;
  platform::Panel& pnlPageNumber;

  // What one showing works on: the page names, the number of pages the control file counts
  // (there may be fewer names), the current page (from 1) and the button noted when a mouse
  // button went down on the picture (0 for none).
  std::string folder;
  std::vector<std::string> pages;
  int pageCount = 0;
  int currentPage = 1;
  int pressedButton = 0;

  // Loads page `page` (from 1) and shows it; on failure shows the error and keeps the page. A
  // page the control file counts but does not name fails like a page whose picture is missing.
  bool ShowPage(int page);
  // The name of page `page` (from 1); empty for a page without a name.
  std::string PageName(int page) const;
  // The path of a page's picture or button list.
  std::string PagePath(int page, const char* extension) const;

 private:
  void imgMacroMouseDown(platform::MouseButton button, int x, int y);
  void imgMacroMouseUp(platform::MouseButton button, int x, int y);
  void spdbtnFirstClick();
  void spdbtnPreviousClick();
  void spdbtnNextClick();
  void spdbtnLastClick();
};

// The button under (x, y) on a page picture `pictureHeight` pixels high: five 60-pixel buttons to
// a row, numbered from 1; a picture higher than 250 pixels keeps its first row as a band outside
// the grid, so a click there gives a number below 1.
int MacroButtonAt(int x, int y, int pictureHeight);

// Reads the control file: line 1 is ignored, line 2 starts with the number of pages N, and the
// next N lines name the pages. `pageCount` is N; `pages` holds the names the file has, which may
// be fewer than N when the file ends early (the pages without a name fail only when shown).
// `linesRead` counts the lines completed, also on failure. Fails on a missing file, no number on
// line 2 or N below 1; then `pages` is empty and `pageCount` 0.
bool ReadMacroControl(const std::string& path, std::vector<std::string>& pages, int& pageCount,
                      int& linesRead);

// Reads the command of button `button` (from 1): line `button` of the list. A list with fewer
// lines gives an empty command; a button below 1 reads nothing. Fails only when the file cannot
// be read; `linesRead` counts the lines read.
bool ReadButtonCommand(const std::string& path, int button, std::string& command, int& linesRead);

// How a button's command runs, decided by its extension (from the last dot, compared exactly).
enum class MacroCommandKind { Nothing, Program, HostMacro };
MacroCommandKind MacroCommandKindOf(const std::string& command);

}  // namespace qxt

// Shows the macro pages; a chosen button runs its host macro or program.
QXT_EXPORT void QXMacro();
