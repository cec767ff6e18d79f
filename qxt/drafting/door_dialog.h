// The door command's dialog: door size, door kind, door group, the extras drawn with each door
// and how the door is placed in the wall. A door-kind button closes it with OK; once doors were
// placed it offers to undo the last one.
#pragma once

#include <array>
#include <string>

#include "platform/forms.h"

namespace qxt {

inline constexpr int kDoorKindCount = 8;
inline constexpr int kDoorSizeCount = 14;
inline constexpr int kDoorGroupCount = 3;
inline constexpr int kDoorHelpTopic = 103;

// A door kind: its button, the button's hint, the symbol code in the door symbol's file name and
// the hand passed to the host when the door is let into the wall (0 left, 1 right, 2 centred).
struct DoorKind {
  const char* button;
  const char* hint;
  const char* code;
  int hand;
};

inline constexpr std::array<DoorKind, kDoorKindCount> kDoorKinds{{
    {"btnLeftDoor", "Press this to insert left-hand swing doors", "DR-L", 0},
    {"btnRightDoor", "Press this to insert right-hand swing doors", "DR-R", 1},
    {"btnLeftFold", "Press this to insert left-hand folding doors", "DR-LF", 0},
    {"btnRightFold", "Press this to insert right-hand folding doors", "DR-RF", 1},
    {"btnPair", "Press this to insert pairs of swing doors", "DR-P", 1},
    {"btnDblEgress", "Press this to insert double-egress doors", "DR-D", 2},
    {"btnBifold", "Press this to insert bifold doors", "DR-F", 1},
    {"btnSliding", "Press this to insert sliding doors", "DR-S", 1},
}};

inline constexpr const char* kDoorSymbolDialogTitle = "Select Door Reference Symbol";
inline constexpr const char* kDoorSymbolDialogFilter =
    "Symbol Files (*.sym)|*.sym|All Files (*.*)|*.*";
inline constexpr const char* kDoorPathsFailed = "HsiGetPaths failed";

class TdlgQXDoor : public platform::Form {
 public:
  TdlgQXDoor();

  // The eight kind buttons, in kind order: the dialog's first eight controls.
  std::array<platform::Button*, kDoorKindCount> kindButtons;
  platform::RadioGroup& rgrpSize;
  platform::GroupBox& grpOptions;
  platform::CheckBox& chkAutoLayer;
  platform::CheckBox& chkWallHeaders;
  platform::CheckBox& chkRefSymbol;
  platform::Edit& txtRefSymbol;
  platform::Button& btnSelectSymbol;
  platform::CheckBox& RefScale;
  platform::Edit& ScaleValue;
  platform::CheckBox& chkDrawJambs;
  platform::Label& lblJambWidth;
  platform::Edit& txtJambWidth;
  platform::GroupBox& grpPlacement;
  platform::RadioButton& rbtnManual;
  platform::RadioButton& rbtnCenter;
  platform::RadioButton& rbtnDistance;
  platform::Edit& txtDistanceFromEnd;
  platform::RadioGroup& rgrpDoorType;
  platform::Button& btnHelp;
  platform::Button& BtnUndoLast;
  platform::Button& btnCancel;

  // The kind of the button that closed the dialog with OK.
  int DoorKindChosen = 0;
  // The host objects the most recent door made (the door and its extras): as many undo commands
  // take it back. 0 when there is nothing to undo.
  int UndoCount = 0;
  // The key symbol was missing once in this run of the command and the user was told.
  bool KeyMissingReported = false;

  void FormCreate();
  void FormShow(platform::Form& sender);
  void SetDoorType(platform::Control& sender);
  void rgrpSizeClick(platform::Control& sender);
  void btnSelectSymbolClick(platform::Control& sender);
  void BtnUndoLastClick(platform::Control& sender);

  // Fills the size list from the door size labels (up to the first empty one) and the door type
  // list from the door group names.
  void FillLists();
  // Loads the controls from the configuration, and writes them back (texts cut to their fields).
  void LoadFromConfig();
  void StoreToConfig() const;
  // The placement method the radio buttons show: 0 manual, 1 centre in wall, 2 distance from end.
  int Placement() const;
};

}  // namespace qxt
