#include "drafting/door_command.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "core/command.h"
#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/replaced_settings.h"
#include "core/state.h"
#include "core/symbols.h"
#include "core/two_point.h"
#include "core/units.h"
#include "drafting/door_dialog.h"
#include "platform/system.h"
#include "text/symbol_placement.h"

namespace qxt {

namespace {

namespace msg = door_messages;

// Degrees to radians with the toolset's constant.
constexpr double kDegreesPerRadian = 57.29578;

// The host's owners of the two local lists: the lines found at the pick, and the lines to open.
constexpr std::int16_t kSearchOwner = -3;
constexpr std::int16_t kOpenOwner = -2;
// The pick aperture and filter for wall lines: linesets only.
constexpr std::int16_t kWallAperture = 2;
constexpr std::int16_t kLinesetFilter = 1;
// The picked segment is marked in this colour.
constexpr std::int16_t kMarkColour = 2;

// A point moved by a step (or back by it), held inside the world.
HsiPoint Minus(HsiPoint a, HsiPoint b) {
  return OffsetInWorld(a, -std::int64_t{b.x}, -std::int64_t{b.y});
}
HsiPoint Plus(HsiPoint a, HsiPoint b) { return OffsetInWorld(a, b.x, b.y); }

std::int32_t Rounded(double value) { return static_cast<std::int32_t>(std::lround(value)); }

// The shift of k along the wall at `degrees`, each component rounded by itself.
HsiPoint Shift(double degrees, double k) {
  const double radians = degrees / kDegreesPerRadian;
  return {Rounded(std::cos(radians) * k), Rounded(std::sin(radians) * k)};
}

HsiPoint Foot(HsiPoint start, HsiPoint end, HsiPoint point) {
  HsiPoint foot{point};
  HsiNormal(&start, &end, &point, &foot);
  return foot;
}

double SquaredDistance(HsiPoint a, HsiPoint b) {
  const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
  return dx * dx + dy * dy;
}

// One picked wall line: the ends of its picked segment and its layer.
struct WallLine {
  HsiPoint a{0, 0}, b{0, 0};
  std::int16_t layer = 0;
};

// Takes line `index` of the search list: the ends of the segment nearest the pick, marked on
// screen, and the line (with its segment) added to the lines to open.
WallLine TakeLine(std::int16_t search, std::int32_t index, HsiPoint pick, std::int16_t open) {
  WallLine line;
  HsiOslEntry item{};
  if (HsiOslItem(search, index, &item) != HSI_SUCCESS) return line;
  std::int16_t first = 0, second = 0;
  HsiSelectLinesegment(item.id, &pick, &first, &second);
  HsiObjectInfo info{};
  HsiObjInfo(item.id, &info);
  line.layer = info.head.layer;
  HsiObjInfoxy(item.id, static_cast<std::int16_t>(first - 1), &line.a);
  HsiObjInfoxy(item.id, static_cast<std::int16_t>(second - 1), &line.b);
  HsiDrawLine(&line.a, &line.b, HSI_DRAW_HIGHLIGHT, kMarkColour, 0);
  const HsiOslEntry entry{item.id, first, 0};
  HsiOslAdd(open, &entry, HSI_TRUE);
  return line;
}

// Asks for a point; the status the user gave (0 when the host failed the request).
std::int16_t AskPoint(const char* prompt, HsiPoint& point) {
  std::int16_t status = HSI_POINT_CANCELLED;
  if (HsiGetPoint(prompt, &point, &status, &State().MenuArgY) == HSI_FAILURE)
    return HSI_POINT_CANCELLED;
  return status;
}

// The + sense along the wall as a sign for shifts along the wall angle `t`: towards B1 when the
// opening runs that way, else towards A1.
int PlusSense(const WallLine& first, double t, bool towardsB) {
  const double radians = t / kDegreesPerRadian;
  const double dot = std::cos(radians) * (double(first.b.x) - first.a.x) +
                     std::sin(radians) * (double(first.b.y) - first.a.y);
  const int alongB = dot < 0 ? -1 : 1;
  return towardsB ? alongB : -alongB;
}

// What one door draws besides itself: lines and the key symbol, each counted for undo when the
// host made it.
class DoorExtras {
 public:
  DoorExtras(const WallLine& first, const std::optional<WallLine>& second, double wallAngle,
             HsiPoint opening, double width, bool towardsB, int& undoCount)
      : first_(first),
        second_(second),
        t_(wallAngle),
        h_(opening),
        w_(width),
        sign_(PlusSense(first, wallAngle, towardsB)),
        undoCount_(undoCount) {}

  // Header lines across the opening, on each face of the wall.
  void DrawWallHeaders(std::int16_t layer) {
    const HsiPoint f = Foot(first_.a, first_.b, h_);
    const HsiPoint g = Plus(f, Along(w_));
    Line(f, g, layer);
    if (second_) Line(Foot(second_->a, second_->b, f), Foot(second_->a, second_->b, g), layer);
  }

