// The scripted user's actions on the stand-in windowing system.
#include <filesystem>
#include <stdexcept>

#include "bindings.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/native_windows.h"
#include "platform/system.h"

namespace user::bindings {

namespace act = platform::actions;
namespace native = platform::native;

void AdvanceClock(int64_t ms) { platform::AdvanceClock(ms); }

void ApplyLocaleLine(const ScriptLine& line) {
  platform::ApplicationSettings& settings = platform::Application();
  for (size_t i = 1; i + 1 < line.Count(); i += 2) {
    const std::string& text = line.Arg(i + 1);
    if (line.Arg(i) == "thousands") {
      settings.thousandSeparator = text.empty() ? '\0' : text[0];
    } else {
      settings.decimalSeparator = text[0];
    }
  }
}

std::string ApplyMachineLine(const ScriptLine& line) {
  const std::string& verb = line.Arg(0);
  if (verb == "disk") {
    const char drive = line.Arg(1)[0];
    const std::string how = line.Arg(2);
    bool done;
    if (how == "unlimited") {
      done = platform::DiskFree(drive) >= 0;
      if (done) platform::SetDriveCapacity(drive, std::nullopt);
    } else {
      done = platform::SetDriveFree(drive, how == "full" ? 0 : std::stoull(line.Arg(3)));
    }
    return done ? "" : "the machine has no drive " + line.Arg(1);
  }
  const std::string& path = line.Arg(1);
  if (verb == "delete") {
    return platform::FileExists(path) && platform::DeleteFile(path)
               ? ""
               : "there is no file " + path + " to delete";
  }
  // truncate
  const std::uintmax_t length = std::stoull(line.Arg(2));
  const std::optional<std::uintmax_t> size = platform::FileSizeOf(path);
  if (!size || length > *size) return "the file " + path + " is missing or not that long";
  std::error_code ec;
  std::filesystem::resize_file(platform::ResolvePathForWriting(path), length, ec);
  return ec ? "cannot cut " + path + " short: " + ec.message() : "";
}

bool FormMatches(platform::Form& form, const std::string& name) {
  return form.ClassName() == name || platform::SameCaption(form.Caption(), name);
}

platform::Form* FindShownWindow(const std::string& name) {
  auto shown = platform::ShownForms();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
    platform::Form* form = *it;
    if (form->Visible() && !form->Modal() && FormMatches(*form, name)) return form;
  }
  return nullptr;
}

bool FormShown(platform::Form& form) { return form.Visible() && !form.ModalDone(); }

std::string DescribeForm(platform::Form& form) {
  return form.ClassName() + " " + Quote(form.Caption());
}

std::string ModalResultName(platform::Form& form) {
  static const char* names[] = {"none",   "OK",  "Cancel", "Abort", "Retry",
                                "Ignore", "Yes", "No",     "All"};
  int result = form.GetModalResult();
  if (result >= 0 && result <= 8) return names[result];
  return std::to_string(result);
}

