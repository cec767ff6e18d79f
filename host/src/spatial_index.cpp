#include "host/spatial_index.h"

#include <algorithm>

namespace host {

uint64_t SpatialIndex::Key(int64_t cx, int64_t cy) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) ^
         static_cast<uint64_t>(static_cast<uint32_t>(cy));
}

int SpatialIndex::LevelFor(const Box& box) {
  int64_t size = std::max(box.x2 - box.x1, box.y2 - box.y1);
  for (int level = 0; level < kLevels; ++level)
    if (size < (int64_t{1} << (kFirstShift + 2 * level))) return level;
  return kLevels;  // huge
}

template <typename F>
void SpatialIndex::ForCells(const Box& box, int level, F&& f) {
  int shift = kFirstShift + 2 * level;
  int64_t cx1 = box.x1 >> shift, cx2 = box.x2 >> shift;
  int64_t cy1 = box.y1 >> shift, cy2 = box.y2 >> shift;
  for (int64_t cx = cx1; cx <= cx2; ++cx)
    for (int64_t cy = cy1; cy <= cy2; ++cy) f(Key(cx, cy));
}

void SpatialIndex::Insert(int32_t id, const Box& box) {
  Remove(id);
  if (box.Empty()) return;
  Entry entry{box, LevelFor(box)};
  entries_[id] = entry;
  if (entry.level == kLevels) {
    huge_.push_back(id);
    return;
  }
  ForCells(box, entry.level, [&](uint64_t key) { cells_[entry.level][key].push_back(id); });
}

void SpatialIndex::Remove(int32_t id) {
  auto it = entries_.find(id);
  if (it == entries_.end()) return;
  Entry entry = it->second;
  entries_.erase(it);
  if (entry.level == kLevels) {
    huge_.erase(std::remove(huge_.begin(), huge_.end(), id), huge_.end());
    return;
  }
  auto& level = cells_[entry.level];
  ForCells(entry.box, entry.level, [&](uint64_t key) {
    auto cell = level.find(key);
    if (cell == level.end()) return;
    auto& ids = cell->second;
    ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
    if (ids.empty()) level.erase(cell);
  });
}

void SpatialIndex::Clear() {
  entries_.clear();
  for (auto& level : cells_) level.clear();
  huge_.clear();
}

std::vector<int32_t> SpatialIndex::Query(const Box& box) const {
  std::vector<int32_t> result;
  if (box.Empty()) return result;
  ++stamp_;
  auto consider = [&](int32_t id) {
    if (id < 0) return;
    size_t slot = static_cast<size_t>(id);
    if (slot >= seen_.size()) seen_.resize(slot + 1024, 0);
    if (seen_[slot] == stamp_) return;
    seen_[slot] = stamp_;
    auto it = entries_.find(id);
    if (it != entries_.end() && it->second.box.Intersects(box)) result.push_back(id);
  };
  for (int level = 0; level < kLevels; ++level) {
    const auto& cells = cells_[level];
    if (cells.empty()) continue;
    // Objects are filed in every cell their box touches, so the query's own cells suffice.
    int shift = kFirstShift + 2 * level;
    int64_t cx1 = box.x1 >> shift, cx2 = box.x2 >> shift;
    int64_t cy1 = box.y1 >> shift, cy2 = box.y2 >> shift;
    if ((cx2 - cx1 + 1) * (cy2 - cy1 + 1) > static_cast<int64_t>(cells.size())) {
      for (const auto& [key, ids] : cells)
        for (int32_t id : ids) consider(id);
      continue;
    }
    for (int64_t cx = cx1; cx <= cx2; ++cx)
      for (int64_t cy = cy1; cy <= cy2; ++cy) {
        auto it = cells.find(Key(cx, cy));
        if (it == cells.end()) continue;
        for (int32_t id : it->second) consider(id);
      }
  }
  for (int32_t id : huge_) consider(id);
  return result;
}

}  // namespace host
