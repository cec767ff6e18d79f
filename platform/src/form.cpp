// Forms: owning controls, showing modally and modelessly, focus, closing, and the registry of
// shown forms that the scripted user addresses.
#include <algorithm>
#include <stdexcept>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/native_windows.h"
#include "platform/system.h"
#include "state.h"

namespace platform {

namespace {

bool ButtonLike(const Control* c) {
  return dynamic_cast<const Button*>(c) || dynamic_cast<const SpeedButton*>(c) ||
         dynamic_cast<const ToolButton*>(c) || dynamic_cast<const CheckBox*>(c) ||
         dynamic_cast<const RadioButton*>(c);
}

void Remove(std::vector<Form*>& list, Form* form) {
  list.erase(std::remove(list.begin(), list.end(), form), list.end());
}

}  // namespace

std::string StripCaption(const std::string& caption) {
  std::string result;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        result += '&';
        ++i;
      }
      continue;
    }
    result += caption[i];
  }
  std::size_t first = result.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  std::size_t last = result.find_last_not_of(" \t");
  return result.substr(first, last - first + 1);
}

bool SameCaption(const std::string& a, const std::string& b) {
  return StripCaption(a) == StripCaption(b);
}

Form::Form(std::string className, std::string caption)
    : className_(std::move(className)), caption_(std::move(caption)) {
  handle_ = detail::NewFormWindow(this, caption_);
  detail::S().forms.push_back(this);
  SetBounds(bounds_.left, bounds_.top, bounds_.Width(), bounds_.Height());
}

Form::~Form() {
  auto& s = detail::S();
  Remove(s.forms, this);
  Remove(s.shownForms, this);
  Remove(s.modalStack, this);
  Remove(s.releasedForms, this);
  if (FormBackend* backend = CurrentFormBackend()) backend->FormDestroyed(*this);
  detail::Driver().OnFormDestroyed(*this);
  auto window = s.windows.find(handle_);
  if (window != s.windows.end() && window->second.form == this) DestroyWindow(handle_);
  focused_ = nullptr;
  components_.clear();
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  SetWindowCaption(handle_, caption);
}

Rect Form::FrameSize() const {
  switch (borderStyle) {
    case BorderStyle::None:
      return {0, 0, 0, 0};
    case BorderStyle::Single:
    case BorderStyle::Dialog:
      return {metrics::FixedFrame, metrics::FixedFrame + metrics::CaptionHeight,
              metrics::FixedFrame, metrics::FixedFrame};
    case BorderStyle::Sizeable:
      return {metrics::SizeableFrame, metrics::SizeableFrame + metrics::CaptionHeight,
              metrics::SizeableFrame, metrics::SizeableFrame};
    case BorderStyle::ToolWindow:
      return {metrics::FixedFrame, metrics::FixedFrame + metrics::SmallCaptionHeight,
              metrics::FixedFrame, metrics::FixedFrame};
    case BorderStyle::SizeToolWin:
      return {metrics::SizeableFrame, metrics::SizeableFrame + metrics::SmallCaptionHeight,
              metrics::SizeableFrame, metrics::SizeableFrame};
  }
  return {};
}

void Form::SetBounds(int left, int top, int width, int height) {
  bool resized = width != Width() || height != Height();
  bounds_ = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  SetWindowBounds(handle_, bounds_);
  SetWindowFrame(handle_, FrameSize());
  if (resized && OnResize) OnResize(*this);
}

int Form::ClientWidth() const {
  Rect f = FrameSize();
  return std::max(Width() - f.left - f.right, 0);
}

int Form::ClientHeight() const {
  Rect f = FrameSize();
  return std::max(Height() - f.top - f.bottom, 0);
}

void Form::SetClientWidth(int width) {
  Rect f = FrameSize();
  SetWidth(width + f.left + f.right);
}

void Form::SetClientHeight(int height) {
  Rect f = FrameSize();
  SetHeight(height + f.top + f.bottom);
}

// ---- Controls ----

void Form::Adopt(std::unique_ptr<Component> component) {
  components_.push_back(std::move(component));
}

Timer& Form::AddTimer(std::string name) {
  auto timer = std::make_unique<Timer>(*this, std::move(name));
  Timer& ref = *timer;
  Adopt(std::move(timer));
  return ref;
}

