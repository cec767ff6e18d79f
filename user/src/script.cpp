#include "user/script.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

namespace user {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void Require(bool condition, const std::string& reason) {
  if (!condition) throw std::invalid_argument(reason);
}

void RequireInt(const ScriptLine& line, size_t index, const std::string& what) {
  Require(index < line.Count() && !line.words[index].quoted && ParseInteger(line.Arg(index)),
          what + " must be a whole number");
}

void RequireReal(const ScriptLine& line, size_t index, const std::string& what) {
  Require(index < line.Count() && !line.words[index].quoted && ParseReal(line.Arg(index)),
          what + " must be a number");
}

void RequireCount(const ScriptLine& line, size_t minWords, size_t maxWords,
                  const std::string& usage) {
  Require(line.Count() >= minWords && line.Count() <= maxWords, "expected: " + usage);
}

bool IsWord(const ScriptLine& line, size_t index, const char* keyword) {
  return index < line.Count() && !line.words[index].quoted && line.Arg(index) == keyword;
}

// Checks an optional "layer N" (and for text "size S") tail starting at `index`.
void CheckTail(const ScriptLine& line, size_t index, bool allowSize, const std::string& usage) {
  while (index < line.Count()) {
    if (IsWord(line, index, "layer")) {
      RequireInt(line, index + 1, "the layer");
    } else if (allowSize && IsWord(line, index, "size")) {
      RequireInt(line, index + 1, "the size");
    } else {
      throw std::invalid_argument("expected: " + usage);
    }
    index += 2;
  }
}

// A path never holds a tab or a line break: one there comes from writing a single backslash before
// t, n or r, which the text takes as an escape.
void CheckPath(const std::string& path) {
  Require(path.find_first_of("\t\r\n") == std::string::npos,
          "a path with a tab or line break: write \\\\ for a backslash before t, n or r");
}

void CheckHost(const ScriptLine& line) {
  Require(line.Count() >= 2,
          "expected: host line|arc|text|symbol|select|erase|undo|layer|active|units|ppu|"
          "scale|mode|snap|snap3d|snapangle|grid|open|aperture|busy ...");
  const std::string& what = line.Arg(1);
  if (what == "line") {
    const std::string usage = "host line X1 Y1 X2 Y2 [... Xn Yn] [layer N]";
    size_t n = 2;
    while (n < line.Count() && !IsWord(line, n, "layer")) {
      RequireInt(line, n, "a coordinate");
      ++n;
    }
    Require(n - 2 >= 4 && (n - 2) % 2 == 0, "expected: " + usage);
    CheckTail(line, n, false, usage);
  } else if (what == "arc") {
    const std::string usage = "host arc CX CY R A1 A2 [layer N]";
    Require(line.Count() >= 7, "expected: " + usage);
    for (size_t i = 2; i < 5; ++i) RequireInt(line, i, "the centre and radius");
    RequireReal(line, 5, "the start angle");
    RequireReal(line, 6, "the end angle");
    CheckTail(line, 7, false, usage);
  } else if (what == "text") {
    const std::string usage = "host text X Y \"TEXT\" [size S] [layer N]";
    Require(line.Count() >= 5, "expected: " + usage);
    RequireInt(line, 2, "X");
    RequireInt(line, 3, "Y");
    CheckTail(line, 5, true, usage);
  } else if (what == "symbol") {
    const std::string usage = "host symbol NAME X Y [layer N]";
    Require(line.Count() >= 5, "expected: " + usage);
    RequireInt(line, 3, "X");
    RequireInt(line, 4, "Y");
    CheckTail(line, 5, false, usage);
  } else if (what == "select") {
    if (IsWord(line, 2, "none")) {
      RequireCount(line, 3, 3, "host select none");
    } else {
      RequireCount(line, 4, 4, "host select X Y");
      RequireInt(line, 2, "X");
      RequireInt(line, 3, "Y");
    }
  } else if (what == "erase" || what == "undo") {
    RequireCount(line, 2, 2, "host " + what + " (alone on its line)");
  } else if (what == "layer") {
    RequireInt(line, 2, "the layer number");
    if (IsWord(line, 3, "name")) {
      RequireCount(line, 5, 5, "host layer N name \"NAME\"");
    } else {
      RequireCount(line, 4, 4, "host layer N on|off");
      Require(IsWord(line, 3, "on") || IsWord(line, 3, "off"), "expected: host layer N on|off");
    }
  } else if (what == "snap") {
    Require(line.Count() >= 3, "expected: host snap N [N ...]");
    for (size_t i = 2; i < line.Count(); ++i) RequireInt(line, i, "a snap mode");
  } else if (what == "grid") {
    RequireCount(line, 3, 3, "host grid LENGTH");
  } else if (what == "active" || what == "ppu" || what == "snap3d") {
    RequireCount(line, 3, 3, "host " + what + " N");
    RequireInt(line, 2, "N");
  } else if (what == "scale" || what == "snapangle" || what == "aperture") {
    RequireCount(line, 3, 3, "host " + what + " NUMBER");
    RequireReal(line, 2, "the value");
  } else if (what == "units") {
    static const std::set<std::string> units = {"feet-inches", "feet",        "inches",
                                                "millimetres", "centimetres", "metres"};
    RequireCount(line, 3, 3, "host units UNIT");
    Require(units.count(line.Arg(2)) > 0,
            "the unit must be feet-inches, feet, inches, millimetres, centimetres or metres");
  } else if (what == "busy") {
    RequireCount(line, 3, 3, "host busy on|off");
    Require(IsWord(line, 2, "on") || IsWord(line, 2, "off"), "expected: host busy on|off");
  } else if (what == "mode") {
    RequireCount(line, 3, 3, "host mode 2d|3d");
    Require(IsWord(line, 2, "2d") || IsWord(line, 2, "3d"), "expected: host mode 2d|3d");
  } else if (what == "open") {
    RequireCount(line, 3, 3, "host open \"PATH\"");
    CheckPath(line.Arg(2));
  } else {
    throw std::invalid_argument("unknown host set-up \"" + what + "\"");
  }
}

const std::set<std::string> kControlStates = {"enabled", "disabled",  "visible", "hidden",
                                              "checked", "unchecked", "down",    "up"};

// Expectations that are not about a control; inside a form block these words are keywords.
Verb GeneralExpectation(const ScriptLine& line, bool* known) {
  *known = true;
  const std::string& what = line.Count() > 1 ? line.Arg(1) : std::string();
  bool bare = line.Count() > 1 && !line.words[1].quoted;
  if (bare && what == "message") {
    RequireCount(line, 4, 5, "expect message \"CAPTION\" \"TEXT\" [prefix]");
    Require(line.Count() == 4 || IsWord(line, 4, "prefix"),
            "expected: expect message \"CAPTION\" \"TEXT\" [prefix]");
    return Verb::ExpectMessage;
  }
  if (bare && what == "no" && IsWord(line, 2, "message")) {
    RequireCount(line, 3, 3, "expect no message");
    return Verb::ExpectNoMessage;
  }
  if (bare && what == "no" && IsWord(line, 2, "command")) {
    RequireCount(line, 3, 3, "expect no command");
    return Verb::ExpectNoCommand;
  }
  if (bare && what == "prompt") {
    RequireCount(line, 3, 3, "expect prompt \"TEXT\"");
    return Verb::ExpectPrompt;
  }
  if (bare && what == "form") {
    RequireCount(line, 3, 3, "expect form NAME");
    return Verb::ExpectForm;
  }
  if (bare && what == "beep") {
    RequireCount(line, 3, 3, "expect beep default|exclamation|error|information");
    static const std::set<std::string> kinds = {"default", "exclamation", "error", "information"};
    Require(kinds.count(line.Arg(2)) > 0,
            "expected: expect beep default|exclamation|error|information");
    return Verb::ExpectBeep;
  }
  if (bare && what == "command") {
    RequireCount(line, 3, 3, "expect command N");
    RequireInt(line, 2, "the command number");
    return Verb::ExpectCommand;
  }
  if (bare && what == "help" && line.Count() == 4) {
    return Verb::ExpectHelp;
  }
  *known = false;
  return Verb::ExpectControl;
}

Verb Classify(const ScriptLine& line, bool inFormBlock) {
  const std::string& verb = line.Arg(0);
  Require(!line.words[0].quoted, "a line starts with an action word, not a quoted text");
  if (verb == "host") {
    CheckHost(line);
    return Verb::Host;
  }
  if (verb == "run") {
    Require(line.Count() >= 2 && !line.words[1].quoted, "expected: run EXPORT [ARG ...]");
    return Verb::Run;
  }
  if (verb == "point") {
    RequireCount(line, 3, 4, "point X Y [Z]");
    for (size_t i = 1; i < line.Count(); ++i) RequireInt(line, i, "a coordinate");
    return Verb::Point;
  }
  if (verb == "enter") {
    Require(line.Count() >= 2, "expected: enter X Y | enter @DX DY | enter @LENGTH<ANGLE");
    return Verb::Enter;
  }
  if (verb == "b2" || verb == "escape" || verb == "fail" || verb == "close") {
    RequireCount(line, 1, 1, verb + " (alone on its line)");
    if (verb == "b2") return Verb::B2;
    if (verb == "escape") return Verb::Escape;
    if (verb == "fail") return Verb::Fail;
    return Verb::Close;
  }
  if (verb == "status") {
    RequireCount(line, 2, 2, "status N");
    RequireInt(line, 1, "the status");
    return Verb::Status;
  }
  if (verb == "pick") {
    RequireCount(line, 3, 3, "pick X Y");
    RequireInt(line, 1, "X");
    RequireInt(line, 2, "Y");
    return Verb::Pick;
  }
  if (verb == "form") {
    RequireCount(line, 2, 2, "form NAME");
    return Verb::Form;
  }
  if (verb == "set") {
    Require(line.Count() >= 3, "expected: set CONTROL \"TEXT\" [\"LINE 2\" ...]");
    return Verb::Set;
  }
  if (verb == "type") {
    RequireCount(line, 3, 3, "type CONTROL \"TEXT\"");
    return Verb::Type;
  }
  if (verb == "focus") {
    RequireCount(line, 2, 2, "focus CONTROL");
    return Verb::Focus;
  }
  if (verb == "check") {
    RequireCount(line, 3, 3, "check CONTROL on|off");
    Require(IsWord(line, 2, "on") || IsWord(line, 2, "off"), "expected: check CONTROL on|off");
    return Verb::Check;
  }
  if (verb == "select") {
    RequireCount(line, 3, 3, "select CONTROL INDEX|\"ITEM TEXT\"");
    if (!line.words[2].quoted) RequireInt(line, 2, "the index (or a quoted item text)");
    return Verb::Select;
  }
  if (verb == "cell") {
    RequireCount(line, 5, 5, "cell CONTROL COL ROW \"TEXT\"");
    RequireInt(line, 2, "the column");
    RequireInt(line, 3, "the row");
    return Verb::Cell;
  }
  if (verb == "tab") {
    RequireCount(line, 2, 2, "tab \"CAPTION\"");
    return Verb::Tab;
  }
  if (verb == "click") {
    RequireCount(line, 2, 2, "click CONTROL");
    return Verb::Click;
  }
  if (verb == "mouse") {
    const std::string usage =
        "mouse CONTROL down|up|move left|right|middle X Y|cell COL ROW [shift] [ctrl]";
    Require(line.Count() >= 6, "expected: " + usage);
    Require(IsWord(line, 2, "down") || IsWord(line, 2, "up") || IsWord(line, 2, "move"),
            "expected: " + usage);
    Require(IsWord(line, 3, "left") || IsWord(line, 3, "right") || IsWord(line, 3, "middle"),
            "expected: " + usage);
    size_t n = 4;
    if (IsWord(line, 4, "cell")) n = 5;
    RequireInt(line, n, n == 5 ? "the column" : "X");
    RequireInt(line, n + 1, n == 5 ? "the row" : "Y");
    for (size_t i = n + 2; i < line.Count(); ++i) {
      Require(IsWord(line, i, "shift") || IsWord(line, i, "ctrl"), "expected: " + usage);
    }
    return Verb::Mouse;
  }
  if (verb == "dblclick") {
    Require(line.Count() == 2 || line.Count() == 4, "expected: dblclick CONTROL [X Y]");
    if (line.Count() == 4) {
      RequireInt(line, 2, "X");
      RequireInt(line, 3, "Y");
    }
    return Verb::DblClick;
  }
  if (verb == "answer") {
    static const std::set<std::string> buttons = {"Yes",   "No",    "OK",    "Cancel",
                                                  "Abort", "Retry", "Ignore"};
    RequireCount(line, 2, 2, "answer Yes|No|OK|Cancel");
    Require(buttons.count(line.Arg(1)) > 0, "expected: answer Yes|No|OK|Cancel");
    return Verb::Answer;
  }
  if (verb == "file" || verb == "folder" || verb == "input") {
    RequireCount(line, 2, 2, verb + " \"TEXT\" or " + verb + " cancel");
    Require(line.words[1].quoted || line.Arg(1) == "cancel",
            "expected: " + verb + " \"TEXT\" or " + verb + " cancel");
    if (verb != "input") CheckPath(line.Arg(1));
    return verb == "file" ? Verb::File : verb == "folder" ? Verb::Folder : Verb::Input;
  }
  if (verb == "font") {
    const std::string usage = "font \"FACE\" SIZE [bold] [italic] [underline] [strikeout]";
    if (IsWord(line, 1, "cancel")) {
      RequireCount(line, 2, 2, "font cancel");
      return Verb::Font;
    }
    Require(line.Count() >= 3, "expected: " + usage);
    RequireInt(line, 2, "the size");
    for (size_t i = 3; i < line.Count(); ++i) {
      Require(IsWord(line, i, "bold") || IsWord(line, i, "italic") ||
                  IsWord(line, i, "underline") || IsWord(line, i, "strikeout"),
              "expected: " + usage);
    }
    return Verb::Font;
  }
  if (verb == "wait") {
    RequireCount(line, 2, 2, "wait MS");
    RequireInt(line, 1, "the time in milliseconds");
    Require(*ParseInteger(line.Arg(1)) >= 0, "the time cannot be negative");
    return Verb::Wait;
  }
  if (verb == "locale") {
    const std::string usage = "locale [thousands \"C\"] [decimal \"C\"]";
    Require(line.Count() >= 3 && line.Count() % 2 == 1, "expected: " + usage);
    for (size_t i = 1; i < line.Count(); i += 2) {
      bool thousands = IsWord(line, i, "thousands");
      Require(thousands || IsWord(line, i, "decimal"), "expected: " + usage);
      Require(line.words[i + 1].quoted, "expected: " + usage);
      size_t size = line.Arg(i + 1).size();
      if (thousands) {
        Require(size <= 1, "the thousands separator is one character, or \"\" for none");
      } else {
        Require(size == 1, "the decimal separator is one character");
      }
    }
    return Verb::Locale;
  }
  if (verb == "delete") {
    RequireCount(line, 2, 2, "delete \"C:\\PATH\"");
    Require(line.words[1].quoted, "expected: delete \"C:\\PATH\" (the path in quotes)");
    CheckPath(line.Arg(1));
    return Verb::Delete;
  }
  if (verb == "truncate") {
    RequireCount(line, 3, 3, "truncate \"C:\\PATH\" BYTES");
    Require(line.words[1].quoted, "expected: truncate \"C:\\PATH\" BYTES (the path in quotes)");
    CheckPath(line.Arg(1));
    RequireInt(line, 2, "the length in bytes");
    Require(*ParseInteger(line.Arg(2)) >= 0, "the length cannot be negative");
    return Verb::Truncate;
  }
  if (verb == "disk") {
    const std::string usage = "disk DRIVE free BYTES|full|unlimited";
    Require(line.Count() >= 3 && !line.words[1].quoted && line.Arg(1).size() == 1 &&
                std::isalpha(static_cast<unsigned char>(line.Arg(1)[0])),
            "expected: " + usage + " (DRIVE a letter such as C)");
    if (IsWord(line, 2, "free")) {
      RequireCount(line, 4, 4, usage);
      RequireInt(line, 3, "the free bytes");
      Require(*ParseInteger(line.Arg(3)) >= 0, "the free bytes cannot be negative");
    } else {
      RequireCount(line, 3, 3, usage);
      Require(IsWord(line, 2, "full") || IsWord(line, 2, "unlimited"), "expected: " + usage);
    }
    return Verb::Disk;
  }
  if (verb == "expect") {
    Require(line.Count() >= 2, "expected: expect WHAT ...");
    bool known = false;
    Verb v = GeneralExpectation(line, &known);
    if (known) return v;
    Require(inFormBlock, "unknown expectation \"" + line.Arg(1) +
                             "\" (a control's expectation belongs in an indented form block)");
    RequireCount(line, 3, 3, "expect CONTROL \"TEXT\" or expect CONTROL STATE");
    Require(line.words[2].quoted || kControlStates.count(line.Arg(2)) > 0,
            "expected a quoted text or one of enabled, disabled, visible, hidden, checked, "
            "unchecked, down, up");
    return Verb::ExpectControl;
  }
  throw std::invalid_argument("unknown action \"" + verb + "\"");
}

}  // namespace

