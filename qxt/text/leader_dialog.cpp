#include "text/leader_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
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

constexpr int kClientWidth = 452;
constexpr int kClientHeight = 288;  // the notes layer list and a margin below it
constexpr int kButtonLeft = 360;
constexpr int kButtonStep = 30;
constexpr std::size_t kSymbolNameChars = 13;
constexpr int kAngleChars = 8;
constexpr int kLengthChars = 20;
constexpr int kMaxWeight = 255;

platform::Label& MakeLabel(platform::Form& form, const char* name, platform::Control* parent,
                           int left, int top, int width, const char* caption) {
  return Make<platform::Label>(form, name, parent, left, top, width, 16, caption);
}

}  // namespace

TdlgQXLeader::TdlgQXLeader()
    : platform::Form("TdlgQXLeader", "QX Leader"),
      rGrpLeaderType(Make<platform::RadioGroup>(*this, "rGrpLeaderType", nullptr, 8, 8, 200, 84,
                                                "L&eader Type",
                                                "Selects the type of leader to draw")),
      lblExtension(MakeLabel(*this, "lblExtension", nullptr, 8, 104, 70, "E&xtension:")),
      txtExtension(Make<platform::Edit>(
          *this, "txtExtension", nullptr, 84, 100, 124, 21, {},
          "Enter the length of the horizontal extension in scaled paper units")),
      rGrpArrowheadType(Make<platform::RadioGroup>(
          *this, "rGrpArrowheadType", nullptr, 216, 8, 136, 64, "Arrowhead &Type",
          "Choose to use a symbol for you arrowhead, or to draw lines for the arrowhead")),
      lblSymbolName(MakeLabel(*this, "lblSymbolName", nullptr, 216, 80, 100, "&Symbol Name:")),
      txtSymbolName(Make<platform::Edit>(
          *this, "txtSymbolName", nullptr, 216, 98, 136, 21, {},
          "Enter the name of the symbol to use as your arrowhead, or press the Browse button")),
      btnBrowse(Make<platform::Button>(*this, "btnBrowse", nullptr, 272, 124, 80, 25, "&Browse",
                                       "Press this button to select a new arrowhead symbol")),
      lblAngle(MakeLabel(*this, "lblAngle", nullptr, 216, 160, 60, "An&gle:")),
      txtAngle(Make<platform::Edit>(*this, "txtAngle", nullptr, 280, 156, 72, 21, {},
                                    "Enter the angle in degrees between the arrowhead lines")),
      lblLength(MakeLabel(*this, "lblLength", nullptr, 216, 186, 60, "Lengt&h:")),
      txtLength(
          Make<platform::Edit>(*this, "txtLength", nullptr, 280, 182, 72, 21, {},
                               "Enter the length for the arrowhead lines in paper scaled units")),
      lblWeight(MakeLabel(*this, "lblWeight", nullptr, 216, 212, 60, "&Weight:")),
      txtWeight(Make<platform::Edit>(*this, "txtWeight", nullptr, 280, 208, 72, 21, {},
                                     "Enter a weight factor (0-255) for the arrowhead lines")),
      grpNoteOptions(
          Make<platform::GroupBox>(*this, "grpNoteOptions", nullptr, 8, 132, 200, 92, "Notes")),
      rbtnNoteOptionsNone(Make<platform::RadioButton>(*this, "rbtnNoteOptionsNone", &grpNoteOptions,
                                                      8, 18, 180, 20, "N&one",
                                                      "Don't draw notes, draw leaders only")),
      rbtnNoteOptionsAutoText(Make<platform::RadioButton>(
          *this, "rbtnNoteOptionsAutoText", &grpNoteOptions, 8, 42, 180, 20, "A&uto Text",
          "Automatically enter the QX Text command to draw notes")),
      rbtnNoteOptionsSnapToText(Make<platform::RadioButton>(
          *this, "rbtnNoteOptionsSnapToText", &grpNoteOptions, 8, 66, 180, 20, "Snap to Te&xt",
          "Select existing text in the drawing as the leader's note")),
      lblNotesLayer(MakeLabel(*this, "lblNotesLayer", nullptr, 8, 240, 200,
                              "La&yer for notes (0 for default):")),
      cbxNotesLayer(Make<platform::ComboBox>(
          *this, "cbxNotesLayer", nullptr, 8, 258, 200, 21, {},
          "If you want to draw notes, select the layer to place the notes on")),
      btnOK(MakeButton(*this, "btnOK", kButtonLeft, 8, "OK", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", kButtonLeft, 8 + kButtonStep, "Cancel",
                           platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", kButtonLeft, 8 + 2 * kButtonStep, "&Help",
                         platform::ModalResult::None)) {
  helpContext = 105;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  // Whether the dialog shows hints is settled once, here, from the setting of that time.
  showHint = Config().LeaderHints != 0;

  rGrpLeaderType.items = {"&Arc", "Normal &Line", "Line with &reverse extension"};
  rGrpArrowheadType.items = {"Use S&ymbol", "Draw Lin&es"};
  lblExtension.focusControl = &txtExtension;
  lblSymbolName.focusControl = &txtSymbolName;
  lblAngle.focusControl = &txtAngle;
  lblLength.focusControl = &txtLength;
  lblWeight.focusControl = &txtWeight;
  lblNotesLayer.focusControl = &cbxNotesLayer;
  txtAngle.maxLength = kAngleChars;
  txtAngle.SetText("15");
  txtLength.maxLength = kLengthChars;
  txtLength.SetText("1/8\"");
  cbxNotesLayer.style = platform::ComboBox::Style::DropDown;

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  // Cancelling leaves without using the fields, so it leaves without their checks.
  btnCancel.causesValidation = false;
  btnHelp.kind = platform::Button::Kind::Help;

  OnShow = [this](platform::Form& sender) { FormShow(sender); };
  OnClose = [this](platform::Form& sender, platform::CloseAction& action) {
    FormClose(sender, action);
  };
  rGrpLeaderType.OnEnter = [this](platform::Control& sender) { rGrpLeaderTypeEnter(sender); };
  rGrpLeaderType.OnClick = [this](platform::Control& sender) { rGrpLeaderTypeClick(sender); };
  btnBrowse.OnClick = [this](platform::Control& sender) { btnBrowseClick(sender); };
  for (platform::RadioButton* option :
       {&rbtnNoteOptionsNone, &rbtnNoteOptionsAutoText, &rbtnNoteOptionsSnapToText}) {
    option->OnClick = [this](platform::Control& sender) { NoteOptionClick(sender); };
  }
  cbxNotesLayer.OnExit = [this](platform::Control& sender) { cbxNotesLayerExit(sender); };
  txtExtension.OnExit = [this](platform::Control& sender) { txtLengthExit(sender); };
  txtLength.OnExit = [this](platform::Control& sender) { txtLengthExit(sender); };
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };
}

