// A person at the keyboard for tests: answers the host's point and pick requests and everything
// the windowing system asks, from queues the test fills, and records what they were shown.
// Every queue answers in order; once it runs dry the person cancels (a message box gets OK).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/input.h"
#include "platform/forms.h"
#include "platform/ui_driver.h"

namespace testsupport {

inline host::PointReply PointAt(int32_t x, int32_t y, int32_t z = 0) {
  host::PointReply reply;
  reply.kind = host::PointReply::Kind::Point;
  reply.x = x;
  reply.y = y;
  reply.z = z;
  return reply;
}

// A reply without a point; `status` is the one reported for Kind::Status.
inline host::PointReply Reply(host::PointReply::Kind kind, int status = 0) {
  host::PointReply reply;
  reply.kind = kind;
  reply.status = status;
  return reply;
}

class TestUser : public host::InputSource, public platform::UiDriver, public host::HostObserver {
 public:
  // ---- Answers ----
  std::deque<host::PointReply> replies;  // dry: escape
  // Runs at each point or pick request before it is answered (the person may change things).
  std::function<void()> whilePicking;
  // One action per modal form, in order; when none is queued, onModal acts on the form; without
  // either the form is left alone and closes with Cancel.
  std::deque<std::function<void(platform::Form&)>> formActions;
  std::function<void(platform::Form&)> onModal;
  std::deque<platform::MsgResult> messageAnswers;  // dry: OK
  // Runs at each message box before it is answered (the world may change meanwhile).
  std::function<void(const platform::MessageBoxRequest&)> whileAsked;
  std::deque<std::optional<platform::FontChoice>> fontAnswers;
  std::deque<std::optional<std::string>> fileAnswers, folderAnswers, inputAnswers;

  // ---- What the person was shown, in order ----
  std::vector<std::string> prompts;
  // The host's cursor image at each request, beside its prompt (blank when no host is running).
  std::vector<host::CursorImage> cursorsAtPick;
  std::vector<platform::MessageBoxRequest> messages;
  std::vector<std::string> formsShown;  // class names of modal and modeless forms
  std::vector<platform::FontRequest> fontRequests;
  std::vector<host::HostEvent> events;

  void Point(int32_t x, int32_t y) { replies.push_back(PointAt(x, y)); }
  void Reply(host::PointReply::Kind kind, int status = 0) {
    replies.push_back(testsupport::Reply(kind, status));
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  host::PointReply Ask(host::RequestKind, const std::string& prompt) override {
    prompts.push_back(prompt);
    const host::Host* current = host::Host::Current();
    cursorsAtPick.push_back(current ? current->Cursor() : host::CursorImage{});
    if (whilePicking) whilePicking();
    return Next(replies, host::PointReply{});
  }

  void RunModal(platform::Form& form) override {
    if (!formActions.empty()) {
      auto action = std::move(formActions.front());
      formActions.pop_front();
      action(form);
    } else if (onModal) {
      onModal(form);
    }
  }
  platform::MsgResult AskMessage(const platform::MessageBoxRequest& request) override {
    messages.push_back(request);
    if (whileAsked) whileAsked(request);
    return Next(messageAnswers, platform::MsgResult::OK);
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override {
    return Next(fileAnswers, {});
  }
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest& request) override {
    fontRequests.push_back(request);
    return Next(fontAnswers, {});
  }
  std::optional<std::string> AskFolder(const platform::FolderRequest&) override {
    return Next(folderAnswers, {});
  }
  std::optional<std::string> AskInput(const platform::InputRequest&) override {
    return Next(inputAnswers, {});
  }
  void OnFormShown(platform::Form& form, bool) override { formsShown.push_back(form.ClassName()); }

  void OnHostEvent(const host::HostEvent& event) override { events.push_back(event); }

 private:
  template <class T>
  static T Next(std::deque<T>& queue, T whenDry) {
    if (queue.empty()) return whenDry;
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
  }
};

}  // namespace testsupport