bool IsFormAction(Verb verb) {
  switch (verb) {
    case Verb::Set:
    case Verb::Type:
    case Verb::Focus:
    case Verb::Check:
    case Verb::Select:
    case Verb::Cell:
    case Verb::Tab:
    case Verb::Click:
    case Verb::Mouse:
    case Verb::DblClick:
    case Verb::Close:
    case Verb::ExpectControl:
      return true;
    default:
      return false;
  }
}

std::string ScriptLine::Where() const { return file + ":" + std::to_string(number); }

ScriptError::ScriptError(const std::string& file, int line, const std::string& what)
    : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                         what),
      file_(file),
      line_(line) {}

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i >= line.size() || line[i] == '#') break;
    Word word;
    if (line[i] == '"') {
      word.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c != '\\') {
          word.text += c;
          continue;
        }
        Require(i < line.size(), "a text ends with a lone backslash");
        char e = line[i++];
        switch (e) {
          case '"':
            word.text += '"';
            break;
          case '\\':
            word.text += '\\';
            break;
          case 'r':
            word.text += '\r';
            break;
          case 'n':
            word.text += '\n';
            break;
          case 't':
            word.text += '\t';
            break;
          default:
            // Any other backslash stands for itself, so that Windows paths read as written.
            word.text += '\\';
            word.text += e;
        }
      }
      Require(closed, "a quoted text is not closed");
      Require(i >= line.size() || IsSpace(line[i]) || line[i] == '#',
              "a quoted text must be followed by a space");
    } else {
      // A double quote within a bare word is an inch mark, part of the word.
      while (i < line.size() && !IsSpace(line[i]) && line[i] != '#') word.text += line[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

std::optional<int64_t> ParseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const char* begin = text.data();
  const char* end = begin + text.size();
  bool negative = false;
  if (*begin == '-' || *begin == '+') {
    negative = *begin == '-';
    ++begin;
  }
  int base = 10;
  if (end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
    base = 16;
    begin += 2;
  }
  if (begin == end) return std::nullopt;
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value, base);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return negative ? -value : value;
}

