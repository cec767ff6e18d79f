// The host interface, state: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiGetProgMode(void) {
  Host* h = Enter("HsiGetProgMode");
  return h ? h->ProgMode() : HSI_MODE_2D;
}

uint32_t HsiGetWindowHandle(void) {
  Host* h = Enter("HsiGetWindowHandle");
  return h ? host::MainWindowOf(*h) : 0;
}

HsiStatus HsiGetPaths(char* buffer, int16_t number, int16_t flag) {
  Host* h = Enter("HsiGetPaths", buffer ? "buffer" : nullptr, number, flag);
  if (!h || !buffer) return Fail(h);
  std::string path = h->Path(number);
  if (path.empty()) return Fail(h);
  if (flag == 1 && path.size() > 3 && path.back() == '\\') path.pop_back();
  CopyOut(buffer, HSI_PATH_SIZE, path);
  return HSI_SUCCESS;
}

HsiStatus HsiSetPaths(const char* path, int16_t number, int16_t flag) {
  Host* h = Enter("HsiSetPaths", path, number, flag);
  if (!h || !path || !*path) return Fail(h);
  return h->SetPath(number, Field(path, HSI_PATH_SIZE)) ? HSI_SUCCESS : Fail(h);
}

HsiStatus HsiGetDwgInfo(HsiDrawingInfo* info) {
  Host* h = Enter("HsiGetDwgInfo", info);
  if (!h || !info) return Fail(h);
  std::memset(info, 0, sizeof *info);
  CopyOut(info->name, sizeof info->name, h->DrawingName());
  CopyOut(info->path, sizeof info->path, h->DrawingPath());
  host::Box extent;
  int32_t count = 0;
  for (const auto* o : h->FinalObjects()) {
    ++count;
    extent.Add(h->ObjectBox(*o));
  }
  info->objectCount = count;
  if (!extent.Empty()) {
    // An arc near the edge of the coordinate range may reach past it: the box is clamped to the
    // range rather than wrapped.
    info->x1 = host::RoundDbu(static_cast<double>(extent.x1));
    info->y1 = host::RoundDbu(static_cast<double>(extent.y1));
    info->x2 = host::RoundDbu(static_cast<double>(extent.x2));
    info->y2 = host::RoundDbu(static_cast<double>(extent.y2));
  }
  info->drawingScale = h->Units().drawingScale;
  info->plotScale = h->Units().plotScale;
  info->pointsPerUnit = h->Units().pointsPerUnit;
  info->unitType = h->Units().unitType;
  info->progMode = h->ProgMode();
  info->activeLayer = h->ActiveLayer();
  info->referenceCount = static_cast<int16_t>(h->References().size());
  CopyOut(info->description, sizeof info->description, h->DrawingDescription());
  return HSI_SUCCESS;
}

int16_t HsiGetActiveCommand(void) {
  Host* h = Enter("HsiGetActiveCommand");
  return h ? h->ActiveCommand() : 0;
}

int16_t HsiGetCvErrno(void) {
  Host* h = Enter("HsiGetCvErrno");
  return h ? h->ErrorNumber() : 0;
}

}  // extern "C"
