#include "core/list_file.h"

#include <algorithm>

#include "platform/file_io.h"
#include "platform/files.h"

namespace qxt {

namespace {

// Records read per block: large blocks keep a long list quick to load.
constexpr std::size_t kRecordsPerBlock = 256;

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
    const std::function<void(std::size_t index, unsigned char* record)>& fill, std::string& error) {
  platform::DeleteFile(backupPath);
  const bool keptPrevious = platform::RenameFile(path, backupPath);
  if (count == 0) return ListSaveResult::Empty;

  bool written = false;
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
    } else if (!closed) {
      error = platform::SystemErrorMessage(platform::FileErrorCode::IoError);
    } else {
      written = true;
    }
  } catch (const platform::FileError& e) {
    error = e.what();
  }
  if (written) return ListSaveResult::Written;

  // An incomplete list would be read back as the list, its last record cut: the previous list
  // takes its place again.
  if (keptPrevious) {
    platform::DeleteFile(path);
    platform::RenameFile(backupPath, path);
  }
  return ListSaveResult::Failed;
}

std::string BackupPath(const std::string& path) { return platform::ChangeFileExt(path, ".BAK"); }

}  // namespace qxt
