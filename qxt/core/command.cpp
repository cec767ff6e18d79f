#include "core/command.h"

#include "core/messages.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace qxt {

ToolRun::ToolRun(const InterlockedTool& tool, Announce announce) : tool_(tool) {
  if (!ToolsReady()) return;
  // Any running interlocked tool refuses the next one, whatever its code.
  if (State().RunningTool != 0) {
    ShowError(tool.refusal);
    return;
  }
  State().RunningTool = tool.code;
  started_ = true;
  if (announce == Announce::Now) AnnounceTool();
}

ToolRun::~ToolRun() {
  if (!started_) return;
  HsiStatusLineUpdate();
  if (StateExists()) State().RunningTool = 0;
}

void ToolRun::AnnounceTool() const { AnnounceCommand(tool_.title); }

void SwitchHintsOn() {
  platform::Application().showHint = true;
  platform::Application().hintPause = 1500;
}

void AnnounceCommand(const char* title) { HsiCustomCallback(title, 0); }

bool RequireMode2D() {
  if (HsiGetProgMode() == HSI_MODE_2D) return true;
  ShowError("This command works in 2D mode only.");
  return false;
}

void StartHostCommand(std::int32_t command) {
  LibraryState& state = State();
  HsiMenuEntry(static_cast<std::int16_t>(command), &state.MenuArgX, &state.MenuArgY);
}

void StartNestedHostCommand(std::int32_t command) {
  LibraryState& state = State();
  HsiNestedMenuEntry(static_cast<std::int16_t>(command), &state.MenuArgX, &state.MenuArgY);
}

int RunPalette(platform::Form& palette, const std::map<int, std::int32_t>& hostCommands) {
  const int result = palette.ShowModal();
  if (const auto found = hostCommands.find(result); found != hostCommands.end()) {
    StartHostCommand(found->second);
  }
  return result;
}

}  // namespace qxt
