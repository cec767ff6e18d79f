// Files and paths with Windows meaning, mapped onto a root folder of this machine: drive C: is
// ROOT/C, a backslash separates names, and each existing name is found without regard to case.
#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <system_error>

#include "native.h"
#include "state.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

struct WinPath {
  char drive = 'C';
  std::vector<std::string> parts;
  bool trailingSeparator = false;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (IsSeparator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// The absolute form of a Windows path: relative paths start at the current folder, "." and ".."
// are resolved, and ".." never climbs above the drive.
WinPath Parse(const std::string& path) {
  WinPath result;
  const std::string& current = detail::S().currentFolder;
  WinPath base;
  base.drive = HasDrive(current) ? static_cast<char>(std::toupper(current[0])) : 'C';
  base.parts = Split(HasDrive(current) ? current.substr(2) : current);

  std::string rest = path;
  if (HasDrive(path)) {
    result.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    rest = path.substr(2);
    if (!rest.empty() && IsSeparator(rest[0])) {
      result.parts.clear();
    } else if (result.drive == base.drive) {
      result.parts = base.parts;
    }
  } else {
    result.drive = base.drive;
    if (rest.empty() || !IsSeparator(rest[0])) result.parts = base.parts;
  }
  for (const std::string& part : Split(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!result.parts.empty()) result.parts.pop_back();
      continue;
    }
    result.parts.push_back(part);
  }
  result.trailingSeparator = !path.empty() && IsSeparator(path.back());
  return result;
}

std::string Format(const WinPath& p) {
  std::string text(1, p.drive);
  text += ":\\";
  for (std::size_t i = 0; i < p.parts.size(); ++i) {
    if (i) text += '\\';
    text += p.parts[i];
  }
  if (p.trailingSeparator && !p.parts.empty()) text += '\\';
  return text;
}

// The existing entry of `folder` whose name equals `name` without regard to case.
std::optional<std::string> MatchEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (auto stored = detail::native::StoredName(folder, name)) return stored;
  if (!fs::is_directory(folder, ec)) return std::nullopt;
  std::string wanted = Lower(name);
  std::optional<std::string> best;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (Lower(entry) == wanted && (!best || entry < *best)) best = entry;
  }
  return best;
}

fs::path DriveFolder(char drive) {
  const fs::path& root = detail::S().root;
  std::string letter(1, drive);
  if (auto match = MatchEntry(root, letter)) return root / *match;
  return root / letter;
}

void SetError(FileErrorCode code) { detail::S().lastFileError = code; }

// The local path of a Windows path whose every name is valid; FileError otherwise.
fs::path Local(const std::string& path) {
  if (detail::S().root.empty()) throw FileError(FileErrorCode::PathNotFound, path);
  WinPath p = Parse(path);
  for (const std::string& part : p.parts)
    if (!IsValidFileName(part)) throw FileError(FileErrorCode::InvalidName, path);
  return ResolvePath(path);
}

template <typename F>
bool Attempt(F&& f) {
  try {
    FileErrorCode code = f();
    SetError(code);
    return code == FileErrorCode::None;
  } catch (const FileError& e) {
    SetError(e.Code());
    return false;
  }
}

FileErrorCode FromError(const std::error_code& ec, const fs::path& target) {
  return detail::native::FromErrorCode(ec, target);
}

std::uintmax_t UsedBytes(const fs::path& folder) {
  std::uintmax_t used = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sizeError;
    if (it->is_regular_file(sizeError)) {
      auto size = it->file_size(sizeError);
      if (!sizeError) used += size;
    }
  }
  return used;
}

}  // namespace

