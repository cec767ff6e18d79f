// The drawing's objects: linesets, arcs, CAD text, TrueType text and symbol instances.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "host/geometry.h"

namespace host {

struct LinesetData {
  std::vector<Point> points;
  int16_t style = 0;
  int16_t weight = 0;
};

struct ArcData {
  int32_t radius = 0;
  Point start, end;  // counter-clockwise from start to end; the object's point is the centre
};

struct TextData {
  int32_t size = 0;
  uint16_t charSpacing = 0;
  double orientation = 0;
  double widthFactor = 1;
  int16_t hcode = 0, vcode = 3, font = 0, slant = 0;
  std::string text;
};

struct TrueTypeData {
  double scaleX = 1, scaleY = 1, orientation = 0;
  int16_t hcode = 0, vcode = 3;
  int16_t content = 1;  // 1 RTF document, 2 plain text
  std::string face;
  int16_t size = 10, style = 0;
  std::string document;  // the RTF document (content 1) or the plain text (content 2)
  // For plain text: the layout settings in force when it was made.
  double plainWidth = 12.0;
  int16_t plainWrap = 0, plainAlign = 0;
};

struct SymbolData {
  int32_t symbol = 0;
  std::string name;
  double scaleX = 1, scaleY = 1, scaleZ = 1;
  double rotation = 0, rotationY = 0, rotationZ = 0;
  bool inserted = false;
};

enum class ObjectKind { Lineset, Arc, Text, TrueType, Symbol };

struct Object {
  int32_t id = 0;
  bool final = true;
  int16_t layer = 1;
  int16_t colour = 7;
  Point at;  // lineset: first vertex; arc: centre; text: vertex; TrueType: pick point; symbol:
             // insertion point
  std::variant<LinesetData, ArcData, TextData, TrueTypeData, SymbolData> data;

  ObjectKind Kind() const { return static_cast<ObjectKind>(data.index()); }
  int16_t HsiType() const;  // HSI_OBJ_...
};

// Moves every point of the object by (dx, dy), clamped to the coordinate range.
void Translate(Object& object, int64_t dx, int64_t dy);

// A short description for transcripts: "lineset 0,0 1000,0", "text \"NOTE\" at 100,200".
std::string Describe(const Object& object);

}  // namespace host
