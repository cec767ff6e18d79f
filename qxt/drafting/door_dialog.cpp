#include "drafting/door_dialog.h"

#include <cstring>
#include <string>

#include "core/config.h"
#include "core/form_layout.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr int kClientWidth = 520;
constexpr int kClientHeight = 346;
constexpr int kKindButtonSize = 48;
constexpr int kButtonTop = 312;

// The picture on a kind button: the door in plan in a 40 x 40 square, in the opening between two
// stubs of wall. Arcs run counter-clockwise from their start to their end.
platform::Picture KindGlyph(int kind) {
  platform::Metafile picture;
  picture.width = 40;
  picture.height = 40;
  const platform::Color wall = platform::colors::Gray;
  const int y = kind == 5 ? 20 : 34;  // the wall line (double egress swings both ways)
  picture.AddLine({0, y}, {4, y}, wall);
  picture.AddLine({36, y}, {40, y}, wall);
  switch (kind) {
    case 0:  // left hand: hinged on the left, one leaf and its swing
      picture.AddLine({4, y}, {4, y - 32});
      picture.AddArc({-28, y - 32, 36, y + 32}, {36, y}, {4, y - 32});
      break;
    case 1:  // right hand: hinged on the right
      picture.AddLine({36, y}, {36, y - 32});
      picture.AddArc({4, y - 32, 68, y + 32}, {36, y - 32}, {4, y});
      break;
    case 2:  // folding, left hand: two panels folded towards the hinge
      picture.AddPolyline({{4, y}, {12, y - 16}, {20, y}});
      break;
    case 3:  // folding, right hand
      picture.AddPolyline({{36, y}, {28, y - 16}, {20, y}});
      break;
    case 4:  // a pair of swing doors
      picture.AddLine({4, y}, {4, y - 16});
      picture.AddArc({-12, y - 16, 20, y + 16}, {20, y}, {4, y - 16});
      picture.AddLine({36, y}, {36, y - 16});
      picture.AddArc({20, y - 16, 52, y + 16}, {36, y - 16}, {20, y});
      break;
    case 5:  // double egress: one leaf each way
      picture.AddLine({4, y}, {4, y - 16});
      picture.AddArc({-12, y - 16, 20, y + 16}, {20, y}, {4, y - 16});
      picture.AddLine({36, y}, {36, y + 16});
      picture.AddArc({20, y - 16, 52, y + 16}, {20, y}, {36, y + 16});
      break;
    case 6:  // bifold: a fold from each jamb
      picture.AddPolyline({{4, y}, {8, y - 8}, {12, y}});
      picture.AddPolyline({{36, y}, {32, y - 8}, {28, y}});
      break;
    default:  // sliding: two panels passing each other
      picture.AddLine({4, y - 2}, {24, y - 2});
      picture.AddLine({16, y + 2}, {36, y + 2});
      break;
  }
  return picture;
}

// The eight kind buttons in two columns of four, made first so that they are the dialog's first
// controls in kind order.
std::array<platform::Button*, kDoorKindCount> MakeKindButtons(platform::Form& form) {
  std::array<platform::Button*, kDoorKindCount> buttons{};
  for (int kind = 0; kind < kDoorKindCount; ++kind) {
    const int column = kind % 2, row = kind / 2;
    platform::Button& button =
        Make<platform::Button>(form, kDoorKinds[kind].button, nullptr,
                               8 + column * (kKindButtonSize + 6), 10 + row * (kKindButtonSize + 6),
                               kKindButtonSize, kKindButtonSize, {}, kDoorKinds[kind].hint);
    button.tag = kind;
    button.glyph = KindGlyph(kind);
    buttons[kind] = &button;
  }
  return buttons;
}

}  // namespace

