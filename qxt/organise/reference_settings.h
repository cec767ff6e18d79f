// Placement settings of reference objects: rotation, mirroring and layers. Shown from the
// placement point prompt with the second button; OK goes on placing with the new settings,
// Done ends placing, New ends placing and shows the manager again.
#pragma once

#include "core/numedit.h"
#include "platform/forms.h"

namespace qxt {

// The modal result of the New button.
inline constexpr int kRefSettingsNew = 6;

class TdlgRefSettings : public platform::Form {
 public:
  TdlgRefSettings();

  platform::GroupBox& grpSymbol;
  platform::Label& lblRotation;
  TDblEdit& dblRotation;
  platform::CheckBox& chkMirrorX;
  platform::CheckBox& chkMirrorY;
  platform::RadioGroup& rgrpLayers;
  platform::Button& btnOK;
  platform::Button& btnDone;
  platform::Button& btnNew;
  platform::Button& btnHelp;

  // Puts the focus on the rotation and selects its text.
  void FormShow(platform::Form& sender);

  // The settings as placement reads them.
  double Rotation() { return dblRotation.Value(); }
  bool StoredLayers() const { return rgrpLayers.ItemIndex() == 1; }
  // Back to rotation 0, no mirroring and the layers choice given (0 active, 1 stored).
  void Reset(int layersOption);
};

}  // namespace qxt
