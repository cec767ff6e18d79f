#include "core/forms.h"

namespace qxt {

std::unique_ptr<Forms> CreateForms() {
  auto forms = std::make_unique<Forms>();
  forms->frmAboutBox = std::make_unique<TfrmAboutBox>();
  forms->dlgQXDimension = std::make_unique<TdlgQXDimension>();
  forms->dlgDimEdit = std::make_unique<TdlgDimEdit>();
  forms->dlgQXLeader = std::make_unique<TdlgQXLeader>();
  forms->dlgQXText = std::make_unique<TdlgQXText>();
  forms->dlgQXDoor = std::make_unique<TdlgQXDoor>();
  forms->dlgCADTextSettings = std::make_unique<TdlgCADTextSettings>();
  forms->frmQXQText = std::make_unique<TfrmQXQText>();
  forms->frmQXSetup = std::make_unique<TfrmQXSetup>();
  forms->dlgQXPlan = std::make_unique<TdlgQXPlan>();
  forms->dlgQXScale = std::make_unique<TdlgQXScale>();
  forms->dlgQXReference = std::make_unique<TdlgQXReference>();
  forms->dlgRefEdit = std::make_unique<TdlgRefEdit>();
  forms->dlgRefSettings = std::make_unique<TdlgRefSettings>();
  forms->frmQXFix = std::make_unique<TfrmQXFix>();
  forms->frmQXCircle = std::make_unique<TfrmQXCircle>();
  forms->frmQXArc = std::make_unique<TfrmQXArc>();
  forms->dlgQXLayer = std::make_unique<TdlgQXLayer>();
  forms->dlgQXArea = std::make_unique<TdlgQXArea>();
  forms->frmQXMacro = std::make_unique<TfrmQXMacro>();
  forms->frmQXSymbol = std::make_unique<TfrmQXSymbol>();
  forms->dlgSymbolSettings = std::make_unique<TdlgSymbolSettings>();
  forms->dlgEditDrawings = std::make_unique<TdlgEditDrawings>();
  forms->dlgEditProject = std::make_unique<TdlgEditProject>();
  forms->dlgQXProject = std::make_unique<TdlgQXProject>();
  forms->dlgSnapSettings = std::make_unique<TdlgSnapSettings>();
  forms->dlgDefineHierarchy = std::make_unique<TdlgDefineHierarchy>();
  return forms;
}

}  // namespace qxt
