// The drawing written as DXF with the DXF library's writer: the text is made whole in memory
// first, so a drawing that cannot be written leaves no half-written file.
#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "dxf_common.h"
#include "host/dxf.h"
#include "host/host.h"
#include "json_io.h"
#include "layout.h"

namespace host {

namespace {

// The library's writer, its output kept in a string instead of a file.
class StringWriter : public DL_WriterA {
 public:
  StringWriter() : DL_WriterA(kNowhere, DL_Codes::AC1015) {}
  std::string Text() const { return out_.str(); }

  void dxfReal(int gc, double value) const override {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.12g", std::fabs(value) < 1e-12 ? 0.0 : value);
    std::string text = buffer;
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    Pair(gc, text);
  }
  void dxfInt(int gc, int value) const override { Pair(gc, std::to_string(value)); }
  void dxfHex(int gc, int value) const override {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    Pair(gc, buffer);
  }
  void dxfString(int gc, const char* value) const override { Pair(gc, value ? value : ""); }
  void dxfString(int gc, const std::string& value) const override { Pair(gc, value); }

 private:
#ifdef _WIN32
  static constexpr const char* kNowhere = "NUL";
#else
  static constexpr const char* kNowhere = "/dev/null";
#endif
  void Pair(int gc, const std::string& value) const {
    out_ << (gc < 10 ? "  " : gc < 100 ? " " : "") << gc << "\n" << value << "\n";
  }
  mutable std::ostringstream out_;
};

constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr const char* kApplication = "TRACELON";

class DxfWriter {
 public:
  explicit DxfWriter(const Host& host) : host_(host) {
    ppu_ = host.Units().pointsPerUnit > 0 ? host.Units().pointsPerUnit : 1;
  }

  std::string Write() {
    CollectLayers();
    CollectSymbols();
    Header();
    Tables();
    Blocks();
    Entities();
    dxf_.writeObjects(w_);
    dxf_.writeObjectsEnd(w_);
    w_.dxfEOF();
    return w_.Text();
  }

 private:
  double U(double dbu) const { return dbu / ppu_; }

  void CollectLayers() {
    std::set<int> used;
    for (const auto* o : host_.FinalObjects()) used.insert(o->layer);
    std::set<std::string> taken{"0"};
    for (int n = 1; n <= HSI_LAYER_COUNT; ++n) {
      if (!LayerWorthListing(host_, n, used.count(n) != 0)) continue;
      std::string name = dxf::LayerName(n, host_.Layer(n).name), upper = name;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (taken.count(upper)) name += "_" + std::to_string(n), upper += "_" + std::to_string(n);
      taken.insert(upper);
      layers_[n] = name;
    }
  }

  std::string Layer(int n) const {
    auto it = layers_.find(n);
    return it == layers_.end() ? dxf::LayerName(n, "") : it->second;
  }

  // Block names: the symbol's name without a ".SYM" extension.
  void CollectSymbols() {
    for (const auto* o : host_.FinalObjects()) {
      if (o->Kind() != ObjectKind::Symbol) continue;
      int32_t id = host::get<SymbolData>(o->data).symbol;
      const SymbolDef* def = host_.Symbol(id);
      if (!def || blocks_.count(id)) continue;
      std::string name = def->name;
      if (name.size() > 4) {
        std::string ext = name.substr(name.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == ".SYM") name.resize(name.size() - 4);
      }
      blocks_[id] = dxf::LayerName(0, name);
    }
  }

  void Variable(const char* name, int code, int value) {
    w_.dxfString(9, name);
    w_.dxfInt(code, value);
  }

  void Header() {
    dxf_.writeHeader(w_);  // $ACADVER and $HANDSEED
    const UnitSettings& u = host_.Units();
    Variable("$INSUNITS", 70, dxf::InsUnits(u.unitType));
    Variable("$LUNITS", 70, dxf::LinearUnits(u.unitType));
    Variable("$MEASUREMENT", 70, dxf::InsUnits(u.unitType) >= 4 ? 1 : 0);
    // The drawing's own scale, for the host that opens it again: drawing units per unit, and
    // the drawing and plot scales, in the variables DXF keeps for its users.
    Variable("$USERI1", 70, u.pointsPerUnit);
    w_.dxfString(9, "$USERR1");
    w_.dxfReal(40, u.drawingScale);
    w_.dxfString(9, "$USERR2");
    w_.dxfReal(40, u.plotScale);
    w_.dxfString(9, "$CLAYER");
    w_.dxfString(8, Layer(host_.ActiveLayer()));
    w_.dxfString(9, "$DWGCODEPAGE");
    w_.dxfString(3, "ANSI_1252");
    Box box;
    for (const auto* o : host_.FinalObjects()) box.Add(host_.ObjectBox(*o));
    if (box.Empty()) box.Add(0, 0);
    w_.dxfString(9, "$EXTMIN");
    w_.coord(10, U(double(box.x1)), U(double(box.y1)));
    w_.dxfString(9, "$EXTMAX");
    w_.coord(10, U(double(box.x2)), U(double(box.y2)));
    w_.sectionEnd();
  }