TdlgQXDoor::TdlgQXDoor()
    : platform::Form("TdlgQXDoor", "QX Door"),
      kindButtons(MakeKindButtons(*this)),
      rgrpSize(Make<platform::RadioGroup>(*this, "rgrpSize", nullptr, 118, 4, 136, 218, "&Size",
                                          "The size of the door to insert")),
      grpOptions(
          Make<platform::GroupBox>(*this, "grpOptions", nullptr, 262, 4, 250, 160, "O&ptions")),
      chkAutoLayer(Make<platform::CheckBox>(
          *this, "chkAutoLayer", &grpOptions, 10, 18, 230, 17, "&Auto Layer",
          "Check this to automatically have QX Door choose layers")),
      chkWallHeaders(Make<platform::CheckBox>(
          *this, "chkWallHeaders", &grpOptions, 10, 40, 230, 17, "Draw &Wall Headers",
          "Draw lines for the wall headers on reflected ceiling plans")),
      chkRefSymbol(Make<platform::CheckBox>(*this, "chkRefSymbol", &grpOptions, 10, 62, 130, 17,
                                            "&Reference Symbol",
                                            "Place a reference symbol in the door opening")),
      txtRefSymbol(
          Make<platform::Edit>(*this, "txtRefSymbol", &grpOptions, 142, 60, 72, 21, {},
                               "Enter the name of the reference symbol, or press button at right")),
      btnSelectSymbol(
          Make<platform::Button>(*this, "btnSelectSymbol", &grpOptions, 218, 60, 22, 21, "...")),
      RefScale(Make<platform::CheckBox>(*this, "RefScale", &grpOptions, 26, 88, 114, 17,
                                        "Reference Scale")),
      ScaleValue(Make<platform::Edit>(*this, "ScaleValue", &grpOptions, 142, 86, 72, 21)),
      chkDrawJambs(Make<platform::CheckBox>(*this, "chkDrawJambs", &grpOptions, 10, 114, 230, 17,
                                            "Draw &Jamb Lines",
                                            "Draw jamb lines outside the door opening")),
      lblJambWidth(
          Make<platform::Label>(*this, "lblJambWidth", &grpOptions, 26, 136, 46, 13, "&Width:")),
      txtJambWidth(Make<platform::Edit>(*this, "txtJambWidth", &grpOptions, 76, 132, 72, 21)),
      grpPlacement(Make<platform::GroupBox>(*this, "grpPlacement", nullptr, 262, 170, 250, 96,
                                            "&Placement Method",
                                            "The method used to locate the door position")),
      rbtnManual(Make<platform::RadioButton>(*this, "rbtnManual", &grpPlacement, 10, 20, 230, 17,
                                             "&Manual Placement")),
      rbtnCenter(Make<platform::RadioButton>(*this, "rbtnCenter", &grpPlacement, 10, 44, 230, 17,
                                             "C&enter in Wall")),
      rbtnDistance(Make<platform::RadioButton>(*this, "rbtnDistance", &grpPlacement, 10, 68, 136,
                                               17, "&Distance From End:")),
      txtDistanceFromEnd(
          Make<platform::Edit>(*this, "txtDistanceFromEnd", &grpPlacement, 150, 66, 90, 21)),
      rgrpDoorType(
          Make<platform::RadioGroup>(*this, "rgrpDoorType", nullptr, 8, 272, 504, 34, "Door &Type",
                                     "The type of door to place (specifies layer group used)")),
      btnHelp(Make<platform::Button>(*this, "btnHelp", nullptr, 8, kButtonTop, 84, 25, "Help",
                                     "Press this for help on QX Door")),
      BtnUndoLast(Make<platform::Button>(*this, "BtnUndoLast", nullptr, 336, kButtonTop, 84, 25,
                                         "&Undo Last")),
      btnCancel(
          Make<platform::Button>(*this, "btnCancel", nullptr, 428, kButtonTop, 84, 25, "Cancel")) {
  helpContext = kDoorHelpTopic;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  showHint = true;
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);

  rgrpSize.columns = 2;
  rgrpDoorType.columns = 3;
  lblJambWidth.focusControl = &txtJambWidth;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kDoorHelpTopic;
  btnCancel.modalResult = platform::ModalResult::Cancel;
  btnCancel.isCancel = true;

  for (platform::Button* button : kindButtons)
    button->OnClick = [this](platform::Control& sender) { SetDoorType(sender); };
  rgrpSize.OnClick = [this](platform::Control& sender) { rgrpSizeClick(sender); };
  btnSelectSymbol.OnClick = [this](platform::Control& sender) { btnSelectSymbolClick(sender); };
  BtnUndoLast.OnClick = [this](platform::Control& sender) { BtnUndoLastClick(sender); };
  OnShow = [this](platform::Form& sender) { FormShow(sender); };
  FormCreate();
}

void TdlgQXDoor::FormCreate() {
  FillLists();
  BtnUndoLast.Hide();
}

void TdlgQXDoor::FillLists() {
  const QXConfig& config = Config();
  rgrpSize.items.clear();
  for (int i = 0; i < kDoorSizeCount; ++i) {
    const std::string text = config.DoorSizeText[i].Get();
    if (text.empty()) break;
    rgrpSize.items.push_back(text);
  }
  rgrpDoorType.items.clear();
  for (int i = 0; i < kDoorGroupCount; ++i) rgrpDoorType.items.push_back(config.DoorTypeName[i]);
}

