#include "json_io.h"

#include <cmath>

#include "platform/text.h"

namespace host {

namespace {

Json PointJson(Point p) { return Json::array({p.x, p.y}); }

bool ReadInt(const Json& j, const char* key, int64_t lo, int64_t hi, int64_t* out,
             std::string* error) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_number_integer()) {
    if (error) *error = std::string("missing or bad \"") + key + "\"";
    return false;
  }
  int64_t v = it->get<int64_t>();
  if (v < lo || v > hi) {
    if (error) *error = std::string("\"") + key + "\" out of range";
    return false;
  }
  *out = v;
  return true;
}

bool ReadDouble(const Json& j, const char* key, double* out, std::string* error) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_number() || !std::isfinite(it->get<double>())) {
    if (error) *error = std::string("missing or bad \"") + key + "\"";
    return false;
  }
  *out = it->get<double>();
  return true;
}

// The characters of a UTF-8 text: its bytes but the continuation bytes of a sequence.
size_t Utf8Characters(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// A text of at most `maxLength` characters. Texts are written out as UTF-8, where one byte of the
// Windows code page becomes two or three: the limit counts characters, so that every text the
// host held when the file was written is read back.
bool ReadString(const Json& j, const char* key, size_t maxLength, std::string* out,
                std::string* error) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_string() ||
      Utf8Characters(it->get_ref<const std::string&>()) > maxLength) {
    if (error) *error = std::string("missing or bad \"") + key + "\"";
    return false;
  }
  *out = it->get<std::string>();
  return true;
}

bool ReadPoint(const Json& j, Point* out, std::string* error) {
  if (!j.is_array() || j.size() != 2 || !j[0].is_number_integer() || !j[1].is_number_integer()) {
    if (error) *error = "bad point";
    return false;
  }
  int64_t x = j[0].get<int64_t>(), y = j[1].get<int64_t>();
  if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) {
    if (error) *error = "point out of range";
    return false;
  }
  *out = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

bool ReadPointKey(const Json& j, const char* key, Point* out, std::string* error) {
  auto it = j.find(key);
  if (it == j.end()) {
    if (error) *error = std::string("missing \"") + key + "\"";
    return false;
  }
  return ReadPoint(*it, out, error);
}

bool ReadTriple(const Json& j, const char* key, double out[3], std::string* error) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_array() || it->size() != 3) {
    if (error) *error = std::string("missing or bad \"") + key + "\"";
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (!(*it)[i].is_number()) {
      if (error) *error = std::string("bad \"") + key + "\"";
      return false;
    }
    out[i] = (*it)[i].get<double>();
  }
  return true;
}

void MakeStringsUtf8(Json& json) {
  if (json.is_string()) {
    json = platform::Utf8Text(json.get_ref<const std::string&>());
  } else if (json.is_structured()) {
    for (auto& item : json) MakeStringsUtf8(item);
  }
}

}  // namespace

std::string DumpJson(Json json, int indent) {
  MakeStringsUtf8(json);
  return json.dump(indent);
}

Json ObjectToJson(const Object& o, bool full) {
  Json j;
  j["id"] = o.id;
  switch (o.Kind()) {
    case ObjectKind::Lineset: {
      const auto& d = host::get<LinesetData>(o.data);
      j["kind"] = "lineset";
      j["layer"] = o.layer;
      j["colour"] = o.colour;
      j["weight"] = d.weight;
      Json pts = Json::array();
      for (const auto& p : d.points) pts.push_back(PointJson(p));
      j["points"] = pts;
      if (full) j["style"] = d.style;
      break;
    }
    case ObjectKind::Arc: {
      const auto& d = host::get<ArcData>(o.data);
      j["kind"] = "arc";
      j["layer"] = o.layer;
      j["colour"] = o.colour;
      j["centre"] = PointJson(o.at);
      j["radius"] = d.radius;
      j["start"] = PointJson(d.start);
      j["end"] = PointJson(d.end);
      break;
    }
    case ObjectKind::Text: {
      const auto& d = host::get<TextData>(o.data);
      j["kind"] = "text";
      j["layer"] = o.layer;
      j["colour"] = o.colour;
      j["at"] = PointJson(o.at);
      j["size"] = d.size;
      j["charSpacing"] = d.charSpacing;
      j["orientation"] = d.orientation;
      j["widthFactor"] = d.widthFactor;
      j["hcode"] = d.hcode;
      j["vcode"] = d.vcode;
      j["font"] = d.font;
      j["slant"] = d.slant;
      j["text"] = d.text;
      break;
    }
    case ObjectKind::TrueType: {
      const auto& d = host::get<TrueTypeData>(o.data);
      j["kind"] = "truetype";
      j["layer"] = o.layer;
      j["colour"] = o.colour;
      j["at"] = PointJson(o.at);
      j["orientation"] = d.orientation;
      j["hcode"] = d.hcode;
      j["vcode"] = d.vcode;
      j["face"] = d.face;
      j["size"] = d.size;
      j["style"] = d.style;
      j["document"] = d.document;
      if (full) {
        j["content"] = d.content;
        j["scaleX"] = d.scaleX;
        j["scaleY"] = d.scaleY;
        j["plainWidth"] = d.plainWidth;
        j["plainWrap"] = d.plainWrap;
        j["plainAlign"] = d.plainAlign;
      }
      break;
    }
    case ObjectKind::Symbol: {
      const auto& d = host::get<SymbolData>(o.data);
      j["kind"] = "symbol";
      j["layer"] = o.layer;
      j["colour"] = o.colour;
      j["name"] = d.name;
      j["at"] = PointJson(o.at);
      j["scale"] = Json::array({d.scaleX, d.scaleY, d.scaleZ});
      j["rotation"] = Json::array({d.rotation, d.rotationY, d.rotationZ});
      if (full) j["inserted"] = d.inserted;
      break;
    }
  }
  return j;
}

