// The drawing's objects by id. The host hands out ids counting up, so an object lives in the
// slot of its id: finding one is two looks into arrays, walking them goes in the order of ids,
// and an object costs its own size and nothing around it. Slots come in blocks; a block whose
// objects are all gone (previews made and deleted, say) is given back. An object stays where it
// was put until it is erased.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "host/objects.h"

namespace host {

class ObjectStore {
  static constexpr int kBlockBits = 10;
  static constexpr size_t kBlockSize = size_t{1} << kBlockBits;
  struct Block {
    Object slots[kBlockSize];  // id 0 marks a free slot
    uint32_t live = 0;
  };

 public:
  // Walks the objects in the order of their ids as (id, object) pairs.
  template <typename O>
  class Iterator {
   public:
    using value_type = std::pair<const int32_t, O&>;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::forward_iterator_tag;

    Iterator() = default;
    Iterator(const std::vector<std::unique_ptr<Block>>* blocks, size_t at)
        : blocks_(blocks), at_(at) {
      Settle();
    }
    value_type operator*() const { return {Slot().id, Slot()}; }
    Iterator& operator++() {
      ++at_;
      Settle();
      return *this;
    }
    Iterator operator++(int) {
      Iterator was = *this;
      ++*this;
      return was;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }

   private:
    O& Slot() const { return (*blocks_)[at_ >> kBlockBits]->slots[at_ & (kBlockSize - 1)]; }
    // Moves to the first object at or after at_ (or to the end).
    void Settle() {
      const size_t end = blocks_->size() << kBlockBits;
      while (at_ < end) {
        const auto& block = (*blocks_)[at_ >> kBlockBits];
        if (!block) {
          at_ = ((at_ >> kBlockBits) + 1) << kBlockBits;
          continue;
        }
        if (block->slots[at_ & (kBlockSize - 1)].id != 0) return;
        ++at_;
      }
      at_ = end;
    }
    const std::vector<std::unique_ptr<Block>>* blocks_ = nullptr;
    size_t at_ = 0;
  };
  using iterator = Iterator<Object>;
  using const_iterator = Iterator<const Object>;

  ObjectStore() = default;
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const_iterator begin() const { return {&blocks_, 0}; }
  const_iterator end() const { return {&blocks_, blocks_.size() << kBlockBits}; }
  iterator begin() { return {&blocks_, 0}; }
  iterator end() { return {&blocks_, blocks_.size() << kBlockBits}; }

  const Object* Find(int32_t id) const {
    if (id <= 0) return nullptr;
    const size_t block = static_cast<size_t>(id) >> kBlockBits;
    if (block >= blocks_.size() || !blocks_[block]) return nullptr;
    const Object& o = blocks_[block]->slots[static_cast<size_t>(id) & (kBlockSize - 1)];
    return o.id != 0 ? &o : nullptr;
  }
  Object* Find(int32_t id) {
    return const_cast<Object*>(static_cast<const ObjectStore*>(this)->Find(id));
  }
  // Puts the object in the slot of its id (positive), replacing any object there.
  Object& Put(Object object);
  bool Erase(int32_t id);
  void Clear();

 private:
  std::vector<std::unique_ptr<Block>> blocks_;
  size_t size_ = 0;
};

}  // namespace host
