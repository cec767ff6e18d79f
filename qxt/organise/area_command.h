// The area command: the user builds a boundary from existing linesets and arcs, picked one after
// another so that each touches an open end of what was picked before. When the boundary closes
// (or the user agrees to close it with a straight edge) the enclosed area is converted to the
// chosen unit, written with the chosen decimals and suffix, and placed as a label with the text
// dialog. The command comes back to its settings dialog until that is cancelled.
#pragma once

#include <cstdint>
#include <string>

#include "core/export.h"
#include "hsi/hsi.h"
#include "organise/area_dialog.h"

QXT_EXPORT void QXArea();

namespace qxt {

namespace area_messages {
inline constexpr const char* kContinue = "Press \"OK\" to continue, \"Cancel\" to exit..";
inline constexpr const char* kEditLabel =
    "Edit the text. \"OK\" to place, \"Cancel\" to continue..";
inline constexpr const char* kFirstPrompt = "Select first boundary lineset or arc";
inline constexpr const char* kNextPrompt = "Select next boundary segment or arc..";
inline constexpr const char* kNothingSelected = "Nothing selected, please try again, or B2..";
inline constexpr const char* kMenuItem = "You cannot select a menu item now.";
inline constexpr const char* kNotClosedCaption = "Boundary not closed";
inline constexpr const char* kNotClosedQuestion =
    "The boundary is not yet closed.  Do you want to close it and calculate the area?";
inline constexpr const char* kLinesetMisses =
    "The selected lineset does not meet the current boundary";
inline constexpr const char* kArcMisses = "The selected arc does not meet the current boundary";
inline constexpr const char* kCrossesItself =
    "The boundary crosses itself: its area is the difference of its loops.";
}  // namespace area_messages

// Arcs are measured as chords: this many per degree of sweep.
inline constexpr double kChordsPerDegree = 100.0;
// Degrees to radians for the chord ends.
inline constexpr double kDegreesPerRadianArea = 57.2957795;

// Adds to `sum` the trapezoids of the walk along an arc about `centre`: `chords` equal chords from
// the angle a0 (degrees) over `sweep` degrees (negative: clockwise), whose ends lie at a0 + sweep
// x k / chords, converted with kDegreesPerRadianArea, rounded to whole drawing units (halves to
// even). AddChordWalkDirect computes every end with its own sine and cosine; AddChordWalk gives
// the same ends, and so the same sum, while computing only some of them that way.
void AddChordWalkDirect(double& sum, const HsiPoint& centre, int32_t radius, double a0,
                        double sweep, int64_t chords);
void AddChordWalk(double& sum, const HsiPoint& centre, int32_t radius, double a0, double sweep,
                  int64_t chords);

// Lets the user pick the boundary and measures it. Returns true with `area` in square units of
// the host's unit type (drawing units squared over the points per unit squared), or false when
// the user ended the picking without an area. The caller sets `area` to 0 first. A boundary that
// crosses itself is measured all the same (its loops count against each other), after a warning.
bool MeasureBoundary(double& area);

// What an area in square host units is divided by to give it in `unit`, for the host's unit
// type; 1 where no conversion applies. The foot unit type is handled by AreaInUnit.
double AreaDivisor(uint16_t hostUnitType, AreaUnit unit);
// The area, given in square units of the host's unit type, in `unit`.
double AreaInUnit(double area, uint16_t hostUnitType, AreaUnit unit);

// The label for an area already converted: the number with `decimals` decimals and thousands
// separators in the user's locale, then the suffix.
std::string AreaLabel(double area, int decimals, const std::string& suffix);

// Converts the area (in place) to the unit of the area dialog, puts its label into the text
// dialog (whose caption stays as it is) and, when the user presses OK there, places it.
void LabelArea(double& area);

}  // namespace qxt
