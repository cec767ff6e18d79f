#include "text/rtf_builder.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/numbers.h"

namespace qxt {

namespace {

bool IsRtfSpecial(char c) { return c == '\\' || c == '{' || c == '}'; }

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when a raw backslash before body[i] would start a control word that makes a reader take
// the characters after it as data rather than as text and structure: a hex escape ("\'") that is
// not followed by its two hex digits in the typed text, and binary data ("\bin", whose count of
// bytes would run on into the document's closing). Either would swallow the closing.
bool TakesDataAfterIt(std::string_view body, std::size_t i) {
  if (i < body.size() && body[i] == '\'') {
    return !(i + 2 < body.size() && IsHexDigit(body[i + 1]) && IsHexDigit(body[i + 2]));
  }
  if (body.substr(i, 3) == "bin") {
    return i + 3 == body.size() || body[i + 3] < 'a' || body[i + 3] > 'z';
  }
  return false;
}

// Escapes `body` character by character, handing every output character to `put`. One pass gives
// the same result as replacing "\", "{", "}", CR LF and "@@" one after another, each left to right
// and resuming after its own insertion: no replacement creates or splits a match of a later one.
template <class Put>
void EscapeBody(std::string_view body, Put&& put) {
  auto rawPairAt = [body](std::size_t i) {
    return i + 1 < body.size() && body[i] == '@' && body[i + 1] == '@';
  };
  std::size_t i = 0;
  while (i < body.size()) {
    char c = body[i];
    if (c == '\\' || rawPairAt(i)) {
      // A run of typed backslashes (two each once escaped) and "@@" pairs (one raw backslash
      // each) comes out as one run of backslashes. When it is followed by a brace, whose escape
      // joins the run, or by the end of the body, where the closing follows, an odd number of
      // raw backslashes would pair up with that escape (or the closing's brace) and unbalance
      // the groups; before a control word that takes the characters after it as data it would
      // swallow the closing. One more backslash is written then, so the last raw one shows as a
      // literal.
      std::size_t backslashes = 0;
      std::size_t raw = 0;
      while (i < body.size() && (body[i] == '\\' || rawPairAt(i))) {
        if (body[i] == '\\') {
          backslashes += 2;
          i += 1;
        } else {
          backslashes += 1;
          raw += 1;
          i += 2;
        }
      }
      const bool structureFollows = i == body.size() || body[i] == '{' || body[i] == '}';
      if ((structureFollows || TakesDataAfterIt(body, i)) && raw % 2 == 1) ++backslashes;
      for (std::size_t n = 0; n < backslashes; ++n) put('\\');
    } else if (c == '{' || c == '}') {
      put('\\');
      put(c);
      ++i;
    } else if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n') {
      for (char p : std::string_view("\r\n\\par ")) put(p);
      i += 2;
    } else {
      put(c);
      ++i;
    }
  }
}

// The face name goes into the font table as text, so its own specials are escaped too (no real
// face name has any; a damaged configuration must still give a well-formed document).
std::string EscapeFaceName(std::string_view face) {
  std::string out;
  for (char c : face) {
    if (c == '\0') break;
    if (IsRtfSpecial(c)) out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

TrueTypeTextSettings TrueTypeSettingsFrom(const QXConfig& config) {
  TrueTypeTextSettings settings;
  settings.faceName = config.TTFontName.Get();
  settings.size = config.TTSize;
  settings.style = config.TTStyle;
  settings.hPos = config.TTHPos;
  settings.vPos = config.TTVPos;
  settings.just = config.TTJust;
  settings.lineWidth = config.TTLineWidth;
  settings.orientation = config.TTOrientation;
  return settings;
}

int16_t HorizontalCode(int32_t item) {
  switch (item) {
    case 1:
      return 2;  // centre
    case 2:
      return 1;  // right
    default:
      return 0;  // left
  }
}

int16_t VerticalCode(int32_t item) {
  switch (item) {
    case 0:
      return 4;  // top
    case 1:
      return 2;  // centre
    default:
      return 3;  // bottom
  }
}

HsiTrueTypeText TrueTypeRecord(const TrueTypeTextSettings& settings, int16_t layer,
                               int16_t colour) {
  HsiTrueTypeText record{};
  record.x = 0;
  record.y = 0;
  record.layer = layer;
  record.colour = colour;
  record.scaleX = 1.0;
  record.scaleY = 1.0;
  record.orientation = settings.orientation;
  record.hcode = HorizontalCode(settings.hPos);
  record.vcode = VerticalCode(settings.vPos);
  record.content = 1;
  // The face field holds 31 characters and its terminating NUL.
  std::string_view face = settings.faceName;
  face = face.substr(0, std::min(face.size(), sizeof(record.face) - 1));
  std::memcpy(record.face, face.data(), face.size());
  record.size = static_cast<int16_t>(std::clamp<int32_t>(settings.size, INT16_MIN, INT16_MAX));
  record.style = static_cast<int16_t>(settings.style & 0x0F);
  record.document = 0;
  return record;
}

int32_t PaperWidthTwips(double lineWidthInches) { return RoundToInt32(lineWidthInches * 1440.0); }

std::string RtfHeader(const TrueTypeTextSettings& settings) {
  std::string header = "{\\rtf1\\ansi\\paperw";
  header += std::to_string(PaperWidthTwips(settings.lineWidth));
  header += "\\margl0\\margr0\\deff0{\\fonttbl{\\f0\\fnil ";
  header += EscapeFaceName(settings.faceName);
  header += ";}}{\\f0\\fs";
  header += std::to_string(2 * static_cast<int64_t>(settings.size));  // half points
  if (settings.just == 1) header += "\\qc";
  if (settings.just == 2) header += "\\qr";
  if (settings.style & kStyleBold) header += "\\b";
  if (settings.style & kStyleItalic) header += "\\i";
  if (settings.style & kStyleUnderline) header += "\\ul";
  if (settings.style & kStyleStrikeOut) header += "\\strike";
  header += ' ';
  return header;
}

std::string EscapeRtfBody(std::string_view body) {
  std::string out;
  out.reserve(EscapedRtfBodyLength(body));
  EscapeBody(body, [&out](char c) { out += c; });
  return out;
}

std::size_t EscapedRtfBodyLength(std::string_view body) {
  std::size_t length = 0;
  EscapeBody(body, [&length](char) { ++length; });
  return length;
}

std::string_view RtfBodyText(std::string_view memoText) {
  return memoText.substr(0, std::min(memoText.size(), kRtfMaxBodyChars));
}

std::string BuildRtfDocument(const TrueTypeTextSettings& settings, std::string_view memoText) {
  std::string document = RtfHeader(settings);
  document += EscapeRtfBody(RtfBodyText(memoText));
  document += kRtfClosing;
  return document;
}

std::size_t RtfDocumentLength(const TrueTypeTextSettings& settings, std::string_view memoText) {
  return RtfHeader(settings).size() + EscapedRtfBodyLength(RtfBodyText(memoText)) +
         kRtfClosing.size();
}

MemoryBlock::MemoryBlock(std::size_t size) {
  handle_ = platform::GlobalAlloc(size, /*zeroInit=*/true);
  if (handle_ == 0) return;
  data_ = static_cast<char*>(platform::GlobalLock(handle_));
  if (data_ == nullptr) {
    platform::GlobalFree(handle_);
    handle_ = 0;
    return;
  }
  size_ = size;
}

MemoryBlock::~MemoryBlock() { Release(); }

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : handle_(std::exchange(other.handle_, 0)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, 0);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void MemoryBlock::Release() {
  if (handle_ == 0) return;
  if (data_ != nullptr) platform::GlobalUnlock(handle_);
  platform::GlobalFree(handle_);
  handle_ = 0;
  data_ = nullptr;
  size_ = 0;
}

RtfDocumentBlocks::RtfDocumentBlocks(const TrueTypeTextSettings& settings,
                                     std::string_view memoText) {
  // The document is written straight into its block: the header first, then the escaped body
  // and the closing. The block is sized from the document (never below the usual 3072 bytes),
  // with room for the terminating NUL that the zero fill provides.
  std::string header = RtfHeader(settings);
  std::string_view body = RtfBodyText(memoText);
  length_ = header.size() + EscapedRtfBodyLength(body) + kRtfClosing.size();
  std::size_t blockSize = std::max(kRtfBlockSize, length_ + 1);

  document_ = MemoryBlock(blockSize);
  if (!document_.ok()) {
    length_ = 0;
    return;
  }
  char* out = document_.data();
  std::memcpy(out, header.data(), header.size());
  out += header.size();
  EscapeBody(body, [&out](char c) { *out++ = c; });
  std::memcpy(out, kRtfClosing.data(), kRtfClosing.size());

  preview_ = MemoryBlock(blockSize);
  if (!preview_.ok()) {
    Release();
    return;
  }
  std::memcpy(preview_.data(), document_.data(), length_);
}

std::string_view RtfDocumentBlocks::document() const {
  if (!document_.ok()) return {};
  return std::string_view(document_.data(), length_);
}

void RtfDocumentBlocks::Release() {
  document_.Release();
  preview_.Release();
  length_ = 0;
}

}  // namespace qxt
