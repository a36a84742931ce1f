#include "core/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/det_math.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

// floor(a / b) and ceil(a / b) for b > 0.
inline int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t ceilDiv(int64_t a, int64_t b) { return -floorDiv(-a, b); }

// The indices i in [0, n) for which 0 <= a + i*d < limit, as [lo, hi); the
// set is contiguous because the position moves in one direction.
void insideSpan(int64_t a, int64_t d, int64_t limit, int64_t n, int64_t& lo, int64_t& hi) {
  if (d == 0) {
    lo = 0;
    hi = (a >= 0 && a < limit) ? n : 0;
    return;
  }
  if (d > 0) {
    lo = ceilDiv(-a, d);
    hi = floorDiv(limit - 1 - a, d) + 1;
  } else {
    lo = ceilDiv(a - limit + 1, -d);
    hi = floorDiv(a, -d) + 1;
  }
  lo = std::clamp<int64_t>(lo, 0, n);
  hi = std::clamp<int64_t>(hi, lo, n);
}

// Exact floor(x / n) for x < 2^32 by one multiplication (n >= 2).
struct SDivider {
  explicit SDivider(uint64_t n) : n_(n), m_(n >= 2 ? UINT64_MAX / n + 1 : 0) {}
  uint64_t divide(uint64_t x) const {
    if (n_ < 2) return x;
    return uint64_t((static_cast<unsigned __int128>(m_) * x) >> 64);
  }

 private:
  uint64_t n_;
  uint64_t m_;
};

// Sums of the four bytes of a run of pixels, one 64-bit counter a byte.
struct SByteSums {
  uint64_t b0 = 0, b1 = 0, b2 = 0, b3 = 0;
  void add(uint32_t p, uint64_t times = 1) {
    b0 += (p & 0xFFu) * times;
    b1 += ((p >> 8) & 0xFFu) * times;
    b2 += ((p >> 16) & 0xFFu) * times;
    b3 += (p >> 24) * times;
  }
  void add(const SByteSums& o, uint64_t times) {
    b0 += o.b0 * times;
    b1 += o.b1 * times;
    b2 += o.b2 * times;
    b3 += o.b3 * times;
  }
};

// One row of the stretch: nearest samples of the source row starting at s.
// Answers how many destination pixels were written.
int32_t stretchRowRef(uint32_t* d, const uint32_t* s, int64_t srcWidth16, int64_t stepX, int32_t dstWidth) {
  int64_t sx = 0;
  int32_t done = 0;
  while (sx < srcWidth16 && done < dstWidth) {
    d[done++] = s[sx >> 16];
    sx += stepX;
  }
  return done;
}

}  // namespace

// ---- 4 x 4 supersampled reduction ---------------------------------------

bool reference::downsample4x4(const TMTC& src, TMTC& dst) {
  if (!hasPixels(src) || !hasPixels(dst)) return false;
  const int64_t stepX = (int64_t(src.Width) << 10) / dst.Width;
  const int64_t stepY = (int64_t(src.Height) << 10) / dst.Height;
  const int64_t subX = stepX / 4, subY = stepY / 4;
  for (int32_t y = 0; y < dst.Height; ++y) {
    for (int32_t x = 0; x < dst.Width; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};
      for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
          const int64_t sx = (x * stepX + j * subX) >> 10;
          const int64_t sy = (y * stepY + i * subY) >> 10;
          const uint32_t p = src.getPixelClamped(int32_t(std::min<int64_t>(sx, src.Width - 1)),
                                                 int32_t(std::min<int64_t>(sy, src.Height - 1)));
          for (int k = 0; k < 4; ++k) sum[k] += (p >> (8 * k)) & 0xFFu;
        }
      }
      uint32_t out = 0;
      for (int k = 0; k < 4; ++k) out |= (sum[k] >> 4) << (8 * k);
      *dst.pixelAt(x, y) = out;
    }
  }
  return true;
}

