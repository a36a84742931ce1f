// The drag tools: one drag from an anchor moves the current layer, the
// selection outline or both, draws the gradient line or the crop box; the
// cursor-key modes move the same things step by step. While the drag or the
// key mode lasts only the view changes; the release (or Enter) makes one
// recorded, undoable document operation of the whole move.
#include <algorithm>
#include <cmath>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "canvas/tool_handlers.h"
#include "document/layer_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_ops.h"
#include "platform/res_ids.h"

namespace pg {

namespace {

enum DragKind : int32_t {
  kLayerMove = 0,
  kSelectionMove = 1,
  kLayerAndSelection = 2,
  kGradient = 3,
  kCrop = 4,
  kKeyLayer = 6,
  kKeySelection = 7,
  kKeyBoth = 8,
};

constexpr uint16_t kHeldBits = input::kLeftHeld | input::kRightHeld | input::kMiddleHeld;

int32_t dragKind(TDrawWindow& w) {
  int32_t kind = -1;
  return dragKindOf(w.shared().currentTool(), kind) ? kind : -1;
}

bool movesLayer(int32_t kind) { return kind == kLayerMove || kind == kLayerAndSelection || kind == kKeyLayer || kind == kKeyBoth; }
bool movesOutline(int32_t kind) {
  return kind == kSelectionMove || kind == kLayerAndSelection || kind == kKeySelection || kind == kKeyBoth;
}

template <class F>
bool runEdit(TDrawWindow& w, F&& operation) {
  const CToolEditScope scope(w);
  return operation();
}

TPoint clampDelta(int64_t dx, int64_t dy) {
  return {static_cast<int32_t>(std::clamp<int64_t>(dx, -kMaxOffsetStep, kMaxOffsetStep)),
          static_cast<int32_t>(std::clamp<int64_t>(dy, -kMaxOffsetStep, kMaxOffsetStep))};
}

// The window delta from the anchor as a whole-pixel image delta, both ends
// snapped to the view grid.
TPoint imageDelta(const TDrawWindow& w, TPoint p) {
  const float z = w.paper().zoomValue();
  const TPointF a = w.clientToImage(toPointF(snapToViewGrid(w.toolState().anchor, z, true)));
  const TPointF b = w.clientToImage(toPointF(snapToViewGrid(p, z, true)));
  return clampDelta(std::llround(static_cast<double>(b.X) - a.X), std::llround(static_cast<double>(b.Y) - a.Y));
}

// ---- previews: the layer's offset and the outline's origin during a move ----

void showLayerAt(TDrawWindow& w, TPoint delta) {
  CLayerData* layer = w.paper().currentLayer();
  if (layer == nullptr || !layer->image) return;
  const TRect before = layer->imageRect();
  layer->offsetX = static_cast<int32_t>(std::clamp<int64_t>(int64_t{w.toolState().tool.startOffset.X} - delta.X, INT32_MIN, INT32_MAX));
  layer->offsetY = static_cast<int32_t>(std::clamp<int64_t>(int64_t{w.toolState().tool.startOffset.Y} - delta.Y, INT32_MIN, INT32_MAX));
  TRect changed = layer->imageRect();
  unionRect(changed, before);
  repaintDocArea(w, changed);
}

void showOutlineAt(TDrawWindow& w, TPoint delta) {
  CMaskMngr* masks = w.paper().masks();
  if (masks == nullptr) return;
  masks->setAntsOrigin(clampDelta(int64_t{w.toolState().tool.antsStart.X} + delta.X, int64_t{w.toolState().tool.antsStart.Y} + delta.Y));
  w.invalidateView();
}

void retraceOutline(TDrawWindow& w) {
  CMaskMngr* masks = w.paper().masks();
  if (masks == nullptr) return;
  // Without a selection image there is no outline to show.
  (void)masks->traceAnts(SSize{w.paper().width(), w.paper().height()}, -1);
  w.toolState().tool.antsStart = masks->getAntsOrigin();
}

void beginMove(TDrawWindow& w, int32_t kind) {
  if (movesLayer(kind)) {
    const CLayerData* layer = w.paper().currentLayer();
    w.toolState().tool.startOffset = layer != nullptr ? TPoint{layer->offsetX, layer->offsetY} : TPoint{};
  }
  if (movesOutline(kind)) retraceOutline(w);
}

void showMove(TDrawWindow& w, int32_t kind, TPoint delta) {
  if (movesLayer(kind)) showLayerAt(w, delta);
  if (movesOutline(kind)) showOutlineAt(w, delta);
  toolInfo(w, 4, toPointF(delta));
}

// Puts the previews back where the document has them.
void undoPreview(TDrawWindow& w, int32_t kind) {
  if (movesLayer(kind)) showLayerAt(w, TPoint{});
  if (movesOutline(kind)) {
    retraceOutline(w);
    w.invalidateView();
  }
}

// The whole move as one document operation.
bool applyMove(TDrawWindow& w, int32_t kind, TPoint delta) {
  undoPreview(w, kind);
  if (delta.X == 0 && delta.Y == 0) return false;
  TPaper& doc = w.paper();
  const int32_t index = doc.currentLayerIndex();
  bool ok = false;
  switch (kind) {
    case kLayerMove:
    case kKeyLayer:
      ok = runEdit(w, [&] { return doc.offsetLayer(&w.flow(), index, delta, true); });
      break;
    case kSelectionMove:
    case kKeySelection:
      ok = runEdit(w, [&] { return doc.offsetMask(delta, true); });
      w.invalidateView();
      return ok;
    case kLayerAndSelection:
    case kKeyBoth:
      ok = runEdit(w, [&] { return doc.offsetLayerGroup(&w.flow(), index, delta, -1, true); });
      break;
    default:
      return false;
  }
  if (!ok && w.shared().onMessage) w.shared().onMessage(kResLayerMoveFailed);
  return ok;
}

// ---- the rubber band of the gradient and the crop box ----

void showOverlay(TDrawWindow& w) {
  w.toolState().inputState |= input::kOverlay;
  if (w.host() != nullptr) w.host()->updateAll();
}

void setLineOverlay(TDrawWindow& w) {
  w.toolState().tool.points.assign({toPointRounded(w.imageToClient(w.toolState().tool.first)), toPointRounded(w.imageToClient(w.toolState().tool.second))});
  w.toolState().tool.count = 2;
  w.toolState().tool.closed = false;
}

// The crop box from the anchor to a point, in image coordinates; the
// rubber band holds its four corners in window coordinates.
void cropCorners(TDrawWindow& w, TPoint p, uint32_t shift, TPointF& a, TPointF& b) {
  const float z = w.paper().zoomValue();
  a = w.clientToImage(toPointF(snapToViewGrid(w.toolState().anchor, z, false)));
  b = w.clientToImage(toPointF(snapToViewGrid(p, z, true)));
  a = {std::round(a.X), std::round(a.Y)};
  b = constrainedCorner(a, {std::round(b.X), std::round(b.Y)}, constrainHeld(w, shift));
}

// Shift in the second shortcut mode, Alt in the first.
// The extension key (Shift in shortcut mode 1, Alt in mode 0): a crop may
// reach beyond the image, a gradient only sets its points.
bool extensionKeyHeld(TDrawWindow& w, uint32_t shift) {
  shift |= w.keyState().shiftBits();
  return (shift & (w.shared().prefs.shortcutMode == 1 ? kShiftBit : kAltBit)) != 0;
}

void setCropOverlay(TDrawWindow& w, TPointF a, TPointF b) {
  const TPointF corners[4] = {a, {b.X, a.Y}, b, {a.X, b.Y}};
  w.toolState().tool.points.clear();
  for (const TPointF& c : corners) w.toolState().tool.points.push_back(toPointRounded(w.imageToClient(c)));
  w.toolState().tool.count = 4;
  w.toolState().tool.closed = true;
}

// ---- the cursor-key mode ----

ToolId keyToolOf(int32_t kind) {
  switch (kind) {
    case kLayerMove:
      return ToolId::LayerKeyMove;
    case kSelectionMove:
      return ToolId::SelectionKeyMove;
    default:
      return ToolId::LayerSelectionKeyMove;
  }
}

bool arrowStep(int32_t key, TPoint& step) {
  switch (key) {
    case keys::kLeft:
      step = {-1, 0};
      return true;
    case keys::kUp:
      step = {0, -1};
      return true;
    case keys::kRight:
      step = {1, 0};
      return true;
    case keys::kDown:
      step = {0, 1};
      return true;
    default:
      return false;
  }
}

void status(TDrawWindow& w, uint32_t resId) {
  if (w.shared().onStatus) w.shared().onStatus(resId);
}

void finishKeyMode(TDrawWindow& w, bool apply) {
  if ((w.toolState().inputState & input::kKeyMoveMode) == 0) return;
  const int32_t kind = w.toolState().tool.keyKind;
  const TPoint offset = w.toolState().tool.keyOffset;
  w.toolState().inputState &= static_cast<uint16_t>(~input::kKeyMoveMode);
  bool applied = false;
  if (apply && (offset.X != 0 || offset.Y != 0)) {
    applied = applyMove(w, kind, offset);
  } else {
    undoPreview(w, kind);
  }
  w.toolState().tool.keyKind = -1;
  w.toolState().tool.keyOffset = {};
  const bool endRunning = (w.toolState().inputState & input::kEndRunning) != 0;
  w.toolState().inputState |= input::kEndRunning;
  endTool(w, nullptr);
  if (!endRunning) w.toolState().inputState &= static_cast<uint16_t>(~input::kEndRunning);
  if (applied) w.setModified(true);
  status(w, kResCursorKeyModeOff);
  if (w.shared().onKeyMoveMode) w.shared().onKeyMoveMode(w);
}

void enterKeyMode(TDrawWindow& w, int32_t kind, TPoint step) {
  w.toolState().anchor = {};
  w.toolState().currentPoint = {};
  if (!w.installTemporaryTool(keyToolOf(kind))) return;
  w.toolState().inputState |= input::kKeyMoveMode;
  w.toolState().tool.keyKind = kind + kKeyLayer;
  beginMove(w, w.toolState().tool.keyKind);
  w.toolState().tool.keyOffset = step;
  showMove(w, w.toolState().tool.keyKind, step);
  status(w, kResCursorKeyModeOn);
  if (w.shared().onKeyMoveMode) w.shared().onKeyMoveMode(w);
}

// ---- the handlers ----

void dragToolDown(TDrawWindow& w, uint32_t, TPoint p) {
  const int32_t kind = dragKind(w);
  w.toolState().tool.kind = kind;
  switch (kind) {
    case kLayerMove:
      beginMove(w, kind);
      toolInfo(w, 4, {});
      break;
    case kSelectionMove:
    case kLayerAndSelection:
      beginMove(w, kind);
      w.toolState().anchor = snapToViewGrid(p, w.paper().zoomValue(), true);
      w.toolState().inputState |= input::kMoved;
      toolInfo(w, 4, {});
      break;
    case kGradient:
      w.toolState().tool.viewSin = w.paper().view().sinA();
      w.toolState().tool.viewCos = w.paper().view().cosA();
      w.toolState().tool.first = w.toolState().tool.second = w.clientToImage(toPointF(p));
      w.toolState().tool.count = 1;
      w.toolState().tool.points.assign(1, p);
      w.toolState().inputState |= input::kOverlay;
      toolInfo(w, 2, w.toolState().tool.first);
      break;
    case kCrop:
      w.toolState().tool.count = 0;
      w.toolState().tool.points.clear();
      w.toolState().inputState |= input::kOverlay;
      toolInfo(w, 2, w.clientToImage(toPointF(p)));
      break;
    case kKeyLayer:
    case kKeySelection:
    case kKeyBoth:
      finishKeyMode(w, true);
      break;
    default:
      break;
  }
}

void dragToolDrag(TDrawWindow& w, uint32_t shift, TPoint p) {
  if (p == w.toolState().lastPoint && (w.toolState().inputState & input::kMoved) != 0 && !w.toolState().autoScrolled) return;
  switch (w.toolState().tool.kind) {
    case kLayerMove:
    case kSelectionMove:
    case kLayerAndSelection:
      showMove(w, w.toolState().tool.kind, imageDelta(w, p));
      w.toolState().inputState |= input::kMoved;
      break;
    case kGradient:
      if (w.toolState().tool.count < 1) break;
      w.toolState().tool.second = w.clientToImage(toPointF(p));
      if (constrainHeld(w, shift)) w.toolState().tool.second = snapTo15Degrees(w.toolState().tool.first, w.toolState().tool.second);
      setLineOverlay(w);
      showOverlay(w);
      toolInfo(w, 3, {w.toolState().tool.second.X - w.toolState().tool.first.X, w.toolState().tool.second.Y - w.toolState().tool.first.Y});
      break;
    case kCrop: {
      TPointF a, b;
      cropCorners(w, p, shift, a, b);
      setCropOverlay(w, a, b);
      showOverlay(w);
      showPointerInfo(w, shift, p);
      toolInfo(w, 3, {std::fabs(b.X - a.X), std::fabs(b.Y - a.Y)});
      break;
    }
    default:
      break;
  }
  w.toolState().lastPoint = p;
  if (w.shared().prefs.useAutoScroll && w.host() != nullptr) w.host()->setAutoScrollTimer(true);
}

void dragToolUp(TDrawWindow& w, uint32_t shift, TPoint p) {
  const int32_t kind = w.toolState().tool.kind;
  if (kind == kKeyLayer || kind == kKeyBoth || kind < 0) return;
  bool changed = false;
  if (p != w.toolState().anchor) {
    switch (kind) {
      case kLayerMove:
      case kSelectionMove:
      case kLayerAndSelection:
        if ((w.toolState().inputState & input::kMoved) != 0) {
          changed = applyMove(w, kind, imageDelta(w, p));
        } else {
          undoPreview(w, kind);
        }
        break;
      case kGradient: {
        if (w.toolState().tool.count < 1) break;
        TPointF second = w.clientToImage(toPointF(p));
        if (constrainHeld(w, shift)) second = snapTo15Degrees(w.toolState().tool.first, second);
        TPaper& doc = w.paper();
        doc.applyGradientOptions();
        // With the extension key the line only sets the document's gradient
        // points (for the brushes that paint with it); the layer is not filled.
        const bool pointsOnly = extensionKeyHeld(w, shift);
        const bool done = runEdit(w, [&] {
          return doc.fillLayerGradient(w.flow(), doc.currentLayerIndex(), w.toolState().tool.first, second, pointsOnly,
                                       w.shared().toolStroke(), true);
        });
        changed = done && !pointsOnly;
        break;
      }
      case kCrop: {
        TPointF a, b;
        cropCorners(w, p, shift, a, b);
        TRect r = rectOfCorners(a, b);
        TPaper& doc = w.paper();
        // The crop stays on the image unless the extension key is held; then
        // the box may reach beyond it and the canvas grows to the box.
        if (!extensionKeyHeld(w, shift) && !intersectRect(r, TRect{0, 0, doc.width(), doc.height()})) break;
        if (r.Right > r.Left && r.Bottom > r.Top) {
          changed = runEdit(w, [&] { return doc.cropToRect(w.flow(), r, true); });
          // The cropped picture fits the window when the preference asks.
          if (changed) (void)w.autoFitAfterResize();
        }
        break;
      }
      default:
        break;
    }
  } else if (movesLayer(kind) || movesOutline(kind)) {
    undoPreview(w, kind);
  }
  if (changed) w.setModified(true);
  w.toolState().inputState &= static_cast<uint16_t>(~(input::kMoved | input::kOverlay));
  w.toolState().tool.count = 0;
  w.toolState().tool.kind = -1;
  w.invalidateView();
}

void dragToolRightDown(TDrawWindow& w, uint32_t shift, TPoint p) {
  if ((w.toolState().inputState & input::kKeyMoveMode) != 0) {
    finishKeyMode(w, false);
    return;
  }
  rightDownPick(w, shift, p);
}

void cancelDrag(TDrawWindow& w) {
  if (w.toolState().tool.kind >= kLayerMove && w.toolState().tool.kind <= kLayerAndSelection) undoPreview(w, w.toolState().tool.kind);
  w.toolState().tool.kind = -1;
  w.toolState().tool.count = 0;
  w.releaseButton((w.toolState().inputState & input::kRightHeld) != 0 ? PointerButton::Right : PointerButton::Left, 0, nullptr);
  w.toolState().inputState &= static_cast<uint16_t>(~(input::kOverlay | input::kMoved));
  w.invalidateView();
}

void dragToolKey(TDrawWindow& w, int32_t key, uint32_t) {
  if ((w.toolState().inputState & kHeldBits) != 0) {
    if (key == keys::kEscape) cancelDrag(w);
    return;
  }
  TPoint step{};
  if ((w.toolState().inputState & input::kKeyMoveMode) != 0) {
    if (arrowStep(key, step)) {
      const int32_t times = w.keyState().shift ? 10 : 1;
      w.toolState().tool.keyOffset = clampDelta(int64_t{w.toolState().tool.keyOffset.X} + int64_t{step.X} * times,
                                    int64_t{w.toolState().tool.keyOffset.Y} + int64_t{step.Y} * times);
      showMove(w, w.toolState().tool.keyKind, w.toolState().tool.keyOffset);
    } else if (key == keys::kEscape) {
      finishKeyMode(w, false);
    } else if (key == keys::kEnter || key == keys::kSpace) {
      finishKeyMode(w, true);
    }
    return;
  }
  const int32_t kind = dragKind(w);
  if (kind < kLayerMove || kind > kLayerAndSelection || (w.toolState().inputState & input::kTemporaryTool) != 0) return;
  if (!arrowStep(key, step)) return;
  if (w.keyState().shift) step = {step.X * 10, step.Y * 10};
  enterKeyMode(w, kind, step);
}

void dragToolOverlay(TDrawWindow&) {
  // The host draws the rubber band from the window's point list.
}

void dragToolEnd(TDrawWindow& w, const TPoint* p) {
  if ((w.toolState().inputState & input::kKeyMoveMode) != 0) {
    finishKeyMode(w, true);
    return;
  }
  endTool(w, p);
}

}  // namespace

bool startSelectionKeyMove(TDrawWindow& w, int32_t key) {
  TPoint step{};
  if ((w.toolState().inputState & (input::kTemporaryTool | input::kKeyMoveMode)) != 0 || !arrowStep(key, step)) return false;
  if (w.keyState().shift) step = {step.X * 10, step.Y * 10};
  enterKeyMode(w, kSelectionMove, step);
  return (w.toolState().inputState & input::kKeyMoveMode) != 0;
}

bool endKeyMove(TDrawWindow& w) {
  if ((w.toolState().inputState & input::kKeyMoveMode) == 0) return false;
  finishKeyMode(w, true);
  return true;
}

extern const SToolHandlers kDragToolHandlers{dragToolDown,      dragToolDrag, dragToolUp, toolDoubleClick,
                                             dragToolRightDown, nullptr,      nullptr,    nullptr,
                                             showPointerInfo,   dragToolKey,  dragToolOverlay, nullptr,
                                             dragToolEnd};

}  // namespace pg
