#include "host/spatial_index.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace host {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

uint64_t Mix(uint64_t k) {
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  k *= 0xc4ceb9fe1a85ec53ULL;
  return k ^ (k >> 33);
}

// The table lookup and the box test, written here so that the hot loops of a query call nothing
// across the library's interface.
template <typename Cell>
size_t ProbeIn(const std::vector<Cell>& cells, uint64_t key, uint64_t none) {
  const size_t mask = cells.size() - 1;
  for (size_t slot = Mix(key) & mask;; slot = (slot + 1) & mask) {
    const uint64_t k = cells[slot].Key();
    if (k == key || k == none) return slot;
  }
}

template <typename Item>
bool Hits(const Item& e, const Box& box) {
  return e.x1 <= box.x2 && box.x1 <= e.x2 && e.y1 <= box.y2 && box.y1 <= e.y2;
}

}  // namespace

int SpatialIndex::LevelFor(int64_t size) {
  for (int level = 0; level < kLevels - 1; ++level)
    if (size < (int64_t{1} << (kFirstShift + 2 * level))) return level;
  return kLevels - 1;  // cells of 2^32: any box in the 32-bit range
}

uint64_t SpatialIndex::Key(int level, int64_t cx, int64_t cy) {
  // Cell numbers stay within +-2^23 (the 32-bit range over cells of at least 1024, widened by
  // one), so 28 bits each keep them apart.
  return (static_cast<uint64_t>(level) << 56) |
         ((static_cast<uint64_t>(cx) & 0x0FFFFFFFULL) << 28) |
         (static_cast<uint64_t>(cy) & 0x0FFFFFFFULL);
}

uint64_t SpatialIndex::KeyOf(int level, const Item& item) {
  const int shift = kFirstShift + 2 * level;
  return Key(level, int64_t{item.x1} >> shift, int64_t{item.y1} >> shift);
}

bool SpatialIndex::Intersects(const Item& e, const Box& box) { return Hits(e, box); }

const SpatialIndex::Entry* SpatialIndex::FindEntry(int32_t id) const {
  if (id >= 0 && static_cast<size_t>(id) < dense_.size() && dense_[id] != kNoEntry)
    return &dense_[id];
  if (sparse_.empty()) return nullptr;
  auto it = sparse_.find(id);
  return it == sparse_.end() ? nullptr : &it->second;
}

SpatialIndex::Entry* SpatialIndex::FindEntry(int32_t id) {
  return const_cast<Entry*>(static_cast<const SpatialIndex*>(this)->FindEntry(id));
}

SpatialIndex::Entry& SpatialIndex::MakeEntry(int32_t id) {
  // Ids counting up from 1 go into the vector; an id far beyond the objects indexed (read from a
  // file, say) does not make the vector that long.
  if (id >= 0 &&
      (static_cast<size_t>(id) < dense_.size() || static_cast<size_t>(id) < 2 * size_ + 65536)) {
    if (static_cast<size_t>(id) >= dense_.size())
      dense_.resize(std::max(static_cast<size_t>(id) + 1, dense_.size() * 5 / 4), kNoEntry);
    return dense_[id];
  }
  return sparse_[id];
}

size_t SpatialIndex::Probe(uint64_t key) const { return ProbeIn(cells_, key, kNoKey); }

void SpatialIndex::Grow() {
  std::vector<Cell> old;
  old.swap(cells_);
  cells_.assign(std::max<size_t>(1024, old.size() * 2), Cell{});
  usedCells_ = 0;
  for (const Cell& c : old) {
    if (c.Key() == kNoKey || c.head < 0) continue;  // emptied cells are dropped here
    cells_[Probe(c.Key())] = c;
    ++usedCells_;
  }
}

template <typename F>
void SpatialIndex::ForCellsOf(const Box& box, int level, F&& f) const {
  // An object is filed by its lower left corner and is smaller than a cell of its level, so one
  // that reaches into the box has its corner in the box's cells or one cell down or left.
  int shift = kFirstShift + 2 * level;
  int64_t cx1 = (box.x1 >> shift) - 1, cx2 = box.x2 >> shift;
  int64_t cy1 = (box.y1 >> shift) - 1, cy2 = box.y2 >> shift;
  for (int64_t cx = cx1; cx <= cx2; ++cx)
    for (int64_t cy = cy1; cy <= cy2; ++cy) f(Key(level, cx, cy));
}

int32_t* SpatialIndex::LinkTo(int level, int32_t place) {
  auto& items = levelItems_[level];
  Cell& cell = cells_[Probe(KeyOf(level, items[static_cast<size_t>(place)]))];
  int32_t* at = &cell.head;
  while (*at >= 0 && *at != place) at = &items[static_cast<size_t>(*at)].next;
  return at;
}

