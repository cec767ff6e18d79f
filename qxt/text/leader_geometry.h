// The geometry of one leader: where a leader attached to existing text ends, the elbow where
// the slanted or curved part meets the horizontal extension, the arc of an arc leader, the
// direction of its arrowhead, and the two short lines of a drawn arrowhead. Pure arithmetic on
// drawing units; the host calls are in leader_command.cpp.
//
// Every sum and product is worked in 64 bits or in doubles: picks near the ends of the 32-bit
// coordinate range, and arcs of a radius in the millions, would overflow 32 bits.
#pragma once

#include <cstdint>
#include <optional>

#include "hsi/hsi.h"

namespace qxt {

// The leader types, as LeaderType and the leader dialog's first group number them.
inline constexpr std::int32_t kArcLeader = 0;
inline constexpr std::int32_t kLineLeader = 1;
inline constexpr std::int32_t kReverseLineLeader = 2;  // line with reverse extension

// What a leader attached to existing text needs of it: the left and right x and the upper y of
// its extent, and its height.
struct TextExtent {
  std::int32_t x1 = 0, x2 = 0, y2 = 0, height = 0;
};

// The note end of a leader attached to `text`: half the text height above y2, and a third of the
// height beyond the end of the text nearer the arrow (its right end when the text's middle lies
// left of the arrow, else its left end). Halves and thirds truncate toward zero.
HsiPoint SnappedNotePoint(const TextExtent& text, const HsiPoint& arrow);

// True when the arrow lies strictly between the text's ends: then the straight types 1 and 2
// swap for that leader, so that the extension still runs along the text.
bool ArrowWithinText(const TextExtent& text, const HsiPoint& arrow);
// Type 1 for type 2 and the reverse; any other type as it is.
std::int32_t SwappedLineType(std::int32_t type);

// The elbow: level with the note end, `extension` from it along x. For the arc and the normal
// line the extension runs from the note back toward the arrow's side; for the reverse line it
// runs away from it.
HsiPoint Elbow(const HsiPoint& arrow, const HsiPoint& note, std::int32_t type,
               std::int32_t extension);

// The arc of an arc leader, as the host's arc record takes it: counter-clockwise from `first` to
// `second`.
struct ArcLeader {
  HsiPoint centre{};
  std::int32_t radius = 0;
  HsiPoint first{}, second{};
};

// The arc from the arrow A to the elbow E whose centre lies straight below or above E, so that
// it meets the horizontal extension tangentially at E. `theta` is the direction A->E in degrees.
// The midpoint M of A and E is taken in whole units; R = round((E.x - M.x) / sin theta),
// D = round(R / cos theta); the centre is (E.x, E.y - D) and the radius |D|.
//
// No such arc exists when A and E are level (sin theta is 0: the centre lies infinitely far
// away) or one lies straight above the other (cos theta is 0), and a nearly level pick gives a
// circle too large for the drawing's coordinates. For those, and whenever A does not lie on the
// circle found (within a thousandth of its radius, at least 2 units: the whole-unit midpoint
// throws a nearly vertical pick off), there is no arc: nullopt, and the caller draws a straight
// segment instead.
std::optional<ArcLeader> ArcLeaderThrough(const HsiPoint& arrow, const HsiPoint& elbow,
                                          double theta);

// The point on the arc a little way from the arrow toward the note, through which the arrowhead
// points along the arc: ya = A.y + (N.y - A.y) / 200 for a symbol arrowhead, / 100 for drawn
// lines (truncating); k = ((r + ya - cy) / 100) x ((r - ya + cy) / 100) in whole numbers (the
// squares are taken in hundreds); xa = cx -+ round(sqrt(k) x 100) on the arrow's side of the
// centre. nullopt when that point is the arrow itself (a rise too small to step) or k is
// negative: then ArcTangentAtArrow gives the direction.
std::optional<HsiPoint> ArcArrowPoint(const HsiPoint& arrow, const HsiPoint& note,
                                      const ArcLeader& arc, bool symbolArrowhead);

// The direction in degrees (0 <= a < 360) of the arc's tangent at the arrow, pointing along the
// arc toward the elbow.
double ArcTangentAtArrow(const HsiPoint& arrow, const ArcLeader& arc);

// The two free ends of a drawn arrowhead: lines of `length` at direction +- angle/2 from the
// arrow point (degrees), rounded to whole units.
struct LineArrowhead {
  HsiPoint p1{}, p2{};
};
LineArrowhead LineArrowheadEnds(const HsiPoint& arrow, double direction, double angle,
                                std::int32_t length);

}  // namespace qxt
