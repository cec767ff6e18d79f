#include "core/setup_form.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "platform/metrics.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 120;
constexpr int kMargin = 8;
constexpr int kNotebookWidth = 520;
constexpr int kNotebookHeight = 400;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kRowHeight = 20;

// Field lengths the stored strings are cut to.
constexpr std::size_t kDoorSizeTextChars = 5;
constexpr std::size_t kDoorSizeCodeChars = 2;
constexpr std::size_t kDoorTypeNameChars = 10;
constexpr std::size_t kPlanDescriptionChars = 30;
constexpr std::size_t kPlanFileChars = 8;
constexpr std::size_t kGroupLabelChars = 20;
constexpr std::size_t kScaleCaptionChars = 15;

// The layers a door's parts may go to.
constexpr int32_t kMinDoorLayer = 0;
constexpr int32_t kMaxDoorLayer = 255;

constexpr const char* kYes = "Yes";
constexpr const char* kNo = "No";

platform::Label& MakeLabel(platform::Form& form, const char* name, platform::Control* parent,
                           int left, int top, int width, const char* caption) {
  return Make<platform::Label>(form, name, parent, left, top, width, 16, caption);
}

platform::StringGrid& MakeGrid(platform::Form& form, const char* name, platform::Control* parent,
                               int left, int top, int width, int height,
                               const std::vector<std::string>& titles, int rows) {
  auto& grid = Make<platform::StringGrid>(form, name, parent, left, top, width, height);
  grid.fixedCols = 0;
  grid.fixedRows = 1;
  grid.SetColCount(static_cast<int>(titles.size()));
  grid.SetRowCount(rows + 1);
  grid.defaultRowHeight = kRowHeight;
  grid.editing = true;
  // The columns share the grid's width less its vertical scroll bar, each at least as wide as
  // its title, so that no title is cut.
  const int count = static_cast<int>(titles.size());
  const int share =
      (width - platform::metrics::VerticalScrollBarWidth - 4) / count - grid.gridLineWidth;
  for (int col = 0; col < count; ++col) {
    grid.SetCell(col, 0, titles[col]);
    grid.SetColWidth(col,
                     std::max(share, platform::metrics::TextWidth(grid.font, titles[col]) + 6));
  }
  return grid;
}

platform::Button& MakeButton(platform::Form& form, const char* name, int left, const char* caption,
                             int modalResult) {
  platform::Button& button =
      Make<platform::Button>(form, name, nullptr, left, 2 * kMargin + kNotebookHeight, kButtonWidth,
                             kButtonHeight, caption);
  button.modalResult = modalResult;
  return button;
}

std::string IntText(int32_t value) { return std::to_string(value); }

// A grid cell read as a whole number; the old value when it is not one.
int32_t CellInt(const platform::StringGrid& grid, int col, int row, int32_t old) {
  return ParseInt32(grid.Cell(col, row)).value_or(old);
}

std::string Cut(const std::string& text, std::size_t chars) { return text.substr(0, chars); }

void FillScales(platform::StringGrid& grid, const ScaleEntry* entries, int rows) {
  for (int i = 0; i < rows; ++i) {
    grid.SetCell(0, i + 1, entries[i].Display.Get());
    grid.SetCell(1, i + 1, RealToText(entries[i].Scale));
  }
}

void StoreScales(const platform::StringGrid& grid, ScaleEntry* entries, int rows) {
  for (int i = 0; i < rows; ++i) {
    entries[i].Display = Cut(grid.Cell(0, i + 1), kScaleCaptionChars);
    entries[i].Scale = TextToReal(grid.Cell(1, i + 1));
  }
}

}  // namespace

