#pragma once
// The record every filter kernel runs on: the layer image it writes, the
// unfiltered pixels it reads, the selection that weights each write and the
// rectangle it must process. The filter run builds one on the stack for each
// kernel call; tests build their own over small planes.
//
// Coordinates are layer-image coordinates: layer pixel (x, y) lies at
// document point (x - offsetX, y - offsetY).
//
// A kernel is kernel(context, parameter address, parameter size) -> bool. It
// checks the context and its own parameter size first and writes only after
// both checks; its parameter bytes are the little-endian record that the
// event packet carries.
#include <cstdint>
#include <cstring>

#include "brush/plot_merge.h"
#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CMaskData;
struct SFlt4Context;

// The selection weight 0..255 of layer pixel (x, y).
using MaskValueProc = uint32_t (*)(const SFlt4Context& ctx, int32_t x, int32_t y);

struct SFlt4Context {
  CBlockVMTC* image = nullptr;          // the layer's image; results go here
  uint8_t blendMode = 0;                // the layer's blend mode
  int32_t offsetX = 0;                  // the layer's offset
  int32_t offsetY = 0;
  uint8_t protectAlpha = 0;             // the layer's protect-alpha flag
  const CMaskData* selection = nullptr;  // the document's current mask
  TRect bounds{};                       // layer image limited to the selection's bounds
  CBlockVMTC* source = nullptr;         // the unfiltered copy of the layer (the undo copy); read only
  TMTC* workImage = nullptr;            // the view's copy of the layer as it was before the filter
  TChannel* workChannel = nullptr;      // the view's 8-bit working channel, free for kernels
  TRect region{};                       // what this call must process: bounds, clipped for previews
  MaskValueProc maskValue = nullptr;    // selection weight of a layer pixel
};

// The two selection procedures. Without a mask image every pixel weighs 255;
// with one, the mask's value at the pixel's document point, 0 outside the
// mask image (where the mask itself answers -1).
uint32_t maskValueAll(const SFlt4Context& ctx, int32_t x, int32_t y);
uint32_t maskValueOfSelection(const SFlt4Context& ctx, int32_t x, int32_t y);
// The procedure that fits the selection (null or without image: maskValueAll).
MaskValueProc maskValueFor(const CMaskData* selection);

// Image, selection, source, work image, work channel and mask procedure set;
// bounds of at least one pixel and a non-empty region. Because kernels read
// the work image and the source at layer coordinates and write the image
// there, it also demands that region and bounds lie inside the image and
// that the work image and the source cover the image.
[[nodiscard]] bool isValidContext(const SFlt4Context* ctx);

// The kernel of a filter that takes one record: the record from the kernel's
// parameter bytes (false unless they are its size), then the filter on a
// valid context.
template <class Record, bool (*Read)(const void*, int32_t, Record&), bool (*Filter)(const SFlt4Context&, const Record&)>
[[nodiscard]] bool recordKernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  Record rec;
  if (!Read(param, size, rec) || !isValidContext(ctx)) return false;
  return Filter(*ctx, rec);
}

// The work image cut to the layer image: whatever clamps, clips or wraps to
// its size stops at the image's edge. The working plane grows for the
// largest layer and never shrinks, so what it holds beyond the image belongs
// to no layer, and a replay's plane may have another size.
inline TPlanePart<TMTC> imageWork(const SFlt4Context& ctx) {
  return TPlanePart<TMTC>(*ctx.workImage, SSize{ctx.image->width(), ctx.image->height()});
}

// A kernel entry: checks context and parameter size, then runs.
using FilterKernel = bool (*)(const SFlt4Context* ctx, const void* param, int32_t size);

