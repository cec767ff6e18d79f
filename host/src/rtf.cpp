#include "host/rtf.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace host {

namespace {

struct Style {
  bool bold = false, italic = false, underline = false, strike = false;
  int halfPoints = 20;
  bool skip = false;  // inside a destination that holds no text
  bool fontTable = false;
};

bool SameStyle(const TextRun& run, const Style& s) {
  return run.bold == s.bold && run.italic == s.italic && run.underline == s.underline &&
         run.strike == s.strike && run.halfPoints == s.halfPoints;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

RtfDocument ParseRtf(const std::string& text) {
  RtfDocument doc;
  if (text.rfind("{\\rtf", 0) != 0) return PlainDocument(text, 20, 0, 0);

  std::vector<Style> stack{Style{}};
  TextParagraph paragraph;
  int paragraphAlign = 0;
  std::string fontName;

  auto put = [&](const std::string& chars) {
    Style& s = stack.back();
    if (s.fontTable) {
      fontName += chars;
      return;
    }
    if (s.skip) return;
    if (paragraph.runs.empty() || !SameStyle(paragraph.runs.back(), s)) {
      TextRun run;
      run.bold = s.bold;
      run.italic = s.italic;
      run.underline = s.underline;
      run.strike = s.strike;
      run.halfPoints = s.halfPoints;
      paragraph.runs.push_back(run);
    }
    paragraph.runs.back().text += chars;
  };
  auto endParagraph = [&]() {
    paragraph.align = paragraphAlign;
    doc.paragraphs.push_back(std::move(paragraph));
    paragraph = TextParagraph{};
  };

  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '{') {
      stack.push_back(stack.back());
      ++i;
      continue;
    }
    if (c == '}') {
      if (stack.size() > 1) {
        if (stack.back().fontTable && !stack[stack.size() - 2].fontTable && doc.face.empty()) {
          // The first font of the table: its name up to the semicolon.
          std::string name = fontName.substr(0, fontName.find(';'));
          while (!name.empty() && name.front() == ' ') name.erase(0, 1);
          doc.face = name;
        }
        stack.pop_back();
      }
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      put(std::string(1, c));
      ++i;
      continue;
    }
    // A control symbol or word.
    ++i;
    if (i >= n) break;
    char d = text[i];
    if (d == '\\' || d == '{' || d == '}') {
      put(std::string(1, d));
      ++i;
      continue;
    }
    if (d == '\'') {
      int hi = i + 1 < n ? HexValue(text[i + 1]) : -1;
      int lo = i + 2 < n ? HexValue(text[i + 2]) : -1;
      if (hi >= 0 && lo >= 0) {
        put(std::string(1, static_cast<char>(hi * 16 + lo)));
        i += 3;
      } else {
        ++i;
      }
      continue;
    }
    if (d == '*') {
      stack.back().skip = true;
      ++i;
      continue;
    }
    if (d == '~') {
      put(" ");
      ++i;
      continue;
    }
    if (!std::isalpha(static_cast<unsigned char>(d))) {
      ++i;  // other control symbols (\- \_ ...) are ignored
      continue;
    }
    std::string word;
    while (i < n && std::isalpha(static_cast<unsigned char>(text[i]))) word += text[i++];
    bool hasParam = false;
    long param = 0;
    size_t numStart = i;
    if (i < n && (text[i] == '-' || std::isdigit(static_cast<unsigned char>(text[i])))) {
      ++i;
      while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
      std::string digits = text.substr(numStart, std::min<size_t>(i - numStart, 10));
      param = std::strtol(digits.c_str(), nullptr, 10);
      hasParam = digits != "-";
    }
    if (i < n && text[i] == ' ') ++i;  // the delimiter space belongs to the control word
    Style& s = stack.back();
    bool on = !hasParam || param != 0;
    if (word == "par") {
      endParagraph();
    } else if (word == "line") {
      endParagraph();
      doc.paragraphs.back().align = paragraphAlign;
    } else if (word == "tab") {
      put("    ");
    } else if (word == "b") {
      s.bold = on;
    } else if (word == "i") {
      s.italic = on;
    } else if (word == "ul") {
      s.underline = on;
    } else if (word == "ulnone") {
      s.underline = false;
    } else if (word == "strike") {
      s.strike = on;
    } else if (word == "plain") {
      s.bold = s.italic = s.underline = s.strike = false;
    } else if (word == "fs") {
      if (hasParam && param > 0 && param < 4000) s.halfPoints = static_cast<int>(param);
    } else if (word == "ql") {
      paragraphAlign = 0;
    } else if (word == "qc") {
      paragraphAlign = 1;
    } else if (word == "qr") {
      paragraphAlign = 2;
    } else if (word == "pard") {
      paragraphAlign = 0;
    } else if (word == "paperw") {
      if (hasParam && param >= 0) doc.paperWidthTwips = static_cast<int>(param);
    } else if (word == "fonttbl") {
      s.fontTable = true;
    } else if (word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict" ||
               word == "header" || word == "footer") {
      s.skip = true;
    }
  }
  if (!paragraph.runs.empty() || doc.paragraphs.empty()) endParagraph();
  return doc;
}

