// The document window's input: buttons, pointer movement, pen reports, the
// wheel, the window's own keys, temporary tools, cursors, auto-scroll and
// the stroke points fed to the document.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas/pen_tools.h"
#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/clock.h"

namespace pg {

namespace {

// A stroke ends instead of taking a point past this count.
constexpr int32_t kMaxStrokePoints = 60000;
// One notch of the wheel.
constexpr int32_t kWheelNotch = 120;
// A wheel event moves at most this many notches (the zoom table has 17 steps).
constexpr int32_t kMaxWheelNotches = 17;
// Key data bit of an auto-repeated key.
constexpr uint32_t kRepeatBit = 1u << 30;

uint16_t heldBitOf(PointerButton b) {
  switch (b) {
    case PointerButton::Left: return input::kLeftHeld;
    case PointerButton::Right: return input::kRightHeld;
    case PointerButton::Middle: return input::kMiddleHeld;
    default: return 0;
  }
}

float sanePressure(float p) { return std::isfinite(p) ? std::clamp(p, 0.0f, 1.0f) : 0.0f; }

}  // namespace

// ---- tools -------------------------------------------------------------------------------------------

void TDrawWindow::selectToolHandlers(bool endPrevious) {
  if (endPrevious && handlers_ != nullptr) callEndSlot(true);
  handlers_ = &toolHandlersOf(toolClassOf(shared_.currentTool()));
}

void TDrawWindow::callEndSlot(bool withPoint) {
  if (handlers_->end == nullptr) return;
  toolState_.inputState |= input::kEndRunning;
  const TPoint p = toolState_.pointerPos;
  handlers_->end(*this, withPoint ? &p : nullptr);
  toolState_.inputState &= static_cast<uint16_t>(~input::kEndRunning);
}

bool TDrawWindow::toolMayRunNow() const {
  return !isReplaying() || !refusedDuringReplay(toolClassOf(shared_.currentTool()));
}

bool TDrawWindow::installTemporaryTool(ToolId id) {
  if (id == ToolId::None || (toolState_.inputState & input::kTemporaryTool) != 0) return false;
  if (isReplaying() && refusedDuringReplay(toolClassOf(id))) return false;
  if (toolClassOf(id) == ToolClass::None) return false;
  toolState_.savedTool = shared_.currentTool();
  // The handlers change without ending the tool: the press goes on in it.
  shared_.selectToolQuiet(id);
  handlers_ = &toolHandlersOf(toolClassOf(id));
  toolState_.inputState |= input::kTemporaryTool;
  return true;
}

void TDrawWindow::removeTemporaryTool() {
  if ((toolState_.inputState & input::kTemporaryTool) == 0) return;
  toolState_.inputState &= static_cast<uint16_t>(~(input::kTemporaryTool | input::kOverlay));
  shared_.selectToolQuiet(toolState_.savedTool);
  handlers_ = &toolHandlersOf(toolClassOf(toolState_.savedTool));
}

STempToolContext TDrawWindow::tempToolContext() const {
  STempToolContext c;
  c.current = shared_.currentTool();
  c.shortcutMode = shared_.prefs.shortcutMode;
  TPoint maskOffset{};
  const CBlockVCH* mask = paper_->selectionImage(maskOffset);
  c.hasSelection = mask != nullptr;
  if (mask != nullptr) {
    const TPoint at = clientToImageRounded(toolState_.pointerPos);
    const int64_t x = int64_t{at.X} + maskOffset.X, y = int64_t{at.Y} + maskOffset.Y;
    c.pointerInSelection = x >= 0 && y >= 0 && x < INT32_MAX && y < INT32_MAX &&
                           mask->getPixelOr0(static_cast<int32_t>(x), static_cast<int32_t>(y)) > 0;
  }
  return c;
}

// The cursor follows the tool and the held keys; no tool shows another
// cursor over another part of the picture.
SCursorChoice TDrawWindow::cursorAt(TPoint /*p*/) const {
  ToolId id = ToolId::None;
  if ((toolState_.inputState & input::kTemporaryTool) == 0) id = temporaryToolForKeys(keys_, tempToolContext());
  if (id == ToolId::None) {
    id = shared_.currentTool();
    if (toolClassOf(id) == ToolClass::SelectShape)
      return selectionShapeCursor(tempToolContext(), keys_, shared_.prefs.otherToolCursor);
    if (id == ToolId::AutoSelect) return autoSelectCursor(tempToolContext(), keys_, shared_.prefs.otherToolCursor);
  }
  return cursorForTool(id, shared_.prefs, shared_.currentMode());
}

void TDrawWindow::updateCursor(TPoint p) {
  if (host_ != nullptr) host_->setCursor(cursorAt(p));
}

void TDrawWindow::setKeyState(const SKeyState& k) {
  keys_ = k;
  updateCursor(toolState_.pointerPos);
}

// ---- buttons and movement -----------------------------------------------------------------------

void TDrawWindow::pressed(uint16_t heldBit, uint32_t, TPoint p) {
  toolState_.inputState |= static_cast<uint16_t>(heldBit | input::kPressed);
  toolState_.inputState &= static_cast<uint16_t>(~input::kMoved);
  if ((toolState_.inputState & input::kAnchorLocked) == 0) toolState_.anchor = p;
  toolState_.currentPoint = p;
}

void TDrawWindow::mouseDown(PointerButton button, uint32_t shift, TPoint p, bool doubleClick) {
  toolState_.pointerPos = p;
  if ((toolState_.inputState & input::kIgnorePointer) != 0) return;
  if (doubleClick) {
    const PointerHandler h = button == PointerButton::Left    ? handlers_->leftDouble
                             : button == PointerButton::Right ? handlers_->rightDouble
                                                              : nullptr;
    if (h != nullptr && toolMayRunNow()) {
      h(*this, shift | kDoubleBit, p);
    } else if (button != PointerButton::Middle && host_ != nullptr) {
      host_->beep();
    }
    return;
  }
  if ((toolState_.inputState & (input::kLeftHeld | input::kRightHeld)) != 0) return;
  if ((toolState_.inputState & input::kMiddleHeld) != 0) {
    if (button == PointerButton::Middle) return;
    releaseButton(PointerButton::Middle, shift, nullptr);
    if (host_ != nullptr) host_->beep();
  }
  switch (button) {
    case PointerButton::Left:
    case PointerButton::Right: {
      const bool left = button == PointerButton::Left;
      pressed(heldBitOf(button), shift, p);
      installTemporaryTool(temporaryToolForButton(button, keys_, tempToolContext()));
      if (!toolMayRunNow()) {
        releaseButton(button, shift, nullptr);
        if (host_ != nullptr) host_->beep();
        return;
      }
      const PointerHandler h = left ? handlers_->leftDown : handlers_->rightDown;
      if (h != nullptr) h(*this, shift | (left ? kLeftBit : kRightBit), p);
      break;
    }
    case PointerButton::Middle: {
      pressed(input::kMiddleHeld, shift, p);
      installTemporaryTool(middleButtonTool(shared_.prefs.mouseMBtnFunc));
      if (!toolMayRunNow() || (toolState_.inputState & input::kTemporaryTool) == 0) {
        releaseButton(PointerButton::Middle, shift, nullptr);
        if (host_ != nullptr) host_->beep();
        return;
      }
      if (handlers_->leftDown != nullptr) handlers_->leftDown(*this, shift | kLeftBit, p);
      break;
    }
    default:
      if (host_ != nullptr) host_->beep();
  }
}

void TDrawWindow::mouseMove(uint32_t shift, TPoint p) {
  toolState_.pointerPos = p;
  if ((toolState_.inputState & input::kIgnorePointer) != 0) return;
  if ((toolState_.inputState & input::kRightHeld) != 0) {
    toolState_.currentPoint = p;
    if (handlers_->rightDrag != nullptr) handlers_->rightDrag(*this, shift | kRightBit, p);
  } else if ((toolState_.inputState & (input::kLeftHeld | input::kMiddleHeld)) != 0) {
    toolState_.currentPoint = p;
    if (handlers_->leftDrag != nullptr) handlers_->leftDrag(*this, shift | kLeftBit, p);
  } else if (handlers_->hover != nullptr) {
    handlers_->hover(*this, shift, p);
  }
}

void TDrawWindow::mouseUp(PointerButton button, uint32_t shift, TPoint p) {
  toolState_.pointerPos = p;
  releaseButton(button, shift, &p);
}

void TDrawWindow::releaseButton(PointerButton button, uint32_t shift, const TPoint* p) {
  const uint16_t bit = heldBitOf(button);
  if (bit == 0 || (toolState_.inputState & bit) == 0) return;
  if (p != nullptr) {
    const PointerHandler h = button == PointerButton::Right ? handlers_->rightUp : handlers_->leftUp;
    if (h != nullptr) h(*this, shift | (button == PointerButton::Right ? kRightBit : kLeftBit), *p);
  }
  removeTemporaryTool();
  toolState_.inputState &= static_cast<uint16_t>(~(bit | input::kPressed | input::kIgnorePointer));
  resetPointerInput();
}

void TDrawWindow::cancelPointer() {
  if ((toolState_.inputState & input::kLeftHeld) != 0) {
    releaseButton(PointerButton::Left, 0, &toolState_.pointerPos);
  } else if ((toolState_.inputState & input::kMiddleHeld) != 0) {
    releaseButton(PointerButton::Middle, 0, &toolState_.pointerPos);
  } else if ((toolState_.inputState & input::kRightHeld) != 0) {
    releaseButton(PointerButton::Right, 0, &toolState_.pointerPos);
  } else if (isBusy() && (toolState_.inputState & input::kEndRunning) == 0) {
    callEndSlot(false);
  }
  if (tabletRoute_ == TabletRoute::Stroke) {
    tabletRoute_ = TabletRoute::None;
    toolState_.mousePointSuppression = 0;
  }
}

void TDrawWindow::resetPointerInput() {
  if (toolState_.autoScrolled) invalidateView();
  toolState_.autoScrolled = false;
  if (host_ != nullptr) host_->setAutoScrollTimer(false);
  toolState_.autoScrollStepLast = TPoint{};
}

// ---- pen reports -----------------------------------------------------------------------------------

void TDrawWindow::tabletInput(TabletPhase phase, float x, float y, float pressure, bool fromScreen, uint32_t shift) {
  pressure = sanePressure(pressure);
  float wx = clampWindowCoordinate(x), wy = clampWindowCoordinate(y);
  if (fromScreen && host_ != nullptr) host_->screenToClient(wx, wy);
  wx = clampWindowCoordinate(wx);
  wy = clampWindowCoordinate(wy);
  const TPoint p{static_cast<int32_t>(std::lround(wx)), static_cast<int32_t>(std::lround(wy))};
  if (phase == TabletPhase::Press && tabletRoute_ == TabletRoute::None) {
    // The brush paints with the pen's pressure unless the keys choose
    // another tool or a button is already held.
    const bool brush = toolClassOf(shared_.currentTool()) == ToolClass::Brush && (toolState_.inputState & 0x0F) == 0 &&
                       temporaryToolForKeys(keys_, tempToolContext()) == ToolId::None;
    tabletRoute_ = brush ? TabletRoute::Stroke : TabletRoute::Pointer;
  }
  TStroke& stroke = shared_.toolStroke();
  switch (tabletRoute_) {
    case TabletRoute::Stroke: {
      toolState_.pointerPos = p;
      const uint8_t source = stroke.inputSource;
      stroke.inputSource = 1;
      if (phase == TabletPhase::Release || pressure <= 0.0f) {
        strokeEnd(stroke, false, wx, wy);
        if (phase == TabletPhase::Release) tabletRoute_ = TabletRoute::None;
      } else {
        toolState_.mousePointSuppression = 1;
        strokePoint(stroke, false, wx, wy, pressure);
      }
      stroke.inputSource = source;
      break;
    }
    case TabletRoute::Pointer:
      if (phase == TabletPhase::Press) {
        mouseDown(PointerButton::Left, shift, p, false);
      } else if (phase == TabletPhase::Move) {
        mouseMove(shift, p);
      } else {
        mouseUp(PointerButton::Left, shift, p);
        tabletRoute_ = TabletRoute::None;
      }
      break;
    case TabletRoute::None:
      // A pen hovering or a move after a release: as the pointer without a button.
      if (phase == TabletPhase::Move) mouseMove(shift, p);
      break;
  }
}

// ---- wheel ------------------------------------------------------------------------------------------

void TDrawWindow::wheel(int32_t delta, TPoint p) {
  toolState_.pointerPos = p;
  const int64_t sum = std::clamp<int64_t>(int64_t{wheelRest_} + delta, -int64_t{kWheelNotch} * kMaxWheelNotches,
                                          int64_t{kWheelNotch} * kMaxWheelNotches);
  const int32_t notches = static_cast<int32_t>(sum / kWheelNotch);
  wheelRest_ = static_cast<int32_t>(sum % kWheelNotch);
  for (int32_t i = 0; i < std::abs(notches); ++i) {
    const float before = paper_->zoomValue();
    zoomAt(p, notches < 0);
    if (paper_->zoomValue() == before) break;  // at the table's end
  }
}

// ---- keys --------------------------------------------------------------------------------------------

bool TDrawWindow::keyDown(int32_t key, bool autoRepeat, bool atFocusedWindow) {
  bool taken = false;
  if (!autoRepeat) taken = windowShortcutKey(key, atFocusedWindow);
  if (!taken && (toolState_.inputState & input::kEndRunning) == 0 && handlers_->key != nullptr) {
    handlers_->key(*this, key, autoRepeat ? kRepeatBit : 0u);
    taken = true;
  }
  updateCursor(toolState_.pointerPos);
  return taken;
}

bool TDrawWindow::windowShortcutKey(int32_t key, bool atFocusedWindow) {
  commitPending();
  const bool endRunning = (toolState_.inputState & input::kEndRunning) != 0;
  switch (key) {
    case keys::kLeft:
    case keys::kUp:
    case keys::kRight:
    case keys::kDown:
      if (endRunning || atFocusedWindow || handlers_->key == nullptr) return false;
      handlers_->key(*this, key, 0);
      return true;
    case keys::kEnter:
    case keys::kEscape: {
      // During a replay the keys pause and resume it.
      if (replaying_ && !keys_.ctrl) {
        setReplayPause(!isReplayPaused());
        return true;
      }
      const ToolId id = shared_.currentTool();
      const bool keyTools = id == ToolId::SelectionKeyMove || id == ToolId::LayerKeyMove ||
                            id == ToolId::LayerSelectionKeyMove;
      // Escape also reaches a held hand tool (it restores the view angle).
      const bool handHeld = key == keys::kEscape && toolClassOf(id) == ToolClass::Hand && (toolState_.inputState & 0x07) != 0;
      if (endRunning || atFocusedWindow || (!keyTools && !handHeld) || handlers_->key == nullptr) return false;
      handlers_->key(*this, key, 0);
      return true;
    }
    case keys::kPadPlus:
    case keys::kPlus:
      if (!keys_.ctrl) return false;
      zoomAtClientCentre(true);
      return true;
    case keys::kPadMinus:
    case keys::kMinus:
      if (!keys_.ctrl) return false;
      zoomAtClientCentre(false);
      return true;
    case 'N':
      // A new standard layer above the current one.
      if (!keys_.ctrl || !keys_.shift || !keys_.alt) return false;
      if (shared_.runAction) (void)shared_.runAction("actLyrNewStd");  // a refused command just does nothing
      return true;
    case keys::kInsert: {
      // The current layer filled with the main colour, with Shift the second
      // (within the selection); plain Insert usually reaches the Edit menu's fill.
      if (!canEdit(false, false, false)) return true;
      const uint32_t colour = keys_.shift ? shared_.secondColor() : shared_.mainColor();
      if (paper_->fillLayerColor(*flow_, paper_->currentLayerIndex(), colour, shared_.toolStroke(), true, true)) {
        setModified(true);
        invalidateView();
      }
      return true;
    }
    case keys::kF5:
      zoomAtClientCentre(true);
      return true;
    case keys::kF6:
      if (keys_.ctrl) {
        if (host_ != nullptr) host_->activateNextWindow(keys_.shift);
      } else {
        zoomAtClientCentre(false);
      }
      return true;
    default:
      return false;
  }
}

// ---- auto-scroll ----------------------------------------------------------------------------------

void TDrawWindow::autoScrollTick() {
  if (!shared_.prefs.useAutoScroll || (toolState_.inputState & (input::kLeftHeld | input::kMiddleHeld)) == 0) return;
  const TPoint step = autoScrollStep(toolState_.pointerPos, client_, 0, 0);
  if (step.X == 0 && step.Y == 0) return;
  // The view may scroll less than asked (at the end of its range, or by
  // the zoom's rounding): the anchor and the rubber band follow the image by
  // what it really moved, so that they stay on the points pressed.
  const TPointF before = imageToClient({0.0f, 0.0f});
  scrollBy(step.X, step.Y);
  const TPointF after = imageToClient({0.0f, 0.0f});
  const TPoint moved{saturateToInt32(std::round(static_cast<double>(after.X) - before.X)),
                     saturateToInt32(std::round(static_cast<double>(after.Y) - before.Y))};
  toolState_.autoScrollStepLast = moved;
  if (moved.X == 0 && moved.Y == 0) return;
  toolState_.anchor.X = static_cast<int32_t>(std::clamp<int64_t>(int64_t{toolState_.anchor.X} + moved.X, INT32_MIN, INT32_MAX));
  toolState_.anchor.Y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{toolState_.anchor.Y} + moved.Y, INT32_MIN, INT32_MAX));
  toolState_.autoScrolled = true;
  // A rubber band stays on the image.
  for (TPoint& q : toolState_.tool.points) {
    q.X = static_cast<int32_t>(std::clamp<int64_t>(int64_t{q.X} + moved.X, INT32_MIN, INT32_MAX));
    q.Y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{q.Y} + moved.Y, INT32_MIN, INT32_MAX));
  }
  // The pointer stands still while the view moves under it: the tool
  // follows as if it had moved.
  if (handlers_->leftDrag != nullptr) handlers_->leftDrag(*this, kLeftBit, toolState_.pointerPos);
}

