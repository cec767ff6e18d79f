// A hierarchical grid over object boxes: every object sits in the level whose cells are about
// its size, in at most four cells, so a query visits a few cells per level instead of every
// object.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/geometry.h"

namespace host {

class SpatialIndex {
 public:
  void Insert(int32_t id, const Box& box);
  void Remove(int32_t id);
  void Clear();
  // Ids whose boxes intersect `box` (each once, in no particular order).
  std::vector<int32_t> Query(const Box& box) const;
  size_t Size() const { return entries_.size(); }

 private:
  static constexpr int kLevels = 12;
  static constexpr int kFirstShift = 10;  // cells of 1024 DBU at level 0, x4 per level
  struct Entry {
    Box box;
    int level = 0;
  };
  static uint64_t Key(int64_t cx, int64_t cy);
  static int LevelFor(const Box& box);
  template <typename F>
  static void ForCells(const Box& box, int level, F&& f);

  std::unordered_map<int32_t, Entry> entries_;
  std::unordered_map<uint64_t, std::vector<int32_t>> cells_[kLevels];
  std::vector<int32_t> huge_;  // boxes larger than the top level's cells
  mutable std::vector<uint32_t> seen_;
  mutable uint32_t stamp_ = 0;
};

}  // namespace host
