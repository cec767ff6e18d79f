// A scratch machine for the fuzz targets whose readers take Windows paths.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace qxtfuzz {

// A temporary root folder holding drive C: with the host's usual folders. It lives for the whole
// program (one per process, so parallel fuzzing jobs do not meet) and is removed at its end.
class ScratchMachine {
 public:
  explicit ScratchMachine(const std::string& name) {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    const std::string prefix = "qxt-fuzz-" + name + "-";
    RemoveLeftovers(temp, prefix);
    dir_ = temp / (prefix + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    for (const char* folder : {"DRAWINGS", "MACROS", "SYMBOLS", "LAYERS", "WORK", "REFS"})
      std::filesystem::create_directories(dir_ / "C" / "TRACELON" / folder);
    std::filesystem::create_directories(dir_ / "C" / "WINDOWS");
  }
  ~ScratchMachine() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchMachine(const ScratchMachine&) = delete;
  ScratchMachine& operator=(const ScratchMachine&) = delete;

  // A fresh platform on this root: no driver (every question gets its default answer), empty
  // history, current folder C:\.
  void ResetPlatform() const {
    platform::Reset();
    platform::SetRoot(dir_);
  }

  // Puts bytes into a file given by its Windows path (the platform's root must be this one).
  void Write(const std::string& windowsPath, const std::string& bytes) const {
    std::ofstream out(platform::ResolvePath(windowsPath), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  const std::filesystem::path& Dir() const { return dir_; }

 private:
  // The fuzzer ends a run without running destructors (after a crash, and at its time limit), so
  // the scratch folders of processes that are gone are removed here.
  static void RemoveLeftovers(const std::filesystem::path& temp, const std::string& prefix) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(temp, ec)) {
      const std::string folder = entry.path().filename().string();
      if (folder.rfind(prefix, 0) != 0) continue;
      const std::string pid = folder.substr(prefix.size());
      if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
      if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH)
        std::filesystem::remove_all(entry.path(), ec);
    }
  }

  std::filesystem::path dir_;
};

}  // namespace qxtfuzz
