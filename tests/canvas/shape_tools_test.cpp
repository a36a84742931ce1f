// The shape tools: rectangles, ellipses, polygons and freehand areas drawn
// with the brush, filled, or put into the selection.
#include <gtest/gtest.h>

#include <vector>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas/temporary_tools.h"
#include "canvas/tool_scratch.h"
#include "canvas_fixture.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "record/event_store.h"

namespace pg::test {
namespace shape_tools_test {

uint32_t eventsOf(TPaper& doc) { return static_cast<CDocEventRecorder*>(doc.events())->store().committedCount(); }

uint32_t layerPixel(TPaper& doc, int32_t x, int32_t y) {
  const CLayerData* l = doc.currentLayer();
  return l->image->getPixel(x + l->offsetX, y + l->offsetY) & 0xFFFFFFu;
}

uint8_t selectionAt(TPaper& doc, int32_t x, int32_t y) {
  TPoint off{};
  const CBlockVCH* m = doc.selectionImage(off);
  return m == nullptr ? 0 : m->getPixelOr0(x + off.X, y + off.Y);
}

TPoint at(CanvasFixture& f, float x, float y) { return toPointRounded(f.shown({x, y})); }

void click(CanvasFixture& f, TPoint p) {
  f.window->mouseDown(PointerButton::Left, kLeftBit, p, false);
  f.window->mouseUp(PointerButton::Left, 0, p);
}

void doubleClick(CanvasFixture& f, TPoint p) {
  click(f, p);
  f.window->mouseDown(PointerButton::Left, kLeftBit | kDoubleBit, p, true);
  f.window->mouseUp(PointerButton::Left, 0, p);
}

TEST(SelectShapes, ARectangleByDragIsOneStepAndUndoes) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  const uint32_t before = eventsOf(f.doc());
  f.drag({at(f, 20, 30), at(f, 50, 50), at(f, 120, 90)});
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  EXPECT_EQ(selectionAt(f.doc(), 60, 60), 255);
  EXPECT_EQ(selectionAt(f.doc(), 130, 60), 0);
  EXPECT_EQ(selectionAt(f.doc(), 60, 95), 0);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(selectionAt(f.doc(), 60, 60), 0);
}

TEST(SelectShapes, ShiftSquaresOnlyWithoutASelectionAndThenAdds) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  // No selection yet: Shift squares the 100 x 40 drag to 100 x 100.
  f.drag({at(f, 10, 10), at(f, 110, 50)}, kShiftBit);
  EXPECT_EQ(selectionAt(f.doc(), 50, 90), 255);
  // With a selection Shift adds a rectangle, not a square.
  f.drag({at(f, 200, 10), at(f, 300, 50)}, kShiftBit);
  EXPECT_EQ(selectionAt(f.doc(), 250, 30), 255);
  EXPECT_EQ(selectionAt(f.doc(), 250, 90), 0);
  EXPECT_EQ(selectionAt(f.doc(), 50, 90), 255);
}

TEST(SelectShapes, AClickOutsideTheSelectionClearsIt) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  f.drag({at(f, 10, 10), at(f, 60, 60)});
  ASSERT_TRUE(f.doc().hasSelection());
  click(f, at(f, 30, 30));  // inside: kept
  EXPECT_TRUE(f.doc().hasSelection());
  click(f, at(f, 200, 200));
  EXPECT_FALSE(f.doc().hasSelection());
}

// A polygon closed by a double click and a lasso released away from its
// start give the region the polygon filler gives on the same points.
TEST(SelectShapes, PolygonAndLassoMatchThePolygonFiller) {
  const std::vector<TPointF> points = {{40, 40}, {200, 60}, {150, 200}, {60, 160}};
  CanvasFixture ref;
  std::vector<TPointF> imagePoints;
  for (const TPointF& p : points) imagePoints.push_back(ref.window->clientToImage(toPointF(at(ref, p.X, p.Y))));
  ASSERT_TRUE(ref.doc().maskFigurePolygon(ref.window->flow(), 0, static_cast<int32_t>(imagePoints.size()),
                                          imagePoints.data(), 0, ref.shared.toolStroke(), true));
  const auto sameRegion = [&](CanvasFixture& f, const char* what) {
    int differ = 0;
    for (int32_t y = 0; y < 240; y += 3)
      for (int32_t x = 0; x < 240; x += 3) differ += selectionAt(f.doc(), x, y) != selectionAt(ref.doc(), x, y);
    EXPECT_EQ(differ, 0) << what;
  };
  {
    CanvasFixture f;
    ASSERT_TRUE(f.shared.selectTool(ToolId::SelectPolygon));
    const uint32_t before = eventsOf(f.doc());
    for (size_t i = 0; i + 1 < points.size(); ++i) click(f, at(f, points[i].X, points[i].Y));
    doubleClick(f, at(f, points.back().X, points.back().Y));
    EXPECT_EQ(eventsOf(f.doc()), before + 1);
    EXPECT_EQ(f.window->toolState().inputState, 0);
    sameRegion(f, "polygon");
  }
  {
    CanvasFixture f;
    ASSERT_TRUE(f.shared.selectTool(ToolId::SelectFreehand));
    f.drag({at(f, 40, 40), at(f, 200, 60), at(f, 150, 200), at(f, 60, 160)});
    sameRegion(f, "lasso");
  }
}