RtfDocument PlainDocument(const std::string& text, int halfPoints, int style, int align) {
  RtfDocument doc;
  std::string line;
  auto flush = [&]() {
    TextParagraph p;
    p.align = align;
    TextRun run;
    run.text = line;
    run.halfPoints = halfPoints;
    run.bold = style & 1;
    run.italic = style & 2;
    run.underline = style & 4;
    run.strike = style & 8;
    p.runs.push_back(run);
    doc.paragraphs.push_back(p);
    line.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flush();
    } else if (c == '\n') {
      flush();
    } else {
      line += c;
    }
  }
  flush();
  return doc;
}

double MeasureRun(const TextRun& run) {
  double em = run.halfPoints / 2.0;
  return static_cast<double>(run.text.size()) * em * (run.bold ? 0.55 : 0.5);
}

std::vector<LaidLine> LayoutDocument(const RtfDocument& document, double wrapWidthPoints) {
  std::vector<LaidLine> lines;
  for (const auto& paragraph : document.paragraphs) {
    LaidLine line;
    line.align = paragraph.align;
    double tallest = 0;
    auto finish = [&]() {
      line.height = (tallest > 0 ? tallest : 10) * 1.2;
      lines.push_back(line);
      line = LaidLine{};
      line.align = paragraph.align;
      tallest = 0;
    };
    for (const auto& run : paragraph.runs) {
      tallest = std::max(tallest, run.halfPoints / 2.0);
      // Words (with their trailing blank) are placed while they fit.
      size_t pos = 0;
      while (pos < run.text.size()) {
        size_t end = run.text.find(' ', pos);
        end = end == std::string::npos ? run.text.size() : end + 1;
        TextRun piece = run;
        piece.text = run.text.substr(pos, end - pos);
        double w = MeasureRun(piece);
        if (wrapWidthPoints > 0 && line.width > 0 && line.width + w > wrapWidthPoints) {
          finish();
          tallest = run.halfPoints / 2.0;
        }
        if (!line.runs.empty() &&
            SameStyle(line.runs.back(), Style{piece.bold, piece.italic, piece.underline,
                                              piece.strike, piece.halfPoints, false, false})) {
          line.runs.back().text += piece.text;
        } else {
          line.runs.push_back(piece);
        }
        line.width += w;
        pos = end;
      }
    }
    finish();
  }
  return lines;
}

std::string DocumentText(const RtfDocument& document) {
  std::string out;
  for (size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p) out += "\n";
    for (const auto& run : document.paragraphs[p].runs) out += run.text;
  }
  return out;
}

}  // namespace host
