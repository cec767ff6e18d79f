// The configuration record QXConfig: every persistent setting of the toolset, kept in memory while
// the library is loaded and stored byte for byte in QXTOOLS.DAT in the host's work-files folder.
//
// The record is packed: no padding, little-endian integers, 8-byte IEEE doubles, one-byte flags
// (0 or 1) and length-prefixed strings. Never bind a reference or a typed pointer to a member
// (most are unaligned); read and assign members by value. A whole-record copy is a plain
// assignment. Beware of functions that take `const T&` (std::min, std::max, test assertions):
// pass a copy (`+config.CTSize`, `double(config.CTWidthFactor)`), or the reference lands on an
// unaligned address.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/pstring.h"

namespace qxt {

static_assert(std::endian::native == std::endian::little,
              "the stored records are little-endian and are read in place");
static_assert(sizeof(double) == 8);

// A one-byte flag as stored: 0 false, 1 true. Kept as a byte so that any value read from a file
// is a valid object.
using Flag = std::uint8_t;

// The current format version and the record sizes of the current and the earlier format.
inline constexpr const char* kConfigVersion = "5.10";
inline constexpr std::size_t kConfigSize = 5254;
inline constexpr std::size_t kEarlierConfigSize = 4604;
inline constexpr std::size_t kPlanTypeSlots = 49;         // slot 48 always stays zero
inline constexpr std::size_t kEarlierPlanTypeSlots = 36;  // the earlier format's slots
inline constexpr std::size_t kPlanTypesUsed = 48;

#pragma pack(push, 1)

// Leader settings of one leader type (arc, normal line, line with reverse extension).
struct LeaderStyle {
  std::int32_t Extension;      // DBU
  std::int32_t ArrowheadType;  // 0 symbol, 1 lines
  PString<13> ArrowSymbol;
  double ArrowAngle;         // degrees
  std::int32_t ArrowLength;  // DBU
  std::int32_t ArrowWeight;  // 0..255
  std::int32_t NoteOption;   // 0 none, 1 auto text, 2 snap to text
  std::int32_t NotesLayer;   // item of the layer list
};

// A plan type: a named layer set-up. A slot whose description is empty ends the list.
struct PlanType {
  PString<30> Description;
  PString<8> LayerFile;
  PString<8> RefLayerFile;
  Flag GroupOption;
};

// One entry of a scale list: its caption and the drawing length per paper length (96: 1/8 inch
// on paper stands for 1 foot). An entry with an empty caption ends its list.
struct ScaleEntry {
  PString<15> Display;
  double Scale;
};

// The record in both of its formats: the current one has 49 plan-type slots, the earlier one
// (versions up to 5.0) had 36 and is otherwise the same, field for field and in the same order.
template <std::size_t PlanSlots>
struct ConfigLayout {
  Flag ConfigValid;  // 1 after a successful read or creation; 0 blocks every command
  PString<5> Version;
  PString<255> BaseDirectory;
  std::int32_t DefaultUnitType;  // 0 Foot-Inch, 1 Foot, 2 Inch, 3 Meter, 4 Centimeter, 5 Millimeter
  std::int32_t PointsPerUnit;    // DBU per paper inch at full scale
  double SymbolScale;
  std::int32_t LeaderType;  // 0 arc, 1 normal line, 2 line with reverse extension
  Flag LeaderDialogBefore;
  Flag LeaderDialogAfter;
  Flag LeaderHints;
  LeaderStyle LeaderStyles[3];  // indexed by LeaderType
  std::int32_t TextMode;        // 0 CAD text, 1 TrueType text
  Flag CTWordWrap;
  std::int32_t CTSize;  // DBU
  double CTWidthFactor;
  double CTOrientation;         // degrees
  double CTLineSpacing;         // multiple of the size
  std::uint16_t CTCharSpacing;  // spacing factor x 10000
  std::int32_t CTSlant;         // degrees, -45..45
  std::int32_t CTFont;          // host font slot 0..4
  std::int32_t CTVJust;
  std::int32_t CTHJust;
  std::int32_t TTSize;   // points
  std::uint8_t TTStyle;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
  PString<240> TTFontName;
  std::int32_t TTHPos;
  std::int32_t TTVPos;
  std::int32_t TTJust;  // 0 left, 1 centre, 2 right
  double TTLineWidth;
  double TTOrientation;
  Flag DimDialogBefore;
  Flag DimDialogAfter;
  Flag DimHints;
  std::int32_t DimArrowExtLineExt;     // DBU
  std::int32_t DimArrowExtLineOffset;  // DBU
  std::int32_t DimTickDimLineExt;      // DBU
  std::int32_t DimTickExtLineExt;      // DBU
  std::int32_t DimTickExtLineOffset;   // DBU
  std::int32_t DimTerminator;          // 0 arrows, 1 ticks
  PString<13> DimMarkerSymbol;
  Flag DimEditText;
  Flag DimAutoSnap;
  std::int32_t DimTextType;  // 0 CAD text, 1 TrueType
  std::int32_t DimTextSize;  // DBU
  double DimTextWidth;
  std::uint16_t DimTextCharSpacing;  // x 10000
  std::int32_t DimTextSlant;
  std::int32_t DimTextFont;
  std::int32_t DimTTSize;
  std::uint8_t DimTTStyle;  // as TTStyle
  PString<240> DimTTFontName;
  std::int32_t DimLayer;          // item of the layer list, 0 = default layer
  std::int32_t DimTextLayer;      // likewise
  std::int32_t DoorLayers[3][5];  // per door group: door, note, wall, jamb, head layer
  std::int32_t DoorSizeIndex;     // 0..13
  PString<5> DoorSizeText[14];
  PString<2> DoorSizeCode[14];  // symbol-name prefix per size
  std::int32_t DoorFirstType[14];
  std::int32_t DoorLastType[14];
  Flag DoorAutoLayer;
  Flag DoorHeaders;
  Flag DoorRefSymbol;
  Flag DoorJambs;
  PString<15> DoorJambWidth;
  std::int32_t DoorPlacement;  // 0 manual, 1 centre in wall, 2 distance from end
  PString<15> DoorDistance;
  std::int32_t DoorType;  // door group 0..2
  PString<10> DoorTypeName[3];
  PString<250> DoorRefSymbolName;
  std::int32_t ProjectSettings;  // held for an outside caller
  PString<20> PlanGroupLabels[3];
  PlanType PlanTypes[PlanSlots];
  ScaleEntry ArchScales[14];
  ScaleEntry EngScales[10];
  ScaleEntry MetricScales[12];
  std::int32_t ScalePage;  // 0 architectural, 1 engineering, 2 metric
  std::int32_t ArchScaleIndex;
  std::int32_t EngScaleIndex;
  std::int32_t MetricScaleIndex;
  std::int32_t ArchUnit;        // 0 ft-in, 1 inches, 2 feet
  std::int32_t EngUnit;         // same items
  std::int32_t MetricUnit;      // 0 millimetre, 1 centimetre, 2 metre
  std::int32_t EngDisplayMode;  // 0 fractional, 1 decimal
  std::int32_t ArchDenominator;
  std::int32_t EngDenominator;
  std::int32_t EngPrecision;
  std::int32_t MetricPrecision;
  std::int32_t RefLayersOption;
  std::int16_t SnapColumns;
  std::int16_t SnapVertPos;      // 0 top, 1 bottom, 2 last
  std::int16_t SnapHorzPos;      // 0 left, 1 right, 2 last
  std::int16_t SnapBorderStyle;  // 0 movable with caption, 1 borderless
  std::int16_t SnapLastTop;
  std::int16_t SnapLastLeft;
  std::int16_t SnapHierarchies[3][15];  // snap mode codes
  Flag DoorRefScaleOn;
  PString<15> DoorRefScale;
};

#pragma pack(pop)

using QXConfig = ConfigLayout<kPlanTypeSlots>;
using QXConfigEarlier = ConfigLayout<kEarlierPlanTypeSlots>;

// Sizes of the parts.
static_assert(sizeof(LeaderStyle) == 46);
static_assert(sizeof(PlanType) == 50);
static_assert(sizeof(ScaleEntry) == 24);
static_assert(sizeof(QXConfig) == kConfigSize);
static_assert(sizeof(QXConfigEarlier) == kEarlierConfigSize);

// Leader style layout.
static_assert(offsetof(LeaderStyle, Extension) == 0);
static_assert(offsetof(LeaderStyle, ArrowheadType) == 4);
static_assert(offsetof(LeaderStyle, ArrowSymbol) == 8);
static_assert(offsetof(LeaderStyle, ArrowAngle) == 22);
static_assert(offsetof(LeaderStyle, ArrowLength) == 30);
static_assert(offsetof(LeaderStyle, ArrowWeight) == 34);
static_assert(offsetof(LeaderStyle, NoteOption) == 38);
static_assert(offsetof(LeaderStyle, NotesLayer) == 42);

// Plan type and scale entry layouts.
static_assert(offsetof(PlanType, Description) == 0);
static_assert(offsetof(PlanType, LayerFile) == 31);
static_assert(offsetof(PlanType, RefLayerFile) == 40);
static_assert(offsetof(PlanType, GroupOption) == 49);
static_assert(offsetof(ScaleEntry, Display) == 0);
static_assert(offsetof(ScaleEntry, Scale) == 16);

// The current record, every field at its stored offset.
static_assert(offsetof(QXConfig, ConfigValid) == 0);
static_assert(offsetof(QXConfig, Version) == 1);
static_assert(offsetof(QXConfig, BaseDirectory) == 7);
static_assert(offsetof(QXConfig, DefaultUnitType) == 263);
static_assert(offsetof(QXConfig, PointsPerUnit) == 267);
static_assert(offsetof(QXConfig, SymbolScale) == 271);
static_assert(offsetof(QXConfig, LeaderType) == 279);
static_assert(offsetof(QXConfig, LeaderDialogBefore) == 283);
static_assert(offsetof(QXConfig, LeaderDialogAfter) == 284);
static_assert(offsetof(QXConfig, LeaderHints) == 285);
static_assert(offsetof(QXConfig, LeaderStyles) == 286);
static_assert(offsetof(QXConfig, TextMode) == 424);
static_assert(offsetof(QXConfig, CTWordWrap) == 428);
static_assert(offsetof(QXConfig, CTSize) == 429);
static_assert(offsetof(QXConfig, CTWidthFactor) == 433);
static_assert(offsetof(QXConfig, CTOrientation) == 441);
static_assert(offsetof(QXConfig, CTLineSpacing) == 449);
static_assert(offsetof(QXConfig, CTCharSpacing) == 457);
static_assert(offsetof(QXConfig, CTSlant) == 459);
static_assert(offsetof(QXConfig, CTFont) == 463);
static_assert(offsetof(QXConfig, CTVJust) == 467);
static_assert(offsetof(QXConfig, CTHJust) == 471);
static_assert(offsetof(QXConfig, TTSize) == 475);
static_assert(offsetof(QXConfig, TTStyle) == 479);
static_assert(offsetof(QXConfig, TTFontName) == 480);
static_assert(offsetof(QXConfig, TTHPos) == 721);
static_assert(offsetof(QXConfig, TTVPos) == 725);
static_assert(offsetof(QXConfig, TTJust) == 729);
static_assert(offsetof(QXConfig, TTLineWidth) == 733);
static_assert(offsetof(QXConfig, TTOrientation) == 741);
static_assert(offsetof(QXConfig, DimDialogBefore) == 749);
static_assert(offsetof(QXConfig, DimDialogAfter) == 750);
static_assert(offsetof(QXConfig, DimHints) == 751);
static_assert(offsetof(QXConfig, DimArrowExtLineExt) == 752);
static_assert(offsetof(QXConfig, DimArrowExtLineOffset) == 756);
static_assert(offsetof(QXConfig, DimTickDimLineExt) == 760);
static_assert(offsetof(QXConfig, DimTickExtLineExt) == 764);
static_assert(offsetof(QXConfig, DimTickExtLineOffset) == 768);
static_assert(offsetof(QXConfig, DimTerminator) == 772);
static_assert(offsetof(QXConfig, DimMarkerSymbol) == 776);
static_assert(offsetof(QXConfig, DimEditText) == 790);
static_assert(offsetof(QXConfig, DimAutoSnap) == 791);
static_assert(offsetof(QXConfig, DimTextType) == 792);
static_assert(offsetof(QXConfig, DimTextSize) == 796);
static_assert(offsetof(QXConfig, DimTextWidth) == 800);
static_assert(offsetof(QXConfig, DimTextCharSpacing) == 808);
static_assert(offsetof(QXConfig, DimTextSlant) == 810);
static_assert(offsetof(QXConfig, DimTextFont) == 814);
static_assert(offsetof(QXConfig, DimTTSize) == 818);
static_assert(offsetof(QXConfig, DimTTStyle) == 822);
static_assert(offsetof(QXConfig, DimTTFontName) == 823);
static_assert(offsetof(QXConfig, DimLayer) == 1064);
static_assert(offsetof(QXConfig, DimTextLayer) == 1068);
static_assert(offsetof(QXConfig, DoorLayers) == 1072);
static_assert(offsetof(QXConfig, DoorSizeIndex) == 1132);
static_assert(offsetof(QXConfig, DoorSizeText) == 1136);
static_assert(offsetof(QXConfig, DoorSizeCode) == 1220);
static_assert(offsetof(QXConfig, DoorFirstType) == 1262);
static_assert(offsetof(QXConfig, DoorLastType) == 1318);
static_assert(offsetof(QXConfig, DoorAutoLayer) == 1374);
static_assert(offsetof(QXConfig, DoorHeaders) == 1375);
static_assert(offsetof(QXConfig, DoorRefSymbol) == 1376);
static_assert(offsetof(QXConfig, DoorJambs) == 1377);
static_assert(offsetof(QXConfig, DoorJambWidth) == 1378);
static_assert(offsetof(QXConfig, DoorPlacement) == 1394);
static_assert(offsetof(QXConfig, DoorDistance) == 1398);
static_assert(offsetof(QXConfig, DoorType) == 1414);
static_assert(offsetof(QXConfig, DoorTypeName) == 1418);
static_assert(offsetof(QXConfig, DoorRefSymbolName) == 1451);
static_assert(offsetof(QXConfig, ProjectSettings) == 1702);
static_assert(offsetof(QXConfig, PlanGroupLabels) == 1706);
static_assert(offsetof(QXConfig, PlanTypes) == 1769);
static_assert(offsetof(QXConfig, ArchScales) == 4219);
static_assert(offsetof(QXConfig, EngScales) == 4555);
static_assert(offsetof(QXConfig, MetricScales) == 4795);
static_assert(offsetof(QXConfig, ScalePage) == 5083);
static_assert(offsetof(QXConfig, ArchScaleIndex) == 5087);
static_assert(offsetof(QXConfig, EngScaleIndex) == 5091);
static_assert(offsetof(QXConfig, MetricScaleIndex) == 5095);
static_assert(offsetof(QXConfig, ArchUnit) == 5099);
static_assert(offsetof(QXConfig, EngUnit) == 5103);
static_assert(offsetof(QXConfig, MetricUnit) == 5107);
static_assert(offsetof(QXConfig, EngDisplayMode) == 5111);
static_assert(offsetof(QXConfig, ArchDenominator) == 5115);
static_assert(offsetof(QXConfig, EngDenominator) == 5119);
static_assert(offsetof(QXConfig, EngPrecision) == 5123);
static_assert(offsetof(QXConfig, MetricPrecision) == 5127);
static_assert(offsetof(QXConfig, RefLayersOption) == 5131);
static_assert(offsetof(QXConfig, SnapColumns) == 5135);
static_assert(offsetof(QXConfig, SnapVertPos) == 5137);
static_assert(offsetof(QXConfig, SnapHorzPos) == 5139);
static_assert(offsetof(QXConfig, SnapBorderStyle) == 5141);
static_assert(offsetof(QXConfig, SnapLastTop) == 5143);
static_assert(offsetof(QXConfig, SnapLastLeft) == 5145);
static_assert(offsetof(QXConfig, SnapHierarchies) == 5147);
static_assert(offsetof(QXConfig, DoorRefScaleOn) == 5237);
static_assert(offsetof(QXConfig, DoorRefScale) == 5238);

// The earlier record: the same up to the plan types, then every later field 650 bytes earlier.
static_assert(offsetof(QXConfigEarlier, PlanGroupLabels) == 1706);
static_assert(offsetof(QXConfigEarlier, PlanTypes) == 1769);
static_assert(offsetof(QXConfigEarlier, ArchScales) == 3569);
static_assert(offsetof(QXConfigEarlier, EngScales) == 3905);
static_assert(offsetof(QXConfigEarlier, MetricScales) == 4145);
static_assert(offsetof(QXConfigEarlier, ScalePage) == 4433);
static_assert(offsetof(QXConfigEarlier, RefLayersOption) == 4481);
static_assert(offsetof(QXConfigEarlier, SnapColumns) == 4485);
static_assert(offsetof(QXConfigEarlier, SnapHierarchies) == 4497);
static_assert(offsetof(QXConfigEarlier, DoorRefScaleOn) == 4587);
static_assert(offsetof(QXConfigEarlier, DoorRefScale) == 4588);

// A record holding every default setting. `baseDirectory` is the default BaseDirectory (the
// host's folder for the toolset); ConfigValid is 1 and Version the current one. Fields without a
// default, and every unused string byte, are zero.
QXConfig DefaultConfig(const std::string& baseDirectory);

// The earlier record converted field by field into the current layout: plan-type slots 36..48
// empty, Version the current one, ConfigValid 1.
QXConfig ConvertEarlierConfig(const QXConfigEarlier& earlier);

// How the record's version text decides the way the file is read.
enum class ConfigFormat { Earlier, Current, Later };
// Up to 5 (or not a number at all: blanks around it make a text no number) the earlier format;
// above 5 up to "5.10" (compared in hundredths, rounded half to even) the current one; anything
// higher a later one. A sign is allowed ("+5.10" is current).
ConfigFormat ClassifyConfigVersion(const std::string& versionText);

// Reads the configuration file (creating it with defaults when it does not exist) into the
// record in memory. Shows its own messages; true when the record is valid. Called once at load.
bool GetQXConfig();
// Writes the record back to its file when it is valid. Shows its own messages.
void SaveQXConfig();

}  // namespace qxt
