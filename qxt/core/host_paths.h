// The host's folders by path number.
#pragma once

#include <cstdint>
#include <string>

namespace qxt {

inline constexpr std::int16_t kProgramFolder = 8;         // the host program's folder
inline constexpr std::int16_t kWorkFilesFolder = 6;       // holds QXTOOLS.DAT
inline constexpr std::int16_t kToolsetParentFolder = 12;  // the default base directory's parent

// Asks the host for folder `number` (with its trailing backslash). False, with `folder` left
// empty, when the host does not answer with success.
bool HostFolder(std::int16_t number, std::string& folder);

}  // namespace qxt
