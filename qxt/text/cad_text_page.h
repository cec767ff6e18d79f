// The CAD text fields: size, width factor, orientation, line spacing, character spacing, slant,
// word wrap, font and justification. The text dialog's "CAD Text" page and the CAD text settings
// dialog show the same fields with the same checks, so both build them from this one class.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/config.h"
#include "platform/forms.h"

namespace qxt {

// The texts of the warnings shown when a field is left holding a value it cannot take.
namespace cad_text_messages {
inline constexpr const char* kSizeTooLarge =
    "The value you entered for Size is too large.\r\nPlease re-enter a smaller size";
inline constexpr const char* kSizeTooSmall =
    "The value you entered for Size is invalid or is too small.\r\nPlease re-enter valid number.";
inline constexpr const char* kWidthInvalid =
    "You entered an invalid value for Width Factor.\r\nPlease re-enter a valid number";
inline constexpr const char* kWidthRange =
    "The value you entered for Width Factor is out of range (0.5 - 3.0)\r\nPlease re-enter valid "
    "number.";
inline constexpr const char* kOrientationInvalid =
    "You entered an invalid value for orientation.\r\nPlease re-enter a valid number";
inline constexpr const char* kOrientationRange =
    "The value you entered for orientation is out of range (0 - 360)\r\nPlease re-enter valid "
    "number.";
inline constexpr const char* kLineSpacingInvalid =
    "You entered an invalid value for Line Spacing.\r\nPlease re-enter a valid number";
inline constexpr const char* kLineSpacingRange =
    "The value you entered for Line Spacing is out of range (0 - 9.0)\r\nPlease re-enter valid "
    "number.";
inline constexpr const char* kCharSpacingInvalid =
    "You entered an invalid value for Character Spacing.\r\nPlease re-enter a valid number";
inline constexpr const char* kCharSpacingRange =
    "The value you entered for Character Spacing is out of range (0 - 3.0)\r\nPlease re-enter "
    "valid number.";
inline constexpr const char* kSlantInvalid =
    "You entered an invalid value for Slant.\r\nPlease re-enter a valid number";
inline constexpr const char* kSlantRange =
    "The value you entered for Slant is out of range (-45 to +45)\r\nPlease re-enter valid "
    "number.";
}  // namespace cad_text_messages

// The slant field's text as a whole number; 9999 (which the field never accepts) when it is
// not one.
inline constexpr int32_t kNotASlant = 9999;
int32_t SlantFromText(std::string_view text);

// The check of a number field on leaving it: a text that is no number shows `invalid`, one
// outside lo..hi shows `range`; either way the field then shows `stored`, the value the
// configuration record holds. True when the entry was accepted.
bool CheckNumberField(platform::Edit& field, double lo, double hi, const char* invalid,
                      const char* range, double stored);

class CadTextPage {
 public:
  // Makes the fields on `form`, inside `parent` (null: on the form itself), from (left, top).
  CadTextPage(platform::Form& form, platform::Control* parent, int left, int top);
  CadTextPage(const CadTextPage&) = delete;
  CadTextPage& operator=(const CadTextPage&) = delete;

  platform::Label& lblCTSize;
  platform::Edit& txtCTSize;
  platform::Label& lblCTWidth;
  platform::Edit& txtCTWidth;
  platform::Label& lblCTOrientation;
  platform::Edit& txtCTOrientation;
  platform::Label& lblCTLineSpacing;
  platform::Edit& txtCTLineSpacing;
  platform::Label& lblCTChar_sp;
  platform::Edit& txtCTChar_sp;
  platform::Label& lblCTSlant;
  platform::Edit& txtCTSlant;
  platform::CheckBox& chkWordWrap;
  platform::RadioGroup& rgrpCTFont;
  platform::RadioGroup& rgrpCTVjus;
  platform::RadioGroup& rgrpCTHJus;

  // Fills every field from the configuration record: the size as paper-unit text, the reals
  // with "%g", the character spacing divided by 10000, the host's five font names.
  void Load(const QXConfig& config);
  // Stores the fields into the record, in this order: CTWordWrap, CTSize (read by the host from
  // the paper-unit text), CTWidthFactor, CTOrientation, CTLineSpacing (0 for a text that is no
  // number), CTCharSpacing (x 10000, rounded), CTSlant (9999 for a text that is no whole
  // number), CTFont, CTVJust, CTHJust.
  void Store(QXConfig& config) const;
  // Runs the check of `control` when it is one of the checked fields (OK pressed with the
  // Enter key while a field still has the focus, so it was never left).
  void CheckFocused(const platform::Control* control);

  // Exit checks. A rejected entry is warned about and reset to the stored value.
  void txtCTSizeExit(platform::Control& sender);
  void txtCTWidthExit(platform::Control& sender);
  void txtCTOrientationExit(platform::Control& sender);
  void txtCTLineSpacingExit(platform::Control& sender);
  void txtCTChar_spExit(platform::Control& sender);
  void txtCTSlantExit(platform::Control& sender);

  // Runs after the word wrap box or the horizontal justification changes (the text dialog
  // makes its memo follow them).
  std::function<void()> OnWordWrapChange;
  std::function<void()> OnHorizontalChange;
};

// The memo alignment for a horizontal item: 0 left, 1 centre, 2 right.
platform::Alignment AlignmentForItem(int item);

}  // namespace qxt
