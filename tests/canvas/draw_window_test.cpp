// The document window's logic: the edit gate, temporary tools, shortcut
// keys, handler dispatch and the stroke input.
#include "canvas/draw_window.h"

#include <gtest/gtest.h>

#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "canvas/temporary_tools.h"
#include "canvas_fixture.h"
#include "document/doc_recorder.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/undo_mngr_ex.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg::test {
namespace {

CEventMngr& storeOf(TPaper& doc) { return static_cast<CDocEventRecorder*>(doc.events())->store(); }

// ---- edit gate ----

TEST(EditGate, EachRefusingConditionAloneClosesTheGate) {
  struct Case {
    const char* what;
    void (*setUp)(CanvasFixture&);
  };
  const Case cases[] = {
      {"render mode", [](CanvasFixture& f) { f.shared.renderMode = true; }},
      {"modal dialog", [](CanvasFixture& f) { f.shared.modalRunning = true; }},
      {"busy", [](CanvasFixture& f) { f.window->toolState().inputState |= input::kKeyMoveMode; }},
      {"end handler", [](CanvasFixture& f) { f.window->toolState().inputState |= input::kEndRunning; }},
      {"stroke open", [](CanvasFixture& f) { f.window->mouseDown(PointerButton::Left, kLeftBit, {100, 100}, false); }},
  };
  for (const Case& c : cases) {
    CanvasFixture f;
    EXPECT_TRUE(f.window->canEdit(true, false, true)) << c.what;
    c.setUp(f);
    EXPECT_FALSE(f.window->canEdit(true, false, true)) << c.what;
    EXPECT_FALSE(f.window->canUndo()) << c.what;
  }
}

TEST(EditGate, UndoAndRedoGoThroughTheGateAndRestoreTheLayer) {
  CanvasFixture f;
  EXPECT_FALSE(f.window->canUndo());
  f.drag({{100, 100}, {160, 120}, {220, 140}});
  ASSERT_TRUE(f.window->canUndo());
  f.shared.modalRunning = true;
  EXPECT_FALSE(f.window->undo());
  f.shared.modalRunning = false;
  EXPECT_TRUE(f.window->undo());
  EXPECT_TRUE(f.window->canRedo());
  EXPECT_TRUE(f.window->redo());
  EXPECT_FALSE(f.window->canRedo());
}

TEST(EditGate, ClearingTheUndoStepsAsksFirst) {
  CanvasFixture f;
  f.drag({{100, 100}, {160, 120}, {220, 140}});
  f.host.answer = kAnswerNo;
  EXPECT_TRUE(f.window->clearUndo());
  EXPECT_EQ(f.host.lastQuestion, resString(kResAskClearUndo));
  EXPECT_TRUE(f.window->canUndo());
  f.host.answer = kAnswerYes;
  EXPECT_TRUE(f.window->clearUndo());
  EXPECT_FALSE(f.window->canUndo());
  // Not while a stroke is open: nothing is asked.
  const int32_t asked = f.host.questions;
  f.window->mouseDown(PointerButton::Left, kLeftBit, {100, 100}, false);
  EXPECT_FALSE(f.window->clearUndo());
  EXPECT_EQ(f.host.questions, asked);
  f.window->mouseUp(PointerButton::Left, 0, {100, 100});
}

// ---- temporary tools ----

TEST(TemporaryTools, KeysChooseTheToolByShortcutMode) {
  struct Case {
    SKeyState keys;
    int32_t mode;
    ToolId current;
    bool hasSelection;
    ToolId expected;
  };
  const SKeyState none{}, space{false, false, false, true}, ctrlSpace{false, false, true, true},
      ctrlAltSpace{false, true, true, true}, ctrlAlt{false, true, true, false}, alt{false, true, false, false},
      altSpace{false, true, false, true}, shift{true, false, false, false};
  const Case cases[] = {
      {none, 0, ToolId::Brush, false, ToolId::None},
      {space, 0, ToolId::Brush, false, ToolId::HandScroll},
      {ctrlSpace, 0, ToolId::Brush, false, ToolId::ZoomIn},
      {ctrlAltSpace, 0, ToolId::Eyedropper, false, ToolId::ZoomOut},
      {ctrlAlt, 0, ToolId::Brush, false, ToolId::BrushSizeDrag},
      {ctrlAlt, 0, ToolId::SelectRectangle, false, ToolId::None},
      {altSpace, 0, ToolId::Brush, false, ToolId::ViewRotation},
      {alt, 0, ToolId::Brush, false, ToolId::Eyedropper},
      {alt, 0, ToolId::SelectRectangle, false, ToolId::None},
      {alt, 0, ToolId::AutoSelect, true, ToolId::None},
      {alt, 0, ToolId::AutoSelect, false, ToolId::Eyedropper},
      {alt, 0, ToolId::ZoomIn, false, ToolId::ZoomOut},
      {alt, 1, ToolId::Brush, false, ToolId::ViewRotation},
      {shift, 1, ToolId::Brush, false, ToolId::Eyedropper},
      {shift, 1, ToolId::HandScroll, false, ToolId::None},
      {shift, 0, ToolId::Brush, false, ToolId::None},
      {space, 2, ToolId::Brush, false, ToolId::None},
  };
  for (const Case& c : cases) {
    STempToolContext ctx;
    ctx.current = c.current;
    ctx.shortcutMode = c.mode;
    ctx.hasSelection = c.hasSelection;
    EXPECT_EQ(temporaryToolForKeys(c.keys, ctx), c.expected)
        << "keys " << c.keys.shift << c.keys.alt << c.keys.ctrl << c.keys.space << " mode " << c.mode << " tool "
        << int{byteOf(c.current)};
  }
  // The right button takes only zoom, eyedropper and hand tools.
  STempToolContext ctx;
  EXPECT_EQ(temporaryToolForButton(PointerButton::Right, ctrlAlt, ctx), ToolId::BrushSizeDrag);
  EXPECT_EQ(temporaryToolForButton(PointerButton::Right, space, ctx), ToolId::HandScroll);
  ctx.current = ToolId::SelectRectangle;
  ctx.hasSelection = true;
  ctx.pointerInSelection = true;
  EXPECT_EQ(temporaryToolForButton(PointerButton::Left, none, ctx), ToolId::SelectionMove);
  EXPECT_EQ(temporaryToolForButton(PointerButton::Right, none, ctx), ToolId::None);
  // Every choice of the middle-button preference has its tool.
  const ToolId middle[] = {ToolId::HandScroll,    ToolId::ViewRotation,    ToolId::BrushSizeDrag, ToolId::LayerMove,
                           ToolId::Gradation,     ToolId::FillRectangle,   ToolId::FillFreehand,  ToolId::BucketFill,
                           ToolId::SelectRectangle, ToolId::SelectFreehand, ToolId::AutoSelect};
  for (int32_t i = 0; i < static_cast<int32_t>(std::size(middle)); ++i) EXPECT_EQ(middleButtonTool(i), middle[i]) << i;
  EXPECT_EQ(middleButtonTool(99), ToolId::HandScroll);
  EXPECT_EQ(middleButtonTool(-1), ToolId::HandScroll);
}

TEST(TemporaryTools, CtrlSpaceClickZoomsAndTheToolComesBack) {
  CanvasFixture f;
  f.window->setKeyState({false, false, true, true});
  const float before = f.doc().zoomValue();
  f.window->mouseDown(PointerButton::Left, kLeftBit | kCtrlBit, {250, 200}, false);
  EXPECT_EQ(f.shared.currentTool(), ToolId::ZoomIn);
  f.window->mouseUp(PointerButton::Left, kCtrlBit, {250, 200});
  EXPECT_GT(f.doc().zoomValue(), before);
  EXPECT_EQ(f.shared.currentTool(), ToolId::Brush);
  EXPECT_EQ(f.window->toolState().inputState, 0);
  // Alt added zooms out.
  f.window->setKeyState({false, true, true, true});
  const float in = f.doc().zoomValue();
  f.window->mouseDown(PointerButton::Left, kLeftBit, {250, 200}, false);
  f.window->mouseUp(PointerButton::Left, 0, {250, 200});
  EXPECT_LT(f.doc().zoomValue(), in);
  // No stroke was painted by either click.
  EXPECT_FALSE(f.window->canUndo());
}

TEST(TemporaryTools, SpaceDragAndMiddleDragScrollTheView) {
  CanvasFixture f(2000, 1500);
  const TPointF before = f.shown({1000, 750});
  f.window->setKeyState({false, false, false, true});
  f.drag({{200, 200}, {230, 210}, {260, 220}});
  f.window->setKeyState({});
  TPointF after = f.shown({1000, 750});
  EXPECT_NEAR(after.X - before.X, 60.0f, 0.01f);
  EXPECT_NEAR(after.Y - before.Y, 20.0f, 0.01f);
  f.window->mouseDown(PointerButton::Middle, kMiddleBit, {200, 200}, false);
  f.window->mouseMove(kMiddleBit, {180, 200});
  f.window->mouseUp(PointerButton::Middle, 0, {180, 200});
  EXPECT_NEAR(f.shown({1000, 750}).X - after.X, -20.0f, 0.01f);
  EXPECT_EQ(f.shared.currentTool(), ToolId::Brush);
  EXPECT_FALSE(f.window->canUndo());
}

// ---- dispatch ----

TEST(Dispatch, SecondPressesAreIgnoredAndUnknownButtonsBeep) {
  CanvasFixture f;
  f.shared.selectMode(ToolMode::Hand);
  f.window->mouseDown(PointerButton::Left, kLeftBit, {100, 100}, false);
  const uint16_t held = f.window->toolState().inputState;
  f.window->mouseDown(PointerButton::Right, kLeftBit | kRightBit, {100, 100}, false);
  EXPECT_EQ(f.window->toolState().inputState, held);
  f.window->mouseUp(PointerButton::Right, kLeftBit, {100, 100});
  EXPECT_EQ(f.window->toolState().inputState, held);
  f.window->mouseUp(PointerButton::Left, 0, {100, 100});
  EXPECT_EQ(f.window->toolState().inputState, 0);
  f.window->mouseDown(PointerButton::Other, 0, {100, 100}, false);
  EXPECT_EQ(f.host.beeps, 1);
  // The middle button holds its tool (layer move) for the press only.
  f.shared.prefs.mouseMBtnFunc = 3;
  const ToolId selected = f.shared.currentTool();
  f.window->mouseDown(PointerButton::Middle, kMiddleBit, {100, 100}, false);
  EXPECT_EQ(f.shared.currentTool(), ToolId::LayerMove);
  f.window->mouseUp(PointerButton::Middle, 0, {100, 100});
  EXPECT_EQ(f.host.beeps, 1);
  EXPECT_EQ(f.window->toolState().inputState, 0);
  EXPECT_EQ(f.shared.currentTool(), selected);
}

TEST(Dispatch, ToolTablesHaveTheirSlotsAndUnbuiltClassesCannotBeSelected) {
  EXPECT_NE(toolHandlersOf(ToolClass::Brush).leftDown, nullptr);
  EXPECT_EQ(toolHandlersOf(ToolClass::Brush).rightDrag, nullptr);
  EXPECT_EQ(toolHandlersOf(ToolClass::Zoom).leftDown, toolHandlersOf(ToolClass::Zoom).rightDown);
  EXPECT_NE(toolHandlersOf(ToolClass::Hand).key, nullptr);
  EXPECT_EQ(toolHandlersOf(ToolClass::Brush).key, nullptr);
  EXPECT_EQ(toolHandlersOf(static_cast<ToolClass>(200)).leftDown, nullptr);
  CCanvasShared shared;
  EXPECT_TRUE(shared.selectMode(ToolMode::LayerMove));
  EXPECT_FALSE(shared.selectMode(ToolMode::TextDraw));
  // The seed tools wait for the fill operation.
  EXPECT_FALSE(shared.selectMode(ToolMode::BucketFill));
  shared.seedFill = [](TPaper&, TFlowImage&, const SSeedFillRequest&) { return true; };
  EXPECT_TRUE(shared.selectMode(ToolMode::BucketFill));
  EXPECT_TRUE(shared.selectMode(ToolMode::Eraser));
  EXPECT_EQ(shared.toolStroke().kind, skEraser);
  EXPECT_EQ(shared.currentTool(), ToolId::Brush);
}

TEST(Dispatch, ChangingTheToolMidStrokeEndsTheStroke) {
  CanvasFixture f;
  f.window->mouseDown(PointerButton::Left, kLeftBit, {100, 100}, false);
  f.window->mouseMove(kLeftBit, {150, 120});
  f.window->mouseMove(kLeftBit, {200, 140});
  ASSERT_TRUE(f.window->isStrokeOpen());
  f.shared.selectMode(ToolMode::Hand);
  EXPECT_FALSE(f.window->isStrokeOpen());
  EXPECT_EQ(f.window->toolState().inputState & input::kLeftHeld, 0);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
}

TEST(Dispatch, RotationClickWithoutMovementResetsAndEscapeRestores) {
  CanvasFixture f(800, 600);
  f.window->setViewRotation(true, -30.0f);
  f.shared.selectMode(ToolMode::ViewRotation);
  f.window->mouseDown(PointerButton::Left, kLeftBit, {300, 100}, false);
  f.window->mouseUp(PointerButton::Left, 0, {300, 100});
  EXPECT_FALSE(f.window->isRotated());
  f.window->setViewRotation(true, -30.0f);
  const float angle = f.doc().view().angleDeg();
  f.window->mouseDown(PointerButton::Left, kLeftBit, {400, 200}, false);
  f.window->mouseMove(kLeftBit, {250, 380});
  EXPECT_NE(f.doc().view().angleDeg(), angle);
  EXPECT_TRUE(f.window->keyDown(keys::kEscape, false));
  EXPECT_FLOAT_EQ(f.doc().view().angleDeg(), angle);
  EXPECT_EQ(f.window->toolState().inputState & input::kLeftHeld, 0);
}

TEST(Dispatch, EyedropperPicksFromTheCompositeOrTheCurrentLayer) {
  CanvasFixture f;
  f.shared.setMainColor(0x2040C0);
  f.shared.toolStroke().setWidth(20.0f);
  f.drag({{100, 100}, {200, 100}, {300, 100}});
  f.shared.setMainColor(0x000000);
  f.shared.setSecondColor(0x000000);
  // Alt: the eyedropper for one click.
  f.window->setKeyState({false, true, false, false});
  f.window->mouseDown(PointerButton::Left, kLeftBit | kAltBit, {200, 100}, false);
  f.window->mouseUp(PointerButton::Left, kAltBit, {200, 100});
  EXPECT_EQ(f.shared.mainColor(), 0x2040C0u);
  f.window->setKeyState({});
  // Right click with the brush picks into the main colour, Shift+right into
  // the second; with the picker switched off nothing.
  f.shared.setMainColor(0);
  f.window->mouseDown(PointerButton::Right, kRightBit | kShiftBit, {200, 100}, false);
  f.window->mouseUp(PointerButton::Right, kShiftBit, {200, 100});
  EXPECT_EQ(f.shared.secondColor(), 0x2040C0u);
  EXPECT_EQ(f.shared.mainColor(), 0u);
  f.shared.prefs.useRBtnColPicker = false;
  f.window->mouseDown(PointerButton::Right, kRightBit, {200, 100}, false);
  f.window->mouseUp(PointerButton::Right, 0, {200, 100});
  EXPECT_EQ(f.shared.mainColor(), 0u);
}

// ---- keys ----

TEST(ShortcutKeys, ZoomKeysAndRepeats) {
  struct Case {
    int32_t key;
    bool ctrl;
    int direction;  // +1 in, -1 out, 0 none
  };
  const Case cases[] = {{keys::kF5, false, 1},       {keys::kF6, false, -1},       {keys::kPlus, true, 1},
                        {keys::kPadPlus, true, 1},   {keys::kMinus, true, -1},     {keys::kPadMinus, true, -1},
                        {keys::kPlus, false, 0},     {keys::kLeft, false, 0}};
  for (const Case& c : cases) {
    CanvasFixture f;
    f.window->setKeyState({false, false, c.ctrl, false});
    const float z = f.doc().zoomValue();
    f.window->keyDown(c.key, false);
    const float after = f.doc().zoomValue();
    EXPECT_EQ(after > z ? 1 : after < z ? -1 : 0, c.direction) << c.key;
    // An auto-repeated key is not the window's.
    f.window->keyDown(c.key, true);
    EXPECT_EQ(f.doc().zoomValue(), after) << c.key;
  }
}

// ---- strokes ----

TEST(StrokeInput, ModifiersRefuseMousePointsButNotPenPoints) {
  CanvasFixture f;
  TStroke& s = f.shared.toolStroke();
  f.window->setKeyState({true, false, false, false});
  EXPECT_EQ(f.window->strokePoint(s, false, 100, 100, 1.0f), -1);
  EXPECT_FALSE(f.window->isStrokeOpen());
  s.inputSource = 1;
  EXPECT_EQ(f.window->strokePoint(s, false, 100, 100, 1.0f), -1);  // began
  EXPECT_TRUE(f.window->isStrokeOpen());
  EXPECT_EQ(f.window->strokePoint(s, false, 130, 100, 0.5f), 1);
  f.window->strokeEnd(s, false, 130, 100);
  s.inputSource = 0;
  EXPECT_FALSE(f.window->isStrokeOpen());
}

TEST(StrokeInput, PointsCloserThanTheMinimumAreSkippedOnceTwoAreIn) {
  CanvasFixture f(800, 600);
  f.window->setZoomCentred(1, 4);
  TStroke& s = f.shared.toolStroke();
  const TPointF a = f.shown({100, 100});
  ASSERT_EQ(f.window->strokePoint(s, false, a.X, a.Y, 1.0f), -1);
  // The second point is never skipped, however close.
  ASSERT_EQ(f.window->strokePoint(s, false, a.X, a.Y, 1.0f), 1);
  EXPECT_EQ(f.doc().strokeState().pointCount(), 1);
  const TPointF b = f.shown({101, 100});
  ASSERT_EQ(f.window->strokePoint(s, false, b.X, b.Y, 1.0f), 1);
  EXPECT_EQ(f.doc().strokeState().pointCount(), 2);
  // 3.9 image units at zoom 1/4 is below the minimum of 4.
  const TPointF c = f.shown({101.0f + 3.9f, 100});
  f.window->strokePoint(s, false, c.X, c.Y, 1.0f);
  EXPECT_EQ(f.doc().strokeState().pointCount(), 2);
  const TPointF d = f.shown({120, 100});
  f.window->strokePoint(s, false, d.X, d.Y, 1.0f);
  EXPECT_EQ(f.doc().strokeState().pointCount(), 3);
  f.window->finishOpenStroke();
}

TEST(StrokeInput, AStrokeEndsAtThePointLimit) {
  CanvasFixture f(16, 16, {64, 64});
  TStroke& s = f.shared.toolStroke();
  s.setWidth(1.0f);
  const TPointF a = f.shown({2, 8}), b = f.shown({12, 8});
  ASSERT_EQ(f.window->strokePoint(s, false, a.X, a.Y, 1.0f), -1);
  for (int i = 0; i < 60000; ++i) {
    const TPointF p = i % 2 == 0 ? b : a;
    ASSERT_EQ(f.window->strokePoint(s, false, p.X, p.Y, 1.0f), 1) << i;
  }
  EXPECT_EQ(f.doc().strokeState().pointCount(), 60000);
  // The point that makes 60001 is still taken; the next one ends the stroke.
  f.window->strokePoint(s, false, b.X, b.Y, 1.0f);
  EXPECT_EQ(f.doc().strokeState().pointCount(), 60001);
  EXPECT_EQ(f.window->strokePoint(s, false, a.X, a.Y, 1.0f), -1);
  EXPECT_FALSE(f.window->isStrokeOpen());
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
}

TEST(StrokeInput, AnOpenStrokeEndsOnceWhenTheWindowLosesFocusClosesOrIsReplaced) {
  enum class End { Focus, Close, Replace };
  for (End end : {End::Focus, End::Close, End::Replace}) {
    CanvasFixture f;
    f.window->mouseDown(PointerButton::Left, kLeftBit, {100, 100}, false);
    f.window->mouseMove(kLeftBit, {150, 130});
    ASSERT_TRUE(storeOf(f.doc()).isStrokeOpen());
    const int32_t before = storeOf(f.doc()).undoCount();
    std::unique_ptr<TPaper> previous;
    switch (end) {
      case End::Focus:
        f.window->focusLost();
        f.window->focusLost();
        // The button's release after the focus came back paints nothing.
        f.window->mouseMove(kLeftBit, {200, 160});
        f.window->mouseUp(PointerButton::Left, 0, {200, 160});
        break;
      case End::Close:
        EXPECT_TRUE(f.window->closeQuery());
        EXPECT_EQ(f.host.questions, 1);
        break;
      case End::Replace: {
        auto next = std::make_unique<TPaper>(nullptr);
        ASSERT_TRUE(next->newDocument("next", nullptr, false, false, 72, 50, 60));
        ASSERT_TRUE(f.window->adoptDocument(std::move(next), &previous));
        EXPECT_EQ(f.doc().width(), 60);
        EXPECT_FALSE(f.window->isStrokeOpen());
        break;
      }
    }
    TPaper& doc = previous ? *previous : f.doc();
    EXPECT_FALSE(storeOf(doc).isStrokeOpen()) << static_cast<int>(end);
    EXPECT_EQ(storeOf(doc).undoCount(), before + 1) << static_cast<int>(end);
    EXPECT_EQ(doc.undoMngr()->undoCount(), 1) << static_cast<int>(end);
  }
}

TEST(StrokeInput, ClosingAskOnlyWhenModifiedAndCancelKeepsTheWindow) {
  CanvasFixture f;
  EXPECT_TRUE(f.window->closeQuery());
  EXPECT_EQ(f.host.questions, 0);
  f.drag({{100, 100}, {200, 150}});
  f.host.answer = kAnswerCancel;
  EXPECT_FALSE(f.window->closeQuery());
  f.shared.renderMode = true;
  EXPECT_TRUE(f.window->closeQuery());
  EXPECT_EQ(f.host.questions, 1);
}

TEST(StrokeInput, PenPressRoutesIntoTheStrokeOrActsAsTheLeftButton) {
  CanvasFixture f(2000, 1500);
  f.window->tabletInput(TDrawWindow::TabletPhase::Press, 1100.0f, 600.0f, 0.3f, true, kLeftBit);
  EXPECT_TRUE(f.window->isStrokeOpen());
  f.window->tabletInput(TDrawWindow::TabletPhase::Move, 1150.0f, 620.0f, 0.6f, true, kLeftBit);
  f.window->tabletInput(TDrawWindow::TabletPhase::Release, 1150.0f, 620.0f, 0.0f, true, 0);
  EXPECT_FALSE(f.window->isStrokeOpen());
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
  // With Space held the pen scrolls.
  f.window->setKeyState({false, false, false, true});
  const TPointF before = f.shown({1000, 750});
  f.window->tabletInput(TDrawWindow::TabletPhase::Press, 100.0f, 100.0f, 0.5f, false, kLeftBit);
  f.window->tabletInput(TDrawWindow::TabletPhase::Move, 140.0f, 100.0f, 0.5f, false, kLeftBit);
  f.window->tabletInput(TDrawWindow::TabletPhase::Release, 140.0f, 100.0f, 0.0f, false, 0);
  EXPECT_NEAR(f.shown({1000, 750}).X - before.X, 40.0f, 0.01f);
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
  // Wild pressures and positions are brought into range.
  f.window->setKeyState({});
  f.window->tabletInput(TDrawWindow::TabletPhase::Press, 3.0e38f, -3.0e38f, 1.0e30f, false, kLeftBit);
  f.window->tabletInput(TDrawWindow::TabletPhase::Move, 100.0f, 100.0f, std::numeric_limits<float>::quiet_NaN(),
                        false, kLeftBit);
  f.window->tabletInput(TDrawWindow::TabletPhase::Release, 100.0f, 100.0f, 0.0f, false, 0);
  EXPECT_FALSE(f.window->isStrokeOpen());
}

TEST(StrokeInput, AutoScrollMovesTheViewWhileTheBrushDragsOutside) {
  CanvasFixture f(2000, 1500);
  f.window->mouseDown(PointerButton::Left, kLeftBit, {200, 200}, false);
  f.window->mouseMove(kLeftBit, {-100, 200});
  EXPECT_TRUE(f.host.autoScrollOn);
  const TPointF before = f.shown({1000, 750});
  f.window->autoScrollTick();
  EXPECT_NEAR(f.shown({1000, 750}).X - before.X, 64.0f, 0.01f);
  f.window->mouseUp(PointerButton::Left, 0, {-100, 200});
  EXPECT_FALSE(f.host.autoScrollOn);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(WindowTitle, WindowsOfTheSameCaptionAreNumbered) {
  CCanvasShared shared;
  FakeHost hosts[3];
  std::unique_ptr<TDrawWindow> windows[3];
  for (int i = 0; i < 3; ++i) {
    windows[i] = std::make_unique<TDrawWindow>(shared, &hosts[i]);
    windows[i]->resize({200, 200});
    ASSERT_TRUE(windows[i]->newDocument(i == 1 ? "dir/picture" : "picture", 50, 40, 72));
  }
  windows[2]->updateTitle();
  EXPECT_EQ(hosts[0].caption, "picture (2)");
  EXPECT_EQ(hosts[1].caption, "picture (3)");
  EXPECT_EQ(hosts[2].caption, "picture (1)");
  windows[1]->paper().setName("other");
  windows[1]->updateTitle();
  EXPECT_EQ(hosts[1].caption, "other");
  EXPECT_EQ(shared.untitledName(), "名称未設定 1");
  EXPECT_EQ(shared.untitledName(), "名称未設定 2");
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

TEST(StrokeInput, APointFarOutsideTheDocumentIsBroughtNear) {
  CanvasFixture f;
  TStroke& s = f.shared.toolStroke();
  ASSERT_EQ(f.window->strokePoint(s, false, 100, 100, 1.0f), -1);
  EXPECT_EQ(f.window->strokePoint(s, false, 3.0e9f, -3.0e9f, 1.0f), 1);
  EXPECT_EQ(f.window->strokePoint(s, false, -1.0e7f, 1.0e7f, 1.0f), 1);
  f.window->strokeEnd(s, false, 120, 100);
  EXPECT_FALSE(f.window->isStrokeOpen());
  EXPECT_EQ(f.doc().undoMngr()->undoCount(), 1);
}

TEST(StrokeInput, WithTheToneSwitchOnAStrokeLaysDownTheToolWindowsTone) {
  CanvasFixture f;
  EXPECT_EQ(f.doc().toneManager(), &f.shared.toolTones());
  // A tone of vertical stripes, open in even columns.
  TChannel tile(2, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) *tile.pixelAt(x, y) = x == 0 ? 255 : 0;
  ASSERT_EQ(f.shared.toolTones().addTone(tile, 100, false, 0, 0), 0);
  f.shared.toolTones().setCurrentIndex(0);
  TStroke& s = f.shared.toolStroke();
  s.useTone = 1;
  s.setWidth(9.0f);
  const CLayerData& layer = *f.doc().currentLayer();
  const uint32_t paper = layer.image->getPixel(0, 0);
  // Points given in window coordinates, where the image's row 100 is shown.
  const auto at = [&](float x) { return f.shown(TPointF{x, 100}); };
  ASSERT_EQ(f.window->strokePoint(s, false, at(100).X, at(100).Y, 1.0f), -1);
  for (float x = 102; x <= 200; x += 2) (void)f.window->strokePoint(s, false, at(x).X, at(x).Y, 1.0f);
  f.window->strokeEnd(s, false, at(200).X, at(200).Y);
  int32_t even = 0, odd = 0;
  for (int32_t x = 110; x < 190; ++x) (x % 2 == 0 ? even : odd) += layer.image->getPixel(x, 100) != paper;
  EXPECT_GT(even, 30);
  EXPECT_EQ(odd, 0);
}

}  // namespace
}  // namespace pg::test
