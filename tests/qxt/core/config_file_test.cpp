// QXTOOLS.DAT through the library's load and unload: creation, reading, conversion, refusal and
// every failure message.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "config_bytes.h"
#include "core/config.h"
#include "core/paths.h"
#include "core/state.h"
#include "platform/files.h"
#include "plugin_fixture.h"

namespace qxt {
namespace {

using test::Bytes;
using test::ExpectedDefaultBytes;
using test::kLoadFailure;
using test::RecordBytes;

class ConfigFile : public test::PluginTest {};

const std::string kReadFailurePrefix =
    "The following error occurred opening/reading C:\\TRACELON\\WORK\\QXTOOLS.DAT: \r\n\r\n";

Bytes WithVersion(Bytes bytes, const std::string& version) {
  bytes[1] = static_cast<unsigned char>(version.size());
  for (std::size_t i = 0; i < 5; ++i) bytes[2 + i] = i < version.size() ? version[i] : 0;
  return bytes;
}

TEST(ConfigPath, OneBackslashBeforeTheFileName) {
  EXPECT_EQ(JoinPath("C:\\TRACELON\\WORK\\", "QXTOOLS.DAT"), "C:\\TRACELON\\WORK\\QXTOOLS.DAT");
  EXPECT_EQ(JoinPath("C:\\TRACELON\\WORK", "QXTOOLS.DAT"), "C:\\TRACELON\\WORK\\QXTOOLS.DAT");
}

TEST_F(ConfigFile, MissingFileIsCreatedWithEveryDefaultAndAWarning) {
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 1);
  // Path 12 of the host is the drive root, so the base directory is C:\QXTOOLS.
  EXPECT_EQ(ReadConfig(), ExpectedDefaultBytes("C:\\QXTOOLS"));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].request.caption, "QX Tools (Warning!)");
  EXPECT_EQ(Messages()[0].request.icon, platform::MsgIcon::Warning);
  EXPECT_EQ(Messages()[0].request.text,
            "A new configuration file, QXTOOLS.DAT, was just created in\r\n"
            "your Workfiles directory.  You should run the QX Setup utility now\r\n"
            "to verify your QX Tools settings.");
  EXPECT_EQ(platform::GetHistory().beeps,
            std::vector<platform::BeepKind>{platform::BeepKind::Exclamation});
}

TEST_F(ConfigFile, CurrentFilesAreReadWhole) {
  // 5.10 and 5.05 are both the current format; the stored flag does not matter.
  for (const char* version : {"5.10", "5.05"}) {
    QXConfig stored = DefaultConfig("D:\\TOOLS");
    stored.ConfigValid = 0;
    stored.CTSize = 12345;
    stored.DoorRefScale.Set("2.50");
    stored.PlanTypes[47].Description.Set("Last slot");
    WriteConfig(WithVersion(RecordBytes(stored), version));
    StartLibrary();
    EXPECT_EQ(+Config().ConfigValid, 1) << version;
    EXPECT_EQ(+Config().CTSize, 12345) << version;
    EXPECT_EQ(Config().BaseDirectory.Get(), "D:\\TOOLS") << version;
    EXPECT_EQ(Config().DoorRefScale.Get(), "2.50") << version;
    EXPECT_EQ(Config().PlanTypes[47].Description.Get(), "Last slot") << version;
    EXPECT_TRUE(Messages().empty()) << version;
    EndLibrary();
    ForgetMessages();
  }
}

TEST_F(ConfigFile, AWholeCurrentRecordIsNeverReadAsTheEarlierLayout) {
  // Version texts that are no number (blanks) or that read as the earlier format, on a file of
  // the current record's length: it is read as it stands and saved back unchanged.
  for (const char* version : {"+5.10", " 5.10", "5.10 ", "x", "4.2"}) {
    QXConfig stored = DefaultConfig("C:\\QXTOOLS");
    stored.ArchScales[3].Scale = 99.0;
    stored.SnapHierarchies[2][14] = 15;
    const Bytes bytes = WithVersion(RecordBytes(stored), version);
    WriteConfig(bytes);
    StartLibrary();
    EXPECT_EQ(+Config().ConfigValid, 1) << version;
    EXPECT_EQ(+Config().ArchScales[3].Scale, 99.0) << version;
    EXPECT_EQ(+Config().SnapHierarchies[2][14], 15) << version;
    EXPECT_TRUE(Messages().empty()) << version;
    EndLibrary();
    Bytes expected = bytes;
    expected[0] = 1;  // saved as valid
    EXPECT_EQ(ReadConfig(), expected) << version;
    ForgetMessages();
  }
}

