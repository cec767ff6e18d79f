#include "drafting/dimension_dialog.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/form_layout.h"
#include "core/numbers.h"
#include "core/state.h"
#include "core/units.h"
#include "hsi/hsi.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

namespace msg = dimension_dialog_messages;

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 330;
constexpr int kPagesHeight = 284;
constexpr int kButtonTop = 296;
constexpr const char* kUnitDesignText = "1/16\"";
constexpr const char* kSizeDesignText = "3/32\"";
constexpr const char* kLayerHint = "Select the specific layer from the list";

platform::Button& MakeButton(platform::Form& form, const char* name, int left, const char* caption,
                             int modalResult) {
  platform::Button& button =
      Make<platform::Button>(form, name, nullptr, left, kButtonTop, 84, 25, caption);
  button.modalResult = modalResult;
  return button;
}

// A caption with the field it names: the label's accelerator moves the focus into the field.
template <typename T>
T& Field(platform::Form& form, platform::Label& label, const char* name, platform::Control* parent,
         int left, int top, int width, const char* hint) {
  T& field = Make<T>(form, name, parent, left, top, width, 21);
  field.hint = hint;
  label.focusControl = &field;
  return field;
}

// The explanatory pictures of the two marker styles: two dimensioned points, their extension
// lines with the gap and the extension, and the dimension line with its arrows or ticks.
platform::Picture MarkerStylePicture(bool ticks) {
  platform::Metafile picture;
  picture.width = 128;
  picture.height = 80;
  const platform::Color grey = platform::colors::Gray;
  picture.AddLine({16, 72}, {44, 72}, grey);  // the dimensioned objects
  picture.AddLine({84, 72}, {112, 72}, grey);
  picture.AddLine({24, 64}, {24, 14});  // extension lines, off the objects by the gap
  picture.AddLine({104, 64}, {104, 14});
  if (ticks) {
    picture.AddLine({14, 22}, {114, 22});  // the dimension line runs past the extension lines
    picture.AddLine({20, 26}, {28, 18}, platform::colors::Black, 2);
    picture.AddLine({100, 26}, {108, 18}, platform::colors::Black, 2);
  } else {
    picture.AddLine({24, 22}, {104, 22});
    picture.AddPolyline({{32, 19}, {24, 22}, {32, 25}, {32, 19}});
    picture.AddPolyline({{96, 19}, {104, 22}, {96, 25}, {96, 19}});
  }
  return picture;
}

// The host's name of a layer, from its record (at most 17 characters before the NUL).
std::string LayerName(int16_t layer) {
  HsiLayerRecord record{};
  HsiGetLayer(&record, layer);
  return std::string(record.name, strnlen(record.name, sizeof(record.name)));
}

// A layer setting brought into the lists' range (a damaged record may hold anything).
int LayerItem(int32_t layer) {
  return static_cast<int>(std::clamp<int32_t>(layer, 0, TdlgQXDimension::kLayerCount));
}

}  // namespace

void TWarningLongEdit::DoExit() {
  const int32_t value = Value();
  const int32_t clamped = Clamp(value);
  if (clamped != value) {
    SetValue(clamped);
    WarnOutOfRange(*this, ErrorMessage, ErrorMessageCaption);
  }
  TLongEdit::DoExit();
}

int LayerNumberFromText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    // Past the last layer the exact number no longer matters.
    number = std::min<int64_t>(number * 10 + (text[i] - '0'), 100000);
  }
  if (negative) number = -number;
  return static_cast<int>(std::clamp<int64_t>(number, 0, TdlgQXDimension::kLayerCount));
}

