// Reading and writing whole text files by their Windows paths.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Reads the file; false with a reason when it is missing, unreadable or larger than `limit`.
bool ReadWindowsFile(const std::string& path, size_t limit, std::string* text, std::string* error);
bool WriteWindowsFile(const std::string& path, const std::string& text, std::string* error);
// Folder and name joined with exactly one backslash.
std::string JoinWindowsPath(const std::string& folder, const std::string& name);

}  // namespace host
