#include "drafting/dimension_strings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "core/units.h"
#include "drafting/dimension_edit.h"

namespace qxt {

void SnapOnly(int16_t mode) {
  HsiSetSnapMode(kSnapNone);
  if (mode != kSnapNone) HsiSetSnapMode(mode);
}

namespace {

constexpr int16_t kTextCentre = 2;  // the host's centre code, horizontal and vertical
constexpr int16_t kVertexKind = 2;  // the kind of every further vertex of a line
constexpr std::size_t kTrueTypeFaceChars = sizeof(HsiTrueTypeText::face) - 1;
constexpr std::size_t kTrueTypeTextChars = sizeof(HsiTrueTypeText::text) - 1;
constexpr std::size_t kCadTextChars = HSI_CAD_TEXT_CHARS - 1;
// How plain TrueType text is laid out: 12 inches wide, not wrapped, centred.
constexpr double kPlainTextWidth = 12.0;
constexpr int16_t kPlainTextNoWrap = 0;
constexpr int16_t kPlainTextCentred = 2;

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int16_t Clamp16(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// A layer setting: 1..255 names a layer; 0 (and anything a damaged record may hold) means the
// active layer.
int16_t ConfiguredLayer(int32_t setting) {
  return setting >= 1 && setting <= HSI_LAYER_COUNT ? static_cast<int16_t>(setting) : int16_t{0};
}

// The layer and colour of the lines and markers of one dimensioned point, decided anew for each
// point: the dimension layer and its colour, or the active layer and the current colour.
struct LineStyle {
  int16_t layer = 0;
  int16_t colour = 0;
};

LineStyle CurrentLineStyle() {
  if (const int16_t layer = ConfiguredLayer(Config().DimLayer); layer > 0)
    return {layer, LayerColor(layer)};
  return {HsiGetActLayer(), HsiGetCurColor()};
}

struct Segment {
  HsiPoint start;
  HsiPoint end;
};

bool SamePoint(HsiPoint a, HsiPoint b) { return a.x == b.x && a.y == b.y; }

// A line whose two ends coincide (an extension line as long as its gap) would be an invisible
// object: none is made.
void CreateLine(const Segment& line, const LineStyle& style) {
  if (SamePoint(line.start, line.end)) return;
  HsiObjStartline(&line.start, style.layer, 0, 0, style.colour);
  HsiObjAddtoline(&line.end, kVertexKind);
  HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
}

// A temporary image of a line (no object): drawn highlighted while the string is open.
void MarkLine(const Segment& line, int16_t mode) {
  if (SamePoint(line.start, line.end)) return;
  HsiDrawLine(&line.start, &line.end, mode, 0, 0);
}

// Symbol instances go onto the active layer: with a dimension layer set, that layer is made the
// active one while markers are placed, and the layer that was active comes back afterwards.
class MarkerLayer {
 public:
  MarkerLayer() : layer_(ConfiguredLayer(Config().DimLayer)) {
    if (layer_ == 0) return;
    saved_ = HsiGetActLayer();
    HsiSetActLayer(layer_);
  }
  ~MarkerLayer() {
    if (layer_ != 0) HsiSetActLayer(saved_);
  }
  MarkerLayer(const MarkerLayer&) = delete;
  MarkerLayer& operator=(const MarkerLayer&) = delete;

 private:
  int16_t layer_;
  int16_t saved_ = 0;
};

// Without a marker symbol (it could not be found) the string is drawn without markers.
void PutMarker(const DimensionRun& run, HsiPoint at, double rotation) {
  if (run.MarkerSymbol <= 0 || run.MarkerSymbol == static_cast<int32_t>(HSI_FAILURE)) return;
  HsiPutInstance(run.MarkerSymbol, &at, 1.0, 1.0, 1.0, rotation, rotation, rotation, HSI_FINAL);
}

// The settings one string is drawn with.
struct StringSettings {
  bool ticks = true;
  int32_t gap = 0;        // between a dimensioned point and its extension line
  int32_t extension = 0;  // of the extension lines beyond the dimension line
  int32_t overrun = 0;    // of the dimension line past its end points, with ticks
  int32_t textSize = 0;
};

StringSettings ReadSettings() {
  const QXConfig& config = Config();
  StringSettings s;
  s.ticks = config.DimTerminator != 0;
  s.gap = s.ticks ? config.DimTickExtLineOffset : config.DimArrowExtLineOffset;
  s.extension = s.ticks ? config.DimTickExtLineExt : config.DimArrowExtLineExt;
  s.overrun = s.ticks ? config.DimTickDimLineExt : 0;
  s.textSize = config.DimTextSize;
  return s;
}

enum class EditChoice { Use, Locate, UndoPoint };

// With text editing on, the user sees the value in the edit dialog and may change it, drop the
// point (Undo Point) or keep the text and move it afterwards (Locate Text).
EditChoice EditDimensionText(std::string& text) {
  if (!Config().DimEditText) return EditChoice::Use;
  TdlgDimEdit& dialog = *State().forms->dlgDimEdit;
  dialog.txtDimensionText.SetText(text);
  const int result = dialog.ShowModal();
  if (result == TdlgDimEdit::kUndoPoint) return EditChoice::UndoPoint;
  text = dialog.txtDimensionText.Text();
  return result == TdlgDimEdit::kLocateText ? EditChoice::Locate : EditChoice::Use;
}

bool AskPoint(const char* prompt, HsiPoint& point) {
  int16_t status = 0;
  HsiGetPoint(prompt, &point, &status, &State().MenuArgY);
  return status == HSI_POINT_GIVEN;
}

// The first point of a string. Without one the dimension line's mark goes and the string ends.
bool AskFirstPoint(HsiPoint p1, HsiPoint p2, HsiPoint& first) {
  if (Config().DimAutoSnap) SnapOnly(kSnapVertex);
  if (AskPoint(kFirstDimensionPointPrompt, first)) return true;
  MarkLine({p1, p2}, HSI_DRAW_ERASE);
  return false;
}

std::string LengthText(int64_t dbu) { return DistToText(Clamp32(dbu)); }

// A string along one axis: horizontal strings measure x with the dimension line at P1's y,
// vertical ones measure y with the line at P1's x.
class AxisString {
 public:
  AxisString(bool vertical, HsiPoint p1) : vertical_(vertical), line_(Across(p1)) {}

  int32_t Along(HsiPoint p) const { return vertical_ ? p.y : p.x; }
  int32_t Across(HsiPoint p) const { return vertical_ ? p.x : p.y; }
  int32_t Line() const { return line_; }
  HsiPoint At(int64_t along, int64_t across) const {
    return vertical_ ? HsiPoint{Clamp32(across), Clamp32(along)}
                     : HsiPoint{Clamp32(along), Clamp32(across)};
  }
  // Markers and texts turn with the axis.
  double Angle() const { return vertical_ ? 90.0 : 0.0; }
  // Texts stand above a horizontal line and left of a vertical one.
  int64_t TextOffset(int32_t size) const { return vertical_ ? -int64_t{size} : int64_t{size}; }

  // From the point, off it by the gap, to the extension beyond the dimension line.
  Segment ExtensionLine(HsiPoint x, const StringSettings& s) const {
    const int64_t across = Across(x);
    if (across < line_)
      return {At(Along(x), across + s.gap), At(Along(x), int64_t{line_} + s.extension)};
    return {At(Along(x), across - s.gap), At(Along(x), int64_t{line_} - s.extension)};
  }

 private:
  bool vertical_;
  int32_t line_;
};

void DrawAxisString(const DimensionRun& run, bool vertical, HsiPoint p1, HsiPoint p2) {
  const StringSettings s = ReadSettings();
  HsiPoint first{};
  if (!AskFirstPoint(p1, p2, first)) return;
  const AxisString axis(vertical, p1);
  const int32_t line = axis.Line();
  const double angle = axis.Angle();
  const Segment firstExtension = axis.ExtensionLine(first, s);
  MarkLine(firstExtension, HSI_DRAW_HIGHLIGHT);

  HsiPoint previous = first;
  int points = 1;
  LineStyle style;
  for (;;) {
    HsiPoint next{};
    if (!AskPoint(kNextDimensionPointPrompt, next)) break;
    // The previous point again (a double click) measures nothing: it is ignored.
    if (SamePoint(next, previous)) continue;
    const int64_t from = axis.Along(previous);
    const int64_t to = axis.Along(next);
    std::string text = LengthText(to > from ? to - from : from - to);
    const EditChoice choice = EditDimensionText(text);
    if (choice == EditChoice::UndoPoint) continue;

    style = CurrentLineStyle();
    CreateLine(axis.ExtensionLine(next, s), style);
    {
      const MarkerLayer markerLayer;
      if (s.ticks) {
        PutMarker(run, axis.At(to, line), angle);
      } else {
        // The arrow turned by the axis angle always stands at the smaller coordinate, whichever
        // way the points were picked.
        PutMarker(run, axis.At(std::min(from, to), line), angle);
        PutMarker(run, axis.At(std::max(from, to), line), angle + 180.0);
      }
    }
    const int64_t middle = from + static_cast<int64_t>(RoundHalfEven((to - from) / 2.0));
    PlaceDimText(run, axis.At(middle, line + axis.TextOffset(s.textSize)), text,
                 choice == EditChoice::Locate, angle);
    ++points;
    previous = next;
  }

  MarkLine({p1, p2}, HSI_DRAW_ERASE);
  if (points == 1) {
    MarkLine(firstExtension, HSI_DRAW_ERASE);
    return;
  }
  int64_t low = std::min(axis.Along(first), axis.Along(previous));
  int64_t high = std::max(axis.Along(first), axis.Along(previous));
  if (s.ticks) {
    {
      const MarkerLayer markerLayer;
      PutMarker(run, axis.At(axis.Along(first), line), angle);
    }
    low -= s.overrun;
    high += s.overrun;
  }
  CreateLine({axis.At(low, line), axis.At(high, line)}, style);
  CreateLine(firstExtension, style);
}

}  // namespace

double UprightTextAngle(double angle) {
  if (angle > 90.0 && angle < 180.0) return angle + 180.0;
  if (angle >= 180.0 && angle <= 270.0) return angle - 180.0;
  return angle;
}

double AlignedTextSide(double a) {
  if (a > 0.0 && a < 90.0) return a + 90.0;
  if (a > 90.0 && a < 270.0) return a - 90.0;
  return a - 270.0;
}

HsiPoint MoveAlong(HsiPoint p, double degrees, double distance) {
  const double radians = degrees * (std::numbers::pi / 180.0);
  return HsiPoint{
      Clamp32(int64_t{p.x} + static_cast<int64_t>(RoundHalfEven(std::cos(radians) * distance))),
      Clamp32(int64_t{p.y} + static_cast<int64_t>(RoundHalfEven(std::sin(radians) * distance)))};
}

bool LiesAhead(HsiPoint from, HsiPoint to, double degrees) {
  // Feet on the dimension line are whole drawing units, so the direction between two of them
  // strays a little from the line's own direction: compare within a right angle, never by the
  // whole degree.
  const double direction = HsiPang(&from, &to);
  const double apart = std::remainder(direction - degrees, 360.0);
  return std::abs(apart) < 90.0;
}

double OppositeAngle(double degrees) {
  return degrees >= 180.0 ? degrees - 180.0 : degrees + 180.0;
}

HsiCadText DimCadTextRecord(const QXConfig& config, HsiPoint at, int16_t layer, int16_t colour,
                            std::string_view text, double angle) {
  HsiCadText record{};
  record.x = at.x;
  record.y = at.y;
  record.layer = layer;
  record.colour = colour;
  record.size = config.DimTextSize;
  record.charSpacing = config.DimTextCharSpacing;
  record.orientation = angle;
  record.widthFactor = config.DimTextWidth;
  record.hcode = kTextCentre;
  record.vcode = kTextCentre;
  record.font = Clamp16(config.DimTextFont);
  record.slant = Clamp16(config.DimTextSlant);
  const std::size_t count = std::min(text.size(), kCadTextChars);
  std::memcpy(record.text, text.data(), count);
  record.length = static_cast<int16_t>(count);
  return record;
}

HsiTrueTypeText DimTrueTypeRecord(const QXConfig& config, HsiPoint at, int16_t layer,
                                  int16_t colour, std::string_view text, double angle) {
  HsiTrueTypeText record{};
  record.x = at.x;
  record.y = at.y;
  record.layer = layer;
  record.colour = colour;
  record.scaleX = 1.0;
  record.scaleY = 1.0;
  record.orientation = angle;
  record.hcode = kTextCentre;
  record.vcode = kTextCentre;
  record.content = HSI_TT_CONTENT_PLAIN;
  const std::string face = config.DimTTFontName.Get();
  std::memcpy(record.face, face.data(), std::min(face.size(), kTrueTypeFaceChars));
  record.size = Clamp16(config.DimTTSize);
  record.style = static_cast<int16_t>(config.DimTTStyle & 0x0F);
  record.document = 0;
  std::memcpy(record.text, text.data(), std::min(text.size(), kTrueTypeTextChars));
  return record;
}

namespace {

// Moving a new text: it follows the cursor as the image of a local list until the user picks
// its new place. The list and the cursor go however the pick ends.
class LocateList {
 public:
  explicit LocateList(int32_t id, HsiPoint at) : list_(kLocateOwner) {
    const HsiOslEntry entry{id, 0, 0};
    HsiOslAdd(list_.number(), &entry, HSI_FALSE);
    HsiMakeCursor(list_.number(), HSI_CURSOR_DRAG, &at, 0, &at, 0);
    HsiObjDraw(list_.number(), HSI_DRAW_HIGHLIGHT);
  }
  ~LocateList() {
    HsiOslClear(list_.number());
    HsiDeleteCursor();
  }
  int16_t number() const { return list_.number(); }