int TdlgQXLeader::NotesLayerFromText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    // Past the top of the range the number only needs to stay above it.
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), 100000);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, HSI_LAYER_COUNT));
}

std::string TdlgQXLeader::NotesLayerItem(int layer, const std::string& name) {
  std::string item = std::to_string(layer) + " - " + name;
  if (item.size() > kNotesLayerItemChars) item.resize(kNotesLayerItemChars);
  return item;
}

void TdlgQXLeader::FillNotesLayers() {
  cbxNotesLayer.items.Clear();
  cbxNotesLayer.items.Add("0 - Use default layer");
  for (int layer = 1; layer <= HSI_LAYER_COUNT; ++layer) {
    HsiLayerRecord record{};
    HsiGetLayer(&record, static_cast<std::int16_t>(layer));
    const std::string name(record.name, strnlen(record.name, sizeof record.name));
    cbxNotesLayer.items.Add(NotesLayerItem(layer, name));
  }
}

void TdlgQXLeader::FormShow(platform::Form&) {
  copy_ = Config();
  // The layer names belong to the drawing, which may have changed since the last showing.
  FillNotesLayers();
  const int type = std::clamp<int>(+copy_.LeaderType, 0, 2);
  rGrpLeaderType.SetItemIndex(type);  // a change of type loads its record by the click
  LoadStyle(type);
  HsiPutMsg(kLeaderDialogMessage);
}

void TdlgQXLeader::FormClose(platform::Form&, platform::CloseAction&) { HsiStatusLineUpdate(); }

void TdlgQXLeader::LoadStyle(int type) {
  const LeaderStyle style = copy_.LeaderStyles[type];
  txtExtension.SetText(PaperDistToText(style.Extension));
  rGrpArrowheadType.SetItemIndex(style.ArrowheadType == 1 ? 1 : 0);
  txtSymbolName.SetText(style.ArrowSymbol.Get());
  txtAngle.SetText(RealToText(style.ArrowAngle));
  txtLength.SetText(PaperDistToText(style.ArrowLength));
  txtWeight.SetText(std::to_string(style.ArrowWeight));
  switch (style.NoteOption) {
    case 1:
      rbtnNoteOptionsAutoText.SetChecked(true);
      break;
    case 2:
      rbtnNoteOptionsSnapToText.SetChecked(true);
      break;
    default:
      rbtnNoteOptionsNone.SetChecked(true);
      break;
  }
  NoteOptionClick(rbtnNoteOptionsNone);
  cbxNotesLayer.SetItemIndex(std::clamp<int>(+style.NotesLayer, 0, HSI_LAYER_COUNT));
}

