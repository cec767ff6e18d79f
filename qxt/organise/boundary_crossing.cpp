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

Box BoxOf(const Edge& e) {
  return {std::min(e.p.x, e.q.x), std::min(e.p.y, e.q.y), std::max(e.p.x, e.q.x),
          std::max(e.p.y, e.q.y)};
}

// A piece whose ends are one point (many chords of a small circle round so) crosses nothing.
bool Degenerate(const Edge& e) { return e.p.x == e.q.x && e.p.y == e.q.y; }

// Consecutive edges of one run, boxed together.
struct Block {
  Box box;
  uint32_t first, end;  // edges [first, end)
  uint32_t run;
};

// The blocks of the edges, each at most kBlockEdges long and inside one run: consecutive edges
// each of whose x range starts where the one before ends or later (or each ends where the one
// before starts or earlier). Two edges of such a run meet in x at one abscissa at most, where at
// least one of them has only an end (or both stand upright along one line): they cannot cross
// inside both, so the edges of one run need no test against each other.
std::vector<Block> Blocks(const std::vector<Edge>& edges) {
  constexpr uint32_t kBlockEdges = 32;
  std::vector<Block> blocks;
  blocks.reserve(edges.size() / kBlockEdges + 16);
  uint32_t run = 0;
  int direction = 0;  // 1 rightwards, -1 leftwards, 0 not yet known
  const Edge* previous = nullptr;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const Edge& edge = edges[i];
    if (Degenerate(edge)) continue;
    const Box box = BoxOf(edge);
    bool sameRun = false;
    if (previous) {
      const Box before = BoxOf(*previous);
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
    previous = &edge;
    const auto index = static_cast<uint32_t>(i);
    if (!sameRun || blocks.back().end - blocks.back().first >= kBlockEdges) {
      blocks.push_back({box, index, index + 1, run});
    } else {
      blocks.back().box.Add(box);
      blocks.back().end = index + 1;
    }
  }
  return blocks;
}

// True when an edge of block a crosses an edge of block b.
bool BlocksCross(const std::vector<Edge>& edges, const Block& a, const Block& b) {
  for (uint32_t i = a.first; i < a.end; ++i) {
    const Edge& e = edges[i];
    const Box eBox = BoxOf(e);
    if (Degenerate(e) || !eBox.Meets(b.box)) continue;
    for (uint32_t j = b.first; j < b.end; ++j) {
      const Edge& f = edges[j];
      if (!Degenerate(f) && eBox.Meets(BoxOf(f)) && Cross(e, f)) return true;
    }
  }
  return false;
}

}  // namespace

bool Cross(const Edge& e, const Edge& f) {
  return Side(e.p, e.q, f.p) * Side(e.p, e.q, f.q) < 0 &&
         Side(f.p, f.q, e.p) * Side(f.p, f.q, e.q) < 0;
}

bool AnyCrossing(const std::vector<Edge>& edges) {
  // The blocks are swept from left to right; each is compared only with the blocks of other runs
  // whose boxes it meets, and only then edge by edge. A boundary made of a few long runs (a
  // polygon close to a circle, an arc's chords) has few such pairs.
  std::vector<Block> blocks = Blocks(edges);
  std::sort(blocks.begin(), blocks.end(),
            [](const Block& a, const Block& b) { return a.box.x1 < b.box.x1; });
  std::vector<const Block*> open;
  for (const Block& block : blocks) {
    std::erase_if(open, [&](const Block* b) { return b->box.x2 < block.box.x1; });
    for (const Block* other : open) {
      if (other->run == block.run || !other->box.Meets(block.box)) continue;
      if (BlocksCross(edges, *other, block)) return true;
    }
    open.push_back(&block);
  }
  return false;
}

}  // namespace qxt
