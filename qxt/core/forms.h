// Every dialog and tool window of the library: one instance of each, created once at load in this
// order and destroyed at unload (in the reverse order). A form keeps what the user left in it
// between calls unless its command reloads it.
#pragma once

#include <memory>

#include "core/about_box.h"
#include "core/arc_palette.h"
#include "core/circle_palette.h"
#include "core/fix_palette.h"
#include "core/scale_dialog.h"
#include "core/setup_form.h"
#include "drafting/define_hierarchy.h"
#include "drafting/dimension_dialog.h"
#include "drafting/dimension_edit.h"
#include "drafting/door_dialog.h"
#include "drafting/macro_toolbar.h"
#include "drafting/quick_text.h"
#include "drafting/snap_settings.h"
#include "organise/area_dialog.h"
#include "organise/drawing_dialog.h"
#include "organise/layer_manager.h"
#include "organise/plan_dialog.h"
#include "organise/project_dialog.h"
#include "organise/project_manager.h"
#include "organise/reference_edit.h"
#include "organise/reference_manager.h"
#include "organise/reference_settings.h"
#include "text/cad_text_settings.h"
#include "text/leader_dialog.h"
#include "text/symbol_browser.h"
#include "text/symbol_settings.h"
#include "text/text_dialog.h"

namespace qxt {

struct Forms {
  std::unique_ptr<TfrmAboutBox> frmAboutBox;
  std::unique_ptr<TdlgQXDimension> dlgQXDimension;
  std::unique_ptr<TdlgDimEdit> dlgDimEdit;
  std::unique_ptr<TdlgQXLeader> dlgQXLeader;
  std::unique_ptr<TdlgQXText> dlgQXText;
  std::unique_ptr<TdlgQXDoor> dlgQXDoor;
  std::unique_ptr<TdlgCADTextSettings> dlgCADTextSettings;
  std::unique_ptr<TfrmQXQText> frmQXQText;
  std::unique_ptr<TfrmQXSetup> frmQXSetup;
  std::unique_ptr<TdlgQXPlan> dlgQXPlan;
  std::unique_ptr<TdlgQXScale> dlgQXScale;
  std::unique_ptr<TdlgQXReference> dlgQXReference;
  std::unique_ptr<TdlgRefEdit> dlgRefEdit;
  std::unique_ptr<TdlgRefSettings> dlgRefSettings;
  std::unique_ptr<TfrmQXFix> frmQXFix;
  std::unique_ptr<TfrmQXCircle> frmQXCircle;
  std::unique_ptr<TfrmQXArc> frmQXArc;
  std::unique_ptr<TdlgQXLayer> dlgQXLayer;
  std::unique_ptr<TdlgQXArea> dlgQXArea;
  std::unique_ptr<TfrmQXMacro> frmQXMacro;
  std::unique_ptr<TfrmQXSymbol> frmQXSymbol;
  std::unique_ptr<TdlgSymbolSettings> dlgSymbolSettings;
  std::unique_ptr<TdlgEditDrawings> dlgEditDrawings;
  std::unique_ptr<TdlgEditProject> dlgEditProject;
  std::unique_ptr<TdlgQXProject> dlgQXProject;
  std::unique_ptr<TdlgSnapSettings> dlgSnapSettings;
  std::unique_ptr<TdlgDefineHierarchy> dlgDefineHierarchy;
};

// Creates every form, in order.
std::unique_ptr<Forms> CreateForms();

}  // namespace qxt
