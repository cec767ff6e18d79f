#include "desktop_input.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "user/script.h"

namespace fs = std::filesystem;

namespace desktop {

double GridStep(double pixel) {
  if (!(pixel > 1)) return 1;  // no fractions of a drawing unit (and no NaN)
  double step = 1;
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      if (step * factor >= pixel) return step * factor;
    }
    step *= 10;
  }
}

host::Point OnGrid(double x, double y, double pixel) {
  const double step = GridStep(pixel);
  return {host::RoundDbu(std::round(x / step) * step), host::RoundDbu(std::round(y / step) * step)};
}

std::string TypedPointLine(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  const std::string typed = text.substr(first, last - first + 1);
  std::istringstream in(typed);
  long long x = 0, y = 0;
  std::string rest;
  constexpr long long low = std::numeric_limits<int32_t>::min();
  constexpr long long high = std::numeric_limits<int32_t>::max();
  // Whole words only: "12 5x" or "1 2 3" are not two whole numbers.
  std::string a, b;
  if ((in >> a >> b) && !(in >> rest)) {
    auto whole = [](const std::string& word, long long& value) {
      size_t used = 0;
      try {
        value = std::stoll(word, &used);
      } catch (const std::exception&) {
        return false;
      }
      return used == word.size() && value >= low && value <= high;
    };
    if (whole(a, x) && whole(b, y)) return "point " + std::to_string(x) + " " + std::to_string(y);
  }
  return "enter " + typed;
}

std::string LineToolLine(const std::vector<host::Point>& points) {
  if (points.size() < 2) return "";
  std::string line = "host line";
  for (const auto& p : points) line += " " + std::to_string(p.x) + " " + std::to_string(p.y);
  return line;
}

std::string ArcToolLine(host::Point centre, host::Point start, host::Point end) {
  const host::PointD c = host::ToD(centre), a = host::ToD(start), b = host::ToD(end);
  const int32_t radius = host::RoundDbu(host::Distance(c, a));
  if (radius <= 0) return "";
  char line[128];
  std::snprintf(line, sizeof line, "host arc %d %d %d %.4f %.4f", centre.x, centre.y, radius,
                host::AngleDeg(c, a), host::AngleDeg(c, b));
  return line;
}

std::string TextToolLine(host::Point at, const std::string& text) {
  if (text.empty()) return "";
  return "host text " + std::to_string(at.x) + " " + std::to_string(at.y) + " " + user::Quote(text);
}

std::optional<std::string> MachinePath(const fs::path& root, const fs::path& file) {
  std::error_code ec;
  const fs::path full = fs::weakly_canonical(file, ec);
  if (ec) return std::nullopt;
  const fs::path base = fs::weakly_canonical(root, ec);
  if (ec) return std::nullopt;
  const fs::path rel = full.lexically_relative(base);
  if (rel.empty() || rel == "." || *rel.begin() == "..") return std::nullopt;
  auto part = rel.begin();
  const std::string drive = part->string();
  if (drive.size() != 1 || !std::isalpha(static_cast<unsigned char>(drive[0]))) return std::nullopt;
  std::string path = drive + ":";
  ++part;
  if (part == rel.end()) return path + "\\";
  for (; part != rel.end(); ++part) path += "\\" + part->string();
  return path;
}

}  // namespace desktop
