// The handler tables of the tool classes and the short tools: brush, zoom,
// eyedropper, hand (scroll, view rotation, brush-size drag) and the seed
// tools and the text tools, which open the text window. The drag and shape
// classes have their own files.
#include "canvas/tool_handlers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "core/block_image.h"
#include "core/lookup_mask.h"
#include "document/layer_data.h"
#include "document/paper.h"

namespace pg {

namespace {

// The brush sizes the size drag moves between.
constexpr float kMinBrushSize = 0.1f;
constexpr float kMaxBrushSize = 200.0f;

// ---- brush ----

void brushDown(TDrawWindow& w, uint32_t, TPoint p) {
  w.strokePoint(w.shared().toolStroke(), false, static_cast<float>(p.X), static_cast<float>(p.Y), 1.0f);
}

void brushDrag(TDrawWindow& w, uint32_t shift, TPoint p) {
  showPointerInfo(w, shift, p);
  if (w.toolState().mousePointSuppression != 0) return;
  w.strokePoint(w.shared().toolStroke(), false, static_cast<float>(p.X), static_cast<float>(p.Y), 1.0f);
  if (w.shared().prefs.useAutoScroll && w.host() != nullptr) w.host()->setAutoScrollTimer(true);
}

void brushUp(TDrawWindow& w, uint32_t, TPoint p) {
  w.strokeEnd(w.shared().toolStroke(), false, static_cast<float>(p.X), static_cast<float>(p.Y));
}

// ---- zoom ----

void zoomClick(TDrawWindow& w, uint32_t shift, TPoint p) {
  bool in = w.shared().currentTool() != ToolId::ZoomOut;
  if ((shift & kRightBit) != 0) in = !in;
  if ((w.toolState().inputState & input::kTemporaryTool) == 0) {
    const SKeyState& k = w.keyState();
    if (w.shared().prefs.shortcutMode == 0 ? k.alt : k.ctrl) in = !in;
  }
  w.zoomAt(p, in);
}

// ---- eyedropper ----

void eyedropperDown(TDrawWindow& w, uint32_t shift, TPoint p) { pickColour(w, p, shift); }

// ---- hand ----

int32_t handKind(TDrawWindow& w) {
  int32_t kind = 0;
  return handKindOf(w.shared().currentTool(), kind) ? kind : 0;
}

void handDown(TDrawWindow& w, uint32_t, TPoint p) {
  w.toolState().handKind = handKind(w);
  switch (w.toolState().handKind) {
    case 0:
    case 1:
      w.toolState().startAngle = w.paper().view().angleRad();
      break;
    case 2: {
      // The active brush's own size and limits; without a tool window the
      // stroke settings' width within the plain limits.
      SBrushSizeRange r{w.shared().toolStroke().WIDTH, kMinBrushSize, kMaxBrushSize};
      if (w.shared().brushSizeRange && !w.shared().brushSizeRange(r))
        r = SBrushSizeRange{w.shared().toolStroke().WIDTH, kMinBrushSize, kMaxBrushSize};
      if (!(r.largest > r.smallest)) r.largest = r.smallest + 1.0f;
      w.toolState().sizeRange = r;
      w.toolState().startSize = r.size;
      break;
    }
    default:
      break;
  }
  w.toolState().startPoint = p;
  w.toolState().lastPoint = p;
}

void rotateByDrag(TDrawWindow& w, TPoint p) {
  const SSize c = w.clientSize();
  const double cx = c.W / 2, cy = c.H / 2;
  const double ax = w.toolState().anchor.X - cx, ay = w.toolState().anchor.Y - cy;
  const double px = p.X - cx, py = p.Y - cy;
  const double angle = -std::atan2(ax * py - ay * px, ax * px + ay * py);
  const double degrees = (w.toolState().startAngle + angle) * 180.0 / std::numbers::pi;
  w.setViewRotation((w.toolState().inputState & input::kMoved) == 0, static_cast<float>(degrees));
  w.toolState().inputState |= input::kMoved;
  w.toolState().lastPoint = p;
}

void handDrag(TDrawWindow& w, uint32_t shift, TPoint p) {
  const bool right = (w.toolState().inputState & input::kRightHeld) != 0 || (shift & kRightBit) != 0;
  switch (w.toolState().handKind) {
    case 0:
      if (right) {
        rotateByDrag(w, p);
      } else {
        const int64_t dx = int64_t{p.X} - w.toolState().lastPoint.X, dy = int64_t{p.Y} - w.toolState().lastPoint.Y;
        w.toolState().lastPoint = p;
        w.scrollBy(static_cast<int32_t>(std::clamp<int64_t>(dx, INT32_MIN / 2, INT32_MAX / 2)),
                   static_cast<int32_t>(std::clamp<int64_t>(dy, INT32_MIN / 2, INT32_MAX / 2)));
      }
      break;
    case 1:
      rotateByDrag(w, p);
      break;
    case 2: {
      if (p.X == w.toolState().startPoint.X) break;
      const SBrushSizeRange& r = w.toolState().sizeRange;
      const double size = w.toolState().startSize + (static_cast<double>(p.X) - w.toolState().startPoint.X) * 100.0 /
                                            (static_cast<double>(r.largest) - r.smallest);
      const auto sized = static_cast<float>(std::clamp<double>(size, r.smallest, r.largest));
      // The tool window takes the size, shows it and hands it to the next
      // stroke; without one the stroke settings take it directly.
      if (w.shared().setBrushSize)
        w.shared().setBrushSize(sized);
      else
        w.shared().toolStroke().setWidth(sized);
      w.toolState().inputState |= input::kMoved;
      break;
    }
    default:
      break;
  }
}

void handUp(TDrawWindow& w, uint32_t shift, TPoint) {
  const bool rotation = w.toolState().handKind == 1 || (w.toolState().handKind == 0 && (shift & kRightBit) != 0);
  if (rotation && (w.toolState().inputState & input::kMoved) == 0) w.resetViewRotation();
}

void handKey(TDrawWindow& w, int32_t key, uint32_t) {
  if ((w.toolState().inputState & (input::kLeftHeld | input::kRightHeld | input::kMiddleHeld)) == 0 || key != keys::kEscape) return;
  const bool rotating = w.toolState().handKind == 1 || (w.toolState().handKind == 0 && (w.toolState().inputState & input::kRightHeld) != 0);
  if (rotating && w.toolState().startAngle != w.paper().view().angleRad()) {
    if (w.toolState().startAngle == 0.0f) {
      w.resetViewRotation();
    } else {
      w.setViewRotation(false, static_cast<float>(w.toolState().startAngle * 180.0 / std::numbers::pi));
    }
  }
  w.releaseButton((w.toolState().inputState & input::kRightHeld) != 0 ? PointerButton::Right : PointerButton::Left, 0, nullptr);
  w.toolState().inputState &= static_cast<uint16_t>(~input::kMoved);
}

// ---- seed tools ----

void seedDown(TDrawWindow& w, uint32_t shift, TPoint p) {
  TPaper& doc = w.paper();
  const CLayerData* layer = doc.currentLayer();
  int32_t kind = 0;
  if (layer == nullptr || !seedKindOf(w.shared().currentTool(), kind) || !w.shared().seedFill) return;
  const TPoint at = w.clientToImageRounded(p);
  // Only on the current layer's image.
  const int64_t lx = int64_t{at.X} + layer->offsetX, ly = int64_t{at.Y} + layer->offsetY;
  if (lx < 0 || ly < 0 || lx >= layer->imageWidth() || ly >= layer->imageHeight()) return;
  if (!w.canEdit(true, false, true)) return;
  SSeedFillRequest request;
  request.kind = kind;
  request.at = at;
  request.settings = kind == kSeedAutoSelect ? w.shared().prefs.wandSeed : w.shared().prefs.fillSeed;
  request.colour = w.shared().mainColor();
  request.shift = shift;
  request.shortcutMode = w.shared().prefs.shortcutMode;
  if (w.shared().seedFill(doc, w.flow(), request)) {
    w.setModified(true);
    w.toolState().inputState |= input::kMoved;
  }
}

void seedHover(TDrawWindow& w, uint32_t shift, TPoint p) {
  showPointerInfo(w, shift, p);
  if (w.shared().currentTool() == ToolId::AutoSelect) w.updateCursor(p);
}

// ---- text ----

void textDown(TDrawWindow& w, uint32_t, TPoint p) {
  CCanvasShared& s = w.shared();
  if (toolClassOf(s.currentTool()) != ToolClass::Text || !s.runTextTool) return;
  s.runTextTool(w, w.clientToImageRounded(p), s.currentTool() == ToolId::TextSelect);
  // The modal window took the button's release: the press ends here.
  w.releaseButton(PointerButton::Left, 0, nullptr);
}

// ---- the tables ----

constexpr SToolHandlers kNullTable{};

constexpr SToolHandlers kBrushTable{brushDown,    brushDrag, brushUp, toolDoubleClick, rightDownPick,
                                    nullptr,      nullptr,   nullptr, showPointerInfo, nullptr,
                                    nullptr,      nullptr,   endTool};
constexpr SToolHandlers kZoomTable{zoomClick, nullptr, nullptr, toolDoubleClick, zoomClick, nullptr, nullptr,
                                   nullptr,   showPointerInfo, nullptr, nullptr, nullptr, endTool};
constexpr SToolHandlers kEyedropperTable{eyedropperDown, nullptr, nullptr, toolDoubleClick, eyedropperDown,
                                         nullptr,        nullptr, nullptr, showPointerInfo, nullptr,
                                         nullptr,        nullptr, endTool};
constexpr SToolHandlers kHandTable{handDown, handDrag, handUp, toolDoubleClick, handDown, handDrag, handUp,
                                   nullptr,  showPointerInfo, handKey, nullptr, nullptr, endTool};
constexpr SToolHandlers kTextTable{textDown, nullptr, nullptr, toolDoubleClick, rightDownPick, nullptr, nullptr,
                                   nullptr,  showPointerInfo, nullptr, nullptr, nullptr, endTool};
constexpr SToolHandlers kSeedTable{seedDown, nullptr, nullptr, toolDoubleClick, rightDownPick, nullptr, nullptr,
                                   nullptr,  seedHover, nullptr, nullptr, nullptr, endTool};

// Per class 0..9.
constexpr const SToolHandlers* kTables[kToolClassCount] = {
    &kBrushTable,      &kZoomTable,           &kEyedropperTable,     &kHandTable, &kSeedTable,
    &kDragToolHandlers, &kBrushShapeHandlers, &kFillShapeHandlers, &kSelectShapeHandlers, &kTextTable,
};

}  // namespace

const SToolHandlers& nullToolHandlers() { return kNullTable; }

const SToolHandlers& toolHandlersOf(ToolClass cls) {
  const uint32_t i = byteOf(cls) & kByteLookupMask;
  if (i >= static_cast<uint32_t>(kToolClassCount)) return kNullTable;
  return *kTables[i];
}

// ---- shared handlers ----

void toolDoubleClick(TDrawWindow& w, uint32_t, TPoint) {
  if (w.shared().onGrabberDoubleClick) (void)w.shared().onGrabberDoubleClick();  // nothing else to do on a double click
}

void rightDownPick(TDrawWindow& w, uint32_t shift, TPoint p) {
  if (!w.shared().prefs.useRBtnColPicker) return;
  // Without Shift into the main colour (as a left click), with it into the second.
  const uint32_t target = (shift & kShiftBit) != 0 ? kRightBit : kLeftBit;
  pickColour(w, p, (shift & ~(kLeftBit | kRightBit)) | target);
}

CToolEditScope::CToolEditScope(TDrawWindow& w) : w_(w), kept_(w.toolState().inputState) {
  w.toolState().inputState &= static_cast<uint16_t>(input::kLeftHeld | input::kRightHeld | input::kMiddleHeld | input::kPressed |
                                        input::kMoved | input::kIgnorePointer | input::kAnchorLocked);
}

CToolEditScope::~CToolEditScope() { w_.toolState().inputState = kept_; }

void toolInfo(TDrawWindow& w, int32_t mode, TPointF value) {
  if (w.shared().onToolInfo) w.shared().onToolInfo(mode, value);
}

void repaintDocArea(TDrawWindow& w, const TRect& docRect) {
  TPaper& doc = w.paper();
  TRect r = docRect;
  if (!intersectRect(r, TRect{0, 0, doc.width(), doc.height()})) return;
  doc.composeRect(SRectXYWH{r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}, true);
  w.repaintImageRect(r);
}

bool constrainHeld(TDrawWindow& w, uint32_t shift) {
  shift |= w.keyState().shiftBits();
  return (shift & kShiftBit) != 0 || (w.shared().prefs.shortcutMode != 0 && (shift & kCtrlBit) != 0);
}

void showPointerInfo(TDrawWindow& w, uint32_t, TPoint p) {
  if (!w.paper().isReady()) return;
  w.toolState().pointerPos = p;
  if (w.shared().onPointerInfo) w.shared().onPointerInfo(w, w.clientToImageRounded(p));
}

void endTool(TDrawWindow& w, const TPoint* p) {
  const SToolHandlers& h = w.handlers();
  if ((w.toolState().inputState & input::kLeftHeld) != 0) {
    if (p != nullptr && h.leftUp != nullptr) h.leftUp(w, kLeftBit, *p);
    w.toolState().inputState &= static_cast<uint16_t>(~input::kLeftHeld);
  } else if ((w.toolState().inputState & input::kRightHeld) != 0) {
    if (p != nullptr && h.rightUp != nullptr) h.rightUp(w, kRightBit, *p);
    w.toolState().inputState &= static_cast<uint16_t>(~input::kRightHeld);
  } else if ((w.toolState().inputState & input::kMiddleHeld) != 0) {
    if (p != nullptr && h.leftUp != nullptr) h.leftUp(w, kLeftBit, *p);
    w.toolState().inputState &= static_cast<uint16_t>(~input::kMiddleHeld);
  }
  // A stroke the press left open (no point to end it at) ends where it was.
  w.finishOpenStroke();
  w.removeTemporaryTool();
  const bool overlay = (w.toolState().inputState & input::kOverlay) != 0;
  w.toolState().inputState &= static_cast<uint16_t>(~(input::kPressed | input::kMoved | input::kIgnorePointer |
                                          input::kAnchorLocked | input::kOverlay));
  if (w.host() != nullptr) w.host()->setAutoScrollTimer(false);
  if (overlay) w.invalidateView();
  w.updateCursor(p != nullptr ? *p : w.pointerPosition());
}

void pickColour(TDrawWindow& w, TPoint p, uint32_t shift) {
  if (w.isStrokeOpen()) return;
  const TPaper& doc = w.paper();
  const TPoint at = w.clientToImageRounded(p);
  uint32_t pixel = 0;
  if ((shift & kCtrlBit) != 0) {
    const CLayerData* layer = doc.currentLayer();
    if (layer == nullptr || !layer->image) return;
    const int64_t lx = int64_t{at.X} + layer->offsetX, ly = int64_t{at.Y} + layer->offsetY;
    pixel = layer->image->getPixelClamped(static_cast<int32_t>(std::clamp<int64_t>(lx, INT32_MIN, INT32_MAX)),
                                          static_cast<int32_t>(std::clamp<int64_t>(ly, INT32_MIN, INT32_MAX)));
  } else {
    if (at.X < 0 || at.Y < 0 || at.X >= doc.composite().Width || at.Y >= doc.composite().Height) return;
    pixel = doc.composite().getPixel(at.X, at.Y);
  }
  pixel &= 0x00FFFFFFu;
  CCanvasShared& s = w.shared();
  if ((shift & kRightBit) != 0) {
    if (s.secondColor() != pixel) s.setSecondColor(pixel);
  } else if (s.mainColor() != pixel) {
    s.setMainColor(pixel);
  }
}

}  // namespace pg
