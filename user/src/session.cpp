#include "user/session.h"

#include <algorithm>
#include <cctype>

#include "bindings.h"
#include "platform/forms.h"

namespace user {

namespace {

using Kind = host::HostEvent::Kind;

std::string ButtonsText(platform::MsgButtons buttons) {
  switch (buttons) {
    case platform::MsgButtons::OK:
      return "OK";
    case platform::MsgButtons::OKCancel:
      return "OK/Cancel";
    case platform::MsgButtons::YesNo:
      return "Yes/No";
    case platform::MsgButtons::YesNoCancel:
      return "Yes/No/Cancel";
    case platform::MsgButtons::RetryCancel:
      return "Retry/Cancel";
    case platform::MsgButtons::AbortRetryIgnore:
      return "Abort/Retry/Ignore";
  }
  return "?";
}

std::optional<platform::MsgResult> ButtonResult(platform::MsgButtons buttons,
                                                const std::string& word) {
  using B = platform::MsgButtons;
  using R = platform::MsgResult;
  struct Entry {
    const char* word;
    R result;
    std::vector<B> boxes;
  };
  static const std::vector<Entry> entries = {
      {"OK", R::OK, {B::OK, B::OKCancel}},
      {"Cancel", R::Cancel, {B::OKCancel, B::YesNoCancel, B::RetryCancel}},
      {"Yes", R::Yes, {B::YesNo, B::YesNoCancel}},
      {"No", R::No, {B::YesNo, B::YesNoCancel}},
      {"Retry", R::Retry, {B::RetryCancel, B::AbortRetryIgnore}},
      {"Abort", R::Abort, {B::AbortRetryIgnore}},
      {"Ignore", R::Ignore, {B::AbortRetryIgnore}},
  };
  for (const auto& e : entries) {
    if (word == e.word && std::find(e.boxes.begin(), e.boxes.end(), buttons) != e.boxes.end()) {
      return e.result;
    }
  }
  return std::nullopt;
}

// The answer a session gives up with after a failure: the way out of each kind of box.
platform::MsgResult GiveUpResult(platform::MsgButtons buttons) {
  using B = platform::MsgButtons;
  using R = platform::MsgResult;
  switch (buttons) {
    case B::OK:
      return R::OK;
    case B::YesNo:
      return R::No;
    case B::AbortRetryIgnore:
      return R::Abort;
    default:
      return R::Cancel;
  }
}

const char* BeepName(platform::BeepKind kind) {
  switch (kind) {
    case platform::BeepKind::Default:
      return "default";
    case platform::BeepKind::Exclamation:
      return "exclamation";
    case platform::BeepKind::Error:
      return "error";
    case platform::BeepKind::Information:
      return "information";
  }
  return "?";
}

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Restores a counter on every way out, exceptions included.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

// A name as a script word: bare when it can be, else quoted.
std::string AsWord(const std::string& text) {
  bool bare = !text.empty() && text.find_first_of(" \t\r\n\"#\\") == std::string::npos;
  return bare ? text : Quote(text);
}

}  // namespace

std::string Canonical(const ScriptLine& line) {
  std::string out;
  for (const Word& w : line.words) {
    if (!out.empty()) out += ' ';
    out += w.quoted ? Quote(w.text) : w.text;
  }
  return out;
}

Session::Session() = default;

Session::Session(Script script) : script_(std::move(script)) {}

Session::~Session() {
  if (attached_) Detach();
}

void Session::Attach() {
  bindings::Install(this);
  attached_ = true;
}

void Session::Detach() {
  bindings::Install(nullptr);
  attached_ = false;
}

std::string Session::TranscriptText() const {
  std::string text;
  for (const auto& line : transcript_) text += line + "\n";
  return text;
}

void Session::Play() {
  Pending top;
  top.kind = Pending::Kind::TopLevel;
  top.description = "no command is waiting for the user";
  Await(top);
  if (!formExpectations_.empty()) {
    const ScriptLine line = formExpectations_.front();
    Fail(line.Where() + ": the form " + line.Arg(2) + " expected here was never shown");
  }
  FlushPrompt();
}

// ---------------------------------------------------------------------------------------------
// The cursor.

const ScriptLine* Session::Await(const Pending& pending) {
  DepthGuard awaiting(awaiting_);
  for (;;) {
    // Between commands, with no other wait under way, no line played is looked at again: a
    // streamed script lets go of them.
    if (awaiting_ == 1 && pending.kind == Pending::Kind::TopLevel) script_.Release(cursor_);
    if (failure_) throw SessionError(*failure_);
    if (pending.kind == Pending::Kind::Modal && !bindings::FormShown(*pending.form)) {
      return nullptr;
    }
    if ((pending.kind == Pending::Kind::Point || pending.kind == Pending::Kind::Point3D ||
         pending.kind == Pending::Kind::Pick) &&
        bindings::TypedInputWaiting()) {
      return nullptr;  // a point typed in meanwhile answers the request
    }
    if (!script_.Has(cursor_) && !(source_ && Feed(pending))) {
      if (pending.kind == Pending::Kind::TopLevel) return nullptr;
      Fail(script_.LastWhere() + ": the script ends here, but " + pending.description);
    }
    try {
      if (const ScriptLine* answer = Step(pending)) return answer;
    } catch (const Refusal& refusal) {
      // A live line that could not take effect: it is taken back as if never given.
      script_.Rewind(tentative_->mark);
      cursor_ = tentative_->mark.lines;
      if (keepTranscript_) transcript_.resize(tentative_->transcriptSize);
      transcriptLines_ = tentative_->transcriptSize;
      tentative_.reset();
      refusal_ = refusal.message;
    }
  }
}

const ScriptLine* Session::Step(const Pending& pending) {
  const ScriptLine& line = script_.At(cursor_);
  switch (line.verb) {
    case Verb::Host:
      ++cursor_;
      RecordAction(line);
      try {
        bindings::ApplyHostLine(line, script_.OffsetX(), script_.OffsetY());
      } catch (const std::invalid_argument& e) {
        Fail(line.Where() + ": " + e.what());
      }
      Committed();
      return nullptr;
    case Verb::Wait:
      ++cursor_;
      RecordAction(line);
      Committed();
      bindings::AdvanceClock(*ParseInteger(line.Arg(1)));
      return nullptr;
    case Verb::Locale:
      ++cursor_;
      RecordAction(line);
      Committed();
      bindings::ApplyLocaleLine(line);
      return nullptr;
    case Verb::Disk:
    case Verb::Delete:
    case Verb::Truncate:
      ++cursor_;
      RecordAction(line);
      Committed();
      if (const std::string refused = bindings::ApplyMachineLine(line); !refused.empty())
        Fail(line.Where() + ": " + refused);
      return nullptr;
    case Verb::ExpectMessage:
    case Verb::ExpectNoMessage:
    case Verb::ExpectPrompt:
    case Verb::ExpectForm:
    case Verb::ExpectBeep:
    case Verb::ExpectCommand:
    case Verb::ExpectNoCommand:
    case Verb::ExpectHelp:
      ++cursor_;
      DoExpectation(line);
      Committed();
      return nullptr;
    case Verb::Run:
      if (pending.kind == Pending::Kind::TopLevel || pending.kind == Pending::Kind::Point ||
          pending.kind == Pending::Kind::Point3D || pending.kind == Pending::Kind::Pick) {
        ++cursor_;
        DoRun(line);
        Committed();
        return nullptr;
      }
      Mismatch(pending, line);
    case Verb::Form:
      DoFormHeader(pending, line);
      Committed();
      return nullptr;
    default:
      break;
  }
  if (IsFormAction(line.verb)) {
    DoFormAction(pending, line);
    Committed();
    return nullptr;
  }
  if (!Answers(pending, line)) Mismatch(pending, line);
  ++cursor_;
  Committed();
  return &line;
}

bool Session::Feed(const Pending& pending) {
  static const char* const kinds[] = {"command", "point",     "3d point", "pick", "form",
                                      "message", "open file", "folder",   "font", "input"};
  Question question;
  question.kind = kinds[static_cast<int>(pending.kind)];
  question.description = pending.description;
  question.form = pending.form;
  question.details = pending.details;
  for (;;) {
    question.refusal = std::move(refusal_);
    refusal_.clear();
    std::optional<std::string> text = source_(question);
    if (!text) return false;
    Script::Mark mark = script_.Position();
    try {
      Line(*text);
    } catch (const ScriptError& e) {
      script_.Rewind(mark);
      refusal_ = e.what();
      continue;
    }
    if (script_.Size() == mark.lines) {
      script_.Rewind(mark);
      refusal_ = "the line holds nothing to do";
      continue;
    }
    tentative_ = Tentative{mark, transcriptLines_};
    return true;
  }
}

std::string Session::PlayedText() const {
  std::string text;
  // The lines still held (every line of a script read whole).
  const size_t first = script_.Size() - script_.Lines().size();
  for (size_t i = first; i < cursor_ && i < script_.Size(); ++i) {
    const ScriptLine& line = script_.At(i);
    text += (line.indented ? "  " : "") + Canonical(line) + "\n";
  }
  return text;
}

bool Session::Answers(const Pending& pending, const ScriptLine& line) const {
  using K = Pending::Kind;
  switch (pending.kind) {
    case K::Point:
    case K::Point3D:
      return line.verb == Verb::Point || line.verb == Verb::Enter || line.verb == Verb::B2 ||
             line.verb == Verb::Escape || line.verb == Verb::Status || line.verb == Verb::Fail;
    case K::Pick:
      return line.verb == Verb::Point || line.verb == Verb::Pick || line.verb == Verb::Enter ||
             line.verb == Verb::B2 || line.verb == Verb::Escape || line.verb == Verb::Status ||
             line.verb == Verb::Fail;
    case K::Message:
      return line.verb == Verb::Answer && ButtonResult(pending.buttons, line.Arg(1)).has_value();
    case K::OpenFile:
      return line.verb == Verb::File;
    case K::Folder:
      return line.verb == Verb::Folder;
    case K::Font:
      return line.verb == Verb::Font;
    case K::Input:
      return line.verb == Verb::Input;
    case K::TopLevel:
    case K::Modal:
      return false;
  }
  return false;
}

void Session::Fail(const std::string& message) {
  if (tentative_ && !failure_) throw Refusal{message};
  if (!failure_) failure_ = message;
  throw SessionError(*failure_);
}

void Session::Mismatch(const Pending& pending, const ScriptLine& line) {
  std::string what = "\"" + line.source + "\"";
  if (pending.kind == Pending::Kind::TopLevel) {
    Fail(line.Where() + ": " + what + " answers nothing: " + pending.description);
  }
  std::string extra;
  if (pending.kind == Pending::Kind::Message && line.verb == Verb::Answer) {
    extra = " (the box's buttons are " + ButtonsText(pending.buttons) + ")";
  }
  Fail(line.Where() + ": " + what +
       " does not answer what the program asks: " + pending.description + extra);
}

void Session::DoRun(const ScriptLine& line) {
  RecordAction(line);
  if (!exports_) Fail(line.Where() + ": no plug-in is loaded to run " + line.Arg(1));
  std::vector<std::string> args;
  for (size_t i = 2; i < line.Count(); ++i) args.push_back(line.Arg(i));
  std::string result;
  {
    DepthGuard guard(depth_);
    // A menu pick is a user action: a form the command releases lives until it returns.
    platform::UserActionScope action;
    try {
      result = exports_->Call(line.Arg(1), args);
    } catch (const ExportError& e) {
      Fail(line.Where() + ": " + e.what());
    }
    if (!result.empty()) Record("= " + result);
    // Control is back with the host: it carries out the tools the command started.
    bindings::RunHostTools();
  }
}

void Session::DoFormHeader(const Pending& pending, const ScriptLine& line) {
  using K = Pending::Kind;
  const std::string& name = line.Arg(1);
  if (pending.kind == K::Modal) {
    if (!bindings::FormMatches(*pending.form, name)) {
      Fail(line.Where() + ": \"" + line.source + "\" does not match: " + pending.description);
    }
    ++cursor_;
    blockForm_ = pending.form;
    blockLine_ = line;
    return;
  }
  if (pending.kind == K::TopLevel || pending.kind == K::Point || pending.kind == K::Point3D ||
      pending.kind == K::Pick) {
    platform::Form* form = bindings::FindShownWindow(name);
    if (!form) {
      Fail(line.Where() + ": no window \"" + name + "\" is shown (" + pending.description + ")");
    }
    ++cursor_;
    RecordAction(line);
    blockForm_ = form;
    blockLine_ = line;
    return;
  }
  Mismatch(pending, line);
}

void Session::DoFormAction(const Pending& pending, const ScriptLine& line) {
  using K = Pending::Kind;
  if (pending.kind != K::Modal && pending.kind != K::TopLevel && pending.kind != K::Point &&
      pending.kind != K::Point3D && pending.kind != K::Pick) {
    Mismatch(pending, line);
  }
  if (!blockForm_ || !bindings::FormShown(*blockForm_)) {
    std::string which = blockLine_ ? "the form " + blockLine_->Arg(1) : "no form";
    std::string hint =
        pending.kind == K::Modal ? "; start a block with \"form NAME\" for the form shown now" : "";
    Fail(line.Where() + ": \"" + line.source + "\" acts on " + which +
         ", which is not shown now (" + pending.description + ")" + hint);
  }
  if (pending.kind == K::Modal && blockForm_ != pending.form) {
    Fail(line.Where() + ": \"" + line.source + "\" acts on the form " + blockLine_->Arg(1) +
         ", but " + pending.description + "; start a block with \"form NAME\" for it");
  }
  ++cursor_;
  // A modeless window's actions stand under its block in the transcript, as a modal form's do.
  bool modeless =
      std::find(modalForms_.begin(), modalForms_.end(), blockForm_) == modalForms_.end();
  std::optional<DepthGuard> indent;
  if (modeless) indent.emplace(depth_);
  RecordAction(line);
  try {
    if (line.verb == Verb::ExpectControl) {
      auto found = bindings::CheckControl(*blockForm_, line);
      if (found) Fail(line.Where() + ": expectation failed: " + *found);
    } else if (!bindings::ApplyFormAction(*blockForm_, line)) {
      Record("  (the form did not let it happen)");
    }
  } catch (const std::invalid_argument& e) {
    Fail(line.Where() + ": " + e.what());
  }
}

void Session::DoExpectation(const ScriptLine& line) {
  auto failed = [&](const std::string& why) {
    Fail(line.Where() + ": expectation failed: " + why);
  };
  switch (line.verb) {
    case Verb::ExpectMessage: {
      const std::string& caption = line.Arg(2);
      const std::string& text = line.Arg(3);
      bool prefix = line.Count() == 5;
      auto it = std::find_if(messages_.begin(), messages_.end(),
                             [](const Shown& s) { return !s.expected; });
      std::string wanted =
          "the message box " + Quote(caption) + " " + Quote(text) + (prefix ? " (prefix)" : "");
      if (it == messages_.end()) failed(wanted + ", but no message box was shown since");
      it->expected = true;
      bool textHolds = prefix ? it->text.compare(0, text.size(), text) == 0 : it->text == text;
      if (it->kind != caption || !textHolds) {
        failed(wanted + ", but the box was " + Quote(it->kind) + " " + Quote(it->text));
      }
      return;
    }
    case Verb::ExpectNoMessage:
      for (const Shown& s : messages_) {
        if (!s.expected) {
          failed("no message box, but " + Quote(s.kind) + " " + Quote(s.text) + " was shown");
        }
      }
      return;
    case Verb::ExpectPrompt:
      if (lastPrompt_ != line.Arg(2)) {
        failed("the prompt " + Quote(line.Arg(2)) + ", but the last prompt was " +
               Quote(lastPrompt_));
      }
      return;
    case Verb::ExpectForm:
      formExpectations_.push_back(line);
      return;
    case Verb::ExpectBeep: {
      auto it =
          std::find_if(beeps_.begin(), beeps_.end(), [](const Shown& s) { return !s.expected; });
      if (it == beeps_.end()) failed("a beep (" + line.Arg(2) + "), but there was none since");
      it->expected = true;
      if (it->kind != line.Arg(2)) {
        failed("a beep (" + line.Arg(2) + "), but the beep was " + it->kind);
      }
      return;
    }
    case Verb::ExpectCommand: {
      int64_t number = *ParseInteger(line.Arg(2));
      auto it =
          std::find_if(commands_.begin(), commands_.end(), [](const auto& c) { return !c.second; });
      if (it == commands_.end()) {
        failed("host command " + std::to_string(number) + ", but none was started since");
      }
      it->second = true;
      if (it->first != number) {
        failed("host command " + std::to_string(number) + ", but " + std::to_string(it->first) +
               " was started");
      }
      return;
    }
    case Verb::ExpectNoCommand:
      for (const auto& c : commands_) {
        if (!c.second) {
          failed("no host command, but " + std::to_string(c.first) + " was started");
        }
      }
      return;
    case Verb::ExpectHelp: {
      const std::string& file = line.Arg(2);
      const std::string& topic = line.Arg(3);
      if (!lastHelp_) failed("help " + Quote(file) + " " + topic + ", but no help was opened");
      if (!SameFileName(lastHelp_->first, file) || lastHelp_->second != topic) {
        failed("help " + Quote(file) + " " + topic + ", but the help was opened on " +
               Quote(lastHelp_->first) + " " + lastHelp_->second);
      }
      return;
    }
    default:
      return;
  }
}

void Session::CheckFormExpectation(platform::Form& form) {
  if (formExpectations_.empty()) return;
  const ScriptLine line = formExpectations_.front();
  formExpectations_.pop_front();
  if (!bindings::FormMatches(form, line.Arg(2))) {
    Fail(line.Where() + ": expectation failed: the form " + line.Arg(2) +
         " was to be shown next, but " + bindings::DescribeForm(form) + " was shown");
  }
}

// ---------------------------------------------------------------------------------------------
// Questions.

host::PointReply Session::Ask(host::RequestKind kind, const std::string& prompt) {
  host::PointReply reply;
  reply.kind = host::PointReply::Kind::Escape;
  if (failure_) return reply;
  Committed();
  if (pendingPrompt_ && *pendingPrompt_ == prompt) pendingPrompt_.reset();
  lastPrompt_ = prompt;
  Pending pending;
  const char* what = "a point";
  pending.kind = Pending::Kind::Point;
  if (kind == host::RequestKind::Point3D) {
    pending.kind = Pending::Kind::Point3D;
    what = "a 3D point";
  } else if (kind == host::RequestKind::Pick) {
    pending.kind = Pending::Kind::Pick;
    what = "a pick";
  }
  pending.description = std::string("the host asks for ") + what + ": " + Quote(prompt);
  pending.details = {{"prompt", prompt}};
  Record(std::string("? ") +
         (kind == host::RequestKind::Point3D ? "3d point"
          : kind == host::RequestKind::Pick  ? "pick"
                                             : "point") +
         " " + Quote(prompt));
  const ScriptLine* answer = Await(pending);
  if (!answer) {
    // The host answers the request with the point typed in meanwhile.
    Record("(the coordinate input answers it)");
    return reply;
  }
  const ScriptLine& line = *answer;
  RecordAction(line);
  switch (line.verb) {
    case Verb::Point:
    case Verb::Pick:
      reply.kind = host::PointReply::Kind::Point;
      reply.x = static_cast<int32_t>(*ParseInteger(line.Arg(1)));
      reply.y = static_cast<int32_t>(*ParseInteger(line.Arg(2)));
      if (line.Count() == 4) reply.z = static_cast<int32_t>(*ParseInteger(line.Arg(3)));
      break;
    case Verb::Enter:
      // The host reads the typed text in the drawing's notation.
      reply.kind = host::PointReply::Kind::Typed;
      for (size_t i = 1; i < line.Count(); ++i) reply.text += (i > 1 ? " " : "") + line.Arg(i);
      break;
    case Verb::B2:
      reply.kind = host::PointReply::Kind::Button2;
      break;
    case Verb::Escape:
      reply.kind = host::PointReply::Kind::Escape;
      break;
    case Verb::Fail:
      reply.kind = host::PointReply::Kind::Fail;
      break;
    case Verb::Status:
      reply.kind = host::PointReply::Kind::Status;
      reply.status = static_cast<int>(*ParseInteger(line.Arg(1)));
      break;
    default:
      break;
  }
  return reply;
}

void Session::RunModal(platform::Form& form) {
  // After a failure the form is left without a result, which closes it as cancelled.
  if (failure_) return;
  Committed();
  std::string description = bindings::DescribeForm(form);
  Record("? form " + description);
  CheckFormExpectation(form);
  // Every showing of a form needs its own block, so a stale block cannot act on it.
  blockForm_ = nullptr;
  blockLine_.reset();
  Pending pending;
  pending.kind = Pending::Kind::Modal;
  pending.form = &form;
  pending.description = "the form " + description + " is shown and waits for the user";
  modalForms_.push_back(&form);
  struct Pop {
    std::vector<platform::Form*>& forms;
    ~Pop() { forms.pop_back(); }
  } pop{modalForms_};
  {
    DepthGuard guard(depth_);
    Await(pending);
  }
  Record("form " + description + " closed: " + bindings::ModalResultName(form));
}

platform::MsgResult Session::AskMessage(const platform::MessageBoxRequest& request) {
  if (failure_) return GiveUpResult(request.buttons);
  Committed();
  messages_.push_back({request.caption, request.text, false});
  std::string box = "message " + Quote(request.caption) + " " + Quote(request.text);
  if (request.buttons == platform::MsgButtons::OK) {
    Record(box);
    return platform::MsgResult::OK;
  }
  Record("? " + box + " " + ButtonsText(request.buttons));
  Pending pending;
  pending.kind = Pending::Kind::Message;
  pending.buttons = request.buttons;
  pending.description = "the message box " + Quote(request.caption) + " " + Quote(request.text) +
                        " waits for an answer";
  pending.details = {{"caption", request.caption},
                     {"text", request.text},
                     {"icon", std::to_string(static_cast<int>(request.icon))},
                     {"buttons", ButtonsText(request.buttons)}};
  const ScriptLine& line = *Await(pending);
  RecordAction(line);
  return *ButtonResult(request.buttons, line.Arg(1));
}

std::optional<std::string> Session::AskOpenFile(const platform::OpenFileRequest& request) {
  if (failure_) return std::nullopt;
  Committed();
  Record("? open file " + Quote(request.title));
  Pending pending;
  pending.kind = Pending::Kind::OpenFile;
  pending.description = "the open-file dialog " + Quote(request.title) + " waits for a file";
  pending.details = {{"title", request.title},
                     {"filter", request.filter},
                     {"initialDir", request.initialDir},
                     {"fileName", request.fileName},
                     {"mustExist", request.fileMustExist ? "1" : "0"}};
  const ScriptLine& line = *Await(pending);
  RecordAction(line);
  if (!line.words[1].quoted) return std::nullopt;
  return line.Arg(1);
}

std::optional<platform::FontChoice> Session::AskFont(const platform::FontRequest& request) {
  if (failure_) return std::nullopt;
  Committed();
  Record("? font " + Quote(request.initial.face) + " " + std::to_string(request.initial.size));
  Pending pending;
  pending.kind = Pending::Kind::Font;
  pending.description = "the font dialog waits for a font";
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  pending.details = {{"face", request.initial.face},
                     {"size", std::to_string(request.initial.size)},
                     {"bold", flag(request.initial.bold)},
                     {"italic", flag(request.initial.italic)},
                     {"underline", flag(request.initial.underline)},
                     {"strikeout", flag(request.initial.strikeout)},
                     {"trueTypeOnly", flag(request.trueTypeOnly)}};
  const ScriptLine& line = *Await(pending);
  RecordAction(line);
  if (!line.words[1].quoted) return std::nullopt;
  platform::FontChoice choice;
  choice.face = line.Arg(1);
  choice.size = static_cast<int>(*ParseInteger(line.Arg(2)));
  for (size_t i = 3; i < line.Count(); ++i) {
    const std::string& flag = line.Arg(i);
    if (flag == "bold") choice.bold = true;
    if (flag == "italic") choice.italic = true;
    if (flag == "underline") choice.underline = true;
    if (flag == "strikeout") choice.strikeout = true;
  }
  return choice;
}

std::optional<std::string> Session::AskFolder(const platform::FolderRequest& request) {
  if (failure_) return std::nullopt;
  Committed();
  Record("? folder " + Quote(request.title));
  Pending pending;
  pending.kind = Pending::Kind::Folder;
  pending.description = "the folder chooser " + Quote(request.title) + " waits for a folder";
  pending.details = {{"title", request.title}, {"initialDir", request.initialDir}};
  const ScriptLine& line = *Await(pending);
  RecordAction(line);
  if (!line.words[1].quoted) return std::nullopt;
  return line.Arg(1);
}

std::optional<std::string> Session::AskInput(const platform::InputRequest& request) {
  if (failure_) return std::nullopt;
  Committed();
  Record("? input " + Quote(request.caption) + " " + Quote(request.prompt));
  Pending pending;
  pending.kind = Pending::Kind::Input;
  pending.description =
      "the input box " + Quote(request.caption) + " " + Quote(request.prompt) + " waits for a text";
  pending.details = {
      {"caption", request.caption}, {"prompt", request.prompt}, {"initial", request.initial}};
  const ScriptLine& line = *Await(pending);
  RecordAction(line);
  if (!line.words[1].quoted) return std::nullopt;
  return line.Arg(1);
}

// ---------------------------------------------------------------------------------------------
// What a person notices.

void Session::OnHostEvent(const host::HostEvent& event) {
  Committed();
  switch (event.kind) {
    case Kind::Prompt:
      FlushPrompt();
      pendingPrompt_ = event.text;
      lastPrompt_ = event.text;
      return;
    case Kind::MessageLine:
      Record("message line " + Quote(event.text));
      return;
    case Kind::StatusLine:
      Record("status line");
      return;
    case Kind::Callback:
      Record("callback " + Quote(event.text));
      return;
    case Kind::CommandStarted:
      commands_.emplace_back(event.number, false);
      Record("host command " + std::to_string(event.number));
      return;
    case Kind::ObjectCreated:
      Record("+ object " + std::to_string(event.number) + ": " + event.text);
      return;
    case Kind::ObjectDeleted:
      Record("- object " + std::to_string(event.number));
      return;
    case Kind::MacroRun:
      Record("macro " + Quote(event.text));
      return;
    case Kind::FileLoaded:
      Record("file loaded " + Quote(event.text) + " kind " + std::to_string(event.number));
      return;
    case Kind::CoordinateInput:
      Record("coordinate input " + event.text);
      return;
    case Kind::ViewChanged:
      Record("view " + event.text);
      return;
    case Kind::PointSnapped:
      Record("snapped to " + event.text);
      return;
    case Kind::PointTyped:
      Record("typed point " + event.text);
      return;
  }
}

void Session::OnBeep(platform::BeepKind kind) {
  Committed();
  beeps_.push_back({BeepName(kind), "", false});
  Record(std::string("beep ") + BeepName(kind));
}

void Session::OnHelp(const std::string& file, const std::string& topicOrContext) {
  Committed();
  lastHelp_ = std::make_pair(file, topicOrContext);
  Record("help " + Quote(file) + " " + topicOrContext);
}

void Session::OnFormShown(platform::Form& form, bool modal) {
  if (modal) return;  // a modal form is recorded when it asks for the user (RunModal)
  Committed();
  Record("form " + bindings::DescribeForm(form) + " shown");
  if (!failure_) CheckFormExpectation(form);
}

void Session::OnFormDestroyed(platform::Form& form) {
  // A block on a form that is gone acts on nothing (and its address may be reused).
  if (blockForm_ == &form) blockForm_ = nullptr;
}

void Session::OnProgramStarted(const std::string& commandLine) {
  Committed();
  Record("program started " + Quote(commandLine));
}

// ---------------------------------------------------------------------------------------------
// The transcript.

void Session::FlushPrompt() {
  if (!pendingPrompt_) return;
  std::string text = "prompt " + Quote(*pendingPrompt_);
  pendingPrompt_.reset();
  Write(std::string(static_cast<size_t>(depth_) * 2, ' ') + text);
}

void Session::Record(const std::string& text) {
  FlushPrompt();
  Write(std::string(static_cast<size_t>(depth_) * 2, ' ') + text);
}

void Session::Write(std::string line) {
  ++transcriptLines_;
  if (echo_) echo_(line);
  if (keepTranscript_) transcript_.push_back(std::move(line));
}

void Session::RecordAction(const ScriptLine& line) { Record("> " + Canonical(line)); }

// ---------------------------------------------------------------------------------------------
// Fluent building.

Session& Session::Add(const std::string& text) {
  script_.Append(text, fluentBlock_);
  return *this;
}

Session& Session::Line(const std::string& text) {
  bool indented = !text.empty() && (text[0] == ' ' || text[0] == '\t');
  script_.Append(text, indented);
  return *this;
}

Session& Session::Host(const std::string& rest) { return Add("host " + rest); }

Session& Session::Run(const std::string& exportName, const std::vector<std::string>& args) {
  std::string text = "run " + exportName;
  for (const auto& a : args) text += " " + Quote(a);
  return Add(text);
}

Session& Session::Point(int32_t x, int32_t y) {
  return Add("point " + std::to_string(x) + " " + std::to_string(y));
}

Session& Session::Point(int32_t x, int32_t y, int32_t z) {
  return Add("point " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z));
}

