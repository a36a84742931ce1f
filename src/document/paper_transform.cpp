// Layer and image transforms: the in-place commands (mirror, flip, colour
// inversion, half turn) on a layer, inside the selection or on every layer;
// quarter turns of a layer and of the image; crop, canvas size and image
// scale, which build the new layer list beside the old one so that the old
// list can be kept whole by the undo.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/det_math.h"
#include "core/limits.h"
#include "core/layer_sampling.h"
#include "core/plane_ops.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/block_scale.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"
#include "document/undo_apply.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/progress.h"

namespace pg {

namespace {

// The event subcodes of the four in-place commands (codes 7..10): a layer
// command, its form inside a selection, and the document event of the
// visible and of all layers.
struct SInPlaceEvents {
  uint8_t layer, selection, visible, all;
};
constexpr SInPlaceEvents kInPlaceEvents[4] = {
    {32, 48, 16, 32},  // 7 mirror
    {33, 49, 17, 33},  // 8 flip
    {35, 51, 19, 35},  // 9 invert colours
    {34, 50, 18, 34},  // 10 half turn
};

int32_t floorDiv2(int32_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

uint16_t u16of(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 0xFFFF)); }

// The whole-image operations' memory messages and the words they take.
constexpr uint32_t kMsgFailedForMemory = 69401;
constexpr uint32_t kMsgNoUndoForMemory = 69402;
// The progress window of scaling: its title, and its line per layer.
constexpr uint32_t kMsgScaling = 69403;
constexpr uint32_t kMsgScalingLayer = 69404;
// Added to the question when the document holds unsaved changes.
constexpr uint32_t kMsgSaveFirst = 69405;
constexpr uint32_t kWordCrop = 69406;
constexpr uint32_t kWordUndo = 69407;

bool isInPlaceCode(int code) { return code >= kUndoMirror && code <= kUndoRotate180; }

// The anchor's offset of the old content in a canvas grown by (dx, dy):
// a 3 x 3 grid counted down each column; halves truncate toward zero.
TPoint anchorOffset(int32_t anchor, int32_t dx, int32_t dy) {
  if (anchor < 0 || anchor > 8) return {0, 0};
  const int32_t col = anchor / 3, row = anchor % 3;
  const auto part = [](int32_t d, int32_t k) { return k == 0 ? 0 : k == 1 ? d / 2 : d; };
  return {part(dx, col), part(dy, row)};
}

}  // namespace

// ---- in-place commands ----------------------------------------------------------

bool TPaper::layerCommand(TFlowImage& flow, int32_t index, bool record, int code) {
  CDocEdit edit(*this, record);
  CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && isInPlaceCode(code))) return false;
  loadFlowImage(flow, index, false);
  const SRectXYWH whole{0, 0, layer->imageWidth(), layer->imageHeight()};
  // Every tile a move of pixels rewrites is committed first, so that
  // running short of memory leaves the layer as it was (an inversion
  // changes uniform tiles without memory).
  if (code != kUndoInvert && !layer->image->commitRect(whole)) {
    showWarning(kMsgLayerCommandFailed);
    return false;
  }
  const uint8_t subcode = kInPlaceEvents[code - kUndoMirror].layer;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommand(index, u16of(index), subcode); });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeLayerRectUndo(*layer, whole, code); });
  if (!applyInPlaceTransform(*layer, code, whole)) {
    showWarning(kMsgLayerCommandFailed);
    return false;
  }
  layer->image->compact();
  edit.changed();
  markModified(true);
  redraw(true);
  updateLayerThumbnail(index);
  (void)resetFlowImage(flow, index, false);  // a flow that fails stays invalid and reloads
  return true;
}