namespace detail {

FileErrorCode FromErrno(int error, bool parentMissing) {
  switch (error) {
    case 0:
      return FileErrorCode::None;
    case ENOENT:
      return parentMissing ? FileErrorCode::PathNotFound : FileErrorCode::FileNotFound;
    case ENOTDIR:
      return FileErrorCode::PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EBUSY:
      return FileErrorCode::AccessDenied;
    case EEXIST:
      return FileErrorCode::AlreadyExists;
    case ENOTEMPTY:
      return FileErrorCode::DirectoryNotEmpty;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return FileErrorCode::DiskFull;
    case ENAMETOOLONG:
    case EINVAL:
      return FileErrorCode::InvalidName;
    default:
      return FileErrorCode::IoError;
  }
}

// Bytes that may still be written on the drive of `local` (unlimited when no capacity is set).
std::optional<std::uintmax_t> RoomOnDrive(const fs::path& local) {
  auto& s = S();
  for (auto& [drive, capacity] : s.driveCapacity) {
    fs::path folder = DriveFolder(drive);
    auto rel = local.lexically_relative(folder);
    if (!rel.empty() && *rel.begin() != "..") {
      std::uintmax_t used = UsedBytes(folder);
      return used >= capacity ? 0 : capacity - used;
    }
  }
  return std::nullopt;
}

bool OwnFile(const fs::path& local) {
  std::error_code ec;
  if (!fs::is_regular_file(local, ec) || fs::hard_link_count(local, ec) <= 1 || ec) return true;
  fs::path copy = local;
  copy += ".~own";
  for (int n = 2; fs::exists(copy, ec); ++n) {
    copy = local;
    copy += ".~own" + std::to_string(n);
  }
  const auto time = fs::last_write_time(local, ec);
  if (!ec) fs::copy_file(local, copy, ec);
  if (!ec) fs::last_write_time(copy, time, ec);
  // The copy takes the shared file's place in one step. If it cannot (a full disk), the write
  // is refused: going on would write the sample machine through the shared file.
  if (!ec && native::Rename(copy, local, true) == FileErrorCode::None) return true;
  fs::remove(copy, ec);
  return false;
}

}  // namespace detail

fs::path ResolvePathForWriting(const std::string& windowsPath) {
  fs::path local = ResolvePath(windowsPath);
  if (!detail::OwnFile(local)) return {};
  return local;
}

void SetRoot(const fs::path& root) {
  std::error_code ec;
  fs::path absolute = fs::absolute(root, ec);
  detail::S().root = ec ? root : absolute.lexically_normal();
}

const fs::path& Root() { return detail::S().root; }

fs::path ResolvePath(const std::string& windowsPath) {
  WinPath p = Parse(windowsPath);
  fs::path local = DriveFolder(p.drive);
  bool exists = true;
  for (const std::string& part : p.parts) {
    if (exists) {
      if (auto match = MatchEntry(local, part)) {
        local /= *match;
        continue;
      }
      exists = false;
    }
    local /= part;
  }
  return local;
}

std::string CurrentFolder() { return detail::S().currentFolder; }

void SetCurrentFolder(const std::string& windowsFolder) {
  detail::S().currentFolder = IncludeTrailingBackslash(ExpandFileName(windowsFolder));
}

// ---- Path texts ----

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::size_t start = 0;
  while (start < name.size() && name[start] == '\\') ++start;
  std::string tail = name.substr(start);
  if (folder.empty()) return tail;
  if (folder.back() == '\\') return folder + tail;
  return folder + "\\" + tail;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + "\\";
}

std::string ExcludeTrailingBackslash(const std::string& path) {
  std::string result = path;
  while (!result.empty() && result.back() == '\\' && !(result.size() == 3 && HasDrive(result)))
    result.pop_back();
  return result;
}

namespace {
std::size_t NameStart(const std::string& path) {
  std::size_t pos = path.find_last_of("\\/:");
  return pos == std::string::npos ? 0 : pos + 1;
}
}  // namespace

std::string ExtractFilePath(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileDir(const std::string& path) {
  std::string dir = path.substr(0, NameStart(path));
  if (dir.size() > 1 && IsSeparator(dir.back()) && !(dir.size() == 3 && HasDrive(dir)))
    dir.pop_back();
  return dir;
}

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileExt(const std::string& path) {
  std::size_t start = NameStart(path);
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return "";
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  std::size_t start = NameStart(path);
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string ExpandFileName(const std::string& path) { return Format(Parse(path)); }

bool IsValidFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::string("<>:\"/\\|?*").find(c) != std::string::npos) return false;
  }
  std::string base = Lower(name.substr(0, name.find('.')));
  static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
  for (const char* device : kDevices)
    if (base == device) return false;
  if (base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) &&
      base[3] >= '1' && base[3] <= '9')
    return false;
  return true;
}

bool SameFileName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// ---- Errors ----

