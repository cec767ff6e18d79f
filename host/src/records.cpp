// The engine's side of the object records of the host interface: reading a caller's type-46, 48
// and 54 record into an object, filling the object information record, and the picture of a list
// that edit-copy leaves on the clipboard.
#include <algorithm>
#include <climits>
#include <utility>

#include "host/host.h"
#include "host/rtf.h"
#include "hsi_internal.h"
#include "platform/memory.h"
#include "platform/picture.h"

namespace host {

using namespace hsi;

bool Host::Refuse(int16_t number) {
  SetError(number);
  return false;
}

bool Host::ObjectFromRecord(int16_t type, const void* record, Object* out) {
  Object o;
  if (type == HSI_RECORD_CAD_TEXT) {
    HsiCadText r;
    std::memcpy(&r, record, sizeof r);
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.size < 0)
      return Refuse(HSI_ERR_BAD_ARGUMENT);
    TextData d;
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
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.radius <= 0)
      return Refuse(HSI_ERR_BAD_ARGUMENT);
    ArcData d;
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
    if (!ValidLayer(r.layer) || !ValidColour(r.colour) || r.size <= 0)
      return Refuse(HSI_ERR_BAD_ARGUMENT);
    TrueTypeData d;
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
      if (!block) return Refuse(HSI_ERR_BAD_ARGUMENT);
      size_t size = platform::GlobalSize(r.document);
      d.document = Field(static_cast<const char*>(block), size);
      platform::GlobalUnlock(r.document);
    } else if (r.content == HSI_TT_CONTENT_PLAIN) {
      d.document = Field(r.text, sizeof r.text);
      d.plainWidth = trueType.plainWidth;
      d.plainWrap = trueType.plainWrap;
      d.plainAlign = trueType.plainAlign;
    } else {
      return Refuse(HSI_ERR_BAD_ARGUMENT);
    }
    o.layer = r.layer;
    o.colour = r.colour;
    o.at = {r.x, r.y};
    o.data = d;
  } else {
    return Refuse(HSI_ERR_BAD_ARGUMENT);
  }
  *out = std::move(o);
  return true;
}

HsiObjectInfo Host::InfoRecord(const Object& object) const {
  const Object* o = &object;
  HsiObjectInfo r;
  std::memset(&r, 0, sizeof r);
  r.head.type = o->HsiType();
  r.head.kind = o->final ? HSI_FINAL : HSI_TEMPORARY;
  // A stored object's box is the one its index keeps (clamped as the record is): a long lineset
  // is not walked again for every record read.
  Box box;
  if (!(o->final && Find(o->id) == o && index_.BoxOf(o->id, &box))) box = ObjectBox(*o);
  if (!box.Empty()) {
    auto clamp = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    r.head.x1 = clamp(box.x1);
    r.head.y1 = clamp(box.y1);
    r.head.x2 = clamp(box.x2);
    r.head.y2 = clamp(box.y2);
    // A CAD text's record runs from its upper left corner to its lower right one, on the base
    // line, as its readers take it: the second corner's y is where the letters stand.
    if (o->Kind() == ObjectKind::Text) std::swap(r.head.y1, r.head.y2);
  }
  r.head.x = o->at.x;
  r.head.y = o->at.y;
  r.head.layer = o->layer;
  r.head.colour = o->colour;
  r.head.id = o->id;
  switch (o->Kind()) {
    case ObjectKind::Text: {
      const auto& d = host::get<TextData>(o->data);
      r.text.size = d.size;
      r.text.charSpacing = d.charSpacing;
      r.text.orientation = d.orientation;
      r.text.widthFactor = d.widthFactor;
      r.text.hcode = d.hcode;
      r.text.vcode = d.vcode;
      r.text.font = d.font;
      r.text.slant = d.slant;
      // A text read back from UTF-8 may hold more bytes than the record: the record gets what
      // fits, and its length says so.
      r.text.length = static_cast<int16_t>(std::min(d.text.size(), sizeof r.text.text - 1));
      CopyOut(r.text.text, sizeof r.text.text, d.text);
      break;
    }
    case ObjectKind::Lineset: {
      const auto& d = host::get<LinesetData>(o->data);
      r.lineset.lastVertex = static_cast<int16_t>(std::min<size_t>(d.points.size() - 1, 32767));
      r.lineset.weight = d.weight;
      r.lineset.style = d.style;
      r.lineset.closed = d.points.size() > 2 && d.points.front() == d.points.back();
      r.lineset.first = {d.points.front().x, d.points.front().y};
      r.lineset.last = {d.points.back().x, d.points.back().y};
      break;
    }
    case ObjectKind::Arc: {
      const auto& d = host::get<ArcData>(o->data);
      r.arc.radius = d.radius;
      r.arc.start = {d.start.x, d.start.y};
      r.arc.end = {d.end.x, d.end.y};
      r.arc.startAngle = AngleDeg(ToD(o->at), ToD(d.start));
      r.arc.endAngle = AngleDeg(ToD(o->at), ToD(d.end));
      break;
    }
    case ObjectKind::Symbol: {
      const auto& d = host::get<SymbolData>(o->data);
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
      const auto& d = host::get<TrueTypeData>(o->data);
      RtfDocument doc = d.content == HSI_TT_CONTENT_PLAIN
                            ? PlainDocument(d.document, d.size * 2, d.style, 0)
                            : ParseRtf(d.document);
      std::string text = DocumentText(doc);
      r.truetype.height = RoundDbu(d.size * DbuPerPaperInch(Units()) / 72.0 * d.scaleY);
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
  return r;
}

bool Host::PictureOfList(int16_t list, platform::Metafile* out) {
  const SelectionList* l = List(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  // A picture of the listed objects, fitted into 200 logical units, y running down.
  Box extent;
  for (const auto& e : l->entries)
    if (const Object* o = Find(e.id)) extent.Add(ObjectBox(*o));
  if (extent.Empty()) return Refuse(HSI_ERR_NO_OBJECT);
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
    const Object* o = Find(e.id);
    if (!o) continue;
    switch (o->Kind()) {
      case ObjectKind::Lineset: {
        std::vector<platform::Point> pts;
        for (const auto& p : host::get<LinesetData>(o->data).points) pts.push_back(map(p.x, p.y));
        picture.AddPolyline(pts);
        break;
      }
      case ObjectKind::Arc: {
        const auto& d = host::get<ArcData>(o->data);
        platform::Point tl = map(o->at.x - d.radius, o->at.y + d.radius);
        platform::Point br = map(o->at.x + d.radius, o->at.y - d.radius);
        picture.AddArc(platform::Rect{tl.x, tl.y, br.x, br.y}, map(d.start.x, d.start.y),
                       map(d.end.x, d.end.y));
        break;
      }
      case ObjectKind::Text: {
        const auto& d = host::get<TextData>(o->data);
        int height = std::max(1, static_cast<int>(std::lround(d.size * k)));
        platform::Point at = map(o->at.x, o->at.y);
        picture.AddText({at.x, at.y - height}, d.text, "Arial", height);
        break;
      }
      default: {
        // Symbols and TrueType texts: their outline box.
        Box b = ObjectBox(*o);
        picture.AddPolyline(
            {map(b.x1, b.y1), map(b.x2, b.y1), map(b.x2, b.y2), map(b.x1, b.y2), map(b.x1, b.y1)});
        break;
      }
    }
  }
  *out = std::move(picture);
  return true;
}

}  // namespace host
