// tracelon symbols import: DXF parts made into a group of the symbol library.
#pragma once

#include <string>
#include <vector>

// `args` are the words after "symbols". Returns the exit status.
int SymbolsCommand(const std::vector<std::string>& args);
