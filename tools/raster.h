// A small rasteriser for the sample machine's pictures: lines, arcs and block-letter text drawn
// into a bitmap of the platform, so the pictures can be written as real ".BMP" files.
#pragma once

#include <string>

#include "platform/picture.h"

namespace tools {

// The inks of the sample machine's pictures, shared by every picture it draws.
namespace ink {
inline constexpr platform::Color kInk = platform::Rgb(0, 0, 0);
inline constexpr platform::Color kGrid = platform::Rgb(160, 160, 160);
inline constexpr platform::Color kLabel = platform::Rgb(0, 0, 128);
inline constexpr platform::Color kFace = platform::Rgb(192, 192, 192);
inline constexpr platform::Color kShadow = platform::Rgb(128, 128, 128);
inline constexpr platform::Color kLight = platform::Rgb(255, 255, 255);
}  // namespace ink

class Raster {
 public:
  Raster(int width, int height) : bitmap_(width, height, platform::colors::White) {}

  void Plot(int x, int y, platform::Color color);
  void Line(int x1, int y1, int x2, int y2, platform::Color color);
  // An arc of the circle (cx, cy, r), counter-clockwise from a1 to a2 degrees, in a picture whose
  // y axis points down (so counter-clockwise as seen by a person).
  void Arc(double cx, double cy, double r, double a1, double a2, platform::Color color);
  void Frame(int left, int top, int right, int bottom, platform::Color color);
  void Fill(int left, int top, int right, int bottom, platform::Color color);
  // Block letters 5 x 7 pixels (times `scale`), 6 pixels apart; lower case is drawn as capitals.
  void Text(int x, int y, const std::string& text, platform::Color color, int scale = 1);
  static int TextWidth(const std::string& text, int scale = 1);
  static constexpr int kTextHeight = 7;

  const platform::Bitmap& Bitmap() const { return bitmap_; }

 private:
  platform::Bitmap bitmap_;
};

}  // namespace tools
