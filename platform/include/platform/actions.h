// What a person does to a shown form, for the scripted user and for tests. Each action works as
// the user's input would: focus moves run exit handlers first, typed text passes the key
// filter, clicks set modal results, and after each action a modal result is checked against the
// form's close query.
//
// Actions return true when the thing happened and false when the form's own behaviour
// prevented it (a field's check kept the focus, a close query refused, a message box shown while
// a click moved the focus took that click). They throw ActionError
// when the action cannot be done at all: no such control, a hidden or disabled one, a control
// of the wrong kind, an item that does not exist.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms.h"

namespace platform::actions {

class ActionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class MouseAction { Down, Up, Move };

// The control named `nameOrCaption`: by name, else by caption ('&' and surrounding blanks
// ignored). ActionError when there is none.
Control& Resolve(Form& form, const std::string& nameOrCaption);

// Replaces a control's text (several texts: a memo's lines joined by line breaks) after moving
// the focus to it. The key filter is not involved, as when text is pasted; a maximum length cuts
// the text.
bool SetText(Form& form, const std::string& control, const std::vector<std::string>& texts);
// Focuses the control and types, key by key, through its key filter. "\r", "\n" and "\r\n" are
// the Enter key, "\t" the Tab key, "\x1b" Escape, "\b" Backspace.
bool TypeText(Form& form, const std::string& control, const std::string& text);
bool Focus(Form& form, const std::string& control);
bool Check(Form& form, const std::string& control, bool on);
// Selects an item of a radio group, list box, combo box or tab set, by index or by text
// (compared as captions are). In a multi-select list the item is added to the selection.
bool Select(Form& form, const std::string& control, int index);
bool Select(Form& form, const std::string& control, const std::string& item);
bool Deselect(Form& form, const std::string& control, const std::string& item);
// Types a grid cell's text: focuses the grid, selects the cell, sets its text.
bool SetCell(Form& form, const std::string& control, int col, int row, const std::string& text);
// Brings the tab or notebook page with this caption to the front.
bool SelectTab(Form& form, const std::string& caption);
// Clicks a control, by name or caption (an item of a radio group also by its caption). When the
// focus moves to it and a message box is shown meanwhile (the exit check of the field left
// behind warned), the box takes the mouse and the click is lost, as on Windows; the same holds
// for a mouse press and for ticking a check box or radio button.
bool Click(Form& form, const std::string& control);
bool Mouse(Form& form, const std::string& control, MouseAction action, MouseButton button, Point at,
           ShiftState shift = {});
// The same at the centre of a grid cell.
bool MouseCell(Form& form, const std::string& control, MouseAction action, MouseButton button,
               int col, int row, ShiftState shift = {});
// Double click at a point (by default: the control's centre, or a list's selected item).
bool DoubleClick(Form& form, const std::string& control, std::optional<Point> at = {});
// The window's close box.
bool CloseBox(Form& form);

// For expectations: a control's text as a person reads it (a label's or button's caption, an
// edit's text, the selected item of a list, radio group, combo box or tab set, the active page).
std::string DisplayText(const Control& control);
// States: "enabled", "disabled", "visible", "hidden", "checked", "unchecked", "down", "up".
// ActionError for a state the control does not have.
bool HasState(const Control& control, const std::string& state);

}  // namespace platform::actions
