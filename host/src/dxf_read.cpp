// A DXF read with the DXF library's reader. The file is first checked pair by pair (the library
// takes whatever it is given), so that a damaged or truncated file is refused naming its line;
// then its entities become host objects, those the host has no object for the nearest thing it
// draws, counted for the message line.
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

#include "dxf_common.h"
#include "host/dxf.h"
#include "json_io.h"

namespace host {

namespace {

constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr size_t kMaxShapes = 1000000;  // entities once blocks are exploded
constexpr size_t kMaxPoints = 100000;   // points of one lineset
constexpr long kMaxCount = 1000000;     // a count of vertices, knots or points in an entity
constexpr int kMaxBlockDepth = 16;
constexpr size_t kPointsPerStatement = 64;  // points of one LINE of a symbol file
constexpr size_t kMaxSymbolFile =
    1u << 20;  // the host reads symbol files up to 1 MiB      // blocks inside blocks
constexpr const char* kDrawingFormat = "TRACELON DRAWING";

// ---- The check pair by pair ----------------------------------------------------------------

enum class ValueKind { Text, Real, Integer };

ValueKind KindOfCode(long code) {
  if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
      (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059))
    return ValueKind::Real;
  if ((code >= 60 && code <= 99) || (code >= 160 && code <= 179) || (code >= 270 && code <= 289) ||
      (code >= 370 && code <= 389) || (code >= 400 && code <= 409) ||
      (code >= 420 && code <= 429) || (code >= 440 && code <= 459) ||
      (code >= 1060 && code <= 1071))
    return ValueKind::Integer;
  return ValueKind::Text;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool ParseLong(const std::string& text, long* out) {
  std::string t = Trim(text);
  if (t.empty() || t.size() > 18) return false;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (end != t.c_str() + t.size()) return false;
  *out = v;
  return true;
}

bool ParseReal(const std::string& text, double* out) {
  std::string t = Trim(text);
  if (t.empty() || t.size() > 40) return false;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

// What the library's entity data leaves out, in file order: the oblique angle of each TEXT and
// the block of each DIMENSION.
struct Extras {
  std::vector<double> oblique;
  std::vector<std::string> dimensionBlocks;
};

// Checks that the text is a whole DXF: group codes that are numbers, values of the kind their
// code holds, counts within reason, sections closed, and "EOF" at the end.
bool CheckPairs(const std::string& text, Extras* extras, std::string* error) {
  std::istringstream in(text);
  std::string codeLine, value, entity;
  long line = 0;
  bool inSection = false;
  auto fail = [&](long at, const std::string& why) {
    if (error) *error = "line " + std::to_string(at) + ": " + why;
    return false;
  };
  while (std::getline(in, codeLine)) {
    ++line;
    long code = 0;
    if (!ParseLong(codeLine, &code) || code < 0 || code > 1071)
      return fail(line, "a group code was expected, not \"" + Trim(codeLine).substr(0, 40) + "\"");
    if (!std::getline(in, value))
      return fail(line + 1, "the file ends before the value of group code " + std::to_string(code));
    ++line;
    if (value.size() > DL_DXF_MAXLINE) return fail(line, "the value is too long");
    std::string v = Trim(value);
    double real = 0;
    long whole = 0;
    switch (KindOfCode(code)) {
      case ValueKind::Real:
        if (!ParseReal(v, &real))
          return fail(line, "a number was expected for group code " + std::to_string(code));
        break;
      case ValueKind::Integer: {
        if (!ParseLong(v, &whole)) {
          // Some writers put decimals on whole numbers ("1.0").
          if (!ParseReal(v, &real) || real != std::floor(real) || std::fabs(real) > 2e9)
            return fail(line, "a whole number was expected for group code " + std::to_string(code));
          whole = static_cast<long>(real);
        }
        if (whole < -2147483647L || whole > 2147483647L)
          return fail(line, "the number is out of range");
        bool count = (entity == "LWPOLYLINE" && code == 90) ||
                     (entity == "SPLINE" && code >= 72 && code <= 74) ||
                     (entity == "LEADER" && code == 76) ||
                     (entity == "HATCH" && (code == 91 || code == 93 || code == 95 || code == 96 ||
                                            code == 97 || code == 98));
        if (count && (whole < 0 || whole > kMaxCount)) return fail(line, "a count out of range");
        break;
      }
      case ValueKind::Text:
        if (code == 2 && entity == "DIMENSION") extras->dimensionBlocks.back() = v;
        break;
    }
    if (code == 51 && entity == "TEXT") extras->oblique.back() = real;
    if (code == 0) {
      entity = v;
      if (v == "TEXT") extras->oblique.push_back(0);
      if (v == "DIMENSION") extras->dimensionBlocks.emplace_back();
      if (v == "SECTION") {
        if (inSection) return fail(line, "a section starts inside another");
        inSection = true;
      } else if (v == "ENDSEC") {
        if (!inSection) return fail(line, "ENDSEC outside a section");
        inSection = false;
      } else if (v == "EOF") {
        if (inSection) return fail(line, "the file ends inside a section");
        return true;
      }
    }
  }
  return fail(line + 1, line == 0 ? "the file is empty" : "the file ends before its end (no EOF)");
}

// ---- What the entities become -----------------------------------------------------------------

struct Shape {
  enum class Kind { Lineset, Arc, Text, MText, Insert } kind = Kind::Lineset;
  std::string layer;
  int aci = 256;
  std::vector<PointD> points;           // lineset
  PointD at;                            // arc centre, text point, insertion point
  double radius = 0, a1 = 0, a2 = 360;  // arc, degrees counter-clockwise
  bool full = false;
  double height = 0, angle = 0, widthFactor = 1, oblique = 0;  // texts; insert: angle
  int hcode = 0, vcode = 3;
  std::string text, face;  // MText: its contents with formatting codes
  std::string block;       // insert
  double sx = 1, sy = 1;
};

struct Block {
  PointD base;
  std::vector<Shape> shapes;
};

// A point of a two-dimensional transform: scale, rotate, move.
struct Transform {
  PointD base, at;
  double sx = 1, sy = 1, angle = 0;  // degrees
  PointD Apply(PointD p) const {
    double x = (p.x - base.x) * sx, y = (p.y - base.y) * sy;
    double c = std::cos(angle / kDegreesPerRadian), s = std::sin(angle / kDegreesPerRadian);
    return {at.x + x * c - y * s, at.y + x * s + y * c};
  }
};

std::vector<PointD> ArcPoints(PointD c, double r, double a1, double a2, bool full) {
  double sweep = full ? 360 : NormaliseDeg(a2 - a1);
  if (!full && sweep == 0) sweep = 360;
  int steps = std::max(4, static_cast<int>(std::ceil(sweep / 5)));
  std::vector<PointD> pts;
  for (int i = 0; i <= steps; ++i) {
    double a = (a1 + sweep * i / steps) / kDegreesPerRadian;
    pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return pts;
}

class Reader : public DL_CreationAdapter {
 public:
  std::map<std::string, Block> blocks;
  std::vector<Shape> model;
  struct LayerInfo {
    std::string name;
    int aci = 7;
    bool on = true;
    int number = 0;  // the host's number, when the host wrote the file
  };
  std::vector<LayerInfo> layers;
  int insUnits = 0, linearUnits = 0, pointsPerUnit = 0;
  double drawingScale = 0, plotScale = 0;
  std::string currentLayer;
  std::map<std::string, int> converted, skipped;
  Extras extras;

  void setVariableInt(const std::string& key, int value, int) override {
    if (key == "$INSUNITS") insUnits = value;
    if (key == "$LUNITS") linearUnits = value;
    if (key == "$USERI1") pointsPerUnit = value;
  }
  void setVariableDouble(const std::string& key, double value, int) override {
    if (key == "$USERR1") drawingScale = value;
    if (key == "$USERR2") plotScale = value;
  }
  void setVariableString(const std::string& key, const std::string& value, int) override {
    if (key == "$CLAYER") currentLayer = value;
  }

  // The host's number of a layer, in the layer's extended data.
  void addXDataApp(const std::string& application) override { xdataApplication_ = application; }
  void addXDataInt(int code, int value) override {
    if (xdataApplication_ == "TRACELON" && code == 1070) xdataNumber_ = value;
  }

  void addLayer(const DL_LayerData& data) override {
    int colour = attributes.getColor();
    const int number = xdataNumber_;
    xdataNumber_ = 0;
    xdataApplication_.clear();
    layers.push_back(
        {data.name, std::abs(colour), colour >= 0 && !data.off && (data.flags & 1) == 0, number});
  }

  void addBlock(const DL_BlockData& data) override {
    Flush();
    std::string name = data.name;
    std::string upper = Upper(name);
    if (upper == "*MODEL_SPACE") {
      target_ = &model;
    } else if (upper.rfind("*PAPER_SPACE", 0) == 0) {
      target_ = &paper_;
    } else {
      Block& b = blocks[upper];
      b = Block{};
      b.base = {data.bpx, data.bpy};
      target_ = &b.shapes;
    }
  }
  void endBlock() override {
    Flush();
    target_ = &model;
  }
  void endSection() override { Flush(); }

  void addPoint(const DL_PointData&) override { Skip("point"); }
  void addXLine(const DL_XLineData&) override { Skip("construction line"); }
  void addRay(const DL_RayData&) override { Skip("ray"); }
  void addImage(const DL_ImageData&) override { Skip("image"); }
  void addAttribute(const DL_AttributeData&) override { Skip("attribute"); }
  void addArcAlignedText(const DL_ArcAlignedTextData&) override { Skip("arc-aligned text"); }

  void addLine(const DL_LineData& d) override {
    Shape s = Start(Shape::Kind::Lineset);
    s.points = {{d.x1, d.y1}, {d.x2, d.y2}};
    Add(std::move(s));
  }
  void addArc(const DL_ArcData& d) override {
    if (!(d.radius > 0)) return Skip("arc without a radius");
    Shape s = Start(Shape::Kind::Arc);
    s.at = {d.cx, d.cy};
    s.radius = d.radius;
    s.a1 = d.angle1;
    s.a2 = d.angle2;
    Add(std::move(s));
  }
  void addCircle(const DL_CircleData& d) override {
    if (!(d.radius > 0)) return Skip("circle without a radius");
    Shape s = Start(Shape::Kind::Arc);
    s.at = {d.cx, d.cy};
    s.radius = d.radius;
    s.full = true;
    Add(std::move(s));
  }
  void addEllipse(const DL_EllipseData& d) override {
    Shape s = Start(Shape::Kind::Lineset);
    double major = std::hypot(d.mx, d.my), rot = std::atan2(d.my, d.mx);
    double minor = major * d.ratio, t1 = d.angle1, t2 = d.angle2;
    if (t2 <= t1) t2 += 2 * kPi;
    if (!(t2 - t1 <= 2 * kPi)) t2 = t1 + 2 * kPi;  // at most one turn
    int steps = std::max(8, static_cast<int>(std::ceil((t2 - t1) / (2 * kPi) * 72)));
    for (int i = 0; i <= steps; ++i) {
      double t = t1 + (t2 - t1) * i / steps;
      double x = major * std::cos(t), y = minor * std::sin(t);
      s.points.push_back({d.cx + x * std::cos(rot) - y * std::sin(rot),
                          d.cy + x * std::sin(rot) + y * std::cos(rot)});
    }
    Convert("ellipse");
    Add(std::move(s));
  }

  void addPolyline(const DL_PolylineData& d) override {
    Flush();
    if (d.flags & (16 | 64)) {  // polygon and polyface meshes: 3D, nothing the host draws
      Skip("mesh");
      return;
    }
    line_ = Start(Shape::Kind::Lineset);
    lineOpen_ = true;
    closed_ = (d.flags & 1) != 0;
    bulges_.clear();
  }
  void addVertex(const DL_VertexData& d) override {
    if (!lineOpen_ || line_.points.size() >= kMaxPoints) return;
    line_.points.push_back({d.x, d.y});
    bulges_.push_back(d.bulge);
  }
  void endSequence() override { Flush(); }

  void addSpline(const DL_SplineData& d) override {
    Flush();
    spline_ = Start(Shape::Kind::Lineset);
    splineOpen_ = true;
    degree_ = static_cast<int>(d.degree);
    knots_.clear();
    control_.clear();
    fit_.clear();
  }
  void addControlPoint(const DL_ControlPointData& d) override {
    if (splineOpen_ && control_.size() < kMaxPoints) control_.push_back({d.x, d.y});
  }
  void addFitPoint(const DL_FitPointData& d) override {
    if (splineOpen_ && fit_.size() < kMaxPoints) fit_.push_back({d.x, d.y});
  }
  void addKnot(const DL_KnotData& d) override {
    if (splineOpen_ && knots_.size() < kMaxPoints) knots_.push_back(d.k);
  }

  void addText(const DL_TextData& d) override {
    Shape s = Start(Shape::Kind::Text);
    // A justified text stands at its alignment point; a writer may leave that point out (the
    // library then gives no number), and the text then stands at its insertion point.
    bool aligned = (d.hJustification != 0 || d.vJustification != 0) && std::isfinite(d.apx) &&
                   std::isfinite(d.apy);
    s.at = aligned ? PointD{d.apx, d.apy} : PointD{d.ipx, d.ipy};
    s.height = d.height;
    s.angle = d.angle * kDegreesPerRadian;
    s.widthFactor = d.xScaleFactor > 0 ? d.xScaleFactor : 1;
    s.oblique = texts_ < extras.oblique.size() ? extras.oblique[texts_] : 0;
    ++texts_;
    s.hcode = d.hJustification == 1 || d.hJustification == 4 ? 2 : (d.hJustification == 2 ? 1 : 0);
    s.vcode = d.vJustification == 3 ? 4 : (d.vJustification == 2 ? 2 : 3);
    s.text = d.text;
    Add(std::move(s));
  }
  void addMTextChunk(const std::string& text) override { chunks_ += text; }
  void addMText(const DL_MTextData& d) override {
    Shape s = Start(Shape::Kind::MText);
    s.at = {d.ipx, d.ipy};
    s.height = d.height;
    s.angle = (d.dirx != 0 || d.diry != 0) ? std::atan2(d.diry, d.dirx) * kDegreesPerRadian
                                           : d.angle * kDegreesPerRadian;
    int attach = std::clamp(d.attachmentPoint, 1, 9) - 1;
    s.vcode = attach / 3 == 0 ? 4 : (attach / 3 == 1 ? 2 : 3);
    s.hcode = attach % 3 == 1 ? 2 : (attach % 3 == 2 ? 1 : 0);
    s.text = chunks_ + d.text;
    chunks_.clear();
    Add(std::move(s));
  }

  void addInsert(const DL_InsertData& d) override {
    Shape s = Start(Shape::Kind::Insert);
    s.block = d.name;
    s.at = {d.ipx, d.ipy};
    s.sx = d.sx;
    s.sy = d.sy;
    s.angle = d.angle;
    if (d.cols > 1 || d.rows > 1) Convert("insert array (first only)");
    Add(std::move(s));
  }

  // A dimension's picture is a block of lines and texts: it is exploded in place.
  void Dimension() {
    Flush();
    std::string name =
        dimensions_ < extras.dimensionBlocks.size() ? extras.dimensionBlocks[dimensions_] : "";
    ++dimensions_;
    if (name.empty()) {
      Skip("dimension without its block");
      return;
    }
    Shape s = Start(Shape::Kind::Insert);
    s.block = name;
    s.face = "explode";
    Convert("dimension");
    Add(std::move(s));
  }
  void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { Dimension(); }
  void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { Dimension(); }
  void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { Dimension(); }
  void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override {
    Dimension();
  }
  void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override { Dimension(); }
  void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override {
    Dimension();
  }
  void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override { Dimension(); }

  void addLeader(const DL_LeaderData&) override {
    Flush();
    line_ = Start(Shape::Kind::Lineset);
    lineOpen_ = true;
    closed_ = false;
    bulges_.clear();
    Convert("leader");
  }
  void addLeaderVertex(const DL_LeaderVertexData& d) override {
    if (!lineOpen_ || line_.points.size() >= kMaxPoints) return;
    line_.points.push_back({d.x, d.y});
    bulges_.push_back(0);
  }

  void addHatch(const DL_HatchData&) override {
    Flush();
    hatchAttributes_ = attributes;
    Convert("hatch");
  }
  void addHatchLoop(const DL_HatchLoopData&) override { FlushHatchLoop(); }
  void addHatchEdge(const DL_HatchEdgeData& e) override {
    if (!e.defined || hatchLoop_.size() >= kMaxPoints) return;
    std::vector<PointD> pts;
    if (e.type == 1) {
      pts = {{e.x1, e.y1}, {e.x2, e.y2}};
    } else if (e.type == 2) {
      double a1 = e.angle1 * kDegreesPerRadian, a2 = e.angle2 * kDegreesPerRadian;
      pts = e.ccw ? ArcPoints({e.cx, e.cy}, e.radius, a1, a2, false)
                  : ArcPoints({e.cx, e.cy}, e.radius, -a1, -a2, false);
      if (!e.ccw)
        for (auto& p : pts) p.y = 2 * e.cy - p.y;
    } else if (e.type == 4) {
      for (const auto& c : e.controlPoints)
        if (c.size() >= 2) pts.push_back({c[0], c[1]});
    } else if (e.type == 0) {
      for (const auto& v : e.vertices)
        if (v.size() >= 2) pts.push_back({v[0], v[1]});
    }
    for (const auto& p : pts) hatchLoop_.push_back(p);
  }

  void Corners(const double* x, const double* y, const char* kind) {
    Shape s = Start(Shape::Kind::Lineset);
    // Corners 1, 2, 4, 3: the order DXF gives a solid's corners in.
    s.points = {{x[0], y[0]}, {x[1], y[1]}, {x[3], y[3]}, {x[2], y[2]}, {x[0], y[0]}};
    Convert(kind);
    Add(std::move(s));
  }
  void addSolid(const DL_SolidData& d) override { Corners(d.x, d.y, "solid"); }
  void addTrace(const DL_TraceData& d) override { Corners(d.x, d.y, "trace"); }
  void add3dFace(const DL_3dFaceData& d) override {
    double x[4] = {d.x[0], d.x[1], d.x[3], d.x[2]}, y[4] = {d.y[0], d.y[1], d.y[3], d.y[2]};
    Corners(x, y, "3D face");
  }

  void Finish() {
    Flush();
    FlushHatchLoop();
  }

  static std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }

 private:
  Shape Start(Shape::Kind kind) {
    Flush();
    Shape s;
    s.kind = kind;
    s.layer = attributes.getLayer();
    s.aci = attributes.getColor();
    return s;
  }
  void Add(Shape s) {
    if (target_->size() >= kMaxShapes) return;
    target_->push_back(std::move(s));
  }
  void Skip(const std::string& kind) {
    Flush();
    ++skipped[kind];
  }
  void Convert(const std::string& kind) { ++converted[kind]; }

  // Ends an open polyline, leader or spline, and a hatch's last loop.
  void Flush() {
    if (lineOpen_) {
      lineOpen_ = false;
      Shape s = line_;
      s.points.clear();
      size_t n = line_.points.size();
      bool bulged = false;
      for (size_t i = 0; i < n; ++i) {
        s.points.push_back(line_.points[i]);
        size_t next = i + 1 < n ? i + 1 : (closed_ ? 0 : n);
        if (next == n || i >= bulges_.size() || bulges_[i] == 0 || !std::isfinite(bulges_[i]))
          continue;
        // A bulge is the tangent of a quarter of the arc's angle, negative clockwise.
        PointD a = line_.points[i], b = line_.points[next];
        double chord = Distance(a, b), theta = 4 * std::atan(bulges_[i]);
        if (chord == 0 || std::sin(theta / 2) == 0) continue;
        double r = chord / (2 * std::sin(theta / 2));
        PointD mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        double d = r * std::cos(theta / 2);
        PointD c{mid.x - d * (b.y - a.y) / chord, mid.y + d * (b.x - a.x) / chord};
        double start = std::atan2(a.y - c.y, a.x - c.x);
        int steps =
            std::max(2, static_cast<int>(std::ceil(std::fabs(theta) * kDegreesPerRadian / 10)));
        for (int k = 1; k < steps; ++k) {
          double t = start + theta * k / steps;
          s.points.push_back({c.x + std::fabs(r) * std::cos(t), c.y + std::fabs(r) * std::sin(t)});
        }
        bulged = true;
      }
      if (closed_ && n > 1) s.points.push_back(line_.points[0]);
      if (bulged) Convert("polyline arc");
      if (s.points.size() > kMaxPoints) s.points.resize(kMaxPoints);
      if (s.points.size() >= 2) target_->size() < kMaxShapes ? target_->push_back(s) : void();
    }
    if (splineOpen_) {
      splineOpen_ = false;
      Shape s = spline_;
      s.points = SplinePoints();
      Convert("spline");
      if (s.points.size() >= 2 && target_->size() < kMaxShapes) target_->push_back(s);
    }
  }

  void FlushHatchLoop() {
    if (hatchLoop_.size() >= 2) {
      Shape s;
      s.kind = Shape::Kind::Lineset;
      s.layer = hatchAttributes_.getLayer();
      s.aci = hatchAttributes_.getColor();
      s.points = hatchLoop_;
      if (s.points.size() > kMaxPoints) s.points.resize(kMaxPoints);
      if (target_->size() < kMaxShapes) target_->push_back(s);
    }
    hatchLoop_.clear();
  }

  // The spline through de Boor's evaluation when its knots fit its control points; otherwise
  // its fit points, or its control polygon.
  std::vector<PointD> SplinePoints() const {
    size_t n = control_.size();
    int p = degree_;
    if (p >= 1 && p <= 10 && n > static_cast<size_t>(p) && knots_.size() == n + p + 1 &&
        std::is_sorted(knots_.begin(), knots_.end())) {
      double lo = knots_[p], hi = knots_[n];
      if (hi > lo) {
        std::vector<PointD> pts;
        const int steps = static_cast<int>(std::min<size_t>(n * 8, 2000));
        for (int i = 0; i <= steps; ++i) {
          double t = lo + (hi - lo) * i / steps;
          size_t k = p;
          while (k + 1 < n && knots_[k + 1] <= t) ++k;
          std::vector<PointD> d(control_.begin() + (k - p), control_.begin() + (k + 1));
          for (int r = 1; r <= p; ++r) {
            for (int j = p; j >= r; --j) {
              double den = knots_[k + 1 + j - r] - knots_[k + j - p];
              double a = den == 0 ? 0 : (t - knots_[k + j - p]) / den;
              d[j] = {(1 - a) * d[j - 1].x + a * d[j].x, (1 - a) * d[j - 1].y + a * d[j].y};
            }
          }
          pts.push_back(d[p]);
        }
        return pts;
      }
    }
    return fit_.size() >= 2 ? fit_ : control_;
  }

  std::vector<Shape> paper_;
  std::vector<Shape>* target_ = &model;
  size_t texts_ = 0, dimensions_ = 0;
  std::string xdataApplication_;
  int xdataNumber_ = 0;
  Shape line_, spline_;
  bool lineOpen_ = false, closed_ = false, splineOpen_ = false;
  std::vector<double> bulges_;
  int degree_ = 3;
  std::vector<double> knots_;
  std::vector<PointD> control_, fit_;
  std::string chunks_;
  DL_Attributes hatchAttributes_;
  std::vector<PointD> hatchLoop_;
};

// ---- MTEXT formatting ---------------------------------------------------------------------

struct MRun {
  std::string text;
  bool bold = false, italic = false, underline = false;
  double height = 0;
  bool newParagraph = false;
  int align = 0;  // of its paragraph: 0 left, 1 centre, 2 right
};

// Reads the formatting codes of an MTEXT's contents into runs: \P paragraphs, {\f...|b1|i1;}
// fonts, \L \l underline, \H height, braces; other codes are dropped.
std::vector<MRun> ReadMText(const std::string& text, double height, std::string* face) {
  std::vector<MRun> runs;
  struct State {
    bool bold = false, italic = false, underline = false;
    double height = 0;
  };
  std::vector<State> stack{State{false, false, false, height}};
  MRun current;
  auto start = [&](bool paragraph) {
    if (!current.text.empty() || current.newParagraph) runs.push_back(current);
    current = MRun{};
    current.newParagraph = paragraph;
  };
  int paragraphAlign = 0;
  auto apply = [&]() {
    if (!current.text.empty()) start(false);
    current.align = paragraphAlign;
    current.bold = stack.back().bold;
    current.italic = stack.back().italic;
    current.underline = stack.back().underline;
    current.height = stack.back().height;
  };
  apply();
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '{') {
      if (stack.size() < 64) stack.push_back(stack.back());
      apply();
    } else if (c == '}') {
      if (stack.size() > 1) stack.pop_back();
      apply();
    } else if (c == '\\' && i + 1 < text.size()) {
      char k = text[++i];
      size_t semi = text.find(';', i);
      std::string arg = semi == std::string::npos ? "" : text.substr(i + 1, semi - i - 1);
      switch (k) {
        case 'P':
          start(true);
          apply();
          break;
        case 'L':
          stack.back().underline = true;
          apply();
          break;
        case 'l':
          stack.back().underline = false;
          apply();
          break;
        case 'f':
        case 'F': {
          std::stringstream parts(arg);
          std::string part;
          std::getline(parts, part, '|');
          if (face->empty() && !part.empty()) *face = part.substr(0, 31);
          while (std::getline(parts, part, '|')) {
            if (part == "b1") stack.back().bold = true;
            if (part == "b0") stack.back().bold = false;
            if (part == "i1") stack.back().italic = true;
            if (part == "i0") stack.back().italic = false;
          }
          apply();
          if (semi != std::string::npos) i = semi;
          break;
        }
        case 'H': {
          double v = 0;
          std::string number = arg;
          bool relative = !number.empty() && (number.back() == 'x' || number.back() == 'X');
          if (relative) number.pop_back();
          if (ParseReal(number, &v) && v > 0)
            stack.back().height = relative ? stack.back().height * v : v;
          apply();
          if (semi != std::string::npos) i = semi;
          break;
        }
        case 'A':
        case 'C':
        case 'c':
        case 'T':
        case 'Q':
        case 'W':
          if (semi != std::string::npos) i = semi;
          break;
        case 'p':  // paragraph properties: the alignment is kept
          if (arg.find("qc") != std::string::npos) paragraphAlign = 1;
          if (arg.find("qr") != std::string::npos) paragraphAlign = 2;
          if (arg.find("ql") != std::string::npos || arg.find("qj") != std::string::npos)
            paragraphAlign = 0;
          apply();
          if (semi != std::string::npos) i = semi;
          break;
        case 'S':  // a stacked fraction: shown as "a/b"
          if (semi != std::string::npos) {
            std::string s = arg;
            std::replace(s.begin(), s.end(), '^', '/');
            std::replace(s.begin(), s.end(), '#', '/');
            current.text += s;
            i = semi;
          }
          break;
        case '~':
          current.text += ' ';
          break;
        case '\\':
        case '{':
        case '}':
          current.text += k;
          break;
        default:
          break;
      }
    } else if (c != '\n' && c != '\r') {
      current.text += c;
    }
  }
  start(false);
  return runs;
}

std::string RtfEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '{' || c == '}') out += '\\';
    out += c;
  }
  return out;
}

