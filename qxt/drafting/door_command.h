// The door command: doors let into walls, with header lines, a reference (key) symbol and jamb
// lines, and the last door undone from the dialog.
#pragma once

#include <cstdint>
#include <string>

#include "core/export.h"
#include "hsi/hsi.h"

namespace qxt {

class TdlgQXDoor;

namespace door_messages {
inline constexpr const char* kPickWall = "Select wall to insert door into...";
inline constexpr const char* kPickWallNearEnd = "Select wall to insert door into near end...";
inline constexpr const char* kPickHinge = "Pick hinge point for door...";
inline constexpr const char* kPickSwing = "Pick the side of the wall for the door swing...";
inline constexpr const char* kNoWall = "No walls or lines found near selected point.";
inline constexpr const char* kNotOnWallLayer =
    "One or both selected lines are not on the walls layer, continue anyway?";
inline constexpr const char* kSymbolNotFound = "Unable to find door symbol ";
inline constexpr const char* kKeySymbolNotFound = "Unable to find the door reference symbol ";
inline constexpr const char* kIllegalValue = "Illegal value";
inline constexpr const char* kKeyRefused = "Tracelon was unable to place the reference symbol.";
}  // namespace door_messages

// The door symbol's file name: size code, kind code and the door group's suffix (".SYM" for the
// first group, "T.SYM" for the second, "D.SYM" for demolition), e.g. "36DR-LT.SYM".
std::string DoorSymbolName(const std::string& sizeCode, int kind, int group);

// The error box text for an opening the host refused, by the host's error number.
std::string DoorOpeningError(std::int16_t error);

// `point` moved `k` along a wall at `degrees`: each component rounded by itself.
HsiPoint AlongWall(HsiPoint point, double degrees, double k);

// The pick-and-insert loop for the kind chosen in `dialog` with the settings of the
// configuration. True when the dialog is to be shown again (picking ended otherwise than by
// cancelling).
bool InsertDoors(TdlgQXDoor& dialog);

}  // namespace qxt

// The door command: the dialog, then doors picked into walls until the user is done.
QXT_EXPORT void QXDoor();
