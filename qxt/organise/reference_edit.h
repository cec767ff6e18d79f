// Defines or edits one reference object: its description, whether its annotation always reads
// horizontally, and the prompt and default text of each annotation item. The caller fills the
// fields before showing it and reads them after OK.
#pragma once

#include <array>

#include "platform/forms.h"

namespace qxt {

class TdlgRefEdit : public platform::Form {
 public:
  TdlgRefEdit();

  platform::Label& lblObjectName;
  platform::Edit& txtObjectName;
  platform::Label& lblPreview;
  platform::Panel& pnlPreview;
  platform::Image& imgPreview;
  platform::CheckBox& chkAlwaysHorizontal;
  platform::GroupBox& grpAnnotation;
  platform::Label& lblItem;
  platform::Label& lblPrompt;
  platform::Label& lblDefault;
  platform::Label& lblItem1;
  platform::Label& lblItem2;
  platform::Label& lblItem3;
  platform::Edit& txtPrompt1;
  platform::Edit& txtPrompt2;
  platform::Edit& txtPrompt3;
  platform::Edit& txtDefault1;
  platform::Edit& txtDefault2;
  platform::Edit& txtDefault3;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // The prompt and default fields of item k (0 to 2).
  platform::Edit& Prompt(int k) { return *prompts_.at(k); }
  platform::Edit& Default(int k) { return *defaults_.at(k); }
  // Hides every field of the annotation group, then shows those of the first `count` items.
  void ShowItems(int count);

 private:
  std::array<platform::Edit*, 3> prompts_;
  std::array<platform::Edit*, 3> defaults_;
};

}  // namespace qxt