TdlgQXDimension::TdlgQXDimension()
    : platform::Form("TdlgQXDimension", "QX Dimension"),
      pgcDimension(Make<platform::PageControl>(*this, "pgcDimension", nullptr, 4, 4,
                                               kClientWidth - 8, kPagesHeight)),
      tabGeneral(pgcDimension.AddPage("&General")),
      tabText(pgcDimension.AddPage("&Text")),
      tabLayers(pgcDimension.AddPage("&Layers")),
      ntbkMarkerStyle(
          Make<platform::Notebook>(*this, "ntbkMarkerStyle", &tabGeneral, 8, 8, 400, 92)),
      pageArrow(ntbkMarkerStyle.AddPage("Arrow Style")),
      pageTick(ntbkMarkerStyle.AddPage("Tick Style")),
      lblArrowExtLineExt(Make<platform::Label>(*this, "lblArrowExtLineExt", &pageArrow, 8, 12, 90,
                                               16, "&Extension")),
      txtArrowExtLineExt(Field<TUnitEdit>(*this, lblArrowExtLineExt, "txtArrowExtLineExt",
                                          &pageArrow, 110, 8, 100,
                                          "The distance the extension lines go beyond the "
                                          "dimension line")),
      lblArrowExtLineOffset(Make<platform::Label>(*this, "lblArrowExtLineOffset", &pageArrow, 8, 42,
                                                  90, 16, "&Offset")),
      txtArrowExtLineOffset(Field<TUnitEdit>(
          *this, lblArrowExtLineOffset, "txtArrowExtLineOffset", &pageArrow, 110, 38, 100,
          "The size of the gap between the object and the extension lines")),
      imgArrow(Make<platform::Image>(*this, "imgArrow", &pageArrow, 260, 4, 128, 80)),
      lblTickDimLineExt(Make<platform::Label>(*this, "lblTickDimLineExt", &pageTick, 8, 6, 90, 16,
                                              "D&imension Ext.")),
      txtTickDimLineExt(
          Field<TUnitEdit>(*this, lblTickDimLineExt, "txtTickDimLineExt", &pageTick, 110, 2, 100,
                           "The distance the dimension line extends outside the extensions")),
      lblTickExtLineExt(Make<platform::Label>(*this, "lblTickExtLineExt", &pageTick, 8, 34, 90, 16,
                                              "&Extension")),
      txtTickExtLineExt(
          Field<TUnitEdit>(*this, lblTickExtLineExt, "txtTickExtLineExt", &pageTick, 110, 30, 100,
                           "The distance the extension lines go beyond the dimension line")),
      lblTickExtLineOffset(Make<platform::Label>(*this, "lblTickExtLineOffset", &pageTick, 8, 62,
                                                 90, 16, "&Offset")),
      txtTickExtLineOffset(
          Field<TUnitEdit>(*this, lblTickExtLineOffset, "txtTickExtLineOffset", &pageTick, 110, 58,
                           100, "The size of the gap between the object and the extension line")),
      imgTick(Make<platform::Image>(*this, "imgTick", &pageTick, 260, 4, 128, 80)),
      grpMarker(
          Make<platform::GroupBox>(*this, "grpMarker", &tabGeneral, 8, 106, 400, 76, "&Marker")),
      rbtnTicks(
          Make<platform::RadioButton>(*this, "rbtnTicks", &grpMarker, 12, 20, 80, 17, "&Ticks")),
      rbtnArrows(
          Make<platform::RadioButton>(*this, "rbtnArrows", &grpMarker, 12, 44, 80, 17, "&Arrows")),
      lblMarkerSymbol(
          Make<platform::Label>(*this, "lblMarkerSymbol", &grpMarker, 110, 22, 60, 16, "&Symbol")),
      txtMarkerSymbol(Field<platform::Edit>(*this, lblMarkerSymbol, "txtMarkerSymbol", &grpMarker,
                                            170, 18, 120,
                                            "The name of the symbol to use as the marker")),
      btnBrowse(Make<platform::Button>(*this, "btnBrowse", &grpMarker, 300, 16, 84, 25, "&Browse")),
      grpOptions(
          Make<platform::GroupBox>(*this, "grpOptions", &tabGeneral, 8, 188, 190, 64, "O&ptions")),
      chkEditText(Make<platform::CheckBox>(*this, "chkEditText", &grpOptions, 12, 18, 160, 17,
                                           "&Edit Text")),
      chkAutoSnap(Make<platform::CheckBox>(*this, "chkAutoSnap", &grpOptions, 12, 40, 160, 17,
                                           "&Auto Snap")),
      rgrpTextType(Make<platform::RadioGroup>(*this, "rgrpTextType", &tabGeneral, 210, 188, 198, 64,
                                              "Te&xt Type")),
      grpCADText(Make<platform::GroupBox>(*this, "grpCADText", &tabText, 8, 8, 400, 136,
                                          "&CAD Text Settings")),
      lblCTSize(Make<platform::Label>(*this, "lblCTSize", &grpCADText, 12, 24, 110, 16, "&Size:")),
      txtCTSize(Field<TUnitEdit>(*this, lblCTSize, "txtCTSize", &grpCADText, 130, 20, 90,
                                 "The text size in paper sizes")),
      lblCTWidth(Make<platform::Label>(*this, "lblCTWidth", &grpCADText, 12, 52, 110, 16,
                                       "&Width Factor:")),
      txtCTWidth(Field<TDblEdit>(*this, lblCTWidth, "txtCTWidth", &grpCADText, 130, 48, 90, "")),
      lblCTChar_sp(Make<platform::Label>(*this, "lblCTChar_sp", &grpCADText, 12, 80, 110, 16,
                                         "Ch&aracter Spacing:")),
      txtCTChar_sp(
          Field<TDblEdit>(*this, lblCTChar_sp, "txtCTChar_sp", &grpCADText, 130, 76, 90, "")),
      lblCTSlant(
          Make<platform::Label>(*this, "lblCTSlant", &grpCADText, 12, 108, 110, 16, "Sla&nt:")),
      txtCTSlant(
          Field<TWarningLongEdit>(*this, lblCTSlant, "txtCTSlant", &grpCADText, 130, 104, 90, "")),
      rgrpCTFont(
          Make<platform::RadioGroup>(*this, "rgrpCTFont", &grpCADText, 236, 16, 152, 112, "&Font")),
      grpTrueType(Make<platform::GroupBox>(*this, "grpTrueType", &tabText, 8, 152, 400, 92,
                                           "&True Type Settings")),
      lblTTFont(Make<platform::Label>(*this, "lblTTFont", &grpTrueType, 12, 20, 120, 16,
                                      "Typeface/Style:")),
      txtTTFont(Field<platform::Edit>(
          *this, lblTTFont, "txtTTFont", &grpTrueType, 12, 38, 250,
          "The typeface to be used, shown with the current style attributes")),
      lblTTSizeCaption(
          Make<platform::Label>(*this, "lblTTSizeCaption", &grpTrueType, 12, 66, 34, 16, "Size:")),
      lblTTsize(Make<platform::Label>(*this, "lblTTsize", &grpTrueType, 50, 66, 30, 16)),
      lblTTPoints(
          Make<platform::Label>(*this, "lblTTPoints", &grpTrueType, 84, 66, 40, 16, "points")),
      btnFontChange(Make<platform::Button>(*this, "btnFontChange", &grpTrueType, 290, 36, 90, 25,
                                           "&Change...")),
      lblDimLayer(Make<platform::Label>(*this, "lblDimLayer", &tabLayers, 12, 16, 240, 16,
                                        "Layer for &lines and markers")),
      cbxDimLayer(Field<platform::ComboBox>(*this, lblDimLayer, "cbxDimLayer", &tabLayers, 12, 34,
                                            220, kLayerHint)),
      lblTextLayer(Make<platform::Label>(*this, "lblTextLayer", &tabLayers, 12, 72, 240, 16,
                                         "Layer for dimension &text")),
      cbxTextLayer(Field<platform::ComboBox>(*this, lblTextLayer, "cbxTextLayer", &tabLayers, 12,
                                             90, 220, kLayerHint)),
      OKBtn(MakeButton(*this, "OKBtn", 160, "OK", platform::ModalResult::OK)),
      CancelBtn(MakeButton(*this, "CancelBtn", 252, "Cancel", platform::ModalResult::Cancel)),
      HelpBtn(MakeButton(*this, "HelpBtn", 344, "&Help", platform::ModalResult::None)) {
  helpContext = 102;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  pgcDimension.showTabs = true;

  for (TUnitEdit* field : {&txtArrowExtLineExt, &txtArrowExtLineOffset, &txtTickDimLineExt,
                           &txtTickExtLineExt, &txtTickExtLineOffset}) {
    field->SetText(kUnitDesignText);
  }
  imgArrow.SetPicture(MarkerStylePicture(false));
  imgTick.SetPicture(MarkerStylePicture(true));

  rbtnTicks.hint = "The marker symbol is tick-style";
  rbtnArrows.hint = "The marker symbol is arrow-style";
  btnBrowse.hint = "Press this button to select a new marker symbol";
  chkEditText.hint = "Display a dialog to edit/undo dimensions as they are created";
  chkAutoSnap.hint = "Automatically toggle snap between free/grid and vertex";
  rgrpTextType.items = {"&CAD Text", "Tr&ue Type"};
  rgrpTextType.hint = "Type of text used in dimensions, modfy properties using Text tab";

  txtCTSize.SetText(kSizeDesignText);
  txtCTWidth.MinimumValue = 0.5;
  txtCTWidth.MaximumValue = 3.0;
  txtCTWidth.ErrorMessage = msg::kWidthRange;
  txtCTChar_sp.MinimumValue = 0.0;
  txtCTChar_sp.MaximumValue = 3.0;
  txtCTChar_sp.ErrorMessage = msg::kCharSpacingRange;
  txtCTSlant.MinimumValue = -45;
  txtCTSlant.MaximumValue = 45;
  txtCTSlant.ErrorMessage = msg::kSlantRange;
  for (auto* field : std::array<platform::Memo*, 3>{&txtCTWidth, &txtCTChar_sp, &txtCTSlant})
    field->alignment = platform::Alignment::Right;
  txtCTWidth.ErrorMessageCaption = msg::kRangeCaption;
  txtCTChar_sp.ErrorMessageCaption = msg::kRangeCaption;
  txtCTSlant.ErrorMessageCaption = msg::kRangeCaption;
  rgrpCTFont.items = {"Font 0", "Font 1", "Font 2", "Font 3", "Font 4"};
  rgrpCTFont.hint = "The CAD font which will be used for dimension text";

  txtTTFont.readOnly = true;
  btnFontChange.hint = "Press this button to change true type font properties";

  for (platform::ComboBox* list : {&cbxDimLayer, &cbxTextLayer}) {
    list->style = platform::ComboBox::Style::DropDown;
    list->dropDownCount = 16;
    list->maxLength = 3;
  }

  OKBtn.isDefault = true;
  CancelBtn.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  CancelBtn.causesValidation = false;
  HelpBtn.kind = platform::Button::Kind::Help;
  SetActiveControl(&OKBtn);

  OnShow = [this](platform::Form& sender) { FormShow(sender); };
  rbtnTicks.OnClick = [this](platform::Control& sender) { ChangeMarkerStyle(sender); };
  rbtnArrows.OnClick = [this](platform::Control& sender) { ChangeMarkerStyle(sender); };
  btnBrowse.OnClick = [this](platform::Control& sender) { btnBrowseClick(sender); };
  for (TUnitEdit* field : {&txtArrowExtLineExt, &txtArrowExtLineOffset, &txtTickDimLineExt,
                           &txtTickExtLineExt, &txtTickExtLineOffset, &txtCTSize}) {
    field->OnExit = [this](platform::Control& sender) { txtLengthExit(sender); };
  }
  cbxDimLayer.OnExit = [this](platform::Control& sender) { cbxDimLayerExit(sender); };
  cbxTextLayer.OnExit = [this](platform::Control& sender) { cbxTextLayerExit(sender); };
  btnFontChange.OnClick = [this](platform::Control& sender) { btnFontChangeClick(sender); };
  OKBtn.OnClick = [this](platform::Control& sender) { OKBtnClick(sender); };

  FormCreate();
}

