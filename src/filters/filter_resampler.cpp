#include "filters/filter_resampler.h"

#include <cstring>

#include "brush/plot_merge.h"
#include "core/blend_modes.h"
#include "core/block_image.h"

namespace pg {

uint32_t filterBackground(const SFlt4Context& ctx) {
  const uint32_t neutral = layerBlendNeutral(ctx.blendMode) & 0x00FFFFFFu;
  return ctx.protectAlpha != 0 ? neutral | 0xFF000000u : neutral;
}

CScaleImageFilter::CScaleImageFilter(const SFlt4Context& ctx, uint8_t option1, uint8_t option2)
    : Option1(option1), Option2(option2), Ctx(ctx) {
  const SSize size = ctx.image != nullptr ? ctx.image->size() : SSize{};
  SrcSize = DstSize = SSize{size.W + 1, size.H + 1};
  Blend = ctx.protectAlpha != 0 ? &lerpPixelRgb : &blendPixelOver;
  Neutral = filterBackground(ctx);
}

const uint8_t* CScaleImageFilter::srcPixel(int32_t x, int32_t y) const {
  Scratch = Neutral;
  if (Ctx.image != nullptr && insideGrid(x, y, Ctx.image->width(), Ctx.image->height()))
    Blend(&Scratch, Ctx.workImage->getPixel(x, y), Ctx.maskValue(Ctx, x, y));
  return reinterpret_cast<const uint8_t*>(&Scratch);
}

uint8_t* CScaleImageFilter::dstPixel(int32_t x, int32_t y) const {
  return Ctx.image != nullptr ? reinterpret_cast<uint8_t*>(Ctx.image->pixelPtr(x, y)) : nullptr;
}

namespace {

// One axis of a box cut at whole-pixel lines, without clipping.
struct SSpan {
  int64_t First, Last;
  uint32_t WFirst, WLast;
  uint64_t Length;
  uint32_t weight(int64_t i) const { return i == First ? WFirst : (i == Last ? WLast : kScaleWeightOne); }
};

SSpan span(int64_t lo, int64_t hi) {
  if (hi <= lo) hi = lo + 1;
  SSpan s;
  s.First = lo >> 16;
  s.Last = (hi - 1) >> 16;
  s.Length = static_cast<uint64_t>(hi - lo);
  if (s.First == s.Last) {
    s.WFirst = s.WLast = static_cast<uint32_t>(hi - lo);
  } else {
    s.WFirst = static_cast<uint32_t>(((s.First + 1) << 16) - lo);
    s.WLast = static_cast<uint32_t>(hi - (s.Last << 16));
  }
  return s;
}

}  // namespace

void CScaleImageFilter::sampleBox(uint32_t& out, int32_t left, int32_t top, int32_t right, int32_t bottom) const {
  const SSpan sx = span(left, right), sy = span(top, bottom);
  SScaleSum total;
  for (int64_t py = sy.First; py <= sy.Last; ++py) {
    SScaleRowSum row;
    for (int64_t px = sx.First; px <= sx.Last; ++px) {
      const uint8_t* p = srcPixel(static_cast<int32_t>(px), static_cast<int32_t>(py));
      const uint32_t w = sx.weight(px);
      if (w == kScaleWeightOne)
        accumulate(row, p);
      else
        accumulateWeighted(row, p, w);
    }
    const uint32_t wy = sy.weight(py);
    for (int k = 0; k < 4; ++k) total.V[k] += UInt128(row.V[k]) * wy;
  }
  uint8_t bytes[4];
  store(bytes, total, UInt128(sx.Length) * sy.Length);
  std::memcpy(&out, bytes, sizeof out);
}

void CScaleImageFilter::samplePoint(uint32_t& out, int32_t x, int32_t y) const {
  const int64_t l = int64_t{x} - 32768, t = int64_t{y} - 32768;
  sampleBox(out, static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(l + 65537),
            static_cast<int32_t>(t + 65537));
}

}  // namespace pg
