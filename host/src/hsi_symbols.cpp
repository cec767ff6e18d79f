// The host interface, symbols, files and references: thin wrappers over the engine (host::Host);
// see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
int32_t HsiLoadSymFile(int16_t mode, const char* folder, const char* name, uint16_t flag) {
  Host* h = Enter("HsiLoadSymFile", mode, folder, name, flag);
  if (!h || !name || !*name) return Fail(h);
  std::string dir = folder ? Field(folder, HSI_PATH_SIZE) : h->Path(HSI_PATH_SYMBOLS);
  std::string why;
  int32_t id = h->LoadSymbolFile(dir, Field(name, 256), mode == 5, &why);
  if (id == 0) {
    // The caller learns only that it failed; the message line says why, as for drawings.
    h->PutMessage("Cannot load the symbol: " + why);
    return Fail(h, HSI_ERR_FILE);
  }
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
  std::string why;
  if (kind == HSI_LOAD_DRAWING) {
    ok = h->OpenDrawing(file, &why);
  } else if (kind == HSI_LOAD_LAYERS) {
    ok = h->LoadLayerFile(file, &why);
  } else {
    return Fail(h);
  }
  if (ok) return HSI_SUCCESS;
  // The host says on its message line what it could not load, as when a person opens the file.
  h->PutMessage(std::string(kind == HSI_LOAD_DRAWING ? "Cannot open the drawing: "
                                                     : "Cannot load the layer file: ") +
                why);
  return Fail(h, HSI_ERR_FILE);
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

}  // extern "C"
