// The session engine against the real platform: forms, boxes and dialogs are shown by the
// program under test (here: small exports written in the test) and answered from the script.
#include "user/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "host/host.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace user {
namespace {

using platform::MsgButtons;
using platform::MsgResult;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Reset();
    dialog = std::make_unique<platform::Form>("TdlgName", "Name");
    auto& edit = dialog->Add<platform::Edit>("txtName");
    edit.SetBounds(10, 10, 100, 21);
    auto& ok = dialog->Add<platform::Button>("btnOK");
    ok.SetCaption("&OK");
    ok.modalResult = platform::ModalResult::OK;
    auto& cancel = dialog->Add<platform::Button>("btnCancel");
    cancel.SetCaption("Cancel");
    cancel.modalResult = platform::ModalResult::Cancel;
    session.SetExports(&exports);
    session.Attach();
  }
  void TearDown() override {
    session.Detach();
    dialog.reset();
    palette.reset();
    platform::Reset();
  }

  // Plays and returns the error, or "" when the session passed.
  std::string PlayError() {
    try {
      session.Play();
    } catch (const SessionError& e) {
      return e.Message();
    }
    return "";
  }

  std::string Transcript() const { return session.TranscriptText(); }

  Session session;
  FunctionExports exports;
  std::unique_ptr<platform::Form> dialog;
  std::unique_ptr<platform::Form> palette;
};

TEST_F(SessionTest, AnswersAFormAPointAndABoxInOrder) {
  std::string typed;
  host::PointReply reply;
  exports.Add("Name", [&](const std::vector<std::string>&) {
    if (dialog->ShowModal() != platform::ModalResult::OK) return std::string();
    typed = dialog->Find<platform::Edit>("txtName")->Text();
    reply = session.Ask(host::RequestKind::Point, "Where?");
    platform::MessageBox("Placed " + typed, "Name");
    return std::string();
  });
  session.Run("Name")
      .Form("TdlgName")
      .Set("txtName", "Hall")
      .Expect("btnOK", "OK")
      .Click("OK")
      .End()
      .Point(100, -200)
      .ExpectMessage("Name", "Placed Hall")
      .ExpectNoMessage();
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(typed, "Hall");
  EXPECT_EQ(reply.kind, host::PointReply::Kind::Point);
  EXPECT_EQ(reply.x, 100);
  EXPECT_EQ(reply.y, -200);
  EXPECT_EQ(Transcript(),
            "> run Name\n"
            "  ? form TdlgName \"Name\"\n"
            "    > set txtName \"Hall\"\n"
            "    > expect btnOK \"OK\"\n"
            "    > click OK\n"
            "  form TdlgName \"Name\" closed: OK\n"
            "  ? point \"Where?\"\n"
            "  > point 100 -200\n"
            "  message \"Name\" \"Placed Hall\"\n");
}

TEST_F(SessionTest, AWrongAnswerNamesTheLineAndTheQuestion) {
  exports.Add("Ask", [&](const std::vector<std::string>&) {
    session.Ask(host::RequestKind::Point, "Select text placement point...");
    return std::string();
  });
  session.Line("run Ask").Line("answer Yes");
  std::string error = PlayError();
  EXPECT_NE(error.find("<session>:2"), std::string::npos) << error;
  EXPECT_NE(error.find("answer Yes"), std::string::npos) << error;
  EXPECT_NE(error.find("the host asks for a point: \"Select text placement point...\""),
            std::string::npos)
      << error;
}

TEST_F(SessionTest, TheScriptEndingWhileAskedIsAnError) {
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  session.Line("run Show");
  std::string error = PlayError();
  EXPECT_NE(error.find("<session>:1: the script ends here"), std::string::npos) << error;
  EXPECT_NE(error.find("TdlgName \"Name\" is shown and waits"), std::string::npos) << error;
}

TEST_F(SessionTest, AnAnswerWithNothingAskedIsAnError) {
  session.Line("point 1 2");
  EXPECT_NE(PlayError().find("answers nothing"), std::string::npos);
}

