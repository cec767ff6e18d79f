// Reading and writing whole text files by their Windows paths.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

// Reads the file; false with a reason when it is missing, unreadable or larger than `limit`.
bool ReadWindowsFile(const std::string& path, size_t limit, std::string* text, std::string* error);
bool WriteWindowsFile(const std::string& path, const std::string& text, std::string* error);

// The host's text files (symbols, layer files, macros) share one line syntax: words separated by
// blanks, a quoted text keeping its blanks and taking \" \\ and \n escapes.
struct TextWord {
  std::string text;
  bool quoted = false;
};
// False when a quote is not closed.
bool SplitWords(const std::string& line, std::vector<TextWord>* words);
std::string Upper(std::string s);

}  // namespace host
