// How the host lays out texts and symbol elements: shared by extents, selection and export.
#pragma once

#include <vector>

#include "host/geometry.h"
#include "host/objects.h"
#include "host/rtf.h"
#include "host/symbols.h"
#include "host/units.h"

namespace host {

// The unrotated frame of a CAD text relative to its vertex.
struct TextFrame {
  double left = 0, bottom = 0, right = 0, top = 0;
  double advance = 0;  // per character
};
TextFrame CadTextFrame(const TextData& text);

// A TrueType text laid out: its lines, and its block relative to the pick point (unrotated).
struct TrueTypeBlock {
  std::vector<LaidLine> lines;
  double dbuPerPoint = 1;
  double width = 0, height = 0;  // DBU
  double left = 0, bottom = 0;   // DBU, relative to the pick point
};
RtfDocument TrueTypeDocument(const TrueTypeData& text);
TrueTypeBlock LayoutTrueType(const TrueTypeData& text, const UnitSettings& units);

// The element as a polyline in symbol units (arcs as chords, texts as their frame).
std::vector<PointD> ElementOutline(const SymbolElement& element);

}  // namespace host
