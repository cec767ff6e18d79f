// The three numeric entry fields of the toolset's dialogs: TDblEdit for real numbers, TLongEdit
// for whole numbers and TUnitEdit for lengths in the host's unit notation. They are memos (so
// the text can be right-aligned) used as one-line fields: they drop keys that cannot be part of
// their kind of entry (with the default beep), keep a value within a range, tidy the text when
// the user leaves the field, and can select their whole text when the user enters it.
//
// A range is active only when MaximumValue differs from MinimumValue; equal bounds (both 0 by
// default) mean no range. The alignment is the control's `alignment`.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms.h"

namespace qxt {

inline constexpr int kNumEditHeight = 25;
inline constexpr const char* kDefaultRangeMessage = "Input is outside valid range";
inline constexpr const char* kDefaultRangeCaption = "Warning";

// The decimal separator of the user's locale, as the number fields use it.
char LocaleDecimalSeparator();

// A real number. Keys: "+", "-", the digits, the locale's decimal separator, and control keys
// other than Enter.
class TDblEdit : public platform::Memo {
 public:
  TDblEdit(platform::Form& form, std::string name, platform::Control* parent);
  const char* TypeName() const override { return "TDblEdit"; }

  double MaximumValue = 0;
  double MinimumValue = 0;
  std::string ErrorMessage = kDefaultRangeMessage;
  std::string ErrorMessageCaption = kDefaultRangeCaption;
  bool AutoSelect = false;

  // Reads the number: a leading "." gets a "0" in front; a number is rewritten in its short form
  // and returned. A text that is not a number is reported in two message boxes, replaced by the
  // minimum and the minimum is returned.
  double Value();
  // Writes the value, clamped to the range, as text.
  void SetValue(double value);
  // Clamps a value to the range when one is active.
  double Clamp(double value) const;

  void KeyPress(char& key) override;
  void DoEnter() override;
  // Leaving the field reads it; a value outside the range becomes the nearer bound and, when the
  // field has an error message, the user is warned and the focus stays in the field.
  void DoExit() override;
};

// Tells the user that the entry of `field` was brought back into its range: a beep and `message`
// in a warning box over the field's form, then the focus back in the field with its text
// selected. Nothing happens when `message` is empty.
void WarnOutOfRange(platform::Memo& field, const std::string& message, const std::string& caption);

// A whole number. Keys: "+", "-", the digits, and control keys other than Enter.
class TLongEdit : public platform::Memo {
 public:
  TLongEdit(platform::Form& form, std::string name, platform::Control* parent);
  const char* TypeName() const override { return "TLongEdit"; }

  int32_t MaximumValue = 0;
  int32_t MinimumValue = 0;
  std::string ErrorMessage = kDefaultRangeMessage;
  std::string ErrorMessageCaption = kDefaultRangeCaption;
  bool AutoSelect = false;

  // The text as a whole number; anything else is replaced by the minimum (without a message),
  // which is returned.
  int32_t Value();
  // Writes the value, clamped to the range, as text.
  void SetValue(int32_t value);
  int32_t Clamp(int32_t value) const;

  void KeyPress(char& key) override;
  void DoEnter() override;
  // Leaving the field writes its value back through the clamping write, so an entry outside the
  // range becomes the nearer bound and a text that is no number the minimum.
  void DoExit() override;
};

// A length in the host's notation (1'-6 3/8", 25cm, 30mm). Keys: space, the double quote, the
// apostrophe, "+", "-", ".", "/", the digits, "c", "m", and control keys other than Enter. The
// dialog reads the text with the length readers; the field itself converts nothing.
class TUnitEdit : public platform::Memo {
 public:
  TUnitEdit(platform::Form& form, std::string name, platform::Control* parent);
  const char* TypeName() const override { return "TUnitEdit"; }

  bool AutoSelect = true;

  void KeyPress(char& key) override;
  void DoEnter() override;
};

}  // namespace qxt
