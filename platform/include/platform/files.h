// Files and paths with Windows meaning. Programs build and show paths such as
// "C:\TRACELON\WORK\QXTOOLS.DAT"; the platform maps them onto a root folder of this machine
// (drive C: is ROOT/C, a backslash a separator) and resolves each name without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// The folder that holds the drives. Must be set before any file is used.
void SetRoot(const std::filesystem::path& root);
const std::filesystem::path& Root();

// The local path for a Windows path: existing names are matched without regard to case; the part
// that does not exist yet keeps the case as written. Relative paths are taken from the current
// folder (initially "C:\").
std::filesystem::path ResolvePath(const std::string& windowsPath);
// The same, for a file that is about to be changed in place by other means than the functions
// of the platform (which do it themselves): a machine's file that is still shared with the
// sample machine it was made from becomes the machine's own first. An empty path when that copy
// cannot be made (nothing may then be written there).
std::filesystem::path ResolvePathForWriting(const std::string& windowsPath);

// The current folder (a Windows path with a trailing backslash) against which relative paths
// are taken. Common dialogs change it unless told not to.
std::string CurrentFolder();
void SetCurrentFolder(const std::string& windowsFolder);

// ---- Windows path texts (no file system access) ----

// Folder and name joined with exactly one backslash: none is added when the folder already ends
// with one, and leading backslashes of the name are dropped. An empty folder gives the name.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);
// "C:\A\B.TXT": folder with backslash "C:\A\", folder "C:\A", name "B.TXT", extension ".TXT".
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileDir(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // from the last dot of the name, or ""
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// The full Windows path ("C:\..."), taken from the current folder when relative, with "." and
// ".." resolved.
std::string ExpandFileName(const std::string& path);
// True when `name` may be one file or folder name: no control characters, none of <>:"/\|?*,
// not a device name (CON, PRN, AUX, NUL, COM1..9, LPT1..9), not empty, not "." or "..".
bool IsValidFileName(const std::string& name);
bool SameFileName(const std::string& a, const std::string& b);  // compared without regard to case

// ---- Errors ----

// The system's error numbers for file work, with its descriptions (SystemErrorMessage).
enum class FileErrorCode : int {
  None = 0,
  FileNotFound = 2,
  PathNotFound = 3,
  AccessDenied = 5,
  AlreadyExists = 80,
  InvalidName = 123,
  DirectoryNotEmpty = 145,
  ReadPastEnd = 100,
  DiskFull = 101,
  NotOpen = 103,
  IoError = 1117,
};

std::string SystemErrorMessage(FileErrorCode code);

// A failed file operation. what() is the system's description alone (for example "File not
// found"); Path() is the Windows path concerned, so a caller can show "path: description".
class FileError : public std::runtime_error {
 public:
  FileError(FileErrorCode code, std::string path);
  FileErrorCode Code() const { return code_; }
  const std::string& Path() const { return path_; }

 private:
  FileErrorCode code_;
  std::string path_;
};

// The error of the last failed simple file operation below (like the system's last error).
FileErrorCode LastFileError();

// ---- Simple file operations; each returns false on failure and sets LastFileError ----

bool FileExists(const std::string& path);        // a file, not a folder
bool DirectoryExists(const std::string& path);   // a folder
bool CreateDir(const std::string& path);         // one folder; its parent must exist
bool ForceDirectories(const std::string& path);  // a folder with every missing parent
bool DeleteFile(const std::string& path);
bool RemoveDir(const std::string& path);                          // an empty folder
bool RenameFile(const std::string& from, const std::string& to);  // fails when `to` exists
// Moves a file to `to`, replacing a file that stands there in one step, as the system's move
// with replace-existing does: fails when `from` is no file, when `to` is a folder or its folder
// does not exist. A reader of `to` sees either the old file or the new one, never a mixture.
bool RenameFileReplacing(const std::string& from, const std::string& to);
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);
std::optional<std::uintmax_t> FileSizeOf(const std::string& path);
// Free bytes on a drive ('C'); -1 for a drive that does not exist.
std::int64_t DiskFree(char drive);
// Simulates a drive of limited size: free space is the capacity less the bytes of every file on
// the drive, and writes that do not fit fail with DiskFull. nullopt removes the limit.
void SetDriveCapacity(char drive, std::optional<std::uint64_t> capacityBytes);
// The same limit given as the free space from now on: the capacity becomes the bytes the drive's
// files take now plus `freeBytes` (so 0 makes the drive full). False for a drive that does not
// exist.
bool SetDriveFree(char drive, std::uint64_t freeBytes);

// File date and time (modification time).
using FileTime = std::filesystem::file_time_type;
std::optional<FileTime> GetFileTime(const std::string& path);
bool SetFileTime(const std::string& path, FileTime time);

}  // namespace platform