  void Tables() {
    w_.sectionTables();
    dxf_.writeVPort(w_);
    w_.tableLinetypes(3);
    dxf_.writeLinetype(w_, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf_.writeLinetype(w_, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf_.writeLinetype(w_, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    w_.tableEnd();
    w_.tableLayers(static_cast<int>(layers_.size()) + 1);
    dxf_.writeLayer(w_, DL_LayerData("0", 0), DL_Attributes("", 7, -3, "CONTINUOUS", 1.0));
    for (const auto& [n, name] : layers_) {
      const LayerState& s = host_.Layer(n);
      int colour = s.colour == 0 ? 7 : dxf::AciFromHostColour(s.colour);
      // A layer that is off has a negative colour.
      dxf_.writeLayer(w_, DL_LayerData(name, 0),
                      DL_Attributes("", s.On() ? colour : -colour, -3, "CONTINUOUS", 1.0));
      // The host's own number of the layer, for the host that opens the file again.
      w_.dxfString(1001, kApplication);
      w_.dxfInt(1070, n);
    }
    w_.tableEnd();
    w_.tableStyle(1);
    dxf_.writeStyle(w_, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    w_.tableEnd();
    dxf_.writeView(w_);
    dxf_.writeUcs(w_);
    w_.tableAppid(2);
    dxf_.writeAppid(w_, "ACAD");
    dxf_.writeAppid(w_, kApplication);
    w_.tableEnd();
    dxf_.writeDimStyle(w_, 2.5, 0.625, 0.625, 0.625, 2.5);
    dxf_.writeBlockRecord(w_);
    for (const auto& [id, name] : blocks_) dxf_.writeBlockRecord(w_, name);
    w_.tableEnd();
    w_.sectionEnd();
  }

  void Blocks() {
    w_.sectionBlocks();
    dxf_.writeBlock(w_, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf_.writeEndBlock(w_, "*Model_Space");
    dxf_.writeBlock(w_, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf_.writeEndBlock(w_, "*Paper_Space");
    dxf_.writeBlock(w_, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf_.writeEndBlock(w_, "*Paper_Space0");
    for (const auto& [id, name] : blocks_) {
      const SymbolDef& def = *host_.Symbol(id);
      dxf_.writeBlock(w_, DL_BlockData(name, 0, 0.0, 0.0, 0.0));
      // Block coordinates are the drawing's: a symbol unit is `unit` drawing units.
      const double k = def.unit / ppu_;
      DL_Attributes attrib("0", 0, -2, "BYBLOCK", 1.0);  // by block: the insert's layer and colour
      for (const auto& e : def.elements) {
        switch (e.kind) {
          case SymbolElement::Kind::Lineset: {
            std::vector<PointD> pts;
            for (const auto& p : e.points) pts.push_back({p.x * k, p.y * k});
            Polyline(pts, attrib);
            break;
          }
          case SymbolElement::Kind::Arc:
            ArcOrCircle({e.centre.x * k, e.centre.y * k}, e.radius * k, e.angle1, e.angle2,
                        NormaliseDeg(e.angle1) == NormaliseDeg(e.angle2), attrib);
            break;
          case SymbolElement::Kind::Text: {
            TextData t;
            t.orientation = e.angle1;
            t.hcode = static_cast<int16_t>(e.hcode);
            t.vcode = static_cast<int16_t>(e.vcode);
            t.text = e.text;
            Text({e.centre.x * k, e.centre.y * k}, e.size * k, t, attrib);
            break;
          }
        }
      }
      dxf_.writeEndBlock(w_, name);
    }
    w_.sectionEnd();
  }

  void Entities() {
    w_.sectionEntities();
    for (const auto* o : host_.FinalObjects()) {
      DL_Attributes attrib(Layer(o->layer), dxf::AciFromHostColour(o->colour), -1, "BYLAYER", 1.0);
      PointD at{U(o->at.x), U(o->at.y)};
      switch (o->Kind()) {
        case ObjectKind::Lineset: {
          std::vector<PointD> pts;
          for (const auto& p : host::get<LinesetData>(o->data).points)
            pts.push_back({U(p.x), U(p.y)});
          Polyline(pts, attrib);
          break;
        }
        case ObjectKind::Arc: {
          const auto& a = host::get<ArcData>(o->data);
          ArcOrCircle(at, U(a.radius), AngleDeg(ToD(o->at), ToD(a.start)),
                      AngleDeg(ToD(o->at), ToD(a.end)), a.start == a.end, attrib);
          break;
        }
        case ObjectKind::Text: {
          const auto& t = host::get<TextData>(o->data);
          Text(at, U(t.size), t, attrib);
          break;
        }
        case ObjectKind::TrueType:
          MText(at, host::get<TrueTypeData>(o->data), attrib);
          break;
        case ObjectKind::Symbol: {
          const auto& s = host::get<SymbolData>(o->data);
          auto it = blocks_.find(s.symbol);
          if (it == blocks_.end()) break;  // an instance of a symbol not loaded has no block
          dxf_.writeInsert(w_,
                           DL_InsertData(it->second, at.x, at.y, 0.0, s.scaleX, s.scaleY, s.scaleZ,
                                         s.rotation, 1, 1, 0.0, 0.0),
                           attrib);
          break;
        }
      }
    }
    w_.sectionEnd();
  }

  void Polyline(std::vector<PointD> pts, const DL_Attributes& attrib) {
    if (pts.empty()) return;
    if (pts.size() == 1) pts.push_back(pts[0]);
    dxf_.writePolyline(w_, DL_PolylineData(static_cast<int>(pts.size()), 0, 0, 0), attrib);
    for (const auto& p : pts) dxf_.writeVertex(w_, DL_VertexData(p.x, p.y, 0.0, 0.0));
    dxf_.writePolylineEnd(w_);
  }

  void ArcOrCircle(PointD c, double r, double a1, double a2, bool full,
                   const DL_Attributes& attrib) {
    if (full)
      dxf_.writeCircle(w_, DL_CircleData(c.x, c.y, 0.0, r), attrib);
    else
      dxf_.writeArc(w_, DL_ArcData(c.x, c.y, 0.0, r, NormaliseDeg(a1), NormaliseDeg(a2)), attrib);
  }

  // A TEXT entity, written pair by pair for the oblique angle the library's TEXT leaves out.
  void Text(PointD at, double height, const TextData& t, const DL_Attributes& attrib) {
    int h = t.hcode == 1 ? 2 : (t.hcode == 2 ? 1 : 0);
    int v = t.vcode == 4 ? 3 : (t.vcode == 2 ? 2 : (t.vcode == 1 ? 1 : 0));
    w_.entity("TEXT");
    w_.dxfString(100, "AcDbEntity");
    w_.entityAttributes(attrib);
    w_.dxfString(100, "AcDbText");
    w_.coord(10, at.x, at.y);
    w_.dxfReal(40, height > 0 ? height : 1.0 / ppu_);
    w_.dxfString(1, t.text);
    w_.dxfReal(50, NormaliseDeg(t.orientation));
    w_.dxfReal(41, t.widthFactor > 0 ? t.widthFactor : 1.0);
    w_.dxfReal(51, t.slant);
    w_.dxfString(7, "Standard");
    w_.dxfInt(72, h);
    if (h != 0 || v != 0) w_.coord(11, at.x, at.y);
    w_.dxfString(100, "AcDbText");
    w_.dxfInt(73, v);
  }

  // A TrueType text as MTEXT: its laid-out lines, each run with its face, bold and italic, and
  // underlined between \L and \l.
  void MText(PointD at, const TrueTypeData& t, const DL_Attributes& attrib) {
    TrueTypeBlock block = LayoutTrueType(t, host_.Units());
    double sy = t.scaleY > 0 ? t.scaleY : 1.0;
    std::string face = t.face.empty() ? "Arial" : t.face;
    std::string content;
    double height = 0;
    int align = 0;
    for (size_t i = 0; i < block.lines.size(); ++i) {
      if (i > 0) content += "\\P";
      // Paragraph alignment holds until changed.
      if (block.lines[i].align != align) {
        align = block.lines[i].align;
        content += align == 1 ? "\\pxqc;" : (align == 2 ? "\\pxqr;" : "\\pxql;");
      }
      for (const auto& run : block.lines[i].runs) {
        double h = U(run.halfPoints / 2.0 * block.dbuPerPoint * sy);
        if (height == 0) height = h;
        content +=
            "{\\f" + face + "|b" + (run.bold ? "1" : "0") + "|i" + (run.italic ? "1" : "0") + ";";
        if (std::fabs(h - height) > 1e-9 * std::max(1.0, height)) {
          char size[40];
          std::snprintf(size, sizeof size, "\\H%.10g;", h);
          content += size;
        }
        if (run.underline) content += "\\L";
        for (char c : run.text) {
          if (c == '\\' || c == '{' || c == '}') content += '\\';
          content += c;
        }
        if (run.underline) content += "\\l";
        content += "}";
      }
    }
    if (height <= 0) height = U(t.size * block.dbuPerPoint * sy);
    int row = t.vcode == 4 ? 0 : (t.vcode == 2 ? 1 : 2);
    int column = t.hcode == 2 ? 1 : (t.hcode == 1 ? 2 : 0);
    double angle = t.orientation * kRadiansPerDegree;
    dxf_.writeMText(w_,
                    DL_MTextData(at.x, at.y, 0.0, std::cos(angle), std::sin(angle), 0.0,
                                 height > 0 ? height : 1.0 / ppu_, U(block.width),
                                 row * 3 + column + 1, 1, 1, 1.0, content, "Standard", angle),
                    attrib);
  }

  const Host& host_;
  double ppu_ = 1;
  DL_Dxf dxf_;
  StringWriter w_;
  std::map<int, std::string> layers_;
  std::map<int32_t, std::string> blocks_;
};

}  // namespace

bool DrawingToDxf(const Host& host, std::string* dxf, std::string* error) {
  try {
    DxfWriter writer(host);
    *dxf = writer.Write();
    return true;
  } catch (const std::exception& e) {
    if (error) *error = std::string("cannot write the drawing as DXF: ") + e.what();
    return false;
  }
}

}  // namespace host
