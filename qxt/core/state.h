// The library-wide state: one object, made when the host loads the library and destroyed when it
// unloads it, so the library can be loaded, unloaded and loaded again in one process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/config.h"

namespace qxt {

struct Forms;  // every dialog and tool window, created once at load (core/forms.h)

struct LibraryState {
  LibraryState();
  ~LibraryState();
  LibraryState(const LibraryState&) = delete;
  LibraryState& operator=(const LibraryState&) = delete;

  // All persistent settings; ConfigValid is 1 only after the file was read or created.
  QXConfig Config{};
  // 0 when no interactive tool runs, else the running tool's code (see core/command.h).
  std::int32_t RunningTool = 0;
  // The host program's folder, with its trailing backslash.
  std::string HostDirectory;
  // True while the snap toolbar window is shown.
  bool SnapToolbarShown = false;
  // The two variables every host-command hand-over passes by reference (the second one is also
  // the last argument of the point requests). Their values are never read.
  std::int16_t MenuArgX = 0;
  std::int16_t MenuArgY = 0;
  // The id the host returned for the drawing object a command created last (text placement,
  // quick text); when that creation failed, the host's failure answer.
  std::int32_t LastCreatedObject = 0;
  // The forms, in their creation order.
  std::unique_ptr<Forms> forms;
};

// True between the library's attach and detach.
bool StateExists();
// The state of the loaded library. Only valid while StateExists().
LibraryState& State();
// Shorthand for State().Config.
QXConfig& Config();

// The library's start and end (what the loader entries do). Start reads or creates the
// configuration, records the host folder and creates every form; end saves the configuration and
// destroys the state. Starting again after an end begins afresh.
void StartLibrary();
void EndLibrary();

}  // namespace qxt
