#include "drafting/dimension_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "core/units.h"
#include "dimension_fixture.h"
#include "drafting/dimension_command.h"
#include "platform/actions.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using testing::DimensionTest;

class DimensionDialogTest : public DimensionTest {
 protected:
  TdlgQXDimension& Dialog() { return *State().forms->dlgQXDimension; }

  // Shows the dialog through the command (dialog before the first line) and runs `action` on it;
  // the command then ends at the first dimension line.
  void Show(std::function<void(platform::Form&)> action) {
    Config().DimDialogBefore = 1;
    user.formActions.push_back(std::move(action));
    user.Reply(host::PointReply::Kind::Escape);
    QXDimension();
  }
};

TEST_F(DimensionDialogTest, ShowingFillsEveryFieldFromTheSettings) {
  QXConfig& config = Config();
  config.DimTerminator = 0;
  config.DimArrowExtLineExt = 96000;  // 1/8 inch of paper
  config.DimTextWidth = 1.5;
  config.DimTextCharSpacing = 2500;
  config.DimTextSlant = -15;
  config.DimTextFont = 2;
  config.DimTTSize = 12;
  config.DimTTStyle = 2;
  config.DimLayer = 80;
  config.DimTextLayer = 300;  // a damaged record: the lists still select an entry
  Host().SetLayerName(80, "DIMENSIONS-LONG-NAME");
  Show([&](platform::Form& form) {
    TdlgQXDimension& d = Dialog();
    EXPECT_EQ(d.txtArrowExtLineExt.Text(), "1/8\"");
    EXPECT_EQ(d.txtTickExtLineOffset.Text(), "1/16\"");
    EXPECT_TRUE(d.rbtnArrows.Checked());
    EXPECT_EQ(d.ntbkMarkerStyle.PageIndex(), TdlgQXDimension::kArrowPage);
    EXPECT_EQ(d.txtCTSize.Text(), "3/32\"");
    EXPECT_EQ(d.txtCTWidth.Text(), "1.5");
    EXPECT_EQ(d.txtCTChar_sp.Text(), "0.25");
    EXPECT_EQ(d.txtCTSlant.Text(), "-15");
    EXPECT_EQ(d.rgrpCTFont.SelectedText(), "Roman");
    EXPECT_EQ(d.lblTTsize.Caption(), "12");
    EXPECT_EQ(d.txtTTFont.Text(), "Arial");
    EXPECT_TRUE(d.txtTTFont.font.italic);
    ASSERT_EQ(d.cbxDimLayer.items.Count(), 256);
    EXPECT_EQ(d.cbxDimLayer.items[0], "0 - Default Layer");
    EXPECT_EQ(d.cbxDimLayer.Text(), "80 - DIMENSIONS-LONG-N");  // cut to 22 characters
    EXPECT_EQ(d.cbxTextLayer.ItemIndex(), 255);
    EXPECT_EQ(form.ActiveControl(), &d.OKBtn);
    act::Click(form, "Cancel");
  });
}

