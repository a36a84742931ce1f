// The drag tools: moving the layer, the selection or both by drag and by the
// cursor keys, the gradient line and the crop box.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas/tool_scratch.h"
#include "canvas_fixture.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "record/event_store.h"

namespace pg::test {
namespace drag_tools_test {

uint32_t eventsOf(TPaper& doc) { return static_cast<CDocEventRecorder*>(doc.events())->store().committedCount(); }

// A layer pixel at a document point (0 outside the layer's image).
uint32_t layerPixel(TPaper& doc, int32_t x, int32_t y) {
  const CLayerData* l = doc.currentLayer();
  const int32_t lx = x + l->offsetX, ly = y + l->offsetY;
  if (lx < 0 || ly < 0 || lx >= l->imageWidth() || ly >= l->imageHeight()) return 0;
  return l->image->getPixel(lx, ly);
}

uint8_t selectionAt(TPaper& doc, int32_t x, int32_t y) {
  TPoint off{};
  const CBlockVCH* m = doc.selectionImage(off);
  return m == nullptr ? 0 : m->getPixelOr0(x + off.X, y + off.Y);
}

TPoint at(CanvasFixture& f, float x, float y) { return toPointRounded(f.shown({x, y})); }

// A fixture whose layer holds one red marker pixel at (100, 100).
struct MoveFixture : CanvasFixture {
  MoveFixture() {
    CLayerData* l = doc().currentLayer();
    EXPECT_TRUE(l->image->setPixel(100 + l->offsetX, 100 + l->offsetY, 0xFFFF0000u));
  }
};

constexpr uint32_t kRed = 0xFFFF0000u;

TEST(DragGeometry, SnappingAndConstraints) {
  struct Snap {
    float zoom;
    bool exact;
    TPoint in, out;
  };
  const Snap snaps[] = {
      {1.0f, true, {7, 9}, {7, 9}},   {1.0f, false, {7, 9}, {7, 9}},  {2.0f, true, {7, 9}, {6, 8}},
      {2.0f, false, {7, 9}, {3, 5}},  {3.0f, true, {-7, 10}, {-6, 9}}, {3.0f, false, {10, 10}, {5, 5}},
  };
  for (const Snap& s : snaps) EXPECT_EQ(snapToViewGrid(s.in, s.zoom, s.exact), s.out) << s.zoom << " " << s.exact;
  // A line at 44 degrees becomes 45 degrees with its length kept.
  const double a44 = 44.0 * std::numbers::pi / 180.0;
  const TPointF end = snapTo15Degrees({0, 0}, {static_cast<float>(100 * std::cos(a44)), static_cast<float>(100 * std::sin(a44))});
  EXPECT_NEAR(std::atan2(end.Y, end.X) * 180.0 / std::numbers::pi, 45.0, 0.01);
  EXPECT_NEAR(std::hypot(end.X, end.Y), 100.0, 0.01);
  EXPECT_EQ(constrainedCorner({10, 10}, {4, 30}, true), (TPointF{-10, 30}));
  EXPECT_EQ(constrainedCorner({10, 10}, {4, 30}, false), (TPointF{4, 30}));
}

TEST(LayerMove, ADragIsOneRecordedStepThatUndoesExactly) {
  MoveFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  const uint32_t before = eventsOf(f.doc());
  f.drag({at(f, 50, 50), at(f, 60, 55), at(f, 80, 60)});
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  EXPECT_EQ(layerPixel(f.doc(), 130, 110), kRed);
  EXPECT_NE(layerPixel(f.doc(), 100, 100), kRed);
  EXPECT_TRUE(f.window->isModified());
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), kRed);
  EXPECT_NE(layerPixel(f.doc(), 130, 110), kRed);
}

TEST(LayerMove, TheInfoPanelShowsTheOffsetAndTheGradientItsVector) {
  MoveFixture f;
  std::vector<std::pair<int32_t, TPointF>> shown;
  f.shared.onToolInfo = [&](int32_t mode, TPointF v) { shown.emplace_back(mode, v); };
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  f.drag({at(f, 50, 50), at(f, 80, 60)});
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front(), (std::pair<int32_t, TPointF>{4, {0, 0}}));
  EXPECT_EQ(shown.back(), (std::pair<int32_t, TPointF>{4, {30, 10}}));
  shown.clear();
  ASSERT_TRUE(f.shared.selectTool(ToolId::Gradation));
  f.drag({at(f, 50, 50), at(f, 80, 90)});
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front().first, 2);
  EXPECT_EQ(shown.back().first, 3);
  EXPECT_NEAR(shown.back().second.X, 30.0f, 0.01f);
  EXPECT_NEAR(shown.back().second.Y, 40.0f, 0.01f);
}

