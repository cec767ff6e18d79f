#include "core/scale_dialog.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "core/units.h"
#include "hsi/hsi.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 108;
constexpr int kArchSlots = 14;
constexpr int kEngSlots = 10;
constexpr int kMetricSlots = 12;
constexpr int kUnitFtIn = 0, kUnitInches = 1, kUnitFeet = 2;
constexpr int kMetricMillimetres = 0, kMetricCentimetres = 1, kMetricMetres = 2;
constexpr int kEngDecimal = 1;  // the engineering display mode other than fractions (0)
// The accuracy fields' ranges: fractions of 1/1 to 1/1024, up to 10 decimal places (4 metric).
constexpr int32_t kMaxDenominator = 1024;
constexpr int32_t kMaxEngPlaces = 10;
constexpr int32_t kMaxMetricPlaces = 4;

constexpr const char* kNoDrawingUnits =
    "The scale you chose gives no drawing units per unit.\r\nCheck the smallest unit in QX Setup.";
constexpr const char* kAccuracyNotPowerOfTwo =
    "The accuracy must be a power of two (2, 4, 8 ... 1024).";

constexpr int kMargin = 8;
constexpr int kNotebookWidth = 400;
constexpr int kNotebookHeight = 340;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

platform::Button& MakeButton(platform::Form& form, const char* name, int top, const char* caption,
                             int modalResult) {
  platform::Button& button = Make<platform::Button>(
      form, name, nullptr, 2 * kMargin + kNotebookWidth, top, kButtonWidth, kButtonHeight, caption);
  button.modalResult = modalResult;
  return button;
}

// The host's unit type for a display-unit item (Ft-In, Inches, Feet).
uint16_t UnitTypeOf(int32_t displayUnit) {
  switch (displayUnit) {
    case kUnitInches:
      return HSI_UNIT_INCHES;
    case kUnitFeet:
      return HSI_UNIT_FEET;
    default:
      return HSI_UNIT_FEET_INCHES;
  }
}

int16_t ToInt16(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// Fills a scale group with the listed captions.
void FillGroup(platform::RadioGroup& group, const ScaleEntry* entries, std::size_t slots) {
  group.items.clear();
  const int count = ListedScales(entries, slots);
  for (int i = 0; i < count; ++i) group.items.push_back(entries[i].Display.Get());
}

TdlgQXScale& Dialog() { return *State().forms->dlgQXScale; }

}  // namespace

int ListedScales(const ScaleEntry* entries, std::size_t slots) {
  int count = 0;
  while (static_cast<std::size_t>(count) < slots && !entries[count].Display.Empty()) ++count;
  return count;
}

int NearestScale(const ScaleEntry* entries, int count, double scale) {
  int best = -1;
  double bestDifference = 1e9;
  for (int i = 0; i < count; ++i) {
    const double difference = std::fabs(double(entries[i].Scale) - scale);
    // A later entry wins only when strictly nearer, so ties keep the first.
    if (difference < bestDifference) {
      best = i;
      bestDifference = difference;
    }
  }
  // Nothing within reach (a scale that is no number): the first entry, as the list opens.
  if (best < 0 && count > 0) best = 0;
  return best;
}

