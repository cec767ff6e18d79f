// The plug-in library as the host program loads it, and the program's own folder. On Windows
// the system's loader starts the library inside LoadLibrary and ends it inside FreeLibrary
// (DllMain); elsewhere the program calls the library's two loader entries right after loading
// and right before unloading.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace user {
class Session;
}

// The plug-in's file name beside the program.
#if defined(_WIN32)
#define QXT_PLUGIN_FILE "QXT.DLL"
#else
#define QXT_PLUGIN_FILE "libqxt.so"
#endif
inline constexpr const char* kDefaultPluginName = QXT_PLUGIN_FILE;

// The folder of the running program.
std::filesystem::path ProgramFolder();

// A new, empty folder under the system's temporary folder, named `prefix` and a unique tail;
// nullopt when none can be made.
std::optional<std::filesystem::path> MakeTemporaryFolder(const std::string& prefix);

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library (on Windows this starts it); false with `error` when it cannot, or when
  // it lacks its loader entries.
  bool Open(const std::filesystem::path& path, std::string& error);
  // An export by name; null when there is none.
  void* Find(const std::string& name) const;
  // Starts the library (an error of its start is thrown here).
  void Attach();
  // Ends the library (an error of its end is thrown here); on Windows it is unloaded with it.
  void Detach();
  // Unloads the library.
  void Close();

 private:
  void* handle_ = nullptr;
  void (*attach_)() = nullptr;
  void (*detach_)() = nullptr;
};

// Starts the library, plays the session with it, and ends the library however the session
// ended (its configuration is saved then). The first failure: the session's own, or an error
// that escaped from the plug-in's start, its commands or its end; nullopt when there was none.
std::optional<std::string> PlayWithPlugin(PluginLibrary& plugin, user::Session& session);
