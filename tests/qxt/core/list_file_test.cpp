// Saving a list file: the new list is complete on disk before the previous one becomes the
// backup, the list file is replaced in one step, and a save that fails at any step leaves the
// list file and its backup as they were.
#include "core/list_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "machine_test.h"
#include "platform/files.h"

namespace qxt {
namespace {

constexpr const char* kFolder = "C:\\LISTS";
constexpr const char* kList = "C:\\LISTS\\NAMES.DAT";
constexpr const char* kBackup = "C:\\LISTS\\NAMES.BAK";
constexpr const char* kTemp = "C:\\LISTS\\NAMES.$$$";
constexpr std::size_t kRecordSize = 8;

class ListFileTest : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    platform::ForceDirectories(kFolder);
  }

  // Saves `count` records, each filled with its index's letter from 'a'.
  ListSaveResult Save(std::size_t count, std::string& error, EmptyList empty = EmptyList::NoFile) {
    return SaveListFile(
        kList, kBackup, count, kRecordSize,
        [](std::size_t index, unsigned char* record) {
          std::memset(record, 'a' + static_cast<int>(index % 26), kRecordSize);
        },
        error, empty);
  }
};

TEST_F(ListFileTest, SavingPutsTheNewListInPlaceAndKeepsThePreviousAsTheBackup) {
  WriteFile(kList, "previous");
  WriteFile(kBackup, "oldest");
  std::string error;
  ASSERT_EQ(Save(2, error), ListSaveResult::Written);
  EXPECT_EQ(ReadFile(kList), "aaaaaaaabbbbbbbb");
  EXPECT_EQ(ReadFile(kBackup), "previous");
  EXPECT_FALSE(platform::FileExists(kTemp));
  EXPECT_EQ(error, "");
}

TEST_F(ListFileTest, AFailedWriteOfTheTemporaryFileLosesNothingSaved) {
  WriteFile(kList, "previous");
  WriteFile(kBackup, "oldest");
  // Room for the two files and a few records, not for a thousand.
  platform::SetDriveCapacity('C', 8 + 6 + 10 * kRecordSize);
  std::string error;
  const ListSaveResult result = Save(1000, error);
  platform::SetDriveCapacity('C', std::nullopt);
  EXPECT_EQ(result, ListSaveResult::Failed);
  EXPECT_EQ(error, "Disk full");
  EXPECT_EQ(ReadFile(kList), "previous");
  EXPECT_EQ(ReadFile(kBackup), "oldest");
  EXPECT_FALSE(platform::FileExists(kTemp));
}

TEST_F(ListFileTest, AListThatCannotBecomeTheBackupStaysAndTheNewOneIsNotSaved) {
  WriteFile(kList, "previous");
  // A folder where the backup goes: it can be neither deleted nor replaced.
  platform::ForceDirectories(kBackup);
  WriteFile(std::string(kBackup) + "\\KEEP", "x");
  std::string error;
  EXPECT_EQ(Save(1, error), ListSaveResult::Failed);
  EXPECT_EQ(error, "File access denied");
  EXPECT_EQ(ReadFile(kList), "previous");
  EXPECT_FALSE(platform::FileExists(kTemp));
}

TEST_F(ListFileTest, AFirstSaveNeedsNoPreviousListAndLeavesNoBackup) {
  std::string error;
  ASSERT_EQ(Save(1, error), ListSaveResult::Written);
  EXPECT_EQ(ReadFile(kList), "aaaaaaaa");
  EXPECT_FALSE(platform::FileExists(kBackup));
  EXPECT_FALSE(platform::FileExists(kTemp));
}

TEST_F(ListFileTest, AnEmptyListLeavesNoListFileOrAnEmptyOneAsTheCallerAsks) {
  WriteFile(kList, "previous");
  std::string error;
  ASSERT_EQ(Save(0, error), ListSaveResult::Empty);
  EXPECT_FALSE(platform::FileExists(kList));
  EXPECT_EQ(ReadFile(kBackup), "previous");

  WriteFile(kList, "again");
  ASSERT_EQ(Save(0, error, EmptyList::EmptyFile), ListSaveResult::Written);
  EXPECT_TRUE(platform::FileExists(kList));
  EXPECT_EQ(ReadFile(kList), "");
  EXPECT_EQ(ReadFile(kBackup), "again");
  EXPECT_FALSE(platform::FileExists(kTemp));
}

TEST_F(ListFileTest, WithoutAListFileTheBackupIsAllThatIsLeftAndNoSaveRemovesIt) {
  // A save broken off, or a person, left the backup and no list file: neither a new list nor an
  // empty one may take the backup away.
  WriteFile(kBackup, "earlier");
  std::string error;
  ASSERT_EQ(Save(0, error), ListSaveResult::Empty);
  EXPECT_EQ(ReadFile(kBackup), "earlier");
  EXPECT_FALSE(platform::FileExists(kList));
  ASSERT_EQ(Save(1, error), ListSaveResult::Written);
  EXPECT_EQ(ReadFile(kList), "aaaaaaaa");
  EXPECT_EQ(ReadFile(kBackup), "earlier");
}

TEST_F(ListFileTest, AnEmptyListThatCannotBecomeTheBackupIsAFailedSave) {
  WriteFile(kList, "previous");
  platform::ForceDirectories(kBackup);  // a folder stands where the backup goes
  std::string error;
  EXPECT_EQ(Save(0, error), ListSaveResult::Failed);
  EXPECT_NE(error, "");
  EXPECT_EQ(ReadFile(kList), "previous");
}

}  // namespace
}  // namespace qxt
