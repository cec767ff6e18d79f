// Dimension strings: given the two ends of a dimension line, the user picks the points to
// dimension one after another. Each new point gets its extension line, its markers (ticks or
// arrows, instances of the marker symbol) and a text with the distance from the previous point;
// when the user ends the string, the dimension line and the first point's extension line are
// drawn. Horizontal and vertical strings measure along their axis; an aligned string projects
// every point onto the dimension line. Every setting comes from the configuration record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config.h"
#include "hsi/hsi.h"

namespace qxt {

inline constexpr const char* kFirstDimensionPointPrompt = "Indicate first point to dimension...";
inline constexpr const char* kNextDimensionPointPrompt = "Indicate next point to dimension...";
inline constexpr const char* kNewTextLocationPrompt = "Pick new location for text...";
inline constexpr const char* kMenuDuringLocateWarning =
    "Menu selections are not allowed while selecting new text location.";

// The snap modes the command switches between when it snaps automatically.
inline constexpr int16_t kSnapNone = 0;
inline constexpr int16_t kSnapGrid = 1;
inline constexpr int16_t kSnapVertex = 3;

// Puts exactly `mode` in force (0: no snap). The host adds a mode set to those already in force,
// so switching from vertex to grid snap clears vertex snap first.
void SnapOnly(int16_t mode);

// What one run of the dimension command carries from string to string.
struct DimensionRun {
  // The host's snap mode when the command started; automatic snapping returns to grid snap
  // between picks only when the user had grid snap.
  int16_t SavedSnapMode = 0;
  // The host id of the marker symbol, found (or loaded) for each dimension line; 0 when it could
  // be neither, and the string is drawn without markers.
  int32_t MarkerSymbol = 0;
  // The missing marker symbol was reported in this run of the command (once is enough).
  bool MarkerMissingReported = false;
};

void DrawHorizontalString(const DimensionRun& run, HsiPoint p1, HsiPoint p2);
void DrawVerticalString(const DimensionRun& run, HsiPoint p1, HsiPoint p2);
void DrawAlignedString(const DimensionRun& run, HsiPoint p1, HsiPoint p2);

// Creates one dimension text centred on `at`, kept upright, and with `locate` lets the user move
// it to a new place. An empty text makes no object.
void PlaceDimText(const DimensionRun& run, HsiPoint at, std::string_view text, bool locate,
                  double angle);

// ---- The geometry, for the strings and their tests ----

// A text angle kept readable: above 90 and below 180 degrees it is turned by 180; from 180 to
// 270 inclusive it is turned back by 180; other angles stay.
double UprightTextAngle(double angle);

// The side of an aligned dimension line its texts stand on, in degrees, for the line's
// direction `a`: a + 90 for 0 < a < 90, a - 90 for 90 < a < 270, else a - 270.
double AlignedTextSide(double a);

// `p` moved `distance` along the direction `degrees`, each component rounded on its own.
HsiPoint MoveAlong(HsiPoint p, double degrees, double distance);

// True when `to` lies ahead of `from` along the direction `degrees`: the direction from one to
// the other is less than a right angle away from it.
bool LiesAhead(HsiPoint from, HsiPoint to, double degrees);

// The direction opposite `degrees`, within 0..360.
double OppositeAngle(double degrees);

// The text records of a dimension text at `at` on `layer` in `colour`, turned by `angle`.
HsiCadText DimCadTextRecord(const QXConfig& config, HsiPoint at, int16_t layer, int16_t colour,
                            std::string_view text, double angle);
HsiTrueTypeText DimTrueTypeRecord(const QXConfig& config, HsiPoint at, int16_t layer,
                                  int16_t colour, std::string_view text, double angle);

}  // namespace qxt