std::optional<double> ParseReal(const std::string& text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

void Script::AddLine(const std::string& raw, int number) const {
  std::string text = raw;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  size_t indent = 0;
  while (indent < text.size() && (text[indent] == ' ' || text[indent] == '\t')) ++indent;
  ScriptLine line;
  line.file = fileName_;
  line.number = number;
  line.indented = indent > 0;
  try {
    line.words = SplitWords(text);
  } catch (const std::invalid_argument& e) {
    throw ScriptError(fileName_, number, e.what());
  }
  if (line.words.empty()) return;  // blank or comment only
  try {
    // A line that is not indented ends any form block.
    if (!line.indented) inFormBlock_ = false;
    line.verb = Classify(line, inFormBlock_);
  } catch (const std::invalid_argument& e) {
    throw ScriptError(fileName_, number, e.what());
  }
  if (IsFormAction(line.verb) && !(line.indented && inFormBlock_)) {
    throw ScriptError(
        fileName_, number,
        "\"" + line.Arg(0) + "\" acts on a form: put it indented under a \"form NAME\" line");
  }
  if (line.verb == Verb::Form) {
    if (line.indented) {
      throw ScriptError(fileName_, number, "a \"form NAME\" line starts a block: do not indent it");
    }
    inFormBlock_ = true;
  }
  // The source as written, from the first word to the end of the last one.
  size_t end = text.size();
  {
    // Trim a trailing comment: re-split up to the last word by scanning quotes.
    bool inQuote = false;
    for (size_t i = indent; i < text.size(); ++i) {
      if (text[i] == '\\' && inQuote) {
        ++i;
        continue;
      }
      // A quoted text starts only at the beginning of a word (inside one a quote is an inch mark).
      if (text[i] == '"' && (inQuote || i == indent || IsSpace(text[i - 1]))) inQuote = !inQuote;
      if (text[i] == '#' && !inQuote) {
        end = i;
        break;
      }
    }
    while (end > indent && IsSpace(text[end - 1])) --end;
  }
  line.source = text.substr(indent, end - indent);
  if (moveOnRead_) TranslateLine(line, offsetX_, offsetY_);
  lastWhere_ = line.Where();
  lines_.push_back(std::move(line));
}

Script Script::Parse(const std::string& text, const std::string& fileName) {
  Script script;
  script.fileName_ = fileName;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    script.AddLine(raw, number);
  }
  script.nextNumber_ = number + 1;
  return script;
}