TEST_F(SessionTest, MessageBoxesNeedAnAnswerOnlyWhenTheyHaveChoices) {
  MsgResult result = MsgResult::None;
  exports.Add("Ask", [&](const std::vector<std::string>&) {
    platform::MessageBox("Saved.", "Info");
    result = platform::MessageBox("Delete it?", "Confirm", platform::MsgIcon::Question,
                                  MsgButtons::YesNo);
    return std::string();
  });
  session.Line("run Ask").Line("answer No").Line("expect message \"Info\" \"Saved.\"");
  session.Line("expect message \"Confirm\" \"Delete\" prefix");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(result, MsgResult::No);
  EXPECT_NE(Transcript().find("? message \"Confirm\" \"Delete it?\" Yes/No\n  > answer No"),
            std::string::npos)
      << Transcript();
}

TEST_F(SessionTest, AnAnswerTheBoxDoesNotOfferIsRefused) {
  exports.Add("Ask", [&](const std::vector<std::string>&) {
    platform::MessageBox("Go on?", "Q", platform::MsgIcon::Question, MsgButtons::YesNo);
    return std::string();
  });
  session.Line("run Ask").Line("answer OK");
  std::string error = PlayError();
  EXPECT_NE(error.find("buttons are Yes/No"), std::string::npos) << error;
}

TEST_F(SessionTest, ExpectationsThatDoNotHoldFailTheSession) {
  exports.Add("Box", [&](const std::vector<std::string>&) {
    platform::Beep(platform::BeepKind::Exclamation);
    platform::MessageBox("Bad value", "Warn");
    return std::string();
  });
  session.Line("run Box").Line("expect beep error");
  EXPECT_NE(PlayError().find("the beep was exclamation"), std::string::npos);

  Session other;
  other.SetExports(&exports);
  other.Attach();
  other.Line("run Box").Line("expect no message");
  try {
    other.Play();
    FAIL() << "an unexpected box passed";
  } catch (const SessionError& e) {
    EXPECT_NE(e.Message().find("\"Warn\" \"Bad value\" was shown"), std::string::npos);
  }
  other.Detach();
}

TEST_F(SessionTest, ARunDuringAPointRequestIsCalledFromTheWait) {
  std::vector<std::string> order;
  exports.Add("Tool", [&](const std::vector<std::string>&) {
    order.push_back("tool asks");
    auto reply = session.Ask(host::RequestKind::Point, "Point?");
    order.push_back("tool got " + std::to_string(reply.x));
    return std::string();
  });
  exports.Add("Other", [&](const std::vector<std::string>& args) {
    order.push_back("other " + args.at(0));
    return std::string("done");
  });
  session.Line("run Tool").Line("run Other \"x\"").Line("point 7 8");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(order, (std::vector<std::string>{"tool asks", "other x", "tool got 7"}));
  EXPECT_NE(Transcript().find("  > run Other \"x\"\n    = done\n  > point 7 8"), std::string::npos)
      << Transcript();
}

TEST_F(SessionTest, ModelessWindowsAreAddressedWhileTheProgramWaits) {
  palette = std::make_unique<platform::Form>("TfrmPalette", "Palette");
  int clicks = 0;
  auto& button = palette->Add<platform::Button>("btnGo");
  button.SetCaption("Go");
  button.OnClick = [&](platform::Control&) { ++clicks; };
  exports.Add("Open", [&](const std::vector<std::string>&) {
    palette->Show();
    return std::string();
  });
  exports.Add("Wait", [&](const std::vector<std::string>&) {
    session.Ask(host::RequestKind::Point, "Point?");
    return std::string();
  });
  session.Line("run Open")
      .Line("form Palette")
      .Line("  click Go")
      .Line("run Wait")
      .Line("form TfrmPalette")
      .Line("  click btnGo")
      .Line("escape");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(clicks, 2);

  session.Line("form TdlgName");  // never shown
  EXPECT_NE(PlayError().find("no window \"TdlgName\" is shown"), std::string::npos);
}

TEST_F(SessionTest, AWindowThatReleasedItselfIsNoLongerActedOn) {
  // The window is made anew by each command and frees itself from its Close click; the block's
  // next line must find it gone rather than act on freed memory.
  exports.Add("Tool", [&](const std::vector<std::string>&) {
    auto* tool = new platform::Form("TfrmTool", "Tool");
    auto& close = tool->Add<platform::Button>("btnClose");
    close.SetCaption("&Close");
    close.OnClick = [tool](platform::Control&) { tool->Release(); };
    tool->Show();
    return std::string();
  });
  session.Line("run Tool").Line("form Tool").Line("  click Close").Line("  click Close");
  std::string error = PlayError();
  EXPECT_NE(error.find("<session>:4"), std::string::npos) << error;
  EXPECT_NE(error.find("which is not shown now"), std::string::npos) << error;
  EXPECT_EQ(platform::ReleasedFormCount(), 0);
  EXPECT_TRUE(platform::ShownForms().empty());
}