// ---- Making the drawing ---------------------------------------------------------------------

class Builder {
 public:
  explicit Builder(const Reader& reader) : reader_(reader) {}

  // The blocks' shapes with the inserts inside them exploded (an insert of a block that is
  // being exploded is skipped: blocks cannot hold themselves).
  bool Explode(const std::vector<Shape>& shapes, const Transform* t, int depth,
               std::vector<std::string>& path, std::vector<Shape>* out, std::string* error) {
    // What the shapes explode into is counted first, without making it.
    std::vector<std::string> counting = path;
    double total = 0;
    for (const Shape& s : shapes)
      total += s.kind == Shape::Kind::Insert ? Count(s.block, depth, counting) : 1;
    if (out->size() + total > kMaxShapes) {
      if (error)
        *error =
            "more than " + std::to_string(kMaxShapes) + " entities once its blocks are exploded";
      return false;
    }
    for (const Shape& s : shapes) {
      // Every entity made counts, so that blocks of many inserts of blocks cannot run away.
      if (out->size() >= kMaxShapes || ++produced_ > 4 * kMaxShapes) {
        if (error)
          *error =
              "more than " + std::to_string(kMaxShapes) + " entities once its blocks are exploded";
        return false;
      }
      if (s.kind == Shape::Kind::Insert) {
        std::string key = Reader::Upper(s.block);
        auto it = reader_.blocks.find(key);
        if (it == reader_.blocks.end() || depth >= kMaxBlockDepth ||
            std::find(path.begin(), path.end(), key) != path.end()) {
          ++missing_;
          continue;
        }
        Transform inner{it->second.base, s.at, s.sx, s.sy, s.angle};
        std::vector<Shape> placed;
        path.push_back(key);
        if (!Explode(it->second.shapes, nullptr, depth + 1, path, &placed, error)) return false;
        path.pop_back();
        for (Shape& p : placed) {
          p = Place(p, inner);
          if (p.layer == "0") p.layer = s.layer;
          if (p.aci == 0) p.aci = s.aci;  // by block
          if (t) p = Place(p, *t);
          out->push_back(std::move(p));
          if (out->size() >= kMaxShapes) break;
        }
        continue;
      }
      out->push_back(t ? Place(s, *t) : s);
    }
    return true;
  }

