// The host's unit system and its unit notation: lengths in drawing units (DBU) shown and read as
// feet and inches with fractions, decimal inches or feet, millimetres, centimetres or metres.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hsi/hsi.h"

namespace host {

struct UnitSettings {
  uint16_t unitType = HSI_UNIT_FEET_INCHES;
  uint16_t paperUnit = HSI_UNIT_INCHES;
  uint16_t scaledUnits = HSI_SCALED_FRACTIONS;
  int32_t pointsPerUnit = 768000;  // DBU per unit of the unit type (per inch for feet-inches)
  int denominator = 32;            // fraction accuracy 1/n
  int precision = 2;               // decimal places
  double drawingScale = 1.0;       // drawing units (of the unit type) per paper unit
  double plotScale = 1.0;
  int space = 1;  // 0 paper: lengths are paper lengths in the paper unit; 1 drawing
};

bool IsUnitType(uint16_t code);
// How many of the unit make one inch: inches and feet-inches 1, feet 1/12, mm 25.4, ...
double UnitsPerInch(uint16_t unitType);
// The unit the notation uses in the current space, and the DBU that make one of it.
uint16_t NotationUnit(const UnitSettings& units);
double DbuPerNotationUnit(const UnitSettings& units);
// DBU that make one inch of paper.
double DbuPerPaperInch(const UnitSettings& units);

// `dbu` in the host's notation under `units` (at most HSI_UNIT_TEXT_SIZE - 1 characters).
std::string FormatLength(int32_t dbu, const UnitSettings& units);
// Reads a length in the host's notation; nullopt when the text is not a length or does not fit.
std::optional<int32_t> ParseLength(std::string_view text, const UnitSettings& units);

// Unit names used by the session set-up ("feet-inches", "millimetres", ...), and back.
std::optional<uint16_t> UnitTypeFromName(std::string_view name);
std::string UnitTypeName(uint16_t unitType);

}  // namespace host
