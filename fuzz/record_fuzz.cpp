// Fixed-record files (the toolset's configuration and list files) and text files, read through
// the platform's RecordFile and TextReader.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "scratch_machine.h"

namespace {

constexpr const char* kPath = "C:\\TRACELON\\WORK\\FUZZ.DAT";

bool IsReadPastEnd(const platform::FileError& e) {
  return e.Code() == platform::FileErrorCode::ReadPastEnd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("record");
  // The first bytes choose the record size and a record to seek to; the rest is the file.
  if (size < 3) return 0;
  const size_t recordSize = 1 + data[0] % 64;
  const size_t seekTo = data[1] | (data[2] << 8);
  const std::string content = qxtfuzz::AsString(data + 3, size - 3);
  machine.ResetPlatform();
  machine.Write(kPath, content);

  platform::RecordFile file(kPath, recordSize, platform::RecordFile::Mode::Read);
  const size_t whole = content.size() / recordSize;
  const bool partial = content.size() % recordSize != 0;
  if (file.RecordCount() != whole) qxtfuzz::Broken("wrong record count");

  std::vector<unsigned char> record(recordSize);
  size_t read = 0;
  bool failedAtPartial = false;
  while (!file.Eof()) {
    try {
      file.Read(record.data());
    } catch (const platform::FileError& e) {
      if (!IsReadPastEnd(e)) throw;
      failedAtPartial = true;
      break;
    }
    if (std::memcmp(record.data(), content.data() + read * recordSize, recordSize) != 0)
      qxtfuzz::Broken("a record reads back different");
    ++read;
  }
  if (read != whole || failedAtPartial != partial)
    qxtfuzz::Broken("records read do not match the file size");

  std::vector<unsigned char> block((whole + 4) * recordSize);
  file.Seek(0);
  if (file.ReadBlock(block.data(), whole + 4) != whole) qxtfuzz::Broken("wrong block count");

  file.Seek(seekTo);
  try {
    file.Read(record.data());
    if (seekTo >= whole) qxtfuzz::Broken("a record past the end was read");
  } catch (const platform::FileError& e) {
    if (!IsReadPastEnd(e) || seekTo < whole) qxtfuzz::Broken("a record in the file was refused");
  }
  file.Close();

  if (platform::ReadWholeFile(kPath) != content) qxtfuzz::Broken("whole file reads different");
  platform::TextReader text(kPath);
  std::string line;
  size_t lines = 0, characters = 0;
  while (text.ReadLine(line)) {
    ++lines;
    characters += line.size();
    if (line.find_first_of("\r\n") != std::string::npos)
      qxtfuzz::Broken("a line kept its line end");
  }
  if (lines > content.size() || characters > content.size())
    qxtfuzz::Broken("more text read than the file holds");
  return 0;
}
