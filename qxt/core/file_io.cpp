#include "core/file_io.h"

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
  if (!platform::RenameFileReplacing(temporary, windowsPath)) {
    const std::string reason = platform::SystemErrorMessage(platform::LastFileError());
    platform::DeleteFile(temporary);
    return reason;
  }
  return std::nullopt;
}

std::optional<std::string> WriteFileStart(const std::string& windowsPath,
                                          const ByteBuffer& contents) {
  try {
    // One record of the whole length: it is written completely or, when it does not fit on the
    // drive, not at all.
    platform::RecordFile file(windowsPath, contents.size(), platform::RecordFile::Mode::ReadWrite);
    file.Write(contents.data());
    if (!file.Close()) return platform::SystemErrorMessage(platform::FileErrorCode::IoError);
  } catch (const platform::FileError& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace qxt
