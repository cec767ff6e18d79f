// The host interface, layers: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiGetLayer(HsiLayerRecord* record, int16_t layer) {
  Host* h = Enter("HsiGetLayer", record, layer);
  if (!h || !record || !ValidLayer(layer)) return Fail(h);
  const host::LayerState& s = h->Layer(layer);
  std::memset(record, 0, sizeof *record);
  CopyOut(record->name, sizeof record->name, s.name);
  record->colour = s.colour;
  record->state = s.state;
  record->state2 = s.state;
  record->style = s.style;
  record->weight = s.weight;
  int32_t count = 0;
  for (const auto& [id, o] : h->Objects())
    if (o.final && o.layer == layer) ++count;
  record->objectCount = count;
  record->marker = count > 0 ? HSI_TRUE : HSI_FALSE;
  return HSI_SUCCESS;
}

HsiStatus HsiSetLayer(const HsiLayerRecord* record, int16_t layer) {
  Host* h = Enter("HsiSetLayer", record, layer);
  if (!h || !record || !ValidLayer(layer)) return Fail(h);
  HsiLayerRecord r;
  std::memcpy(&r, record, sizeof r);
  if (!ValidColour(r.colour) || r.weight < 0 || r.weight > 255) return Fail(h);
  host::LayerState s;
  s.name = Field(r.name, sizeof r.name);
  s.colour = r.colour;
  s.state = r.state2;
  s.style = r.style;
  s.weight = r.weight;
  return h->WriteLayer(layer, s) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGetActLayer(void) {
  Host* h = Enter("HsiGetActLayer");
  return h ? h->ActiveLayer() : 0;
}

HsiStatus HsiSetActLayer(int16_t layer) {
  Host* h = Enter("HsiSetActLayer", layer);
  if (!h) return HSI_FAILURE;
  return h->SetActiveLayer(layer) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiObjGetLayer(int32_t id) {
  Host* h = Enter("HsiObjGetLayer", id);
  if (!h) return 0;
  const Object* o = h->Find(id);
  if (!o) {
    h->SetError(HSI_ERR_NO_OBJECT);
    return 0;
  }
  return o->layer;
}

int16_t HsiGetCurColor(void) {
  Host* h = Enter("HsiGetCurColor");
  return h ? h->CurrentColour() : 0;
}

}  // extern "C"
