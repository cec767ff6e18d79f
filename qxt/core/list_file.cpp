#include "core/list_file.h"

#include <algorithm>

#include "platform/file_io.h"
#include "platform/files.h"

namespace qxt {

namespace {

// Records read per block: large blocks keep a long list quick to load.
constexpr std::size_t kRecordsPerBlock = 256;

// Writes `count` records as the file `path`, created anew; false with the system's description
// in `error` when the file cannot be made or the records do not all reach it.
bool WriteRecords(const std::string& path, std::size_t count, std::size_t recordSize,
                  const std::function<void(std::size_t index, unsigned char* record)>& fill,
                  std::string& error) {
  try {
    platform::RecordFile file(path, recordSize, platform::RecordFile::Mode::Create);
    // The records go out a block at a time through one buffer.
    std::vector<unsigned char> block(recordSize * kRecordsPerBlock);
    bool full = false;
    for (std::size_t first = 0; first < count && !full; first += kRecordsPerBlock) {
      const std::size_t n = std::min(kRecordsPerBlock, count - first);
      std::fill(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n * recordSize), 0);
      for (std::size_t i = 0; i < n; ++i) fill(first + i, block.data() + i * recordSize);
      full = file.WriteBlock(block.data(), n) < n;
    }
    const bool closed = file.Close();
    if (full) {
      error = platform::SystemErrorMessage(platform::FileErrorCode::DiskFull);
      return false;
    }
    if (!closed) {
      error = platform::SystemErrorMessage(platform::FileErrorCode::IoError);
      return false;
    }
    return true;
  } catch (const platform::FileError& e) {
    error = e.what();
    return false;
  }
}

}  // namespace

bool LoadListFile(const std::string& path, std::size_t recordSize,
                  const std::function<void(const unsigned char* record)>& add, std::string& error) {
  try {
    platform::RecordFile file(path, recordSize, platform::RecordFile::Mode::Read);
    std::vector<unsigned char> block(recordSize * kRecordsPerBlock);
    for (;;) {
      const std::size_t got = file.ReadBlock(block.data(), kRecordsPerBlock);
      for (std::size_t i = 0; i < got; ++i) add(block.data() + i * recordSize);
      if (got < kRecordsPerBlock) break;
    }
    // Whole records are read; any byte left over is a partial record, which fails as a read
    // past the end of the file.
    if (!file.Eof()) {
      std::vector<unsigned char> partial(recordSize);
      file.Read(partial.data());
    }
    file.Close();
    return true;
  } catch (const platform::FileError& e) {
    error = e.what();
    return false;
  }
}

ListSaveResult SaveListFile(
    const std::string& path, const std::string& backupPath, std::size_t count,
    std::size_t recordSize,
    const std::function<void(std::size_t index, unsigned char* record)>& fill, std::string& error,
    EmptyList empty) {
  const bool hadList = platform::FileExists(path);
  if (count == 0 && empty == EmptyList::NoFile) {
    // Nothing to write: the previous list becomes the backup in one step. Without a list file
    // the backup is left alone: it may be all that is left of an earlier list.
    if (hadList && !platform::RenameFileReplacing(path, backupPath)) {
      error = platform::SystemErrorMessage(platform::LastFileError());
      return ListSaveResult::Failed;
    }
    return ListSaveResult::Empty;
  }

  const std::string temp = TempListPath(path);
  if (!WriteRecords(temp, count, recordSize, fill, error)) {
    platform::DeleteFile(temp);
    return ListSaveResult::Failed;
  }
  // The new list is complete on disk. The previous one is copied to the backup, then replaced
  // by the new one in a single step: whenever the save stops, the list file is there, old or
  // new, and a save without a list file leaves the backup as it is.
  if (hadList && !platform::CopyFile(path, backupPath, false)) {
    error = platform::SystemErrorMessage(platform::LastFileError());
    platform::DeleteFile(temp);
    return ListSaveResult::Failed;
  }
  if (!platform::RenameFileReplacing(temp, path)) {
    error = platform::SystemErrorMessage(platform::LastFileError());
    platform::DeleteFile(temp);
    return ListSaveResult::Failed;
  }
  return ListSaveResult::Written;
}

std::string BackupPath(const std::string& path) { return platform::ChangeFileExt(path, ".BAK"); }

std::string TempListPath(const std::string& path) { return platform::ChangeFileExt(path, ".$$$"); }

}  // namespace qxt