 private:
  // The host's owner code of the moving text's list.
  static constexpr int16_t kLocateOwner = 0;
  LocalList list_;
};

void LocateText(const DimensionRun& run, int32_t id, HsiPoint at) {
  const LocateList list(id, at);
  const bool autoSnap = Config().DimAutoSnap != 0;
  if (autoSnap) SnapOnly(run.SavedSnapMode == kSnapGrid ? kSnapGrid : kSnapNone);
  HsiPoint place{};
  int16_t status = 0;
  HsiGetPoint(kNewTextLocationPrompt, &place, &status, &State().MenuArgY);
  if (autoSnap) SnapOnly(kSnapVertex);
  if (status == HSI_POINT_GIVEN) {
    HsiEditMove(id, Clamp32(int64_t{place.x} - at.x), Clamp32(int64_t{place.y} - at.y),
                HSI_DRAW_NORMAL);
    return;
  }
  HsiObjDraw(list.number(), HSI_DRAW_NORMAL);
  if (status == HSI_POINT_CANCELLED) {
    HsiClearMenuSelection();
    ShowWarning(kMenuDuringLocateWarning);
  }
}

}  // namespace

void PlaceDimText(const DimensionRun& run, HsiPoint at, std::string_view text, bool locate,
                  double angle) {
  // An emptied text would be an invisible object that can still be selected: none is made.
  if (text.empty()) return;
  const QXConfig& config = Config();
  angle = UprightTextAngle(angle);
  int16_t layer = ConfiguredLayer(config.DimTextLayer);
  int16_t colour = 0;
  if (layer > 0) {
    colour = LayerColor(layer);
  } else {
    layer = HsiGetActLayer();
    colour = HsiGetCurColor();
  }

  int32_t id = 0;
  if (config.DimTextType == 1) {
    // Plain TrueType text is laid out by the host's TrueType settings: one centred line.
    HsiTrueTypeSettings settings{};
    HsiGetTrueTypeInfo(&settings);
    settings.plainWidth = kPlainTextWidth;
    settings.plainWrap = kPlainTextNoWrap;
    settings.plainAlign = kPlainTextCentred;
    HsiSetTrueTypeInfo(&settings);
    const HsiTrueTypeText record = DimTrueTypeRecord(config, at, layer, colour, text, angle);
    id = HsiObjCreate(HSI_RECORD_TRUETYPE, &record, HSI_FINAL);
  } else {
    const HsiCadText record = DimCadTextRecord(config, at, layer, colour, text, angle);
    id = HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_FINAL);
  }
  // A text the host refused cannot be moved.
  if (!locate || id <= 0 || id == HSI_FAILURE) return;
  LocateText(run, id, at);
}

void DrawHorizontalString(const DimensionRun& run, HsiPoint p1, HsiPoint p2) {
  DrawAxisString(run, false, p1, p2);
}

void DrawVerticalString(const DimensionRun& run, HsiPoint p1, HsiPoint p2) {
  DrawAxisString(run, true, p1, p2);
}

void DrawAlignedString(const DimensionRun& run, HsiPoint p1, HsiPoint p2) {
  const StringSettings s = ReadSettings();
  HsiPoint first{};
  if (!AskFirstPoint(p1, p2, first)) return;
  const double a = HsiPang(&p1, &p2);
  const double opposite = OppositeAngle(a);
  const double side = AlignedTextSide(a) * (std::numbers::pi / 180.0);
  const int64_t textX = static_cast<int64_t>(RoundHalfEven(std::cos(side) * s.textSize));
  const int64_t textY = static_cast<int64_t>(RoundHalfEven(std::sin(side) * s.textSize));

  // The perpendicular foot of a point on the dimension line, and the point's extension line: from
  // the point, off it by the gap towards its foot, to the extension beyond the foot.
  auto foot = [&](HsiPoint x) {
    HsiPoint f = x;
    HsiNormal(&p1, &p2, &x, &f);
    return f;
  };
  // The side of the dimension line the dimensioned points lie on, as the last point off the line
  // showed it: +1 to the left of P1->P2, -1 to the right, 0 while none is known.
  int pointsSide = 0;
  auto noteSide = [&](HsiPoint x) {
    const double cross =
        (double(p2.x) - p1.x) * (double(x.y) - p1.y) - (double(p2.y) - p1.y) * (double(x.x) - p1.x);
    if (cross != 0) pointsSide = cross > 0 ? 1 : -1;
  };
  auto extensionLine = [&](HsiPoint x, HsiPoint f) {
    double towards = HsiPang(&x, &f);
    if (SamePoint(x, f)) {
      // A point on the dimension line has no direction to its foot: its extension line stands
      // across the line, towards the side the other points lie on (before any is known, the
      // side away from the texts).
      towards = pointsSide != 0 ? a + 90.0 * pointsSide : AlignedTextSide(a) + 180.0;
    }
    return Segment{MoveAlong(x, towards, s.gap), MoveAlong(f, towards, s.extension)};
  };

  const HsiPoint firstFoot = foot(first);
  noteSide(first);
  Segment firstExtension = extensionLine(first, firstFoot);
  MarkLine(firstExtension, HSI_DRAW_HIGHLIGHT);

  HsiPoint previous = first;
  HsiPoint previousFoot = firstFoot;
  int points = 1;
  LineStyle style;
  for (;;) {
    HsiPoint next{};
    if (!AskPoint(kNextDimensionPointPrompt, next)) break;
    // The previous point again (a double click) measures nothing: it is ignored.
    if (SamePoint(next, previous)) continue;
    noteSide(next);
    const HsiPoint nextFoot = foot(next);
    std::string text = LengthText(HsiWorldDist(&previousFoot, &nextFoot));
    const EditChoice choice = EditDimensionText(text);
    if (choice == EditChoice::UndoPoint) continue;

    style = CurrentLineStyle();
    CreateLine(extensionLine(next, nextFoot), style);
    {
      const MarkerLayer markerLayer;
      if (s.ticks) {
        PutMarker(run, nextFoot, a);
      } else if (LiesAhead(previousFoot, nextFoot, a)) {
        PutMarker(run, previousFoot, a);
        PutMarker(run, nextFoot, opposite);
      } else {
        PutMarker(run, nextFoot, a);
        PutMarker(run, previousFoot, opposite);
      }
    }
    const HsiPoint textAt{
        Clamp32(static_cast<int64_t>(RoundHalfEven((int64_t{previousFoot.x} + nextFoot.x) / 2.0)) +
                textX),
        Clamp32(static_cast<int64_t>(RoundHalfEven((int64_t{previousFoot.y} + nextFoot.y) / 2.0)) +
                textY)};
    PlaceDimText(run, textAt, text, choice == EditChoice::Locate, a);
    ++points;
    previous = next;
    previousFoot = nextFoot;
  }

  MarkLine({p1, p2}, HSI_DRAW_ERASE);
  if (points == 1) {
    MarkLine(firstExtension, HSI_DRAW_ERASE);
    return;
  }
  // A first point on the line takes its side from the points picked after it.
  if (SamePoint(first, firstFoot)) {
    MarkLine(firstExtension, HSI_DRAW_ERASE);
    firstExtension = extensionLine(first, firstFoot);
  }
  Segment dimensionLine{firstFoot, previousFoot};
  if (s.ticks) {
    {
      const MarkerLayer markerLayer;
      PutMarker(run, firstFoot, a);
    }
    // The line runs past both of its ends, whichever way the string went.
    const double outward = LiesAhead(firstFoot, previousFoot, a) ? -1.0 : 1.0;
    dimensionLine.start = MoveAlong(firstFoot, a, outward * s.overrun);
    dimensionLine.end = MoveAlong(previousFoot, a, -outward * s.overrun);
  }
  CreateLine(dimensionLine, style);
  CreateLine(firstExtension, style);
}

}  // namespace qxt
