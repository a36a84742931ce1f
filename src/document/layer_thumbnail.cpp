#include "document/layer_thumbnail.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/block_image.h"
#include "core/parallel.h"
#include "core/planes.h"

namespace pg {

SSize thumbnailSizeFor(SSize size, SSize box) {
  const int64_t w = std::max(size.W, 1);
  const int64_t h = std::max(size.H, 1);
  const int64_t bw = std::max(box.W, 1);
  const int64_t bh = std::max(box.H, 1);
  if (h >= w) return {static_cast<int32_t>(std::max<int64_t>(w * bh / h, 1)), static_cast<int32_t>(bh)};
  return {static_cast<int32_t>(bw), static_cast<int32_t>(std::max<int64_t>(h * bw / w, 1))};
}

void fillPlane(TMTC& plane, uint32_t colour) {
  if (!plane.IsAllocated()) return;
  for (int32_t y = 0; y < plane.Height; ++y) std::fill_n(plane.pixelAt(0, y), plane.Width, colour);
}

namespace {

// When every pixel the box reads (corners clamped to the image as the reads
// are) lies in uniform tiles of one colour, that colour is the box's mean
// exactly: the per-pixel sum can be skipped. False when any tile is painted,
// missing, or of another colour.
bool uniformBox(const CBlockVMTC& image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t& colour) {
  const int32_t maxX = image.width() - 1, maxY = image.height() - 1;
  x0 = std::clamp(x0, 0, maxX);
  x1 = std::clamp(x1, 0, maxX);
  y0 = std::clamp(y0, 0, maxY);
  y1 = std::clamp(y1, 0, maxY);
  const int32_t shift = image.tileShift();
  bool first = true;
  for (int32_t row = y0 >> shift; row <= y1 >> shift; ++row)
    for (int32_t column = x0 >> shift; column <= x1 >> shift; ++column) {
      const STileRec* t = image.tileAtIndex(column, row);
      if (t == nullptr || t->committed()) return false;
      if (first) {
        colour = t->uniform;
        first = false;
      } else if (t->uniform != colour) {
        return false;
      }
    }
  return !first;
}

// The channel sums of one box row.
struct SBoxSums {
  int64_t b = 0, g = 0, r = 0, a = 0;
  void add(uint32_t p, int64_t times) {
    b += int64_t(p & 0xFF) * times;
    g += int64_t((p >> 8) & 0xFF) * times;
    r += int64_t((p >> 16) & 0xFF) * times;
    a += int64_t(p >> 24) * times;
  }
};

// Adds count consecutive pixels of one row: four at a time as 16-bit channel
// lanes where the processor has them, emptied into the sums before they
// could overflow. The same sums as one pixel at a time.
void addPixels(const uint32_t* p, int32_t count, SBoxSums& sums) {
  int32_t i = 0;
#if defined(__SSE2__)
  // Each group of four adds two values of at most 255 to every lane: 128
  // groups stay below 65,536.
  constexpr int32_t kGroupsPerFlush = 128;
  const __m128i zero = _mm_setzero_si128();
  while (count - i >= 4) {
    __m128i lanes = zero;  // B, G, R, A of even pixels, then of odd ones
    const int32_t groups = std::min((count - i) / 4, kGroupsPerFlush);
    for (int32_t g = 0; g < groups; ++g, i += 4) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      lanes = _mm_add_epi16(lanes, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
    }
    alignas(16) uint16_t l[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), lanes);
    sums.b += int64_t{l[0]} + l[4];
    sums.g += int64_t{l[1]} + l[5];
    sums.r += int64_t{l[2]} + l[6];
    sums.a += int64_t{l[3]} + l[7];
  }
#endif
  for (; i < count; ++i) sums.add(p[i], 1);
}

// Adds the pixels (x, y) for x0 <= x < x0 + count with the reads clamped to
// the image as getPixelClamped clamps them, tile by tile instead of pixel by
// pixel: the same sums.
void addBoxRow(const CBlockVMTC& image, int32_t x0, int32_t count, int32_t y, SBoxSums& sums) {
  const int32_t maxX = image.width() - 1;
  y = std::clamp(y, 0, image.height() - 1);
  const int64_t first = x0, last = int64_t(x0) + count - 1;  // inclusive
  if (first < 0) sums.add(image.getPixelClamped(0, y), std::min<int64_t>(last, -1) - first + 1);
  if (last > maxX) sums.add(image.getPixelClamped(maxX, y), last - std::max<int64_t>(first, maxX + 1) + 1);
  int32_t x = static_cast<int32_t>(std::max<int64_t>(first, 0));
  const int32_t end = static_cast<int32_t>(std::min<int64_t>(last, maxX));  // inclusive
  const int32_t shift = image.tileShift(), edge = image.tileEdge();
  while (x <= end) {
    const int32_t column = x >> shift;
    const int32_t stop = std::min(end, ((column + 1) << shift) - 1);
    const STileRec* t = image.tileAtIndex(column, y >> shift);
    if (t == nullptr) break;
    if (const uint32_t* px = image.tilePixels(*t)) {
      addPixels(px + size_t((y & (edge - 1)) * edge) + (x & (edge - 1)), stop - x + 1, sums);
    } else {
      sums.add(t->uniform, stop - x + 1);
    }
    x = stop + 1;
  }
}

}  // namespace

