#include "text/cad_text_page.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/form_layout.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "core/units.h"
#include "hsi/hsi.h"

namespace qxt {

namespace {

namespace msg = cad_text_messages;

constexpr int kLabelWidth = 110;
constexpr int kFieldWidth = 80;
constexpr int kRowHeight = 28;
constexpr int kFieldHeight = 21;

platform::Label& MakeLabel(platform::Form& form, const char* name, platform::Control* parent,
                           int left, int top, const char* caption) {
  platform::Label& label =
      Make<platform::Label>(form, name, parent, left, top + 3, kLabelWidth, kFieldHeight - 3);
  label.SetCaption(caption);
  return label;
}

platform::Edit& MakeField(platform::Form& form, const char* name, platform::Control* parent,
                          int left, int top, const char* hint, platform::Label& label) {
  platform::Edit& field =
      Make<platform::Edit>(form, name, parent, left + kLabelWidth, top, kFieldWidth, kFieldHeight);
  field.hint = hint;
  label.focusControl = &field;
  return field;
}

}  // namespace

int32_t SlantFromText(std::string_view text) { return ParseInt32(text).value_or(kNotASlant); }

bool CheckNumberField(platform::Edit& field, double lo, double hi, const char* invalid,
                      const char* range, double stored) {
  const std::optional<double> value = ParseReal(field.Text());
  const char* warning = nullptr;
  if (!value) {
    warning = invalid;
  } else if (*value < lo || *value > hi) {
    warning = range;
  }
  if (warning == nullptr) return true;
  ShowWarning(warning);
  field.SetText(RealToText(stored));
  return false;
}

platform::Alignment AlignmentForItem(int item) {
  switch (item) {
    case 1:
      return platform::Alignment::Center;
    case 2:
      return platform::Alignment::Right;
    default:
      return platform::Alignment::Left;
  }
}

CadTextPage::CadTextPage(platform::Form& form, platform::Control* parent, int left, int top)
    : lblCTSize(MakeLabel(form, "lblCTSize", parent, left, top, "&Size:")),
      txtCTSize(MakeField(form, "txtCTSize", parent, left, top,
                          "The size of the text in Paper units", lblCTSize)),
      lblCTWidth(MakeLabel(form, "lblCTWidth", parent, left, top + kRowHeight, "&Width Factor:")),
      txtCTWidth(MakeField(form, "txtCTWidth", parent, left, top + kRowHeight,
                           "A width factor to stretch/shrink the text", lblCTWidth)),
      lblCTOrientation(
          MakeLabel(form, "lblCTOrientation", parent, left, top + 2 * kRowHeight, "Ori&entation:")),
      txtCTOrientation(MakeField(form, "txtCTOrientation", parent, left, top + 2 * kRowHeight,
                                 "The rotation angle for the text", lblCTOrientation)),
      lblCTLineSpacing(MakeLabel(form, "lblCTLineSpacing", parent, left, top + 3 * kRowHeight,
                                 "&Line Spacing:")),
      txtCTLineSpacing(MakeField(form, "txtCTLineSpacing", parent, left, top + 3 * kRowHeight,
                                 "The gap between lines of text (multiple of Size)",
                                 lblCTLineSpacing)),
      lblCTChar_sp(MakeLabel(form, "lblCTChar_sp", parent, left, top + 4 * kRowHeight,
                             "Ch&aracter Spacing:")),
      txtCTChar_sp(MakeField(form, "txtCTChar_sp", parent, left, top + 4 * kRowHeight,
                             "Converts the text to monospace. (Multiple of Size)", lblCTChar_sp)),
      lblCTSlant(MakeLabel(form, "lblCTSlant", parent, left, top + 5 * kRowHeight, "Sla&nt:")),
      txtCTSlant(MakeField(form, "txtCTSlant", parent, left, top + 5 * kRowHeight,
                           "The incline angle of the letters in degrees(-45 to 45)", lblCTSlant)),
      chkWordWrap(Make<platform::CheckBox>(form, "chkWordWrap", parent, left, top + 6 * kRowHeight,
                                           kLabelWidth + kFieldWidth, kFieldHeight)),
      rgrpCTFont(
          Make<platform::RadioGroup>(form, "rgrpCTFont", parent, left + 200, top - 4, 150, 112)),
      rgrpCTVjus(
          Make<platform::RadioGroup>(form, "rgrpCTVjus", parent, left + 200, top + 112, 73, 80)),
      rgrpCTHJus(
          Make<platform::RadioGroup>(form, "rgrpCTHJus", parent, left + 277, top + 112, 73, 80)) {
  chkWordWrap.SetCaption("&Word Wrap");
  chkWordWrap.hint = "Turns automatic word wrapping on or off";
  rgrpCTFont.SetCaption("&Font");
  rgrpCTFont.hint = "The CAD font which will be used for this text";
  rgrpCTFont.items = {"Font 0", "Font 1", "Font 2", "Font 3", "Font 4"};
  rgrpCTVjus.SetCaption("&Vertical");
  rgrpCTVjus.hint = "The vertical location of the text's vertex";
  rgrpCTVjus.items = {"&Top", "C&enter", "&Bottom"};
  rgrpCTVjus.SetItemIndex(2);
  rgrpCTHJus.SetCaption("&Horizontal");
  rgrpCTHJus.hint = "The horizontal position of the text's vertex";
  rgrpCTHJus.items = {"&Left", "&Cente&r", "&Right"};
  rgrpCTHJus.SetItemIndex(0);

  txtCTSize.OnExit = [this](platform::Control& sender) { txtCTSizeExit(sender); };
  txtCTWidth.OnExit = [this](platform::Control& sender) { txtCTWidthExit(sender); };
  txtCTOrientation.OnExit = [this](platform::Control& sender) { txtCTOrientationExit(sender); };
  txtCTLineSpacing.OnExit = [this](platform::Control& sender) { txtCTLineSpacingExit(sender); };
  txtCTChar_sp.OnExit = [this](platform::Control& sender) { txtCTChar_spExit(sender); };
  txtCTSlant.OnExit = [this](platform::Control& sender) { txtCTSlantExit(sender); };
  chkWordWrap.OnClick = [this](platform::Control&) {
    if (OnWordWrapChange) OnWordWrapChange();
  };
  rgrpCTHJus.OnClick = [this](platform::Control&) {
    if (OnHorizontalChange) OnHorizontalChange();
  };
}

void CadTextPage::Load(const QXConfig& config) {
  chkWordWrap.SetChecked(config.CTWordWrap != 0);
  txtCTSize.SetText(PaperDistToText(config.CTSize));
  txtCTWidth.SetText(RealToText(config.CTWidthFactor));
  txtCTOrientation.SetText(RealToText(config.CTOrientation));
  txtCTLineSpacing.SetText(RealToText(config.CTLineSpacing));
  txtCTChar_sp.SetText(RealToText(config.CTCharSpacing / 10000.0));
  txtCTSlant.SetText(RealToText(config.CTSlant));
  for (int16_t font = 0; font < 5; ++font) {
    std::array<char, HSI_FONT_NAME_SIZE> name{};
    if (HsiGetFontName(font, name.data()) == HSI_SUCCESS) {
      name.back() = '\0';
      rgrpCTFont.items[font] = name.data();
    }
  }
  rgrpCTFont.SetItemIndex(config.CTFont);
  rgrpCTVjus.SetItemIndex(config.CTVJust);
  rgrpCTHJus.SetItemIndex(config.CTHJust);
}

void CadTextPage::Store(QXConfig& config) const {
  config.CTWordWrap = chkWordWrap.Checked() ? 1 : 0;
  // A text the host cannot read leaves the size as it was.
  int32_t size = config.CTSize;
  TextToPaperDist(txtCTSize.Text(), size);
  config.CTSize = size;
  config.CTWidthFactor = TextToReal(txtCTWidth.Text());
  config.CTOrientation = TextToReal(txtCTOrientation.Text());
  config.CTLineSpacing = TextToReal(txtCTLineSpacing.Text());
  const double charSpacing = RoundHalfEven(TextToReal(txtCTChar_sp.Text()) * 10000.0);
  config.CTCharSpacing = static_cast<uint16_t>(std::clamp(charSpacing, 0.0, 65535.0));
  // A text that is no whole number is stored as it reads: 9999.
  config.CTSlant = SlantFromText(txtCTSlant.Text());
  config.CTFont = rgrpCTFont.ItemIndex();
  config.CTVJust = rgrpCTVjus.ItemIndex();
  config.CTHJust = rgrpCTHJus.ItemIndex();
}

void CadTextPage::CheckFocused(const platform::Control* control) {
  if (control == &txtCTSize) txtCTSizeExit(txtCTSize);
  if (control == &txtCTWidth) txtCTWidthExit(txtCTWidth);
  if (control == &txtCTOrientation) txtCTOrientationExit(txtCTOrientation);
  if (control == &txtCTLineSpacing) txtCTLineSpacingExit(txtCTLineSpacing);
  if (control == &txtCTChar_sp) txtCTChar_spExit(txtCTChar_sp);
  if (control == &txtCTSlant) txtCTSlantExit(txtCTSlant);
}

void CadTextPage::txtCTSizeExit(platform::Control&) {
  int32_t size = 0;
  const char* warning = nullptr;
  if (TextToPaperDist(txtCTSize.Text(), size) != HSI_SUCCESS) {
    warning = msg::kSizeTooLarge;
  } else if (size < 10) {
    warning = msg::kSizeTooSmall;
  }
  if (warning == nullptr) return;
  ShowWarning(warning);
  txtCTSize.SetText(PaperDistToText(Config().CTSize));
}

void CadTextPage::txtCTWidthExit(platform::Control&) {
  CheckNumberField(txtCTWidth, 0.5, 3.0, msg::kWidthInvalid, msg::kWidthRange,
                   Config().CTWidthFactor);
}

void CadTextPage::txtCTOrientationExit(platform::Control&) {
  CheckNumberField(txtCTOrientation, 0.0, 360.0, msg::kOrientationInvalid, msg::kOrientationRange,
                   Config().CTOrientation);
}

void CadTextPage::txtCTLineSpacingExit(platform::Control&) {
  CheckNumberField(txtCTLineSpacing, 0.0, 9.0, msg::kLineSpacingInvalid, msg::kLineSpacingRange,
                   Config().CTLineSpacing);
}

void CadTextPage::txtCTChar_spExit(platform::Control&) {
  CheckNumberField(txtCTChar_sp, 0.0, 3.0, msg::kCharSpacingInvalid, msg::kCharSpacingRange,
                   Config().CTCharSpacing / 10000.0);
}

void CadTextPage::txtCTSlantExit(platform::Control&) {
  const int32_t slant = SlantFromText(txtCTSlant.Text());
  const char* warning = nullptr;
  if (slant == kNotASlant) {
    warning = msg::kSlantInvalid;
  } else if (slant < -45 || slant > 45) {
    warning = msg::kSlantRange;
  }
  if (warning == nullptr) return;
  ShowWarning(warning);
  txtCTSlant.SetText(RealToText(Config().CTSlant));
}

}  // namespace qxt
