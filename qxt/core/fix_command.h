// The fix command: repairs wall-line junctions (corner, tee, wye, cross) inside selection windows
// the user picks one after another, with the junction kind chosen on the fix palette.
#pragma once

#include "core/export.h"

QXT_EXPORT void QXFix();
