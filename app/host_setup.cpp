#include "host_setup.h"

#include "host/dxf.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/system.h"

void StartHost(const std::filesystem::path& root) {
  platform::Reset();
  platform::SetRoot(root);
  // Nothing the program writes (transcript, drawing, pages) reads the call log.
  host::Host::Options options;
  options.recordCalls = false;
  host::Host::Start(options);
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

void WriteDrawingSvg(std::ostream& out) {
  if (const host::Host* h = host::Host::Current()) h->WriteSvg(out);
}

void WriteDrawingJson(std::ostream& out) {
  if (const host::Host* h = host::Host::Current()) h->WriteJson(out);
}