Script Script::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError(path.string(), 0, "cannot open the session script");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ScriptError(path.string(), 0, "cannot read the session script");
  std::string content = text.str();
  if (content.find('\0') != std::string::npos) {
    throw ScriptError(path.string(), 0, "not a session script (it holds NUL bytes)");
  }
  return Parse(content, path.string());
}

Script Script::Open(const std::filesystem::path& path, int64_t dx, int64_t dy) {
  auto in = std::make_shared<std::ifstream>(path, std::ios::binary);
  if (!*in) throw ScriptError(path.string(), 0, "cannot open the session script");
  Script script;
  script.fileName_ = path.string();
  script.offsetX_ = dx;
  script.offsetY_ = dy;
  script.moveOnRead_ = true;
  // Every line checked, and let go at once.
  std::string raw;
  int number = 0;
  while (std::getline(*in, raw)) {
    ++number;
    if (raw.find('\0') != std::string::npos)
      throw ScriptError(path.string(), 0, "not a session script (it holds NUL bytes)");
    script.AddLine(raw, number);
    script.lines_.clear();
  }
  if (in->bad()) throw ScriptError(path.string(), 0, "cannot read the session script");
  // Then read again from the start as the lines are reached.
  in->clear();
  in->seekg(0);
  if (!*in) throw ScriptError(path.string(), 0, "cannot read the session script");
  script.stream_ = std::move(in);
  script.streamed_ = true;
  script.inFormBlock_ = false;
  script.lastWhere_.clear();
  script.nextNumber_ = 1;
  return script;
}

