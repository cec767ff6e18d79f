#include "host_setup.h"

#include "host/dxf.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/system.h"

void StartHost(const std::filesystem::path& root) {
  platform::Reset();
  platform::SetRoot(root);
  host::Host::Start();
}

void StopHost() { host::Host::Stop(); }

std::string DrawingSvg() {
  const host::Host* h = host::Host::Current();
  return h ? h->ToSvg() : std::string();
}

std::string DrawingJson() {
  const host::Host* h = host::Host::Current();
  return h ? h->ToJson() : std::string();
}

bool DrawingDxf(std::string* dxf, std::string* error) {
  const host::Host* h = host::Host::Current();
  if (!h) {
    *error = "no drawing";
    return false;
  }
  return host::DrawingToDxf(*h, dxf, error);
}
