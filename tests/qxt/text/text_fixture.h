// A loaded plug-in on a fresh stand-in host and platform, with a person who answers from
// queues: point replies for the host, actions for each modal form, answers for font dialogs.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/state.h"
#include "host/host.h"
#include "host/input.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/ui_driver.h"

namespace qxt::testing {

class QueuedUser : public host::InputSource, public platform::UiDriver {
 public:
  std::deque<host::PointReply> replies;
  // Runs while a point is asked for, before the reply is given (the user may change things).
  std::function<void()> whilePicking;
  std::deque<std::function<void(platform::Form&)>> formActions;
  std::deque<std::optional<platform::FontChoice>> fontAnswers;

  std::vector<std::string> prompts;
  std::vector<host::CursorImage> cursorsAtPick;
  std::vector<platform::MessageBoxRequest> messages;
  std::vector<std::string> formsShown;
  std::vector<platform::FontRequest> fontRequests;

  host::PointReply Ask(host::RequestKind, const std::string& prompt) override {
    prompts.push_back(prompt);
    cursorsAtPick.push_back(host::Host::Current()->Cursor());
    if (whilePicking) whilePicking();
    if (replies.empty()) return host::PointReply{};  // escape
    host::PointReply reply = replies.front();
    replies.pop_front();
    return reply;
  }
  void RunModal(platform::Form& form) override {
    formsShown.push_back(form.ClassName());
    if (formActions.empty()) return;  // left without a result: Cancel
    auto action = std::move(formActions.front());
    formActions.pop_front();
    action(form);
  }
  platform::MsgResult AskMessage(const platform::MessageBoxRequest& request) override {
    messages.push_back(request);
    return platform::MsgResult::OK;
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override { return {}; }
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest& request) override {
    fontRequests.push_back(request);
    if (fontAnswers.empty()) return std::nullopt;
    auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> AskFolder(const platform::FolderRequest&) override { return {}; }
  std::optional<std::string> AskInput(const platform::InputRequest&) override { return {}; }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }
};

inline host::PointReply PointAt(int32_t x, int32_t y) {
  host::PointReply reply;
  reply.kind = host::PointReply::Kind::Point;
  reply.x = x;
  reply.y = y;
  return reply;
}

inline host::PointReply Reply(host::PointReply::Kind kind) {
  host::PointReply reply;
  reply.kind = kind;
  return reply;
}

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("qxt_text_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "C" / "TRACELON" / "WORK");
    platform::Reset();
    platform::SetRoot(root_);
    platform::SetUiDriver(&user);
    host::Host::Options options;
    options.readIni = false;
    host_ = &host::Host::Start(options);
    host_->SetInputSource(&user);
    StartLibrary();
    user.messages.clear();  // the new configuration file's notice
  }

  void TearDown() override {
    EndLibrary();
    host::Host::Stop();
    platform::Reset();
    std::filesystem::remove_all(root_);
  }

  host::Host& Host() { return *host_; }

  // The final objects of the drawing, in creation order.
  std::vector<host::Object> FinalObjects() const {
    std::vector<host::Object> objects;
    for (const host::Object* o : host_->FinalObjects()) objects.push_back(*o);
    return objects;
  }

  QueuedUser user;

 private:
  std::filesystem::path root_;
  host::Host* host_ = nullptr;
};

}  // namespace qxt::testing
