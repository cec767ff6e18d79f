// Native windows where the system has none to give: the forms stay headless.
#include "platform/native_windows.h"

#include "state.h"

namespace platform::native {

bool Available() { return false; }
bool Enable() { return false; }
bool Enabled() { return false; }
void Disable() {}
void SetOwnerWindow(void*) {}
std::string NativeClassFor(const Control&) { return ""; }
void* ControlWindow(const Control&) { return nullptr; }
void* FormWindow(const Form&) { return nullptr; }
bool Perform(Form&, const Action&, const std::function<bool()>& perform) { return perform(); }
int MessagesDelivered() { return 0; }
int DirectActions() { return 0; }
void Refresh() {}
std::vector<GeometryProblem> CheckGeometry(const Form&) { return {}; }
bool CaptureForm(const Form&, Bitmap&) { return false; }
UiDriver& DesktopUser() { return detail::Driver(); }

}  // namespace platform::native