TEST_F(SessionTest, AFormThatHidesAndShowsAgainKeepsItsBlock) {
  auto& load = dialog->Add<platform::Button>("btnLoad");
  load.SetCaption("Load");
  load.OnClick = [&](platform::Control&) {
    dialog->Hide();
    platform::MessageBox("Loaded.", "Browser");
    dialog->Show();
  };
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  session.Line("run Show")
      .Line("form TdlgName")
      .Line("  click Load")
      .Line("  set txtName \"DOOR\"")
      .Line("  click OK");
  ASSERT_EQ(PlayError(), "");
  EXPECT_NE(Transcript().find("message \"Browser\" \"Loaded.\""), std::string::npos);
  EXPECT_NE(Transcript().find("closed: OK"), std::string::npos) << Transcript();
}

TEST_F(SessionTest, ALocaleLineSetsTheNumberFormat) {
  std::vector<std::string> got;
  exports.Add("Area", [&](const std::vector<std::string>&) {
    got.push_back(platform::FormatNumber(1234567.891, 2));
    return std::string();
  });
  session.Line("run Area")
      .Line("locale thousands \".\" decimal \",\"")
      .Line("run Area")
      .Line("locale thousands \"\"")
      .Line("run Area");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(got, (std::vector<std::string>{"1,234,567.89", "1.234.567,89", "1234567,89"}));
  EXPECT_NE(Transcript().find("> locale thousands \".\" decimal \",\""), std::string::npos);
}

TEST_F(SessionTest, MachineLinesChangeTheFilesAndDrivesAndSayWhenTheyCannot) {
  const std::filesystem::path root =
      std::filesystem::path(::testing::TempDir()) / "qxt-session-machine";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "C" / "DATA");
  platform::SetRoot(root);
  platform::WriteWholeFile("C:\\DATA\\LIST.DAT", std::string(100, 'x'));
  platform::WriteWholeFile("C:\\DATA\\OLD.DAT", "old");
  std::vector<std::int64_t> free;
  exports.Add("Free", [&](const std::vector<std::string>&) {
    free.push_back(platform::DiskFree('C'));
    return std::string();
  });
  session.Line("truncate \"C:\\\\DATA\\\\LIST.DAT\" 40")
      .Line("delete \"C:\\\\DATA\\\\OLD.DAT\"")
      .Line("disk C free 10")
      .Line("run Free")
      .Line("disk C full")
      .Line("run Free")
      .Line("disk C unlimited")
      .Line("delete \"C:\\\\DATA\\\\OLD.DAT\"");
  const std::string error = PlayError();
  EXPECT_EQ(platform::FileSizeOf("C:\\DATA\\LIST.DAT").value_or(0), 40u);
  EXPECT_FALSE(platform::FileExists("C:\\DATA\\OLD.DAT"));
  EXPECT_EQ(free, (std::vector<std::int64_t>{10, 0}));
  EXPECT_GT(platform::DiskFree('C'), 0);
  // A file that is not there cannot be deleted again: the session says so at that line.
  EXPECT_NE(error.find("<session>:8: there is no file C:\\DATA\\OLD.DAT to delete"),
            std::string::npos)
      << error;
  std::filesystem::remove_all(root);
}

TEST_F(SessionTest, ADrawingTheHostRefusesIsNamedWithTheReason) {
  const std::filesystem::path root =
      std::filesystem::path(::testing::TempDir()) / "qxt-session-open";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "C" / "DATA");
  platform::SetRoot(root);
  platform::WriteWholeFile("C:\\DATA\\PLAN.VWF", "{");
  host::Host::Start();
  session.Line("host open \"C:\\\\DATA\\\\PLAN.VWF\"");
  const std::string error = PlayError();
  host::Host::Stop();
  EXPECT_NE(error.find("the host refused: the drawing C:\\DATA\\PLAN.VWF: "
                       "C:\\DATA\\PLAN.VWF: not a drawing file (bad JSON)"),
            std::string::npos)
      << error;
  std::filesystem::remove_all(root);
}

