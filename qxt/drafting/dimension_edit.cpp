#include "drafting/dimension_edit.h"

#include "core/form_layout.h"

namespace qxt {

namespace {

platform::Button& MakeButton(platform::Form& form, const char* name, int left, const char* caption,
                             int modalResult) {
  platform::Button& button = Make<platform::Button>(form, name, left, 64, 84, 25, caption);
  button.modalResult = modalResult;
  return button;
}

}  // namespace

TdlgDimEdit::TdlgDimEdit()
    : platform::Form("TdlgDimEdit", "Edit Dimension"),
      lblDimensionText(
          Make<platform::Label>(*this, "lblDimensionText", 8, 12, 120, 16, "Dimension &Text:")),
      txtDimensionText(Make<platform::Edit>(*this, "txtDimensionText", 8, 30, 356, 21, "")),
      btnOK(MakeButton(*this, "btnOK", 8, "OK", platform::ModalResult::OK)),
      btnHelp(MakeButton(*this, "btnHelp", 98, "&Help", platform::ModalResult::None)),
      btnUndoLast(MakeButton(*this, "btnUndoLast", 188, "&Undo Point", kUndoPoint)),
      btnLocateText(MakeButton(*this, "btnLocateText", 278, "&Locate Text", kLocateText)) {
  helpContext = 110;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(372);
  SetClientHeight(98);
  lblDimensionText.focusControl = &txtDimensionText;
  btnOK.isDefault = true;
  btnHelp.kind = platform::Button::Kind::Help;
  OnActivate = [this](platform::Form& sender) { FormActivate(sender); };
}

void TdlgDimEdit::FormActivate(platform::Form&) {
  txtDimensionText.SetFocus();
  txtDimensionText.SelectAll();
}

}  // namespace qxt
