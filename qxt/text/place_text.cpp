#include "text/place_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "core/local_list.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/replaced_settings.h"
#include "core/state.h"
#include "platform/forms.h"
#include "text/rtf_builder.h"

namespace qxt {

namespace {

// The host's owner code of the placement's local list.
constexpr int16_t kPlacementOwner = -1;

// The largest TrueType size, in points, a font can be chosen at.
constexpr int32_t kLargestTrueTypeSize = 1638;

void AddToList(int16_t list, int32_t id) {
  if (id == HSI_FAILURE) return;  // nothing was created
  HsiOslEntry entry{id, 0, 0};
  HsiOslAdd(list, &entry, HSI_FALSE);
}

int16_t ClampToInt16(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// The text settings as the text dialogs would have let them be typed. A value a damaged
// configuration file holds outside those ranges (not a number included) is taken as absent: the
// default is used, and the message line names what was replaced, once per placing.
QXConfig UsableTextSettings(const QXConfig& config) {
  const QXConfig defaults = DefaultConfig(config.BaseDirectory.Get());
  QXConfig usable = config;
  ReplacedSettings replaced;
  if (replaced.Bad(config.CTSize >= 10, "size")) usable.CTSize = defaults.CTSize;
  if (replaced.Bad(Within(config.CTWidthFactor, 0.5, 3.0), "width factor"))
    usable.CTWidthFactor = defaults.CTWidthFactor;
  if (replaced.Bad(Within(config.CTOrientation, 0.0, 360.0), "orientation"))
    usable.CTOrientation = defaults.CTOrientation;
  if (replaced.Bad(Within(config.CTLineSpacing, 0.0, 9.0), "line spacing"))
    usable.CTLineSpacing = defaults.CTLineSpacing;
  if (replaced.Bad(config.CTCharSpacing <= 30000, "character spacing"))
    usable.CTCharSpacing = defaults.CTCharSpacing;
  if (replaced.Bad(config.TTSize >= 1 && config.TTSize <= kLargestTrueTypeSize, "TrueType size"))
    usable.TTSize = defaults.TTSize;
  if (replaced.Bad(Within(config.TTLineWidth, 0.0, 21.0), "TrueType line width"))
    usable.TTLineWidth = defaults.TTLineWidth;
  if (replaced.Bad(Within(config.TTOrientation, 0.0, 360.0), "TrueType orientation"))
    usable.TTOrientation = defaults.TTOrientation;
  replaced.Report("Text");
  return usable;
}

}  // namespace

HsiCadText CadTextRecord(const QXConfig& config, int16_t layer, int16_t colour) {
  HsiCadText record{};
  record.x = 0;
  record.y = 0;
  record.layer = layer;
  record.colour = colour;
  record.size = config.CTSize;
  record.charSpacing = config.CTCharSpacing;
  record.orientation = config.CTOrientation;
  record.widthFactor = config.CTWidthFactor;
  record.hcode = HorizontalCode(config.CTHJust);
  record.vcode = VerticalCode(config.CTVJust);
  record.font = ClampToInt16(config.CTFont);
  record.slant = ClampToInt16(config.CTSlant);
  record.length = 0;
  return record;
}

void SetCadTextLine(HsiCadText& record, std::string_view line) {
  const std::size_t count = std::min(line.size(), kCadTextMaxChars);
  std::memset(record.text, 0, sizeof(record.text));
  std::memcpy(record.text, line.data(), count);
  record.length = static_cast<int16_t>(count);
}

HsiPoint CadLineOffset(double orientation, double lineSpacing, int32_t size, int index) {
  const double angle = (orientation + 90.0) / kLineStepDegreesPerRadian;
  const double step = (1.0 + lineSpacing) * static_cast<double>(size) * -static_cast<double>(index);
  return HsiPoint{RoundToInt32(std::cos(angle) * step), RoundToInt32(std::sin(angle) * step)};
}

bool PlaceText(const std::vector<std::string>& cadLines, std::string_view trueTypeText) {
  const QXConfig config = UsableTextSettings(Config());
  const bool trueType = config.TextMode == 1;

  const LocalList list(kPlacementOwner);
  HsiOslRedraw(list.number(), HSI_FALSE);

  const int16_t activeLayer = HsiGetActLayer();
  const int16_t colour = HsiGetCurColor();

  // The objects to create, relative to the pick point.
  std::vector<HsiCadText> lines;
  std::vector<HsiPoint> offsets;
  std::optional<RtfDocumentBlocks> blocks;
  HsiTrueTypeText trueTypeRecord{};
  if (trueType) {
    const TrueTypeTextSettings settings = TrueTypeSettingsFrom(config);
    blocks.emplace(settings, trueTypeText);
    if (!blocks->ok()) {
      ShowError(kTextMemoryError);
      return true;
    }
    trueTypeRecord = TrueTypeRecord(settings, activeLayer, colour);
    trueTypeRecord.document = blocks->documentHandle();
  } else {
    const HsiCadText base = CadTextRecord(config, activeLayer, colour);
    const double orientation = config.CTOrientation;
    const double spacing = config.CTLineSpacing;
    const int32_t size = config.CTSize;
    for (std::size_t i = 0; i < cadLines.size(); ++i) {
      HsiCadText record = base;
      SetCadTextLine(record, cadLines[i]);
      lines.push_back(record);
      offsets.push_back(CadLineOffset(orientation, spacing, size, static_cast<int>(i)));
    }
  }

  // The preview objects must not show in the drawing, so the layer they are made on is hidden
  // while they exist. The host does not hide the active layer: a spare layer is made active
  // meanwhile, and its record is put back afterwards.
  const int16_t spareLayer = activeLayer > 254 ? int16_t{1} : static_cast<int16_t>(activeLayer + 1);
  HsiLayerRecord spareRecord{};
  HsiGetLayer(&spareRecord, spareLayer);
  HsiSetActLayer(spareLayer);
  HsiLayerRecord drawingRecord{};
  HsiGetLayer(&drawingRecord, activeLayer);
  drawingRecord.state = HSI_LAYER_OFF;
  drawingRecord.state2 = HSI_LAYER_OFF;
  HsiSetLayer(&drawingRecord, activeLayer);

  // The preview objects, relative to the origin, become the image that follows the cursor; the
  // objects themselves are then removed from the drawing.
  if (trueType) {
    HsiTrueTypeText preview = trueTypeRecord;
    preview.document = blocks->previewHandle();
    AddToList(list.number(), HsiObjCreate(HSI_RECORD_TRUETYPE, &preview, HSI_TEMPORARY));
  } else {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      HsiCadText preview = lines[i];
      preview.x = offsets[i].x;
      preview.y = offsets[i].y;
      AddToList(list.number(), HsiObjCreate(HSI_RECORD_CAD_TEXT, &preview, HSI_TEMPORARY));
    }
  }
  const HsiPoint base{0, 0};
  HsiDeleteCursor();
  HsiMakeCursor(list.number(), HSI_CURSOR_DRAG, &base, 0, &base, 0);
  HsiObjDelete(list.number());
  HsiOslClear(list.number());

