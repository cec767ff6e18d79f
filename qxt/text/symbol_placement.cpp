#include "text/symbol_placement.h"

#include <algorithm>

#include "core/local_list.h"
#include "core/messages.h"
#include "core/state.h"
#include "core/units.h"
#include "platform/files.h"
#include "text/symbol_settings.h"

namespace qxt {

namespace {

namespace msg = symbol_placement_messages;

// The placing list is the host's owner 0; the two lists of insertion into lines are its owners
// -3 (the picked lines) and -2 (the lines to open).
constexpr std::int16_t kPreviewOwner = 0;
constexpr std::int16_t kPickedOwner = -3;
constexpr std::int16_t kOpenedOwner = -2;

// The aperture and filter of the line picks: linesets only.
constexpr std::int16_t kLineAperture = 2;
constexpr std::int16_t kLinesetFilter = 1;

// The layer a cell places on: its own, or the active layer (0) when it names none. A number no
// layer has (a damaged cell list) also places on the active layer, and the message line says so.
std::int16_t CellLayer(const SymbolCell& cell) {
  if (cell.Layer == 0) return 0;
  if (cell.Layer >= 1 && cell.Layer <= HSI_LAYER_COUNT)
    return static_cast<std::int16_t>(cell.Layer);
  const std::string text = "Symbol " + cell.Name + ": there is no layer " +
                           std::to_string(cell.Layer) + ", it goes on the active layer";
  HsiPutMsg(text.c_str());
  return 0;
}

// One instance of the symbol with the settings of the program mode: in 2D the third scale is 1
// and the 2D rotation goes into all three rotations.
std::int32_t PutInstance(std::int32_t symbol, const SymbolInfo& info, bool in3D, HsiPoint at,
                         std::uint16_t flag) {
  if (in3D) {
    return HsiPutInstance(symbol, &at, info.scaleX3D, info.scaleY3D, info.scaleZ3D,
                          info.rotationX3D, info.rotationY3D, info.rotationZ3D, flag);
  }
  return HsiPutInstance(symbol, &at, info.scaleX2D, info.scaleY2D, 1.0, info.rotation2D,
                        info.rotation2D, info.rotation2D, flag);
}

// The cursor image: a temporary instance at the origin, made the image that follows the cursor
// through the list, then deleted again.
void MakePreview(std::int32_t symbol, const SymbolInfo& info, bool in3D, std::int16_t list) {
  const HsiPoint origin{0, 0};
  const std::int32_t id = PutInstance(symbol, info, in3D, origin, HSI_TEMPORARY);
  if (id != HSI_FAILURE) {
    const HsiOslEntry entry{id, 0, 0};
    HsiOslAdd(list, &entry, HSI_FALSE);
  }
  if (in3D) {
    const HsiPoint3D origin3D{0, 0, 0};
    HsiMake3DCursor(list, HSI_CURSOR_DRAG, &origin3D, 0, &origin3D, 0);
  } else {
    HsiMakeCursor(list, HSI_CURSOR_DRAG, &origin, 0, &origin, 0);
  }
  if (id != HSI_FAILURE) HsiEditDelete(id);
  HsiOslClear(list);
}

// Asks for a point in the program mode; the status the host answered, or nothing when the host
// failed the request.
std::optional<std::int16_t> AskPoint(const std::string& prompt, bool in3D, HsiPoint& point) {
  std::int16_t status = 0;
  HsiStatus result;
  if (in3D) {
    HsiPoint3D point3D{0, 0, 0};
    result = HsiGet3DPoint(prompt.c_str(), &point3D, &status, &State().MenuArgY);
    point = HsiPoint{point3D.x, point3D.y};
  } else {
    result = HsiGetPoint(prompt.c_str(), &point, &status, &State().MenuArgY);
  }
  if (result == HSI_FAILURE) return std::nullopt;
  return status;
}

bool SameExtension(const std::string& name, const char* extension) {
  return platform::SameFileName(platform::ExtractFileExt(name), extension);
}

// Marks the picked segment of line `index` of the picked list on screen and adds the line to
// the lines to open, with the number of the segment's first vertex.
void MarkLine(std::int16_t picked, std::int32_t index, const HsiPoint& point, std::int16_t opened) {
  HsiOslEntry line{};
  if (HsiOslItem(picked, index, &line) != HSI_SUCCESS) return;
  std::int16_t first = 0, second = 0;
  HsiSelectLinesegment(line.id, &point, &first, &second);
  HsiObjectInfo info{};
  HsiObjInfo(line.id, &info);
  HsiPoint start{0, 0}, end{0, 0};
  HsiObjInfoxy(line.id, static_cast<std::int16_t>(first - 1), &start);
  HsiObjInfoxy(line.id, static_cast<std::int16_t>(second - 1), &end);
  const std::int16_t colour = info.head.colour;
  HsiDrawLine(&start, &end, HSI_DRAW_HIGHLIGHT, colour, 0);
  const HsiOslEntry entry{line.id, first, 0};
  HsiOslAdd(opened, &entry, HSI_TRUE);
}

}  // namespace

double SymbolScaleFactor(std::int32_t scaleMode, bool convertUnits) {
  if (scaleMode == 1) return 1.0;
  const QXConfig& config = Config();
  const double symbolScale = config.SymbolScale;
  const double pointsPerUnit = config.PointsPerUnit;
  const double hostPointsPerUnit = HsiGetPntsPerUnit();
  // A damaged setting of no points per unit would divide by zero: the symbol scale stands alone.
  double s = symbolScale;
  if (pointsPerUnit > 0 && hostPointsPerUnit > 0)
    s = symbolScale / (pointsPerUnit / hostPointsPerUnit);
  if (!convertUnits) return s;

  const HsiStatus paper = HsiGetPaperUnit();
  const HsiStatus unit = HsiGetUnitType();
  if (paper == HSI_UNIT_INCHES) {
    switch (unit) {
      case HSI_UNIT_MILLIMETRES:
        return s / 0.03937;
      case HSI_UNIT_CENTIMETRES:
        return s / 0.3937;
      case HSI_UNIT_METRES:
        return s / 39.37;
      case HSI_UNIT_FEET:
        return s / 12;
      default:
        return s;
    }
  }
  switch (unit) {
    case HSI_UNIT_INCHES:
    case HSI_UNIT_FEET_INCHES:
      return s / 2.54;
    case HSI_UNIT_MILLIMETRES:
      return s * 10;
    case HSI_UNIT_METRES:
      return s / 100;
    case HSI_UNIT_FEET:
      return s / 30.48;
    default:
      return s;
  }
}

std::int16_t JustificationCode(const std::string& justify) {
  if (justify == "L") return 0;
  if (justify == "R") return 1;
  return 2;
}

std::string PlacementPrompt(const std::string& name) {
  return "Place symbol " + name + ", or B2 to change settings...";
}

std::string OpenSegmentWarning(std::int16_t error) {
  switch (error) {
    case HSI_ERR_NO_NODE:
      return "The symbol does not contain a node.";
    case HSI_ERR_TOO_MANY_LINES:
      return "Too many lines are selected.";
    case HSI_ERR_TOO_FEW_LINES:
      return "Not enough lines are selected.";
    case HSI_ERR_DOES_NOT_FIT:
      return "Symbol does not fit in selected line(s).";
    case HSI_ERR_PLACEMENT:
      return "Symbol placement error reported by Tracelon.";
    default:
      return "Error number " + std::to_string(error) + " reported by Tracelon" +
             "\r\nwhen QX Tools instructed Tracelon to insert symbol.";
  }
}

bool PlaceSymbol(const SymbolCell& cell, std::uint16_t groupMode) {
  SymbolInfo info = UniformSymbolInfo(SymbolScaleFactor(cell.ScaleMode, true));
  const bool in3D = HostIn3D();
  const std::int32_t symbol = in3D ? FindOrLoadSymbol(cell.Name, kFindSymbol3D, kLoadSymbol3D)
                                   : FindOrLoadSymbol(cell.Name);
  if (symbol == HSI_FAILURE) {
    // A symbol file of the other program mode is the likely cause when its extension says so.
    const bool wrongMode = (!in3D && SameExtension(cell.Name, ".S3D")) ||
                           (HsiGetProgMode() == HSI_MODE_3D && SameExtension(cell.Name, ".SYM"));
    ShowWarning(wrongMode ? std::string(msg::kCheckProgramMode)
                          : "Could not find symbol - " + cell.Name + msg::kPlaceNotFound);
    return true;
  }

  const std::int16_t layer = CellLayer(cell);
  const LocalList preview(kPreviewOwner);
  MakePreview(symbol, info, in3D, preview.number());
  const std::string prompt = PlacementPrompt(cell.Name);
  for (;;) {
    SetHostSymbolInfo(info);
    HsiPoint point{0, 0};
    const std::optional<std::int16_t> status = AskPoint(prompt, in3D, point);
    // A request the host failed cannot be asked again with any hope: placing ends.
    if (!status || *status == HSI_POINT_CANCELLED) {
      HsiDeleteCursor();
      return false;
    }
    if (*status == HSI_POINT_GIVEN) {
      const std::int16_t active = HsiGetActLayer();
      const bool switchLayer = layer != 0;
      if (switchLayer) HsiSetActLayer(layer);
      PutInstance(symbol, info, in3D, point, HSI_FINAL);
      if (switchLayer) HsiSetActLayer(active);
    } else if (*status == HSI_POINT_BUTTON2) {
      const int result = EditSymbolSettings(info, groupMode);
      HsiDeleteCursor();
      if (result == 1) return false;
      if (result == 2) return true;
      SetHostSymbolInfo(info);
      MakePreview(symbol, info, in3D, preview.number());
    }
  }
}

bool InsertSymbolIntoLines(const SymbolCell& cell) {
  if (HostIn3D()) {
    ShowWarning(msg::kInsertIn3D);
    return true;
  }
  const std::int16_t justification = JustificationCode(cell.Justify);
  const double s = SymbolScaleFactor(cell.ScaleMode, false);
  const std::int32_t symbol = FindOrLoadSymbol(cell.Name);
  if (symbol == HSI_FAILURE) {
    ShowWarning("Could not find symbol - " + cell.Name + msg::kInsertNotFound);
    return true;
  }
  SetHostSymbolInfo(UniformSymbolInfo(s));
  const std::int16_t layer = CellLayer(cell);

  const LocalList picked(kPickedOwner);
  const LocalList opened(kOpenedOwner);
  const std::int16_t p = picked.number();
  const std::int16_t q = opened.number();
  const std::string directionPrompt = "Pick direction for symbol " + cell.Name;
  bool result = false;
  for (;;) {
    HsiOslClear(p);
    HsiPoint linePoint{0, 0};
    const std::optional<std::int16_t> lineStatus = AskPoint(msg::kPickLines, false, linePoint);
    if (lineStatus == HSI_POINT_BUTTON2) {
      result = true;
      break;
    }
    if (lineStatus != HSI_POINT_GIVEN) break;

    // Each selection adds the nearest line not taken yet: both faces of a wall.
    for (int i = 0; i < 2; ++i) {
      HsiPoint at = linePoint;
      HsiSelectbyPoint(p, " ", kLineAperture, HSI_TRUE, HSI_TRUE, &at, kLinesetFilter);
    }
    const std::int32_t count = HsiOslCount(p);
    if (count < 1) {
      ShowWarning(msg::kNothingSelected);
      continue;
    }
    HsiOslClear(q);
    MarkLine(p, 0, linePoint, q);
    if (count >= 2) MarkLine(p, 1, linePoint, q);

    HsiPoint insertion{0, 0};
    const std::optional<std::int16_t> insertionStatus =
        AskPoint(msg::kPickInsertion, false, insertion);
    if (insertionStatus == HSI_POINT_BUTTON2) continue;
    if (insertionStatus != HSI_POINT_GIVEN) break;
    HsiPoint direction{0, 0};
    const std::optional<std::int16_t> directionStatus = AskPoint(directionPrompt, false, direction);
    if (directionStatus == HSI_POINT_BUTTON2) continue;
    if (directionStatus != HSI_POINT_GIVEN) break;

    const std::int16_t active = HsiGetActLayer();
    const bool switchLayer = layer != 0;
    if (switchLayer) HsiSetActLayer(layer);
    if (HsiObjOpenSegment(q, symbol, &insertion, &direction, justification) == HSI_FAILURE) {
      ShowWarning(OpenSegmentWarning(HsiGetCvErrno()));
    }
    if (switchLayer) HsiSetActLayer(active);
    HsiOslClear(q);
  }
  HsiOslClear(p);
  HsiOslClear(q);
  return result;
}

}  // namespace qxt
