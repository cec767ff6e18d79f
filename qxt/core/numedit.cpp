#include "core/numedit.h"

#include <algorithm>
#include <optional>

#include "core/numbers.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr char kEnter = 13;

// Control keys (backspace, tab, escape, the editing shortcuts) pass every field's filter;
// Enter does not, because these fields are one line high.
bool IsPassingControlKey(char key) {
  const auto code = static_cast<unsigned char>(key);
  return code < 32 && key != kEnter;
}

bool IsDigit(char key) { return key >= '0' && key <= '9'; }

// Drops a key with the default beep.
void Reject(char& key) {
  key = 0;
  platform::Beep(platform::BeepKind::Default);
}

// A real number as text in the locale's notation.
std::string LocaleRealText(double value) {
  std::string text = RealToText(value);
  const char separator = LocaleDecimalSeparator();
  if (separator != '.') std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

// Reads a real number written in the locale's notation (a point is no separator in a locale
// that uses another character). Blanks around the number, which only a pasted text can bring
// (the key filter refuses them), are allowed.
std::optional<double> ParseLocaleReal(std::string text) {
  const std::size_t first = text.find_first_not_of(' ');
  text = first == std::string::npos ? std::string()
                                    : text.substr(first, text.find_last_not_of(' ') - first + 1);
  const char separator = LocaleDecimalSeparator();
  if (separator != '.') {
    if (text.find('.') != std::string::npos) return std::nullopt;
    std::replace(text.begin(), text.end(), separator, '.');
  }
  return ParseReal(text);
}

// The one-line look every field has when it is made.
void MakeOneLine(platform::Memo& memo) {
  memo.SetHeight(kNumEditHeight);
  memo.wordWrap = false;
  memo.wantTabs = false;
  memo.autoSelect = false;  // the fields select on entry by their own AutoSelect
}

}  // namespace

char LocaleDecimalSeparator() { return platform::Application().decimalSeparator; }

// ---- TDblEdit ----

TDblEdit::TDblEdit(platform::Form& form, std::string name, platform::Control* parent)
    : platform::Memo(form, std::move(name), parent) {
  MakeOneLine(*this);
  SetText("0");
}

double TDblEdit::Clamp(double value) const {
  if (MaximumValue == MinimumValue) return value;
  return std::clamp(value, std::min(MinimumValue, MaximumValue),
                    std::max(MinimumValue, MaximumValue));
}

double TDblEdit::Value() {
  std::string text = Text();
  if (!text.empty() && text.front() == LocaleDecimalSeparator()) {
    text = "0" + text;
    SetText(text);
  }
  if (const std::optional<double> value = ParseLocaleReal(text)) {
    SetText(LocaleRealText(*value));
    return *value;
  }
  platform::ShowMessage("The text you entered is not a valid number");
  platform::ShowMessage("The entered text is:" + text + ":");
  SetText(LocaleRealText(MinimumValue));
  return MinimumValue;
}

void TDblEdit::SetValue(double value) { SetText(LocaleRealText(Clamp(value))); }

void TDblEdit::KeyPress(char& key) {
  if (key == '+' || key == '-' || IsDigit(key) || key == LocaleDecimalSeparator() ||
      IsPassingControlKey(key)) {
    platform::Memo::KeyPress(key);
    return;
  }
  Reject(key);
}

void TDblEdit::DoEnter() {
  if (AutoSelect) SelectAll();
  platform::Memo::DoEnter();
}

void TDblEdit::DoExit() {
  const double value = Value();
  const double clamped = Clamp(value);
  if (clamped != value) {
    SetValue(clamped);
    WarnOutOfRange(*this, ErrorMessage, ErrorMessageCaption);
  }
  platform::Memo::DoExit();
}

void WarnOutOfRange(platform::Memo& field, const std::string& message, const std::string& caption) {
  if (message.empty()) return;
  platform::Beep(platform::BeepKind::Exclamation);
  platform::MessageBox(message, caption, platform::MsgIcon::Warning, platform::MsgButtons::OK,
                       &field.OwnerForm());
  field.SetFocus();
  field.SelectAll();
}

// ---- TLongEdit ----

TLongEdit::TLongEdit(platform::Form& form, std::string name, platform::Control* parent)
    : platform::Memo(form, std::move(name), parent) {
  MakeOneLine(*this);
  SetText("0");
}

int32_t TLongEdit::Clamp(int32_t value) const {
  if (MaximumValue == MinimumValue) return value;
  return std::clamp(value, std::min(MinimumValue, MaximumValue),
                    std::max(MinimumValue, MaximumValue));
}

int32_t TLongEdit::Value() {
  if (const std::optional<int32_t> value = ParseInt32(Text())) return *value;
  SetText(std::to_string(MinimumValue));
  return MinimumValue;
}

void TLongEdit::SetValue(int32_t value) { SetText(std::to_string(Clamp(value))); }

void TLongEdit::KeyPress(char& key) {
  if (key == '+' || key == '-' || IsDigit(key) || IsPassingControlKey(key)) {
    platform::Memo::KeyPress(key);
    return;
  }
  Reject(key);
}

void TLongEdit::DoEnter() {
  if (AutoSelect) SelectAll();
  platform::Memo::DoEnter();
}

void TLongEdit::DoExit() {
  SetValue(Value());
  platform::Memo::DoExit();
}

// ---- TUnitEdit ----

TUnitEdit::TUnitEdit(platform::Form& form, std::string name, platform::Control* parent)
    : platform::Memo(form, std::move(name), parent) {
  MakeOneLine(*this);
}

void TUnitEdit::KeyPress(char& key) {
  switch (key) {
    case ' ':
    case '"':
    case '\'':
    case '+':
    case '-':
    case '.':
    case '/':
    case 'c':
    case 'm':
      platform::Memo::KeyPress(key);
      return;
    default:
      break;
  }
  if (IsDigit(key) || IsPassingControlKey(key)) {
    platform::Memo::KeyPress(key);
    return;
  }
  Reject(key);
}

void TUnitEdit::DoEnter() {
  if (AutoSelect) SelectAll();
  platform::Memo::DoEnter();
}

}  // namespace qxt
