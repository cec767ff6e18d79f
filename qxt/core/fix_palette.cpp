#include "core/fix_palette.h"

#include <string>

#include "hsi/hsi.h"
#include "platform/window_handle.h"

namespace qxt {

namespace {

constexpr int kButtonSize = 34;

// The button pictures: the junction each kind repairs, its walls drawn as pairs of lines. Tags
// number the buttons from the top: corner, cross, open tee, closed tee, open wye.
platform::Picture JunctionGlyph(int tag) {
  platform::Metafile glyph;
  glyph.width = 24;
  glyph.height = 24;
  switch (tag) {
    case 1:  // two walls meeting in a corner
      glyph.AddPolyline({{6, 2}, {6, 18}, {22, 18}});
      glyph.AddPolyline({{12, 2}, {12, 12}, {22, 12}});
      break;
    case 2:  // two walls crossing, opened into each other
      for (int y : {9, 15}) {
        glyph.AddLine({2, y}, {9, y});
        glyph.AddLine({15, y}, {22, y});
      }
      for (int x : {9, 15}) {
        glyph.AddLine({x, 2}, {x, 9});
        glyph.AddLine({x, 15}, {x, 22});
      }
      break;
    case 3:  // a wall running into another, opened into it
    case 4:  // ... closed off by it
      glyph.AddLine({2, 6}, {22, 6});
      if (tag == 3) {
        glyph.AddLine({2, 12}, {9, 12});
        glyph.AddLine({15, 12}, {22, 12});
      } else {
        glyph.AddLine({2, 12}, {22, 12});
      }
      glyph.AddLine({9, 12}, {9, 22});
      glyph.AddLine({15, 12}, {15, 22});
      break;
    default:  // a wall branching off at an angle, opened into it
      glyph.AddLine({2, 6}, {22, 6});
      glyph.AddLine({2, 12}, {9, 12});
      glyph.AddLine({15, 12}, {22, 12});
      glyph.AddLine({9, 12}, {3, 22});
      glyph.AddLine({15, 12}, {9, 22});
      break;
  }
  return glyph;
}

platform::SpeedButton& AddFixButton(platform::Form& palette, const std::string& name,
                                    const std::string& hint, int tag) {
  auto& button = palette.Add<platform::SpeedButton>(name);
  button.groupIndex = 1;
  button.tag = tag;
  button.hint = hint;
  button.glyph = JunctionGlyph(tag);
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