std::optional<Object> ObjectFromJson(const Json& j, std::string* error) {
  if (!j.is_object()) {
    if (error) *error = "an object is not a JSON object";
    return std::nullopt;
  }
  std::string kind;
  int64_t layer = 0, colour = 0;
  if (!ReadString(j, "kind", 16, &kind, error) ||
      !ReadInt(j, "layer", 1, HSI_LAYER_COUNT, &layer, error) ||
      !ReadInt(j, "colour", 0, 255, &colour, error))
    return std::nullopt;
  Object o;
  o.layer = static_cast<int16_t>(layer);
  o.colour = static_cast<int16_t>(colour);
  int64_t v = 0;
  if (kind == "lineset") {
    LinesetData d;
    auto it = j.find("points");
    if (it == j.end() || !it->is_array() || it->size() < 2 || it->size() > 100000) {
      if (error) *error = "a lineset needs two or more points";
      return std::nullopt;
    }
    for (const auto& p : *it) {
      Point pt;
      if (!ReadPoint(p, &pt, error)) return std::nullopt;
      d.points.push_back(pt);
    }
    if (!ReadInt(j, "weight", 0, 255, &v, error)) return std::nullopt;
    d.weight = static_cast<int16_t>(v);
    if (j.contains("style")) {
      if (!ReadInt(j, "style", 0, 255, &v, error)) return std::nullopt;
      d.style = static_cast<int16_t>(v);
    }
    o.at = d.points.front();
    o.data = d;
  } else if (kind == "arc") {
    ArcData d;
    if (!ReadPointKey(j, "centre", &o.at, error) ||
        !ReadInt(j, "radius", 1, INT32_MAX, &v, error) ||
        !ReadPointKey(j, "start", &d.start, error) || !ReadPointKey(j, "end", &d.end, error))
      return std::nullopt;
    d.radius = static_cast<int32_t>(v);
    o.data = d;
  } else if (kind == "text") {
    TextData d;
    int64_t size, spacing, h, vc, font, slant;
    if (!ReadPointKey(j, "at", &o.at, error) || !ReadInt(j, "size", 0, INT32_MAX, &size, error) ||
        !ReadInt(j, "charSpacing", 0, 65535, &spacing, error) ||
        !ReadDouble(j, "orientation", &d.orientation, error) ||
        !ReadDouble(j, "widthFactor", &d.widthFactor, error) ||
        !ReadInt(j, "hcode", -32768, 32767, &h, error) ||
        !ReadInt(j, "vcode", -32768, 32767, &vc, error) ||
        !ReadInt(j, "font", -32768, 32767, &font, error) ||
        !ReadInt(j, "slant", -32768, 32767, &slant, error) ||
        !ReadString(j, "text", HSI_CAD_TEXT_CHARS - 1, &d.text, error))
      return std::nullopt;
    d.size = static_cast<int32_t>(size);
    d.charSpacing = static_cast<uint16_t>(spacing);
    d.hcode = static_cast<int16_t>(h);
    d.vcode = static_cast<int16_t>(vc);
    d.font = static_cast<int16_t>(font);
    d.slant = static_cast<int16_t>(slant);
    o.data = d;
  } else if (kind == "truetype") {
    TrueTypeData d;
    int64_t h, vc, size, style;
    if (!ReadPointKey(j, "at", &o.at, error) ||
        !ReadDouble(j, "orientation", &d.orientation, error) ||
        !ReadInt(j, "hcode", -32768, 32767, &h, error) ||
        !ReadInt(j, "vcode", -32768, 32767, &vc, error) ||
        !ReadString(j, "face", 31, &d.face, error) || !ReadInt(j, "size", 0, 32767, &size, error) ||
        !ReadInt(j, "style", 0, 15, &style, error) ||
        !ReadString(j, "document", 1 << 20, &d.document, error))
      return std::nullopt;
    d.hcode = static_cast<int16_t>(h);
    d.vcode = static_cast<int16_t>(vc);
    d.size = static_cast<int16_t>(size);
    d.style = static_cast<int16_t>(style);
    if (j.contains("content")) {
      if (!ReadInt(j, "content", 1, 2, &v, error)) return std::nullopt;
      d.content = static_cast<int16_t>(v);
    }
    if (j.contains("scaleX") && !ReadDouble(j, "scaleX", &d.scaleX, error)) return std::nullopt;
    if (j.contains("scaleY") && !ReadDouble(j, "scaleY", &d.scaleY, error)) return std::nullopt;
    if (j.contains("plainWidth") && !ReadDouble(j, "plainWidth", &d.plainWidth, error))
      return std::nullopt;
    if (j.contains("plainWrap")) {
      if (!ReadInt(j, "plainWrap", 0, 1, &v, error)) return std::nullopt;
      d.plainWrap = static_cast<int16_t>(v);
    }
    if (j.contains("plainAlign")) {
      if (!ReadInt(j, "plainAlign", 0, 2, &v, error)) return std::nullopt;
      d.plainAlign = static_cast<int16_t>(v);
    }
    o.data = d;
  } else if (kind == "symbol") {
    SymbolData d;
    double scale[3], rotation[3];
    if (!ReadString(j, "name", 255, &d.name, error) || !ReadPointKey(j, "at", &o.at, error) ||
        !ReadTriple(j, "scale", scale, error) || !ReadTriple(j, "rotation", rotation, error))
      return std::nullopt;
    d.scaleX = scale[0];
    d.scaleY = scale[1];
    d.scaleZ = scale[2];
    d.rotation = rotation[0];
    d.rotationY = rotation[1];
    d.rotationZ = rotation[2];
    auto it = j.find("inserted");
    d.inserted = it != j.end() && it->is_boolean() && it->get<bool>();
    o.data = d;
  } else {
    if (error) *error = "unknown object kind \"" + kind + "\"";
    return std::nullopt;
  }
  return o;
}

