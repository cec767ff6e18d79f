// Rotation, scale and mirroring of the symbols being placed, opened with the second mouse button
// while placing. Each scale shows as its magnitude with a "Mirror" box for its sign. Only the
// group of the symbol group's mode (2D or 3D) can be edited, but OK stores both.
#pragma once

#include <cstdint>

#include "core/symbols.h"
#include "platform/forms.h"

namespace qxt {

namespace symbol_settings_messages {
inline constexpr const char* kNotANumber =
    "The text you entered in not a valid number.\r\nPlease re-enter a valid number";
inline constexpr const char* kScaleNotPositive =
    "The value for symbol scale must be greater than zero.\r\nPlease re-enter valid number.";
inline constexpr const char* kRotationRange =
    "The value you entered for rotation is out of range (-360 to +360)\r\nPlease re-enter valid "
    "number.";
}  // namespace symbol_settings_messages

// The dialog's own modal result for its Symbols button.
inline constexpr int kSymbolsResult = 6;

class TdlgSymbolSettings : public platform::Form {
 public:
  TdlgSymbolSettings();

  platform::GroupBox& grp2D;
  platform::Label& lbl2DRotation;
  platform::Edit& txt2DRotation;
  platform::Label& lbl2DScale;
  platform::Edit& txt2DScale;
  platform::CheckBox& chk2DXMirror;
  platform::CheckBox& chk2DYMirror;

  platform::GroupBox& grp3D;
  platform::Label& lbl3DRotation;
  platform::Label& lbl3DScale;
  platform::Label& lbl3DMirror;
  platform::Label& lbl3DX;
  platform::Label& lbl3DY;
  platform::Label& lbl3DZ;
  platform::Edit& txt3DXRotation;
  platform::Edit& txt3DYRotation;
  platform::Edit& txt3DZRotation;
  platform::Edit& txt3DXScale;
  platform::Edit& txt3DYScale;
  platform::Edit& txt3DZScale;
  platform::CheckBox& chk3DXMirror;
  platform::CheckBox& chk3DYMirror;
  platform::CheckBox& chk3DZMirror;

  platform::Button& btnOK;
  platform::Button& btnDone;
  platform::Button& btnSymbols;
  platform::Button& btnHelp;

  // Fills the fields from `info` and enables the group of `mode` (the host's 2D or 3D code).
  void Load(const SymbolInfo& info, std::uint16_t mode);
  // The fields as settings; a field that is not a number counts as 0.
  SymbolInfo Stored() const;

  void FormShow(platform::Form& sender);
  // The check of every edit field, told apart by its tag (1 to 4 rotations, 5 to 8 scales).
  void txtExit(platform::Control& sender);
  void btnOKClick(platform::Control& sender);

 private:
  // Checks one field; after a warning the field has the focus again with its text selected.
  bool CheckField(platform::Edit& field);
};

// Shows the dialog with `info` for a group of program mode `mode`. Returns 0 after OK, with the
// new settings in `info`; 1 after Done (or closing the dialog); 2 after Symbols, with `info`
// untouched.
int EditSymbolSettings(SymbolInfo& info, std::uint16_t mode);

}  // namespace qxt
