#include "organise/drawing_dialog.h"

#include <array>
#include <cstring>
#include <utility>

#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/scale_dialog.h"
#include "core/state.h"
#include "organise/plan_dialog.h"
#include "organise/project_manager.h"
#include "platform/files.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 124;
constexpr int kLabelLeft = 8;
constexpr int kFieldLeft = 110;
constexpr int kFieldWidth = 280;
constexpr int kRowHeight = 30;
constexpr int kBrowseWidth = 25;
constexpr int kTypingLimit = 80;

constexpr FieldRows kRows{kLabelLeft, kFieldLeft, kFieldWidth, kRowHeight};

platform::Button& BrowseButton(platform::Form& form, const char* name, int row) {
  platform::Button& button = MakeButton(form, name, "...", platform::ModalResult::None);
  button.SetBounds(kFieldLeft + kFieldWidth - kBrowseWidth, 8 + row * kRowHeight, kBrowseWidth, 23);
  return button;
}

constexpr int kShortField = kFieldWidth - kBrowseWidth - 4;

}  // namespace

TdlgEditDrawings::TdlgEditDrawings()
    : platform::Form("TdlgEditDrawings", "Edit Drawings"),
      lblDrawingName(kRows.Label(*this, "lblDrawingName", "&Drawing Name:", 0)),
      txtDrawingName(kRows.Field<platform::Edit>(*this, "txtDrawingName", 0, kFieldWidth)),
      lblVWFName(kRows.Label(*this, "lblVWFName", "&VWF Filename:", 1)),
      txtVWFName(kRows.Field<platform::Edit>(*this, "txtVWFName", 1, kShortField)),
      btnVWFName(BrowseButton(*this, "btnVWFName", 1)),
      lblLYRName(kRows.Label(*this, "lblLYRName", "&LYR Filename:", 2)),
      txtLYRName(kRows.Field<platform::Edit>(*this, "txtLYRName", 2, kShortField)),
      btnLYRFilename(BrowseButton(*this, "btnLYRFilename", 2)),
      lblBaseScale(kRows.Label(*this, "lblBaseScale", "&Base Scale:", 3)),
      txtBaseScale(kRows.Field<platform::Edit>(*this, "txtBaseScale", 3, 90)),
      btnBaseScale(BrowseButton(*this, "btnBaseScale", 3)),
      lblDescription(kRows.Label(*this, "lblDescription", "D&escription:", 4)),
      mmDescription(kRows.Field<platform::Memo>(*this, "mmDescription", 4, kFieldWidth)),
      OKBtn(MakeButton(*this, "OKBtn", "OK", platform::ModalResult::OK)),
      CancelBtn(MakeButton(*this, "CancelBtn", "Cancel", platform::ModalResult::Cancel)),
      HelpBtn(MakeButton(*this, "HelpBtn", "&Help", platform::ModalResult::None)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  showHint = true;
  btnBaseScale.SetLeft(kFieldLeft + 94);
  for (platform::Edit* field : {&txtDrawingName, &txtVWFName, &txtLYRName, &txtBaseScale})
    field->maxLength = kTypingLimit;
  const std::pair<platform::Control*, const char*> hints[] = {
      {&txtDrawingName, "Enter a description for this drawing"},
      {&txtVWFName, "Press the button at right, or enter a filename for this drawing"},
      {&btnVWFName,
       "Press this button to select from the drawings in the current project directory"},
      {&txtLYRName, "Press the button at right, or enter a default layer file"},
      {&btnLYRFilename, "Press the button to use QX Plan to specify a layer setup"},
      {&txtBaseScale, "Enter a default scale ratio (e.g. \"48\" for 1/4\" = 1'-0\")"},
      {&btnBaseScale, "Press this button to use QX Scale to specify a scale"},
      {&mmDescription, "Enter a description for this drawing"},
  };
  for (const auto& [control, hint] : hints) control->hint = hint;
  lblDrawingName.focusControl = &txtDrawingName;
  lblVWFName.focusControl = &txtVWFName;
  lblLYRName.focusControl = &txtLYRName;
  lblBaseScale.focusControl = &txtBaseScale;
  lblDescription.focusControl = &mmDescription;

  mmDescription.SetHeight(90);
  mmDescription.scrollBars = platform::ScrollBars::Vertical;
  const int buttonsTop = 8 + 4 * kRowHeight + 98;
  int left = kFieldLeft + kFieldWidth - 3 * 83 + 8;
  for (platform::Button* button : {&OKBtn, &CancelBtn, &HelpBtn}) {
    button->SetBounds(left, buttonsTop, 75, 25);
    left += 83;
  }
  OKBtn.isDefault = true;
  CancelBtn.isCancel = true;
  HelpBtn.kind = platform::Button::Kind::Help;
  HelpBtn.helpContext = kHelpContext;
  SetClientWidth(kFieldLeft + kFieldWidth + 8);
  SetClientHeight(buttonsTop + 33);

  dlgVWFName.title = "Select a drawing";
  dlgVWFName.filter = "Tracelon Drawings|*.VWF";
  dlgVWFName.defaultExt = "VWF";
  dlgVWFName.fileMustExist = true;
  dlgVWFName.pathMustExist = true;
  dlgVWFName.noChangeDir = true;

  btnVWFName.OnClick = [this](platform::Control&) { btnVWFNameClick(); };
  btnLYRFilename.OnClick = [this](platform::Control&) { btnLYRFilenameClick(); };
  btnBaseScale.OnClick = [this](platform::Control&) { btnBaseScaleClick(); };
}

