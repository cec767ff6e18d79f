#include "platform/files.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/memory.h"
#include "platform_test_support.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::PlatformTest;

class FilesTest : public PlatformTest {
 protected:
  void WriteLocal(const fs::path& local, const std::string& bytes) {
    fs::create_directories(local.parent_path());
    std::ofstream(local, std::ios::binary) << bytes;
  }
};

// A machine laid out as links to a sample machine's files: whatever the machine writes, deletes or
// renames, the sample keeps its files as they were, and the machine sees what it wrote.
TEST_F(FilesTest, AMachineSharingTheSamplesFilesNeverWritesTheSample) {
#ifdef _WIN32
  GTEST_SKIP() << "a run's machine is a copy on Windows, which does not always count links";
#endif
  const fs::path root = RootFolder();
  const fs::path sample = root / "sample";
  const std::vector<std::string> names{"CREATE.DAT", "INPLACE.DAT", "WHOLE.DAT", "TIMED.DAT",
                                       "OTHER.TXT",  "GONE.DAT",    "MOVED.DAT", "READ.DAT"};
  for (const std::string& name : names) {
    WriteLocal(sample / name, "sample " + name);
    fs::create_hard_link(sample / name, root / "C" / name);
  }
  const auto sampleTime = fs::last_write_time(sample / "TIMED.DAT");

  {
    RecordFile file("C:\\CREATE.DAT", 1, RecordFile::Mode::Create);
    file.WriteBlock("new", 3);
  }
  {
    RecordFile file("C:\\INPLACE.DAT", 1, RecordFile::Mode::ReadWrite);
    file.WriteBlock("IN", 2);
  }
  WriteWholeFile("C:\\WHOLE.DAT", "whole");
  ASSERT_TRUE(SetFileTime("C:\\TIMED.DAT", sampleTime - std::chrono::hours(48)));
  std::ofstream(ResolvePathForWriting("C:\\OTHER.TXT"), std::ios::binary | std::ios::trunc)
      << "other";
  ASSERT_TRUE(DeleteFile("C:\\GONE.DAT"));
  ASSERT_TRUE(RenameFile("C:\\MOVED.DAT", "C:\\THERE.DAT"));
  EXPECT_EQ(ReadWholeFile("C:\\READ.DAT"), "sample READ.DAT");

  for (const std::string& name : names) {
    std::ifstream in(sample / name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, "sample " + name) << name;
  }
  EXPECT_EQ(fs::last_write_time(sample / "TIMED.DAT"), sampleTime);

  EXPECT_EQ(ReadWholeFile("C:\\CREATE.DAT"), "new");
  EXPECT_EQ(ReadWholeFile("C:\\INPLACE.DAT"), "INmple INPLACE.DAT");
  EXPECT_EQ(ReadWholeFile("C:\\WHOLE.DAT"), "whole");
  EXPECT_EQ(GetFileTime("C:\\TIMED.DAT"), sampleTime - std::chrono::hours(48));
  EXPECT_EQ(ReadWholeFile("C:\\OTHER.TXT"), "other");
  EXPECT_FALSE(FileExists("C:\\GONE.DAT"));
  EXPECT_FALSE(FileExists("C:\\MOVED.DAT"));
  EXPECT_EQ(ReadWholeFile("C:\\THERE.DAT"), "sample MOVED.DAT");
  // A file only read stays shared, and no copy is left beside a file made the machine's own.
  EXPECT_EQ(fs::hard_link_count(root / "C" / "READ.DAT"), 2u);
  EXPECT_EQ(fs::hard_link_count(root / "C" / "CREATE.DAT"), 1u);
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "C"), fs::directory_iterator()), 7);

  // A shared file whose own copy cannot be made (here: its name leaves no room for the copy's)
  // refuses every write rather than writing the sample through the link.
  const std::string longName(252, 'L');
  WriteLocal(sample / longName, "sample long");
  fs::create_hard_link(sample / longName, root / "C" / longName);
  EXPECT_THROW(RecordFile("C:\\" + longName, 1, RecordFile::Mode::ReadWrite), FileError);
  EXPECT_THROW(WriteWholeFile("C:\\" + longName, "changed"), FileError);
  EXPECT_FALSE(SetFileTime("C:\\" + longName, sampleTime - std::chrono::hours(1)));
  EXPECT_TRUE(ResolvePathForWriting("C:\\" + longName).empty());
  std::ifstream in(sample / longName, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "sample long");
}

