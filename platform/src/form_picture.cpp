// Draws a form as SVG from its model. Every control is an SVG viewport of its bounds, so nothing
// it draws spills out, and its children sit in its own coordinates inside it, clipped as the
// system clips child windows. Lines are one-pixel rectangles on whole pixels, so edges stay
// crisp at any zoom.
#include "platform/form_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/text.h"

namespace platform {

namespace {

// Colours of the classic scheme that graphics.h has no name for.
constexpr Color kLight = Rgb(223, 223, 223);     // the inner highlight of a raised edge
constexpr Color kDarkShadow = Rgb(0, 0, 0);      // the outer shadow of a raised edge
constexpr Color kDownFace = Rgb(224, 224, 224);  // a button held down shows a lighter face
constexpr Color kTitleStart = Rgb(0, 0, 128);    // the active title bar, left
constexpr Color kTitleEnd = Rgb(16, 132, 208);   // ... fading to the right
constexpr Color kGridLine = colors::Silver;

constexpr int kCheckSize = 13;       // a check box's square and a radio button's circle
constexpr int kCheckCaptionGap = 4;  // from the square to the caption
constexpr int kTabPadding = 6;       // each side of a tab's caption
constexpr int kScrollBar = metrics::VerticalScrollBarWidth;

std::string Num(double v) {
  char buffer[32];
  if (v == std::floor(v)) {
    std::snprintf(buffer, sizeof buffer, "%.0f", v);
  } else if (2 * v == std::floor(2 * v)) {
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
  }
  return buffer;
}

std::string Hex(Color c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
  return buffer;
}

// A face as an SVG font-family list: the face itself, then faces of its kind found elsewhere.
std::string FontFamily(const Font& font) {
  std::string face;
  for (char c : font.name)
    if (c != '\'' && c != '"' && c != '<' && c != '>' && c != '&') face += c;
  std::string generic = "'Liberation Sans', Arial, 'DejaVu Sans', sans-serif";
  if (metrics::IsFixedPitch(font.name)) {
    generic = "'Liberation Mono', 'DejaVu Sans Mono', monospace";
  } else if (face == "Times New Roman" || face == "MS Serif" || face == "Georgia") {
    generic = "'Liberation Serif', 'DejaVu Serif', serif";
  }
  return face.empty() ? generic : "'" + face + "', " + generic;
}

// The caption's lines as drawn in a width: broken at line breaks, and between words where they
// would pass the width when `wrap` is set. `start` is the line's first character in `text`.
struct TextLine {
  std::size_t start = 0;
  std::string text;
};

std::vector<TextLine> BreakLines(const std::string& text, const Font& font, int width, bool wrap) {
  std::vector<TextLine> lines;
  std::size_t pos = 0;
  while (true) {
    std::size_t end = text.find('\n', pos);
    std::size_t paraEnd = end == std::string::npos ? text.size() : end;
    std::size_t contentEnd = paraEnd;
    if (contentEnd > pos && text[contentEnd - 1] == '\r') --contentEnd;
    if (!wrap) {
      lines.push_back({pos, text.substr(pos, contentEnd - pos)});
    } else {
      std::size_t lineStart = std::string::npos, lineEnd = pos;
      std::size_t i = pos;
      while (i < contentEnd) {
        while (i < contentEnd && text[i] == ' ') ++i;
        if (i >= contentEnd) break;
        std::size_t wordEnd = i;
        while (wordEnd < contentEnd && text[wordEnd] != ' ') ++wordEnd;
        if (lineStart == std::string::npos) {
          lineStart = i;
        } else if (metrics::TextWidth(font, text.substr(lineStart, wordEnd - lineStart)) > width) {
          lines.push_back({lineStart, text.substr(lineStart, lineEnd - lineStart)});
          lineStart = i;
        }
        lineEnd = wordEnd;
        i = wordEnd;
      }
      if (lineStart == std::string::npos) {
        lines.push_back({pos, ""});
      } else {
        lines.push_back({lineStart, text.substr(lineStart, lineEnd - lineStart)});
      }
    }
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return lines;
}

std::string Base64(const std::string& bytes) {
  static const char* const kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// The SVG being written, with the drawing primitives of the classic look.
class Svg {
 public:
  std::string out;

  void Fill(int x, int y, int w, int h, Color c) {
    if (w <= 0 || h <= 0) return;
    out += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" +
           Num(h) + "\" fill=\"" + Hex(c) + "\"/>\n";
  }
  void HLine(int x, int y, int length, Color c) { Fill(x, y, length, 1, c); }
  void VLine(int x, int y, int length, Color c) { Fill(x, y, 1, length, c); }
  // A one-pixel edge: top and left in `topLeft`, bottom and right in `bottomRight`.
  void Bevel(int x, int y, int w, int h, Color topLeft, Color bottomRight) {
    if (w <= 0 || h <= 0) return;
    HLine(x, y, w - 1, topLeft);
    VLine(x, y, h - 1, topLeft);
    HLine(x, y + h - 1, w, bottomRight);
    VLine(x + w - 1, y, h - 1, bottomRight);
  }
  void Frame(int x, int y, int w, int h, Color c) { Bevel(x, y, w, h, c, c); }
  void Raised(int x, int y, int w, int h) {
    Bevel(x, y, w, h, colors::ButtonHighlight, kDarkShadow);
    Bevel(x + 1, y + 1, w - 2, h - 2, kLight, colors::ButtonShadow);
  }
  void Pressed(int x, int y, int w, int h) {
    Bevel(x, y, w, h, kDarkShadow, colors::ButtonHighlight);
    Bevel(x + 1, y + 1, w - 2, h - 2, colors::ButtonShadow, kLight);
  }
  void Sunken(int x, int y, int w, int h) {
    Bevel(x, y, w, h, colors::ButtonShadow, colors::ButtonHighlight);
    Bevel(x + 1, y + 1, w - 2, h - 2, kDarkShadow, kLight);
  }
  void Etched(int x, int y, int w, int h) {
    Frame(x + 1, y + 1, w - 1, h - 1, colors::ButtonHighlight);
    Frame(x, y, w - 1, h - 1, colors::ButtonShadow);
  }
  // The dotted rectangle of the focus.
  void FocusRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    out += "<rect x=\"" + Num(x + 0.5) + "\" y=\"" + Num(y + 0.5) + "\" width=\"" + Num(w - 1) +
           "\" height=\"" + Num(h - 1) +
           "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\" stroke-dasharray=\"1,1\"/>\n";
  }
  void Line(double x1, double y1, double x2, double y2, Color c, double width = 1) {
    out += "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" +
           Num(y2) + "\" stroke=\"" + Hex(c) + "\" stroke-width=\"" + Num(width) +
           "\" stroke-linecap=\"square\"/>\n";
  }
  void Polygon(const std::vector<Point>& points, Color c) {
    out += "<polygon points=\"";
    for (const Point& p : points) out += Num(p.x) + "," + Num(p.y) + " ";
    out += "\" fill=\"" + Hex(c) + "\"/>\n";
  }
  // A small solid triangle pointing down (or up) centred in a box, as on scroll arrows.
  void Arrow(int x, int y, int w, int h, bool down, Color c) {
    const int cx = x + w / 2, cy = y + h / 2;
    if (down) {
      Polygon({{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}}, c);
    } else {
      Polygon({{cx - 4, cy + 2}, {cx + 4, cy + 2}, {cx, cy - 2}}, c);
    }
  }
  void SideArrow(int x, int y, int w, int h, bool right, Color c) {
    const int cx = x + w / 2, cy = y + h / 2;
    if (right) {
      Polygon({{cx - 2, cy - 4}, {cx - 2, cy + 4}, {cx + 2, cy}}, c);
    } else {
      Polygon({{cx + 2, cy - 4}, {cx + 2, cy + 4}, {cx - 2, cy}}, c);
    }
  }
  // A viewport: what is drawn inside lands at (x, y) and nothing past (w, h) shows.
  void Open(int x, int y, int w, int h) {
    out += "<svg x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(std::max(w, 0)) +
           "\" height=\"" + Num(std::max(h, 0)) + "\" overflow=\"hidden\">\n";
  }
  void Close() { out += "</svg>\n"; }

  // One line of text whose line box starts at `top`. Each character is centred in the advance
  // the text measure gives it, so the text takes the toolkit's width whatever face the viewer
  // draws it with, and its spacing stays even. The accelerator character (an index into
  // `text`, -1 for none) is underlined.
  void Text(int x, int top, const std::string& text, const Font& font, Color color,
            int accelerator = -1) {
    if (text.find_first_not_of(' ') == std::string::npos) return;
    const int height = metrics::FontPixelHeight(font.size);
    const int lineHeight = metrics::TextHeight(font);
    // The face's ascent is close to its pixel height; the leading is shared above and below.
    const int baseline =
        top + (lineHeight - height) / 2 + static_cast<int>(std::lround(height * 0.93));
    out += "<text y=\"" + Num(baseline) + "\" font-family=\"" + FontFamily(font) +
           "\" font-size=\"" + Num(height) + "\"";
    if (font.bold) out += " font-weight=\"bold\"";
    if (font.italic) out += " font-style=\"italic\"";
    if (font.underline || font.strikeout) {
      out += " text-decoration=\"";
      out += font.underline ? "underline" : "";
      out += font.underline && font.strikeout ? " " : "";
      out += font.strikeout ? "line-through" : "";
      out += "\"";
    }
    out += " fill=\"" + Hex(color) + "\" text-anchor=\"middle\" xml:space=\"preserve\">";
    int advance = x;
    for (char c : text) {
      const int w = metrics::CharWidth(font, c);
      // A control character draws nothing.
      if (static_cast<unsigned char>(c) >= 0x20)
        out += "<tspan x=\"" + Num(advance + w / 2.0) + "\">" + XmlText(std::string(1, c)) +
               "</tspan>";
      advance += w;
    }
    out += "</text>\n";
    if (accelerator >= 0 && accelerator < static_cast<int>(text.size())) {
      const int ax = x + metrics::TextWidth(font, text.substr(0, accelerator));
      const int aw = metrics::CharWidth(font, text[accelerator]);
      HLine(ax, baseline + 1, aw, color);
    }
  }
};

class Painter {
 public:
  explicit Painter(const Form& form) : form_(form), focused_(form.ActiveControl()) {}

  std::string Run() {
    const int w = form_.Width(), h = form_.Height();
    svg_.out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg_.out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(w) + "\" height=\"" +
                Num(h) + "\" viewBox=\"0 0 " + Num(w) + " " + Num(h) + "\">\n";
    svg_.out += "<title>" + XmlText(form_.ClassName() + ": " + form_.Caption()) + "</title>\n";
    svg_.out +=
        "<defs><linearGradient id=\"title\" x1=\"0\" x2=\"1\" y1=\"0\" y2=\"0\">"
        "<stop offset=\"0\" stop-color=\"" +
        Hex(kTitleStart) +
        "\"/><stop offset=\"1\" "
        "stop-color=\"" +
        Hex(kTitleEnd) + "\"/></linearGradient></defs>\n";
    DrawFrame();
    const Rect frame = form_.FrameSize();
    svg_.Open(frame.left, frame.top, form_.ClientWidth(), form_.ClientHeight());
    svg_.Fill(0, 0, form_.ClientWidth(), form_.ClientHeight(), form_.color);
    Children(nullptr);
    svg_.Close();
    svg_.out += "</svg>\n";
    return std::move(svg_.out);
  }

 private:
  void DrawFrame() {
    const int w = form_.Width(), h = form_.Height();
    if (form_.borderStyle == BorderStyle::None) return;
    svg_.Fill(0, 0, w, h, colors::ButtonFace);
    svg_.Bevel(0, 0, w, h, kLight, kDarkShadow);
    svg_.Bevel(1, 1, w - 2, h - 2, colors::ButtonHighlight, colors::ButtonShadow);
    const Rect frame = form_.FrameSize();
    const bool small = form_.borderStyle == BorderStyle::ToolWindow ||
                       form_.borderStyle == BorderStyle::SizeToolWin;
    const int barHeight = (small ? metrics::SmallCaptionHeight : metrics::CaptionHeight) - 1;
    const int barLeft = frame.right, barTop = frame.right, barWidth = w - frame.left - frame.right;
    svg_.out += "<rect x=\"" + Num(barLeft) + "\" y=\"" + Num(barTop) + "\" width=\"" +
                Num(barWidth) + "\" height=\"" + Num(barHeight) + "\" fill=\"url(#title)\"/>\n";
    // The title buttons, right to left: close, and for a normal window maximise and minimise.
    const int buttonHeight = barHeight - 4, buttonWidth = buttonHeight + 2;
    int right = barLeft + barWidth - 2;
    int buttons = 1;
    if (form_.borderStyle == BorderStyle::Sizeable || form_.borderStyle == BorderStyle::Single)
      buttons = 3;
    for (int i = 0; i < buttons; ++i) {
      const int bx = right - buttonWidth, by = barTop + 2;
      svg_.Fill(bx, by, buttonWidth, buttonHeight, colors::ButtonFace);
      svg_.Raised(bx, by, buttonWidth, buttonHeight);
      const double cx = bx + buttonWidth / 2.0 - 0.5, cy = by + buttonHeight / 2.0 - 0.5;
      const double s = std::max(2.0, buttonHeight / 2.0 - 3);
      if (i == 0) {
        svg_.Line(cx - s, cy - s + 0.5, cx + s, cy + s + 0.5, colors::ButtonText, 1.5);
        svg_.Line(cx - s, cy + s + 0.5, cx + s, cy - s + 0.5, colors::ButtonText, 1.5);
        right = bx - 2;
      } else if (i == 1) {
        svg_.Frame(static_cast<int>(cx - s), static_cast<int>(cy - s), static_cast<int>(2 * s + 2),
                   static_cast<int>(2 * s + 2), colors::ButtonText);
        svg_.HLine(static_cast<int>(cx - s), static_cast<int>(cy - s) + 1,
                   static_cast<int>(2 * s + 2), colors::ButtonText);
        right = bx;
      } else {
        svg_.HLine(static_cast<int>(cx - s), static_cast<int>(cy + s), static_cast<int>(2 * s),
                   colors::ButtonText);
        svg_.HLine(static_cast<int>(cx - s), static_cast<int>(cy + s) - 1, static_cast<int>(2 * s),
                   colors::ButtonText);
        right = bx;
      }
    }
    Font font = form_.font;
    font.bold = true;
    if (small) font.size = std::min(font.size, 7);
    svg_.Open(barLeft, barTop, right - barLeft - 2, barHeight);
    svg_.Text(3, (barHeight - metrics::TextHeight(font)) / 2, form_.Caption(), font, colors::White);
    svg_.Close();
  }

  // The controls whose parent is `parent` (the form's client area when null), in the order
  // they were made: later ones lie on top.
  void Children(const Control* parent) {
    for (const Control* c : form_.ChildrenOf(parent)) {
      if (!c->Visible()) continue;
      if (dynamic_cast<const Page*>(c)) continue;  // pages are drawn by their notebook
      Draw(*c);
    }
  }

  bool Focused(const Control& c) const { return focused_ == &c; }

  Color TextColor(const Control& c) const {
    return c.Enabled() ? c.font.color : colors::ButtonShadow;
  }

  // A caption in the system's look: greyed with a white relief when disabled.
  void Caption(int x, int top, const std::string& text, int accelerator, const Font& font,
               bool enabled, Color color) {
    if (!enabled) {
      svg_.Text(x + 1, top + 1, text, font, colors::ButtonHighlight, accelerator);
      svg_.Text(x, top, text, font, colors::ButtonShadow, accelerator);
    } else {
      svg_.Text(x, top, text, font, color, accelerator);
    }
  }

  void Draw(const Control& c) {
    svg_.out += "<g id=\"" + XmlText(c.Name()) + "\">\n";
    svg_.Open(c.Left(), c.Top(), c.Width(), c.Height());
    if (auto* x = dynamic_cast<const Label*>(&c)) {
      DrawLabel(*x);
    } else if (auto* x = dynamic_cast<const Memo*>(&c)) {
      DrawMemo(*x);
    } else if (auto* x = dynamic_cast<const SpinEdit*>(&c)) {
      DrawEditBox(*x, x->Text(), 15);
      DrawSpinButtons(*x);
    } else if (auto* x = dynamic_cast<const Edit*>(&c)) {
      std::string text = x->Text();
      if (x->passwordChar != 0) text.assign(text.size(), x->passwordChar);
      DrawEditBox(*x, text, 0);
    } else if (auto* x = dynamic_cast<const Button*>(&c)) {
      DrawButton(*x);
    } else if (auto* x = dynamic_cast<const CheckBox*>(&c)) {
      DrawCheck(c, false, x->Checked(), 0, c.Height(), c.Caption(), Focused(c));
    } else if (auto* x = dynamic_cast<const RadioButton*>(&c)) {
      DrawCheck(c, true, x->Checked(), 0, c.Height(), c.Caption(), Focused(c));
    } else if (auto* x = dynamic_cast<const RadioGroup*>(&c)) {
      DrawRadioGroup(*x);
    } else if (dynamic_cast<const GroupBox*>(&c)) {
      DrawGroupBox(c);
    } else if (auto* x = dynamic_cast<const Panel*>(&c)) {
      DrawPanel(*x);
    } else if (auto* x = dynamic_cast<const ListBox*>(&c)) {
      DrawListBox(*x);
    } else if (auto* x = dynamic_cast<const ComboBox*>(&c)) {
      DrawComboBox(*x);
    } else if (auto* x = dynamic_cast<const StringGrid*>(&c)) {
      DrawGrid(*x);
    } else if (auto* x = dynamic_cast<const TabSet*>(&c)) {
      DrawTabSet(*x);
    } else if (auto* x = dynamic_cast<const Notebook*>(&c)) {
      DrawNotebook(*x);
    } else if (auto* x = dynamic_cast<const Image*>(&c)) {
      DrawImage(*x);
    } else if (auto* x = dynamic_cast<const SpeedButton*>(&c)) {
      DrawSpeedButton(*x);
    } else if (auto* x = dynamic_cast<const ToolBar*>(&c)) {
      svg_.Fill(0, 0, x->Width(), x->Height(), x->color);
      if (x->edges) svg_.Etched(0, 0, x->Width(), x->Height());
    } else if (auto* x = dynamic_cast<const ToolButton*>(&c)) {
      DrawToolButton(*x);
    }
    if (!dynamic_cast<const Notebook*>(&c)) Children(&c);
    svg_.Close();
    svg_.out += "</g>\n";
  }

  void DrawLabel(const Label& label) {
    const int w = label.Width();
    if (!label.transparent && label.color != colors::ButtonFace)
      svg_.Fill(0, 0, w, label.Height(), label.color);
    const AcceleratedCaption caption = SplitAccelerator(label.Caption());
    const int lineHeight = metrics::TextHeight(label.font);
    int top = 0;
    for (const TextLine& line : BreakLines(caption.text, label.font, w, label.wordWrap)) {
      const int tw = metrics::TextWidth(label.font, line.text);
      int x = 0;
      if (label.alignment == Alignment::Right) x = w - tw;
      if (label.alignment == Alignment::Center) x = (w - tw) / 2;
      int accelerator = -1;
      if (caption.accelerator >= static_cast<int>(line.start) &&
          caption.accelerator < static_cast<int>(line.start + line.text.size()))
        accelerator = caption.accelerator - static_cast<int>(line.start);
      Caption(x, top, line.text, accelerator, label.font, label.Enabled(), label.font.color);
      top += lineHeight;
    }
  }

  // The sunken box of an edit, spin edit or combo box with its text; `buttonWidth` pixels at
  // the right are kept for the box's buttons.
  void DrawEditBox(const Edit& edit, const std::string& text, int buttonWidth) {
    const int w = edit.Width(), h = edit.Height();
    svg_.Fill(0, 0, w, h, edit.Enabled() ? edit.color : colors::ButtonFace);
    svg_.Sunken(0, 0, w, h);
    const int innerW = w - 4 - buttonWidth, innerH = h - 4;
    svg_.Open(2, 2, innerW, innerH);
    const int lineHeight = metrics::TextHeight(edit.font);
    const int top = std::max(0, (innerH - lineHeight) / 2);
    const int tw = metrics::TextWidth(edit.font, text);
    int x = 2;
    if (edit.alignment == Alignment::Right) x = innerW - 2 - tw;
    if (edit.alignment == Alignment::Center) x = (innerW - tw) / 2;
    svg_.Text(x, top, text, edit.font, TextColor(edit));
    if (Focused(edit)) {
      const int n = static_cast<int>(text.size());
      const int start = std::clamp(edit.SelStart(), 0, n);
      const int length = std::clamp(edit.SelLength(), 0, n - start);
      SelectionOrCaret(x, top, text, start, length, edit.font);
    }
    svg_.Close();
  }

  // The selected part of a focused field in the highlight colours, or the caret where it is.
  void SelectionOrCaret(int x, int top, const std::string& text, int start, int length,
                        const Font& font) {
    const int lineHeight = metrics::TextHeight(font);
    const int sx = x + metrics::TextWidth(font, text.substr(0, start));
    if (length > 0) {
      const std::string selected = text.substr(start, length);
      svg_.Fill(sx, top, metrics::TextWidth(font, selected), lineHeight, colors::Highlight);
      svg_.Text(sx, top, selected, font, colors::White);
    } else {
      svg_.VLine(sx, top, lineHeight, colors::WindowText);
    }
  }

  void DrawSpinButtons(const SpinEdit& spin) {
    const int w = spin.Width(), h = spin.Height();
    const int bx = w - 2 - 15, bh = (h - 4) / 2;
    for (int i = 0; i < 2; ++i) {
      const int by = 2 + i * bh;
      const int height = i == 0 ? bh : h - 4 - bh;
      svg_.Fill(bx, by, 15, height, colors::ButtonFace);
      svg_.Raised(bx, by, 15, height);
      svg_.Arrow(bx, by, 15, height, i == 1,
                 spin.Enabled() ? colors::ButtonText : colors::ButtonShadow);
    }
  }

  void DrawScrollBar(int x, int y, int length, bool vertical, int total, int shown) {
    const int w = vertical ? kScrollBar : length, h = vertical ? length : kScrollBar;
    svg_.Fill(x, y, w, h, kDownFace);
    const int button = std::min(kScrollBar, length / 2);
    for (int i = 0; i < 2; ++i) {
      const int bx = vertical ? x : (i == 0 ? x : x + length - button);
      const int by = vertical ? (i == 0 ? y : y + length - button) : y;
      const int bw = vertical ? kScrollBar : button, bh = vertical ? button : kScrollBar;
      svg_.Fill(bx, by, bw, bh, colors::ButtonFace);
      svg_.Raised(bx, by, bw, bh);
      if (vertical) {
        svg_.Arrow(bx, by, bw, bh, i == 1, colors::ButtonText);
      } else {
        svg_.SideArrow(bx, by, bw, bh, i == 1, colors::ButtonText);
      }
    }
    const int track = length - 2 * button;
    if (total > shown && shown > 0 && track > 8) {
      const int thumb = std::max(8, track * shown / total);
      const int tx = vertical ? x : x + button, ty = vertical ? y + button : y;
      const int tw = vertical ? kScrollBar : thumb, th = vertical ? thumb : kScrollBar;
      svg_.Fill(tx, ty, tw, th, colors::ButtonFace);
      svg_.Raised(tx, ty, tw, th);
    }
  }

  void DrawMemo(const Memo& memo) {
    const int w = memo.Width(), h = memo.Height();
    svg_.Fill(0, 0, w, h, memo.Enabled() ? memo.color : colors::ButtonFace);
    svg_.Sunken(0, 0, w, h);
    const bool vertical =
        memo.scrollBars == ScrollBars::Vertical || memo.scrollBars == ScrollBars::Both;
    const bool horizontal =
        memo.scrollBars == ScrollBars::Horizontal || memo.scrollBars == ScrollBars::Both;
    const int innerW = w - 4 - (vertical ? kScrollBar : 0);
    const int innerH = h - 4 - (horizontal ? kScrollBar : 0);
    const int lineHeight = metrics::TextHeight(memo.font);
    const std::vector<std::string> lines = memo.Lines();
    svg_.Open(2, 2, innerW, innerH);
    int top = 1;
    for (const std::string& line : lines) {
      if (top >= innerH) break;
      svg_.Text(metrics::EditMargin, top, line, memo.font, TextColor(memo));
      top += lineHeight;
    }
    if (Focused(memo)) {
      // The caret: at the start, or after the text when it is placed at the end.
      const bool atEnd = memo.SelStart() >= static_cast<int>(memo.Text().size()) && !lines.empty();
      const int line = atEnd ? static_cast<int>(lines.size()) - 1 : 0;
      const int x = metrics::EditMargin + (atEnd ? metrics::TextWidth(memo.font, lines.back()) : 0);
      svg_.VLine(x, 1 + line * lineHeight, lineHeight, colors::WindowText);
    }
    svg_.Close();
    const int shownLines = std::max(1, innerH / std::max(lineHeight, 1));
    if (vertical)
      DrawScrollBar(w - 2 - kScrollBar, 2, innerH, true, static_cast<int>(lines.size()),
                    shownLines);
    if (horizontal) DrawScrollBar(2, h - 2 - kScrollBar, innerW, false, 0, 0);
    if (vertical && horizontal)
      svg_.Fill(w - 2 - kScrollBar, h - 2 - kScrollBar, kScrollBar, kScrollBar, colors::ButtonFace);
  }

  void DrawButton(const Button& button) {
    const int w = button.Width(), h = button.Height();
    // The focused button acts as the default one; while the focus is on a control that is no
    // button, the form's default button shows the heavy frame.
    const bool focusedButton = focused_ && dynamic_cast<const Button*>(focused_);
    const bool heavy = Focused(button) || (button.isDefault && !focusedButton);
    svg_.Fill(0, 0, w, h, colors::ButtonFace);
    int x = 0, y = 0, bw = w, bh = h;
    if (heavy) {
      svg_.Frame(0, 0, w, h, kDarkShadow);
      x = y = 1;
      bw -= 2;
      bh -= 2;
    }
    svg_.Raised(x, y, bw, bh);
    std::string caption = button.Caption();
    if (caption.empty() && button.kind == Button::Kind::Help) caption = "&Help";
    const AcceleratedCaption text = SplitAccelerator(caption);
    const int tw = metrics::TextWidth(button.font, text.text);
    const int lineHeight = metrics::TextHeight(button.font);
    const Picture& glyph = button.glyph;
    const int gw = glyph.Empty() ? 0 : glyph.Width();
    const int gap = gw > 0 && tw > 0 ? 4 : 0;
    const int left = (w - gw - gap - tw) / 2;
    if (gw > 0) {
      svg_.Open(left, (h - glyph.Height()) / 2, gw, glyph.Height());
      DrawPicture(glyph, gw, glyph.Height(), false, false, button.Enabled());
      svg_.Close();
    }
    const int top = (h - lineHeight) / 2;
    Caption(left + gw + gap, top, text.text, text.accelerator, button.font, button.Enabled(),
            button.font.color);
    if (Focused(button)) svg_.FocusRect(4, 4, w - 8, h - 8);
  }

  // A check box or radio button: the mark at `x`, in a row of height `h`, and its caption.
  void DrawCheck(const Control& c, bool radio, bool checked, int x, int h,
                 const std::string& caption, bool focused) {
    const int by = (h - kCheckSize) / 2;
    const Color face = c.Enabled() ? colors::Window : colors::ButtonFace;
    const Color mark = c.Enabled() ? colors::WindowText : colors::ButtonShadow;
    if (radio) {
      // A sunken circle: shadows on the upper left half of its two rings, lights on the lower
      // right.
      const double cx = x + kCheckSize / 2.0, cy = by + kCheckSize / 2.0;
      auto ring = [&](double r, Color upperLeft, Color lowerRight, const std::string& fill) {
        const double d = r * std::numbers::sqrt2 / 2;
        const std::string from = Num(cx - d) + " " + Num(cy + d);
        const std::string to = Num(cx + d) + " " + Num(cy - d);
        const std::string radius = Num(r) + " " + Num(r);
        svg_.out += "<path d=\"M " + from + " A " + radius + " 0 0 1 " + to + "\" fill=\"" + fill +
                    "\" stroke=\"" + Hex(upperLeft) + "\"/>\n";
        svg_.out += "<path d=\"M " + from + " A " + radius + " 0 0 0 " + to +
                    "\" fill=\"none\" stroke=\"" + Hex(lowerRight) + "\"/>\n";
      };
      svg_.out += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"5.5\" fill=\"" +
                  Hex(face) + "\"/>\n";
      ring(5.5, colors::ButtonShadow, colors::ButtonHighlight, "none");
      ring(4.5, kDarkShadow, kLight, "none");
      if (checked)
        svg_.out += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"2\" fill=\"" +
                    Hex(mark) + "\"/>\n";
    } else {
      svg_.Fill(x, by, kCheckSize, kCheckSize, face);
      svg_.Sunken(x, by, kCheckSize, kCheckSize);
      if (checked)
        svg_.out += "<path d=\"M " + Num(x + 3.5) + " " + Num(by + 6) + " L " + Num(x + 5.5) + " " +
                    Num(by + 8.5) + " L " + Num(x + 9.5) + " " + Num(by + 3.5) +
                    "\" fill=\"none\" stroke=\"" + Hex(mark) + "\" stroke-width=\"2\"/>\n";
    }
    const AcceleratedCaption text = SplitAccelerator(caption);
    const int lineHeight = metrics::TextHeight(c.font);
    const int tx = x + kCheckSize + kCheckCaptionGap;
    const int top = (h - lineHeight) / 2;
    Caption(tx, top, text.text, text.accelerator, c.font, c.Enabled(), c.font.color);
    if (focused && !text.text.empty())
      svg_.FocusRect(tx - 1, top, metrics::TextWidth(c.font, text.text) + 2, lineHeight);
  }

  // The group's frame: an etched rectangle from the middle of the caption's line down, the
  // caption let into its top edge.
  void GroupFrame(const Control& c) {
    const int lineHeight = metrics::TextHeight(c.font);
    svg_.Etched(0, lineHeight / 2, c.Width(), c.Height() - lineHeight / 2);
    const AcceleratedCaption text = SplitAccelerator(c.Caption());
    if (text.text.empty()) return;
    const int tw = metrics::TextWidth(c.font, text.text);
    svg_.Fill(6, 0, tw + 4, lineHeight, c.color);
    Caption(8, 0, text.text, text.accelerator, c.font, c.Enabled(), c.font.color);
  }

  void DrawGroupBox(const Control& group) { GroupFrame(group); }

  // Items in columns filling the group below its caption, each row as high as the space
  // divided among the rows of a column.
  void DrawRadioGroup(const RadioGroup& group) {
    GroupFrame(group);
    const int count = static_cast<int>(group.items.size());
    if (count == 0) return;
    const int columns = std::max(1, group.columns);
    const int perColumn = (count + columns - 1) / columns;
    const int lineHeight = metrics::TextHeight(group.font);
    const int space = group.Height() - lineHeight - 5;
    const int rowHeight = std::max(space / perColumn, 1);
    const int topMargin = lineHeight + 1 + (space % perColumn) / 2;
    const int columnWidth = (group.Width() - 10) / columns;
    const int focusItem = Focused(group) ? std::max(group.ItemIndex(), 0) : -1;
    for (int i = 0; i < count; ++i) {
      const int x = (i / perColumn) * columnWidth + 8;
      const int y = (i % perColumn) * rowHeight + topMargin;
      svg_.Open(x, y, columnWidth, rowHeight);
      DrawCheck(group, true, i == group.ItemIndex(), 0, rowHeight, group.items[i], i == focusItem);
      svg_.Close();
    }
  }

  void DrawPanel(const Panel& panel) {
    const int w = panel.Width(), h = panel.Height();
    svg_.Fill(0, 0, w, h, panel.color);
    if (panel.bevelOuter == Panel::Bevel::Raised)
      svg_.Bevel(0, 0, w, h, colors::ButtonHighlight, colors::ButtonShadow);
    if (panel.bevelOuter == Panel::Bevel::Lowered)
      svg_.Bevel(0, 0, w, h, colors::ButtonShadow, colors::ButtonHighlight);
    const AcceleratedCaption text = SplitAccelerator(panel.Caption());
    const int lineHeight = metrics::TextHeight(panel.font);
    Caption((w - metrics::TextWidth(panel.font, text.text)) / 2, (h - lineHeight) / 2, text.text,
            text.accelerator, panel.font, panel.Enabled(), panel.font.color);
  }

  void DrawListBox(const ListBox& list) {
    const int w = list.Width(), h = list.Height();
    svg_.Fill(0, 0, w, h, list.Enabled() ? list.color : colors::ButtonFace);
    svg_.Sunken(0, 0, w, h);
    const int itemHeight = list.ItemHeight();
    const int count = list.items.Count();
    const int innerH = h - 4;
    const bool scroll = count * itemHeight > innerH;
    const int innerW = w - 4 - (scroll ? kScrollBar : 0);
    const int lineHeight = metrics::TextHeight(list.font);
    svg_.Open(2, 2, innerW, innerH);
    for (int i = 0; i < count && i * itemHeight < innerH; ++i) {
      const int y = i * itemHeight;
      const int top = y + (itemHeight - lineHeight) / 2;
      if (list.Selected(i)) {
        svg_.Fill(0, y, innerW, itemHeight, colors::Highlight);
        svg_.Text(2, top, list.items[i], list.font, colors::White);
      } else {
        svg_.Text(2, top, list.items[i], list.font, TextColor(list));
      }
      if (Focused(list) && i == list.ItemIndex()) svg_.FocusRect(0, y, innerW, itemHeight);
    }
    svg_.Close();
    if (scroll)
      DrawScrollBar(w - 2 - kScrollBar, 2, innerH, true, count,
                    std::max(1, innerH / std::max(itemHeight, 1)));
  }

  void DrawComboBox(const ComboBox& combo) {
    const int w = combo.Width(), h = combo.Height();
    svg_.Fill(0, 0, w, h, combo.Enabled() ? combo.color : colors::ButtonFace);
    svg_.Sunken(0, 0, w, h);
    const int bx = w - 2 - kScrollBar;
    svg_.Fill(bx, 2, kScrollBar, h - 4, colors::ButtonFace);
    svg_.Raised(bx, 2, kScrollBar, h - 4);
    svg_.Arrow(bx, 2, kScrollBar, h - 4, true,
               combo.Enabled() ? colors::ButtonText : colors::ButtonShadow);
    const int innerW = bx - 2, innerH = h - 4;
    const int lineHeight = metrics::TextHeight(combo.font);
    const int top = std::max(0, (innerH - lineHeight) / 2);
    const std::string& text = combo.Text();
    svg_.Open(2, 2, innerW, innerH);
    if (combo.style == ComboBox::Style::DropDownList && Focused(combo)) {
      svg_.Fill(1, top - 1, innerW - 2, lineHeight + 2, colors::Highlight);
      svg_.Text(2, top, text, combo.font, colors::White);
      svg_.FocusRect(1, top - 1, innerW - 2, lineHeight + 2);
    } else {
      svg_.Text(2, top, text, combo.font, TextColor(combo));
      if (Focused(combo)) {
        const int n = static_cast<int>(text.size());
        const int start = std::clamp(combo.SelStart(), 0, n);
        SelectionOrCaret(2, top, text, start, std::clamp(combo.SelLength(), 0, n - start),
                         combo.font);
      }
    }
    svg_.Close();
  }

  // What a paint handler drew, in the coordinates it drew in.
  void DrawOps(const std::vector<DrawOp>& ops) {
    for (const DrawOp& op : ops) {
      const Rect& r = op.rect;
      switch (op.kind) {
        case DrawOp::Kind::FillRect:
          svg_.Fill(r.left, r.top, r.Width(), r.Height(), op.brushColor);
          break;
        case DrawOp::Kind::FrameRect:
          svg_.Frame(r.left, r.top, r.Width(), r.Height(), op.penColor);
          break;
        case DrawOp::Kind::Rectangle:
          svg_.Fill(r.left, r.top, r.Width(), r.Height(), op.brushColor);
          svg_.Frame(r.left, r.top, r.Width(), r.Height(), op.penColor);
          break;
        case DrawOp::Kind::Ellipse:
          svg_.out += "<ellipse cx=\"" + Num((r.left + r.right) / 2.0) + "\" cy=\"" +
                      Num((r.top + r.bottom) / 2.0) + "\" rx=\"" + Num(r.Width() / 2.0 - 0.5) +
                      "\" ry=\"" + Num(r.Height() / 2.0 - 0.5) + "\" fill=\"" + Hex(op.brushColor) +
                      "\" stroke=\"" + Hex(op.penColor) + "\"/>\n";
          break;
        case DrawOp::Kind::Line:
          svg_.Line(r.left + 0.5, r.top + 0.5, r.right + 0.5, r.bottom + 0.5, op.penColor);
          break;
        case DrawOp::Kind::Text:
          svg_.Text(r.left, r.top, op.text, op.font, op.penColor);
          break;
        case DrawOp::Kind::Edge:
          svg_.Fill(r.left, r.top, r.Width(), r.Height(), op.brushColor);
          if (op.raised) {
            svg_.Raised(r.left, r.top, r.Width(), r.Height());
          } else {
            svg_.Pressed(r.left, r.top, r.Width(), r.Height());
          }
          break;
        case DrawOp::Kind::Picture:
          svg_.Frame(r.left, r.top, r.Width(), r.Height(), colors::ButtonShadow);
          break;
      }
    }
  }

  // The cells that show in the grid's bounds, with what was painted on each (the cell's text
  // on its background while nothing has been painted), the grid lines between them and the
  // focus on the current cell.
  void DrawGrid(const StringGrid& grid) {
    const int w = grid.Width(), h = grid.Height();
    svg_.Fill(0, 0, w, h, grid.color);
    int totalW = 0, totalH = 0;
    for (int c = 0; c < grid.ColCount(); ++c) totalW += grid.ColWidth(c) + grid.gridLineWidth;
    for (int r = 0; r < grid.RowCount(); ++r) totalH += grid.RowHeight(r) + grid.gridLineWidth;
    const bool vertical =
        (grid.scrollBars == ScrollBars::Vertical || grid.scrollBars == ScrollBars::Both) &&
        totalH > h;
    const bool horizontal =
        (grid.scrollBars == ScrollBars::Horizontal || grid.scrollBars == ScrollBars::Both) &&
        totalW > w;
    const int areaW = w - (vertical ? kScrollBar : 0), areaH = h - (horizontal ? kScrollBar : 0);
    svg_.Open(0, 0, areaW, areaH);
    for (int r = 0; r < grid.RowCount(); ++r) {
      for (int c = 0; c < grid.ColCount(); ++c) {
        const Rect cell = grid.CellRect(c, r);
        if (cell.left >= areaW || cell.top >= areaH) continue;
        const bool fixed = c < grid.fixedCols || r < grid.fixedRows;
        if (grid.gridLineWidth > 0) {
          const Color line = fixed ? kDarkShadow : kGridLine;
          svg_.Fill(cell.right, cell.top, grid.gridLineWidth, cell.Height() + grid.gridLineWidth,
                    line);
          svg_.Fill(cell.left, cell.bottom, cell.Width(), grid.gridLineWidth, line);
        }
        svg_.Open(cell.left, cell.top, cell.Width(), cell.Height());
        svg_.out += "<g transform=\"translate(" + Num(-cell.left) + "," + Num(-cell.top) + ")\">\n";
        const std::vector<DrawOp>& ops = grid.CellDrawing(c, r);
        if (!ops.empty()) {
          DrawOps(ops);
        } else if (grid.PaintCount() == 0 && grid.defaultDrawing) {
          svg_.Fill(cell.left, cell.top, cell.Width(), cell.Height(),
                    fixed ? colors::ButtonFace : grid.color);
          svg_.Text(cell.left + 2, cell.top + 2, grid.Cell(c, r), grid.font, TextColor(grid));
        }
        if (fixed)
          svg_.Bevel(cell.left, cell.top, cell.Width(), cell.Height(), colors::ButtonHighlight,
                     colors::ButtonShadow);
        svg_.out += "</g>\n";
        svg_.Close();
        if (Focused(grid) && !fixed && c == grid.Col() && r == grid.Row())
          svg_.FocusRect(cell.left, cell.top, cell.Width(), cell.Height());
      }
    }
    svg_.Close();
    svg_.Frame(0, 0, w, h, colors::ButtonShadow);
    if (vertical) DrawScrollBar(w - kScrollBar, 0, areaH, true, totalH, areaH);
    if (horizontal) DrawScrollBar(0, h - kScrollBar, areaW, false, totalW, areaW);
  }

  int TabHeight(const Font& font) const { return metrics::TextHeight(font) + 6; }

  // Tabs standing on a line at `baseline`, the selected one raised and joined to what is
  // below; `chosen` is the selected tab (-1: none).
  void DrawTabs(const std::vector<std::string>& captions, int chosen, int baseline, int width,
                const Control& c) {
    const int tabHeight = TabHeight(c.font);
    svg_.HLine(0, baseline, width, colors::ButtonHighlight);
    int x = 2;
    int chosenLeft = -1, chosenWidth = 0;
    const int lineHeight = metrics::TextHeight(c.font);
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
      const AcceleratedCaption text = SplitAccelerator(captions[i]);
      const int tw = metrics::TextWidth(c.font, text.text) + 2 * kTabPadding;
      const bool selected = i == chosen;
      const int left = selected ? x - 2 : x, right = selected ? x + tw + 2 : x + tw;
      const int top = baseline - tabHeight + (selected ? 0 : 2);
      if (selected) {
        // Drawn last, so that it covers its neighbours' edges.
        chosenLeft = left;
        chosenWidth = right - left;
      } else {
        TabShape(left, top, right - left, baseline - top);
        const int textTop = top + (baseline - top - lineHeight) / 2;
        Caption(x + kTabPadding, textTop, text.text, text.accelerator, c.font, c.Enabled(),
                c.font.color);
      }
      x += tw;
    }
    if (chosenLeft >= 0) {
      const int top = baseline - tabHeight;
      svg_.Fill(chosenLeft, top, chosenWidth, tabHeight + 1, colors::ButtonFace);
      TabShape(chosenLeft, top, chosenWidth, tabHeight + 1);
      const AcceleratedCaption text = SplitAccelerator(captions[chosen]);
      const int textTop = top + (tabHeight - lineHeight) / 2;
      Caption(chosenLeft + 2 + kTabPadding, textTop, text.text, text.accelerator, c.font,
              c.Enabled(), c.font.color);
      if (Focused(c))
        svg_.FocusRect(chosenLeft + kTabPadding, textTop, metrics::TextWidth(c.font, text.text) + 4,
                       lineHeight);
    }
  }

  // A tab's outline: highlight on the left and top, shadows on the right; open at the bottom.
  void TabShape(int x, int y, int w, int h) {
    svg_.VLine(x, y + 2, h - 2, colors::ButtonHighlight);
    svg_.HLine(x + 2, y, w - 4, colors::ButtonHighlight);
    svg_.Fill(x + 1, y + 1, 1, 1, colors::ButtonHighlight);
    svg_.VLine(x + w - 2, y + 1, h - 1, colors::ButtonShadow);
    svg_.VLine(x + w - 1, y + 2, h - 2, kDarkShadow);
  }

  void DrawTabSet(const TabSet& tabs) {
    DrawTabs(tabs.tabs, tabs.TabIndex(), tabs.Height() - 1, tabs.Width(), tabs);
  }

  void DrawNotebook(const Notebook& book) {
    const int w = book.Width(), h = book.Height();
    Rect area{0, 0, w, h};
    if (book.showTabs) {
      const int tabHeight = TabHeight(book.font);
      svg_.Fill(0, tabHeight, w, h - tabHeight, colors::ButtonFace);
      svg_.Bevel(0, tabHeight, w, h - tabHeight, colors::ButtonHighlight, kDarkShadow);
      svg_.Bevel(1, tabHeight + 1, w - 2, h - tabHeight - 2, kLight, colors::ButtonShadow);
      std::vector<std::string> captions;
      for (int i = 0; i < book.PageCount(); ++i) captions.push_back(book.PageAt(i).Caption());
      DrawTabs(captions, book.PageIndex(), tabHeight, w, book);
      area = {4, tabHeight + 4, w - 4, h - 4};
    }
    if (book.PageIndex() < 0 || book.PageIndex() >= book.PageCount()) return;
    const Page& page = book.PageAt(book.PageIndex());
    if (!page.Visible()) return;
    svg_.out += "<g id=\"" + XmlText(page.Name()) + "\">\n";
    svg_.Open(area.left, area.top, area.Width(), area.Height());
    Children(&page);
    svg_.Close();
    svg_.out += "</g>\n";
  }

  // A picture in a box of w x h: at its own size from the top left, centred, or stretched.
  void DrawPicture(const Picture& picture, int w, int h, bool stretch, bool center, bool enabled) {
    if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0) return;
    const int pw = picture.Width(), ph = picture.Height();
    double sx = 1, sy = 1;
    double ox = 0, oy = 0;
    if (stretch) {
      sx = static_cast<double>(w) / pw;
      sy = static_cast<double>(h) / ph;
    } else if (center) {
      ox = (w - pw) / 2;
      oy = (h - ph) / 2;
    }
    const std::string opacity = enabled ? "" : " opacity=\"0.4\"";
    if (const Bitmap* bitmap = picture.AsBitmap()) {
      svg_.out += "<image x=\"" + Num(ox) + "\" y=\"" + Num(oy) + "\" width=\"" + Num(pw * sx) +
                  "\" height=\"" + Num(ph * sy) +
                  "\" preserveAspectRatio=\"none\" style=\"image-rendering:pixelated\"" + opacity +
                  " href=\"data:image/bmp;base64," + Base64(EncodeBmp(*bitmap)) + "\"/>\n";
      return;
    }
    const Metafile& metafile = *picture.AsMetafile();
    svg_.out += "<g transform=\"translate(" + Num(ox) + "," + Num(oy) + ") scale(" + Num(sx) + "," +
                Num(sy) + ")\"" + opacity + ">\n";
    for (const MetafileRecord& record : metafile.records) DrawRecord(record);
    svg_.out += "</g>\n";
  }

