// Files and paths with Windows meaning. Programs build and show paths such as
// "C:\TRACELON\WORK\QXTOOLS.DAT"; the platform maps them onto a root folder of this machine
// (drive C: is ROOT/C, a backslash a separator) and resolves each name without regard to case.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The folder that holds the drives. Must be set before any file is used.
void SetRoot(const std::filesystem::path& root);
const std::filesystem::path& Root();

// The local path for a Windows path: existing names are matched without regard to case; the part
// that does not exist yet keeps the case as written. Relative paths are taken from the current
// folder (initially "C:\").
std::filesystem::path ResolvePath(const std::string& windowsPath);

}  // namespace platform