TfrmQXSetup::TfrmQXSetup()
    : platform::Form("TfrmQXSetup", "QX Setup"),
      nbkSetup(Make<platform::PageControl>(*this, "nbkSetup", nullptr, kMargin, kMargin,
                                           kNotebookWidth, kNotebookHeight)),
      pageGeneral(nbkSetup.AddPage("&General")),
      pageDoor(nbkSetup.AddPage("QX &Door")),
      pageLeader(nbkSetup.AddPage("QX &Leader")),
      pageDimension(nbkSetup.AddPage("QX &Dimension")),
      pagePlan(nbkSetup.AddPage("QX &Plan")),
      pageScale(nbkSetup.AddPage("QX &Scale")),
      lblBaseDirectory(
          MakeLabel(*this, "lblBaseDirectory", &pageGeneral, 8, 8, 300, "Base Directory:")),
      txtBaseDirectory(
          Make<platform::Edit>(*this, "txtBaseDirectory", &pageGeneral, 8, 26, 400, 21)),
      btnBrowse(Make<platform::Button>(*this, "btnBrowse", &pageGeneral, 416, 24, 80, kButtonHeight,
                                       "&Browse..")),
      rGrpUnitType(Make<platform::RadioGroup>(*this, "rGrpUnitType", &pageGeneral, 8, 60, 200, 160,
                                              "Default &Unit Type")),
      lblSmallestUnit(MakeLabel(*this, "lblSmallestUnit", &pageGeneral, 220, 60, 280,
                                "Smallest unit at &full scale:")),
      txtSmallestUnit(
          Make<platform::Edit>(*this, "txtSmallestUnit", &pageGeneral, 220, 78, 120, 21)),
      lblSymbolScale(MakeLabel(*this, "lblSymbolScale", &pageGeneral, 220, 110, 280,
                               "&Scale factor for symbols at full scale:")),
      txtSymbolScale(
          Make<platform::Edit>(*this, "txtSymbolScale", &pageGeneral, 220, 128, 120, 21)),
      lblDoorSize(
          MakeLabel(*this, "lblDoorSize", &pageDoor, 8, 8, 300, "Door Sizes Configuration:")),
      sgrdDoorSize(MakeGrid(*this, "sgrdDoorSize", &pageDoor, 8, 26, 500, 220,
                            {"Size Label", "Symbol Prefix", "Min. Avail(0-7)", "Max. Avail(0-7)"},
                            kDoorSizeRows)),
      lblDoorTypes(MakeLabel(*this, "lblDoorTypes", &pageDoor, 8, 256, 300,
                             "Door Types/Layers Configuration:")),
      sgrdDoorTypes(MakeGrid(
          *this, "sgrdDoorTypes", &pageDoor, 8, 274, 500, 90,
          {"Description", "Door Layer", "Note Layer", "Wall Layer", "Jamb Layer", "Head Layer"},
          kDoorTypeRows)),
      grpLeaderDialog(Make<platform::GroupBox>(*this, "grpLeaderDialog", &pageLeader, 8, 8, 300, 70,
                                               "&Display QX Leader dialog box")),
      chkDialogBefore(Make<platform::CheckBox>(*this, "chkDialogBefore", &grpLeaderDialog, 8, 18,
                                               280, 20, "&Before drawing leaders")),
      chkDialogAfter(Make<platform::CheckBox>(*this, "chkDialogAfter", &grpLeaderDialog, 8, 42, 280,
                                              20, "&After drawing leaders")),
      chkLeaderHints(Make<platform::CheckBox>(*this, "chkLeaderHints", &pageLeader, 8, 90, 300, 20,
                                              "&Show hints in QX Leader dialog box")),
      btnLeaderSettings(Make<platform::Button>(*this, "btnLeaderSettings", &pageLeader, 8, 124, 120,
                                               kButtonHeight, "&Change Settings")),
      grpDimDialog(Make<platform::GroupBox>(*this, "grpDimDialog", &pageDimension, 8, 8, 300, 70,
                                            "&Display QX Dimension dialog box")),
      chkDimDialogBefore(Make<platform::CheckBox>(*this, "chkDimDialogBefore", &grpDimDialog, 8, 18,
                                                  280, 20, "&Before drawing dimensions")),
      chkDimDialogAfter(Make<platform::CheckBox>(*this, "chkDimDialogAfter", &grpDimDialog, 8, 42,
                                                 280, 20, "&After drawing dimensions")),
      chkDimHints(Make<platform::CheckBox>(*this, "chkDimHints", &pageDimension, 8, 90, 300, 20,
                                           "&Show hints in QX Dimension dialog box")),
      btnDimSettings(Make<platform::Button>(*this, "btnDimSettings", &pageDimension, 8, 124, 120,
                                            kButtonHeight, "&Change Settings")),
      sgrdPlanTypes(MakeGrid(*this, "sgrdPlanTypes", &pagePlan, 8, 8, 500, 280,
                             {"Description", "Layer File", "Ref.Layer File", "Group Option"},
                             kPlanRows)),
      cbxYesNo(Make<platform::ComboBox>(*this, "cbxYesNo", &pagePlan, 0, 0, 64, kRowHeight)),
      lblGroupLabel1(
          MakeLabel(*this, "lblGroupLabel1", &pagePlan, 8, 298, 160, "Group [&1] Label")),
      EditGroupLabel1(Make<platform::Edit>(*this, "EditGroupLabel1", &pagePlan, 8, 316, 160, 21)),
      lblGroupLabel2(
          MakeLabel(*this, "lblGroupLabel2", &pagePlan, 176, 298, 160, "Group [&2] Label")),
      EditGroupLabel2(Make<platform::Edit>(*this, "EditGroupLabel2", &pagePlan, 176, 316, 160, 21)),
      lblGroupLabel3(
          MakeLabel(*this, "lblGroupLabel3", &pagePlan, 344, 298, 160, "&Both [3] Label")),
      EditGroupLabel3(Make<platform::Edit>(*this, "EditGroupLabel3", &pagePlan, 344, 316, 160, 21)),
      lblArchScales(
          MakeLabel(*this, "lblArchScales", &pageScale, 8, 8, 160, "&Architectural Scales:")),
      sgrdArchScales(MakeGrid(*this, "sgrdArchScales", &pageScale, 8, 26, 160, 320,
                              {"Display", "Scale"}, kArchRows)),
      lblEngScales(
          MakeLabel(*this, "lblEngScales", &pageScale, 176, 8, 160, "&Engineering Scales:")),
      sgrdEngScales(MakeGrid(*this, "sgrdEngScales", &pageScale, 176, 26, 160, 240,
                             {"Display", "Scale"}, kEngRows)),
      lblMetricScales(
          MakeLabel(*this, "lblMetricScales", &pageScale, 344, 8, 160, "&Metric Scales:")),
      sgrdMetricScales(MakeGrid(*this, "sgrdMetricScales", &pageScale, 344, 26, 160, 280,
                                {"Display", "Scale"}, kMetricRows)),
      btnOK(MakeButton(*this, "btnOK", kNotebookWidth + kMargin - 3 * kButtonWidth - 2 * kMargin,
                       "OK", platform::ModalResult::None)),
      btnCancel(MakeButton(*this, "btnCancel",
                           kNotebookWidth + kMargin - 2 * kButtonWidth - kMargin, "&Cancel",
                           platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", kNotebookWidth + kMargin - kButtonWidth, "&Help",
                         platform::ModalResult::None)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(2 * kMargin + kNotebookWidth);
  SetClientHeight(3 * kMargin + kNotebookHeight + kButtonHeight);

  txtBaseDirectory.readOnly = true;
  rGrpUnitType.items = {"Foot-&Inch", "&Foot", "I&nch", "&Meter", "&Centimeter", "Mi&llimeter"};
  lblSmallestUnit.focusControl = &txtSmallestUnit;
  lblSymbolScale.focusControl = &txtSymbolScale;
  lblDoorSize.focusControl = &sgrdDoorSize;
  lblDoorTypes.focusControl = &sgrdDoorTypes;
  lblGroupLabel1.focusControl = &EditGroupLabel1;
  lblGroupLabel2.focusControl = &EditGroupLabel2;
  lblGroupLabel3.focusControl = &EditGroupLabel3;
  lblArchScales.focusControl = &sgrdArchScales;
  lblEngScales.focusControl = &sgrdEngScales;
  lblMetricScales.focusControl = &sgrdMetricScales;
  EditGroupLabel1.maxLength = kGroupLabelChars;
  EditGroupLabel2.maxLength = kGroupLabelChars;
  EditGroupLabel3.maxLength = kGroupLabelChars;

  cbxYesNo.style = platform::ComboBox::Style::DropDownList;
  cbxYesNo.items.Assign({kYes, kNo});
  cbxYesNo.Hide();

  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kHelpContext;

  btnBrowse.OnClick = [this](platform::Control& sender) { btnBrowseClick(sender); };
  btnOK.OnClick = [this](platform::Control& sender) { btnOKClick(sender); };
  btnLeaderSettings.OnClick = [this](platform::Control& sender) { btnLeaderSettingsClick(sender); };
  btnDimSettings.OnClick = [this](platform::Control& sender) { btnDimSettingsClick(sender); };
  sgrdPlanTypes.OnSelectCell = [this](platform::Control& sender, int col, int row,
                                      bool& canSelect) {
    sgrdPlanTypesSelectCell(sender, col, row, canSelect);
  };
  cbxYesNo.OnExit = [this](platform::Control& sender) { cbxYesNoExit(sender); };
}

