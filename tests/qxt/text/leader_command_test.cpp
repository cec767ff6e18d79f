// The leader command against the stand-in host: what it draws for each leader type, snap to text,
// the arrowheads, notes written on the notes layer, and the ways the picking ends.
#include "text/leader_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "text/leader_geometry.h"
#include "text/place_text.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using host::Point;
using testing::PointAt;

class LeaderCommandTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    QXConfig& c = Config();
    c.LeaderDialogBefore = 0;
    c.LeaderDialogAfter = 0;
    // Plain leaders with drawn arrowheads unless a test says otherwise.
    for (int type = 0; type < 3; ++type) {
      ChangeStyle(type, [](LeaderStyle& s) {
        s.Extension = 0;
        s.ArrowheadType = kLineArrowhead;
        s.ArrowAngle = 90.0;
        s.ArrowLength = 1000;
        s.ArrowWeight = 3;
        s.NoteOption = kNoNote;
        s.NotesLayer = 0;
      });
    }
  }

  void ChangeStyle(int type, const std::function<void(LeaderStyle&)>& change) {
    LeaderStyle style = Config().LeaderStyles[type];
    change(style);
    Config().LeaderStyles[type] = style;
  }
  void UseType(int type) { Config().LeaderType = type; }

  static std::vector<Point> Vertices(const host::Object& o) {
    return host::get<host::LinesetData>(o.data).points;
  }
  // Picks one leader from `arrow` to `note`.
  void Leader(Point arrow, Point note) {
    user.Point(arrow.x, arrow.y);
    user.Point(note.x, note.y);
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> texts;
    for (const auto& m : user.messages) texts.push_back(m.caption + ": " + m.text);
    return texts;
  }
  void WriteSymbol(const std::string& name) {
    std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
    WriteFile("C:\\TRACELON\\SYMBOLS\\" + name,
              "TRACELON SYMBOL 1\nLINE 0 0 12 3 12 -3 0 0\nLINE 0 0 12 0\n");
  }
};

TEST_F(LeaderCommandTest, StraightLeaderWithoutExtensionIsOneSegmentWithItsArrowhead) {
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(Vertices(objects[0]), (std::vector<Point>{{0, 0}, {300000, 100000}}));
  // The arrowhead opens 90 degrees around the leader's direction (18.43 degrees): its lines end
  // 1000 away at 63.43 and -26.57 degrees, and carry the weight.
  EXPECT_EQ(Vertices(objects[1]), (std::vector<Point>{{447, 894}, {0, 0}, {894, -447}}));
  EXPECT_EQ(host::get<host::LinesetData>(objects[1].data).weight, 3);
  EXPECT_EQ(user.prompts, (std::vector<std::string>{kArrowPrompt, kNotePrompt, kArrowPrompt}));
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(Host().CallbackTitle(), "QX Leader");
  EXPECT_EQ(State().forms->dlgQXText->Caption(), kAutoTextCaption);
}

TEST_F(LeaderCommandTest, ElbowLiesBackTowardTheArrowForType1AndBeyondTheNoteForType2) {
  for (int type : {kLineLeader, kReverseLineLeader}) {
    ChangeStyle(type, [](LeaderStyle& s) { s.Extension = 20000; });
  }
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  Leader({0, 0}, {-300000, 100000});
  QXLeader();
  UseType(kReverseLineLeader);
  Leader({0, 0}, {300000, 100000});
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 6u);
  EXPECT_EQ(Vertices(objects[0]), (std::vector<Point>{{0, 0}, {280000, 100000}, {300000, 100000}}));
  EXPECT_EQ(Vertices(objects[2]),
            (std::vector<Point>{{0, 0}, {-280000, 100000}, {-300000, 100000}}));
  EXPECT_EQ(Vertices(objects[4]), (std::vector<Point>{{0, 0}, {320000, 100000}, {300000, 100000}}));
}

