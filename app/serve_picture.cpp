#include "serve_picture.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "platform/text.h"

namespace {

// A text as a JSON string (bytes that are not UTF-8 become U+FFFD).
void AppendJsonString(std::string& out, const std::string& text) {
  out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Number(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

// What decides how the references are drawn, short of their objects one by one (a reference's
// objects change only when it is regenerated, which changes what it holds or where).
uint64_t ReferencesDigest(const host::Host& h) {
  uint64_t d = 0xcbf29ce484222325ull;
  auto add = [&](uint64_t v) { d = (d ^ v) * 0x100000001b3ull; };
  auto addDouble = [&](double v) { add(std::hash<double>{}(v)); };
  for (const host::Reference& r : h.References()) {
    add(std::hash<std::string>{}(r.path));
    add(std::hash<std::string>{}(r.layerFile));
    add(static_cast<uint64_t>(r.layer));
    add(static_cast<uint64_t>(r.offset.x));
    add(static_cast<uint64_t>(r.offset.y));
    addDouble(r.scale);
    addDouble(r.rotation);
    add(r.visible);
    add(r.loaded);
    add(r.objects.size());
    for (const host::LayerState& l : r.layers) add(l.state);
  }
  return d;
}

}  // namespace

void LivePicture::SetGroup(Group& group, std::string svg) {
  if (svg == group.svg) return;
  group.svg = std::move(svg);
  group.version = version_ + 1;
}

void LivePicture::Update(const host::Host* h) {
  ++updates_;
  const uint64_t next = version_ + 1;
  bool changed = false;
  std::unordered_set<int32_t> selected;
  if (h) {
    if (const host::SelectionList* list = h->List(0)) {
      for (const HsiOslEntry& e : list->entries) selected.insert(e.id);
    }
  }
  // The shown objects and the pieces walk in step: both are in id order.
  std::vector<std::pair<Piece*, const host::Object*>> redraw;
  if (h) {
    auto it = pieces_.begin();
    for (const auto& [id, o] : h->Objects()) {
      if (!o.final || !h->Layer(o.layer).On()) continue;
      while (it != pieces_.end() && it->first < id) ++it;
      if (it == pieces_.end() || it->first != id) it = pieces_.emplace_hint(it, id, Piece{});
      Piece& piece = it->second;
      piece.seen = updates_;
      // The selection is part of the look: a selected object's piece carries its class.
      const uint64_t look =
          host::ObjectLook(*h, o) ^ (selected.count(id) ? 0x9e3779b97f4a7c15ull : 0);
      if (piece.version != 0 && piece.look == look && piece.layer == o.layer) continue;
      piece.look = look;
      piece.layer = o.layer;
      piece.box = h->ObjectBox(o);
      piece.version = next;
      redraw.emplace_back(&piece, &o);
    }
  }
  // Pieces no longer shown go; the others make the extent.
  host::Box extent;
  std::array<bool, HSI_LAYER_COUNT + 1> layers{};
  for (auto it = pieces_.begin(); it != pieces_.end();) {
    if (it->second.seen == updates_) {
      extent.Add(it->second.box);
      const int16_t layer = it->second.layer;
      if (layer >= 0 && layer <= HSI_LAYER_COUNT) layers[layer] = true;
      ++it;
      continue;
    }
    removed_.emplace_back(next, it->first);
    it = pieces_.erase(it);
    changed = true;
  }
  if (!h) {
    if (changed) version_ = next;
    return;
  }

  // The sheet: the extent of what is shown, as the whole SVG lays it out.
  const uint64_t references = ReferencesDigest(*h);
  if (references != referencesDigest_ || updates_ == 1)
    referencesExtent_ = host::ReferencesExtent(*h);
  extent.Add(referencesExtent_);
  const host::SvgSheet sheet = host::SheetFor(*h, extent);
  if (sheet.minX != sheet_.minX || sheet.minY != sheet_.minY || sheet.maxX != sheet_.maxX ||
      sheet.maxY != sheet_.maxY || sheet.scale != sheet_.scale || sheet.width != sheet_.width ||
      sheet.height != sheet_.height || sheet.margin != sheet_.margin) {
    sheet_ = sheet;
    changed = true;
  }
  // The pieces keep their scale while the sheet's stays within a factor of 16 of it (their
  // numbers then keep sheet-like sizes and precision); beyond, every piece is drawn anew and a
  // page takes the whole picture.
  const bool rescale = scale_ <= 0 || sheet.scale / scale_ > 16 || scale_ / sheet.scale > 16;
  if (rescale) {
    scale_ = std::exp2(std::round(std::log2(sheet.scale)));
    redraw.clear();
    for (auto& [id, piece] : pieces_) {
      if (const host::Object* o = h->Find(id)) {
        piece.version = next;
        redraw.emplace_back(&piece, o);
      }
    }
    base_ = next;
    removed_.clear();
    changed = true;
  }
  for (auto& [piece, o] : redraw) {
    piece->svg = platform::Utf8Text(host::ObjectPiece(*h, *o, scale_, selected.count(o->id) > 0));
    changed = true;
  }
  if (references != referencesDigest_ || rescale || updates_ == 1) {
    referencesDigest_ = references;
    SetGroup(references_, platform::Utf8Text(host::ReferencesPiece(*h, scale_)));
  }
  SetGroup(cursor_, platform::Utf8Text(host::CursorPiece(*h, scale_)));
  SetGroup(marks_, platform::Utf8Text(host::MarksPiece(*h, scale_)));
  if (references_.version == next || cursor_.version == next || marks_.version == next)
    changed = true;
  // The layers' names, for their groups.
  layerNames_.clear();
  for (int16_t layer = 0; layer <= HSI_LAYER_COUNT; ++layer) {
    if (layers[layer])
      layerNames_[layer] = platform::XmlText(platform::Utf8Text(h->Layer(layer).name));
  }
  if (!changed) return;
  version_ = next;
  // Removals are remembered until they outnumber the objects shown: a page further behind than
  // that takes the whole picture.
  if (removed_.size() > 2 * pieces_.size() + 1000) {
    removed_.clear();
    base_ = version_;
  }
}

std::string LivePicture::SheetJson() const {
  return "{\"minX\":" + Number(sheet_.minX) + ",\"minY\":" + Number(sheet_.minY) +
         ",\"maxX\":" + Number(sheet_.maxX) + ",\"maxY\":" + Number(sheet_.maxY) +
         ",\"scale\":" + Number(sheet_.scale) + ",\"margin\":" + Number(sheet_.margin) +
         ",\"width\":" + Number(sheet_.width) + ",\"height\":" + Number(sheet_.height) +
         ",\"pieces\":" + Number(scale_) + "}";
}

std::string LivePicture::Whole() {
  if (wholeVersion_ == version_ && !whole_.empty()) return whole_;
  auto f = [](double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return std::string(b);
  };
  const host::SvgSheet& s = sheet_;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + f(s.width) +
                    "\" height=\"" + f(s.height) + "\" viewBox=\"0 0 " + f(s.width) + " " +
                    f(s.height) + "\" data-min-x=\"" + f(s.minX) + "\" data-max-y=\"" + f(s.maxY) +
                    "\" data-scale=\"" + Number(s.scale) + "\" data-margin=\"" + f(s.margin) +
                    "\" data-max-x=\"" + f(s.maxX) + "\" data-min-y=\"" + f(s.minY) +
                    "\" data-pieces=\"" + Number(scale_) + "\">\n<g id=\"picture\" transform=\"" +
                    DrawingTransform() + "\">\n" + references_.svg;
  // The pieces by layer, in id order within each.
  std::map<int16_t, std::vector<const Piece*>> byLayer;
  for (const auto& [id, piece] : pieces_) byLayer[piece.layer].push_back(&piece);
  for (const auto& [layer, pieces] : byLayer) {
    const std::string& name = layerNames_[layer];
    svg += "<g id=\"layer-" + std::to_string(layer) + "\"" +
           (name.empty() ? "" : " data-name=\"" + name + "\"") + ">\n";
    for (const Piece* piece : pieces) svg += piece->svg;
    svg += "</g>\n";
  }
  svg += marks_.svg + cursor_.svg + "</g>\n</svg>\n";
  whole_ = "{\"whole\":true,\"svg\":";
  AppendJsonString(whole_, svg);
  whole_ += "}";
  wholeVersion_ = version_;
  return whole_;
}

std::string LivePicture::DrawingTransform() const {
  const host::SvgSheet& s = sheet_;
  return "translate(" + Number(s.margin - s.minX * s.scale) + " " +
         Number(s.margin + s.maxY * s.scale) + ") scale(" + Number(s.scale / scale_) + ")";
}

std::string LivePicture::Since(uint64_t have) {
  if (have == version_) return "";
  if (have == 0 || have < base_ || have > version_) return Whole();
  std::string out = "{\"whole\":false,\"sheet\":" + SheetJson() + ",\"transform\":\"" +
                    DrawingTransform() + "\",\"objects\":[";
  bool first = true;
  for (const auto& [id, piece] : pieces_) {
    if (piece.version <= have) continue;
    out += (first ? "[" : ",[") + std::to_string(id) + "," + std::to_string(piece.layer) + ",";
    AppendJsonString(out, piece.svg);
    out += "]";
    first = false;
  }
  out += "],\"removed\":[";
  first = true;
  for (const auto& [version, id] : removed_) {
    if (version <= have) continue;
    out += (first ? "" : ",") + std::to_string(id);
    first = false;
  }
  out += "]";
  const std::pair<const char*, const Group*> groups[] = {
      {"references", &references_}, {"cursor", &cursor_}, {"marks", &marks_}};
  for (const auto& [name, group] : groups) {
    if (group->version <= have) continue;
    out += ",\"" + std::string(name) + "\":";
    AppendJsonString(out, group->svg);
  }
  return out + "}";
}
