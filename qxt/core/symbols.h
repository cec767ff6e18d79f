// Symbols shared by the commands that place them: finding a symbol the host has loaded, or
// loading it from the host's symbol folder (the lookup that leader arrowheads, symbol placement,
// doors, dimension markers and references share), and the scale and rotation record handed to
// the host before symbols are placed.
#pragma once

#include <cstdint>
#include <string>

#include "hsi/hsi.h"

namespace qxt {

// The host's codes for 2D symbols: looking one up by name, and loading its file.
inline constexpr std::int16_t kFindSymbol2D = 10;
inline constexpr std::int16_t kLoadSymbol2D = 4;
// The same for 3D symbols.
inline constexpr std::int16_t kFindSymbol3D = 11;
inline constexpr std::int16_t kLoadSymbol3D = 5;

// The id of symbol `name` (a symbol file name such as "ARROW.SYM"): the loaded symbol of that name
// when the host has one (HsiSymbolFind with `findCode`), else the symbol loaded from the file of
// that name in the host's symbol folder (HsiLoadSymFile with `loadCode`). Returns HSI_FAILURE when
// it is neither loaded nor loadable. Shows nothing: the caller reports a failure in its own words.
std::int32_t FindOrLoadSymbol(const std::string& name, std::int16_t findCode = kFindSymbol2D,
                              std::int16_t loadCode = kLoadSymbol2D);

// Scale and rotation of the symbols about to be placed. A negative scale mirrors the symbol
// along that axis. Rotations are in degrees.
struct SymbolInfo {
  double scaleX2D = 1.0, scaleY2D = 1.0, rotation2D = 0.0;
  double scaleX3D = 1.0, scaleY3D = 1.0, scaleZ3D = 1.0;
  double rotationX3D = 0.0, rotationY3D = 0.0, rotationZ3D = 0.0;

  friend bool operator==(const SymbolInfo&, const SymbolInfo&) = default;
};

// Every scale s (the 2D pair and the three 3D ones) and every rotation 0.
SymbolInfo UniformSymbolInfo(double s);

// The record in the host's layout.
HsiSymbolInfo ToHostSymbolInfo(const SymbolInfo& info);

// Hands the settings to the host (HsiSetSymInfo with its selector).
void SetHostSymbolInfo(const SymbolInfo& info);

// True when the host is in 3D mode (anything but its 2D mode counts as 3D).
bool HostIn3D();

}  // namespace qxt
