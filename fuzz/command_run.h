// A run of the toolset's commands for the fuzz targets that feed a damaged file to the commands
// themselves: a fresh host on the scratch machine with a person who answers from queues (and
// cancels once they run dry), the library loaded before the commands and unloaded after them.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "core/state.h"
#include "fuzz_support.h"
#include "host/host.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "scratch_machine.h"
#include "test_user.h"

namespace qxtfuzz {

// Copies a folder of the source tree's sample machine (by its path under share/root, such as
// "C/QXTOOLS/QXSYMBOL") onto the scratch machine, once per process.
inline void CopySampleFolder(const ScratchMachine& machine, const std::string& folder) {
  const std::filesystem::path to = machine.Dir() / folder;
  std::error_code ec;
  if (std::filesystem::exists(to / ".copied", ec)) return;
  std::filesystem::create_directories(to, ec);
  std::filesystem::copy(
      std::filesystem::path(QXT_SAMPLE_ROOT) / folder, to,
      std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive,
      ec);
  std::ofstream(to / ".copied");
}

// Runs `commands` with the library loaded on a fresh host; `user` answers what they ask.
inline void RunCommands(testsupport::TestUser& user, const std::function<void()>& commands) {
  platform::SetUiDriver(&user);
  host::Host::Options options;
  options.readIni = false;
  host::Host& host = host::Host::Start(options);
  host.SetInputSource(&user);
  host.SetObserver(&user);
  qxt::StartLibrary();
  commands();
  qxt::EndLibrary();
  host::Host::Stop();
  platform::SetUiDriver(nullptr);
}

// Clicks at a place of a control as a person does with the left button.
// What the commands drew is a drawing the host can keep: saved as `path` and opened again.
inline void CheckSavedAndReopened(const std::string& path) {
  host::Host& host = *host::Host::Current();
  std::string why;
  if (!host.SaveDrawing(path, &why)) Broken("the drawing cannot be saved: " + why);
  if (!host.OpenDrawing(path, &why)) Broken("the drawing does not open again: " + why);
}

inline void ClickAt(platform::Form& form, const std::string& control, int x, int y) {
  if (platform::Control* c = form.Find<platform::Control>(control)) {
    c->MouseDown(platform::MouseButton::Left, {}, x, y);
    c->MouseUp(platform::MouseButton::Left, {}, x, y);
  }
}

}  // namespace qxtfuzz
