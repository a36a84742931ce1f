// The layers composed into the composite, the grid, the transparent display,
// the view resampling kernels, and the document's composition, thumbnail and
// flow-image routines built on them.
#include "core/saturate.h"
#include "document/paper_compose.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/blend_modes.h"
#include "core/blend_rows.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "core/fixed_point.h"
#include "core/parallel.h"
#include "core/plane_ops.h"
#include "core/resample.h"
#include "document/flow_image.h"
#include "document/layer_blend.h"
#include "document/layer_mngr.h"
#include "document/layer_render.h"
#include "document/layer_thumbnail.h"
#include "document/paper.h"
#include "document/tool_window_link.h"

namespace pg {

namespace {

// The part of a layer's image under rect of the document, and where it lands
// in the plane; false when the layer's image lies elsewhere. Worked out in 64
// bits, so that no offset read from a file can wrap a coordinate.
bool layerSource(const CLayerData& layer, const SRectXYWH& rect, SRectXYWH& src, TPoint& at) {
  const int64_t x0 = std::max<int64_t>(int64_t{rect.X} + layer.offsetX, 0);
  const int64_t y0 = std::max<int64_t>(int64_t{rect.Y} + layer.offsetY, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{rect.X} + rect.Width + layer.offsetX, layer.imageWidth());
  const int64_t y1 = std::min<int64_t>(int64_t{rect.Y} + rect.Height + layer.offsetY, layer.imageHeight());
  if (x0 >= x1 || y0 >= y1) return false;
  src = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
         static_cast<int32_t>(y1 - y0)};
  at = {static_cast<int32_t>(x0 - layer.offsetX), static_cast<int32_t>(y0 - layer.offsetY)};
  return true;
}

// Calls f with the runs of rect (inside the image) that are not whole tiles
// of uniform transparent pixels: per row of tiles, the spans between them.
template <class F>
void forEachShownRun(const CBlockVMTC& image, const SRectXYWH& rect, F&& f) {
  const int32_t shift = CBlockVMTC::kShift, edge = CBlockVMTC::kEdge;
  const int32_t right = rect.X + rect.Width, bottom = rect.Y + rect.Height;
  const int32_t firstColumn = rect.X >> shift, lastColumn = (right - 1) >> shift;
  for (int32_t row = rect.Y >> shift; row <= (bottom - 1) >> shift; ++row) {
    const int32_t y0 = std::max(rect.Y, row * edge), y1 = std::min(bottom, (row + 1) * edge);
    int32_t start = -1;
    for (int32_t column = firstColumn; column <= lastColumn + 1; ++column) {
      bool clear = true;  // past the last column: ends the run
      if (column <= lastColumn) {
        const STileRec* t = image.tileAtIndex(column, row);
        clear = t != nullptr && !t->committed() && pixelAlpha(t->uniform) == 0;
      }
      if (!clear && start < 0) start = column;
      if (clear && start >= 0) {
        const int32_t x0 = std::max(rect.X, start * edge), x1 = std::min(right, column * edge);
        f(SRectXYWH{x0, y0, x1 - x0, y1 - y0});
        start = -1;
      }
    }
  }
}

bool takesPart(const CLayerData& layer) { return layer.visible && layer.opacity > 0 && layer.hasImage(); }

// Below this many pixels a rectangle (a stroke's dirty part) is composed on
// the calling thread: waking the others would cost more than it saves.
constexpr int64_t kParallelComposePixels = int64_t{1} << 18;

}  // namespace

// ---- composition ------------------------------------------------------------------------

uint32_t composeBackground(const SComposeSettings& s) {
  return s.canvasColor ? (0xFF000000u | (s.paperPixel & 0x00FFFFFFu)) : 0x00FFFFFFu;
}

bool composeLayer(TMTC& plane, const CLayerData& layer, const SComposeSettings& s, SRectXYWH rect) {
  if (!layer.hasImage() || !isPlaneReady(&plane) || !plane.clipRectWH(rect)) return false;
  SRectXYWH src;
  TPoint at;
  if (!layerSource(layer, rect, src, at)) return false;
  CBlockVMTC& image = *layer.image;
  if (s.canvasColor) {
    if (s.standardMode) return image.blendLayerToPlane(plane, layerBlendAttr(layer), src, at);
    return image.blendLayerToPlane2(plane, layerBlendAttr(layer), src, at);
  }
  // The transparent composite is a merge of every layer into a Normal base
  // that keeps its alpha: link kind 3, transparent sources skipped. These
  // operators work pixel by pixel, so the runs of tiles that are uniform and
  // transparent, which leave the base as it is, are not walked at all.
  PixelOp32 op = mergeOperator(findLinkPair(lbmNormal, layer.blendMode, 3), lbmNormal, layer.blendMode);
  SPixelBlendOps ops{};
  if (op == nullptr && !linkMergeOps(lbmNormal, layer.blendMode, true, ops)) return false;
  bool any = false;
  forEachShownRun(image, src, [&](const SRectXYWH& run) {
    const TPoint to{at.X + (run.X - src.X), at.Y + (run.Y - src.Y)};
    any |= op != nullptr ? image.blendPlane(plane, to, op, layer.opacity, 255, run)
                         : image.blendPlaneMasked(plane, to, ops, layer.opacity, 255, run);
  });
  return any;
}