namespace {

int Int(const ScriptLine& line, size_t index) {
  return static_cast<int>(*ParseInteger(line.Arg(index)));
}

platform::MouseButton Button(const std::string& word) {
  if (word == "right") return platform::MouseButton::Right;
  if (word == "middle") return platform::MouseButton::Middle;
  return platform::MouseButton::Left;
}

bool Mouse(platform::Form& form, const ScriptLine& line) {
  const std::string& control = line.Arg(1);
  act::MouseAction action = line.Arg(2) == "down" ? act::MouseAction::Down
                            : line.Arg(2) == "up" ? act::MouseAction::Up
                                                  : act::MouseAction::Move;
  platform::MouseButton button = Button(line.Arg(3));
  bool cell = line.Arg(4) == "cell";
  size_t at = cell ? 5 : 4;
  platform::ShiftState shift;
  for (size_t i = at + 2; i < line.Count(); ++i) {
    if (line.Arg(i) == "shift") shift.shift = true;
    if (line.Arg(i) == "ctrl") shift.ctrl = true;
  }
  native::Action a{native::Act::Mouse, control};
  a.x = Int(line, at);
  a.y = Int(line, at + 1);
  a.hasPoint = !cell;
  a.mouse = static_cast<int>(action);
  a.button = static_cast<int>(button);
  a.shift = shift.shift;
  a.ctrl = shift.ctrl;
  return native::Perform(form, a, [&] {
    if (cell) return act::MouseCell(form, control, action, button, a.x, a.y, shift);
    return act::Mouse(form, control, action, button, {a.x, a.y}, shift);
  });
}

// Typing through native windows: each key is a message to the control that has the focus when
// it is pressed (the first to the named control, which takes the focus), as a keyboard does.
bool TypeKeys(platform::Form& form, const std::string& control, const std::string& text) {
  platform::UserActionScope scope;
  if (text.empty()) {
    return native::Perform(form, {native::Act::Type, control},
                           [&] { return act::TypeText(form, control, text); });
  }
  std::string target = control;
  for (size_t i = 0; i < text.size(); ++i) {
    char key = text[i];
    if (key == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (key == '\n') key = '\r';
    if (i > 0) {
      platform::Control* focused = form.ActiveControl();
      if (!focused || !form.Visible() || form.ModalDone()) break;
      target = focused->Name();
    }
    const std::string keyText(1, key);
    bool done = native::Perform(form, {native::Act::Type, target, keyText},
                                [&] { return act::TypeText(form, target, keyText); });
    if (i == 0 && !done) return false;
  }
  return true;
}

}  // namespace

bool ApplyFormAction(platform::Form& form, const ScriptLine& line) {
  try {
    switch (line.verb) {
      case Verb::Set: {
        std::vector<std::string> texts;
        std::string joined;
        for (size_t i = 2; i < line.Count(); ++i) {
          texts.push_back(line.Arg(i));
          joined += (i > 2 ? "\r\n" : "") + line.Arg(i);
        }
        return native::Perform(form, {native::Act::Set, line.Arg(1), joined},
                               [&] { return act::SetText(form, line.Arg(1), texts); });
      }
      case Verb::Type:
        if (native::Enabled()) return TypeKeys(form, line.Arg(1), line.Arg(2));
        return act::TypeText(form, line.Arg(1), line.Arg(2));
      case Verb::Focus:
        return native::Perform(form, {native::Act::Focus, line.Arg(1)},
                               [&] { return act::Focus(form, line.Arg(1)); });
      case Verb::Check: {
        native::Action a{native::Act::Check, line.Arg(1)};
        a.on = line.Arg(2) == "on";
        return native::Perform(form, a, [&] { return act::Check(form, line.Arg(1), a.on); });
      }
      case Verb::Select: {
        native::Action a{native::Act::Select, line.Arg(1)};
        if (line.words[2].quoted) {
          a.text = line.Arg(2);
          return native::Perform(form, a,
                                 [&] { return act::Select(form, line.Arg(1), line.Arg(2)); });
        }
        a.index = Int(line, 2);
        return native::Perform(form, a, [&] { return act::Select(form, line.Arg(1), a.index); });
      }
      case Verb::Cell: {
        native::Action a{native::Act::Cell, line.Arg(1), line.Arg(4)};
        a.x = Int(line, 2);
        a.y = Int(line, 3);
        return native::Perform(
            form, a, [&] { return act::SetCell(form, line.Arg(1), a.x, a.y, line.Arg(4)); });
      }
      case Verb::Tab:
        return native::Perform(form, {native::Act::Tab, "", line.Arg(1)},
                               [&] { return act::SelectTab(form, line.Arg(1)); });
      case Verb::Click:
        return native::Perform(form, {native::Act::Click, line.Arg(1)},
                               [&] { return act::Click(form, line.Arg(1)); });
      case Verb::Mouse:
        return Mouse(form, line);
      case Verb::DblClick: {
        native::Action a{native::Act::DoubleClick, line.Arg(1)};
        if (line.Count() == 4) {
          a.hasPoint = true;
          a.x = Int(line, 2);
          a.y = Int(line, 3);
          return native::Perform(form, a, [&] {
            return act::DoubleClick(form, line.Arg(1), platform::Point{a.x, a.y});
          });
        }
        return native::Perform(form, a, [&] { return act::DoubleClick(form, line.Arg(1)); });
      }
      case Verb::Close:
        return native::Perform(form, {native::Act::Close}, [&] { return act::CloseBox(form); });
      default:
        throw std::invalid_argument("\"" + line.source + "\" is not a form action");
    }
  } catch (const act::ActionError& e) {
    throw std::invalid_argument(e.what());
  }
}

std::optional<std::string> CheckControl(platform::Form& form, const ScriptLine& line) {
  try {
    const platform::Control& control = act::Resolve(form, line.Arg(1));
    const std::string& wanted = line.Arg(2);
    if (line.words[2].quoted) {
      std::string shown = act::DisplayText(control);
      // What a person reads of a caption has no '&' and no surrounding blanks; an edit's text
      // is compared exactly, its blanks being part of what was typed.
      bool edit = dynamic_cast<const platform::Edit*>(&control) != nullptr;
      if (shown == wanted || (!edit && platform::SameCaption(shown, wanted))) return std::nullopt;
      return line.Arg(1) + " reads " + Quote(shown) + ", not " + Quote(wanted);
    }
    if (act::HasState(control, wanted)) return std::nullopt;
    return line.Arg(1) + " is not " + wanted;
  } catch (const act::ActionError& e) {
    throw std::invalid_argument(e.what());
  }
}

}  // namespace user::bindings
