// Bitmap (".BMP") and metafile (".WMF") pictures: decoding with every length and offset checked
// against the bytes at hand, and encoding.
#include "platform/picture.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>

#include "platform/file_io.h"
#include "platform/files.h"

namespace platform {

namespace {

// Little-endian reading with bounds checks.
class Reader {
 public:
  Reader(const std::string& bytes, const char* what) : bytes_(bytes), what_(what) {}
  bool Has(std::size_t at, std::size_t n) const {
    return at <= bytes_.size() && n <= bytes_.size() - at;
  }
  std::uint32_t U8(std::size_t at) const { return Byte(at); }
  std::uint32_t U16(std::size_t at) const { return Byte(at) | (Byte(at + 1) << 8); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
  std::int32_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::size_t Size() const { return bytes_.size(); }
  [[noreturn]] void Bad() const { throw InvalidPicture(what_); }

 private:
  std::uint32_t Byte(std::size_t at) const {
    if (at >= bytes_.size()) Bad();
    return static_cast<unsigned char>(bytes_[at]);
  }
  const std::string& bytes_;
  const char* what_;
};

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

constexpr const char* kBadBitmap = "Bitmap image is not valid";
constexpr const char* kBadMetafile = "Metafile is not valid";
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

// ---- Bitmap ----

Bitmap::Bitmap(int w, int h, Color fill)
    : width(std::max(w, 0)),
      height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Color Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
}

void Bitmap::SetPixel(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x)] = c;
}

Bitmap DecodeBmp(const std::string& bytes) {
  Reader r(bytes, kBadBitmap);
  if (!r.Has(0, 26) || bytes[0] != 'B' || bytes[1] != 'M') r.Bad();
  std::uint32_t offBits = r.U32(10);
  std::uint32_t headerSize = r.U32(14);
  std::int64_t width, height;
  std::uint32_t bitCount, compression = 0, colorsUsed = 0;
  std::size_t paletteAt = 14 + headerSize;
  std::size_t paletteEntry = 4;
  if (headerSize == 12) {  // the old core header
    width = r.U16(18);
    height = r.I16(20);
    bitCount = r.U16(24);
    paletteEntry = 3;
  } else if (headerSize >= 40 && r.Has(14, headerSize)) {
    width = r.I32(18);
    height = r.I32(22);
    bitCount = r.U16(28);
    compression = r.U32(30);
    colorsUsed = r.U32(46);
  } else {
    r.Bad();
  }
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) r.Bad();
  if (compression != 0) r.Bad();
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    r.Bad();

  std::vector<Color> palette;
  if (bitCount <= 8) {
    std::size_t entries = colorsUsed ? colorsUsed : (std::size_t{1} << bitCount);
    if (entries > 256 || !r.Has(paletteAt, entries * paletteEntry)) r.Bad();
    for (std::size_t i = 0; i < entries; ++i) {
      std::size_t at = paletteAt + i * paletteEntry;
      palette.push_back(Rgb(static_cast<int>(r.U8(at + 2)), static_cast<int>(r.U8(at + 1)),
                            static_cast<int>(r.U8(at))));
    }
  }
  std::size_t stride = static_cast<std::size_t>((width * bitCount + 31) / 32) * 4;
  if (!r.Has(offBits, stride * static_cast<std::size_t>(height))) r.Bad();

  Bitmap bitmap(static_cast<int>(width), static_cast<int>(height));
  for (std::int64_t row = 0; row < height; ++row) {
    std::size_t line = offBits + stride * static_cast<std::size_t>(row);
    int y = static_cast<int>(topDown ? row : height - 1 - row);
    for (std::int64_t x = 0; x < width; ++x) {
      Color c = 0;
      std::size_t bit = static_cast<std::size_t>(x) * bitCount;
      switch (bitCount) {
        case 1:
        case 4:
        case 8: {
          std::uint32_t byte = r.U8(line + bit / 8);
          std::uint32_t shift = 8 - bitCount - static_cast<std::uint32_t>(bit % 8);
          std::uint32_t index = (byte >> shift) & ((1u << bitCount) - 1);
          if (index >= palette.size()) r.Bad();
          c = palette[index];
          break;
        }
        case 16: {
          std::uint32_t v = r.U16(line + bit / 8);
          c = Rgb(static_cast<int>(((v >> 10) & 31) * 255 / 31),
                  static_cast<int>(((v >> 5) & 31) * 255 / 31),
                  static_cast<int>((v & 31) * 255 / 31));
          break;
        }
        default: {
          std::size_t at = line + bit / 8;
          c = Rgb(static_cast<int>(r.U8(at + 2)), static_cast<int>(r.U8(at + 1)),
                  static_cast<int>(r.U8(at)));
          break;
        }
      }
      bitmap.SetPixel(static_cast<int>(x), y, c);
    }
  }
  return bitmap;
}

