#include "core/state.h"

#include <stdexcept>

#include "core/exports.h"
#include "core/forms.h"
#include "core/messages.h"
#include "drafting/snap_toolbar.h"
#include "hsi/hsi.h"
#include "platform/system.h"
#include "platform/window_handle.h"

namespace qxt {

namespace {

std::unique_ptr<LibraryState> gState;

const char* const kConfigurationUnavailable =
    "QX Tools was unable to retrieve its configuration information\r\n"
    "from the QXTOOLS.DAT file.  Without this information, QX Tools\r\n"
    "will not function properly and may crash your system. You must\r\n"
    "correct this problem before using QX Tools.";

}  // namespace

LibraryState::LibraryState() = default;
LibraryState::~LibraryState() = default;

bool StateExists() { return gState != nullptr; }

LibraryState& State() {
  if (!gState) throw std::logic_error("the QX Tools library is not loaded");
  return *gState;
}

QXConfig& Config() { return State().Config; }

void StartLibrary() {
  if (gState) return;  // already loaded
  gState = std::make_unique<LibraryState>();
  LibraryState& state = *gState;

  // Every window of the library is owned by, and modal against, the host's main window.
  platform::SetApplicationWindow(HsiGetWindowHandle());

  // A configuration that cannot be read leaves the library loaded but refusing every command.
  state.Config.ConfigValid = 0;
  if (!GetQXConfig()) ShowError(kConfigurationUnavailable);

  state.RunningTool = 0;
  state.SnapToolbarShown = false;
  // The folder of the program that loaded the library, with its trailing backslash.
  const std::string& exeName = platform::Application().exeName;
  state.HostDirectory = exeName.substr(0, exeName.find_last_of('\\') + 1);
  platform::Application().title.clear();
  platform::Application().helpFile.clear();

  state.forms = CreateForms();
}

void EndLibrary() {
  if (!gState) return;
  SaveQXConfig();
  // A snap toolbar left open is freed with the library.
  DestroySnapToolbar();
  // The forms go first (in the reverse order of their creation), then the rest of the state.
  gState->forms.reset();
  gState.reset();
}

}  // namespace qxt

QXT_EXPORT void DllProcessAttach() { qxt::StartLibrary(); }
QXT_EXPORT void DllProcessDetach() { qxt::EndLibrary(); }
