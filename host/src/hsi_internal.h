// The host interface's shared plumbing: the call log's argument texts, entering a call (logging
// it and finding the current host), failing with an error number, and reading and writing the
// callers' fixed text fields. Each group of functions of hsi.h is a thin wrapper over the engine
// (host::Host) in its own file, hsi_<group>.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "host/host.h"

namespace host::hsi {

// ---- Logging -----------------------------------------------------------------------------------

inline std::string Quoted(const char* s) {
  if (!s) return "null";
  std::string out = "\"";
  for (const char* p = s; *p && out.size() < 300; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    if (*p == '\r') {
      out += "\\r";
    } else if (*p == '\n') {
      out += "\\n";
    } else {
      out += *p;
    }
  }
  return out + "\"";
}

inline std::string Arg(const char* s) { return Quoted(s); }
inline std::string Arg(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}
inline std::string Arg(const HsiPoint* p) {
  if (!p) return "null";
  return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + ")";
}
inline std::string Arg(HsiPoint* p) { return Arg(static_cast<const HsiPoint*>(p)); }
inline std::string Arg(const HsiPoint3D* p) {
  if (!p) return "null";
  return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + "," + std::to_string(p->z) + ")";
}
inline std::string Arg(HsiPoint3D* p) { return Arg(static_cast<const HsiPoint3D*>(p)); }
inline std::string Arg(const HsiOslEntry* e) {
  if (!e) return "null";
  return "{" + std::to_string(e->id) + "," + std::to_string(e->segment) + "," +
         std::to_string(e->reserved) + "}";
}
template <typename T>
requires std::is_integral_v<T> std::string Arg(T v) { return std::to_string(v); }
template <typename T>
requires(std::is_pointer_v<T> && !std::is_same_v<T, const char*> &&
         !std::is_same_v<T, char*>) std::string Arg(T p) {
  return p ? "ptr" : "null";
}

}  // namespace host::hsi

namespace host::detail {
// The current host (Host::Current), read directly by the interface's calls.
extern Host* g_currentHost;
}  // namespace host::detail

namespace host::hsi {

template <typename... A>
[[gnu::noinline]] Host* EnterLogged(Host* h, const char* name, A... args) {
  std::string text;
  ((text += (text.empty() ? "" : ", ") + Arg(args)), ...);
  h->LogCall(name, text);
  return h;
}

// The current host for a call, the call logged when the host keeps its log. Without a log the
// arguments are never formatted and nothing but this test is added to the call: a call costs
// what its work costs.
// The arguments (C values: numbers, pointers) are taken by value, so that a call without the log
// does not first store them for a reference.
template <typename... A>
inline Host* Enter(const char* name, A... args) {
  Host* h = detail::g_currentHost;
  if (!h || !h->RecordsCalls()) [[likely]]
    return h;
  return EnterLogged(h, name, args...);
}

inline HsiStatus Fail(Host* h, int16_t number = HSI_ERR_BAD_ARGUMENT) {
  if (h) h->SetError(number);
  return HSI_FAILURE;
}

// Text from a fixed field: up to its NUL or its end.
inline std::string Field(const char* data, size_t size) {
  return std::string(data, strnlen(data, size));
}

inline void CopyOut(char* buffer, size_t size, const std::string& text) {
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

inline bool ValidLayer(int layer) { return layer >= 1 && layer <= HSI_LAYER_COUNT; }
inline bool ValidColour(int colour) { return colour >= 0 && colour <= 255; }

inline host::Point P(const HsiPoint& p) { return {p.x, p.y}; }

inline int32_t IdResult(int32_t id) { return id > 0 ? id : static_cast<int32_t>(HSI_FAILURE); }

inline HsiStatus ReplyToPoint(Host* h, const host::PointReply& reply, int32_t* x, int32_t* y,
                              int32_t* z, int16_t* status) {
  using K = host::PointReply::Kind;
  switch (reply.kind) {
    case K::Point:
      *x = reply.x;
      *y = reply.y;
      if (z) *z = reply.z;
      *status = HSI_POINT_GIVEN;
      return HSI_SUCCESS;
    case K::Button2:
      *status = HSI_POINT_BUTTON2;
      return HSI_SUCCESS;
    case K::Escape:
      *status = HSI_POINT_CANCELLED;
      return HSI_SUCCESS;
    case K::Status:
      *status = static_cast<int16_t>(reply.status);
      return HSI_SUCCESS;
    case K::Fail:
    case K::Typed:  // the host reads a typed point before it answers: never left here
      *status = HSI_POINT_CANCELLED;
      return Fail(h);
  }
  return Fail(h);
}

// The answer to an interactive pick: the point, or the status the selection ends with.
inline bool PickPoint(Host* h, const std::string& prompt, HsiPoint* point, HsiStatus* result) {
  host::PointReply reply = h->Ask(host::RequestKind::Pick, prompt);
  using K = host::PointReply::Kind;
  switch (reply.kind) {
    case K::Point:
      point->x = reply.x;
      point->y = reply.y;
      return true;
    case K::Button2:
    case K::Escape:
      *result = HSI_SELECTION_ENDED;
      return false;
    case K::Status:
      *result = static_cast<HsiStatus>(reply.status);
      return false;
    case K::Fail:
    case K::Typed:
      *result = HSI_FAILURE;
      return false;
  }
  *result = HSI_FAILURE;
  return false;
}

}  // namespace host::hsi
