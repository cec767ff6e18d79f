// The two-point pick (a first point, then a rubber band to the second) with the second point
// optionally turned onto the host's snap angle, and the small geometry helpers it needs.
#pragma once

#include <cstdint>
#include <string>

#include "hsi/hsi.h"

namespace qxt {

// Degrees per radian as the snapping uses them: the finer value for moves along y, the coarser
// one for moves along x.
inline constexpr double kDegreesPerRadian = 57.29577951308;
inline constexpr double kDegreesPerRadianCoarse = 57.29578;

// Asks for a first point and then, with a rubber band from it, for a second one. With
// `snapToAngle` the band follows the snap angle and the second point is turned onto it; a turned
// point outside the world is refused with a warning and the pick starts again from the first
// point. A second point equal to the first is ignored and asked for again. `extra` is handed to
// every point request. Returns true with both points when the user
// gave them; false when the first request did not give a point or the second was cancelled.
// `status` holds the last request's status.
bool TwoPointInput(const std::string& prompt1, const std::string& prompt2, HsiPoint& p1,
                   bool snapToAngle, int16_t& extra, int16_t& status, HsiPoint& p2);

// Turns p2 onto the host's snap angle as seen from p1, moving it along one axis only. Leaves p2
// as it is while angle snapping is off (angle 0).
void SnapToAngle(const HsiPoint& p1, HsiPoint& p2);

// The direction (degrees, 0 <= r < 360) that a direction `a` snaps to with snap angle `s` > 0.
// Snap angles up to 90 give the multiples of s; larger ones give the four directions 90 degrees
// apart that pass through s's remainder modulo 90.
double SnappedDirection(double s, double a);

// Moves p2 along one axis so that p1->p2 points along `r`, given p2's present direction `a` (both
// in degrees): mostly horizontal directions keep x and get a new y, mostly vertical ones keep y
// and get a new x. Results are rounded half to even.
void MoveOntoDirection(const HsiPoint& p1, HsiPoint& p2, double a, double r);

// sin(x) / cos(x) for x in radians; when cos(x) is exactly 0 it warns and gives 0.
double Tangent(double x);

// The host's world reaches this far from the origin along x and along y.
inline constexpr std::int64_t kWorldLimit = 2000000000;

// `p` moved by (dx, dy): the sum is taken in 64 bits and held inside the world, so that an
// offset carried from a point near the edge (or a damaged stored offset) lands on the edge
// instead of wrapping round to the far side.
HsiPoint OffsetInWorld(const HsiPoint& p, std::int64_t dx, std::int64_t dy);

// Exchanges two points.
void SwapPoints(HsiPoint& a, HsiPoint& b);

}  // namespace qxt