std::string EncodeBmp(const Bitmap& bitmap) {
  std::size_t stride = static_cast<std::size_t>((bitmap.width * 24 + 31) / 32) * 4;
  std::size_t imageSize = stride * static_cast<std::size_t>(bitmap.height);
  std::string out;
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(54 + imageSize));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(bitmap.width));
  Put32(out, static_cast<std::uint32_t>(bitmap.height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(imageSize));
  Put32(out, 3780);  // 96 pixels per inch in pixels per metre
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    std::size_t start = out.size();
    for (int x = 0; x < bitmap.width; ++x) {
      Color c = bitmap.Pixel(x, y);
      out += static_cast<char>(BlueOf(c));
      out += static_cast<char>(GreenOf(c));
      out += static_cast<char>(RedOf(c));
    }
    out.append(stride - (out.size() - start), '\0');
  }
  return out;
}

Bitmap ReadBmp(const std::string& windowsPath) {
  return DecodeBmp(ReadWholeFile(windowsPath, 256u << 20));
}

void WriteBmp(const std::string& windowsPath, const Bitmap& bitmap) {
  WriteWholeFile(windowsPath, EncodeBmp(bitmap));
}

// ---- Metafile ----

void Metafile::AddLine(Point a, Point b, Color color, int penWidth) {
  AddPolyline({a, b}, color, penWidth);
}

void Metafile::AddPolyline(std::vector<Point> points, Color color, int penWidth) {
  MetafileRecord record;
  record.kind = MetafileRecord::Kind::Polyline;
  record.points = std::move(points);
  record.color = color;
  record.penWidth = penWidth;
  records.push_back(std::move(record));
}

void Metafile::AddArc(const Rect& box, Point start, Point end, Color color) {
  MetafileRecord record;
  record.kind = MetafileRecord::Kind::Arc;
  record.box = box;
  record.points = {start, end};
  record.color = color;
  records.push_back(std::move(record));
}

void Metafile::AddText(Point at, const std::string& text, const std::string& face, int height,
                       Color color) {
  MetafileRecord record;
  record.kind = MetafileRecord::Kind::Text;
  record.points = {at};
  record.text = text;
  record.font.name = face;
  record.font.size = height;
  record.font.color = color;
  record.color = color;
  records.push_back(std::move(record));
}

