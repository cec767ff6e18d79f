#include "text/text_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "core/units.h"
#include "platform/actions.h"
#include "text/cad_text_settings.h"
#include "text/rtf_builder.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace cadmsg = cad_text_messages;
namespace ttmsg = text_dialog_messages;

// Settings that differ from every default, so a field showing its default is caught.
void UseDistinctSettings(QXConfig& c) {
  c.TextMode = 0;
  c.CTWordWrap = 1;
  c.CTSize = 96000;  // 1/8 inch
  c.CTWidthFactor = 1.25;
  c.CTOrientation = 45;
  c.CTLineSpacing = 0.75;
  c.CTCharSpacing = 2500;
  c.CTSlant = -10;
  c.CTFont = 2;
  c.CTVJust = 1;
  c.CTHJust = 2;
  c.TTSize = 12;
  c.TTStyle = 2;
  c.TTFontName.Set("Georgia");
  c.TTHPos = 1;
  c.TTVPos = 0;
  c.TTJust = 2;
  c.TTLineWidth = 4.5;
  c.TTOrientation = 15;
}

class TextDialogTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    UseDistinctSettings(Config());
    dialog_ = std::make_unique<TdlgQXText>();  // loads the fields when it is made
  }
  void TearDown() override {
    dialog_.reset();
    LoadedLibrary::TearDown();
  }

  // Shows the dialog modally while `action` acts on it; returns the modal result.
  int Show(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
    return dialog_->ShowModal();
  }

  TdlgQXText& dialog() { return *dialog_; }

 private:
  std::unique_ptr<TdlgQXText> dialog_;
};

TEST_F(TextDialogTest, FieldsAreLoadedFromTheConfigurationWhenMade) {
  TdlgQXText& d = dialog();
  EXPECT_EQ(d.cad.txtCTSize.Text(), PaperDistToText(96000));
  EXPECT_EQ(d.cad.txtCTWidth.Text(), "1.25");
  EXPECT_EQ(d.cad.txtCTOrientation.Text(), "45");
  EXPECT_EQ(d.cad.txtCTLineSpacing.Text(), "0.75");
  EXPECT_EQ(d.cad.txtCTChar_sp.Text(), "0.25");
  EXPECT_EQ(d.cad.txtCTSlant.Text(), "-10");
  EXPECT_TRUE(d.cad.chkWordWrap.Checked());
  EXPECT_EQ(d.cad.rgrpCTFont.items,
            (std::vector<std::string>{"Standard", "Monotxt", "Roman", "Italic", "Heavy"}));
  EXPECT_EQ(d.cad.rgrpCTFont.ItemIndex(), 2);
  EXPECT_EQ(d.cad.rgrpCTVjus.ItemIndex(), 1);
  EXPECT_EQ(d.cad.rgrpCTHJus.ItemIndex(), 2);
  EXPECT_EQ(d.txtFont.Text(), "Georgia");
  EXPECT_TRUE(d.txtFont.font.italic);
  EXPECT_EQ(d.lblsize.Caption(), "12");
  EXPECT_EQ(d.rgrpTTHPos.ItemIndex(), 1);
  EXPECT_EQ(d.rgrpTTVPos.ItemIndex(), 0);
  EXPECT_EQ(d.rgrpTTJus.ItemIndex(), 2);
  EXPECT_EQ(d.txtTTLineWidth.Text(), "4.5");
  EXPECT_EQ(d.txtTTOrientation.Text(), "15");
  EXPECT_EQ(d.TabSet.TabIndex(), TdlgQXText::kCadTab);
  EXPECT_EQ(d.mmText.Text(), "");
  // CAD mode: the memo follows the CAD horizontal justification.
  EXPECT_EQ(d.mmText.alignment, platform::Alignment::Right);
  EXPECT_EQ(d.mmText.font.name, "System");
}

struct FieldCase {
  const char* field;
  const char* text;
  const char* warning;
};

