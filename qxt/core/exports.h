// The plug-in's frame exports: the About box, the help exports and the settings for an outside
// caller. Commands declare their own exports beside their code.
#pragma once

#include <cstdint>

#include "core/export.h"

// Shows the About box (after the entry check).
QXT_EXPORT void ShowAboutBox();

// Open the help file at topic "100", "127" and "128" (after the entry check).
QXT_EXPORT void QXTHelp();
QXT_EXPORT void ToolHelp();
QXT_EXPORT void LayerHelp();

// Copies BaseDirectory, zero-terminated, into the caller's buffer of at least 256 bytes.
QXT_EXPORT void GetBaseDir(char* buffer);
// Stores PointsPerUnit and SymbolScale.
QXT_EXPORT void GetUnitSettings(std::int32_t* pointsPerUnit, double* symbolScale);
// Stores ProjectSettings and PointsPerUnit.
QXT_EXPORT void GetQXProjSettings(std::int32_t* projectSettings, std::int32_t* pointsPerUnit);
// Copies the caller's value into ProjectSettings (written to the file at the next save).
QXT_EXPORT void SaveQXProjSettings(const std::int32_t* projectSettings);

// The loader entries the host calls right after loading and right before unloading.
QXT_EXPORT void DllProcessAttach();
QXT_EXPORT void DllProcessDetach();