namespace {

enum : std::uint16_t {
  kEof = 0x0000,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDeleteObject = 0x01F0,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kPolyline = 0x0325,
  kTextOut = 0x0521,
  kArc = 0x0817,
};

class WmfWriter {
 public:
  void Record(std::uint16_t function, const std::vector<std::int32_t>& words,
              const std::string& extra = {}) {
    std::size_t size = 3 + words.size() + (extra.size() + 1) / 2;
    Put32(body_, static_cast<std::uint32_t>(size));
    Put16(body_, function);
    for (std::int32_t w : words) Put16(body_, static_cast<std::uint32_t>(w) & 0xFFFF);
    body_ += extra;
    if (extra.size() % 2) body_ += '\0';
    maxRecord_ = std::max(maxRecord_, size);
  }
  // Words of a record whose text sits between leading and trailing words.
  void TextRecord(std::uint16_t function, const std::vector<std::int32_t>& before,
                  const std::string& text, const std::vector<std::int32_t>& after) {
    std::string padded = text;
    if (padded.size() % 2) padded += '\0';
    std::size_t size = 3 + before.size() + padded.size() / 2 + after.size();
    Put32(body_, static_cast<std::uint32_t>(size));
    Put16(body_, function);
    for (std::int32_t w : before) Put16(body_, static_cast<std::uint32_t>(w) & 0xFFFF);
    body_ += padded;
    for (std::int32_t w : after) Put16(body_, static_cast<std::uint32_t>(w) & 0xFFFF);
    maxRecord_ = std::max(maxRecord_, size);
  }
  std::string Finish(const Metafile& m) {
    Record(kEof, {});
    std::string out;
    // Placeable header, with the checksum of its first ten words.
    std::string header;
    Put32(header, 0x9AC6CDD7u);
    Put16(header, 0);
    Put16(header, 0);
    Put16(header, 0);
    Put16(header, static_cast<std::uint32_t>(m.width));
    Put16(header, static_cast<std::uint32_t>(m.height));
    Put16(header, static_cast<std::uint32_t>(m.unitsPerInch));
    Put32(header, 0);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
      sum ^=
          static_cast<unsigned char>(header[i]) | (static_cast<unsigned char>(header[i + 1]) << 8);
    Put16(header, sum);
    out += header;
    Put16(out, 1);       // in memory
    Put16(out, 9);       // header words
    Put16(out, 0x0300);  // version
    Put32(out, static_cast<std::uint32_t>(9 + body_.size() / 2));
    Put16(out, 1);  // one object at a time
    Put32(out, static_cast<std::uint32_t>(maxRecord_));
    Put16(out, 0);
    out += body_;
    return out;
  }

 private:
  std::string body_;
  std::size_t maxRecord_ = 3;
};

void CheckCoordinate(int v) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
    throw InvalidPicture("Metafile coordinates are out of range");
}

std::vector<std::int32_t> ColorWords(Color c) {
  return {static_cast<std::int32_t>(c & 0xFFFF), static_cast<std::int32_t>(c >> 16)};
}

}  // namespace

std::string EncodeWmf(const Metafile& m) {
  CheckCoordinate(m.width);
  CheckCoordinate(m.height);
  WmfWriter w;
  w.Record(kSetMapMode, {8});  // anisotropic
  w.Record(kSetWindowOrg, {0, 0});
  w.Record(kSetWindowExt, {m.height, m.width});
  w.Record(kSetBkMode, {1});  // transparent
  w.Record(kSetTextAlign, {0});
  for (const MetafileRecord& r : m.records) {
    for (const Point& p : r.points) {
      CheckCoordinate(p.x);
      CheckCoordinate(p.y);
    }
    switch (r.kind) {
      case MetafileRecord::Kind::Polyline: {
        if (r.points.size() < 2 || r.points.size() > 8000)
          throw InvalidPicture("Metafile polyline needs 2 to 8000 points");
        std::vector<std::int32_t> pen = {0, r.penWidth, 0};
        auto color = ColorWords(r.color);
        pen.insert(pen.end(), color.begin(), color.end());
        w.Record(kCreatePen, pen);
        w.Record(kSelectObject, {0});
        std::vector<std::int32_t> words = {static_cast<std::int32_t>(r.points.size())};
        for (const Point& p : r.points) {
          words.push_back(p.x);
          words.push_back(p.y);
        }
        w.Record(kPolyline, words);
        w.Record(kDeleteObject, {0});
        break;
      }
      case MetafileRecord::Kind::Arc: {
        if (r.points.size() != 2) throw InvalidPicture("Metafile arc needs a start and an end");
        for (int v : {r.box.left, r.box.top, r.box.right, r.box.bottom}) CheckCoordinate(v);
        std::vector<std::int32_t> pen = {0, r.penWidth, 0};
        auto color = ColorWords(r.color);
        pen.insert(pen.end(), color.begin(), color.end());
        w.Record(kCreatePen, pen);
        w.Record(kSelectObject, {0});
        w.Record(kArc, {r.points[1].y, r.points[1].x, r.points[0].y, r.points[0].x, r.box.bottom,
                        r.box.right, r.box.top, r.box.left});
        w.Record(kDeleteObject, {0});
        break;
      }
      case MetafileRecord::Kind::Text: {
        if (r.points.size() != 1) throw InvalidPicture("Metafile text needs one position");
        if (r.text.size() > 4096) throw InvalidPicture("Metafile text is too long");
        CheckCoordinate(r.font.size);
        std::string logfont;
        Put16(logfont, static_cast<std::uint32_t>(-r.font.size));
        Put16(logfont, 0);
        Put16(logfont, 0);
        Put16(logfont, 0);
        Put16(logfont, r.font.bold ? 700 : 400);
        logfont += static_cast<char>(r.font.italic);
        logfont += static_cast<char>(r.font.underline);
        logfont += static_cast<char>(r.font.strikeout);
        logfont += '\0';  // ANSI character set
        logfont += std::string(4, '\0');
        std::string face = r.font.name.substr(0, 31);
        logfont += face;
        logfont.append(32 - face.size(), '\0');
        w.Record(kCreateFont, {}, logfont);
        w.Record(kSelectObject, {0});
        auto color = ColorWords(r.color);
        w.Record(kSetTextColor, color);
        w.TextRecord(kTextOut, {static_cast<std::int32_t>(r.text.size())}, r.text,
                     {r.points[0].y, r.points[0].x});
        w.Record(kDeleteObject, {0});
        break;
      }
    }
  }
  return w.Finish(m);
}

