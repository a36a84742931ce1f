#include "filters/table_filters.h"

#include <algorithm>

#include "core/blend_arith.h"
#include "core/byte_cursor.h"
#include "core/colour.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/kernel_loops.h"

namespace pg {

SFltPosterize SFltPosterize::read(const uint8_t* p) {
  SFltPosterize r;
  r.Levels = readRecI32(p);
  r.Reserved = {p[4], p[5], p[6], p[7]};
  return r;
}

void SFltPosterize::write(uint8_t* out) const {
  writeRecI32(out, Levels);
  for (size_t i = 0; i < 4; ++i) out[4 + i] = Reserved[i];
}

SFltThreshold SFltThreshold::read(const uint8_t* p) {
  SFltThreshold r;
  r.Threshold = p[0];
  r.DialogFlag = p[1];
  for (size_t i = 0; i < 6; ++i) r.Reserved[i] = p[2 + i];
  return r;
}

void SFltThreshold::write(uint8_t* out) const {
  out[0] = Threshold;
  out[1] = DialogFlag;
  for (size_t i = 0; i < 6; ++i) out[2 + i] = Reserved[i];
}

namespace {

void lumaToAlphaFields(CByteCursor& c, SFltLumaToAlpha& r) { c.field(r.Colour).field(r.Tint); }

}  // namespace

// Both take the record's own size of bytes (readFltRecord checks it), so the
// fields always fit.
SFltLumaToAlpha SFltLumaToAlpha::read(const uint8_t* p) {
  return recordFromBytes<SFltLumaToAlpha>(p, kSize, lumaToAlphaFields);
}

// See above.
void SFltLumaToAlpha::write(uint8_t* out) const { (void)writeRecord(out, kSize, *this, lumaToAlphaFields); }

void buildPosterizeTable(int32_t levels, std::array<uint32_t, 256>& table) {
  const int32_t n = std::clamp(levels, 2, 255);
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = std::clamp(((i * n) / 255 * 255) / (n - 1), 0, 255);
    table[static_cast<size_t>(i)] = greyLutEntry(static_cast<uint32_t>(i), static_cast<uint32_t>(v));
  }
}

void buildThresholdTable(uint32_t threshold, std::array<uint32_t, 256>& table) {
  const int32_t k = std::clamp(static_cast<int32_t>(threshold) - 1, 0, 254);
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = std::clamp(256 * (i - k) - (i - k), 0, 255);
    table[static_cast<size_t>(i)] = greyLutEntry(static_cast<uint32_t>(i), static_cast<uint32_t>(v));
  }
}

void buildInvertTable(std::array<uint32_t, 256>& table) {
  for (uint32_t i = 0; i < 256; ++i) table[i] = greyLutEntry(i, 255 - i);
}

void buildSolarizeTable(std::array<uint32_t, 256>& table) {
  for (uint32_t i = 0; i < 256; ++i) table[i] = greyLutEntry(i, std::min(i, 255 - i));
}

bool posterize4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltPosterize rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  std::array<uint32_t, 256> table;
  buildPosterizeTable(rec.Levels, table);
  return applyLutMasked(ctx, table.data(), true);
}

bool threshold4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltThreshold rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  std::array<uint32_t, 256> table;
  buildThresholdTable(rec.Threshold, table);
  // Both loops give the same pixels: the colour is written with alpha kept.
  return rec.DialogFlag != 0 ? applyGreyMapAlphaLut(ctx, table.data(), true)
                             : applyGreyMapMasked(ctx, table.data(), true);
}

bool invert4Kernel(const SFlt4Context* ctx, const void* /*param*/, int32_t size) {
  if (!isValidContext(ctx) || size != 0) return false;
  std::array<uint32_t, 256> table;
  buildInvertTable(table);
  return applyLutMasked(ctx, table.data(), true);
}

bool solarize4Kernel(const SFlt4Context* ctx, const void* /*param*/, int32_t size) {
  if (!isValidContext(ctx) || size != 0) return false;
  std::array<uint32_t, 256> table;
  buildSolarizeTable(table);
  return applyLutMasked(ctx, table.data(), true);
}

uint32_t lumaToAlphaColour(uint32_t s, uint32_t colour, bool tint, uint32_t m) {
  const uint32_t g = pixelGrey(s);
  uint32_t c;
  if (!tint) {
    c = colour & 0x00FFFFFFu;
  } else if (g < 255) {
    c = 0;
    for (int i = 0; i < 3; ++i) c |= lerp255(pixelByte(colour, i), pixelByte(s, i), m) << (8 * i);
  } else {
    c = s & 0x00FFFFFFu;
  }
  return c | (mulDiv255(255 - g, pixelAlpha(s)) << 24);
}

bool lumaToAlpha4Kernel(const SFlt4Context* ctx, const void* param, int32_t size) {
  SFltLumaToAlpha rec;
  if (!isValidContext(ctx) || !readFltRecord(param, size, rec)) return false;
  if (ctx->protectAlpha != 0) return true;
  const TMTC& work = *ctx->workImage;
  const bool tint = rec.Tint != 0;
  return forEachSelectedPixel(*ctx, ctx->region, [&](int32_t x, int32_t y, uint32_t* pixel, uint32_t m) {
    blendPixelOver(pixel, lumaToAlphaColour(work.getPixel(x, y), rec.Colour, tint, m), m);
  });
}

}  // namespace pg
