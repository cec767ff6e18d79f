#include "host/object_store.h"

#include <stdexcept>

namespace host {

Object& ObjectStore::Put(Object object) {
  if (object.id <= 0) throw std::invalid_argument("an object's id is positive");
  const size_t id = static_cast<size_t>(object.id);
  const size_t block = id >> kBlockBits;
  if (block >= blocks_.size()) blocks_.resize(block + 1);
  if (!blocks_[block]) blocks_[block] = std::make_unique<Block>();
  Block& b = *blocks_[block];
  Object& slot = b.slots[id & (kBlockSize - 1)];
  if (slot.id == 0) {
    ++b.live;
    ++size_;
  }
  slot = std::move(object);
  return slot;
}

bool ObjectStore::Erase(int32_t id) {
  Object* o = Find(id);
  if (!o) return false;
  *o = Object{};
  --size_;
  // A block emptied is given back, but for the last one, where new objects go.
  const size_t block = static_cast<size_t>(id) >> kBlockBits;
  if (--blocks_[block]->live == 0 && block + 1 < blocks_.size()) blocks_[block].reset();
  return true;
}

void ObjectStore::Clear() {
  blocks_.clear();
  size_ = 0;
}

}  // namespace host
