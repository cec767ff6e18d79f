// A fresh machine for each plug-in test, with the configuration file's path and the message boxes
// the platform recorded; the test user answers message boxes with OK and acts on modal forms as
// the test says.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config_bytes.h"
#include "core/state.h"
#include "host/host.h"
#include "machine_test.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt::test {

class PluginTest : public testsupport::MachineTest {
 protected:
  static constexpr const char* kConfigPath = "C:\\TRACELON\\WORK\\QXTOOLS.DAT";

  void TearDown() override {
    if (StateExists()) EndLibrary();
    MachineTest::TearDown();
  }

  std::filesystem::path LocalConfig() const { return platform::ResolvePath(kConfigPath); }

  void WriteConfig(const Bytes& bytes) {
    std::ofstream out(LocalConfig(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  Bytes ReadConfig() const {
    std::ifstream in(LocalConfig(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The message boxes shown since the start or since the last ForgetMessages().
  std::vector<platform::MessageBoxRecord> Messages() const {
    const auto& all = platform::GetHistory().messages;
    return {all.begin() + std::ptrdiff_t(std::min(seen_, all.size())), all.end()};
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : Messages()) texts.push_back(m.request.text);
    return texts;
  }
  void ForgetMessages() { seen_ = platform::GetHistory().messages.size(); }

 private:
  std::size_t seen_ = 0;
};

inline const std::string kLoadFailure =
    "QX Tools was unable to retrieve its configuration information\r\n"
    "from the QXTOOLS.DAT file.  Without this information, QX Tools\r\n"
    "will not function properly and may crash your system. You must\r\n"
    "correct this problem before using QX Tools.";

inline const std::string kNotInitialised =
    "QxTools did not initialize properly, unable to continue.";

}  // namespace qxt::test
