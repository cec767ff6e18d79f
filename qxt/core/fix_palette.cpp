#include "core/fix_palette.h"

#include <string>

#include "hsi/hsi.h"
#include "platform/window_handle.h"

namespace qxt {

namespace {

constexpr int kButtonSize = 34;

platform::SpeedButton& AddFixButton(platform::Form& palette, const std::string& name,
                                    const std::string& hint, int tag) {
  auto& button = palette.Add<platform::SpeedButton>(name);
  button.groupIndex = 1;
  button.tag = tag;
  button.hint = hint;
  button.SetBounds(0, (tag - 1) * kButtonSize, kButtonSize, kButtonSize);
  return button;
}

}  // namespace

TfrmQXFix::TfrmQXFix()
    : platform::Form("TfrmQXFix", "QX Fix"),
      sbtnCorner(AddFixButton(*this, "sbtnCorner", "Fix corner", 1)),
      sbtnCross(AddFixButton(*this, "sbtnCross", "Fix cross", 2)),
      sbtnOpenT(AddFixButton(*this, "sbtnOpenT", "Fix open tee", 3)),
      sbtnClosedT(AddFixButton(*this, "sbtnClosedT", "Fix closed tee", 4)),
      sbtnOpenY(AddFixButton(*this, "sbtnOpenY", "Fix open wye", 5)) {
  helpContext = 117;
  borderStyle = platform::BorderStyle::ToolWindow;
  stayOnTop = true;
  showHint = true;
  for (auto* button : {&sbtnCorner, &sbtnCross, &sbtnOpenT, &sbtnClosedT, &sbtnOpenY}) {
    button->OnClick = [this](platform::Control& sender) { SpeedButtonClick(sender); };
  }
  // One button wide, so the buttons stand in one column.
  SetClientWidth(sbtnCorner.Width());
  SetClientHeight(5 * kButtonSize);
}

std::int32_t TfrmQXFix::FixTypeOfTag(int tag) {
  switch (tag) {
    case 1:
      return kFixCorner;
    case 2:
      return kFixCross;
    case 3:
      return kFixOpenTee;
    case 4:
      return kFixClosedTee;
    case 5:
      return kFixOpenWye;
    default:
      return kFixOpenTee;
  }
}

void TfrmQXFix::PressCurrentType() {
  for (auto* button : {&sbtnCorner, &sbtnCross, &sbtnOpenT, &sbtnClosedT, &sbtnOpenY}) {
    if (FixTypeOfTag(button->tag) == FixType) button->SetDown(true);
  }
}

void TfrmQXFix::SpeedButtonClick(platform::Control& sender) {
  FixType = FixTypeOfTag(sender.tag);
  // The user goes on picking in the drawing.
  platform::SetActiveWindow(HsiGetWindowHandle());
}

}  // namespace qxt
