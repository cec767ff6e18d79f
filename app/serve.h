// tracelon serve: the host program with a person at a web page instead of a script. The page
// shows the drawing, the menus, the host's lines and every window the plug-in opens; what the
// person does there arrives as session lines, so their drafting can be saved as a session and
// played again with `tracelon run`.
#pragma once

#include <filesystem>
#include <string>

struct ServeOptions {
  std::filesystem::path root;     // the machine folder, ready to use
  std::filesystem::path plugin;   // the plug-in library
  int port = 8470;                // 0: any free port
  bool quiet = false;             // do not print the transcript
  std::filesystem::path session;  // a saved session to play first (empty: none)
};

// The file in the machine folder that holds the session played so far, rewritten as it grows,
// so that a crash or a closed page loses nothing: `tracelon serve --session` resumes from it.
inline constexpr const char* kKeptSessionName = "drafting.session";

// Serves the page on the loopback address until the page quits or the process is interrupted.
// Returns the exit status.
int Serve(const ServeOptions& options);