  // The key symbol in the middle of the opening. The active layer it was placed on is left
  // active: the caller restores the layer that was active before the door. A key symbol that
  // can be neither found nor loaded is reported once per run of the command (`warned`); the door
  // stays without it.
  void PlaceReferenceSymbol(std::int16_t layer, bool& layerSwitched, bool& warned) {
    const HsiPoint m = Plus(h_, Along(w_ / 2));
    const QXConfig& config = Config();
    const std::string name = config.DoorRefSymbolName.Get();
    const std::int32_t symbol = FindOrLoadSymbol(name);
    if (symbol == HSI_FAILURE) {
      if (!warned) ShowWarning(msg::kKeySymbolNotFound + name + ".");
      warned = true;
      return;
    }
    if (layer != 0) {
      HsiSetActLayer(layer);
      layerSwitched = true;
    }
    const double scale = config.DoorRefScaleOn ? TextToReal(config.DoorRefScale.Get()) : 1.0;
    if (scale == 0) {
      ShowWarning(msg::kIllegalValue);
      return;
    }
    if (HsiPutInstance(symbol, &m, scale, scale, scale, 0, 0, 0, HSI_FINAL) == HSI_FAILURE) {
      ShowWarning(msg::kKeyRefused);
      return;
    }
    ++undoCount_;
  }

  // Jamb lines across the wall, the jamb width outside each edge of the opening.
  void DrawJambLines(std::int16_t layer) {
    if (!second_) return;
    std::int32_t j = 0;
    TextToDist(Config().DoorJambWidth.Get(), j);
    const HsiPoint f = Foot(first_.a, first_.b, h_);
    const HsiPoint j1 = Minus(f, Along(j));
    const HsiPoint j2 = Plus(j1, Along(w_ + 2.0 * j));
    Line(j1, Foot(second_->a, second_->b, j1), layer);
    Line(j2, Foot(second_->a, second_->b, j2), layer);
  }

 private:
  // k along the wall in the sense the opening runs.
  HsiPoint Along(double k) const {
    const HsiPoint shift = Shift(t_, k);
    return {sign_ * shift.x, sign_ * shift.y};
  }

  void Line(HsiPoint start, HsiPoint end, std::int16_t layer) {
    const std::int16_t colour = LayerColor(layer);
    HsiObjStartline(&start, layer, 0, 0, colour);
    HsiObjAddtoline(&end, 2);
    if (HsiObjEndline(HSI_FINAL, HSI_TRUE, colour) != static_cast<std::int32_t>(HSI_FAILURE))
      ++undoCount_;
  }