  void DrawRecord(const MetafileRecord& record) {
    const std::string stroke = "\" fill=\"none\" stroke=\"" + Hex(record.color) +
                               "\" stroke-width=\"" + Num(std::max(record.penWidth, 1)) + "\"/>\n";
    switch (record.kind) {
      case MetafileRecord::Kind::Polyline: {
        if (record.points.empty()) return;
        svg_.out += "<polyline points=\"";
        for (const Point& p : record.points) svg_.out += Num(p.x) + "," + Num(p.y) + " ";
        svg_.out += stroke;
        return;
      }
      case MetafileRecord::Kind::Arc: {
        const Rect& box = record.box;
        const double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
        if (rx <= 0 || ry <= 0 || record.points.size() < 2) return;
        const double cx = box.left + rx, cy = box.top + ry;
        // Angles as seen on the screen, counter-clockwise positive.
        auto angle = [&](Point p) { return std::atan2(-(p.y - cy) / ry, (p.x - cx) / rx); };
        const double a1 = angle(record.points[0]), a2 = angle(record.points[1]);
        double sweep = a2 - a1;
        while (sweep <= 0) sweep += 2 * std::numbers::pi;
        auto at = [&](double a) {
          return Num(cx + rx * std::cos(a)) + " " + Num(cy - ry * std::sin(a));
        };
        if (sweep >= 2 * std::numbers::pi - 1e-9) {
          svg_.out += "<ellipse cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" rx=\"" + Num(rx) +
                      "\" ry=\"" + Num(ry) + stroke;
          return;
        }
        svg_.out += "<path d=\"M " + at(a1) + " A " + Num(rx) + " " + Num(ry) + " 0 " +
                    (sweep > std::numbers::pi ? "1" : "0") + " 0 " + at(a2) + stroke;
        return;
      }
      case MetafileRecord::Kind::Text: {
        Font font = record.font;
        font.size = static_cast<int>(
            std::lround(std::abs(record.font.size) * 72.0 / metrics::PixelsPerInch));
        svg_.Text(record.points.empty() ? 0 : record.points[0].x,
                  record.points.empty() ? 0 : record.points[0].y, record.text, font, record.color);
        return;
      }
    }
  }

