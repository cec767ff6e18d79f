// The operating system's side of the file layer: open files and the few operations whose
// meaning differs between systems (replacing rename, free space, file times, error numbers).
// posix/native.cpp and win32/native.cpp implement it; exactly one of them is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/files.h"

namespace platform::detail::native {

// An open file: a descriptor or a system handle, kNoFile when none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class Access {
  Read,       // an existing file, read only
  ReadWrite,  // an existing file, read and written
  Create,     // a new or emptied file, read and written
};

// Opens `local`; the system's error when it cannot.
FileErrorCode Open(const std::filesystem::path& local, Access access, FileHandle& file);
// Closes an open file; false when the system reported an error.
bool Close(FileHandle file);
// The file's size in bytes; nullopt when the system cannot tell.
std::optional<std::uint64_t> Size(FileHandle file);
// Reads up to `bytes` at `offset` into `buffer`; `done` is what was read (short at the end).
FileErrorCode ReadAt(FileHandle file, void* buffer, std::size_t bytes, std::uint64_t offset,
                     std::size_t& done);
// Writes `bytes` at `offset`; `done` is what was written. A full drive stops the write early
// and reports DiskFull.
FileErrorCode WriteAt(FileHandle file, const void* buffer, std::size_t bytes, std::uint64_t offset,
                      std::size_t& done);
// Sets the file's size (cuts it or extends it).
FileErrorCode Resize(FileHandle file, std::uint64_t size);

// Renames a file; with `replace` an existing target is replaced in one step, so that either the
// old or the new file is found there, never none.
FileErrorCode Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                     bool replace);
// Bytes free for this user on the drive that holds `folder`; nullopt when unknown.
std::optional<std::uintmax_t> FreeBytes(const std::filesystem::path& folder);
// The last-write time of a file or folder, and setting it.
FileErrorCode GetWriteTime(const std::filesystem::path& local, FileTime& time);
FileErrorCode SetWriteTime(const std::filesystem::path& local, FileTime time);

// The name under which the entry `name` of `folder` is stored, when the system finds it by that
// name: on a system that ignores case the stored spelling may differ from `name`.
std::optional<std::string> StoredName(const std::filesystem::path& folder, const std::string& name);

// The system's file error for an error reported by the standard library's file system calls
// about `target` (a missing parent folder makes "not found" a path error).
FileErrorCode FromErrorCode(const std::error_code& ec, const std::filesystem::path& target);

}  // namespace platform::detail::native
