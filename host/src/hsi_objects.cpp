// The host interface, objects: thin wrappers over the engine (host::Host); see hsi.h.
#include "host/rtf.h"
#include "hsi_internal.h"
#include "platform/memory.h"
#include "platform/picture.h"
#include "platform/system.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
int32_t HsiObjCreate(int16_t type, const void* record, uint16_t flag) {
  Host* h = Enter("HsiObjCreate", type, record, flag);
  if (!h || !record || (flag != HSI_FINAL && flag != HSI_TEMPORARY)) return Fail(h);
  Object o;
  if (!h->ObjectFromRecord(type, record, &o)) return HSI_FAILURE;
  return IdResult(h->CreateObject(std::move(o), flag == HSI_FINAL));
}

HsiStatus HsiObjStartline(const HsiPoint* point, int16_t layer, int16_t style, int16_t weight,
                          int16_t colour) {
  Host* h = Enter("HsiObjStartline", point, layer, style, weight, colour);
  if (!h || !point || !(layer == 0 || ValidLayer(layer)) || weight < 0 || weight > 255 ||
      !ValidColour(colour))
    return Fail(h);
  Object o;
  o.layer = layer == 0 ? h->ActiveLayer() : layer;
  o.colour = colour;
  o.at = P(*point);
  host::LinesetData d;
  d.points.push_back(P(*point));
  d.style = style;
  d.weight = weight;
  o.data = d;
  h->pendingLine.open = true;
  h->pendingLine.object = o;
  return HSI_SUCCESS;
}

HsiStatus HsiObjAddtoline(const HsiPoint* point, int16_t vertexKind) {
  Host* h = Enter("HsiObjAddtoline", point, vertexKind);
  if (!h || !point || !h->pendingLine.open) return Fail(h);
  auto& pts = host::get<host::LinesetData>(h->pendingLine.object.data).points;
  if (pts.size() >= 100000) return Fail(h);
  pts.push_back(P(*point));
  return HSI_SUCCESS;
}

int32_t HsiObjEndline(uint16_t flag, uint16_t draw, int16_t drawMode) {
  Host* h = Enter("HsiObjEndline", flag, draw, drawMode);
  if (!h || !h->pendingLine.open) return Fail(h);
  h->pendingLine.open = false;
  Object o = std::move(h->pendingLine.object);
  if (host::get<host::LinesetData>(o.data).points.size() < 2) return Fail(h);
  return IdResult(h->CreateObject(std::move(o), flag != HSI_TEMPORARY));
}