std::string SystemErrorMessage(FileErrorCode code) {
  switch (code) {
    case FileErrorCode::None:
      return "The operation completed successfully";
    case FileErrorCode::FileNotFound:
      return "File not found";
    case FileErrorCode::PathNotFound:
      return "Path not found";
    case FileErrorCode::AccessDenied:
      return "File access denied";
    case FileErrorCode::AlreadyExists:
      return "File exists";
    case FileErrorCode::InvalidName:
      return "Invalid file name";
    case FileErrorCode::DirectoryNotEmpty:
      return "Directory not empty";
    case FileErrorCode::ReadPastEnd:
      return "Read beyond end of file";
    case FileErrorCode::DiskFull:
      return "Disk full";
    case FileErrorCode::NotOpen:
      return "File not open";
    case FileErrorCode::IoError:
      break;
  }
  return "I/O error " + std::to_string(static_cast<int>(code));
}

FileError::FileError(FileErrorCode code, std::string path)
    : std::runtime_error(SystemErrorMessage(code)), code_(code), path_(std::move(path)) {}

FileErrorCode LastFileError() { return detail::S().lastFileError; }

// ---- Simple operations ----

bool FileExists(const std::string& path) {
  return Attempt([&] {
    std::error_code ec;
    return fs::is_regular_file(Local(path), ec) ? FileErrorCode::None : FileErrorCode::FileNotFound;
  });
}

bool DirectoryExists(const std::string& path) {
  return Attempt([&] {
    std::error_code ec;
    return fs::is_directory(Local(path), ec) ? FileErrorCode::None : FileErrorCode::PathNotFound;
  });
}

bool CreateDir(const std::string& path) {
  return Attempt([&] {
    fs::path local = Local(path);
    std::error_code ec;
    if (fs::exists(local, ec)) return FileErrorCode::AlreadyExists;
    if (!fs::is_directory(local.parent_path(), ec)) return FileErrorCode::PathNotFound;
    fs::create_directory(local, ec);
    return ec ? FromError(ec, local) : FileErrorCode::None;
  });
}

bool ForceDirectories(const std::string& path) {
  return Attempt([&] {
    WinPath p = Parse(path);
    WinPath partial;
    partial.drive = p.drive;
    Local(Format(p));  // validates every name
    std::error_code ec;
    fs::create_directories(DriveFolder(p.drive), ec);
    for (const std::string& part : p.parts) {
      partial.parts.push_back(part);
      fs::path local = ResolvePath(Format(partial));
      if (fs::is_directory(local, ec)) continue;
      if (fs::exists(local, ec)) return FileErrorCode::AccessDenied;  // a file stands there
      fs::create_directory(local, ec);
      if (ec) return FromError(ec, local);
    }
    return FileErrorCode::None;
  });
}

bool DeleteFile(const std::string& path) {
  return Attempt([&] {
    fs::path local = Local(path);
    std::error_code ec;
    if (fs::is_directory(local, ec)) return FileErrorCode::AccessDenied;
    if (!fs::exists(local, ec)) {
      return fs::is_directory(local.parent_path(), ec) ? FileErrorCode::FileNotFound
                                                       : FileErrorCode::PathNotFound;
    }
    fs::remove(local, ec);
    return ec ? FromError(ec, local) : FileErrorCode::None;
  });
}

bool RemoveDir(const std::string& path) {
  return Attempt([&] {
    fs::path local = Local(path);
    std::error_code ec;
    if (!fs::is_directory(local, ec)) return FileErrorCode::PathNotFound;
    if (!fs::is_empty(local, ec)) return FileErrorCode::DirectoryNotEmpty;
    fs::remove(local, ec);
    return ec ? FromError(ec, local) : FileErrorCode::None;
  });
}

bool RenameFile(const std::string& from, const std::string& to) {
  return Attempt([&] {
    fs::path source = Local(from);
    fs::path target = Local(to);
    std::error_code ec;
    if (!fs::exists(source, ec)) return FileErrorCode::FileNotFound;
    if (target == source) {
      // Only the letter case changes: keep the new spelling of the name.
      target = source.parent_path() / ExtractFileName(to);
    } else if (fs::exists(target, ec)) {
      return FileErrorCode::AlreadyExists;
    }
    if (!fs::is_directory(target.parent_path(), ec)) return FileErrorCode::PathNotFound;
    return detail::native::Rename(source, target, false);
  });
}