TdlgQXScale::TdlgQXScale()
    : platform::Form("TdlgQXScale", "QX Scale"),
      tbkScales(Make<platform::PageControl>(*this, "tbkScales", nullptr, kMargin, kMargin,
                                            kNotebookWidth, kNotebookHeight)),
      pageArch(tbkScales.AddPage("&Architectural")),
      pageEng(tbkScales.AddPage("&Engineering")),
      pageMetric(tbkScales.AddPage("&Metric")),
      rgrpArchScales(Make<platform::RadioGroup>(*this, "rgrpArchScales", &pageArch, 8, 8, 180, 296,
                                                "Plot &Scale")),
      rgrpArchDisplayUnit(Make<platform::RadioGroup>(*this, "rgrpArchDisplayUnit", &pageArch, 200,
                                                     8, 180, 84, "&Display Units")),
      lblArchAccuracy(Make<platform::Label>(*this, "lblArchAccuracy", &pageArch, 200, 104, 180, 16,
                                            "&Fractional Accuracy:")),
      lblArchNumerator(
          Make<platform::Label>(*this, "lblArchNumerator", &pageArch, 200, 126, 16, 16, "1/")),
      txtArchAccuracy(
          Make<TLongEdit>(*this, "txtArchAccuracy", &pageArch, 218, 122, 60, kNumEditHeight)),
      rgrpEngScales(Make<platform::RadioGroup>(*this, "rgrpEngScales", &pageEng, 8, 8, 180, 230,
                                               "Plot &Scale")),
      rgrpEngDisplayUnit(Make<platform::RadioGroup>(*this, "rgrpEngDisplayUnit", &pageEng, 200, 8,
                                                    180, 84, "&Display Units")),
      rgrpEngDisplayMode(Make<platform::RadioGroup>(*this, "rgrpEngDisplayMode", &pageEng, 200, 100,
                                                    180, 64, "Display &Mode")),
      lblEngAccuracy(Make<platform::Label>(*this, "lblEngAccuracy", &pageEng, 200, 176, 180, 16,
                                           "&Fractional Accuracy:")),
      lblEngNumerator(
          Make<platform::Label>(*this, "lblEngNumerator", &pageEng, 200, 198, 16, 16, "1/")),
      txtEngAccuracy(
          Make<TLongEdit>(*this, "txtEngAccuracy", &pageEng, 218, 194, 60, kNumEditHeight)),
      rgrpMetricScales(Make<platform::RadioGroup>(*this, "rgrpMetricScales", &pageMetric, 8, 8, 180,
                                                  270, "Plot &Scale")),
      rgrpMetricDisplayUnit(Make<platform::RadioGroup>(*this, "rgrpMetricDisplayUnit", &pageMetric,
                                                       200, 8, 180, 84, "&Display Units")),
      lblMetricAccuracy(Make<platform::Label>(*this, "lblMetricAccuracy", &pageMetric, 200, 104,
                                              120, 16, "Decimal &Places:")),
      txtMetricAccuracy(
          Make<TLongEdit>(*this, "txtMetricAccuracy", &pageMetric, 322, 100, 40, kNumEditHeight)),
      btnOK(MakeButton(*this, "btnOK", kMargin + 22, "OK", platform::ModalResult::None)),
      btnCancel(
          MakeButton(*this, "btnCancel", kMargin + 54, "Cancel", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", kMargin + 86, "&Help", platform::ModalResult::None)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(3 * kMargin + kNotebookWidth + kButtonWidth);
  SetClientHeight(2 * kMargin + kNotebookHeight);

  const std::vector<std::string> displayUnits = {"&Ft-In", "&Inches", "F&eet"};
  rgrpArchDisplayUnit.items = displayUnits;
  rgrpEngDisplayUnit.items = displayUnits;
  rgrpEngDisplayMode.items = {"&Fractional", "&Decimal"};
  rgrpMetricDisplayUnit.items = {"&Millimeter", "&Centimeter", "M&eter"};

  lblArchAccuracy.focusControl = &txtArchAccuracy;
  lblEngAccuracy.focusControl = &txtEngAccuracy;
  lblMetricAccuracy.focusControl = &txtMetricAccuracy;
  txtArchAccuracy.MinimumValue = 1;
  txtArchAccuracy.MaximumValue = kMaxDenominator;
  txtArchAccuracy.SetValue(32);
  txtEngAccuracy.MinimumValue = 1;
  txtEngAccuracy.MaximumValue = kMaxDenominator;
  txtEngAccuracy.SetValue(32);
  txtMetricAccuracy.MinimumValue = 0;
  txtMetricAccuracy.MaximumValue = kMaxMetricPlaces;
  txtMetricAccuracy.maxLength = 1;
  txtMetricAccuracy.SetValue(2);

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kHelpContext;

  rgrpEngDisplayMode.OnClick = [this](platform::Control& sender) {
    rgrpEngDisplayModeClick(sender);
  };
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };
  txtArchAccuracy.OnExit = [this](platform::Control& sender) { txtAccuracyExit(sender); };
  txtEngAccuracy.OnExit = [this](platform::Control& sender) { txtAccuracyExit(sender); };

  FillLists();
}

void TdlgQXScale::FillLists() {
  const QXConfig& config = Config();
  FillGroup(rgrpArchScales, config.ArchScales, kArchSlots);
  FillGroup(rgrpEngScales, config.EngScales, kEngSlots);
  FillGroup(rgrpMetricScales, config.MetricScales, kMetricSlots);
}

