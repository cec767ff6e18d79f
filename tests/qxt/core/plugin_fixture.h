// A fresh machine for each test: an empty root folder with the host's folders, a fresh platform
// and host, and a test user that answers message boxes with OK and acts on modal forms as the
// test says.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "config_bytes.h"
#include "core/state.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/ui_driver.h"

namespace qxt::test {

class TestUser : public platform::UiDriver {
 public:
  // Acts on each modal form; without it a form is left with Cancel.
  std::function<void(platform::Form&)> onModal;
  std::vector<std::string> formsShown;  // class names, in order

  void RunModal(platform::Form& form) override {
    if (onModal) {
      onModal(form);
    } else {
      form.SetModalResult(platform::ModalResult::Cancel);
    }
  }
  platform::MsgResult AskMessage(const platform::MessageBoxRequest&) override {
    return platform::MsgResult::OK;
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override { return {}; }
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest&) override { return {}; }
  std::optional<std::string> AskFolder(const platform::FolderRequest&) override { return {}; }
  std::optional<std::string> AskInput(const platform::InputRequest&) override { return {}; }
  void OnFormShown(platform::Form& form, bool) override { formsShown.push_back(form.ClassName()); }
};

class PluginTest : public ::testing::Test {
 protected:
  static constexpr const char* kConfigPath = "C:\\TRACELON\\WORK\\QXTOOLS.DAT";

  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("qxt_core_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "WORK");
    platform::Reset();
    platform::SetRoot(root_);
    platform::SetUiDriver(&user);
    host::Host::Options options;
    options.readIni = false;
    host_ = &host::Host::Start(options);
  }

  void TearDown() override {
    if (StateExists()) EndLibrary();
    host::Host::Stop();
    platform::Reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  host::Host& Host() { return *host_; }
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

  TestUser user;

 private:
  std::filesystem::path root_;
  host::Host* host_ = nullptr;
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