  // The entities an insert of the block explodes into (an insert that Explode leaves out counts
  // nothing), counted once for each block.
  double Count(const std::string& block, int depth, std::vector<std::string>& path) {
    std::string key = Reader::Upper(block);
    auto it = reader_.blocks.find(key);
    if (it == reader_.blocks.end() || depth >= kMaxBlockDepth ||
        std::find(path.begin(), path.end(), key) != path.end())
      return 0;
    auto known = counts_.find(key);
    if (known != counts_.end()) return known->second;
    path.push_back(key);
    double n = 0;
    for (const Shape& s : it->second.shapes)
      n += s.kind == Shape::Kind::Insert ? Count(s.block, depth + 1, path) : 1;
    path.pop_back();
    counts_[key] = n;
    return n;
  }

  static Shape Place(const Shape& s, const Transform& t) {
    Shape p = s;
    bool mirrored = (t.sx < 0) != (t.sy < 0);
    bool uniform =
        std::fabs(std::fabs(t.sx) - std::fabs(t.sy)) < 1e-9 * std::max(1.0, std::fabs(t.sx));
    switch (s.kind) {
      case Shape::Kind::Lineset:
        for (auto& q : p.points) q = t.Apply(q);
        break;
      case Shape::Kind::Arc:
        if (!uniform) {
          p.kind = Shape::Kind::Lineset;
          p.points = ArcPoints(s.at, s.radius, s.a1, s.a2, s.full);
          for (auto& q : p.points) q = t.Apply(q);
          break;
        }
        p.at = t.Apply(s.at);
        p.radius = s.radius * std::fabs(t.sx);
        if (!s.full) {
          PointD a = t.Apply({s.at.x + std::cos(s.a1 / kDegreesPerRadian),
                              s.at.y + std::sin(s.a1 / kDegreesPerRadian)});
          PointD b = t.Apply({s.at.x + std::cos(s.a2 / kDegreesPerRadian),
                              s.at.y + std::sin(s.a2 / kDegreesPerRadian)});
          double a1 = AngleDeg(p.at, a), a2 = AngleDeg(p.at, b);
          p.a1 = mirrored ? a2 : a1;
          p.a2 = mirrored ? a1 : a2;
        }
        break;
      case Shape::Kind::Text:
      case Shape::Kind::MText:
        p.at = t.Apply(s.at);
        p.height = s.height * std::fabs(t.sy);
        p.angle = s.angle + t.angle;
        break;
      case Shape::Kind::Insert:
        p.at = t.Apply(s.at);
        p.sx = s.sx * t.sx;
        p.sy = s.sy * t.sy;
        p.angle = s.angle + t.angle;
        break;
    }
    return p;
  }

