// Building the controls of a form in code: a control at its bounds with its caption and hint, a
// button with its modal result, and rows of labelled fields.
#pragma once

#include <string>

#include "platform/forms.h"

namespace qxt {

// A control of the form named `name` inside `parent` (the form itself when null), at its bounds;
// the caption and the hint are set when given.
template <typename T>
T& Make(platform::Form& form, const char* name, platform::Control* parent, int left, int top,
        int width, int height, const std::string& caption = {}, const std::string& hint = {}) {
  T& control = form.Add<T>(name, parent);
  control.SetBounds(left, top, width, height);
  if (!caption.empty()) control.SetCaption(caption);
  if (!hint.empty()) control.hint = hint;
  return control;
}

// The same, straight on the form.
template <typename T>
T& Make(platform::Form& form, const char* name, int left, int top, int width, int height,
        const std::string& caption = {}) {
  return Make<T>(form, name, nullptr, left, top, width, height, caption);
}

// A button of the form (inside `parent` when given) with its caption and modal result; its
// bounds are set by the caller.
inline platform::Button& MakeButton(platform::Form& form, const char* name, const char* caption,
                                    int modalResult, platform::Control* parent = nullptr) {
  platform::Button& button = form.Add<platform::Button>(name, parent);
  button.SetCaption(caption);
  button.modalResult = modalResult;
  return button;
}

// The size of a dialog's push buttons (OK, Cancel, Help and their kind).
inline constexpr int kPushButtonWidth = 84;
inline constexpr int kPushButtonHeight = 25;

// A push button of that size on the form at (left, top), with its caption and modal result.
inline platform::Button& MakeButton(platform::Form& form, const char* name, int left, int top,
                                    const char* caption, int modalResult) {
  platform::Button& button = MakeButton(form, name, caption, modalResult);
  button.SetBounds(left, top, kPushButtonWidth, kPushButtonHeight);
  return button;
}

// Rows of fields, each with its label to the left: row `row` starts `row * rowHeight` below the
// first; labels stand at `labelLeft`, fields at `fieldLeft`, `fieldWidth` wide unless told.
struct FieldRows {
  int labelLeft;
  int fieldLeft;
  int fieldWidth;
  int rowHeight;

  template <typename T>
  T& Field(platform::Form& form, const char* name, int row) const {
    return Field<T>(form, name, row, fieldWidth);
  }
  template <typename T>
  T& Field(platform::Form& form, const char* name, int row, int width) const {
    T& field = form.Add<T>(name);
    field.SetBounds(fieldLeft, 8 + row * rowHeight, width, 23);
    return field;
  }
  platform::Label& Label(platform::Form& form, const char* name, const char* caption,
                         int row) const {
    platform::Label& label = form.Add<platform::Label>(name);
    label.SetCaption(caption);
    label.SetBounds(labelLeft, 12 + row * rowHeight, fieldLeft - labelLeft - 4, 16);
    return label;
  }
};

}  // namespace qxt