bool TPaper::layerFilterCommand(TFlowImage& flow, int32_t index, bool record, bool blendAlpha, int code,
                                int32_t maskIndex) {
  CLayerData* layer = getLayer(index);
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  TRect sel{};
  if (layer == nullptr || !isInPlaceCode(code)) return false;
  if (!selectionEnabled_ || !CMaskData::hasImage(mask) || !mask->getBounds(sel))
    return layerCommand(flow, index, record, code);
  CDocEdit edit(*this, record);
  if (!edit.gate(layer->image != nullptr)) return false;
  // The selection's bounds in the layer image, clipped to it.
  TRect r{sel.Left + layer->offsetX, sel.Top + layer->offsetY, sel.Right + layer->offsetX, sel.Bottom + layer->offsetY};
  if (!layer->image->clipRect(r) || !layer->image->commitRect(rectToXYWH(r))) {
    showWarning(kMsgLayerCommandFailed);
    return false;
  }
  const SRectXYWH rect = rectToXYWH(r);
  TMTC work(rect.Width, rect.Height);
  if (!work.IsAllocated()) {
    showWarning(kMsgLayerCommandFailed);
    return false;
  }
  layer->image->copyToPlaneRect(work, TPoint{0, 0}, false, 255, rect);
  const SRectXYWH all{0, 0, rect.Width, rect.Height};
  switch (code) {
    case kUndoMirror: mirrorRectH(work, all); break;
    case kUndoFlip: flipRectV(work, all); break;
    case kUndoInvert: xorRect(work, all, 0x00FFFFFFu); break;
    default: rotateRect180(work, all); break;
  }
  const uint8_t subcode = kInPlaceEvents[code - kUndoMirror].selection;
  if (!edit.event([&](IDocRecorder& r2) {
        return writeDocEvent(r2, [&](IDocEventRecorder& e) {
          return e.recordLayerCommandEx(index, u16of(index), subcode,
                                        {.value = static_cast<uint32_t>(maskIndex), .option = blendAlpha ? 1u : 0u});
        });
      }))
    return false;
  edit.undoBefore([&](TPaper& d) { return d.storeLayerRectUndo(*layer, rect, kUndoPixels); });
  // Merged back through the mask: colour (and with blendAlpha the alpha)
  // moves toward the transformed pixel by the selection's value.
  for (int32_t y = 0; y < rect.Height; ++y) {
    for (int32_t x = 0; x < rect.Width; ++x) {
      const int32_t m = mask->valueAtPaper(rect.X + x - layer->offsetX, rect.Y + y - layer->offsetY);
      if (m <= 0) continue;
      uint32_t* p = layer->image->pixelPtr(rect.X + x, rect.Y + y);
      if (p == nullptr) continue;
      const uint32_t src = *work.pixelAt(x, y);
      const uint32_t a = pixelAlpha(*p);
      lerpPixelRgb(p, src, static_cast<uint32_t>(m));
      const uint32_t na = blendAlpha ? lerp255(pixelAlpha(src), a, static_cast<uint32_t>(m)) : a;
      *p = (*p & 0x00FFFFFFu) | (na << 24);
    }
  }
  layer->image->compact();
  edit.changed();
  markModified(true);
  repaintRect(index, TRect{r.Left - layer->offsetX, r.Top - layer->offsetY, r.Right - layer->offsetX,
                           r.Bottom - layer->offsetY});
  (void)resetFlowImage(flow, index, false);  // a flow that fails stays invalid and reloads
  return true;
}

bool TPaper::transformLayersInPlace(TFlowImage& flow, int code, bool visibleOnly, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->count() > 0 && code >= kUndoMirrorAll && code <= kUndoRotate180All))
    return false;
  const int single = code - (kUndoMirrorAll - kUndoMirror);
  std::vector<int64_t> ids;
  for (int32_t i = 0; i < layers_->count(); ++i) {
    CLayerData* l = layers_->getLayer(i);
    if (visibleOnly && !l->visible) continue;
    if (!l->image || !l->image->commitRect(SRectXYWH{0, 0, l->imageWidth(), l->imageHeight()})) {
      showWarning(kMsgLayerCommandFailed);
      return false;
    }
    ids.push_back(l->id);
  }
  const SInPlaceEvents& ev = kInPlaceEvents[single - kUndoMirror];
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordDocumentEvent(visibleOnly ? ev.visible : ev.all);
        });
      }))
    return false;
  const int32_t current = currentLayerIndex();
  edit.undoBefore([&](TPaper& d) { return d.undoMngr() != nullptr && d.undoMngr()->recordLayersTransform(code, current, ids); });
  for (int32_t i = 0; i < layers_->count(); ++i) {
    CLayerData* l = layers_->getLayer(i);
    if (visibleOnly && !l->visible) continue;
    // Every tile was committed above: the transform cannot run short.
    (void)applyInPlaceTransform(*l, single, SRectXYWH{0, 0, l->imageWidth(), l->imageHeight()});
    l->image->compact();
    if (!visibleOnly) (void)l->updateThumbnail();  // a thumbnail that fails stays stale
  }
  edit.changed();
  markModified(true);
  redraw(true);
  (void)selectLayer(&flow, current);  // a valid index: this only selects it
  return true;
}

bool TPaper::transformVisibleInPlace(TFlowImage& flow, int code, bool record) {
  return transformLayersInPlace(flow, code, true, record);
}

bool TPaper::transformAllInPlace(TFlowImage& flow, int code, bool record) {
  return transformLayersInPlace(flow, code, false, record);
}

// ---- quarter turns ----------------------------------------------------------------

std::unique_ptr<CLayerData> TPaper::turnedLayer(const CLayerData& layer, bool clockwise, SSize docSize) const {
  auto turned = std::make_unique<CLayerData>(layer.index, layer.hasOwnUndo());
  if (!layer.image || !turned->createImage(layer.imageHeight(), layer.imageWidth(), layer.blendMode)) return nullptr;
  if (!layer.image->rotateToBlock(*turned->image, TPoint{0, 0}, clockwise)) return nullptr;
  turned->image->compact();
  turned->copyAttributes(layer);
  turned->id = layer.id;
  // A document point (x, y) turned clockwise lands at (H - 1 - y, x), so the
  // new top-left corner is the old bottom-left (and top-right the other way).
  if (clockwise) {
    turned->offsetX = layer.imageHeight() - layer.offsetY - docSize.H;
    turned->offsetY = layer.offsetX;
  } else {
    turned->offsetX = layer.offsetY;
    turned->offsetY = layer.imageWidth() - layer.offsetX - docSize.W;
  }
  turned->width = docSize.H;
  turned->height = docSize.W;
  (void)turned->fitThumbnail();  // a thumbnail that fails stays stale
  return turned;
}