  drawingRecord.state = HSI_LAYER_ON;
  drawingRecord.state2 = HSI_LAYER_ON;
  HsiSetLayer(&drawingRecord, activeLayer);
  HsiSetActLayer(activeLayer);
  HsiSetLayer(&spareRecord, spareLayer);

  HsiPoint pick{0, 0};
  int16_t status1 = -1;  // stays so when the host fails without answering
  int16_t status2 = 0;
  const HsiStatus result = HsiGetPoint(kPlacementPrompt, &pick, &status1, &status2);
  if (result == HSI_FAILURE) {
    ShowError(kPlacementPointError);
  } else if (status1 == HSI_POINT_GIVEN) {
    // The objects go onto the layer and in the colour current now (the user may have changed
    // them while picking).
    const int16_t finalLayer = HsiGetActLayer();
    const int16_t finalColour = HsiGetCurColor();
    // The id the last creation returned is the last created object, a failed creation's
    // answer included; with no line to create it stays as it was.
    std::optional<int32_t> lastId;
    if (trueType) {
      trueTypeRecord.layer = finalLayer;
      trueTypeRecord.colour = finalColour;
      trueTypeRecord.x = pick.x;
      trueTypeRecord.y = pick.y;
      lastId = HsiObjCreate(HSI_RECORD_TRUETYPE, &trueTypeRecord, HSI_FINAL);
    } else {
      for (std::size_t i = 0; i < lines.size(); ++i) {
        HsiCadText& record = lines[i];
        record.layer = finalLayer;
        record.colour = finalColour;
        record.x = RoundToInt32(static_cast<double>(pick.x) + offsets[i].x);
        record.y = RoundToInt32(static_cast<double>(pick.y) + offsets[i].y);
        lastId = HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_FINAL);
      }
    }
    if (lastId) State().LastCreatedObject = *lastId;
  }

  // The host has copied the documents it needs: both blocks go now, whichever way this ended.
  if (blocks) blocks->Release();
  HsiDeleteCursor();
  return status1 != HSI_POINT_CANCELLED;
}

bool PlaceText(const platform::Memo& memo) { return PlaceText(memo.Lines(), memo.Text()); }

}  // namespace qxt