TEST_F(TextDialogTest, RejectedEntriesAreWarnedAboutAndResetToTheStoredValue) {
  const std::vector<FieldCase> cases = {
      {"txtCTSize", "abc", cadmsg::kSizeTooLarge},
      {"txtCTSize", "0", cadmsg::kSizeTooSmall},
      {"txtCTWidth", "wide", cadmsg::kWidthInvalid},
      {"txtCTWidth", "3.5", cadmsg::kWidthRange},
      {"txtCTWidth", "0.4", cadmsg::kWidthRange},
      {"txtCTOrientation", "north", cadmsg::kOrientationInvalid},
      {"txtCTOrientation", "360.5", cadmsg::kOrientationRange},
      {"txtCTLineSpacing", "", cadmsg::kLineSpacingInvalid},
      {"txtCTLineSpacing", "9.01", cadmsg::kLineSpacingRange},
      {"txtCTChar_sp", "1,5", cadmsg::kCharSpacingInvalid},
      {"txtCTChar_sp", "-0.1", cadmsg::kCharSpacingRange},
      {"txtCTSlant", "1.5", cadmsg::kSlantInvalid},
      {"txtCTSlant", "9999", cadmsg::kSlantInvalid},
      {"txtCTSlant", "46", cadmsg::kSlantRange},
  };
  for (const FieldCase& c : cases) {
    user.messages.clear();
    std::string before;
    std::string shown;
    Show([&](platform::Form& form) {
      before = act::DisplayText(*form.Find<platform::Control>(c.field));
      act::SetText(form, c.field, {c.text});
      act::Focus(form, "mmText");
      shown = act::DisplayText(*form.Find<platform::Control>(c.field));
      act::Click(form, "Cancel");
    });
    ASSERT_EQ(user.messages.size(), 1u) << c.field << " " << c.text;
    EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
    EXPECT_EQ(user.messages[0].text, c.warning) << c.field << " " << c.text;
    EXPECT_EQ(shown, before) << c.field << " " << c.text;
  }
}

TEST_F(TextDialogTest, ResetTakesTheStoredValueNotTheLastGoodEntry) {
  std::string afterGood, afterBad;
  Show([&](platform::Form& form) {
    act::SetText(form, "txtCTWidth", {"2"});
    act::Focus(form, "mmText");
    afterGood = dialog().cad.txtCTWidth.Text();
    act::SetText(form, "txtCTWidth", {"7"});
    act::Focus(form, "mmText");
    afterBad = dialog().cad.txtCTWidth.Text();
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(afterGood, "2");
  EXPECT_EQ(afterBad, "1.25");
}

TEST_F(TextDialogTest, AcceptedEntriesShowNoWarning) {
  Show([&](platform::Form& form) {
    for (auto [field, text] :
         std::vector<std::pair<const char*, const char*>>{{"txtCTSize", "1/16\""},
                                                          {"txtCTWidth", "0.5"},
                                                          {"txtCTOrientation", "360"},
                                                          {"txtCTLineSpacing", "0"},
                                                          {"txtCTChar_sp", "3"},
                                                          {"txtCTSlant", "-45"}}) {
      act::SetText(form, field, {text});
    }
    act::Focus(form, "mmText");
    act::Click(form, "Cancel");
  });
  EXPECT_TRUE(user.messages.empty()) << user.MessageTexts()[0];
}

TEST_F(TextDialogTest, OkStoresEveryFieldAndCancelStoresNothing) {
  const QXConfig before = Config();
  EXPECT_EQ(Show([&](platform::Form& form) {
              act::SetText(form, "txtCTWidth", {"2"});
              act::SetText(form, "txtCTSlant", {"30"});
              act::Select(form, "rgrpCTFont", 4);
              act::Click(form, "Cancel");
            }),
            platform::ModalResult::Cancel);
  EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);

  EXPECT_EQ(Show([&](platform::Form& form) {
              act::SetText(form, "txtCTSize", {"1/16\""});
              act::SetText(form, "txtCTChar_sp", {"0.5"});
              act::Check(form, "chkWordWrap", false);
              act::SelectTab(form, "True Type");
              act::SetText(form, "txtTTLineWidth", {"2.5"});
              act::Select(form, "rgrpTTJus", 1);
              act::Click(form, "OK");
            }),
            platform::ModalResult::OK);
  const QXConfig& c = Config();
  EXPECT_EQ(+c.TextMode, 1);
  EXPECT_EQ(+c.CTWordWrap, 0);
  EXPECT_EQ(+c.CTSize, 48000);
  EXPECT_EQ(+c.CTWidthFactor, 2.0);  // kept from the cancelled edit: the dialog keeps its fields
  EXPECT_EQ(+c.CTCharSpacing, 5000);
  EXPECT_EQ(+c.CTSlant, 30);
  EXPECT_EQ(+c.CTFont, 4);
  EXPECT_EQ(+c.TTLineWidth, 2.5);
  EXPECT_EQ(+c.TTJust, 1);
  EXPECT_EQ(c.TTFontName.Get(), "Georgia");
  EXPECT_EQ(+c.TTSize, 12);
  EXPECT_EQ(+c.TTStyle, 2);

  // A tiny character spacing rounds to 0, and is shown back as 0.
  Show([&](platform::Form& form) {
    act::SelectTab(form, "CAD Text");
    act::SetText(form, "txtCTChar_sp", {"0.00004"});
    act::Click(form, "OK");
  });
  EXPECT_EQ(+Config().CTCharSpacing, 0);
}

TEST_F(TextDialogTest, OkWithAFieldNeverLeftStillChecksIt) {
  Show([&](platform::Form& form) {
    act::SetText(form, "txtCTLineSpacing", {"12"});
    dialog().btnOK.Click();  // as the Enter key would, without moving the focus
  });
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, cadmsg::kLineSpacingRange);
  EXPECT_EQ(+Config().CTLineSpacing, 0.75);
}

