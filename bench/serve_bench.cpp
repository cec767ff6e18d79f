// The drafting page's answer times at a large drawing, measured as the page asks: `tracelon
// serve` is started on a session that draws N objects, then this program joins as the page does,
// takes the first state (the whole drawing), and makes clicks: each one line posted, then the
// state asked for after it (with what changed in the drawing since the version it has), gzip
// accepted as a browser does. What the browser then spends drawing is not in these figures.
//
//   serve_bench [TRACELON] [N ...]      (default: bin/tracelon beside this program; 10000 100000)
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// A session that draws `n` short lines on a grid (one host line each).
fs::path WriteSession(const fs::path& dir, int n) {
  fs::path file = dir / ("draw" + std::to_string(n) + ".session");
  std::ofstream out(file);
  for (int i = 0; i < n; ++i) {
    const int x = (i % 300) * 100000, y = (i / 300) * 100000;
    out << "host line " << x << " " << y << " " << x + 60000 << " " << y + 40000 << "\n";
  }
  return file;
}

struct Server {
  pid_t pid = -1;
  int port = 0;
};

Server Start(const fs::path& tracelon, const fs::path& root, const fs::path& session) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  Server s;
  s.pid = fork();
  if (s.pid == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    execl(tracelon.c_str(), tracelon.c_str(), "serve", "--port", "0", "--quiet", "--root",
          root.c_str(), "--session", session.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string out;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
    out.append(buffer, static_cast<size_t>(got));
    const auto at = out.find("127.0.0.1:");
    if (at != std::string::npos && out.find('/', at) != std::string::npos) {
      s.port = std::stoi(out.substr(at + 10));
      break;
    }
  }
  close(pipeFds[0]);
  return s;
}

void Measure(const fs::path& tracelon, const fs::path& dir, int n) {
  const fs::path session = WriteSession(dir, n);
  const auto started = Clock::now();
  Server server = Start(tracelon, dir / ("root" + std::to_string(n)), session);
  if (server.port <= 0) {
    std::cerr << "serve_bench: tracelon serve did not start\n";
    return;
  }
  httplib::Client client("127.0.0.1", server.port);
  client.set_read_timeout(600, 0);
  httplib::Headers headers = {{"Accept-Encoding", "gzip"}};
  auto joined = client.Post("/api/join", headers, "{}", "application/json");
  if (!joined || joined->status != 200) {
    std::cerr << "serve_bench: could not join\n";
    kill(server.pid, SIGTERM);
    return;
  }
  headers.emplace("X-Drafter", nlohmann::json::parse(joined->body)["token"].get<std::string>());
  // The first state asks for everything; the program answers once the session has played.
  auto first = Clock::now();
  auto state = client.Get("/api/state?after=0&svg=0", headers);
  nlohmann::json s = nlohmann::json::parse(state->body);
  while (s["question"]["kind"] != "command") {
    state = client.Get("/api/state?after=" + std::to_string(s["seq"].get<uint64_t>()) + "&svg=0",
                       headers);
    s = nlohmann::json::parse(state->body);
  }
  const double loaded = Ms(started);
  first = Clock::now();
  state = client.Get("/api/state?after=0&svg=0", headers);
  const double firstState = Ms(first);
  const size_t firstBytes = state->body.size();
  s = nlohmann::json::parse(state->body);
  std::vector<double> clicks;
  int whole = 0;  // clicks answered with the whole drawing instead of what changed
  for (int i = 0; i < 5; ++i) {
    const auto click = Clock::now();
    const std::string line = "host line " + std::to_string(-1000000 - i * 100000) + " 0 " +
                             std::to_string(-1000000 - i * 100000) + " 500000";
    auto posted = client.Post("/api/line", headers, nlohmann::json{{"line", line}}.dump(),
                              "application/json");
    const uint64_t seq = nlohmann::json::parse(posted->body)["seq"].get<uint64_t>();
    state = client.Get("/api/state?after=" + std::to_string(seq - 1) +
                           "&svg=" + std::to_string(s["svgVersion"].get<uint64_t>()),
                       headers);
    s = nlohmann::json::parse(state->body);
    clicks.push_back(Ms(click));
    if (!s.contains("picture") || s["picture"]["whole"].get<bool>()) ++whole;
  }
  std::sort(clicks.begin(), clicks.end());
  std::printf(
      "%7d objects: session played and first state in %8.0f ms; a later first load %6.0f ms "
      "(%zu bytes); a click to its new state %6.1f ms (median of %zu; %zu bytes, %d sent the whole "
      "drawing)\n",
      n, loaded, firstState, firstBytes, clicks[clicks.size() / 2], clicks.size(),
      state->body.size(), whole);
  client.Post("/api/quit", headers, "{}", "application/json");
  int status = 0;
  waitpid(server.pid, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path tracelon = fs::path(argv[0]).parent_path() / "tracelon";
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (!a.empty() && std::isdigit(static_cast<unsigned char>(a[0])))
      sizes.push_back(std::stoi(a));
    else
      tracelon = a;
  }
  if (sizes.empty()) sizes = {10000, 100000};
  const fs::path dir = fs::temp_directory_path() / ("serve_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (int n : sizes) Measure(tracelon, dir, n);
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
