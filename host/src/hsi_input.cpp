// The host interface, input: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiGetPoint(const char* prompt, HsiPoint* point, int16_t* status, int16_t* extra) {
  Host* h = Enter("HsiGetPoint", prompt, point, status, extra);
  if (!h || !point || !status) return Fail(h);
  if (extra) *extra = 0;
  host::PointReply reply = h->Ask(host::RequestKind::Point, prompt ? Field(prompt, 4096) : "");
  return ReplyToPoint(h, reply, &point->x, &point->y, nullptr, status);
}

HsiStatus HsiGet3DPoint(const char* prompt, HsiPoint3D* point, int16_t* status, int16_t* extra) {
  Host* h = Enter("HsiGet3DPoint", prompt, point, status, extra);
  if (!h || !point || !status) return Fail(h);
  if (extra) *extra = 0;
  host::PointReply reply = h->Ask(host::RequestKind::Point3D, prompt ? Field(prompt, 4096) : "");
  return ReplyToPoint(h, reply, &point->x, &point->y, &point->z, status);
}

HsiStatus HsiCoordInput(const HsiPoint* point, int16_t flag) {
  Host* h = Enter("HsiCoordInput", point, flag);
  if (!h || !point) return Fail(h);
  h->CoordinateInput(P(*point));
  return HSI_SUCCESS;
}

HsiStatus HsiMakeCursor(int16_t list, int16_t style, const HsiPoint* base, int16_t flag1,
                        const HsiPoint* other, int16_t flag2) {
  Host* h = Enter("HsiMakeCursor", list, style, base, flag1, other, flag2);
  if (!h || !base) return Fail(h);
  return h->MakeCursor(list, style, P(*base), other ? P(*other) : P(*base), false) ? HSI_SUCCESS
                                                                                   : HSI_FAILURE;
}

HsiStatus HsiMake3DCursor(int16_t list, int16_t style, const HsiPoint3D* base, int16_t flag1,
                          const HsiPoint3D* other, int16_t flag2) {
  Host* h = Enter("HsiMake3DCursor", list, style, base, flag1, other, flag2);
  if (!h || !base) return Fail(h);
  host::Point b{base->x, base->y};
  host::Point o = other ? host::Point{other->x, other->y} : b;
  return h->MakeCursor(list, style, b, o, true) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiDeleteCursor(void) {
  Host* h = Enter("HsiDeleteCursor");
  if (!h) return HSI_FAILURE;
  h->DeleteCursor();
  return HSI_SUCCESS;
}

HsiStatus HsiPtCheck(const HsiPoint* point) {
  Host* h = Enter("HsiPtCheck", point);
  if (!h || !point) return Fail(h);
  constexpr int64_t kWorld = 2000000000;
  bool inside = std::llabs(point->x) <= kWorld && std::llabs(point->y) <= kWorld;
  return inside ? HSI_INSIDE_WORLD : HSI_OUTSIDE_WORLD;
}

}  // extern "C"
