// System services: beeps, message boxes, help, common dialogs, program start, ini values, the
// clipboard and the clock. Everything a person would see or answer goes through the UI driver
// and is recorded in the history.
#include "platform/system.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/metrics.h"
#include "state.h"

namespace platform {

namespace {

// A driver that gives wrong answers forever must not hang the program: a dialog that keeps
// refusing what it is given gives up (as if cancelled) after this many tries.
constexpr int kMaxDialogTries = 100;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  std::size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  std::size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

bool Offers(MsgButtons buttons, MsgResult answer) {
  switch (buttons) {
    case MsgButtons::OK:
      return answer == MsgResult::OK;
    case MsgButtons::OKCancel:
      return answer == MsgResult::OK || answer == MsgResult::Cancel;
    case MsgButtons::YesNo:
      return answer == MsgResult::Yes || answer == MsgResult::No;
    case MsgButtons::YesNoCancel:
      return answer == MsgResult::Yes || answer == MsgResult::No || answer == MsgResult::Cancel;
    case MsgButtons::RetryCancel:
      return answer == MsgResult::Retry || answer == MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
      return answer == MsgResult::Abort || answer == MsgResult::Retry ||
             answer == MsgResult::Ignore;
  }
  return false;
}

// What closing the box without a valid button gives: Cancel where there is one, OK for a box
// with only OK, otherwise its first button.
MsgResult Dismissed(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OK:
      return MsgResult::OK;
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel:
      return MsgResult::Cancel;
    case MsgButtons::YesNo:
      return MsgResult::Yes;
    case MsgButtons::AbortRetryIgnore:
      return MsgResult::Abort;
  }
  return MsgResult::OK;
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

}  // namespace

// ---- Beeps and message boxes ----

void Beep(BeepKind kind) {
  detail::S().history.beeps.push_back(kind);
  detail::Driver().OnBeep(kind);
}

MsgResult MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                     MsgButtons buttons, const Form* owner) {
  MessageBoxRequest request;
  request.caption = caption;
  request.text = text;
  request.icon = icon;
  request.buttons = buttons;
  request.owner = owner;
  auto& messages = detail::S().history.messages;
  messages.push_back({request, MsgResult::None});
  std::size_t index = messages.size() - 1;
  MsgResult answer = detail::Driver().AskMessage(request);
  if (!Offers(buttons, answer)) answer = Dismissed(buttons);
  auto& after = detail::S().history.messages;
  if (index < after.size()) after[index].answer = answer;
  return answer;
}

std::string ApplicationCaption() {
  const std::string& title = detail::S().application.title;
  return title.empty() ? WindowCaption(ApplicationWindow()) : title;
}

MsgResult MessageDlg(const std::string& text, MsgDlgType type, MsgButtons buttons) {
  switch (type) {
    case MsgDlgType::Warning:
      return MessageBox(text, "Warning", MsgIcon::Warning, buttons);
    case MsgDlgType::Error:
      return MessageBox(text, "Error", MsgIcon::Error, buttons);
    case MsgDlgType::Information:
      return MessageBox(text, "Information", MsgIcon::Information, buttons);
    case MsgDlgType::Confirmation:
      return MessageBox(text, "Confirmation", MsgIcon::Question, buttons);
    case MsgDlgType::Custom:
      break;
  }
  return MessageBox(text, ApplicationCaption(), MsgIcon::None, buttons);
}

void ShowMessage(const std::string& text) {
  MessageBox(text, ApplicationCaption(), MsgIcon::None, MsgButtons::OK);
}

ApplicationSettings& Application() { return detail::S().application; }

// ---- Numbers in the locale's format ----

