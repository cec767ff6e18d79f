// Putting a symbol chosen in the symbol browser into the drawing. Placing puts instances at
// picked points, with a preview that follows the cursor; the second button opens the symbol
// settings dialog. Insertion into lines opens one or two picked lines (both faces of a wall) and
// lets the host fit the symbol into the opening. Both return true to show the browser again and
// false to end the symbol command.
#pragma once

#include <cstdint>
#include <string>

#include "core/symbols.h"
#include "text/symbol_library.h"

namespace qxt {

namespace symbol_placement_messages {
inline constexpr const char* kCheckProgramMode = "Check Program Mode";
inline constexpr const char* kPlaceNotFound =
    "\r\nPlease check your symbol path settings under Options/Path";
inline constexpr const char* kInsertNotFound =
    "\r\nPlease check your symbol path settings using Options/Path";
inline constexpr const char* kInsertIn3D =
    "You cannot insert a symbol into line(s) when Tracelon is \r\nin 3D mode.  Change to 2D mode "
    "and try again.";
inline constexpr const char* kNothingSelected = "Nothing selected, please try again.";
inline constexpr const char* kPickLines = "Pick line(s) to open...";
inline constexpr const char* kPickInsertion = "Pick symbol insertion point...";
}  // namespace symbol_placement_messages

// The scale factor of a cell's symbols: exactly 1 for scale mode 1; otherwise the symbol scale
// of the configuration, corrected for the host's points per unit and, when placing (not when
// inserting into lines), turned into the host's paper and drawing units.
double SymbolScaleFactor(std::int32_t scaleMode, bool convertUnits);

// The justification code for the host: "L" 0, "R" 1, anything else (centre) 2.
std::int16_t JustificationCode(const std::string& justify);

// "Place symbol NAME, or B2 to change settings..."
std::string PlacementPrompt(const std::string& name);

// The warning of the host's error number after a refused opening.
std::string OpenSegmentWarning(std::int16_t error);

// Places the cell's symbol at picked points until the user ends (false) or asks for the browser
// (true). `groupMode` is the symbol group's program mode, for the settings dialog.
bool PlaceSymbol(const SymbolCell& cell, std::uint16_t groupMode);

// Inserts the cell's symbol into picked lines until the user ends (false) or asks for the
// browser with the second button (true).
bool InsertSymbolIntoLines(const SymbolCell& cell);

}  // namespace qxt