  void DrawImage(const Image& image) {
    DrawPicture(image.GetPicture(), image.Width(), image.Height(), image.stretch, image.center,
                true);
  }

  void DrawSpeedButton(const SpeedButton& button) {
    const int w = button.Width(), h = button.Height();
    const bool down = button.Down();
    svg_.Fill(0, 0, w, h, down ? kDownFace : colors::ButtonFace);
    if (down) {
      svg_.Pressed(0, 0, w, h);
    } else if (!button.flat) {
      svg_.Raised(0, 0, w, h);
    }
    const int shift = down ? 1 : 0;
    const AcceleratedCaption text = SplitAccelerator(button.Caption());
    const int tw = metrics::TextWidth(button.font, text.text);
    const Picture& glyph = button.glyph;
    const int gw = glyph.Empty() ? 0 : glyph.Width();
    const int gap = gw > 0 && tw > 0 ? 4 : 0;
    const int left = (w - gw - gap - tw) / 2 + shift;
    if (gw > 0) {
      svg_.Open(left, (h - glyph.Height()) / 2 + shift, gw, glyph.Height());
      DrawPicture(glyph, gw, glyph.Height(), false, false, button.Enabled());
      svg_.Close();
    }
    Caption(left + gw + gap, (h - metrics::TextHeight(button.font)) / 2 + shift, text.text,
            text.accelerator, button.font, button.Enabled(), button.font.color);
  }

