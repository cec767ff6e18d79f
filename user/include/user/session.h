// The scripted user: one ordered script cursor that answers everything the host and the windows
// ask, in order, and writes down what happened. It is the host's input source and observer and
// the platform's UI driver at once, so a session reads like what a person did.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/input.h"
#include "platform/ui_driver.h"
#include "user/exports.h"
#include "user/script.h"

namespace user {

// The session cannot go on: the next line does not answer what the program asks, the script
// ended while something was asked, or an expectation did not hold. The message names the script
// file, the line and the pending question. Deliberately not a std::exception, so that program
// code guarding its own work with `catch (const std::exception&)` lets it pass.
class SessionError {
 public:
  explicit SessionError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// What the program asks of the user at the moment a live session needs its next line.
struct Question {
  // "command" (nothing is asked: between commands), "point", "3d point", "pick", "form" (a
  // modal form), "message", "open file", "folder", "font" or "input".
  std::string kind;
  std::string description;         // "the host asks for a point: ..."
  platform::Form* form = nullptr;  // "form": the modal form shown
  // The request's own texts: "prompt"; "caption", "text", "icon", "buttons" ("Yes/No");
  // "title", "filter", "initialDir", "fileName", "mustExist"; "face", "size", "bold", "italic",
  // "underline", "strikeout", "trueTypeOnly"; "initial".
  std::vector<std::pair<std::string, std::string>> details;
  // Why the line given last was refused (nothing of it took effect); empty otherwise.
  std::string refusal;
};

// Gives a live session its next line (as `Session::Line` takes it: leading blanks indent it)
// once the script has run out; nullopt ends the session.
using LineSource = std::function<std::optional<std::string>(const Question&)>;

class Session : public host::InputSource, public host::HostObserver, public platform::UiDriver {
 public:
  Session();
  explicit Session(Script script);
  ~Session() override;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Where `run` lines go. Without a table, a `run` line fails the session.
  void SetExports(ExportTable* exports) { exports_ = exports; }

  // Makes this session the host's input source and observer and the platform's UI driver (and
  // undoes that). The destructor detaches a session that is still attached.
  void Attach();
  void Detach();

  // Plays every line not yet played, at top level (between commands). Throws SessionError.
  // At the end, checks that every `expect form` was met.
  void Play();
  // True when every line has been played.
  bool Finished() const { return !script_.Has(cursor_); }

  // Makes the session live: when the script runs out, the next line comes from `source`,
  // which may block until a person gives it. A given line that does not answer the question, or
  // that the program cannot carry out at all (no such control, an unknown export, a host set-up
  // the host refuses), is taken back as if never given, and the source is asked again with the
  // reason; it does not end the session.
  void SetLineSource(LineSource source) { source_ = std::move(source); }
  // The form the current block's lines act on (null when none).
  platform::Form* BlockForm() const { return blockForm_; }
  // The last prompt the host showed.
  const std::string& LastPrompt() const { return lastPrompt_; }
  // The script played so far, as a session file: one canonical line per line played.
  std::string PlayedText() const;

  // Also hands every transcript line, as it is recorded, to `echo` (so a crash keeps what came
  // before it). Null stops it.
  void SetEcho(std::function<void(const std::string&)> echo) { echo_ = std::move(echo); }

  // What happened, one entry per line, in order.
  const std::vector<std::string>& Transcript() const { return transcript_; }
  // Whether the transcript is kept (as at start). A session whose transcript is only echoed
  // (the host program's) keeps none: a long session does not hold it. Transcript() and
  // TranscriptText() are then empty.
  void KeepTranscript(bool keep) { keepTranscript_ = keep; }
  std::string TranscriptText() const;

  // Fluent building for tests: each call adds a script line; Play() runs them. While a form
  // block is open (after Form()), lines are added indented; End() closes the block.
  Session& Line(const std::string& text);
  Session& Host(const std::string& rest);
  Session& Run(const std::string& exportName, const std::vector<std::string>& args = {});
  Session& Point(int32_t x, int32_t y);
  Session& Point(int32_t x, int32_t y, int32_t z);
  Session& B2();
  Session& Escape();
  Session& Status(int status);
  Session& Fail();
  Session& Pick(int32_t x, int32_t y);
  Session& Form(const std::string& name);
  Session& End();
  Session& Set(const std::string& control, const std::vector<std::string>& texts);
  Session& Set(const std::string& control, const std::string& text);
  Session& Type(const std::string& control, const std::string& text);
  Session& Focus(const std::string& control);
  Session& Check(const std::string& control, bool on);
  Session& Select(const std::string& control, int index);
  Session& Select(const std::string& control, const std::string& item);
  Session& Cell(const std::string& control, int col, int row, const std::string& text);
  Session& Tab(const std::string& caption);
  Session& Click(const std::string& control);
  Session& DblClick(const std::string& control);
  Session& Close();
  Session& Expect(const std::string& control, const std::string& text);
  Session& ExpectState(const std::string& control, const std::string& state);
  Session& Answer(const std::string& button);
  Session& File(const std::optional<std::string>& path);
  Session& Folder(const std::optional<std::string>& path);
  Session& Input(const std::optional<std::string>& text);
  Session& Wait(int64_t ms);
  Session& ExpectMessage(const std::string& caption, const std::string& text, bool prefix = false);
  Session& ExpectNoMessage();
  Session& ExpectPrompt(const std::string& text);
  Session& ExpectForm(const std::string& name);
  Session& ExpectBeep(const std::string& kind);
  Session& ExpectCommand(int number);
  Session& ExpectNoCommand();
  Session& ExpectHelp(const std::string& file, const std::string& topic);

