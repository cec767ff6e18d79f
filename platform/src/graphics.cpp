// Fonts and the recording canvas.
#include "platform/graphics.h"

#include "platform/metrics.h"

namespace platform {

int Font::StyleBits() const {
  return (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeout ? 8 : 0);
}

void Font::SetStyleBits(int bits) {
  bold = bits & 1;
  italic = bits & 2;
  underline = bits & 4;
  strikeout = bits & 8;
}

void Canvas::FillRect(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::FillRect;
  op.rect = r;
  op.brushColor = brushColor;
  Record(op);
}

void Canvas::FrameRect(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::FrameRect;
  op.rect = r;
  op.penColor = brushColor;
  Record(op);
}

void Canvas::Rectangle(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::Rectangle;
  op.rect = r;
  op.penColor = penColor;
  op.brushColor = brushColor;
  Record(op);
}

void Canvas::Ellipse(const Rect& r) {
  DrawOp op;
  op.kind = DrawOp::Kind::Ellipse;
  op.rect = r;
  op.penColor = penColor;
  op.brushColor = brushColor;
  Record(op);
}

void Canvas::MoveTo(int x, int y) { pen_ = {x, y}; }

void Canvas::LineTo(int x, int y) {
  DrawOp op;
  op.kind = DrawOp::Kind::Line;
  op.rect = {pen_.x, pen_.y, x, y};
  op.penColor = penColor;
  Record(op);
  pen_ = {x, y};
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.rect = {x, y, x + metrics::TextWidth(font, text), y + metrics::TextHeight(font)};
  op.text = text;
  op.font = font;
  op.penColor = font.color;
  op.brushColor = brushColor;
  Record(op);
}

void Canvas::DrawButtonFace(const Rect& r, bool raised) {
  DrawOp op;
  op.kind = DrawOp::Kind::Edge;
  op.rect = r;
  op.raised = raised;
  op.brushColor = colors::ButtonFace;
  op.penColor = raised ? colors::ButtonHighlight : colors::ButtonShadow;
  Record(op);
}

int Canvas::TextWidth(const std::string& text) const { return metrics::TextWidth(font, text); }
int Canvas::TextHeight(const std::string&) const { return metrics::TextHeight(font); }

}  // namespace platform
