// A hierarchical grid over object boxes: every object sits in the level whose cells are at least
// its size, filed once, in the cell of its lower left corner; a query looks at the cells its box
// touches widened by one cell down and left, so it visits a few cells per level instead of every
// object. An object costs one item in its level's list (its box, its id and the link to the next
// item of its cell) and four bytes that say where that item is.
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
  // The box filed for `id` (clamped to the 32-bit range); false when `id` is not filed.
  bool BoxOf(int32_t id, Box* box) const;
  // Ids whose boxes intersect `box` (each once, in no particular order).
  std::vector<int32_t> Query(const Box& box) const;
  size_t Size() const { return size_; }

 private:
  static constexpr int kLevels = 12;
  static constexpr int kFirstShift = 10;  // cells of 1024 DBU at level 0, x4 per level
  static constexpr uint64_t kNoKey = ~uint64_t{0};

  // An object's box, clamped to the drawing's 32-bit range (so every box fits the top level's
  // cells), with its id and the place of the next item of its cell in the level's list (-1 at
  // the end of the cell's chain).
  struct Item {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t id = 0;
    int32_t next = -1;
  };
  // Where an object is: its level in the top four bits, its place in the level's items below.
  using Entry = uint32_t;
  static constexpr Entry kNoEntry = ~Entry{0};
  static constexpr int kPlaceBits = 28;
  static Entry MakeEntryValue(int level, size_t place) {
    return (static_cast<Entry>(level) << kPlaceBits) | static_cast<Entry>(place);
  }
  // A slot of the cell table (open addressing): the cell's key, in two halves so that a slot
  // takes twelve bytes, and the place of the first item of its chain. A cell whose chain empties
  // keeps its slot until the table grows.
  struct Cell {
    uint32_t keyLow = ~uint32_t{0}, keyHigh = ~uint32_t{0};
    int32_t head = -1;
    uint64_t Key() const { return (static_cast<uint64_t>(keyHigh) << 32) | keyLow; }
    void SetKey(uint64_t key) {
      keyLow = static_cast<uint32_t>(key);
      keyHigh = static_cast<uint32_t>(key >> 32);
    }
  };

  static int LevelFor(int64_t size);
  static uint64_t Key(int level, int64_t cx, int64_t cy);
  static uint64_t KeyOf(int level, const Item& item);
  static bool Intersects(const Item& e, const Box& box);
  const Entry* FindEntry(int32_t id) const;
  Entry* FindEntry(int32_t id);
  Entry& MakeEntry(int32_t id);
  size_t Probe(uint64_t key) const;  // the slot holding `key`, or the empty slot it would take
  // The link (a cell's head or an item's next) that holds `place` in its cell's chain.
  int32_t* LinkTo(int level, int32_t place);
  void Grow();
  template <typename F>
  void ForCellsOf(const Box& box, int level, F&& f) const;

  // Entries of ids below the dense limit live in a vector indexed by id (the host hands out ids
  // counting up); others, such as large ids read from a file, in a map.
  std::vector<Entry> dense_;
  std::unordered_map<int32_t, Entry> sparse_;
  std::vector<Cell> cells_;  // power-of-two size, at most half full
  size_t usedCells_ = 0;
  // The objects of each level. A query whose box spans many cells of a level that holds few
  // objects tests those objects in a row instead.
  std::vector<Item> levelItems_[kLevels];
  size_t size_ = 0;
};

}  // namespace host
