#include "organise/file_copy.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

void Refuse(const std::string& text) {
  platform::MessageDlg(text, platform::MsgDlgType::Warning, platform::MsgButtons::OK);
}

// True when the drive named by the path's first letter has more free bytes than `size`.
bool RoomFor(const std::string& destination, std::uintmax_t size) {
  if (destination.empty()) return false;
  const std::int64_t free = platform::DiskFree(destination[0]);
  return free >= 0 && static_cast<std::uintmax_t>(free) > size;
}

}  // namespace

bool CopyFileTo(const std::string& source, const std::string& destination) {
  if (platform::SameFileName(source, destination)) {
    Refuse("Can not copy a file to itself.");
    return false;
  }
  platform::RecordFile in;
  try {
    in.Open(source, 1, platform::RecordFile::Mode::Read);
  } catch (const platform::FileError&) {
    Refuse("Could not open: " + source);
    return false;
  }
  const std::optional<platform::FileTime> date = platform::GetFileTime(source);

  if (!RoomFor(destination, in.ByteSize())) {
    const platform::MsgResult answer =
        platform::MessageDlg("There is insufficient space on the target drive for\r\n" + source +
                                 "\r\n" + "\r\n" + "Do you wish to cancel the copy process?",
                             platform::MsgDlgType::Confirmation, platform::MsgButtons::YesNo);
    if (answer == platform::MsgResult::Yes) return false;
  }
  platform::RecordFile out;
  try {
    out.Open(destination, 1, platform::RecordFile::Mode::Create);
  } catch (const platform::FileError&) {
    in.Close();
    Refuse("Could not create: " + destination);
    return false;
  }

  // A write that falls short (a full disk) fails the copy: the destination would otherwise be
  // a cut-off drawing reported as a good copy.
  std::vector<unsigned char> block(kCopyBlockSize);
  std::optional<platform::FileErrorCode> failure;
  try {
    for (;;) {
      const std::size_t got = in.ReadBlock(block.data(), block.size());
      if (got == 0) break;
      if (out.WriteBlock(block.data(), got) < got) {
        failure = platform::FileErrorCode::DiskFull;
        break;
      }
    }
  } catch (const platform::FileError& e) {
    failure = e.Code();
  }
  in.Close();
  if (!out.Close() && !failure) failure = platform::FileErrorCode::IoError;
  if (!failure && date && !platform::SetFileTime(destination, *date))
    failure = platform::LastFileError();
  if (failure) {
    platform::DeleteFile(destination);
    platform::MessageDlg(platform::SystemErrorMessage(*failure), platform::MsgDlgType::Error,
                         platform::MsgButtons::OK);
    return false;
  }
  return true;
}

}  // namespace qxt
