// The host interface: the 102 functions of hsi.h, each logged with its arguments and answered
// by the current host. Bad arguments (null pointers, unknown ids, lists or layers, empty texts)
// fail with HSI_FAILURE and an error number; nothing here may crash.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "host/host.h"
#include "host/rtf.h"
#include "platform/memory.h"
#include "platform/picture.h"
#include "platform/system.h"

using host::Host;
using host::Object;
using host::ObjectKind;

namespace {

// ---- Logging -----------------------------------------------------------------------------------

std::string Quoted(const char* s) {
  if (!s) return "null";
  std::string out = "\"";
  for (const char* p = s; *p && out.size() < 300; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    if (*p == '\r') {
      out += "\\r";
    } else if (*p == '\n') {
      out += "\\n";
    } else {
      out += *p;
    }
  }
  return out + "\"";
}

std::string Arg(const char* s) { return Quoted(s); }
std::string Arg(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}
std::string Arg(const HsiPoint* p) {
  if (!p) return "null";
  return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + ")";
}
std::string Arg(HsiPoint* p) { return Arg(static_cast<const HsiPoint*>(p)); }
std::string Arg(const HsiPoint3D* p) {
  if (!p) return "null";
  return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + "," + std::to_string(p->z) + ")";
}
std::string Arg(HsiPoint3D* p) { return Arg(static_cast<const HsiPoint3D*>(p)); }
std::string Arg(const HsiOslEntry* e) {
  if (!e) return "null";
  return "{" + std::to_string(e->id) + "," + std::to_string(e->segment) + "," +
         std::to_string(e->reserved) + "}";
}
template <typename T>
requires std::is_integral_v<T> std::string Arg(T v) { return std::to_string(v); }
template <typename T>
requires(std::is_pointer_v<T> && !std::is_same_v<T, const char*> &&
         !std::is_same_v<T, char*>) std::string Arg(T p) {
  return p ? "ptr" : "null";
}

template <typename... A>
Host* Enter(const char* name, const A&... args) {
  Host* h = Host::Current();
  if (!h) return nullptr;
  std::string text;
  ((text += (text.empty() ? "" : ", ") + Arg(args)), ...);
  h->LogCall(name, text);
  return h;
}

HsiStatus Fail(Host* h, int16_t number = HSI_ERR_BAD_ARGUMENT) {
  if (h) h->SetError(number);
  return HSI_FAILURE;
}

// Text from a fixed field: up to its NUL or its end.
std::string Field(const char* data, size_t size) { return std::string(data, strnlen(data, size)); }

void CopyOut(char* buffer, size_t size, const std::string& text) {
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

bool ValidLayer(int layer) { return layer >= 1 && layer <= HSI_LAYER_COUNT; }
bool ValidColour(int colour) { return colour >= 0 && colour <= 255; }

host::Point P(const HsiPoint& p) { return {p.x, p.y}; }

int32_t IdResult(int32_t id) { return id > 0 ? id : static_cast<int32_t>(HSI_FAILURE); }

HsiStatus ReplyToPoint(Host* h, const host::PointReply& reply, int32_t* x, int32_t* y, int32_t* z,
                       int16_t* status) {
  using K = host::PointReply::Kind;
  switch (reply.kind) {
    case K::Point:
      *x = reply.x;
      *y = reply.y;
      if (z) *z = reply.z;
      *status = HSI_POINT_GIVEN;
      return HSI_SUCCESS;
    case K::Button2:
      *status = HSI_POINT_BUTTON2;
      return HSI_SUCCESS;
    case K::Escape:
      *status = HSI_POINT_CANCELLED;
      return HSI_SUCCESS;
    case K::Status:
      *status = static_cast<int16_t>(reply.status);
      return HSI_SUCCESS;
    case K::Fail:
      *status = HSI_POINT_CANCELLED;
      return Fail(h);
  }
  return Fail(h);
}

// The answer to an interactive pick: the point, or the status the selection ends with.
bool PickPoint(Host* h, const std::string& prompt, HsiPoint* point, HsiStatus* result) {
  host::PointReply reply = h->Ask(host::RequestKind::Pick, prompt);
  using K = host::PointReply::Kind;
  switch (reply.kind) {
    case K::Point:
      point->x = reply.x;
      point->y = reply.y;
      return true;
    case K::Button2:
    case K::Escape:
      *result = HSI_SELECTION_ENDED;
      return false;
    case K::Status:
      *result = static_cast<HsiStatus>(reply.status);
      return false;
    case K::Fail:
      *result = HSI_FAILURE;
      return false;
  }
  *result = HSI_FAILURE;
  return false;
}

}  // namespace

extern "C" {

// ---- State ---------------------------------------------------------------------------------

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

// ---- Layers --------------------------------------------------------------------------------

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

// ---- Units ---------------------------------------------------------------------------------

HsiStatus HsiGetUnitType(void) {
  Host* h = Enter("HsiGetUnitType");
  return h ? h->Units().unitType : HSI_UNIT_FEET_INCHES;
}

HsiStatus HsiSetUnitType(uint16_t unitType) {
  Host* h = Enter("HsiSetUnitType", unitType);
  if (!h || !host::IsUnitType(unitType)) return Fail(h);
  h->MutableUnits().unitType = unitType;
  return HSI_SUCCESS;
}

HsiStatus HsiGetPaperUnit(void) {
  Host* h = Enter("HsiGetPaperUnit");
  return h ? h->Units().paperUnit : HSI_UNIT_INCHES;
}

HsiStatus HsiSetPaperUnit(uint16_t unitType) {
  Host* h = Enter("HsiSetPaperUnit", unitType);
  if (!h || !host::IsUnitType(unitType)) return Fail(h);
  h->MutableUnits().paperUnit = unitType;
  return HSI_SUCCESS;
}

HsiStatus HsiGetScaledUnits(void) {
  Host* h = Enter("HsiGetScaledUnits");
  return h ? h->Units().scaledUnits : HSI_SCALED_FRACTIONS;
}

HsiStatus HsiSetScaledUnits(uint16_t mode) {
  Host* h = Enter("HsiSetScaledUnits", mode);
  if (!h || (mode != HSI_SCALED_FRACTIONS && mode != HSI_SCALED_DECIMALS)) return Fail(h);
  h->MutableUnits().scaledUnits = mode;
  return HSI_SUCCESS;
}

int32_t HsiGetPntsPerUnit(void) {
  Host* h = Enter("HsiGetPntsPerUnit");
  return h ? h->Units().pointsPerUnit : 0;
}

HsiStatus HsiSetPntsPerUnit(int32_t pointsPerUnit) {
  Host* h = Enter("HsiSetPntsPerUnit", pointsPerUnit);
  if (!h || pointsPerUnit <= 0) return Fail(h);
  h->MutableUnits().pointsPerUnit = pointsPerUnit;
  return HSI_SUCCESS;
}

int16_t HsiGetDispDenom(void) {
  Host* h = Enter("HsiGetDispDenom");
  return h ? static_cast<int16_t>(h->Units().denominator) : 0;
}

HsiStatus HsiSetDispDenom(int16_t denominator) {
  Host* h = Enter("HsiSetDispDenom", denominator);
  if (!h || denominator < 1) return Fail(h);
  h->MutableUnits().denominator = denominator;
  return HSI_SUCCESS;
}

int16_t HsiGetDispPrecision(void) {
  Host* h = Enter("HsiGetDispPrecision");
  return h ? static_cast<int16_t>(h->Units().precision) : 0;
}

HsiStatus HsiSetDispPrecision(int16_t precision) {
  Host* h = Enter("HsiSetDispPrecision", precision);
  if (!h || precision < 0 || precision > 10) return Fail(h);
  h->MutableUnits().precision = precision;
  return HSI_SUCCESS;
}

double HsiGetDwgScale(void) {
  Host* h = Enter("HsiGetDwgScale");
  return h ? h->Units().drawingScale : 0.0;
}

HsiStatus HsiSetDwgScale(double scale) {
  Host* h = Enter("HsiSetDwgScale", scale);
  if (!h || !(scale > 0) || !std::isfinite(scale)) return Fail(h);
  h->MutableUnits().drawingScale = scale;
  return HSI_SUCCESS;
}

HsiStatus HsiSetPlotScale(double scale) {
  Host* h = Enter("HsiSetPlotScale", scale);
  if (!h || !(scale > 0) || !std::isfinite(scale)) return Fail(h);
  h->MutableUnits().plotScale = scale;
  return HSI_SUCCESS;
}

int16_t HsiGetSpace(void) {
  Host* h = Enter("HsiGetSpace");
  return h ? static_cast<int16_t>(h->Units().space) : 1;
}

HsiStatus HsiSetSpace(int16_t space) {
  Host* h = Enter("HsiSetSpace", space);
  if (!h || (space != 0 && space != 1)) return Fail(h);
  h->MutableUnits().space = space;
  return HSI_SUCCESS;
}

HsiStatus HsiDbutoString(int32_t dbu, char* text) {
  Host* h = Enter("HsiDbutoString", dbu, text ? "buffer" : nullptr);
  if (!h || !text) return Fail(h);
  CopyOut(text, HSI_UNIT_TEXT_SIZE, host::FormatLength(dbu, h->Units()));
  return HSI_SUCCESS;
}

HsiStatus HsiStringtoDbu(const char* text, int32_t* dbu) {
  Host* h = Enter("HsiStringtoDbu", text, dbu);
  if (!h || !text || !dbu) return Fail(h);
  auto value = host::ParseLength(Field(text, 4096), h->Units());
  if (!value) return Fail(h);
  *dbu = *value;
  return HSI_SUCCESS;
}

// ---- Snap ----------------------------------------------------------------------------------

int16_t HsiGetSnapMode(void) {
  Host* h = Enter("HsiGetSnapMode");
  return h ? static_cast<int16_t>(h->SnapMode()) : 0;
}

HsiStatus HsiSetSnapMode(int16_t mode) {
  Host* h = Enter("HsiSetSnapMode", mode);
  if (!h) return HSI_FAILURE;
  return h->SetSnapMode(mode) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGet3DSnapMode(void) {
  Host* h = Enter("HsiGet3DSnapMode");
  return h ? static_cast<int16_t>(h->Snap3DMode()) : 0;
}

HsiStatus HsiSet3DSnapMode(int16_t mode) {
  Host* h = Enter("HsiSet3DSnapMode", mode);
  if (!h) return HSI_FAILURE;
  return h->SetSnap3DMode(mode) ? HSI_SUCCESS : Fail(h);
}

double HsiGetSnapAngle(void) {
  Host* h = Enter("HsiGetSnapAngle");
  return h ? h->SnapAngle() : 0.0;
}

// ---- Input ---------------------------------------------------------------------------------

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

namespace {
HsiStatus MakeCursor(Host* h, int16_t list, int16_t style, host::Point base, host::Point other,
                     bool threeD) {
  host::CursorImage cursor;
  cursor.active = true;
  cursor.is3D = threeD;
  cursor.style = style;
  cursor.list = list;
  cursor.base = base;
  cursor.other = other;
  if (style == HSI_CURSOR_DRAG) {
    const host::SelectionList* l = h->List(list);
    if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
    for (const auto& e : l->entries) {
      const Object* o = h->Find(e.id);
      if (!o) continue;
      // Every point of the image is relative to the base, whatever the object's kind.
      Object copy = *o;
      host::Translate(copy, -int64_t{base.x}, -int64_t{base.y});
      cursor.objects.push_back(copy);
    }
  } else if (style != HSI_CURSOR_LINE && style != HSI_CURSOR_LINE_SNAPPED &&
             style != HSI_CURSOR_WINDOW) {
    return Fail(h);
  }
  h->MutableCursor() = cursor;
  return HSI_SUCCESS;
}
}  // namespace

HsiStatus HsiMakeCursor(int16_t list, int16_t style, const HsiPoint* base, int16_t flag1,
                        const HsiPoint* other, int16_t flag2) {
  Host* h = Enter("HsiMakeCursor", list, style, base, flag1, other, flag2);
  if (!h || !base) return Fail(h);
  return MakeCursor(h, list, style, P(*base), other ? P(*other) : P(*base), false);
}

HsiStatus HsiMake3DCursor(int16_t list, int16_t style, const HsiPoint3D* base, int16_t flag1,
                          const HsiPoint3D* other, int16_t flag2) {
  Host* h = Enter("HsiMake3DCursor", list, style, base, flag1, other, flag2);
  if (!h || !base) return Fail(h);
  host::Point b{base->x, base->y};
  host::Point o = other ? host::Point{other->x, other->y} : b;
  return MakeCursor(h, list, style, b, o, true);
}

HsiStatus HsiDeleteCursor(void) {
  Host* h = Enter("HsiDeleteCursor");
  if (!h) return HSI_FAILURE;
  h->MutableCursor() = host::CursorImage{};
  return HSI_SUCCESS;
}

HsiStatus HsiPtCheck(const HsiPoint* point) {
  Host* h = Enter("HsiPtCheck", point);
  if (!h || !point) return Fail(h);
  constexpr int64_t kWorld = 2000000000;
  bool inside = std::llabs(point->x) <= kWorld && std::llabs(point->y) <= kWorld;
  return inside ? HSI_INSIDE_WORLD : HSI_OUTSIDE_WORLD;
}

// ---- Geometry ------------------------------------------------------------------------------

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

// ---- Selection lists -----------------------------------------------------------------------

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
  host::SelectionList* l = h->MutableList(list);
  if (!l || !h->Find(entry->id)) return Fail(h, HSI_ERR_NO_OBJECT);
  if (l->Contains(entry->id) || l->entries.size() >= l->capacity) return Fail(h);
  l->entries.push_back(*entry);
  return HSI_SUCCESS;
}

HsiStatus HsiOslRm(int16_t list, const HsiOslEntry* entry) {
  Host* h = Enter("HsiOslRm", list, entry);
  if (!h || !entry) return Fail(h);
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  auto it = std::find_if(l->entries.begin(), l->entries.end(),
                         [&](const HsiOslEntry& e) { return e.id == entry->id; });
  if (it == l->entries.end()) return Fail(h, HSI_ERR_NO_OBJECT);
  size_t index = static_cast<size_t>(it - l->entries.begin());
  l->entries.erase(it);
  if (l->scan > index) --l->scan;
  return HSI_SUCCESS;
}

HsiStatus HsiOslClear(int16_t list) {
  Host* h = Enter("HsiOslClear", list);
  if (!h) return HSI_FAILURE;
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  l->entries.clear();
  l->scan = 0;
  return HSI_SUCCESS;
}

HsiStatus HsiOslRedraw(int16_t list, uint16_t flag) {
  Host* h = Enter("HsiOslRedraw", list, flag);
  if (!h) return HSI_FAILURE;
  return h->List(list) ? HSI_SUCCESS : Fail(h, HSI_ERR_NO_OBJECT);
}

HsiStatus HsiOslScanInit(int16_t list) {
  Host* h = Enter("HsiOslScanInit", list);
  if (!h) return HSI_FAILURE;
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  l->scan = 0;
  return HSI_SUCCESS;
}

HsiStatus HsiOslScan(int16_t list, HsiOslEntry* entry) {
  Host* h = Enter("HsiOslScan", list, entry);
  if (!h || !entry) return Fail(h);
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  if (l->scan >= l->entries.size()) return HSI_FAILURE;
  *entry = l->entries[l->scan++];
  return HSI_SUCCESS;
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
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  if (given == HSI_FALSE) {
    HsiStatus result = HSI_FAILURE;
    if (!PickPoint(h, prompt ? Field(prompt, 4096) : "", point, &result)) return result;
    l = h->MutableList(list);  // the user's answer may have run other work
    if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  }
  double tolerance = h->ApertureDbu(aperture);
  int32_t id = h->NearestObject(P(*point), tolerance, filter, l);
  if (id == 0) return HSI_NOTHING_FOUND;
  if (l->entries.size() >= l->capacity) return Fail(h);
  l->entries.push_back(HsiOslEntry{id, 0, 0});
  return HSI_SUCCESS;
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
  host::SelectionList* l = h->MutableList(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  host::Box window;
  window.Add(c1->x, c1->y);
  window.Add(c2->x, c2->y);
  size_t before = l->entries.size();
  for (int32_t id : h->ObjectsInWindow(window, mode != HSI_WINDOW_INSIDE, filter)) {
    if (l->Contains(id)) continue;
    if (l->entries.size() >= l->capacity) break;
    l->entries.push_back(HsiOslEntry{id, 0, 0});
  }
  return l->entries.size() > before ? HSI_SUCCESS : HSI_NOTHING_FOUND;
}

HsiStatus HsiSelectLinesegment(int32_t id, const HsiPoint* point, int16_t* first, int16_t* second) {
  Host* h = Enter("HsiSelectLinesegment", id, point, first, second);
  if (!h || !point || !first || !second) return Fail(h);
  const Object* o = h->Find(id);
  if (!o || o->Kind() != ObjectKind::Lineset) return Fail(h, HSI_ERR_NO_OBJECT);
  const auto& pts = std::get<host::LinesetData>(o->data).points;
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

// ---- Objects -------------------------------------------------------------------------------

int32_t HsiObjCreate(int16_t type, const void* record, uint16_t flag) {
  Host* h = Enter("HsiObjCreate", type, record, flag);
  if (!h || !record || (flag != HSI_FINAL && flag != HSI_TEMPORARY)) return Fail(h);
  Object o;
  if (type == HSI_RECORD_CAD_TEXT) {
    HsiCadText r;
    std::memcpy(&r, record, sizeof r);
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.size < 0) return Fail(h);
    host::TextData d;
    d.size = r.size;
    d.charSpacing = r.charSpacing;
    d.orientation = std::isfinite(r.orientation) ? r.orientation : 0.0;
    d.widthFactor = std::isfinite(r.widthFactor) && r.widthFactor > 0 ? r.widthFactor : 1.0;
    d.hcode = r.hcode;
    d.vcode = r.vcode;
    d.font = r.font;
    d.slant = r.slant;
    d.text = Field(r.text, sizeof r.text - 1);
    if (r.length >= 0 && static_cast<size_t>(r.length) < d.text.size()) d.text.resize(r.length);
    o.layer = r.layer;
    o.colour = r.colour;
    o.at = {r.x, r.y};
    o.data = d;
  } else if (type == HSI_RECORD_ARC) {
    HsiArc r;
    std::memcpy(&r, record, sizeof r);
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.radius <= 0) return Fail(h);
    host::ArcData d;
    d.radius = r.radius;
    d.start = P(r.start);
    d.end = P(r.end);
    o.layer = r.layer;
    o.colour = r.colour;
    o.at = {r.cx, r.cy};
    o.data = d;
  } else if (type == HSI_RECORD_TRUETYPE) {
    HsiTrueTypeText r;
    std::memcpy(&r, record, sizeof r);
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.size <= 0) return Fail(h);
    host::TrueTypeData d;
    d.scaleX = std::isfinite(r.scaleX) && r.scaleX > 0 ? r.scaleX : 1.0;
    d.scaleY = std::isfinite(r.scaleY) && r.scaleY > 0 ? r.scaleY : 1.0;
    d.orientation = std::isfinite(r.orientation) ? r.orientation : 0.0;
    d.hcode = r.hcode;
    d.vcode = r.vcode;
    d.content = r.content;
    d.face = Field(r.face, sizeof r.face);
    d.size = r.size;
    d.style = static_cast<int16_t>(r.style & 15);
    if (r.content == HSI_TT_CONTENT_RTF) {
      // The document is copied out of the caller's memory block.
      void* block = platform::GlobalLock(r.document);
      if (!block) return Fail(h);
      size_t size = platform::GlobalSize(r.document);
      d.document = Field(static_cast<const char*>(block), size);
      platform::GlobalUnlock(r.document);
    } else if (r.content == HSI_TT_CONTENT_PLAIN) {
      d.document = Field(r.text, sizeof r.text);
      d.plainWidth = h->trueType.plainWidth;
      d.plainWrap = h->trueType.plainWrap;
      d.plainAlign = h->trueType.plainAlign;
    } else {
      return Fail(h);
    }
    o.layer = r.layer;
    o.colour = r.colour;
    o.at = {r.x, r.y};
    o.data = d;
  } else {
    return Fail(h);
  }
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
  auto& pts = std::get<host::LinesetData>(h->pendingLine.object.data).points;
  if (pts.size() >= 100000) return Fail(h);
  pts.push_back(P(*point));
  return HSI_SUCCESS;
}

int32_t HsiObjEndline(uint16_t flag, uint16_t draw, int16_t drawMode) {
  Host* h = Enter("HsiObjEndline", flag, draw, drawMode);
  if (!h || !h->pendingLine.open) return Fail(h);
  h->pendingLine.open = false;
  Object o = std::move(h->pendingLine.object);
  if (std::get<host::LinesetData>(o.data).points.size() < 2) return Fail(h);
  return IdResult(h->CreateObject(std::move(o), flag != HSI_TEMPORARY));
}

HsiStatus HsiObjDelete(int16_t list) {
  Host* h = Enter("HsiObjDelete", list);
  if (!h) return HSI_FAILURE;
  const host::SelectionList* l = h->List(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  std::vector<int32_t> ids;
  for (const auto& e : l->entries) ids.push_back(e.id);
  // One operation: a single undo brings the whole list back.
  h->BeginOperation();
  for (int32_t id : ids) h->DeleteObject(id);
  h->EndOperation();
  return HSI_SUCCESS;
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
  HsiObjectInfo r;
  std::memset(&r, 0, sizeof r);
  r.head.type = o->HsiType();
  r.head.kind = o->final ? HSI_FINAL : HSI_TEMPORARY;
  host::Box box = h->ObjectBox(*o);
  if (!box.Empty()) {
    auto clamp = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    r.head.x1 = clamp(box.x1);
    r.head.y1 = clamp(box.y1);
    r.head.x2 = clamp(box.x2);
    r.head.y2 = clamp(box.y2);
  }
  r.head.x = o->at.x;
  r.head.y = o->at.y;
  r.head.layer = o->layer;
  r.head.colour = o->colour;
  r.head.id = o->id;
  switch (o->Kind()) {
    case ObjectKind::Text: {
      const auto& d = std::get<host::TextData>(o->data);
      r.text.size = d.size;
      r.text.charSpacing = d.charSpacing;
      r.text.orientation = d.orientation;
      r.text.widthFactor = d.widthFactor;
      r.text.hcode = d.hcode;
      r.text.vcode = d.vcode;
      r.text.font = d.font;
      r.text.slant = d.slant;
      r.text.length = static_cast<int16_t>(d.text.size());
      CopyOut(r.text.text, sizeof r.text.text, d.text);
      break;
    }
    case ObjectKind::Lineset: {
      const auto& d = std::get<host::LinesetData>(o->data);
      r.lineset.lastVertex = static_cast<int16_t>(std::min<size_t>(d.points.size() - 1, 32767));
      r.lineset.weight = d.weight;
      r.lineset.style = d.style;
      r.lineset.closed = d.points.size() > 2 && d.points.front() == d.points.back();
      r.lineset.first = {d.points.front().x, d.points.front().y};
      r.lineset.last = {d.points.back().x, d.points.back().y};
      break;
    }
    case ObjectKind::Arc: {
      const auto& d = std::get<host::ArcData>(o->data);
      r.arc.radius = d.radius;
      r.arc.start = {d.start.x, d.start.y};
      r.arc.end = {d.end.x, d.end.y};
      r.arc.startAngle = host::AngleDeg(host::ToD(o->at), host::ToD(d.start));
      r.arc.endAngle = host::AngleDeg(host::ToD(o->at), host::ToD(d.end));
      break;
    }
    case ObjectKind::Symbol: {
      const auto& d = std::get<host::SymbolData>(o->data);
      r.symbol.symbol = d.symbol;
      r.symbol.scaleX = d.scaleX;
      r.symbol.scaleY = d.scaleY;
      r.symbol.inserted = d.inserted ? 1 : 0;
      CopyOut(r.symbol.name, sizeof r.symbol.name, d.name);
      r.symbol.scaleZ = d.scaleZ;
      r.symbol.rotation = d.rotation;
      r.symbol.rotationY = d.rotationY;
      r.symbol.rotationZ = d.rotationZ;
      break;
    }
    case ObjectKind::TrueType: {
      const auto& d = std::get<host::TrueTypeData>(o->data);
      host::RtfDocument doc = d.content == HSI_TT_CONTENT_PLAIN
                                  ? host::PlainDocument(d.document, d.size * 2, d.style, 0)
                                  : host::ParseRtf(d.document);
      std::string text = host::DocumentText(doc);
      r.truetype.height =
          host::RoundDbu(d.size * host::DbuPerPaperInch(h->Units()) / 72.0 * d.scaleY);
      r.truetype.orientation = d.orientation;
      r.truetype.hcode = d.hcode;
      r.truetype.vcode = d.vcode;
      CopyOut(r.truetype.face, sizeof r.truetype.face, d.face);
      r.truetype.size = d.size;
      r.truetype.style = d.style;
      r.truetype.length = static_cast<int32_t>(text.size());
      CopyOut(r.truetype.text, sizeof r.truetype.text, text);
      break;
    }
  }
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
    const auto& pts = std::get<host::LinesetData>(o->data).points;
    if (vertex < 0 || static_cast<size_t>(vertex) >= pts.size()) return Fail(h);
    p = pts[static_cast<size_t>(vertex)];
  } else if (o->Kind() == ObjectKind::Arc) {
    const auto& d = std::get<host::ArcData>(o->data);
    if (vertex < 0 || vertex > 1) return Fail(h);
    p = vertex == 0 ? d.start : d.end;
  } else if (vertex != 0) {
    return Fail(h);
  }
  point->x = p.x;
  point->y = p.y;
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

namespace {
HsiStatus Mark(Host* h, const host::ScreenMark& mark, int16_t mode) {
  if (mode == HSI_DRAW_ERASE) {
    h->RemoveMark(mark);
    return HSI_SUCCESS;
  }
  if (mode != HSI_DRAW_HIGHLIGHT && mode != HSI_DRAW_NORMAL) return Fail(h);
  h->AddMark(mark);
  return HSI_SUCCESS;
}
}  // namespace

HsiStatus HsiDrawLine(const HsiPoint* start, const HsiPoint* end, int16_t mode, int16_t colour,
                      int16_t weight) {
  Host* h = Enter("HsiDrawLine", start, end, mode, colour, weight);
  if (!h || !start || !end) return Fail(h);
  host::ScreenMark m;
  m.kind = host::ScreenMark::Kind::Line;
  m.a = P(*start);
  m.b = P(*end);
  m.colour = colour;
  return Mark(h, m, mode);
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
  return Mark(h, m, mode);
}

HsiStatus HsiDrawText(const HsiPoint* point, const char* text, const HsiTextAttributes* attributes,
                      int16_t mode) {
  Host* h = Enter("HsiDrawText", point, text, attributes, mode);
  if (!h || !point || !text || !attributes) return Fail(h);
  host::ScreenMark m;
  m.kind = host::ScreenMark::Kind::Text;
  m.a = P(*point);
  m.text = Field(text, HSI_CAD_TEXT_CHARS - 1);
  return Mark(h, m, mode);
}

HsiStatus HsiEditCopy(int16_t list) {
  Host* h = Enter("HsiEditCopy", list);
  if (!h) return HSI_FAILURE;
  const host::SelectionList* l = h->List(list);
  if (!l) return Fail(h, HSI_ERR_NO_OBJECT);
  // A picture of the listed objects, fitted into 200 logical units, y running down.
  host::Box extent;
  for (const auto& e : l->entries)
    if (const Object* o = h->Find(e.id)) extent.Add(h->ObjectBox(*o));
  if (extent.Empty()) return Fail(h, HSI_ERR_NO_OBJECT);
  double span = std::max<double>(1, std::max(extent.x2 - extent.x1, extent.y2 - extent.y1));
  double k = 190.0 / span;
  auto map = [&](double x, double y) {
    return platform::Point{static_cast<int>(std::lround(5 + (x - extent.x1) * k)),
                           static_cast<int>(std::lround(5 + (extent.y2 - y) * k))};
  };
  platform::Metafile picture;
  picture.width = static_cast<int>(std::lround((extent.x2 - extent.x1) * k)) + 10;
  picture.height = static_cast<int>(std::lround((extent.y2 - extent.y1) * k)) + 10;
  for (const auto& e : l->entries) {
    const Object* o = h->Find(e.id);
    if (!o) continue;
    switch (o->Kind()) {
      case ObjectKind::Lineset: {
        std::vector<platform::Point> pts;
        for (const auto& p : std::get<host::LinesetData>(o->data).points)
          pts.push_back(map(p.x, p.y));
        picture.AddPolyline(pts);
        break;
      }
      case ObjectKind::Arc: {
        const auto& d = std::get<host::ArcData>(o->data);
        platform::Point tl = map(o->at.x - d.radius, o->at.y + d.radius);
        platform::Point br = map(o->at.x + d.radius, o->at.y - d.radius);
        picture.AddArc(platform::Rect{tl.x, tl.y, br.x, br.y}, map(d.start.x, d.start.y),
                       map(d.end.x, d.end.y));
        break;
      }
      case ObjectKind::Text: {
        const auto& d = std::get<host::TextData>(o->data);
        int height = std::max(1, static_cast<int>(std::lround(d.size * k)));
        platform::Point at = map(o->at.x, o->at.y);
        picture.AddText({at.x, at.y - height}, d.text, "Arial", height);
        break;
      }
      default: {
        // Symbols and TrueType texts: their outline box.
        host::Box b = h->ObjectBox(*o);
        picture.AddPolyline(
            {map(b.x1, b.y1), map(b.x2, b.y1), map(b.x2, b.y2), map(b.x1, b.y2), map(b.x1, b.y1)});
        break;
      }
    }
  }
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

// ---- Text ----------------------------------------------------------------------------------

HsiStatus HsiGetFontName(int16_t font, char* name) {
  Host* h = Enter("HsiGetFontName", font, name ? "buffer" : nullptr);
  static const char* kFonts[5] = {"Standard", "Monotxt", "Roman", "Italic", "Heavy"};
  if (!h || !name || font < 0 || font > 4) return Fail(h);
  CopyOut(name, HSI_FONT_NAME_SIZE, kFonts[font]);
  return HSI_SUCCESS;
}

HsiStatus HsiGetTrueTypeInfo(HsiTrueTypeSettings* settings) {
  Host* h = Enter("HsiGetTrueTypeInfo", settings);
  if (!h || !settings) return Fail(h);
  std::memcpy(settings, &h->trueType, sizeof *settings);
  return HSI_SUCCESS;
}

HsiStatus HsiSetTrueTypeInfo(const HsiTrueTypeSettings* settings) {
  Host* h = Enter("HsiSetTrueTypeInfo", settings);
  if (!h || !settings) return Fail(h);
  HsiTrueTypeSettings s;
  std::memcpy(&s, settings, sizeof s);
  if (!std::isfinite(s.plainWidth) || s.plainWidth < 0 || !std::isfinite(s.orientation) ||
      s.plainAlign < 0 || s.plainAlign > 2)
    return Fail(h);
  s.face[sizeof s.face - 1] = '\0';
  h->trueType = s;
  return HSI_SUCCESS;
}

// ---- Symbols, files and references ---------------------------------------------------------

int32_t HsiLoadSymFile(int16_t mode, const char* folder, const char* name, uint16_t flag) {
  Host* h = Enter("HsiLoadSymFile", mode, folder, name, flag);
  if (!h || !name || !*name) return Fail(h);
  std::string dir = folder ? Field(folder, HSI_PATH_SIZE) : h->Path(HSI_PATH_SYMBOLS);
  int32_t id = h->LoadSymbolFile(dir, Field(name, 256), mode == 5);
  if (id == 0) return Fail(h, HSI_ERR_FILE);
  return id;
}

int32_t HsiSymbolFind(int16_t mode, const char* name) {
  Host* h = Enter("HsiSymbolFind", mode, name);
  if (!h || !name || !*name) return Fail(h);
  int32_t id = h->FindSymbol(Field(name, 256));
  if (id == 0) return Fail(h, HSI_ERR_NO_OBJECT);
  return id;
}

HsiStatus HsiSetSymInfo(uint16_t selector, const HsiSymbolInfo* info) {
  Host* h = Enter("HsiSetSymInfo", selector, info);
  if (!h || !info || selector != HSI_SYMINFO_SELECTOR) return Fail(h);
  HsiSymbolInfo s;
  std::memcpy(&s, info, sizeof s);
  const double* v = &s.scaleX2D;
  for (int i = 0; i < 9; ++i)
    if (!std::isfinite(v[i])) return Fail(h);
  h->symbolInfo = s;
  return HSI_SUCCESS;
}

int32_t HsiPutInstance(int32_t symbol, const HsiPoint* point, double scaleX, double scaleY,
                       double scaleZ, double rotation, double rotationY, double rotationZ,
                       uint16_t flag) {
  Host* h = Enter("HsiPutInstance", symbol, point, scaleX, scaleY, scaleZ, rotation, rotationY,
                  rotationZ, flag);
  if (!h || !point || (flag != HSI_FINAL && flag != HSI_TEMPORARY)) return Fail(h);
  const host::SymbolDef* def = h->Symbol(symbol);
  if (!def) return Fail(h, HSI_ERR_NO_OBJECT);
  for (double v : {scaleX, scaleY, scaleZ, rotation, rotationY, rotationZ})
    if (!std::isfinite(v)) return Fail(h);
  if (scaleX == 0 || scaleY == 0) return Fail(h);
  Object o;
  o.layer = h->ActiveLayer();
  o.colour = h->CurrentColour();
  o.at = P(*point);
  host::SymbolData d;
  d.symbol = symbol;
  d.name = def->name;
  d.scaleX = scaleX;
  d.scaleY = scaleY;
  d.scaleZ = scaleZ;
  d.rotation = rotation;
  d.rotationY = rotationY;
  d.rotationZ = rotationZ;
  o.data = d;
  return IdResult(h->CreateObject(std::move(o), flag == HSI_FINAL));
}

HsiStatus HsiLoadFile(const char* path, int16_t kind, const HsiLoadOptions* options) {
  Host* h = Enter("HsiLoadFile", path, kind, options);
  if (!h || !path || !*path) return Fail(h);
  std::string file = Field(path, HSI_PATH_SIZE);
  h->RecordLoadedFile(file, kind);
  bool ok = false;
  if (kind == HSI_LOAD_DRAWING) {
    ok = h->OpenDrawing(file);
  } else if (kind == HSI_LOAD_LAYERS) {
    ok = h->LoadLayerFile(file);
  } else {
    return Fail(h);
  }
  return ok ? HSI_SUCCESS : Fail(h, HSI_ERR_FILE);
}

HsiStatus HsiGetReferenceBuffer(HsiReferenceRecord* record, int16_t index) {
  Host* h = Enter("HsiGetReferenceBuffer", record, index);
  if (!h || !record) return Fail(h);
  const auto& refs = h->References();
  if (index < 0 || static_cast<size_t>(index) >= refs.size()) return Fail(h, HSI_ERR_NO_OBJECT);
  const host::Reference& r = refs[static_cast<size_t>(index)];
  std::memset(record, 0, sizeof *record);
  record->index = index;
  record->layer = r.layer;
  CopyOut(record->path, sizeof record->path, r.path);
  CopyOut(record->layerFile, sizeof record->layerFile, r.layerFile);
  record->offsetX = r.offset.x;
  record->offsetY = r.offset.y;
  record->scale = r.scale;
  record->rotation = r.rotation;
  record->visible = r.visible ? HSI_TRUE : HSI_FALSE;
  return HSI_SUCCESS;
}

HsiStatus HsiGetReferenceInformation(HsiReferenceInfo* info) {
  Host* h = Enter("HsiGetReferenceInformation", info);
  if (!h || !info) return Fail(h);
  std::memset(info, 0, sizeof *info);
  info->recordSize = sizeof(HsiReferenceRecord);
  info->count = static_cast<uint16_t>(h->References().size());
  return HSI_SUCCESS;
}

HsiStatus HsiSetReferenceInformation(const HsiReferenceRecord* record, int16_t index) {
  Host* h = Enter("HsiSetReferenceInformation", record, index);
  if (!h || !record) return Fail(h);
  auto& refs = h->MutableReferences();
  if (index < 0 || static_cast<size_t>(index) >= refs.size()) return Fail(h, HSI_ERR_NO_OBJECT);
  HsiReferenceRecord r;
  std::memcpy(&r, record, sizeof r);
  if (r.layer < 0 || r.layer > HSI_LAYER_COUNT || !std::isfinite(r.scale) || r.scale <= 0 ||
      !std::isfinite(r.rotation))
    return Fail(h);
  host::Reference& ref = refs[static_cast<size_t>(index)];
  std::string path = Field(r.path, sizeof r.path);
  if (path.empty()) return Fail(h);
  ref.path = path;
  ref.layerFile = Field(r.layerFile, sizeof r.layerFile);
  ref.layer = r.layer;
  ref.offset = {r.offsetX, r.offsetY};
  ref.scale = r.scale;
  ref.rotation = r.rotation;
  ref.visible = r.visible != HSI_FALSE;
  return HSI_SUCCESS;
}

HsiStatus HsiRefRegen(uint16_t flag) {
  Host* h = Enter("HsiRefRegen", flag);
  if (!h) return HSI_FAILURE;
  return h->RegenerateReferences() ? HSI_SUCCESS : Fail(h, HSI_ERR_FILE);
}

// ---- Commands and messages -----------------------------------------------------------------

HsiStatus HsiMenuEntry(int16_t command, int16_t* x, int16_t* y) {
  Host* h = Enter("HsiMenuEntry", command, x, y);
  if (!h || command <= 0) return Fail(h);
  h->StartCommand(command, false);
  return HSI_SUCCESS;
}

HsiStatus HsiNestedMenuEntry(int16_t command, int16_t* x, int16_t* y) {
  Host* h = Enter("HsiNestedMenuEntry", command, x, y);
  if (!h || command <= 0) return Fail(h);
  h->StartCommand(command, true);
  return HSI_SUCCESS;
}

HsiStatus HsiCustomCallback(const char* title, int32_t flag) {
  Host* h = Enter("HsiCustomCallback", title, flag);
  if (!h || !title) return Fail(h);
  h->SetCallbackTitle(Field(title, 256));
  return HSI_SUCCESS;
}

HsiStatus HsiRunMacro(const char* file) {
  Host* h = Enter("HsiRunMacro", file);
  if (!h || !file || !*file) return Fail(h);
  return h->RunMacro(Field(file, HSI_PATH_SIZE)) ? HSI_SUCCESS : Fail(h, HSI_ERR_FILE);
}

HsiStatus HsiClearMenuEvent(void) {
  Host* h = Enter("HsiClearMenuEvent");
  return h ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiClearMenuSelection(void) {
  Host* h = Enter("HsiClearMenuSelection");
  return h ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiPutMsg(const char* text) {
  Host* h = Enter("HsiPutMsg", text);
  if (!h || !text) return Fail(h);
  h->PutMessage(Field(text, 1024));
  return HSI_SUCCESS;
}

HsiStatus HsiStatusLineUpdate(void) {
  Host* h = Enter("HsiStatusLineUpdate");
  if (!h) return HSI_FAILURE;
  h->StatusLineUpdate();
  return HSI_SUCCESS;
}

HsiStatus HsiRedraw(void) {
  Host* h = Enter("HsiRedraw");
  if (!h) return HSI_FAILURE;
  h->Redraw();
  return HSI_SUCCESS;
}

}  // extern "C"