// The write of every kernel: the result moves the pixel by the selection
// weight. keepAlpha (the layer protects alpha, or the filter keeps it):
// lerpPixelRgb, colour bytes only; else blendPixelOver, alphas combined.
inline void writeWeighted(uint32_t* pixel, uint32_t colour, uint32_t weight, bool keepAlpha) {
  if (weight >= 255) {
    // Full weight: both blends reduce to a copy (lerp255(a, b, 255) = a),
    // except that a transparent result keeps the pixel's colour bytes.
    if (keepAlpha)
      *pixel = (*pixel & 0xFF000000u) | (colour & 0x00FFFFFFu);
    else
      *pixel = (colour >> 24) != 0 ? colour : (*pixel & 0x00FFFFFFu);
    return;
  }
  if (keepAlpha)
    lerpPixelRgb(pixel, colour, weight);
  else
    blendPixelOver(pixel, colour, weight);
}

// writeWeighted at full weight for the n pixels from p, four at a time in
// vector lanes (the width every x86-64 processor has): the same bytes.
inline void writeFullWeight(uint32_t* p, const uint32_t* colours, int32_t n, bool keepAlpha) {
  using V4 = uint32_t __attribute__((vector_size(16)));
  using S4 = int32_t __attribute__((vector_size(16)));  // a signed compare is one instruction everywhere
  int32_t i = 0;
  if (keepAlpha) {
    // The colour under the pixel's alpha.
    for (; i + 4 <= n; i += 4) {
      V4 c, q;
      std::memcpy(&c, colours + i, sizeof c);
      std::memcpy(&q, p + i, sizeof q);
      const V4 out = (c & 0x00FFFFFFu) | (q & 0xFF000000u);
      std::memcpy(p + i, &out, sizeof out);
    }
  } else {
    // The colour, or the pixel's colour bytes at alpha 0 where the colour
    // is transparent: the pixels are read only then (for opaque results
    // the write is a plain copy, which does not wait for the layer's memory).
    for (; i + 4 <= n; i += 4) {
      V4 c, q;
      std::memcpy(&c, colours + i, sizeof c);
      const V4 take = (V4)((S4)(c >> 24) > 0);
      if ((take[0] & take[1] & take[2] & take[3]) != 0) {
        std::memcpy(p + i, &c, sizeof c);
        continue;
      }
      std::memcpy(&q, p + i, sizeof q);
      const V4 out = (c & take) | (q & ~take & 0x00FFFFFFu);
      std::memcpy(p + i, &out, sizeof out);
    }
  }
  for (; i < n; ++i) writeWeighted(p + i, colours[i], 255, keepAlpha);
}

// The selection weights of pixels x .. x + n - 1 of row y into out (n <= 64).
// Answers whether any of them is not 0; where whole is given, it tells
// whether every one of them is 255.
[[nodiscard]] bool selectionSpan(const SFlt4Context& ctx, int32_t x, int32_t y, int32_t n, uint8_t* out,
                                 bool* whole = nullptr);

// Walks rect (clipped to the image) row by row from the top, left to right,
// and calls f(x, y, pixel address in the layer image, weight) for every pixel
// whose selection weight is not 0. Tiles are committed only where a pixel is
// written. False when a tile could not be committed (the walk stops there).
template <class F>
[[nodiscard]] bool forEachSelectedPixel(const SFlt4Context& ctx, TRect rect, F&& f) {
  CBlockVMTC& image = *ctx.image;
  if (!image.clipRect(rect)) return true;
  uint8_t weights[CBlockVMTC::kEdge];
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    for (int32_t x = rect.Left; x < rect.Right;) {
      const int32_t n = std::min(CBlockVMTC::kEdge - (x & (CBlockVMTC::kEdge - 1)), rect.Right - x);
      if (selectionSpan(ctx, x, y, n, weights)) {
        uint32_t* row = image.pixelPtr(x, y);
        if (row == nullptr) return false;
        for (int32_t i = 0; i < n; ++i)
          if (weights[i] != 0) f(x + i, y, row + i, static_cast<uint32_t>(weights[i]));
      }
      x += n;
    }
  }
  return true;
}

}  // namespace pg