namespace {

// The one value of every pixel of a rectangle (inside the channel) of
// uniform tiles; false when a tile of it holds pixels or the tiles differ.
[[nodiscard]] bool uniformValue(const CBlockVCH& img, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t& v) {
  const int32_t s = img.tileShift();
  bool first = true;
  for (int32_t row = y0 >> s; row <= (y1 - 1) >> s; ++row)
    for (int32_t col = x0 >> s; col <= (x1 - 1) >> s; ++col) {
      const STileRec* t = img.tileAtIndex(col, row);
      if (t == nullptr || t->committed() || (!first && uint8_t(t->uniform) != v)) return false;
      v = uint8_t(t->uniform);
      first = false;
    }
  return !first;
}

// Turns src (w x h) a quarter into dst (h x w, every tile uniform 0) one
// destination tile at a time: a tile (its part inside the image) turned from
// uniform tiles of one value takes it without memory, so a large selection
// costs its tiles, not its pixels; only the other tiles' selected pixels are
// written.
[[nodiscard]] bool turnMaskTiles(const CBlockVCH& src, CBlockVCH& dst, bool clockwise) {
  const int32_t w = src.width(), h = src.height(), edge = dst.tileEdge();
  for (int32_t row = 0; row < dst.rows(); ++row)
    for (int32_t col = 0; col < dst.columns(); ++col) {
      const int32_t nx0 = col * edge, ny0 = row * edge;
      const int32_t nx1 = std::min(nx0 + edge, dst.width()), ny1 = std::min(ny0 + edge, dst.height());
      // The source rectangle this tile is turned from: (x, y) lands at
      // (h - 1 - y, x) clockwise and at (y, w - 1 - x) the other way.
      const int32_t sx0 = clockwise ? ny0 : w - ny1, sx1 = clockwise ? ny1 : w - ny0;
      const int32_t sy0 = clockwise ? h - nx1 : nx0, sy1 = clockwise ? h - nx0 : nx1;
      if (uint8_t v = 0; uniformValue(src, sx0, sy0, sx1, sy1, v)) {
        dst.tileAtIndex(col, row, false)->uniform = v;
        continue;
      }
      for (int32_t y = sy0; y < sy1; ++y)
        for (int32_t x = sx0; x < sx1; ++x) {
          const uint8_t p = src.getPixel(x, y);
          if (p == 0) continue;
          const int32_t nx = clockwise ? h - 1 - y : y, ny = clockwise ? x : w - 1 - x;
          if (!dst.setPixel(nx, ny, p)) return false;
        }
    }
  return true;
}

}  // namespace

std::unique_ptr<CMaskData> TPaper::turnedMask(const CMaskData& mask, bool clockwise, SSize docSize) const {
  std::unique_ptr<CMaskData> t;
  // A mask without an image keeps its place as an empty image would, so
  // that the turn back (an undo) puts it where it was.
  const int32_t w = mask.hasImage() ? mask.imageWidth() : 0, h = mask.hasImage() ? mask.imageHeight() : 0;
  if (!mask.hasImage()) {
    t = std::make_unique<CMaskData>(mask.index);
  } else {
    t = CMaskData::createSized(mask.index, h, w);
    if (!t || !t->hasImage()) return nullptr;
    t->image->clearCommitFailed();
    if (!turnMaskTiles(*mask.image, *t->image, clockwise)) return nullptr;
    t->image->compact();
  }
  // The same placement as a layer's (see turnedLayer).
  if (clockwise) {
    t->offsetX = h - mask.offsetY - docSize.H;
    t->offsetY = mask.offsetX;
  } else {
    t->offsetX = mask.offsetY;
    t->offsetY = w - mask.offsetX - docSize.W;
  }
  t->id = mask.id;
  t->name = mask.name;
  return t;
}

