// The drawing's objects and layers as JSON: the export and the drawing file share these forms.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "host/host.h"

namespace host {

using Json = nlohmann::ordered_json;

// An object in the export's form; `full` adds what a drawing file needs to rebuild it.
Json ObjectToJson(const Object& object, bool full);
// Reads an object written by ObjectToJson; nullopt with a reason when it is malformed.
std::optional<Object> ObjectFromJson(const Json& json, std::string* error);
Json LayerToJson(int number, const LayerState& layer);
bool LayerFromJson(const Json& json, int* number, LayerState* layer, std::string* error);
Json UnitsToJson(const UnitSettings& units);
bool UnitsFromJson(const Json& json, UnitSettings* units, std::string* error);
// The JSON text of `json` with every string made valid UTF-8 first (see platform::Utf8Text).
std::string DumpJson(Json json, int indent);
// Whether a layer belongs in the export: named, hidden, coloured, holding objects (`used`) or
// active.
bool LayerWorthListing(const Host& host, int number, bool used);

}  // namespace host