void TdlgQXScale::ShowHostSettings() {
  QXConfig& config = Config();
  const uint16_t unitType = HsiGetUnitType();
  const double drawingScale = HsiGetDwgScale();

  // Each list selects its entry nearest to the drawing scale, in the list's own terms. A list
  // without entries keeps its stored index.
  auto select = [](platform::RadioGroup& group, const ScaleEntry* entries, double scale,
                   int32_t stored) {
    const int index = NearestScale(entries, static_cast<int>(group.items.size()), scale);
    const int32_t chosen = index >= 0 ? index : stored;
    group.SetItemIndex(chosen);
    return chosen;
  };
  config.ArchScaleIndex =
      select(rgrpArchScales, config.ArchScales, drawingScale, config.ArchScaleIndex);
  // Engineering scales are feet per inch: a drawing in feet is matched in inches.
  const double engScale = unitType == HSI_UNIT_FEET ? drawingScale * 12 : drawingScale;
  config.EngScaleIndex = select(rgrpEngScales, config.EngScales, engScale, config.EngScaleIndex);

  double metricScale = drawingScale;
  if (unitType == HSI_UNIT_MILLIMETRES) {
    config.MetricUnit = kMetricMillimetres;
    metricScale = RoundHalfEven(drawingScale / 10);
  } else if (unitType == HSI_UNIT_CENTIMETRES) {
    config.MetricUnit = kMetricCentimetres;
  } else if (unitType == HSI_UNIT_METRES) {
    config.MetricUnit = kMetricMetres;
    metricScale = drawingScale * 100;
  }
  config.MetricScaleIndex =
      select(rgrpMetricScales, config.MetricScales, metricScale, config.MetricScaleIndex);

  if (unitType == HSI_UNIT_INCHES) {
    config.ArchUnit = kUnitInches;
  } else if (unitType == HSI_UNIT_FEET) {
    config.ArchUnit = kUnitFeet;
  } else if (unitType == HSI_UNIT_FEET_INCHES) {
    config.ArchUnit = kUnitFtIn;
  }
  config.EngUnit = config.ArchUnit;
  rgrpArchDisplayUnit.SetItemIndex(config.ArchUnit);
  rgrpEngDisplayUnit.SetItemIndex(config.EngUnit);
  rgrpMetricDisplayUnit.SetItemIndex(config.MetricUnit);

  txtArchAccuracy.SetValue(config.ArchDenominator);
  // Selecting the mode shows its accuracy; selecting the mode already selected fires nothing.
  const int32_t mode = config.EngDisplayMode;
  if (rgrpEngDisplayMode.ItemIndex() == mode) {
    rgrpEngDisplayModeClick(rgrpEngDisplayMode);
  } else {
    rgrpEngDisplayMode.SetItemIndex(mode);
    if (rgrpEngDisplayMode.ItemIndex() != mode) rgrpEngDisplayModeClick(rgrpEngDisplayMode);
  }

  config.MetricPrecision = HsiGetDispPrecision();
  txtMetricAccuracy.SetValue(config.MetricPrecision);
  tbkScales.SetPageIndex(config.ScalePage);
}

void TdlgQXScale::rgrpEngDisplayModeClick(platform::Control&) {
  QXConfig& config = Config();
  if (rgrpEngDisplayMode.ItemIndex() == kEngDecimal) {
    config.EngPrecision = HsiGetDispPrecision();
    lblEngAccuracy.SetCaption("Decimal &Places:");
    lblEngNumerator.Hide();
    txtEngAccuracy.MinimumValue = 0;
    txtEngAccuracy.MaximumValue = kMaxEngPlaces;
    txtEngAccuracy.SetValue(config.EngPrecision);
  } else {
    config.EngDenominator = HsiGetDispDenom();
    lblEngAccuracy.SetCaption("&Fractional Accuracy:");
    lblEngNumerator.Show();
    txtEngAccuracy.MinimumValue = 1;
    txtEngAccuracy.MaximumValue = kMaxDenominator;
    txtEngAccuracy.SetValue(config.EngDenominator);
  }
}

