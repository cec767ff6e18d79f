// The host's files: drawings (.VWF), layer files (.lyr), symbols (.SYM), macros (.CBX), and the
// references a drawing shows.
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "dxf_common.h"
#include "file_text.h"
#include "host/dxf.h"
#include "host/host.h"
#include "json_io.h"
#include "platform/files.h"

namespace host {

namespace {

constexpr size_t kMaxDrawingFile = 64u << 20;
constexpr size_t kMaxTextFile = 1u << 20;
constexpr const char* kDrawingFormat = "TRACELON DRAWING";

bool WholeNumber(const std::string& s, long lo, long hi, long* out) {
  if (s.empty() || s.size() > 10) return false;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size()) return false;
  for (size_t k = i; k < s.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
  long v = std::stol(s);
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

struct LayerFileEntry {
  int number = 0;
  LayerState state;
};

// Reads a layer file: "TRACELON LAYERS 1" or "2", then "LAYER N ON|OFF COLOUR "NAME"" lines and
// an optional "ACTIVE N". A version 2 file ends with "END N", N its number of LAYER lines, so a
// file cut short (even at a line end) is told from a whole one; version 1 files, often written by
// hand, have no such mark and are read as they are.
bool ParseLayerFile(const std::string& text, std::vector<LayerFileEntry>* entries, int* active,
                    std::string* error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  bool header = false;
  int version = 0;
  bool ended = false;
  while (std::getline(in, line)) {
    ++number;
    std::vector<TextWord> w;
    auto fail = [&](const std::string& why) {
      if (error) *error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (line.size() > 4096) return fail("line too long");
    if (!SplitWords(line, &w)) return fail("unclosed quote");
    if (w.empty() || (!w[0].quoted && w[0].text[0] == '#')) continue;
    if (!header) {
      if (w.size() != 3 || Upper(w[0].text) != "TRACELON" || Upper(w[1].text) != "LAYERS" ||
          (w[2].text != "1" && w[2].text != "2"))
        return fail("not a layer file (first line must be TRACELON LAYERS 1 or 2)");
      header = true;
      version = w[2].text == "2" ? 2 : 1;
      continue;
    }
    if (ended) return fail("text after END");
    std::string key = Upper(w[0].text);
    long n = 0, colour = 0;
    if (key == "LAYER") {
      if (w.size() != 5 || !WholeNumber(w[1].text, 1, HSI_LAYER_COUNT, &n) ||
          !WholeNumber(w[3].text, 0, 255, &colour) || !w[4].quoted || w[4].text.size() > 17)
        return fail("expected LAYER N ON|OFF COLOUR \"NAME\"");
      std::string state = Upper(w[2].text);
      if (state != "ON" && state != "OFF") return fail("the state must be ON or OFF");
      LayerFileEntry e;
      e.number = static_cast<int>(n);
      e.state.name = w[4].text;
      e.state.colour = static_cast<int16_t>(colour);
      e.state.state = state == "ON" ? HSI_LAYER_ON : HSI_LAYER_OFF;
      entries->push_back(e);
    } else if (key == "ACTIVE") {
      if (w.size() != 2 || !WholeNumber(w[1].text, 1, HSI_LAYER_COUNT, &n))
        return fail("expected ACTIVE N");
      *active = static_cast<int>(n);
    } else if (key == "END" && version == 2) {
      long count = 0;
      if (w.size() != 2 || !WholeNumber(w[1].text, 0, 1000000, &count))
        return fail("expected END N");
      if (count != static_cast<long>(entries->size()))
        return fail("END counts " + w[1].text + " layers, the file has " +
                    std::to_string(entries->size()));
      ended = true;
    } else {
      return fail("unknown statement " + w[0].text);
    }
  }
  if (!header) {
    if (error) *error = "empty file";
    return false;
  }
  if (version == 2 && !ended) {
    if (error)
      *error = "the file is cut short (no END line after line " + std::to_string(number) + ")";
    return false;
  }
  return true;
}

// A macro's wall thickness, "WALL 4 IN": a positive number and its unit (IN, FT, MM, CM or M),
// in inches; at most 100 feet, so that a wall stays a wall.
std::optional<double> WallThicknessInches(const std::string& number, const std::string& unit) {
  static const std::pair<const char*, double> kUnits[] = {
      {"IN", 1.0}, {"FT", 12.0}, {"MM", 1 / 25.4}, {"CM", 1 / 2.54}, {"M", 1 / 0.0254}};
  const char* begin = number.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (number.empty() || end != begin + number.size() || !(value > 0) || !std::isfinite(value))
    return std::nullopt;
  for (const auto& [name, inches] : kUnits) {
    if (Upper(unit) != name) continue;
    double thickness = value * inches;
    if (thickness > 1200) return std::nullopt;
    return thickness;
  }
  return std::nullopt;
}

bool IsThreeDSymbolFile(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot != std::string::npos && Upper(name.substr(dot)) == ".S3D";
}

bool HasFolder(const std::string& path) { return path.find_first_of("\\:/") != std::string::npos; }

}  // namespace

// ---- Symbols ---------------------------------------------------------------------------------

int32_t Host::LoadSymbolFile(const std::string& folder, const std::string& name, bool threeD,
                             std::string* error) {
  if (name.empty() || name.size() > 255) {
    if (error) *error = "bad symbol name";
    return 0;
  }
  std::string path = HasFolder(name) ? name : platform::JoinPath(folder, name);
  if (!HasFolder(name) && !platform::FileExists(path)) {
    // Not in the folder asked for: the host's own symbol folder of that kind.
    const std::string home = platform::JoinPath(threeD ? symbolHome3D_ : symbolHome_, name);
    if (platform::FileExists(home)) path = home;
  }
  std::string text, why;
  if (!ReadWindowsFile(path, kMaxTextFile, &text, &why)) {
    if (error) *error = why;
    return 0;
  }
  std::string shortName = name.substr(
      name.find_last_of("\\:/") == std::string::npos ? 0 : name.find_last_of("\\:/") + 1);
  // A 3D symbol file (".S3D") is loaded only as a 3D symbol, any other only as a 2D one, so a
  // caller in the wrong program mode learns of it.
  if (IsThreeDSymbolFile(shortName) != threeD) {
    if (error)
      *error = path + (threeD ? ": a 2D symbol file cannot be loaded as a 3D symbol"
                              : ": a 3D symbol file cannot be loaded as a 2D symbol");
    return 0;
  }
  auto def = ParseSymbol(text, shortName, &why);
  if (!def) {
    if (error) *error = path + ": " + why;
    return 0;
  }
  def->is3D = threeD;
  int32_t id = FindSymbol(shortName);
  if (id != 0) {
    symbols_[static_cast<size_t>(id) - 1] = *def;
    // Instances of a reloaded symbol take its new extent.
    for (const auto& [oid, o] : objects_)
      if (o.Kind() == ObjectKind::Symbol && host::get<SymbolData>(o.data).symbol == id)
        IndexObject(o);
    return id;
  }
  symbols_.push_back(std::move(*def));
  return static_cast<int32_t>(symbols_.size());
}

// ---- Drawings --------------------------------------------------------------------------------

bool Host::SaveDrawing(const std::string& path, std::string* error) {
  if (IsDxfPath(path)) {
    std::string dxf;
    if (!DrawingToDxf(*this, &dxf, error) || !dxf::WriteWhole(path, dxf, error)) return false;
    drawingPath_ = path;
    return true;
  }
  Json j;
  j["format"] = kDrawingFormat;
  j["version"] = 1;
  j["description"] = description_;
  j["activeLayer"] = activeLayer_;
  j["currentColour"] = currentColour_;
  j["progMode"] = progMode_ == HSI_MODE_3D ? "3d" : "2d";
  j["snapMode"] = snapMode_;
  j["snapAngle"] = snapAngle_;
  j["units"] = UnitsToJson(units_);
  Json layers = Json::array();
  for (int n = 1; n <= HSI_LAYER_COUNT; ++n) layers.push_back(LayerToJson(n, layers_[n]));
  j["layers"] = layers;
  Json objects = Json::array();
  std::vector<bool> symbolUsed(symbols_.size() + 1, false);
  for (const auto& [id, o] : objects_) {
    if (!o.final) continue;
    objects.push_back(ObjectToJson(o, true));
    if (o.Kind() == ObjectKind::Symbol) {
      int32_t s = host::get<SymbolData>(o.data).symbol;
      if (s > 0 && static_cast<size_t>(s) <= symbols_.size()) symbolUsed[s] = true;
    }
  }
  j["objects"] = objects;
  Json symbols = Json::array();
  for (size_t i = 0; i < symbols_.size(); ++i)
    if (symbolUsed[i + 1])
      symbols.push_back(Json{{"name", symbols_[i].name}, {"text", WriteSymbol(symbols_[i])}});
  j["symbols"] = symbols;
  Json refs = Json::array();
  for (const auto& r : references_) {
    refs.push_back(Json{{"path", r.path},
                        {"layerFile", r.layerFile},
                        {"layer", r.layer},
                        {"offset", Json::array({r.offset.x, r.offset.y})},
                        {"scale", r.scale},
                        {"rotation", r.rotation},
                        {"visible", r.visible}});
  }
  j["references"] = refs;
  if (!WriteWindowsFile(path, DumpJson(std::move(j), 1) + "\n", error)) return false;
  drawingPath_ = path;
  return true;
}

bool Host::OpenDrawing(const std::string& path, std::string* error) {
  try {
    return OpenDrawingFile(path, error);
  } catch (const std::exception& e) {
    // A value of the wrong type: nothing of the drawing has been replaced yet.
    if (error) *error = path + ": " + e.what();
    return false;
  }
}

bool Host::OpenDrawingFile(const std::string& path, std::string* error) {
  std::string text, why;
  auto fail = [&](const std::string& reason) {
    if (error) *error = path + ": " + reason;
    return false;
  };
  if (!ReadWindowsFile(path, kMaxDrawingFile, &text, &why)) {
    if (error) *error = why;
    return false;
  }
  // A DXF is read into a drawing file's text first, then opened like one.
  std::string dxfNote;
  if (IsDxfPath(path) && !DxfToDrawingFile(std::string(text), &text, &dxfNote, &why))
    return fail(why);
  Json j = Json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return fail("not a drawing file (bad JSON)");
  if (j.value("format", std::string()) != kDrawingFormat || j.value("version", 0) != 1)
    return fail("not a drawing file of this host");

  // Everything is read before anything of the current drawing changes.
  UnitSettings units;
  if (!j.contains("units") || !UnitsFromJson(j["units"], &units, &why)) return fail(why);
  std::array<LayerState, HSI_LAYER_COUNT + 1> layers{};
  if (j.contains("layers")) {
    if (!j["layers"].is_array()) return fail("\"layers\" is not a list");
    for (const auto& l : j["layers"]) {
      int n;
      LayerState s;
      if (!LayerFromJson(l, &n, &s, &why)) return fail(why);
      layers[n] = s;
    }
  }
  std::vector<SymbolDef> defs;
  if (j.contains("symbols")) {
    if (!j["symbols"].is_array()) return fail("\"symbols\" is not a list");
    for (const auto& s : j["symbols"]) {
      if (!s.is_object() || !s.contains("name") || !s["name"].is_string() || !s.contains("text") ||
          !s["text"].is_string())
        return fail("bad symbol entry");
      auto def =
          ParseSymbol(s["text"].get<std::string>(), s["name"].get<std::string>(), &why, true);
      if (!def) return fail("symbol " + s["name"].get<std::string>() + ": " + why);
      defs.push_back(std::move(*def));
    }
  }
  std::vector<Object> objects;
  if (!j.contains("objects") || !j["objects"].is_array()) return fail("no \"objects\" list");
  for (const auto& jo : j["objects"]) {
    auto o = ObjectFromJson(jo, &why);
    if (!o) return fail(why);
    objects.push_back(std::move(*o));
  }
  std::vector<Reference> refs;
  if (j.contains("references")) {
    if (!j["references"].is_array()) return fail("\"references\" is not a list");
    for (const auto& r : j["references"]) {
      Reference ref;
      if (!r.is_object() || !r.contains("path") || !r["path"].is_string())
        return fail("bad reference");
      ref.path = r["path"].get<std::string>();
      ref.layerFile = r.value("layerFile", std::string());
      ref.layer = static_cast<int16_t>(r.value("layer", 0));
      if (r.contains("offset") && r["offset"].is_array() && r["offset"].size() == 2 &&
          r["offset"][0].is_number_integer() && r["offset"][1].is_number_integer())
        ref.offset = {r["offset"][0].get<int32_t>(), r["offset"][1].get<int32_t>()};
      ref.scale = r.value("scale", 1.0);
      ref.rotation = r.value("rotation", 0.0);
      ref.visible = r.value("visible", true);
      if (ref.path.size() > 111 || ref.layerFile.size() > 255 || ref.layer < 0 ||
          ref.layer > HSI_LAYER_COUNT || !(ref.scale > 0))
        return fail("bad reference");
      refs.push_back(ref);
    }
  }
  int64_t active = j.value("activeLayer", 1);
  if (active < 1 || active > HSI_LAYER_COUNT) return fail("bad \"activeLayer\"");
  int64_t colour = j.value("currentColour", 7);
  if (colour < 0 || colour > 255) return fail("bad \"currentColour\"");
  bool threeD = j.value("progMode", std::string("2d")) == "3d";
  int64_t snap = j.value("snapMode", 0);
  if (snap < 0 || snap > 15) return fail("bad \"snapMode\"");
  double snapAngle = j.value("snapAngle", 45.0);
  std::string description = j.value("description", std::string());

  // Replace the drawing.
  objects_.Clear();
  index_.Clear();
  for (auto& [n, list] : lists_) {
    list.entries.clear();
    list.scan = 0;
  }
  ClearHistory();
  cursor_ = CursorImage{};
  marks_.clear();
  lastPoint_.reset();  // relative points in the new drawing start from its origin
  units_ = units;
  layers_ = layers;
  activeLayer_ = static_cast<int16_t>(active);
  layers_[activeLayer_].state = HSI_LAYER_ON;
  currentColour_ = static_cast<int16_t>(colour);
  progMode_ = threeD ? HSI_MODE_3D : HSI_MODE_2D;
  SetSnapMode(static_cast<int>(snap));
  snapAngle_ = snapAngle;
  description_ = description.substr(0, 255);
  for (auto& def : defs) {
    int32_t id = FindSymbol(def.name);
    if (id != 0) {
      symbols_[static_cast<size_t>(id) - 1] = def;
    } else {
      symbols_.push_back(def);
    }
  }
  for (auto& o : objects) {
    if (auto* s = host::get_if<SymbolData>(&o.data)) s->symbol = FindSymbol(s->name);
    o.id = NextId();
    o.final = true;
    IndexObject(objects_.Put(o));
  }
  references_ = refs;
  drawingPath_ = path;
  RegenerateReferences();
  if (!dxfNote.empty()) PutMessage(dxfNote);
  return true;
}

// ---- Layer files -----------------------------------------------------------------------------

bool Host::LoadLayerFile(const std::string& path, std::string* error) {
  std::string text, why;
  if (!ReadWindowsFile(path, kMaxTextFile, &text, &why)) {
    if (error) *error = why;
    return false;
  }
  std::vector<LayerFileEntry> entries;
  int active = 0;
  if (!ParseLayerFile(text, &entries, &active, &why)) {
    if (error) *error = path + ": " + why;
    return false;
  }
  if (active != 0) SetActiveLayer(active);
  for (const auto& e : entries) {
    LayerState s = e.state;
    if (e.number == activeLayer_) s.state = HSI_LAYER_ON;  // the active layer stays shown
    layers_[e.number] = s;
  }
  return true;
}

// ---- Macros ----------------------------------------------------------------------------------

bool Host::RunMacro(const std::string& file, std::string* error) {
  std::string path = HasFolder(file) ? file : platform::JoinPath(Path(HSI_PATH_MACROS), file);
  std::string text, why;
  if (!ReadWindowsFile(path, kMaxTextFile, &text, &why)) {
    if (error) *error = why;
    return false;
  }
  // Check the whole macro before it runs.
  struct Step {
    std::string key;
    std::vector<TextWord> words;
  };
  std::vector<Step> steps;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  bool header = false;
  while (std::getline(in, line)) {
    ++number;
    std::vector<TextWord> w;
    auto fail = [&](const std::string& reason) {
      if (error) *error = path + ": line " + std::to_string(number) + ": " + reason;
      return false;
    };
    if (line.size() > 4096 || !SplitWords(line, &w)) return fail("unreadable line");
    if (w.empty() || (!w[0].quoted && w[0].text[0] == '#')) continue;
    if (!header) {
      if (w.size() != 3 || Upper(w[0].text) != "TRACELON" || Upper(w[1].text) != "MACRO" ||
          w[2].text != "1")
        return fail("not a macro (first line must be TRACELON MACRO 1)");
      header = true;
      continue;
    }
    std::string key = Upper(w[0].text);
    long n, m;
    bool ok =
        (key == "COMMAND" && w.size() == 2 && WholeNumber(w[1].text, 1, 32767, &n)) ||
        (key == "MESSAGE" && w.size() == 2 && w[1].quoted) ||
        (key == "LAYER" && w.size() == 3 && WholeNumber(w[1].text, 1, HSI_LAYER_COUNT, &n) &&
         (Upper(w[2].text) == "ON" || Upper(w[2].text) == "OFF")) ||
        (key == "ACTIVE" && w.size() == 2 && WholeNumber(w[1].text, 1, HSI_LAYER_COUNT, &n)) ||
        (key == "SNAP" && w.size() == 2 && WholeNumber(w[1].text, 0, 15, &n)) ||
        (key == "COLOUR" && w.size() == 2 && WholeNumber(w[1].text, 0, 255, &m)) ||
        (key == "WALL" && w.size() == 3 && WallThicknessInches(w[1].text, w[2].text));
    if (!ok) return fail("bad statement");
    steps.push_back(Step{key, w});
  }
  if (!header) {
    if (error) *error = path + ": empty macro";
    return false;
  }
  macrosRun_.push_back(path);
  Notify(HostEvent::Kind::MacroRun, path);
  for (const auto& s : steps) {
    if (s.key == "COMMAND") {
      StartCommand(std::stoi(s.words[1].text), false);
    } else if (s.key == "MESSAGE") {
      PutMessage(s.words[1].text);
    } else if (s.key == "LAYER") {
      SetLayerOn(std::stoi(s.words[1].text), Upper(s.words[2].text) == "ON");
    } else if (s.key == "ACTIVE") {
      SetActiveLayer(std::stoi(s.words[1].text));
    } else if (s.key == "SNAP") {
      SetSnapMode(std::stoi(s.words[1].text));
    } else if (s.key == "COLOUR") {
      currentColour_ = static_cast<int16_t>(std::stoi(s.words[1].text));
    } else if (s.key == "WALL") {
      SetWallThickness(*WallThicknessInches(s.words[1].text, s.words[2].text));
    }
  }
  return true;
}

// ---- References ------------------------------------------------------------------------------

void Host::AddReference(const Reference& reference) { references_.push_back(reference); }

bool Host::RegenerateReferences() {
  bool all = true;
  for (auto& ref : references_) {
    try {
      if (!RegenerateReference(ref)) all = false;
    } catch (const std::exception&) {
      ref.objects.clear();
      ref.loaded = false;
      all = false;
    }
  }
  return all;
}

bool Host::RegenerateReference(Reference& ref) {
  bool all = true;
  {
    ref.objects.clear();
    ref.loaded = false;
    ref.layers = {};
    std::string text, why;
    if (!ReadWindowsFile(ref.path, kMaxDrawingFile, &text, &why)) return false;
    Json j = Json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("objects") || !j["objects"].is_array())
      return false;
    if (j.contains("layers") && j["layers"].is_array()) {
      for (const auto& l : j["layers"]) {
        int n;
        LayerState s;
        if (LayerFromJson(l, &n, &s, &why)) ref.layers[n] = s;
      }
    }
    bool ok = true;
    for (const auto& jo : j["objects"]) {
      auto o = ObjectFromJson(jo, &why);
      if (!o) {
        ok = false;
        break;
      }
      if (auto* s = host::get_if<SymbolData>(&o->data)) s->symbol = FindSymbol(s->name);
      ref.objects.push_back(std::move(*o));
    }
    if (!ok) {
      ref.objects.clear();
      return false;
    }
    if (!ref.layerFile.empty()) {
      std::string lyr;
      std::vector<LayerFileEntry> entries;
      int active = 0;
      if (ReadWindowsFile(ref.layerFile, kMaxTextFile, &lyr, &why) &&
          ParseLayerFile(lyr, &entries, &active, &why)) {
        for (const auto& e : entries) ref.layers[e.number] = e.state;
      } else {
        all = false;
      }
    }
    ref.loaded = true;
  }
  return all;
}

}  // namespace host
