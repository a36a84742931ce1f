// Operations that change the pixels of one layer as a whole or within a
// shape: clear, fills with a colour or the gradient, alpha fill and
// inversion, alpha from a mask, the figures (rectangle, ellipse, polygon),
// cutting the selection and a new layer from the selection.
#include <algorithm>
#include <cmath>

#include "brush/plot_callbacks.h"
#include "brush/shape_fillers.h"
#include "brush/stroke_settings.h"
#include "core/blend_arith.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"
#include "document/undo_apply.h"

namespace pg {

namespace {

enum : uint8_t { kLayerClear = 2, kLayerCut = 9, kLayerAlphaFill = 24, kLayerAlphaInvert = 25 };
enum : uint8_t { kEditColor = 0, kEditRect = 1, kEditGradient = 2, kEditEllipse = 6 };
enum : uint8_t { kMaskNewLayer = 11, kMaskAlphaToLayer = 21, kMaskNewLayerEx = 24 };

uint16_t u16(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); }

// The part of the layer image the mask covers (or all of it).
TRect maskedRect(const CLayerData& layer, const CMaskData& mask, bool wholeLayer) {
  TRect r{0, 0, layer.imageWidth(), layer.imageHeight()};
  if (wholeLayer) return r;
  TRect b{};
  if (!mask.getBounds(b)) return TRect{};
  TRect m{b.Left + layer.offsetX, b.Top + layer.offsetY, b.Right + layer.offsetX, b.Bottom + layer.offsetY};
  return intersectRect(r, m) ? r : TRect{};
}

// Over the part of the layer the mask covers (the rest of the layer as
// well for keep): a := the new alpha for the mask value m. Its tiles are
// committed first: false (the layer as it was) when memory is short.
template <class F>
[[nodiscard]] bool mapAlphaByMask(CLayerData& layer, const CMaskData& mask, bool wholeLayer, F f) {
  CBlockVMTC& img = *layer.image;
  const TRect r = maskedRect(layer, mask, wholeLayer);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return true;
  if (!img.commitRect(rectToXYWH(r))) return false;
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    for (int32_t x = r.Left; x < r.Right; ++x) {
      const int32_t v = mask.valueAtPaper(x - layer.offsetX, y - layer.offsetY);
      const uint32_t m = v < 0 ? 0 : static_cast<uint32_t>(v);
      const uint32_t p = img.getPixel(x, y);
      const uint32_t a = f(pixelAlpha(p), m);
      if (a != pixelAlpha(p)) (void)img.setPixel(x, y, (p & 0x00FFFFFFu) | (a << 24));  // committed above
    }
  }
  img.compact();
  return true;
}

// The selected part's alpha removed: m = 255 clears, m = 0 keeps; mode 0
// takes the selection as coverage of what is left, mode 1 scales.
[[nodiscard]] bool clearSelectedAlpha(CLayerData& layer, const CMaskData& mask, int32_t mode) {
  if (!layer.image || !mask.hasImage() || (mode != 0 && mode != 1)) return true;
  return mapAlphaByMask(layer, mask, false, [mode](uint32_t a, uint32_t m) -> uint32_t {
    if (m >= 255) return 0;
    if (m == 0) return a;
    if (mode == 1) return (255 - m) * a / 255;
    if (a == 255) return 255 - m;
    return (255 - m) * a * 255 / (65025 - m * a);
  });
}

// Alpha kept only where selected: a := a x m / 255, 0 outside the mask.
[[nodiscard]] bool keepSelectedAlpha(CLayerData& layer, const CMaskData& mask) {
  if (!layer.image) return true;
  if (!mask.hasImage()) return layer.image->fillAlphaAll(0);  // uniform: takes no memory
  return mapAlphaByMask(layer, mask, true, [](uint32_t a, uint32_t m) { return productAt(a, m); });
}

}  // namespace

// ---- whole-layer pixel operations --------------------------------------------------

bool TPaper::clearLayer(TFlowImage& flow, int32_t index, bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image)) return false;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommand(index, u16(index), kLayerClear); });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeUndo(index, kUndoClear); });
  // Filling a whole layer with one value makes every tile uniform: no tile
  // memory is taken, so neither fill can fail.
  (void)layer->image->fillModeNeutralAll(layer->blendMode);
  (void)layer->image->fillAlphaAll(isStandardMode() ? 0 : 255);
  layer->image->compact();
  edit.changed();
  markModified(true);
  (void)resetFlowImage(flow, index, false);  // a flow that fails stays invalid and reloads
  redraw(true);
  layer->fillThumbnail(isStandardMode());
  return true;
}

