// The reference library file: its record layout, reading to the end, refusing records that
// cannot be trusted, saving with a backup that survives a failed write, preview names, and the
// upright rule of annotation texts.
#include "organise/reference_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "organise_fixture.h"
#include "platform/files.h"

namespace qxt {
namespace {

constexpr const char* kRefDir = "C:\\QXTOOLS\\REF";
constexpr const char* kDat = "C:\\QXTOOLS\\REF\\QXREF.DAT";
constexpr const char* kBak = "C:\\QXTOOLS\\REF\\QXREF.BAK";

TRefObject Object(const std::string& symbol, int count) {
  TRefObject o;
  o.Symbol = symbol;
  o.SymbolLayer = 7;
  o.Preview = "SECT1.WMF";
  o.RotateFlag = true;
  o.Count = count;
  for (int k = 0; k < count; ++k) {
    o.Prompts[k] = "Prompt " + std::to_string(k + 1);
    o.Items[k].dx = 1000 * (k + 1);
    o.Items[k].dy = -500;
    o.Items[k].layer = static_cast<std::int16_t>(20 + k);
    o.Items[k].orientation = 15.0;
    o.Items[k].widthFactor = 1.0;
    SetItemText(o.Items[k], "T" + std::to_string(k + 1));
  }
  return o;
}

std::string Bytes(const std::vector<RefRecord>& records) {
  std::string bytes(records.size() * sizeof(RefRecord), '\0');
  std::memcpy(bytes.data(), records.data(), bytes.size());
  return bytes;
}

class RefFileTest : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    platform::ForceDirectories(kRefDir);
  }
  bool Read(std::vector<NamedRefObject>& objects, int& refused, std::string& error) {
    return ReadRefFile(kDat, objects, refused, error);
  }
};

TEST_F(RefFileTest, RecordsRoundTripWithTheFieldsAtTheirOffsets) {
  const RefRecord record = MakeRefRecord("Section A", Object("SECT-A.SYM", 2));
  const auto* raw = reinterpret_cast<const unsigned char*>(&record);
  EXPECT_EQ(raw[0], 9);  // the name's length byte
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw + 257), 10), "SECT-A.SYM");
  EXPECT_EQ(raw[270], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw + 481 + 300 + 44)), "T2");
  EXPECT_EQ(raw[1381], 1);
  EXPECT_EQ(raw[1382], 2);

  WriteFile(kDat, Bytes({record, MakeRefRecord("Detail", Object("DET-1.SYM", 0))}));
  std::vector<NamedRefObject> objects;
  int refused = -1;
  std::string error;
  ASSERT_TRUE(Read(objects, refused, error)) << error;
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(objects[0].name, "Section A");
  const TRefObject& o = objects[0].object;
  EXPECT_EQ(o.Symbol, "SECT-A.SYM");
  EXPECT_EQ(o.SymbolLayer, 7);
  EXPECT_EQ(o.Preview, "SECT1.WMF");
  EXPECT_TRUE(o.RotateFlag);
  ASSERT_EQ(o.Count, 2);
  EXPECT_EQ(o.Prompts[1], "Prompt 2");
  EXPECT_EQ(ItemText(o.Items[1]), "T2");
  EXPECT_EQ(o.Items[1].dx, 2000);
  EXPECT_EQ(o.Items[1].layer, 21);
  EXPECT_EQ(objects[1].object.Count, 0);
}

TEST_F(RefFileTest, APartialLastRecordOrAMissingFileFailsWithTheSystemsDescription) {
  std::vector<NamedRefObject> objects;
  int refused = 0;
  std::string error;
  EXPECT_FALSE(Read(objects, refused, error));
  EXPECT_EQ(error, "File not found");

  WriteFile(kDat, Bytes({MakeRefRecord("A", Object("A.SYM", 1))}) + std::string(100, 'x'));
  EXPECT_FALSE(Read(objects, refused, error));
  EXPECT_EQ(error, "Read beyond end of file");

  WriteFile(kDat, "");  // an empty file is an empty list
  EXPECT_TRUE(Read(objects, refused, error));
  EXPECT_TRUE(objects.empty());
}

TEST_F(RefFileTest, RecordsWithACountOutsideZeroToThreeAreRefusedAndTheOthersRead) {
  RefRecord four = MakeRefRecord("Four", Object("A.SYM", 3));
  four.Count = 4;
  RefRecord negative = MakeRefRecord("Negative", Object("A.SYM", 1));
  negative.Count = -1;
  WriteFile(kDat, Bytes({four, MakeRefRecord("Good", Object("B.SYM", 3)), negative}));
  std::vector<NamedRefObject> objects;
  int refused = 0;
  std::string error;
  ASSERT_TRUE(Read(objects, refused, error));
  EXPECT_EQ(refused, 2);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].name, "Good");
}