Session& Session::B2() { return Add("b2"); }
Session& Session::Escape() { return Add("escape"); }
Session& Session::Status(int status) { return Add("status " + std::to_string(status)); }
Session& Session::Fail() { return Add("fail"); }

Session& Session::Pick(int32_t x, int32_t y) {
  return Add("pick " + std::to_string(x) + " " + std::to_string(y));
}

Session& Session::Form(const std::string& name) {
  fluentBlock_ = false;
  Add("form " + AsWord(name));
  fluentBlock_ = true;
  return *this;
}

Session& Session::End() {
  fluentBlock_ = false;
  return *this;
}

Session& Session::Set(const std::string& control, const std::vector<std::string>& texts) {
  std::string text = "set " + AsWord(control);
  for (const auto& t : texts) text += " " + Quote(t);
  return Add(text);
}

Session& Session::Set(const std::string& control, const std::string& text) {
  return Set(control, std::vector<std::string>{text});
}

Session& Session::Type(const std::string& control, const std::string& text) {
  return Add("type " + AsWord(control) + " " + Quote(text));
}

Session& Session::Focus(const std::string& control) { return Add("focus " + AsWord(control)); }

Session& Session::Check(const std::string& control, bool on) {
  return Add("check " + AsWord(control) + (on ? " on" : " off"));
}

