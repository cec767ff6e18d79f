// Whether a measured boundary crosses itself: its straight pieces (lineset segments, arc chords,
// the closing edge) are tested pairwise for a crossing inside both, cheaply enough for a boundary
// of millions of pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
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

// The straight pieces of a boundary as paths: each path is a run of points, every point joined to
// the next. A boundary picked object by object is a path an object, so a piece costs one point,
// and each path is stored once, at its own size.
class BoundaryPaths {
 public:
  // A new, empty path with room for `points` points, to be filled by the caller.
  std::vector<WalkPoint>& Add(std::size_t points) {
    paths_.emplace_back().reserve(points);
    return paths_.back();
  }
  // A new path through `points`.
  void Add(std::vector<WalkPoint> points) { paths_.push_back(std::move(points)); }
  const std::vector<std::vector<WalkPoint>>& Paths() const { return paths_; }

 private:
  std::vector<std::vector<WalkPoint>> paths_;
};

// True when any two pieces of the paths cross (the answer of testing every pair with Cross).
bool AnyCrossing(const BoundaryPaths& paths);
// The same for single edges (consecutive edges that join are taken as one path).
bool AnyCrossing(const std::vector<Edge>& edges);

}  // namespace qxt
