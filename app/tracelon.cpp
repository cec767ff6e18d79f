// tracelon: the stand-in host program. It plays a session against the stand-in host and
// platform with the plug-in loaded, writes the drawing out and prints what happened.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "desktop.h"
#include "form_pictures.h"
#include "host_setup.h"
#include "machine.h"
#include "output_file.h"
#include "platform/forms.h"
#include "platform/native_windows.h"
#include "platform/ui_driver.h"
#include "plugin_library.h"
#include "serve_main.h"
#include "symbols_command.h"
#include "user/exports.h"
#include "user/script.h"
#include "user/session.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = R"(usage:
  tracelon run SESSION [--root DIR] [--svg FILE] [--json FILE] [--dxf FILE] [--quiet]
                       [--transcript FILE] [--plugin PATH] [--offset DX DY] [--native]
                       [--wind-down]
  tracelon serve [--root DIR] [--port N] [--plugin PATH] [--session FILE] [--quiet]
  tracelon forms --out DIR [--pages] [--plugin PATH]
  tracelon symbols import DIR --group NAME [--into ROOT]
  tracelon [open DRAWING] [--root DIR] [--plugin PATH]      (Windows: the drafting window)
  tracelon --help

Plays the session script SESSION: the host program starts on a machine folder, loads the
plug-in, answers every question from the script, unloads the plug-in (its configuration is
saved then), writes the drawing and prints the transcript.

  --root DIR         the machine's root folder (drive C: is DIR/C). Created as a copy of the
                     sample machine when it does not exist; used as it is when it does, so a
                     second run sees what the first one saved. Without --root, a fresh copy in
                     a temporary folder, named in the output.
  --svg FILE         write the drawing as SVG
  --json FILE        write the drawing as JSON
  --dxf FILE         write the drawing as DXF
  --quiet            do not print the transcript
  --transcript FILE  also write the transcript to FILE
  --plugin PATH      the plug-in library (default: )" QXT_PLUGIN_FILE R"( beside this program)
  --offset DX DY     move every point the script picks, and the points of its host set-up
                     lines, by DX DY drawing units: the same drawing elsewhere in the world
  --native           (Windows) show the forms as real windows; the script acts on them
                     through the messages a person's input brings to their controls
  --wind-down        a script that stops while the program waits (a session saved in the
                     middle of a command) is not a failure: what is still asked is cancelled
                     (escape, the form closed, Cancel or No), recorded as if typed, to the end

Exit status 0 only when every line was used and every expectation held.

serve starts the program for a person at a web page on this machine (127.0.0.1, port 8470 by
default; 0 takes any free port) and prints where the page is. What the person does there is
recorded as a session, which the page offers for download and `tracelon run` plays again.

On Windows, tracelon alone opens the drafting window (docs/windows.md): the menus, the
drawing and the host's tools, on the machine kept in %LOCALAPPDATA%\QX Tools\machine (or
--root DIR); `open DRAWING` opens a drawing there first.

symbols import makes each DXF file of DIR a symbol and the files a group of the symbol library
(see tracelon symbols --help).
)";

struct Options {
  fs::path session;
  std::optional<fs::path> root;
  std::optional<fs::path> svg, json, dxf, transcript;
  std::optional<fs::path> plugin;
  bool quiet = false;
  bool native = false;
  bool windDown = false;
  std::optional<std::pair<int64_t, int64_t>> offset;
};

// The lines that cancel what the program still asks once the script has run out, one question
// at a time; nothing between commands, which ends the run. A program that keeps asking after
// many such lines is left to fail as a script that ends there does.
class WindDown {
 public:
  std::optional<std::string> operator()(const user::Question& question) {
    if (++given_ > 64 || question.kind == "command") return std::nullopt;
    const std::string& kind = question.kind;
    if (kind == "point" || kind == "3d point" || kind == "pick") return "escape";
    if (kind == "form" && question.form) {
      if (blockForm_ != question.form || !question.refusal.empty()) {
        blockForm_ = question.form;
        return "form " + user::Quote(question.form->ClassName());
      }
      return "  close";
    }
    blockForm_ = nullptr;
    if (kind == "message") {
      std::string buttons;
      for (const auto& [key, value] : question.details)
        if (key == "buttons") buttons = value;
      for (const char* b : {"Cancel", "No", "OK"}) {
        if (("/" + buttons + "/").find(std::string("/") + b + "/") != std::string::npos)
          return std::string("answer ") + b;
      }
      return "answer OK";
    }
    if (kind == "open file") return "file cancel";
    if (kind == "folder") return "folder cancel";
    if (kind == "font") return "font cancel";
    if (kind == "input") return "input cancel";
    return std::nullopt;
  }

 private:
  int given_ = 0;
  const platform::Form* blockForm_ = nullptr;
};

int UsageError(const std::string& message) {
  std::cerr << "tracelon: " << message << "\n\n" << kUsage;
  return 2;
}