TEST_F(TextDialogTest, ASlantThatIsNoWholeNumberIsStoredAs9999) {
  // The field was never left, so no check ran on it; OK stores what the text reads as.
  Show([&](platform::Form& form) {
    dialog().cad.txtCTSlant.SetText("12.5");
    act::Click(form, "OK");
  });
  EXPECT_EQ(+Config().CTSlant, 9999);
  Show([&](platform::Form& form) {
    dialog().cad.txtCTSlant.SetText("-12");
    act::Click(form, "OK");
  });
  EXPECT_EQ(+Config().CTSlant, -12);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(TextDialogTest, MemoFollowsTheSelectedPage) {
  TdlgQXText& d = dialog();
  Show([&](platform::Form& form) {
    act::SelectTab(form, "True Type");
    EXPECT_EQ(d.ntbkSettings.PageIndex(), TdlgQXText::kTrueTypeTab);
    EXPECT_EQ(d.mmText.font.name, "Georgia");
    EXPECT_EQ(d.mmText.font.size, 12);
    EXPECT_TRUE(d.mmText.font.italic);
    EXPECT_TRUE(d.mmText.wordWrap);
    EXPECT_EQ(d.mmText.Width(), 2 * 16 + 432);  // 4.5 inches at 96 pixels per inch
    EXPECT_EQ(d.mmText.alignment, platform::Alignment::Right);

    act::SetText(form, "txtTTLineWidth", {"2"});
    act::Focus(form, "mmText");
    EXPECT_EQ(d.mmText.Width(), 2 * 16 + 192);
    act::SetText(form, "txtTTLineWidth", {"22"});
    act::Focus(form, "mmText");
    EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{ttmsg::kLineWidthRange});
    EXPECT_EQ(d.txtTTLineWidth.Text(), "4.5");
    EXPECT_EQ(d.mmText.Width(), 2 * 16 + 432);
    act::Select(form, "rgrpTTJus", "Center");
    EXPECT_EQ(d.mmText.alignment, platform::Alignment::Center);

    act::SelectTab(form, "CAD Text");
    EXPECT_EQ(d.mmText.font.name, "System");
    EXPECT_EQ(d.mmText.font.size, 10);
    EXPECT_TRUE(d.mmText.font.bold);
    EXPECT_EQ(d.mmText.Width(), d.ClientWidth() - 8);
    EXPECT_EQ(d.mmText.alignment, platform::Alignment::Right);
    act::Check(form, "chkWordWrap", false);
    EXPECT_FALSE(d.mmText.wordWrap);
    EXPECT_EQ(d.mmText.scrollBars, platform::ScrollBars::Both);
    act::Select(form, "rgrpCTHJus", 0);
    EXPECT_EQ(d.mmText.alignment, platform::Alignment::Left);
    act::Click(form, "Cancel");
  });
}