bool downsample4x4(const TMTC& src, TMTC& dst) {
  if (!hasPixels(src) || !hasPixels(dst)) return false;
  const int64_t stepX = (int64_t(src.Width) << 10) / dst.Width;
  const int64_t stepY = (int64_t(src.Height) << 10) / dst.Height;
  const int64_t subX = stepX / 4, subY = stepY / 4;
  std::vector<int32_t> cols;
  try {
    cols.resize(size_t(dst.Width) * 4);
  } catch (const std::bad_alloc&) {
    return reference::downsample4x4(src, dst);
  }
  for (int32_t x = 0; x < dst.Width; ++x) {
    for (int j = 0; j < 4; ++j) {
      cols[size_t(x) * 4 + j] = int32_t(std::min<int64_t>((x * stepX + j * subX) >> 10, src.Width - 1));
    }
  }
  for (int32_t y = 0; y < dst.Height; ++y) {
    const uint32_t* rows[4];
    for (int i = 0; i < 4; ++i) {
      rows[i] = src.pixelAt(0, int32_t(std::min<int64_t>((y * stepY + i * subY) >> 10, src.Height - 1)));
    }
    uint32_t* d = dst.pixelAt(0, y);
    const int32_t* c = cols.data();
    for (int32_t x = 0; x < dst.Width; ++x, c += 4) {
      // Two bytes per 32-bit lane pair: 16 samples of 255 stay below 2^12.
      uint32_t lo = 0, hi = 0;
      for (int i = 0; i < 4; ++i) {
        const uint32_t* r = rows[i];
        for (int j = 0; j < 4; ++j) {
          const uint32_t p = r[c[j]];
          lo += p & 0x00FF00FFu;
          hi += (p >> 8) & 0x00FF00FFu;
        }
      }
      d[x] = ((lo >> 4) & 0x00FF00FFu) | (((hi >> 4) & 0x00FF00FFu) << 8);
    }
  }
  return true;
}

// ---- box reduction of a rectangle -----------------------------------------

namespace {

// The clipped destination rectangle of a box reduction, the 10-bit source
// steps of a destination pixel, and the box of (kx + 1) x (ky + 1) source
// pixels each one averages.
struct SBoxReduction {
  SRectXYWH r;
  int64_t stepX = 0, stepY = 0;
  int64_t kx = 0, ky = 0;
  uint64_t n = 1;

  // False when either plane holds no pixels or the rectangle misses dst.
  bool init(const TMTC& src, const TMTC& dst, SRectXYWH rect) {
    if (!hasPixels(src) || !hasPixels(dst)) return false;
    r = rect;
    if (!clipXYWHToSize(r, dst.size())) return false;
    stepX = (int64_t(src.Width) << 10) / dst.Width;
    stepY = (int64_t(src.Height) << 10) / dst.Height;
    kx = src.Width / dst.Width;
    ky = src.Height / dst.Height;
    n = uint64_t(kx + 1) * uint64_t(ky + 1);
    return true;
  }
};

}  // namespace

bool reference::downsampleRect4x4(const TMTC& src, TMTC& dst, int32_t x, int32_t y, int32_t w, int32_t h) {
  SBoxReduction box;
  if (!box.init(src, dst, SRectXYWH{x, y, w, h})) return false;
  const auto [r, stepX, stepY, kx, ky, n] = box;
  for (int32_t py = r.Y; py < r.Y + r.Height; ++py) {
    for (int32_t px = r.X; px < r.X + r.Width; ++px) {
      const int64_t bx = (stepX * px) >> 10, by = (stepY * py) >> 10;
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int64_t i = 0; i <= ky; ++i) {
        for (int64_t j = 0; j <= kx; ++j) {
          const uint32_t p = src.getPixelClamped(int32_t(std::min<int64_t>(bx + j, src.Width)),
                                                 int32_t(std::min<int64_t>(by + i, src.Height)));
          for (int k = 0; k < 4; ++k) sum[k] += (p >> (8 * k)) & 0xFFu;
        }
      }
      uint32_t out = 0;
      for (int k = 0; k < 4; ++k) out |= uint32_t(sum[k] / n) << (8 * k);
      *dst.pixelAt(px, py) = out;
    }
  }
  return true;
}

bool downsampleRect4x4(const TMTC& src, TMTC& dst, int32_t x, int32_t y, int32_t w, int32_t h) {
  SBoxReduction box;
  if (!box.init(src, dst, SRectXYWH{x, y, w, h})) return false;
  const auto [r, stepX, stepY, kx, ky, n] = box;
  // Sums stay below 255 * n; below 2^32 the division is a multiplication.
  const bool fastDivide = n < (uint64_t(1) << 24);
  const SDivider divider(n);
  auto divide = [&](uint64_t v) { return fastDivide ? divider.divide(v) : v / n; };

  const int64_t lastCol = src.Width - 1, lastRow = src.Height - 1;
  for (int32_t py = r.Y; py < r.Y + r.Height; ++py) {
    const int64_t by = (stepY * py) >> 10;
    // Rows past the bottom repeat the last row: their sum is counted again.
    const int64_t rowEnd = std::min(by + ky, lastRow);
    const uint64_t lastRowRepeats = uint64_t(by + ky - rowEnd);
    uint32_t* d = dst.pixelAt(0, py);
    for (int32_t px = r.X; px < r.X + r.Width; ++px) {
      const int64_t bx = (stepX * px) >> 10;
      const int64_t colEnd = std::min(bx + kx, lastCol);
      const uint64_t lastColRepeats = uint64_t(bx + kx - colEnd);
      SByteSums total;
      for (int64_t sy = by; sy <= rowEnd; ++sy) {
        const uint32_t* s = src.pixelAt(0, int32_t(sy));
        SByteSums row;
        for (int64_t sx = bx; sx <= colEnd; ++sx) row.add(s[sx]);
        if (lastColRepeats) row.add(s[colEnd], lastColRepeats);
        total.add(row, sy == rowEnd ? 1 + lastRowRepeats : 1);
      }
      d[px] = uint32_t(divide(total.b0)) | (uint32_t(divide(total.b1)) << 8) |
              (uint32_t(divide(total.b2)) << 16) | (uint32_t(divide(total.b3)) << 24);
    }
  }
  return true;
}

