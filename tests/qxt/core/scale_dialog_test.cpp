#include "core/scale_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "machine_test.h"
#include "platform/actions.h"

namespace qxt {
namespace {

namespace act = platform::actions;

class ScaleTest : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    StartLibrary();
    user.messages.clear();  // the new configuration file's notice
  }
  void TearDown() override {
    EndLibrary();
    MachineTest::TearDown();
  }

  TdlgQXScale& Dialog() { return *State().forms->dlgQXScale; }
  void OnForm(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
  void SetHost(uint16_t unitType, double drawingScale) {
    Host().SetUnitType(unitType);
    Host().SetScale(drawingScale);
  }
  const host::UnitSettings& Units() { return Host().Units(); }
};

bool SameUnits(const host::UnitSettings& a, const host::UnitSettings& b) {
  return a.unitType == b.unitType && a.paperUnit == b.paperUnit && a.scaledUnits == b.scaledUnits &&
         a.pointsPerUnit == b.pointsPerUnit && a.denominator == b.denominator &&
         a.precision == b.precision && a.drawingScale == b.drawingScale &&
         a.plotScale == b.plotScale;
}

TEST_F(ScaleTest, AFeetInchesDrawingAt96OpensOnOneEighthAndCancelOnlyKeepsWhatTheShowingFound) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  Config().ArchScaleIndex = 0;
  Config().ArchUnit = 2;
  const host::UnitSettings before = Units();
  std::string archScale, archUnit;
  OnForm([&](platform::Form& form) {
    archScale = act::DisplayText(Dialog().rgrpArchScales);
    archUnit = act::DisplayText(Dialog().rgrpArchDisplayUnit);
    act::Select(form, "rgrpArchScales", "1/4\" = 1'-0\"");
    act::Click(form, "Cancel");
  });
  QXScale();
  EXPECT_EQ(archScale, "1/8\" = 1'-0\"");
  EXPECT_EQ(archUnit, "&Ft-In");
  EXPECT_TRUE(SameUnits(Units(), before));
  EXPECT_EQ(+Config().ArchScaleIndex, 3) << "stored when the dialog was shown";
  EXPECT_EQ(+Config().ArchUnit, 0);
}

TEST_F(ScaleTest, AnEngineeringDrawingInFeetIsMatchedInInches) {
  SetHost(HSI_UNIT_FEET, 20);
  std::string engScale, engUnit;
  OnForm([&](platform::Form&) {
    engScale = act::DisplayText(Dialog().rgrpEngScales);
    engUnit = act::DisplayText(Dialog().rgrpEngDisplayUnit);
  });
  QXScale();
  EXPECT_EQ(engScale, "1\" = 20'");
  EXPECT_EQ(engUnit, "F&eet");
  EXPECT_EQ(+Config().EngScaleIndex, 7);
  EXPECT_EQ(+Config().ArchUnit, 2);
  EXPECT_EQ(+Config().EngUnit, 2);
}

TEST_F(ScaleTest, MetricUnitsPickTheUnitAndScaleTheDrawingScaleIntoTheList) {
  struct Case {
    uint16_t unitType;
    double drawingScale;
    int metricUnit;
    const char* entry;
  };
  const std::vector<Case> cases = {
      {HSI_UNIT_MILLIMETRES, 1000, 0, "1 : 100"},  // 1000 / 10
      {HSI_UNIT_MILLIMETRES, 145, 0, "1 : 10"},    // 14.5 rounds to even, nearer to 10
      {HSI_UNIT_CENTIMETRES, 50, 1, "1 : 50"},
      {HSI_UNIT_METRES, 0.2, 2, "1 : 20"},  // x 100
  };
  for (const Case& c : cases) {
    SetHost(c.unitType, c.drawingScale);
    std::string shown;
    OnForm([&](platform::Form&) { shown = act::DisplayText(Dialog().rgrpMetricScales); });
    QXScale();
    EXPECT_EQ(shown, c.entry) << c.drawingScale;
    EXPECT_EQ(+Config().MetricUnit, c.metricUnit) << c.drawingScale;
  }
}

