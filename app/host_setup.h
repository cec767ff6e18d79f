// The host program's own host: started on a machine folder, and the drawing written out.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// Makes `root` the machine (drive C: is root/C) and starts a fresh host on it.
void StartHost(const std::filesystem::path& root);
void StopHost();

// The current drawing as SVG and as JSON.
std::string DrawingSvg();
std::string DrawingJson();
// The drawing as DXF; false, with the reason, when it cannot be written.
bool DrawingDxf(std::string* dxf, std::string* error);
// The same, written piece by piece to a stream (nothing without a host).
void WriteDrawingSvg(std::ostream& out);
void WriteDrawingJson(std::ostream& out);
