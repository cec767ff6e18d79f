// Whether a measured boundary crosses itself: its straight pieces (lineset segments, arc chords,
// the closing edge) are tested pairwise for a crossing inside both, cheaply enough for a boundary
// of millions of pieces.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
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

// Whether a boundary crosses itself, told its points as the boundary is walked, path by path
// (each path a run of points, every point joined to the next). It keeps the boxes of its pieces
// in blocks, and the points only of the paths it is asked to keep: the points of a path read from
// an object are read again, when the check runs, for the few blocks whose boxes meet another's.
class CrossingCheck {
 public:
  // Reads point `k` of the path whose points came from object `source`.
  using PointReader = WalkPoint (*)(int32_t source, uint32_t k);

  // Starts a new path whose points are kept here.
  void StartKeptPath() { StartPath(-1); }
  // Starts a new path whose point k is read again as point k of object `source` (>= 0).
  void StartPathOf(int32_t source) { StartPath(source); }
  // The path's next point. Points are taken in batches, so that the boxes and runs are built in
  // a loop of their own rather than between the caller's other work.
  void Add(WalkPoint p) {
    if (keepPath_) kept_.push_back(p);
    pending_[pendingCount_++] = p;
    if (pendingCount_ == kBatch) Flush();
  }
  // Room for `points` more kept points.
  void ReserveKept(std::size_t points) {
    const std::size_t needed = kept_.size() + points;
    if (needed > kept_.capacity()) kept_.reserve(std::max(needed, 2 * kept_.capacity()));
  }

  // True when any two pieces cross (the answer of testing every pair with Cross). `read` reads
  // the points of paths not kept.
  bool AnyCrossing(PointReader read);

  struct Box {
    int64_t x1, y1, x2, y2;
    bool Meets(const Box& o) const { return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2; }
    void Add(const Box& o) {
      x1 = std::min(x1, o.x1);
      y1 = std::min(y1, o.y1);
      x2 = std::max(x2, o.x2);
      y2 = std::max(y2, o.y2);
    }
  };
  // Consecutive pieces of one run, boxed together. Piece k of a path goes from its point k to
  // its point k + 1.
  struct Block {
    Box box;
    uint32_t path;
    uint32_t first, end;  // pieces [first, end)
    uint32_t run;
  };

 private:
  struct Path {
    int32_t source;        // the object the points are read from; -1 when kept here
    std::size_t kept = 0;  // where a kept path's points begin in kept_
  };
  void StartPath(int32_t source) {
    Flush();
    paths_.push_back({source, kept_.size()});
    keepPath_ = source < 0;
    havePrevious_ = false;
    hasLast_ = false;
    nextPiece_ = 0;
  }
  // Builds the pieces of the points taken since the last flush.
  void Flush();
  void AddPiece(const WalkPoint& p, const WalkPoint& q, uint32_t k);

  static constexpr uint32_t kBatch = 64;

  std::vector<Path> paths_;
  std::vector<WalkPoint> kept_;
  std::vector<Block> blocks_;
  std::array<WalkPoint, kBatch> pending_{};
  uint32_t pendingCount_ = 0;
  uint32_t nextPiece_ = 0;  // the number in its path of the piece the next point ends
  bool hasLast_ = false;    // the path's points so far include one built into pieces
  WalkPoint last_{0, 0};
  bool keepPath_ = false;  // the newest path's source < 0, kept at hand for Add
  // The run being built: the x range of its last piece and its direction in x (1 rightwards, -1
  // leftwards, 0 not yet known).
  bool havePrevious_ = false;
  int64_t beforeX1_ = 0, beforeX2_ = 0;
  int direction_ = 0;
  uint32_t run_ = 0;
};

// True when any two of the edges cross (consecutive edges that join are taken as one path).
bool AnyCrossing(const std::vector<Edge>& edges);

}  // namespace qxt