std::string FormatNumber(double value, int decimals) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  decimals = std::clamp(decimals, 0, 18);
  // The value's 18 significant digits and where the decimal point falls among them.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
  std::string text = buffer;
  std::size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  int point = std::atoi(text.c_str() + e + 1) + 1;
  if (point < 1) {
    digits.insert(0, static_cast<std::size_t>(1 - point), '0');
    point = 1;
  }
  // Round half away from zero to the decimals asked for.
  std::size_t keep = static_cast<std::size_t>(point + decimals);
  if (keep < digits.size()) {
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    for (std::size_t i = keep; up && i-- > 0;) {
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        up = false;
      }
    }
    if (up) {
      digits.insert(0, "1");
      ++point;
    }
  } else {
    digits.append(keep - digits.size(), '0');
  }
  std::string whole = digits.substr(0, static_cast<std::size_t>(point));
  std::string fraction = digits.substr(static_cast<std::size_t>(point));
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));

  const ApplicationSettings& locale = Application();
  std::string out;
  if (value < 0 && digits.find_first_not_of('0') != std::string::npos) out += '-';
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0 && locale.thousandSeparator != '\0')
      out += locale.thousandSeparator;
    out += whole[i];
  }
  if (decimals > 0) out += locale.decimalSeparator + fraction;
  return out;
}

// ---- Help ----

void ShowHelp(const std::string& file, const std::string& topic) {
  detail::S().history.help.push_back({file, topic});
  detail::Driver().OnHelp(file, topic);
}

bool HelpContext(int context) {
  const std::string& file = detail::S().application.helpFile;
  if (file.empty()) return false;
  ShowHelp(file, std::to_string(context));
  return true;
}

bool HelpJump(const std::string& topic) {
  const std::string& file = detail::S().application.helpFile;
  if (file.empty()) return false;
  ShowHelp(file, topic);
  return true;
}

// ---- Common dialogs ----

bool OpenDialog::Execute() {
  OpenFileRequest request;
  request.title = title;
  request.filter = filter;
  request.defaultExt = defaultExt;
  request.initialDir = initialDir;
  request.fileName = fileName;
  request.fileMustExist = fileMustExist;
  request.pathMustExist = pathMustExist;
  request.noChangeDir = noChangeDir;
  const std::string caption = title.empty() ? "Open" : title;
  for (int attempt = 0; attempt < kMaxDialogTries; ++attempt) {
    std::optional<std::string> answer = detail::Driver().AskOpenFile(request);
    if (!answer) return false;
    std::string path = *answer;
    if (!IsAbsolute(path) && !initialDir.empty()) path = JoinPath(initialDir, path);
    path = ExpandFileName(path);
    if (ExtractFileExt(path).empty() && !defaultExt.empty()) path += "." + defaultExt;
    if ((pathMustExist || fileMustExist) && !DirectoryExists(ExtractFilePath(path))) {
      MessageBox(path + "\r\nPath does not exist.\r\nCheck the path and try again.", caption,
                 MsgIcon::Warning);
      continue;
    }
    if (fileMustExist && !FileExists(path)) {
      MessageBox(path + "\r\nFile not found.\r\nPlease verify the correct file name was given.",
                 caption, MsgIcon::Warning);
      continue;
    }
    fileName = path;
    if (!noChangeDir) SetCurrentFolder(ExtractFilePath(path));
    return true;
  }
  return false;
}

bool FontDialog::Execute() {
  FontRequest request;
  request.initial.face = font.name;
  request.initial.size = font.size;
  request.initial.bold = font.bold;
  request.initial.italic = font.italic;
  request.initial.underline = font.underline;
  request.initial.strikeout = font.strikeout;
  request.trueTypeOnly = trueTypeOnly;
  request.effects = effects;
  for (int attempt = 0; attempt < kMaxDialogTries; ++attempt) {
    std::optional<FontChoice> answer = detail::Driver().AskFont(request);
    if (!answer) return false;
    bool known = metrics::IsInstalledFace(answer->face);
    if ((forceFontExist && !known) || (trueTypeOnly && !metrics::IsTrueTypeFace(answer->face))) {
      MessageBox("There is no font with that name.\r\nChoose a font from the list of fonts.",
                 "Font", MsgIcon::Warning);
      continue;
    }
    if (answer->size < 1 || answer->size > 1638) {
      MessageBox("Size must be between 1 and 1638 points.", "Font", MsgIcon::Warning);
      continue;
    }
    font.name = answer->face;
    font.size = answer->size;
    font.bold = answer->bold;
    font.italic = answer->italic;
    if (effects) {
      font.underline = answer->underline;
      font.strikeout = answer->strikeout;
    }
    return true;
  }
  return false;
}