void TfrmQXSetup::FillFromConfig() {
  const QXConfig& config = Config();
  txtBaseDirectory.SetText(config.BaseDirectory.Get());
  rGrpUnitType.SetItemIndex(config.DefaultUnitType);
  txtSmallestUnit.SetText(IntText(config.PointsPerUnit));
  txtSymbolScale.SetText(RealToText(config.SymbolScale));

  for (int i = 0; i < kDoorSizeRows; ++i) {
    sgrdDoorSize.SetCell(0, i + 1, config.DoorSizeText[i].Get());
    sgrdDoorSize.SetCell(1, i + 1, config.DoorSizeCode[i].Get());
    sgrdDoorSize.SetCell(2, i + 1, IntText(config.DoorFirstType[i]));
    sgrdDoorSize.SetCell(3, i + 1, IntText(config.DoorLastType[i]));
  }
  for (int i = 0; i < kDoorTypeRows; ++i) {
    sgrdDoorTypes.SetCell(0, i + 1, config.DoorTypeName[i].Get());
    for (int layer = 0; layer < 5; ++layer)
      sgrdDoorTypes.SetCell(layer + 1, i + 1, IntText(config.DoorLayers[i][layer]));
  }

  chkDialogBefore.SetChecked(config.LeaderDialogBefore != 0);
  chkDialogAfter.SetChecked(config.LeaderDialogAfter != 0);
  chkLeaderHints.SetChecked(config.LeaderHints != 0);
  chkDimDialogBefore.SetChecked(config.DimDialogBefore != 0);
  chkDimDialogAfter.SetChecked(config.DimDialogAfter != 0);
  chkDimHints.SetChecked(config.DimHints != 0);

  for (int i = 0; i < kPlanRows; ++i) {
    const PlanType& plan = config.PlanTypes[i];
    sgrdPlanTypes.SetCell(0, i + 1, plan.Description.Get());
    sgrdPlanTypes.SetCell(1, i + 1, plan.LayerFile.Get());
    sgrdPlanTypes.SetCell(2, i + 1, plan.RefLayerFile.Get());
    sgrdPlanTypes.SetCell(kGroupOptionCol, i + 1, plan.GroupOption == 1 ? kYes : kNo);
  }
  // The drop-down may still be over a cell from an earlier showing.
  cbxYesNo.Hide();
  yesNoRow_ = -1;
  sgrdPlanTypes.SelectCell(1, sgrdPlanTypes.Row());
  EditGroupLabel1.SetText(config.PlanGroupLabels[0].Get());
  EditGroupLabel2.SetText(config.PlanGroupLabels[1].Get());
  EditGroupLabel3.SetText(config.PlanGroupLabels[2].Get());

  FillScales(sgrdArchScales, config.ArchScales, kArchRows);
  FillScales(sgrdEngScales, config.EngScales, kEngRows);
  FillScales(sgrdMetricScales, config.MetricScales, kMetricRows);
}