bool Script::ReadNext() const {
  std::string raw;
  while (stream_ && std::getline(*stream_, raw)) {
    const size_t before = lines_.size();
    AddLine(raw, nextNumber_++);
    if (lines_.size() > before) return true;
  }
  stream_.reset();  // at its end
  return false;
}

bool Script::Has(size_t index) const {
  while (index >= Size()) {
    if (!ReadNext()) return false;
  }
  return true;
}

void Script::Release(size_t index) {
  if (!streamed_) return;  // a script read whole keeps every line
  while (released_ < index && !lines_.empty()) {
    lines_.pop_front();
    ++released_;
  }
}

std::string Script::LastWhere() const {
  // The whole script is read first: the last line is the file's last.
  while (ReadNext()) {
  }
  return lastWhere_.empty() ? fileName_ : lastWhere_;
}

void Script::Append(const std::string& lineText, bool indented) {
  // Lines appended follow the whole file.
  while (ReadNext()) {
  }
  if (fileName_.empty()) fileName_ = "<session>";
  AddLine(indented ? "  " + lineText : lineText, nextNumber_++);
}

namespace {

// The indices of the X words of a line's drawing points (each Y follows its X).
std::vector<size_t> PointWords(const ScriptLine& line) {
  std::vector<size_t> xs;
  if (line.verb == Verb::Point || line.verb == Verb::Pick) {
    xs.push_back(1);
  } else if (line.verb == Verb::Host) {
    const std::string& what = line.Arg(1);
    if (what == "line") {
      for (size_t i = 2; i + 1 < line.Count() && !IsWord(line, i, "layer"); i += 2) xs.push_back(i);
    } else if (what == "arc" || what == "text" || (what == "select" && !IsWord(line, 2, "none"))) {
      xs.push_back(2);
    } else if (what == "symbol") {
      xs.push_back(3);
    }
  }
  return xs;
}

}  // namespace