namespace {
// A rebuilt layer trimmed to what it needs: the tiles that hold any alpha,
// never less than the document. Kept as it is when the trimmed size takes
// as many tiles each way as the image has already; null when the trimmed
// copy cannot be made (the untrimmed layer then stays in use).
std::unique_ptr<CLayerData> trimmedToDocument(std::unique_ptr<CLayerData> layer, SSize doc) {
  if (!layer || !layer->image) return layer;
  layer->image->compact();
  const TRect image = layer->imageRect();
  TRect keep{0, 0, doc.W, doc.H};
  TRect bounds{};
  if (layer->image->getOpaqueBounds(bounds))
    unionRect(keep, TRect{bounds.Left - layer->offsetX, bounds.Top - layer->offsetY, bounds.Right - layer->offsetX,
                          bounds.Bottom - layer->offsetY});
  // The kept rectangle always holds the whole document, also where a turn
  // left the document uncovered (a quarter turn of an oblong picture):
  // painting must reach every pixel of the document. The image is kept as
  // it is only when it covers that rectangle and trimming saves no tile.
  TRect covered = keep;
  const bool covers = intersectRect(covered, image) && covered == keep;
  const auto tiles = [](int32_t n) { return (int64_t{n} + CBlockVMTC::kEdge - 1) / CBlockVMTC::kEdge; };
  const SSize size = rectSize(keep);
  if (covers && tiles(size.W) == tiles(layer->imageWidth()) && tiles(size.H) == tiles(layer->imageHeight()))
    return layer;
  std::unique_ptr<CLayerData> trimmed =
      layer->cloneRegion(size, TPoint{image.Left - keep.Left, image.Top - keep.Top});
  if (!trimmed) return layer;
  trimmed->copyAttributes(*layer);
  trimmed->id = layer->id;
  trimmed->offsetX = -keep.Left;
  trimmed->offsetY = -keep.Top;
  trimmed->width = layer->width;
  trimmed->height = layer->height;
  trimmed->image->compact();
  (void)trimmed->fitThumbnail();  // a thumbnail that fails stays stale
  (void)trimmed->updateThumbnail();  // a thumbnail that fails stays stale
  return trimmed;
}
}  // namespace

bool TPaper::rotateLayer90(TFlowImage& flow, int32_t index, bool record, bool clockwise) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image)) return false;
  CWaitCursor wait(owner_);
  // The layer turns about the document's centre: turned with the document,
  // then moved so that the document's rectangle stays where it is.
  std::unique_ptr<CLayerData> turned = turnedLayer(*layer, clockwise, SSize{width_, height_});
  if (!turned) {
    showOutOfMemoryMessage();
    return false;
  }
  // The whole-document turn maps pixel (x, y) to (H - 1 - y, x) (or
  // (y, W - 1 - x)); about the centre it is that moved by ((W - H) / 2,
  // (H - W) / 2) either way.
  const int32_t sx = floorDiv2(width_ - height_), sy = floorDiv2(height_ - width_);
  turned->offsetX -= sx;
  turned->offsetY -= sy;
  turned->width = width_;
  turned->height = height_;
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerCommand(index, u16of(index), clockwise ? 36 : 37);
        });
      }))
    return false;
  return layerReplaced(edit, kUndoLayerReplaced, &flow, index, trimmedToDocument(std::move(turned), SSize{width_, height_}));
}

bool TPaper::rotateLayer(TFlowImage& flow, int32_t index, bool record, float degrees) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && std::isfinite(degrees))) return false;
  CWaitCursor wait(owner_);
  const double rad = static_cast<double>(degrees) * 3.14159265358979323846 / 180.0;
  const double cs = dmath::cos(rad), sn = dmath::sin(rad);
  const double cx = width_ / 2.0, cy = height_ / 2.0;
  // The turned image rectangle, reaching at least the document's far edges.
  const TRect src = layer->imageRect();
  double minX = 0, minY = 0, maxX = width_, maxY = height_;
  for (const double x : {double(src.Left), double(src.Right)})
    for (const double y : {double(src.Top), double(src.Bottom)}) {
      const double tx = cx + (x - cx) * cs - (y - cy) * sn, ty = cy + (x - cx) * sn + (y - cy) * cs;
      minX = std::min(minX, tx), maxX = std::max(maxX, tx), minY = std::min(minY, ty), maxY = std::max(maxY, ty);
    }
  const TRect cover{static_cast<int32_t>(std::floor(minX)), static_cast<int32_t>(std::floor(minY)),
                    static_cast<int32_t>(std::ceil(maxX)), static_cast<int32_t>(std::ceil(maxY))};
  const SSize size = rectSize(cover);
  auto turned = std::make_unique<CLayerData>(layer->index, layer->hasOwnUndo());
  if (!planeSizeAllowed(size.W, size.H) || !turned->createImage(size.W, size.H, layer->blendMode)) {
    showOutOfMemoryMessage();
    return false;
  }
  // Each destination pixel's centre turned back into the source, sampled
  // bilinearly in 16.16; outside the source the background.
  CBlockVMTC& dst = *turned->image;
  dst.clearCommitFailed();
  for (int32_t y = 0; y < size.H; ++y) {
    for (int32_t x = 0; x < size.W; ++x) {
      const double qx = cover.Left + x + 0.5 - cx, qy = cover.Top + y + 0.5 - cy;
      const double px = cx + qx * cs + qy * sn + layer->offsetX - 0.5;
      const double py = cy - qx * sn + qy * cs + layer->offsetY - 0.5;
      if (px <= -1.0 || py <= -1.0 || px >= layer->imageWidth() || py >= layer->imageHeight()) continue;
      const uint32_t v = sampleBilinearBlock(*layer->image, static_cast<int32_t>(std::lround(px * 65536.0)),
                                             static_cast<int32_t>(std::lround(py * 65536.0)), false);
      if (v != dst.background() && !dst.setPixel(x, y, v)) break;
    }
  }
  if (dst.commitFailed()) {
    showOutOfMemoryMessage();
    return false;
  }
  dst.compact();
  turned->copyAttributes(*layer);
  turned->id = layer->id;
  turned->offsetX = -cover.Left;
  turned->offsetY = -cover.Top;
  turned->width = width_;
  turned->height = height_;
  (void)turned->fitThumbnail();  // a thumbnail that fails stays stale
  (void)turned->updateThumbnail();  // a thumbnail that fails stays stale
  uint32_t bits = 0;
  std::memcpy(&bits, &degrees, sizeof bits);
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordLayerCommandEx(index, u16of(index), 38, {.value = bits}); });
      }))
    return false;
  return layerReplaced(edit, kUndoLayerReplaced, &flow, index, trimmedToDocument(std::move(turned), SSize{width_, height_}));
}

