#include "organise/layer_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "organise_fixture.h"
#include "platform/actions.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using platform::MouseButton;
using platform::ShiftState;

constexpr ShiftState kShift{true, false, false};
constexpr ShiftState kShiftCtrl{true, true, false};
constexpr ShiftState kShiftAlt{true, false, true};

class LayerManagerTest : public testing::LoadedLibrary {
 protected:
  TdlgQXLayer& Dialog() { return *State().forms->dlgQXLayer; }

  // Releases a mouse button over the cell of `layer` (256 is the blank last cell).
  static bool ReleaseOver(platform::Form& form, int layer, MouseButton button = MouseButton::Left,
                          ShiftState shift = {}) {
    return act::MouseCell(form, "sgrdLayer", act::MouseAction::Up, button, (layer - 1) % 16,
                          (layer - 1) / 16, shift);
  }

  uint16_t StateOf(int layer) { return Host().Layer(layer).state; }
  bool On(int layer) { return Host().Layer(layer).On(); }
  std::vector<uint16_t> States() {
    std::vector<uint16_t> states;
    for (int layer = 1; layer <= 255; ++layer) states.push_back(StateOf(layer));
    return states;
  }
  int LayersOn() {
    int count = 0;
    for (int layer = 1; layer <= 255; ++layer) count += On(layer) ? 1 : 0;
    return count;
  }
};

TEST_F(LayerManagerTest, ClickingTheActiveLayerHandsOverToTheNextLayerOnAndClosesTheDialog) {
  Host().SetActiveLayer(5);
  for (int layer = 6; layer <= 9; ++layer) Host().SetLayerOn(layer, false);
  bool closed = false;
  OnForm([&](platform::Form& form) {
    ReleaseOver(form, 5);
    closed = form.ModalDone();
  });
  QXLayer();

  EXPECT_TRUE(closed) << "a plain click closes the dialog at once";
  EXPECT_EQ(Host().ActiveLayer(), 10);
  EXPECT_EQ(StateOf(5), 0xFC20);
  EXPECT_EQ(Host().CallbackTitle(), "QX Layer");
  EXPECT_EQ(Host().MessageLine(), "Select layers to turn off/on...");
  EXPECT_EQ(Host().RedrawCount(), 1);
  EXPECT_EQ(Host().StatusLineUpdates(), 1);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerManagerTest, TheHandOverCountsUpAndWrapsFrom255To1) {
  Host().SetActiveLayer(250);
  for (int layer = 1; layer <= 255; ++layer) {
    if (layer != 250 && layer != 3 && layer != 200) Host().SetLayerOn(layer, false);
  }
  OnForm([](platform::Form& form) { ReleaseOver(form, 250); });
  QXLayer();
  EXPECT_EQ(Host().ActiveLayer(), 3) << "past 255 the search goes on at 1, not back at 200";
  EXPECT_EQ(StateOf(250), 0xFC20);
}

TEST_F(LayerManagerTest, TheOnlyLayerOnIsKeptWithAWarningButStillCountsAsAChange) {
  Host().SetActiveLayer(7);
  for (int layer = 1; layer <= 255; ++layer) {
    if (layer != 7) Host().SetLayerOn(layer, false);
  }
  OnForm([](platform::Form& form) { ReleaseOver(form, 7); });
  QXLayer();

  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Warning!)");
  EXPECT_EQ(user.messages[0].text,
            "Please select a new active layer before turning off the active layer");
  EXPECT_EQ(Host().ActiveLayer(), 7);
  EXPECT_EQ(StateOf(7), HSI_LAYER_ON);
  EXPECT_EQ(LayersOn(), 1);
  EXPECT_EQ(Host().RedrawCount(), 1);
}

TEST_F(LayerManagerTest, ShiftAloneKeepsTheDialogOpenAnyOtherModifierClosesIt) {
  std::vector<bool> closedAfter;
  OnForm([&](platform::Form& form) {
    ReleaseOver(form, 20, MouseButton::Left, kShift);
    closedAfter.push_back(form.ModalDone());
    ReleaseOver(form, 21, MouseButton::Middle, kShift);  // the middle button toggles too
    closedAfter.push_back(form.ModalDone());
    ReleaseOver(form, 20, MouseButton::Left, kShiftCtrl);
    closedAfter.push_back(form.ModalDone());
  });
  QXLayer();
  EXPECT_EQ(closedAfter, (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(On(20)) << "switched off, then on again";
  EXPECT_FALSE(On(21));
  EXPECT_EQ(Host().RedrawCount(), 1);

  OnForm([&](platform::Form& form) {
    ReleaseOver(form, 22, MouseButton::Left, kShiftAlt);
    closedAfter.push_back(form.ModalDone());
  });
  QXLayer();
  EXPECT_TRUE(closedAfter.back());
  EXPECT_FALSE(On(22));
}

TEST_F(LayerManagerTest, TheRightButtonClosesWithoutToggling) {
  OnForm([](platform::Form& form) { ReleaseOver(form, 12, MouseButton::Right); });
  QXLayer();
  EXPECT_TRUE(On(12));
  EXPECT_EQ(Host().RedrawCount(), 0) << "nothing changed, so nothing is redrawn";
  EXPECT_EQ(Host().StatusLineUpdates(), 1);

  // After a Shift-click the right button still closes, and the change is redrawn.
  OnForm([](platform::Form& form) {
    ReleaseOver(form, 12, MouseButton::Left, kShift);
    ReleaseOver(form, 13, MouseButton::Right);
  });
  QXLayer();
  EXPECT_FALSE(On(12));
  EXPECT_TRUE(On(13));
  EXPECT_EQ(Host().RedrawCount(), 1);
}

TEST_F(LayerManagerTest, TheBlankLastCellChangesNothingButCountsAsAChange) {
  const std::vector<uint16_t> before = States();
  bool closed = false;
  OnForm([&](platform::Form& form) {
    ReleaseOver(form, 256);
    closed = form.ModalDone();
  });
  QXLayer();
  EXPECT_TRUE(closed);
  EXPECT_EQ(States(), before);
  EXPECT_EQ(Host().ActiveLayer(), 1);
  EXPECT_EQ(Host().RedrawCount(), 1);
}

TEST_F(LayerManagerTest, AllOffLeavesExactlyTheActiveLayerOnAndAllOnTurnsEveryLayerOn) {
  Host().SetActiveLayer(40);
  Host().SetLayerName(41, "KEEP");
  int onAfterAllOff = 0;
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnAllOff");
    onAfterAllOff = LayersOn();
    act::Click(form, "OK");
  });
  QXLayer();
  EXPECT_EQ(onAfterAllOff, 1);
  EXPECT_TRUE(On(40));
  EXPECT_EQ(StateOf(41), HSI_LAYER_OFF);
  EXPECT_EQ(Host().Layer(41).name, "KEEP") << "only the state words change";
  EXPECT_EQ(Host().RedrawCount(), 1);

  OnForm([](platform::Form& form) { act::Click(form, "All On"); });
  QXLayer();  // closed with Cancel (the close box): the change still counts
  EXPECT_EQ(LayersOn(), 255);
  EXPECT_EQ(Host().RedrawCount(), 2);
}

