// The reference command against the stand-in host: defining objects from picked symbols and
// texts, editing and deleting them, placing them with rotation, mirroring and layers, and how the
// library file is read and written around a run.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "organise/reference_manager.h"
#include "organise_fixture.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/picture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using host::Point;

constexpr const char* kDat = "C:\\QXTOOLS\\REF\\QXREF.DAT";

class ReferenceTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    Config().BaseDirectory.Set("C:\\QXTOOLS");
    Config().RefLayersOption = 0;
    platform::ForceDirectories("C:\\TRACELON\\SYMBOLS");
    WriteFile("C:\\TRACELON\\SYMBOLS\\SECT.SYM",
              "TRACELON SYMBOL 1\nARC 0 0 12 0 360\nLINE -12 0 12 0\n");
  }

  TdlgQXReference& Manager() { return *State().forms->dlgQXReference; }
  TdlgRefEdit& Editor() { return *State().forms->dlgRefEdit; }

  // A library file holding `objects`, in their order.
  void WriteLibrary(const std::vector<std::pair<std::string, TRefObject>>& objects) {
    std::string bytes;
    for (const auto& [name, object] : objects) {
      const RefRecord record = MakeRefRecord(name, object);
      bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    WriteFileIn("C:\\QXTOOLS\\REF", "QXREF.DAT", bytes);
  }
  // One object with `count` items, item k at (10000 * (k + 1), 0) on layer 20 + k, answering
  // "D1", "D2", ...
  static TRefObject Mark(int count, bool rotate = true) {
    TRefObject o;
    o.Symbol = "SECT.SYM";
    o.SymbolLayer = 5;
    o.Preview = "NONE";
    o.RotateFlag = rotate;
    o.Count = count;
    for (int k = 0; k < count; ++k) {
      o.Prompts[k] = "Prompt " + std::to_string(k + 1);
      o.Items[k].dx = 10000 * (k + 1);
      o.Items[k].layer = static_cast<std::int16_t>(20 + k);
      o.Items[k].size = 5000;
      o.Items[k].widthFactor = 1.0;
      SetItemText(o.Items[k], "D" + std::to_string(k + 1));
    }
    return o;
  }
  std::vector<NamedRefObject> Saved() {
    std::vector<NamedRefObject> objects;
    int refused = 0;
    std::string error;
    EXPECT_TRUE(ReadRefFile(kDat, objects, refused, error)) << error;
    return objects;
  }

  void OnManager(const std::string& button, int select = -1) {
    OnForm([button, select](platform::Form& form) {
      if (select >= 0) act::Select(form, "lbxNames", select);
      act::Click(form, button);
    });
  }
  // Second button at the point prompt, then the settings dialog with these settings and OK.
  void ChangeSettings(const std::string& rotation, bool mirrorX = false) {
    user.Reply(host::PointReply::Kind::Button2);
    OnForm([rotation, mirrorX](platform::Form& form) {
      act::SetText(form, "dblRotation", {rotation});
      act::Check(form, "chkMirrorX", mirrorX);
      act::Click(form, "OK");
    });
  }
  std::vector<host::Object> FinalObjects() const {
    std::vector<host::Object> objects;
    for (const host::Object* o : host_->FinalObjects()) objects.push_back(*o);
    return objects;
  }
  void Answer(const std::string& text) { user.inputAnswers.push_back(text); }

  static const host::TextData& Text(const host::Object& o) {
    return host::get<host::TextData>(o.data);
  }
  static const host::SymbolData& Symbol(const host::Object& o) {
    return host::get<host::SymbolData>(o.data);
  }
};

