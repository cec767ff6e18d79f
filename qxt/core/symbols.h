// Symbols shared by the commands that place them: the scale and rotation record handed to the
// host before placing, and finding a symbol by name or loading its file from the host's symbol
// folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hsi/hsi.h"

namespace qxt {

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

// The id of the symbol `name`: found among the symbols the host has loaded (2D or 3D lookup),
// or else loaded from its file in the host's symbol folder (path 2). Nothing when neither
// works. Shows nothing itself: each caller has its own warning.
std::optional<std::int32_t> FindOrLoadSymbol(const std::string& name, bool in3D);

}  // namespace qxt
