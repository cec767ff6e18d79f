// Points, rectangles, colours and fonts, and a canvas that records what is drawn on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle with exclusive right and bottom edges, as the system's own.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Point Centre() const { return {left + Width() / 2, top + Height() / 2}; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour as the system keeps it: 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

namespace colors {
inline constexpr Color Black = Rgb(0, 0, 0);
inline constexpr Color White = Rgb(255, 255, 255);
inline constexpr Color Red = Rgb(255, 0, 0);
inline constexpr Color Green = Rgb(0, 128, 0);
inline constexpr Color Blue = Rgb(0, 0, 255);
inline constexpr Color Yellow = Rgb(255, 255, 0);
inline constexpr Color Gray = Rgb(128, 128, 128);
inline constexpr Color Silver = Rgb(192, 192, 192);
// The system colours of this stand-in (the classic grey scheme).
inline constexpr Color ButtonFace = Silver;
inline constexpr Color ButtonText = Black;
inline constexpr Color ButtonShadow = Gray;
inline constexpr Color ButtonHighlight = White;
inline constexpr Color Window = White;
inline constexpr Color WindowText = Black;
inline constexpr Color Highlight = Rgb(0, 0, 128);
}  // namespace colors

enum class Alignment { Left, Right, Center };

struct Font {
  std::string name = "MS Sans Serif";
  int size = 8;  // points
  bool bold = false, italic = false, underline = false, strikeout = false;
  Color color = colors::WindowText;

  // The style as a bit set: bit 0 bold, 1 italic, 2 underline, 3 strike-out.
  int StyleBits() const;
  void SetStyleBits(int bits);
  friend bool operator==(const Font&, const Font&) = default;
};

// One thing a paint handler drew.
struct DrawOp {
  enum class Kind { FillRect, FrameRect, Line, Ellipse, Rectangle, Text, Edge, Picture };
  Kind kind = Kind::FillRect;
  Rect rect;             // the area (for Line: left/top is the start, right/bottom the end)
  Color penColor = 0;    // outline / line colour
  Color brushColor = 0;  // fill colour
  std::string text;      // Text: the characters
  Font font;             // Text: the font used
  bool raised = false;   // Edge: a raised (true) or pressed (false) button face
};

// A drawing surface that records every operation in order. Paint handlers draw on it; tests
// and the scripted user read back what was drawn.
class Canvas {
 public:
  Color penColor = colors::Black;
  int penWidth = 1;
  Color brushColor = colors::White;
  Font font;

  void FillRect(const Rect& r);   // fills with the brush
  void FrameRect(const Rect& r);  // outlines with the brush colour
  void Rectangle(const Rect& r);  // pen outline, brush fill
  void Ellipse(const Rect& r);    // pen outline, brush fill
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // from the pen position, with the pen
  void TextOut(int x, int y, const std::string& text);
  // A button face: raised (released) or sunk (pressed), filled with the button face colour.
  void DrawButtonFace(const Rect& r, bool raised);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;

  const std::vector<DrawOp>& Ops() const { return ops_; }
  void Clear() { ops_.clear(); }
  void Record(DrawOp op) { ops_.push_back(std::move(op)); }

 private:
  std::vector<DrawOp> ops_;
  Point pen_;
};

}  // namespace platform