void TdlgQXLeader::SaveStyle(int type) {
  if (type < 0 || type > 2) return;
  LeaderStyle style = copy_.LeaderStyles[type];
  // A length the host cannot read keeps the value stored.
  std::int32_t extension = style.Extension;
  TextToPaperDist(txtExtension.Text(), extension);
  style.Extension = extension;
  style.ArrowheadType = rGrpArrowheadType.ItemIndex() == 1 ? 1 : 0;
  style.ArrowSymbol.Set(txtSymbolName.Text().substr(0, kSymbolNameChars));
  style.ArrowAngle = TextToReal(txtAngle.Text());
  std::int32_t length = style.ArrowLength;
  TextToPaperDist(txtLength.Text(), length);
  style.ArrowLength = length;
  // The host takes a weight of 0 to 255; a number outside is brought into that range.
  style.ArrowWeight = std::clamp(ParseInt32(txtWeight.Text()).value_or(0), 0, kMaxWeight);
  style.NoteOption = SelectedNoteOption();
  const int item = cbxNotesLayer.ItemIndex();
  style.NotesLayer = item >= 0 ? item : NotesLayerFromText(cbxNotesLayer.Text());
  copy_.LeaderStyles[type] = style;
}

int TdlgQXLeader::SelectedNoteOption() const {
  if (rbtnNoteOptionsAutoText.Checked()) return 1;
  if (rbtnNoteOptionsSnapToText.Checked()) return 2;
  return 0;
}

void TdlgQXLeader::rGrpLeaderTypeEnter(platform::Control&) {
  SaveStyle(rGrpLeaderType.ItemIndex());
}

void TdlgQXLeader::rGrpLeaderTypeClick(platform::Control&) {
  const int type = rGrpLeaderType.ItemIndex();
  if (type >= 0) LoadStyle(type);
}

void TdlgQXLeader::btnBrowseClick(platform::Control&) {
  platform::OpenDialog dialog;
  dialog.title = kArrowheadBrowseTitle;
  dialog.filter = kArrowheadBrowseFilter;
  dialog.defaultExt = "SYM";
  dialog.fileMustExist = true;
  dialog.pathMustExist = true;
  char folder[HSI_PATH_SIZE + 1] = {};
  if (HsiGetPaths(folder, HSI_PATH_SYMBOLS, 1) == HSI_SUCCESS) {
    folder[HSI_PATH_SIZE] = '\0';
    dialog.initialDir = folder;
  }
  if (dialog.Execute()) txtSymbolName.SetText(platform::ExtractFileName(dialog.fileName));
}

void TdlgQXLeader::NoteOptionClick(platform::Control&) {
  cbxNotesLayer.SetEnabled(rbtnNoteOptionsAutoText.Checked());
}

void TdlgQXLeader::cbxNotesLayerExit(platform::Control&) {
  const std::string text = cbxNotesLayer.Text();
  int index = cbxNotesLayer.items.IndexOf(text);
  if (index < 0) index = NotesLayerFromText(text);
  cbxNotesLayer.SetItemIndex(index);
}

bool TdlgQXLeader::LengthAccepted(platform::Edit& field) {
  // An extension of 0 makes a leader without one, so only a negative one is refused; an
  // arrowhead length only has to be readable.
  if (&field == &txtExtension) return CheckPaperLengthField(field, true);
  int32_t dbu = 0;
  if (TextToPaperDist(field.Text(), dbu) == HSI_SUCCESS) return true;
  return CheckPaperLengthField(field, false);
}

void TdlgQXLeader::txtLengthExit(platform::Control& sender) {
  if (auto* field = dynamic_cast<platform::Edit*>(&sender)) LengthAccepted(*field);
}

void TdlgQXLeader::btnOKClick(platform::Control&) {
  // OK pressed with the Enter key leaves no field: the length field that still has the focus is
  // checked now, and a refused entry keeps the dialog open rather than be stored.
  platform::Control* focused = ActiveControl();
  if ((focused == &txtExtension || focused == &txtLength) &&
      !LengthAccepted(static_cast<platform::Edit&>(*focused))) {
    SetModalResult(platform::ModalResult::None);
    return;
  }
  const int type = rGrpLeaderType.ItemIndex();
  SaveStyle(type);
  if (type >= 0) copy_.LeaderType = type;
  Config() = copy_;
}

}  // namespace qxt