// A script read as a stream, played with the transcript only echoed, writes what the same script
// read whole writes: with lines played between commands let go of, with the lines a command's
// waits read ahead, and with an expectation and a block whose lines were played long before.
TEST_F(SessionTest, AStreamedScriptPlaysAsTheWholeOne) {
  const std::filesystem::path path =
      std::filesystem::path(::testing::TempDir()) / "qxt-session-streamed.session";
  {
    std::ofstream out(path, std::ios::binary);
    out << "expect form TdlgName\n";
    for (int i = 0; i < 50; ++i) out << "host line " << i << " 0 " << i << " 100\n";
    out << "run Show\nform TdlgName\n  set txtName \"Hall\"\n  click OK\n";
    for (int i = 0; i < 50; ++i) out << "host line 0 " << i << " 100 " << i << "\n";
    out << "run Ask\nhost line 1 1 2 2\npoint 5 6\n";
  }
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  exports.Add("Ask", [&](const std::vector<std::string>&) {
    host::PointReply reply = host::Host::Current()->Ask(host::RequestKind::Point, "Where?");
    return std::to_string(reply.x) + "," + std::to_string(reply.y);
  });
  session.Detach();
  auto play = [&](Script script, bool keep, std::string* echoed) {
    host::Host::Start();
    Session played(std::move(script));
    played.SetExports(&exports);
    played.KeepTranscript(keep);
    played.SetEcho([&](const std::string& line) { *echoed += line + "\n"; });
    played.Attach();
    std::string error;
    try {
      played.Play();
    } catch (const SessionError& e) {
      error = e.Message();
    }
    played.Detach();
    host::Host::Stop();
    EXPECT_EQ(error, "");
    EXPECT_TRUE(played.Finished());
    return played.TranscriptText();
  };
  Script whole = Script::Load(path);
  whole.Translate(10, 20);
  std::string wholeEchoed, streamedEchoed;
  const std::string kept = play(std::move(whole), true, &wholeEchoed);
  EXPECT_EQ(play(Script::Open(path, 10, 20), false, &streamedEchoed), "") << "nothing kept";
  EXPECT_EQ(kept, wholeEchoed);
  EXPECT_EQ(streamedEchoed, kept);
  EXPECT_NE(kept.find("> host line 10 69 110 69"), std::string::npos) << kept;
  EXPECT_NE(kept.find("= 15,26"), std::string::npos) << kept;
  session.Attach();
  std::filesystem::remove(path);
}

TEST_F(SessionTest, EachShowingOfAFormNeedsItsOwnBlock) {
  exports.Add("Twice", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    dialog->ShowModal();
    return std::string();
  });
  session.Line("run Twice").Line("form TdlgName").Line("  click OK").Line("  click Cancel");
  std::string error = PlayError();
  EXPECT_NE(error.find("<session>:4"), std::string::npos) << error;
  EXPECT_NE(error.find("start a block"), std::string::npos) << error;
}

TEST_F(SessionTest, ABlockMustNameTheFormShown) {
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  session.Line("run Show").Line("form TdlgOther").Line("  click OK");
  EXPECT_NE(PlayError().find("\"form TdlgOther\" does not match"), std::string::npos);
}

TEST_F(SessionTest, ExpectFormIsCheckedWhenTheFormShows) {
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  session.Line("expect form TdlgOther").Line("run Show");
  EXPECT_NE(PlayError().find("TdlgOther was to be shown next"), std::string::npos);

  Session unmet;
  unmet.Attach();
  unmet.Line("expect form TdlgName");
  try {
    unmet.Play();
    FAIL() << "an expected form that never showed passed";
  } catch (const SessionError& e) {
    EXPECT_NE(e.Message().find("never shown"), std::string::npos);
  }
  unmet.Detach();
}

