#include "user/exports.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "user/script.h"

namespace user {

namespace {

// Caller buffers are far larger than any text the exports are documented to fill, and are
// checked for their terminating zero afterwards, so a misbehaving export is reported rather than
// read past.
constexpr size_t kBufferSize = 1024;

std::string FormatReal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

void ExpectArgs(const std::string& name, const std::vector<std::string>& args, size_t most,
                const std::string& usage) {
  if (args.size() > most) throw ExportError(name + " takes " + usage);
}

std::string ReadBuffer(const std::string& name, const std::vector<char>& buffer) {
  const void* end = std::memchr(buffer.data(), 0, buffer.size());
  if (!end) throw ExportError(name + " filled its buffer without a terminating zero");
  return std::string(buffer.data(), static_cast<const char*>(end));
}

int32_t IntArg(const std::string& name, const std::string& text) {
  auto value = ParseInteger(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) {
    throw ExportError(name + " takes a whole number, not \"" + text + "\"");
  }
  return static_cast<int32_t>(*value);
}

}  // namespace

ExportShape ShapeOf(const std::string& name) {
  static const std::map<std::string, ExportShape> shapes = {
      {"GetBaseDir", ExportShape::TextBuffer},        {"GetLyrFile", ExportShape::TextInOut},
      {"GetUnitSettings", ExportShape::IntAndDouble}, {"GetQXProjSettings", ExportShape::TwoInts},
      {"SaveQXProjSettings", ExportShape::IntIn},     {"GetScale", ExportShape::ReturnsDouble},
  };
  auto it = shapes.find(name);
  return it == shapes.end() ? ExportShape::Command : it->second;
}

std::string CallExport(void* symbol, const std::string& name,
                       const std::vector<std::string>& args) {
  switch (ShapeOf(name)) {
    case ExportShape::Command: {
      ExpectArgs(name, args, 0, "no arguments");
      reinterpret_cast<void (*)()>(symbol)();
      return {};
    }
    case ExportShape::TextBuffer: {
      ExpectArgs(name, args, 0, "no arguments (it fills a text buffer)");
      std::vector<char> buffer(kBufferSize, 0);
      reinterpret_cast<void (*)(char*)>(symbol)(buffer.data());
      return Quote(ReadBuffer(name, buffer));
    }
    case ExportShape::TextInOut: {
      ExpectArgs(name, args, 1, "one text at most (the caller's current text)");
      std::vector<char> buffer(kBufferSize, 0);
      if (!args.empty()) {
        if (args[0].size() >= kBufferSize) throw ExportError(name + ": the text is too long");
        std::memcpy(buffer.data(), args[0].data(), args[0].size());
      }
      reinterpret_cast<void (*)(char*)>(symbol)(buffer.data());
      return Quote(ReadBuffer(name, buffer));
    }
    case ExportShape::IntAndDouble: {
      ExpectArgs(name, args, 0, "no arguments (it fills two variables)");
      int32_t first = 0;
      double second = 0;
      reinterpret_cast<void (*)(int32_t*, double*)>(symbol)(&first, &second);
      return std::to_string(first) + " " + FormatReal(second);
    }
    case ExportShape::TwoInts: {
      ExpectArgs(name, args, 0, "no arguments (it fills two variables)");
      int32_t first = 0, second = 0;
      reinterpret_cast<void (*)(int32_t*, int32_t*)>(symbol)(&first, &second);
      return std::to_string(first) + " " + std::to_string(second);
    }
    case ExportShape::IntIn: {
      if (args.size() != 1) throw ExportError(name + " takes one whole number");
      int32_t value = IntArg(name, args[0]);
      reinterpret_cast<void (*)(int32_t*)>(symbol)(&value);
      return {};
    }
    case ExportShape::ReturnsDouble: {
      ExpectArgs(name, args, 0, "no arguments");
      return FormatReal(reinterpret_cast<double (*)()>(symbol)());
    }
  }
  return {};
}

std::string SymbolExports::Call(const std::string& name, const std::vector<std::string>& args) {
  void* symbol = resolver_(name);
  if (!symbol) throw ExportError("the plug-in has no export named " + name);
  return CallExport(symbol, name, args);
}

std::string FunctionExports::Call(const std::string& name, const std::vector<std::string>& args) {
  auto it = functions_.find(name);
  if (it == functions_.end()) throw ExportError("no export named " + name);
  return it->second(args);
}

}  // namespace user