TEST(PathText, JoinPathPutsExactlyOneBackslash) {
  EXPECT_EQ(JoinPath("C:\\QXTOOLS", "PROJECT"), "C:\\QXTOOLS\\PROJECT");
  EXPECT_EQ(JoinPath("C:\\QXTOOLS\\", "PROJECT"), "C:\\QXTOOLS\\PROJECT");
  EXPECT_EQ(JoinPath("C:\\", "QXTOOLS.DAT"), "C:\\QXTOOLS.DAT");
  EXPECT_EQ(JoinPath("C:\\WORK", "\\QXTOOLS.DAT"), "C:\\WORK\\QXTOOLS.DAT");
  EXPECT_EQ(JoinPath("", "NAME.DAT"), "NAME.DAT");
}

TEST(PathText, PartsOfAPath) {
  EXPECT_EQ(ExtractFilePath("C:\\A\\B.TXT"), "C:\\A\\");
  EXPECT_EQ(ExtractFileDir("C:\\A\\B.TXT"), "C:\\A");
  EXPECT_EQ(ExtractFileDir("C:\\B.TXT"), "C:\\");
  EXPECT_EQ(ExtractFileName("C:\\A\\B.TXT"), "B.TXT");
  EXPECT_EQ(ExtractFileExt("C:\\A.DIR\\B"), "");
  EXPECT_EQ(ExtractFileExt("C:\\A\\B.TAR.GZ"), ".GZ");
  EXPECT_EQ(ChangeFileExt("C:\\P\\ABC.DAT", ".BAK"), "C:\\P\\ABC.BAK");
  EXPECT_EQ(ChangeFileExt("C:\\P.X\\ABC", ".BAK"), "C:\\P.X\\ABC.BAK");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\A"), "C:\\A\\");
}

TEST(PathText, FileNameRules) {
  EXPECT_TRUE(IsValidFileName("PROJ01.DAT"));
  EXPECT_FALSE(IsValidFileName("WHAT?.DAT"));
  EXPECT_FALSE(IsValidFileName("A*B"));
  EXPECT_FALSE(IsValidFileName("a:b"));
  EXPECT_FALSE(IsValidFileName("CON"));
  EXPECT_FALSE(IsValidFileName("nul.txt"));
  EXPECT_FALSE(IsValidFileName("LPT1"));
  EXPECT_TRUE(IsValidFileName("LPT10"));
  EXPECT_FALSE(IsValidFileName(""));
  EXPECT_FALSE(IsValidFileName(".."));
}

TEST_F(FilesTest, RelativePathsAndDotsStayOnTheDrive) {
  SetCurrentFolder("C:\\TRACELON\\WORK");
  EXPECT_EQ(CurrentFolder(), "C:\\TRACELON\\WORK\\");
  EXPECT_EQ(ExpandFileName("QXTOOLS.DAT"), "C:\\TRACELON\\WORK\\QXTOOLS.DAT");
  EXPECT_EQ(ExpandFileName("..\\SYM\\A.SYM"), "C:\\TRACELON\\SYM\\A.SYM");
  EXPECT_EQ(ExpandFileName("\\ROOT.TXT"), "C:\\ROOT.TXT");
  EXPECT_EQ(ExpandFileName("C:\\..\\..\\X"), "C:\\X");
  EXPECT_EQ(ExpandFileName("d:/a/./b"), "D:\\a\\b");
  EXPECT_EQ(ResolvePath("C:\\..\\..\\etc"), RootFolder() / "C" / "etc");
}

TEST_F(FilesTest, ExistingNamesAreFoundWithoutRegardToCase) {
  WriteLocal(RootFolder() / "C" / "Tracelon" / "Work" / "QxTools.dat", "x");
  EXPECT_EQ(ResolvePath("c:\\TRACELON\\WORK\\QXTOOLS.DAT"),
            RootFolder() / "C" / "Tracelon" / "Work" / "QxTools.dat");
  // The part that does not exist keeps the case as written.
  EXPECT_EQ(ResolvePath("C:\\TRACELON\\NEW\\File.TXT"),
            RootFolder() / "C" / "Tracelon" / "NEW" / "File.TXT");
  EXPECT_TRUE(FileExists("C:\\tracelon\\work\\qxtools.DAT"));
  EXPECT_FALSE(FileExists("C:\\tracelon\\work"));
  EXPECT_TRUE(DirectoryExists("C:\\TRACELON\\work\\"));
}

