// The sample machine's layer files, drawing template and sample drawing.
#pragma once

#include <filesystem>

namespace tools {

// Writes PLAN1.lyr .. PLAN3.lyr for every default plan type into `folder`; returns the count.
int WriteLayerFiles(const std::filesystem::path& folder);
// Writes the drawing template and the sample drawing into the machine at `root`.
void WriteDrawings(const std::filesystem::path& root);

}  // namespace tools