  int Missing() const { return missing_; }

 private:
  const Reader& reader_;
  int missing_ = 0;
  size_t produced_ = 0;
  std::map<std::string, double> counts_;
};

struct Contents {
  UnitSettings units;
  std::vector<std::pair<int, LayerState>> layers;
  std::map<std::string, int> layerNumbers;            // upper-case DXF name -> host layer
  std::vector<Shape> model;                           // dimensions exploded; other inserts kept
  std::map<std::string, std::vector<Shape>> symbols;  // used blocks, exploded
  std::string note;
  int activeLayer = 1;
};

std::string Plural(int n, const std::string& word) {
  std::string w = word;
  if (n != 1) w += (w.back() == 's' || w.back() == 'x' || w.back() == 'h') ? "es" : "s";
  return std::to_string(n) + " " + w;
}

std::string Note(const std::map<std::string, int>& converted,
                 const std::map<std::string, int>& skipped) {
  std::string note;
  auto list = [](const std::map<std::string, int>& m) {
    std::string s;
    for (const auto& [kind, n] : m) s += (s.empty() ? "" : ", ") + Plural(n, kind);
    return s;
  };
  if (!converted.empty()) note = "DXF: converted " + list(converted);
  if (!skipped.empty()) note += (note.empty() ? "DXF: skipped " : "; skipped ") + list(skipped);
  return note;
}

