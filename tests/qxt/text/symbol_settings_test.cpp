// The symbol settings dialog: magnitudes and mirror boxes, the group of the program mode, the
// checks when a field is left, and the three results.
#include "text/symbol_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/actions.h"
#include "text_fixture.h"

namespace qxt {
namespace {

namespace act = platform::actions;
namespace msg = symbol_settings_messages;

class SymbolSettingsTest : public testing::LoadedLibrary {
 protected:
  TdlgSymbolSettings& Dialog() { return *State().forms->dlgSymbolSettings; }
  void OnDialog(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }
};

SymbolInfo Mirrored2D() {
  SymbolInfo info = UniformSymbolInfo(2);
  info.scaleX2D = -2;
  info.rotation2D = 45;
  return info;
}

TEST_F(SymbolSettingsTest, MirrorShowsAsABoxAndOKWithoutChangesKeepsTheRecord) {
  SymbolInfo info = Mirrored2D();
  info.scaleZ3D = -3;
  info.rotationY3D = 15;
  std::vector<std::string> shown;
  OnDialog([&](platform::Form& form) {
    shown = {Dialog().txt2DScale.Text(),
             Dialog().txt2DRotation.Text(),
             Dialog().chk2DXMirror.Checked() ? "x" : "",
             Dialog().chk2DYMirror.Checked() ? "y" : "",
             Dialog().txt3DZScale.Text(),
             Dialog().chk3DZMirror.Checked() ? "z" : ""};
    act::Click(form, "OK");
  });
  const SymbolInfo before = info;
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 0);
  EXPECT_EQ(shown, (std::vector<std::string>{"2", "45", "x", "", "3", "z"}));
  EXPECT_EQ(info, before);
}

TEST_F(SymbolSettingsTest, In2DBothScalesTakeTheOneMagnitude) {
  SymbolInfo info = UniformSymbolInfo(1);
  info.scaleY2D = -7;
  OnDialog([](platform::Form& form) {
    act::SetText(form, "txt2DScale", {"1.5"});
    act::Check(form, "chk2DYMirror", false);
    act::Check(form, "chk2DXMirror", true);
    act::Click(form, "OK");
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 0);
  EXPECT_EQ(info.scaleX2D, -1.5);
  EXPECT_EQ(info.scaleY2D, 1.5);
}

TEST_F(SymbolSettingsTest, RefusedEntriesWarnAndKeepTheFocusWithTheTextAsTyped) {
  SymbolInfo info = UniformSymbolInfo(1);
  bool keptRotation = false, keptScale = false, keptText = false;
  std::string rotationAfter;
  OnDialog([&](platform::Form& form) {
    act::SetText(form, "txt2DRotation", {"-90"});
    act::Focus(form, "txt2DScale");  // -90 is accepted
    act::SetText(form, "txt2DScale", {"0"});
    keptScale = !act::Focus(form, "txt2DRotation") && Dialog().txt2DScale.Focused() &&
                Dialog().txt2DScale.SelLength() == 1;
    act::SetText(form, "txt2DScale", {"2"});
    act::Focus(form, "txt2DRotation");
    act::SetText(form, "txt2DRotation", {"400"});
    keptRotation = !act::Focus(form, "txt2DScale") && Dialog().txt2DRotation.Focused();
    rotationAfter = Dialog().txt2DRotation.Text();
    act::SetText(form, "txt2DRotation", {"abc"});
    keptText = !act::Focus(form, "txt2DScale");
    act::SetText(form, "txt2DRotation", {"-90"});
    act::Click(form, "OK");
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 0);
  EXPECT_TRUE(keptScale);
  EXPECT_TRUE(keptRotation);
  EXPECT_TRUE(keptText);
  EXPECT_EQ(rotationAfter, "400");
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{msg::kScaleNotPositive,
                                                           msg::kRotationRange, msg::kNotANumber}));
  EXPECT_EQ(info.rotation2D, -90);
  EXPECT_EQ(info.scaleX2D, 2);
}

TEST_F(SymbolSettingsTest, OKWithARefusedFieldStillFocusedKeepsTheDialogOpen) {
  SymbolInfo info = UniformSymbolInfo(1);
  bool stayedOpen = false;
  OnDialog([&](platform::Form& form) {
    act::SetText(form, "txt2DScale", {"-1"});
    act::TypeText(form, "txt2DScale", "\r");  // Enter presses OK without leaving the field
    stayedOpen = form.GetModalResult() == platform::ModalResult::None;
    act::SetText(form, "txt2DScale", {"3"});
    act::Click(form, "OK");
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 0);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(info.scaleX2D, 3);
}

TEST_F(SymbolSettingsTest, TheGroupOfTheModeIsEnabledAndFocused) {
  SymbolInfo info = UniformSymbolInfo(1);
  bool focus2D = false, focus3D = false;
  OnDialog([&](platform::Form& form) {
    focus2D = Dialog().txt2DRotation.Focused() && Dialog().grp2D.Enabled() &&
              !Dialog().grp3D.Enabled() && Dialog().grp3D.font.color == platform::colors::Gray &&
              Dialog().grp2D.font.color == platform::colors::WindowText;
    act::Click(form, "OK");
  });
  OnDialog([&](platform::Form& form) {
    focus3D = Dialog().txt3DXRotation.Focused() && !Dialog().grp2D.Enabled() &&
              Dialog().grp3D.Enabled() && Dialog().txt3DXRotation.SelLength() == 1;
    act::SetText(form, "txt3DYScale", {"4"});
    act::Check(form, "chk3DYMirror", true);
    act::Click(form, "OK");
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 0);
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_3D), 0);
  EXPECT_TRUE(focus2D);
  EXPECT_TRUE(focus3D);
  EXPECT_EQ(info.scaleY3D, -4);
  EXPECT_EQ(info.scaleX3D, 1);
}

TEST_F(SymbolSettingsTest, DoneAndSymbolsLeaveTheRecordUntouched) {
  SymbolInfo info = Mirrored2D();
  const SymbolInfo before = info;
  OnDialog([](platform::Form& form) {
    act::SetText(form, "txt2DScale", {"5"});
    act::Click(form, "btnSymbols");
  });
  OnDialog([](platform::Form& form) {
    act::SetText(form, "txt2DScale", {"5"});
    act::Click(form, "Done");
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 2);
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 1);
  EXPECT_EQ(info, before);

  // They leave at the first press even with a refused entry in the field, without its warning.
  OnDialog([](platform::Form& form) {
    act::SetText(form, "txt2DScale", {"0"});
    EXPECT_TRUE(act::Click(form, "Done"));
  });
  OnDialog([](platform::Form& form) {
    act::SetText(form, "txt2DRotation", {"abc"});
    EXPECT_TRUE(act::Click(form, "btnSymbols"));
  });
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 1);
  EXPECT_EQ(EditSymbolSettings(info, HSI_MODE_2D), 2);
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(info, before);
}

}  // namespace
}  // namespace qxt