TEST_F(FilesTest, FolderCreationDeletionAndRenaming) {
  EXPECT_FALSE(CreateDir("C:\\A\\B"));
  EXPECT_EQ(LastFileError(), FileErrorCode::PathNotFound);
  EXPECT_TRUE(ForceDirectories("C:\\A\\B\\C"));
  EXPECT_TRUE(DirectoryExists("C:\\a\\b\\c"));
  EXPECT_TRUE(ForceDirectories("C:\\a\\B\\c\\D"));  // reuses the existing folders
  EXPECT_TRUE(fs::is_directory(RootFolder() / "C" / "A" / "B" / "C" / "D"));
  EXPECT_FALSE(ForceDirectories("C:\\A\\BAD?NAME"));
  EXPECT_EQ(LastFileError(), FileErrorCode::InvalidName);

  WriteLocal(RootFolder() / "C" / "A" / "LIST.DAT", "1234");
  WriteLocal(RootFolder() / "C" / "A" / "LIST.BAK", "old");
  EXPECT_FALSE(RenameFile("C:\\A\\LIST.DAT", "C:\\A\\list.bak"));
  EXPECT_EQ(LastFileError(), FileErrorCode::AlreadyExists);
  EXPECT_TRUE(DeleteFile("C:\\A\\list.bak"));
  EXPECT_TRUE(RenameFile("C:\\A\\list.dat", "C:\\A\\LIST.BAK"));
  EXPECT_EQ(FileSizeOf("C:\\A\\LIST.BAK").value_or(0), 4u);
  EXPECT_FALSE(DeleteFile("C:\\A\\LIST.DAT"));
  EXPECT_EQ(LastFileError(), FileErrorCode::FileNotFound);
  EXPECT_FALSE(DeleteFile("C:\\NOWHERE\\LIST.DAT"));
  EXPECT_EQ(LastFileError(), FileErrorCode::PathNotFound);
}