bool TPaper::scaleLayer(TFlowImage& flow, int32_t index, bool record, int32_t w, int32_t h) {
  CDocEdit edit(*this, record);
  const CLayerData* layer = getLayer(index);
  if (!edit.gate(layer != nullptr && layer->image && w >= 1 && h >= 1 && w <= 2 * kMaxImageWidth &&
                 h <= 2 * kMaxImageHeight))
    return false;
  CWaitCursor wait(owner_);
  // The offset scales with the image (64-bit products); the image reaches
  // at least the document's far edges.
  const int32_t ox = static_cast<int32_t>(int64_t{layer->offsetX} * w / layer->imageWidth());
  const int32_t oy = static_cast<int32_t>(int64_t{layer->offsetY} * h / layer->imageHeight());
  const int32_t iw = std::max(width_ + std::max(ox, 0), w), ih = std::max(height_ + std::max(oy, 0), h);
  auto scaled = std::make_unique<CLayerData>(layer->index, layer->hasOwnUndo());
  if (!planeSizeAllowed(iw, ih) || !scaled->createImage(iw, ih, layer->blendMode) ||
      !resampleLayerImage(*layer->image, *scaled->image, w, h)) {
    showOutOfMemoryMessage();
    return false;
  }
  scaled->copyAttributes(*layer);
  scaled->id = layer->id;
  scaled->offsetX = ox;
  scaled->offsetY = oy;
  scaled->width = width_;
  scaled->height = height_;
  (void)scaled->fitThumbnail();  // a thumbnail that fails stays stale
  (void)scaled->updateThumbnail();  // a thumbnail that fails stays stale
  if (!edit.event([&](IDocRecorder& r) {
        return writeDocEvent(r, [&](IDocEventRecorder& e) {
          return e.recordLayerCommandEx(index, u16of(index), 39,
                                        {.value = static_cast<uint32_t>(w), .option = static_cast<uint32_t>(h)});
        });
      }))
    return false;
  return layerReplaced(edit, kUndoLayerReplaced, &flow, index, trimmedToDocument(std::move(scaled), SSize{width_, height_}));
}

bool TPaper::turnImage90(bool clockwise, const std::function<bool()>& beforeChange) {
  if (!layers_ || layers_->count() == 0) return false;
  // Every turned layer is built before any is put in place.
  std::vector<std::unique_ptr<CLayerData>> turned;
  for (int32_t i = 0; i < layers_->count(); ++i) {
    std::unique_ptr<CLayerData> t = turnedLayer(*layers_->getLayer(i), clockwise, SSize{width_, height_});
    if (!t) return false;
    turned.push_back(std::move(t));
  }
  // The selections turn with the picture.
  std::vector<std::unique_ptr<CMaskData>> masks;
  for (int32_t i = 0; masks_ && i < masks_->count(); ++i) {
    std::unique_ptr<CMaskData> m = turnedMask(*masks_->getMask(i), clockwise, SSize{width_, height_});
    if (!m) return false;
    masks.push_back(std::move(m));
  }
  if (beforeChange && !beforeChange()) return false;
  // Indices within both lists: the replaced layers are freed, the masks swap.
  for (int32_t i = 0; i < layers_->count(); ++i) (void)layers_->replaceLayer(i, std::move(turned[static_cast<size_t>(i)]));
  for (size_t i = 0; i < masks.size(); ++i) (void)masks_->swapMaskAt(static_cast<int32_t>(i), masks[i]);
  const int32_t w = width_;
  width_ = height_;
  height_ = w;
  layers_->setDocumentSize(width_, height_);
  if (masks_) {
    masks_->setDocumentSize(width_, height_);
    (void)masks_->updateAllThumbnails();  // a thumbnail that fails stays stale
    (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  }
  if (!composite_.Resize(width_, height_)) debugOutput("document: the composite could not take the new size");
  for (int32_t i = 0; i < layers_->count(); ++i) (void)layers_->getLayer(i)->fitThumbnail();  // a thumbnail that fails stays stale
  return true;
}

bool TPaper::rotateImage90(TFlowImage& flow, bool clockwise, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->count() > 0)) return false;
  CWaitCursor wait(owner_);
  bool written = true;
  const bool turned = turnImage90(clockwise, [&] {
    written = edit.event([&](IDocRecorder& r) {
      return writeDocEvent(r, [&](IDocEventRecorder& e) { return e.recordDocumentEvent(clockwise ? 4 : 5); });
    });
    return written;
  });
  if (!turned) {
    if (written) showOutOfMemoryMessage();
    return false;
  }
  edit.changed();
  const CLayerData* current = currentLayer();
  auto rec = CUndoData::make(kUndoRotateImage90, current != nullptr ? static_cast<int64_t>(current->id) : -1);
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = currentLayerIndex();
    rec->value1 = clockwise ? 1 : 0;
    edit.undoAfter(rec);
  }
  markModified(true);
  flow.fitDocument(false);
  redraw(true);
  if (owner_ != nullptr) owner_->documentLayoutChanged(true);
  (void)selectLayer(&flow, currentLayerIndex());  // a valid index: this only selects it
  return true;
}

