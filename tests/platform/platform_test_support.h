// Helpers for the platform tests: a fresh platform on a temporary root folder, and a UI driver
// whose answers a test scripts.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/ui_driver.h"

namespace platform::testing {

class ScriptedDriver : public UiDriver {
 public:
  std::function<void(Form&)> onModal;  // acts on a modal form; nothing by default
  std::deque<MsgResult> messageAnswers;
  std::deque<std::optional<std::string>> fileAnswers, folderAnswers, inputAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;
  std::vector<MessageBoxRequest> messages;
  std::vector<OpenFileRequest> fileRequests;
  std::vector<BeepKind> beeps;
  std::vector<std::string> shownForms;

  void RunModal(Form& form) override {
    if (onModal) onModal(form);
  }
  MsgResult AskMessage(const MessageBoxRequest& request) override {
    messages.push_back(request);
    return Next(messageAnswers, MsgResult::OK);
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override {
    fileRequests.push_back(request);
    return Next(fileAnswers, std::optional<std::string>());
  }
  std::optional<FontChoice> AskFont(const FontRequest&) override {
    return Next(fontAnswers, std::optional<FontChoice>());
  }
  std::optional<std::string> AskFolder(const FolderRequest&) override {
    return Next(folderAnswers, std::optional<std::string>());
  }
  std::optional<std::string> AskInput(const InputRequest&) override {
    return Next(inputAnswers, std::optional<std::string>());
  }
  void OnBeep(BeepKind kind) override { beeps.push_back(kind); }
  void OnFormShown(Form& form, bool) override { shownForms.push_back(form.ClassName()); }

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T fallback) {
    if (answers.empty()) return fallback;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Each test starts on a reset platform whose drive C: is an empty temporary folder.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("qxt-platform-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(root_ / "C");
    SetRoot(root_);
    SetUiDriver(&driver);
  }
  void TearDown() override {
    Reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::filesystem::path& RootFolder() const { return root_; }

  ScriptedDriver driver;

 private:
  std::filesystem::path root_;
};

}  // namespace platform::testing
