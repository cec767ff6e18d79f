// The drawing written out: JSON for comparisons, SVG for people.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <type_traits>

#include "host/colours.h"
#include "host/host.h"
#include "host/svg_pieces.h"
#include "json_io.h"
#include "layout.h"
#include "platform/text.h"

namespace host {

namespace {

// A value written inside the document at `depth` (two spaces a level), as the whole document
// dumped at once would write it there.
std::string Nested(Json value, int depth) {
  std::string text = DumpJson(std::move(value), 2);
  const std::string indent = "\n" + std::string(static_cast<size_t>(depth) * 2, ' ');
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += indent;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string Host::ToJson() const {
  std::ostringstream out;
  WriteJson(out);
  return out.str();
}

void Host::WriteJson(std::ostream& out) const {
  // Written member by member and object by object, so that a large drawing never stands in
  // memory twice; the text is what dumping the whole document would give.
  std::array<bool, HSI_LAYER_COUNT + 1> used{};
  for (const auto& [id, o] : objects_)
    if (o.final && o.layer >= 1 && o.layer <= HSI_LAYER_COUNT) used[o.layer] = true;
  Json layers = Json::array();
  for (int n = 1; n <= HSI_LAYER_COUNT; ++n)
    if (LayerWorthListing(*this, n, used[n])) layers.push_back(LayerToJson(n, layers_[n]));
  auto member = [&](const char* key, Json value, bool first = false) {
    out << (first ? "{\n  " : ",\n  ") << Nested(Json(key), 1) << ": "
        << Nested(std::move(value), 1);
  };
  member("activeLayer", activeLayer_, true);
  member("currentColour", currentColour_);
  member("progMode", progMode_ == HSI_MODE_3D ? "3d" : "2d");
  member("snapMode", snapMode_);
  member("units", UnitsToJson(units_));
  member("layers", std::move(layers));
  out << ",\n  \"objects\": [";
  bool any = false;
  for (const auto& [id, o] : objects_) {
    if (!o.final) continue;
    out << (any ? ",\n    " : "\n    ") << Nested(ObjectToJson(o, false), 2);
    any = true;
  }
  out << (any ? "\n  ]" : "]");
  member("hostCommands", hostCommands_);
  Json files = Json::array();
  for (const auto& [path, kind] : loadedFiles_) files.push_back(Json::array({path, kind}));
  member("loadedFiles", std::move(files));
  member("messageLine", messageLine_);
  member("callback", callback_);
  // A drawing's references, only when it has any (so drawings without keep their export).
  if (!references_.empty()) {
    Json refs = Json::array();
    for (const auto& r : references_) {
      refs.push_back(Json{{"path", r.path},
                          {"layerFile", r.layerFile},
                          {"layer", r.layer},
                          {"loaded", r.loaded},
                          {"visible", r.visible}});
    }
    member("references", std::move(refs));
  }
  out << "\n}\n";
}

ColourRgb ColourOf(int c) {
  static const ColourRgb base[10] = {{0, 0, 0},       {224, 0, 0},    {184, 160, 0}, {0, 160, 0},
                                     {0, 160, 160},   {0, 0, 224},    {192, 0, 192}, {0, 0, 0},
                                     {128, 128, 128}, {176, 176, 176}};
  if (c >= 0 && c < 10) return base[c];
  double hue = std::fmod(c * 37.0, 360.0);
  double value = (c / 10) % 2 ? 0.55 : 0.8;
  double s = 0.85, chroma = value * s;
  double h = hue / 60.0, x = chroma * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (h < 1)
    r = chroma, g = x;
  else if (h < 2)
    r = x, g = chroma;
  else if (h < 3)
    g = chroma, b = x;
  else if (h < 4)
    g = x, b = chroma;
  else if (h < 5)
    r = x, b = chroma;
  else
    r = chroma, b = x;
  double m = value - chroma;
  return {int((r + m) * 255), int((g + m) * 255), int((b + m) * 255)};
}

namespace {

std::string ColourHex(int c) {
  const ColourRgb rgb = ColourOf(c);
  char out[8];
  std::snprintf(out, sizeof out, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
  return out;
}

std::string F(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f", v);
  return b;
}

// A number as exactly as a double keeps it (a scale of sheet pixels per drawing unit is tiny).
std::string Exact(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

const char* FontFamily(int font) {
  switch (font) {
    case 1:
      return "DejaVu Sans Mono, monospace";
    case 2:
      return "DejaVu Serif, serif";
    default:
      return "DejaVu Sans, sans-serif";
  }
}

class SvgWriter {
 public:
  SvgWriter(const Host& host, const Box& extent) : host_(host) {
    margin_ = kMargin;
    double w = std::max<double>(1, double(extent.x2 - extent.x1));
    double h = std::max<double>(1, double(extent.y2 - extent.y1));
    k_ = 1200.0 / std::max(w, h);
    minX_ = double(extent.x1);
    maxY_ = double(extent.y2);
    maxX_ = double(extent.x2);
    minY_ = double(extent.y1);
    width_ = w * k_ + 2 * kMargin;
    height_ = h * k_ + 2 * kMargin;
  }
  // Pieces: drawing coordinates times `scale`, y turned downwards, whatever the extent.
  SvgWriter(const Host& host, double scale) : host_(host), k_(scale) {}

  double X(double x) const { return margin_ + (x - minX_) * k_; }
  double Y(double y) const { return margin_ + (maxY_ - y) * k_; }
  double Scale() const { return k_; }
  double Margin() const { return margin_; }
  double Width() const { return width_; }
  double Height() const { return height_; }

  std::string Begin() const {
    // The data attributes say how drawing units map onto the sheet: x' = margin + (x - minX)
    // * scale, y' = margin + (maxY - y) * scale. The drawing's extent is given whole as well.
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + F(width_) + "\" height=\"" +
           F(height_) + "\" viewBox=\"0 0 " + F(width_) + " " + F(height_) + "\" data-min-x=\"" +
           F(minX_) + "\" data-max-y=\"" + F(maxY_) + "\" data-scale=\"" + Exact(k_) +
           "\" data-margin=\"" + F(kMargin) + "\" data-max-x=\"" + F(maxX_) + "\" data-min-y=\"" +
           F(minY_) + "\">\n" + "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  }

  std::string Polyline(const std::vector<PointD>& pts, const std::string& colour,
                       int weight) const {
    std::string s = "<polyline fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
                    F(StrokeWidth(weight)) +
                    "\" stroke-linecap=\"round\" stroke-linejoin=\"round\" points=\"";
    for (size_t i = 0; i < pts.size(); ++i)
      s += (i ? " " : "") + F(X(pts[i].x)) + "," + F(Y(pts[i].y));
    return s + "\"/>\n";
  }

  std::string Arc(PointD c, double r, PointD a, PointD b, const std::string& colour,
                  int weight) const {
    std::string stroke =
        "fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + F(StrokeWidth(weight)) + "\"";
    double a1 = AngleDeg(c, a), a2 = AngleDeg(c, b);
    double sweep = NormaliseDeg(a2 - a1);
    if (sweep == 0 || (std::fabs(a.x - b.x) < 0.5 && std::fabs(a.y - b.y) < 0.5))
      return "<circle cx=\"" + F(X(c.x)) + "\" cy=\"" + F(Y(c.y)) + "\" r=\"" + F(r * k_) + "\" " +
             stroke + "/>\n";
    // Counter-clockwise in the drawing is counter-clockwise on the sheet too: sweep flag 0.
    return "<path " + stroke + " d=\"M " + F(X(a.x)) + " " + F(Y(a.y)) + " A " + F(r * k_) + " " +
           F(r * k_) + " 0 " + (sweep > 180 ? "1" : "0") + " 0 " + F(X(b.x)) + " " + F(Y(b.y)) +
           "\"/>\n";
  }

  // A CAD text: vertex, height and orientation in drawing units.
  std::string CadText(PointD at, const TextData& t, const std::string& colour) const {
    TextFrame frame = CadTextFrame(t);
    double size = t.size * k_;
    if (size < 0.5 || t.text.empty()) return "";
    const char* anchor = t.hcode == 2 ? "middle" : (t.hcode == 1 ? "end" : "start");
    // Baseline offset below the vertex (the sheet's y runs down).
    double dy = t.vcode == 4 ? size : (t.vcode == 2 ? size / 2 : 0);
    double wf = t.widthFactor > 0 ? t.widthFactor : 1.0;
    std::string spacing;
    if (t.charSpacing > 0) {
      double natural = 0.6 * size / 0.72;
      spacing = " letter-spacing=\"" + F(frame.advance * k_ / wf - natural) + "\"";
    }
    return "<text transform=\"translate(" + F(X(at.x)) + "," + F(Y(at.y)) + ") rotate(" +
           F(-t.orientation) + ") scale(" + F(wf) + ",1) skewX(" + F(-t.slant) +
           ")\" x=\"0\" y=\"" + F(dy) + "\" font-family=\"" + FontFamily(t.font) +
           "\" font-size=\"" + F(size / 0.72) + "\" text-anchor=\"" + anchor + "\" fill=\"" +
           colour + "\"" + spacing + ">" + platform::XmlText(t.text) + "</text>\n";
  }

  std::string TrueType(PointD at, const TrueTypeData& t, const std::string& colour) const {
    TrueTypeBlock block = LayoutTrueType(t, host_.Units());
    std::string face = t.face.empty() ? "sans-serif" : t.face;
    std::string s = "<g transform=\"translate(" + F(X(at.x)) + "," + F(Y(at.y)) + ") rotate(" +
                    F(-t.orientation) + ")\" font-family=\"" + platform::XmlText(face) +
                    ", DejaVu Sans, sans-serif\" fill=\"" + colour + "\">\n";
    double sy = t.scaleY > 0 ? t.scaleY : 1.0, sx = t.scaleX > 0 ? t.scaleX : 1.0;
    double top = block.bottom + block.height;  // drawing units, y up, relative to the pick point
    double unit = block.dbuPerPoint * k_;      // sheet pixels per point
    for (const auto& line : block.lines) {
      double lineW = line.width * block.dbuPerPoint * sx;
      double x = block.left;
      if (line.align == 1) x += (block.width - lineW) / 2;
      if (line.align == 2) x += block.width - lineW;
      double baseline = top - line.height / 1.2 * block.dbuPerPoint * sy;
      s += "<text x=\"" + F(x * k_) + "\" y=\"" + F(-baseline * k_) + "\">";
      for (const auto& run : line.runs) {
        s += "<tspan font-size=\"" + F(run.halfPoints / 2.0 * unit * sy) + "\"";
        if (run.bold) s += " font-weight=\"bold\"";
        if (run.italic) s += " font-style=\"italic\"";
        if (run.underline || run.strike)
          s += std::string(" text-decoration=\"") + (run.underline ? "underline" : "") +
               (run.underline && run.strike ? " " : "") + (run.strike ? "line-through" : "") + "\"";
        s += " xml:space=\"preserve\">" + platform::XmlText(run.text) + "</tspan>";
      }
      s += "</text>\n";
      top -= line.height * block.dbuPerPoint * sy;
    }
    return s + "</g>\n";
  }

  std::string Object(const host::Object& o, const std::string& colour, int layerWeight) const {
    switch (o.Kind()) {
      case ObjectKind::Lineset: {
        const auto& d = host::get<LinesetData>(o.data);
        std::vector<PointD> pts;
        for (const auto& p : d.points) pts.push_back(ToD(p));
        return Polyline(pts, colour, std::max<int>(d.weight, layerWeight));
      }
      case ObjectKind::Arc: {
        const auto& d = host::get<ArcData>(o.data);
        return Arc(ToD(o.at), d.radius, ToD(d.start), ToD(d.end), colour, layerWeight);
      }
      case ObjectKind::Text:
        return CadText(ToD(o.at), host::get<TextData>(o.data), colour);
      case ObjectKind::TrueType:
        return TrueType(ToD(o.at), host::get<TrueTypeData>(o.data), colour);
      case ObjectKind::Symbol: {
        const auto& d = host::get<SymbolData>(o.data);
        const SymbolDef* def = host_.Symbol(d.symbol);
        if (!def) {
          // An instance whose symbol is not loaded: a small cross marks its place.
          PointD c = ToD(o.at);
          double r = 6 / k_;
          return Polyline({{c.x - r, c.y - r}, {c.x + r, c.y + r}}, colour, 0) +
                 Polyline({{c.x - r, c.y + r}, {c.x + r, c.y - r}}, colour, 0);
        }
        std::string s;
        for (const auto& e : def->elements) {
          if (e.kind == SymbolElement::Kind::Text) {
            TextData t;
            t.size = RoundDbu(e.size * std::fabs(d.scaleY) * def->unit);
            t.text = e.text;
            t.orientation = e.angle1 + d.rotation;
            t.hcode = static_cast<int16_t>(e.hcode);
            t.vcode = static_cast<int16_t>(e.vcode);
            s += CadText(host_.SymbolToDrawing(*def, d, o.at, e.centre), t, colour);
            continue;
          }
          std::vector<PointD> pts;
          for (const auto& local : ElementOutline(e))
            pts.push_back(host_.SymbolToDrawing(*def, d, o.at, local));
          s += Polyline(pts, colour, std::max(e.weight, layerWeight));
        }
        return s;
      }
    }
    return "";
  }

 private:
  static constexpr double kMargin = 40;
  static double StrokeWidth(int weight) { return 1.0 + 0.75 * weight; }
  const Host& host_;
  double margin_ = 0;
  double k_ = 1, minX_ = 0, maxY_ = 0, maxX_ = 0, minY_ = 0, width_ = 0, height_ = 0;
};

// A reference's object moved into the drawing: scaled, turned and shifted.
host::Object Placed(const host::Object& o, const Reference& r) {
  host::Object p = o;
  auto map = [&](Point q) {
    PointD s{q.x * r.scale, q.y * r.scale};
    PointD t = Rotate(s, {0, 0}, r.rotation);
    return RoundPoint({t.x + r.offset.x, t.y + r.offset.y});
  };
  p.at = map(o.at);
  if (auto* l = host::get_if<LinesetData>(&p.data)) {
    for (auto& q : l->points) q = map(q);
  } else if (auto* a = host::get_if<ArcData>(&p.data)) {
    a->start = map(a->start);
    a->end = map(a->end);
    a->radius = RoundDbu(a->radius * r.scale);
  } else if (auto* t = host::get_if<TextData>(&p.data)) {
    t->size = RoundDbu(t->size * r.scale);
    t->orientation += r.rotation;
  } else if (auto* tt = host::get_if<TrueTypeData>(&p.data)) {
    tt->orientation += r.rotation;
  } else if (auto* s = host::get_if<SymbolData>(&p.data)) {
    s->scaleX *= r.scale;
    s->scaleY *= r.scale;
    s->rotation += r.rotation;
  }
  return p;
}

// The visible references' objects, placed in the drawing.
std::vector<host::Object> ShownReferenceObjects(const Host& host) {
  std::vector<host::Object> referenced;
  for (const auto& r : host.References()) {
    if (!r.visible || !r.loaded) continue;
    for (const auto& o : r.objects) {
      int layer = r.layer != 0 ? r.layer : o.layer;
      if (layer < 1 || layer > HSI_LAYER_COUNT || !r.layers[layer].On()) continue;
      referenced.push_back(Placed(o, r));
    }
  }
  return referenced;
}

// A drawing with nothing shown yet lies on a sheet that fits its units and scale.
Box SheetExtent(const Host& host, Box extent) {
  return extent.Empty() ? host.EmptySheet() : extent;
}

// The colour an object is shown in: its own, else its layer's, else black.
std::string ShownColour(const Host& host, const host::Object& o) {
  const LayerState& layer = host.Layer(o.layer);
  return ColourHex(o.colour != 0 ? o.colour : (layer.colour != 0 ? layer.colour : 7));
}

std::string ReferencesGroup(const SvgWriter& svg, const std::vector<host::Object>& referenced) {
  if (referenced.empty()) return "";
  std::string s = "<g id=\"references\" opacity=\"0.45\">\n";
  for (const auto& o : referenced) s += svg.Object(o, "#808080", 0);
  return s + "</g>\n";
}

std::string CursorGroup(const SvgWriter& svg, const CursorImage& cursor) {
  if (!cursor.active) return "";
  auto attr = [](const char* name, int32_t value) {
    return std::string(" ") + name + "=\"" + std::to_string(value) + "\"";
  };
  std::string s = "<g id=\"cursor-image\"" + attr("data-style", cursor.style) +
                  attr("data-base-x", cursor.base.x) + attr("data-base-y", cursor.base.y) +
                  attr("data-other-x", cursor.other.x) + attr("data-other-y", cursor.other.y) +
                  ">\n";
  for (const auto& o : cursor.objects) {
    host::Object placed = o;  // the image is kept relative to its base point
    Translate(placed, cursor.base.x, cursor.base.y);
    s += svg.Object(placed, "#c00000", 0);
  }
  return s + "</g>\n";
}

// A digest built field by field, a word at a time.
class Digest {
 public:
  template <typename T>
  Digest& Add(const T& value) {
    static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 8);
    uint64_t word = 0;
    std::memcpy(&word, &value, sizeof value);
    return Mix(word);
  }
  Digest& Add(const std::string& text) { return Mix(std::hash<std::string>{}(text)); }
  Digest& Add(Point p) { return Mix((uint64_t(uint32_t(p.x)) << 32) | uint32_t(p.y)); }
  uint64_t Value() const { return h_; }

 private:
  Digest& Mix(uint64_t word) {
    h_ = (h_ ^ word) * 0x9e3779b97f4a7c15ull;
    h_ ^= h_ >> 29;
    return *this;
  }
  uint64_t h_ = 0xcbf29ce484222325ull;
};

}  // namespace

std::string Host::ToSvg() const { return ToSvg(false); }

std::string Host::ToSvg(bool cursorImage) const {
  std::ostringstream out;
  WriteSvg(out, cursorImage);
  return out.str();
}

void Host::WriteSvg(std::ostream& out, bool cursorImage) const {
  // What is shown: final objects on layers that are on, and the visible references.
  std::vector<const host::Object*> shown;
  for (const auto& [id, o] : objects_)
    if (o.final && Layer(o.layer).On()) shown.push_back(&o);
  const std::vector<host::Object> referenced = ShownReferenceObjects(*this);
  Box extent;
  for (const auto* o : shown) extent.Add(ObjectBox(*o));
  for (const auto& o : referenced) extent.Add(ObjectBox(o));
  SvgWriter svg(*this, SheetExtent(*this, extent));
  out << svg.Begin();
  out << ReferencesGroup(svg, referenced);
  int currentLayer = -1;
  // Objects grouped by layer, in creation order within a layer.
  std::vector<const host::Object*> ordered = shown;
  std::stable_sort(
      ordered.begin(), ordered.end(),
      [](const host::Object* a, const host::Object* b) { return a->layer < b->layer; });
  for (const auto* o : ordered) {
    if (o->layer != currentLayer) {
      if (currentLayer != -1) out << "</g>\n";
      currentLayer = o->layer;
      std::string name = Layer(currentLayer).name;
      out << "<g id=\"layer-" + std::to_string(currentLayer) + "\"" +
                 (name.empty() ? "" : " data-name=\"" + platform::XmlText(name) + "\"") + ">\n";
    }
    out << svg.Object(*o, ShownColour(*this, *o), Layer(o->layer).weight);
  }
  if (currentLayer != -1) out << "</g>\n";
  if (cursorImage) out << CursorGroup(svg, cursor_);
  out << "</svg>\n";
}

// ---- The drawing in pieces -------------------------------------------------------------------

SvgSheet SheetFor(const Host& host, Box extent) {
  extent = SheetExtent(host, extent);
  const SvgWriter svg(host, extent);
  SvgSheet sheet;
  sheet.minX = double(extent.x1);
  sheet.minY = double(extent.y1);
  sheet.maxX = double(extent.x2);
  sheet.maxY = double(extent.y2);
  sheet.scale = svg.Scale();
  sheet.margin = svg.Margin();
  sheet.width = svg.Width();
  sheet.height = svg.Height();
  return sheet;
}

Box ReferencesExtent(const Host& host) {
  Box extent;
  for (const auto& o : ShownReferenceObjects(host)) extent.Add(host.ObjectBox(o));
  return extent;
}

std::string ObjectPiece(const Host& host, const Object& object, double scale, bool selected) {
  const SvgWriter svg(host, scale);
  return "<g id=\"o" + std::to_string(object.id) + "\"" + (selected ? " class=\"selected\"" : "") +
         ">\n" + svg.Object(object, ShownColour(host, object), host.Layer(object.layer).weight) +
         "</g>\n";
}

uint64_t ObjectLook(const Host& host, const Object& o) {
  Digest d;
  const LayerState& layer = host.Layer(o.layer);
  d.Add(o.id).Add(o.layer).Add(o.colour).Add(layer.colour).Add(layer.weight).Add(o.at);
  d.Add(o.data.index());
  if (const auto* l = host::get_if<LinesetData>(&o.data)) {
    d.Add(l->style).Add(l->weight).Add(l->points.size());
    for (const Point& p : l->points) d.Add(p);
  } else if (const auto* a = host::get_if<ArcData>(&o.data)) {
    d.Add(a->radius).Add(a->start).Add(a->end);
  } else if (const auto* t = host::get_if<TextData>(&o.data)) {
    d.Add(t->size).Add(t->charSpacing).Add(t->orientation).Add(t->widthFactor);
    d.Add(t->hcode).Add(t->vcode).Add(t->font).Add(t->slant).Add(t->text);
  } else if (const auto* tt = host::get_if<TrueTypeData>(&o.data)) {
    d.Add(tt->scaleX).Add(tt->scaleY).Add(tt->orientation).Add(tt->hcode).Add(tt->vcode);
    d.Add(tt->content).Add(tt->face).Add(tt->size).Add(tt->style).Add(tt->document);
    d.Add(tt->plainWidth).Add(tt->plainWrap).Add(tt->plainAlign);
    const UnitSettings& u = host.Units();
    d.Add(u.unitType).Add(u.paperUnit).Add(u.scaledUnits).Add(u.pointsPerUnit);
    d.Add(u.drawingScale).Add(u.plotScale).Add(u.space);
  } else if (const auto* sy = host::get_if<SymbolData>(&o.data)) {
    d.Add(sy->symbol).Add(sy->name).Add(sy->scaleX).Add(sy->scaleY).Add(sy->scaleZ);
    d.Add(sy->rotation).Add(sy->rotationY).Add(sy->rotationZ).Add(sy->inserted);
    const SymbolDef* def = host.Symbol(sy->symbol);
    d.Add(def != nullptr);
    if (def) d.Add(def->elements.size()).Add(def->unit);
  }
  return d.Value();
}

std::string ReferencesPiece(const Host& host, double scale) {
  return ReferencesGroup(SvgWriter(host, scale), ShownReferenceObjects(host));
}

std::string CursorPiece(const Host& host, double scale) {
  return CursorGroup(SvgWriter(host, scale), host.Cursor());
}

std::string MarksPiece(const Host& host, double scale) {
  if (host.Marks().empty()) return "";
  const SvgWriter svg(host, scale);
  std::string s = "<g id=\"marks\">\n";
  for (const ScreenMark& m : host.Marks()) {
    const std::string colour = ColourHex(m.colour != 0 ? m.colour : 7);
    switch (m.kind) {
      case ScreenMark::Kind::Line:
        s += svg.Polyline({ToD(m.a), ToD(m.b)}, colour, 0);
        break;
      case ScreenMark::Kind::Arc:
        s += svg.Arc(ToD(m.centre), m.radius, ToD(m.a), ToD(m.b), colour, 0);
        break;
      case ScreenMark::Kind::Text: {
        s += svg.CadText(ToD(m.a), host.MarkLook(m), colour);
        break;
      }
    }
  }
  return s + "</g>\n";
}

}  // namespace host