bool ReadContents(const std::string& dxf, Contents* out, std::string* error) {
  Reader reader;
  if (!CheckPairs(dxf, &reader.extras, error)) return false;
  try {
    std::istringstream in(dxf);
    DL_Dxf library;
    if (!library.in(in, &reader)) {
      if (error) *error = "line 1: not a DXF file";
      return false;
    }
  } catch (const std::exception& e) {
    if (error) *error = std::string("not readable as DXF: ") + e.what();
    return false;
  }
  reader.Finish();

  UnitSettings& u = out->units;
  u.unitType = dxf::UnitTypeOf(reader.insUnits, reader.linearUnits);
  // A file written by the host keeps its scale; another is drawn at 8000 drawing units an inch
  // on a sheet of 1/8" to the foot.
  u.pointsPerUnit =
      reader.pointsPerUnit > 0
          ? reader.pointsPerUnit
          : std::max<int32_t>(1,
                              static_cast<int32_t>(std::lround(8000 * dxf::InchesPer(u.unitType))));
  u.drawingScale = reader.drawingScale > 0 && reader.drawingScale < 1e9 ? reader.drawingScale : 96;
  u.plotScale = reader.plotScale > 0 && reader.plotScale < 1e9 ? reader.plotScale : 96;
  u.scaledUnits = u.unitType == HSI_UNIT_FEET_INCHES ? HSI_SCALED_FRACTIONS : HSI_SCALED_DECIMALS;

  // Layers: "LAYERn" keeps its number, the others take the free numbers in table order; layer
  // "0" is the first free one when something is drawn on it.
  std::vector<bool> taken(HSI_LAYER_COUNT + 1, false);
  auto numbered = [](const std::string& name) -> int {
    if (name.size() < 6 || Reader::Upper(name.substr(0, 5)) != "LAYER") return 0;
    long n = 0;
    if (!ParseLong(name.substr(5), &n) || n < 1 || n > HSI_LAYER_COUNT ||
        name.substr(5) != std::to_string(n))
      return 0;
    return static_cast<int>(n);
  };
  // A layer keeps the number the host wrote with it, or the one its name "LAYERn" gives.
  std::map<std::string, int> fixedNumbers;
  for (const auto& l : reader.layers) {
    int n = l.number >= 1 && l.number <= HSI_LAYER_COUNT ? l.number : numbered(l.name);
    if (n != 0 && !taken[n] && !fixedNumbers.count(Reader::Upper(l.name))) {
      taken[n] = true;
      fixedNumbers[Reader::Upper(l.name)] = n;
    }
  }
  int merged = 0, last = 0;
  auto assign = [&](const std::string& name, int aci, bool on) {
    std::string key = Reader::Upper(name);
    if (out->layerNumbers.count(key)) return;
    auto fixed = fixedNumbers.find(key);
    int n = fixed == fixedNumbers.end() ? 0 : fixed->second;
    if (n == 0) {
      // After the layer before it in the table, so that a table in number order keeps it.
      for (int k = last + 1; k <= HSI_LAYER_COUNT && n == 0; ++k)
        if (!taken[k]) n = k;
      for (int k = 1; k <= HSI_LAYER_COUNT && n == 0; ++k)
        if (!taken[k]) n = k;
      if (n == 0) {
        ++merged;
        last = HSI_LAYER_COUNT;
        out->layerNumbers[key] = HSI_LAYER_COUNT;
        return;
      }
      taken[n] = true;
    }
    last = n;
    LayerState s;
    s.name = key == "0" || n == numbered(name) ? "" : name.substr(0, 17);
    s.colour = static_cast<int16_t>(aci == 7 ? 0 : dxf::HostColourFromAci(aci));
    s.state = on ? HSI_LAYER_ON : HSI_LAYER_OFF;
    out->layers.emplace_back(n, s);
    out->layerNumbers[key] = n;
  };
  for (const auto& l : reader.layers)
    if (Reader::Upper(l.name) != "0") assign(l.name, l.aci, l.on);

  // Model space: dimensions exploded; inserts of blocks kept as symbol instances.
  Builder builder(reader);
  std::vector<std::string> path;
  std::vector<Shape> model;
  for (const Shape& s : reader.model) {
    if (s.kind == Shape::Kind::Insert && s.face == "explode") {
      std::vector<Shape> one{s};
      one[0].face.clear();
      if (!builder.Explode(one, nullptr, 0, path, &model, error)) return false;
    } else {
      model.push_back(s);
    }
    if (model.size() > kMaxShapes) {
      if (error) *error = "too many entities";
      return false;
    }
  }
  for (auto& s : model) {
    if (s.kind != Shape::Kind::Insert) continue;
    std::string key = Reader::Upper(s.block);
    if (!reader.blocks.count(key)) continue;
    if (out->symbols.count(key)) continue;
    std::vector<Shape> shapes;
    path = {key};
    Transform none{reader.blocks.at(key).base, {0, 0}, 1, 1, 0};
    if (!builder.Explode(reader.blocks.at(key).shapes, &none, 1, path, &shapes, error))
      return false;
    out->symbols[key] = std::move(shapes);
  }
  for (const auto& s : model) {
    if (Reader::Upper(s.layer) == "0" || !out->layerNumbers.count(Reader::Upper(s.layer))) {
      auto& r = reader.layers;
      auto it = std::find_if(r.begin(), r.end(), [&](const auto& l) {
        return Reader::Upper(l.name) == Reader::Upper(s.layer);
      });
      assign(s.layer, it == r.end() ? 7 : it->aci, it == r.end() || it->on);
    }
  }
  if (!reader.currentLayer.empty() && out->layerNumbers.count(Reader::Upper(reader.currentLayer)))
    out->activeLayer = out->layerNumbers.at(Reader::Upper(reader.currentLayer));
  out->model = std::move(model);
  auto skipped = reader.skipped;
  if (builder.Missing()) skipped["insert of a missing block"] += builder.Missing();
  if (merged) skipped["layer beyond 255 (drawn on layer 255)"] += merged;
  out->note = Note(reader.converted, skipped);
  return true;
}