void TdlgQXDimension::FormCreate() {
  showHint = Config().DimHints != 0;
  pgcDimension.SetPageIndex(0);
  ntbkMarkerStyle.SetPageIndex(Config().DimTerminator == 0 ? kArrowPage : kTickPage);
}

void TdlgQXDimension::FillLayerList(platform::ComboBox& list, int32_t selected) {
  list.items.Clear();
  list.items.Add("0 - Default Layer");
  for (int layer = 1; layer <= kLayerCount; ++layer) {
    std::string entry = std::to_string(layer) + " - " + LayerName(static_cast<int16_t>(layer));
    if (entry.size() > kLayerEntryChars) entry.resize(kLayerEntryChars);
    list.items.Add(entry);
  }
  list.SetItemIndex(LayerItem(selected));
}

void TdlgQXDimension::FormShow(platform::Form&) {
  const QXConfig& config = Config();
  FillLayerList(cbxDimLayer, config.DimLayer);
  FillLayerList(cbxTextLayer, config.DimTextLayer);

  txtArrowExtLineExt.SetText(PaperDistToText(config.DimArrowExtLineExt));
  txtArrowExtLineOffset.SetText(PaperDistToText(config.DimArrowExtLineOffset));
  txtTickDimLineExt.SetText(PaperDistToText(config.DimTickDimLineExt));
  txtTickExtLineExt.SetText(PaperDistToText(config.DimTickExtLineExt));
  txtTickExtLineOffset.SetText(PaperDistToText(config.DimTickExtLineOffset));

  // Checking a radio button runs ChangeMarkerStyle, which turns the notebook to its page.
  if (config.DimTerminator == 0) {
    rbtnArrows.SetChecked(true);
  } else {
    rbtnTicks.SetChecked(true);
  }
  ChangeMarkerStyle(config.DimTerminator == 0 ? rbtnArrows : rbtnTicks);

  txtMarkerSymbol.SetText(config.DimMarkerSymbol.Get());
  chkEditText.SetChecked(config.DimEditText != 0);
  chkAutoSnap.SetChecked(config.DimAutoSnap != 0);
  rgrpTextType.SetItemIndex(config.DimTextType == 1 ? 1 : 0);

  txtCTSize.SetText(PaperDistToText(config.DimTextSize));
  txtCTWidth.SetValue(config.DimTextWidth);
  txtCTChar_sp.SetValue(config.DimTextCharSpacing / 10000.0);
  txtCTSlant.SetValue(config.DimTextSlant);
  for (int font = 0; font < static_cast<int>(rgrpCTFont.items.size()); ++font) {
    std::array<char, HSI_FONT_NAME_SIZE + 1> name{};
    HsiGetFontName(static_cast<int16_t>(font), name.data());
    name.back() = '\0';
    rgrpCTFont.items[font] = name.data();
  }
  rgrpCTFont.SetItemIndex(config.DimTextFont);

  lblTTsize.SetCaption(std::to_string(config.DimTTSize));
  const std::string face = config.DimTTFontName.Get();
  txtTTFont.font.name = face;
  txtTTFont.font.SetStyleBits(config.DimTTStyle & 0x0F);
  txtTTFont.SetText(face);

  showHint = config.DimHints != 0;
  // Every showing starts with the focus on OK.
  SetActiveControl(&OKBtn);
}

