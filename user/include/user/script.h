// A session script: what a person did at the drafting table, one action per line. The parser
// splits each line into words (quoted texts with C escapes), drops comments, recognises the verb
// and checks the line's shape, so that a malformed script is refused before anything runs.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace user {

struct Word {
  std::string text;
  bool quoted = false;
};

enum class Verb {
  Host,  // host set-up: host line|arc|text|symbol|select|layer|active|units|ppu|scale|mode|...
  Run,   // run EXPORT [ARG ...]
  // Answers to a point or pick request.
  Point,
  B2,
  Escape,
  Status,
  Fail,
  Pick,
  Enter,  // enter TEXT: a point typed in the drawing's notation (18'-4" 12'-0", @3'<45)
  // Windows.
  Form,
  Set,
  Type,
  Focus,
  Check,
  Select,
  Cell,
  Tab,
  Click,
  Mouse,
  DblClick,
  Close,
  ExpectControl,
  // Message boxes and common dialogs.
  Answer,
  File,
  Folder,
  Font,
  Input,
  Wait,
  Locale,  // locale [thousands "C"] [decimal "C"]: the number format of the user's locale
  Disk,    // disk DRIVE free BYTES|full|unlimited: the free space of a drive of the machine
  Delete,  // delete "C:\PATH": a file of the machine removed, as a person might outside the program
  Truncate,  // truncate "C:\PATH" BYTES: a file of the machine cut short, as a crash might leave it
  // Expectations.
  ExpectMessage,
  ExpectNoMessage,
  ExpectPrompt,
  ExpectForm,
  ExpectBeep,
  ExpectCommand,
  ExpectNoCommand,
  ExpectHelp,
};

// True for the verbs that act on the form of the enclosing block (they must be indented).
bool IsFormAction(Verb verb);

struct ScriptLine {
  std::string file;  // the script's name as given (for messages)
  int number = 0;    // 1-based line number in the file
  bool indented = false;
  Verb verb = Verb::Host;
  std::vector<Word> words;  // all words, the verb included
  std::string source;       // the line as written, without indentation and comment

  // Words after the verb (and after the sub-verb where a line has one).
  const std::string& Arg(size_t index) const { return words.at(index).text; }
  size_t Count() const { return words.size(); }
  // "FILE:LINE".
  std::string Where() const;
};

// A syntax error in a script: the file, line and what is wrong.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& file, int line, const std::string& what);
  const std::string& File() const { return file_; }
  int Line() const { return line_; }

 private:
  std::string file_;
  int line_;
};

class Script {
 public:
  // Parses script text; `fileName` names it in messages. Throws ScriptError.
  static Script Parse(const std::string& text, const std::string& fileName = "<script>");
  // Reads and parses a script file. Throws ScriptError (a missing file is line 0).
  static Script Load(const std::filesystem::path& path);
  // The same script read as a stream: the whole file is checked first (every line, and every
  // coordinate moved by (dx, dy) as Translate moves it), so that a malformed script is refused
  // before anything runs, as Load refuses it; then lines are read as they are reached, and
  // Release lets go of those played. A script of a million lines is never held whole.
  static Script Open(const std::filesystem::path& path, int64_t dx = 0, int64_t dy = 0);

  // Checks and adds one more line (the fluent test API builds scripts this way).
  void Append(const std::string& lineText, bool indented);

  // Where the script stands, so that lines appended after it can be taken back (a live session
  // takes back a line the program refused).
  struct Mark {
    size_t lines = 0;
    bool inFormBlock = false;
    int nextNumber = 1;
  };
  Mark Position() const { return {Size(), inFormBlock_, nextNumber_}; }
  void Rewind(const Mark& mark);

  // The lines by number from the script's start (0-based), released ones included in the count.
  // Has reads ahead from a streamed script as far as `index`.
  bool Has(size_t index) const;
  const ScriptLine& At(size_t index) const { return lines_[index - released_]; }
  size_t Size() const { return released_ + lines_.size(); }
  // Lets go of the lines before `index` (a streamed script only; a script read whole keeps all).
  void Release(size_t index);
  // "FILE:LINE" of the last line read, or the file's name when there is none.
  std::string LastWhere() const;

  // Moves every drawing coordinate of the script by (dx, dy): the points and picks answered and
  // the points of the host's set-up lines (line, arc, text, symbol, select). Window coordinates,
  // typed points and expectations stay as written; a drawing the script opens is moved as it is
  // opened (OffsetX/OffsetY say by how much). A moved coordinate that no longer fits the
  // host's 32-bit coordinates is refused with a ScriptError at its line.
  void Translate(int64_t dx, int64_t dy);
  int64_t OffsetX() const { return offsetX_; }
  int64_t OffsetY() const { return offsetY_; }

  // A deque, so that lines appended while the script plays leave the lines played in place.
  // The lines held: all of a script read whole; of a streamed one, those read and not released.
  const std::deque<ScriptLine>& Lines() const { return lines_; }
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  // Mutable: a streamed script reads ahead when asked whether it has a line.
  mutable std::deque<ScriptLine> lines_;
  mutable bool inFormBlock_ = false;
  mutable int nextNumber_ = 1;
  int64_t offsetX_ = 0, offsetY_ = 0;
  // A streamed script: the file being read, and the lines released before lines_.
  mutable std::shared_ptr<std::ifstream> stream_;
  size_t released_ = 0;
  bool streamed_ = false;
  bool moveOnRead_ = false;  // lines read from the stream are moved by the offset
  mutable std::string lastWhere_;

  void AddLine(const std::string& raw, int number) const;
  bool ReadNext() const;  // one more non-blank line from the stream; false at its end
  static void TranslateLine(ScriptLine& line, int64_t dx, int64_t dy);
};

// Splits one line into words; `#` outside quotes starts a comment. A word that starts with a
// double quote is a quoted text: in it \" \\ \r \n and \t are escapes and any other backslash
// stands for itself (so "C:\QXTOOLS\REF" reads as written). A double quote inside or at the end
// of a bare word is part of it: an inch mark (18'-4"). Throws std::invalid_argument with a short
// reason for an unterminated text.
std::vector<Word> SplitWords(const std::string& line);

// Writes a text in double quotes with C escapes (the inverse of the parser's quoted words).
std::string Quote(const std::string& text);

// Whole numbers as scripts write them: decimal with an optional sign, or 0x hexadecimal.
std::optional<int64_t> ParseInteger(const std::string& text);
std::optional<double> ParseReal(const std::string& text);

}  // namespace user
