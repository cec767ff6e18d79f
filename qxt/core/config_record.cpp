// The configuration record's defaults, the conversion from the earlier format, and the version
// test that chooses between them.
#include <cmath>
#include <cstring>

#include "core/config.h"
#include "core/numbers.h"

namespace qxt {

namespace {

void SetLeaderStyleDefaults(LeaderStyle& style) {
  style.Extension = 96000;
  style.ArrowheadType = 0;
  style.ArrowSymbol.Set("ARROW.SYM");
  style.ArrowAngle = 15.0;
  style.ArrowLength = 96000;
  style.ArrowWeight = 0;
  style.NoteOption = 1;
  style.NotesLayer = 33;
}

void SetPlanType(PlanType& plan, const char* description, const char* file) {
  plan.Description.Set(description);
  plan.LayerFile.Set(file);
  plan.RefLayerFile.Set(file);
  plan.GroupOption = 1;
}

void SetScale(ScaleEntry& entry, const char* display, double scale) {
  entry.Display.Set(display);
  entry.Scale = scale;
}

}  // namespace

QXConfig DefaultConfig(const std::string& baseDirectory) {
  QXConfig c{};
  c.ConfigValid = 1;
  c.Version.Set(kConfigVersion);
  c.BaseDirectory.Set(baseDirectory);
  c.DefaultUnitType = 0;
  c.PointsPerUnit = 768000;
  c.SymbolScale = 96.0;

  c.LeaderType = 1;
  c.LeaderDialogBefore = 1;
  c.LeaderDialogAfter = 0;
  c.LeaderHints = 1;
  for (auto& style : c.LeaderStyles) SetLeaderStyleDefaults(style);

  c.TextMode = 0;
  c.CTWordWrap = 1;
  c.CTSize = 72000;
  c.CTWidthFactor = 1.0;
  c.CTOrientation = 0.0;
  c.CTLineSpacing = 0.5;
  c.CTCharSpacing = 0;
  c.CTSlant = 0;
  c.CTFont = 0;
  c.CTVJust = 2;
  c.CTHJust = 0;
  c.TTSize = 10;
  c.TTStyle = 0;
  c.TTFontName.Set("Arial");
  c.TTHPos = 0;
  c.TTVPos = 2;
  c.TTJust = 0;
  c.TTLineWidth = 6.0;
  c.TTOrientation = 0.0;

  c.DimDialogBefore = 1;
  c.DimDialogAfter = 0;
  c.DimHints = 1;
  c.DimArrowExtLineExt = 48000;
  c.DimArrowExtLineOffset = 48000;
  c.DimTickDimLineExt = 48000;
  c.DimTickExtLineExt = 48000;
  c.DimTickExtLineOffset = 48000;
  c.DimTerminator = 1;
  c.DimMarkerSymbol.Set("SLASH.SYM");
  c.DimEditText = 1;
  c.DimAutoSnap = 0;
  c.DimTextType = 0;
  c.DimTextSize = 72000;
  c.DimTextWidth = 1.0;
  c.DimTextCharSpacing = 0;
  c.DimTextSlant = 0;
  c.DimTextFont = 0;
  c.DimTTSize = 10;
  c.DimTTStyle = 0;
  c.DimTTFontName.Set("Arial");
  c.DimLayer = 0;
  c.DimTextLayer = 0;

  static constexpr std::int32_t kDoorLayers[3][5] = {
      {49, 33, 11, 14, 24}, {50, 39, 16, 19, 28}, {88, 89, 0, 88, 91}};
  for (int group = 0; group < 3; ++group) {
    for (int k = 0; k < 5; ++k) c.DoorLayers[group][k] = kDoorLayers[group][k];
  }
  c.DoorSizeIndex = 5;
  static constexpr const char* kDoorSizes[14] = {"18", "24", "28", "30", "32", "36", "42",
                                                 "46", "48", "60", "72", "84", "92", "96"};
  for (int i = 0; i < 14; ++i) {
    c.DoorSizeText[i].Set(std::string(kDoorSizes[i]) + "\"");
    c.DoorSizeCode[i].Set(kDoorSizes[i]);
    c.DoorFirstType[i] = i < 9 ? 0 : 4;
    c.DoorLastType[i] = i == 0 ? 1 : (i < 5 ? 3 : 7);
  }
  c.DoorAutoLayer = 1;
  c.DoorHeaders = 1;
  c.DoorRefSymbol = 1;
  c.DoorJambs = 1;
  c.DoorJambWidth.Set("2\"");
  c.DoorPlacement = 2;
  c.DoorDistance.Set("4\"");
  c.DoorType = 0;
  c.DoorTypeName[0].Set("Group 1");
  c.DoorTypeName[1].Set("Group 2");
  c.DoorTypeName[2].Set("Demolition");
  c.DoorRefSymbolName.Set("DR_KEY1.SYM");

  c.ProjectSettings = -1;
  c.PlanGroupLabels[0].Set("Group &1");
  c.PlanGroupLabels[1].Set("Group &2");
  c.PlanGroupLabels[2].Set("&Both");
  SetPlanType(c.PlanTypes[0], "&Floor Plan", "plan");
  SetPlanType(c.PlanTypes[1], "&Reflected Ceiling Plan", "rcp");
  SetPlanType(c.PlanTypes[2], "F&urniture Plan", "furn");
  SetPlanType(c.PlanTypes[3], "F&inish Plan", "fin");
  SetPlanType(c.PlanTypes[4], "&Demolition Plan", "demo");
  SetPlanType(c.PlanTypes[5], "&Equipment Plan", "equip");
  SetPlanType(c.PlanTypes[6], "&Site Plan", "site");
  SetPlanType(c.PlanTypes[7], "S&tructural Framing Plan", "struct");
  SetPlanType(c.PlanTypes[8], "&Mechanical Plan", "mech");
  SetPlanType(c.PlanTypes[9], "&Power Plan", "pwr");
  SetPlanType(c.PlanTypes[10], "&Lighting Plan", "ltg");
  SetPlanType(c.PlanTypes[11], "Lighting and Po&wer Plan", "pwrltg");
  SetPlanType(c.PlanTypes[12], "Plum&bing Plan", "plmg");

  SetScale(c.ArchScales[0], "1/32\" = 1'-0\"", 384);
  SetScale(c.ArchScales[1], "1/16\" = 1'-0\"", 192);
  SetScale(c.ArchScales[2], "3/32\" = 1'-0\"", 128);
  SetScale(c.ArchScales[3], "1/8\" = 1'-0\"", 96);
  SetScale(c.ArchScales[4], "3/16\" = 1'-0\"", 64);
  SetScale(c.ArchScales[5], "1/4\" = 1'-0\"", 48);
  SetScale(c.ArchScales[6], "3/8\" = 1'-0\"", 32);
  SetScale(c.ArchScales[7], "1/2\" = 1'-0\"", 24);
  SetScale(c.ArchScales[8], "3/4\" = 1'-0\"", 16);
  SetScale(c.ArchScales[9], "1\" = 1'-0\"", 12);
  SetScale(c.ArchScales[10], "1 1/2\" = 1'-0\"", 8);
  SetScale(c.ArchScales[11], "3\" = 1'-0\"", 4);
  SetScale(c.ArchScales[12], "Half Size", 2);
  SetScale(c.ArchScales[13], "Full Size", 1);

  SetScale(c.EngScales[0], "1\" = 200'", 2400);
  SetScale(c.EngScales[1], "1\" = 100'", 1200);
  SetScale(c.EngScales[2], "1\" = 80'", 960);
  SetScale(c.EngScales[3], "1\" = 60'", 720);
  SetScale(c.EngScales[4], "1\" = 50'", 600);
  SetScale(c.EngScales[5], "1\" = 40'", 480);
  SetScale(c.EngScales[6], "1\" = 30'", 360);
  SetScale(c.EngScales[7], "1\" = 20'", 240);
  SetScale(c.EngScales[8], "1\" = 10'", 120);

  SetScale(c.MetricScales[0], "1 : 1,000", 1000);
  SetScale(c.MetricScales[1], "1 : 500", 500);
  SetScale(c.MetricScales[2], "1 : 200", 200);
  SetScale(c.MetricScales[3], "1 : 100", 100);
  SetScale(c.MetricScales[4], "1 : 50", 50);
  SetScale(c.MetricScales[5], "1 : 40", 40);
  SetScale(c.MetricScales[6], "1 : 30", 30);
  SetScale(c.MetricScales[7], "1 : 20", 20);
  SetScale(c.MetricScales[8], "1 : 10", 10);
  SetScale(c.MetricScales[9], "1 : 5", 5);
  SetScale(c.MetricScales[10], "1 : 2", 2);
  SetScale(c.MetricScales[11], "1 : 1", 1);

  c.ScalePage = 0;
  c.ArchScaleIndex = 3;
  c.EngScaleIndex = 6;
  c.MetricScaleIndex = 3;
  c.ArchUnit = 0;
  c.EngUnit = 2;
  c.MetricUnit = 0;
  c.EngDisplayMode = 1;
  c.ArchDenominator = 32;
  c.EngDenominator = 32;
  c.EngPrecision = 2;
  c.MetricPrecision = 0;
  c.RefLayersOption = 0;
  // The snap toolbar settings and hierarchies default to zero.
  c.DoorRefScaleOn = 1;
  c.DoorRefScale.Set("1.00");
  return c;
}

namespace {

// Copies one field's bytes from the earlier record to the same field of the current one. The
// fields are packed, so they are copied as bytes rather than through typed references.
template <std::size_t Size>
void CopyField(QXConfig& to, std::size_t toOffset, const QXConfigEarlier& from,
               std::size_t fromOffset) {
  std::memcpy(reinterpret_cast<unsigned char*>(&to) + toOffset,
              reinterpret_cast<const unsigned char*>(&from) + fromOffset, Size);
}

}  // namespace

#define QXT_CONVERT_FIELD(field)                                                      \
  do {                                                                                \
    static_assert(sizeof(QXConfig::field) == sizeof(QXConfigEarlier::field));         \
    CopyField<sizeof(QXConfig::field)>(converted, offsetof(QXConfig, field), earlier, \
                                       offsetof(QXConfigEarlier, field));             \
  } while (false)

QXConfig ConvertEarlierConfig(const QXConfigEarlier& earlier) {
  QXConfig converted{};  // plan-type slots 36..48 stay empty
  QXT_CONVERT_FIELD(ConfigValid);
  QXT_CONVERT_FIELD(Version);
  QXT_CONVERT_FIELD(BaseDirectory);
  QXT_CONVERT_FIELD(DefaultUnitType);
  QXT_CONVERT_FIELD(PointsPerUnit);
  QXT_CONVERT_FIELD(SymbolScale);
  QXT_CONVERT_FIELD(LeaderType);
  QXT_CONVERT_FIELD(LeaderDialogBefore);
  QXT_CONVERT_FIELD(LeaderDialogAfter);
  QXT_CONVERT_FIELD(LeaderHints);
  QXT_CONVERT_FIELD(LeaderStyles);
  QXT_CONVERT_FIELD(TextMode);
  QXT_CONVERT_FIELD(CTWordWrap);
  QXT_CONVERT_FIELD(CTSize);
  QXT_CONVERT_FIELD(CTWidthFactor);
  QXT_CONVERT_FIELD(CTOrientation);
  QXT_CONVERT_FIELD(CTLineSpacing);
  QXT_CONVERT_FIELD(CTCharSpacing);
  QXT_CONVERT_FIELD(CTSlant);
  QXT_CONVERT_FIELD(CTFont);
  QXT_CONVERT_FIELD(CTVJust);
  QXT_CONVERT_FIELD(CTHJust);
  QXT_CONVERT_FIELD(TTSize);
  QXT_CONVERT_FIELD(TTStyle);
  QXT_CONVERT_FIELD(TTFontName);
  QXT_CONVERT_FIELD(TTHPos);
  QXT_CONVERT_FIELD(TTVPos);
  QXT_CONVERT_FIELD(TTJust);
  QXT_CONVERT_FIELD(TTLineWidth);
  QXT_CONVERT_FIELD(TTOrientation);
  QXT_CONVERT_FIELD(DimDialogBefore);
  QXT_CONVERT_FIELD(DimDialogAfter);
  QXT_CONVERT_FIELD(DimHints);
  QXT_CONVERT_FIELD(DimArrowExtLineExt);
  QXT_CONVERT_FIELD(DimArrowExtLineOffset);
  QXT_CONVERT_FIELD(DimTickDimLineExt);
  QXT_CONVERT_FIELD(DimTickExtLineExt);
  QXT_CONVERT_FIELD(DimTickExtLineOffset);
  QXT_CONVERT_FIELD(DimTerminator);
  QXT_CONVERT_FIELD(DimMarkerSymbol);
  QXT_CONVERT_FIELD(DimEditText);
  QXT_CONVERT_FIELD(DimAutoSnap);
  QXT_CONVERT_FIELD(DimTextType);
  QXT_CONVERT_FIELD(DimTextSize);
  QXT_CONVERT_FIELD(DimTextWidth);
  QXT_CONVERT_FIELD(DimTextCharSpacing);
  QXT_CONVERT_FIELD(DimTextSlant);
  QXT_CONVERT_FIELD(DimTextFont);
  QXT_CONVERT_FIELD(DimTTSize);
  QXT_CONVERT_FIELD(DimTTStyle);
  QXT_CONVERT_FIELD(DimTTFontName);
  QXT_CONVERT_FIELD(DimLayer);
  QXT_CONVERT_FIELD(DimTextLayer);
  QXT_CONVERT_FIELD(DoorLayers);
  QXT_CONVERT_FIELD(DoorSizeIndex);
  QXT_CONVERT_FIELD(DoorSizeText);
  QXT_CONVERT_FIELD(DoorSizeCode);
  QXT_CONVERT_FIELD(DoorFirstType);
  QXT_CONVERT_FIELD(DoorLastType);
  QXT_CONVERT_FIELD(DoorAutoLayer);
  QXT_CONVERT_FIELD(DoorHeaders);
  QXT_CONVERT_FIELD(DoorRefSymbol);
  QXT_CONVERT_FIELD(DoorJambs);
  QXT_CONVERT_FIELD(DoorJambWidth);
  QXT_CONVERT_FIELD(DoorPlacement);
  QXT_CONVERT_FIELD(DoorDistance);
  QXT_CONVERT_FIELD(DoorType);
  QXT_CONVERT_FIELD(DoorTypeName);
  QXT_CONVERT_FIELD(DoorRefSymbolName);
  QXT_CONVERT_FIELD(ProjectSettings);
  QXT_CONVERT_FIELD(PlanGroupLabels);
  for (std::size_t slot = 0; slot < kEarlierPlanTypeSlots; ++slot) {
    converted.PlanTypes[slot] = earlier.PlanTypes[slot];
  }
  QXT_CONVERT_FIELD(ArchScales);
  QXT_CONVERT_FIELD(EngScales);
  QXT_CONVERT_FIELD(MetricScales);
  QXT_CONVERT_FIELD(ScalePage);
  QXT_CONVERT_FIELD(ArchScaleIndex);
  QXT_CONVERT_FIELD(EngScaleIndex);
  QXT_CONVERT_FIELD(MetricScaleIndex);
  QXT_CONVERT_FIELD(ArchUnit);
  QXT_CONVERT_FIELD(EngUnit);
  QXT_CONVERT_FIELD(MetricUnit);
  QXT_CONVERT_FIELD(EngDisplayMode);
  QXT_CONVERT_FIELD(ArchDenominator);
  QXT_CONVERT_FIELD(EngDenominator);
  QXT_CONVERT_FIELD(EngPrecision);
  QXT_CONVERT_FIELD(MetricPrecision);
  QXT_CONVERT_FIELD(RefLayersOption);
  QXT_CONVERT_FIELD(SnapColumns);
  QXT_CONVERT_FIELD(SnapVertPos);
  QXT_CONVERT_FIELD(SnapHorzPos);
  QXT_CONVERT_FIELD(SnapBorderStyle);
  QXT_CONVERT_FIELD(SnapLastTop);
  QXT_CONVERT_FIELD(SnapLastLeft);
  QXT_CONVERT_FIELD(SnapHierarchies);
  QXT_CONVERT_FIELD(DoorRefScaleOn);
  QXT_CONVERT_FIELD(DoorRefScale);
  converted.Version.Set(kConfigVersion);
  converted.ConfigValid = 1;
  return converted;
}

#undef QXT_CONVERT_FIELD

ConfigFormat ClassifyConfigVersion(const std::string& versionText) {
  // The version is a decimal number written with a point, read as every number text is (an
  // optional sign, no blanks); a text that is not a number counts as 0, the earlier format.
  const double version = TextToReal(versionText);
  if (version <= 5.0) return ConfigFormat::Earlier;
  // In hundredths, rounded half to even (the default rounding mode): "5.10" gives 510.
  const double hundredths = std::nearbyint(version * 100.0 + 0.5);
  return hundredths > 510.0 ? ConfigFormat::Later : ConfigFormat::Current;
}

}  // namespace qxt
