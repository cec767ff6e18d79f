// TrueType text travels to the host as a small RTF document in a moveable memory block whose
// handle sits in the TrueType text record. This unit builds that document from the memo's text
// and the TrueType settings, and owns the memory blocks that carry it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/config.h"
#include "hsi/hsi.h"
#include "platform/memory.h"

namespace qxt {

// The TrueType settings a document and its record are made from (the configuration's TT fields).
struct TrueTypeTextSettings {
  std::string faceName = "Arial";
  int32_t size = 10;         // points
  uint8_t style = 0;         // bit 0 bold, bit 1 italic, bit 2 underline, bit 3 strike-out
  int32_t hPos = 0;          // where the pick point lies on the block: 0 left, 1 centre, 2 right
  int32_t vPos = 2;          // 0 top, 1 centre, 2 bottom
  int32_t just = 0;          // paragraph alignment: 0 left, 1 centre, 2 right
  double lineWidth = 6.0;    // width of the text block in inches
  double orientation = 0.0;  // degrees
};

// The TrueType settings of the configuration record.
TrueTypeTextSettings TrueTypeSettingsFrom(const QXConfig& config);

// The host's justification codes for a dialog's position items: horizontal left 0, centre 2,
// right 1; vertical top 4, centre 2, bottom 3. An item outside 0..2 (a damaged configuration)
// gives left, or bottom.
int16_t HorizontalCode(int32_t item);
int16_t VerticalCode(int32_t item);

// The TrueType text record (type 54) for the settings, at (0, 0), on `layer` in `colour`, with
// no document handle yet.
HsiTrueTypeText TrueTypeRecord(const TrueTypeTextSettings& settings, int16_t layer, int16_t colour);

inline constexpr uint8_t kStyleBold = 1;
inline constexpr uint8_t kStyleItalic = 2;
inline constexpr uint8_t kStyleUnderline = 4;
inline constexpr uint8_t kStyleStrikeOut = 8;

// At most this many characters of the memo's text go into a document.
inline constexpr std::size_t kRtfMaxBodyChars = 2042;
// The smallest block a document is handed over in; a longer document gets a block of its own
// length, so that it always fits and always carries its closing.
inline constexpr std::size_t kRtfBlockSize = 3072;
inline constexpr std::string_view kRtfClosing = "}\\par}";

// The block width for "\paperw": inches to twips, rounded half to even.
int32_t PaperWidthTwips(double lineWidthInches);

// Everything before the body: the document, font table and paragraph group openers, the size,
// alignment and style control words, and the space that ends them.
std::string RtfHeader(const TrueTypeTextSettings& settings);

// The body's escaping: "\", "{" and "}" become literal characters, every CR LF starts a new
// paragraph, and "@@" writes a raw backslash so that a user can type a control word
// ("@@ul words@@ul0" underlines the words). Where a raw backslash would instead escape a brace
// or the closing ("@@{", "@@" at the very end), or start a control word that takes the text
// after it as data (a hex escape "@@'" not followed by two hex digits, binary data "@@bin"), it
// is written as a literal backslash, so the text can never open, close or swallow a group of the
// document.
std::string EscapeRtfBody(std::string_view body);
std::size_t EscapedRtfBodyLength(std::string_view body);

// The memo's text cut to kRtfMaxBodyChars characters.
std::string_view RtfBodyText(std::string_view memoText);

// The whole document for the memo's text: header, escaped body, closing.
std::string BuildRtfDocument(const TrueTypeTextSettings& settings, std::string_view memoText);
std::size_t RtfDocumentLength(const TrueTypeTextSettings& settings, std::string_view memoText);

// A moveable memory block, zero-filled and locked for as long as this object owns it; it is
// unlocked and freed when the owner goes away (or on Release), whichever way the caller leaves.
class MemoryBlock {
 public:
  MemoryBlock() = default;
  // Allocates and locks `size` bytes; check with `ok()` (no memory, or the lock failed).
  explicit MemoryBlock(std::size_t size);
  ~MemoryBlock();
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  MemoryBlock(MemoryBlock&& other) noexcept;
  MemoryBlock& operator=(MemoryBlock&& other) noexcept;

  bool ok() const { return data_ != nullptr; }
  platform::MemHandle handle() const { return handle_; }
  char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // Unlocks and frees the block now.
  void Release();

 private:
  platform::MemHandle handle_ = 0;
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

// The two blocks of one TrueType placement: the first holds the document for the final object,
// the second a copy of it for the preview object. Both are freed with this object.
class RtfDocumentBlocks {
 public:
  // Builds the document into the first block and copies it into the second. `ok()` is false
  // when either block could not be had; nothing is then left allocated.
  RtfDocumentBlocks(const TrueTypeTextSettings& settings, std::string_view memoText);

  bool ok() const { return document_.ok() && preview_.ok(); }
  platform::MemHandle documentHandle() const { return document_.handle(); }
  platform::MemHandle previewHandle() const { return preview_.handle(); }
  std::string_view document() const;
  void Release();

 private:
  MemoryBlock document_;
  MemoryBlock preview_;
  std::size_t length_ = 0;
};

}  // namespace qxt
