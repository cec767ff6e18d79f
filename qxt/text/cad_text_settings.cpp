#include "text/cad_text_settings.h"

#include "core/form_layout.h"
#include "core/state.h"

namespace qxt {

namespace {

constexpr int kButtonLeft = 370;

}  // namespace

TdlgCADTextSettings::TdlgCADTextSettings()
    : platform::Form("TdlgCADTextSettings", "Text Settings"),
      cad(*this, nullptr, 8, 12),
      btnOK(MakeButton(*this, "btnOK", kButtonLeft, 8, "OK", platform::ModalResult::OK)),
      btnCancel(
          MakeButton(*this, "btnCancel", kButtonLeft, 38, "Cancel", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", kButtonLeft, 68, "&Help", platform::ModalResult::None)) {
  helpContext = 109;
  borderStyle = platform::BorderStyle::Dialog;
  showHint = true;
  SetClientWidth(462);
  SetClientHeight(212);
  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  OnActivate = [this](platform::Form& sender) { FormActivate(sender); };
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };
}

void TdlgCADTextSettings::FormActivate(platform::Form&) {
  // An edit that was cancelled earlier never shows again.
  cad.Load(Config());
}

void TdlgCADTextSettings::btnOKClick(platform::Control&) {
  // A field still holding the focus (OK pressed with the Enter key) was never left: check it now.
  cad.CheckFocused(ActiveControl());
  cad.Store(Config());
}

}  // namespace qxt
