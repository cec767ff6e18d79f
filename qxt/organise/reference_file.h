// The reference-object library file "QXREF.DAT": a plain run of fixed 1384-byte records, one per
// reference object, in the reference folder beside the objects' preview pictures. Also the
// arithmetic placement shares with it: preview names and the upright rule for annotation texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pstring.h"
#include "platform/forms.h"

namespace qxt {

inline constexpr const char* kRefFolderName = "REF";
inline constexpr const char* kRefFileName = "QXREF.DAT";
inline constexpr const char* kRefBackupName = "QXREF.BAK";
inline constexpr const char* kNoPreview = "NONE";

inline constexpr int kMaxAnnotations = 3;
inline constexpr std::size_t kAnnotationTextChars = 255;  // the NUL-terminated text field less 1
inline constexpr std::size_t kRefPromptChars = 64;
inline constexpr std::size_t kRefSymbolChars = 13;
inline constexpr std::size_t kRefNameChars = 255;

#pragma pack(push, 1)
// A CAD text (the host's type-46 record) whose vertex is relative to the symbol's insertion
// point.
struct AnnotationItem {
  std::int32_t dx;
  std::int32_t dy;
  std::int16_t layer;
  std::int16_t colour;
  std::int32_t size;
  std::uint16_t charSpacing;
  double orientation;
  double widthFactor;
  std::int16_t hcode;
  std::int16_t vcode;
  std::int16_t font;
  std::int16_t slant;
  std::int16_t length;
  char text[kAnnotationTextChars + 1];  // NUL-terminated
};

struct RefRecord {
  PString<kRefNameChars> Name;
  PString<kRefSymbolChars> Symbol;
  std::int16_t SymbolLayer;
  PString<kRefSymbolChars> Preview;
  PString<kRefPromptChars> Prompts[kMaxAnnotations];
  AnnotationItem Items[kMaxAnnotations];
  std::uint8_t RotateFlag;
  std::int16_t Count;
};
#pragma pack(pop)

static_assert(sizeof(AnnotationItem) == 300);
static_assert(offsetof(AnnotationItem, layer) == 8);
static_assert(offsetof(AnnotationItem, size) == 12);
static_assert(offsetof(AnnotationItem, charSpacing) == 16);
static_assert(offsetof(AnnotationItem, orientation) == 18);
static_assert(offsetof(AnnotationItem, widthFactor) == 26);
static_assert(offsetof(AnnotationItem, hcode) == 34);
static_assert(offsetof(AnnotationItem, length) == 42);
static_assert(offsetof(AnnotationItem, text) == 44);
static_assert(sizeof(RefRecord) == 1384);
static_assert(offsetof(RefRecord, Symbol) == 256);
static_assert(offsetof(RefRecord, SymbolLayer) == 270);
static_assert(offsetof(RefRecord, Preview) == 272);
static_assert(offsetof(RefRecord, Prompts) == 286);
static_assert(offsetof(RefRecord, Items) == 481);
static_assert(offsetof(RefRecord, RotateFlag) == 1381);
static_assert(offsetof(RefRecord, Count) == 1382);

// The text of an item: up to its NUL, never more than 255 characters.
std::string ItemText(const AnnotationItem& item);
// Stores `text` cut to 255 characters, NUL-terminated with the rest of the field zeroed, and
// sets the character count to the stored length.
void SetItemText(AnnotationItem& item, std::string_view text);

// One reference object as the manager's list item owns it (the list item's text is its name).
class TRefObject : public platform::ItemData {
 public:
  std::string Symbol;
  std::int16_t SymbolLayer = 0;
  std::string Preview = kNoPreview;
  std::array<std::string, kMaxAnnotations> Prompts;
  std::array<AnnotationItem, kMaxAnnotations> Items{};
  bool RotateFlag = false;
  int Count = 0;  // 0 to 3 items in use, counted from the first
};

struct NamedRefObject {
  std::string name;
  TRefObject object;
};

// The record of an object: the texts cut to their fields; only the items in use are filled,
// the others stay zero.
RefRecord MakeRefRecord(const std::string& name, const TRefObject& object);
// The object of a record; nothing when its count lies outside 0..3 (the record cannot be
// trusted and is refused).
std::optional<NamedRefObject> ReadRefRecord(const RefRecord& record);

// Reads the whole file. False with the system's description in `error` when it cannot be read
// to its end (a missing file, a partial last record). Records refused by ReadRefRecord are left
// out and counted in `refused`.
bool ReadRefFile(const std::string& path, std::vector<NamedRefObject>& objects, int& refused,
                 std::string& error);

// Writes the list in its order as the folder's QXREF.DAT, keeping the previous one as
// QXREF.BAK. The new list is written completely to a temporary file (QXREF.$$$) first; only then
// is the old list copied to the backup and replaced by the new one in one step. When any of that
// fails, QXREF.DAT is left as it was (the temporary file removed) and the system's description
// is returned. An empty list is saved as an empty QXREF.DAT.
std::optional<std::string> WriteRefFile(const std::string& refDir,
                                        const std::vector<RefRecord>& records);

// The name a new preview picture gets in `refDir`: the symbol name up to its last ".", its first
// six characters, then the smallest number from 1 whose file (with ".WMF") does not exist yet.
std::string MakePreviewName(const std::string& refDir, const std::string& symbolName);

// An angle in degrees brought into [0, 360).
double NormalisedAngle(double degrees);
// The orientation of a placed annotation text: the symbol's rotation plus the item's own
// orientation when the text turns with the symbol, else 0; then turned half round when it would
// read upside down (above 90 and up to 270 degrees). Any rotation, negative ones included, ends
// in [0, 90] or (270, 360).
double UprightOrientation(double rotation, double itemOrientation, bool rotateFlag);

}  // namespace qxt
