// Copying a file for the project manager (a new drawing made from a template).
#pragma once

#include <cstddef>
#include <string>

namespace qxt {

// The size of the blocks a copy reads and writes.
inline constexpr std::size_t kCopyBlockSize = 32768;

// Copies `source` to `destination` (an existing destination is overwritten) and gives the copy
// the source's file date. Refusals and failures are shown in the platform's standard message
// dialog and return false: a copy onto itself (names compared without regard to case), a source
// that cannot be opened, a destination that cannot be created, and a read or write that fails or
// falls short (the incomplete copy is removed then). When the destination's drive has no more
// free space than the source's size, the user is asked whether to cancel the copy first.
bool CopyFileTo(const std::string& source, const std::string& destination);

}  // namespace qxt
