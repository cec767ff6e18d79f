#include "organise/reference_edit.h"

#include <string>

#include "core/form_layout.h"
#include "organise/reference_file.h"

namespace qxt {

namespace {

// The push buttons stand in a row at this top edge.
constexpr int kButtonsTop = 300;

platform::Edit& MakeField(platform::Form& form, const char* name, platform::Control* parent,
                          int left, int row, int width, int maxLength) {
  platform::Edit& edit = Make<platform::Edit>(form, name, parent, left, 36 + 28 * row, width, 21);
  edit.maxLength = maxLength;
  return edit;
}

}  // namespace

TdlgRefEdit::TdlgRefEdit()
    : platform::Form("TdlgRefEdit", "New Reference Object"),
      lblObjectName(Make<platform::Label>(*this, "lblObjectName", nullptr, 8, 8, 240, 16,
                                          "&Description of Reference Object")),
      txtObjectName(Make<platform::Edit>(*this, "txtObjectName", nullptr, 8, 26, 280, 21)),
      lblPreview(Make<platform::Label>(*this, "lblPreview", nullptr, 300, 8, 60, 16, "Preview")),
      pnlPreview(Make<platform::Panel>(*this, "pnlPreview", nullptr, 300, 26, 160, 120)),
      imgPreview(Make<platform::Image>(*this, "imgPreview", &pnlPreview, 2, 2, 156, 116)),
      chkAlwaysHorizontal(Make<platform::CheckBox>(*this, "chkAlwaysHorizontal", nullptr, 8, 60,
                                                   280, 20, "Annotation always horizontal?")),
      grpAnnotation(Make<platform::GroupBox>(*this, "grpAnnotation", nullptr, 8, 156, 452, 132,
                                             "&Annotation Text")),
      lblItem(Make<platform::Label>(*this, "lblItem", &grpAnnotation, 8, 18, 32, 16, "Item")),
      lblPrompt(
          Make<platform::Label>(*this, "lblPrompt", &grpAnnotation, 44, 18, 120, 16, "Prompt")),
      lblDefault(
          Make<platform::Label>(*this, "lblDefault", &grpAnnotation, 248, 18, 120, 16, "Default")),
      lblItem1(Make<platform::Label>(*this, "lblItem1", &grpAnnotation, 16, 40, 20, 16, "&1")),
      lblItem2(Make<platform::Label>(*this, "lblItem2", &grpAnnotation, 16, 68, 20, 16, "&2")),
      lblItem3(Make<platform::Label>(*this, "lblItem3", &grpAnnotation, 16, 96, 20, 16, "&3")),
      txtPrompt1(MakeField(*this, "txtPrompt1", &grpAnnotation, 44, 0, 196, kRefPromptChars)),
      txtPrompt2(MakeField(*this, "txtPrompt2", &grpAnnotation, 44, 1, 196, kRefPromptChars)),
      txtPrompt3(MakeField(*this, "txtPrompt3", &grpAnnotation, 44, 2, 196, kRefPromptChars)),
      txtDefault1(
          MakeField(*this, "txtDefault1", &grpAnnotation, 248, 0, 196, kAnnotationTextChars)),
      txtDefault2(
          MakeField(*this, "txtDefault2", &grpAnnotation, 248, 1, 196, kAnnotationTextChars)),
      txtDefault3(
          MakeField(*this, "txtDefault3", &grpAnnotation, 248, 2, 196, kAnnotationTextChars)),
      btnOK(MakeButton(*this, "btnOK", 196, kButtonsTop, "OK", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", 286, kButtonsTop, "Cancel",
                           platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", 376, kButtonsTop, "&Help", platform::ModalResult::None)),
      prompts_{&txtPrompt1, &txtPrompt2, &txtPrompt3},
      defaults_{&txtDefault1, &txtDefault2, &txtDefault3} {
  helpContext = 111;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(468);
  SetClientHeight(333);

  lblObjectName.focusControl = &txtObjectName;
  txtObjectName.maxLength = static_cast<int>(kRefNameChars);
  pnlPreview.bevelOuter = platform::Panel::Bevel::Lowered;
  imgPreview.center = true;
  chkAlwaysHorizontal.SetChecked(true);
  grpAnnotation.tabStop = false;

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  btnHelp.kind = platform::Button::Kind::Help;
}

void TdlgRefEdit::ShowItems(int count) {
  for (int k = 0; k < 3; ++k) {
    prompts_[k]->SetVisible(k < count);
    defaults_[k]->SetVisible(k < count);
  }
}

}  // namespace qxt