TEST(SelectShapes, RightClickAndEscapeTakePolygonPointsBack) {
  CanvasFixture f;
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectPolygon));
  click(f, at(f, 40, 40));
  EXPECT_NE(f.window->toolState().inputState & input::kAnchorLocked, 0);
  f.window->mouseDown(PointerButton::Right, kRightBit, at(f, 80, 80), false);
  f.window->mouseUp(PointerButton::Right, 0, at(f, 80, 80));
  EXPECT_EQ(f.window->toolState().inputState & input::kAnchorLocked, 0);
  click(f, at(f, 40, 40));
  click(f, at(f, 140, 40));
  f.window->keyDown(keys::kEscape, false);
  EXPECT_EQ(f.window->toolState().inputState, 0);
  EXPECT_FALSE(f.doc().hasSelection());
}

TEST(FillShapes, AFilledEllipseByDragAndTooSmallOnes) {
  CanvasFixture f;
  f.shared.setMainColor(0x0000FF);
  ASSERT_TRUE(f.shared.selectTool(ToolId::FillEllipse));
  const uint32_t before = eventsOf(f.doc());
  f.drag({at(f, 100, 100), at(f, 105, 105)});  // below 16 window pixels
  EXPECT_EQ(eventsOf(f.doc()), before);
  f.drag({at(f, 100, 100), at(f, 150, 150), at(f, 200, 160)});
  EXPECT_EQ(eventsOf(f.doc()), before + 1);
  EXPECT_EQ(layerPixel(f.doc(), 150, 130), 0x0000FFu);
  EXPECT_EQ(layerPixel(f.doc(), 102, 102), 0xFFFFFFu);  // the box's corner lies outside
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(layerPixel(f.doc(), 150, 130), 0xFFFFFFu);
}

TEST(BrushShapes, OutlinesAreOneStrokeEvenWithTheConstrainKeyHeld) {
  CanvasFixture f;
  f.shared.setMainColor(0x000000);
  ASSERT_TRUE(f.shared.selectTool(ToolId::BrushRectangle));
  SKeyState k;
  k.shift = true;
  f.window->setKeyState(k);
  f.drag({at(f, 50, 50), at(f, 150, 100)}, kShiftBit);
  // Squared: the far corner is (150, 150).
  EXPECT_LT(layerPixel(f.doc(), 100, 50) & 0xFF, 0x80u);
  EXPECT_LT(layerPixel(f.doc(), 150, 120) & 0xFF, 0x80u);
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), 0xFFFFFFu);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(layerPixel(f.doc(), 100, 50), 0xFFFFFFu);
  f.window->setKeyState(SKeyState{});
}

TEST(BrushShapes, SpaceFinishesAMultiLineAtItsLastPoint) {
  CanvasFixture f;
  f.shared.setMainColor(0x000000);
  ASSERT_TRUE(f.shared.selectTool(ToolId::BrushMultiLine));
  click(f, at(f, 50, 50));
  click(f, at(f, 150, 50));
  click(f, at(f, 150, 150));
  f.window->keyDown(keys::kSpace, false);
  EXPECT_EQ(f.window->toolState().inputState & input::kAnchorLocked, 0);
  EXPECT_LT(layerPixel(f.doc(), 100, 50) & 0xFF, 0x80u);
  EXPECT_LT(layerPixel(f.doc(), 150, 100) & 0xFF, 0x80u);
  EXPECT_EQ(layerPixel(f.doc(), 100, 100), 0xFFFFFFu);  // open: no closing edge
}

