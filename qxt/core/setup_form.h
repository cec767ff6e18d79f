// The setup form: every setting of the configuration on six pages. It is filled from the record,
// edits the record only when OK is pressed (and then writes the file at once), and puts back the
// record as it was when the form opened whenever it closes any other way, including changes
// made through the leader and dimension settings dialogs it opens.
#pragma once

#include <string>

#include "core/config.h"
#include "core/export.h"
#include "platform/forms.h"

namespace qxt {

inline constexpr const char* kBadPointsPerUnit =
    "The text you entered for the Number of points per unit is not a\r\nvalid number.  Please "
    "re-enter a correct value.";
inline constexpr const char* kBadSymbolScale =
    "The text you entered for Symbol Scale is not a valid number.\r\nPlease re-enter a correct "
    "value.";
inline constexpr const char* kBadDoorLayer = "Layer numbers must be between 0 and 255.";

class TfrmQXSetup : public platform::Form {
 public:
  TfrmQXSetup();

  // Rows of the grids (each grid has one fixed title row above them).
  static constexpr int kDoorSizeRows = 14;
  static constexpr int kDoorTypeRows = 3;
  static constexpr int kPlanRows = 48;
  static constexpr int kArchRows = 14;
  static constexpr int kEngRows = 10;
  static constexpr int kMetricRows = 12;
  // The plan grid's Group Option column.
  static constexpr int kGroupOptionCol = 3;

  platform::PageControl& nbkSetup;
  platform::Page& pageGeneral;
  platform::Page& pageDoor;
  platform::Page& pageLeader;
  platform::Page& pageDimension;
  platform::Page& pagePlan;
  platform::Page& pageScale;

  platform::Label& lblBaseDirectory;
  platform::Edit& txtBaseDirectory;
  platform::Button& btnBrowse;
  platform::RadioGroup& rGrpUnitType;
  platform::Label& lblSmallestUnit;
  platform::Edit& txtSmallestUnit;
  platform::Label& lblSymbolScale;
  platform::Edit& txtSymbolScale;

  platform::Label& lblDoorSize;
  platform::StringGrid& sgrdDoorSize;
  platform::Label& lblDoorTypes;
  platform::StringGrid& sgrdDoorTypes;

  platform::GroupBox& grpLeaderDialog;
  platform::CheckBox& chkDialogBefore;
  platform::CheckBox& chkDialogAfter;
  platform::CheckBox& chkLeaderHints;
  platform::Button& btnLeaderSettings;

  platform::GroupBox& grpDimDialog;
  platform::CheckBox& chkDimDialogBefore;
  platform::CheckBox& chkDimDialogAfter;
  platform::CheckBox& chkDimHints;
  platform::Button& btnDimSettings;

  platform::StringGrid& sgrdPlanTypes;
  platform::ComboBox& cbxYesNo;
  platform::Label& lblGroupLabel1;
  platform::Edit& EditGroupLabel1;
  platform::Label& lblGroupLabel2;
  platform::Edit& EditGroupLabel2;
  platform::Label& lblGroupLabel3;
  platform::Edit& EditGroupLabel3;

  platform::Label& lblArchScales;
  platform::StringGrid& sgrdArchScales;
  platform::Label& lblEngScales;
  platform::StringGrid& sgrdEngScales;
  platform::Label& lblMetricScales;
  platform::StringGrid& sgrdMetricScales;

  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // The configuration as it was when the form was shown; put back when it closes without OK.
  QXConfig SetupBackup{};

  // Fills every control from the configuration record.
  void FillFromConfig();
  // Stores the controls into the record in order. False (the dialog stays open) when the points
  // per unit or the symbol scale is refused; the fields stored before it keep their new values.
  bool StoreToConfig();

  void btnBrowseClick(platform::Control& sender);
  void btnOKClick(platform::Control& sender);
  void btnLeaderSettingsClick(platform::Control& sender);
  void btnDimSettingsClick(platform::Control& sender);
  void sgrdPlanTypesSelectCell(platform::Control& sender, int col, int row, bool& canSelect);
  void cbxYesNoExit(platform::Control& sender);

 private:
  // Writes the drop-down's choice into the remembered row and hides it (when it is showing).
  void CommitYesNo();
  int yesNoRow_ = -1;
};

}  // namespace qxt

// The setup command: shows the form; OK stores every setting and writes the configuration file,
// any other way of closing leaves the configuration as it was.
QXT_EXPORT void QXSetup();
