// The layer manager: all 255 host layers as a 16 x 16 grid of numbered cells. A click switches a
// layer on or off; the active layer hands its place to the next layer that is on before it goes
// off. A plain click closes the dialog at once; Shift-clicks collect several changes. The host
// owns the layers: every cell is painted from the host's layer record and every change is written
// straight back to it.
#pragma once

#include <cstdint>
#include <string>

#include "core/export.h"
#include "hsi/hsi.h"
#include "platform/forms.h"

namespace qxt {

namespace layer_messages {
inline constexpr const char* kPrompt = "Select layers to turn off/on...";
inline constexpr const char* kNoOtherLayerOn =
    "Please select a new active layer before turning off the active layer";
}  // namespace layer_messages

class TdlgQXLayer : public platform::Form {
 public:
  TdlgQXLayer();

  static constexpr int kGridSide = 16;

  platform::StringGrid& sgrdLayer;
  platform::Label& lblLayer;
  platform::Label& lblLayerName;
  platform::Button& btnAllOn;
  platform::Button& btnAllOff;
  platform::Button& btnOK;
  platform::Button& btnHelp;

  // Set by every click in the grid and by All On and All Off; the command clears it before
  // showing the dialog and redraws the drawing afterwards when it is set.
  bool LayersChanged = false;

  // The layer a grid cell stands for (row x 16 + column + 1), or 0 for the blank last cell and
  // for anything outside the grid.
  static int LayerOfCell(int col, int row);

  void FormCreate();
  void sgrdLayerDrawCell(platform::Control& sender, int col, int row, const platform::Rect& rect,
                         platform::GridDrawState state);
  void sgrdLayerMouseMove(platform::Control& sender, platform::ShiftState shift, int x, int y);
  void sgrdLayerMouseUp(platform::Control& sender, platform::MouseButton button,
                        platform::ShiftState shift, int x, int y);
  void btnAllOnClick(platform::Control& sender);
  void btnAllOffClick(platform::Control& sender);

 private:
  // Switches one layer by the click rules; returns the layer that became active, or 0.
  int ToggleLayer(int layer);
  void RepaintLayer(int layer);
};

// Reads a layer's record from the host, and writes it back with both display-state words set to
// `state`; every other field keeps the host's value.
HsiLayerRecord ReadLayer(int layer);
void WriteLayerState(int layer, std::uint16_t state);
// The layer's name as the record holds it (up to its terminating zero, never past the field).
std::string LayerName(const HsiLayerRecord& record);

}  // namespace qxt

// The layer command: shows the layer grid; redraws the drawing when anything changed.
QXT_EXPORT void QXLayer();