TEST_F(SessionTest, AFailureSurvivesProgramCodeThatSwallowsErrors) {
  int asked = 0;
  exports.Add("Stubborn", [&](const std::vector<std::string>&) {
    for (int i = 0; i < 3; ++i) {
      try {
        ++asked;
        if (session.Ask(host::RequestKind::Point, "P").kind == host::PointReply::Kind::Escape) {
          break;
        }
      } catch (const std::exception&) {
        ADD_FAILURE() << "a session error is not a std::exception";
      } catch (...) {
        // swallowed, as careless program code might
      }
    }
    return std::string();
  });
  session.Line("run Stubborn").Line("answer Yes").Line("point 1 1");
  std::string error = PlayError();
  EXPECT_NE(error.find("<session>:2"), std::string::npos) << error;
  EXPECT_EQ(asked, 2) << "after the failure a question is cancelled, not asked again";
}

TEST_F(SessionTest, CommonDialogsTakeTheirAnswers) {
  std::vector<std::string> got;
  exports.Add("Dialogs", [&](const std::vector<std::string>&) {
    platform::OpenDialog open;
    open.title = "Pick";
    got.push_back(open.Execute() ? open.fileName : "cancelled");
    std::string folder;
    got.push_back(platform::SelectDirectory("Where", folder) ? folder : "cancelled");
    std::string value = "old";
    got.push_back(platform::InputQuery("Name", "Type it", value) ? value : "cancelled");
    platform::FontDialog font;
    got.push_back(font.Execute() ? font.font.name + " " + std::to_string(font.font.size) +
                                       (font.font.bold ? " bold" : "")
                                 : "cancelled");
    return std::string();
  });
  platform::SetRoot(::testing::TempDir());
  session.Line("run Dialogs")
      .Line("file cancel")
      .Line("folder cancel")
      .Line("input \"A \\\"B\\\"\"")
      .Line("font \"Arial\" 12 bold");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(got, (std::vector<std::string>{"cancelled", "cancelled", "A \"B\"", "Arial 12 bold"}));
}

TEST_F(SessionTest, WaitAdvancesTheClockAndTimersFire) {
  palette = std::make_unique<platform::Form>("TfrmTimed", "Timed");
  int ticks = 0;
  auto& timer = palette->AddTimer("tmrTick");
  timer.OnTimer = [&](platform::Timer&) { ++ticks; };
  timer.SetInterval(250);
  timer.SetEnabled(true);
  session.Line("wait 1000");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(platform::Clock(), 1000);
  EXPECT_EQ(ticks, 4);
}

TEST_F(SessionTest, APromptIsWrittenOnceWithItsQuestion) {
  exports.Add("Ask", [&](const std::vector<std::string>&) {
    session.OnHostEvent({host::HostEvent::Kind::Prompt, "First"});
    session.OnHostEvent({host::HostEvent::Kind::Prompt, "Pick"});
    session.Ask(host::RequestKind::Pick, "Pick");
    session.OnHostEvent({host::HostEvent::Kind::CommandStarted, "", 1139});
    return std::string();
  });
  session.Line("run Ask").Line("pick 5 5").Line("expect prompt \"Pick\"");
  session.Line("expect command 1139").Line("expect no command");
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(Transcript(),
            "> run Ask\n"
            "  prompt \"First\"\n"
            "  ? pick \"Pick\"\n"
            "  > pick 5 5\n"
            "  host command 1139\n");
}

}  // namespace
}  // namespace user

