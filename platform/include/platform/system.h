// System services: the user driver, beeps, message boxes, the application's settings, help,
// common dialogs, program start, ini values, the clipboard and the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/ui_driver.h"

namespace platform {

class Form;

// Returns the whole platform to its start: no driver, no memory blocks, no windows, no shown
// forms, no timers, clock 0, empty history and clipboard, no root, current folder "C:\".
// Forms and timers that still exist are forgotten (their timers no longer fire), so reset
// before creating them. Handles keep counting up across a reset.
void Reset();

// The person in front of the screen. Without a driver every question is answered by default:
// a message box with its first button, a modal form with Cancel, a dialog with Cancel.
void SetUiDriver(UiDriver* driver);
UiDriver* CurrentUiDriver();

// ---- What the user was shown, in order (for tests and transcripts) ----

struct MessageBoxRecord {
  MessageBoxRequest request;
  MsgResult answer = MsgResult::None;
};
struct HelpCall {
  std::string file;
  std::string topic;  // a topic name or a context number as text
};
struct History {
  std::vector<BeepKind> beeps;
  std::vector<MessageBoxRecord> messages;
  std::vector<HelpCall> help;
  std::vector<std::string> programs;  // command lines started
};
const History& GetHistory();

// ---- Beeps and message boxes ----

void Beep(BeepKind kind = BeepKind::Default);

// A message box (no sound of its own: callers beep first where they want one). The owner is the
// form it belongs to, or null for the application window.
MsgResult MessageBox(const std::string& text, const std::string& caption,
                     MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::OK,
                     const Form* owner = nullptr);

// The standard message dialog: its caption names its kind ("Warning", "Error", "Information",
// "Confirmation"; a custom one takes the application title).
enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };
MsgResult MessageDlg(const std::string& text, MsgDlgType type, MsgButtons buttons);

// A plain message box with an OK button, captioned with the application title (or, while that
// is empty, the application window's caption).
void ShowMessage(const std::string& text);
std::string ApplicationCaption();

// ---- Application settings ----

struct ApplicationSettings {
  bool showHint = true;
  int hintPause = 500;       // ms before a hint shows
  int hintHidePause = 2500;  // ms a hint stays
  int hintShortPause = 50;   // ms between hints of neighbouring controls
  std::string title;
  std::string helpFile;
  // The number format of the user's locale. The stand-in machine is set to English (United
  // States); a test may choose another separator.
  char decimalSeparator = '.';
  // The same locale's thousands separator; '\0' when digits are not grouped.
  char thousandSeparator = ',';
  // The full path of the running program's executable, as the system reports it for the
  // process. The host program may set its own; the stand-in machine's host lives here.
  std::string exeName = "C:\\TRACELON\\TRACELON.EXE";
};
ApplicationSettings& Application();

// A number as the system's "%.Nn" format writes it: `decimals` (0 to 18) fixed decimals after
// the locale's decimal separator, the whole part grouped by threes with its thousands
// separator, '-' before a negative value that does not round to zero ("-1,234.50"). The value is
// rounded half away from zero on its 18 significant decimal digits, as the system converts it.
// Not-a-number and infinities give "NAN", "INF" and "-INF".
std::string FormatNumber(double value, int decimals = 2);

// ---- Help viewer ----

// Opens the help viewer on a file at a topic ("100") or a context number. Recorded and
// reported to the driver. HelpContext uses the application's help file and does nothing while
// that is empty.
void ShowHelp(const std::string& file, const std::string& topic);
bool HelpContext(int context);
bool HelpJump(const std::string& topic);

// ---- Common dialogs ----

class OpenDialog {
 public:
  std::string title;
  std::string filter;      // "Drawings (*.VWF)|*.VWF"
  std::string defaultExt;  // without the dot
  std::string initialDir;
  std::string fileName;  // the chosen file after Execute (full Windows path)
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool noChangeDir = false;

  // Asks the user for a file. A file that must exist and does not (or a missing folder) is
  // refused with a message box and asked for again. A name without extension takes the default
  // extension. Unless noChangeDir, the current folder becomes the file's folder.
  bool Execute();
};

class FontDialog {
 public:
  Font font;
  bool trueTypeOnly = false;
  bool effects = false;        // underline, strike-out and colour offered
  bool forceFontExist = true;  // the face must be an installed font

  // Asks the user for a font. A face that is not installed, or not TrueType when only TrueType
  // faces are offered, is refused with a message box and asked for again.
  bool Execute();
};

// The folder chooser. A folder that does not exist is offered for creation (Yes creates it with
// its parents; No asks again). True with `directory` set when the user chose one.
bool SelectDirectory(const std::string& title, std::string& directory);

// The one-line input box: true with `value` set on OK.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue);

// ---- Programs and ini files ----

// Starts a program by command line. Returns 33 when its file exists (the first word, or the
// quoted first part, resolved from the current folder), else 2 (file not found) or 3 (path not
// found); 32 and above is success. Recorded and reported to the driver; nothing is executed.
unsigned WinExec(const std::string& commandLine, int showCommand);

// One value of an ini file: section and key compared without regard to case, the value with
// surrounding blanks removed (and surrounding quotes). `defaultValue` when the file, section or
// key is missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue,
                                    const std::string& iniWindowsPath);

// ---- Clipboard ----

void SetClipboardPicture(Picture picture);
bool ClipboardHasPicture();
Picture ClipboardPicture();  // empty when there is none
void ClearClipboard();

// ---- Clock ----

// Milliseconds since Reset. Time passes only when the driver advances it; timers that come due
// fire in order while it does.
std::int64_t Clock();
void AdvanceClock(std::int64_t ms);

}  // namespace platform
