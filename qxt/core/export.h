// Marks a function the plug-in exports to the host: C linkage and visible outside the shared
// library (everything else is hidden). On Windows the module-definition file qxt.def names the
// exports, so that their names are exact and undecorated.
#pragma once

#if defined(_WIN32)
#define QXT_EXPORT extern "C"
#else
#define QXT_EXPORT extern "C" __attribute__((visibility("default")))
#endif
