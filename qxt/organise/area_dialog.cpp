#include "organise/area_dialog.h"

#include <array>

#include "core/form_layout.h"

namespace qxt {

namespace {

constexpr std::array<const char*, kAreaUnitCount> kSuffixes = {" Sq. In.", " Sq. Ft.", " Sq. Yd.",
                                                               " mm2",     " cm2",     " m2"};

constexpr int kDefaultUnit = static_cast<int>(AreaUnit::SquareFeet);
constexpr int kDefaultDecimals = 2;

platform::Button& MakeButton(platform::Form& form, const char* name, int top, const char* caption,
                             int modalResult) {
  platform::Button& button = Make<platform::Button>(form, name, 236, top, 75, 25, caption);
  button.modalResult = modalResult;
  return button;
}

}  // namespace

const char* AreaUnitSuffix(AreaUnit unit) {
  const auto index = static_cast<std::size_t>(unit);
  return index < kSuffixes.size() ? kSuffixes[index] : "";
}

TdlgQXArea::TdlgQXArea()
    : platform::Form("TdlgQXArea", "QX Area"),
      rgrpAreaUnits(
          Make<platform::RadioGroup>(*this, "rgrpAreaUnits", 8, 8, 220, 96, "Area &Units")),
      lblSuffix(Make<platform::Label>(*this, "lblSuffix", 8, 117, 80, 18, "Area &Suffix:")),
      txtSuffix(Make<platform::Edit>(*this, "txtSuffix", 92, 114, 136, 21)),
      lblDecimals(Make<platform::Label>(*this, "lblDecimals", 8, 147, 80, 18, "&Decimals:")),
      txtDecimals(Make<TLongEdit>(*this, "txtDecimals", 92, 144, 50, 25)),
      btnOK(MakeButton(*this, "btnOK", 12, "OK", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", 44, "Cancel", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", 76, "&Help", platform::ModalResult::None)) {
  helpContext = 101;
  // A fixed dialog frame: the system menu is its only border icon.
  borderStyle = platform::BorderStyle::Dialog;
  showHint = true;
  SetClientWidth(320);
  SetClientHeight(180);

  rgrpAreaUnits.columns = 2;
  rgrpAreaUnits.items = {"&Inches", "&Feet", "&Yards", "&Millimeters", "&Centimeters", "M&eters"};
  rgrpAreaUnits.hint = "Select the type of unit to use to calculate the area";
  rgrpAreaUnits.SetItemIndex(kDefaultUnit);

  txtSuffix.SetText(AreaUnitSuffix(AreaUnit::SquareFeet));
  txtSuffix.hint = "Enter a default area units suffix";
  lblSuffix.focusControl = &txtSuffix;

  txtDecimals.MinimumValue = 0;
  txtDecimals.MaximumValue = kMaxAreaDecimals;
  txtDecimals.ErrorMessage = kDecimalsRangeMessage;
  txtDecimals.ErrorMessageCaption = kDecimalsRangeCaption;
  txtDecimals.alignment = platform::Alignment::Right;
  txtDecimals.SetValue(kDefaultDecimals);
  txtDecimals.hint = "Enter the number of decimal places to display";
  lblDecimals.focusControl = &txtDecimals;

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  // Hooked after the defaults are set, so that making the dialog does not go through the click.
  rgrpAreaUnits.OnClick = [this](platform::Control& sender) { rgrpAreaUnitsClick(sender); };
  OnShow = [this](platform::Form& sender) { FormShow(sender); };
}

void TdlgQXArea::rgrpAreaUnitsClick(platform::Control&) {
  const int index = rgrpAreaUnits.ItemIndex();
  if (index < 0 || index >= kAreaUnitCount) return;
  txtSuffix.SetText(AreaUnitSuffix(static_cast<AreaUnit>(index)));
}

void TdlgQXArea::FormShow(platform::Form&) { SetActiveControl(&btnOK); }

AreaUnit TdlgQXArea::Unit() const {
  const int index = rgrpAreaUnits.ItemIndex();
  if (index < 0 || index >= kAreaUnitCount) return AreaUnit::SquareFeet;
  return static_cast<AreaUnit>(index);
}

int TdlgQXArea::Decimals() { return txtDecimals.Clamp(txtDecimals.Value()); }

}  // namespace qxt
