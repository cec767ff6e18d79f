// The files the program writes for the person running it (drawings, form pictures).
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

// Writes `text` to `path` whole or not at all: into a new file beside it, which then takes its
// place, so a file already there is kept when the write fails. The folder is made when missing.
bool WriteOutputFile(const std::filesystem::path& path, const std::string& text);
// The same, with the text written piece by piece into the stream `write` is given.
bool WriteOutputFile(const std::filesystem::path& path,
                     const std::function<void(std::ostream&)>& write);