TEST_F(DimensionDialogTest, OKStoresEveryFieldAndCancelNothing) {
  Config().DimDialogBefore = 1;
  const QXConfig before = Config();
  Show([&](platform::Form& form) {
    act::SetText(form, "txtTickDimLineExt", {"1/4\""});
    act::Click(form, "rbtnArrows");
    act::SetText(form, "txtMarkerSymbol", {"ARROW.SYM"});
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(std::memcmp(&before, &Config(), sizeof(QXConfig)), 0);

  Show([&](platform::Form& form) {
    act::SetText(form, "txtTickDimLineExt", {"1/4\""});
    act::Click(form, "rbtnArrows");
    EXPECT_EQ(Dialog().ntbkMarkerStyle.PageIndex(), TdlgQXDimension::kArrowPage);
    act::SetText(form, "txtMarkerSymbol", {"ARROWHEAD-LONG.SYM"});
    act::Check(form, "chkEditText", false);
    act::Check(form, "chkAutoSnap", true);
    act::Select(form, "rgrpTextType", 1);
    act::SelectTab(form, "Text");
    act::SetText(form, "txtCTSize", {"1/8\""});
    act::SetText(form, "txtCTWidth", {"0.8"});
    act::SetText(form, "txtCTChar_sp", {"0.12345"});
    act::SetText(form, "txtCTSlant", {"10"});
    act::Select(form, "rgrpCTFont", "Italic");
    act::SelectTab(form, "Layers");
    act::Select(form, "cbxDimLayer", 80);
    act::Select(form, "cbxTextLayer", 33);
    act::Click(form, "OK");
  });
  const QXConfig& c = Config();
  EXPECT_EQ(+c.DimTickDimLineExt, 192000);
  EXPECT_EQ(+c.DimTickExtLineExt, 48000);
  EXPECT_EQ(+c.DimTerminator, 0);
  EXPECT_EQ(c.DimMarkerSymbol.Get(), "ARROWHEAD-LON");  // 13 characters
  EXPECT_EQ(+c.DimEditText, 0);
  EXPECT_EQ(+c.DimAutoSnap, 1);
  EXPECT_EQ(+c.DimTextType, 1);
  EXPECT_EQ(+c.DimTextSize, 96000);
  EXPECT_EQ(+c.DimTextWidth, 0.8);
  EXPECT_EQ(+c.DimTextCharSpacing, 1234);  // 1234.5 rounded half to even
  EXPECT_EQ(+c.DimTextSlant, 10);
  EXPECT_EQ(+c.DimTextFont, 3);
  EXPECT_EQ(+c.DimLayer, 80);
  EXPECT_EQ(+c.DimTextLayer, 33);
}

TEST_F(DimensionDialogTest, TheFontDialogChangesFaceStyleAndSize) {
  user.fontAnswers.push_back(platform::FontChoice{"Courier New", 9, true, false, true, false});
  Show([&](platform::Form& form) {
    act::SelectTab(form, "Text");
    act::Click(form, "btnFontChange");
    EXPECT_EQ(Dialog().txtTTFont.Text(), "Courier New");
    EXPECT_EQ(Dialog().lblTTsize.Caption(), "9");
    act::Click(form, "OK");
  });
  ASSERT_EQ(user.fontRequests.size(), 1u);
  EXPECT_EQ(user.fontRequests[0].initial.face, "Arial");
  EXPECT_EQ(user.fontRequests[0].initial.size, 10);
  EXPECT_TRUE(user.fontRequests[0].trueTypeOnly);
  EXPECT_EQ(Config().DimTTFontName.Get(), "Courier New");
  EXPECT_EQ(+Config().DimTTSize, 9);
  EXPECT_EQ(+Config().DimTTStyle, 1 | 4);
}

TEST_F(DimensionDialogTest, TypedLayerNumbersSelectTheirEntry) {
  Show([&](platform::Form& form) {
    act::SelectTab(form, "Layers");
    act::TypeText(form, "cbxDimLayer", "12abc");  // the list takes three characters
    act::TypeText(form, "cbxTextLayer", "300");
    EXPECT_EQ(Dialog().cbxDimLayer.ItemIndex(), 12);  // left for the other list
    act::Click(form, "OK");  // leaving the second list selects its entry too
  });
  EXPECT_EQ(+Config().DimLayer, 12);
  EXPECT_EQ(+Config().DimTextLayer, 255);
  EXPECT_EQ(Dialog().cbxTextLayer.Text(), "255 - ");

  EXPECT_EQ(LayerNumberFromText("12abc"), 12);
  EXPECT_EQ(LayerNumberFromText("300"), 255);
  EXPECT_EQ(LayerNumberFromText(" 7 - WALLS"), 7);
  EXPECT_EQ(LayerNumberFromText("-4"), 0);
  EXPECT_EQ(LayerNumberFromText("abc"), 0);
  EXPECT_EQ(LayerNumberFromText(""), 0);
  EXPECT_EQ(LayerNumberFromText("99999999999999999999"), 255);
}

TEST_F(DimensionDialogTest, OutOfRangeTextSettingsAreWarnedAboutAndClamped) {
  Show([&](platform::Form& form) {
    act::SelectTab(form, "Text");
    act::SetText(form, "txtCTWidth", {"4"});
    // Each field keeps the focus after its warning, showing its nearer bound.
    EXPECT_FALSE(act::Focus(form, "txtCTChar_sp"));
    EXPECT_EQ(form.ActiveControl(), &Dialog().txtCTWidth);
    EXPECT_EQ(Dialog().txtCTWidth.Text(), "3");
    act::SetText(form, "txtCTChar_sp", {"5"});
    EXPECT_FALSE(act::Focus(form, "txtCTSlant"));
    act::SetText(form, "txtCTSlant", {"-60"});
    EXPECT_FALSE(act::Focus(form, "txtCTSize"));
    EXPECT_EQ(Dialog().txtCTSlant.Text(), "-45");
    act::Click(form, "OK");
  });
  const std::vector<std::string> expected = {dimension_dialog_messages::kWidthRange,
                                             dimension_dialog_messages::kCharSpacingRange,
                                             dimension_dialog_messages::kSlantRange};
  EXPECT_EQ(user.MessageTexts(), expected);
  for (const auto& box : user.messages) EXPECT_EQ(box.caption, "QX Tools (Warning!)");
  EXPECT_EQ(+Config().DimTextWidth, 3.0);
  EXPECT_EQ(+Config().DimTextCharSpacing, 30000);
  EXPECT_EQ(+Config().DimTextSlant, -45);
}

TEST_F(DimensionDialogTest, LengthsThatCannotWorkAreRefusedWhenTheFieldIsLeft) {
  const int32_t storedSize = Config().DimTextSize;
  Show([&](platform::Form& form) {
    act::SelectTab(form, "Text");
    // A text size of 0, or one the host cannot read, keeps the focus in its field as typed.
    act::SetText(form, "txtCTSize", {"0"});
    EXPECT_FALSE(act::Focus(form, "txtCTWidth"));
    EXPECT_EQ(form.ActiveControl(), &Dialog().txtCTSize);
    EXPECT_EQ(Dialog().txtCTSize.Text(), "0");
    act::SetText(form, "txtCTSize", {"1/8x"});
    EXPECT_FALSE(act::Focus(form, "txtCTWidth"));
    EXPECT_FALSE(act::Click(form, "OK"));
    act::SetText(form, "txtCTSize", {"1/8\""});
    // A negative extension is refused; 0 is a length an extension may have.
    act::SelectTab(form, "General");
    act::SetText(form, "txtTickExtLineExt", {"-1/16\""});
    EXPECT_FALSE(act::Focus(form, "txtTickExtLineOffset"));
    act::SetText(form, "txtTickExtLineExt", {"0"});
    EXPECT_TRUE(act::Focus(form, "txtTickExtLineOffset"));
    // Cancel leaves at once whatever a field holds.
    act::SetText(form, "txtTickExtLineOffset", {"-1\""});
    EXPECT_TRUE(act::Click(form, "Cancel"));
  });
  EXPECT_EQ(user.MessageTexts(), std::vector<std::string>(4, kLengthNotValid));
  EXPECT_EQ(+Config().DimTextSize, storedSize);
}

TEST_F(DimensionDialogTest, TheStoredMarkerStyleChoosesThePageEachTimeItShows) {
  Show([&](platform::Form& form) {
    act::Click(form, "rbtnArrows");
    act::Click(form, "Cancel");  // the dialog last showed arrows, but ticks are stored
  });
  Show([&](platform::Form& form) {
    EXPECT_TRUE(Dialog().rbtnTicks.Checked());
    EXPECT_EQ(Dialog().ntbkMarkerStyle.PageIndex(), TdlgQXDimension::kTickPage);
    act::Click(form, "Cancel");
  });
}

TEST_F(DimensionDialogTest, BrowseTakesTheChosenSymbolsNameWithoutItsFolder) {
  user.fileAnswers.push_back("C:\\TRACELON\\SYMBOLS\\ARROW.SYM");
  Show([&](platform::Form& form) {
    act::Click(form, "btnBrowse");
    EXPECT_EQ(Dialog().txtMarkerSymbol.Text(), "ARROW.SYM");
    act::Click(form, "Cancel");
  });
}

TEST_F(DimensionDialogTest, CancellingTheDialogBeforeEndsTheCommand) {
  Config().DimDialogBefore = 1;
  user.formActions.push_back([](platform::Form& form) { act::Click(form, "Cancel"); });
  QXDimension();
  EXPECT_TRUE(user.prompts.empty());
  EXPECT_EQ(State().RunningTool, 0);
  EXPECT_EQ(Host().CallbackTitle(), "QX Dimension");
  EXPECT_EQ(Host().StatusLineUpdates(), 1);

  // Another interlocked tool running refuses the command.
  State().RunningTool = 3;
  QXDimension();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "You cannot run QX Dimension when another QX Tool is already running."});
  EXPECT_EQ(State().RunningTool, 3);
  State().RunningTool = 0;
}

}  // namespace
}  // namespace qxt