  // host::InputSource
  host::PointReply Ask(host::RequestKind kind, const std::string& prompt) override;
  // host::HostObserver
  void OnHostEvent(const host::HostEvent& event) override;
  // platform::UiDriver
  void RunModal(platform::Form& form) override;
  platform::MsgResult AskMessage(const platform::MessageBoxRequest& request) override;
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest& request) override;
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest& request) override;
  std::optional<std::string> AskFolder(const platform::FolderRequest& request) override;
  std::optional<std::string> AskInput(const platform::InputRequest& request) override;
  void OnBeep(platform::BeepKind kind) override;
  void OnHelp(const std::string& file, const std::string& topicOrContext) override;
  void OnFormShown(platform::Form& form, bool modal) override;
  void OnFormDestroyed(platform::Form& form) override;
  void OnProgramStarted(const std::string& commandLine) override;

 private:
  // What the program is waiting for while the cursor moves.
  struct Pending {
    enum class Kind {
      TopLevel,
      Point,
      Point3D,
      Pick,
      Modal,
      Message,
      OpenFile,
      Folder,
      Font,
      Input
    };
    Kind kind = Kind::TopLevel;
    std::string description;         // for messages: "the host asks for a point: ..."
    platform::Form* form = nullptr;  // Modal
    platform::MsgButtons buttons = platform::MsgButtons::OK;
    std::vector<std::pair<std::string, std::string>> details;  // for a live session's source
  };
  // A given line taken back: what it was refused for.
  struct Refusal {
    std::string message;
  };
  // A line of a live session that has not taken effect yet: a failure on it refuses it.
  struct Tentative {
    Script::Mark mark;
    size_t transcriptSize = 0;
  };
  struct Shown {
    std::string kind;  // messages: caption; beeps: kind name
    std::string text;
    bool expected = false;
  };

  Script script_;
  size_t cursor_ = 0;
  ExportTable* exports_ = nullptr;
  bool attached_ = false;
  bool fluentBlock_ = false;

  std::vector<std::string> transcript_;
  bool keepTranscript_ = true;
  size_t transcriptLines_ = 0;  // recorded so far, kept or not
  int awaiting_ = 0;            // Await calls under way
  std::function<void(const std::string&)> echo_;
  int depth_ = 0;
  std::optional<std::string> pendingPrompt_;

  std::vector<Shown> messages_;
  std::vector<Shown> beeps_;
  std::vector<std::pair<int64_t, bool>> commands_;
  std::string lastPrompt_;
  std::optional<std::pair<std::string, std::string>> lastHelp_;
  std::deque<ScriptLine> formExpectations_;
  std::vector<platform::Form*> modalForms_;
  platform::Form* blockForm_ = nullptr;  // the form the current block's lines act on
  // The line that opened the current block (a copy: a streamed script lets go of played lines).
  std::optional<ScriptLine> blockLine_;

  std::optional<std::string> failure_;  // the first error; later questions are cancelled

  LineSource source_;
  std::optional<Tentative> tentative_;
  std::string refusal_;  // why the line given last was refused, for the next question

  // Moves the cursor until a line answers `pending` (returned, consumed), running the lines that
  // do not answer anything on the way. For TopLevel, returns null at the end of the script; for
  // Modal, returns null when the form has closed.
  const ScriptLine* Await(const Pending& pending);
  // Plays the line at the cursor: the answer it gives to `pending`, or null for a line that
  // answers nothing (a set-up, a command, a form action).
  const ScriptLine* Step(const Pending& pending);
  bool Answers(const Pending& pending, const ScriptLine& line) const;
  // Asks the live source for a line and appends it; false when the source ended the session.
  bool Feed(const Pending& pending);
  // The given line has taken effect (or the program has gone on with it): it stands.
  void Committed() { tentative_.reset(); }
  [[noreturn]] void Fail(const std::string& message);
  [[noreturn]] void Mismatch(const Pending& pending, const ScriptLine& line);

  void DoRun(const ScriptLine& line);
  void DoFormHeader(const Pending& pending, const ScriptLine& line);
  void DoFormAction(const Pending& pending, const ScriptLine& line);
  void DoExpectation(const ScriptLine& line);
  void CheckFormExpectation(platform::Form& form);

  void Record(const std::string& text);
  void Write(std::string line);  // one transcript line, indented: kept and echoed
  void RecordAction(const ScriptLine& line);
  void FlushPrompt();
  Session& Add(const std::string& text);
};

// The canonical text of a script line (words joined by single spaces, texts quoted): what the
// transcript shows of a line the user played.
std::string Canonical(const ScriptLine& line);

}  // namespace user
