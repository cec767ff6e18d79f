#include "drafting/quick_text.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "../text/text_fixture.h"
#include "core/forms.h"
#include "core/state.h"
#include "platform/actions.h"
#include "text/place_text.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testing::PointAt;

class QuickTextTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    Config().CTSize = 9600;
    Config().CTLineSpacing = 0.5;
    Config().CTOrientation = 0;
  }
  TfrmQXQText& Strip() { return *State().forms->frmQXQText; }
  void OnStrip(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  static std::string TextOf(const host::Object& o) {
    return host::get<host::TextData>(o.data).text;
  }

  // Places one CAD text line as the text command would, and gives its id.
  int32_t Line(const std::string& text, int32_t x, int32_t y, double orientation = 0,
               int32_t size = 9600) {
    QXConfig config = Config();
    config.CTSize = size;
    config.CTOrientation = orientation;
    HsiCadText record = CadTextRecord(config, 4, 2);
    record.x = x;
    record.y = y;
    SetCadTextLine(record, text);
    return HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_FINAL);
  }
  // A block of lines at the placement rule's offsets; gives the ids in line order.
  std::vector<int32_t> Block(const std::vector<std::string>& lines, int32_t x, int32_t y,
                             double orientation = 0, double spacing = 0.5, int32_t size = 9600) {
    std::vector<int32_t> ids;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const HsiPoint off = CadLineOffset(orientation, spacing, size, static_cast<int>(i));
      ids.push_back(Line(lines[i], x + off.x, y + off.y, orientation, size));
    }
    return ids;
  }
  static void Select(const std::vector<int32_t>& ids) {
    for (int32_t id : ids) {
      HsiOslEntry entry{id, 0, 0};
      HsiOslAdd(0, &entry, HSI_TRUE);
    }
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const host::Object& o : FinalObjects()) texts.push_back(TextOf(o));
    return texts;
  }
  std::vector<int32_t> RedrawnNormally() {
    std::vector<int32_t> ids;
    for (const host::CallRecord& call : Host().CallsTo("HsiEditDraw"))
      if (call.args.find(", -3") != std::string::npos)
        ids.push_back(std::stoi(call.args.substr(0, call.args.find(','))));
    return ids;
  }
};

TEST_F(QuickTextTest, TypedLinesArePreviewedThenPlacedAtEachPointUntilB2) {
  std::vector<std::size_t> marksWhileTyping;
  OnStrip([&](platform::Form& form) {
    act::SetText(form, "mmText", {"ROOM", "101"});
    marksWhileTyping.push_back(Host().Marks().size());
    act::Click(form, "OK");
  });
  OnStrip([&](platform::Form& form) {
    // The strip keeps the text, all of it selected.
    EXPECT_EQ(Strip().mmText.Text(), "ROOM\r\n101");
    EXPECT_EQ(Strip().mmText.SelLength(), static_cast<int>(Strip().mmText.Text().size()));
    act::Click(form, "OK");
  });
  user.replies = {PointAt(1000, 2000), PointAt(50000, 0),
                  testsupport::Reply(host::PointReply::Kind::Button2)};
  QXQText();

  EXPECT_EQ(marksWhileTyping, std::vector<std::size_t>{2});
  EXPECT_TRUE(Host().Marks().empty()) << "the preview goes with the strip";
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ROOM", "101", "ROOM", "101"}));
  EXPECT_EQ(objects[0].at, (host::Point{1000, 2000}));
  EXPECT_EQ(objects[1].at, (host::Point{1000, 2000 - 14400}));
  EXPECT_EQ(objects[3].at, (host::Point{50000, -14400}));
  EXPECT_EQ(State().LastCreatedObject, objects[3].id);
  EXPECT_EQ(user.prompts,
            (std::vector<std::string>{"Select the point to place text (B2 to quit)...",
                                      "Select the next point to place text (B2 to quit)...",
                                      "Select the next point to place text (B2 to quit)..."}));
  EXPECT_EQ(Host().CallbackTitle(), "QX Quick Text");
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
}