// ---- strokes ----------------------------------------------------------------------------------------

float TDrawWindow::strokeMinDistance() const {
  const float z = paper_->zoomValue();
  if (paper_->strokeState().engineMode() == 2) return z > 2.0f ? 4.0f / z : 1.0f;
  if (z == 0.25f) return 4.0f;
  if (z == 0.5f) return 3.0f;
  return 2.0f;
}

int32_t TDrawWindow::strokePoint(TStroke& stroke, bool fromScreen, float x, float y, float pressure) {
  if (stroke.inputSource != 1) {
    if (isReplaying()) return -1;
    if (keys_.shift || keys_.space || keys_.ctrl || keys_.alt) return -1;
  }
  if (!imageReady_) return -1;
  pressure = sanePressure(pressure);
  x = clampWindowCoordinate(x);
  y = clampWindowCoordinate(y);
  if (fromScreen && host_ != nullptr) host_->screenToClient(x, y);
  const TPointF at = clientToImage({x, y});
  shared_.lastStrokePos = {saturateToInt32(std::round(static_cast<double>(at.X))),
                           saturateToInt32(std::round(static_cast<double>(at.Y)))};
  if (!paper_->strokeState().isOpen()) {
    // A stroke begins only when an edit may start now.
    if (!canEdit(true, false, true)) return -1;
    stroke.setLayerIndex(paper_->currentLayerIndex());
    // The engine works with the stroke values the tool window gave last,
    // whatever a replay left in it.
    if (CStrokeMngr* engine = paper_->penEngine(); engine != nullptr && shared_.penTools() != nullptr)
      engine->setParam(shared_.penTools()->strokeParam());
    // A stroke that cannot begin stays closed, and the next point tries again.
    (void)strokeSession_.begin(*paper_, *flow_, stroke, true, shared_.penEngineLevel, at.X, at.Y, pressure);
    shared_.lastStrokeTime = timeGetTime();
    return -1;
  }
  if (paper_->strokeState().pointCount() > kMaxStrokePoints) {
    SRectXYWH r{};
    (void)strokeSession_.end(*paper_, *flow_, stroke, true, r);  // the stroke closes either way
    toolState_.mousePointSuppression = 0;
    repaintImageRect(xywhToRect(r));
    return -1;
  }
  modified_ = true;
  const SStrokePoint last = strokeSession_.lastPoint(*paper_, stroke);
  if (paper_->strokeState().pointCount() >= 2) {
    const float dx = at.X - last.x, dy = at.Y - last.y;
    if (std::sqrt(dx * dx + dy * dy) <= strokeMinDistance()) return 1;
  }
  // A refused point is skipped like a short step.
  (void)strokeSession_.point(*paper_, *flow_, stroke, true, true, at.X, at.Y, pressure);
  return 1;
}

