#include "text/cad_text_settings.h"

#include "core/state.h"

namespace qxt {

namespace {

constexpr int kButtonLeft = 370;

platform::Button& MakeButton(platform::Form& form, const char* name, int top, const char* caption,
                             int modalResult) {
  platform::Button& button = form.Add<platform::Button>(name);
  button.SetBounds(kButtonLeft, top, 84, 25);
  button.SetCaption(caption);
  button.modalResult = modalResult;
  return button;
}

}  // namespace

TdlgCADTextSettings::TdlgCADTextSettings()
    : platform::Form("TdlgCADTextSettings", "Text Settings"),
      cad(*this, nullptr, 8, 12),
      btnOK(MakeButton(*this, "btnOK", 8, "OK", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", 38, "Cancel", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", 68, "&Help", platform::ModalResult::None)) {
  helpContext = 109;
  borderStyle = platform::BorderStyle::Dialog;
  showHint = true;
  SetClientWidth(462);
  SetClientHeight(212);
  btnOK.isDefault = true;
  btnCancel.isCancel = true;
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
