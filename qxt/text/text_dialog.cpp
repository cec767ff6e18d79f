#include "text/text_dialog.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/form_layout.h"
#include "core/numbers.h"
#include "core/state.h"
#include "platform/metrics.h"
#include "platform/system.h"

namespace qxt {

namespace {

namespace msg = text_dialog_messages;

constexpr int kClientWidth = 460;
constexpr int kClientHeight = 400;
constexpr int kMemoHeight = 120;
constexpr int kSettingsTop = 150;
constexpr int kTabSetHeight = 22;  // the tab set sits right above the settings
constexpr int kMemoGap = 4;        // between the memo and the tab set
constexpr int kButtonStep = 30;
constexpr int kSettingsWidth = 360;
constexpr int kButtonLeft = 372;
// On the CAD page the memo is as wide as the client area less this.
constexpr int kCadMemoMargin = 8;
constexpr std::size_t kMemoMaxChars = 2048;

}  // namespace

TdlgQXText::TdlgQXText()
    : platform::Form("TdlgQXText", "QX Text"),
      mmText(Make<platform::Memo>(*this, "mmText", nullptr, 4, 4, kClientWidth - kCadMemoMargin,
                                  kMemoHeight)),
      TabSet(Make<platform::TabSet>(*this, "TabSet", nullptr, 4, kSettingsTop - kTabSetHeight,
                                    kSettingsWidth, 21)),
      ntbkSettings(Make<platform::Notebook>(*this, "ntbkSettings", nullptr, 4, kSettingsTop,
                                            kSettingsWidth, 240)),
      pageCadText(ntbkSettings.AddPage("CAD Text")),
      pageTrueType(ntbkSettings.AddPage("True Type")),
      cad(*this, &pageCadText, 8, 8),
      lblFont(
          Make<platform::Label>(*this, "lblFont", &pageTrueType, 8, 8, 240, 16, "Typeface/Style:")),
      txtFont(Make<platform::Edit>(*this, "txtFont", &pageTrueType, 8, 26, 240, 21)),
      lblTTSize(Make<platform::Label>(*this, "lblTTSize", &pageTrueType, 256, 8, 30, 16, "Size:")),
      lblsize(Make<platform::Label>(*this, "lblsize", &pageTrueType, 290, 8, 40, 16)),
      btnFontChange(Make<platform::Button>(*this, "btnFontChange", &pageTrueType, 256, 24, 90, 25,
                                           "&Change...")),
      grpCursorPosition(Make<platform::GroupBox>(*this, "grpCursorPosition", &pageTrueType, 8, 58,
                                                 200, 96, "Cursor Position")),
      rgrpTTVPos(Make<platform::RadioGroup>(*this, "rgrpTTVPos", &grpCursorPosition, 8, 16, 90, 72,
                                            "&Vertical")),
      rgrpTTHPos(Make<platform::RadioGroup>(*this, "rgrpTTHPos", &grpCursorPosition, 102, 16, 90,
                                            72, "&Horizontal")),
      rgrpTTJus(Make<platform::RadioGroup>(*this, "rgrpTTJus", &pageTrueType, 216, 58, 134, 96,
                                           "&Justification")),
      lblTTLineWidth(Make<platform::Label>(*this, "lblTTLineWidth", &pageTrueType, 8, 169, 90, 16,
                                           "&Line Width:")),
      txtTTLineWidth(
          Make<platform::Edit>(*this, "txtTTLineWidth", &pageTrueType, 100, 166, 70, 21)),
      lblTTOrientation(Make<platform::Label>(*this, "lblTTOrientation", &pageTrueType, 180, 169, 90,
                                             16, "&Orientation:")),
      txtTTOrientation(
          Make<platform::Edit>(*this, "txtTTOrientation", &pageTrueType, 272, 166, 70, 21)),
      btnOK(MakeButton(*this, "btnOK", kButtonLeft, kSettingsTop, "OK", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", kButtonLeft, kSettingsTop + kButtonStep, "Cancel",
                           platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", kButtonLeft, kSettingsTop + 2 * kButtonStep, "&Help",
                         platform::ModalResult::None)) {
  helpContext = 126;
  borderStyle = platform::BorderStyle::Sizeable;
  showHint = true;
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);

  mmText.maxLength = static_cast<int>(kMemoMaxChars);
  mmText.scrollBars = platform::ScrollBars::Vertical;
  TabSet.tabs = {"CAD Text", "True Type"};

