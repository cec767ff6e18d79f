// A fresh machine for each test: an empty root folder with C:\TRACELON\WORK, a reset platform on
// that root, and a started host, with one TestUser as the platform's UI driver and as the host's
// input source and observer. Teardown stops the host, resets the platform and removes the folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "host/host.h"
#include "platform/files.h"
#include "platform/system.h"
#include "test_user.h"

namespace testsupport {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / RootName();
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "WORK");
    platform::Reset();
    platform::SetRoot(root_);
    platform::SetUiDriver(&user);
    host::Host::Options options;
    options.readIni = false;
    host_ = &host::Host::Start(options);
    host_->SetInputSource(&user);
    host_->SetObserver(&user);
  }

  void TearDown() override {
    host::Host::Stop();
    host_ = nullptr;
    platform::Reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  host::Host& Host() { return *host_; }
  const std::filesystem::path& Root() const { return root_; }

  // Writes or reads a whole file under the root by its Windows path.
  void WriteFile(const std::string& windowsPath, const std::string& text) {
    std::ofstream(platform::ResolvePath(windowsPath), std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& windowsPath) const {
    std::ifstream in(platform::ResolvePath(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TestUser user;
  host::Host* host_ = nullptr;  // a test that starts a host of its own points this at it

 private:
  // Unique per process and test, so test programs may run side by side; parameterised names
  // carry slashes, which would make subfolders.
  static std::string RootName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        "qxt-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "." + test->name();
    for (char& c : name)
      if (c == '/' || c == '\\') c = '_';
    return name;
  }

  std::filesystem::path root_;
};

}  // namespace testsupport