TEST_F(FilesTest, RenamingOverAFileReplacesItInOneStep) {
  WriteLocal(RootFolder() / "C" / "W" / "CONFIG.DAT", "old contents");
  WriteLocal(RootFolder() / "C" / "W" / "CONFIG.NEW", "new");
  // Names are matched without regard to case; the file standing there is replaced.
  EXPECT_TRUE(RenameFileReplacing("C:\\w\\config.new", "C:\\W\\Config.Dat"));
  EXPECT_FALSE(FileExists("C:\\W\\CONFIG.NEW"));
  {
    // Closed before the next rename: Windows does not rename a file that is open.
    std::ifstream in(ResolvePath("C:\\W\\CONFIG.DAT"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(RootFolder() / "C" / "W"), {}), 1);
  // A target that does not exist yet is simply the new name.
  EXPECT_TRUE(RenameFileReplacing("C:\\W\\CONFIG.DAT", "C:\\W\\OTHER.DAT"));
  EXPECT_TRUE(FileExists("C:\\W\\OTHER.DAT"));

  EXPECT_FALSE(RenameFileReplacing("C:\\W\\GONE.DAT", "C:\\W\\OTHER.DAT"));
  EXPECT_EQ(LastFileError(), FileErrorCode::FileNotFound);
  ASSERT_TRUE(ForceDirectories("C:\\W\\SUB"));
  EXPECT_FALSE(RenameFileReplacing("C:\\W\\OTHER.DAT", "C:\\W\\SUB"));
  EXPECT_EQ(LastFileError(), FileErrorCode::AccessDenied);
  EXPECT_FALSE(RenameFileReplacing("C:\\W\\OTHER.DAT", "C:\\NOWHERE\\OTHER.DAT"));
  EXPECT_EQ(LastFileError(), FileErrorCode::PathNotFound);
  EXPECT_FALSE(RenameFileReplacing("C:\\W\\SUB", "C:\\W\\X.DAT"));  // a folder is no file
  EXPECT_TRUE(FileExists("C:\\W\\OTHER.DAT"));

  // Copying over a file replaces it whole, on every system, and leaves nothing else behind.
  WriteLocal(RootFolder() / "C" / "W" / "OLD.BAK", "an older backup");
  EXPECT_TRUE(CopyFile("C:\\W\\OTHER.DAT", "C:\\W\\OLD.BAK", false));
  EXPECT_EQ(ReadWholeFile("C:\\W\\OLD.BAK"), "new");
  EXPECT_FALSE(CopyFile("C:\\W\\OTHER.DAT", "C:\\W\\OLD.BAK", true));
  EXPECT_EQ(LastFileError(), FileErrorCode::AlreadyExists);
  EXPECT_EQ(std::distance(fs::directory_iterator(RootFolder() / "C" / "W"), {}), 3);
}

TEST_F(FilesTest, FileTimeCanBeCopied) {
  WriteLocal(RootFolder() / "C" / "SRC.DAT", "a");
  WriteLocal(RootFolder() / "C" / "DST.DAT", "b");
  auto past = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  ASSERT_TRUE(SetFileTime("C:\\SRC.DAT", past));
  auto time = GetFileTime("C:\\src.dat");
  ASSERT_TRUE(time.has_value());
  ASSERT_TRUE(SetFileTime("C:\\DST.DAT", *time));
  EXPECT_EQ(GetFileTime("C:\\DST.DAT"), time);
  EXPECT_FALSE(GetFileTime("C:\\MISSING.DAT").has_value());
}

TEST_F(FilesTest, RecordFileWithAShortLastRecordFailsReadingPastTheEnd) {
  WriteLocal(RootFolder() / "C" / "LIST.DAT", std::string(10, 'a') + std::string(10, 'b') + "cc");
  RecordFile file("C:\\list.dat", 10, RecordFile::Mode::Read);
  EXPECT_EQ(file.RecordCount(), 2u);
  char record[10];
  std::vector<char> firsts;
  try {
    while (!file.Eof()) {
      file.Read(record);
      firsts.push_back(record[0]);
    }
    FAIL() << "the partial record was read";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Code(), FileErrorCode::ReadPastEnd);
    EXPECT_STREQ(e.what(), "Read beyond end of file");
    EXPECT_EQ(e.Path(), "C:\\list.dat");
  }
  EXPECT_EQ(firsts, (std::vector<char>{'a', 'b'}));
}

TEST_F(FilesTest, RecordFileErrorsNameTheProblem) {
  auto codeOf = [](auto&& f) {
    try {
      f();
    } catch (const FileError& e) {
      return e.Code();
    }
    return FileErrorCode::None;
  };
  EXPECT_EQ(codeOf([] { RecordFile("C:\\NONE.DAT", 4, RecordFile::Mode::Read); }),
            FileErrorCode::FileNotFound);
  EXPECT_EQ(codeOf([] { RecordFile("C:\\NO\\NONE.DAT", 4, RecordFile::Mode::Create); }),
            FileErrorCode::PathNotFound);
  EXPECT_EQ(codeOf([] { RecordFile("C:\\PROJECT\\A?.DAT", 4, RecordFile::Mode::Create); }),
            FileErrorCode::InvalidName);
  EXPECT_EQ(SystemErrorMessage(FileErrorCode::FileNotFound), "File not found");
  EXPECT_EQ(SystemErrorMessage(FileErrorCode::DiskFull), "Disk full");
  // Writing to a file opened for reading is refused.
  { RecordFile created("C:\\R.DAT", 4, RecordFile::Mode::Create); }
  RecordFile reading("C:\\R.DAT", 4, RecordFile::Mode::Read);
  EXPECT_EQ(codeOf([&] { reading.Write("abcd"); }), FileErrorCode::AccessDenied);
}

TEST_F(FilesTest, ReadWriteKeepsTheRestOfTheFile) {
  WriteLocal(RootFolder() / "C" / "CFG.DAT", "0123456789");
  RecordFile file("C:\\CFG.DAT", 1, RecordFile::Mode::ReadWrite);
  EXPECT_EQ(file.WriteBlock("AB", 2), 2u);
  file.Close();
  EXPECT_EQ(ReadWholeFile("C:\\CFG.DAT"), "AB23456789");
}