TEST_F(ConfigFile, LaterVersionsAreRefusedAndTheFileIsLeftAlone) {
  for (const char* version : {"5.11", "6"}) {
    ForgetMessages();
    const Bytes stored = WithVersion(RecordBytes(DefaultConfig("C:\\QXTOOLS")), version);
    WriteConfig(stored);
    StartLibrary();
    EXPECT_EQ(+Config().ConfigValid, 0) << version;
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{
                  kReadFailurePrefix + "Config file QXTOOLS.DAT is for a later version of QXTools.",
                  kLoadFailure}))
        << version;
    EXPECT_EQ(Messages()[0].request.caption, "QX Tools (Error!)");
    EndLibrary();  // an invalid record is not saved
    EXPECT_EQ(ReadConfig(), stored) << version;
  }
}

// An earlier-format file: 4604 bytes whose every field holds its own value.
Bytes EarlierFile(const std::string& version) {
  QXConfigEarlier e{};
  auto* raw = reinterpret_cast<unsigned char*>(&e);
  for (std::size_t i = 0; i < sizeof e; ++i) raw[i] = static_cast<unsigned char>(i * 13 + 1);
  e.ConfigValid = 1;
  e.Version.Set(version);
  e.BaseDirectory.Set("C:\\OLDTOOLS");
  return RecordBytes(e);
}

TEST_F(ConfigFile, EarlierFormatIsConvertedInMemoryAndOnTheFileAtTheNextSave) {
  for (const char* version : {"5", "4.2", "x.y"}) {
    const Bytes old = EarlierFile(version);
    WriteConfig(old);
    StartLibrary();
    EXPECT_EQ(+Config().ConfigValid, 1) << version;
    EXPECT_EQ(Config().Version.Get(), "5.10") << version;
    EXPECT_EQ(Config().BaseDirectory.Get(), "C:\\OLDTOOLS") << version;
    EXPECT_TRUE(Messages().empty()) << version;
    EXPECT_EQ(ReadConfig(), old) << "the file changes only when saved";

    EndLibrary();
    const Bytes saved = ReadConfig();
    ASSERT_EQ(saved.size(), 5254u) << version;
    for (std::size_t i = 7; i < 3569; ++i) ASSERT_EQ(saved[i], old[i]) << i;
    for (std::size_t i = 3569; i < 4219; ++i) ASSERT_EQ(saved[i], 0) << i;
    for (std::size_t i = 3569; i < 4604; ++i) ASSERT_EQ(saved[i + 650], old[i]) << i;
  }
}

TEST_F(ConfigFile, ShortFilesFail) {
  // A current-format file that ends early: the reading message, then the load-time box.
  Bytes shortFile = RecordBytes(DefaultConfig("C:\\QXTOOLS"));
  shortFile.resize(5000);
  WriteConfig(shortFile);
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 0);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].request.text.rfind(kReadFailurePrefix, 0), 0u)
      << Messages()[0].request.text;
  EXPECT_GT(Messages()[0].request.text.size(), kReadFailurePrefix.size());
  EXPECT_EQ(Messages()[1].request.text, kLoadFailure);
  EndLibrary();
  ForgetMessages();

  // An earlier-format file that ends early fails the same way.
  Bytes shortEarlier = EarlierFile("4.2");
  shortEarlier.resize(4000);
  WriteConfig(shortEarlier);
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 0);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].request.text.rfind(kReadFailurePrefix, 0), 0u);
  EndLibrary();
  ForgetMessages();

  // Too short even for the version: no message of its own, only the load-time box.
  WriteConfig(Bytes(100, 0));
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kLoadFailure});
}

TEST_F(ConfigFile, SavingAfterTheFileVanishedWritesNothingAndSaysItIsMissing) {
  StartLibrary();
  ForgetMessages();
  std::filesystem::remove(LocalConfig());
  SaveQXConfig();
  EXPECT_FALSE(std::filesystem::exists(LocalConfig()));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{
                "The QX Tools configuration file, C:\\TRACELON\\WORK\\QXTOOLS.DAT\r\n"
                "is missing.  QX Tools cannot save your configuration data\r\n"
                "You should run the QX Setup utility to create a new configuration\r\n"
                "file, or verify that your WORK FILES path has not changed."});
}

TEST_F(ConfigFile, AHostWithoutAWorkFilesFolderIsReported) {
  const std::string noPath =
      "Tracelon failed to return the WorkFiles path in QXTools:GetQXConfig\r\n"
      "Tracelon is not functioning properly.  You should close Tracelon\r\n"
      "and restart your computer before continuing.";
  // Saving: the same box, and nothing written.
  StartLibrary();
  const Bytes before = ReadConfig();
  Config().CTSize = 5;
  ForgetMessages();
  host::Host::Stop();
  SaveQXConfig();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{noPath});
  EXPECT_EQ(ReadConfig(), before);
  EndLibrary();

  // Loading: the box, then the load-time box; the library is dead.
  ForgetMessages();
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{noPath, test::kLoadFailure}));
}

