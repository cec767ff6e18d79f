// The text dialog shared by the text, leader and area commands: a memo for the text, and two
// pages of settings, CAD text (the host's stroke fonts) and TrueType text. The selected page is
// the text mode. It is made with the caption "QX Text"; the text and leader commands set their
// own, and the area command keeps whichever the dialog had last. The fields are loaded from the
// configuration record once, when the dialog is made, and stored back on OK; Cancel stores nothing.
#pragma once

#include "platform/forms.h"
#include "text/cad_text_page.h"

namespace qxt {

namespace text_dialog_messages {
inline constexpr const char* kLineWidthInvalid =
    "You entered an invalid value for Line Width.\r\nPlease re-enter a valid number";
inline constexpr const char* kLineWidthRange =
    "The value you entered for line width is out of range (0 - 21.00)\r\nPlease re-enter valid "
    "number.";
}  // namespace text_dialog_messages

class TdlgQXText : public platform::Form {
 public:
  TdlgQXText();

  // The tab set's pages.
  static constexpr int kCadTab = 0;
  static constexpr int kTrueTypeTab = 1;

  platform::Memo& mmText;
  platform::TabSet& TabSet;
  platform::Notebook& ntbkSettings;
  platform::Page& pageCadText;
  platform::Page& pageTrueType;
  CadTextPage cad;  // the "CAD Text" page's fields

  // "True Type" page.
  platform::Label& lblFont;
  platform::Edit& txtFont;
  platform::Label& lblTTSize;
  platform::Label& lblsize;
  platform::Button& btnFontChange;
  platform::GroupBox& grpCursorPosition;
  platform::RadioGroup& rgrpTTVPos;
  platform::RadioGroup& rgrpTTHPos;
  platform::RadioGroup& rgrpTTJus;
  platform::Label& lblTTLineWidth;
  platform::Edit& txtTTLineWidth;
  platform::Label& lblTTOrientation;
  platform::Edit& txtTTOrientation;

  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  void FormActivate(platform::Form& sender);
  void FormResize(platform::Form& sender);
  void TabSetClick(platform::Control& sender);
  void chkWordWrapClick(platform::Control& sender);
  void rgrpCTHJusClick(platform::Control& sender);
  void rgrpTTJusClick(platform::Control& sender);
  void btnFontChangeClick(platform::Control& sender);
  void txtTTLineWidthExit(platform::Control& sender);
  void txtTTOrientationExit(platform::Control& sender);
  void btnOKClick(platform::Control& sender);

  // The memo width for a TrueType block `lineWidth` inches wide, so that the memo wraps where
  // the block will: twice the scroll bar width plus the block width in screen pixels.
  static int TrueTypeMemoWidth(double lineWidth);

 private:
  void LoadFromConfig();
  bool OnTrueTypeTab() const { return TabSet.TabIndex() == kTrueTypeTab; }
  // The font of the TrueType page: face and style of txtFont, size of lblsize.
  platform::Font TrueTypeFont() const;
  void ShowMemoForCadText();
  void ShowMemoForTrueType();
};

}  // namespace qxt
