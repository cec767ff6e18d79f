#include "machine.h"

#include <system_error>

#include "plugin_library.h"

namespace fs = std::filesystem;

fs::path SampleMachine() { return ProgramFolder().parent_path() / "share" / "root"; }

namespace {

bool SampleMachinePresent(const fs::path& sample, std::string& error) {
  if (fs::is_directory(sample / "C")) return true;
  error = "the sample machine is missing: " + sample.string() + " (build the project first)";
  return false;
}

}  // namespace

bool CopySampleMachine(const fs::path& root, std::string& error) {
  const fs::path sample = SampleMachine();
  if (!SampleMachinePresent(sample, error)) return false;
  std::error_code ec;
  // The copy makes `root` itself (copying a folder into an existing one fails on Windows).
  if (root.has_parent_path()) fs::create_directories(root.parent_path(), ec);
  if (!ec) fs::copy(sample, root, fs::copy_options::recursive, ec);
  if (ec) {
    error = "cannot copy the sample machine to " + root.string() + ": " + ec.message();
    return false;
  }
  return true;
}

bool LinkSampleMachine(const fs::path& root, std::string& error) {
#ifdef _WIN32
  // Windows counts a file's links only on some file systems (and not at all under Wine), and a
  // write through a link it cannot see would change the sample machine: it is copied there.
  return CopySampleMachine(root, error);
#else
  const fs::path sample = SampleMachine();
  if (!SampleMachinePresent(sample, error)) return false;
  std::error_code ec;
  if (root.has_parent_path()) fs::create_directories(root.parent_path(), ec);
  if (!ec) fs::create_directory(root, ec);
  for (fs::recursive_directory_iterator it(sample, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path target = root / it->path().lexically_relative(sample);
    if (it->is_directory(ec)) {
      fs::create_directory(target, ec);
    } else if (!ec) {
      // Where the folders cannot share a file (another drive, a file system without links), it
      // is copied.
      fs::create_hard_link(it->path(), target, ec);
      if (ec) {
        ec.clear();
        fs::copy_file(it->path(), target, ec);
      }
    }
  }
  if (ec) {
    error = "cannot lay out the sample machine in " + root.string() + ": " + ec.message();
    return false;
  }
  return true;
#endif
}

std::optional<fs::path> PrepareMachine(const std::optional<fs::path>& root,
                                       const std::string& prefix, std::string& made,
                                       std::string& error) {
  made.clear();
  if (root) {
    const fs::path folder = fs::absolute(*root);
    if (fs::exists(folder)) {
      if (!fs::is_directory(folder)) {
        error = "the root " + folder.string() + " is not a folder";
        return std::nullopt;
      }
      return folder;
    }
    if (!CopySampleMachine(folder, error)) return std::nullopt;
    made = "a new copy of the sample machine";
    return folder;
  }
  const std::optional<fs::path> temporary = MakeTemporaryFolder(prefix);
  if (!temporary) {
    error = "cannot make a temporary folder";
    return std::nullopt;
  }
  const fs::path folder = *temporary / "root";
  // A run's own machine goes with the run: it shares the sample machine's files until it writes
  // them (the platform copies a shared file before it is changed), so laying it out costs a link
  // per file instead of a copy.
  if (!LinkSampleMachine(folder, error)) {
    std::error_code ec;
    fs::remove_all(*temporary, ec);
    return std::nullopt;
  }
  made = "a fresh copy of the sample machine";
  return folder;
}