int32_t Dbu(double v, double ppu, bool* ok) {
  double d = v * ppu;
  if (!std::isfinite(d) || std::fabs(d) > 2147483647.0) {
    *ok = false;
    return 0;
  }
  return static_cast<int32_t>(std::lround(d));
}

std::string MTextDocument(const Shape& s, double dbuPerPoint, std::string* face, int* size) {
  std::vector<MRun> runs = ReadMText(s.text, s.height, face);
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 " + RtfEscape(face->empty() ? "Arial" : *face) + ";}}";
  *size = 0;
  bool paragraphStart = true;
  for (const auto& r : runs) {
    if (r.newParagraph) {
      rtf += "\\par\n";
      paragraphStart = true;
    }
    if (paragraphStart) {
      rtf += r.align == 1 ? "\\pard\\qc " : (r.align == 2 ? "\\pard\\qr " : "\\pard\\ql ");
      paragraphStart = false;
    }
    double wanted = 2 * r.height / dbuPerPoint;
    int halfPoints = std::isfinite(wanted)
                         ? static_cast<int>(std::lround(std::clamp(wanted, 1.0, 32767.0)))
                         : 20;
    if (*size == 0) *size = std::max(1, halfPoints / 2);
    if (r.text.empty()) continue;
    rtf += "{\\fs" + std::to_string(halfPoints) + (r.bold ? "\\b" : "") + (r.italic ? "\\i" : "") +
           (r.underline ? "\\ul" : "") + " " + RtfEscape(r.text) + "}";
  }
  if (*size == 0) *size = 10;
  // An empty last paragraph is ended too, or it would not be there.
  if (!runs.empty() && runs.back().newParagraph && runs.back().text.empty()) rtf += "\\par\n";
  return rtf + "}";
}