void TdlgQXDimension::ChangeMarkerStyle(platform::Control&) {
  ntbkMarkerStyle.SetPageIndex(rbtnTicks.Checked() ? kTickPage : kArrowPage);
}

void TdlgQXDimension::btnBrowseClick(platform::Control&) {
  platform::OpenDialog dialog;
  std::array<char, HSI_PATH_SIZE + 1> folder{};
  if (HsiGetPaths(folder.data(), HSI_PATH_SYMBOLS, 1) == HSI_SUCCESS) {
    folder.back() = '\0';
    dialog.initialDir = folder.data();
  }
  dialog.title = "Select Dimension Marker Symbol";
  dialog.filter = "Symbol Files (*.sym)|*.sym|All Files (*.*)|*.*";
  dialog.defaultExt = "SYM";
  dialog.fileMustExist = true;
  if (!dialog.Execute()) return;
  txtMarkerSymbol.SetText(platform::ExtractFileName(dialog.fileName));
}

void TdlgQXDimension::SelectTypedLayer(platform::ComboBox& list) {
  if (list.ItemIndex() >= 0) return;
  list.SetItemIndex(std::min(LayerNumberFromText(list.Text()), list.items.Count() - 1));
}

void TdlgQXDimension::cbxDimLayerExit(platform::Control&) { SelectTypedLayer(cbxDimLayer); }