HsiStatus HsiObjDelete(int16_t list) {
  Host* h = Enter("HsiObjDelete", list);
  if (!h) return HSI_FAILURE;
  return h->DeleteListed(list) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiObjDraw(int16_t list, int16_t mode) {
  Host* h = Enter("HsiObjDraw", list, mode);
  if (!h) return HSI_FAILURE;
  const host::SelectionList* l = h->List(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  if (mode == HSI_DRAW_NORMAL || mode == HSI_DRAW_ERASE) {
    for (const auto& e : l->entries)
      if (const Object* o = h->Find(e.id)) h->EraseMarksOn(*o);
  }
  return HSI_SUCCESS;
}

HsiStatus HsiObjInfo(int32_t id, HsiObjectInfo* info) {
  Host* h = Enter("HsiObjInfo", id, info);
  if (!h || !info) return Fail(h);
  const Object* o = h->Find(id);
  if (!o) return Fail(h, HSI_ERR_NO_OBJECT);
  HsiObjectInfo r = h->InfoRecord(*o);
  std::memcpy(info, &r, sizeof r);
  return HSI_SUCCESS;
}

HsiStatus HsiObjInfoxy(int32_t id, int16_t vertex, HsiPoint* point) {
  Host* h = Enter("HsiObjInfoxy", id, vertex, point);
  if (!h || !point) return Fail(h);
  const Object* o = h->Find(id);
  if (!o) return Fail(h, HSI_ERR_NO_OBJECT);
  host::Point p = o->at;
  if (o->Kind() == ObjectKind::Lineset) {
    const auto& pts = host::get<host::LinesetData>(o->data).points;
    if (vertex < 0 || static_cast<size_t>(vertex) >= pts.size()) return Fail(h);
    p = pts[static_cast<size_t>(vertex)];
  } else if (o->Kind() == ObjectKind::Arc) {
    const auto& d = host::get<host::ArcData>(o->data);
    if (vertex < 0 || vertex > 1) return Fail(h);
    p = vertex == 0 ? d.start : d.end;
  } else if (vertex != 0) {
    return Fail(h);
  }
  // One 8-byte store: the caller reads the point whole, at once.
  static_assert(sizeof(HsiPoint) == sizeof(host::Point));
  std::memcpy(point, &p, sizeof *point);
  return HSI_SUCCESS;
}

int16_t HsiObjType(int32_t id) {
  Host* h = Enter("HsiObjType", id);
  if (!h) return 0;
  const Object* o = h->Find(id);
  if (!o) {
    h->SetError(HSI_ERR_NO_OBJECT);
    return 0;
  }
  return o->HsiType();
}

HsiStatus HsiObjOpenSegment(int16_t list, int32_t symbol, const HsiPoint* insertion,
                            const HsiPoint* direction, int16_t justification) {
  Host* h = Enter("HsiObjOpenSegment", list, symbol, insertion, direction, justification);
  if (!h || !insertion || !direction) return Fail(h);
  return h->OpenSegment(list, symbol, P(*insertion), P(*direction), justification) ? HSI_SUCCESS
                                                                                   : HSI_FAILURE;
}

HsiStatus HsiObjFixParLines(int16_t list, int16_t kind, const HsiPoint* c1, const HsiPoint* c2,
                            int16_t drawMode) {
  Host* h = Enter("HsiObjFixParLines", list, kind, c1, c2, drawMode);
  if (!h || !c1 || !c2) return Fail(h);
  return h->FixParallelLines(list, kind, P(*c1), P(*c2)) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiDrawLine(const HsiPoint* start, const HsiPoint* end, int16_t mode, int16_t colour,
                      int16_t weight) {
  Host* h = Enter("HsiDrawLine", start, end, mode, colour, weight);
  if (!h || !start || !end) return Fail(h);
  if ((mode == HSI_DRAW_HIGHLIGHT || mode == HSI_DRAW_NORMAL) &&
      h->ExtendLineMark(P(*start), P(*end), colour))
    return HSI_SUCCESS;
  host::ScreenMark m;
  m.kind = host::ScreenMark::Kind::Line;
  m.a = P(*start);
  m.b = P(*end);
  m.colour = colour;
  return h->DrawMark(m, mode) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiDrawArc(const HsiPoint* centre, const HsiPoint* start, const HsiPoint* end,
                     int32_t radius, int16_t mode, int16_t colour, int16_t weight) {
  Host* h = Enter("HsiDrawArc", centre, start, end, radius, mode, colour, weight);
  if (!h || !centre || !start || !end || radius <= 0) return Fail(h);
  host::ScreenMark m;
  m.kind = host::ScreenMark::Kind::Arc;
  m.centre = P(*centre);
  m.a = P(*start);
  m.b = P(*end);
  m.radius = radius;
  m.colour = colour;
  return h->DrawMark(m, mode) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiDrawText(const HsiPoint* point, const char* text, const HsiTextAttributes* attributes,
                      int16_t mode) {
  Host* h = Enter("HsiDrawText", point, text, attributes, mode);
  if (!h || !point || !text || !attributes) return Fail(h);
  host::ScreenMark m;
  m.kind = host::ScreenMark::Kind::Text;
  m.a = P(*point);
  host::TextData look;
  look.text = Field(text, HSI_CAD_TEXT_CHARS - 1);
  look.size = attributes->size;
  look.charSpacing = attributes->charSpacing;
  look.orientation = attributes->orientation;
  look.widthFactor = attributes->widthFactor;
  look.hcode = attributes->hcode;
  look.vcode = attributes->vcode;
  look.font = attributes->font;
  look.slant = attributes->slant;
  return h->DrawMark(m, mode, &look) ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiEditCopy(int16_t list) {
  Host* h = Enter("HsiEditCopy", list);
  if (!h) return HSI_FAILURE;
  platform::Metafile picture;
  if (!h->PictureOfList(list, &picture)) return HSI_FAILURE;
  platform::SetClipboardPicture(platform::Picture(picture));
  return HSI_SUCCESS;
}

HsiStatus HsiEditMove(int32_t id, int32_t dx, int32_t dy, int16_t mode) {
  Host* h = Enter("HsiEditMove", id, dx, dy, mode);
  if (!h) return HSI_FAILURE;
  return h->MoveObject(id, dx, dy) ? HSI_SUCCESS : Fail(h, HSI_ERR_NO_OBJECT);
}

HsiStatus HsiEditDelete(int32_t id) {
  Host* h = Enter("HsiEditDelete", id);
  if (!h) return HSI_FAILURE;
  return h->DeleteObject(id) ? HSI_SUCCESS : Fail(h, HSI_ERR_NO_OBJECT);
}

HsiStatus HsiEditDraw(int32_t id, int16_t mode) {
  Host* h = Enter("HsiEditDraw", id, mode);
  if (!h) return HSI_FAILURE;
  const Object* o = h->Find(id);
  if (!o) return Fail(h, HSI_ERR_NO_OBJECT);
  if (mode == HSI_DRAW_NORMAL || mode == HSI_DRAW_ERASE) h->EraseMarksOn(*o);
  return HSI_SUCCESS;
}

}  // extern "C"
