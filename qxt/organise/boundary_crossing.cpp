#include "organise/boundary_crossing.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace qxt {

namespace {

// The side of the line a -> b on which c lies: 1 left, -1 right, 0 on it. Coordinates reach past
// 32 bits, so the cross product is formed in 128 bits.
int Side(const WalkPoint& a, const WalkPoint& b, const WalkPoint& c) {
  __extension__ using Wide = __int128;
  const Wide cross = Wide{b.x - a.x} * Wide{c.y - a.y} - Wide{b.y - a.y} * Wide{c.x - a.x};
  return cross > 0 ? 1 : (cross < 0 ? -1 : 0);
}

using Box = CrossingCheck::Box;
using Block = CrossingCheck::Block;

Box BoxOf(const WalkPoint& p, const WalkPoint& q) {
  return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
}

// A piece whose ends are one point (many chords of a small circle round so) crosses nothing.
bool Degenerate(const WalkPoint& p, const WalkPoint& q) { return p.x == q.x && p.y == q.y; }

constexpr uint32_t kBlockPieces = 32;

// The points of one block, read once for the block's tests.
struct BlockPoints {
  std::array<WalkPoint, kBlockPieces + 1> points;
  uint32_t count = 0;
};

// The blocks [first, end) of one run, in the run's order, boxed together. Along a run the blocks'
// x ranges follow one another, rightwards or leftwards.
struct Run {
  Box box;
  uint32_t first, end;
  bool leftwards;
};

std::vector<Run> Runs(const std::vector<Block>& blocks) {
  std::vector<Run> runs;
  for (uint32_t b = 0; b < blocks.size(); ++b) {
    if (runs.empty() || blocks[runs.back().first].run != blocks[b].run) {
      runs.push_back({blocks[b].box, b, b + 1, false});
      continue;
    }
    Run& run = runs.back();
    run.box.Add(blocks[b].box);
    run.end = b + 1;
    if (blocks[b].box.x1 < blocks[b - 1].box.x1) run.leftwards = true;
  }
  return runs;
}

// The blocks of a run from left to right: the run's own order, or its reverse for a leftwards
// run.
class RunBlocks {
 public:
  RunBlocks(const std::vector<Block>& blocks, const Run& run) : blocks_(blocks), run_(run) {}
  uint32_t Size() const { return run_.end - run_.first; }
  const Block& operator[](uint32_t i) const {
    return blocks_[run_.leftwards ? run_.end - 1 - i : run_.first + i];
  }

 private:
  const std::vector<Block>& blocks_;
  const Run& run_;
};

}  // namespace

bool Cross(const Edge& e, const Edge& f) {
  return Side(e.p, e.q, f.p) * Side(e.p, e.q, f.q) < 0 &&
         Side(f.p, f.q, e.p) * Side(f.p, f.q, e.q) < 0;
}

// The blocks are built as the pieces come: each piece continues the block and the run of the
// piece before when it lies on in the run's direction. Pieces of one run each of whose x range
// starts where the one before ends or later (or each ends where the one before starts or
// earlier) meet in x at one abscissa at most, where at least one of them has only an end (or both
// stand upright along one line): they cannot cross inside both, so the pieces of one run need no
// test against each other.
inline void CrossingCheck::AddPiece(const WalkPoint& p, const WalkPoint& q, uint32_t k) {
  if (Degenerate(p, q)) return;
  const Box box = BoxOf(p, q);
  bool sameRun = false;
  if (havePrevious_) {
    const bool rightwards = box.x1 >= beforeX2_;
    const bool leftwards = box.x2 <= beforeX1_;
    if (direction_ == 0) {
      sameRun = rightwards || leftwards;
      if (rightwards != leftwards) direction_ = rightwards ? 1 : -1;
    } else {
      sameRun = direction_ > 0 ? rightwards : leftwards;
    }
  }
  if (!sameRun) {
    ++run_;
    direction_ = 0;
  }
  havePrevious_ = true;
  beforeX1_ = box.x1;
  beforeX2_ = box.x2;
  if (!sameRun || blocks_.back().end - blocks_.back().first >= kBlockPieces) {
    blocks_.push_back({box, static_cast<uint32_t>(paths_.size() - 1), k, k + 1, run_});
  } else {
    blocks_.back().box.Add(box);
    blocks_.back().end = k + 1;
  }
}

