// QXTOOLS.DAT: reading (or creating) the configuration record at load and writing it back.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "core/config.h"
#include "core/file_io.h"
#include "core/host_paths.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/state.h"
#include "platform/file_io.h"
#include "platform/files.h"

namespace qxt {

namespace {

constexpr const char* kConfigFileName = "QXTOOLS.DAT";

// The part of the record that is read first to learn the format: the flag, the version and the
// base directory.
constexpr std::size_t kConfigHeadSize = 263;
static_assert(offsetof(QXConfig, DefaultUnitType) == kConfigHeadSize);

const char* const kNoWorkFilesPath =
    "Tracelon failed to return the WorkFiles path in QXTools:GetQXConfig\r\n"
    "Tracelon is not functioning properly.  You should close Tracelon\r\n"
    "and restart your computer before continuing.";

const char* const kNewConfigCreated =
    "A new configuration file, QXTOOLS.DAT, was just created in\r\n"
    "your Workfiles directory.  You should run the QX Setup utility now\r\n"
    "to verify your QX Tools settings.";

const char* const kLaterVersion = "Config file QXTOOLS.DAT is for a later version of QXTools.";

// The configuration file's path: the host's work-files folder and the file name, joined with one
// backslash. False when the host cannot name the folder.
bool ConfigFilePath(std::string& path) {
  std::string folder;
  if (!HostFolder(kWorkFilesFolder, folder)) return false;
  path = JoinPath(folder, kConfigFileName);
  return true;
}

void ShowReadFailure(const std::string& path, const std::string& error) {
  ShowError("The following error occurred opening/reading " + path + ": " + "\r\n" + "\r\n" +
            error);
}

template <class Record>
Record RecordFromBytes(const ByteBuffer& bytes) {
  Record record;
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

ByteBuffer BytesOfRecord(const QXConfig& record) {
  const auto* raw = reinterpret_cast<const unsigned char*>(&record);
  return ByteBuffer(raw, raw + sizeof record);
}

// A new file with every default. The record in memory takes the defaults even when the file
// cannot be written (it then stays invalid).
bool CreateConfigFile(const std::string& path) {
  QXConfig& config = Config();
  std::string hostFolder;
  HostFolder(kToolsetParentFolder,
             hostFolder);  // its status is not needed: an empty folder will do
  config = DefaultConfig(JoinPath(hostFolder, "QXTOOLS"));
  if (const auto error = ReplaceFile(path, BytesOfRecord(config))) {
    ShowError("The following error occurred creating/writing to " + path + ": " + "\r\n" + *error);
    config.ConfigValid = 0;
    return false;
  }
  ShowWarning(kNewConfigCreated);
  return true;
}

}  // namespace

bool GetQXConfig() {
  QXConfig& config = Config();
  std::string path;
  if (!ConfigFilePath(path)) {
    ShowError(kNoWorkFilesPath);
    config.ConfigValid = 0;
    return false;
  }
  if (!platform::FileExists(path)) return CreateConfigFile(path);

  std::string error;
  const auto head = ReadFileStart(path, kConfigHeadSize, error);
  if (!head) {
    config.ConfigValid = 0;
    return false;
  }
  // The first bytes go into the record itself, so whatever is decided below, the settings
  // exports answer from them (a refused later-version file still names its base directory).
  std::memcpy(&config, head->data(), kConfigHeadSize);
  config.ConfigValid = 0;
  PString<5> version;
  std::memcpy(&version, head->data() + offsetof(QXConfig, Version), sizeof version);

  ConfigFormat format = ClassifyConfigVersion(version.Get());
  // A file that holds a whole current record is never converted as the shorter earlier layout,
  // whatever its version text says: that would shift every field after the plan types and write
  // damaged scales back at the next save. Earlier files are 4604 bytes long.
  if (format == ConfigFormat::Earlier) {
    const auto size = platform::FileSizeOf(path);
    if (size && *size >= kConfigSize) format = ConfigFormat::Current;
  }
  switch (format) {
    case ConfigFormat::Earlier: {
      const auto bytes = ReadFileStart(path, kEarlierConfigSize, error);
      if (!bytes) {
        ShowReadFailure(path, error);
        config.ConfigValid = 0;
        return false;
      }
      // The file itself keeps the earlier format until the next save.
      config = ConvertEarlierConfig(RecordFromBytes<QXConfigEarlier>(*bytes));
      return true;
    }
    case ConfigFormat::Later:
      ShowReadFailure(path, kLaterVersion);
      config.ConfigValid = 0;
      return false;
    case ConfigFormat::Current:
      break;
  }
  const auto bytes = ReadFileStart(path, kConfigSize, error);
  if (!bytes) {
    ShowReadFailure(path, error);
    config.ConfigValid = 0;
    return false;
  }
  config = RecordFromBytes<QXConfig>(*bytes);
  config.ConfigValid = 1;
  return true;
}

void SaveQXConfig() {
  const QXConfig& config = Config();
  if (config.ConfigValid != 1) return;
  std::string path;
  if (!ConfigFilePath(path)) {
    ShowError(kNoWorkFilesPath);
    return;
  }
  if (!platform::FileExists(path)) {
    ShowError(std::string("The QX Tools configuration file, ") + path + "\r\n" +
              "is missing.  QX Tools cannot save your configuration data" + "\r\n" +
              "You should run the QX Setup utility to create a new configuration" + "\r\n" +
              "file, or verify that your WORK FILES path has not changed.");
    return;
  }
  // The record replaces the start of the file; anything stored after it is kept.
  ByteBuffer contents = BytesOfRecord(config);
  try {
    const std::string whole = platform::ReadWholeFile(path);
    if (whole.size() > kConfigSize)
      contents.insert(contents.end(), whole.begin() + kConfigSize, whole.end());
  } catch (const platform::FileError&) {
    // An unreadable file is simply replaced by the record.
  }
  // Normally a complete copy replaces the file in one step, so a crash mid-save cannot lose the
  // settings. A drive without room for that second copy still takes the record written over the
  // file in place (it needs room only for what the file grows by), which is better than not
  // saving at all.
  const std::int64_t freeBytes = platform::DiskFree(platform::ExpandFileName(path).front());
  const bool roomForACopy =
      freeBytes < 0 || static_cast<std::uint64_t>(freeBytes) >= contents.size();
  std::optional<std::string> failure;
  if (roomForACopy) {
    failure = ReplaceFile(path, contents);
  } else {
    failure = WriteFileStart(path, BytesOfRecord(config));
  }
  if (failure) {
    ShowError("The following error occurred opening/writing " + path +
              "in Utility:SaveQXConfig:" + "\r\n" + "\r\n" + *failure);
  }
}

}  // namespace qxt
