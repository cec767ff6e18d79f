// What the desktop window makes of a person's input: the session lines of its clicks, tools and
// typed box, and where a file chosen with the system's dialogs lies on the machine. Kept apart
// from the window (app/desktop_win32.cpp) so that it builds and is checked everywhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/geometry.h"

namespace desktop {

// The grid a click lands on at a zoom where one screen pixel is `pixel` drawing units: the
// smallest 1, 2 or 5 x 10^n drawing units (n >= 0) that is at least a pixel, so that the point
// clicked is the round number meant.
double GridStep(double pixel);
// The drawing point (x, y) on that grid, held within the drawing's coordinate range.
host::Point OnGrid(double x, double y, double pixel);

// The line for what was typed in the prompt box while a point is asked: two whole numbers (in
// the coordinate range) are a point at exactly those drawing units ("point X Y"), anything else
// a point typed in the drawing's notation for the host to read ("enter TEXT"). Empty for a box
// with nothing in it.
std::string TypedPointLine(const std::string& text);

// The host's own tools as set-up lines: a lineset through the points (empty for fewer than two),
// an arc counter-clockwise around `centre` from `start` to the direction of `end` (empty when
// `start` is the centre), a text at a point (empty for no text).
std::string LineToolLine(const std::vector<host::Point>& points);
std::string ArcToolLine(host::Point centre, host::Point start, host::Point end);
std::string TextToolLine(host::Point at, const std::string& text);

// The machine's own Windows path ("C:\TRACELON\DRAWINGS\A.VWF") of a file under the machine
// folder `root` (drive C: is root/C); nullopt for a file anywhere else, or for a folder of the
// machine that is not a drive.
std::optional<std::string> MachinePath(const std::filesystem::path& root,
                                       const std::filesystem::path& file);

}  // namespace desktop
