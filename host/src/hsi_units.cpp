// The host interface, units: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiGetUnitType(void) {
  Host* h = Enter("HsiGetUnitType");
  return h ? h->Units().unitType : HSI_UNIT_FEET_INCHES;
}

HsiStatus HsiSetUnitType(uint16_t unitType) {
  Host* h = Enter("HsiSetUnitType", unitType);
  if (!h) return HSI_FAILURE;
  return h->SetUnitType(unitType) ? HSI_SUCCESS : Fail(h);
}

HsiStatus HsiGetPaperUnit(void) {
  Host* h = Enter("HsiGetPaperUnit");
  return h ? h->Units().paperUnit : HSI_UNIT_INCHES;
}

HsiStatus HsiSetPaperUnit(uint16_t unitType) {
  Host* h = Enter("HsiSetPaperUnit", unitType);
  if (!h) return HSI_FAILURE;
  return h->SetPaperUnit(unitType) ? HSI_SUCCESS : Fail(h);
}

HsiStatus HsiGetScaledUnits(void) {
  Host* h = Enter("HsiGetScaledUnits");
  return h ? h->Units().scaledUnits : HSI_SCALED_FRACTIONS;
}

HsiStatus HsiSetScaledUnits(uint16_t mode) {
  Host* h = Enter("HsiSetScaledUnits", mode);
  if (!h) return HSI_FAILURE;
  return h->SetScaledUnits(mode) ? HSI_SUCCESS : Fail(h);
}

int32_t HsiGetPntsPerUnit(void) {
  Host* h = Enter("HsiGetPntsPerUnit");
  return h ? h->Units().pointsPerUnit : 0;
}

HsiStatus HsiSetPntsPerUnit(int32_t pointsPerUnit) {
  Host* h = Enter("HsiSetPntsPerUnit", pointsPerUnit);
  if (!h) return HSI_FAILURE;
  return h->SetPointsPerUnit(pointsPerUnit) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGetDispDenom(void) {
  Host* h = Enter("HsiGetDispDenom");
  return h ? static_cast<int16_t>(h->Units().denominator) : 0;
}

HsiStatus HsiSetDispDenom(int16_t denominator) {
  Host* h = Enter("HsiSetDispDenom", denominator);
  if (!h) return HSI_FAILURE;
  return h->SetDenominator(denominator) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGetDispPrecision(void) {
  Host* h = Enter("HsiGetDispPrecision");
  return h ? static_cast<int16_t>(h->Units().precision) : 0;
}

HsiStatus HsiSetDispPrecision(int16_t precision) {
  Host* h = Enter("HsiSetDispPrecision", precision);
  if (!h) return HSI_FAILURE;
  return h->SetPrecision(precision) ? HSI_SUCCESS : Fail(h);
}

double HsiGetDwgScale(void) {
  Host* h = Enter("HsiGetDwgScale");
  return h ? h->Units().drawingScale : 0.0;
}

HsiStatus HsiSetDwgScale(double scale) {
  Host* h = Enter("HsiSetDwgScale", scale);
  if (!h) return HSI_FAILURE;
  return h->SetDrawingScale(scale) ? HSI_SUCCESS : Fail(h);
}

HsiStatus HsiSetPlotScale(double scale) {
  Host* h = Enter("HsiSetPlotScale", scale);
  if (!h) return HSI_FAILURE;
  return h->SetPlotScale(scale) ? HSI_SUCCESS : Fail(h);
}

int16_t HsiGetSpace(void) {
  Host* h = Enter("HsiGetSpace");
  return h ? static_cast<int16_t>(h->Units().space) : 1;
}

HsiStatus HsiSetSpace(int16_t space) {
  Host* h = Enter("HsiSetSpace", space);
  if (!h) return HSI_FAILURE;
  return h->SetSpace(space) ? HSI_SUCCESS : Fail(h);
}

HsiStatus HsiDbutoString(int32_t dbu, char* text) {
  Host* h = Enter("HsiDbutoString", dbu, text ? "buffer" : nullptr);
  if (!h || !text) return Fail(h);
  CopyOut(text, HSI_UNIT_TEXT_SIZE, host::FormatLength(dbu, h->Units()));
  return HSI_SUCCESS;
}

HsiStatus HsiStringtoDbu(const char* text, int32_t* dbu) {
  Host* h = Enter("HsiStringtoDbu", text, dbu);
  if (!h || !text || !dbu) return Fail(h);
  auto value = host::ParseLength(Field(text, 4096), h->Units());
  if (!value) return Fail(h);
  *dbu = *value;
  return HSI_SUCCESS;
}

}  // extern "C"