Metafile DecodeWmf(const std::string& bytes) {
  Reader r(bytes, kBadMetafile);
  Metafile m;
  std::size_t at = 0;
  if (r.Has(0, 22) && r.U32(0) == 0x9AC6CDD7u) {
    m.width = r.I16(10) - r.I16(6);
    m.height = r.I16(12) - r.I16(8);
    m.unitsPerInch = static_cast<int>(r.U16(14));
    if (m.unitsPerInch == 0) r.Bad();
    at = 22;
  }
  if (!r.Has(at, 18)) r.Bad();
  std::uint32_t type = r.U16(at);
  if ((type != 1 && type != 2) || r.U16(at + 2) != 9) r.Bad();
  at += 18;

  struct Object {
    bool isFont = false;
    Color color = 0;
    int width = 1;
    Font font;
  };
  std::vector<std::optional<Object>> objects;
  Object pen, font;
  Color textColor = colors::Black;
  Point position;
  auto create = [&](Object o) {
    for (auto& slot : objects) {
      if (!slot) {
        slot = o;
        return;
      }
    }
    if (objects.size() >= 65535) r.Bad();
    objects.push_back(o);
  };
  for (;;) {
    if (!r.Has(at, 6)) r.Bad();  // every metafile ends with an end record
    std::uint64_t words = r.U32(at);
    std::uint32_t function = r.U16(at + 4);
    if (words < 3 || !r.Has(at, words * 2)) r.Bad();
    std::size_t p = at + 6;
    std::size_t paramWords = static_cast<std::size_t>(words) - 3;
    auto need = [&](std::size_t n) {
      if (paramWords < n) r.Bad();
    };
    switch (function) {
      case kEof:
        return m;
      case kSetWindowExt:
        need(2);
        if (m.width == 0 && m.height == 0) {
          m.height = r.I16(p);
          m.width = r.I16(p + 2);
        }
        break;
      case kCreatePen: {
        need(5);
        Object o;
        o.width = std::max(1, r.I16(p + 2));
        o.color = r.U32(p + 6) & 0xFFFFFF;
        create(o);
        break;
      }
      case kCreateFont: {
        need(9);
        Object o;
        o.isFont = true;
        o.font.size = std::abs(r.I16(p));
        o.font.bold = r.I16(p + 8) >= 600;
        o.font.italic = r.U8(p + 10) != 0;
        o.font.underline = r.U8(p + 11) != 0;
        o.font.strikeout = r.U8(p + 12) != 0;
        std::string face;
        for (std::size_t i = p + 18; i < p + paramWords * 2 && i < p + 18 + 32; ++i) {
          char c = static_cast<char>(r.U8(i));
          if (c == '\0') break;
          face += c;
        }
        o.font.name = face;
        create(o);
        break;
      }
      case kSelectObject: {
        need(1);
        std::size_t index = r.U16(p);
        if (index < objects.size() && objects[index]) {
          if (objects[index]->isFont)
            font = *objects[index];
          else
            pen = *objects[index];
        }
        break;
      }
      case kDeleteObject: {
        need(1);
        std::size_t index = r.U16(p);
        if (index < objects.size()) objects[index].reset();
        break;
      }
      case kSetTextColor:
        need(2);
        textColor = r.U32(p) & 0xFFFFFF;
        break;
      case kMoveTo:
        need(2);
        position = {r.I16(p + 2), r.I16(p)};
        break;
      case kLineTo: {
        need(2);
        Point to{r.I16(p + 2), r.I16(p)};
        m.AddLine(position, to, pen.color, pen.width);
        position = to;
        break;
      }
      case kPolyline: {
        need(1);
        std::size_t count = static_cast<std::size_t>(std::max(r.I16(p), 0));
        need(1 + 2 * count);
        std::vector<Point> points;
        for (std::size_t i = 0; i < count; ++i)
          points.push_back({r.I16(p + 2 + 4 * i), r.I16(p + 4 + 4 * i)});
        m.AddPolyline(std::move(points), pen.color, pen.width);
        break;
      }
      case kArc: {
        need(8);
        Rect box{r.I16(p + 14), r.I16(p + 12), r.I16(p + 10), r.I16(p + 8)};
        m.AddArc(box, {r.I16(p + 6), r.I16(p + 4)}, {r.I16(p + 2), r.I16(p)}, pen.color);
        m.records.back().penWidth = pen.width;
        break;
      }
      case kTextOut: {
        need(1);
        std::size_t length = static_cast<std::size_t>(std::max(r.I16(p), 0));
        std::size_t textWords = (length + 1) / 2;
        need(1 + textWords + 2);
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(r.U8(p + 2 + i));
        std::size_t after = p + 2 + textWords * 2;
        Point where{r.I16(after + 2), r.I16(after)};
        m.AddText(where, text, font.font.name, font.font.size, textColor);
        MetafileRecord& added = m.records.back();
        added.font.bold = font.font.bold;
        added.font.italic = font.font.italic;
        added.font.underline = font.font.underline;
        added.font.strikeout = font.font.strikeout;
        break;
      }
      default:
        break;  // records this reader does not draw are skipped
    }
    at += static_cast<std::size_t>(words) * 2;
  }
}