bool TPaper::alphaEdit(TFlowImage& flow, int32_t index, int kind, uint8_t subcode, uint16_t argument, bool record,
                       const std::function<bool(CLayerData&)>& change) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image)) return false;
  loadFlowImage(flow, index, false);
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return subcode == kMaskAlphaToLayer ? e.recordMaskCommand(index, argument, subcode)
                                              : e.recordLayerCommand(index, argument, subcode);
        });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeLayerUndo(*layer, kind); });
  layer->image->clearCommitFailed();
  if (!change(*layer) || layer->image->commitFailed()) {
    showOutOfMemoryMessage();
    return false;
  }
  edit.changed();
  markModified(true);
  loadFlowImage(flow, index, true);
  repaintLayer(index);
  return true;
}

bool TPaper::fillLayerAlpha(TFlowImage& flow, int32_t index, int32_t alpha, bool record) {
  if (alpha < 0 || alpha > 255) return false;
  return alphaEdit(flow, index, kUndoAlphaReplaced, kLayerAlphaFill, u16(alpha), record, [&](CLayerData& l) {
    return l.image->fillAlphaAll(static_cast<uint32_t>(alpha));
  });
}

bool TPaper::invertLayerAlpha(TFlowImage& flow, int32_t index, bool record) {
  return alphaEdit(flow, index, kUndoInvertAlpha, kLayerAlphaInvert, 0, record,
                   [](CLayerData& l) { return l.image->xorAll(0xFF000000u); });
}

bool TPaper::layerAlphaFromMask(TFlowImage& flow, int32_t index, int32_t maskIndex, bool record) {
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (mask == nullptr) return false;
  return alphaEdit(flow, index, kUndoAlphaReplaced, kMaskAlphaToLayer, u16(maskIndex), record,
                   [&](CLayerData& l) { return mask->writeToLayerAlpha(l); });
}

bool TPaper::cutSelection(TFlowImage& flow, int32_t index, bool record, int32_t maskIndex) {
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (!CMaskData::hasImage(mask) || !selectionEnabled_) return false;
  CWaitCursor wait(owner_);
  const bool ok = alphaEdit(flow, index, kUndoAlphaReplaced, kLayerCut, u16(maskIndex), record, [&](CLayerData& l) {
    return clearSelectedAlpha(l, *mask, 0);
  });
  if (ok) (void)setCurrentLayer(&flow, index);  // a valid index: this only selects it
  return ok;
}

bool TPaper::canLayerFromSelection() const {
  const CLayerData* layer = currentLayer();
  return owner_ != nullptr && const_cast<TPaper*>(this)->canEdit(EditGateFlags{}) && selectionEnabled_ &&
         layer != nullptr && layer->visible && hasSelection();
}

bool TPaper::newLayerFromSelection(TFlowImage& flow, int32_t index, int32_t mode, bool keep, int32_t maskIndex,
                                   bool record) {
  CDocEdit edit(*this, record);
  maskIndex = maskIndexOr(maskIndex);
  CLayerData* layer = getLayer(index);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (!edit.gate(layer != nullptr && layer->image && layer->visible && CMaskData::hasImage(mask) &&
                 selectionEnabled_ && layers_->canAddLayer() && (mode == 0 || mode == 1)))
    return false;
  CWaitCursor wait(owner_);
  // The source's alpha before the change is what the undo gives back.
  std::unique_ptr<CUndoData> rec =
      makeAlphaRecord(*layer, SRectXYWH{0, 0, layer->imageWidth(), layer->imageHeight()}, kUndoLayerFromSelection);
  auto made = std::make_unique<CLayerData>(index + 1, layer->hasOwnUndo());
  // The source's tiles under the selection are had before anything is
  // recorded, so that clearing them after the event cannot run short.
  if (!rec || !made->createImageLike(*layer) || !made->assignFrom(*layer) || !keepSelectedAlpha(*made, *mask) ||
      (!keep && !layer->image->commitRect(rectToXYWH(maskedRect(*layer, *mask, false))))) {
    showOutOfMemoryMessage();
    return false;
  }
  made->image->compact();
  (void)made->updateThumbnail();  // a thumbnail that fails stays stale
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return mode == 0 && !keep ? e.recordMaskCommand(index, u16(maskIndex), kMaskNewLayer)
                                    : e.recordMaskCommandEx(index, u16(maskIndex), kMaskNewLayerEx,
                                                            {.value = static_cast<uint32_t>(mode),
                                                             .option = keep ? 1u : 0u});
        });
      }))
    return false;
  if (!keep) (void)clearSelectedAlpha(*layer, *mask, mode);  // its tiles were committed above
  const int64_t madeId = made->id;
  const int32_t at = layers_->insertExisting(index + 1, std::move(made));
  if (at < 0) return false;
  edit.changed();
  rec->hasPixels = true;
  rec->layerId = layer->id;
  rec->objectId = madeId;
  rec->value1 = at;
  edit.undoAfter(rec);
  markModified(true);
  (void)setCurrentLayer(&flow, at);  // a valid index: this only selects it
  repaintLayer(at);
  toolWindowLink().refreshLayerList();
  return true;
}