bool RenameFileReplacing(const std::string& from, const std::string& to) {
  return Attempt([&] {
    fs::path source = Local(from);
    fs::path target = Local(to);
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return FileErrorCode::FileNotFound;
    if (fs::is_directory(target, ec)) return FileErrorCode::AccessDenied;
    if (target == source) {
      // Only the letter case changes: keep the new spelling of the name.
      target = source.parent_path() / ExtractFileName(to);
    }
    if (!fs::is_directory(target.parent_path(), ec)) return FileErrorCode::PathNotFound;
    // The target is replaced in one step: the old or the new file is there, never none.
    return detail::native::Rename(source, target, true);
  });
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return Attempt([&] {
    fs::path source = Local(from);
    fs::path target = Local(to);
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return FileErrorCode::FileNotFound;
    if (fs::exists(target, ec)) {
      if (failIfExists) return FileErrorCode::AlreadyExists;
      if (fs::is_directory(target, ec)) return FileErrorCode::AccessDenied;  // no file to replace
      if (fs::equivalent(source, target, ec)) return FileErrorCode::AccessDenied;
    }
    if (!fs::is_directory(target.parent_path(), ec)) return FileErrorCode::PathNotFound;
    std::uintmax_t size = fs::file_size(source, ec);
    if (auto room = detail::RoomOnDrive(target)) {
      std::uintmax_t existing = fs::exists(target, ec) ? fs::file_size(target, ec) : 0;
      if (size > *room + existing) return FileErrorCode::DiskFull;
    }
    if (!fs::exists(target, ec)) {
      fs::copy_file(source, target, ec);
      return ec ? FromError(ec, target) : FileErrorCode::None;
    }
    // An existing file is replaced whole: the copy is made beside it under a name of its own and
    // then renamed over it in one step, so the target is the old file or the new one, never a
    // part of either. (Copying over an existing file is also refused by some systems' libraries.)
    fs::path temp = target;
    temp += ".~cp";
    for (int n = 2; fs::exists(temp, ec); ++n) {
      temp = target;
      temp += ".~cp" + std::to_string(n);
    }
    fs::copy_file(source, temp, ec);
    if (ec) {
      FileErrorCode failed = FromError(ec, target);
      fs::remove(temp, ec);
      return failed;
    }
    FileErrorCode renamed = detail::native::Rename(temp, target, true);
    if (renamed != FileErrorCode::None) fs::remove(temp, ec);
    return renamed;
  });
}

std::optional<std::uintmax_t> FileSizeOf(const std::string& path) {
  std::optional<std::uintmax_t> size;
  Attempt([&] {
    fs::path local = Local(path);
    std::error_code ec;
    if (!fs::is_regular_file(local, ec)) return FileErrorCode::FileNotFound;
    auto bytes = fs::file_size(local, ec);
    if (ec) return FromError(ec, local);
    size = bytes;
    return FileErrorCode::None;
  });
  return size;
}

std::int64_t DiskFree(char drive) {
  if (!std::isalpha(static_cast<unsigned char>(drive)) || detail::S().root.empty()) return -1;
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  fs::path folder = DriveFolder(letter);
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return -1;
  auto& capacity = detail::S().driveCapacity;
  if (auto it = capacity.find(letter); it != capacity.end()) {
    std::uintmax_t used = UsedBytes(folder);
    return used >= it->second ? 0 : static_cast<std::int64_t>(it->second - used);
  }
  auto available = detail::native::FreeBytes(folder);
  return available ? static_cast<std::int64_t>(*available) : -1;
}

void SetDriveCapacity(char drive, std::optional<std::uint64_t> capacityBytes) {
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  if (capacityBytes)
    detail::S().driveCapacity[letter] = *capacityBytes;
  else
    detail::S().driveCapacity.erase(letter);
}

bool SetDriveFree(char drive, std::uint64_t freeBytes) {
  if (!std::isalpha(static_cast<unsigned char>(drive)) || detail::S().root.empty()) return false;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  const fs::path folder = DriveFolder(letter);
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  const std::uint64_t used = UsedBytes(folder);
  detail::S().driveCapacity[letter] = freeBytes > UINT64_MAX - used ? UINT64_MAX : used + freeBytes;
  return true;
}

std::optional<FileTime> GetFileTime(const std::string& path) {
  std::optional<FileTime> time;
  Attempt([&] {
    FileTime t;
    FileErrorCode code = detail::native::GetWriteTime(Local(path), t);
    if (code == FileErrorCode::None) time = t;
    return code;
  });
  return time;
}

bool SetFileTime(const std::string& path, FileTime time) {
  return Attempt([&] {
    const fs::path local = Local(path);
    if (!detail::OwnFile(local)) return FileErrorCode::DiskFull;
    return detail::native::SetWriteTime(local, time);
  });
}

}  // namespace platform
