// The `serve` command line: its options, the machine folder, then the page (app/serve.h).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// `tracelon serve [--root DIR] [--port N] [--plugin PATH] [--quiet]`; args[0] is "serve".
// Returns the exit status (2 for a usage error).
int ServeCommand(const std::vector<std::string>& args, const std::filesystem::path& defaultPlugin);