TEST_F(ReferenceTest, B2RightAfterTheSymbolDefinesAnObjectWithoutItemsThatPlacesWithoutQuestions) {
  Host().AddSymbol("SECT.SYM", {100000, 100000}, 5);
  OnManager("New");
  user.Point(100000, 100000);
  user.Reply(host::PointReply::Kind::Button2);
  OnForm([this](platform::Form& form) {
    EXPECT_EQ(Editor().txtObjectName.Text(), kNewObjectName);
    EXPECT_FALSE(Editor().txtPrompt1.Visible());
    EXPECT_FALSE(Editor().txtDefault1.Visible());
    EXPECT_TRUE(Editor().imgPreview.GetPicture().IsMetafile());
    act::SetText(form, "txtObjectName", {"Bare mark"});
    act::Click(form, "OK");
  });
  OnManager("Close");
  QXReference();

  EXPECT_EQ(user.prompts, (std::vector<std::string>{kSelectSymbolPrompt, AnnotationPickPrompt(1)}));
  const auto saved = Saved();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].name, "Bare mark");
  EXPECT_EQ(saved[0].object.Count, 0);
  EXPECT_EQ(saved[0].object.Symbol, "SECT.SYM");
  EXPECT_EQ(saved[0].object.SymbolLayer, 5);
  EXPECT_EQ(saved[0].object.Preview, "SECT1.WMF");
  EXPECT_NO_THROW(platform::ReadWmf("C:\\QXTOOLS\\REF\\SECT1.WMF"));

  user.prompts.clear();
  OnManager("Place", 0);
  user.Point(500000, 0);
  Answer("never asked");
  QXReference();
  EXPECT_EQ(user.inputAnswers.size(), 1u);
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1].at, (Point{500000, 0}));
  EXPECT_EQ(Symbol(objects[1]).name, "SECT.SYM");
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(ReferenceTest, ThreeTextsAtMostAreAskedForAndStoredLayersPutEachPartOnItsOwnLayer) {
  Host().AddSymbol("SECT.SYM", {0, 0}, 5);
  Host().AddText({10000, 20000}, "A1", 5000, 21);
  Host().AddText({10000, -20000}, "B2", 5000, 22);
  Host().AddText({-30000, 0}, "C3", 5000, 23);
  OnManager("New");
  user.Point(0, 0);
  user.Point(10000, 20000);
  user.Point(10000, -20000);
  user.Point(-30000, 0);
  OnForm([this](platform::Form& form) {
    EXPECT_EQ(Editor().txtPrompt3.Text(), "Text 3");
    EXPECT_EQ(Editor().txtDefault1.Text(), "A1");
    EXPECT_EQ(Editor().txtDefault3.Text(), "C3");
    act::SetText(form, "txtPrompt2", {"Sheet number"});
    act::Click(form, "OK");
  });
  OnManager("Close");
  QXReference();
  EXPECT_EQ(user.prompts,
            (std::vector<std::string>{kSelectSymbolPrompt, AnnotationPickPrompt(1),
                                      AnnotationPickPrompt(2), AnnotationPickPrompt(3)}));
  ASSERT_EQ(Saved().size(), 1u);
  const TRefObject defined = Saved()[0].object;
  EXPECT_EQ(defined.Prompts[1], "Sheet number");
  EXPECT_EQ(defined.Items[2].dx, -30000);
  EXPECT_FALSE(defined.RotateFlag);

  Config().RefLayersOption = 1;
  Host().SetActiveLayer(9);
  const std::size_t before = FinalObjects().size();
  OnManager("Place", 0);
  user.Point(200000, 100000);
  Answer("X");
  Answer("Y");
  Answer("Z");
  QXReference();
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), before + 4);
  EXPECT_EQ(objects[before].layer, 5);
  EXPECT_EQ(objects[before].at, (Point{200000, 100000}));
  EXPECT_EQ(Text(objects[before + 1]).text, "X");
  EXPECT_EQ(objects[before + 1].at, (Point{210000, 120000}));
  EXPECT_EQ(objects[before + 1].layer, 21);
  EXPECT_EQ(objects[before + 2].layer, 22);
  EXPECT_EQ(Text(objects[before + 3]).text, "Z");
  EXPECT_EQ(objects[before + 3].layer, 23);
  EXPECT_EQ(Host().ActiveLayer(), 9);
}

