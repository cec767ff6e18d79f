// Moveable global memory blocks, shared by every module of the process: the plug-in allocates a
// block and hands its handle to the host, which resolves it to read what the block holds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using MemHandle = std::uint32_t;  // 0 is no block

// Allocates a block of `size` bytes, zero-filled when `zeroInit`. Returns 0 when it cannot.
MemHandle GlobalAlloc(std::size_t size, bool zeroInit = true);
// Locks the block and returns its address (null for an unknown handle). Locks count.
void* GlobalLock(MemHandle handle);
// Undoes one lock; false when the block was not locked or is unknown.
bool GlobalUnlock(MemHandle handle);
// Frees the block; returns 0 on success, the handle itself when it is unknown.
MemHandle GlobalFree(MemHandle handle);
// Size of the block in bytes; 0 for an unknown handle.
std::size_t GlobalSize(MemHandle handle);
// Blocks allocated and not yet freed (so a test sees a leak).
std::size_t LiveBlockCount();

}  // namespace platform