  txtFont.readOnly = true;
  txtFont.hint = "The typeface to be used, shown with the current style attributes";
  lblFont.focusControl = &txtFont;
  btnFontChange.hint = "Press this button to change font properties";
  rgrpTTVPos.items = {"&Top", "C&enter", "&Bottom"};
  rgrpTTHPos.items = {"&Left", "C&enter", "&Right"};
  rgrpTTJus.items = {"&Left", "C&enter", "&Right"};
  rgrpTTJus.hint = "The justification of the text within the text block";
  txtTTLineWidth.hint = "The margin width for the text block";
  lblTTLineWidth.focusControl = &txtTTLineWidth;
  txtTTOrientation.hint = "The rotation angle of the text, in degrees";
  lblTTOrientation.focusControl = &txtTTOrientation;

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  OnActivate = [this](platform::Form& sender) { FormActivate(sender); };
  OnResize = [this](platform::Form& sender) { FormResize(sender); };
  TabSet.OnClick = [this](platform::Control& sender) { TabSetClick(sender); };
  cad.OnWordWrapChange = [this] { chkWordWrapClick(cad.chkWordWrap); };
  cad.OnHorizontalChange = [this] { rgrpCTHJusClick(cad.rgrpCTHJus); };
  rgrpTTJus.OnClick = [this](platform::Control& sender) { rgrpTTJusClick(sender); };
  btnFontChange.OnClick = [this](platform::Control& sender) { btnFontChangeClick(sender); };
  txtTTLineWidth.OnExit = [this](platform::Control& sender) { txtTTLineWidthExit(sender); };
  txtTTOrientation.OnExit = [this](platform::Control& sender) { txtTTOrientationExit(sender); };
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };

  LoadFromConfig();
}

int TdlgQXText::TrueTypeMemoWidth(double lineWidth) {
  const double blockPixels = RoundHalfEven(platform::metrics::PixelsPerInch * lineWidth);
  const double width = 2.0 * platform::metrics::VerticalScrollBarWidth + blockPixels;
  // A width no screen has (a damaged setting) is kept within what a control can take.
  return static_cast<int>(std::clamp(width, 0.0, 32767.0));
}

void TdlgQXText::LoadFromConfig() {
  const QXConfig& config = Config();
  cad.Load(config);

  const std::string face = config.TTFontName.Get();
  txtFont.font.name = face;
  txtFont.font.SetStyleBits(config.TTStyle & 0x0F);
  txtFont.SetText(face);
  lblsize.SetCaption(std::to_string(config.TTSize));
  rgrpTTVPos.SetItemIndex(config.TTVPos);
  rgrpTTHPos.SetItemIndex(config.TTHPos);
  rgrpTTJus.SetItemIndex(config.TTJust);
  txtTTLineWidth.SetText(RealToText(config.TTLineWidth));
  txtTTOrientation.SetText(RealToText(config.TTOrientation));

  mmText.Clear();
  // Selecting the tab lays the memo out for its text mode (font, wrapping, width, alignment).
  TabSet.SetTabIndex(config.TextMode == 1 ? kTrueTypeTab : kCadTab);
}

platform::Font TdlgQXText::TrueTypeFont() const {
  platform::Font font = txtFont.font;
  font.size = ParseInt32(lblsize.Caption()).value_or(font.size);
  return font;
}

void TdlgQXText::ShowMemoForCadText() {
  platform::Font font;
  font.name = "System";
  font.size = 10;
  font.bold = true;
  mmText.font = font;
  mmText.SetWidth(ClientWidth() - kCadMemoMargin);
  chkWordWrapClick(cad.chkWordWrap);
  rgrpCTHJusClick(cad.rgrpCTHJus);
}

void TdlgQXText::ShowMemoForTrueType() {
  mmText.font = TrueTypeFont();
  mmText.wordWrap = true;
  mmText.scrollBars = platform::ScrollBars::Vertical;
  if (const std::optional<double> lineWidth = ParseReal(txtTTLineWidth.Text())) {
    mmText.SetWidth(TrueTypeMemoWidth(*lineWidth));
  }
  mmText.alignment = AlignmentForItem(rgrpTTJus.ItemIndex());
}

void TdlgQXText::FormActivate(platform::Form&) {
  mmText.SetFocus();
  mmText.SelectAll();
}