bool TfrmQXSetup::StoreToConfig() {
  QXConfig& config = Config();
  config.BaseDirectory = txtBaseDirectory.Text();
  config.DefaultUnitType = rGrpUnitType.ItemIndex();

  // A negative smallest unit is as unusable as no number; 0 is taken (the scale command refuses
  // to apply it).
  const std::optional<int32_t> points = ParseInt32(txtSmallestUnit.Text());
  if (!points || *points < 0) {
    ShowWarning(kBadPointsPerUnit);
    nbkSetup.SetPageIndex(0);
    txtSmallestUnit.SetFocus();
    return false;
  }
  config.PointsPerUnit = *points;
  const std::optional<double> symbolScale = ParseReal(txtSymbolScale.Text());
  if (!symbolScale) {
    ShowWarning(kBadSymbolScale);
    nbkSetup.SetPageIndex(0);
    txtSymbolScale.SetFocus();
    return false;
  }
  config.SymbolScale = *symbolScale;

  for (int i = 0; i < kDoorSizeRows; ++i) {
    config.DoorSizeText[i] = Cut(sgrdDoorSize.Cell(0, i + 1), kDoorSizeTextChars);
    config.DoorSizeCode[i] = Cut(sgrdDoorSize.Cell(1, i + 1), kDoorSizeCodeChars);
    config.DoorFirstType[i] = CellInt(sgrdDoorSize, 2, i + 1, config.DoorFirstType[i]);
    config.DoorLastType[i] = CellInt(sgrdDoorSize, 3, i + 1, config.DoorLastType[i]);
  }
  // A door layer must be a layer the host has: a number outside them would put the door on the
  // wall's layer. Nothing of the door tables is stored before every layer cell is checked.
  for (int i = 0; i < kDoorTypeRows; ++i) {
    for (int layer = 0; layer < 5; ++layer) {
      const std::optional<int32_t> number = ParseInt32(sgrdDoorTypes.Cell(layer + 1, i + 1));
      if (number && (*number < kMinDoorLayer || *number > kMaxDoorLayer)) {
        ShowWarning(kBadDoorLayer);
        nbkSetup.SetPageIndex(1);
        sgrdDoorTypes.SelectCell(layer + 1, i + 1);
        sgrdDoorTypes.SetFocus();
        return false;
      }
    }
  }
  for (int i = 0; i < kDoorTypeRows; ++i) {
    config.DoorTypeName[i] = Cut(sgrdDoorTypes.Cell(0, i + 1), kDoorTypeNameChars);
    for (int layer = 0; layer < 5; ++layer)
      config.DoorLayers[i][layer] =
          CellInt(sgrdDoorTypes, layer + 1, i + 1, config.DoorLayers[i][layer]);
  }

  config.LeaderDialogBefore = chkDialogBefore.Checked() ? 1 : 0;
  config.LeaderDialogAfter = chkDialogAfter.Checked() ? 1 : 0;
  config.LeaderHints = chkLeaderHints.Checked() ? 1 : 0;
  config.DimDialogBefore = chkDimDialogBefore.Checked() ? 1 : 0;
  config.DimDialogAfter = chkDimDialogAfter.Checked() ? 1 : 0;
  config.DimHints = chkDimHints.Checked() ? 1 : 0;

  for (int i = 0; i < kPlanRows; ++i) {
    PlanType& plan = config.PlanTypes[i];
    plan.Description = Cut(sgrdPlanTypes.Cell(0, i + 1), kPlanDescriptionChars);
    plan.LayerFile = Cut(sgrdPlanTypes.Cell(1, i + 1), kPlanFileChars);
    plan.RefLayerFile = Cut(sgrdPlanTypes.Cell(2, i + 1), kPlanFileChars);
    plan.GroupOption = sgrdPlanTypes.Cell(kGroupOptionCol, i + 1) == kYes ? 1 : 0;
  }
  config.PlanGroupLabels[0] = Cut(EditGroupLabel1.Text(), kGroupLabelChars);
  config.PlanGroupLabels[1] = Cut(EditGroupLabel2.Text(), kGroupLabelChars);
  config.PlanGroupLabels[2] = Cut(EditGroupLabel3.Text(), kGroupLabelChars);

  StoreScales(sgrdArchScales, config.ArchScales, kArchRows);
  StoreScales(sgrdEngScales, config.EngScales, kEngRows);
  StoreScales(sgrdMetricScales, config.MetricScales, kMetricRows);
  return true;
}