  const WallLine& first_;
  const std::optional<WallLine>& second_;
  double t_;
  HsiPoint h_;
  double w_;
  int sign_;
  int& undoCount_;
};

}  // namespace

std::string DoorSymbolName(const std::string& sizeCode, int kind, int group) {
  static const char* const kSuffix[kDoorGroupCount] = {".SYM", "T.SYM", "D.SYM"};
  const int k = std::clamp(kind, 0, kDoorKindCount - 1);
  const int g = std::clamp(group, 0, kDoorGroupCount - 1);
  return sizeCode + kDoorKinds[k].code + kSuffix[g];
}

std::string DoorOpeningError(std::int16_t error) {
  switch (static_cast<std::uint16_t>(error)) {
    case 0xFC4B:
      return "The door symbol must have a node.";
    case 0xFC4C:
      return "More than two lines were selected to open";
    case 0xFC4D:
      return "At least one line must be selected to open.";
    case 0xFC4E:
      return "An odd number of lines were selected.";
    default:
      return "The door does not fit in the wall at that location.";
  }
}

HsiPoint AlongWall(HsiPoint point, double degrees, double k) {
  return Plus(point, Shift(degrees, k));
}

// The door settings as Setup and the door dialog would have let them be chosen. A value a damaged
// configuration file holds outside those ranges is taken as absent: the default replaces it, and
// the message line names what was replaced.
void UseDefaultsForDamagedDoorSettings() {
  QXConfig& config = Config();
  const QXConfig defaults = DefaultConfig(config.BaseDirectory.Get());
  ReplacedSettings replaced;
  if (replaced.Bad(config.DoorSizeIndex >= 0 && config.DoorSizeIndex < kDoorSizeCount, "door size"))
    config.DoorSizeIndex = defaults.DoorSizeIndex;
  if (replaced.Bad(config.DoorType >= 0 && config.DoorType < kDoorGroupCount, "door group"))
    config.DoorType = defaults.DoorType;
  if (replaced.Bad(config.DoorPlacement >= 0 && config.DoorPlacement <= 2, "placement"))
    config.DoorPlacement = defaults.DoorPlacement;
  bool layersOk = true;
  for (int group = 0; group < kDoorGroupCount; ++group) {
    for (int i = 0; i < 5; ++i) {
      const std::int32_t layer = config.DoorLayers[group][i];
      if (layer >= 0 && layer <= 255) continue;
      config.DoorLayers[group][i] = defaults.DoorLayers[group][i];
      layersOk = false;
    }
  }
  replaced.Bad(layersOk, "door layers");
  replaced.Report("Door");
}

bool InsertDoors(TdlgQXDoor& dialog) {
  UseDefaultsForDamagedDoorSettings();
  const QXConfig& config = Config();
  const int size = std::clamp<std::int32_t>(config.DoorSizeIndex, 0, kDoorSizeCount - 1);
  const int kind = std::clamp(dialog.DoorKindChosen, 0, kDoorKindCount - 1);
  // A door group outside the three (a damaged setting) is taken as the first.
  const int group = config.DoorType >= 0 && config.DoorType < kDoorGroupCount ? config.DoorType : 0;
  const std::int16_t hand = static_cast<std::int16_t>(kDoorKinds[kind].hand);

  const std::string name = DoorSymbolName(config.DoorSizeCode[size].Get(), kind, group);
  const std::int32_t symbol = FindOrLoadSymbol(name);
  if (symbol == HSI_FAILURE) {
    ShowWarning(msg::kSymbolNotFound + name);
    return true;
  }
  SetHostSymbolInfo(UniformSymbolInfo(SymbolScaleFactor(0, false)));

  LocalList search(kSearchOwner);
  LocalList open(kOpenOwner);
  const std::int16_t s = search.number();
  const std::int16_t o = open.number();
  const std::int32_t placement = config.DoorPlacement;
  const char* wallPrompt = placement == 2 ? msg::kPickWallNearEnd : msg::kPickWall;

  std::int16_t ending = HSI_POINT_CANCELLED;
  for (;;) {
    HsiOslClear(s);
    HsiPoint pick{0, 0};
    ending = AskPoint(wallPrompt, pick);
    if (ending != HSI_POINT_GIVEN) break;

    // Both faces of the wall: each selection adds the nearest line not yet taken.
    for (int i = 0; i < 2; ++i) {
      HsiPoint at = pick;
      HsiSelectbyPoint(s, " ", kWallAperture, HSI_TRUE, HSI_TRUE, &at, kLinesetFilter);
    }
    const std::int32_t found = HsiOslCount(s);
    if (found < 1) {
      ShowWarning(msg::kNoWall);
      continue;
    }
    HsiOslClear(o);
    WallLine first = TakeLine(s, 0, pick, o);
    std::optional<WallLine> second;
    if (found >= 2) second = TakeLine(s, 1, pick, o);

    // Lines off the door group's wall layer are the user's call.
    const std::int16_t wallLayer = LayerNumber(config.DoorLayers[group][2]);
    if (config.DoorAutoLayer && wallLayer != 0 &&
        (first.layer != wallLayer || (second && second->layer != wallLayer))) {
      const platform::MsgResult answer =
          platform::MessageBox(msg::kNotOnWallLayer, "QX Door", platform::MsgIcon::None,
                               platform::MsgButtons::YesNo, nullptr);
      if (answer != platform::MsgResult::Yes) {
        HsiObjDraw(o, HSI_DRAW_NORMAL);
        continue;
      }
    }

    // Orient the first line to run at an angle under 180 degrees, and the second the same way
    // as the first (by the sign of their dot product: faces a hair off east-west may lie on
    // either side of 0 and 180 degrees). The wall angle is the second line's, else the first's.
    const double firstAngle = HsiPang(&first.a, &first.b);
    if (firstAngle >= 180) std::swap(first.a, first.b);
    double t = firstAngle >= 180 ? firstAngle - 180 : firstAngle;
    if (second) {
      const double dot = (double(first.b.x) - first.a.x) * (double(second->b.x) - second->a.x) +
                         (double(first.b.y) - first.a.y) * (double(second->b.y) - second->a.y);
      if (dot < 0) std::swap(second->a, second->b);
      t = HsiPang(&second->a, &second->b);
    }

    std::int32_t widthDbu = 0;
    TextToDist(config.DoorSizeText[size].Get(), widthDbu);
    const double w = widthDbu;

    // The hinge point and the shift that puts the opening's near edge where it belongs.
    HsiPoint hinge{0, 0};
    HsiPoint shift{0, 0};
    bool fromB = false;  // distance from end: measured from a far (B) end
    if (placement == 0) {
      ending = AskPoint(msg::kPickHinge, hinge);
      if (ending != HSI_POINT_GIVEN) {
        HsiObjDraw(o, HSI_DRAW_NORMAL);
        break;
      }
      // A hinge picked beside the wall stands for its foot on the first face: the swing side,
      // the opening and the extras all start there.
      hinge = Foot(first.a, first.b, hinge);
    } else if (placement == 1) {
      if (second) {
        const bool firstLonger = std::fabs(HsiDoubleDist(&first.a, &first.b)) >=
                                 std::fabs(HsiDoubleDist(&second->a, &second->b));
        if (firstLonger)
          HsiLineCenter(&second->a, &second->b, &hinge);
        else
          HsiLineCenter(&first.a, &first.b, &hinge);
      } else {
        HsiLineCenter(&first.a, &first.b, &hinge);
      }
      shift = Shift(t, w / 2);
    } else {
      std::int32_t d = 0;
      TextToDist(config.DoorDistance.Get(), d);
      HsiPoint ends[4] = {first.a, first.b, first.a, first.b};
      int count = 2;
      if (second) {
        ends[2] = second->a;
        ends[3] = second->b;
        count = 4;
      }
      int nearest = 0;
      for (int i = 1; i < count; ++i)
        if (SquaredDistance(ends[i], pick) < SquaredDistance(ends[nearest], pick)) nearest = i;
      fromB = nearest % 2 == 1;
      hinge = fromB ? Minus(ends[nearest], Shift(t, d)) : Plus(ends[nearest], Shift(t, d));
    }

    HsiPoint swing{0, 0};
    ending = AskPoint(msg::kPickSwing, swing);
    if (ending != HSI_POINT_GIVEN) {
      HsiObjDraw(o, HSI_DRAW_NORMAL);
      break;
    }
    // The swing point's direction seen along the wall, within 0..360: up to 180 is the left.
    double d = HsiPang(&hinge, &swing) - t;
    if (d < 0) d += 360;
    const bool left = d <= 180;
    const bool towardsB = (left && hand == 0) || (!left && hand != 0);
    if (placement != 0 && placement != 1) shift = towardsB == fromB ? Shift(t, w) : HsiPoint{0, 0};
    HsiPoint direction{0, 0};
    if (towardsB) {
      hinge = Minus(hinge, shift);
      direction = first.b;
    } else {
      hinge = Plus(hinge, shift);
      direction = first.a;
    }

    // Layers: the door group's, or all the active one.
    const std::int16_t active = HsiGetActLayer();
    std::int16_t doorLayer = active, noteLayer = active, jambLayer = active, headLayer = active;
    if (config.DoorAutoLayer) {
      doorLayer = LayerNumber(config.DoorLayers[group][0]);
      noteLayer = LayerNumber(config.DoorLayers[group][1]);
      jambLayer = LayerNumber(config.DoorLayers[group][3]);
      headLayer = LayerNumber(config.DoorLayers[group][4]);
    }
    bool layerSwitched = false;
    if (doorLayer != 0) {
      HsiSetActLayer(doorLayer);
      layerSwitched = true;
    }

    HsiObjDraw(o, HSI_DRAW_NORMAL);
    // A centred (double-egress) door is placed by its middle: the host centres the opening on the
    // point it is given, so it gets the middle of the opening that starts at the hinge.
    HsiPoint insertion = hinge;
    if (hand == 2) insertion = AlongWall(hinge, t, PlusSense(first, t, towardsB) * w / 2);
    if (HsiObjOpenSegment(o, symbol, &insertion, &direction, hand) == HSI_FAILURE) {
      ShowError(DoorOpeningError(HsiGetCvErrno()));
    } else {
      dialog.UndoCount = 1;
      DoorExtras extras(first, second, t, hinge, w, towardsB, dialog.UndoCount);
      if (config.DoorHeaders) extras.DrawWallHeaders(headLayer);
      if (config.DoorRefSymbol)
        extras.PlaceReferenceSymbol(noteLayer, layerSwitched, dialog.KeyMissingReported);
      if (config.DoorJambs && second) extras.DrawJambLines(jambLayer);
    }
    if (layerSwitched) HsiSetActLayer(active);
  }
  return ending != HSI_POINT_CANCELLED;
}

}  // namespace qxt

QXT_EXPORT void QXDoor() {
  using namespace qxt;
  // Entry check and interlock (code 10); every way out updates the status line and releases it.
  ToolRun tool(kDoorTool);
  if (!tool.Started()) return;
  SwitchHintsOn();
  TdlgQXDoor& dialog = *State().forms->dlgQXDoor;
  dialog.UndoCount = 0;
  dialog.KeyMissingReported = false;
  dialog.LoadFromConfig();
  while (dialog.ShowModal() == platform::ModalResult::OK) {
    dialog.StoreToConfig();
    if (!InsertDoors(dialog)) break;
  }
}