void TdlgQXText::FormResize(platform::Form&) {
  // The settings and the buttons keep their place at the foot of the dialog; the memo above them
  // takes the height that is left. The dialog never lays out smaller than it was designed.
  const int settingsTop = std::max(kSettingsTop, ClientHeight() - (kClientHeight - kSettingsTop));
  TabSet.SetTop(settingsTop - kTabSetHeight);
  ntbkSettings.SetTop(settingsTop);
  btnOK.SetTop(settingsTop);
  btnCancel.SetTop(settingsTop + kButtonStep);
  btnHelp.SetTop(settingsTop + 2 * kButtonStep);
  mmText.SetHeight(settingsTop - kTabSetHeight - kMemoGap - mmText.Top());
  if (!OnTrueTypeTab()) mmText.SetWidth(ClientWidth() - kCadMemoMargin);
}

void TdlgQXText::TabSetClick(platform::Control&) {
  ntbkSettings.SetPageIndex(OnTrueTypeTab() ? kTrueTypeTab : kCadTab);
  if (OnTrueTypeTab()) {
    ShowMemoForTrueType();
  } else {
    ShowMemoForCadText();
  }
}

void TdlgQXText::chkWordWrapClick(platform::Control&) {
  if (OnTrueTypeTab()) return;
  const bool wrap = cad.chkWordWrap.Checked();
  mmText.wordWrap = wrap;
  mmText.scrollBars = wrap ? platform::ScrollBars::Vertical : platform::ScrollBars::Both;
}

void TdlgQXText::rgrpCTHJusClick(platform::Control&) {
  if (!OnTrueTypeTab()) mmText.alignment = AlignmentForItem(cad.rgrpCTHJus.ItemIndex());
}

void TdlgQXText::rgrpTTJusClick(platform::Control&) {
  if (OnTrueTypeTab()) mmText.alignment = AlignmentForItem(rgrpTTJus.ItemIndex());
}

void TdlgQXText::btnFontChangeClick(platform::Control&) {
  platform::FontDialog dialog;
  dialog.font = TrueTypeFont();
  dialog.trueTypeOnly = true;
  dialog.effects = true;
  dialog.forceFontExist = true;
  if (!dialog.Execute()) return;
  mmText.font = dialog.font;
  txtFont.font.name = dialog.font.name;
  txtFont.font.SetStyleBits(dialog.font.StyleBits());
  txtFont.SetText(dialog.font.name);
  lblsize.SetCaption(std::to_string(dialog.font.size));
}

void TdlgQXText::txtTTLineWidthExit(platform::Control&) {
  CheckNumberField(txtTTLineWidth, 0.0, 21.0, msg::kLineWidthInvalid, msg::kLineWidthRange,
                   Config().TTLineWidth);
  if (!OnTrueTypeTab()) return;
  if (const std::optional<double> lineWidth = ParseReal(txtTTLineWidth.Text())) {
    mmText.SetWidth(TrueTypeMemoWidth(*lineWidth));
  }
}

void TdlgQXText::txtTTOrientationExit(platform::Control&) {
  CheckNumberField(txtTTOrientation, 0.0, 360.0, cad_text_messages::kOrientationInvalid,
                   cad_text_messages::kOrientationRange, Config().TTOrientation);
}

void TdlgQXText::btnOKClick(platform::Control&) {
  // A field still holding the focus (OK pressed with the Enter key) was never left: check it now.
  const platform::Control* focused = ActiveControl();
  cad.CheckFocused(focused);
  if (focused == &txtTTLineWidth) txtTTLineWidthExit(txtTTLineWidth);
  if (focused == &txtTTOrientation) txtTTOrientationExit(txtTTOrientation);

  QXConfig& config = Config();
  config.TextMode = OnTrueTypeTab() ? 1 : 0;
  cad.Store(config);
  const int32_t storedSize = config.TTSize;
  config.TTSize = ParseInt32(lblsize.Caption()).value_or(storedSize);
  config.TTStyle = static_cast<uint8_t>(txtFont.font.StyleBits() & 0x0F);
  config.TTFontName.Set(txtFont.font.name);
  config.TTHPos = rgrpTTHPos.ItemIndex();
  config.TTVPos = rgrpTTVPos.ItemIndex();
  config.TTJust = rgrpTTJus.ItemIndex();
  config.TTLineWidth = TextToReal(txtTTLineWidth.Text());
  config.TTOrientation = TextToReal(txtTTOrientation.Text());
}

}  // namespace qxt