TEST_F(QuickTextTest, LinesBeyondTheWorldsEdgeAreHeldAtTheEdge) {
  // Lines 150,000,000 apart from a point near the bottom of the world: the second line's place
  // lies beyond 32 bits and must not wrap round to the top.
  Config().CTSize = 100000000;
  OnStrip([](platform::Form& form) {
    act::SetText(form, "mmText", {"A", "B"});
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, -1999000000), testsupport::Reply(host::PointReply::Kind::Button2)};
  QXQText();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].at, (host::Point{0, -1999000000}));
  const int32_t across = CadLineOffset(0, 0.5, 100000000, 1).x;  // the step's rounding
  EXPECT_EQ(objects[1].at, (host::Point{across, -2000000000}));
}

TEST_F(QuickTextTest, SettingsWhileTypingRedrawsThePreviewInTheNewLookAtOnce) {
  OnStrip([&](platform::Form& form) {
    act::SetText(form, "mmText", {"A", "B"});
    Host().ClearCalls();
    act::Click(form, "btnSettings");
    // Two lines erased where the old size put them, two drawn where the new one does.
    const auto calls = Host().CallsTo("HsiDrawText");
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_NE(calls[1].args.find("(0,-14400)"), std::string::npos) << calls[1].args;
    EXPECT_NE(calls[1].args.find(", -1"), std::string::npos);
    EXPECT_NE(calls[3].args.find("(0,-28800)"), std::string::npos) << calls[3].args;
    EXPECT_NE(calls[3].args.find(", -2"), std::string::npos);
    EXPECT_EQ(Strip().previewAttributes.size, 19200);
    act::Click(form, "Close");
  });
  user.formActions.insert(user.formActions.begin() + 1, [](platform::Form& form) {
    act::SetText(form, "txtCTSize", {"1/40\""});
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, 0)};
  QXQText();
  EXPECT_EQ(+Config().CTSize, 19200);
  EXPECT_TRUE(FinalObjects().empty());
}

TEST_F(QuickTextTest, SettingsCancelledLeavesOnlyThePreviewThatWasThere) {
  std::size_t marksAfterCancel = 0;
  OnStrip([&](platform::Form& form) {
    act::SetText(form, "mmText", {"A", "B"});
    act::Click(form, "btnSettings");
    marksAfterCancel = Host().Marks().size();
    act::Click(form, "Close");
  });
  user.formActions.insert(user.formActions.begin() + 1,
                          [](platform::Form& form) { act::Click(form, "Cancel"); });
  user.replies = {PointAt(0, 0)};
  QXQText();
  EXPECT_EQ(marksAfterCancel, 2u);
  EXPECT_TRUE(Host().Marks().empty()) << "no second image is left when the strip closes";
}

// The texts go into the edit's own list and back into the selection with the flag that adds no
// highlight of their own (the user's selection already shows them).
TEST_F(QuickTextTest, EditListsAndReselectsTextsWithoutAHighlightOfItsOwn) {
  const auto block = Block({"ONE", "TWO"}, 10000, 20000);
  Select(block);
  Host().ClearCalls();
  OnStrip([](platform::Form& form) { act::Click(form, "OK"); });
  QXQEdit();
  const auto adds = Host().CallsTo("HsiOslAdd");
  ASSERT_EQ(adds.size(), 4u);
  for (const host::CallRecord& call : adds)
    EXPECT_EQ(call.args.substr(call.args.rfind(", ") + 2), std::to_string(0xFC20)) << call.args;
}

TEST_F(QuickTextTest, EditGathersTheBlockInLineOrderAndRebuildsOnlyIt) {
  const auto block = Block({"ONE", "TWO", "THREE"}, 10000, 20000);
  const auto other = Block({"ELSE"}, 90000, 20000);
  Select({block[0], block[1], other[0], block[2]});
  OnStrip([&](platform::Form& form) {
    EXPECT_EQ(Strip().mmText.Text(), "ONE\r\nTWO\r\nTHREE");
    act::SetText(form, "mmText", {"UNO", "DOS"});
    act::Click(form, "OK");
  });
  QXQEdit();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ELSE", "UNO", "DOS"}));
  const auto objects = FinalObjects();
  EXPECT_EQ(objects[1].at, (host::Point{10000, 20000}));
  EXPECT_EQ(objects[2].at, (host::Point{10000, 20000 - 14400}));
  EXPECT_EQ(objects[1].layer, 4);
  // The text of the other block keeps its place and loses its highlight.
  EXPECT_EQ(objects[0].at, (host::Point{90000, 20000}));
  EXPECT_EQ(RedrawnNormally(), std::vector<int32_t>{other[0]});
  EXPECT_EQ(HsiOslCount(0), 0);
  EXPECT_EQ(Host().CallbackTitle(), "QX Quick Edit");
}