TEST_F(LeaderCommandTest, SnapToTextEndsBesideTheTextAndSwapsTheLineTypesOverIt) {
  const int32_t id = Host().AddText({400000, 100000}, "NOTE", 72000, 1);
  HsiObjectInfo info{};
  ASSERT_EQ(HsiObjInfo(id, &info), HSI_SUCCESS);
  const int32_t x1 = info.head.x1, x2 = info.head.x2, y2 = info.head.y2;
  const int32_t h = info.text.size;
  ASSERT_LT(x1 + 2, x2);
  ChangeStyle(kLineLeader, [](LeaderStyle& s) {
    s.NoteOption = kSnapToText;
    s.Extension = 20000;
  });
  UseType(kLineLeader);
  const Point onText{400000, 100000};
  Leader({x1 - 100000, 0}, onText);        // left of the text: no swap
  Leader({(x1 + x2) / 2 + 1, 0}, onText);  // over the text: behaves as type 2
  Leader({x2, 0}, onText);                 // at its right end exactly: no swap
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 7u);  // the text, then a leader and its arrowhead each
  const Point leftEnd{x1 - h / 3, y2 + h / 2};
  const Point rightEnd{x2 + h / 3, y2 + h / 2};
  EXPECT_EQ(Vertices(objects[1]),
            (std::vector<Point>{{x1 - 100000, 0}, {leftEnd.x - 20000, leftEnd.y}, leftEnd}));
  // Text left of the arrow: its right end; swapped to type 2, the extension runs on to the right.
  EXPECT_EQ(
      Vertices(objects[3]),
      (std::vector<Point>{{(x1 + x2) / 2 + 1, 0}, {rightEnd.x + 20000, rightEnd.y}, rightEnd}));
  EXPECT_EQ(Vertices(objects[5]),
            (std::vector<Point>{{x2, 0}, {rightEnd.x - 20000, rightEnd.y}, rightEnd}));
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(LeaderCommandTest, SnapWithNoTextWarnsDrawsNothingAndGoesOn) {
  Host().AddText({400000, 100000}, "NOTE", 72000, 1);
  ChangeStyle(kLineLeader, [](LeaderStyle& s) { s.NoteOption = kSnapToText; });
  UseType(kLineLeader);
  Leader({0, 0}, {0, 900000});  // nothing there
  Leader({0, 0}, {400000, 100000});
  QXLeader();

  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(user.messages[0].text, kNoTextAtNote);
  EXPECT_EQ(FinalObjects().size(), 3u);  // the text and the second leader with its arrowhead
}

TEST_F(LeaderCommandTest, MissingArrowheadSymbolShowsItsErrorAndTheLeaderLinesStay) {
  ChangeStyle(kLineLeader, [](LeaderStyle& s) {
    s.ArrowheadType = kSymbolArrowhead;
    s.ArrowSymbol.Set("NOSUCH.SYM");
  });
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  Leader({0, 0}, {300000, -100000});
  QXLeader();

  EXPECT_EQ(Errors(),
            (std::vector<std::string>(2, std::string("QX Tools (Error!): ") + kNoArrowheadSymbol)));
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].Kind(), host::ObjectKind::Lineset);
  EXPECT_EQ(objects[1].Kind(), host::ObjectKind::Lineset);
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(LeaderCommandTest, SymbolArrowheadIsLoadedOnceAndTurnedAlongTheLeader) {
  WriteSymbol("ARROW.SYM");
  ChangeStyle(kLineLeader, [](LeaderStyle& s) {
    s.ArrowheadType = kSymbolArrowhead;
    s.ArrowSymbol.Set("ARROW.SYM");
  });
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 300000});
  Leader({0, 0}, {-300000, 0});
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 4u);
  const auto& first = host::get<host::SymbolData>(objects[1].data);
  EXPECT_EQ(objects[1].at, (Point{0, 0}));
  EXPECT_NEAR(first.rotation, 45.0, 1e-9);
  EXPECT_NEAR(first.rotationY, 45.0, 1e-9);
  EXPECT_NEAR(first.rotationZ, 45.0, 1e-9);
  EXPECT_DOUBLE_EQ(first.scaleX, 1.0);
  EXPECT_NEAR(host::get<host::SymbolData>(objects[3].data).rotation, 180.0, 1e-9);
  EXPECT_EQ(Host().CallsTo("HsiLoadSymFile").size(), 1u);  // found the second time
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(LeaderCommandTest, ArcLeaderForTheHandWorkedCase) {
  ChangeStyle(kArcLeader, [](LeaderStyle& s) { s.Extension = 96000; });
  UseType(kArcLeader);
  // N = (864000, 384000) with a 96000 extension back toward the arrow puts E at (768000, 384000).
  Leader({0, 0}, {864000, 384000});
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(Vertices(objects[0]), (std::vector<Point>{{864000, 384000}, {768000, 384000}}));
  ASSERT_EQ(objects[1].Kind(), host::ObjectKind::Arc);
  const auto& arc = host::get<host::ArcData>(objects[1].data);
  EXPECT_EQ(objects[1].at, (Point{768000, -576000}));
  EXPECT_EQ(arc.radius, 960000);
  EXPECT_EQ(arc.start, (Point{768000, 384000}));
  EXPECT_EQ(arc.end, (Point{0, 0}));
  // The drawn arrowhead follows the arc near A (about 52 degrees), not the chord (26.6).
  const auto head = Vertices(objects[2]);
  ASSERT_EQ(head.size(), 3u);
  const double middle = std::atan2(double(head[0].y + head[2].y), double(head[0].x + head[2].x));
  EXPECT_NEAR(middle * 180 / 3.14159265358979, 52.3, 0.5);
}

TEST_F(LeaderCommandTest, LevelOrVerticalArcPicksDrawAStraightLeader) {
  UseType(kArcLeader);
  Leader({0, 0}, {500000, 0});
  Leader({0, 0}, {0, 500000});
  QXLeader();

  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(Vertices(objects[0]), (std::vector<Point>{{0, 0}, {500000, 0}}));
  EXPECT_EQ(Vertices(objects[2]), (std::vector<Point>{{0, 0}, {0, 500000}}));
  // The arrowheads point along the segments.
  EXPECT_EQ(Vertices(objects[1]), (std::vector<Point>{{707, 707}, {0, 0}, {707, -707}}));
  EXPECT_EQ(Vertices(objects[3]), (std::vector<Point>{{-707, 707}, {0, 0}, {707, 707}}));
}