TEST_F(ReferenceTest, RotatedTextsTurnAboutThePointAndNeverReadUpsideDown) {
  WriteLibrary({{"Mark", Mark(1)}});
  OnManager("Place", 0);
  ChangeSettings("120");
  user.Point(0, 0);
  Answer("A");
  ChangeSettings("60");
  user.Point(100000, 0);
  Answer("B");
  ChangeSettings("-120");
  user.Point(200000, 0);
  Answer("C");
  Host().SetActiveLayer(9);
  QXReference();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 6u);
  EXPECT_DOUBLE_EQ(Symbol(objects[0]).rotation, 120);
  EXPECT_DOUBLE_EQ(Text(objects[1]).orientation, 300);
  EXPECT_EQ(objects[1].at, (Point{-5000, 8660}));
  EXPECT_EQ(objects[1].layer, 9);  // the active layer with the active-layer choice
  EXPECT_DOUBLE_EQ(Text(objects[3]).orientation, 60);
  EXPECT_EQ(objects[3].at, (Point{105000, 8660}));
  EXPECT_DOUBLE_EQ(Text(objects[5]).orientation, 60);
  EXPECT_EQ(objects[5].at, (Point{195000, -8660}));
}

TEST_F(ReferenceTest, TextsOffsetBeyondTheWorldsEdgeAreHeldAtTheEdge) {
  // A text far above its symbol placed near the top of the world, and a damaged record whose
  // offsets lie near the limit of 32 bits: the sums leave the world and must not wrap round.
  TRefObject o = Mark(2);
  o.Items[0].dx = 0;
  o.Items[0].dy = 300000000;
  o.Items[1].dx = -2147483600;
  o.Items[1].dy = 2147483600;
  WriteLibrary({{"Mark", o}});
  OnManager("Place", 0);
  user.Point(-1990000000, 1990000000);
  Answer("A");
  Answer("B");
  QXReference();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].at, (Point{-1990000000, 1990000000}));
  EXPECT_EQ(objects[1].at, (Point{-1990000000, 2000000000}));
  EXPECT_EQ(objects[2].at, (Point{-2000000000, 2000000000}));
}

TEST_F(ReferenceTest, MirrorXFlipsTheSymbolOnlyAndTheSecondDragImageShowsIt) {
  TRefObject mark = Mark(1, false);
  mark.Items[0].orientation = 30;
  WriteLibrary({{"Mark", mark}});
  Host().SetActiveLayer(9);
  OnManager("Place", 0);
  ChangeSettings("0", true);
  user.Point(50000, 0);
  Answer("A");
  QXReference();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_DOUBLE_EQ(Symbol(objects[0]).scaleX, -1.0);
  EXPECT_DOUBLE_EQ(Symbol(objects[0]).scaleY, 1.0);
  EXPECT_EQ(objects[1].at, (Point{60000, 0}));
  EXPECT_DOUBLE_EQ(Text(objects[1]).orientation, 0);
  // The prompt before the settings shows the first drag image, the one after the second.
  ASSERT_EQ(user.cursorsAtPick.size(), 3u);
  EXPECT_DOUBLE_EQ(Symbol(user.cursorsAtPick[0].objects.at(0)).scaleX, 1.0);
  EXPECT_DOUBLE_EQ(Symbol(user.cursorsAtPick[1].objects.at(0)).scaleX, -1.0);
  EXPECT_EQ(user.cursorsAtPick[1].objects.at(1).layer, 20);
  // Texts that do not turn with the symbol: horizontal on the active layer in the first image,
  // at their own orientation in the second, horizontal when placed.
  EXPECT_EQ(user.cursorsAtPick[0].objects.at(1).layer, 9);
  EXPECT_DOUBLE_EQ(Text(user.cursorsAtPick[0].objects.at(1)).orientation, 0);
  EXPECT_DOUBLE_EQ(Text(user.cursorsAtPick[1].objects.at(1)).orientation, 30);
}