void TdlgEditDrawings::Prepare(const std::string& caption, const std::string& name,
                               const std::string& fileName, const std::string& layerFile,
                               const std::string& baseScale, const std::string& description) {
  SetCaption(caption);
  txtDrawingName.SetText(name);
  txtVWFName.SetText(fileName);
  txtLYRName.SetText(layerFile);
  txtBaseScale.SetText(baseScale);
  mmDescription.SetText(description);
  SetActiveControl(&txtDrawingName);
}

void TdlgEditDrawings::btnVWFNameClick() {
  const std::string folder = State().forms->dlgQXProject->mmDrawingsFolder.Text();
  dlgVWFName.initialDir = folder;
  dlgVWFName.fileName.clear();
  if (!dlgVWFName.Execute()) return;
  // The record keeps the file name only, found again in the drawings folder: a drawing picked
  // in another folder would be a different file, or none, when the drawing is loaded.
  const std::string picked = dlgVWFName.fileName;
  if (!platform::SameFileName(
          platform::ExcludeTrailingBackslash(platform::ExtractFilePath(picked)),
          platform::ExcludeTrailingBackslash(platform::ExpandFileName(folder)))) {
    ShowWarning(DrawingOutsideFolder(picked, platform::ExcludeTrailingBackslash(folder)));
    return;
  }
  txtVWFName.SetText(platform::ExtractFileName(picked));
}

std::string DrawingOutsideFolder(const std::string& drawing, const std::string& folder) {
  return "The drawing " + drawing + " is not in the project's drawings folder " + folder + ".";
}

void TdlgEditDrawings::btnLYRFilenameClick() {
  // The exchange buffer holds 64 characters: a longer field text goes in cut short, and when the
  // buffer comes back as it went in (the plan dialog cancelled) the field keeps its whole text.
  std::array<char, kLayerFileBufferChars + 1> buffer{};
  const std::string current = txtLYRName.Text().substr(0, kLayerFileBufferChars);
  std::memcpy(buffer.data(), current.data(), current.size());
  GetLyrFile(buffer.data());
  const std::string chosen(buffer.data(), strnlen(buffer.data(), buffer.size()));
  if (chosen != current) txtLYRName.SetText(chosen);
}

void TdlgEditDrawings::btnBaseScaleClick() {
  const double scale = GetScale();
  if (scale != 0) txtBaseScale.SetText(RealToText(scale));
}

}  // namespace qxt
