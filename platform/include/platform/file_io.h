// Reading and writing files of fixed-size records (a list file is a plain run of records) and
// plain text files, with the system's error descriptions. Every failure throws FileError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace platform {

class RecordFile {
 public:
  enum class Mode {
    Read,       // an existing file, read only
    ReadWrite,  // an existing file, read and written in place (nothing is cut off)
    Create,     // a new, empty file (an existing one is emptied), read and written
  };

  RecordFile() = default;
  // Opens `windowsPath` with records of `recordSize` bytes (1 for byte-wise work).
  RecordFile(const std::string& windowsPath, std::size_t recordSize, Mode mode);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;

  void Open(const std::string& windowsPath, std::size_t recordSize, Mode mode);
  bool IsOpen() const { return file_ != -1; }
  // Closing never throws; it reports whether the file closed cleanly.
  bool Close();

  const std::string& Path() const { return path_; }
  std::size_t RecordSize() const { return recordSize_; }
  // Whole records in the file (a partial last record is not counted).
  std::size_t RecordCount() const;
  std::size_t ByteSize() const;
  std::size_t Position() const { return position_ / recordSize_; }  // in records
  // True when no byte is left to read. A partial last record is not the end: reading it fails
  // with ReadPastEnd.
  bool Eof() const;
  void Seek(std::size_t record);

  // Reads one whole record; ReadPastEnd when fewer bytes than a record remain.
  void Read(void* record);
  // Writes one whole record; DiskFull (and nothing written) when it does not fit on the drive.
  void Write(const void* record);
  // Reads up to `count` records and returns how many whole records were read (0 at the end).
  std::size_t ReadBlock(void* buffer, std::size_t count);
  // Writes up to `count` records and returns how many fit on the drive.
  std::size_t WriteBlock(const void* buffer, std::size_t count);
  // Cuts the file at the current position.
  void Truncate();

 private:
  void Require(bool forWriting) const;
  std::size_t Room(std::size_t bytes) const;  // bytes of a write at the position that fit

  std::intptr_t file_ = -1;  // the system's descriptor or handle; -1 when closed
  std::string path_;
  std::size_t recordSize_ = 1;
  std::size_t position_ = 0;  // bytes
  bool writable_ = false;
};

// A text file read line by line. Lines end with CR LF, LF or CR; the end of the file ends the
// last line.
class TextReader {
 public:
  explicit TextReader(const std::string& windowsPath);  // FileError when it cannot be opened
  // The next line, without its end; false at the end of the file.
  bool ReadLine(std::string& line);
  bool Eof() const { return pos_ >= text_.size(); }
  int LinesRead() const { return lines_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string text_;
  std::size_t pos_ = 0;
  int lines_ = 0;
};

// Reads a whole file into memory (FileError on failure; files over `maxBytes` fail with
// IoError so that a wrong path cannot exhaust memory).
std::string ReadWholeFile(const std::string& windowsPath, std::size_t maxBytes = 64u << 20);
// Writes a whole file, replacing it (DiskFull when it does not fit; nothing is left then).
void WriteWholeFile(const std::string& windowsPath, const std::string& bytes);

}  // namespace platform