// ---- figures ------------------------------------------------------------------------------

bool TPaper::layerFigure(TFlowImage& flow, int32_t index, bool undo,
                         const SFigureBuilder& build, const std::function<bool(IDocEventRecorder&)>& write,
                         bool record) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image)) return false;
  // The fillers clip to the current layer.
  layers_->setCurrent(index);
  loadFlowImage(flow, index, false);
  if (!flow.pixels.IsAllocated()) return false;
  std::unique_ptr<CFillMngr> filler;
  std::function<int32_t(CDibCore&)> fillInto;
  TRect shape{};
  if (!build(filler, fillInto) || !filler || !fillInto || !filler->getBounds(shape)) return false;
  TRect r = shape;
  if (!layer->image->clipRect(r) || !layer->image->commitRect(rectToXYWH(r))) {
    if (!layer->image->clipRect(r)) return false;
    showOutOfMemoryMessage();
    return false;
  }
  if (!edit.event([&](IDocRecorder& rec) { return writeDocEvent(rec, write); })) return false;
  if (undo && record) {
    edit.undoBefore([&](TPaper& d) { return d.storeLayerRectUndo(*layer, rectToXYWH(r), kUndoPixels); });
  } else if (undo && undoAvailable()) {
    // Nothing is recorded here: a snapshot that cannot be kept only leaves the fill without undo.
    (void)storeLayerRectUndo(*layer, rectToXYWH(r), kUndoPixels);
  }
  // The filler reads this document's gradient, tones and selection.
  takeGradientFor(filler->stroke());
  filler->preparePlot();
  const bool filled = fillInto(flow.pixels) > 0;
  (void)syncFlowRect(flow, index, true, r);  // its tiles were committed above
  edit.changed();
  markModified(true);
  repaintRect(index, TRect{r.Left - layer->offsetX, r.Top - layer->offsetY, r.Right - layer->offsetX,
                           r.Bottom - layer->offsetY});
  toolWindowLink().refreshMaskList();
  return filled;
}

bool TPaper::layerFigureRect(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, TStroke& stroke, bool undo,
                             bool record) {
  return paintRectFigure(flow, index, p1, p2, stroke, undo, record, [&](IDocEventRecorder& e) {
    return e.recordLayerEdit(index, 0, kEditRect, &p1, &p2);
  });
}

bool TPaper::paintRectFigure(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, TStroke& stroke, bool undo,
                             bool record, const std::function<bool(IDocEventRecorder&)>& write) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  const TPointF o{static_cast<float>(layer->offsetX), static_cast<float>(layer->offsetY)};
  return layerFigure(
      flow, index, undo,
      [&](std::unique_ptr<CFillMngr>& f, std::function<int32_t(CDibCore&)>& fillInto) {
        f = std::make_unique<CFillMngr>(this, stroke);
        CFillMngr* box = f.get();
        fillInto = [box](CDibCore& t) { return box->fillBox(t); };
        return f->setRect(TPointF{p1.X + o.X, p1.Y + o.Y}, TPointF{p2.X + o.X, p2.Y + o.Y});
      },
      write, record);
}

