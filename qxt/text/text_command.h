// The text command: the user types text in the text dialog, chooses CAD or TrueType text and its
// look, and places it with a preview that follows the cursor. The dialog comes back with the
// same text after each placement, until the user closes it or cancels a placement.
#pragma once

#include "core/export.h"

QXT_EXPORT void QXText();
