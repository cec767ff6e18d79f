// The leader command's settings dialog. It edits a working copy of the whole configuration
// record, taken each time it is shown: the controls show the settings record of the leader type
// selected, OK saves them into that record and writes the copy back into the configuration
// record, Cancel drops the copy.
#pragma once

#include <string>
#include <string_view>

#include "core/config.h"
#include "platform/forms.h"

namespace qxt {

inline constexpr const char* kLeaderDialogMessage =
    "QX Leader: Press OK to proceed, Cancel to quit...";
inline constexpr const char* kArrowheadBrowseTitle = "Select Arrowhead Symbol";
inline constexpr const char* kArrowheadBrowseFilter =
    "Symbol Files (*.sym)|*.sym|All Files (*.*)|*.*";
// The notes layer list's items are cut to this many characters.
inline constexpr std::size_t kNotesLayerItemChars = 22;

class TdlgQXLeader : public platform::Form {
 public:
  TdlgQXLeader();

  platform::RadioGroup& rGrpLeaderType;
  platform::Label& lblExtension;
  platform::Edit& txtExtension;
  platform::RadioGroup& rGrpArrowheadType;
  platform::Label& lblSymbolName;
  platform::Edit& txtSymbolName;
  platform::Button& btnBrowse;
  platform::Label& lblAngle;
  platform::Edit& txtAngle;
  platform::Label& lblLength;
  platform::Edit& txtLength;
  platform::Label& lblWeight;
  platform::Edit& txtWeight;
  platform::GroupBox& grpNoteOptions;
  platform::RadioButton& rbtnNoteOptionsNone;
  platform::RadioButton& rbtnNoteOptionsAutoText;
  platform::RadioButton& rbtnNoteOptionsSnapToText;
  platform::Label& lblNotesLayer;
  platform::ComboBox& cbxNotesLayer;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  void FormShow(platform::Form& sender);
  void FormClose(platform::Form& sender, platform::CloseAction& action);
  void rGrpLeaderTypeEnter(platform::Control& sender);
  void rGrpLeaderTypeClick(platform::Control& sender);
  void btnBrowseClick(platform::Control& sender);
  void NoteOptionClick(platform::Control& sender);
  void cbxNotesLayerExit(platform::Control& sender);
  // The check of the extension (not negative) and the arrowhead length (readable).
  void txtLengthExit(platform::Control& sender);
  void btnOKClick(platform::Control& sender);

  // The copy of the configuration record the dialog edits while it is shown.
  const QXConfig& WorkingCopy() const { return copy_; }

  // The layer a typed notes layer stands for: the leading whole number of the text (an optional
  // sign, then the digits up to the first other character; 0 when there are none), clamped to
  // 0..255.
  static int NotesLayerFromText(std::string_view text);
  // A notes layer list item: the layer number, " - " and the layer's name, cut to 22 characters.
  static std::string NotesLayerItem(int layer, const std::string& name);

 private:
  // Shows style record `type` of the working copy in the controls, and saves the controls into
  // it. Lengths are paper lengths converted by the host.
  void LoadStyle(int type);
  void SaveStyle(int type);
  void FillNotesLayers();
  // Checks a length field; after a refusal it has the focus again.
  bool LengthAccepted(platform::Edit& field);
  int SelectedNoteOption() const;

  QXConfig copy_{};
};

}  // namespace qxt
