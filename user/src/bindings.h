// The scripted user's reach into the stand-in host and the stand-in windowing system: set-up
// lines for the drawing, the platform clock, and the actions a person does on a form. Kept
// behind these few functions so that the engine itself only deals with the order of lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "user/script.h"

namespace platform {
class Form;
}

namespace user {

class Session;

namespace bindings {

// Installs `session` as the host's input source and observer and as the platform's UI driver;
// null removes it.
void Install(Session* session);

// Carries out a `host ...` line. Throws std::invalid_argument with a reason the host gave.
void ApplyHostLine(const ScriptLine& line, int64_t dx = 0, int64_t dy = 0);

// True while a point typed in as coordinate input waits to answer the host's innermost request.
bool TypedInputWaiting();

// The host carries out the host tools that commands started (a command's export has returned).
void RunHostTools();

// Time passes: timers fire.
void AdvanceClock(int64_t ms);

// Carries out a `locale ...` line: the separators of the user's number format.
void ApplyLocaleLine(const ScriptLine& line);
// A line that changes the machine outside the program: `disk` (a drive's free space from now
// on), `delete` (a file removed) or `truncate` (a file cut short). Empty when done, else why not.
std::string ApplyMachineLine(const ScriptLine& line);

// A modeless window now shown whose class or caption is `name`; null when there is none.
platform::Form* FindShownWindow(const std::string& name);
// True when the form's class name or caption (without '&') is `name`.
bool FormMatches(platform::Form& form, const std::string& name);
// True while the form is shown (a modal form: until an action gave it a modal result).
bool FormShown(platform::Form& form);
// "TdlgQXText \"QX Text\"".
std::string DescribeForm(platform::Form& form);
// The modal result as a word ("OK", "Cancel", "3").
std::string ModalResultName(platform::Form& form);

// Carries out a form action line (set, type, focus, check, select, cell, tab, click, mouse,
// dblclick, close). False when the form's own behaviour prevented it (a field's check kept the
// focus, a close query refused). Throws std::invalid_argument when the control is not there or
// cannot take the action at all.
bool ApplyFormAction(platform::Form& form, const ScriptLine& line);
// Checks an `expect CONTROL ...` line: an empty result when it holds, else what was found.
// Throws std::invalid_argument when the control is not there.
std::optional<std::string> CheckControl(platform::Form& form, const ScriptLine& line);

}  // namespace bindings
}  // namespace user
