#include "raster.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

namespace tools {

namespace {

// 5 x 7 block letters, one string per row, '#' for a set pixel.
const std::map<char, const char*>& Glyphs() {
  static const std::map<char, const char*> glyphs = {
      {'A', ".###.#...##...#######...##...##...#"},  {'B', "####.#...##...#####.#...##...#####."},
      {'C', ".###.#...##....#....#....#...#.###."},  {'D', "####.#...##...##...##...##...#####."},
      {'E', "######....#....####.#....#....#####"},  {'F', "######....#....####.#....#....#...."},
      {'G', ".###.#...##....#.####...##...#.###."},  {'H', "#...##...##...#######...##...##...#"},
      {'I', ".###...#....#....#....#....#...###."},  {'J', "..###...#....#....#....##..#..##..."},
      {'K', "#...##..#.#.#..##...#.#..#..#.#...#"},  {'L', "#....#....#....#....#....#....#####"},
      {'M', "#...###.###.#.##...##...##...##...#"},  {'N', "#...###..##.#.##..###...##...##...#"},
      {'O', ".###.#...##...##...##...##...#.###."},  {'P', "####.#...##...#####.#....#....#...."},
      {'Q', ".###.#...##...##...##.#.##..#..##.#"},  {'R', "####.#...##...#####.#.#..#..#.#...#"},
      {'S', ".####.....#.....###.....#....#####."},  {'T', "#####..#....#....#....#....#....#.."},
      {'U', "#...##...##...##...##...##...#.###."},  {'V', "#...##...##...##...##...#.#.#...#.."},
      {'W', "#...##...##...##.#.##.#.##.#.#.#.#."},  {'X', "#...##...#.#.#...#...#.#.#...##...#"},
      {'Y', "#...##...#.#.#...#....#....#....#.."},  {'Z', "#####....#...#...#...#...#....#####"},
      {'0', ".###.#...##..###.#.###..##...#.###."},  {'1', "..#...##....#....#....#....#...###."},
      {'2', ".###.#...#....#...#...#...#...#####"},  {'3', "#####...#...#.....#.....##...#.###."},
      {'4', "...#...##..#.#.#..#.#####...#....#."},  {'5', "######....####.....#....##...#.###."},
      {'6', "..##..#...#....####.#...##...#.###."},  {'7', "#####....#...#...#...#....#....#..."},
      {'8', ".###.#...##...#.###.#...##...#.###."},  {'9', ".###.#...##...#.####....#...#..##.."},
      {'-', "...............#####..............."},  {'.', "..........................##...##.."},
      {',', ".....................##....#...#..."},  {'_', "..............................#####"},
      {'/', "....#...#...#...#...#.............."},  {'"', ".#.#..#.#..#.#....................."},
      {'\'', "..#....#....#......................"}, {'&', ".##..#..#.#.#...#...#.#.##..#..##.#"},
      {'(', "...#...#...#....#....#.....#.....#."},  {')', ".#.....#.....#....#....#...#...#..."},
      {':', ".....##...##.........##...##......."},  {'+', ".......#....#..#####..#....#......."},
      {'?', ".###.#...#....#...#...#.........#.."},  {'=', "..........#####.....#####.........."},
  };
  return glyphs;
}

}  // namespace

void Raster::Plot(int x, int y, platform::Color color) {
  if (x >= 0 && y >= 0 && x < bitmap_.width && y < bitmap_.height) bitmap_.SetPixel(x, y, color);
}

void Raster::Line(int x1, int y1, int x2, int y2, platform::Color color) {
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    Plot(x1, y1, color);
    if (x1 == x2 && y1 == y2) break;
    int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y1 += sy;
    }
  }
}

void Raster::Arc(double cx, double cy, double r, double a1, double a2, platform::Color color) {
  while (a2 <= a1) a2 += 360.0;
  double sweep = a2 - a1;
  int steps = std::max(8, static_cast<int>(sweep / 360.0 * r * 6.3));
  constexpr double kRadians = 3.14159265358979323846 / 180.0;
  int px = static_cast<int>(std::lround(cx + r * std::cos(a1 * kRadians)));
  int py = static_cast<int>(std::lround(cy - r * std::sin(a1 * kRadians)));
  for (int i = 1; i <= steps; ++i) {
    double a = (a1 + sweep * i / steps) * kRadians;
    int x = static_cast<int>(std::lround(cx + r * std::cos(a)));
    int y = static_cast<int>(std::lround(cy - r * std::sin(a)));
    Line(px, py, x, y, color);
    px = x;
    py = y;
  }
}

void Raster::Frame(int left, int top, int right, int bottom, platform::Color color) {
  Line(left, top, right, top, color);
  Line(right, top, right, bottom, color);
  Line(right, bottom, left, bottom, color);
  Line(left, bottom, left, top, color);
}

void Raster::Fill(int left, int top, int right, int bottom, platform::Color color) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) Plot(x, y, color);
  }
}

void Raster::Text(int x, int y, const std::string& text, platform::Color color, int scale) {
  for (char raw : text) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
    auto it = Glyphs().find(c);
    if (it != Glyphs().end()) {
      const char* rows = it->second;
      for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
          size_t index = static_cast<size_t>(row * 5 + col);
          if (rows[index] == '#') {
            Fill(x + col * scale, y + row * scale, x + col * scale + scale - 1,
                 y + row * scale + scale - 1, color);
          }
        }
      }
    }
    x += 6 * scale;
  }
}

int Raster::TextWidth(const std::string& text, int scale) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
}

}  // namespace tools
