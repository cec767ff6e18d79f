// The sample machine's layer standard: the layer files of every default plan type and group
// option, a drawing template and a sample drawing with walls, written through the host.
#include "sample_drawings.h"

#include <fstream>
#include <set>
#include <stdexcept>
#include <vector>

#include "host/host.h"
#include "platform/files.h"
#include "platform/system.h"

namespace tools {

namespace {

// Which door group a layer belongs to: 0 both (or none), 1 the first, 2 the second.
struct LayerDef {
  int number;
  const char* name;
  int colour;
  int group;
  const char* topic;
};

// The layer standard of the sample office. The door, note, wall, jamb and head layers of the
// toolset's default door groups are here with their numbers (group 1: 49, 33, 11, 14, 24; group
// 2: 50, 39, 16, 19, 28; demolition: 88, 89, 91).
const std::vector<LayerDef>& Standard() {
  static const std::vector<LayerDef> layers = {
      {1, "GENERAL", 7, 0, "general"},
      {2, "GRID", 8, 0, "grid"},
      {3, "REFERENCE", 9, 0, "general"},
      {11, "WALLS-1", 7, 1, "walls"},
      {14, "JAMBS-1", 7, 1, "walls"},
      {16, "WALLS-2", 5, 2, "walls"},
      {19, "JAMBS-2", 5, 2, "walls"},
      {24, "HEADERS-1", 3, 1, "headers"},
      {28, "HEADERS-2", 3, 2, "headers"},
      {33, "NOTES-1", 2, 1, "notes"},
      {39, "NOTES-2", 2, 2, "notes"},
      {49, "DOORS-1", 4, 1, "doors"},
      {50, "DOORS-2", 4, 2, "doors"},
      {60, "FURNITURE", 6, 0, "furniture"},
      {62, "EQUIPMENT", 6, 0, "equipment"},
      {64, "FINISHES", 3, 0, "finishes"},
      {66, "CEILING", 8, 0, "ceiling"},
      {68, "LIGHTING", 1, 0, "lighting"},
      {70, "POWER", 1, 0, "power"},
      {72, "PLUMBING", 5, 0, "plumbing"},
      {74, "MECHANICAL", 5, 0, "mechanical"},
      {76, "STRUCTURE", 7, 0, "structure"},
      {78, "SITE", 3, 0, "site"},
      {80, "DIMENSIONS", 2, 0, "dimensions"},
      {88, "DEMO", 1, 0, "demolition"},
      {89, "DEMO-NOTES", 1, 0, "demolition"},
      {91, "DEMO-HEADERS", 1, 0, "demolition"},
  };
  return layers;
}

// The toolset's default plan types: their layer file names and the topics each one shows.
struct PlanDef {
  const char* file;
  std::set<std::string> topics;
  int active;
};

const std::vector<PlanDef>& Plans() {
  static const std::vector<PlanDef> plans = {
      {"plan", {"general", "grid", "walls", "doors", "notes", "dimensions"}, 11},
      {"rcp", {"general", "walls", "headers", "ceiling", "lighting", "notes"}, 66},
      {"furn", {"general", "walls", "doors", "furniture", "notes"}, 60},
      {"fin", {"general", "walls", "doors", "finishes", "notes"}, 64},
      {"demo", {"general", "walls", "doors", "demolition", "notes"}, 88},
      {"equip", {"general", "walls", "doors", "equipment", "notes"}, 62},
      {"site", {"general", "site", "notes", "dimensions"}, 78},
      {"struct", {"general", "grid", "structure", "walls", "notes", "dimensions"}, 76},
      {"mech", {"general", "walls", "mechanical", "notes"}, 74},
      {"pwr", {"general", "walls", "doors", "power", "notes"}, 70},
      {"ltg", {"general", "walls", "ceiling", "lighting", "notes"}, 68},
      {"pwrltg", {"general", "walls", "doors", "power", "lighting", "notes"}, 70},
      {"plmg", {"general", "walls", "doors", "plumbing", "notes"}, 72},
  };
  return plans;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

int WriteLayerFiles(const std::filesystem::path& folder) {
  int count = 0;
  for (const PlanDef& plan : Plans()) {
    // Group options 1 and 2 show one door group's layers; 3 shows both.
    for (int option = 1; option <= 3; ++option) {
      std::filesystem::path path =
          folder / (std::string(plan.file) + std::to_string(option) + ".lyr");
      std::ofstream out(path, std::ios::binary);
      out << "TRACELON LAYERS 2\r\n";
      out << "# " << plan.file << " plan, group option " << option << "\r\n";
      for (const LayerDef& layer : Standard()) {
        bool shown = plan.topics.count(layer.topic) > 0 &&
                     (layer.group == 0 || option == 3 || layer.group == option);
        out << "LAYER " << layer.number << (shown ? " ON " : " OFF ") << layer.colour << " "
            << Quoted(layer.name) << "\r\n";
      }
      out << "ACTIVE " << plan.active << "\r\n";
      out << "END " << Standard().size() << "\r\n";
      if (!out) throw std::runtime_error("cannot write " + path.string());
      ++count;
    }
  }
  return count;
}

namespace {

// A host on the machine at `root`, with the sample office's units and layers: feet and inches,
// 1/8" = 1'-0", 8000 drawing units to the inch (so that the toolset's symbol scale of 96 gives
// symbols at their real size).
host::Host& StartOffice(const std::filesystem::path& root) {
  platform::Reset();
  platform::SetRoot(root);
  host::Host::Options options;
  options.readIni = false;
  host::Host& h = host::Host::Start(options);
  h.SetUnitType(HSI_UNIT_FEET_INCHES);
  h.SetPointsPerUnit(8000);
  h.SetScale(96.0);
  for (const LayerDef& layer : Standard()) {
    h.SetLayerName(layer.number, layer.name);
    h.SetLayerColour(layer.number, static_cast<int16_t>(layer.colour));
  }
  h.SetActiveLayer(11);
  return h;
}

void Save(host::Host& h, const std::string& path) {
  std::string error;
  if (!h.SaveDrawing(path, &error)) throw std::runtime_error(path + ": " + error);
}

constexpr int32_t kFoot = 96000;  // drawing units per foot at 8000 to the inch
constexpr int32_t kInch = 8000;

void Rectangle(host::Host& h, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int16_t layer) {
  h.AddLine({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}}, layer);
}

}  // namespace

void WriteDrawings(const std::filesystem::path& root) {
  {
    host::Host& h = StartOffice(root);
    h.SetDrawingDescription("Architectural drawing at 1/8\" = 1'-0\"");
    Save(h, "C:\\QXTOOLS\\template\\ARCH.VWF");
    host::Host::Stop();
  }
  {
    // A 30' x 20' building with 6" walls and a 4" partition: a wall is its two faces.
    host::Host& h = StartOffice(root);
    h.SetDrawingDescription("Sample office: walls to place doors, symbols and notes in");
    const int32_t w = 30 * kFoot, d = 20 * kFoot, t = 6 * kInch;
    Rectangle(h, 0, 0, w, d, 11);
    Rectangle(h, t, t, w - t, d - t, 11);
    const int32_t px = 18 * kFoot, p = 4 * kInch;
    h.AddLine({{px, t}, {px, d - t}}, 11);
    h.AddLine({{px + p, t}, {px + p, d - t}}, 11);
    Save(h, "C:\\TRACELON\\DRAWINGS\\SAMPLE.VWF");
    host::Host::Stop();
  }
  {
    // The office's furniture plan: desks and a table of its own, the walls shown by referencing
    // the sample drawing (the plan command points references at a plan type's layer file).
    host::Host& h = StartOffice(root);
    h.SetDrawingDescription("Sample office furniture plan: the walls are a reference");
    host::Reference walls;
    walls.path = "C:\\TRACELON\\DRAWINGS\\SAMPLE.VWF";
    h.AddReference(walls);
    for (int desk = 0; desk < 3; ++desk) {
      const int32_t x = (2 + 5 * desk) * kFoot;
      Rectangle(h, x, 2 * kFoot, x + 5 * kFoot, 2 * kFoot + 30 * kInch, 60);
    }
    Rectangle(h, 21 * kFoot, 7 * kFoot, 27 * kFoot, 13 * kFoot, 60);
    Save(h, "C:\\TRACELON\\DRAWINGS\\FURNITURE.VWF");
    host::Host::Stop();
  }
  platform::Reset();
}

}  // namespace tools
