// Reading the start of a fixed-record file and replacing a file safely. Paths are Windows paths;
// the platform maps them onto this machine.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qxt {

using ByteBuffer = std::vector<unsigned char>;

// Reads exactly `count` bytes from the start of the file. On failure returns nothing and puts the
// system's description of the reason in `error` (a file shorter than `count` is a read past its
// end).
std::optional<ByteBuffer> ReadFileStart(const std::string& windowsPath, std::size_t count,
                                        std::string& error);

// Gives the file exactly `contents` without ever leaving it half-written: the new contents go to
// a temporary file beside it, which then takes the file's place in one step. When anything fails
// (a full disk, say) the file keeps its previous contents and the temporary file is removed;
// the system's description of the reason is returned. Nothing is returned on success.
std::optional<std::string> ReplaceFile(const std::string& windowsPath, const ByteBuffer& contents);

// Writes `contents` over the start of an existing file, in place; the rest of the file stays.
// Needs no room beyond what the file grows by, but a crash mid-write can leave the file part old,
// part new: only for when there is no room for a second copy. When the growth does not fit on the
// drive nothing is written. Returns the system's description of a failure, nothing on success.
std::optional<std::string> WriteFileStart(const std::string& windowsPath,
                                          const ByteBuffer& contents);

}  // namespace qxt