Json LayerToJson(int number, const LayerState& layer) {
  Json j;
  j["number"] = number;
  j["name"] = layer.name;
  j["colour"] = layer.colour;
  j["on"] = layer.On();
  j["state"] = layer.state;
  return j;
}

bool LayerFromJson(const Json& j, int* number, LayerState* layer, std::string* error) {
  if (!j.is_object()) {
    if (error) *error = "a layer is not a JSON object";
    return false;
  }
  int64_t n, colour, state;
  if (!ReadInt(j, "number", 1, HSI_LAYER_COUNT, &n, error) ||
      !ReadString(j, "name", 17, &layer->name, error) ||
      !ReadInt(j, "colour", 0, 255, &colour, error) ||
      !ReadInt(j, "state", 0, 65535, &state, error))
    return false;
  *number = static_cast<int>(n);
  layer->colour = static_cast<int16_t>(colour);
  layer->state = static_cast<uint16_t>(state);
  return true;
}

Json UnitsToJson(const UnitSettings& u) {
  Json j;
  j["unitType"] = u.unitType;
  j["paperUnit"] = u.paperUnit;
  j["pointsPerUnit"] = u.pointsPerUnit;
  j["scaledUnits"] = u.scaledUnits;
  j["denominator"] = u.denominator;
  j["precision"] = u.precision;
  j["drawingScale"] = u.drawingScale;
  j["plotScale"] = u.plotScale;
  j["space"] = u.space;
  return j;
}

bool UnitsFromJson(const Json& j, UnitSettings* u, std::string* error) {
  if (!j.is_object()) {
    if (error) *error = "\"units\" is not a JSON object";
    return false;
  }
  int64_t unitType, paperUnit, ppu, scaled, denominator, precision, space;
  if (!ReadInt(j, "unitType", HSI_UNIT_INCHES, HSI_UNIT_FEET_INCHES, &unitType, error) ||
      !ReadInt(j, "paperUnit", HSI_UNIT_INCHES, HSI_UNIT_FEET_INCHES, &paperUnit, error) ||
      !ReadInt(j, "pointsPerUnit", 1, INT32_MAX, &ppu, error) ||
      !ReadInt(j, "scaledUnits", HSI_SCALED_FRACTIONS, HSI_SCALED_DECIMALS, &scaled, error) ||
      !ReadInt(j, "denominator", 1, 65536, &denominator, error) ||
      !ReadInt(j, "precision", 0, 10, &precision, error) ||
      !ReadDouble(j, "drawingScale", &u->drawingScale, error) ||
      !ReadDouble(j, "plotScale", &u->plotScale, error) ||
      !ReadInt(j, "space", 0, 1, &space, error))
    return false;
  if (!(u->drawingScale > 0) || !(u->plotScale > 0)) {
    if (error) *error = "scales must be positive";
    return false;
  }
  u->unitType = static_cast<uint16_t>(unitType);
  u->paperUnit = static_cast<uint16_t>(paperUnit);
  u->pointsPerUnit = static_cast<int32_t>(ppu);
  u->scaledUnits = static_cast<uint16_t>(scaled);
  u->denominator = static_cast<int>(denominator);
  u->precision = static_cast<int>(precision);
  u->space = static_cast<int>(space);
  return true;
}

bool LayerWorthListing(const Host& host, int number, bool used) {
  const LayerState& l = host.Layer(number);
  return used || number == host.ActiveLayer() || !l.name.empty() || !l.On() || l.colour != 0;
}

}  // namespace host
