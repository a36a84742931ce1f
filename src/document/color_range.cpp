#include "document/color_range.h"

#include "record/packet_bodies.h"

#include <algorithm>
#include <cstring>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/colour.h"

namespace pg {

std::array<uint8_t, 20> SColorRangeSettings::bytes() const {
  std::array<uint8_t, 20> out{};
  // Five words always fit the twenty bytes.
  (void)writeRecord(out.data(), out.size(), SColorRangeHead{count, source, third, fourth, fifth},
                    SColorRangeHead::fields);
  return out;
}

uint32_t colorRangeWeight(uint32_t d, uint32_t r2) {
  if (r2 < 1) return d <= r2 ? 255 : 0;
  const double t = 1.5 - static_cast<double>(d) / static_cast<double>(r2);
  if (t <= 0.0) return 0;
  if (t >= 0.5) return 255;
  return static_cast<uint32_t>(t * 512.0);
}

bool CColorMask::init(const SColorRangeSettings& settings, const CBlockVMTC& source, TPoint maskOffset,
                      const CBlockVCH* mask, TChannel& channel) {
  if (!source.isValid() || channel.Bits == nullptr || channel.Width < source.width() ||
      channel.Height < source.height())
    return false;
  third = settings.third;
  source_ = &source;
  mask_ = mask != nullptr && mask->isValid() ? mask : nullptr;
  maskOffset_ = maskOffset;
  channel_ = &channel;
  return true;
}

void CColorMask::compute(const SColorRangeEntry* entries, uint32_t count) {
  selected = empty = full = 0;
  if (source_ == nullptr || (count > 0 && entries == nullptr)) return;
  count = std::min(count, kColorRangeMaxEntries);
  for (int32_t y = 0; y < source_->height(); ++y) {
    uint8_t* row = channel_->pixelAt(0, y);
    for (int32_t x = 0; x < source_->width(); ++x) {
      if (mask_ != nullptr && mask_->getPixelOr0(x + maskOffset_.X, y + maskOffset_.Y) == 0) continue;
      const uint32_t p = source_->getPixel(x, y);
      const uint32_t alpha = pixelAlpha(p);
      if (alpha < 2) {
        ++empty;
        continue;
      }
      uint32_t v = row[x];
      for (uint32_t i = 0; i < count; ++i) {
        const SColorRangeEntry& e = entries[i];
        const uint32_t r2 = uint32_t{e.range} * e.range * 2;
        uint32_t w = colorRangeWeight(colorDistanceSq(e.color, p), r2);
        // A translucent pixel near a picked colour counts more.
        if (w > 0 && w < 255 && alpha <= 254) w = std::min<uint32_t>(255, w + w * (255 - alpha) / 255);
        v = e.add != 0 ? std::min<uint32_t>(v + w, 255) : (v > w ? v - w : 0);
      }
      row[x] = static_cast<uint8_t>(v);
      if (v > 1) ++selected;
      if (v < 2) ++empty;
      if (v > 254) ++full;
    }
  }
}

bool renderColorRangePreview(const TMTC& source, const TChannel& coverage, ColorRangeView view, TMTC& out) {
  if (source.Bits == nullptr || coverage.Bits == nullptr || out.Bits == nullptr || source.Width != coverage.Width ||
      source.Height != coverage.Height || out.Width != source.Width || out.Height != source.Height)
    return false;
  for (int32_t y = 0; y < source.Height; ++y)
    for (int32_t x = 0; x < source.Width; ++x) {
      const uint32_t c = coverage.getPixel(x, y);
      uint32_t p;
      if (view == ColorRangeView::Grey) {
        p = 0xFF000000u | c << 16 | c << 8 | c;
      } else {
        p = view == ColorRangeView::OverWhite ? 0xFFFFFFFFu : 0xFF000000u;
        lerpPixelRgb(&p, source.getPixel(x, y), c);
      }
      *out.pixelAt(x, y) = p;
    }
  return true;
}

}  // namespace pg
