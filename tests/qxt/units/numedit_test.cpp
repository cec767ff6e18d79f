// The numeric entry fields on a shown form, driven as a person would: typing through the key
// filter, leaving the field, reading and writing values.
#include "core/numedit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/actions.h"
#include "platform/system.h"
#include "test_user.h"

namespace qxt {
namespace {

namespace actions = platform::actions;
using platform::BeepKind;

class NumEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Reset();
    platform::SetUiDriver(&driver);
    form = std::make_unique<platform::Form>("TdlgTest", "Test");
    dbl = &form->Add<TDblEdit>("txtWidthFactor");
    lng = &form->Add<TLongEdit>("txtPlaces");
    unit = &form->Add<TUnitEdit>("txtDistance");
    other = &form->Add<platform::Edit>("txtOther");
  }
  void TearDown() override {
    form.reset();
    platform::SetUiDriver(nullptr);
    platform::Reset();
  }
  std::vector<BeepKind> Beeps() const { return platform::GetHistory().beeps; }

  testsupport::TestUser driver;  // answers every message box with OK
  std::unique_ptr<platform::Form> form;
  TDblEdit* dbl = nullptr;
  TLongEdit* lng = nullptr;
  TUnitEdit* unit = nullptr;
  platform::Edit* other = nullptr;
};

TEST_F(NumEdit, StartAsOneLineFieldsWithTheirDefaults) {
  EXPECT_EQ(dbl->Height(), 25);
  EXPECT_EQ(lng->Height(), 25);
  EXPECT_EQ(unit->Height(), 25);
  EXPECT_EQ(dbl->Text(), "0");
  EXPECT_EQ(lng->Text(), "0");
  EXPECT_EQ(unit->Text(), "");
  EXPECT_EQ(dbl->ErrorMessage, "Input is outside valid range");
  EXPECT_EQ(dbl->ErrorMessageCaption, "Warning");
  EXPECT_EQ(lng->ErrorMessage, "Input is outside valid range");
  EXPECT_FALSE(dbl->AutoSelect);
  EXPECT_TRUE(unit->AutoSelect);
}

TEST_F(NumEdit, KeyFiltersDropOtherKeysWithTheDefaultBeep) {
  ASSERT_EQ(LocaleDecimalSeparator(), '.');
  form->Show();
  dbl->SetText("");
  actions::TypeText(*form, "txtWidthFactor", "-1e,2\r.5x");
  EXPECT_EQ(dbl->Text(), "-12.5");
  EXPECT_EQ(Beeps(), std::vector<BeepKind>(4, BeepKind::Default));  // e , Enter x

  lng->SetText("");
  actions::TypeText(*form, "txtPlaces", "+1.5a\r");
  EXPECT_EQ(lng->Text(), "+15");
  EXPECT_EQ(Beeps().size(), 7u);  // . a Enter

  actions::TypeText(*form, "txtDistance", "1'-6 3/8\"");
  EXPECT_EQ(unit->Text(), "1'-6 3/8\"");
  unit->SetText("");
  actions::TypeText(*form, "txtDistance", "25cm");
  EXPECT_EQ(unit->Text(), "25cm");
  unit->SetText("");
  actions::TypeText(*form, "txtDistance", "30mm");
  EXPECT_EQ(unit->Text(), "30mm");
  EXPECT_EQ(Beeps().size(), 7u);
  // Other letters are refused; Backspace is a control key and passes.
  unit->SetText("");
  actions::TypeText(*form, "txtDistance", "3in,ft\b");
  EXPECT_EQ(unit->Text(), "");
  EXPECT_EQ(Beeps().size(), 12u);
  EXPECT_TRUE(driver.messages.empty());
}

TEST_F(NumEdit, DblValueReadNormalisesTheText) {
  dbl->SetText(".5");
  EXPECT_DOUBLE_EQ(dbl->Value(), 0.5);
  EXPECT_EQ(dbl->Text(), "0.5");
  dbl->SetText("+2.50");
  EXPECT_DOUBLE_EQ(dbl->Value(), 2.5);
  EXPECT_EQ(dbl->Text(), "2.5");
  dbl->SetText(" 1.5 ");  // pasted with blanks around
  EXPECT_DOUBLE_EQ(dbl->Value(), 1.5);
  EXPECT_EQ(dbl->Text(), "1.5");
  EXPECT_TRUE(driver.messages.empty());
}

TEST_F(NumEdit, DblValueOfANonNumberTellsTheUserAndGivesTheMinimum) {
  dbl->MinimumValue = 0.5;
  dbl->MaximumValue = 3.0;
  dbl->SetText("1.2.3");
  EXPECT_DOUBLE_EQ(dbl->Value(), 0.5);
  EXPECT_EQ(dbl->Text(), "0.5");
  ASSERT_EQ(driver.messages.size(), 2u);
  EXPECT_EQ(driver.messages[0].text, "The text you entered is not a valid number");
  EXPECT_EQ(driver.messages[1].text, "The entered text is:1.2.3:");
  EXPECT_EQ(driver.messages[0].icon, platform::MsgIcon::None);
}