TEST_F(LeaderCommandTest, NotesLayerIsActiveOnlyWhileTheNoteIsWritten) {
  Host().SetActiveLayer(5);
  std::vector<int> activeInDialog;
  auto writeNote = [&](platform::Form& form) {
    activeInDialog.push_back(Host().ActiveLayer());
    act::SetText(form, "mmText", {"NOTE"});
    act::Click(form, "OK");
  };
  ChangeStyle(kLineLeader, [](LeaderStyle& s) { s.NoteOption = kAutoText; });
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  user.formActions.push_back(writeNote);
  user.Point(310000, 100000);
  QXLeader();
  ChangeStyle(kLineLeader, [](LeaderStyle& s) { s.NotesLayer = 40; });
  Leader({0, 0}, {300000, -100000});
  user.formActions.push_back(writeNote);
  user.Point(310000, -100000);
  QXLeader();

  EXPECT_EQ(activeInDialog, (std::vector<int>{5, 40}));
  EXPECT_EQ(Host().ActiveLayer(), 5);
  std::vector<int> textLayers;
  for (const auto& o : FinalObjects()) {
    if (o.Kind() == host::ObjectKind::Text) textLayers.push_back(o.layer);
  }
  EXPECT_EQ(textLayers, (std::vector<int>{5, 40}));
}

TEST_F(LeaderCommandTest, CancelledNoteGoesOnAndCancelledPlacementEnds) {
  Config().LeaderDialogAfter = 1;
  ChangeStyle(kLineLeader, [](LeaderStyle& s) { s.NoteOption = kAutoText; });
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Cancel"); });
  Leader({0, 0}, {300000, -100000});
  user.formActions.push_back([](platform::Form& form) {
    act::SetText(form, "mmText", {"NOTE"});
    act::Click(form, "OK");
  });
  user.Reply(host::PointReply::Kind::Escape);  // the placement point
  QXLeader();

  // Neither note was placed; the cancelled placement ended the command without the settings.
  EXPECT_EQ(user.formsShown, (std::vector<std::string>{"TdlgQXText", "TdlgQXText"}));
  EXPECT_EQ(user.prompts.back(), kPlacementPrompt);
  EXPECT_EQ(FinalObjects().size(), 4u);
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(LeaderCommandTest, B2OffersTheSettingsAndOkGoesOnWhileEscapeEnds) {
  Config().LeaderDialogAfter = 1;
  UseType(kLineLeader);
  Leader({0, 0}, {300000, 100000});
  user.Reply(host::PointReply::Kind::Button2);
  user.formActions.push_back([](platform::Form& form) {
    act::Select(form, "rGrpLeaderType", "Line with reverse extension");
    act::SetText(form, "txtExtension", {"1/8\""});
    act::Click(form, "OK");
  });
  Leader({0, 0}, {300000, 100000});
  user.Reply(host::PointReply::Kind::Escape);
  QXLeader();

  EXPECT_EQ(user.formsShown, std::vector<std::string>{"TdlgQXLeader"});
  const auto objects = FinalObjects();
  ASSERT_EQ(objects.size(), 4u);
  // The second leader uses the settings chosen: type 2 with an extension of 1/8".
  EXPECT_EQ(Vertices(objects[2]), (std::vector<Point>{{0, 0}, {396000, 100000}, {300000, 100000}}));
  EXPECT_EQ(State().RunningTool, 0);
}

TEST_F(LeaderCommandTest, CancelledDialogBeforeAndRefusalDrawNothing) {
  Config().LeaderDialogBefore = 1;
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Cancel"); });
  QXLeader();
  EXPECT_TRUE(user.prompts.empty());
  EXPECT_EQ(State().RunningTool, 0);
  const int updates = Host().StatusLineUpdates();
  EXPECT_GE(updates, 1);

  // Any running interlocked tool refuses the leader command, whatever its code.
  State().RunningTool = 4;
  QXLeader();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "You cannot run QX Leader when another QX Tool is already running."});
  EXPECT_EQ(State().RunningTool, 4);
  EXPECT_EQ(Host().StatusLineUpdates(), updates);
  EXPECT_EQ(user.formsShown.size(), 1u);
  State().RunningTool = 0;
}

TEST_F(LeaderCommandTest, StoredLeaderTypeOutsideItsRangeUsesTheNearestType) {
  EXPECT_EQ(LeaderTypeOf(-7), kArcLeader);
  EXPECT_EQ(LeaderTypeOf(9), kReverseLineLeader);
  Config().LeaderType = 1000;
  ChangeStyle(kReverseLineLeader, [](LeaderStyle& s) { s.Extension = 1000; });
  Leader({0, 0}, {300000, 100000});
  QXLeader();
  ASSERT_FALSE(FinalObjects().empty());
  EXPECT_EQ(Vertices(FinalObjects()[0]),
            (std::vector<Point>{{0, 0}, {301000, 100000}, {300000, 100000}}));
}

}  // namespace
}  // namespace qxt
