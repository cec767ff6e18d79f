// The host interface, geometry: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
double HsiPang(const HsiPoint* from, const HsiPoint* to) {
  Host* h = Enter("HsiPang", from, to);
  if (!from || !to) {
    Fail(h);
    return 0.0;
  }
  return host::AngleDeg(host::ToD(P(*from)), host::ToD(P(*to)));
}

HsiStatus HsiRotatePoint(HsiPoint* point, const HsiPoint* centre, double angle) {
  Host* h = Enter("HsiRotatePoint", point, centre, angle);
  if (!h || !point || !centre || !std::isfinite(angle)) return Fail(h);
  host::Point r =
      host::RoundPoint(host::Rotate(host::ToD(P(*point)), host::ToD(P(*centre)), angle));
  point->x = r.x;
  point->y = r.y;
  return HSI_SUCCESS;
}

HsiStatus HsiNormal(const HsiPoint* start, const HsiPoint* end, const HsiPoint* point,
                    HsiPoint* foot) {
  Host* h = Enter("HsiNormal", start, end, point, foot);
  if (!h || !start || !end || !point || !foot) return Fail(h);
  host::Point f =
      host::RoundPoint(host::Foot(host::ToD(P(*point)), host::ToD(P(*start)), host::ToD(P(*end))));
  foot->x = f.x;
  foot->y = f.y;
  return HSI_SUCCESS;
}

HsiStatus HsiLineCenter(const HsiPoint* start, const HsiPoint* end, HsiPoint* centre) {
  Host* h = Enter("HsiLineCenter", start, end, centre);
  if (!h || !start || !end || !centre) return Fail(h);
  centre->x = host::RoundDbu((double(start->x) + end->x) / 2);
  centre->y = host::RoundDbu((double(start->y) + end->y) / 2);
  return HSI_SUCCESS;
}

double HsiDoubleDist(const HsiPoint* a, const HsiPoint* b) {
  Host* h = Enter("HsiDoubleDist", a, b);
  if (!a || !b) {
    Fail(h);
    return 0.0;
  }
  return host::Distance(host::ToD(P(*a)), host::ToD(P(*b)));
}

int32_t HsiWorldDist(const HsiPoint* a, const HsiPoint* b) {
  Host* h = Enter("HsiWorldDist", a, b);
  if (!a || !b) {
    Fail(h);
    return 0;
  }
  return host::RoundDbu(host::Distance(host::ToD(P(*a)), host::ToD(P(*b))));
}

}  // extern "C"