Metafile ReadWmf(const std::string& windowsPath) {
  return DecodeWmf(ReadWholeFile(windowsPath, 64u << 20));
}

void WriteWmf(const std::string& windowsPath, const Metafile& metafile) {
  WriteWholeFile(windowsPath, EncodeWmf(metafile));
}

// ---- Picture ----

int Picture::Width() const {
  if (auto* b = AsBitmap()) return b->width;
  if (auto* m = AsMetafile()) return m->width;
  return 0;
}

int Picture::Height() const {
  if (auto* b = AsBitmap()) return b->height;
  if (auto* m = AsMetafile()) return m->height;
  return 0;
}

void Picture::LoadFromFile(const std::string& windowsPath) {
  std::string ext = Upper(ExtractFileExt(windowsPath));
  if (ext == ".BMP")
    content_ = ReadBmp(windowsPath);
  else if (ext == ".WMF")
    content_ = ReadWmf(windowsPath);
  else
    throw InvalidPicture("Unknown picture file extension (" + ext + ")");
}

void Picture::SaveToFile(const std::string& windowsPath) const {
  if (auto* b = AsBitmap())
    WriteBmp(windowsPath, *b);
  else if (auto* m = AsMetafile())
    WriteWmf(windowsPath, *m);
  else
    throw InvalidPicture("There is no picture to save");
}

}  // namespace platform