bool composeLayers(TMTC& plane, const CLayerMngr& layers, const SComposeSettings& s, SRectXYWH rect) {
  if (!isPlaneReady(&plane) || !plane.clipRectWH(rect)) return false;
  const uint32_t background = composeBackground(s);
  const int32_t bottom = rect.Y + rect.Height;
  // Bands end on multiples of the band height, so that the bands of a small
  // rectangle and of the whole picture cut the tiles alike.
  const int32_t firstBand = rect.Y / kComposeBandRows;
  const int32_t bands = (bottom - 1) / kComposeBandRows - firstBand + 1;
  auto composeBand = [&](int64_t k, int) {
    const int32_t y = std::max(rect.Y, (firstBand + int32_t(k)) * kComposeBandRows);
    const int32_t end = std::min(bottom, (firstBand + int32_t(k) + 1) * kComposeBandRows);
    const SRectXYWH band{rect.X, y, rect.Width, end - y};
    fillRectNoClip(plane, band, background);
    for (int32_t i = 0; i < layers.count(); ++i) {
      const CLayerData& layer = *layers.getLayer(i);
      if (takesPart(layer)) (void)composeLayer(plane, layer, s, band);  // a clip result only
    }
  };
  // A large rectangle's bands are composed on every core: each band writes
  // only its own rows and reads the layers alone, so the pixels are those of
  // one thread (a dissolve layer's dither depends on the pixel's place only).
  const bool parallel = bands > 1 && int64_t{rect.Width} * rect.Height >= kParallelComposePixels;
  if (parallel) {
    // The row kernels' level is decided on first use: here, before the other
    // threads read it.
    (void)rowKernelsUseAvx2();
    if (parallelFor(bands, composeBand)) return true;
  }
  for (int32_t k = 0; k < bands; ++k) composeBand(k, 0);
  return true;
}

// ---- grid ----------------------------------------------------------------------------------

void gridPixelOverWhite(uint32_t* dst, uint32_t colour, uint32_t alpha) {
  uint32_t p = *dst;
  const uint32_t a = pixelAlpha(p);
  if (a == 0) {
    p = 0xFFFFFFFFu;
  } else if (a < 255) {
    uint32_t white = 0xFFFFFFFFu;
    lerpPixelRgb(&white, p, a);
    p = white;
  }
  lerpPixelRgb(&p, colour, alpha);
  *dst = p;
}

bool drawGridLines(TMTC& plane, TRect rect, int32_t gridX, int32_t gridY, uint32_t colour, uint32_t alpha,
                   bool opaqueDisplay) {
  if (gridX < 1 || gridY < 1 || !plane.IsAllocated() || !plane.clipRect(rect)) return false;
  const PixelOp32 op = opaqueDisplay ? PixelOp32{&lerpPixelRgb} : PixelOp32{&gridPixelOverWhite};
  const int32_t a = static_cast<int32_t>(alpha & 0xFFu);
  // The clipped rectangle starts at 0 or more, so rounding up to the next
  // multiple is a plain division.
  for (int64_t x = (int64_t{rect.Left} + gridX - 1) / gridX * gridX; x < rect.Right; x += gridX) {
    const int32_t cx = static_cast<int32_t>(x);
    drawLine(plane, cx, rect.Top, a, cx, rect.Bottom - 1, a, colour, op);
  }
  for (int64_t y = (int64_t{rect.Top} + gridY - 1) / gridY * gridY; y < rect.Bottom; y += gridY) {
    const int32_t cy = static_cast<int32_t>(y);
    drawLine(plane, rect.Left, cy, a, rect.Right - 1, cy, a, colour, op);
  }
  return true;
}

// ---- the transparent display ---------------------------------------------------------------

uint32_t checkColorAt(int32_t x, int32_t y) {
  // Arithmetic shifts: the cells go on to the left of and above (0, 0).
  return (((x >> 3) + (y >> 3)) & 1) != 0 ? kCheckOddColor : kCheckEvenColor;
}

