#include "dxf_common.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "file_text.h"
#include "host/colours.h"
#include "host/dxf.h"
#include "hsi/hsi.h"
#include "platform/files.h"

namespace host::dxf {

namespace {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb FromHsv(double hue, double s, double v) {
  double chroma = v * s, h = std::fmod(hue, 360.0) / 60.0;
  double x = chroma * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  Rgb c;
  if (h < 1)
    c = {chroma, x, 0};
  else if (h < 2)
    c = {x, chroma, 0};
  else if (h < 3)
    c = {0, chroma, x};
  else if (h < 4)
    c = {0, x, chroma};
  else if (h < 5)
    c = {x, 0, chroma};
  else
    c = {chroma, 0, x};
  double m = v - chroma;
  return {c.r + m, c.g + m, c.b + m};
}

// The colours the host shows its numbers in, from 0 to 1.
Rgb HostRgb(int c) {
  const ColourRgb rgb = ColourOf(c);
  return {rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0};
}

// The AutoCAD Color Index: 1..9 fixed, 10..249 hues in steps of 15 degrees, each in five
// shades with a full and a pale form, 250..255 greys.
Rgb AciRgb(int aci) {
  static const Rgb base[10] = {{0, 0, 0},       {1, 0, 0},         {1, 1, 0}, {0, 1, 0},
                               {0, 1, 1},       {0, 0, 1},         {1, 0, 1}, {1, 1, 1},
                               {0.5, 0.5, 0.5}, {0.75, 0.75, 0.75}};
  if (aci >= 0 && aci < 10) return base[aci];
  if (aci >= 250)
    return Rgb{0.2 + 0.16 * (aci - 250), 0.2 + 0.16 * (aci - 250), 0.2 + 0.16 * (aci - 250)};
  static const double shades[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
  int hue = (aci - 10) / 10, shade = (aci % 10) / 2;
  bool pale = aci % 2 == 1;
  return FromHsv(hue * 15.0, pale ? 0.5 : 1.0, shades[shade]);
}

double Distance2(Rgb a, Rgb b) {
  return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

}  // namespace

int AciFromHostColour(int colour) {
  if (colour <= 0 || colour > 255) return 256;
  if (colour < 10) return colour;
  Rgb want = HostRgb(colour);
  int best = 7;
  for (int aci = 1; aci <= 255; ++aci)
    if (Distance2(AciRgb(aci), want) < Distance2(AciRgb(best), want)) best = aci;
  return best;
}

int HostColourFromAci(int aci) {
  if (aci <= 0 || aci > 255) return 0;
  if (aci < 10) return aci;
  Rgb want = AciRgb(aci);
  int best = 7;
  for (int c = 1; c <= 255; ++c)
    if (Distance2(HostRgb(c), want) < Distance2(HostRgb(best), want)) best = c;
  return best;
}

int InsUnits(uint16_t unitType) {
  switch (unitType) {
    case HSI_UNIT_FEET:
      return 2;
    case HSI_UNIT_MILLIMETRES:
      return 4;
    case HSI_UNIT_CENTIMETRES:
      return 5;
    case HSI_UNIT_METRES:
      return 6;
    default:
      return 1;  // inches, and feet and inches
  }
}

int LinearUnits(uint16_t unitType) {
  switch (unitType) {
    case HSI_UNIT_FEET_INCHES:
      return 4;  // architectural
    case HSI_UNIT_FEET:
    case HSI_UNIT_INCHES:
      return 3;  // engineering
    default:
      return 2;  // decimal
  }
}

uint16_t UnitTypeOf(int insUnits, int linearUnits) {
  switch (insUnits) {
    case 2:
      return HSI_UNIT_FEET;
    case 4:
      return HSI_UNIT_MILLIMETRES;
    case 5:
      return HSI_UNIT_CENTIMETRES;
    case 6:
      return HSI_UNIT_METRES;
    case 1:
      return linearUnits == 4 ? HSI_UNIT_FEET_INCHES : HSI_UNIT_INCHES;
    default:
      return linearUnits == 4 ? HSI_UNIT_FEET_INCHES : HSI_UNIT_INCHES;
  }
}

double InchesPer(uint16_t unitType) { return 1.0 / UnitsPerInch(unitType); }

std::string LayerName(int number, const std::string& name) {
  if (name.empty()) return "LAYER" + std::to_string(number);
  std::string out;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    out += (u < 32 || std::string("<>/\\\":;?*|=`").find(c) != std::string::npos) ? '_' : c;
  }
  return out;
}

}  // namespace host::dxf

namespace host {

bool IsDxfPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".dxf";
}

}  // namespace host

namespace host::dxf {

bool WriteWhole(const std::string& path, const std::string& text, std::string* error) {
  const std::string part = path + ".part";
  if (!WriteWindowsFile(part, text, error)) return false;
  std::error_code ec;
  std::filesystem::path from = platform::ResolvePath(part);
  std::filesystem::rename(from, platform::ResolvePath(path), ec);
  if (ec) {
    std::filesystem::remove(from, ec);
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace host::dxf