// ---- nearest-sample stretch ------------------------------------------------

namespace {

// The destination rows below the `rows` the source filled repeat the last of
// them.
void repeatLastRow(TMTC& dst, SRectXYWH dstRect, int32_t rows) {
  const uint32_t* last = dst.pixelAt(dstRect.X, dstRect.Y + rows - 1);
  for (int32_t r = rows; r < dstRect.Height; ++r) {
    std::memcpy(dst.pixelAt(dstRect.X, dstRect.Y + r), last, size_t(dstRect.Width) * 4);
  }
}

}  // namespace

bool reference::stretchCopyRect(TMTC& dst, const TMTC& src, SRectXYWH dstRect, SRectXYWH srcRect) {
  if (!hasPixels(src) || !hasPixels(dst)) return false;
  if (!clipXYWHToSize(srcRect, src.size()) || !clipXYWHToSize(dstRect, dst.size())) return false;
  const int64_t stepX = fixDiv(srcRect.Width, dstRect.Width);
  const int64_t stepY = fixDiv(srcRect.Height, dstRect.Height);
  const int64_t srcWidth16 = int64_t(srcRect.Width) << 16;
  const int64_t syEnd = int64_t(srcRect.Y + srcRect.Height) << 16;
  int64_t sy = int64_t(srcRect.Y) << 16;
  int32_t rows = 0;
  while (sy < syEnd && rows < dstRect.Height) {
    stretchRowRef(dst.pixelAt(dstRect.X, dstRect.Y + rows), src.pixelAt(srcRect.X, int32_t(sy >> 16)), srcWidth16,
                  stepX, dstRect.Width);
    sy += stepY;
    ++rows;
  }
  repeatLastRow(dst, dstRect, rows);
  return true;
}

bool stretchCopyRect(TMTC& dst, const TMTC& src, SRectXYWH dstRect, SRectXYWH srcRect) {
  if (!hasPixels(src) || !hasPixels(dst)) return false;
  if (!clipXYWHToSize(srcRect, src.size()) || !clipXYWHToSize(dstRect, dst.size())) return false;
  const int64_t stepX = fixDiv(srcRect.Width, dstRect.Width);
  const int64_t stepY = fixDiv(srcRect.Height, dstRect.Height);

  // The source column of every destination pixel, worked out once.
  std::vector<int32_t> cols;
  try {
    cols.reserve(size_t(dstRect.Width));
  } catch (const std::bad_alloc&) {
    return reference::stretchCopyRect(dst, src, dstRect, srcRect);
  }
  const int64_t srcWidth16 = int64_t(srcRect.Width) << 16;
  for (int64_t sx = 0; sx < srcWidth16 && int32_t(cols.size()) < dstRect.Width; sx += stepX) {
    cols.push_back(int32_t(sx >> 16));
  }
  const int32_t* col = cols.data();
  const size_t count = cols.size();

  const int64_t syEnd = int64_t(srcRect.Y + srcRect.Height) << 16;
  int64_t sy = int64_t(srcRect.Y) << 16;
  int32_t rows = 0;
  int64_t prevRow = -1;
  while (sy < syEnd && rows < dstRect.Height) {
    uint32_t* d = dst.pixelAt(dstRect.X, dstRect.Y + rows);
    const int64_t srcRow = sy >> 16;
    if (srcRow == prevRow) {
      // Enlarging: the same source row again gives the row just written.
      std::memcpy(d, dst.pixelAt(dstRect.X, dstRect.Y + rows - 1), count * 4);
    } else {
      const uint32_t* s = src.pixelAt(srcRect.X, int32_t(srcRow));
      for (size_t i = 0; i < count; ++i) d[i] = s[col[i]];
      prevRow = srcRow;
    }
    sy += stepY;
    ++rows;
  }
  repeatLastRow(dst, dstRect, rows);
  return true;
}