Session& Session::Select(const std::string& control, int index) {
  return Add("select " + AsWord(control) + " " + std::to_string(index));
}

Session& Session::Select(const std::string& control, const std::string& item) {
  return Add("select " + AsWord(control) + " " + Quote(item));
}

Session& Session::Cell(const std::string& control, int col, int row, const std::string& text) {
  return Add("cell " + AsWord(control) + " " + std::to_string(col) + " " + std::to_string(row) +
             " " + Quote(text));
}

Session& Session::Tab(const std::string& caption) { return Add("tab " + Quote(caption)); }
Session& Session::Click(const std::string& control) { return Add("click " + AsWord(control)); }
Session& Session::DblClick(const std::string& control) {
  return Add("dblclick " + AsWord(control));
}
Session& Session::Close() { return Add("close"); }

Session& Session::Expect(const std::string& control, const std::string& text) {
  return Add("expect " + AsWord(control) + " " + Quote(text));
}

Session& Session::ExpectState(const std::string& control, const std::string& state) {
  return Add("expect " + AsWord(control) + " " + state);
}

Session& Session::Answer(const std::string& button) { return Add("answer " + button); }

Session& Session::File(const std::optional<std::string>& path) {
  return Add(path ? "file " + Quote(*path) : "file cancel");
}

Session& Session::Folder(const std::optional<std::string>& path) {
  return Add(path ? "folder " + Quote(*path) : "folder cancel");
}

Session& Session::Input(const std::optional<std::string>& text) {
  return Add(text ? "input " + Quote(*text) : "input cancel");
}

Session& Session::Wait(int64_t ms) { return Add("wait " + std::to_string(ms)); }

Session& Session::ExpectMessage(const std::string& caption, const std::string& text, bool prefix) {
  return Add("expect message " + Quote(caption) + " " + Quote(text) + (prefix ? " prefix" : ""));
}

Session& Session::ExpectNoMessage() { return Add("expect no message"); }
Session& Session::ExpectPrompt(const std::string& text) {
  return Add("expect prompt " + Quote(text));
}
Session& Session::ExpectForm(const std::string& name) { return Add("expect form " + name); }
Session& Session::ExpectBeep(const std::string& kind) { return Add("expect beep " + kind); }
Session& Session::ExpectCommand(int number) {
  return Add("expect command " + std::to_string(number));
}
Session& Session::ExpectNoCommand() { return Add("expect no command"); }
Session& Session::ExpectHelp(const std::string& file, const std::string& topic) {
  return Add("expect help " + Quote(file) + " " + topic);
}

}  // namespace user
