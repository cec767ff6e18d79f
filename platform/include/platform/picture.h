// Pictures: bitmaps (".BMP" files) and metafiles (".WMF" files: lines, arcs and text).
#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/graphics.h"

namespace platform {

// A picture file whose content is not a picture of the expected kind.
class InvalidPicture : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Bitmap {
  int width = 0, height = 0;
  std::vector<Color> pixels;  // row by row from the top

  Bitmap() = default;
  Bitmap(int w, int h, Color fill = colors::White);
  Color Pixel(int x, int y) const;
  void SetPixel(int x, int y, Color c);
  friend bool operator==(const Bitmap&, const Bitmap&) = default;
};

// Bitmaps are read at 1, 4 and 8 bits per pixel (through their palette), 16 (5-5-5), 24 and 32
// bits per pixel (blue, green, red, unused), uncompressed, bottom-up or top-down, with the old
// core header (12 bytes) or a newer one (40 bytes or more). Other depths, compressed or
// bit-field bitmaps, a palette index past the palette, lengths or offsets that do not fit the
// bytes and more than 64 Mi pixels give InvalidPicture. 24-bit bottom-up bitmaps are written.
Bitmap DecodeBmp(const std::string& bytes);  // InvalidPicture when it is not such a bitmap
std::string EncodeBmp(const Bitmap& bitmap);
Bitmap ReadBmp(const std::string& windowsPath);  // FileError or InvalidPicture
void WriteBmp(const std::string& windowsPath, const Bitmap& bitmap);

struct MetafileRecord {
  enum class Kind { Polyline, Arc, Text };
  Kind kind = Kind::Polyline;
  std::vector<Point> points;  // Polyline: the points; Arc: start and end points on the ellipse
  Rect box;                   // Arc: the bounding box of the ellipse
  std::string text;           // Text
  Font font;                  // Text: face, height in logical units (font.size), style
  Color color = colors::Black;
  int penWidth = 1;
  friend bool operator==(const MetafileRecord&, const MetafileRecord&) = default;
};

// A picture made of drawing records, in logical units from (0, 0) to (width, height).
struct Metafile {
  int width = 0, height = 0;
  int unitsPerInch = 96;
  std::vector<MetafileRecord> records;

  void AddLine(Point a, Point b, Color color = colors::Black, int penWidth = 1);
  void AddPolyline(std::vector<Point> points, Color color = colors::Black, int penWidth = 1);
  // An arc of the ellipse in `box`, counter-clockwise from `start` to `end`.
  void AddArc(const Rect& box, Point start, Point end, Color color = colors::Black);
  // Text whose top-left is `at`, with a font of `height` logical units.
  void AddText(Point at, const std::string& text, const std::string& face, int height,
               Color color = colors::Black);
  friend bool operator==(const Metafile&, const Metafile&) = default;
};

// Placeable Windows metafiles: written with pens, fonts, polylines, arcs and text; read back
// into the same records (other records are skipped).
Metafile DecodeWmf(const std::string& bytes);  // InvalidPicture when it is not a metafile
std::string EncodeWmf(const Metafile& metafile);
Metafile ReadWmf(const std::string& windowsPath);
void WriteWmf(const std::string& windowsPath, const Metafile& metafile);

// A bitmap, a metafile or nothing.
class Picture {
 public:
  Picture() = default;
  Picture(Bitmap bitmap) : content_(std::move(bitmap)) {}
  Picture(Metafile metafile) : content_(std::move(metafile)) {}

  bool Empty() const { return std::holds_alternative<std::monostate>(content_); }
  bool IsBitmap() const { return std::holds_alternative<Bitmap>(content_); }
  bool IsMetafile() const { return std::holds_alternative<Metafile>(content_); }
  const Bitmap* AsBitmap() const { return std::get_if<Bitmap>(&content_); }
  const Metafile* AsMetafile() const { return std::get_if<Metafile>(&content_); }
  int Width() const;
  int Height() const;
  void Clear() { content_ = std::monostate{}; }

  // Loads a ".BMP" or ".WMF" file (the extension decides, without regard to case); any other
  // extension fails with InvalidPicture ("Unknown picture file extension").
  void LoadFromFile(const std::string& windowsPath);
  // Saves the picture in its own format; an empty picture fails with InvalidPicture.
  void SaveToFile(const std::string& windowsPath) const;
  friend bool operator==(const Picture&, const Picture&) = default;

 private:
  std::variant<std::monostate, Bitmap, Metafile> content_;
};

}  // namespace platform
