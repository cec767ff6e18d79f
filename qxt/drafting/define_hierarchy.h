// Defines one of the snap toolbar's snap hierarchies: snap modes moved from the available list
// to the selected list, in the order they are to be applied.
#pragma once

#include <array>
#include <cstdint>

#include "platform/forms.h"

namespace qxt {

class TdlgDefineHierarchy : public platform::Form {
 public:
  TdlgDefineHierarchy();

  platform::Label& lblSrc;
  platform::ListBox& SrcList;  // "Available Snap Modes"
  platform::Button& IncludeBtn;
  platform::Button& IncAllBtn;
  platform::Button& ExcludeBtn;
  platform::Button& ExAllBtn;
  platform::Label& lblDst;
  platform::ListBox& DstList;  // "Selected Snap Modes"
  platform::Button& btnOK;
  platform::Button& btnCancel;

  // Fills the lists for a stored hierarchy: its modes (up to the first 0) in the selected list
  // in their order, every other mode (1 to 15) in the available list in mode order.
  void Load(const std::int16_t (&hierarchy)[15]);
  // The selected list as a stored hierarchy: its modes in order, the rest of the 15 slots 0.
  void Store(std::int16_t (&hierarchy)[15]) const;

  void IncludeBtnClick();
  void IncAllBtnClick();
  void ExcludeBtnClick();
  void ExAllBtnClick();
  // Enables the arrow buttons that have something to move.
  void SetButtons();

 private:
  // Moves the selected entries of `from` to the end of `to`, from the last to the first.
  static void MoveSelected(platform::ListBox& from, platform::ListBox& to);
  static void MoveAll(platform::ListBox& from, platform::ListBox& to);
  // Gives `list` the focus and selects the entry at `index` (0 when none, the last one when past
  // the end).
  void SetItem(platform::ListBox& list, int index);
  static int FirstSelection(const platform::ListBox& list);
};

}  // namespace qxt
