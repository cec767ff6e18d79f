#include "text/symbol_settings.h"

#include <cmath>
#include <optional>
#include <string>

#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "hsi/hsi.h"

namespace qxt {

namespace {

namespace msg = symbol_settings_messages;

// The system's colour for the text of a disabled control.
constexpr platform::Color kGrayText = platform::colors::Gray;

constexpr int kFirstScaleTag = 5;
// The push buttons stand in a column at this left edge.
constexpr int kButtonsLeft = 316;

platform::Edit& MakeField(platform::Form& form, const char* name, platform::Control* parent,
                          int left, int top, int tag) {
  platform::Edit& field = Make<platform::Edit>(form, name, parent, left, top, 56, 21);
  field.tag = tag;
  return field;
}

// A scale field shows the magnitude; its mirror box the sign.
void ShowScale(platform::Edit& field, platform::CheckBox& mirror, double scale) {
  field.SetText(RealToText(std::fabs(scale)));
  mirror.SetChecked(scale < 0);
}

double StoredScale(const platform::Edit& field, const platform::CheckBox& mirror) {
  const double magnitude = std::fabs(TextToReal(field.Text()));
  return mirror.Checked() ? -magnitude : magnitude;
}

void EnableGroup(platform::GroupBox& group, bool enabled) {
  group.SetEnabled(enabled);
  group.font.color = enabled ? platform::colors::WindowText : kGrayText;
}

}  // namespace

TdlgSymbolSettings::TdlgSymbolSettings()
    : platform::Form("TdlgSymbolSettings", "QX Symbol Settings"),
      grp2D(Make<platform::GroupBox>(*this, "grp2D", nullptr, 8, 8, 296, 84, "&2D Settings")),
      lbl2DRotation(
          Make<platform::Label>(*this, "lbl2DRotation", &grp2D, 10, 24, 60, 16, "&Rotation:")),
      txt2DRotation(MakeField(*this, "txt2DRotation", &grp2D, 74, 20, 1)),
      lbl2DScale(Make<platform::Label>(*this, "lbl2DScale", &grp2D, 10, 52, 60, 16, "&Scale:")),
      txt2DScale(MakeField(*this, "txt2DScale", &grp2D, 74, 48, 5)),
      chk2DXMirror(
          Make<platform::CheckBox>(*this, "chk2DXMirror", &grp2D, 160, 22, 100, 17, "Mirror &X")),
      chk2DYMirror(
          Make<platform::CheckBox>(*this, "chk2DYMirror", &grp2D, 160, 50, 100, 17, "Mirror &Y")),
      grp3D(Make<platform::GroupBox>(*this, "grp3D", nullptr, 8, 100, 296, 124, "&3D Settings")),
      lbl3DRotation(
          Make<platform::Label>(*this, "lbl3DRotation", &grp3D, 40, 18, 60, 16, "Rotation")),
      lbl3DScale(Make<platform::Label>(*this, "lbl3DScale", &grp3D, 110, 18, 60, 16, "Scale")),
      lbl3DMirror(Make<platform::Label>(*this, "lbl3DMirror", &grp3D, 180, 18, 60, 16, "Mirror")),
      lbl3DX(Make<platform::Label>(*this, "lbl3DX", &grp3D, 10, 40, 24, 16, "&X:")),
      lbl3DY(Make<platform::Label>(*this, "lbl3DY", &grp3D, 10, 66, 24, 16, "&Y:")),
      lbl3DZ(Make<platform::Label>(*this, "lbl3DZ", &grp3D, 10, 92, 24, 16, "&Z:")),
      txt3DXRotation(MakeField(*this, "txt3DXRotation", &grp3D, 40, 36, 2)),
      txt3DYRotation(MakeField(*this, "txt3DYRotation", &grp3D, 40, 62, 3)),
      txt3DZRotation(MakeField(*this, "txt3DZRotation", &grp3D, 40, 88, 4)),
      txt3DXScale(MakeField(*this, "txt3DXScale", &grp3D, 110, 36, 6)),
      txt3DYScale(MakeField(*this, "txt3DYScale", &grp3D, 110, 62, 7)),
      txt3DZScale(MakeField(*this, "txt3DZScale", &grp3D, 110, 88, 8)),
      chk3DXMirror(Make<platform::CheckBox>(*this, "chk3DXMirror", &grp3D, 190, 38, 17, 17)),
      chk3DYMirror(Make<platform::CheckBox>(*this, "chk3DYMirror", &grp3D, 190, 64, 17, 17)),
      chk3DZMirror(Make<platform::CheckBox>(*this, "chk3DZMirror", &grp3D, 190, 90, 17, 17)),
      btnOK(MakeButton(*this, "btnOK", kButtonsLeft, 12, "OK", platform::ModalResult::OK)),
      btnDone(
          MakeButton(*this, "btnDone", kButtonsLeft, 42, "&Done", platform::ModalResult::Cancel)),
      btnSymbols(MakeButton(*this, "btnSymbols", kButtonsLeft, 72, "&Symbols", kSymbolsResult)),
      btnHelp(
          MakeButton(*this, "btnHelp", kButtonsLeft, 102, "&Help", platform::ModalResult::None)) {
  helpContext = 113;
  borderStyle = platform::BorderStyle::Dialog;
  showHint = true;
  SetClientWidth(408);
  SetClientHeight(232);

  txt2DRotation.hint = "Symbol rotation in degrees (0-360)";
  txt2DRotation.maxLength = 6;
  txt2DScale.hint = "Scale of symbol";
  txt2DScale.maxLength = 6;
  lbl2DRotation.focusControl = &txt2DRotation;
  lbl2DScale.focusControl = &txt2DScale;
  lbl3DX.focusControl = &txt3DXRotation;
  lbl3DY.focusControl = &txt3DYRotation;
  lbl3DZ.focusControl = &txt3DZRotation;

  btnOK.isDefault = true;
  btnDone.isCancel = true;
  // Done and Symbols leave without using the fields, so they leave without their checks.
  btnDone.causesValidation = false;
  btnSymbols.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  OnShow = [this](platform::Form& sender) { FormShow(sender); };
  for (platform::Edit* field : {&txt2DRotation, &txt2DScale, &txt3DXRotation, &txt3DYRotation,
                                &txt3DZRotation, &txt3DXScale, &txt3DYScale, &txt3DZScale}) {
    field->OnExit = [this](platform::Control& sender) { txtExit(sender); };
  }
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };
}

