// Calling a plug-in's exports by name, as the host's menus do. Commands take no arguments; the
// settings exports take caller buffers and variables, and what they fill is reported as text for
// the transcript. The table of argument shapes lives here so that the host program (which finds
// exports with dlsym) and in-process tests (which hand function pointers) call them alike.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace user {

// A failed call: unknown export, wrong arguments. The message is shown to the session's author.
class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ExportTable {
 public:
  virtual ~ExportTable() = default;
  // Calls the export with the script's arguments; returns what it returned or filled, as text
  // for the transcript, or an empty text when it reports nothing. Throws ExportError.
  virtual std::string Call(const std::string& name, const std::vector<std::string>& args) = 0;
};

// How an export is called.
enum class ExportShape {
  Command,        // void f()
  TextBuffer,     // void f(char*): fills a zero-terminated text (GetBaseDir)
  TextInOut,      // void f(char*): the buffer holds the caller's text and may be replaced
  IntAndDouble,   // void f(int32_t*, double*)
  TwoInts,        // void f(int32_t*, int32_t*)
  IntIn,          // void f(int32_t*): the caller's value is handed in
  ReturnsDouble,  // double f()
};

// The shape of a known settings export; every other name is a command.
ExportShape ShapeOf(const std::string& name);

// Calls `symbol` (the export's address) as its shape says. Throws ExportError on wrong arguments.
std::string CallExport(void* symbol, const std::string& name, const std::vector<std::string>& args);

// Exports found through a resolver (dlsym in the host program; a map of addresses in tests).
class SymbolExports : public ExportTable {
 public:
  using Resolver = std::function<void*(const std::string&)>;
  explicit SymbolExports(Resolver resolver) : resolver_(std::move(resolver)) {}
  std::string Call(const std::string& name, const std::vector<std::string>& args) override;

 private:
  Resolver resolver_;
};

// Exports given as functions, for tests that exercise the engine without a plug-in.
class FunctionExports : public ExportTable {
 public:
  using Function = std::function<std::string(const std::vector<std::string>&)>;
  void Add(const std::string& name, Function function) { functions_[name] = std::move(function); }
  std::string Call(const std::string& name, const std::vector<std::string>& args) override;

 private:
  std::map<std::string, Function> functions_;
};

}  // namespace user
