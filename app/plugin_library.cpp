#include "plugin_library.h"

#include <chrono>
#include <exception>
#include <system_error>

#include "platform/ui_driver.h"
#include "user/session.h"

// System headers last: windows.h defines macros named like some of the platform's functions.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace fs = std::filesystem;

fs::path ProgramFolder() {
#if defined(_WIN32)
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return fs::current_path();
    if (length < name.size()) {
      name.resize(length);
      return fs::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
#else
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : self.parent_path();
#endif
}

std::optional<fs::path> MakeTemporaryFolder(const std::string& prefix) {
#if defined(_WIN32)
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) return std::nullopt;
  const auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    fs::path folder = base / (prefix + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string((seed + attempt) % 1000000));
    if (fs::create_directory(folder, ec)) return folder;
  }
  return std::nullopt;
#else
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / (prefix + "XXXXXX")).string();
  if (ec || !mkdtemp(pattern.data())) return std::nullopt;
  return fs::path(pattern);
#endif
}

PluginLibrary::~PluginLibrary() { Close(); }

bool PluginLibrary::Open(const fs::path& path, std::string& error) {
#if defined(_WIN32)
  handle_ = reinterpret_cast<void*>(LoadLibraryW(path.c_str()));
  if (!handle_) {
    error = "cannot load the plug-in " + path.string() + ": system error " +
            std::to_string(GetLastError());
    return false;
  }
#else
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error = "cannot load the plug-in " + path.string() + ": " + (why ? why : "unknown error");
    return false;
  }
  attach_ = reinterpret_cast<void (*)()>(Find(platform::kLibraryAttachEntry));
  detach_ = reinterpret_cast<void (*)()>(Find(platform::kLibraryDetachEntry));
  if (!attach_ || !detach_) {
    error = "the plug-in " + path.string() + " does not export " +
            (attach_ ? platform::kLibraryDetachEntry : platform::kLibraryAttachEntry);
    return false;
  }
#endif
  return true;
}

void* PluginLibrary::Find(const std::string& name) const {
  if (!handle_) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
#else
  return dlsym(handle_, name.c_str());
#endif
}

void PluginLibrary::Attach() {
#if defined(_WIN32)
  // The loader has started it already.
  if (auto error = platform::TakeLoaderError()) std::rethrow_exception(error);
#else
  attach_();
#endif
}

void PluginLibrary::Detach() {
#if defined(_WIN32)
  Close();
  if (auto error = platform::TakeLoaderError()) std::rethrow_exception(error);
#else
  detach_();
#endif
}

void PluginLibrary::Close() {
  if (!handle_) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
  handle_ = nullptr;
}

std::optional<std::string> PlayWithPlugin(PluginLibrary& plugin, user::Session& session) {
  std::optional<std::string> failure;
  try {
    plugin.Attach();
    session.Play();
  } catch (const user::SessionError& e) {
    failure = e.Message();
  } catch (const std::exception& e) {
    failure = std::string("an error escaped from the plug-in: ") + e.what();
  }
  try {
    plugin.Detach();
  } catch (const user::SessionError& e) {
    if (!failure) failure = e.Message();
  } catch (const std::exception& e) {
    if (!failure) failure = std::string("an error escaped from the plug-in's unload: ") + e.what();
  }
  return failure;
}
