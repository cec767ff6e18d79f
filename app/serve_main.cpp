#include "serve_main.h"

#include <cstdlib>
#include <iostream>
#include <optional>

#include "machine.h"

#ifdef TRACELON_SERVE
#include "serve.h"
#endif

namespace fs = std::filesystem;

namespace {

int Usage(const std::string& message) {
  std::cerr << "tracelon: " << message
            << "\nusage: tracelon serve [--root DIR] [--port N] [--plugin PATH] [--session FILE] "
               "[--quiet]\n";
  return 2;
}

}  // namespace

int ServeCommand(const std::vector<std::string>& args, const fs::path& defaultPlugin) {
  std::optional<fs::path> root;
  fs::path plugin = defaultPlugin;
  int port = 8470;
  bool quiet = false;
  fs::path session;
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
    } else if (a == "--session") {
      if (!hasValue) return Usage("--session needs a session file");
      session = args[++i];
    } else if (a == "--quiet") {
      quiet = true;
    } else {
      return Usage("unknown option " + a);
    }
  }
#ifdef TRACELON_SERVE
  std::string made, error;
  const std::optional<fs::path> folder = PrepareMachine(root, "tracelon-", made, error);
  if (!folder) {
    std::cerr << "tracelon: " << error << "\n";
    return 1;
  }
  ServeOptions options;
  options.root = *folder;
  options.plugin = plugin;
  options.port = port;
  options.quiet = quiet;
  options.session = session;
  return Serve(options);
#else
  (void)quiet;
  (void)session;
  (void)port;
  std::cerr << "tracelon: this tracelon was built without serve (cpp-httplib was missing)\n";
  return 1;
#endif
}
