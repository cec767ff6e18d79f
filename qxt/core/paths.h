// Path texts as the toolset builds and shows them.
#pragma once

#include <string>

namespace qxt {

// Joins a folder and a file name with exactly one backslash: none is added when the folder
// already ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace qxt