TEST_F(ReferenceTest, CancellingAnAnswerPlacesNothingAndKeepsTheDragImage) {
  WriteLibrary({{"Mark", Mark(2)}});
  OnManager("Place", 0);
  user.Point(0, 0);
  Answer("first");
  user.inputAnswers.push_back(std::nullopt);
  Answer("not asked yet");
  QXReference();
  EXPECT_TRUE(FinalObjects().empty());
  EXPECT_EQ(user.prompts, (std::vector<std::string>{kPlacePrompt, kPlacePrompt}));
  ASSERT_EQ(user.cursorsAtPick.size(), 2u);
  EXPECT_TRUE(user.cursorsAtPick[1].active);
  EXPECT_EQ(user.cursorsAtPick[1].objects.size(), 3u);
  EXPECT_EQ(user.inputAnswers.size(), 1u);
  EXPECT_FALSE(Host().Cursor().active);
}

TEST_F(ReferenceTest, DeletingTheLastObjectDeletesTheFileOrWarnsWhenThereWasNone) {
  WriteFileIn("C:\\QXTOOLS\\REF", "SECT1.WMF", "x");
  TRefObject withPreview = Mark(0);
  withPreview.Preview = "SECT1.WMF";
  WriteLibrary({{"Mark", withPreview}});
  user.messageAnswers.push_back(platform::MsgResult::Yes);
  OnForm([](platform::Form& form) {
    act::Select(form, "lbxNames", 0);
    act::Click(form, "Delete");
    act::Click(form, "Close");
  });
  QXReference();
  EXPECT_FALSE(platform::FileExists(kDat));
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\REF\\SECT1.WMF"));
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{kDeleteQuestion}));
  EXPECT_EQ(user.messages[0].caption, "QX Reference");
  EXPECT_EQ(Manager().lbxNames.items.Count(), 0);

  // Defined and deleted in one run: there is no file to delete.
  user.messages.clear();
  Host().AddSymbol("SECT.SYM", {0, 0}, 5);
  OnManager("New");
  user.Point(0, 0);
  user.Reply(host::PointReply::Kind::Button2);
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  user.messageAnswers.push_back(platform::MsgResult::Yes);
  OnForm([](platform::Form& form) {
    act::Select(form, "lbxNames", 0);
    act::Click(form, "Delete");
    act::Click(form, "Close");
  });
  QXReference();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(user.messages[1].caption, "QX Tools (Warning!)");
  EXPECT_EQ(user.messages[1].text, "Unable to delete the file: C:\\QXTOOLS\\REF\\QXREF.DAT");
}

TEST_F(ReferenceTest, EditingAnObjectWithoutPreviewWarnsThenStoresTheChanges) {
  WriteLibrary({{"Mark", Mark(1)}, {"Another", Mark(0)}});
  OnForm([this](platform::Form& form) {
    act::Select(form, "lbxNames", "Mark");
    EXPECT_EQ(Manager().pnlPreview.Caption(), kPreviewNotAvailable);
    EXPECT_FALSE(Manager().imgPreview.Visible());
    act::Click(form, "Edit");
    act::Click(form, "Close");
  });
  OnForm([this](platform::Form& form) {
    EXPECT_FALSE(Editor().chkAlwaysHorizontal.Checked());
    EXPECT_EQ(Editor().txtDefault1.Text(), "D1");
    EXPECT_FALSE(Editor().txtPrompt2.Visible());
    act::SetText(form, "txtObjectName", {"Zed mark"});
    act::SetText(form, "txtDefault1", {"NEW DEFAULT"});
    act::Check(form, "chkAlwaysHorizontal", true);
    act::Click(form, "OK");
  });
  QXReference();
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{kPreviewLoadWarning}));
  const auto saved = Saved();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[1].name, "Zed mark");  // the list stays sorted
  EXPECT_EQ(ItemText(saved[1].object.Items[0]), "NEW DEFAULT");
  EXPECT_FALSE(saved[1].object.RotateFlag);
  EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\REF\\QXREF.BAK"));
}

