// The help exports and the settings exports for an outside caller.
#include "core/exports.h"

#include <cstring>
#include <string>

#include "core/messages.h"
#include "core/state.h"
#include "platform/system.h"

namespace {

void OpenHelpTopic(const char* topic) {
  if (!qxt::ToolsReady()) return;
  platform::ShowHelp(qxt::kHelpFile, topic);
}

}  // namespace

QXT_EXPORT void QXTHelp() { OpenHelpTopic("100"); }
QXT_EXPORT void ToolHelp() { OpenHelpTopic("127"); }
QXT_EXPORT void LayerHelp() { OpenHelpTopic("128"); }

// The settings exports answer from the record in memory even when the configuration could not be
// read; they perform no entry check. Null arguments are ignored.

QXT_EXPORT void GetBaseDir(char* buffer) {
  if (buffer == nullptr) return;
  // A stored length never exceeds 255, so the text and its terminator fit the caller's 256 bytes.
  const std::string base = qxt::StateExists() ? qxt::Config().BaseDirectory.Get() : std::string();
  std::memcpy(buffer, base.c_str(), base.size() + 1);
}

QXT_EXPORT void GetUnitSettings(std::int32_t* pointsPerUnit, double* symbolScale) {
  if (!qxt::StateExists()) return;
  const qxt::QXConfig& config = qxt::Config();
  if (pointsPerUnit != nullptr) *pointsPerUnit = config.PointsPerUnit;
  if (symbolScale != nullptr) *symbolScale = config.SymbolScale;
}

QXT_EXPORT void GetQXProjSettings(std::int32_t* projectSettings, std::int32_t* pointsPerUnit) {
  if (!qxt::StateExists()) return;
  const qxt::QXConfig& config = qxt::Config();
  if (projectSettings != nullptr) *projectSettings = config.ProjectSettings;
  if (pointsPerUnit != nullptr) *pointsPerUnit = config.PointsPerUnit;
}

QXT_EXPORT void SaveQXProjSettings(const std::int32_t* projectSettings) {
  if (!qxt::StateExists() || projectSettings == nullptr) return;
  qxt::Config().ProjectSettings = *projectSettings;
}