bool TPaper::undoRotateImage90(bool clockwise) {
  if (!turnImage90(clockwise, {})) return false;
  if (flow_ != nullptr) flow_->fitDocument(false);
  return true;
}

// ---- whole-image operations ----------------------------------------------------------

std::unique_ptr<CLayerMngr> TPaper::buildLayerList(SSize docSize,
                                                   const std::function<std::unique_ptr<CLayerData>(const CLayerData&)>& make) const {
  auto list = std::make_unique<CLayerMngr>(std::max(layers_->count(), 1));
  list->setDocumentSize(docSize.W, docSize.H);
  list->setNameCounter(layers_->nameCounter());
  for (int32_t i = 0; i < layers_->count(); ++i) {
    const CLayerData& old = *layers_->getLayer(i);
    std::unique_ptr<CLayerData> l = make(old);
    if (!l) return nullptr;
    l->copyAttributes(old);
    l->width = docSize.W;
    l->height = docSize.H;
    if (list->insertAt(i, std::move(l)) != i) return nullptr;
  }
  list->renumber();
  list->setCurrent(layers_->current());
  for (int32_t i = 0; i < list->count(); ++i) (void)list->getLayer(i)->fitThumbnail();  // a thumbnail that fails stays stale
  return list;
}

bool TPaper::replaceLayerList(CDocEdit& edit, int kind, std::unique_ptr<CLayerMngr> list,
                              std::unique_ptr<CMaskMngr> maskList, TPoint maskShift) {
  if (!list) return false;
  const int32_t current = layers_->current();
  std::unique_ptr<CLayerMngr> old = std::move(list);
  (void)undoExchangeLayerList(old);  // fails only for a null list, refused above
  if (maskList) {
    (void)undoExchangeMaskList(maskList);  // as above
  } else if (masks_) {
    // The selection keeps its place on the picture.
    for (int32_t i = 0; i < masks_->count(); ++i) {
      CMaskData* m = masks_->getMask(i);
      m->offsetX += maskShift.X;
      m->offsetY += maskShift.Y;
    }
  }
  edit.changed();
  const CLayerData* cur = layers_->getLayer(current);
  auto rec = CUndoData::make(kind, cur != nullptr ? static_cast<int64_t>(cur->id) : -1);
  if (rec) {
    rec->hasPixels = true;
    rec->layerIndex = current;
    rec->value1 = maskShift.X;
    rec->value2 = maskShift.Y;
    rec->kept.layerList = std::move(old);
    rec->kept.maskList = std::move(maskList);
    // Kept by the undo, or freed here; without the record the history no
    // longer matches the document.
    if (!edit.undoAfter(rec) && edit.recording()) clearUndo();
  }
  if (!composite_.Resize(width_, height_)) debugOutput("document: the composite could not take the new size");
  if (masks_) (void)masks_->updateAllThumbnails();  // a thumbnail that fails stays stale
  if (masks_) (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  markModified(true);
  if (flow_ != nullptr) flow_->fitDocument(false);
  redraw(true);
  if (owner_ != nullptr) owner_->documentLayoutChanged(true);
  (void)selectLayer(flow_, current);  // a valid index: this only selects it
  return true;
}

namespace {
// Short of memory for the undo: asks whether to go on without it, advising
// a save first when there are unsaved changes.
bool askRunWithoutUndo(const IDocWindow* owner) {
  std::string text = formatRes(kMsgNoUndoForMemory, {resString(kWordUndo)});
  if (owner != nullptr && owner->isModified()) text += "\n" + resString(kMsgSaveFirst);
  return askConfirm(text, MessageButtons::YesNo) == kMrYes;
}
}  // namespace

bool TPaper::reframeCanvas(SSize newSize, TPoint shift, int kind,
                           const std::function<bool(IDocEventRecorder&)>& write, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(layers_ && layers_->count() > 0 && newSize.W >= 1 && newSize.H >= 1 &&
                 newSize.W <= kMaxImageWidth && newSize.H <= kMaxImageHeight))
    return false;
  CWaitCursor wait(owner_);
  // Every layer holds its old content moved by `shift`. A crop keeps the
  // new canvas only; a canvas size keeps the whole old image too (the union
  // of it and the new canvas), so that shrinking the canvas and growing it
  // back loses nothing.
  const bool keepOutside = kind == kUndoCanvasSize;
  const auto reframe = [&](const CLayerData& old) -> std::unique_ptr<CLayerData> {
    const int64_t left = int64_t{shift.X} - old.offsetX, top = int64_t{shift.Y} - old.offsetY;
    TRect cover{0, 0, newSize.W, newSize.H};
    if (keepOutside) {
      const int64_t right = left + old.imageWidth(), bottom = top + old.imageHeight();
      const int64_t l = std::min<int64_t>(0, left), t = std::min<int64_t>(0, top);
      const int64_t r = std::max<int64_t>(newSize.W, right), b = std::max<int64_t>(newSize.H, bottom);
      if (!planeSizeAllowed(r - l, b - t)) return nullptr;
      cover = TRect{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r), static_cast<int32_t>(b)};
    }
    // Within a plane's size once covered, so these fit 32 bits; a crop
    // whose box lies far off is cut to nothing by the copy.
    if (!keepOutside && (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX)) return nullptr;
    std::unique_ptr<CLayerData> l = old.cloneRegion(
        rectSize(cover), TPoint{static_cast<int32_t>(left - cover.Left), static_cast<int32_t>(top - cover.Top)});
    if (l) {
      l->offsetX = -cover.Left;
      l->offsetY = -cover.Top;
    }
    return l;
  };
  std::unique_ptr<CLayerMngr> list = buildLayerList(newSize, reframe);
  if (!list) {
    // Crop has no other way; the canvas size may still run layer by layer
    // without keeping the old list, when the user agrees to lose the undo.
    if (kind == kUndoCropImage) {
      showWarning(formatRes(kMsgFailedForMemory, {resString(kWordCrop)}));
      return false;
    }
    if (record && undoAvailable() && !askRunWithoutUndo(owner_))
      return false;
    if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
    return reframeInPlace(edit, newSize, reframe, TPoint{-shift.X, -shift.Y});
  }
  if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
  return replaceLayerList(edit, kind, std::move(list), nullptr, TPoint{-shift.X, -shift.Y});
}

