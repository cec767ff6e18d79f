#include "core/about_box.h"

#include "core/command.h"
#include "core/exports.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/state.h"

namespace qxt {

TfrmAboutBox::TfrmAboutBox()
    : platform::Form("TfrmAboutBox", "About QX Tools"),
      lblProductName(Add<platform::Label>("lblProductName")),
      lblVersion(Add<platform::Label>("lblVersion")),
      lblDate(Add<platform::Label>("lblDate")),
      btnOK(Add<platform::Button>("btnOK")) {
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(300);
  SetClientHeight(150);
  lblProductName.SetBounds(16, 16, 268, 17);
  lblVersion.SetBounds(16, 44, 268, 17);
  lblDate.SetBounds(16, 72, 268, 17);
  btnOK.SetCaption("OK");
  btnOK.SetBounds(112, 110, 75, 25);
  btnOK.modalResult = platform::ModalResult::OK;
  btnOK.isDefault = true;
  btnOK.isCancel = true;
}

}  // namespace qxt

QXT_EXPORT void ShowAboutBox() {
  if (!qxt::ToolsReady()) return;
  qxt::SwitchHintsOn();
  qxt::TfrmAboutBox& about = *qxt::State().forms->frmAboutBox;
  about.lblProductName.SetCaption("QX Tools 2002");
  about.lblVersion.SetCaption("Version: QX Tools 2002.2");
  about.lblDate.SetCaption("    Date: 10/19/02");
  about.ShowModal();
}
