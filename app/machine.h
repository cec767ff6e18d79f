// The machine folders the program's commands work on (drive C: is ROOT/C): copies of the sample
// machine that the build lays out beside the program (bin/../share/root).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The sample machine beside the program.
std::filesystem::path SampleMachine();

// Copies the sample machine to `root`, which must not exist yet (its parent folders are made);
// false with `error` when the sample machine is missing or the copy fails.
bool CopySampleMachine(const std::filesystem::path& root, std::string& error);

// Lays out the sample machine at `root` (which must not exist yet) as links to the sample's files
// where the system allows, copies where it does not: the platform makes a linked file the
// machine's own before it changes it, so the sample machine never changes through the machine.
// Deleting and renaming work on the machine's own names. False with `error` as CopySampleMachine.
bool LinkSampleMachine(const std::filesystem::path& root, std::string& error);

// The machine of a run. With `root`: that folder when it exists (so a run sees what an earlier
// one saved), a new copy of the sample machine there when it does not. Without: a fresh copy in
// a new temporary folder named by `prefix`. `made` tells what was copied, for the run to say
// ("a new copy ..." or "a fresh copy ..."; empty when an existing folder is used). nullopt with
// `error` when there is no usable machine.
std::optional<std::filesystem::path> PrepareMachine(
    const std::optional<std::filesystem::path>& root, const std::string& prefix, std::string& made,
    std::string& error);
