#include "core/file_io.h"

#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/files.h"

namespace qxt {

std::optional<ByteBuffer> ReadFileStart(const std::string& windowsPath, std::size_t count,
                                        std::string& error) {
  try {
    platform::RecordFile file(windowsPath, 1, platform::RecordFile::Mode::Read);
    ByteBuffer buffer(count);
    const std::size_t got = file.ReadBlock(buffer.data(), count);
    file.Close();
    if (got < count) {
      error = platform::SystemErrorMessage(platform::FileErrorCode::ReadPastEnd);
      return std::nullopt;
    }
    return buffer;
  } catch (const platform::FileError& e) {
    error = e.what();
    return std::nullopt;
  }
}

std::optional<std::string> ReplaceFile(const std::string& windowsPath, const ByteBuffer& contents) {
  const std::string temporary = windowsPath + ".NEW";
  try {
    platform::RecordFile file(temporary, 1, platform::RecordFile::Mode::Create);
    const std::size_t written = file.WriteBlock(contents.data(), contents.size());
    const bool closed = file.Close();
    if (written < contents.size() || !closed) {
      platform::DeleteFile(temporary);
      return platform::SystemErrorMessage(written < contents.size()
                                              ? platform::FileErrorCode::DiskFull
                                              : platform::FileErrorCode::IoError);
    }
  } catch (const platform::FileError& e) {
    platform::DeleteFile(temporary);
    return std::string(e.what());
  }
  // One rename puts the complete new file in place of the old one.
  std::error_code ec;
  std::filesystem::rename(platform::ResolvePath(temporary), platform::ResolvePath(windowsPath), ec);
  if (ec) {
    platform::DeleteFile(temporary);
    return platform::SystemErrorMessage(platform::FileErrorCode::AccessDenied);
  }
  return std::nullopt;
}

}  // namespace qxt