TEST_F(ReferenceTest, AnUnreadableLibraryEndsTheCommandAndDamagedRecordsAreLeftOut) {
  WriteFileIn("C:\\QXTOOLS\\REF", "QXREF.DAT", std::string(1000, 'x'));
  QXReference();
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{"The following error occurred opening/reading "
                                      "C:\\QXTOOLS\\REF\\QXREF.DAT:\r\nRead beyond end of file"}));
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_EQ(State().RunningTool, 0);

  user.messages.clear();
  // Counts above three and below none alike cannot be trusted.
  RefRecord damaged[2] = {MakeRefRecord("Damaged", Mark(3)), MakeRefRecord("Negative", Mark(1))};
  damaged[0].Count = 9;
  damaged[1].Count = -1;
  WriteLibrary({{"Good", Mark(1)}});
  const std::string good = ReadFile(kDat);
  WriteFile(kDat, good + std::string(reinterpret_cast<const char*>(damaged), sizeof damaged));
  OnForm([this](platform::Form& form) {
    EXPECT_EQ(Manager().lbxNames.items.Strings(), (std::vector<std::string>{"Good"}));
    act::Click(form, "Close");
  });
  QXReference();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text.rfind("2 reference object(s) in C:\\QXTOOLS\\REF\\QXREF.DAT "
                                        "could not be read (",
                                        0),
            0u)
      << user.messages[0].text;
  // The reason given holds for both.
  EXPECT_EQ(user.messages[0].text.find("more than three"), std::string::npos);
  EXPECT_NE(user.messages[0].text.find("not 0 to 3"), std::string::npos);
  EXPECT_EQ(ReadFile(kDat).size(), 3 * sizeof(RefRecord));  // nothing changed: not rewritten
}

TEST_F(ReferenceTest, AFileWithUnreadableRecordsIsKeptAsTheBackupWhenEveryObjectIsDeleted) {
  RefRecord damaged = MakeRefRecord("Damaged", Mark(3));
  damaged.Count = 9;
  WriteLibrary({{"Good", Mark(1)}});
  const std::string file =
      ReadFile(kDat) + std::string(reinterpret_cast<const char*>(&damaged), sizeof damaged);
  WriteFile(kDat, file);
  user.messageAnswers.push_back(platform::MsgResult::Yes);
  OnForm([](platform::Form& form) {
    act::Select(form, "lbxNames", "Good");
    act::Click(form, "Delete");
    act::Click(form, "Close");
  });
  QXReference();
  EXPECT_FALSE(platform::FileExists(kDat));
  EXPECT_EQ(ReadFile("C:\\QXTOOLS\\REF\\QXREF.BAK"), file);
  ASSERT_EQ(user.messages.size(), 2u);  // the warning and the delete question only
  EXPECT_NE(user.messages[0].text.find("is kept as C:\\QXTOOLS\\REF\\QXREF.BAK"),
            std::string::npos);
}

TEST_F(ReferenceTest, ASymbolNameLongerThanTheRecordKeepsIsRefusedWhenDefining) {
  WriteFile("C:\\TRACELON\\SYMBOLS\\SECTION-MARK-A.SYM", "TRACELON SYMBOL 1\nLINE 0 0 1 1\n");
  Host().AddSymbol("SECTION-MARK-A.SYM", {0, 0}, 5);
  OnManager("New");
  user.Point(0, 0);
  OnManager("Close");
  QXReference();
  // Nothing more is asked for and nothing is defined.
  EXPECT_EQ(user.prompts, std::vector<std::string>{kSelectSymbolPrompt});
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "The symbol name SECTION-MARK-A.SYM is too long (at most 13 characters)."});
  EXPECT_EQ(Manager().lbxNames.items.Count(), 0);
  EXPECT_FALSE(Manager().RefsChanged);
  EXPECT_EQ(user.formsShown, (std::vector<std::string>{"TdlgQXReference", "TdlgQXReference"}));
}

