// The file layer on POSIX calls.
#include "native.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "state.h"

namespace platform::detail::native {

namespace fs = std::filesystem;

namespace {

FileErrorCode FromErrnoAt(int error, const fs::path& target) {
  std::error_code ec;
  return FromErrno(error, !fs::is_directory(target.parent_path(), ec));
}

}  // namespace

FileErrorCode Open(const fs::path& local, Access access, FileHandle& file) {
  int flags = O_CLOEXEC;
  switch (access) {
    case Access::Read:
      flags |= O_RDONLY;
      break;
    case Access::ReadWrite:
      flags |= O_RDWR;
      break;
    case Access::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  int fd = ::open(local.c_str(), flags, 0644);
  if (fd < 0) return FromErrnoAt(errno, local);
  file = fd;
  return FileErrorCode::None;
}

bool Close(FileHandle file) { return ::close(static_cast<int>(file)) == 0; }

std::optional<std::uint64_t> Size(FileHandle file) {
  struct stat info {};
  if (::fstat(static_cast<int>(file), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

FileErrorCode ReadAt(FileHandle file, void* buffer, std::size_t bytes, std::uint64_t offset,
                     std::size_t& done) {
  auto* out = static_cast<unsigned char*>(buffer);
  done = 0;
  while (done < bytes) {
    ssize_t n = ::pread(static_cast<int>(file), out + done, bytes - done,
                        static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileErrorCode::IoError;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return FileErrorCode::None;
}

FileErrorCode WriteAt(FileHandle file, const void* buffer, std::size_t bytes, std::uint64_t offset,
                      std::size_t& done) {
  const auto* in = static_cast<const unsigned char*>(buffer);
  done = 0;
  while (done < bytes) {
    ssize_t n = ::pwrite(static_cast<int>(file), in + done, bytes - done,
                         static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == ENOSPC || errno == EDQUOT) return FileErrorCode::DiskFull;
      return FileErrorCode::IoError;
    }
    done += static_cast<std::size_t>(n);
  }
  return FileErrorCode::None;
}

FileErrorCode Resize(FileHandle file, std::uint64_t size) {
  return ::ftruncate(static_cast<int>(file), static_cast<off_t>(size)) == 0
             ? FileErrorCode::None
             : FileErrorCode::IoError;
}

FileErrorCode Rename(const fs::path& from, const fs::path& to, bool replace) {
  // rename() replaces an existing target atomically; without `replace` the caller has checked
  // that there is none.
  (void)replace;
  std::error_code ec;
  fs::rename(from, to, ec);
  return ec ? FromErrorCode(ec, to) : FileErrorCode::None;
}

std::optional<std::uintmax_t> FreeBytes(const fs::path& folder) {
  std::error_code ec;
  auto info = fs::space(folder, ec);
  if (ec) return std::nullopt;
  return info.available;
}

FileErrorCode GetWriteTime(const fs::path& local, FileTime& time) {
  std::error_code ec;
  auto t = fs::last_write_time(local, ec);
  if (ec) return FromErrorCode(ec, local);
  time = t;
  return FileErrorCode::None;
}

FileErrorCode SetWriteTime(const fs::path& local, FileTime time) {
  std::error_code ec;
  fs::last_write_time(local, time, ec);
  return ec ? FromErrorCode(ec, local) : FileErrorCode::None;
}

std::optional<std::string> StoredName(const fs::path& folder, const std::string& name) {
  // Names are compared as they are written.
  std::error_code ec;
  if (!fs::exists(folder / name, ec)) return std::nullopt;
  return name;
}

FileErrorCode FromErrorCode(const std::error_code& ec, const fs::path& target) {
  return FromErrnoAt(ec.value(), target);
}

}  // namespace platform::detail::native
