// Marks a function the plug-in exports to the host: C linkage and visible outside the shared
// library (everything else is hidden).
#pragma once

#define QXT_EXPORT extern "C" __attribute__((visibility("default")))
