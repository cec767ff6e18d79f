// Edits the text of one dimension while a dimension string is drawn. Besides OK the user may drop
// the point just picked (Undo Point) or keep the text and move it afterwards (Locate Text).
#pragma once

#include "platform/forms.h"

namespace qxt {

class TdlgDimEdit : public platform::Form {
 public:
  TdlgDimEdit();

  // The modal results of the two extra buttons.
  static constexpr int kUndoPoint = 100;
  static constexpr int kLocateText = 101;

  platform::Label& lblDimensionText;
  platform::Edit& txtDimensionText;
  platform::Button& btnOK;
  platform::Button& btnHelp;
  platform::Button& btnUndoLast;
  platform::Button& btnLocateText;

  // The text box takes the focus with all of its text selected, so typing replaces the value.
  void FormActivate(platform::Form& sender);
};

}  // namespace qxt