bool TPaper::reframeInPlace(CDocEdit& edit, SSize newSize,
                            const std::function<std::unique_ptr<CLayerData>(const CLayerData&)>& make, TPoint maskShift) {
  // One layer at a time, each replaced as soon as it is made; the history
  // cannot follow and is cleared.
  for (int32_t i = 0; i < layers_->count(); ++i) {
    const CLayerData& old = *layers_->getLayer(i);
    std::unique_ptr<CLayerData> l = make(old);
    if (!l) {
      showOutOfMemoryMessage();
      clearUndo();
      return false;
    }
    l->copyAttributes(old);
    l->id = old.id;
    l->width = newSize.W;
    l->height = newSize.H;
    (void)l->fitThumbnail();  // a thumbnail that fails stays stale
    (void)layers_->replaceLayer(i, std::move(l));  // frees the old layer; i is within the list
  }
  width_ = newSize.W;
  height_ = newSize.H;
  layers_->setDocumentSize(width_, height_);
  edit.changed();
  clearUndo();
  if (masks_) {
    masks_->setDocumentSize(width_, height_);
    for (int32_t i = 0; i < masks_->count(); ++i) {
      masks_->getMask(i)->offsetX += maskShift.X;
      masks_->getMask(i)->offsetY += maskShift.Y;
    }
    (void)masks_->updateAllThumbnails();  // a thumbnail that fails stays stale
    (void)masks_->traceAnts(SSize{width_, height_}, -1);  // the outline only shows the selection
  }
  if (!composite_.Resize(width_, height_)) debugOutput("document: the composite could not take the new size");
  markModified(true);
  if (flow_ != nullptr) flow_->fitDocument(false);
  redraw(true);
  if (owner_ != nullptr) owner_->documentLayoutChanged(true);
  (void)selectLayer(flow_, layers_->current());  // a valid index: this only selects it
  return true;
}

bool TPaper::resizeCanvas(TFlowImage&, int32_t w, int32_t h, int32_t anchor, bool record) {
  const TPoint shift = anchorOffset(anchor, w - width_, h - height_);
  return reframeCanvas(SSize{w, h}, shift, kUndoCanvasSize, [&](IDocEventRecorder& e) {
    return e.recordCanvasResize(w, h, static_cast<uint8_t>(anchor & 0xFF), 0);
  }, record);
}