// The shape as symbol elements the symbol format can hold: a long lineset in pieces of at most
// 64 points (a statement is one line of a symbol file), an arc only with a radius and a text only
// with a size, at most 255 characters of it (an MTEXT's paragraphs joined by spaces).
void AddElements(const Shape& s, SymbolDef* def) {
  // A shape at no number cannot be placed (nor written and read again): it is left out.
  auto finite = [](const PointD& p) { return std::isfinite(p.x) && std::isfinite(p.y); };
  if (!finite(s.at) || !std::all_of(s.points.begin(), s.points.end(), finite)) return;
  SymbolElement e;
  switch (s.kind) {
    case Shape::Kind::Lineset:
      e.kind = SymbolElement::Kind::Lineset;
      for (size_t from = 0; from + 1 < s.points.size(); from += kPointsPerStatement - 1) {
        size_t to = std::min(s.points.size(), from + kPointsPerStatement);
        e.points.assign(s.points.begin() + from, s.points.begin() + to);
        def->elements.push_back(e);
      }
      return;
    case Shape::Kind::Arc:
      if (!(s.radius > 0) || !std::isfinite(s.radius)) return;
      e.kind = SymbolElement::Kind::Arc;
      e.centre = s.at;
      e.radius = s.radius;
      e.angle1 = s.full ? 0 : s.a1;
      e.angle2 = s.full ? 360 : s.a2;
      break;
    case Shape::Kind::Text:
    case Shape::Kind::MText: {
      if (!(s.height > 0) || !std::isfinite(s.height)) return;
      e.kind = SymbolElement::Kind::Text;
      e.centre = s.at;
      e.size = s.height;
      e.angle1 = s.angle;
      e.hcode = s.hcode;
      e.vcode = s.vcode;
      std::string face;
      if (s.kind == Shape::Kind::MText) {
        for (const auto& r : ReadMText(s.text, s.height, &face))
          e.text += (r.newParagraph && !e.text.empty() ? " " : "") + r.text;
      } else {
        e.text = s.text;
      }
      e.text = e.text.substr(0, HSI_CAD_TEXT_CHARS - 1);
      break;
    }
    case Shape::Kind::Insert:
      return;
  }
  def->elements.push_back(std::move(e));
}

}  // namespace

