#include "serve_main.h"

#include <cstdlib>
#include <iostream>
#include <optional>

#ifdef TRACELON_SERVE
#include "serve.h"
#endif

namespace fs = std::filesystem;

namespace {

int Usage(const std::string& message) {
  std::cerr << "tracelon: " << message
            << "\nusage: tracelon serve [--root DIR] [--port N] [--plugin PATH] [--quiet]\n";
  return 2;
}

// A new copy of the sample machine at `root`.
// (Only a tracelon built with serve uses it.)
[[maybe_unused]] bool CopyMachine(const fs::path& sample, const fs::path& root) {
  if (!fs::is_directory(sample / "C")) {
    std::cerr << "tracelon: the sample machine is missing: " << sample.string()
              << " (build the project first)\n";
    return false;
  }
  std::error_code ec;
  fs::create_directories(root, ec);
  if (!ec) fs::copy(sample, root, fs::copy_options::recursive, ec);
  if (ec) {
    std::cerr << "tracelon: cannot copy the sample machine to " << root.string() << ": "
              << ec.message() << "\n";
    return false;
  }
  return true;
}

}  // namespace

int ServeCommand(const std::vector<std::string>& args, const fs::path& sampleMachine,
                 const fs::path& defaultPlugin) {
  std::optional<fs::path> root;
  fs::path plugin = defaultPlugin;
  int port = 8470;
  bool quiet = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--root") {
      if (!hasValue) return Usage("--root needs a folder");
      root = args[++i];
    } else if (a == "--plugin") {
      if (!hasValue) return Usage("--plugin needs a library path");
      plugin = args[++i];
    } else if (a == "--port") {
      if (!hasValue) return Usage("--port needs a number");
      const std::string& text = args[++i];
      char* end = nullptr;
      long value = std::strtol(text.c_str(), &end, 10);
      if (text.empty() || *end || value < 0 || value > 65535) {
        return Usage("--port needs a number from 0 to 65535");
      }
      port = static_cast<int>(value);
    } else if (a == "--quiet") {
      quiet = true;
    } else {
      return Usage("unknown option " + a);
    }
  }
#ifdef TRACELON_SERVE
  fs::path folder;
  if (root) {
    folder = fs::absolute(*root);
    if (!fs::exists(folder)) {
      if (!CopyMachine(sampleMachine, folder)) return 1;
    } else if (!fs::is_directory(folder)) {
      std::cerr << "tracelon: the root " << folder.string() << " is not a folder\n";
      return 1;
    }
  } else {
    std::string pattern = (fs::temp_directory_path() / "tracelon-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::cerr << "tracelon: cannot make a temporary folder\n";
      return 1;
    }
    folder = fs::path(pattern) / "root";
    if (!CopyMachine(sampleMachine, folder)) return 1;
  }
  ServeOptions options;
  options.root = folder;
  options.plugin = plugin;
  options.port = port;
  options.quiet = quiet;
  return Serve(options);
#else
  (void)sampleMachine;
  (void)quiet;
  (void)port;
  std::cerr << "tracelon: this tracelon was built without serve (cpp-httplib was missing)\n";
  return 1;
#endif
}