TEST_F(ScaleTest, OkOnTheArchitecturalPageSetsTheHostsUnitsFromTheEntry) {
  SetHost(HSI_UNIT_INCHES, 12);
  Host().MutableUnits().scaledUnits = HSI_SCALED_DECIMALS;
  OnForm([](platform::Form& form) {
    act::SelectTab(form, "Architectural");
    act::Select(form, "rgrpArchScales", "1/4\" = 1'-0\"");
    act::Select(form, "rgrpArchDisplayUnit", "Ft-In");
    act::SetText(form, "txtArchAccuracy", {"16"});
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(Units().pointsPerUnit, 16000);
  EXPECT_EQ(Units().scaledUnits, HSI_SCALED_FRACTIONS);
  EXPECT_EQ(Units().paperUnit, HSI_UNIT_INCHES);
  EXPECT_EQ(Units().plotScale, 48);
  EXPECT_EQ(Units().drawingScale, 48);
  EXPECT_EQ(Units().unitType, HSI_UNIT_FEET_INCHES);
  EXPECT_EQ(Units().denominator, 16);
  EXPECT_EQ(+Config().ArchScaleIndex, 5);
  EXPECT_EQ(+Config().ArchDenominator, 16);
  EXPECT_EQ(+Config().ScalePage, 0);

  // In feet the points per unit are twelve times as many; halves round to even.
  Config().PointsPerUnit = 5;
  OnForm([](platform::Form& form) {
    act::Select(form, "rgrpArchScales", "Half Size");
    act::Select(form, "rgrpArchDisplayUnit", "Feet");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(Units().pointsPerUnit, 24);  // round(2.5) = 2, x 12
  EXPECT_EQ(Units().unitType, HSI_UNIT_FEET);
}

TEST_F(ScaleTest, OkOnTheEngineeringPageInFeetKeepsTheDrawingScaleInFeet) {
  SetHost(HSI_UNIT_FEET, 20);
  Host().MutableUnits().precision = 3;
  std::string label;
  bool numeratorShown = true;
  OnForm([&](platform::Form& form) {
    act::SelectTab(form, "Engineering");
    act::Select(form, "rgrpEngDisplayMode", "Decimal");
    label = Dialog().lblEngAccuracy.Caption();
    numeratorShown = Dialog().lblEngNumerator.Visible();
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(label, "Decimal &Places:");
  EXPECT_FALSE(numeratorShown);
  EXPECT_EQ(Units().pointsPerUnit, 38400);  // 768000 / 240 x 12
  EXPECT_EQ(Units().scaledUnits, HSI_SCALED_DECIMALS);
  EXPECT_EQ(Units().precision, 3) << "the host's precision, taken when the mode was shown";
  EXPECT_EQ(Units().plotScale, 240);
  EXPECT_EQ(Units().drawingScale, 20);
  EXPECT_EQ(Units().unitType, HSI_UNIT_FEET);
  EXPECT_EQ(+Config().ScalePage, 1);
  EXPECT_EQ(+Config().EngDisplayMode, 1);
  EXPECT_EQ(+Config().EngPrecision, 3);

  // Back to fractions: the accuracy field takes the host's denominator and the "1/" label.
  Host().MutableUnits().denominator = 64;
  OnForm([&](platform::Form& form) {
    act::Select(form, "rgrpEngDisplayMode", "Fractional");
    label = Dialog().lblEngAccuracy.Caption();
    numeratorShown = Dialog().lblEngNumerator.Visible();
    act::Select(form, "rgrpEngDisplayUnit", "Inches");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(label, "&Fractional Accuracy:");
  EXPECT_TRUE(numeratorShown);
  EXPECT_EQ(Units().scaledUnits, HSI_SCALED_FRACTIONS);
  EXPECT_EQ(Units().denominator, 64);
  EXPECT_EQ(Units().drawingScale, 240);
  EXPECT_EQ(Units().pointsPerUnit, 3200);
  EXPECT_EQ(+Config().EngDenominator, 64);
}

TEST_F(ScaleTest, OkOnTheMetricPageInMillimetres) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  OnForm([](platform::Form& form) {
    act::SelectTab(form, "Metric");
    act::Select(form, "rgrpMetricScales", "1 : 100");
    act::Select(form, "rgrpMetricDisplayUnit", "Millimeter");
    act::SetText(form, "txtMetricAccuracy", {"1"});
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(Units().pointsPerUnit, 768);  // 7680 / 10
  EXPECT_EQ(Units().scaledUnits, HSI_SCALED_DECIMALS);
  EXPECT_EQ(Units().paperUnit, HSI_UNIT_CENTIMETRES);
  EXPECT_EQ(Units().unitType, HSI_UNIT_MILLIMETRES);
  EXPECT_EQ(Units().plotScale, 100);
  EXPECT_EQ(Units().drawingScale, 1000);
  EXPECT_EQ(Units().precision, 1);

  OnForm([](platform::Form& form) {
    act::Select(form, "rgrpMetricScales", "1 : 50");
    act::Select(form, "rgrpMetricDisplayUnit", "Meter");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(Units().pointsPerUnit, 1536000);  // 15360 x 100
  EXPECT_EQ(Units().unitType, HSI_UNIT_METRES);
  EXPECT_EQ(Units().drawingScale, 0.5);
  EXPECT_EQ(+Config().ScalePage, 2);

  // Millimetres: 768500 / 100 = 7685, a tenth of it 768.5 rounds to even.
  Config().PointsPerUnit = 768500;
  OnForm([](platform::Form& form) {
    act::Select(form, "rgrpMetricScales", "1 : 100");
    act::Select(form, "rgrpMetricDisplayUnit", "Millimeter");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_EQ(Units().pointsPerUnit, 768);
}

TEST_F(ScaleTest, ADrawingAtScale1NeverSelectsTheEmptyEngineeringSlot) {
  SetHost(HSI_UNIT_FEET_INCHES, 1);
  Config().ScalePage = 1;
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  EXPECT_EQ(GetScale(), 120) << "the nearest listed entry, not the empty tenth slot";
  EXPECT_EQ(+Config().EngScaleIndex, 8);

  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  QXScale();
  EXPECT_EQ(Units().plotScale, 120);
  EXPECT_EQ(Units().pointsPerUnit, 6400);
}

TEST_F(ScaleTest, AListWithoutEntriesAppliesNothingAndGetScaleGivesZero) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  for (ScaleEntry& entry : Config().MetricScales) entry.Display.Set("");
  Config().ScalePage = 2;
  const host::UnitSettings before = Units();
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  QXScale();
  EXPECT_TRUE(SameUnits(Units(), before));
  EXPECT_EQ(+Config().MetricScaleIndex, 3) << "the stored index stays";
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  EXPECT_EQ(GetScale(), 0);
}

TEST_F(ScaleTest, GetScaleReturnsTheEntryOfThePageShowingOrZeroAndLeavesTheHostAlone) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  const host::UnitSettings before = Units();
  OnForm([](platform::Form& form) {
    act::SelectTab(form, "Metric");
    act::Select(form, "rgrpMetricScales", "1 : 200");
    act::Click(form, "OK");
  });
  EXPECT_EQ(GetScale(), 200);
  OnForm([](platform::Form& form) {
    act::Select(form, "rgrpArchScales", "Full Size");
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(GetScale(), 0);
  EXPECT_TRUE(SameUnits(Units(), before));

  // Without the entry check: a dead configuration still answers.
  Config().ConfigValid = 0;
  OnForm([](platform::Form& form) { act::Click(form, "OK"); });
  EXPECT_EQ(GetScale(), 96);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(ScaleTest, AnEntryWhoseScaleIsNoNumberIsNamedAndTheDialogStaysOpen) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  Config().ArchScales[5].Scale = 0;  // its cell in Setup held text
  bool stayedOpen = false;
  OnForm([&](platform::Form& form) {
    act::SelectTab(form, "Architectural");
    act::Select(form, "rgrpArchScales", "1/4\" = 1'-0\"");
    act::Click(form, "OK");
    stayedOpen = form.GetModalResult() == platform::ModalResult::None;
    act::Select(form, "rgrpArchScales", "3/8\" = 1'-0\"");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "The scale of 1/4\" = 1'-0\" is not a number.\r\nCorrect it in QX Setup."});
  EXPECT_EQ(Units().drawingScale, 32);
  EXPECT_EQ(Units().pointsPerUnit, 24000);

  // Asked for a scale only, the dialog refuses the entry the same way.
  OnForm([&](platform::Form& form) {
    act::Select(form, "rgrpArchScales", "1/4\" = 1'-0\"");
    act::Click(form, "OK");
    stayedOpen = form.GetModalResult() == platform::ModalResult::None;
    act::Click(form, "Cancel");
  });
  stayedOpen = false;
  EXPECT_EQ(GetScale(), 0);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(user.messages.size(), 2u);
}

TEST_F(ScaleTest, FractionalAccuraciesArePowersOfTwo) {
  SetHost(HSI_UNIT_FEET_INCHES, 96);
  // A drawing left at 18ths: the engineering field shows the host's denominator untyped.
  Host().MutableUnits().denominator = 18;
  Config().EngDisplayMode = 0;
  const std::string warning = "The accuracy must be a power of two (2, 4, 8 ... 1024).";
  bool keptFocus = false, engKeptFocus = false, openAfterOk = false, engShownAtOk = false;
  OnForm([&](platform::Form& form) {
    act::SelectTab(form, "Architectural");
    act::SetText(form, "txtArchAccuracy", {""});
    act::TypeText(form, "txtArchAccuracy", "1/8");  // the slash is refused: 18
    act::Focus(form, "rgrpArchScales");
    keptFocus = Dialog().txtArchAccuracy.Focused();
    act::SetText(form, "txtArchAccuracy", {"64"});
    act::Focus(form, "rgrpArchScales");
    // OK refuses the engineering field's 18, which was never entered, and shows it.
    act::Click(form, "OK");
    openAfterOk = form.GetModalResult() == platform::ModalResult::None;
    engShownAtOk = Dialog().tbkScales.PageIndex() == TdlgQXScale::kEngPage &&
                   Dialog().txtEngAccuracy.Focused();
    act::SetText(form, "txtEngAccuracy", {"12"});
    act::Focus(form, "rgrpEngScales");
    engKeptFocus = Dialog().txtEngAccuracy.Focused();
    act::SetText(form, "txtEngAccuracy", {"16"});
    // In decimals the field holds places: any number will do.
    act::Select(form, "rgrpEngDisplayMode", "Decimal");
    act::SetText(form, "txtEngAccuracy", {"3"});
    act::Focus(form, "rgrpEngScales");
    act::SelectTab(form, "Architectural");
    act::Click(form, "OK");
  });
  QXScale();
  EXPECT_TRUE(keptFocus);
  EXPECT_TRUE(openAfterOk);
  EXPECT_TRUE(engShownAtOk);
  EXPECT_TRUE(engKeptFocus);
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{warning, warning, warning}));
  EXPECT_EQ(+Config().ArchDenominator, 64);
  EXPECT_EQ(Units().denominator, 64);
  EXPECT_EQ(+Config().EngPrecision, 3);
}

TEST(NearestScale, TiesKeepTheFirstAndOnlyListedEntriesCount) {
  ScaleEntry entries[3]{};
  entries[0].Scale = 10;
  entries[1].Scale = 20;
  entries[2].Scale = 0;
  EXPECT_EQ(NearestScale(entries, 2, 15), 0);
  EXPECT_EQ(NearestScale(entries, 2, 16), 1);
  EXPECT_EQ(NearestScale(entries, 2, 1), 0);
  EXPECT_EQ(NearestScale(entries, 3, 1), 2);
  EXPECT_EQ(NearestScale(entries, 0, 1), -1);
}

}  // namespace
}  // namespace qxt
