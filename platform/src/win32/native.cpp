// The file layer on Win32 calls.
#include "native.h"

#include <chrono>
#include <cstdint>

#include "state.h"

// After the platform's headers: windows.h defines macros (DeleteFile, CopyFile, ...) that would
// rename the platform's own functions of the same names.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform::detail::native {

namespace fs = std::filesystem;

namespace {

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileErrorCode FromWin32(DWORD error, const fs::path& target) {
  switch (error) {
    case ERROR_SUCCESS:
      return FileErrorCode::None;
    case ERROR_FILE_NOT_FOUND: {
      std::error_code ec;
      return fs::is_directory(target.parent_path(), ec) ? FileErrorCode::FileNotFound
                                                        : FileErrorCode::PathNotFound;
    }
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return FileErrorCode::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
      return FileErrorCode::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileErrorCode::AlreadyExists;
    case ERROR_DIR_NOT_EMPTY:
      return FileErrorCode::DirectoryNotEmpty;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileErrorCode::DiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileErrorCode::InvalidName;
    default:
      return FileErrorCode::IoError;
  }
}

FileErrorCode LastError(const fs::path& target) { return FromWin32(::GetLastError(), target); }

// FILETIME counts 100 ns ticks from 1601-01-01; the system clock counts from 1970-01-01.
using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
constexpr Ticks kFrom1601To1970{116'444'736'000'000'000LL};

FileTime FromFiletime(const FILETIME& ft) {
  const auto ticks = Ticks{(static_cast<std::int64_t>(ft.dwHighDateTime) << 32) |
                           static_cast<std::int64_t>(ft.dwLowDateTime)};
  const std::chrono::sys_time<Ticks> sys{ticks - kFrom1601To1970};
  return std::chrono::time_point_cast<FileTime::duration>(std::chrono::file_clock::from_sys(sys));
}

FILETIME ToFiletime(FileTime time) {
  const auto sys = std::chrono::file_clock::to_sys(time);
  const auto ticks = std::chrono::floor<Ticks>(sys.time_since_epoch()) + kFrom1601To1970;
  const auto value = static_cast<std::uint64_t>(ticks.count());
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return ft;
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return where;
}

// ReadFile and WriteFile move at most this much per call.
constexpr std::size_t kChunk = 1u << 30;

}  // namespace

FileErrorCode Open(const fs::path& local, Access access, FileHandle& file) {
  DWORD rights = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  if (access != Access::Read) rights |= GENERIC_WRITE;
  if (access == Access::Create) disposition = CREATE_ALWAYS;
  HANDLE h =
      ::CreateFileW(local.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError(local);
  file = reinterpret_cast<FileHandle>(h);
  return FileErrorCode::None;
}

bool Close(FileHandle file) { return ::CloseHandle(AsHandle(file)) != 0; }

std::optional<std::uint64_t> Size(FileHandle file) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(AsHandle(file), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

FileErrorCode ReadAt(FileHandle file, void* buffer, std::size_t bytes, std::uint64_t offset,
                     std::size_t& done) {
  auto* out = static_cast<unsigned char*>(buffer);
  done = 0;
  while (done < bytes) {
    DWORD want = static_cast<DWORD>(bytes - done < kChunk ? bytes - done : kChunk);
    DWORD got = 0;
    OVERLAPPED where = At(offset + done);
    if (!::ReadFile(AsHandle(file), out + done, want, &got, &where)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return FileErrorCode::IoError;
    }
    if (got == 0) break;
    done += got;
  }
  return FileErrorCode::None;
}

FileErrorCode WriteAt(FileHandle file, const void* buffer, std::size_t bytes, std::uint64_t offset,
                      std::size_t& done) {
  const auto* in = static_cast<const unsigned char*>(buffer);
  done = 0;
  while (done < bytes) {
    DWORD want = static_cast<DWORD>(bytes - done < kChunk ? bytes - done : kChunk);
    DWORD put = 0;
    OVERLAPPED where = At(offset + done);
    if (!::WriteFile(AsHandle(file), in + done, want, &put, &where)) {
      DWORD error = ::GetLastError();
      if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        return FileErrorCode::DiskFull;
      return FileErrorCode::IoError;
    }
    if (put == 0) return FileErrorCode::DiskFull;
    done += put;
  }
  return FileErrorCode::None;
}

FileErrorCode Resize(FileHandle file, std::uint64_t size) {
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFilePointerEx(AsHandle(file), end, nullptr, FILE_BEGIN)) return FileErrorCode::IoError;
  return ::SetEndOfFile(AsHandle(file)) ? FileErrorCode::None : FileErrorCode::IoError;
}

FileErrorCode Rename(const fs::path& from, const fs::path& to, bool replace) {
  DWORD flags = MOVEFILE_WRITE_THROUGH;
  if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
  if (!::MoveFileExW(from.c_str(), to.c_str(), flags)) return LastError(to);
  return FileErrorCode::None;
}

std::optional<std::uintmax_t> FreeBytes(const fs::path& folder) {
  ULARGE_INTEGER available;
  if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return static_cast<std::uintmax_t>(available.QuadPart);
}

FileErrorCode GetWriteTime(const fs::path& local, FileTime& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(local.c_str(), GetFileExInfoStandard, &data)) return LastError(local);
  time = FromFiletime(data.ftLastWriteTime);
  return FileErrorCode::None;
}

FileErrorCode SetWriteTime(const fs::path& local, FileTime time) {
  // Folders open only with backup semantics.
  HANDLE h = ::CreateFileW(local.c_str(), FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError(local);
  const FILETIME ft = ToFiletime(time);
  const bool set = ::SetFileTime(h, nullptr, nullptr, &ft) != 0;
  const FileErrorCode result = set ? FileErrorCode::None : LastError(local);
  ::CloseHandle(h);
  return result;
}

std::optional<std::string> StoredName(const fs::path& folder, const std::string& name) {
  // A name with wildcards would match other entries: it is found only by the caller's search.
  if (name.find_first_of("*?") != std::string::npos) return std::nullopt;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileExW((folder / name).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(search);
  return fs::path(found.cFileName).string();
}

FileErrorCode FromErrorCode(const std::error_code& ec, const fs::path& target) {
  // The standard library reports failed system calls with the system's own numbers and
  // failed C runtime calls with errno values.
  if (ec.category() == std::system_category())
    return FromWin32(static_cast<DWORD>(ec.value()), target);
  std::error_code ignored;
  return FromErrno(ec.value(), !fs::is_directory(target.parent_path(), ignored));
}

}  // namespace platform::detail::native
