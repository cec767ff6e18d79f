// A fresh platform on a temporary root folder and a fresh host for each test, with a queue of
// user answers and a record of what the host showed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "hsi/hsi.h"
#include "platform/files.h"
#include "platform/system.h"

namespace hosttest {

class QueueInput : public host::InputSource {
 public:
  std::deque<host::PointReply> replies;
  std::vector<std::string> prompts;
  host::PointReply Ask(host::RequestKind, const std::string& prompt) override {
    prompts.push_back(prompt);
    if (replies.empty()) return host::PointReply{};  // escape
    host::PointReply r = replies.front();
    replies.pop_front();
    return r;
  }
  void Point(int32_t x, int32_t y) {
    host::PointReply r;
    r.kind = host::PointReply::Kind::Point;
    r.x = x;
    r.y = y;
    replies.push_back(r);
  }
  void Reply(host::PointReply::Kind kind, int status = 0) {
    host::PointReply r;
    r.kind = kind;
    r.status = status;
    replies.push_back(r);
  }
};

class EventLog : public host::HostObserver {
 public:
  std::vector<host::HostEvent> events;
  void OnHostEvent(const host::HostEvent& e) override { events.push_back(e); }
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Reset();
    root_ = std::filesystem::temp_directory_path() /
            ("qxt-host-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "SYMBOLS");
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "MACROS");
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "DRAWINGS");
    platform::SetRoot(root_);
    host_ = &host::Host::Start();
    host_->SetInputSource(&input_);
    host_->SetObserver(&events_);
  }
  void TearDown() override {
    host::Host::Stop();
    platform::Reset();
    std::filesystem::remove_all(root_);
  }
  // Writes a file under the root by its Windows path.
  void WriteFile(const std::string& windowsPath, const std::string& text) {
    std::ofstream(platform::ResolvePath(windowsPath), std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& windowsPath) {
    std::ifstream in(platform::ResolvePath(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t CountKind(host::ObjectKind kind) const {
    size_t n = 0;
    for (const auto* o : host_->FinalObjects()) n += o->Kind() == kind;
    return n;
  }

  std::filesystem::path root_;
  host::Host* host_ = nullptr;
  QueueInput input_;
  EventLog events_;
};

// A door symbol: 36 units wide with its node at the hinge, leaf and swing arc into +y.
inline const char* kDoorSymbol =
    "TRACELON SYMBOL 1\n"
    "# a 36 inch swing door\n"
    "UNIT 8000\n"
    "NODE 0 0 36\n"
    "LINE 0 0 0 36\n"
    "ARC 0 0 36 0 90\n";

inline const char* kArrowSymbol =
    "TRACELON SYMBOL 1\n"
    "LINE 0 0 -4 1.5\n"
    "LINE 0 0 -4 -1.5\n"
    "TEXT 0 2 2 \"A\" JUST 2 3\n";

}  // namespace hosttest
