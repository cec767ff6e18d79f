// A hierarchical grid over object boxes: every object sits in the level whose cells are at least
// its size, filed once, in the cell of its lower left corner; a query looks at the cells its box
// touches widened by one cell down and left, so it visits a few cells per level instead of every
// object. An object costs one entry (its level and place), one item in its level's list and one
// link in its cell's chain.
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
  size_t Size() const { return size_; }

 private:
  static constexpr int kLevels = 12;
  static constexpr int kFirstShift = 10;  // cells of 1024 DBU at level 0, x4 per level
  static constexpr uint64_t kNoKey = ~uint64_t{0};
  static constexpr int8_t kNone = -1;  // an entry slot that holds no object

  // An object's box, clamped to the drawing's 32-bit range (so every box fits the top level's
  // cells), with its id.
  struct Item {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t id = 0;
  };
  // Where an object is: its level and its place in that level's items.
  struct Entry {
    int32_t place = 0;
    int8_t level = kNone;
  };
  // One object in a cell's chain, with a copy of its box so that a cell is tested without
  // looking the object up.
  struct Link {
    Item item;
    int32_t next;  // index of the next link in the chain, -1 at its end
  };
  // A slot of the cell table (open addressing): the cell's key and the head of its chain. A cell
  // whose chain empties keeps its slot until the table grows.
  struct Cell {
    uint64_t key = kNoKey;
    int32_t head = -1;
  };

  static int LevelFor(int64_t size);
  static uint64_t Key(int level, int64_t cx, int64_t cy);
  static bool Intersects(const Item& e, const Box& box);
  const Entry* FindEntry(int32_t id) const;
  Entry* FindEntry(int32_t id);
  Entry& MakeEntry(int32_t id);
  size_t Probe(uint64_t key) const;  // the slot holding `key`, or the empty slot it would take
  void Grow();
  template <typename F>
  void ForCellsOf(const Box& box, int level, F&& f) const;

  // Entries of ids below the dense limit live in a vector indexed by id (the host hands out ids
  // counting up); others, such as large ids read from a file, in a map.
  std::vector<Entry> dense_;
  std::unordered_map<int32_t, Entry> sparse_;
  std::vector<Cell> cells_;  // power-of-two size, at most half full
  size_t usedCells_ = 0;
  std::vector<Link> links_;
  int32_t freeLink_ = -1;
  // The objects of each level, so that a query whose box spans many cells of a level that holds
  // few objects tests those objects instead.
  std::vector<Item> levelItems_[kLevels];
  size_t size_ = 0;
};

}  // namespace host
