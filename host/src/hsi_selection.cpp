// The host interface, selection lists: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
int32_t HsiOslCount(int16_t list) {
  Host* h = Enter("HsiOslCount", list);
  if (!h) return -1;
  const host::SelectionList* l = h->List(list);
  if (!l) {
    h->SetError(HSI_ERR_NO_OBJECT);
    return -1;
  }
  return static_cast<int32_t>(l->entries.size());
}

HsiStatus HsiOslItem(int16_t list, int32_t index, HsiOslEntry* entry) {
  Host* h = Enter("HsiOslItem", list, index, entry);
  if (!h || !entry) return Fail(h);
  const host::SelectionList* l = h->List(list);
  if (!l || index < 0 || static_cast<size_t>(index) >= l->entries.size())
    return Fail(h, HSI_ERR_NO_OBJECT);
  *entry = l->entries[static_cast<size_t>(index)];
  return HSI_SUCCESS;
}

HsiStatus HsiOslAdd(int16_t list, const HsiOslEntry* entry, uint16_t flag) {
  Host* h = Enter("HsiOslAdd", list, entry, flag);
  if (!h || !entry) return Fail(h);
  return h->AddToList(list, *entry) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiOslRm(int16_t list, const HsiOslEntry* entry) {
  Host* h = Enter("HsiOslRm", list, entry);
  if (!h || !entry) return Fail(h);
  return h->RemoveFromList(list, entry->id) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiOslClear(int16_t list) {
  Host* h = Enter("HsiOslClear", list);
  if (!h) return HSI_FAILURE;
  return h->ClearList(list) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiOslRedraw(int16_t list, uint16_t flag) {
  Host* h = Enter("HsiOslRedraw", list, flag);
  if (!h) return HSI_FAILURE;
  return h->List(list) ? HSI_SUCCESS : Fail(h, HSI_ERR_NO_OBJECT);
}

HsiStatus HsiOslScanInit(int16_t list) {
  Host* h = Enter("HsiOslScanInit", list);
  if (!h) return HSI_FAILURE;
  return h->StartScan(list) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiOslScan(int16_t list, HsiOslEntry* entry) {
  Host* h = Enter("HsiOslScan", list, entry);
  if (!h || !entry) return Fail(h);
  return h->ScanNext(list, entry) ? HSI_SUCCESS : HSI_FAILURE;
}

int16_t HsiCreateLocalOsl(int16_t owner, int16_t flags, int16_t capacity) {
  Host* h = Enter("HsiCreateLocalOsl", owner, flags, capacity);
  if (!h || capacity < 0) {
    Fail(h);
    return -1;
  }
  return h->CreateList(owner, capacity);
}

HsiStatus HsiFreeLocalOsl(int16_t list) {
  Host* h = Enter("HsiFreeLocalOsl", list);
  if (!h) return HSI_FAILURE;
  return h->FreeList(list) ? HSI_SUCCESS : Fail(h, HSI_ERR_NO_OBJECT);
}

HsiStatus HsiSelectbyPoint(int16_t list, const char* prompt, int16_t aperture, uint16_t given,
                           uint16_t highlight, HsiPoint* point, int16_t filter) {
  Host* h = Enter("HsiSelectbyPoint", list, prompt, aperture, given, highlight, point, filter);
  if (!h || !point) return Fail(h);
  if (!h->List(list)) return Fail(h, HSI_ERR_NO_OBJECT);
  if (given == HSI_FALSE) {
    HsiStatus result = HSI_FAILURE;
    if (!PickPoint(h, prompt ? Field(prompt, 4096) : "", point, &result)) return result;
  }
  // The user's answer may have run other work: the engine looks the list up again.
  return h->SelectAt(list, P(*point), aperture, filter);
}

HsiStatus HsiSelectbyWindow(int16_t list, const char* prompt1, const char* prompt2, int16_t mode,
                            uint16_t given, uint16_t highlight, HsiPoint* c1, HsiPoint* c2,
                            int16_t filter) {
  Host* h =
      Enter("HsiSelectbyWindow", list, prompt1, prompt2, mode, given, highlight, c1, c2, filter);
  if (!h || !c1 || !c2) return Fail(h);
  if (!h->List(list)) return Fail(h, HSI_ERR_NO_OBJECT);
  if (given == HSI_FALSE) {
    HsiStatus result = HSI_FAILURE;
    if (!PickPoint(h, prompt1 ? Field(prompt1, 4096) : "", c1, &result)) return result;
    if (!PickPoint(h, prompt2 ? Field(prompt2, 4096) : "", c2, &result)) return result;
  }
  return h->SelectInWindow(list, P(*c1), P(*c2), mode != HSI_WINDOW_INSIDE, filter);
}

HsiStatus HsiSelectLinesegment(int32_t id, const HsiPoint* point, int16_t* first, int16_t* second) {
  Host* h = Enter("HsiSelectLinesegment", id, point, first, second);
  if (!h || !point || !first || !second) return Fail(h);
  const Object* o = h->Find(id);
  if (!o || o->Kind() != ObjectKind::Lineset) return Fail(h, HSI_ERR_NO_OBJECT);
  const auto& pts = host::get<host::LinesetData>(o->data).points;
  if (pts.size() < 2) return Fail(h, HSI_ERR_NO_OBJECT);
  size_t best = 0;
  double bestDistance = 1e300;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    double d =
        host::SegmentDistance(host::ToD(P(*point)), host::ToD(pts[i]), host::ToD(pts[i + 1]));
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  if (best + 2 > 32767) return Fail(h);
  *first = static_cast<int16_t>(best + 1);
  *second = static_cast<int16_t>(best + 2);
  return HSI_SUCCESS;
}

}  // extern "C"
