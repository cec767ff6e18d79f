// Moveable global memory blocks. A block lives in the platform's handle table until it is freed,
// so that any module of the process can resolve a handle it was given.
#include "platform/memory.h"

#include <new>

#include "state.h"

namespace platform {

namespace {
// A single block larger than this is refused, as the system refuses what it cannot commit.
constexpr std::size_t kMaxBlock = std::size_t{1} << 30;
}  // namespace

MemHandle GlobalAlloc(std::size_t size, bool zeroInit) {
  (void)zeroInit;  // blocks are always zero-filled: never hand out stale bytes
  if (size > kMaxBlock) return 0;
  auto& s = detail::S();
  detail::MemoryBlock block;
  try {
    block.bytes.assign(size == 0 ? 1 : size, 0);
    block.bytes.resize(size);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  MemHandle handle = s.nextBlock++;
  if (s.nextBlock == 0) s.nextBlock = 1;
  s.blocks.emplace(handle, std::move(block));
  return handle;
}

void* GlobalLock(MemHandle handle) {
  auto& blocks = detail::S().blocks;
  auto it = blocks.find(handle);
  if (it == blocks.end()) return nullptr;
  ++it->second.locks;
  // A zero-sized block still has an address.
  if (it->second.bytes.capacity() == 0) it->second.bytes.reserve(1);
  return it->second.bytes.data();
}

bool GlobalUnlock(MemHandle handle) {
  auto& blocks = detail::S().blocks;
  auto it = blocks.find(handle);
  if (it == blocks.end() || it->second.locks == 0) return false;
  --it->second.locks;
  return true;
}

MemHandle GlobalFree(MemHandle handle) {
  auto& blocks = detail::S().blocks;
  if (blocks.erase(handle) == 0) return handle;
  return 0;
}

std::size_t GlobalSize(MemHandle handle) {
  auto& blocks = detail::S().blocks;
  auto it = blocks.find(handle);
  return it == blocks.end() ? 0 : it->second.bytes.size();
}

std::size_t LiveBlockCount() { return detail::S().blocks.size(); }

}  // namespace platform
