// What the DXF reader and writer share: colours, units and layer names.
#pragma once

#include <cstdint>
#include <string>

#include "host/units.h"

namespace host::dxf {

// The host's colour number nearest to an AutoCAD Color Index and back (1..9 are the same in both;
// the others go to the nearest colour of the other palette). 0 (by layer) is ACI 256.
int AciFromHostColour(int colour);
int HostColourFromAci(int aci);

// $INSUNITS and $LUNITS of the host's unit type, and the unit type of a file's $INSUNITS and
// $LUNITS (inches when the file has no unit the host knows).
int InsUnits(uint16_t unitType);
int LinearUnits(uint16_t unitType);
uint16_t UnitTypeOf(int insUnits, int linearUnits);
// How many of the unit make one inch (the host's own table).
double InchesPer(uint16_t unitType);

// The DXF name of a host layer: its own name made fit for DXF (characters DXF does not allow in
// names become '_'), "LAYERn" when it has none.
std::string LayerName(int number, const std::string& name);

// Writes the file whole or not at all: into a new file beside it, which then takes its place.
bool WriteWhole(const std::string& path, const std::string& text, std::string* error);

}  // namespace host::dxf
