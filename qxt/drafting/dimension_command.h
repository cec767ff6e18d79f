// The dimension command: the user picks the two ends of a dimension line, then the points to
// dimension along it, and the command draws a chained dimension string; then the next dimension
// line, until the user ends picking. The settings dialog comes before the first line and, when
// the user wants it, again after the picking ends.
#pragma once

#include "core/export.h"
#include "drafting/dimension_strings.h"
#include "hsi/hsi.h"

namespace qxt {

inline constexpr const char* kDimensionLineFirstPrompt =
    "Pick first point of dimension line (or B2 when done)...";
inline constexpr const char* kDimensionLineSecondPrompt = "Pick second point of dimension line...";
inline constexpr const char* kMarkerSymbolNotFound = "Could not find the specified marker symbol.";

// Draws one dimension string along the line p1-p2. Without its marker symbol (neither loaded
// nor loadable) the string is drawn without markers, and the first such string of a run of the
// command warns. The ends decide the shape by exact equality: the
// same y gives a horizontal string, else the same x a vertical one, else an aligned one.
void DrawDimensionString(DimensionRun& run, HsiPoint p1, HsiPoint p2);

}  // namespace qxt

QXT_EXPORT void QXDimension();
