// The shared library QXT is made of the plug-in's static library linked whole; this unit gives
// the shared library a source of its own and, on Windows, its entry point.
#if defined(_WIN32)

#include <exception>

#include "core/exports.h"
#include "platform/ui_driver.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The system's loader calls this when a process loads the library and when it lets it go: the
// library starts on process attach and ends (saving its configuration) on process detach. No
// error may leave through the loader; one is handed to the program that loaded the library.
extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
  try {
    if (reason == DLL_PROCESS_ATTACH) DllProcessAttach();
    if (reason == DLL_PROCESS_DETACH) DllProcessDetach();
  } catch (...) {
    platform::HoldLoaderError(std::current_exception());
  }
  return TRUE;
}

#endif