// ---- view resampling -----------------------------------------------------------------------

namespace {

// The destination rectangle of a magnification, clipped to dst; false when empty.
bool magnifiedRect(const TMTC& dst, const TMTC& src, SRectXYWH& srcRect, TPoint origin, int32_t k, TRect& out) {
  if (k < 1 || !isPlaneReady(&src) || !isPlaneReady(&dst) || !clipXYWHToSize(srcRect, src.size())) return false;
  const int64_t x0 = origin.X + int64_t{srcRect.X} * k, y0 = origin.Y + int64_t{srcRect.Y} * k;
  const int64_t x1 = x0 + int64_t{srcRect.Width} * k, y1 = y0 + int64_t{srcRect.Height} * k;
  const int64_t l = std::max<int64_t>(x0, 0), t = std::max<int64_t>(y0, 0);
  const int64_t r = std::min<int64_t>(x1, dst.Width), b = std::min<int64_t>(y1, dst.Height);
  if (l >= r || t >= b) return false;
  out = {static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r), static_cast<int32_t>(b)};
  return true;
}

}  // namespace

bool magnifyInto(TMTC& dst, const TMTC& src, SRectXYWH srcRect, TPoint origin, int32_t k) {
  TRect d;
  if (!magnifiedRect(dst, src, srcRect, origin, k, d)) return false;
  const size_t width = static_cast<size_t>(d.Right - d.Left);
  int64_t lastRow = -1;
  for (int32_t y = d.Top; y < d.Bottom; ++y) {
    uint32_t* out = dst.pixelAt(d.Left, y);
    const int64_t sy = (int64_t{y} - origin.Y) / k;
    if (sy == lastRow) {
      // The rows of one block are equal: copy the one above.
      std::memcpy(out, dst.pixelAt(d.Left, y - 1), width * 4);
      continue;
    }
    lastRow = sy;
    const uint32_t* in = src.pixelAt(0, static_cast<int32_t>(sy));
    for (int32_t x = d.Left; x < d.Right;) {
      const int64_t sx = (int64_t{x} - origin.X) / k;
      const int32_t runEnd = static_cast<int32_t>(std::min<int64_t>(d.Right, origin.X + (sx + 1) * k));
      std::fill(out + (x - d.Left), out + (runEnd - d.Left), in[sx]);
      x = runEnd;
    }
  }
  return true;
}

bool reference::magnifyInto(TMTC& dst, const TMTC& src, SRectXYWH srcRect, TPoint origin, int32_t k) {
  if (k < 1 || !isPlaneReady(&src) || !isPlaneReady(&dst) || !clipXYWHToSize(srcRect, src.size())) return false;
  bool any = false;
  for (int32_t sy = srcRect.Y; sy < srcRect.Y + srcRect.Height; ++sy)
    for (int32_t sx = srcRect.X; sx < srcRect.X + srcRect.Width; ++sx)
      for (int64_t j = 0; j < k; ++j)
        for (int64_t i = 0; i < k; ++i) {
          const int64_t x = origin.X + int64_t{sx} * k + i, y = origin.Y + int64_t{sy} * k + j;
          if (x < 0 || y < 0 || x >= dst.Width || y >= dst.Height) continue;
          *dst.pixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y)) = src.getPixel(sx, sy);
          any = true;
        }
  return any;
}

bool renderRotatedInto(TMTC& target, const TMTC& source, TRect rect, const SRotatedView& v) {
  if (!(v.zoom > 0.0f) || !target.IsAllocated() || !target.clipRect(rect)) return false;
  const int32_t cx = target.Width / 2, cy = target.Height / 2;
  const float inv = 1.0f / v.zoom;
  // Per-pixel steps and row starts in 16.16, as single floats.
  const int64_t stepX = floatToFix(v.cosA * inv);
  const int64_t stepY = floatToFix(v.sinA * inv);
  const float left = static_cast<float>(rect.Left);
  const float baseX = left * v.cosA * inv + static_cast<float>(v.origin.X);
  const float baseY = left * v.sinA * inv + static_cast<float>(v.origin.Y);
  const float fx = static_cast<float>(-cx) * inv;
  const bool ready = isPlaneReady(&source);
  const int64_t w16 = ready ? int64_t{source.Width} << 16 : 0;
  const int64_t h16 = ready ? int64_t{source.Height} << 16 : 0;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    const float fy = static_cast<float>(y - cy) * inv;
    int64_t sx = floatToFix(v.cosA * fx - v.sinA * fy + baseX);
    int64_t sy = floatToFix(v.sinA * fx + v.cosA * fy + baseY);
    uint32_t* out = target.pixelAt(0, y);
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      // Negative positions fail too: the window's test compares unsigned.
      if (sx >= 0 && sy >= 0 && sx < w16 && sy < h16) {
        const int32_t px = static_cast<int32_t>(sx >> 16), py = static_cast<int32_t>(sy >> 16);
        out[x] = flattenPixel(source.getPixel(px, py), v.checker ? checkColorAt(px, py) : 0xFFFFFFu);
      } else {
        out[x] = v.surround;
      }
      sx += stepX;
      sy += stepY;
    }
  }
  return true;
}

