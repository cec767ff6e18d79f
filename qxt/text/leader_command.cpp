#include "text/leader_command.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>

#include "core/command.h"
#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/state.h"
#include "core/symbols.h"
#include "core/two_point.h"
#include "text/leader_dialog.h"
#include "text/leader_geometry.h"
#include "text/place_text.h"
#include "text/text_dialog.h"

namespace qxt {

namespace {

// The owner hint of the local list that finds the text a leader snaps to.
constexpr std::int16_t kSnapListOwner = -3;
// Select-by-point at the note: pick distance 2, the point given, the text highlighted, CAD text
// only.
constexpr std::int16_t kSnapAperture = 2;
// Vertices after the first, and the drawing mode of the extension and arrowhead polylines.
constexpr std::int16_t kVertex = 2;
constexpr std::int16_t kDrawNormal = HSI_DRAW_NORMAL;

template <typename T>
T ReadAt(const HsiObjectInfo& info, std::size_t offset) {
  T value{};
  std::memcpy(&value, info.bytes + offset, sizeof value);
  return value;
}

// The text at the note point, from the information record of the first object that selecting
// there finds: x1 (offset 4), x2 (offset 12), y2 (offset 16) and the height (offset 36).
std::optional<TextExtent> TextAtPoint(HsiPoint point) {
  const LocalList list(kSnapListOwner);
  if (HsiSelectbyPoint(list.number(), "", kSnapAperture, HSI_TRUE, HSI_TRUE, &point,
                       HSI_FILTER_TEXT) != HSI_SUCCESS) {
    return std::nullopt;
  }
  HsiOslEntry entry{};
  HsiOslItem(list.number(), 0, &entry);
  HsiObjectInfo info{};
  HsiObjInfo(entry.id, &info);
  TextExtent text;
  text.x1 = ReadAt<std::int32_t>(info, 4);
  text.x2 = ReadAt<std::int32_t>(info, 12);
  text.y2 = ReadAt<std::int32_t>(info, 16);
  text.height = ReadAt<std::int32_t>(info, 36);
  return text;
}

// One polyline through the points, ended with `drawMode`.
void Polyline(std::initializer_list<HsiPoint> points, std::int16_t layer, std::int16_t weight,
              std::int16_t colour, std::int16_t drawMode) {
  auto it = points.begin();
  HsiObjStartline(&*it, layer, 0, weight, colour);
  for (++it; it != points.end(); ++it) HsiObjAddtoline(&*it, kVertex);
  HsiObjEndline(HSI_FINAL, HSI_TRUE, drawMode);
}

void PlaceSymbolArrowhead(const LeaderStyle& style, const HsiPoint& arrow, double direction) {
  const std::int32_t symbol = FindOrLoadSymbol(style.ArrowSymbol.Get());
  if (symbol == HSI_FAILURE) {
    ShowError(kNoArrowheadSymbol);
    return;
  }
  HsiPutInstance(symbol, &arrow, 1.0, 1.0, 1.0, direction, direction, direction, HSI_FINAL);
}

void DrawLineArrowhead(const LeaderStyle& style, const HsiPoint& arrow, double direction,
                       std::int16_t layer, std::int16_t colour) {
  const LineArrowhead head =
      LineArrowheadEnds(arrow, direction, style.ArrowAngle, style.ArrowLength);
  const std::int16_t weight = static_cast<std::int16_t>(
      std::clamp<std::int32_t>(+style.ArrowWeight, 0, std::numeric_limits<std::int16_t>::max()));
  Polyline({head.p1, arrow, head.p2}, layer, weight, colour, kDrawNormal);
}

// The note written at the end of a leader with auto text: the text dialog on the notes layer
// (when one is set), the active layer put back afterwards. Returns the new `placed`: false only
// when the user cancelled the placement point.
bool WriteNote(std::int32_t notesLayer, bool placed) {
  const std::int16_t activeLayer = HsiGetActLayer();
  if (notesLayer >= 1 && notesLayer <= HSI_LAYER_COUNT) {
    HsiSetActLayer(static_cast<std::int16_t>(notesLayer));
  }
  HsiStatusLineUpdate();
  TdlgQXText& dialog = *State().forms->dlgQXText;
  if (dialog.ShowModal() == platform::ModalResult::OK) placed = PlaceText(dialog.mmText);
  HsiSetActLayer(activeLayer);
  HsiStatusLineUpdate();
  return placed;
}

}  // namespace

std::int32_t LeaderTypeOf(std::int32_t stored) {
  return std::clamp(stored, kArcLeader, kReverseLineLeader);
}

bool DrawLeader(HsiPoint arrow, HsiPoint note, std::int32_t type, const LeaderStyle& style) {
  const std::int32_t extension = style.Extension;
  const std::int32_t noteOption = style.NoteOption;
  const std::int32_t arrowheadType = style.ArrowheadType;
  if (noteOption == kSnapToText) {
    const std::optional<TextExtent> text = TextAtPoint(note);
    if (!text) {
      ShowWarning(kNoTextAtNote);
      return false;
    }
    note = SnappedNotePoint(*text, arrow);
    if (ArrowWithinText(*text, arrow)) type = SwappedLineType(type);
  }

  const HsiPoint elbow = Elbow(arrow, note, type, extension);
  const double theta = HsiPang(&arrow, &elbow);
  const std::int16_t layer = HsiGetActLayer();
  const std::int16_t colour = HsiGetCurColor();
  double direction = theta;

  if (type == kArcLeader) {
    if (extension > 0) Polyline({note, elbow}, layer, 0, colour, kDrawNormal);
    if (const std::optional<ArcLeader> arc = ArcLeaderThrough(arrow, elbow, theta)) {
      HsiArc record{};
      record.cx = arc->centre.x;
      record.cy = arc->centre.y;
      record.layer = layer;
      record.colour = colour;
      record.radius = arc->radius;
      record.start = arc->first;
      record.end = arc->second;
      HsiObjCreate(HSI_RECORD_ARC, &record, HSI_FINAL);
      const std::optional<HsiPoint> along =
          ArcArrowPoint(arrow, note, *arc, arrowheadType == kSymbolArrowhead);
      direction = along ? HsiPang(&arrow, &*along) : ArcTangentAtArrow(arrow, *arc);
    } else {
      // A and E level, or one straight above the other: no arc meets the extension there, so
      // the leader runs straight from the arrow to the elbow.
      Polyline({arrow, elbow}, layer, 0, colour, colour);
    }
  } else if (extension != 0) {
    Polyline({arrow, elbow, note}, layer, 0, colour, colour);
  } else {
    Polyline({arrow, note}, layer, 0, colour, colour);
  }

  if (arrowheadType == kSymbolArrowhead) {
    PlaceSymbolArrowhead(style, arrow, direction);
  } else if (arrowheadType == kLineArrowhead) {
    DrawLineArrowhead(style, arrow, direction, layer, colour);
  }
  return true;
}

}  // namespace qxt

