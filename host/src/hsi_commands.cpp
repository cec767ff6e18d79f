// The host interface, commands and messages: thin wrappers over the engine (host::Host); see hsi.h.
#include "hsi_internal.h"

using host::Host;
using host::Object;
using host::ObjectKind;
using namespace host::hsi;

extern "C" {
HsiStatus HsiMenuEntry(int16_t command, int16_t* x, int16_t* y) {
  Host* h = Enter("HsiMenuEntry", command, x, y);
  if (!h || command <= 0) return Fail(h);
  h->StartCommand(command, false);
  return HSI_SUCCESS;
}

HsiStatus HsiNestedMenuEntry(int16_t command, int16_t* x, int16_t* y) {
  Host* h = Enter("HsiNestedMenuEntry", command, x, y);
  if (!h || command <= 0) return Fail(h);
  h->StartCommand(command, true);
  return HSI_SUCCESS;
}

HsiStatus HsiCustomCallback(const char* title, int32_t flag) {
  Host* h = Enter("HsiCustomCallback", title, flag);
  if (!h || !title) return Fail(h);
  h->SetCallbackTitle(Field(title, 256));
  return HSI_SUCCESS;
}

HsiStatus HsiRunMacro(const char* file) {
  Host* h = Enter("HsiRunMacro", file);
  if (!h || !file || !*file) return Fail(h);
  return h->RunMacro(Field(file, HSI_PATH_SIZE)) ? HSI_SUCCESS : Fail(h, HSI_ERR_FILE);
}

HsiStatus HsiClearMenuEvent(void) {
  Host* h = Enter("HsiClearMenuEvent");
  return h ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiClearMenuSelection(void) {
  Host* h = Enter("HsiClearMenuSelection");
  return h ? HSI_SUCCESS : HSI_FAILURE;
}

HsiStatus HsiPutMsg(const char* text) {
  Host* h = Enter("HsiPutMsg", text);
  if (!h || !text) return Fail(h);
  h->PutMessage(Field(text, 1024));
  return HSI_SUCCESS;
}

HsiStatus HsiStatusLineUpdate(void) {
  Host* h = Enter("HsiStatusLineUpdate");
  if (!h) return HSI_FAILURE;
  h->StatusLineUpdate();
  return HSI_SUCCESS;
}

HsiStatus HsiRedraw(void) {
  Host* h = Enter("HsiRedraw");
  if (!h) return HSI_FAILURE;
  h->Redraw();
  return HSI_SUCCESS;
}

}  // extern "C"
