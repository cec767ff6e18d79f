#include "host/symbols.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "file_text.h"

namespace host {

namespace {

constexpr size_t kMaxLine = 4096;
constexpr size_t kMaxFile = 1 << 20;

bool ToNumber(const TextWord& w, double* out) {
  if (w.quoted || w.text.empty()) return false;
  char* end = nullptr;
  double v = std::strtod(w.text.c_str(), &end);
  if (end != w.text.c_str() + w.text.size() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

// A justification code fits the 16-bit field of the text records it ends up in.
bool IsCode(double v) { return v >= -32768 && v <= 32767; }

std::string Num(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", v);
  return buffer;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::optional<SymbolDef> ParseSymbol(const std::string& text, const std::string& name,
                                     std::string* error, bool carried) {
  auto fail = [&](int line, const std::string& why) -> std::optional<SymbolDef> {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return std::nullopt;
  };
  if (text.size() > kMaxFile && !carried) return fail(0, "file too large");
  SymbolDef def;
  def.name = name;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  bool headerSeen = false;
  while (std::getline(in, line)) {
    ++number;
    if (line.size() > kMaxLine && !carried) return fail(number, "line too long");
    std::vector<TextWord> words;
    if (!SplitWords(line, &words)) return fail(number, "unclosed quote");
    if (words.empty() || (!words[0].quoted && words[0].text[0] == '#')) continue;
    std::string key = Upper(words[0].text);
    if (!headerSeen) {
      if (words.size() != 3 || key != "TRACELON" || Upper(words[1].text) != "SYMBOL" ||
          words[2].text != "1")
        return fail(number, "not a symbol file (first line must be TRACELON SYMBOL 1)");
      headerSeen = true;
      continue;
    }
    std::vector<double> nums;
    size_t firstWord = 1;
    auto numbers = [&](size_t from, size_t count) {
      nums.clear();
      if (words.size() < from + count) return false;
      for (size_t k = from; k < from + count; ++k) {
        double v;
        if (!ToNumber(words[k], &v)) return false;
        nums.push_back(v);
      }
      return true;
    };
    auto optionalWeight = [&](size_t at, int* weight) {
      if (at == words.size()) return true;
      double v;
      if (words.size() == at + 2 && Upper(words[at].text) == "WEIGHT" &&
          ToNumber(words[at + 1], &v) && v >= 0 && v <= 255) {
        *weight = static_cast<int>(v);
        return true;
      }
      return false;
    };
    if (key == "END") break;
    if (key == "UNIT") {
      if (words.size() != 2 || !numbers(1, 1) || nums[0] <= 0) return fail(number, "bad UNIT");
      def.unit = nums[0];
    } else if (key == "NODE") {
      if (words.size() != 4 || !numbers(1, 3) || nums[2] <= 0) return fail(number, "bad NODE");
      def.hasNode = true;
      def.node = {nums[0], nums[1]};
      def.nodeWidth = nums[2];
    } else if (key == "LINE") {
      SymbolElement e;
      size_t k = firstWord;
      double v;
      while (k < words.size() && ToNumber(words[k], &v)) ++k;
      size_t count = k - firstWord;
      if (count < 4 || count % 2 != 0) return fail(number, "LINE needs pairs of coordinates");
      numbers(firstWord, count);
      for (size_t j = 0; j < count; j += 2) e.points.push_back({nums[j], nums[j + 1]});
      if (!optionalWeight(k, &e.weight)) return fail(number, "bad LINE");
      def.elements.push_back(std::move(e));
    } else if (key == "ARC") {
      SymbolElement e;
      e.kind = SymbolElement::Kind::Arc;
      if (!numbers(1, 5) || nums[2] <= 0) return fail(number, "bad ARC");
      e.centre = {nums[0], nums[1]};
      e.radius = nums[2];
      e.angle1 = nums[3];
      e.angle2 = nums[4];
      if (!optionalWeight(6, &e.weight)) return fail(number, "bad ARC");
      def.elements.push_back(std::move(e));
    } else if (key == "TEXT") {
      SymbolElement e;
      e.kind = SymbolElement::Kind::Text;
      if (words.size() < 5 || !numbers(1, 3) || nums[2] <= 0 || !words[4].quoted)
        return fail(number, "bad TEXT");
      e.centre = {nums[0], nums[1]};
      e.size = nums[2];
      e.text = words[4].text;
      size_t k = 5;
      while (k < words.size()) {
        std::string option = Upper(words[k].text);
        double a, b;
        if (option == "ANGLE" && k + 1 < words.size() && ToNumber(words[k + 1], &a)) {
          e.angle1 = a;
          k += 2;
        } else if (option == "JUST" && k + 2 < words.size() && ToNumber(words[k + 1], &a) &&
                   ToNumber(words[k + 2], &b) && IsCode(a) && IsCode(b)) {
          e.hcode = static_cast<int>(a);
          e.vcode = static_cast<int>(b);
          k += 3;
        } else {
          return fail(number, "bad TEXT option");
        }
      }
      def.elements.push_back(std::move(e));
    } else {
      return fail(number, "unknown statement " + words[0].text);
    }
  }
  if (!headerSeen) return fail(number, "empty file");
  return def;
}

std::string WriteSymbol(const SymbolDef& def) {
  std::string out = "TRACELON SYMBOL 1\nUNIT " + Num(def.unit) + "\n";
  if (def.hasNode)
    out += "NODE " + Num(def.node.x) + " " + Num(def.node.y) + " " + Num(def.nodeWidth) + "\n";
  for (const auto& e : def.elements) {
    switch (e.kind) {
      case SymbolElement::Kind::Lineset:
        out += "LINE";
        for (const auto& p : e.points) out += " " + Num(p.x) + " " + Num(p.y);
        break;
      case SymbolElement::Kind::Arc:
        out += "ARC " + Num(e.centre.x) + " " + Num(e.centre.y) + " " + Num(e.radius) + " " +
               Num(e.angle1) + " " + Num(e.angle2);
        break;
      case SymbolElement::Kind::Text:
        out += "TEXT " + Num(e.centre.x) + " " + Num(e.centre.y) + " " + Num(e.size) + " " +
               Quote(e.text) + " ANGLE " + Num(e.angle1) + " JUST " + std::to_string(e.hcode) +
               " " + std::to_string(e.vcode);
        break;
    }
    if (e.weight != 0 && e.kind != SymbolElement::Kind::Text)
      out += " WEIGHT " + std::to_string(e.weight);
    out += "\n";
  }
  return out;
}

}  // namespace host