// ---- thumbnails and links ----------------------------------------------------------------------

bool mapRectToPlane(const TRect& rect, SSize pictureSize, SSize planeSize, TRect& out) {
  if (pictureSize.W <= 0 || pictureSize.H <= 0 || planeSize.W <= 0 || planeSize.H <= 0) return false;
  // A plane pixel averages a box a little wider than its step, so a changed
  // picture pixel may also reach the plane pixel before the one it maps to,
  // and the one after: the rectangle is widened by those.
  const double sx = static_cast<double>(planeSize.W) / pictureSize.W;
  const double sy = static_cast<double>(planeSize.H) / pictureSize.H;
  const auto at = saturateToInt32;
  TRect r{at(std::floor((rect.Left - 1.0) * sx) - 1.0), at(std::floor((rect.Top - 1.0) * sy) - 1.0),
          at(std::floor((rect.Right + 1.0) * sx) + 2.0), at(std::floor((rect.Bottom + 1.0) * sy) + 2.0)};
  if (!clipRectToSize(r, planeSize)) return false;
  out = r;
  return true;
}

uint32_t linkedOpacityOf(const CLayerData& layer, LinkOpacityTable& table) {
  const int32_t level = std::clamp(layer.linkLevel, 0, kMaxLinkLevel);
  table[static_cast<size_t>(level)] = {layer.index, level, layer.opacity};
  if (!layer.visible) return 0;
  uint32_t o = layer.opacity;
  for (int32_t l = level - 1; l >= 0; --l) o = mulDiv255(o, table[static_cast<size_t>(l)].opacity);
  return o;
}

// ---- the document's composition ----------------------------------------------------------------

SComposeSettings TPaper::composeSettings() const {
  SComposeSettings s;
  s.canvasColor = showCanvasColor_;
  s.standardMode = isStandardMode();
  s.paperPixel = paperColor_.pixel();
  return s;
}

void TPaper::composeRect(const SRectXYWH& rect, bool withGrid) {
  SRectXYWH r = rect;
  if (!layers_ || !composite_.IsAllocated() || !composite_.clipRectWH(r)) return;
  (void)composeLayers(composite_, *layers_, composeSettings(), r);  // a clip result only
  if (withGrid) drawGrid(r);
}

void TPaper::redraw(bool withGrid) {
  composeRect(SRectXYWH{0, 0, composite_.Width, composite_.Height}, withGrid);
  invalidate();
}

void TPaper::redrawFull() {
  drawGridAll();
  invalidate();
}



uint32_t TPaper::linkedOpacity(int32_t layerIndex, LinkOpacityTable& table) const {
  const CLayerData* layer = getLayer(layerIndex);
  return layer != nullptr ? linkedOpacityOf(*layer, table) : 0;
}

void TPaper::invalidate() {
  if (owner_ != nullptr) owner_->invalidateView();
}

// ---- thumbnails and preview ---------------------------------------------------------------------

void TPaper::updateThumbnails(bool skipLayer, int32_t layerIndex) {
  updateLayerPreview(skipLayer, layerIndex, TRect{0, 0, composite_.Width, composite_.Height});
}

void TPaper::updateLayerRect(bool skipLayer, int32_t layerIndex, int32_t x, int32_t y, int32_t w, int32_t h) {
  updateLayerPreview(skipLayer, layerIndex, xywhToRect(SRectXYWH{x, y, w, h}));
}


void TPaper::updateLayerPreview(bool skipLayer, int32_t layerIndex, const TRect& rect) {
  if (!skipLayer) {
    CLayerData* layer = getLayer(layerIndex);
    if (layer != nullptr && layer->thumbnail && layer->thumbnail->IsAllocated()) {
      // Drawn when the layer list shows it (or a copy takes it), not here:
      // a replay or a preview then spends nothing on thumbnails nobody sees.
      TRect r = rect;
      offsetRect(r, layer->offsetX, layer->offsetY);
      layer->markThumbnailChanged(rectToXYWH(r));
      if (owner_ == nullptr || !owner_->isReplaying()) toolWindowLink().refreshLayerList();
    }
  }
  TRect p;
  if (preview_.IsAllocated() && mapRectToPlane(rect, composite_.size(), preview_.size(), p)) updatePreviewRect(p);
}

