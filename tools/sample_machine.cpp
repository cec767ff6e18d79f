// Completes a copy of the sample machine: writes the door symbols of every size, kind and door
// group of the toolset's default door tables, draws the pictures of the symbol library and the
// macro pages from the files they stand for, as real ".BMP" bitmaps, and writes the layer files
// of the default plan types, a drawing template and a sample drawing through the host.
//
//   qxt_sample_machine ROOT PARTS      (ROOT/C is drive C:; PARTS the folder of DXF parts the
//                                      furniture group is imported from)
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/symbols.h"
#include "platform/picture.h"
#include "raster.h"
#include "sample_drawings.h"
#include "symbol_import.h"
#include "symbol_library.h"

namespace fs = std::filesystem;
using platform::Color;

namespace {

using namespace tools;
using namespace tools::ink;

// ---- Door symbols ----

// Door symbols share one convention with the host's insertion into lines and the door command:
// the node is at the hinge, at the symbol's origin, and the opening runs w along +x from it (the
// host puts the node on the insertion point and turns +x towards the direction point, for the
// justifications 0 and 1 alike). A kind of hand 0 swings into +y. A kind of hand 1 is drawn as
// the mirror image about the x axis and swings into -y: the door command sends the opening of a
// hand-1 door the other way along the wall for the same swing side, so the leaf lands on the side
// the user picked, hinged at the picked hinge point. Hand 2 (double egress) swings both ways.
struct DoorKind {
  const char* code;
  int hand;
  // The hand-0 form of the door's drawing: opening w along +x from the node, swinging into +y.
  void (*draw)(host::SymbolDef& def, double w);
};

void AddLine(host::SymbolDef& def, std::vector<host::PointD> points, int weight = 0) {
  host::SymbolElement e;
  e.kind = host::SymbolElement::Kind::Lineset;
  e.points = std::move(points);
  e.weight = weight;
  def.elements.push_back(e);
}

void AddArc(host::SymbolDef& def, double cx, double cy, double r, double a1, double a2) {
  host::SymbolElement e;
  e.kind = host::SymbolElement::Kind::Arc;
  e.centre = {cx, cy};
  e.radius = r;
  e.angle1 = a1;
  e.angle2 = a2;
  def.elements.push_back(e);
}

// Mirrors the drawing about the symbol's x axis (y becomes -y; arcs keep running
// counter-clockwise).
void MirrorInX(host::SymbolDef& def) {
  for (auto& e : def.elements) {
    for (auto& p : e.points) p.y = -p.y;
    e.centre.y = -e.centre.y;
    if (e.kind == host::SymbolElement::Kind::Arc) {
      double a1 = e.angle1, a2 = e.angle2;
      e.angle1 = a2 == 0 ? 0 : 360 - a2;
      e.angle2 = 360 - a1;
    }
  }
}

void SwingDoor(host::SymbolDef& d, double w) {
  AddLine(d, {{0, 0}, {0, w}}, 1);
  AddArc(d, 0, 0, w, 0, 90);
}

void FoldingDoor(host::SymbolDef& d, double w) {
  AddLine(d, {{0, 0}, {w / 6, w / 3}, {w / 3, 0}}, 1);
}

void PairOfDoors(host::SymbolDef& d, double w) {
  AddLine(d, {{0, 0}, {0, w / 2}}, 1);
  AddArc(d, 0, 0, w / 2, 0, 90);
  AddLine(d, {{w, 0}, {w, w / 2}}, 1);
  AddArc(d, w, 0, w / 2, 90, 180);
}

const DoorKind kDoorKinds[8] = {
    {"DR-L", 0, SwingDoor},
    {"DR-R", 1, SwingDoor},
    {"DR-LF", 0, FoldingDoor},
    {"DR-RF", 1, FoldingDoor},
    {"DR-P", 1, PairOfDoors},
    {"DR-D", 2,
     [](host::SymbolDef& d, double w) {
       AddLine(d, {{0, 0}, {0, w / 2}}, 1);
       AddArc(d, 0, 0, w / 2, 0, 90);
       AddLine(d, {{w, 0}, {w, -w / 2}}, 1);
       AddArc(d, w, 0, w / 2, 180, 270);
     }},
    {"DR-F", 1,
     [](host::SymbolDef& d, double w) {
       AddLine(d, {{0, 0}, {w / 8, w / 4}, {w / 4, 0}}, 1);
       AddLine(d, {{w, 0}, {w * 7 / 8, w / 4}, {w * 3 / 4, 0}}, 1);
     }},
    {"DR-S", 1,
     [](host::SymbolDef& d, double w) {
       AddLine(d, {{0, 1}, {w * 0.55, 1}}, 1);
       AddLine(d, {{w * 0.45, -1}, {w, -1}}, 1);
       AddLine(d, {{0, -2}, {0, 2}});
       AddLine(d, {{w, -2}, {w, 2}});
     }},
};

// The default door tables of the toolset: size codes with the first and last door kind offered.
struct DoorSize {
  int inches;
  int firstKind, lastKind;
};
const DoorSize kDoorSizes[14] = {{18, 0, 1}, {24, 0, 3}, {28, 0, 3}, {30, 0, 3}, {32, 0, 3},
                                 {36, 0, 7}, {42, 0, 7}, {46, 0, 7}, {48, 0, 7}, {60, 4, 7},
                                 {72, 4, 7}, {84, 4, 7}, {92, 4, 7}, {96, 4, 7}};
// Door groups: the suffix of the symbol name.
const char* const kGroupSuffix[3] = {"", "T", "D"};

int WriteDoorSymbols(const fs::path& folder) {
  int count = 0;
  for (const DoorSize& size : kDoorSizes) {
    for (int kind = size.firstKind; kind <= size.lastKind; ++kind) {
      for (int group = 0; group < 3; ++group) {
        host::SymbolDef def;
        def.name =
            std::to_string(size.inches) + kDoorKinds[kind].code + kGroupSuffix[group] + ".SYM";
        double w = size.inches;
        def.hasNode = true;
        def.node = {0, 0};
        def.nodeWidth = w;
        kDoorKinds[kind].draw(def, w);
        if (kDoorKinds[kind].hand == 1) MirrorInX(def);
        if (group == 2) {  // demolition: the opening crossed out
          AddLine(def, {{0, -3}, {w, 3}});
          AddLine(def, {{0, 3}, {w, -3}});
        }
        std::ofstream out(folder / def.name, std::ios::binary);
        out << host::WriteSymbol(def);
        if (!out) throw std::runtime_error("cannot write " + (folder / def.name).string());
        ++count;
      }
    }
  }
  return count;
}

// ---- Macro pages ----

int DrawMacroPages(const fs::path& folder) {
  auto control = FindFile(folder, "QXMACRO.CTL");
  if (!control) return 0;
  std::vector<std::string> lines = ReadLines(*control);
  int pages = LeadingInt(lines.at(1));
  for (int p = 0; p < pages; ++p) {
    std::string page = Trim(lines.at(static_cast<size_t>(2 + p)));
    auto list = FindFile(folder, page + ".LST");
    if (!list) throw std::runtime_error("no button list " + page + ".LST");
    std::vector<std::string> buttons = ReadLines(*list);
    int rows = std::max(1, static_cast<int>((buttons.size() + 4) / 5));
    tools::Raster r(300, rows * 60);
    for (size_t i = 0; i < buttons.size(); ++i) {
      int left = static_cast<int>(i % 5) * 60, top = static_cast<int>(i / 5) * 60;
      std::string command = Trim(buttons[i]);
      if (command.empty() || Upper(command) == "NONE") {
        r.Frame(left, top, left + 59, top + 59, kGrid);
        continue;
      }
      r.Fill(left, top, left + 59, top + 59, kFace);
      r.Line(left, top, left + 58, top, kLight);
      r.Line(left, top, left, top + 58, kLight);
      r.Line(left + 59, top, left + 59, top + 59, kShadow);
      r.Line(left, top + 59, left + 59, top + 59, kShadow);
      std::string ext =
          command.rfind('.') == std::string::npos ? "" : command.substr(command.rfind('.') + 1);
      CentredText(r, left + 30, top + 18, BaseName(command), kInk, 56);
      CentredText(r, left + 30, top + 34, ext, kLabel, 56);
    }
    WriteBitmap(folder / (page + ".BMP"), r.Bitmap());
  }
  return pages;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: qxt_sample_machine ROOT PARTS\n";
    return 2;
  }
  fs::path parts = argv[2];
  fs::path root = argv[1];
  try {
    // Empty folders carry a ".keep" file in the source tree only.
    std::vector<fs::path> keeps;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.path().filename() == ".keep") keeps.push_back(entry.path());
    }
    for (const auto& keep : keeps) fs::remove(keep);
    fs::path symbols = root / "C" / "TRACELON" / "SYMBOLS";
    int doors = WriteDoorSymbols(symbols);
    // The furniture group: the architectural parts library's DXF files.
    if (!fs::is_directory(parts))
      throw std::runtime_error("no parts library at " + parts.string() +
                               " (./do setup installs it: Debian's librecad-data)");
    tools::ImportedGroup furniture = tools::ImportSymbolGroup(parts, "Furniture", root);
    int library = DrawSymbolLibrary(root / "C" / "QXTOOLS" / "QXSYMBOL", symbols);
    int macros = DrawMacroPages(root / "C" / "TRACELON" / "MACROS");
    int layers = tools::WriteLayerFiles(root / "C" / "QXTOOLS" / "layers");
    tools::WriteDrawings(root);
    std::cout << "sample machine: " << doors << " door symbols, " << library
              << " symbol library pictures, " << furniture.symbols.size()
              << " furniture symbols from DXF parts, " << macros << " macro pages, " << layers
              << " layer files, a template and a sample drawing\n";
  } catch (const std::exception& e) {
    std::cerr << "qxt_sample_machine: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