TEST_F(TextDialogTest, ResizingKeepsTheMemoAboveTheSettings) {
  TdlgQXText& d = dialog();
  const int memoHeight = d.mmText.Height();
  const int tabTop = d.TabSet.Top();
  const int okTop = d.btnOK.Top();
  d.SetClientHeight(d.ClientHeight() + 100);
  d.SetClientWidth(d.ClientWidth() + 60);
  EXPECT_EQ(d.TabSet.Top(), tabTop + 100);
  EXPECT_EQ(d.ntbkSettings.Top(), d.TabSet.Top() + d.TabSet.Height() + 1);
  EXPECT_EQ(d.btnOK.Top(), okTop + 100);
  EXPECT_EQ(d.mmText.Height(), memoHeight + 100);
  EXPECT_LT(d.mmText.Top() + d.mmText.Height(), d.TabSet.Top());
  EXPECT_EQ(d.mmText.Width(), d.ClientWidth() - 8);  // on the CAD page

  // Made smaller again, it lays out as designed.
  d.SetClientHeight(d.ClientHeight() - 200);
  EXPECT_EQ(d.TabSet.Top(), tabTop);
  EXPECT_EQ(d.mmText.Height(), memoHeight);
}

TEST_F(TextDialogTest, FontDialogChangesTheTrueTypeFont) {
  platform::FontChoice choice;
  choice.face = "Courier New";
  choice.size = 14;
  choice.bold = true;
  user.fontAnswers = {choice};
  TdlgQXText& d = dialog();
  Show([&](platform::Form& form) {
    act::SelectTab(form, "True Type");
    act::Click(form, "btnFontChange");
    act::Click(form, "OK");
  });
  ASSERT_EQ(user.fontRequests.size(), 1u);
  EXPECT_EQ(user.fontRequests[0].initial.face, "Georgia");
  EXPECT_EQ(user.fontRequests[0].initial.size, 12);
  EXPECT_TRUE(user.fontRequests[0].initial.italic);
  EXPECT_TRUE(user.fontRequests[0].trueTypeOnly);
  EXPECT_EQ(d.txtFont.Text(), "Courier New");
  EXPECT_EQ(d.lblsize.Caption(), "14");
  EXPECT_EQ(d.mmText.font.name, "Courier New");
  EXPECT_EQ(Config().TTFontName.Get(), "Courier New");
  EXPECT_EQ(+Config().TTSize, 14);
  EXPECT_EQ(+Config().TTStyle, kStyleBold);
}

// A control's caption (null: not checked) and hint (null: none).
struct Shown {
  const char* control;
  const char* caption;
  const char* hint;
};

// The CAD page's labels and fields as the user reads them, on both dialogs that show it.
const std::vector<Shown> kCadPage = {
    {"lblCTSize", "&Size:", nullptr},
    {"txtCTSize", nullptr, "The size of the text in Paper units"},
    {"lblCTWidth", "&Width Factor:", nullptr},
    {"txtCTWidth", nullptr, "A width factor to stretch/shrink the text"},
    {"lblCTOrientation", "Ori&entation:", nullptr},
    {"txtCTOrientation", nullptr, "The rotation angle for the text"},
    {"lblCTLineSpacing", "&Line Spacing:", nullptr},
    {"txtCTLineSpacing", nullptr, "The gap between lines of text (multiple of Size)"},
    {"lblCTChar_sp", "Ch&aracter Spacing:", nullptr},
    {"txtCTChar_sp", nullptr, "Converts the text to monospace. (Multiple of Size)"},
    {"lblCTSlant", "Sla&nt:", nullptr},
    {"txtCTSlant", nullptr, "The incline angle of the letters in degrees(-45 to 45)"},
    {"chkWordWrap", "&Word Wrap", "Turns automatic word wrapping on or off"},
    {"rgrpCTFont", "&Font", "The CAD font which will be used for this text"},
    {"rgrpCTVjus", "&Vertical", "The vertical location of the text's vertex"},
    {"rgrpCTHJus", "&Horizontal", "The horizontal position of the text's vertex"},
};

void ExpectShown(platform::Form& form, const std::vector<Shown>& expected) {
  for (const Shown& e : expected) {
    const platform::Control* c = form.Find<platform::Control>(e.control);
    ASSERT_NE(c, nullptr) << e.control;
    if (e.caption != nullptr) {
      EXPECT_EQ(c->Caption(), e.caption) << e.control;
    }
    EXPECT_EQ(c->hint, e.hint != nullptr ? e.hint : "") << e.control;
  }
  const auto* vertical = form.Find<platform::RadioGroup>("rgrpCTVjus");
  const auto* horizontal = form.Find<platform::RadioGroup>("rgrpCTHJus");
  ASSERT_TRUE(vertical && horizontal);
  EXPECT_EQ(vertical->items, (std::vector<std::string>{"&Top", "C&enter", "&Bottom"}));
  EXPECT_EQ(horizontal->items, (std::vector<std::string>{"&Left", "&Cente&r", "&Right"}));
  for (const char* button : {"OK", "Cancel", "Help"}) {
    EXPECT_NE(form.FindByCaption(button), nullptr) << button;
  }
}