QXT_EXPORT void QXLeader() {
  using namespace qxt;
  // Entry check and interlock (code 3); every way out updates the status line and releases it.
  ToolRun run(kLeaderTool, ToolRun::Announce::Later);
  if (!run.Started()) return;
  Forms& forms = *State().forms;
  forms.dlgQXText->SetCaption(kAutoTextCaption);
  SwitchHintsOn();
  run.AnnounceTool();

  TdlgQXLeader& dialog = *forms.dlgQXLeader;
  if (Config().LeaderDialogBefore && dialog.ShowModal() != platform::ModalResult::OK) return;

  bool placed = true;
  for (;;) {
    std::int16_t status = 0;
    for (;;) {
      HsiPoint arrow{}, note{};
      if (!TwoPointInput(kArrowPrompt, kNotePrompt, arrow, false, State().MenuArgY, status, note)) {
        break;
      }
      // The settings as they are now: the dialog may have changed them since the last leader.
      const std::int32_t type = LeaderTypeOf(Config().LeaderType);
      const LeaderStyle style = Config().LeaderStyles[type];
      DrawLeader(arrow, note, type, style);
      if (style.NoteOption == kAutoText) {
        placed = WriteNote(style.NotesLayer, placed);
        if (!placed) break;
      }
    }
    // B2 at the first prompt offers the settings and goes on; Escape (status 0) ends.
    if (!placed || status == HSI_POINT_CANCELLED || !Config().LeaderDialogAfter) break;
    if (dialog.ShowModal() != platform::ModalResult::OK) break;
  }
}