namespace {

// The thumbnail pixels of columns [x0, x1) and rows [y0, y1), each the box
// average of its part of the source.
void stretchPart(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail, int32_t x0, int32_t x1, int32_t y0,
                 int32_t y1) {
  const int32_t dw = thumbnail.Width;
  const int32_t dh = thumbnail.Height;
  const int64_t rx = (static_cast<int64_t>(src.Width) << 10) / dw;
  const int64_t ry = (static_cast<int64_t>(src.Height) << 10) / dh;
  const int32_t bw = src.Width / dw + 1;
  const int32_t bh = src.Height / dh + 1;
  const int64_t n = static_cast<int64_t>(bw) * bh;
  for (int32_t y = y0; y < y1; ++y) {
    const int32_t sy0 = src.Y + static_cast<int32_t>((y * ry) >> 10);
    uint32_t* out = thumbnail.pixelAt(0, y);
    for (int32_t x = x0; x < x1; ++x) {
      const int32_t sx0 = src.X + static_cast<int32_t>((x * rx) >> 10);
      if (uint32_t colour; uniformBox(image, sx0, sy0, sx0 + bw - 1, sy0 + bh - 1, colour)) {
        out[x] = colour;
        continue;
      }
      SBoxSums sum;
      for (int32_t j = 0; j < bh;) {
        // Rows above the image read its first row and rows below it its last
        // (the reads are clamped): each such run is summed once.
        const int32_t y = sy0 + j;
        const int32_t times = y < 0 ? std::min(bh - j, -y) : y >= image.height() - 1 ? bh - j : 1;
        SBoxSums row;
        addBoxRow(image, sx0, bw, y, row);
        sum.b += row.b * times;
        sum.g += row.g * times;
        sum.r += row.r * times;
        sum.a += row.a * times;
        j += times;
      }
      out[x] = static_cast<uint32_t>(sum.b / n) | static_cast<uint32_t>(sum.g / n) << 8 |
               static_cast<uint32_t>(sum.r / n) << 16 | static_cast<uint32_t>(sum.a / n) << 24;
    }
  }
}

// The thumbnail cells [first, last) along one axis whose boxes reach into
// the source span [lo, hi).
void touchedCells(int32_t start, int32_t srcLen, int32_t cells, int32_t lo, int32_t hi, int32_t& first,
                  int32_t& last) {
  const int64_t step = (static_cast<int64_t>(srcLen) << 10) / cells;
  const int32_t box = srcLen / cells + 1;
  first = cells;
  last = 0;
  for (int32_t c = 0; c < cells; ++c) {
    const int32_t s0 = start + static_cast<int32_t>((c * step) >> 10);
    if (s0 + box - 1 < lo || s0 >= hi) continue;
    first = std::min(first, c);
    last = c + 1;
  }
}

}  // namespace

bool stretchImageToThumbnail(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail) {
  if (!image.isValid() || !thumbnail.IsAllocated() || src.Width <= 0 || src.Height <= 0) return false;
  // Every row of a large image's thumbnail reads many rows of tiles: the
  // rows are made on every core (each writes only its own pixels).
  const int64_t pixelsPerRow = int64_t{src.Width} * (src.Height / thumbnail.Height + 1);
  if (pixelsPerRow < (int64_t{1} << 16) || thumbnail.Height < 2) {
    stretchPart(image, src, thumbnail, 0, thumbnail.Width, 0, thumbnail.Height);
    return true;
  }
  return parallelFor(thumbnail.Height, [&](int64_t y, int) {
    stretchPart(image, src, thumbnail, 0, thumbnail.Width, int32_t(y), int32_t(y) + 1);
  });
}

bool stretchImageToThumbnailRect(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail, SRectXYWH changed) {
  if (!image.isValid() || !thumbnail.IsAllocated() || src.Width <= 0 || src.Height <= 0) return false;
  if (changed.Width <= 0 || changed.Height <= 0) return true;
  int32_t x0, x1, y0, y1;
  touchedCells(src.X, src.Width, thumbnail.Width, changed.X, changed.X + changed.Width, x0, x1);
  touchedCells(src.Y, src.Height, thumbnail.Height, changed.Y, changed.Y + changed.Height, y0, y1);
  if (x0 < x1 && y0 < y1) stretchPart(image, src, thumbnail, x0, x1, y0, y1);
  return true;
}

}  // namespace pg
