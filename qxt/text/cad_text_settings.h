// Edits only the CAD text settings of the configuration, without a text memo (opened from quick
// text). Its fields and checks are those of the text dialog's "CAD Text" page; they are filled
// from the configuration record every time the dialog is activated and stored on OK.
#pragma once

#include "platform/forms.h"
#include "text/cad_text_page.h"

namespace qxt {

class TdlgCADTextSettings : public platform::Form {
 public:
  TdlgCADTextSettings();

  CadTextPage cad;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  void FormActivate(platform::Form& sender);
  void btnOKClick(platform::Control& sender);
};

}  // namespace qxt