void Script::TranslateLine(ScriptLine& line, int64_t dx, int64_t dy) {
  if (dx == 0 && dy == 0) return;
  const std::vector<size_t> xs = PointWords(line);
  if (xs.empty()) return;
  auto move = [&](size_t index, int64_t by) {
    // The words were checked as whole numbers when the line was read. Both terms are bounded
    // first, so that the sum itself cannot overflow.
    const int64_t value = *ParseInteger(line.Arg(index));
    constexpr int64_t kBound = int64_t{1} << 40;
    const bool fits = value > -kBound && value < kBound && by > -kBound && by < kBound &&
                      value + by >= std::numeric_limits<int32_t>::min() &&
                      value + by <= std::numeric_limits<int32_t>::max();
    if (!fits) {
      throw ScriptError(line.file, line.number,
                        "moved by the offset, the coordinate " + line.Arg(index) +
                            " lies beyond the host's 32-bit coordinates");
    }
    line.words[index].text = std::to_string(value + by);
  };
  for (size_t x : xs) {
    move(x, dx);
    move(x + 1, dy);
  }
  std::string source;
  for (const Word& word : line.words) {
    if (!source.empty()) source += ' ';
    source += word.quoted ? Quote(word.text) : word.text;
  }
  line.source = source;
}

void Script::Translate(int64_t dx, int64_t dy) {
  // Lines still to be read from a stream are moved by the new offset as they are read.
  while (ReadNext()) {
  }
  offsetX_ += dx;
  offsetY_ += dy;
  for (ScriptLine& line : lines_) TranslateLine(line, dx, dy);
}

void Script::Rewind(const Mark& mark) {
  while (Size() > mark.lines && !lines_.empty()) lines_.pop_back();
  inFormBlock_ = mark.inFormBlock;
  nextNumber_ = mark.nextNumber;
}

}  // namespace user
