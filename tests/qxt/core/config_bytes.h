// The configuration record written out by hand, offset by offset, as the file format documents it:
// a reference that does not come from the code under test.
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace qxt::test {

using Bytes = std::vector<unsigned char>;

template <class Record>
Bytes RecordBytes(const Record& record) {
  const auto* raw = reinterpret_cast<const unsigned char*>(&record);
  return Bytes(raw, raw + sizeof record);
}

class ByteWriter {
 public:
  explicit ByteWriter(std::size_t size) : bytes_(size, 0) {}
  void U8(std::size_t at, unsigned value) { bytes_.at(at) = static_cast<unsigned char>(value); }
  void I16(std::size_t at, std::int16_t value) { Raw(at, &value, 2); }
  void U16(std::size_t at, std::uint16_t value) { Raw(at, &value, 2); }
  void I32(std::size_t at, std::int32_t value) { Raw(at, &value, 4); }
  void F64(std::size_t at, double value) { Raw(at, &value, 8); }
  // A length-prefixed string of at most `max` characters.
  void Str(std::size_t at, std::size_t max, const std::string& text) {
    if (text.size() > max) throw std::logic_error("test text too long: " + text);
    U8(at, static_cast<unsigned>(text.size()));
    Raw(at + 1, text.data(), text.size());
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  void Raw(std::size_t at, const void* data, std::size_t size) {
    if (at + size > bytes_.size()) throw std::out_of_range("write beyond the record");
    std::memcpy(bytes_.data() + at, data, size);
  }
  Bytes bytes_;
};

// Every default of the current 5254-byte record.
inline Bytes ExpectedDefaultBytes(const std::string& baseDirectory) {
  ByteWriter w(5254);
  w.U8(0, 1);
  w.Str(1, 5, "5.10");
  w.Str(7, 255, baseDirectory);
  w.I32(263, 0);
  w.I32(267, 768000);
  w.F64(271, 96.0);
  w.I32(279, 1);
  w.U8(283, 1);
  w.U8(284, 0);
  w.U8(285, 1);
  for (std::size_t style = 0; style < 3; ++style) {
    const std::size_t at = 286 + style * 46;
    w.I32(at + 0, 96000);
    w.I32(at + 4, 0);
    w.Str(at + 8, 13, "ARROW.SYM");
    w.F64(at + 22, 15.0);
    w.I32(at + 30, 96000);
    w.I32(at + 34, 0);
    w.I32(at + 38, 1);
    w.I32(at + 42, 33);
  }
  w.I32(424, 0);
  w.U8(428, 1);
  w.I32(429, 72000);
  w.F64(433, 1.0);
  w.F64(441, 0.0);
  w.F64(449, 0.5);
  w.U16(457, 0);
  w.I32(459, 0);
  w.I32(463, 0);
  w.I32(467, 2);
  w.I32(471, 0);
  w.I32(475, 10);
  w.U8(479, 0);
  w.Str(480, 240, "Arial");
  w.I32(721, 0);
  w.I32(725, 2);
  w.I32(729, 0);
  w.F64(733, 6.0);
  w.F64(741, 0.0);
  w.U8(749, 1);
  w.U8(750, 0);
  w.U8(751, 1);
  for (std::size_t at = 752; at <= 768; at += 4) w.I32(at, 48000);
  w.I32(772, 1);
  w.Str(776, 13, "SLASH.SYM");
  w.U8(790, 1);
  w.U8(791, 0);
  w.I32(792, 0);
  w.I32(796, 72000);
  w.F64(800, 1.0);
  w.U16(808, 0);
  w.I32(810, 0);
  w.I32(814, 0);
  w.I32(818, 10);
  w.U8(822, 0);
  w.Str(823, 240, "Arial");
  w.I32(1064, 0);
  w.I32(1068, 0);
  const int doorLayers[15] = {49, 33, 11, 14, 24, 50, 39, 16, 19, 28, 88, 89, 0, 88, 91};
  for (int i = 0; i < 15; ++i) w.I32(1072 + 4 * i, doorLayers[i]);
  w.I32(1132, 5);
  const char* sizes[14] = {"18", "24", "28", "30", "32", "36", "42",
                           "46", "48", "60", "72", "84", "92", "96"};
  const int firstType[14] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4, 4, 4, 4};
  const int lastType[14] = {1, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 7};
  for (int i = 0; i < 14; ++i) {
    w.Str(1136 + 6 * i, 5, std::string(sizes[i]) + "\"");
    w.Str(1220 + 3 * i, 2, sizes[i]);
    w.I32(1262 + 4 * i, firstType[i]);
    w.I32(1318 + 4 * i, lastType[i]);
  }
  w.U8(1374, 1);
  w.U8(1375, 1);
  w.U8(1376, 1);
  w.U8(1377, 1);
  w.Str(1378, 15, "2\"");
  w.I32(1394, 2);
  w.Str(1398, 15, "4\"");
  w.I32(1414, 0);
  w.Str(1418, 10, "Group 1");
  w.Str(1429, 10, "Group 2");
  w.Str(1440, 10, "Demolition");
  w.Str(1451, 250, "DR_KEY1.SYM");
  w.I32(1702, -1);
  w.Str(1706, 20, "Group &1");
  w.Str(1727, 20, "Group &2");
  w.Str(1748, 20, "&Both");
  const char* plans[13][2] = {{"&Floor Plan", "plan"},      {"&Reflected Ceiling Plan", "rcp"},
                              {"F&urniture Plan", "furn"},  {"F&inish Plan", "fin"},
                              {"&Demolition Plan", "demo"}, {"&Equipment Plan", "equip"},
                              {"&Site Plan", "site"},       {"S&tructural Framing Plan", "struct"},
                              {"&Mechanical Plan", "mech"}, {"&Power Plan", "pwr"},
                              {"&Lighting Plan", "ltg"},    {"Lighting and Po&wer Plan", "pwrltg"},
                              {"Plum&bing Plan", "plmg"}};
  for (int i = 0; i < 13; ++i) {
    const std::size_t at = 1769 + 50 * i;
    w.Str(at, 30, plans[i][0]);
    w.Str(at + 31, 8, plans[i][1]);
    w.Str(at + 40, 8, plans[i][1]);
    w.U8(at + 49, 1);
  }
  struct Scale {
    const char* display;
    double scale;
  };
  const Scale arch[14] = {
      {"1/32\" = 1'-0\"", 384}, {"1/16\" = 1'-0\"", 192}, {"3/32\" = 1'-0\"", 128},
      {"1/8\" = 1'-0\"", 96},   {"3/16\" = 1'-0\"", 64},  {"1/4\" = 1'-0\"", 48},
      {"3/8\" = 1'-0\"", 32},   {"1/2\" = 1'-0\"", 24},   {"3/4\" = 1'-0\"", 16},
      {"1\" = 1'-0\"", 12},     {"1 1/2\" = 1'-0\"", 8},  {"3\" = 1'-0\"", 4},
      {"Half Size", 2},         {"Full Size", 1}};
  const Scale eng[9] = {{"1\" = 200'", 2400}, {"1\" = 100'", 1200}, {"1\" = 80'", 960},
                        {"1\" = 60'", 720},   {"1\" = 50'", 600},   {"1\" = 40'", 480},
                        {"1\" = 30'", 360},   {"1\" = 20'", 240},   {"1\" = 10'", 120}};
  const Scale metric[12] = {{"1 : 1,000", 1000}, {"1 : 500", 500}, {"1 : 200", 200},
                            {"1 : 100", 100},    {"1 : 50", 50},   {"1 : 40", 40},
                            {"1 : 30", 30},      {"1 : 20", 20},   {"1 : 10", 10},
                            {"1 : 5", 5},        {"1 : 2", 2},     {"1 : 1", 1}};
  for (int i = 0; i < 14; ++i) {
    w.Str(4219 + 24 * i, 15, arch[i].display);
    w.F64(4219 + 24 * i + 16, arch[i].scale);
  }
  for (int i = 0; i < 9; ++i) {
    w.Str(4555 + 24 * i, 15, eng[i].display);
    w.F64(4555 + 24 * i + 16, eng[i].scale);
  }
  for (int i = 0; i < 12; ++i) {
    w.Str(4795 + 24 * i, 15, metric[i].display);
    w.F64(4795 + 24 * i + 16, metric[i].scale);
  }
  w.I32(5083, 0);
  w.I32(5087, 3);
  w.I32(5091, 6);
  w.I32(5095, 3);
  w.I32(5099, 0);
  w.I32(5103, 2);
  w.I32(5107, 0);
  w.I32(5111, 1);
  w.I32(5115, 32);
  w.I32(5119, 32);
  w.I32(5123, 2);
  w.I32(5127, 0);
  w.I32(5131, 0);
  w.U8(5237, 1);
  w.Str(5238, 15, "1.00");
  return w.bytes();
}

}  // namespace qxt::test
