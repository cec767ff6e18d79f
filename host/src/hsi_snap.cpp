// The host interface, snap: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
int16_t HsiGetSnapMode(void) {
  Host* h = Enter("HsiGetSnapMode");
  return h ? static_cast<int16_t>(h->SnapMode()) : 0;
}

HsiStatus HsiSetSnapMode(int16_t mode) {
  Host* h = Enter("HsiSetSnapMode", mode);
  if (!h) return HSI_FAILURE;
  return h->AddSnapMode(mode) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGet3DSnapMode(void) {
  Host* h = Enter("HsiGet3DSnapMode");
  return h ? static_cast<int16_t>(h->Snap3DMode()) : 0;
}

HsiStatus HsiSet3DSnapMode(int16_t mode) {
  Host* h = Enter("HsiSet3DSnapMode", mode);
  if (!h) return HSI_FAILURE;
  return h->AddSnap3DMode(mode) ? HSI_SUCCESS : Fail(h);
}

double HsiGetSnapAngle(void) {
  Host* h = Enter("HsiGetSnapAngle");
  return h ? h->SnapAngle() : 0.0;
}

}  // extern "C"
