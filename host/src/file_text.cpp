#include "file_text.h"

#include <cctype>
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
    std::filesystem::path local = platform::ResolvePathForWriting(path);
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

bool SplitWords(const std::string& line, std::vector<TextWord>* words) {
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    TextWord w;
    if (c == '"') {
      w.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '\\' && i < line.size()) {
          char e = line[i++];
          w.text += (e == 'n') ? '\n' : e;
        } else if (d == '"') {
          closed = true;
          break;
        } else {
          w.text += d;
        }
      }
      if (!closed) return false;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        w.text += line[i++];
    }
    words->push_back(std::move(w));
  }
  return true;
}

std::string Upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace host
