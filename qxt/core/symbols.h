// Finding a symbol the host has loaded, or loading it from the host's symbol folder: the lookup
// that leader arrowheads, symbol placement, doors, dimension markers and references share.
#pragma once

#include <cstdint>
#include <string>

namespace qxt {

// The host's codes for 2D symbols: looking one up by name, and loading its file.
inline constexpr std::int16_t kFindSymbol2D = 10;
inline constexpr std::int16_t kLoadSymbol2D = 4;

// The id of symbol `name` (a symbol file name such as "ARROW.SYM"): the loaded symbol of that name
// when the host has one (HsiSymbolFind with `findCode`), else the symbol loaded from the file of
// that name in the host's symbol folder (HsiLoadSymFile with `loadCode`). Returns HSI_FAILURE when
// it is neither loaded nor loadable. Shows nothing: the caller reports a failure in its own words.
std::int32_t FindOrLoadSymbol(const std::string& name, std::int16_t findCode = kFindSymbol2D,
                              std::int16_t loadCode = kLoadSymbol2D);

}  // namespace qxt