TEST(LayerMove, ReleaseAtThePressAndEscapeChangeNothing) {
  MoveFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  const uint32_t before = eventsOf(f.doc());
  f.drag({at(f, 50, 50), at(f, 90, 90), at(f, 50, 50)});
  // Escape in the middle of a drag puts the layer back; the release is void.
  f.window->mouseDown(PointerButton::Left, kLeftBit, at(f, 50, 50), false);
  f.window->mouseMove(kLeftBit, at(f, 70, 80));
  EXPECT_EQ(layerPixel(f.doc(), 120, 130), kRed);
  f.window->keyDown(keys::kEscape, false);
  f.window->mouseUp(PointerButton::Left, 0, at(f, 70, 80));
  EXPECT_EQ(eventsOf(f.doc()), before);
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), kRed);
  EXPECT_FALSE(f.window->isModified());
  EXPECT_FALSE(f.window->canUndo());
}

TEST(LayerMove, CursorKeysMoveInOneRecordedStep) {
  struct Case {
    bool shift;
    int32_t finish;  // Enter applies, Escape cancels, 0: the tool window's button (applies)
    int32_t moved;
  };
  const Case cases[] = {
      {false, keys::kEnter, 3}, {true, keys::kEnter, 30}, {false, keys::kEscape, 0}, {false, 0, 3}};
  for (const Case& c : cases) {
    MoveFixture f;
    int32_t modeChanges = 0;
    f.shared.onKeyMoveMode = [&](TDrawWindow&) { ++modeChanges; };
    ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
    SKeyState k;
    k.shift = c.shift;
    f.window->setKeyState(k);
    const uint32_t before = eventsOf(f.doc());
    for (int i = 0; i < 3; ++i) f.window->keyDown(keys::kRight, false);
    EXPECT_TRUE(f.window->isBusy());
    EXPECT_TRUE(f.window->inKeyMoveMode());
    EXPECT_EQ(f.shared.currentTool(), ToolId::LayerKeyMove);
    if (c.finish != 0)
      f.window->keyDown(c.finish, false);
    else
      f.window->endKeyMoveMode();
    EXPECT_FALSE(f.window->isBusy());
    EXPECT_FALSE(f.window->inKeyMoveMode());
    EXPECT_EQ(modeChanges, 2);  // on and off
    EXPECT_EQ(f.shared.currentTool(), ToolId::LayerMove);
    EXPECT_EQ(eventsOf(f.doc()), before + (c.moved != 0 ? 1u : 0u)) << c.moved;
    EXPECT_EQ(layerPixel(f.doc(), 100 + c.moved, 100), kRed) << c.moved;
    if (c.moved != 0) {
      ASSERT_TRUE(f.window->undo());
      EXPECT_EQ(layerPixel(f.doc(), 100, 100), kRed);
    }
  }
}

TEST(LayerMove, EndingTheKeyModeOutsideItChangesNothing) {
  MoveFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  const uint32_t before = eventsOf(f.doc());
  f.window->endKeyMoveMode();
  EXPECT_EQ(eventsOf(f.doc()), before);
  EXPECT_EQ(f.shared.currentTool(), ToolId::LayerMove);
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), kRed);
}

TEST(LayerMove, AToolChangeAppliesAPendingKeyMove) {
  MoveFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  f.window->keyDown(keys::kDown, false);
  ASSERT_TRUE(f.shared.selectTool(ToolId::Brush));
  EXPECT_FALSE(f.window->isBusy());
  EXPECT_EQ(layerPixel(f.doc(), 100, 101), kRed);
}

TEST(LayerMove, MovesFarBeyondTheImageAreSafe) {
  MoveFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::LayerMove));
  f.window->setZoomRatio(1, 16, {200, 150});
  // 10,000 pixels and more at 1/16: the move is made or refused, never a crash,
  // and whatever was made undoes.
  f.drag({at(f, 0, 0), at(f, 10000, 0)});
  f.drag({at(f, 0, 0), at(f, 0, -12000)});
  while (f.window->canUndo()) ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), kRed);
}

TEST(SelectionMove, TheOutlineFollowsAndTheReleaseMovesTheSelection) {
  CanvasFixture f;
  TPaper& doc = f.doc();
  ASSERT_TRUE(doc.maskFigureRect(f.window->flow(), doc.currentLayerIndex(), {20, 20}, {60, 60}, 0,
                                 f.shared.toolStroke(), true));
  ASSERT_EQ(selectionAt(doc, 30, 30), 255);
  for (ToolId tool : {ToolId::SelectionMove, ToolId::LayerMoveWithSelection}) {
    ASSERT_TRUE(f.shared.selectTool(tool));
    const uint32_t before = eventsOf(doc);
    f.drag({at(f, 30, 30), at(f, 60, 40), at(f, 130, 30)});
    EXPECT_EQ(eventsOf(doc), before + 1);
    EXPECT_EQ(selectionAt(doc, 130, 30), 255);
    EXPECT_EQ(selectionAt(doc, 30, 30), 0);
    ASSERT_TRUE(f.window->undo());
    EXPECT_EQ(selectionAt(doc, 30, 30), 255);
    EXPECT_EQ(selectionAt(doc, 130, 30), 0);
  }
}

