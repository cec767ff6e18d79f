// The toolkit's forms as real windows of the system, chosen when the program starts. The
// headless toolkit stays the model: a form's controls, texts, states and events are those of
// platform/forms.h. A backend shows each shown form as a top-level window with one system
// control per toolkit control, keeps them in step with the model, and turns the messages the
// controls receive (a person's input, or a script's messages) into the toolkit's actions.
//
// On Windows the backend draws with the system's own controls (platform/src/win32/); elsewhere
// there is none, and `Enable` says so.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/picture.h"
#include "platform/ui_driver.h"

namespace platform {

class Form;
class Control;

// What the toolkit tells a backend that shows its forms.
class FormBackend {
 public:
  virtual ~FormBackend() = default;
  // The form has been shown (its show handler, focus, activation and painting done).
  virtual void FormShown(Form& form) = 0;
  // The form left the screen (hidden, closed, or its modal showing ended).
  virtual void FormHidden(Form& form) = 0;
  // The form is being destroyed.
  virtual void FormDestroyed(Form& form) = 0;
};

void SetFormBackend(FormBackend* backend);
FormBackend* CurrentFormBackend();

namespace native {

// True when this build has native windows (the Windows build).
bool Available();
// Shows the toolkit's forms as native windows from now on. False (and nothing changes) where
// there are none or the window classes cannot be registered.
bool Enable();
bool Enabled();
// Back to headless forms: every native window is destroyed.
void Disable();

// The window that owns the tool windows and dialogs (the host's main window); null: none.
void SetOwnerWindow(void* hwnd);

// The system's window class that shows a control ("BUTTON", "EDIT", ...), or empty when the
// backend has no counterpart for the control's kind.
std::string NativeClassFor(const Control& control);
// The native window of a control of a shown form; null when it has none.
void* ControlWindow(const Control& control);
void* FormWindow(const Form& form);

// The kinds of things the scripted user does to a control.
enum class Act { Set, Type, Focus, Check, Select, Cell, Tab, Click, Mouse, DoubleClick, Close };

// One thing the user does, carried by the message the system would deliver for it.
struct Action {
  Action(Act k = Act::Click, std::string c = {}, std::string t = {})
      : kind(k), control(std::move(c)), text(std::move(t)) {}
  Act kind = Act::Click;
  std::string control;  // name or caption; empty for the form itself
  std::string text;     // Set, Type, Select (by text), Tab
  int index = -1;       // Select by index
  bool on = false;      // Check
  int x = 0, y = 0;     // Mouse, DoubleClick (a point), Cell (column, row)
  bool hasPoint = false;
  int mouse = 0;   // Mouse: 0 down, 1 up, 2 move
  int button = 0;  // Mouse: 0 left, 1 right, 2 middle
  bool shift = false, ctrl = false;
};

// Carries out `action` on the shown native window of `form`: sends the control's window the
// message a person's input would bring (BM_CLICK, WM_SETTEXT, WM_CHAR, LB_SETCURSEL, mouse
// buttons at the point, WM_CLOSE, ...), and the control's window procedure runs `perform`, the
// toolkit's own action, whose result is returned (an exception it throws is thrown here). When
// the control has no window (no such control, or none shown), `perform` runs directly so that
// the toolkit reports what is wrong.
bool Perform(Form& form, const Action& action, const std::function<bool()>& perform);
// How many actions reached their control through a message, and how many ran directly.
int MessagesDelivered();
int DirectActions();

// Brings every shown native window in step with the toolkit's model.
void Refresh();

// A control whose native window does not stand where the toolkit puts it, or that has none.
struct GeometryProblem {
  std::string control;
  std::string what;
};
// Compares each control's window rectangle (relative to the form's client area) with the
// toolkit's position and size for it; every control of a shown form is looked at.
std::vector<GeometryProblem> CheckGeometry(const Form& form);
// The form as the system draws it, read back from the screen.
bool CaptureForm(const Form& form, Bitmap& picture);

// The person at the screen: modal showings run their own message loop with the owner disabled;
// message boxes are MessageBoxW, the file, folder and font choosers the system's common
// dialogs, help opens a window of its own, beeps are the system's.
UiDriver& DesktopUser();

}  // namespace native
}  // namespace platform
