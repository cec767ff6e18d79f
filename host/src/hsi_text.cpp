// The host interface, text: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiGetFontName(int16_t font, char* name) {
  Host* h = Enter("HsiGetFontName", font, name ? "buffer" : nullptr);
  static const char* kFonts[5] = {"Standard", "Monotxt", "Roman", "Italic", "Heavy"};
  if (!h || !name || font < 0 || font > 4) return Fail(h);
  CopyOut(name, HSI_FONT_NAME_SIZE, kFonts[font]);
  return HSI_SUCCESS;
}

HsiStatus HsiGetTrueTypeInfo(HsiTrueTypeSettings* settings) {
  Host* h = Enter("HsiGetTrueTypeInfo", settings);
  if (!h || !settings) return Fail(h);
  std::memcpy(settings, &h->trueType, sizeof *settings);
  return HSI_SUCCESS;
}

HsiStatus HsiSetTrueTypeInfo(const HsiTrueTypeSettings* settings) {
  Host* h = Enter("HsiSetTrueTypeInfo", settings);
  if (!h || !settings) return Fail(h);
  HsiTrueTypeSettings s;
  std::memcpy(&s, settings, sizeof s);
  if (!std::isfinite(s.plainWidth) || s.plainWidth < 0 || !std::isfinite(s.orientation) ||
      s.plainAlign < 0 || s.plainAlign > 2)
    return Fail(h);
  s.face[sizeof s.face - 1] = '\0';
  h->trueType = s;
  return HSI_SUCCESS;
}

}  // extern "C"
