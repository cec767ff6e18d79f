// Symbol definitions: the geometry of a .SYM file, read from its text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/geometry.h"

namespace host {

struct SymbolElement {
  enum class Kind { Lineset, Arc, Text };
  Kind kind = Kind::Lineset;
  std::vector<PointD> points;     // Lineset
  PointD centre;                  // Arc: centre; Text: position
  double radius = 0;              // Arc
  double angle1 = 0, angle2 = 0;  // Arc: degrees, counter-clockwise; Text: angle1 = orientation
  double size = 0;                // Text height
  int hcode = 0, vcode = 3;       // Text justification (host codes)
  int weight = 0;
  std::string text;
};

struct SymbolDef {
  std::string name;    // the file name, as loaded
  double unit = 8000;  // DBU per symbol unit at scale 1
  bool hasNode = false;
  PointD node;
  double nodeWidth = 0;  // in symbol units
  bool is3D = false;
  std::vector<SymbolElement> elements;
};

// Reads a symbol file's text. On failure returns nullopt and puts the line number and the reason
// into `error`. `carried` is for a symbol's text inside a drawing file, as WriteSymbol made it:
// writing may lengthen a symbol's lines (1e9 becomes 1000000000), so the line and file limits of
// symbol files do not apply to it (the drawing file has its own limit).
std::optional<SymbolDef> ParseSymbol(const std::string& text, const std::string& name,
                                     std::string* error, bool carried = false);
// The symbol's text in the .SYM format (for drawing files that carry their symbols).
std::string WriteSymbol(const SymbolDef& def);

}  // namespace host