void TdlgSymbolSettings::Load(const SymbolInfo& info, std::uint16_t mode) {
  txt2DRotation.SetText(RealToText(info.rotation2D));
  ShowScale(txt2DScale, chk2DXMirror, info.scaleX2D);
  chk2DYMirror.SetChecked(info.scaleY2D < 0);
  txt3DXRotation.SetText(RealToText(info.rotationX3D));
  txt3DYRotation.SetText(RealToText(info.rotationY3D));
  txt3DZRotation.SetText(RealToText(info.rotationZ3D));
  ShowScale(txt3DXScale, chk3DXMirror, info.scaleX3D);
  ShowScale(txt3DYScale, chk3DYMirror, info.scaleY3D);
  ShowScale(txt3DZScale, chk3DZMirror, info.scaleZ3D);

  const bool in2D = mode == HSI_MODE_2D;
  EnableGroup(grp2D, in2D);
  EnableGroup(grp3D, !in2D);
}

SymbolInfo TdlgSymbolSettings::Stored() const {
  SymbolInfo info;
  info.rotation2D = TextToReal(txt2DRotation.Text());
  // One magnitude for both 2D axes; each mirror box turns its own axis.
  const double magnitude = std::fabs(TextToReal(txt2DScale.Text()));
  info.scaleX2D = chk2DXMirror.Checked() ? -magnitude : magnitude;
  info.scaleY2D = chk2DYMirror.Checked() ? -magnitude : magnitude;
  info.rotationX3D = TextToReal(txt3DXRotation.Text());
  info.rotationY3D = TextToReal(txt3DYRotation.Text());
  info.rotationZ3D = TextToReal(txt3DZRotation.Text());
  info.scaleX3D = StoredScale(txt3DXScale, chk3DXMirror);
  info.scaleY3D = StoredScale(txt3DYScale, chk3DYMirror);
  info.scaleZ3D = StoredScale(txt3DZScale, chk3DZMirror);
  return info;
}

void TdlgSymbolSettings::FormShow(platform::Form&) {
  platform::Edit& first = grp2D.Enabled() ? txt2DRotation : txt3DXRotation;
  first.SetFocus();
  first.SelectAll();
}

bool TdlgSymbolSettings::CheckField(platform::Edit& field) {
  const std::optional<double> value = ParseReal(field.Text());
  const char* warning = nullptr;
  if (!value) {
    warning = msg::kNotANumber;
  } else if (field.tag >= kFirstScaleTag) {
    if (*value <= 0) warning = msg::kScaleNotPositive;
  } else if (*value > 360 || *value < -360) {
    warning = msg::kRotationRange;
  }
  if (warning == nullptr) return true;
  ShowWarning(warning);
  field.SetFocus();
  field.SelectAll();
  return false;
}

void TdlgSymbolSettings::txtExit(platform::Control& sender) {
  if (auto* field = dynamic_cast<platform::Edit*>(&sender)) CheckField(*field);
}

void TdlgSymbolSettings::btnOKClick(platform::Control&) {
  // A field still holding the focus (OK pressed with the Enter key) was never left: check it
  // now, and keep the dialog open on a refused entry rather than store it.
  if (auto* field = dynamic_cast<platform::Edit*>(ActiveControl())) {
    if (!CheckField(*field)) SetModalResult(platform::ModalResult::None);
  }
}

int EditSymbolSettings(SymbolInfo& info, std::uint16_t mode) {
  TdlgSymbolSettings& dialog = *State().forms->dlgSymbolSettings;
  dialog.Load(info, mode);
  const int result = dialog.ShowModal();
  if (result == platform::ModalResult::OK) {
    info = dialog.Stored();
    return 0;
  }
  return result == platform::ModalResult::Cancel ? 1 : 2;
}

}  // namespace qxt