void CrossingCheck::Flush() {
  for (uint32_t i = 0; i < pendingCount_; ++i) {
    const WalkPoint& p = pending_[i];
    // Every point but its path's first ends a piece.
    if (hasLast_) AddPiece(last_, p, nextPiece_++);
    hasLast_ = true;
    last_ = p;
  }
  pendingCount_ = 0;
}

bool CrossingCheck::AnyCrossing(PointReader read) {
  Flush();
  auto pointsOf = [&](const Block& block, BlockPoints& out) {
    const Path& path = paths_[block.path];
    out.count = block.end - block.first + 1;
    for (uint32_t k = 0; k < out.count; ++k)
      out.points[k] =
          path.source < 0 ? kept_[path.kept + block.first + k] : read(path.source, block.first + k);
  };
  // True when a piece of block a crosses a piece of block b.
  auto blocksCross = [&](const Block& a, const Block& b) {
    BlockPoints pa, pb;
    pointsOf(a, pa);
    pointsOf(b, pb);
    for (uint32_t i = 0; i + 1 < pa.count; ++i) {
      const Edge e{pa.points[i], pa.points[i + 1]};
      const Box eBox = BoxOf(e.p, e.q);
      if (Degenerate(e.p, e.q) || !eBox.Meets(b.box)) continue;
      for (uint32_t j = 0; j + 1 < pb.count; ++j) {
        const Edge f{pb.points[j], pb.points[j + 1]};
        if (!Degenerate(f.p, f.q) && eBox.Meets(BoxOf(f.p, f.q)) && Cross(e, f)) return true;
      }
    }
    return false;
  };
  // True when a piece of run a crosses a piece of run b. Both runs' blocks are taken from left to
  // right; as their x ranges follow one another, the blocks of b that a block of a meets in x are
  // found by one pass along b.
  auto runsCross = [&](const Run& a, const Run& b) {
    const RunBlocks as(blocks_, a), bs(blocks_, b);
    uint32_t from = 0;
    for (uint32_t i = 0; i < as.Size(); ++i) {
      const Block& ab = as[i];
      if (!ab.box.Meets(b.box)) continue;
      while (from < bs.Size() && bs[from].box.x2 < ab.box.x1) ++from;
      for (uint32_t j = from; j < bs.Size() && bs[j].box.x1 <= ab.box.x2; ++j)
        if (bs[j].box.Meets(ab.box) && blocksCross(ab, bs[j])) return true;
    }
    return false;
  };

  // The runs are swept from left to right; each is compared only with the runs whose boxes it
  // meets, then block by block, and only then piece by piece. A boundary made of a few long runs
  // (a polygon close to a circle, an arc's chords) has few such pairs.
  std::vector<Run> runs = Runs(blocks_);
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.box.x1 < b.box.x1; });
  std::vector<const Run*> open;
  for (const Run& run : runs) {
    std::erase_if(open, [&](const Run* r) { return r->box.x2 < run.box.x1; });
    for (const Run* other : open)
      if (other->box.Meets(run.box) && runsCross(*other, run)) return true;
    open.push_back(&run);
  }
  return false;
}

bool AnyCrossing(const std::vector<Edge>& edges) {
  CrossingCheck check;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const Edge& e = edges[i];
    const bool joins = i > 0 && edges[i - 1].q.x == e.p.x && edges[i - 1].q.y == e.p.y;
    if (!joins) {
      check.StartKeptPath();
      check.Add(e.p);
    }
    check.Add(e.q);
  }
  return check.AnyCrossing(nullptr);
}

}  // namespace qxt