TEST(SelectionMove, EscapePutsTheOutlineBack) {
  CanvasFixture f;
  TPaper& doc = f.doc();
  ASSERT_TRUE(doc.maskFigureRect(f.window->flow(), doc.currentLayerIndex(), {20, 20}, {60, 60}, 0,
                                 f.shared.toolStroke(), true));
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectionMove));
  const uint32_t before = eventsOf(doc);
  f.window->mouseDown(PointerButton::Left, kLeftBit, at(f, 30, 30), false);
  const TPoint origin = doc.masks()->getAntsOrigin();
  f.window->mouseMove(kLeftBit, at(f, 90, 70));
  EXPECT_EQ(doc.masks()->getAntsOrigin(), (TPoint{origin.X + 60, origin.Y + 40}));
  f.window->keyDown(keys::kEscape, false);
  EXPECT_EQ(doc.masks()->getAntsOrigin(), origin);
  f.window->mouseUp(PointerButton::Left, 0, at(f, 90, 70));
  EXPECT_EQ(eventsOf(doc), before);
  EXPECT_EQ(selectionAt(doc, 30, 30), 255);
}

TEST(Gradient, ShiftSnapsTo15DegreesKeepingTheLength) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::Gradation));
  const double a = 44.0 * std::numbers::pi / 180.0;
  const TPoint end = at(f, static_cast<float>(100 + 100 * std::cos(a)), static_cast<float>(100 + 100 * std::sin(a)));
  const uint32_t before = eventsOf(f.doc());
  f.drag({at(f, 100, 100), end}, kShiftBit);
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  SFixPoint p0{}, p1{};
  f.doc().getGradientPoints(p0, p1);
  const double dx = (p1.X - p0.X) / 65536.0, dy = (p1.Y - p0.Y) / 65536.0;
  EXPECT_NEAR(std::atan2(dy, dx) * 180.0 / std::numbers::pi, 45.0, 0.5);
  EXPECT_NEAR(std::hypot(dx, dy), 100.0, 1.5);
  EXPECT_TRUE(f.window->canUndo());
}

TEST(Crop, TheBoxIsClippedAndAnEmptyBoxDoesNothing) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::Crop));
  const uint32_t before = eventsOf(f.doc());
  // No size: nothing.
  f.drag({at(f, 50, 50), at(f, 50, 90)});
  EXPECT_EQ(f.doc().width(), 400);
  EXPECT_EQ(eventsOf(f.doc()), before);
  // Partly outside: clipped to the image.
  f.drag({at(f, 300, 200), at(f, 450, 350)});
  EXPECT_EQ(f.doc().width(), 100);
  EXPECT_EQ(f.doc().height(), 100);
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(f.doc().width(), 400);
}

TEST(Crop, TheExtensionKeyGrowsTheCanvasToTheBox) {
  // Alt in the first shortcut mode, Shift in the second (where Shift also
  // makes the box a square).
  for (const int32_t mode : {0, 1}) {
    CanvasFixture f;
    f.shared.prefs.shortcutMode = mode;
    ASSERT_TRUE(f.shared.selectTool(ToolId::Crop));
    CLayerData& layer = *f.doc().currentLayer();
    EXPECT_TRUE(layer.image->setPixel(310, 205, 0xFF123456u));
    const uint32_t before = eventsOf(f.doc());
    f.drag({at(f, 300, 200), at(f, 450, 350)}, mode == 0 ? kAltBit : kShiftBit);
    EXPECT_EQ(f.doc().width(), 150) << mode;
    EXPECT_EQ(f.doc().height(), 150) << mode;
    EXPECT_EQ(eventsOf(f.doc()), before + 1) << mode;
    const CLayerData& cropped = *f.doc().currentLayer();
    EXPECT_EQ(cropped.image->getPixel(10 + cropped.offsetX, 5 + cropped.offsetY), 0xFF123456u) << mode;
    ASSERT_TRUE(f.window->undo());
    EXPECT_EQ(f.doc().width(), 400) << mode;
    // A box wholly beside the image does nothing, held key or not.
    f.drag({at(f, 420, 20), at(f, 480, 60)}, mode == 0 ? kAltBit : kShiftBit);
    EXPECT_EQ(f.doc().width(), 400) << mode;
  }
}

}  // namespace drag_tools_test
}  // namespace pg::test
