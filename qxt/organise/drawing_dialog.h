// Edits one drawing of a project's drawing list: name, drawing file, layer file, base scale and
// description. The project manager fills the fields and caption and reads them back after OK;
// the dialog checks nothing.
#pragma once

#include <string>

#include "platform/forms.h"
#include "platform/system.h"

namespace qxt {

class TdlgEditDrawings : public platform::Form {
 public:
  TdlgEditDrawings();

  platform::Label& lblDrawingName;
  platform::Edit& txtDrawingName;
  platform::Label& lblVWFName;
  platform::Edit& txtVWFName;
  platform::Button& btnVWFName;
  platform::Label& lblLYRName;
  platform::Edit& txtLYRName;
  platform::Button& btnLYRFilename;
  platform::Label& lblBaseScale;
  platform::Edit& txtBaseScale;
  platform::Button& btnBaseScale;
  platform::Label& lblDescription;
  platform::Memo& mmDescription;
  platform::Button& OKBtn;
  platform::Button& CancelBtn;
  platform::Button& HelpBtn;
  platform::OpenDialog dlgVWFName;

  // Fills the dialog before it is shown; the name field gets the focus.
  void Prepare(const std::string& caption, const std::string& name, const std::string& fileName,
               const std::string& layerFile, const std::string& baseScale,
               const std::string& description);

  // Picks a drawing file in the project manager's drawings folder (its name only goes into the
  // field); a file picked in another folder is refused with a warning, the field unchanged.
  void btnVWFNameClick();
  // Picks a layer file through the plan dialog.
  void btnLYRFilenameClick();
  // Picks a scale through the scale dialog.
  void btnBaseScaleClick();
};

// "The drawing DRAWING is not in the project's drawings folder FOLDER."
std::string DrawingOutsideFolder(const std::string& drawing, const std::string& folder);

}  // namespace qxt
