#include "text/text_command.h"

#include "core/command.h"
#include "core/forms.h"
#include "core/state.h"
#include "text/place_text.h"
#include "text/text_dialog.h"

QXT_EXPORT void QXText() {
  using namespace qxt;
  // Entry check, interlock (code 3) and the announcement; every way out updates the status
  // line and releases the interlock.
  ToolRun run(kTextTool);
  if (!run.Started()) return;
  SwitchHintsOn();

  TdlgQXText& dialog = *State().forms->dlgQXText;
  dialog.SetCaption("QX Text");
  dialog.btnCancel.SetCaption("Cancel");
  for (;;) {
    if (dialog.ShowModal() != platform::ModalResult::OK) break;
    // TrueType text is one document made of the typed lines: the memo stops wrapping while
    // the text is placed.
    const bool trueType = Config().TextMode == 1;
    if (trueType) {
      dialog.mmText.wordWrap = false;
      dialog.mmText.alignment = platform::Alignment::Left;
    }
    if (!PlaceText(dialog.mmText)) break;
    if (trueType) {
      dialog.mmText.wordWrap = true;
      dialog.mmText.alignment = AlignmentForItem(Config().TTJust);
    }
    dialog.btnCancel.SetCaption("Close");
  }
}