TEST(SelectShapes, TheCursorFollowsTheKeysAndTheSelection) {
  struct Case {
    bool hasSelection, inside, shift, alt, ctrl;
    int32_t mode;
    bool other;
    int32_t cursor;
  };
  const Case cases[] = {
      {false, false, true, false, false, 0, false, 5},  // no selection: plain
      {false, false, false, false, false, 0, true, 5},  // ... of the first set whatever the preference
      {true, false, true, false, false, 0, false, 6},   // Shift adds
      {true, false, true, false, false, 0, true, 35},
      {true, true, false, false, false, 0, false, 9},   // over the selection: move
      {true, true, false, true, false, 0, false, 7},    // Alt subtracts in mode 0
      {true, false, true, true, false, 0, true, 37},    // Shift+Alt intersects
      {true, false, false, false, true, 1, false, 7},   // Ctrl subtracts in mode 1
      {true, false, false, true, false, 1, true, 34},   // Alt means nothing in mode 1
  };
  for (const Case& c : cases) {
    STempToolContext ctx;
    ctx.current = ToolId::SelectRectangle;
    ctx.hasSelection = c.hasSelection;
    ctx.pointerInSelection = c.inside;
    ctx.shortcutMode = c.mode;
    SKeyState k;
    k.shift = c.shift;
    k.alt = c.alt;
    k.ctrl = c.ctrl;
    EXPECT_EQ(selectionShapeCursor(ctx, k, c.other).number, c.cursor) << c.cursor;
  }
}

TEST(SelectShapes, TheAutomaticSelectionTakesItsOwnCursorsFromTheKeys) {
  struct Case {
    bool hasSelection, inside, shift, alt, ctrl;
    int32_t mode;
    bool other;
    int32_t cursor;
  };
  const Case cases[] = {
      {false, false, false, false, false, 0, false, 22},  // no selection
      {false, false, true, true, false, 0, true, 22},
      {true, false, false, false, false, 0, false, 22},  // no keys
      {true, true, false, false, false, 0, false, 22},   // over the selection: no move cursor
      {true, true, false, false, false, 0, true, 34},
      {true, false, true, false, false, 0, false, 23},   // Shift adds
      {true, false, true, false, false, 0, true, 35},
      {true, false, false, true, false, 0, false, 24},   // Alt subtracts in mode 0
      {true, false, false, false, true, 1, true, 36},    // Ctrl in mode 1
      {true, false, true, true, false, 0, false, 25},    // Shift+Alt intersects
      {true, false, true, false, true, 1, true, 37},
  };
  for (const Case& c : cases) {
    STempToolContext ctx;
    ctx.current = ToolId::AutoSelect;
    ctx.hasSelection = c.hasSelection;
    ctx.pointerInSelection = c.inside;
    ctx.shortcutMode = c.mode;
    SKeyState k;
    k.shift = c.shift;
    k.alt = c.alt;
    k.ctrl = c.ctrl;
    EXPECT_EQ(autoSelectCursor(ctx, k, c.other), (SCursorChoice{CursorKind::Custom, c.cursor})) << c.cursor;
  }
}

TEST(SelectShapes, TheRubberBandStaysOnTheImageWhileTheViewAutoScrolls) {
  CanvasFixture f;
  f.shared.prefs.useAutoScroll = true;
  f.window->setZoomRatio(4, 1, {200, 150});
  ASSERT_TRUE(f.shared.selectTool(ToolId::SelectRectangle));
  const TPoint start = at(f, 190, 140);
  f.window->mouseDown(PointerButton::Left, kLeftBit, start, false);
  const TPoint edge{f.window->clientSize().W - 2, f.window->clientSize().H / 2};
  f.window->mouseMove(kLeftBit, edge);
  ASSERT_GT(f.window->toolState().tool.count, 0);
  const TPointF corner = f.window->clientToImage(toPointF(f.window->toolState().tool.points[0]));
  const TPointF before = f.window->clientToImage(toPointF(edge));
  for (int i = 0; i < 3; ++i) f.window->autoScrollTick();
  ASSERT_NE(f.window->clientToImage(toPointF(edge)), before);  // the view moved
  const TPointF still = f.window->clientToImage(toPointF(f.window->toolState().tool.points[0]));
  EXPECT_NEAR(still.X, corner.X, 0.5f);
  EXPECT_NEAR(still.Y, corner.Y, 0.5f);
  f.window->mouseUp(PointerButton::Left, 0, edge);
  EXPECT_EQ(selectionAt(f.doc(), 191, 141), 255);
}

}  // namespace shape_tools_test
}  // namespace pg::test
