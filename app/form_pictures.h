// `tracelon forms`: a picture of every form of the plug-in.
#pragma once

#include <string>
#include <vector>

// Runs `tracelon forms` with the arguments after the command word; returns the exit status.
int FormsCommand(const std::vector<std::string>& args);