bool SpatialIndex::BoxOf(int32_t id, Box* box) const {
  const Entry* e = FindEntry(id);
  if (!e) return false;
  const Item& item = levelItems_[*e >> kPlaceBits][*e & ((Entry{1} << kPlaceBits) - 1)];
  *box = Box{item.x1, item.y1, item.x2, item.y2};
  return true;
}

void SpatialIndex::Insert(int32_t id, const Box& box) {
  Remove(id);
  if (box.Empty()) return;
  Item item{Clamp32(box.x1), Clamp32(box.y1), Clamp32(box.x2), Clamp32(box.y2), id, -1};
  const int level = LevelFor(std::max(int64_t{item.x2} - item.x1, int64_t{item.y2} - item.y1));
  auto& items = levelItems_[level];
  if (items.size() >= (size_t{1} << kPlaceBits) - 1)
    throw std::length_error("too many objects of one size for the spatial index");
  if (2 * (usedCells_ + 1) > cells_.size()) Grow();
  Cell& cell = cells_[Probe(KeyOf(level, item))];
  if (cell.Key() == kNoKey) {
    cell.SetKey(KeyOf(level, item));
    ++usedCells_;
  }
  const size_t place = items.size();
  item.next = cell.head;
  cell.head = static_cast<int32_t>(place);
  // Grown by a quarter at a time: the list is most of the index's memory.
  if (items.size() == items.capacity()) items.reserve(items.size() + items.size() / 4 + 64);
  items.push_back(item);
  MakeEntry(id) = MakeEntryValue(level, place);
  ++size_;
}

void SpatialIndex::Remove(int32_t id) {
  Entry* e = FindEntry(id);
  if (!e) return;
  const int level = static_cast<int>(*e >> kPlaceBits);
  const auto place = static_cast<int32_t>(*e & ((Entry{1} << kPlaceBits) - 1));
  auto& items = levelItems_[level];
  // Out of its cell's chain.
  *LinkTo(level, place) = items[static_cast<size_t>(place)].next;
  // The level's last item takes its place: whatever linked to the last item links to the place.
  const auto last = static_cast<int32_t>(items.size() - 1);
  if (place != last) {
    *LinkTo(level, last) = place;
    items[static_cast<size_t>(place)] = items.back();
    *FindEntry(items[static_cast<size_t>(place)].id) =
        MakeEntryValue(level, static_cast<size_t>(place));
  }
  items.pop_back();
  --size_;
  if (id >= 0 && static_cast<size_t>(id) < dense_.size() && &dense_[id] == e) {
    *e = kNoEntry;
  } else {
    sparse_.erase(id);
  }
}

void SpatialIndex::Clear() { *this = SpatialIndex{}; }

std::vector<int32_t> SpatialIndex::Query(const Box& box) const {
  std::vector<int32_t> result;
  if (box.Empty() || size_ == 0) return result;
  // Within the 32-bit range, where every object's box lies.
  Box q;
  q.x1 = std::max<int64_t>(box.x1, INT32_MIN);
  q.y1 = std::max<int64_t>(box.y1, INT32_MIN);
  q.x2 = std::min<int64_t>(box.x2, INT32_MAX);
  q.y2 = std::min<int64_t>(box.y2, INT32_MAX);
  if (q.Empty()) return result;
  for (int level = 0; level < kLevels; ++level) {
    const auto& items = levelItems_[level];
    if (items.empty()) continue;
    // Looking up a cell (a jump into a large table) costs about as much as testing some dozens
    // of objects in a row: a box that spans many cells of a level holding few objects tests the
    // level's objects instead.
    const int shift = kFirstShift + 2 * level;
    const int64_t cells =
        ((q.x2 >> shift) - (q.x1 >> shift) + 2) * ((q.y2 >> shift) - (q.y1 >> shift) + 2);
    if (cells * 32 > static_cast<int64_t>(items.size())) {
      for (const Item& item : items)
        if (Hits(item, q)) result.push_back(item.id);
      continue;
    }
    ForCellsOf(q, level, [&](uint64_t key) {
      const Cell& cell = cells_[ProbeIn(cells_, key, kNoKey)];
      for (int32_t at = cell.head; at >= 0; at = items[static_cast<size_t>(at)].next)
        if (Hits(items[static_cast<size_t>(at)], q))
          result.push_back(items[static_cast<size_t>(at)].id);
    });
  }
  return result;
}

}  // namespace host