TEST_F(QuickTextTest, LinesOutOfOrderOrTurnedAreLeftOutOfTheBlock) {
  const auto block = Block({"ONE", "TWO", "THREE"}, 0, 0);
  Select({block[0], block[2], block[1]});  // THREE before TWO
  OnStrip([&](platform::Form& form) {
    EXPECT_EQ(Strip().mmText.Text(), "ONE\r\nTWO");
    act::Click(form, "Close");
  });
  QXQEdit();

  HsiOslClear(0);
  const auto turned = Block({"A", "B"}, 0, 500000, 30.0);
  Select(turned);
  OnStrip([&](platform::Form& form) {
    EXPECT_EQ(Strip().mmText.Text(), "A");
    EXPECT_EQ(+Config().CTOrientation, 30.0);  // the first text's look is taken over
    act::Click(form, "Close");
  });
  QXQEdit();
}

TEST_F(QuickTextTest, GatheringRoundsEachLineAsPlacementDoes) {
  // (1 + 0.5) x 1001 = 1501.5 is not whole: the third line lies 3003 below, not 2 x 1502.
  const auto block = Block({"1", "2", "3"}, 0, 0, 0, 0.5, 1001);
  Select(block);
  OnStrip([&](platform::Form& form) {
    EXPECT_EQ(Strip().mmText.Text(), "1\r\n2\r\n3");
    act::Click(form, "Close");
  });
  QXQEdit();
}

TEST_F(QuickTextTest, CancelLeavesEveryTextAsItWasAndNothingSelected) {
  const auto block = Block({"KEEP", "THIS"}, 0, 0);
  const auto before = FinalObjects();
  Select(block);
  OnStrip([](platform::Form& form) {
    act::SetText(form, "mmText", {"CHANGED"});
    act::Click(form, "Close");
  });
  QXQEdit();
  const auto after = FinalObjects();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].id, before[i].id);
    EXPECT_EQ(TextOf(after[i]), TextOf(before[i]));
  }
  EXPECT_EQ(HsiOslCount(0), 0);
  EXPECT_EQ(RedrawnNormally(), block);
  EXPECT_TRUE(Host().Marks().empty());
}

TEST_F(QuickTextTest, NothingOrNoTextSelectedEndsSilently) {
  QXQEdit();
  HsiPoint a{0, 0}, b{1000, 0};
  HsiObjStartline(&a, 1, 0, 0, 1);
  HsiObjAddtoline(&b, 2);
  Select({HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL)});
  QXQEdit();
  EXPECT_TRUE(user.formsShown.empty());
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(Host().StatusLineUpdates(), 2);
}

TEST_F(QuickTextTest, FlexTextEditsOnlyWhenTheFirstSelectedObjectIsText) {
  const auto text = Block({"T"}, 0, 0);
  HsiPoint a{0, 0}, b{1000, 0};
  HsiObjStartline(&a, 1, 0, 0, 1);
  HsiObjAddtoline(&b, 2);
  const int32_t line = HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
  Select({line, text[0]});
  QXFlexText();  // the point request is cancelled at once
  EXPECT_EQ(Host().CallbackTitle(), "QX Quick Text");

  HsiOslClear(0);
  Select({text[0], line});
  OnStrip([](platform::Form& form) { act::Click(form, "Close"); });
  QXFlexText();
  EXPECT_EQ(Host().CallbackTitle(), "QX Quick Edit");
}

TEST_F(QuickTextTest, ALineLongerThanTheRecordIsCut) {
  OnStrip([](platform::Form& form) {
    act::SetText(form, "mmText", {std::string(300, 'x')});
    act::Click(form, "OK");
  });
  user.replies = {PointAt(0, 0)};
  QXQText();
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0], std::string(kCadTextMaxChars, 'x'));
}

}  // namespace
}  // namespace qxt