TEST_F(TextDialogTest, CaptionsHintsAndHelpContext) {
  TdlgQXText& d = dialog();
  EXPECT_EQ(d.helpContext, 126);
  EXPECT_EQ(d.TabSet.tabs, (std::vector<std::string>{"CAD Text", "True Type"}));
  ExpectShown(d, kCadPage);
  ExpectShown(
      d,
      {
          {"lblFont", "Typeface/Style:", nullptr},
          {"txtFont", nullptr, "The typeface to be used, shown with the current style attributes"},
          {"lblTTSize", "Size:", nullptr},
          {"btnFontChange", "&Change...", "Press this button to change font properties"},
          {"grpCursorPosition", "Cursor Position", nullptr},
          {"rgrpTTVPos", "&Vertical", nullptr},
          {"rgrpTTHPos", "&Horizontal", nullptr},
          {"rgrpTTJus", "&Justification", "The justification of the text within the text block"},
          {"lblTTLineWidth", "&Line Width:", nullptr},
          {"txtTTLineWidth", nullptr, "The margin width for the text block"},
          {"lblTTOrientation", "&Orientation:", nullptr},
          {"txtTTOrientation", nullptr, "The rotation angle of the text, in degrees"},
      });
  const std::vector<std::string> positions = {"&Top", "C&enter", "&Bottom"};
  EXPECT_EQ(d.rgrpTTVPos.items, positions);
  EXPECT_EQ(d.rgrpTTHPos.items, (std::vector<std::string>{"&Left", "C&enter", "&Right"}));
  EXPECT_EQ(d.rgrpTTJus.items, (std::vector<std::string>{"&Left", "C&enter", "&Right"}));
}

// The CAD text settings dialog shares the CAD page's fields and checks.
class CadTextSettingsTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    UseDistinctSettings(Config());
  }
  int Show(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
    return State().forms->dlgCADTextSettings->ShowModal();
  }
};

TEST_F(CadTextSettingsTest, CaptionsHintsAndHelpContext) {
  TdlgCADTextSettings& d = *State().forms->dlgCADTextSettings;
  EXPECT_EQ(d.Caption(), "Text Settings");
  EXPECT_EQ(d.helpContext, 109);
  ExpectShown(d, kCadPage);
}

TEST_F(CadTextSettingsTest, RefilledOnEveryShowingAndStoredOnlyOnOk) {
  TdlgCADTextSettings& d = *State().forms->dlgCADTextSettings;
  EXPECT_EQ(d.Caption(), "Text Settings");
  EXPECT_EQ(d.helpContext, 109);
  const QXConfig before = Config();
  Show([&](platform::Form& form) {
    EXPECT_EQ(d.cad.txtCTOrientation.Text(), "45");
    act::SetText(form, "txtCTOrientation", {"north"});
    act::Focus(form, "txtCTWidth");
    EXPECT_EQ(d.cad.txtCTOrientation.Text(), "45");
    act::SetText(form, "txtCTWidth", {"2.5"});
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>{cadmsg::kOrientationInvalid});
  EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);

  Show([&](platform::Form& form) {
    EXPECT_EQ(d.cad.txtCTWidth.Text(), "1.25");  // the cancelled edit is gone
    act::SetText(form, "txtCTChar_sp", {"0.5"});
    act::Click(form, "OK");
  });
  EXPECT_EQ(+Config().CTCharSpacing, 5000);
  Show([&](platform::Form& form) {
    EXPECT_EQ(d.cad.txtCTChar_sp.Text(), "0.5");
    act::Click(form, "Cancel");
  });
  // Only the CAD fields are touched.
  EXPECT_EQ(+Config().TextMode, +before.TextMode);
  EXPECT_EQ(Config().TTFontName.Get(), "Georgia");
}

}  // namespace
}  // namespace qxt
