#include "drafting/define_hierarchy.h"

#include <string>

#include "core/numbers.h"

namespace qxt {

namespace {

constexpr int kHierarchySlots = 15;

bool IsSnapMode(int code) { return code >= 1 && code < kSnapModeCount; }

}  // namespace

TdlgDefineHierarchy::TdlgDefineHierarchy()
    : platform::Form("TdlgDefineHierarchy", "Define Snap Hierarchy"),
      lblSrc(Add<platform::Label>("lblSrc")),
      SrcList(Add<platform::ListBox>("SrcList")),
      IncludeBtn(Add<platform::Button>("IncludeBtn")),
      IncAllBtn(Add<platform::Button>("IncAllBtn")),
      ExcludeBtn(Add<platform::Button>("ExcludeBtn")),
      ExAllBtn(Add<platform::Button>("ExAllBtn")),
      lblDst(Add<platform::Label>("lblDst")),
      DstList(Add<platform::ListBox>("DstList")),
      btnOK(Add<platform::Button>("btnOK")),
      btnCancel(Add<platform::Button>("btnCancel")) {
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(352);
  SetClientHeight(260);

  lblSrc.SetCaption("Available Snap Modes");
  lblSrc.focusControl = &SrcList;
  lblSrc.SetBounds(8, 8, 140, 16);
  SrcList.multiSelect = true;
  SrcList.SetBounds(8, 26, 140, 190);
  lblDst.SetCaption("Selected Snap Modes");
  lblDst.focusControl = &DstList;
  lblDst.SetBounds(204, 8, 140, 16);
  DstList.multiSelect = true;
  DstList.SetBounds(204, 26, 140, 190);

  int top = 40;
  for (auto [button, caption] : {std::pair{&IncludeBtn, ">"}, std::pair{&IncAllBtn, ">>"},
                                 std::pair{&ExcludeBtn, "<"}, std::pair{&ExAllBtn, "<<"}}) {
    button->SetCaption(caption);
    button->SetBounds(160, top, 32, 25);
    top += 32;
  }
  IncludeBtn.OnClick = [this](platform::Control&) { IncludeBtnClick(); };
  IncAllBtn.OnClick = [this](platform::Control&) { IncAllBtnClick(); };
  ExcludeBtn.OnClick = [this](platform::Control&) { ExcludeBtnClick(); };
  ExAllBtn.OnClick = [this](platform::Control&) { ExAllBtnClick(); };
  // A double click moves the entries as the arrow of its list does.
  SrcList.OnDblClick = [this](platform::Control&) { IncludeBtnClick(); };
  DstList.OnDblClick = [this](platform::Control&) { ExcludeBtnClick(); };

  btnOK.SetCaption("OK");
  btnOK.modalResult = platform::ModalResult::OK;
  btnOK.isDefault = true;
  btnOK.SetBounds(188, 228, 75, 25);
  btnCancel.SetCaption("Cancel");
  btnCancel.modalResult = platform::ModalResult::Cancel;
  btnCancel.isCancel = true;
  btnCancel.SetBounds(269, 228, 75, 25);
}

void TdlgDefineHierarchy::Load(const std::int16_t (&hierarchy)[15]) {
  SrcList.ClearItems();
  DstList.ClearItems();
  for (int mode = 1; mode < kSnapModeCount; ++mode) SrcList.items.Add(SnapModeName(mode));
  for (int slot = 0; slot < kHierarchySlots && hierarchy[slot] != 0; ++slot) {
    // A code that names no snap mode (a damaged file) is left out rather than shown as a name
    // that would read back as the end of the hierarchy.
    if (!IsSnapMode(hierarchy[slot])) continue;
    const std::string name = SnapModeName(hierarchy[slot]);
    SrcList.SetSelected(SrcList.items.IndexOf(name), true);
    DstList.items.Add(name);
  }
  for (int i = SrcList.items.Count() - 1; i >= 0; --i) {
    if (SrcList.Selected(i)) SrcList.DeleteItem(i);
  }
  SetButtons();
}

void TdlgDefineHierarchy::Store(std::int16_t (&hierarchy)[15]) const {
  int slot = 0;
  for (int i = 0; i < DstList.items.Count() && slot < kHierarchySlots; ++i) {
    const int code = SnapModeCode(DstList.items[i]);
    if (code != 0) hierarchy[slot++] = static_cast<std::int16_t>(code);
  }
  while (slot < kHierarchySlots) hierarchy[slot++] = 0;
}

int TdlgDefineHierarchy::FirstSelection(const platform::ListBox& list) {
  for (int i = 0; i < list.items.Count(); ++i) {
    if (list.Selected(i)) return i;
  }
  return -1;
}

void TdlgDefineHierarchy::MoveSelected(platform::ListBox& from, platform::ListBox& to) {
  // From the last to the first, so entries moved together arrive in reverse order.
  for (int i = from.items.Count() - 1; i >= 0; --i) {
    if (!from.Selected(i)) continue;
    to.items.Add(from.items[i]);
    from.DeleteItem(i);
  }
}

void TdlgDefineHierarchy::MoveAll(platform::ListBox& from, platform::ListBox& to) {
  for (int i = 0; i < from.items.Count(); ++i) to.items.Add(from.items[i]);
  from.ClearItems();
}

void TdlgDefineHierarchy::SetItem(platform::ListBox& list, int index) {
  if (Visible()) list.SetFocus();
  for (int i = 0; i < list.items.Count(); ++i) list.SetSelected(i, false);
  const int last = list.items.Count() - 1;
  if (index < 0) index = 0;
  if (index > last) index = last;
  if (index >= 0) {
    list.SetSelected(index, true);
    list.SetItemIndex(index);
  }
  SetButtons();
}

void TdlgDefineHierarchy::IncludeBtnClick() {
  const int index = FirstSelection(SrcList);
  MoveSelected(SrcList, DstList);
  SetItem(SrcList, index);
}

void TdlgDefineHierarchy::ExcludeBtnClick() {
  const int index = FirstSelection(DstList);
  MoveSelected(DstList, SrcList);
  SetItem(DstList, index);
}

void TdlgDefineHierarchy::IncAllBtnClick() {
  MoveAll(SrcList, DstList);
  SetItem(SrcList, 0);
}

void TdlgDefineHierarchy::ExAllBtnClick() {
  MoveAll(DstList, SrcList);
  SetItem(DstList, 0);
}

void TdlgDefineHierarchy::SetButtons() {
  const bool srcEmpty = SrcList.items.Count() == 0;
  const bool dstEmpty = DstList.items.Count() == 0;
  IncludeBtn.SetEnabled(!srcEmpty);
  IncAllBtn.SetEnabled(!srcEmpty);
  ExcludeBtn.SetEnabled(!dstEmpty);
  ExAllBtn.SetEnabled(!dstEmpty);
}

}  // namespace qxt