void TdlgQXScale::StoreSettings() {
  QXConfig& config = Config();
  // A list without entries has nothing selected: its stored index stays.
  if (rgrpArchScales.ItemIndex() >= 0) config.ArchScaleIndex = rgrpArchScales.ItemIndex();
  if (rgrpEngScales.ItemIndex() >= 0) config.EngScaleIndex = rgrpEngScales.ItemIndex();
  if (rgrpMetricScales.ItemIndex() >= 0) config.MetricScaleIndex = rgrpMetricScales.ItemIndex();
  config.ArchUnit = rgrpArchDisplayUnit.ItemIndex();
  config.EngUnit = rgrpEngDisplayUnit.ItemIndex();
  config.MetricUnit = rgrpMetricDisplayUnit.ItemIndex();
  // OK pressed with the Enter key leaves a field unchecked: its value is kept to its range here.
  config.ArchDenominator = txtArchAccuracy.Clamp(txtArchAccuracy.Value());
  config.EngDisplayMode = rgrpEngDisplayMode.ItemIndex();
  const int32_t engAccuracy = txtEngAccuracy.Clamp(txtEngAccuracy.Value());
  if (config.EngDisplayMode == kEngDecimal) {
    config.EngPrecision = engAccuracy;
  } else {
    config.EngDenominator = engAccuracy;
  }
  config.MetricPrecision = txtMetricAccuracy.Clamp(txtMetricAccuracy.Value());
  config.ScalePage = tbkScales.PageIndex();
}

bool IsPowerOfTwo(int32_t value) { return value > 0 && (value & (value - 1)) == 0; }

bool TdlgQXScale::AcceptDenominator(TLongEdit& field) {
  if (IsPowerOfTwo(field.Clamp(field.Value()))) return true;
  ShowWarning(kAccuracyNotPowerOfTwo);
  tbkScales.SetPageIndex(&field == &txtArchAccuracy ? kArchPage : kEngPage);
  field.SetFocus();
  field.SelectAll();
  return false;
}

void TdlgQXScale::txtAccuracyExit(platform::Control& sender) {
  // The engineering field holds decimal places in decimal mode: any number of them will do.
  if (&sender == &txtEngAccuracy && rgrpEngDisplayMode.ItemIndex() == kEngDecimal) return;
  AcceptDenominator(&sender == &txtArchAccuracy ? txtArchAccuracy : txtEngAccuracy);
}

void TdlgQXScale::btnOKClick(platform::Control&) {
  // OK pressed with the Enter key leaves a field unchecked: the accuracies are checked here too.
  if (!AcceptDenominator(txtArchAccuracy)) return;
  if (rgrpEngDisplayMode.ItemIndex() != kEngDecimal && !AcceptDenominator(txtEngAccuracy)) return;
  // An entry whose scale is no positive number (a cell Setup could not read) cannot be applied
  // nor returned: the user picks another entry or corrects it in Setup.
  if (const ScaleEntry* entry = SelectedEntry(); entry && !SelectedScale()) {
    ShowWarning("The scale of " + entry->Display.Get() +
                " is not a number.\r\nCorrect it in QX Setup.");
    return;
  }
  SetModalResult(platform::ModalResult::OK);
}

const ScaleEntry* TdlgQXScale::SelectedEntry() const {
  const QXConfig& config = Config();
  switch (tbkScales.PageIndex()) {
    case kArchPage:
      return rgrpArchScales.ItemIndex() < 0 ? nullptr
                                            : &config.ArchScales[rgrpArchScales.ItemIndex()];
    case kEngPage:
      return rgrpEngScales.ItemIndex() < 0 ? nullptr : &config.EngScales[rgrpEngScales.ItemIndex()];
    case kMetricPage:
      return rgrpMetricScales.ItemIndex() < 0 ? nullptr
                                              : &config.MetricScales[rgrpMetricScales.ItemIndex()];
    default:
      return nullptr;
  }
}

std::optional<double> TdlgQXScale::SelectedScale() const {
  const ScaleEntry* entry = SelectedEntry();
  if (!entry) return std::nullopt;
  const double scale = entry->Scale;
  if (!std::isfinite(scale) || scale <= 0) return std::nullopt;
  return scale;
}

double ScalePointsPerUnit(int page, double s) {
  const QXConfig& config = Config();
  const double points = config.PointsPerUnit;
  switch (page) {
    case TdlgQXScale::kArchPage:
      return RoundHalfEven(points / s) * (config.ArchUnit == kUnitFeet ? 12 : 1);
    case TdlgQXScale::kEngPage:
      return RoundHalfEven(points / s) * (config.EngUnit == kUnitFeet ? 12 : 1);
    case TdlgQXScale::kMetricPage: {
      const double e = RoundHalfEven(points / s);
      if (config.MetricUnit == kMetricMillimetres) return RoundHalfEven(e / 10);
      if (config.MetricUnit == kMetricMetres) return e * 100;
      return e;
    }
    default:
      return 0;
  }
}

