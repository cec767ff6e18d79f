#include "organise/reference_settings.h"

#include "core/form_layout.h"

namespace qxt {

namespace {

platform::Button& MakeButton(platform::Form& form, const char* name, int top, const char* caption,
                             int modalResult) {
  platform::Button& button = Make<platform::Button>(form, name, nullptr, 232, top, 84, 25, caption);
  button.modalResult = modalResult;
  return button;
}

}  // namespace

TdlgRefSettings::TdlgRefSettings()
    : platform::Form("TdlgRefSettings", "QX Reference Settings"),
      grpSymbol(Make<platform::GroupBox>(*this, "grpSymbol", nullptr, 8, 8, 212, 100,
                                         "&Reference Symbol")),
      lblRotation(
          Make<platform::Label>(*this, "lblRotation", &grpSymbol, 12, 24, 64, 16, "Rotation :")),
      dblRotation(Make<TDblEdit>(*this, "dblRotation", &grpSymbol, 84, 20, 112, 25)),
      chkMirrorX(
          Make<platform::CheckBox>(*this, "chkMirrorX", &grpSymbol, 12, 52, 180, 20, "Mirror &X")),
      chkMirrorY(
          Make<platform::CheckBox>(*this, "chkMirrorY", &grpSymbol, 12, 74, 180, 20, "Mirror &Y")),
      rgrpLayers(
          Make<platform::RadioGroup>(*this, "rgrpLayers", nullptr, 8, 116, 212, 64, "&Layers")),
      btnOK(MakeButton(*this, "btnOK", 8, "OK", platform::ModalResult::OK)),
      btnDone(MakeButton(*this, "btnDone", 38, "&Done", platform::ModalResult::Cancel)),
      btnNew(MakeButton(*this, "btnNew", 68, "&New", kRefSettingsNew)),
      btnHelp(MakeButton(*this, "btnHelp", 98, "&Help", platform::ModalResult::None)) {
  helpContext = 112;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(324);
  SetClientHeight(188);

  lblRotation.focusControl = &dblRotation;
  dblRotation.MinimumValue = -359.99;
  dblRotation.MaximumValue = 359.99;
  dblRotation.ErrorMessage = kDefaultRangeMessage;
  dblRotation.ErrorMessageCaption = kDefaultRangeCaption;
  dblRotation.alignment = platform::Alignment::Right;
  rgrpLayers.items = {"Use &Active Layer", "Use &Stored Layers"};
  rgrpLayers.SetItemIndex(0);

  btnOK.isDefault = true;
  btnDone.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnDone.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  OnShow = [this](platform::Form& sender) { FormShow(sender); };
}

void TdlgRefSettings::FormShow(platform::Form&) {
  dblRotation.SetFocus();
  dblRotation.SelectAll();
}

void TdlgRefSettings::Reset(int layersOption) {
  dblRotation.SetValue(0.0);
  chkMirrorX.SetChecked(false);
  chkMirrorY.SetChecked(false);
  rgrpLayers.SetItemIndex(layersOption == 1 ? 1 : 0);
}

}  // namespace qxt
