// The platform's global state, kept in one place so that Reset() returns the whole system to
// its start for the next test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/graphics.h"
#include "platform/memory.h"
#include "platform/picture.h"
#include "platform/system.h"
#include "platform/ui_driver.h"
#include "platform/window_handle.h"

namespace platform {
class Form;
class Timer;
}  // namespace platform

namespace platform::detail {

struct MemoryBlock {
  std::vector<unsigned char> bytes;
  int locks = 0;
};

struct WindowRecord {
  std::string caption;
  WindowHandle parent = 0;
  Rect bounds;  // screen coordinates for top-level windows, parent client coordinates otherwise
  Rect frame;   // thickness of the frame on each side (client area inset)
  Form* form = nullptr;
};

struct State {
  // Memory blocks.
  std::map<MemHandle, MemoryBlock> blocks;
  MemHandle nextBlock = 1;

  // Windows.
  std::map<WindowHandle, WindowRecord> windows;
  WindowHandle nextWindow = 0x100;
  WindowHandle applicationWindow = 0;
  WindowHandle activeWindow = 0;

  // Files.
  std::filesystem::path root;
  std::string currentFolder = "C:\\";
  std::map<char, std::uint64_t> driveCapacity;
  FileErrorCode lastFileError = FileErrorCode::None;

  // The user and what the user was shown.
  UiDriver* driver = nullptr;
  History history;
  ApplicationSettings application;
  std::vector<Form*> forms;       // every live form
  std::vector<Form*> shownForms;  // shown, in the order they were shown
  std::vector<Form*> modalStack;
  int userActionDepth = 0;
  std::vector<Form*> releasedForms;  // destroyed when no user action is under way

  // Time.
  std::int64_t clock = 0;
  std::vector<Timer*> timers;

  // Clipboard.
  std::optional<Picture> clipboard;
};

State& S();

// A top-level window for a form.
WindowHandle NewFormWindow(Form* form, const std::string& caption);

// Destroys every released form (they are the platform's to delete).
void DestroyReleasedForms();

// The driver to ask: the one set, or a stand-in that answers every question with its default.
UiDriver& Driver();

// Translates an errno value into the system's file error.
FileErrorCode FromErrno(int error, bool parentMissing);

// Bytes that may still be written on the drive of a local path; nullopt when unlimited.
std::optional<std::uintmax_t> RoomOnDrive(const std::filesystem::path& local);
// Makes the file at `local` the machine's own before it is changed in place: a machine made of
// links to the sample machine's files shares each of them with the sample (and with the other
// machines made from it) until then. The copy keeps the file's time; a file not shared is left.
// False when the file is still shared (its copy could not be made): the write must not go on.
bool OwnFile(const std::filesystem::path& local);

}  // namespace platform::detail