bool SelectDirectory(const std::string& title, std::string& directory) {
  FolderRequest request;
  request.title = title;
  request.initialDir = directory;
  for (int attempt = 0; attempt < kMaxDialogTries; ++attempt) {
    std::optional<std::string> answer = detail::Driver().AskFolder(request);
    if (!answer) return false;
    std::string path = ExcludeTrailingBackslash(ExpandFileName(*answer));
    if (DirectoryExists(path)) {
      directory = path;
      return true;
    }
    MsgResult create = MessageDlg("The specified directory does not exist. Create it?",
                                  MsgDlgType::Confirmation, MsgButtons::YesNo);
    if (create != MsgResult::Yes) continue;
    if (ForceDirectories(path)) {
      directory = path;
      return true;
    }
    MessageDlg("Unable to create directory", MsgDlgType::Error, MsgButtons::OK);
  }
  return false;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  InputRequest request{caption, prompt, value};
  std::optional<std::string> answer = detail::Driver().AskInput(request);
  if (!answer) return false;
  value = *answer;
  return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue) {
  std::string value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}

// ---- Programs and ini files ----

unsigned WinExec(const std::string& commandLine, int showCommand) {
  (void)showCommand;
  std::string line = Trim(commandLine);
  std::string program;
  if (!line.empty() && line[0] == '"') {
    std::size_t close = line.find('"', 1);
    program = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    program = line.substr(0, line.find(' '));
  }
  if (program.empty()) return 2;
  std::vector<std::string> candidates;
  if (IsAbsolute(program) || program.find('\\') != std::string::npos) {
    candidates.push_back(program);
  } else {
    // As the system searches: the current folder, then the system folders.
    candidates = {JoinPath(CurrentFolder(), program), "C:\\WINDOWS\\" + program,
                  "C:\\WINDOWS\\SYSTEM\\" + program};
  }
  for (const std::string& candidate : candidates) {
    if (FileExists(candidate)) {
      detail::S().history.programs.push_back(commandLine);
      detail::Driver().OnProgramStarted(commandLine);
      return 33;
    }
  }
  return DirectoryExists(ExtractFilePath(ExpandFileName(candidates.front()))) ? 2 : 3;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue,
                                    const std::string& iniWindowsPath) {
  std::string path = iniWindowsPath;
  if (path.find('\\') == std::string::npos && path.find(':') == std::string::npos)
    path = "C:\\WINDOWS\\" + path;  // a bare name lives in the system folder
  std::string content;
  try {
    content = ReadWholeFile(path, 1u << 20);
  } catch (const FileError&) {
    return defaultValue;
  }
  const std::string wantedSection = Lower(Trim(section));
  const std::string wantedKey = Lower(Trim(key));
  bool inSection = false;
  std::size_t pos = 0;
  while (pos <= content.size()) {
    std::size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = content.size();
    std::string line = Trim(content.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::size_t close = line.find(']');
      inSection =
          close != std::string::npos && Lower(Trim(line.substr(1, close - 1))) == wantedSection;
      continue;
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos || Lower(Trim(line.substr(0, eq))) != wantedKey) continue;
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return defaultValue;
}

// ---- Clipboard ----

void SetClipboardPicture(Picture picture) { detail::S().clipboard = std::move(picture); }
bool ClipboardHasPicture() {
  auto& clip = detail::S().clipboard;
  return clip.has_value() && !clip->Empty();
}
Picture ClipboardPicture() {
  auto& clip = detail::S().clipboard;
  return clip ? *clip : Picture();
}
void ClearClipboard() { detail::S().clipboard.reset(); }

// ---- Clock ----

std::int64_t Clock() { return detail::S().clock; }

void AdvanceClock(std::int64_t ms) {
  // A timer's handler may release its form: it goes when the ticks are over.
  UserActionScope scope;
  auto& s = detail::S();
  const std::int64_t target = s.clock + std::max<std::int64_t>(ms, 0);
  for (;;) {
    Timer* next = nullptr;
    for (Timer* t : s.timers) {
      if (!t->Enabled() || t->Interval() <= 0 || t->NextDue() > target) continue;
      if (!next || t->NextDue() < next->NextDue()) next = t;
    }
    if (!next) break;
    s.clock = std::max(s.clock, next->NextDue());
    next->Fire();
  }
  s.clock = std::max(s.clock, target);
}

}  // namespace platform