bool DxfToDrawingFile(const std::string& dxf, std::string* drawing, std::string* note,
                      std::string* error) {
  Contents c;
  if (!ReadContents(dxf, &c, error)) return false;
  const double ppu = c.units.pointsPerUnit;
  const double dbuPerPoint = DbuPerPaperInch(c.units) / 72.0;
  bool ok = true;
  auto pt = [&](PointD p) { return Point{Dbu(p.x, ppu, &ok), Dbu(p.y, ppu, &ok)}; };

  Json j;
  j["format"] = kDrawingFormat;
  j["version"] = 1;
  j["activeLayer"] = c.activeLayer;
  j["units"] = UnitsToJson(c.units);
  Json layers = Json::array();
  for (const auto& [n, s] : c.layers) layers.push_back(LayerToJson(n, s));
  j["layers"] = layers;
  Json objects = Json::array();
  for (const Shape& s : c.model) {
    Object o;
    o.layer = static_cast<int16_t>(c.layerNumbers.count(Reader::Upper(s.layer))
                                       ? c.layerNumbers.at(Reader::Upper(s.layer))
                                       : 1);
    o.colour = static_cast<int16_t>(
        s.aci == 256 || s.aci == 0 ? 0 : dxf::HostColourFromAci(std::abs(s.aci)));
    switch (s.kind) {
      case Shape::Kind::Lineset: {
        LinesetData d;
        for (const auto& p : s.points) d.points.push_back(pt(p));
        if (d.points.size() < 2) continue;
        o.at = d.points.front();
        o.data = d;
        break;
      }
      case Shape::Kind::Arc: {
        ArcData d;
        o.at = pt(s.at);
        d.radius = Dbu(s.radius, ppu, &ok);
        if (d.radius <= 0) continue;
        auto onArc = [&](double a) {
          return pt({s.at.x + s.radius * std::cos(a / kDegreesPerRadian),
                     s.at.y + s.radius * std::sin(a / kDegreesPerRadian)});
        };
        d.start = onArc(s.full ? 0 : s.a1);
        d.end = s.full ? d.start : onArc(s.a2);
        o.data = d;
        break;
      }
      case Shape::Kind::Text: {
        TextData d;
        o.at = pt(s.at);
        d.size = std::max(0, Dbu(s.height, ppu, &ok));
        d.orientation = NormaliseDeg(std::round(s.angle * 1e9) / 1e9);
        d.widthFactor = s.widthFactor;
        d.slant = static_cast<int16_t>(std::lround(std::clamp(s.oblique, -85.0, 85.0)));
        d.hcode = static_cast<int16_t>(s.hcode);
        d.vcode = static_cast<int16_t>(s.vcode);
        d.text = s.text.substr(0, HSI_CAD_TEXT_CHARS - 1);
        o.data = d;
        break;
      }
      case Shape::Kind::MText: {
        TrueTypeData d;
        o.at = pt(s.at);
        d.orientation = NormaliseDeg(std::round(s.angle * 1e9) / 1e9);
        d.hcode = static_cast<int16_t>(s.hcode);
        d.vcode = static_cast<int16_t>(s.vcode);
        int size = 10;
        Shape inDbu = s;
        inDbu.height = s.height * ppu;
        d.document = MTextDocument(inDbu, dbuPerPoint, &d.face, &size);
        d.size = static_cast<int16_t>(std::min(size, 32767));
        d.content = HSI_TT_CONTENT_RTF;
        o.data = d;
        break;
      }
      case Shape::Kind::Insert: {
        std::string key = Reader::Upper(s.block);
        if (!c.symbols.count(key)) continue;
        SymbolData d;
        d.name = key.find('.') == std::string::npos ? s.block + ".SYM" : s.block;
        o.at = pt(s.at);
        d.scaleX = s.sx;
        d.scaleY = s.sy;
        d.rotation = s.angle;
        o.data = d;
        break;
      }
    }
    if (!ok) break;
    objects.push_back(ObjectToJson(o, true));
  }
  // Blocks become symbols in the drawing's own unit.
  Json symbols = Json::array();
  for (const auto& [key, shapes] : c.symbols) {
    SymbolDef def;
    std::string name;
    for (const Shape& s : c.model)
      if (s.kind == Shape::Kind::Insert && Reader::Upper(s.block) == key) name = s.block;
    def.name = key.find('.') == std::string::npos ? name + ".SYM" : name;
    def.unit = ppu;
    for (const Shape& s : shapes) AddElements(s, &def);
    for (const auto& e : def.elements) {
      for (const auto& p : e.points)
        if (!std::isfinite(p.x * ppu) || std::fabs(p.x * ppu) > 2e9 || std::fabs(p.y * ppu) > 2e9)
          ok = false;
      if (std::fabs(e.centre.x * ppu) > 2e9 || std::fabs(e.centre.y * ppu) > 2e9 ||
          std::fabs(e.radius * ppu) > 2e9)
        ok = false;
    }
    symbols.push_back(Json{{"name", def.name}, {"text", WriteSymbol(def)}});
  }
  if (!ok) {
    if (error) *error = "a coordinate lies beyond the range of the host's drawing";
    return false;
  }
  j["objects"] = objects;
  j["symbols"] = symbols;
  *drawing = DumpJson(std::move(j), 1);
  if (note) *note = c.note;
  return true;
}

std::optional<SymbolDef> DxfToSymbol(const std::string& dxf, const std::string& name,
                                     double dbuPerInch, std::string* note, std::string* error) {
  Contents c;
  if (!ReadContents(dxf, &c, error)) return std::nullopt;
  Reader none;
  std::vector<Shape> shapes;
  for (const Shape& s : c.model) {
    if (s.kind == Shape::Kind::Insert) {
      auto it = c.symbols.find(Reader::Upper(s.block));
      if (it == c.symbols.end()) continue;
      Transform t{{0, 0}, s.at, s.sx, s.sy, s.angle};
      for (const Shape& inner : it->second) {
        if (shapes.size() >= kMaxShapes) {
          if (error) *error = "more than " + std::to_string(kMaxShapes) + " entities";
          return std::nullopt;
        }
        shapes.push_back(Builder::Place(inner, t));
      }
    } else {
      shapes.push_back(s);
    }
  }
  SymbolDef def;
  def.name = name;
  def.unit = dbuPerInch * dxf::InchesPer(c.units.unitType);
  for (const Shape& s : shapes) AddElements(s, &def);
  if (def.elements.empty()) {
    if (error) *error = "nothing in it the host can draw";
    return std::nullopt;
  }
  if (WriteSymbol(def).size() > kMaxSymbolFile) {
    if (error) *error = "more than a symbol file can hold";
    return std::nullopt;
  }
  if (note) *note = c.note;
  return def;
}

}  // namespace host