Component* Form::Find(const std::string& name) const {
  for (const auto& c : components_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

Control* Form::FindByCaption(const std::string& caption) const {
  std::string wanted = StripCaption(caption);
  if (wanted.empty()) return nullptr;
  Control* other = nullptr;
  for (Control* c : Controls()) {
    if (StripCaption(c->Caption()) != wanted) continue;
    if (ButtonLike(c)) return c;
    if (!other) other = c;
  }
  return other;
}

std::vector<Control*> Form::Controls() const {
  std::vector<Control*> result;
  for (const auto& c : components_)
    if (auto* control = dynamic_cast<Control*>(c.get())) result.push_back(control);
  return result;
}

std::vector<Control*> Form::ChildrenOf(const Control* parent) const {
  std::vector<Control*> result;
  for (Control* c : Controls())
    if (c->Parent() == parent) result.push_back(c);
  return result;
}

// ---- Showing ----

void Form::Place() {
  if (position == FormPosition::ScreenCenter) {
    SetBounds((metrics::ScreenWidth - Width()) / 2, (metrics::ScreenHeight - Height()) / 2, Width(),
              Height());
  } else if (position == FormPosition::MainFormCenter && IsWindow(ApplicationWindow())) {
    Rect owner = WindowRect(ApplicationWindow());
    SetBounds(owner.left + (owner.Width() - Width()) / 2,
              owner.top + (owner.Height() - Height()) / 2, Width(), Height());
  }
}

void Form::FocusFirst() {
  Control* target = focused_;
  focused_ = nullptr;
  if (!target || !target->CanFocus()) target = NextFocusable(nullptr);
  if (target) FocusControl(target);
}

void Form::UnregisterShown() {
  auto& s = detail::S();
  Remove(s.shownForms, this);
  Remove(s.modalStack, this);
}

void Form::Activate() {
  detail::S().activeWindow = handle_;
  if (OnActivate) OnActivate(*this);
}

int Form::ShowModal() {
  if (visible_ || modal_) throw std::logic_error("Cannot make a visible window modal");
  // Forms released while this one is shown live until it has closed.
  UserActionScope scope;
  auto& s = detail::S();
  WindowHandle previous = s.activeWindow;
  modal_ = true;
  visible_ = true;
  modalResult_ = ModalResult::None;
  closeAccepted_ = false;
  pressedControl = nullptr;
  Place();
  s.shownForms.push_back(this);
  s.modalStack.push_back(this);

  // Whatever way the driver leaves (including an exception that ends a session), the form is
  // taken off the screen.
  struct Closer {
    Form& form;
    WindowHandle previous;
    bool done = false;
    void Run() {
      if (done) return;
      done = true;
      form.visible_ = false;
      form.modal_ = false;
      form.UnregisterShown();
      if (FormBackend* backend = CurrentFormBackend()) backend->FormHidden(form);
      if (IsWindow(previous)) detail::S().activeWindow = previous;
    }
    ~Closer() {
      Run();
      // The next showing starts without a focused control, so moving the focus then runs no
      // exit check of a control this showing left focused (nor one it left owed).
      form.focused_ = nullptr;
      form.unvalidated_ = nullptr;
    }
  } closer{*this, previous};

  if (OnShow) OnShow(*this);
  FocusFirst();
  Activate();
  Repaint();
  if (FormBackend* backend = CurrentFormBackend()) backend->FormShown(*this);
  UiDriver& driver = detail::Driver();
  driver.OnFormShown(*this, true);
  driver.RunModal(*this);
  if (modalResult_ != ModalResult::None && !closeAccepted_) SettleModalResult();
  if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
  int result = modalResult_;
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  bool wasShown = visible_;  // its code may have hidden it already
  closer.Run();
  if (wasShown && OnHide) OnHide(*this);
  // The form that was active before becomes active again.
  auto it = s.windows.find(previous);
  if (it != s.windows.end() && it->second.form && it->second.form->Visible())
    it->second.form->Activate();
  return result;
}

void Form::Show() {
  auto& s = detail::S();
  if (visible_) {
    Activate();
    return;
  }
  visible_ = true;
  pressedControl = nullptr;
  if (modal_) {
    // Back within its own showing (its code hid it): the focus is where it was, and the driver
    // goes on with the showing it already acts on.
    if (OnShow) OnShow(*this);
    if (!focused_ || !focused_->CanFocus()) FocusFirst();
    Activate();
    Repaint();
    if (FormBackend* backend = CurrentFormBackend()) backend->FormShown(*this);
    return;
  }
  Place();
  s.shownForms.push_back(this);
  if (OnShow) OnShow(*this);
  FocusFirst();
  Activate();
  Repaint();
  if (FormBackend* backend = CurrentFormBackend()) backend->FormShown(*this);
  detail::Driver().OnFormShown(*this, false);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (modal_) {
    // The modal showing goes on with the form hidden; only a modal result ends it.
    auto& s = detail::S();
    if (s.activeWindow == handle_) s.activeWindow = ApplicationWindow();
    if (FormBackend* backend = CurrentFormBackend()) backend->FormHidden(*this);
    if (OnHide) OnHide(*this);
    return;
  }
  UnregisterShown();
  if (FormBackend* backend = CurrentFormBackend()) backend->FormHidden(*this);
  if (detail::S().activeWindow == handle_) {
    Form* top = ActiveModalForm();
    detail::S().activeWindow = top ? top->Handle() : ApplicationWindow();
  }
  if (OnHide) OnHide(*this);
  focused_ = nullptr;  // closed: the next showing starts afresh
  unvalidated_ = nullptr;
}

bool Form::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(*this, canClose);
  return canClose;
}

void Form::Close() {
  if (modal_) {
    SetModalResult(ModalResult::Cancel);
    return;
  }
  if (!visible_ || !CloseQuery()) return;
  CloseAction action = CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  if (action != CloseAction::None && action != CloseAction::Minimize) Hide();
}

void Form::Release() {
  auto& s = detail::S();
  if (std::find(s.releasedForms.begin(), s.releasedForms.end(), this) != s.releasedForms.end())
    return;
  s.releasedForms.push_back(this);
  if (s.userActionDepth == 0) detail::DestroyReleasedForms();
}

void Form::SetModalResult(int result) {
  modalResult_ = result;
  closeAccepted_ = false;
}

void Form::SettleModalResult() {
  if (!modal_ || modalResult_ == ModalResult::None || closeAccepted_) return;
  int result = modalResult_;
  if (CloseQuery()) {
    modalResult_ = result;
    closeAccepted_ = true;
  } else {
    modalResult_ = ModalResult::None;
  }
}

// ---- Focus ----

bool Form::SetActiveControl(Control* control) {
  if (!visible_) {
    focused_ = control;
    return true;
  }
  return FocusControl(control);
}

bool Form::FocusControl(Control* target) {
  if (inFocusChange_) {
    // A handler moves the focus while it is moving: its wish wins.
    focusRequest_ = target;
    return false;
  }
  if (target && !target->CanFocus()) return false;
  if (target == focused_) return true;
  inFocusChange_ = true;
  focusRequest_ = target;
  Control* old = focused_;
  if (target && !target->causesValidation) {
    // The control left keeps its entry unchecked for now; the check is owed.
    if (old && !unvalidated_ && old->causesValidation) unvalidated_ = old;
  } else {
    if (old) old->DoExit();
    // A check skipped earlier runs now, unless the focus goes back to that very control.
    Control* owed = unvalidated_;
    unvalidated_ = nullptr;
    if (owed && owed != old && owed != target) owed->DoExit();
  }
  Control* destination = focusRequest_;
  Control* redirect = nullptr;
  if (destination != old) {
    focused_ = destination;
    if (destination) {
      focusRequest_ = destination;
      destination->DoEnter();
      if (focusRequest_ != destination) redirect = focusRequest_;
    }
  }
  inFocusChange_ = false;
  focusRequest_ = nullptr;
  if (redirect) FocusControl(redirect);
  return focused_ == target;
}

Control* Form::NextFocusable(Control* from, bool forward) const {
  std::vector<Control*> order;
  for (Control* c : Controls())
    if (c->tabStop && c->CanFocus()) order.push_back(c);
  if (order.empty()) return nullptr;
  auto it = std::find(order.begin(), order.end(), from);
  if (it == order.end()) return forward ? order.front() : order.back();
  std::ptrdiff_t i = it - order.begin();
  std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order.size());
  return order[static_cast<std::size_t>(((forward ? i + 1 : i - 1) % n + n) % n)];
}

