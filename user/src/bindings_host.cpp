// The scripted user's set-up lines for the stand-in host, and where the session is installed.
#include <optional>
#include <stdexcept>

#include "bindings.h"
#include "host/host.h"
#include "platform/system.h"
#include "user/session.h"

namespace user::bindings {

void Install(Session* session) {
  platform::SetUiDriver(session);
  if (host::Host* current = host::Host::Current()) {
    current->SetInputSource(session);
    current->SetObserver(session);
  }
}

bool TypedInputWaiting() {
  const host::Host* h = host::Host::Current();
  return h && h->TypedInputWaiting();
}

void RunHostTools() {
  if (host::Host* h = host::Host::Current()) h->RunPendingTools();
}

namespace {

int32_t Int(const ScriptLine& line, size_t index) {
  return static_cast<int32_t>(*ParseInteger(line.Arg(index)));
}

// The value after the keyword `word` among the line's words from `from` on, or `otherwise`.
int32_t Option(const ScriptLine& line, size_t from, const char* word, int32_t otherwise) {
  for (size_t i = from; i + 1 < line.Count(); ++i) {
    if (!line.words[i].quoted && line.Arg(i) == word) return Int(line, i + 1);
  }
  return otherwise;
}

void Require(bool done, const std::string& what) {
  if (!done) throw std::invalid_argument("the host refused: " + what);
}

// What the host reports for `host busy on`: a command of its own runs, as while it waits.
constexpr int16_t kHostBusyCommand = 1;

uint16_t UnitType(const std::string& unit) {
  if (unit == "feet-inches") return HSI_UNIT_FEET_INCHES;
  if (unit == "feet") return HSI_UNIT_FEET;
  if (unit == "inches") return HSI_UNIT_INCHES;
  if (unit == "millimetres") return HSI_UNIT_MILLIMETRES;
  if (unit == "centimetres") return HSI_UNIT_CENTIMETRES;
  return HSI_UNIT_METRES;
}

}  // namespace

void ApplyHostLine(const ScriptLine& line, int64_t dx, int64_t dy) {
  host::Host* h = host::Host::Current();
  if (!h) throw std::invalid_argument("no host is running");
  const std::string& what = line.Arg(1);
  std::string error;
  if (what == "line") {
    std::vector<host::Point> points;
    size_t i = 2;
    for (; i + 1 < line.Count() && line.Arg(i) != "layer"; i += 2) {
      points.push_back({Int(line, i), Int(line, i + 1)});
    }
    Require(h->AddLine(points, static_cast<int16_t>(Option(line, i, "layer", 0))) != 0,
            "the line (check the layer)");
  } else if (what == "arc") {
    Require(
        h->AddArc({Int(line, 2), Int(line, 3)}, Int(line, 4), *ParseReal(line.Arg(5)),
                  *ParseReal(line.Arg(6)), static_cast<int16_t>(Option(line, 7, "layer", 0))) != 0,
        "the arc (check the radius and the layer)");
  } else if (what == "text") {
    Require(h->AddText({Int(line, 2), Int(line, 3)}, line.Arg(4), Option(line, 5, "size", 0),
                       static_cast<int16_t>(Option(line, 5, "layer", 0))) != 0,
            "the text (check the size and the layer)");
  } else if (what == "symbol") {
    int32_t id = h->AddSymbol(line.Arg(2), {Int(line, 3), Int(line, 4)},
                              static_cast<int16_t>(Option(line, 5, "layer", 0)), &error);
    Require(id != 0, "the symbol " + line.Arg(2) + (error.empty() ? "" : ": " + error));
  } else if (what == "select") {
    if (line.Arg(2) == "none") {
      h->SelectNone();
    } else if (!h->SelectNearest({Int(line, 2), Int(line, 3)})) {
      throw std::invalid_argument("nothing to select near " + line.Arg(2) + "," + line.Arg(3));
    }
  } else if (what == "erase") {
    // The user's selection goes as one operation, so that one undo brings it back whole.
    const host::SelectionList* selection = h->List(0);
    if (!selection || selection->entries.empty())
      throw std::invalid_argument("nothing is selected to erase");
    h->DeleteListed(0);
  } else if (what == "undo") {
    if (!h->UndoLast()) throw std::invalid_argument("there is nothing to undo");
  } else if (what == "layer") {
    int layer = Int(line, 2);
    if (line.Arg(3) == "name") {
      Require(h->SetLayerName(layer, line.Arg(4)), "the layer name (layers are 1 to 255)");
    } else {
      Require(h->SetLayerOn(layer, line.Arg(3) == "on"), "the layer (layers are 1 to 255)");
    }
  } else if (what == "active") {
    Require(h->SetActiveLayer(Int(line, 2)), "the active layer (layers are 1 to 255)");
  } else if (what == "units") {
    Require(h->SetUnitType(UnitType(line.Arg(2))), "the unit " + line.Arg(2));
  } else if (what == "ppu") {
    Require(h->SetPointsPerUnit(Int(line, 2)), "the points per unit " + line.Arg(2));
  } else if (what == "scale") {
    Require(h->SetScale(*ParseReal(line.Arg(2))), "the scale " + line.Arg(2));
  } else if (what == "mode") {
    h->SetProgMode3D(line.Arg(2) == "3d");
  } else if (what == "snap") {
    // One mode, or several in force together in the order given.
    std::vector<int> modes;
    for (size_t i = 2; i < line.Count(); ++i) modes.push_back(Int(line, i));
    Require(modes.size() == 1 ? h->SetSnapMode(modes[0]) : h->SetSnapModes(modes),
            "the snap modes (0 to 15, several only from 1 to 15)");
  } else if (what == "grid") {
    std::optional<int32_t> spacing = host::ParseLength(line.Arg(2), h->Units());
    Require(spacing && *spacing > 0 && h->SetGridSpacing(*spacing),
            "the grid spacing " + line.Arg(2) + " (a length in the drawing's units)");
  } else if (what == "snapangle") {
    h->SetSnapAngle(*ParseReal(line.Arg(2)));
  } else if (what == "snap3d") {
    Require(h->SetSnap3DMode(Int(line, 2)), "the 3D snap mode " + line.Arg(2));
  } else if (what == "busy") {
    // The host's own command runs (or ends) while a toolbar is open: HsiGetActiveCommand reports
    // it.
    h->SetActiveCommand(line.Arg(2) == "on" ? kHostBusyCommand : 0);
  } else if (what == "aperture") {
    Require(h->SetAperture(*ParseReal(line.Arg(2))),
            "the aperture " + line.Arg(2) + " (inches of paper, more than 0)");
  } else if (what == "open") {
    // Opened first: the refusal's reason is known only afterwards.
    const bool opened = h->OpenDrawing(line.Arg(2), &error);
    Require(opened, "the drawing " + line.Arg(2) + (error.empty() ? "" : ": " + error));
    if (dx != 0 || dy != 0) h->ShiftDrawing(dx, dy);
  } else {
    throw std::invalid_argument("unknown host set-up \"" + what + "\"");
  }
}

}  // namespace user::bindings
