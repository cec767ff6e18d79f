#include "layout.h"

#include <algorithm>
#include <cmath>

namespace host {

TextFrame CadTextFrame(const TextData& text) {
  TextFrame f;
  double size = std::max<int32_t>(text.size, 0);
  double width = text.widthFactor > 0 ? text.widthFactor : 1.0;
  f.advance = (text.charSpacing > 0 ? size * text.charSpacing / 10000.0 : 0.75 * size) * width;
  double w = f.advance * static_cast<double>(text.text.size());
  switch (text.hcode) {
    case 2:
      f.left = -w / 2;
      break;
    case 1:
      f.left = -w;
      break;
    default:
      f.left = 0;
  }
  switch (text.vcode) {
    case 4:
      f.bottom = -size;
      break;
    case 2:
      f.bottom = -size / 2;
      break;
    default:
      f.bottom = 0;
  }
  f.right = f.left + w;
  f.top = f.bottom + size;
  return f;
}

RtfDocument TrueTypeDocument(const TrueTypeData& text) {
  if (text.content == 2) {
    int align = text.plainAlign == 2 ? 1 : (text.plainAlign == 1 ? 2 : 0);
    return PlainDocument(text.document, std::max<int>(text.size, 1) * 2, text.style, align);
  }
  return ParseRtf(text.document);
}

TrueTypeBlock LayoutTrueType(const TrueTypeData& text, const UnitSettings& units) {
  TrueTypeBlock block;
  RtfDocument doc = TrueTypeDocument(text);
  double wrapPoints = 0;
  if (text.content == 2) {
    if (text.plainWrap != 0 && text.plainWidth > 0) wrapPoints = text.plainWidth * 72.0;
  } else if (doc.paperWidthTwips > 0) {
    wrapPoints = doc.paperWidthTwips / 20.0;
  }
  block.lines = LayoutDocument(doc, wrapPoints);
  block.dbuPerPoint = DbuPerPaperInch(units) / 72.0;
  double widest = 0, height = 0;
  for (const auto& line : block.lines) {
    widest = std::max(widest, line.width);
    height += line.height;
  }
  double sx = text.scaleX > 0 ? text.scaleX : 1.0, sy = text.scaleY > 0 ? text.scaleY : 1.0;
  block.width = (wrapPoints > 0 ? wrapPoints : widest) * block.dbuPerPoint * sx;
  block.height = height * block.dbuPerPoint * sy;
  switch (text.hcode) {
    case 2:
      block.left = -block.width / 2;
      break;
    case 1:
      block.left = -block.width;
      break;
    default:
      block.left = 0;
  }
  switch (text.vcode) {
    case 4:
      block.bottom = -block.height;
      break;
    case 2:
      block.bottom = -block.height / 2;
      break;
    default:
      block.bottom = 0;
  }
  return block;
}

std::vector<PointD> ElementOutline(const SymbolElement& e) {
  std::vector<PointD> out;
  switch (e.kind) {
    case SymbolElement::Kind::Lineset:
      out = e.points;
      break;
    case SymbolElement::Kind::Arc: {
      double sweep = NormaliseDeg(e.angle2 - e.angle1);
      if (sweep == 0) sweep = 360;
      int steps = std::max(2, static_cast<int>(std::ceil(sweep / 10.0)));
      for (int i = 0; i <= steps; ++i) {
        double a = Radians(e.angle1 + sweep * i / steps);
        out.push_back({e.centre.x + e.radius * std::cos(a), e.centre.y + e.radius * std::sin(a)});
      }
      break;
    }
    case SymbolElement::Kind::Text: {
      TextData t;
      t.size = 1000;
      t.text = e.text;
      t.hcode = static_cast<int16_t>(e.hcode);
      t.vcode = static_cast<int16_t>(e.vcode);
      TextFrame f = CadTextFrame(t);
      double k = e.size / 1000.0;
      PointD corners[5] = {{f.left, f.bottom},
                           {f.right, f.bottom},
                           {f.right, f.top},
                           {f.left, f.top},
                           {f.left, f.bottom}};
      for (auto c : corners)
        out.push_back(Rotate({e.centre.x + c.x * k, e.centre.y + c.y * k}, e.centre, e.angle1));
      break;
    }
  }
  return out;
}

}  // namespace host
