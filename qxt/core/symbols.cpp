#include "core/symbols.h"

#include "core/host_paths.h"

namespace qxt {

namespace {
constexpr std::int16_t kFind2D = 10, kFind3D = 11;
constexpr std::int16_t kLoad2D = 4, kLoad3D = 5;
}  // namespace

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

std::optional<std::int32_t> FindOrLoadSymbol(const std::string& name, bool in3D) {
  const std::int32_t found = HsiSymbolFind(in3D ? kFind3D : kFind2D, name.c_str());
  if (found != HSI_FAILURE) return found;
  std::string folder;
  HostFolder(HSI_PATH_SYMBOLS, folder);
  const std::int32_t loaded =
      HsiLoadSymFile(in3D ? kLoad3D : kLoad2D, folder.c_str(), name.c_str(), HSI_TRUE);
  if (loaded == HSI_FAILURE) return std::nullopt;
  return loaded;
}

}  // namespace qxt