void TdlgQXDoor::FormShow(platform::Form&) {
  btnCancel.SetCaption(UndoCount <= 0 ? "Cancel" : "Done");
  BtnUndoLast.SetVisible(UndoCount > 0);
}

void TdlgQXDoor::SetDoorType(platform::Control& sender) {
  DoorKindChosen = sender.tag;
  SetModalResult(platform::ModalResult::OK);
}

void TdlgQXDoor::rgrpSizeClick(platform::Control&) {
  const int size = rgrpSize.ItemIndex();
  // Without a size no door can be chosen.
  if (size < 0 || size >= kDoorSizeCount) {
    for (platform::Button* button : kindButtons) button->SetEnabled(false);
    return;
  }
  const std::int32_t first = Config().DoorFirstType[size];
  const std::int32_t last = Config().DoorLastType[size];
  for (int kind = 0; kind < kDoorKindCount; ++kind)
    kindButtons[kind]->SetEnabled(kind >= first && kind <= last);
}

void TdlgQXDoor::btnSelectSymbolClick(platform::Control&) {
  platform::OpenDialog dialog;
  char folder[HSI_PATH_SIZE + 1] = {};
  if (static_cast<std::uint16_t>(HsiGetPaths(folder, HSI_PATH_SYMBOLS, 1)) == 0xFC1A) {
    folder[HSI_PATH_SIZE] = '\0';
    dialog.initialDir = folder;
  } else {
    platform::ShowMessage(kDoorPathsFailed);
  }
  dialog.title = kDoorSymbolDialogTitle;
  dialog.filter = kDoorSymbolDialogFilter;
  dialog.defaultExt = "SYM";
  dialog.fileMustExist = true;
  if (!dialog.Execute()) return;
  txtRefSymbol.SetText(platform::ExtractFileName(dialog.fileName));
}

void TdlgQXDoor::BtnUndoLastClick(platform::Control&) {
  for (int i = 0; i < UndoCount; ++i)
    HsiMenuEntry(HSI_COMMAND_UNDO, &State().MenuArgX, &State().MenuArgY);
  UndoCount = 0;
  BtnUndoLast.Hide();
}

void TdlgQXDoor::LoadFromConfig() {
  const QXConfig& config = Config();
  // The sizes and group names may have been changed in the setup form since the dialog was made.
  FillLists();
  // Setting the size fires the size list's click, which enables the kind buttons of that size.
  rgrpSize.SetItemIndex(config.DoorSizeIndex);
  if (rgrpSize.ItemIndex() < 0) rgrpSizeClick(rgrpSize);
  chkAutoLayer.SetChecked(config.DoorAutoLayer != 0);
  chkWallHeaders.SetChecked(config.DoorHeaders != 0);
  chkRefSymbol.SetChecked(config.DoorRefSymbol != 0);
  RefScale.SetChecked(config.DoorRefScaleOn != 0);
  ScaleValue.SetText(config.DoorRefScale);
  chkDrawJambs.SetChecked(config.DoorJambs != 0);
  txtJambWidth.SetText(config.DoorJambWidth);
  switch (config.DoorPlacement) {
    case 0:
      rbtnManual.SetChecked(true);
      break;
    case 1:
      rbtnCenter.SetChecked(true);
      break;
    default:
      rbtnDistance.SetChecked(true);
      break;
  }
  txtDistanceFromEnd.SetText(config.DoorDistance);
  rgrpDoorType.SetItemIndex(config.DoorType);
  txtRefSymbol.SetText(config.DoorRefSymbolName);
}

void TdlgQXDoor::StoreToConfig() const {
  QXConfig& config = Config();
  config.DoorSizeIndex = rgrpSize.ItemIndex();
  config.DoorAutoLayer = chkAutoLayer.Checked();
  config.DoorHeaders = chkWallHeaders.Checked();
  config.DoorRefSymbol = chkRefSymbol.Checked();
  config.DoorRefScaleOn = RefScale.Checked();
  config.DoorRefScale = ScaleValue.Text();
  config.DoorJambs = chkDrawJambs.Checked();
  config.DoorJambWidth = txtJambWidth.Text();
  config.DoorPlacement = Placement();
  config.DoorDistance = txtDistanceFromEnd.Text();
  config.DoorType = rgrpDoorType.ItemIndex();
  config.DoorRefSymbolName = txtRefSymbol.Text();
}

int TdlgQXDoor::Placement() const {
  if (rbtnManual.Checked()) return 0;
  if (rbtnCenter.Checked()) return 1;
  return 2;
}

}  // namespace qxt