Button* Form::DefaultButton() const {
  for (Control* c : Controls())
    if (auto* b = dynamic_cast<Button*>(c); b && b->isDefault && b->Showing() && b->EnabledOnForm())
      return b;
  return nullptr;
}

Button* Form::CancelButton() const {
  for (Control* c : Controls())
    if (auto* b = dynamic_cast<Button*>(c); b && b->isCancel && b->Showing() && b->EnabledOnForm())
      return b;
  return nullptr;
}

// ---- Painting ----

void Form::Repaint() {
  canvas_.Clear();
  if (OnPaint) OnPaint(*this);
  for (Control* c : Controls())
    if (c->Showing()) c->Paint();
}

// ---- User actions ----

namespace detail {

void DestroyReleasedForms() {
  auto& released = S().releasedForms;
  while (!released.empty()) {
    Form* form = released.front();
    released.erase(released.begin());
    delete form;
  }
}

}  // namespace detail

UserActionScope::UserActionScope() { ++detail::S().userActionDepth; }

UserActionScope::~UserActionScope() {
  auto& s = detail::S();
  if (s.userActionDepth > 0 && --s.userActionDepth == 0) detail::DestroyReleasedForms();
}

int ReleasedFormCount() { return static_cast<int>(detail::S().releasedForms.size()); }

// ---- The shown forms ----

std::vector<Form*> AllForms() { return detail::S().forms; }

std::vector<Form*> ShownForms() {
  auto& s = detail::S();
  std::vector<Form*> result;
  for (Form* f : s.shownForms)
    if (!f->Modal()) result.push_back(f);
  for (Form* f : s.modalStack)
    if (f->Visible()) result.push_back(f);
  return result;
}

Form* ActiveModalForm() {
  auto& stack = detail::S().modalStack;
  return stack.empty() ? nullptr : stack.back();
}

Form* FindShownForm(const std::string& nameOrCaption) {
  std::vector<Form*> shown = ShownForms();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it)
    if ((*it)->ClassName() == nameOrCaption || SameCaption((*it)->Caption(), nameOrCaption))
      return *it;
  return nullptr;
}

}  // namespace platform