TEST_F(NumEdit, DblLeftOutsideItsRangeIsClampedWarnedAndKeepsTheFocus) {
  dbl->MinimumValue = 0.5;
  dbl->MaximumValue = 3.0;
  dbl->ErrorMessage = "The value for Width Factor must be between 0.5 and 3.0";
  dbl->ErrorMessageCaption = "QX Tools (Warning!)";
  form->Show();
  actions::SetText(*form, "txtWidthFactor", {"4"});
  EXPECT_FALSE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(dbl->Text(), "3");
  ASSERT_EQ(driver.messages.size(), 1u);
  EXPECT_EQ(driver.messages[0].text, "The value for Width Factor must be between 0.5 and 3.0");
  EXPECT_EQ(driver.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(driver.messages[0].icon, platform::MsgIcon::Warning);
  EXPECT_EQ(Beeps(), std::vector<BeepKind>{BeepKind::Exclamation});
  EXPECT_EQ(form->ActiveControl(), dbl);
  EXPECT_EQ(dbl->SelLength(), 1);  // the text is selected for retyping

  // Within the range nothing happens and the focus moves on.
  actions::SetText(*form, "txtWidthFactor", {"2"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(dbl->Text(), "2");
  EXPECT_EQ(driver.messages.size(), 1u);

  // Without a message the value is clamped silently.
  dbl->ErrorMessage.clear();
  actions::SetText(*form, "txtWidthFactor", {"0.1"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(dbl->Text(), "0.5");
  EXPECT_EQ(driver.messages.size(), 1u);
}

TEST_F(NumEdit, DblLeftWithANonNumberTellsTheUserAndTakesTheMinimum) {
  dbl->MinimumValue = 0.5;
  dbl->MaximumValue = 3.0;
  dbl->ErrorMessage = "The value for Width Factor must be between 0.5 and 3.0";
  std::string seenOnExit;
  dbl->OnExit = [&](platform::Control&) { seenOnExit = dbl->Text(); };
  form->Show();
  actions::SetText(*form, "txtWidthFactor", {"2x"});
  // The minimum lies within the range: no range warning, and the focus moves on.
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(dbl->Text(), "0.5");
  EXPECT_EQ(seenOnExit, "0.5");  // the form's own handler sees the replaced text
  ASSERT_EQ(driver.messages.size(), 2u);
  EXPECT_EQ(driver.messages[0].text, "The text you entered is not a valid number");
  EXPECT_EQ(driver.messages[1].text, "The entered text is:2x:");
  EXPECT_TRUE(Beeps().empty());
  EXPECT_EQ(form->ActiveControl(), other);

  // Without a range the field shows 0.
  dbl->MinimumValue = 0;
  dbl->MaximumValue = 0;
  actions::SetText(*form, "txtWidthFactor", {"-"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(dbl->Text(), "0");
  EXPECT_EQ(driver.messages.size(), 4u);
}

TEST_F(NumEdit, DblFollowsTheLocaleDecimalSeparator) {
  platform::Application().decimalSeparator = ',';
  form->Show();
  dbl->SetText("");
  actions::TypeText(*form, "txtWidthFactor", "2.,5");
  EXPECT_EQ(dbl->Text(), "2,5");
  EXPECT_EQ(Beeps().size(), 1u);
  EXPECT_DOUBLE_EQ(dbl->Value(), 2.5);
  dbl->SetValue(0.25);
  EXPECT_EQ(dbl->Text(), "0,25");
  dbl->SetText(",5");
  EXPECT_DOUBLE_EQ(dbl->Value(), 0.5);
  EXPECT_EQ(dbl->Text(), "0,5");
  dbl->SetText("2.5");  // pasted in the other notation: not a number here
  EXPECT_DOUBLE_EQ(dbl->Value(), 0);
  EXPECT_EQ(driver.messages.size(), 2u);
}

TEST_F(NumEdit, DblWriteClampsOnlyWithARange) {
  dbl->SetValue(1234.5);
  EXPECT_EQ(dbl->Text(), "1234.5");
  dbl->MinimumValue = -1;
  dbl->MaximumValue = 1;
  dbl->SetValue(-7);
  EXPECT_EQ(dbl->Text(), "-1");
}

TEST_F(NumEdit, LongLeftWritesItsCheckedValueBack) {
  form->Show();
  // Equal bounds: any whole number stays.
  actions::SetText(*form, "txtPlaces", {"-123456"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(lng->Text(), "-123456");

  lng->MinimumValue = 0;
  lng->MaximumValue = 4;
  actions::SetText(*form, "txtPlaces", {"9"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(lng->Text(), "4");
  actions::SetText(*form, "txtPlaces", {"-3"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(lng->Text(), "0");

  lng->MinimumValue = 1;
  actions::SetText(*form, "txtPlaces", {""});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(lng->Text(), "1");
  actions::SetText(*form, "txtPlaces", {"1-2"});
  EXPECT_TRUE(actions::Focus(*form, "txtOther"));
  EXPECT_EQ(lng->Text(), "1");
  EXPECT_TRUE(driver.messages.empty());
  EXPECT_TRUE(Beeps().empty());
}

TEST_F(NumEdit, EnteringSelectsTheWholeTextOnlyWithAutoSelect) {
  form->Show();
  unit->SetText("1'-6\"");
  actions::Focus(*form, "txtDistance");
  EXPECT_EQ(unit->SelLength(), 5);
  actions::Focus(*form, "txtOther");
  dbl->SetText("12.5");
  actions::Focus(*form, "txtWidthFactor");
  EXPECT_EQ(dbl->SelLength(), 0);
  actions::Focus(*form, "txtOther");
  lng->AutoSelect = true;
  lng->SetText("42");
  actions::Focus(*form, "txtPlaces");
  EXPECT_EQ(lng->SelLength(), 2);
}

}  // namespace
}  // namespace qxt