  void DrawToolButton(const ToolButton& button) {
    const int w = button.Width(), h = button.Height();
    if (button.style == ToolButton::Style::Separator) {
      svg_.VLine(w / 2 - 1, 2, h - 4, colors::ButtonShadow);
      svg_.VLine(w / 2, 2, h - 4, colors::ButtonHighlight);
      return;
    }
    const auto* bar = dynamic_cast<const ToolBar*>(button.Parent());
    const bool flat = bar && bar->flat;
    if (button.Down()) {
      svg_.Fill(0, 0, w, h, kDownFace);
      svg_.Bevel(0, 0, w, h, colors::ButtonShadow, colors::ButtonHighlight);
    } else if (!flat) {
      svg_.Raised(0, 0, w, h);
    }
    const int shift = button.Down() ? 1 : 0;
    // Without its image list, a button shows its caption, or the number of its image.
    std::string caption = button.Caption();
    if (caption.empty() && button.imageIndex >= 0) caption = std::to_string(button.imageIndex);
    const AcceleratedCaption text = SplitAccelerator(caption);
    Caption((w - metrics::TextWidth(button.font, text.text)) / 2 + shift,
            (h - metrics::TextHeight(button.font)) / 2 + shift, text.text, text.accelerator,
            button.font, button.Enabled(), button.font.color);
  }

  const Form& form_;
  const Control* focused_;
  Svg svg_;
};

}  // namespace

AcceleratedCaption SplitAccelerator(const std::string& caption) {
  AcceleratedCaption result;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      result.text += caption[i];
      continue;
    }
    if (i + 1 >= caption.size()) break;  // a trailing '&' marks nothing
    if (caption[i + 1] == '&') {
      result.text += '&';
      ++i;
      continue;
    }
    if (result.accelerator < 0) result.accelerator = static_cast<int>(result.text.size());
  }
  return result;
}

std::string FormPictureSvg(const Form& form) { return Painter(form).Run(); }

}  // namespace platform
