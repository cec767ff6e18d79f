#include "core/symbols.h"

namespace qxt {

std::int32_t FindOrLoadSymbol(const std::string& name, std::int16_t findCode,
                              std::int16_t loadCode) {
  const std::int32_t found = HsiSymbolFind(findCode, name.c_str());
  if (found != HSI_FAILURE) return found;
  char folder[HSI_PATH_SIZE + 1] = {};
  HsiGetPaths(folder, HSI_PATH_SYMBOLS, 0);
  folder[HSI_PATH_SIZE] = '\0';  // never trust the host to end the text inside the buffer
  return HsiLoadSymFile(loadCode, folder, name.c_str(), HSI_TRUE);
}

SymbolInfo UniformSymbolInfo(double s) {
  SymbolInfo info;
  info.scaleX2D = info.scaleY2D = s;
  info.scaleX3D = info.scaleY3D = info.scaleZ3D = s;
  return info;
}

HsiSymbolInfo ToHostSymbolInfo(const SymbolInfo& info) {
  HsiSymbolInfo out{};
  out.scaleX2D = info.scaleX2D;
  out.scaleY2D = info.scaleY2D;
  out.rotation2D = info.rotation2D;
  out.scaleX3D = info.scaleX3D;
  out.scaleY3D = info.scaleY3D;
  out.scaleZ3D = info.scaleZ3D;
  out.rotationX3D = info.rotationX3D;
  out.rotationY3D = info.rotationY3D;
  out.rotationZ3D = info.rotationZ3D;
  return out;
}

void SetHostSymbolInfo(const SymbolInfo& info) {
  const HsiSymbolInfo record = ToHostSymbolInfo(info);
  HsiSetSymInfo(HSI_SYMINFO_SELECTOR, &record);
}

bool HostIn3D() { return HsiGetProgMode() != HSI_MODE_2D; }

}  // namespace qxt
