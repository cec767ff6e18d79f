#include "file_text.h"

#include <fstream>
#include <sstream>

#include "platform/files.h"

namespace host {

bool ReadWindowsFile(const std::string& path, size_t limit, std::string* text, std::string* error) {
  try {
    if (path.empty()) {
      if (error) *error = "no file name";
      return false;
    }
    std::filesystem::path local = platform::ResolvePath(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(local, ec)) {
      if (error) *error = "file not found: " + path;
      return false;
    }
    auto size = std::filesystem::file_size(local, ec);
    if (ec || size > limit) {
      if (error) *error = ec ? "cannot read " + path : "file too large: " + path;
      return false;
    }
    std::ifstream in(local, std::ios::binary);
    if (!in) {
      if (error) *error = "cannot open " + path;
      return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return true;
  } catch (const std::exception& e) {
    if (error) *error = "cannot read " + path + ": " + e.what();
    return false;
  }
}

bool WriteWindowsFile(const std::string& path, const std::string& text, std::string* error) {
  try {
    std::filesystem::path local = platform::ResolvePath(path);
    std::ofstream out(local, std::ios::binary | std::ios::trunc);
    if (!out) {
      if (error) *error = "cannot create " + path;
      return false;
    }
    out << text;
    out.close();
    if (!out) {
      if (error) *error = "cannot write " + path;
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    if (error) *error = "cannot write " + path + ": " + e.what();
    return false;
  }
}

std::string JoinWindowsPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

}  // namespace host
