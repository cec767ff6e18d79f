#include "organise/layer_manager.h"

#include <cstring>
#include <string>

#include "core/command.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 104;
constexpr int kMargin = 8;
// The grid as designed; FormCreate fits it to whole cells.
constexpr int kDesignGridWidth = 420;
constexpr int kDesignGridHeight = 320;
constexpr int kLabelHeight = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
// The marker dot sits in the cell's bottom-right corner, from 6 to 1 pixels inside its edges.
constexpr int kDotOuter = 6;
constexpr int kDotInner = 1;

platform::Button& MakeButton(platform::Form& form, const char* name, const char* caption,
                             int modalResult) {
  platform::Button& button = form.Add<platform::Button>(name);
  button.SetCaption(caption);
  button.modalResult = modalResult;
  return button;
}

}  // namespace

HsiLayerRecord ReadLayer(int layer) {
  HsiLayerRecord record;
  std::memset(&record, 0, sizeof record);
  HsiGetLayer(&record, static_cast<int16_t>(layer));
  return record;
}

void WriteLayerState(int layer, std::uint16_t state) {
  HsiLayerRecord record = ReadLayer(layer);
  record.state = state;
  record.state2 = state;
  HsiSetLayer(&record, static_cast<int16_t>(layer));
}

std::string LayerName(const HsiLayerRecord& record) {
  return std::string(record.name, strnlen(record.name, sizeof record.name));
}

TdlgQXLayer::TdlgQXLayer()
    : platform::Form("TdlgQXLayer", "QX Layer"),
      sgrdLayer(Add<platform::StringGrid>("sgrdLayer")),
      lblLayer(Add<platform::Label>("lblLayer")),
      lblLayerName(Add<platform::Label>("lblLayerName")),
      btnAllOn(MakeButton(*this, "btnAllOn", "All &On", platform::ModalResult::None)),
      btnAllOff(MakeButton(*this, "btnAllOff", "All O&ff", platform::ModalResult::None)),
      btnOK(MakeButton(*this, "btnOK", "OK", platform::ModalResult::OK)),
      btnHelp(MakeButton(*this, "btnHelp", "&Help", platform::ModalResult::None)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;

  sgrdLayer.SetColCount(kGridSide);
  sgrdLayer.SetRowCount(kGridSide);
  sgrdLayer.fixedCols = 0;
  sgrdLayer.fixedRows = 0;
  sgrdLayer.gridLineWidth = 1;
  sgrdLayer.scrollBars = platform::ScrollBars::None;
  sgrdLayer.defaultDrawing = false;
  sgrdLayer.SetBounds(kMargin, kMargin, kDesignGridWidth, kDesignGridHeight);

  lblLayer.SetCaption("Layer Name:  ");
  btnOK.isDefault = true;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kHelpContext;

  sgrdLayer.OnDrawCell = [this](platform::Control& sender, int col, int row,
                                const platform::Rect& rect, platform::GridDrawState state) {
    sgrdLayerDrawCell(sender, col, row, rect, state);
  };
  sgrdLayer.OnMouseMove = [this](platform::Control& sender, platform::ShiftState shift, int x,
                                 int y) { sgrdLayerMouseMove(sender, shift, x, y); };
  sgrdLayer.OnMouseUp = [this](platform::Control& sender, platform::MouseButton button,
                               platform::ShiftState shift, int x,
                               int y) { sgrdLayerMouseUp(sender, button, shift, x, y); };
  btnAllOn.OnClick = [this](platform::Control& sender) { btnAllOnClick(sender); };
  btnAllOff.OnClick = [this](platform::Control& sender) { btnAllOffClick(sender); };

  FormCreate();
}

int TdlgQXLayer::LayerOfCell(int col, int row) {
  if (col < 0 || row < 0 || col >= kGridSide || row >= kGridSide) return 0;
  const int layer = row * kGridSide + col + 1;
  return layer <= HSI_LAYER_COUNT ? layer : 0;
}