void TfrmQXSetup::btnBrowseClick(platform::Control&) {
  std::string directory = txtBaseDirectory.Text();
  if (platform::SelectDirectory("Select Directory", directory)) txtBaseDirectory.SetText(directory);
}

void TfrmQXSetup::btnOKClick(platform::Control&) {
  // OK pressed with Enter while the drop-down has the focus leaves it without an exit: its choice
  // is taken here so it is not lost.
  CommitYesNo();
  if (!StoreToConfig()) return;
  SaveQXConfig();
  // Whatever the save reported, the new values stay in memory and the form closes.
  SetModalResult(platform::ModalResult::OK);
}

void TfrmQXSetup::btnLeaderSettingsClick(platform::Control&) {
  State().forms->dlgQXLeader->ShowModal();
}

void TfrmQXSetup::btnDimSettingsClick(platform::Control&) {
  State().forms->dlgQXDimension->ShowModal();
}

void TfrmQXSetup::sgrdPlanTypesSelectCell(platform::Control&, int col, int row, bool&) {
  if (col != kGroupOptionCol || row < 1) return;
  const platform::Rect cell = sgrdPlanTypes.CellRect(col, row);
  cbxYesNo.SetBounds(sgrdPlanTypes.Left() + cell.left, sgrdPlanTypes.Top() + cell.top, cell.Width(),
                     cbxYesNo.Height());
  cbxYesNo.SetItemIndex(sgrdPlanTypes.Cell(col, row) == kYes ? 0 : 1);
  yesNoRow_ = row;
  cbxYesNo.Show();
  if (Visible()) cbxYesNo.SetFocus();
}

void TfrmQXSetup::cbxYesNoExit(platform::Control&) { CommitYesNo(); }

void TfrmQXSetup::CommitYesNo() {
  if (!cbxYesNo.Visible() || yesNoRow_ < 1) return;
  sgrdPlanTypes.SetCell(kGroupOptionCol, yesNoRow_, cbxYesNo.Text());
  cbxYesNo.Hide();
}

}  // namespace qxt

QXT_EXPORT void QXSetup() {
  using namespace qxt;
  if (!ToolsReady()) return;
  SwitchHintsOn();
  TfrmQXSetup& form = *State().forms->frmQXSetup;
  form.FillFromConfig();
  form.SetupBackup = Config();
  // Any close but OK (Cancel, Escape, the close box) puts back the whole record, changes made
  // through the leader and dimension dialogs included.
  if (form.ShowModal() != platform::ModalResult::OK) Config() = form.SetupBackup;
  form.SetupBackup = Config();
}
