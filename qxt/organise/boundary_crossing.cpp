#include "organise/boundary_crossing.h"

#include <algorithm>
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

Box BoxOf(const WalkPoint& p, const WalkPoint& q) {
  return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
}

// A piece whose ends are one point (many chords of a small circle round so) crosses nothing.
bool Degenerate(const WalkPoint& p, const WalkPoint& q) { return p.x == q.x && p.y == q.y; }

// Consecutive pieces of one run, boxed together. Piece k of a path goes from its point k to its
// point k + 1.
struct Block {
  Box box;
  uint32_t path;
  uint32_t first, end;  // pieces [first, end)
  uint32_t run;
};

// The blocks of the pieces, each at most kBlockPieces long and inside one run: consecutive
// pieces of one path each of whose x range starts where the one before ends or later (or each
// ends where the one before starts or earlier). Two pieces of such a run meet in x at one
// abscissa at most, where at least one of them has only an end (or both stand upright along one
// line): they cannot cross inside both, so the pieces of one run need no test against each
// other.
std::vector<Block> Blocks(const BoundaryPaths& paths) {
  constexpr uint32_t kBlockPieces = 32;
  std::size_t pieces = 0;
  for (const auto& path : paths.Paths()) pieces += path.size();
  std::vector<Block> blocks;
  blocks.reserve(pieces / kBlockPieces + paths.Paths().size() + 16);
  uint32_t run = 0;
  for (std::size_t s = 0; s < paths.Paths().size(); ++s) {
    const std::vector<WalkPoint>& points = paths.Paths()[s];
    const auto pathNumber = static_cast<uint32_t>(s);
    int direction = 0;  // 1 rightwards, -1 leftwards, 0 not yet known
    bool havePrevious = false;
    Box before{};
    for (uint32_t k = 0; k + 1 < points.size(); ++k) {
      const WalkPoint& p = points[k];
      const WalkPoint& q = points[k + 1];
      if (Degenerate(p, q)) continue;
      const Box box = BoxOf(p, q);
      bool sameRun = false;
      if (havePrevious) {
        const bool rightwards = box.x1 >= before.x2;
        const bool leftwards = box.x2 <= before.x1;
        if (direction == 0) {
          sameRun = rightwards || leftwards;
          if (rightwards != leftwards) direction = rightwards ? 1 : -1;
        } else {
          sameRun = direction > 0 ? rightwards : leftwards;
        }
      }
      if (!sameRun) {
        ++run;
        direction = 0;
      }
      havePrevious = true;
      before = box;
      if (!sameRun || blocks.back().end - blocks.back().first >= kBlockPieces) {
        blocks.push_back({box, pathNumber, k, k + 1, run});
      } else {
        blocks.back().box.Add(box);
        blocks.back().end = k + 1;
      }
    }
  }
  return blocks;
}

// True when a piece of block a crosses a piece of block b.
bool BlocksCross(const BoundaryPaths& paths, const Block& a, const Block& b) {
  const std::vector<WalkPoint>& aPoints = paths.Paths()[a.path];
  const std::vector<WalkPoint>& bPoints = paths.Paths()[b.path];
  for (uint32_t i = a.first; i < a.end; ++i) {
    const Edge e{aPoints[i], aPoints[i + 1]};
    const Box eBox = BoxOf(e.p, e.q);
    if (Degenerate(e.p, e.q) || !eBox.Meets(b.box)) continue;
    for (uint32_t j = b.first; j < b.end; ++j) {
      const Edge f{bPoints[j], bPoints[j + 1]};
      if (!Degenerate(f.p, f.q) && eBox.Meets(BoxOf(f.p, f.q)) && Cross(e, f)) return true;
    }
  }
  return false;
}

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

// True when a piece of run a crosses a piece of run b. Both runs' blocks are taken from left to
// right; as their x ranges follow one another, the blocks of b that a block of a meets in x are
// found by one pass along b.
bool RunsCross(const BoundaryPaths& paths, const std::vector<Block>& blocks, const Run& a,
               const Run& b) {
  const RunBlocks as(blocks, a), bs(blocks, b);
  uint32_t from = 0;
  for (uint32_t i = 0; i < as.Size(); ++i) {
    const Block& ab = as[i];
    if (!ab.box.Meets(b.box)) continue;
    while (from < bs.Size() && bs[from].box.x2 < ab.box.x1) ++from;
    for (uint32_t j = from; j < bs.Size() && bs[j].box.x1 <= ab.box.x2; ++j)
      if (bs[j].box.Meets(ab.box) && BlocksCross(paths, ab, bs[j])) return true;
  }
  return false;
}

}  // namespace

bool Cross(const Edge& e, const Edge& f) {
  return Side(e.p, e.q, f.p) * Side(e.p, e.q, f.q) < 0 &&
         Side(f.p, f.q, e.p) * Side(f.p, f.q, e.q) < 0;
}

bool AnyCrossing(const BoundaryPaths& paths) {
  // The runs are swept from left to right; each is compared only with the runs whose boxes it
  // meets, then block by block, and only then piece by piece. A boundary made of a few long runs
  // (a polygon close to a circle, an arc's chords) has few such pairs.
  const std::vector<Block> blocks = Blocks(paths);
  std::vector<Run> runs = Runs(blocks);
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.box.x1 < b.box.x1; });
  std::vector<const Run*> open;
  for (const Run& run : runs) {
    std::erase_if(open, [&](const Run* r) { return r->box.x2 < run.box.x1; });
    for (const Run* other : open)
      if (other->box.Meets(run.box) && RunsCross(paths, blocks, *other, run)) return true;
    open.push_back(&run);
  }
  return false;
}

bool AnyCrossing(const std::vector<Edge>& edges) {
  BoundaryPaths paths;
  std::vector<WalkPoint>* path = nullptr;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const Edge& e = edges[i];
    const bool joins = i > 0 && edges[i - 1].q.x == e.p.x && edges[i - 1].q.y == e.p.y;
    if (!joins) {
      path = &paths.Add(2);
      path->push_back(e.p);
    }
    path->push_back(e.q);
  }
  return AnyCrossing(paths);
}

}  // namespace qxt
