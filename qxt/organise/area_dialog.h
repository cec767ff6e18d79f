// The area command's settings dialog: the unit the area is given in, the suffix written after
// the number, and the number of decimals. It is made once when the library loads and keeps what
// the user left in it for as long as the library stays loaded; nothing of it is stored in the
// configuration file.
#pragma once

#include <string>

#include "core/numedit.h"
#include "platform/forms.h"

namespace qxt {

// The area units, in the order of the dialog's unit group.
enum class AreaUnit {
  SquareInches,
  SquareFeet,
  SquareYards,
  SquareMillimetres,
  SquareCentimetres,
  SquareMetres
};
inline constexpr int kAreaUnitCount = 6;

// The suffix that goes with an area unit (with its leading space), as choosing the unit writes it.
const char* AreaUnitSuffix(AreaUnit unit);

inline constexpr const char* kDecimalsRangeMessage =
    "The number of decimal places must be between 0 and 4";
inline constexpr const char* kDecimalsRangeCaption = "QX Area (Warning)";
inline constexpr int kMaxAreaDecimals = 4;

class TdlgQXArea : public platform::Form {
 public:
  TdlgQXArea();

  platform::RadioGroup& rgrpAreaUnits;
  platform::Label& lblSuffix;
  platform::Edit& txtSuffix;
  platform::Label& lblDecimals;
  TLongEdit& txtDecimals;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // Choosing a unit replaces the suffix with the unit's own.
  void rgrpAreaUnitsClick(platform::Control& sender);
  void FormShow(platform::Form& sender);

  // What the dialog holds now: the chosen unit (square feet when the group has no selection),
  // the number of decimals within 0..4, and the suffix as typed.
  AreaUnit Unit() const;
  int Decimals();
  std::string Suffix() const { return txtSuffix.Text(); }
};

}  // namespace qxt