TEST_F(ReferenceTest, AFailedSaveKeepsTheChangesAndTheDeletedObjectsPreviewUntilASaveSucceeds) {
  WriteFileIn("C:\\QXTOOLS\\REF", "SECT1.WMF", "x");
  TRefObject withPreview = Mark(0);
  withPreview.Preview = "SECT1.WMF";
  WriteLibrary({{"Mark", withPreview}, {"Other", Mark(1)}});
  const std::string before = ReadFile(kDat);
  // Deleted on a full disk: the save fails and the drafter leaves anyway.
  platform::SetDriveFree('C', 0);
  user.messageAnswers = {platform::MsgResult::Yes, platform::MsgResult::Yes};
  OnForm([](platform::Form& form) {
    act::Select(form, "lbxNames", "Mark");
    act::Click(form, "Delete");
    act::Click(form, "Close");
  });
  QXReference();
  ASSERT_EQ(user.messages.size(), 3u);
  EXPECT_EQ(user.messages[1].text.rfind("The following error occurred attempting to save", 0), 0u);
  EXPECT_EQ(user.messages[2].text, kCloseUnsavedQuestion);
  EXPECT_EQ(ReadFile(kDat), before);
  EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\REF\\SECT1.WMF"));
  EXPECT_TRUE(Manager().RefsChanged);

  // The next run shows the list as edited, not the file, and saves it at its close.
  platform::SetDriveCapacity('C', std::nullopt);
  OnForm([this](platform::Form& form) {
    EXPECT_EQ(Manager().lbxNames.items.Strings(), std::vector<std::string>{"Other"});
    act::Click(form, "Close");
  });
  QXReference();
  EXPECT_EQ(user.messages.size(), 3u);
  EXPECT_FALSE(Manager().RefsChanged);
  const auto saved = Saved();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].name, "Other");
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\REF\\SECT1.WMF"));
}

TEST_F(ReferenceTest, AMissingSymbolIsReportedAndTheManagerComesBack) {
  TRefObject lost = Mark(0);
  lost.Symbol = "LOST.SYM";
  WriteLibrary({{"Lost", lost}});
  OnManager("Place", 0);
  OnManager("Close");
  QXReference();
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{"Could not find symbol LOST.SYM\r\nPlease check your symbol "
                                      "path settings under Options/Path"}));
  EXPECT_EQ(user.formsShown.size(), 2u);
}

TEST_F(ReferenceTest, ThePreviewColourComesFromTheHostsIniAndAMalformedValueIsReported) {
  platform::Color colour = 0;
  EXPECT_TRUE(ParseIniColour("10 20 30", colour));
  EXPECT_EQ(colour, platform::Rgb(10, 20, 30));
  for (const char* bad : {"10 20", "10  20 30", "a b c", "256 0 0", "-1 0 0", ""}) {
    EXPECT_FALSE(ParseIniColour(bad, colour)) << bad;
  }
  EXPECT_EQ(Manager().pnlPreview.color, platform::colors::Black);
  EXPECT_EQ(Manager().pnlPreview.font.color, platform::colors::White);

  EndLibrary();
  WriteFile("C:\\TRACELON\\tracelon.ini", "[Colors]\r\n0=0 0 x\r\n");
  StartLibrary();
  user.messages.clear();
  Config().BaseDirectory.Set("C:\\QXTOOLS");
  OnManager("Close");
  OnManager("Close");
  QXReference();
  QXReference();  // reported once
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].text.find("\"0 0 x\""), std::string::npos);
  EXPECT_EQ(Manager().pnlPreview.color, platform::colors::Black);
}

}  // namespace
}  // namespace qxt
