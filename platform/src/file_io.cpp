// Fixed-record and text files with the system's error descriptions.
#include "platform/file_io.h"

#include <system_error>

#include "native.h"
#include "state.h"

namespace platform {

namespace fs = std::filesystem;
namespace native = detail::native;

namespace {

[[noreturn]] void Fail(FileErrorCode code, const std::string& path) { throw FileError(code, path); }

fs::path LocalOrThrow(const std::string& path) {
  if (Root().empty()) Fail(FileErrorCode::PathNotFound, path);
  std::string name = ExtractFileName(path);
  std::string rest = ExpandFileName(path);
  // Every name on the way must be a valid file name.
  std::string part;
  for (std::size_t i = 3; i <= rest.size(); ++i) {
    if (i == rest.size() || rest[i] == '\\') {
      if (!part.empty() && !IsValidFileName(part)) Fail(FileErrorCode::InvalidName, path);
      part.clear();
    } else {
      part += rest[i];
    }
  }
  if (name.empty()) Fail(FileErrorCode::InvalidName, path);
  return ResolvePath(path);
}

}  // namespace

RecordFile::RecordFile(const std::string& windowsPath, std::size_t recordSize, Mode mode) {
  Open(windowsPath, recordSize, mode);
}

RecordFile::~RecordFile() { Close(); }

RecordFile::RecordFile(RecordFile&& other) noexcept { *this = std::move(other); }

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = other.file_;
    path_ = std::move(other.path_);
    recordSize_ = other.recordSize_;
    position_ = other.position_;
    writable_ = other.writable_;
    other.file_ = native::kNoFile;
  }
  return *this;
}

void RecordFile::Open(const std::string& windowsPath, std::size_t recordSize, Mode mode) {
  Close();
  path_ = windowsPath;
  recordSize_ = recordSize == 0 ? 1 : recordSize;
  position_ = 0;
  fs::path local = LocalOrThrow(windowsPath);
  std::error_code ec;
  if (fs::is_directory(local, ec)) Fail(FileErrorCode::AccessDenied, windowsPath);
  if (mode != Mode::Read && !detail::OwnFile(local)) Fail(FileErrorCode::DiskFull, windowsPath);
  native::Access access = mode == Mode::Read        ? native::Access::Read
                          : mode == Mode::ReadWrite ? native::Access::ReadWrite
                                                    : native::Access::Create;
  native::FileHandle file = native::kNoFile;
  if (FileErrorCode code = native::Open(local, access, file); code != FileErrorCode::None)
    Fail(code, windowsPath);
  file_ = file;
  writable_ = mode != Mode::Read;
}

bool RecordFile::Close() {
  if (file_ == native::kNoFile) return true;
  bool closed = native::Close(file_);
  file_ = native::kNoFile;
  return closed;
}

void RecordFile::Require(bool forWriting) const {
  if (file_ == native::kNoFile) Fail(FileErrorCode::NotOpen, path_);
  if (forWriting && !writable_) Fail(FileErrorCode::AccessDenied, path_);
}

std::size_t RecordFile::ByteSize() const {
  if (file_ == native::kNoFile) return 0;
  auto size = native::Size(file_);
  return size ? static_cast<std::size_t>(*size) : 0;
}

std::size_t RecordFile::RecordCount() const { return ByteSize() / recordSize_; }

bool RecordFile::Eof() const { return position_ >= ByteSize(); }

void RecordFile::Seek(std::size_t record) {
  Require(false);
  position_ = record * recordSize_;
}

void RecordFile::Read(void* record) {
  Require(false);
  if (ByteSize() < position_ + recordSize_) Fail(FileErrorCode::ReadPastEnd, path_);
  if (ReadBlock(record, 1) != 1) Fail(FileErrorCode::ReadPastEnd, path_);
}

std::size_t RecordFile::ReadBlock(void* buffer, std::size_t count) {
  Require(false);
  std::size_t size = ByteSize();
  std::size_t available = size > position_ ? (size - position_) / recordSize_ : 0;
  std::size_t records = count < available ? count : available;
  std::size_t wanted = records * recordSize_;
  std::size_t done = 0;
  if (native::ReadAt(file_, buffer, wanted, position_, done) != FileErrorCode::None)
    Fail(FileErrorCode::IoError, path_);
  std::size_t whole = done / recordSize_;
  position_ += whole * recordSize_;
  return whole;
}

std::size_t RecordFile::Room(std::size_t bytes) const {
  std::size_t size = ByteSize();
  std::size_t end = position_ + bytes;
  std::size_t growth = end > size ? end - size : 0;
  if (growth == 0) return bytes;
  auto room = detail::RoomOnDrive(ResolvePath(path_));
  if (!room || *room >= growth) return bytes;
  return bytes - (growth - static_cast<std::size_t>(*room));
}

void RecordFile::Write(const void* record) {
  Require(true);
  if (Room(recordSize_) < recordSize_) Fail(FileErrorCode::DiskFull, path_);
  if (WriteBlock(record, 1) != 1) Fail(FileErrorCode::DiskFull, path_);
}

std::size_t RecordFile::WriteBlock(const void* buffer, std::size_t count) {
  Require(true);
  std::size_t records = Room(count * recordSize_) / recordSize_;
  std::size_t wanted = records * recordSize_;
  std::size_t done = 0;
  FileErrorCode written = native::WriteAt(file_, buffer, wanted, position_, done);
  // A full drive ends the write early; any other failure is an error.
  if (written != FileErrorCode::None && written != FileErrorCode::DiskFull) Fail(written, path_);
  std::size_t whole = done / recordSize_;
  if (whole * recordSize_ != done) {
    // Never leave half a record behind.
    if (native::Resize(file_, position_ + whole * recordSize_) != FileErrorCode::None)
      Fail(FileErrorCode::IoError, path_);
  }
  position_ += whole * recordSize_;
  return whole;
}

void RecordFile::Truncate() {
  Require(true);
  if (native::Resize(file_, position_) != FileErrorCode::None) Fail(FileErrorCode::IoError, path_);
}

TextReader::TextReader(const std::string& windowsPath)
    : path_(windowsPath), text_(ReadWholeFile(windowsPath)) {}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  if (pos_ >= text_.size()) return false;
  while (pos_ < text_.size()) {
    char c = text_[pos_++];
    if (c == '\r') {
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      break;
    }
    if (c == '\n') break;
    line += c;
  }
  ++lines_;
  return true;
}

std::string ReadWholeFile(const std::string& windowsPath, std::size_t maxBytes) {
  RecordFile file(windowsPath, 1, RecordFile::Mode::Read);
  std::size_t size = file.ByteSize();
  if (size > maxBytes) Fail(FileErrorCode::IoError, windowsPath);
  std::string bytes(size, '\0');
  std::size_t got = file.ReadBlock(bytes.data(), size);
  bytes.resize(got);
  return bytes;
}

void WriteWholeFile(const std::string& windowsPath, const std::string& bytes) {
  RecordFile file(windowsPath, 1, RecordFile::Mode::Create);
  if (file.WriteBlock(bytes.data(), bytes.size()) != bytes.size()) {
    file.Close();
    DeleteFile(windowsPath);
    Fail(FileErrorCode::DiskFull, windowsPath);
  }
}

}  // namespace platform