bool TPaper::layerFigureEllipse(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, double angle,
                                TStroke& stroke, bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr || !std::isfinite(angle)) return false;
  const TPointF o{static_cast<float>(layer->offsetX), static_cast<float>(layer->offsetY)};
  return layerFigure(
      flow, index, record,
      [&](std::unique_ptr<CFillMngr>& f, std::function<int32_t(CDibCore&)>& fillInto) {
        auto e = std::make_unique<CEllipseFiller>(this, angle, stroke);
        const bool ok = e->setEllipse(TPointF{p1.X + o.X, p1.Y + o.Y}, TPointF{p2.X + o.X, p2.Y + o.Y});
        CEllipseFiller* shape = e.get();
        fillInto = [shape](CDibCore& t) { return shape->fill(t); };
        f = std::move(e);
        return ok;
      },
      [&](IDocEventRecorder& e) { return e.recordLayerEdit(index, 0, kEditEllipse, &p1, &p2); }, record);
}

bool TPaper::layerFigurePolygon(TFlowImage& flow, int32_t index, int32_t count, const TPointF* points,
                                TStroke& stroke, bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr || points == nullptr || count < 3 || count > kMaxFigurePoints) return false;
  std::vector<TPointF> moved(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i)
    moved[static_cast<size_t>(i)] = TPointF{points[i].X + static_cast<float>(layer->offsetX),
                                            points[i].Y + static_cast<float>(layer->offsetY)};
  return layerFigure(
      flow, index, record,
      [&](std::unique_ptr<CFillMngr>& f, std::function<int32_t(CDibCore&)>& fillInto) {
        auto p = std::make_unique<CPolygonFiller>(this, stroke);
        const bool ok = p->setPolygon(moved.data(), count);
        CPolygonFiller* shape = p.get();
        fillInto = [shape](CDibCore& t) { return shape->fill(t); };
        f = std::move(p);
        return ok;
      },
      [&](IDocEventRecorder& e) { return e.recordPolygonFill(index, points, count); }, record);
}

bool TPaper::fillLayerColor(TFlowImage& flow, int32_t index, uint32_t colour, TStroke& stroke, bool undo,
                            bool record) {
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  CWaitCursor wait(owner_);
  const uint32_t kept = stroke.color;
  stroke.color = colour;
  const TPointF p1{static_cast<float>(-layer->offsetX), static_cast<float>(-layer->offsetY)};
  const TPointF p2{static_cast<float>(layer->imageWidth() - layer->offsetX),
                   static_cast<float>(layer->imageHeight() - layer->offsetY)};
  const bool ok = paintRectFigure(flow, index, p1, p2, stroke, undo, record, [&](IDocEventRecorder& e) {
    return e.recordLayerEdit(index, colour, kEditColor, nullptr, nullptr);
  });
  stroke.color = kept;
  return ok;
}

bool TPaper::fillLayerGradient(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, bool pointsOnly,
                               TStroke& stroke, bool record) {
  setGradientPointsF(p1, p2);
  if (pointsOnly) return true;
  const CLayerData* layer = getLayer(index);
  if (layer == nullptr) return false;
  const uint8_t kept = stroke.useGradation;
  stroke.useGradation = 1;
  const TPointF a{static_cast<float>(-layer->offsetX), static_cast<float>(-layer->offsetY)};
  const TPointF b{static_cast<float>(layer->imageWidth() - layer->offsetX),
                  static_cast<float>(layer->imageHeight() - layer->offsetY)};
  const bool ok = paintRectFigure(flow, index, a, b, stroke, record, record, [&](IDocEventRecorder& e) {
    return e.recordLayerEdit(index, 0, kEditGradient, &p1, &p2);
  });
  stroke.useGradation = kept;
  return ok;
}

bool TPaper::fillLayerOpaque(TFlowImage& flow, int32_t index, uint32_t colour, bool toolKeepsAlpha) {
  CLayerData* layer = isValidLayer(index) ? getLayer(index) : nullptr;
  if (layer == nullptr || !layer->image) return false;
  loadFlowImage(flow, index, false);
  layer->image->clearCommitFailed();
  const uint32_t rgb = colour & 0x00FFFFFFu;
  const bool filled = isStandardMode() && toolKeepsAlpha ? layer->image->fillRGBAll(rgb)
                                                          : (layer->image->fill(rgb | 0xFF000000u), true);
  if (!filled || layer->image->commitFailed()) {
    showOutOfMemoryMessage();
    return false;
  }
  markModified(true);
  loadFlowImage(flow, index, true);
  repaintLayer(index);
  return true;
}

}  // namespace pg