TEST_F(FilesTest, AFullDiskRefusesWholeRecordsAndReportsFreeSpace) {
  WriteLocal(RootFolder() / "C" / "OTHER.DAT", std::string(100, 'x'));
  SetDriveCapacity('c', 125);
  EXPECT_EQ(DiskFree('C'), 25);
  RecordFile file("C:\\LIST.DAT", 10, RecordFile::Mode::Create);
  file.Write("0123456789");
  file.Write("0123456789");
  try {
    file.Write("0123456789");
    FAIL() << "a record was written to a full disk";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Code(), FileErrorCode::DiskFull);
  }
  file.Close();
  EXPECT_EQ(FileSizeOf("C:\\LIST.DAT").value_or(0), 20u);  // no half record
  EXPECT_EQ(DiskFree('C'), 5);
  EXPECT_THROW(WriteWholeFile("C:\\BIG.DAT", std::string(6, 'y')), FileError);
  EXPECT_FALSE(FileExists("C:\\BIG.DAT"));
  EXPECT_FALSE(CopyFile("C:\\OTHER.DAT", "C:\\COPY.DAT", false));
  EXPECT_EQ(LastFileError(), FileErrorCode::DiskFull);
  SetDriveCapacity('C', std::nullopt);
  EXPECT_GT(DiskFree('C'), 5);
  EXPECT_EQ(DiskFree('Q'), -1);
}

TEST_F(FilesTest, TheFreeSpaceOfADriveCanBeSetFromWhatItHoldsNow) {
  WriteLocal(RootFolder() / "C" / "OTHER.DAT", std::string(100, 'x'));
  ASSERT_TRUE(SetDriveFree('C', 30));
  EXPECT_EQ(DiskFree('C'), 30);
  WriteWholeFile("C:\\A.DAT", std::string(30, 'a'));
  EXPECT_EQ(DiskFree('C'), 0);
  EXPECT_THROW(WriteWholeFile("C:\\B.DAT", "b"), FileError);
  // Full now: an existing file cannot grow, but removing one frees its bytes.
  ASSERT_TRUE(SetDriveFree('c', 0));
  EXPECT_TRUE(DeleteFile("C:\\A.DAT"));
  EXPECT_EQ(DiskFree('C'), 30);
  EXPECT_FALSE(SetDriveFree('Q', 10));
  SetDriveCapacity('C', std::nullopt);
}

TEST_F(FilesTest, TextReaderTakesAnyLineEnd) {
  WriteLocal(RootFolder() / "C" / "A.CTL", "one\r\ntwo\nthree\rfour");
  TextReader reader("C:\\A.CTL");
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_EQ(reader.LinesRead(), 4);
  EXPECT_THROW(TextReader("C:\\B.CTL"), FileError);
}

TEST_F(FilesTest, MemoryBlocksAreZeroFilledAndALeakIsVisible) {
  MemHandle a = GlobalAlloc(3072);
  MemHandle b = GlobalAlloc(16);
  ASSERT_NE(a, 0u);
  ASSERT_NE(a, b);
  EXPECT_EQ(LiveBlockCount(), 2u);
  EXPECT_EQ(GlobalSize(a), 3072u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(a));
  ASSERT_NE(bytes, nullptr);
  EXPECT_TRUE(std::all_of(bytes, bytes + 3072, [](unsigned char c) { return c == 0; }));
  std::memcpy(bytes, "{\\rtf1", 6);
  EXPECT_TRUE(GlobalUnlock(a));
  EXPECT_FALSE(GlobalUnlock(a));  // locks count
  EXPECT_EQ(std::string(static_cast<char*>(GlobalLock(a)), 6), "{\\rtf1");
  EXPECT_EQ(GlobalFree(a), 0u);
  EXPECT_EQ(GlobalFree(a), a);  // unknown now
  EXPECT_EQ(GlobalLock(a), nullptr);
  EXPECT_EQ(GlobalSize(a), 0u);
  EXPECT_EQ(LiveBlockCount(), 1u);  // b was never freed
  EXPECT_EQ(GlobalAlloc(std::size_t{1} << 40), 0u);
}

}  // namespace
}  // namespace platform
