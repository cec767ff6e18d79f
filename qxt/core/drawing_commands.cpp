#include "core/drawing_commands.h"

#include <cstdint>
#include <map>

#include "core/command.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"
#include "hsi/hsi.h"

namespace {

// The host's own commands the palettes' buttons start, by the buttons' modal results. The
// Cancel buttons (5 and 4) have none.
const std::map<int, std::int32_t> kCircleCommands{{1, 1005}, {2, 1006}, {3, 1007}, {4, 1008}};
const std::map<int, std::int32_t> kArcCommands{{1, 1010}, {2, 1011}, {3, 1012}};

constexpr std::int32_t kTrimCommand = 1157;           // trim, the host asks for the objects
constexpr std::int32_t kTrimSelectionCommand = 1147;  // trim with the selected objects
constexpr std::int32_t kPickActiveLayerCommand = 664;

void RunDrawingPalette(platform::Form& palette, const char* title,
                       const std::map<int, std::int32_t>& commands) {
  if (!qxt::ToolsReady() || !qxt::RequireMode2D()) return;
  qxt::AnnounceCommand(title);
  qxt::RunPalette(palette, commands);
}

}  // namespace

QXT_EXPORT void QXCircle() {
  RunDrawingPalette(*qxt::State().forms->frmQXCircle, "QX Circle", kCircleCommands);
}

QXT_EXPORT void QXArc() {
  RunDrawingPalette(*qxt::State().forms->frmQXArc, "QX Arc", kArcCommands);
}

QXT_EXPORT void QXTrim() {
  if (!qxt::ToolsReady()) return;
  qxt::StartHostCommand(HsiOslCount(0) <= 0 ? kTrimCommand : kTrimSelectionCommand);
}

QXT_EXPORT void QXActiveLayer() {
  if (!qxt::ToolsReady()) return;
  const std::int32_t selected = HsiOslCount(0);
  if (selected > 1) {
    qxt::ShowWarning("Please select only one object.");
    return;
  }
  if (selected < 1) {
    // The host lets the user pick the object.
    qxt::StartNestedHostCommand(kPickActiveLayerCommand);
    return;
  }
  HsiOslEntry entry{};
  if (HsiOslItem(0, 0, &entry) != HSI_SUCCESS) return;
  HsiSetActLayer(HsiObjGetLayer(entry.id));
  HsiOslClear(0);
  HsiStatusLineUpdate();
}