// ---- rotation with scaling -------------------------------------------------

namespace {

// The geometry shared by both forms: the clipped rectangle, the per-pixel
// 16.16 steps and each row's starting source position.
struct SRotateSetup {
  TRect rect;
  int64_t stepX = 0;  // source x change per destination pixel
  int64_t stepY = 0;  // source y change per destination pixel
  double c = 0, s = 0;
  int32_t hx = 0, hy = 0;
  TPoint centre;

  bool init(const TMTC& dst, TPoint ctr, float scale, float angle, TRect dstRect) {
    rect = dstRect;
    if (!dst.IsAllocated() || !dst.clipRect(rect)) return false;
    hx = dst.Width / 2;
    hy = dst.Height / 2;
    const float cf = dmath::cos(angle) * scale;
    const float sf = dmath::sin(angle) * scale;
    c = cf;
    s = sf;
    stepX = floatToFix(cf);
    stepY = floatToFix(sf);
    centre = ctr;
    return true;
  }
  // Source position of the row's first pixel, 16.16 (saturating, so that no
  // scale or angle can overflow the conversion).
  void rowStart(int32_t y, int64_t& sx, int64_t& sy) const {
    const double dx = double(rect.Left) - hx, dy = double(y) - hy;
    sx = roundToInt32((c * dx - s * dy + centre.X + 0.5) * 65536.0);
    sy = roundToInt32((s * dx + c * dy + centre.Y + 0.5) * 65536.0);
  }
};

}  // namespace

bool reference::rotateScaleInto(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle, TRect dstRect) {
  SRotateSetup g;
  if (!g.init(dst, centre, scale, angle, dstRect)) return false;
  // Positions are kept in 64 bits, so a far-away position stays outside
  // instead of wrapping back in.
  const int64_t w16 = hasPixels(src) ? int64_t(src.Width) << 16 : 0;
  const int64_t h16 = hasPixels(src) ? int64_t(src.Height) << 16 : 0;
  for (int32_t y = g.rect.Top; y < g.rect.Bottom; ++y) {
    int64_t sx, sy;
    g.rowStart(y, sx, sy);
    uint32_t* d = dst.pixelAt(0, y);
    for (int32_t x = g.rect.Left; x < g.rect.Right; ++x) {
      if (sx >= 0 && sx < w16 && sy >= 0 && sy < h16) {
        d[x] = src.getPixel(int32_t(sx >> 16), int32_t(sy >> 16));
      } else {
        d[x] = kRotateBackground;
      }
      sx += g.stepX;
      sy += g.stepY;
    }
  }
  return true;
}

bool rotateScaleInto(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle, TRect dstRect) {
  SRotateSetup g;
  if (!g.init(dst, centre, scale, angle, dstRect)) return false;
  const bool srcReady = hasPixels(src);
  const int64_t w16 = srcReady ? int64_t(src.Width) << 16 : 0;
  const int64_t h16 = srcReady ? int64_t(src.Height) << 16 : 0;
  const int64_t n = int64_t(g.rect.Right) - g.rect.Left;
  for (int32_t y = g.rect.Top; y < g.rect.Bottom; ++y) {
    int64_t sx, sy;
    g.rowStart(y, sx, sy);
    uint32_t* d = dst.pixelAt(g.rect.Left, y);
    // The pixels whose source lies inside form one run: background before it,
    // samples without tests inside it, background after it.
    int64_t lo = 0, hi = 0;
    if (srcReady) {
      int64_t loX, hiX, loY, hiY;
      insideSpan(sx, g.stepX, w16, n, loX, hiX);
      insideSpan(sy, g.stepY, h16, n, loY, hiY);
      lo = std::max(loX, loY);
      hi = std::max(lo, std::min(hiX, hiY));
    }
    std::fill(d, d + lo, kRotateBackground);
    sx += lo * g.stepX;
    sy += lo * g.stepY;
    for (int64_t i = lo; i < hi; ++i) {
      d[i] = reinterpret_cast<const uint32_t*>(src.Bits + src.RowOffsets[sy >> 16])[sx >> 16];
      sx += g.stepX;
      sy += g.stepY;
    }
    std::fill(d + hi, d + n, kRotateBackground);
  }
  return true;
}

bool rotateScaleAll(const TMTC& src, TMTC& dst, TPoint centre, float scale, float angle) {
  return rotateScaleInto(src, dst, centre, scale, angle, rectFromSize(dst.size()));
}

}  // namespace pg
