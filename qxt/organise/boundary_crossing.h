// Whether a measured boundary crosses itself: its straight pieces (lineset segments, arc chords,
// the closing edge) are tested pairwise for a crossing inside both, cheaply enough for a boundary
// of millions of pieces.
#pragma once

#include <cstdint>
#include <vector>

namespace qxt {

// A point of the walk along a boundary. Chord ends are computed from int32 centres and radii and
// may lie past the int32 range, so they are kept wider.
struct WalkPoint {
  int64_t x, y;
};

// One straight piece of a boundary as it is measured.
struct Edge {
  WalkPoint p, q;
};

// True when the two edges cross at a point inside both. Edges that only touch (at an end, or
// lying along each other) do not cross: a boundary's own joints are such touches.
bool Cross(const Edge& e, const Edge& f);

// True when any two of the edges cross (the answer of testing every pair with Cross).
bool AnyCrossing(const std::vector<Edge>& edges);

}  // namespace qxt