void TdlgQXLayer::FormCreate() {
  // Every cell shows without scrolling: the cells share the designed size evenly, and the grid
  // is then made exactly 16 cells and their grid lines wide and high.
  const int cellWidth = RoundToInt32(sgrdLayer.Width() / double(kGridSide));
  const int cellHeight = RoundToInt32(sgrdLayer.Height() / double(kGridSide));
  sgrdLayer.defaultColWidth = cellWidth;
  sgrdLayer.defaultRowHeight = cellHeight;
  sgrdLayer.SetWidth(kGridSide * (cellWidth + sgrdLayer.gridLineWidth));
  sgrdLayer.SetHeight(kGridSide * (cellHeight + sgrdLayer.gridLineWidth));

  // The labels and the buttons go below the grid; the client area fits around them.
  const int labelTop = sgrdLayer.Top() + sgrdLayer.Height() + kMargin;
  lblLayer.SetBounds(kMargin, labelTop, 80, kLabelHeight);
  lblLayerName.SetBounds(kMargin + 80, labelTop, 200, kLabelHeight);
  const int buttonTop = labelTop + kLabelHeight + kMargin;
  int left = kMargin;
  for (platform::Button* button : {&btnAllOn, &btnAllOff, &btnOK, &btnHelp}) {
    button->SetBounds(left, buttonTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kButtonGap;
  }
  SetClientWidth(sgrdLayer.Left() + sgrdLayer.Width() + kMargin);
  SetClientHeight(buttonTop + kButtonHeight + kMargin);

  // The cell texts hold the layer numbers, although the painting draws the numbers itself.
  for (int row = 0; row < kGridSide; ++row) {
    for (int col = 0; col < kGridSide; ++col) {
      const int layer = LayerOfCell(col, row);
      sgrdLayer.SetCell(col, row, layer != 0 ? std::to_string(layer) : std::string());
    }
  }
}

void TdlgQXLayer::sgrdLayerDrawCell(platform::Control&, int col, int row,
                                    const platform::Rect& rect, platform::GridDrawState) {
  const int layer = LayerOfCell(col, row);
  if (layer == 0) return;  // the last cell stays blank
  platform::Canvas& canvas = sgrdLayer.GetCanvas();
  platform::Font font;
  font.name = "Small Font";
  font.size = 6;
  font.color = platform::colors::ButtonText;
  canvas.font = font;

  const HsiLayerRecord record = ReadLayer(layer);
  if (record.state2 == HSI_LAYER_ON) {
    canvas.DrawButtonFace(rect, false);
    if (layer == HsiGetActLayer()) {
      canvas.brushColor = platform::colors::Yellow;
      canvas.FillRect(rect);
    }
  } else {
    canvas.DrawButtonFace(rect, true);
  }
  canvas.TextOut(rect.left + 2, rect.top + 2, std::to_string(layer));
  if (record.marker == HSI_TRUE) {
    canvas.penColor = platform::colors::Red;
    canvas.brushColor = platform::colors::Red;
    canvas.Ellipse({rect.right - kDotOuter, rect.bottom - kDotOuter, rect.right - kDotInner,
                    rect.bottom - kDotInner});
  }
}

void TdlgQXLayer::sgrdLayerMouseMove(platform::Control&, platform::ShiftState, int x, int y) {
  int col = -1, row = -1;
  const int layer = sgrdLayer.MouseToCell({x, y}, col, row) ? LayerOfCell(col, row) : 0;
  lblLayerName.SetCaption(layer != 0 ? LayerName(ReadLayer(layer)) : std::string());
}

int TdlgQXLayer::ToggleLayer(int layer) {
  const HsiLayerRecord record = ReadLayer(layer);
  if (record.state2 != HSI_LAYER_ON) {
    WriteLayerState(layer, HSI_LAYER_ON);
    return 0;
  }
  if (layer != HsiGetActLayer()) {
    WriteLayerState(layer, HSI_LAYER_OFF);
    return 0;
  }
  // The active layer goes off only after another layer that is on took its place: the next one
  // counting up, wrapping from 255 to 1.
  for (int step = 1; step < HSI_LAYER_COUNT; ++step) {
    const int candidate = (layer - 1 + step) % HSI_LAYER_COUNT + 1;
    if (ReadLayer(candidate).state2 != HSI_LAYER_ON) continue;
    HsiSetActLayer(static_cast<int16_t>(candidate));
    WriteLayerState(layer, HSI_LAYER_OFF_WAS_ACTIVE);
    return candidate;
  }
  ShowWarning(layer_messages::kNoOtherLayerOn);
  return 0;
}

void TdlgQXLayer::RepaintLayer(int layer) {
  if (layer < 1 || layer > HSI_LAYER_COUNT) return;
  sgrdLayer.PaintCell((layer - 1) % kGridSide, (layer - 1) / kGridSide);
}

void TdlgQXLayer::sgrdLayerMouseUp(platform::Control&, platform::MouseButton button,
                                   platform::ShiftState shift, int x, int y) {
  if (button == platform::MouseButton::Right) {
    SetModalResult(platform::ModalResult::OK);
    return;
  }
  int col = -1, row = -1;
  const int layer = sgrdLayer.MouseToCell({x, y}, col, row) ? LayerOfCell(col, row) : 0;
  if (layer != 0) {
    const int newActive = ToggleLayer(layer);
    RepaintLayer(layer);
    // With Shift held the dialog stays open: the new active layer's cell turns yellow at once.
    RepaintLayer(newActive);
  }
  LayersChanged = true;
  if (!shift.OnlyShift()) SetModalResult(platform::ModalResult::OK);
}

void TdlgQXLayer::btnAllOnClick(platform::Control&) {
  for (int layer = 1; layer <= HSI_LAYER_COUNT; ++layer) WriteLayerState(layer, HSI_LAYER_ON);
  LayersChanged = true;
  sgrdLayer.Paint();
}

void TdlgQXLayer::btnAllOffClick(platform::Control&) {
  const int active = HsiGetActLayer();
  for (int layer = 1; layer <= HSI_LAYER_COUNT; ++layer) {
    if (layer != active) WriteLayerState(layer, HSI_LAYER_OFF);
  }
  LayersChanged = true;
  sgrdLayer.Paint();
}

}  // namespace qxt

QXT_EXPORT void QXLayer() {
  using namespace qxt;
  if (!ToolsReady()) return;
  SwitchHintsOn();
  AnnounceCommand("QX Layer");
  HsiPutMsg(layer_messages::kPrompt);
  TdlgQXLayer& dialog = *State().forms->dlgQXLayer;
  dialog.LayersChanged = false;
  dialog.ShowModal();
  if (dialog.LayersChanged) HsiRedraw();
  HsiStatusLineUpdate();
}