void TdlgQXDimension::cbxTextLayerExit(platform::Control&) { SelectTypedLayer(cbxTextLayer); }

void TdlgQXDimension::btnFontChangeClick(platform::Control&) {
  platform::FontDialog dialog;
  dialog.font = txtTTFont.font;
  dialog.font.size = ParseInt32(lblTTsize.Caption()).value_or(dialog.font.size);
  dialog.trueTypeOnly = true;
  dialog.effects = true;
  dialog.forceFontExist = true;
  if (!dialog.Execute()) return;
  txtTTFont.font.name = dialog.font.name;
  txtTTFont.font.SetStyleBits(dialog.font.StyleBits());
  txtTTFont.SetText(dialog.font.name);
  lblTTsize.SetCaption(std::to_string(dialog.font.size));
}

bool TdlgQXDimension::LengthAccepted(TUnitEdit& field) {
  // The distances may be 0 but not negative; a text needs a size.
  return CheckPaperLengthField(field, &field != &txtCTSize);
}

void TdlgQXDimension::txtLengthExit(platform::Control& sender) {
  if (auto* field = dynamic_cast<TUnitEdit*>(&sender)) LengthAccepted(*field);
}

void TdlgQXDimension::OKBtnClick(platform::Control&) {
  // OK pressed with the Enter key leaves no field: the checks of the field that still has the
  // focus run now, so nothing is stored that the field would not have accepted; a refused length
  // keeps the dialog open.
  platform::Control* focused = ActiveControl();
  if (auto* length = dynamic_cast<TUnitEdit*>(focused); length && !LengthAccepted(*length)) {
    SetModalResult(platform::ModalResult::None);
    return;
  }
  if (focused == &txtCTWidth || focused == &txtCTChar_sp || focused == &txtCTSlant ||
      focused == &cbxDimLayer || focused == &cbxTextLayer) {
    focused->DoExit();
  }

  QXConfig& config = Config();
  // A length the host cannot read (refused when its field was left) leaves its setting as it was.
  auto storeLength = [](const TUnitEdit& field, int32_t stored) {
    int32_t dbu = stored;
    TextToPaperDist(field.Text(), dbu);
    return dbu;
  };
  config.DimArrowExtLineExt = storeLength(txtArrowExtLineExt, config.DimArrowExtLineExt);
  config.DimArrowExtLineOffset = storeLength(txtArrowExtLineOffset, config.DimArrowExtLineOffset);
  config.DimTickDimLineExt = storeLength(txtTickDimLineExt, config.DimTickDimLineExt);
  config.DimTickExtLineExt = storeLength(txtTickExtLineExt, config.DimTickExtLineExt);
  config.DimTickExtLineOffset = storeLength(txtTickExtLineOffset, config.DimTickExtLineOffset);
  config.DimTerminator = rbtnArrows.Checked() ? 0 : 1;
  config.DimMarkerSymbol.Set(txtMarkerSymbol.Text());
  config.DimEditText = chkEditText.Checked() ? 1 : 0;
  config.DimAutoSnap = chkAutoSnap.Checked() ? 1 : 0;
  config.DimTextType = rgrpTextType.ItemIndex() == 1 ? 1 : 0;
  config.DimTextSize = storeLength(txtCTSize, config.DimTextSize);
  config.DimTextWidth = txtCTWidth.Value();
  const double spacing = std::clamp(RoundHalfEven(txtCTChar_sp.Value() * 10000.0), 0.0, 65535.0);
  config.DimTextCharSpacing = static_cast<uint16_t>(spacing);
  config.DimTextSlant = txtCTSlant.Value();
  config.DimTextFont = std::max(rgrpCTFont.ItemIndex(), 0);
  const int32_t storedSize = config.DimTTSize;
  config.DimTTSize = ParseInt32(lblTTsize.Caption()).value_or(storedSize);
  config.DimTTStyle = static_cast<uint8_t>(txtTTFont.font.StyleBits() & 0x0F);
  config.DimTTFontName.Set(txtTTFont.font.name);
  config.DimLayer = std::max(cbxDimLayer.ItemIndex(), 0);
  config.DimTextLayer = std::max(cbxTextLayer.ItemIndex(), 0);
}

}  // namespace qxt