void ApplyArchitectural(double s) {
  const QXConfig& config = Config();
  const int32_t unit = config.ArchUnit;
  HsiSetPntsPerUnit(RoundToInt32(ScalePointsPerUnit(TdlgQXScale::kArchPage, s)));
  HsiSetScaledUnits(HSI_SCALED_FRACTIONS);
  HsiSetPaperUnit(HSI_UNIT_INCHES);
  HsiSetPlotScale(s);
  HsiSetDwgScale(s);
  HsiSetUnitType(UnitTypeOf(unit));
  HsiSetDispDenom(ToInt16(config.ArchDenominator));
}

void ApplyEngineering(double s) {
  const QXConfig& config = Config();
  const int32_t unit = config.EngUnit;
  HsiSetPntsPerUnit(RoundToInt32(ScalePointsPerUnit(TdlgQXScale::kEngPage, s)));
  if (config.EngDisplayMode == kEngDecimal) {
    HsiSetScaledUnits(HSI_SCALED_DECIMALS);
    HsiSetDispPrecision(ToInt16(config.EngPrecision));
  } else {
    HsiSetScaledUnits(HSI_SCALED_FRACTIONS);
    HsiSetDispDenom(ToInt16(config.EngDenominator));
  }
  HsiSetPaperUnit(HSI_UNIT_INCHES);
  HsiSetPlotScale(s);
  // A drawing in feet keeps its lengths in feet: its drawing scale is feet per inch.
  HsiSetDwgScale(unit == kUnitFeet ? s / 12 : s);
  HsiSetUnitType(UnitTypeOf(unit));
}

void ApplyMetric(double s) {
  const QXConfig& config = Config();
  const int32_t unit = config.MetricUnit;
  HsiSetPntsPerUnit(RoundToInt32(ScalePointsPerUnit(TdlgQXScale::kMetricPage, s)));
  HsiSetScaledUnits(HSI_SCALED_DECIMALS);
  HsiSetPaperUnit(HSI_UNIT_CENTIMETRES);
  HsiSetDwgScale(s);
  if (unit == kMetricMillimetres) {
    HsiSetUnitType(HSI_UNIT_MILLIMETRES);
    HsiSetPlotScale(s);
    HsiSetDwgScale(s * 10);
  } else if (unit == kMetricCentimetres) {
    HsiSetUnitType(HSI_UNIT_CENTIMETRES);
    HsiSetPlotScale(s);
    HsiSetDwgScale(s);
  } else if (unit == kMetricMetres) {
    HsiSetUnitType(HSI_UNIT_METRES);
    HsiSetPlotScale(s);
    HsiSetDwgScale(s / 100);
  }
  HsiSetDispPrecision(ToInt16(config.MetricPrecision));
}

namespace {

// Shows the dialog set from the host; true when it ended with OK.
bool ShowScaleDialog() {
  TdlgQXScale& dialog = Dialog();
  dialog.FillLists();
  dialog.ShowHostSettings();
  return dialog.ShowModal() == platform::ModalResult::OK;
}

}  // namespace

}  // namespace qxt

QXT_EXPORT void QXScale() {
  using namespace qxt;
  if (!ToolsReady()) return;
  SwitchHintsOn();
  if (!ShowScaleDialog()) return;
  TdlgQXScale& dialog = Dialog();
  dialog.StoreSettings();
  // An entry that is no scale (an empty slot, a damaged record) is never applied: it would
  // divide by zero.
  const std::optional<double> scale = dialog.SelectedScale();
  if (!scale) return;
  // A smallest unit of 0, or a scale so small that the unit rounds away, leaves no drawing units
  // per unit: the host would refuse them and the other settings alone would misread every length.
  if (!(ScalePointsPerUnit(Config().ScalePage, *scale) >= 1)) {
    ShowWarning(kNoDrawingUnits);
    return;
  }
  switch (Config().ScalePage) {
    case TdlgQXScale::kArchPage:
      ApplyArchitectural(*scale);
      break;
    case TdlgQXScale::kEngPage:
      ApplyEngineering(*scale);
      break;
    case TdlgQXScale::kMetricPage:
      ApplyMetric(*scale);
      break;
    default:
      break;
  }
}

QXT_EXPORT double GetScale() {
  using namespace qxt;
  if (!StateExists()) return 0;
  if (!ShowScaleDialog()) return 0;
  return Dialog().SelectedScale().value_or(0);
}
