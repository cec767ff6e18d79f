#include "text/symbol_command.h"

#include "core/command.h"
#include "core/forms.h"
#include "core/state.h"
#include "platform/system.h"
#include "text/symbol_browser.h"
#include "text/symbol_placement.h"

namespace qxt {

namespace {

// One run of the command, from the main menu. Returns true when the user asked for a fresh start
// at the main menu ("Symbol Menu").
bool RunSymbolCommand() {
  // Entry check, interlock (code 4); every way out updates the status line and releases it.
  ToolRun run(kSymbolTool, ToolRun::Announce::Later);
  if (!run.Started()) return false;
  TfrmQXSymbol& browser = *State().forms->frmQXSymbol;
  browser.StartRun();
  platform::Application().showHint = true;
  platform::Application().hintPause = 1000;

  if (!browser.LoadMainMenu()) return false;
  run.AnnounceTool();

  while (browser.ShowModal() == platform::ModalResult::OK) {
    const SymbolCell cell = browser.ChosenCell();
    const bool again = cell.Kind == kPlaceCell ? PlaceSymbol(cell, browser.GroupMode())
                                               : InsertSymbolIntoLines(cell);
    if (!again) break;
  }
  return browser.RestartRequested();
}

}  // namespace

}  // namespace qxt

QXT_EXPORT void QXSymbol() {
  while (qxt::RunSymbolCommand()) {
  }
}
