#include "drafting/snap_settings.h"

namespace qxt {

TdlgSnapSettings::TdlgSnapSettings()
    : platform::Form("TdlgSnapSettings", "QX Snap Settings"),
      lblColumns(Add<platform::Label>("lblColumns")),
      sedtColumns(Add<platform::SpinEdit>("sedtColumns")),
      rgrpBorderStyle(Add<platform::RadioGroup>("rgrpBorderStyle")),
      rgrpHorzPos(Add<platform::RadioGroup>("rgrpHorzPos")),
      rgrpVertPos(Add<platform::RadioGroup>("rgrpVertPos")),
      btnOK(Add<platform::Button>("btnOK")),
      btnCancel(Add<platform::Button>("btnCancel")) {
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(300);
  SetClientHeight(230);

  lblColumns.SetCaption("&No. of Columns:");
  lblColumns.focusControl = &sedtColumns;
  lblColumns.SetBounds(8, 12, 100, 16);
  sedtColumns.minValue = 1;
  sedtColumns.maxValue = 21;
  sedtColumns.SetBounds(112, 8, 50, 22);

  rgrpBorderStyle.SetCaption("&Border Style");
  rgrpBorderStyle.items = {"&Movable with Caption", "&Borderless Window"};
  rgrpBorderStyle.SetBounds(8, 40, 284, 60);
  rgrpHorzPos.SetCaption("&Horizontal Position");
  rgrpHorzPos.items = {"&Left", "&Right", "&Last"};
  rgrpHorzPos.SetBounds(8, 106, 138, 80);
  rgrpVertPos.SetCaption("&Vertical Position");
  rgrpVertPos.items = {"&Top", "&Bottom", "&Last"};
  rgrpVertPos.SetBounds(154, 106, 138, 80);

  btnOK.SetCaption("OK");
  btnOK.modalResult = platform::ModalResult::OK;
  btnOK.isDefault = true;
  btnOK.SetBounds(136, 196, 75, 25);
  btnCancel.SetCaption("Cancel");
  btnCancel.modalResult = platform::ModalResult::Cancel;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnCancel.SetBounds(217, 196, 75, 25);
}

}  // namespace qxt