int Run(const Options& options) {
  // The script is checked whole first: a malformed script is refused before anything runs. Its
  // lines are then read as they are played, and the transcript is written as it is recorded:
  // neither is held, however long the session.
  user::Script script;
  try {
    script = user::Script::Open(options.session, options.offset ? options.offset->first : 0,
                                options.offset ? options.offset->second : 0);
  } catch (const user::ScriptError& e) {
    std::cerr << "tracelon: " << e.what() << "\n";
    return 1;
  }

  // The machine.
  std::string made, error;
  const std::optional<fs::path> machine = PrepareMachine(options.root, "tracelon-", made, error);
  if (!machine) {
    std::cerr << "tracelon: " << error << "\n";
    return 1;
  }
  const fs::path root = *machine;
  if (!made.empty()) std::cout << "# machine: " << root.string() << " (" << made << ")\n";
  std::cout.flush();

  fs::path pluginPath = options.plugin ? *options.plugin : ProgramFolder() / kDefaultPluginName;
  if (options.native && !platform::native::Enable()) {
    std::cerr << "tracelon: this build shows no native windows (--native is for Windows)\n";
    return 1;
  }
  // At the end: how the script's actions reached the windows, then the windows go.
  struct NativeOff {
    bool on;
    ~NativeOff() {
      if (!on) return;
      std::cerr << "tracelon: native windows: " << platform::native::MessagesDelivered()
                << " form actions reached their controls as messages, "
                << platform::native::DirectActions() << " ran on the model directly\n";
      platform::native::Disable();
    }
  } nativeOff{options.native};

  user::Session session(std::move(script));
  session.KeepTranscript(false);
  std::ofstream transcriptFile;
  if (options.transcript) {
    std::error_code ec;
    if (options.transcript->has_parent_path()) {
      fs::create_directories(options.transcript->parent_path(), ec);
    }
    transcriptFile.open(*options.transcript, std::ios::binary);
    if (!transcriptFile) {
      std::cerr << "tracelon: cannot write " << options.transcript->string() << "\n";
      return 1;
    }
  }
  // Each line is flushed as it is recorded: a run that crashes keeps everything before the crash,
  // on the terminal, in a pipe and in the transcript file alike.
  session.SetEcho([&](const std::string& line) {
    if (!options.quiet) std::cout << line << "\n" << std::flush;
    if (transcriptFile.is_open()) transcriptFile << line << "\n" << std::flush;
  });

  if (options.windDown) session.SetLineSource(WindDown());
  StartHost(root);
  session.Attach();
  // However the run ends, the session lets go of the host before the host stops (the host must
  // not outlive this function: it would be torn down after the platform at exit).
  struct Shutdown {
    user::Session& session;
    ~Shutdown() {
      session.SetExports(nullptr);
      session.Detach();
      StopHost();
    }
  } shutdown{session};

  PluginLibrary plugin;
  if (!plugin.Open(pluginPath, error)) {
    std::cerr << "tracelon: " << error << "\n";
    return 1;
  }
  user::SymbolExports exports([&](const std::string& name) { return plugin.Find(name); });
  session.SetExports(&exports);

  // The plug-in is unloaded however the session ended, so its configuration is saved.
  const std::optional<std::string> failure = PlayWithPlugin(plugin, session);
  session.SetExports(nullptr);
  plugin.Close();

  bool written = true;
  if (options.svg && !WriteOutputFile(*options.svg, WriteDrawingSvg)) {
    std::cerr << "tracelon: cannot write " << options.svg->string() << "\n";
    written = false;
  }
  if (options.json && !WriteOutputFile(*options.json, WriteDrawingJson)) {
    std::cerr << "tracelon: cannot write " << options.json->string() << "\n";
    written = false;
  }
  if (options.dxf) {
    std::string dxf;
    if (!DrawingDxf(&dxf, &error) || !WriteOutputFile(*options.dxf, dxf)) {
      std::cerr << "tracelon: cannot write " << options.dxf->string()
                << (error.empty() ? "" : ": " + error) << "\n";
      written = false;
    }
  }
  std::cout.flush();
  if (failure) {
    std::cerr << "tracelon: session failed: " << *failure << "\n";
    return 1;
  }
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // On Windows the program alone, or `open DRAWING`, is the desktop program.
  if (DesktopAvailable() &&
      (args.empty() || args[0] == "open" || (args[0].rfind("--", 0) == 0 && args[0] != "--help"))) {
    return DesktopCommand(args, ProgramFolder() / kDefaultPluginName);
  }
  if (args.empty()) return UsageError("no command given");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (args[0] == "serve") return ServeCommand(args, ProgramFolder() / kDefaultPluginName);
  if (args[0] == "forms") return FormsCommand({args.begin() + 1, args.end()});
  if (args[0] == "symbols") return SymbolsCommand({args.begin() + 1, args.end()});
  if (args[0] != "run") return UsageError("unknown command \"" + args[0] + "\"");
  Options options;
  bool haveSession = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::optional<fs::path>& target) -> bool {
      if (i + 1 >= args.size()) return false;
      target = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--wind-down") {
      options.windDown = true;
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (a == "--native") {
      options.native = true;
    } else if (a == "--root") {
      if (!value(options.root)) return UsageError("--root needs a folder");
    } else if (a == "--svg") {
      if (!value(options.svg)) return UsageError("--svg needs a file");
    } else if (a == "--json") {
      if (!value(options.json)) return UsageError("--json needs a file");
    } else if (a == "--dxf") {
      if (!value(options.dxf)) return UsageError("--dxf needs a file");
    } else if (a == "--transcript") {
      if (!value(options.transcript)) return UsageError("--transcript needs a file");
    } else if (a == "--plugin") {
      if (!value(options.plugin)) return UsageError("--plugin needs a library path");
    } else if (a == "--offset") {
      std::optional<int64_t> dx, dy;
      if (i + 2 < args.size()) {
        dx = user::ParseInteger(args[i + 1]);
        dy = user::ParseInteger(args[i + 2]);
        i += 2;
      }
      if (!dx || !dy) return UsageError("--offset needs two whole numbers DX DY");
      options.offset = std::make_pair(*dx, *dy);
    } else if (a.rfind("--", 0) == 0) {
      return UsageError("unknown option " + a);
    } else if (!haveSession) {
      options.session = a;
      haveSession = true;
    } else {
      return UsageError("only one session script at a time");
    }
  }
  if (!haveSession) return UsageError("run needs a session script");
  return Run(options);
}
