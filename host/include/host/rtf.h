// The RTF documents that TrueType text objects carry: read into paragraphs of styled runs, and
// laid out into lines the way the host shows them.
#pragma once

#include <string>
#include <vector>

namespace host {

struct TextRun {
  std::string text;
  bool bold = false, italic = false, underline = false, strike = false;
  int halfPoints = 20;  // font size in half points
};

struct TextParagraph {
  std::vector<TextRun> runs;
  int align = 0;  // 0 left, 1 centre, 2 right
};

struct RtfDocument {
  std::vector<TextParagraph> paragraphs;
  int paperWidthTwips = 0;  // \paperw; 0 when absent
  std::string face;         // the first font of the font table
};

// Reads an RTF document: groups, \par, \line, \tab, \b \i \ul \strike (and their 0 forms),
// \ulnone, \plain, \fsN, \ql \qc \qr, \pard, \paperwN, the escapes \\ \{ \} and \'hh; other
// control words and destinations (\fonttbl, \colortbl, \*) are skipped. Never fails: text that
// is not RTF is read as plain text.
RtfDocument ParseRtf(const std::string& text);

// A document of plain text: one paragraph per line (CR LF, LF or CR), all of one style.
RtfDocument PlainDocument(const std::string& text, int halfPoints, int style, int align);

// One line of laid-out text: its runs and its width in points.
struct LaidLine {
  std::vector<TextRun> runs;
  double width = 0;   // points
  double height = 0;  // points (the tallest run x 1.2)
  int align = 0;
};

// Breaks the paragraphs into lines no wider than `wrapWidthPoints` (0: no wrapping), measuring
// characters with a fixed average width (0.5 em, bold 0.55 em).
std::vector<LaidLine> LayoutDocument(const RtfDocument& document, double wrapWidthPoints);
double MeasureRun(const TextRun& run);  // width in points

// Plain text of a document: paragraphs joined by "\n".
std::string DocumentText(const RtfDocument& document);

}  // namespace host