void TPaper::updatePreviewRect(const TRect& previewRect) {
  const SRectXYWH r = rectToXYWH(previewRect);
  if (!downsampleRect4x4(composite_, preview_, r.X, r.Y, r.Width, r.Height)) return;
  if (showCanvasColor_) return;
  if (showBgPattern_) {
    compositeOnChecker(preview_, previewRect, TPoint{0, 0}, SSize{kCheckCell, kCheckCell},
                       0xFF000000u | kCheckOddColor, 0xFF000000u | kCheckEvenColor);
  } else {
    compositeOnColor(preview_, previewRect, 0xFFFFFFFFu);
  }
}

void TPaper::updateAllThumbnails() {
  for (int32_t i = 0; i < layerCount(); ++i) updateLayerThumbnail(i);
}

void TPaper::updateLayerThumbnail(int32_t layerIndex) {
  if (CLayerData* layer = getLayer(layerIndex)) (void)layer->updateThumbnail();  // a thumbnail that fails stays stale
}


// ---- flow image transfer --------------------------------------------------------------------------

bool TPaper::mergeFlowImage(int32_t layerIndex, const TMTC& plane, uint32_t opacity, const SRectXYWH& rect,
                            TPoint point) {
  CLayerData* layer = getLayer(layerIndex);
  return layer != nullptr && layer->hasImage() && isPlaneReady(&plane) &&
         layer->image->copyFromPlaneRect(plane, point, std::min(opacity, 255u), rect);
}

bool TPaper::mergeFlowLayerRect(int32_t layerIndex, const TMTC& plane, uint32_t opacity, int32_t x, int32_t y) {
  return mergeFlowImage(layerIndex, plane, opacity, SRectXYWH{0, 0, plane.Width, plane.Height}, TPoint{x, y});
}

bool TPaper::loadLayerRect(TMTC& plane, int32_t layerIndex, bool skipTransparent, uint32_t opacity,
                           const SRectXYWH& rect, TPoint point) {
  CLayerData* layer = getLayer(layerIndex);
  return layer != nullptr && layer->hasImage() && isPlaneReady(&plane) &&
         layer->image->copyToPlaneRect(plane, point, skipTransparent, std::min(opacity, 255u), rect);
}

bool TPaper::loadLayerAt(TMTC& plane, int32_t layerIndex, bool skipTransparent, uint32_t opacity, int32_t x,
                         int32_t y) {
  const CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr) return false;
  return loadLayerRect(plane, layerIndex, skipTransparent, opacity,
                       SRectXYWH{0, 0, layer->imageWidth(), layer->imageHeight()}, TPoint{x, y});
}

bool TPaper::syncFlowRect(TFlowImage& flow, int32_t layerIndex, bool commit, const TRect& rect) {
  CLayerData* layer = getLayer(layerIndex);
  TRect r = rect;
  if (layer == nullptr || !layer->hasImage() || !flow.pixels.IsAllocated() || !flow.pixels.clipRect(r)) return false;
  bool ok = true;
  if (commit) {
    ok = layer->image->copyFromPlaneRect(flow.pixels, TPoint{r.Left, r.Top}, 255, rectToXYWH(r));
    layer->image->compact();
  } else {
    flow.reloadRect(*layer->image, r);
    flow.valid = true;
  }
  TRect c = r;
  if (flow.coverage.IsAllocated() && flow.coverage.clipRect(c)) fillRectBytes(flow.coverage, rectToXYWH(c), 0);
  return ok;
}

bool TPaper::resetFlowImage(TFlowImage& flow, int32_t layerIndex, bool commit) {
  CLayerData* layer = getLayer(layerIndex);
  if (layer == nullptr || !layer->hasImage() || !flow.pixels.IsAllocated()) return false;
  bool ok;
  if (commit) {
    ok = layer->image->copyFromPlaneRect(flow.pixels, TPoint{0, 0}, 255,
                                         SRectXYWH{0, 0, flow.pixels.Width, flow.pixels.Height});
  } else {
    ok = layer->image->copyToPlaneRect(flow.pixels, TPoint{0, 0}, false, 255,
                                       SRectXYWH{0, 0, layer->imageWidth(), layer->imageHeight()});
    flow.noteLoaded(layerIndex, layer->id, SSize{layer->imageWidth(), layer->imageHeight()});
    flow.valid = ok;
  }
  if (flow.coverage.IsAllocated()) fill(flow.coverage, 0);
  return ok;
}

}  // namespace pg