TEST_F(LayerManagerTest, CellsShowStateActiveLayerAndMarkerAndTheNameUnderTheMouse) {
  Host().SetActiveLayer(2);
  Host().SetLayerOn(3, false);
  Host().SetLayerName(4, "WALLS");
  Host().AddLine({{0, 0}, {1000, 0}}, 4);
  std::string nameOver4, nameOverBlank;
  OnForm([&](platform::Form& form) {
    const platform::Rect cell4 = Dialog().sgrdLayer.CellRect(3, 0);
    act::Mouse(form, "sgrdLayer", act::MouseAction::Move, MouseButton::Left, cell4.Centre());
    nameOver4 = Dialog().lblLayerName.Caption();
    const platform::Rect blank = Dialog().sgrdLayer.CellRect(15, 15);
    act::Mouse(form, "sgrdLayer", act::MouseAction::Move, MouseButton::Left, blank.Centre());
    nameOverBlank = Dialog().lblLayerName.Caption();
  });
  QXLayer();
  EXPECT_EQ(nameOver4, "WALLS");
  EXPECT_EQ(nameOverBlank, "");

  const platform::StringGrid& grid = Dialog().sgrdLayer;
  auto has = [](const std::vector<platform::DrawOp>& ops, auto predicate) {
    return std::any_of(ops.begin(), ops.end(), predicate);
  };
  auto yellowFill = [](const platform::DrawOp& op) {
    return op.kind == platform::DrawOp::Kind::FillRect && op.brushColor == platform::colors::Yellow;
  };
  auto face = [](bool raised) {
    return [raised](const platform::DrawOp& op) {
      return op.kind == platform::DrawOp::Kind::Edge && op.raised == raised;
    };
  };
  auto redDot = [](const platform::DrawOp& op) {
    return op.kind == platform::DrawOp::Kind::Ellipse && op.brushColor == platform::colors::Red;
  };
  const auto& active = grid.CellDrawing(1, 0);
  EXPECT_TRUE(has(active, face(false)));
  EXPECT_TRUE(has(active, yellowFill));
  const auto& off = grid.CellDrawing(2, 0);
  EXPECT_TRUE(has(off, face(true)));
  EXPECT_FALSE(has(off, yellowFill));
  const auto& marked = grid.CellDrawing(3, 0);
  EXPECT_TRUE(has(marked, face(false)));
  EXPECT_FALSE(has(marked, yellowFill));
  ASSERT_TRUE(has(marked, redDot));
  const platform::Rect cell = grid.CellRect(3, 0);
  const auto dot = std::find_if(marked.begin(), marked.end(), redDot);
  EXPECT_EQ(dot->rect,
            (platform::Rect{cell.right - 6, cell.bottom - 6, cell.right - 1, cell.bottom - 1}));
  const auto number = std::find_if(marked.begin(), marked.end(), [](const platform::DrawOp& op) {
    return op.kind == platform::DrawOp::Kind::Text;
  });
  ASSERT_NE(number, marked.end());
  EXPECT_EQ(number->text, "4");
  EXPECT_EQ(number->rect.left, cell.left + 2);
  EXPECT_FALSE(has(grid.CellDrawing(2, 0), redDot));
  EXPECT_TRUE(grid.CellDrawing(15, 15).empty());
}

TEST_F(LayerManagerTest, AllCellsFitTheGridWithoutScrolling) {
  const platform::StringGrid& grid = Dialog().sgrdLayer;
  const platform::Rect last = grid.CellRect(15, 15);
  EXPECT_LE(last.right, grid.Width());
  EXPECT_LE(last.bottom, grid.Height());
  EXPECT_EQ(grid.Cell(0, 0), "1");
  EXPECT_EQ(grid.Cell(14, 15), "255");
  EXPECT_EQ(grid.Cell(15, 15), "");
  EXPECT_GE(Dialog().ClientHeight(), Dialog().btnOK.Top() + Dialog().btnOK.Height());
}

}  // namespace
}  // namespace qxt