// The files in the configuration file's folder.
std::size_t FilesBeside(const std::filesystem::path& file) {
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    (void)entry;
    ++files;
  }
  return files;
}

TEST_F(ConfigFile, ASaveThatCannotCompleteLeavesThePreviousFileWhole) {
  // An earlier-format file grows by 650 bytes when it is saved in the current format. With room
  // for only part of that, the old file must stay exactly as it was.
  const Bytes old = EarlierFile("4.2");
  WriteConfig(old);
  StartLibrary();
  ASSERT_EQ(+Config().ConfigValid, 1);
  platform::SetDriveCapacity('C', old.size() + 300);
  ForgetMessages();
  SaveQXConfig();
  EXPECT_EQ(ReadConfig(), old);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(MessageTexts()[0],
            "The following error occurred opening/writing "
            "C:\\TRACELON\\WORK\\QXTOOLS.DATin Utility:SaveQXConfig:\r\n\r\nDisk full");
  EXPECT_EQ(FilesBeside(LocalConfig()), 1u);  // nothing is left beside the file

  // With room again the converted record is written.
  platform::SetDriveCapacity('C', std::nullopt);
  SaveQXConfig();
  EXPECT_EQ(ReadConfig().size(), 5254u);
}

TEST_F(ConfigFile, ANearlyFullDriveStillTakesTheSettingsInPlace) {
  Bytes stored = RecordBytes(DefaultConfig("C:\\QXTOOLS"));
  stored.insert(stored.end(), {'T', 'A', 'I', 'L'});
  WriteConfig(stored);
  StartLibrary();
  Config().CTSize = 1;
  // Room for the file as it is, but not for a second copy beside it.
  platform::SetDriveCapacity('C', stored.size() + 1000);
  ForgetMessages();
  SaveQXConfig();
  EXPECT_TRUE(Messages().empty()) << MessageTexts()[0];
  Bytes expected = RecordBytes(Config());
  expected.insert(expected.end(), {'T', 'A', 'I', 'L'});
  EXPECT_EQ(ReadConfig(), expected);
  EXPECT_EQ(FilesBeside(LocalConfig()), 1u);

  // With room for a copy the save goes through a temporary file that replaces the old one: the
  // file is a new one (another inode), and nothing is left beside it.
  platform::SetDriveCapacity('C', std::nullopt);
  struct stat before {};
  ASSERT_EQ(::stat(LocalConfig().c_str(), &before), 0);
  Config().CTSize = 2;
  SaveQXConfig();
  EXPECT_TRUE(Messages().empty());
  struct stat after {};
  ASSERT_EQ(::stat(LocalConfig().c_str(), &after), 0);
  EXPECT_NE(+before.st_ino, after.st_ino);
  expected = RecordBytes(Config());
  expected.insert(expected.end(), {'T', 'A', 'I', 'L'});
  EXPECT_EQ(ReadConfig(), expected);
  EXPECT_EQ(FilesBeside(LocalConfig()), 1u);
}

TEST_F(ConfigFile, CreationThatFailsLeavesNoFileAndTheLibraryDead) {
  platform::SetDriveCapacity('C', 100);
  StartLibrary();
  EXPECT_EQ(+Config().ConfigValid, 0);
  EXPECT_FALSE(std::filesystem::exists(LocalConfig()));
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].request.text.rfind("The following error occurred creating/writing to "
                                             "C:\\TRACELON\\WORK\\QXTOOLS.DAT: \r\n",
                                             0),
            0u)
      << Messages()[0].request.text;
  EXPECT_EQ(Messages()[1].request.text, kLoadFailure);
}

TEST_F(ConfigFile, BytesAfterTheRecordSurviveASave) {
  Bytes stored = RecordBytes(DefaultConfig("C:\\QXTOOLS"));
  stored.insert(stored.end(), {'T', 'A', 'I', 'L'});
  WriteConfig(stored);
  StartLibrary();
  Config().TTSize = 24;
  EndLibrary();
  const Bytes saved = ReadConfig();
  ASSERT_EQ(saved.size(), stored.size());
  EXPECT_EQ(Bytes(saved.end() - 4, saved.end()), (Bytes{'T', 'A', 'I', 'L'}));
  QXConfig record;
  std::memcpy(&record, saved.data(), sizeof record);
  EXPECT_EQ(+record.TTSize, 24);
}

}  // namespace
}  // namespace qxt