bool TPaper::cropToRect(TFlowImage&, const TRect& rect, bool record) {
  // The box may reach beyond the image (the canvas grows there) but must
  // overlap it and stay within the largest image; a recording's box is
  // untrusted, so the sizes are taken in 64 bits.
  const TRect& r = rect;
  TRect overlap = r;
  if (int64_t{r.Right} - r.Left > kMaxImageWidth || int64_t{r.Bottom} - r.Top > kMaxImageHeight ||
      !intersectRect(overlap, TRect{0, 0, width_, height_}))
    return false;
  return reframeCanvas(rectSize(r), TPoint{-r.Left, -r.Top}, kUndoCropImage, [&](IDocEventRecorder& e) {
    return e.recordImageCrop(0, 0, r);
  }, record);
}

bool TPaper::scaleImage(TFlowImage&, int32_t w, int32_t h, int32_t method, bool record) {
  return rescaleImage(SSize{w, h}, method, true, record);
}

bool TPaper::zoomLayers(TFlowImage&, int32_t w, int32_t h, int32_t method, bool record) {
  return rescaleImage(SSize{w, h}, method, false, record);
}

bool TPaper::rescaleImage(SSize newSize, int32_t method, bool withMasks, bool record) {
  CDocEdit edit(*this, record);
  const int32_t w = newSize.W, h = newSize.H;
  if (!edit.gate(layers_ && layers_->count() > 0 && width_ > 0 && height_ > 0 && w >= 1 && h >= 1 &&
                 w <= kMaxImageWidth && h <= kMaxImageHeight && (method == 1 || method == 2)))
    return false;
  CWaitCursor wait(owner_);
  const double fx = static_cast<double>(w) / width_, fy = static_cast<double>(h) / height_;
  // One step per layer, naming the layer at work.
  std::unique_ptr<IProgress> progress = showProgressDlg(layers_->count(), resString(kMsgScaling), "");
  const auto scaleLayerImage = [&](const CLayerData& old) -> std::unique_ptr<CLayerData> {
    progress->setText(formatRes(kMsgScalingLayer, {old.name}));
    progress->step(1);
    // Image size and offset scale with the picture; the image still covers
    // the new canvas. Method 1 is the tiled image's own stretch, 2 the area
    // average.
    const int32_t iw = std::clamp(static_cast<int32_t>(std::floor(old.imageWidth() * fx + 0.5)), 1, 2 * kMaxImageWidth);
    const int32_t ih = std::clamp(static_cast<int32_t>(std::floor(old.imageHeight() * fy + 0.5)), 1, 2 * kMaxImageWidth);
    auto l = std::make_unique<CLayerData>(old.index, old.hasOwnUndo());
    if (!old.image || !l->createImage(std::max(iw, w), std::max(ih, h), old.blendMode)) return nullptr;
    if (method == 2) {
      if (!resampleLayerImage(*old.image, *l->image, iw, ih)) return nullptr;
    } else {
      CBlockVMTC scaled(iw, ih);
      if (!scaled.isValid() || !scaled.stretchFrom(*old.image)) return nullptr;
      if (!l->image->assignRect(scaled, TPoint{0, 0}, SRectXYWH{0, 0, iw, ih}) && l->image->commitFailed())
        return nullptr;
      l->image->compact();
    }
    l->offsetX = std::clamp(static_cast<int32_t>(std::floor(old.offsetX * fx + 0.5)), 0, l->imageWidth() - w);
    l->offsetY = std::clamp(static_cast<int32_t>(std::floor(old.offsetY * fy + 0.5)), 0, l->imageHeight() - h);
    return l;
  };
  const auto write = [&](IDocEventRecorder& e) {
    return e.recordImageScale(w, h, withMasks ? 9 : 3, static_cast<uint16_t>(method));
  };
  std::unique_ptr<CLayerMngr> list = buildLayerList(newSize, scaleLayerImage);
  std::unique_ptr<CMaskMngr> maskList = withMasks && masks_ && list ? masks_->makeScaledMaskList(newSize, method) : nullptr;
  if (!list || (withMasks && masks_ && !maskList)) {
    // Without room for the old and new lists side by side the picture may
    // still be scaled layer by layer, when the user agrees to lose the undo.
    list.reset();
    if (record && undoAvailable() && !askRunWithoutUndo(owner_))
      return false;
    if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
    if (withMasks && masks_ && !masks_->scaleAllMasks(newSize, method)) {
      showOutOfMemoryMessage();
      return false;
    }
    return reframeInPlace(edit, newSize, scaleLayerImage, TPoint{0, 0});
  }
  if (!edit.event([&](IDocRecorder& r) { return writeDocEvent(r, write); })) return false;
  return replaceLayerList(edit, kUndoScaleImage, std::move(list), std::move(maskList), TPoint{0, 0});
}

}  // namespace pg
