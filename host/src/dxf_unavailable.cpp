// A build without the DXF library (the Windows build): DXF files are refused with the reason.
#include "host/dxf.h"

namespace host {

namespace {
constexpr const char* kNoDxf = "this build of the host cannot read or write DXF files";
}

bool DrawingToDxf(const Host&, std::string*, std::string* error) {
  if (error) *error = kNoDxf;
  return false;
}

bool DxfToDrawingFile(const std::string&, std::string*, std::string*, std::string* error) {
  if (error) *error = kNoDxf;
  return false;
}

std::optional<SymbolDef> DxfToSymbol(const std::string&, const std::string&, double, std::string*,
                                     std::string* error) {
  if (error) *error = kNoDxf;
  return std::nullopt;
}

}  // namespace host
