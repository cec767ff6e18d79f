// The small drawing commands that hand the host one of its own commands: the circle and arc
// palettes, trim, and making the selected object's layer the active one.
#pragma once

#include "core/export.h"

QXT_EXPORT void QXCircle();
QXT_EXPORT void QXArc();
QXT_EXPORT void QXTrim();
QXT_EXPORT void QXActiveLayer();
