// The scale command: the drawing's plot scale from the architectural, engineering and metric scale
// lists of the configuration, with the display units and accuracy, applied to the host's unit
// system. GetScale shows the same dialog only to let another dialog pick a scale value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/config.h"
#include "core/export.h"
#include "core/numedit.h"
#include "platform/forms.h"

namespace qxt {

class TdlgQXScale : public platform::Form {
 public:
  TdlgQXScale();

  // The notebook's pages, in ScalePage numbering.
  static constexpr int kArchPage = 0;
  static constexpr int kEngPage = 1;
  static constexpr int kMetricPage = 2;

  platform::PageControl& tbkScales;
  platform::Page& pageArch;
  platform::Page& pageEng;
  platform::Page& pageMetric;

  platform::RadioGroup& rgrpArchScales;
  platform::RadioGroup& rgrpArchDisplayUnit;
  platform::Label& lblArchAccuracy;
  platform::Label& lblArchNumerator;
  TLongEdit& txtArchAccuracy;

  platform::RadioGroup& rgrpEngScales;
  platform::RadioGroup& rgrpEngDisplayUnit;
  platform::RadioGroup& rgrpEngDisplayMode;
  platform::Label& lblEngAccuracy;
  platform::Label& lblEngNumerator;
  TLongEdit& txtEngAccuracy;

  platform::RadioGroup& rgrpMetricScales;
  platform::RadioGroup& rgrpMetricDisplayUnit;
  platform::Label& lblMetricAccuracy;
  TLongEdit& txtMetricAccuracy;

  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // Fills the three scale lists from the configuration, each up to its first empty caption.
  void FillLists();
  // Sets the dialog from the host's unit type and drawing scale, storing what it finds in the
  // configuration at once (so even a cancelled showing leaves it there).
  void ShowHostSettings();
  // The engineering accuracy field for the mode selected: the host's display precision
  // (decimal) or denominator (fractional), stored and shown.
  void rgrpEngDisplayModeClick(platform::Control& sender);
  // Stores the dialog's settings in the configuration (after OK).
  void StoreSettings();
  // OK closes the dialog only when the fractional accuracies are powers of two and the entry
  // selected has a scale that can be applied; otherwise the user is told what to correct.
  void btnOKClick(platform::Control& sender);
  // Leaving a fractional accuracy field warns when its value is no power of two.
  void txtAccuracyExit(platform::Control& sender);

  // The entry selected on the page showing; null when that page has no entry selected.
  const ScaleEntry* SelectedEntry() const;
  // The scale of the entry selected on the page showing; nothing when that page has no entry
  // selected or the entry's scale is not a positive number (it could not be applied).
  std::optional<double> SelectedScale() const;

 private:
  // True when `field` holds a fractional accuracy the host can show (a power of two); otherwise
  // warns, shows the field's page and puts the focus back into the field.
  bool AcceptDenominator(TLongEdit& field);
};

// The index of the entry whose scale is nearest to `scale` among the first `count` entries
// (ties keep the first); -1 when `count` is 0. Only listed entries are searched, so an empty slot
// (scale 0) is never chosen.
int NearestScale(const ScaleEntry* entries, int count, double scale);
// How many entries a list shows: those before the first empty caption, at most `slots`.
int ListedScales(const ScaleEntry* entries, std::size_t slots);

// True when `value` is a power of two (1, 2, 4 ...).
bool IsPowerOfTwo(int32_t value);

// The points per unit that page `page` sets for scale `s` with the configuration's smallest unit
// and display units. Zero or less when the scale leaves no drawing units per unit.
double ScalePointsPerUnit(int page, double s);

// Applies the page showing to the host with scale `s` (see QXScale).
void ApplyArchitectural(double s);
void ApplyEngineering(double s);
void ApplyMetric(double s);

}  // namespace qxt

// The scale command: on OK stores the dialog's settings and sets the host's units and scales from
// the page showing.
QXT_EXPORT void QXScale();

// Shows the scale dialog and returns the selected scale of the page showing at OK, or 0 when the
// user cancels. Changes nothing in the host.
QXT_EXPORT double GetScale();
