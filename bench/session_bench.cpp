// An empty session (the plug-in loaded with every form and its configuration, then unloaded)
// against `tracelon --help`, each started as a program the way a person starts it:
//   session_bench [TRACELON] [ROUNDS]     (default: bin/tracelon beside this program; 20 rounds)
// Prints the median wall and CPU time of each, and their ratio. A third line plays the same empty
// session on a machine folder that exists already (`--root`), which leaves out laying out the
// run's own machine: the difference between the two sessions is that layout.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Times {
  double wall = 0, cpu = 0;  // seconds
};

// Runs the program once, its output thrown away.
Times RunOnce(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::cerr << "session_bench: cannot start " << args[0] << "\n";
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::cerr << "session_bench: " << args[0] << " " << args[1] << " failed\n";
    std::exit(1);
  }
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return {std::chrono::duration<double>(end - start).count(),
          seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// The medians of `rounds` runs.
Times Median(const std::vector<std::string>& args, int rounds) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < rounds; ++i) {
    const Times t = RunOnce(args);
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void Print(const char* what, const Times& t, const Times& help) {
  std::printf("%-44s %8.1f ms wall %8.1f ms CPU   %5.1fx / %5.1fx --help\n", what, t.wall * 1e3,
              t.cpu * 1e3, t.wall / help.wall, t.cpu / help.cpu);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path tracelon = fs::absolute(fs::path(argv[0])).parent_path() / "tracelon";
  int rounds = 20;
  if (argc > 1) tracelon = argv[1];
  if (argc > 2) rounds = std::max(1, std::atoi(argv[2]));

  const fs::path dir = fs::temp_directory_path() / ("session_bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path session = dir / "empty.session";
  std::ofstream(session) << "# Nothing but loading the plug-in and unloading it.\n";
  const fs::path root = dir / "root";

  const std::string program = tracelon.string();
  // The first run of each warms the caches (and lays out the machine at `root`).
  RunOnce({program, "--help"});
  RunOnce({program, "run", session.string()});
  RunOnce({program, "run", "--root", root.string(), session.string()});

  const Times help = Median({program, "--help"}, rounds);
  const Times empty = Median({program, "run", session.string()}, rounds);
  const Times kept = Median({program, "run", "--root", root.string(), session.string()}, rounds);
  std::printf("%-44s %8.1f ms wall %8.1f ms CPU\n", "tracelon --help", help.wall * 1e3,
              help.cpu * 1e3);
  Print("empty session (a machine of its own)", empty, help);
  Print("empty session (--root, machine there)", kept, help);
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