TEST_F(RefFileTest, TextsWithoutTheirEndAreCutTo255CharactersAndLongTextsAreCutWhenStored) {
  RefRecord record = MakeRefRecord("Long", Object("A.SYM", 1));
  std::memset(record.Items[0].text, 'x', sizeof record.Items[0].text);  // no NUL at all
  WriteFile(kDat, Bytes({record}));
  std::vector<NamedRefObject> objects;
  int refused = 0;
  std::string error;
  ASSERT_TRUE(Read(objects, refused, error));
  EXPECT_EQ(ItemText(objects[0].object.Items[0]), std::string(255, 'x'));

  AnnotationItem item{};
  SetItemText(item, std::string(400, 'y'));
  EXPECT_EQ(item.length, 255);
  EXPECT_EQ(item.text[255], '\0');
  EXPECT_EQ(ItemText(item), std::string(255, 'y'));
}

TEST_F(RefFileTest, SavingKeepsThePreviousListAsTheBackup) {
  ASSERT_FALSE(WriteRefFile(kRefDir, {MakeRefRecord("First", Object("A.SYM", 0))}));
  EXPECT_FALSE(platform::FileExists(kBak));
  ASSERT_FALSE(WriteRefFile(kRefDir, {MakeRefRecord("Second", Object("A.SYM", 0))}));
  EXPECT_EQ(ReadFile(kBak).substr(1, 5), "First");
  EXPECT_EQ(ReadFile(kDat).substr(1, 6), "Second");
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\REF\\QXREF.$$$"));
}

TEST_F(RefFileTest, ASaveThatDoesNotFitLeavesTheListAndItsBackupAsTheyWere) {
  ASSERT_FALSE(WriteRefFile(kRefDir, {MakeRefRecord("Old", Object("A.SYM", 0))}));
  ASSERT_FALSE(WriteRefFile(kRefDir, {MakeRefRecord("Current", Object("A.SYM", 0))}));
  const std::string dat = ReadFile(kDat), bak = ReadFile(kBak);
  // Room for a little more than one more record: two do not fit.
  platform::SetDriveCapacity('C', dat.size() + bak.size() + 2000);
  const auto error =
      WriteRefFile(kRefDir, std::vector<RefRecord>(2, MakeRefRecord("New", Object("A.SYM", 0))));
  platform::SetDriveCapacity('C', std::nullopt);
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "Disk full");
  EXPECT_EQ(ReadFile(kDat), dat);
  EXPECT_EQ(ReadFile(kBak), bak);
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\REF\\QXREF.$$$"));
}

TEST_F(RefFileTest, PreviewNamesTakeSixCharactersBeforeTheLastDotAndTheFirstFreeNumber) {
  EXPECT_EQ(MakePreviewName(kRefDir, "ARROW.SYM"), "ARROW1.WMF");
  WriteFile("C:\\QXTOOLS\\REF\\ARROW1.WMF", "x");
  EXPECT_EQ(MakePreviewName(kRefDir, "ARROW.SYM"), "ARROW2.WMF");
  EXPECT_EQ(MakePreviewName(kRefDir, "arrow.sym"), "arrow2.WMF");  // file names ignore case
  EXPECT_EQ(MakePreviewName(kRefDir, "SECTION"), "SECTIO1.WMF");
}

TEST(UprightOrientation, TextsReadUprightForEveryRotation) {
  EXPECT_DOUBLE_EQ(UprightOrientation(120, 0, true), 300);
  EXPECT_DOUBLE_EQ(UprightOrientation(60, 0, true), 60);
  EXPECT_DOUBLE_EQ(UprightOrientation(240, 0, true), 60);
  EXPECT_DOUBLE_EQ(UprightOrientation(-120, 0, true), 60);  // the same turn as 240
  EXPECT_DOUBLE_EQ(UprightOrientation(-60, 0, true), 300);
  EXPECT_DOUBLE_EQ(UprightOrientation(270, 0, true), 90);
  EXPECT_DOUBLE_EQ(UprightOrientation(90, 0, true), 90);
  EXPECT_DOUBLE_EQ(UprightOrientation(300, 100, true), 40);
  EXPECT_DOUBLE_EQ(UprightOrientation(-359.99, -359.99, true), NormalisedAngle(-719.98));
  EXPECT_DOUBLE_EQ(UprightOrientation(120, 45, false), 0);
  for (double rotation = -359.0; rotation < 360.0; rotation += 7.0) {
    const double o = UprightOrientation(rotation, 30.0, true);
    EXPECT_TRUE((o >= 0 && o <= 90) || (o > 270 && o < 360)) << rotation << " gives " << o;
  }
}

}  // namespace
}  // namespace qxt
