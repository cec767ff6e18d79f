// DXF drawings: the host's drawing written out as DXF, and a DXF read back into a drawing or
// into one symbol. The reading is checked whole before anything is made of it.
#pragma once

#include <optional>
#include <string>

#include "host/symbols.h"

namespace host {

class Host;

// Whether a path names a DXF file (it ends in ".dxf", in any letter case).
bool IsDxfPath(const std::string& path);

// The drawing's final objects, layers, symbols and units as DXF (AutoCAD 2000 text). False, with
// the reason, when it cannot be written (a build without the DXF library).
bool DrawingToDxf(const Host& host, std::string* dxf, std::string* error);

// Reads a DXF into the text of a host drawing file. `note` gets what the message line says about
// entities converted into something the host draws or skipped (empty when none were). False,
// with "line N: reason", for a damaged or truncated file.
bool DxfToDrawingFile(const std::string& dxf, std::string* drawing, std::string* note,
                      std::string* error);

// The DXF's model space as one symbol, its blocks exploded into it: symbol coordinates in the
// file's own unit, UNIT set so that the symbol is drawn at its true size in a drawing of
// `dbuPerInch` drawing units per inch. `note` as for DxfToDrawingFile.
std::optional<SymbolDef> DxfToSymbol(const std::string& dxf, const std::string& name,
                                     double dbuPerInch, std::string* note, std::string* error);

}  // namespace host
