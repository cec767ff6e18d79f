// The drawing's SVG in pieces, for a live view that keeps its picture up to date object by
// object. Each piece is drawn in coordinates of its own: drawing units times a scale, with y
// turned downwards, so that a piece does not change when another object changes the drawing's
// extent. One transform (translate, then scale by the sheet's scale over the pieces' scale)
// places them all on the sheet that Host::WriteSvg draws the whole drawing on.
#pragma once

#include <cstdint>
#include <string>

#include "host/host.h"

namespace host {

// The sheet a drawing lies on, as Host::WriteSvg lays it out: sheet x = margin + (x - minX) *
// scale, sheet y = margin + (maxY - y) * scale.
struct SvgSheet {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;  // the extent, drawing units
  double scale = 1;                               // sheet pixels per drawing unit
  double margin = 0;                              // sheet pixels around the extent
  double width = 0, height = 0;                   // sheet pixels
};

// The sheet for a drawing whose shown objects and references cover `extent` (the empty sheet
// when it is empty).
SvgSheet SheetFor(const Host& host, Box extent);
// What the visible references cover of the drawing (empty when nothing).
Box ReferencesExtent(const Host& host);

// One shown object as an element `<g id="oID">` (class "selected" when `selected`), in its
// layer's colour and weight when it has none of its own, at `scale` units per drawing unit.
std::string ObjectPiece(const Host& host, const Object& object, double scale, bool selected);
// A digest of all that decides an object's piece (its content, its layer's colour and weight,
// its symbol, the units a TrueType text is laid out in): the piece changed when it changed.
uint64_t ObjectLook(const Host& host, const Object& object);

// The visible references (a group "references"), the cursor image the host shows while it waits
// for a point (a group "cursor-image" at its base point, as ToSvg(true) draws it) and the host's
// temporary images (a group "marks"): each empty when there is nothing to draw.
std::string ReferencesPiece(const Host& host, double scale);
std::string CursorPiece(const Host& host, double scale);
std::string MarksPiece(const Host& host, double scale);

}  // namespace host