void TDrawWindow::strokeEnd(TStroke& stroke, bool fromScreen, float x, float y) {
  if (stroke.inputSource == 0 && isReplaying()) return;
  x = clampWindowCoordinate(x);
  y = clampWindowCoordinate(y);
  if (fromScreen && host_ != nullptr) host_->screenToClient(x, y);
  const TPointF at = clientToImage({x, y});
  shared_.lastStrokePos = {saturateToInt32(std::round(static_cast<double>(at.X))),
                           saturateToInt32(std::round(static_cast<double>(at.Y)))};
  toolState_.mousePointSuppression = 0;
  if (!paper_->strokeState().isOpen()) return;
  SRectXYWH r{};
  (void)strokeSession_.point(*paper_, *flow_, stroke, true, true, at.X, at.Y, 0.0f);  // as above
  (void)strokeSession_.end(*paper_, *flow_, stroke, true, r);  // the stroke closes either way
  // The layer now holds the stroke: the picture is composed from it.
  const TRect rect = xywhToRect(r);
  paper_->composeRect(r, true);
  repaintImageRect(rect);
  paper_->updateLayerPreview(false, paper_->currentLayerIndex(), rect);
  shared_.lastStrokeTime = timeGetTime();
}

void TDrawWindow::finishOpenStroke() {
  if (!paper_ || !paper_->strokeState().isOpen()) return;
  TStroke& stroke = shared_.toolStroke();
  const uint8_t source = stroke.inputSource;
  // The end belongs to the stroke whatever the keys: it is never refused.
  stroke.inputSource = 1;
  const TPointF w = imageToClient(pointToFloat(shared_.lastStrokePos));
  strokeEnd(stroke, false, w.X, w.Y);
  stroke.inputSource = source;
  tabletRoute_ = TabletRoute::None;
}

}  // namespace pg
