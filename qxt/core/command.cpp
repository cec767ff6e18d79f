#include "core/command.h"

#include <utility>
#include <vector>

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
  // Only a button the user pressed chooses a host command. Closing the palette any other way
  // also ends its showing with the system's Cancel result, whose number a palette button may
  // carry as its own modal result (the circle palette's second button has 2): that must not
  // start the button's command. So the buttons note their press while the palette is shown.
  int pressed = platform::ModalResult::None;
  std::vector<std::pair<platform::Button*, platform::NotifyEvent>> saved;
  for (platform::Control* control : palette.Controls()) {
    auto* button = dynamic_cast<platform::Button*>(control);
    if (button == nullptr || button->modalResult == platform::ModalResult::None) continue;
    saved.emplace_back(button, button->OnClick);
    button->OnClick = [&pressed, button, previous = button->OnClick](platform::Control& sender) {
      pressed = button->modalResult;
      if (previous) previous(sender);
    };
  }
  int result = platform::ModalResult::None;
  try {
    result = palette.ShowModal();
  } catch (...) {
    for (auto& [button, handler] : saved) button->OnClick = std::move(handler);
    throw;
  }
  for (auto& [button, handler] : saved) button->OnClick = std::move(handler);
  if (result != pressed) return result;
  if (const auto found = hostCommands.find(result); found != hostCommands.end()) {
    StartHostCommand(found->second);
  }
  return result;
}

}  // namespace qxt