namespace user {
namespace {

// ---- A live session: lines from a source, refused ones taken back ----

namespace live {

// Hands out the given lines one by one and notes every question asked.
struct Feeder {
  std::vector<std::string> lines;
  size_t next = 0;
  std::vector<Question> asked;
  std::optional<std::string> operator()(const Question& question) {
    asked.push_back(question);
    if (next >= lines.size()) return std::nullopt;
    return lines[next++];
  }
};

}  // namespace live

TEST_F(SessionTest, ALiveSessionTakesBackWhatCannotBeDoneAndGoesOn) {
  host::PointReply reply;
  exports.Add("Name", [&](const std::vector<std::string>&) {
    if (dialog->ShowModal() != platform::ModalResult::OK) return std::string();
    reply = session.Ask(host::RequestKind::Point, "Where?");
    return std::string();
  });
  auto feeder = std::make_shared<live::Feeder>();
  feeder->lines = {
      "point 1 2",               // answers nothing: refused
      "run Name",                //
      "answer Yes",              // the form waits: refused
      "form TdlgName",           //
      "  set txtMissing \"x\"",  // no such control: refused, nothing recorded
      "  set txtName \"Hall\"",  //
      "",                        // nothing to do: refused
      "  click btnOK",           //
      "point 5 \"six\"",         // malformed: refused
      "point 5 6",               //
  };
  session.SetLineSource([feeder](const Question& q) { return (*feeder)(q); });
  ASSERT_EQ(PlayError(), "");
  EXPECT_EQ(reply.x, 5);
  EXPECT_EQ(reply.y, 6);
  EXPECT_EQ(dialog->Find<platform::Edit>("txtName")->Text(), "Hall");

  const auto& asked = feeder->asked;
  ASSERT_EQ(asked.size(), feeder->lines.size() + 1);
  EXPECT_EQ(asked[0].kind, "command");
  EXPECT_NE(asked[1].refusal.find("answers nothing"), std::string::npos) << asked[1].refusal;
  EXPECT_EQ(asked[2].kind, "form");
  EXPECT_EQ(asked[2].form, dialog.get());
  EXPECT_EQ(asked[2].refusal, "");
  EXPECT_NE(asked[3].refusal.find("does not answer"), std::string::npos) << asked[3].refusal;
  EXPECT_NE(asked[5].refusal.find("txtMissing"), std::string::npos) << asked[5].refusal;
  EXPECT_NE(asked[7].refusal.find("nothing to do"), std::string::npos) << asked[7].refusal;
  EXPECT_EQ(asked[8].kind, "point");
  ASSERT_EQ(asked[8].details.size(), 1u);
  EXPECT_EQ(asked[8].details[0], std::make_pair(std::string("prompt"), std::string("Where?")));
  EXPECT_FALSE(asked[9].refusal.empty());
  EXPECT_EQ(asked[10].kind, "command");

  // Only what took effect is in the transcript and in the session played.
  EXPECT_EQ(Transcript(),
            "> run Name\n"
            "  ? form TdlgName \"Name\"\n"
            "    > set txtName \"Hall\"\n"
            "    > click btnOK\n"
            "  form TdlgName \"Name\" closed: OK\n"
            "  ? point \"Where?\"\n"
            "  > point 5 6\n");
  EXPECT_EQ(session.PlayedText(),
            "run Name\n"
            "form TdlgName\n"
            "  set txtName \"Hall\"\n"
            "  click btnOK\n"
            "point 5 6\n");
}

TEST_F(SessionTest, TheSessionALiveSourceMadePlaysAgainTheSameWay) {
  std::vector<std::string> names;
  exports.Add("Name", [&](const std::vector<std::string>&) {
    if (dialog->ShowModal() == platform::ModalResult::OK) {
      names.push_back(dialog->Find<platform::Edit>("txtName")->Text());
    }
    return std::string();
  });
  auto feeder = std::make_shared<live::Feeder>();
  feeder->lines = {"run Name", "form TdlgName", "  set txtName \"A \\\"B\\\" C:\\\\D\"",
                   "  click nothing", "  click btnOK"};
  session.SetLineSource([feeder](const Question& q) { return (*feeder)(q); });
  ASSERT_EQ(PlayError(), "");
  std::string played = session.PlayedText();
  std::string transcript = Transcript();

  session.Detach();
  dialog->Find<platform::Edit>("txtName")->SetText("");
  Session replay(Script::Parse(played, "saved.session"));
  replay.SetExports(&exports);
  replay.Attach();
  replay.Play();
  replay.Detach();
  session.Attach();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "A \"B\" C:\\D");
  EXPECT_EQ(names[1], names[0]);
  EXPECT_EQ(replay.TranscriptText(), transcript);
}

TEST_F(SessionTest, ALiveSourceThatEndsWhileAskedEndsTheSessionWithAFailure) {
  exports.Add("Show", [&](const std::vector<std::string>&) {
    dialog->ShowModal();
    return std::string();
  });
  auto feeder = std::make_shared<live::Feeder>();
  feeder->lines = {"run Show"};
  session.SetLineSource([feeder](const Question& q) { return (*feeder)(q); });
  std::string error = PlayError();
  EXPECT_NE(error.find("TdlgName \"Name\" is shown and waits"), std::string::npos) << error;
}

}  // namespace
}  // namespace user
