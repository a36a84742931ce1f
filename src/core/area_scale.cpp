#include "core/area_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/det_math.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

// 0.01 (pixel value x pixel area) in units of 2^-32.
constexpr uint64_t kStoreBias = 42949673;

// Round to nearest (ties to even), saturated far outside any plane.
int64_t roundSat(double v) {
  constexpr double kLimit = 1e15;
  if (std::isnan(v)) return 0;
  return int64_t(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

SSize sizeIfReady(const CDibCore* p) { return p && hasPixels(*p) ? p->size() : SSize{}; }

// One axis of a footprint cut at whole-pixel lines: the pixels first..last,
// the 16.16 weights of the two end pixels (the footprint's length when it
// lies inside one pixel) and the footprint's length.
struct SAxisSpan {
  int64_t First = 0;
  int64_t Last = -1;
  uint32_t WFirst = 0;
  uint32_t WLast = 0;
  uint64_t Length = 0;

  bool empty() const { return Length == 0; }
  uint32_t weight(int64_t i) const {
    return i == First ? WFirst : (i == Last ? WLast : kScaleWeightOne);
  }
};

// [lo, hi) clipped to [0, limit); empty when nothing is left.
SAxisSpan splitAxis(int64_t lo, int64_t hi, int64_t limit) {
  SAxisSpan s;
  lo = std::max<int64_t>(lo, 0);
  hi = std::min(hi, limit);
  if (lo >= hi) return s;
  s.First = lo >> 16;
  s.Last = (hi - 1) >> 16;
  s.Length = uint64_t(hi - lo);
  if (s.First == s.Last) {
    s.WFirst = s.WLast = uint32_t(hi - lo);
  } else {
    s.WFirst = uint32_t(((s.First + 1) << 16) - lo);
    s.WLast = uint32_t(hi - (s.Last << 16));
  }
  return s;
}

inline double toDouble(uint64_t v) { return double(v); }
inline double toDouble(UInt128 v) {
  const uint64_t hi = uint64_t(v >> 64), lo = uint64_t(v);
  return hi ? std::ldexp(double(hi), 64) + double(lo) : double(lo);
}

// floor(n / d), at most cap, for d > 0: a floating estimate corrected exactly
// by one step, so that no integer division is needed per pixel. U is wide
// enough for cap * d.
template <class U>
struct SSmallDivider {
  SSmallDivider() = default;
  explicit SSmallDivider(U d) { reset(d); }
  void reset(U d) {
    D = d;
    Inv = 1.0 / toDouble(d);
  }
  uint64_t divide(U n, uint64_t cap) const {
    if (n >= U(cap) * D) return cap;
    uint64_t q = uint64_t(toDouble(n) * Inv);
    if (q > cap) q = cap;
    const U p = U(q) * D;
    if (p > n) {
      --q;
    } else if (p + D <= n) {
      ++q;
    }
    return q;
  }
  U D = 0;
  double Inv = 0;
};

// Footprint sums in 64 bits, used whenever the footprint's area is below
// 2^54 units: then every sum stays below 255 * 2^54 < 2^62.
struct SScaleSum64 {
  uint64_t V[4] = {0, 0, 0, 0};
};
constexpr UInt128 kSmallTotal = UInt128(1) << 54;

template <class Sum>
inline void addRowSum(Sum& total, const SScaleRowSum& row, uint32_t weight, int channels) {
  using U = std::remove_cvref_t<decltype(total.V[0])>;
  for (int k = 0; k < channels; ++k) total.V[k] += U(row.V[k]) * weight;
}

// The stores of the formats, shared by the virtual steps and the fast loops.
// 32-bit: each byte (0.01 + sum) / total, the 0.01 kept below one total.
template <class Sum, class U>
inline void store32(uint8_t* dst, const Sum& sum, const SSmallDivider<U>& div) {
  const U bias = std::min<U>(kStoreBias, div.D - 1);
  for (int k = 0; k < 4; ++k) dst[k] = uint8_t(div.divide(sum.V[k] + bias, 255));
}
template <class Sum, class U>
inline uint8_t average8(const Sum& sum, const SSmallDivider<U>& div) {
  return uint8_t(div.divide(sum.V[0], 255));
}
template <class Sum, class U>
inline void store8(uint8_t* dst, const Sum& sum, const SSmallDivider<U>& div) {
  *dst = average8(sum, div);
}
template <class Sum, class U>
inline void storeGrey32(uint8_t* dst, const Sum& sum, const SSmallDivider<U>& div) {
  const uint8_t g = average8(sum, div);
  dst[0] = dst[1] = dst[2] = g;
  dst[3] = 255;
}
// A 16.16 fraction of 255: sum * 65536 / (total * 255), at most 65536.
template <class Sum, class U>
inline void storeFix(uint8_t* dst, const Sum& sum, const SSmallDivider<U>& div) {
  const SSmallDivider<UInt128> fix(UInt128(div.D) * 255);
  const uint32_t v = uint32_t(fix.divide(UInt128(sum.V[0]) << 16, 65536));
  std::memcpy(dst, &v, sizeof v);
}

// The formats for the inlined loop: sum() stores an average; one() stores a
// footprint that lies inside one source pixel, whose average is that pixel
// exactly (the 0.01 stays below one total), without dividing.
struct SPut32 {
  template <class Sum, class U>
  static void sum(uint8_t* d, const Sum& s, const SSmallDivider<U>& div) { store32(d, s, div); }
  static void one(uint8_t* d, const uint8_t* p) { std::memcpy(d, p, 4); }
};
struct SPut8 {
  template <class Sum, class U>
  static void sum(uint8_t* d, const Sum& s, const SSmallDivider<U>& div) { store8(d, s, div); }
  static void one(uint8_t* d, const uint8_t* p) { *d = *p; }
};
struct SPutGrey {
  template <class Sum, class U>
  static void sum(uint8_t* d, const Sum& s, const SSmallDivider<U>& div) { storeGrey32(d, s, div); }
  static void one(uint8_t* d, const uint8_t* p) {
    d[0] = d[1] = d[2] = *p;
    d[3] = 255;
  }
};
struct SPutFix {
  template <class Sum, class U>
  static void sum(uint8_t* d, const Sum& s, const SSmallDivider<U>& div) { storeFix(d, s, div); }
  static void one(uint8_t* d, const uint8_t* p) {
    const uint32_t v = uint32_t(*p) * 65536u / 255u;
    std::memcpy(d, &v, sizeof v);
  }
};

}  // namespace

// ---- the virtual steps ------------------------------------------------------

void CScaleImage::accumulate(SScaleRowSum& acc, const uint8_t* pixel) const {
  for (int k = 0; k < 4; ++k) acc.V[k] += uint64_t(pixel[k]) << 16;
}

void CScaleImage::accumulateWeighted(SScaleRowSum& acc, const uint8_t* pixel, uint32_t weight) const {
  for (int k = 0; k < 4; ++k) acc.V[k] += uint64_t(pixel[k]) * weight;
}

void CScaleImage::store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const {
  store32(dst, sum, SSmallDivider<UInt128>(totalWeight));
}

void CScaleImage8::accumulate(SScaleRowSum& acc, const uint8_t* pixel) const { acc.V[0] += uint64_t(*pixel) << 16; }

void CScaleImage8::accumulateWeighted(SScaleRowSum& acc, const uint8_t* pixel, uint32_t weight) const {
  acc.V[0] += uint64_t(*pixel) * weight;
}

void CScaleImage8::store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const {
  store8(dst, sum, SSmallDivider<UInt128>(totalWeight));
}

// ---- geometry and the literal loop ----------------------------------------

bool CScaleImage::setup() {
  if (!clipXYWHToSize(SrcRect, SrcSize) || !clipXYWHToSize(DstRect, DstSize)) return false;
  StepX = fixDiv(SrcRect.Width, DstRect.Width);
  StepY = fixDiv(SrcRect.Height, DstRect.Height);
  return true;
}

bool CScaleImage::execute(const SRectXYWH& srcRect, const SRectXYWH& dstRect) {
  SrcRect = srcRect;
  DstRect = dstRect;
  if (!setup()) return false;
  resampleAll();
  return true;
}

bool CScaleImage::resampleClipped(uint8_t* dst, const SFixBox& footprint) const {
  const SAxisSpan sx = splitAxis(footprint.Left, footprint.Right, int64_t(SrcSize.W) << 16);
  const SAxisSpan sy = splitAxis(footprint.Top, footprint.Bottom, int64_t(SrcSize.H) << 16);
  if (sx.empty() || sy.empty()) return false;
  SScaleSum total;
  for (int64_t py = sy.First; py <= sy.Last; ++py) {
    SScaleRowSum row;
    for (int64_t px = sx.First; px <= sx.Last; ++px) {
      const uint8_t* p = srcPixel(int32_t(px), int32_t(py));
      const uint32_t w = sx.weight(px);
      if (w == kScaleWeightOne) {
        accumulate(row, p);
      } else {
        accumulateWeighted(row, p, w);
      }
    }
    addRowSum(total, row, sy.weight(py), 4);
  }
  store(dst, total, UInt128(sx.Length) * sy.Length);
  return true;
}

void CScaleImage::resampleRect(uint8_t* dst, const SFixBox& footprint) const { resampleClipped(dst, footprint); }

void CScaleImage::resampleAll() { resampleAllGeneric(); }

void CScaleImage::resampleAllGeneric() {
  const int64_t originX = int64_t(SrcRect.X) << 16, originY = int64_t(SrcRect.Y) << 16;
  for (int32_t j = 0; j < DstRect.Height; ++j) {
    const int64_t y0 = originY + int64_t(j) * StepY;
    for (int32_t i = 0; i < DstRect.Width; ++i) {
      const int64_t x0 = originX + int64_t(i) * StepX;
      resampleClipped(dstPixel(DstRect.X + i, DstRect.Y + j), {x0, y0, x0 + StepX, y0 + StepY});
    }
  }
}

// ---- the inlined loop of the formats of this file -----------------------

namespace {

struct SScaleFast {
  // Bpp: bytes per source pixel (4 or 1). srcRow(y) answers the address of
  // pixel 0 of source row y, dstAt(x, y) the destination pixel, Put is one of
  // the formats above. The column spans are worked out once per call.
  // Answers False when the memory for them could not be had.
  template <int Bpp, class Put, class SrcRow, class DstAt>
  static bool run(const CScaleImage& s, SrcRow srcRow, DstAt dstAt) {
    const int64_t limitX = int64_t(s.SrcSize.W) << 16, limitY = int64_t(s.SrcSize.H) << 16;
    const int64_t originX = int64_t(s.SrcRect.X) << 16, originY = int64_t(s.SrcRect.Y) << 16;
    std::vector<SAxisSpan> cols;
    try {
      cols.resize(size_t(s.DstRect.Width));
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (int32_t i = 0; i < s.DstRect.Width; ++i) {
      const int64_t x0 = originX + int64_t(i) * s.StepX;
      cols[size_t(i)] = splitAxis(x0, x0 + s.StepX, limitX);
    }
    // Most footprints share one area: its reciprocal is kept.
    SSmallDivider<uint64_t> small;
    for (int32_t j = 0; j < s.DstRect.Height; ++j) {
      const int64_t y0 = originY + int64_t(j) * s.StepY;
      const SAxisSpan sy = splitAxis(y0, y0 + s.StepY, limitY);
      if (sy.empty()) continue;
      for (int32_t i = 0; i < s.DstRect.Width; ++i) {
        const SAxisSpan& sx = cols[size_t(i)];
        if (sx.empty()) continue;
        uint8_t* d = dstAt(s.DstRect.X + i, s.DstRect.Y + j);
        if (sx.First == sx.Last && sy.First == sy.Last) {
          Put::one(d, srcRow(sy.First) + sx.First * Bpp);
          continue;
        }
        const UInt128 total = UInt128(sx.Length) * sy.Length;
        if (total < kSmallTotal) {
          if (uint64_t(total) != small.D) small.reset(uint64_t(total));
          Put::sum(d, footprint<Bpp, SScaleSum64>(srcRow, sx, sy), small);
        } else {
          Put::sum(d, footprint<Bpp, SScaleSum>(srcRow, sx, sy), SSmallDivider<UInt128>(total));
        }
      }
    }
    return true;
  }

  template <int Bpp, class Sum, class SrcRow>
  static Sum footprint(SrcRow& srcRow, const SAxisSpan& sx, const SAxisSpan& sy) {
    Sum total;
    for (int64_t py = sy.First; py <= sy.Last; ++py) {
      SScaleRowSum row;
      addSpan<Bpp>(row, srcRow(py), sx);
      addRowSum(total, row, sy.weight(py), Bpp);
    }
    return total;
  }

  template <int Bpp>
  static void addSpan(SScaleRowSum& row, const uint8_t* line, const SAxisSpan& sx) {
    const uint8_t* p = line + sx.First * Bpp;
    addWeighted<Bpp>(row, p, sx.WFirst);
    if (sx.First == sx.Last) return;
    const uint8_t* end = line + sx.Last * Bpp;
    addWhole<Bpp>(row, p + Bpp, end);
    addWeighted<Bpp>(row, end, sx.WLast);
  }

  // Whole pixels from p up to end, weight one each.
  template <int Bpp>
  static void addWhole(SScaleRowSum& row, const uint8_t* p, const uint8_t* end) {
    if constexpr (Bpp == 4) {
      // Two bytes to a 32-bit word (bytes 0 and 2, bytes 1 and 3): 256 pixels
      // of 255 still fit a 16-bit lane, so the lanes are emptied every 256.
      while (p < end) {
        const uint8_t* stop = end - p > 256 * 4 ? p + 256 * 4 : end;
        uint32_t even = 0, odd = 0;
        for (; p < stop; p += 4) {
          uint32_t v;
          std::memcpy(&v, p, 4);
          even += v & 0x00FF00FFu;
          odd += (v >> 8) & 0x00FF00FFu;
        }
        row.V[0] += uint64_t(even & 0xFFFFu) << 16;
        row.V[1] += uint64_t(odd & 0xFFFFu) << 16;
        row.V[2] += uint64_t(even >> 16) << 16;
        row.V[3] += uint64_t(odd >> 16) << 16;
      }
    } else {
      uint64_t run = 0;
      for (; p < end; ++p) run += *p;
      row.V[0] += run << 16;
    }
  }

  template <int Bpp>
  static void addWeighted(SScaleRowSum& row, const uint8_t* p, uint32_t w) {
    for (int k = 0; k < Bpp; ++k) row.V[k] += uint64_t(p[k]) * w;
  }
};

}  // namespace

// ---- the formats -------------------------------------------------------------

CScaleImageTMTC::CScaleImageTMTC(const TMTC& src, TMTC* dst) : src_(src), dst_(dst) {
  SrcSize = sizeIfReady(&src);
  DstSize = sizeIfReady(dst);
}
const uint8_t* CScaleImageTMTC::srcPixel(int32_t x, int32_t y) const { return src_.PixelAddress(x, y); }
uint8_t* CScaleImageTMTC::dstPixel(int32_t x, int32_t y) const { return dst_->PixelAddress(x, y); }
void CScaleImageTMTC::resampleAll() {
  const TMTC& src = src_;
  TMTC& dst = *dst_;
  const bool done = SScaleFast::run<4, SPut32>(
      *this, [&src](int64_t y) { return src.rowAddress(int32_t(y)); },
      [&dst](int32_t x, int32_t y) { return reinterpret_cast<uint8_t*>(dst.pixelAt(x, y)); });
  if (!done) resampleAllGeneric();
}

CScaleImageCH::CScaleImageCH(const TChannel& src, TChannel* dst) : src_(src), dst_(dst) {
  SrcSize = sizeIfReady(&src);
  DstSize = sizeIfReady(dst);
}
const uint8_t* CScaleImageCH::srcPixel(int32_t x, int32_t y) const { return src_.pixelAt(x, y); }
uint8_t* CScaleImageCH::dstPixel(int32_t x, int32_t y) const { return dst_->pixelAt(x, y); }
void CScaleImageCH::resampleAll() {
  const TChannel& src = src_;
  TChannel& dst = *dst_;
  const bool done = SScaleFast::run<1, SPut8>(
      *this, [&src](int64_t y) { return src.rowAddress(int32_t(y)); },
      [&dst](int32_t x, int32_t y) { return dst.pixelAt(x, y); });
  if (!done) resampleAllGeneric();
}

CScaleImageCH2TMTC::CScaleImageCH2TMTC(const TChannel& src, TMTC* dst) : src_(src), dst_(dst) {
  SrcSize = sizeIfReady(&src);
  DstSize = sizeIfReady(dst);
}
void CScaleImageCH2TMTC::store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const {
  storeGrey32(dst, sum, SSmallDivider<UInt128>(totalWeight));
}
const uint8_t* CScaleImageCH2TMTC::srcPixel(int32_t x, int32_t y) const { return src_.pixelAt(x, y); }
uint8_t* CScaleImageCH2TMTC::dstPixel(int32_t x, int32_t y) const { return dst_->PixelAddress(x, y); }
void CScaleImageCH2TMTC::resampleAll() {
  const TChannel& src = src_;
  TMTC& dst = *dst_;
  const bool done = SScaleFast::run<1, SPutGrey>(
      *this, [&src](int64_t y) { return src.rowAddress(int32_t(y)); },
      [&dst](int32_t x, int32_t y) { return reinterpret_cast<uint8_t*>(dst.pixelAt(x, y)); });
  if (!done) resampleAllGeneric();
}

CScaleImageCH_fixp::CScaleImageCH_fixp(const TChannel& src, uint32_t* dst, SSize dstSize) : src_(src), dst_(dst) {
  SrcSize = sizeIfReady(&src);
  DstSize = dst ? SSize{std::max(dstSize.W, 0), std::max(dstSize.H, 0)} : SSize{};
}
void CScaleImageCH_fixp::store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const {
  storeFix(dst, sum, SSmallDivider<UInt128>(totalWeight));
}
const uint8_t* CScaleImageCH_fixp::srcPixel(int32_t x, int32_t y) const { return src_.pixelAt(x, y); }
uint8_t* CScaleImageCH_fixp::dstPixel(int32_t x, int32_t y) const {
  return reinterpret_cast<uint8_t*>(dst_ + (int64_t(y) * DstSize.W + x));
}
void CScaleImageCH_fixp::resampleAll() {
  const TChannel& src = src_;
  const bool done = SScaleFast::run<1, SPutFix>(
      *this, [&src](int64_t y) { return src.rowAddress(int32_t(y)); },
      [this](int32_t x, int32_t y) { return dstPixel(x, y); });
  if (!done) resampleAllGeneric();
}

CScaleImageBYTE::CScaleImageBYTE(const uint8_t* src, SSize srcSize, uint8_t* dst, SSize dstSize)
    : src_(src), dst_(dst) {
  SrcSize = src ? SSize{std::max(srcSize.W, 0), std::max(srcSize.H, 0)} : SSize{};
  DstSize = dst ? SSize{std::max(dstSize.W, 0), std::max(dstSize.H, 0)} : SSize{};
}
const uint8_t* CScaleImageBYTE::srcPixel(int32_t x, int32_t y) const { return src_ + (int64_t(y) * SrcSize.W + x); }
uint8_t* CScaleImageBYTE::dstPixel(int32_t x, int32_t y) const { return dst_ + (int64_t(y) * DstSize.W + x); }
void CScaleImageBYTE::resampleAll() {
  const bool done = SScaleFast::run<1, SPut8>(
      *this, [this](int64_t y) { return src_ + y * SrcSize.W; },
      [this](int32_t x, int32_t y) { return dstPixel(x, y); });
  if (!done) resampleAllGeneric();
}

// ---- fitting routines -------------------------------------------------------

namespace {

void fillPlane(TMTC& p, uint32_t value) {
  for (int32_t y = 0; y < p.Height; ++y) std::fill_n(p.pixelAt(0, y), p.Width, value);
}

SRectXYWH fitRect(SSize box, SSize size, bool keepAspect) {
  SRectXYWH r{0, 0, box.W, box.H};
  if (keepAspect) fitAspectNoEnlarge(r, box, size);
  return r;
}

}  // namespace

bool scaleToFitTMTC(TMTC& dst, const TMTC& src, bool keepAspect, uint32_t background) {
  if (!hasPixels(dst) || !hasPixels(src)) return false;
  fillPlane(dst, background);
  CScaleImageTMTC scaler(src, &dst);
  return scaler.execute({0, 0, src.Width, src.Height}, fitRect(dst.size(), src.size(), keepAspect));
}

bool scaleToFitTTC(TMTC& dst, const TChannel& src, bool keepAspect, uint32_t background) {
  if (!hasPixels(dst) || !hasPixels(src)) return false;
  fillPlane(dst, background);
  CScaleImageCH2TMTC scaler(src, &dst);
  return scaler.execute({0, 0, src.Width, src.Height}, fitRect(dst.size(), src.size(), keepAspect));
}

std::unique_ptr<TMTC> makeScaledCopy(SSize box, const TMTC& src, bool atOrigin, uint32_t background, bool enlarge) {
  if (!hasPixels(src) || box.W <= 0 || box.H <= 0) return nullptr;
  SRectXYWH r;
  if (enlarge) {
    fitAspect(r, box, src.size());
  } else {
    fitAspectNoEnlarge(r, box, src.size());
  }
  SSize planeSize = box;
  if (atOrigin) {
    planeSize = {r.Width, r.Height};
    r.X = r.Y = 0;
  }
  std::unique_ptr<TMTC> plane;
  try {
    plane = std::make_unique<TMTC>(planeSize);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!hasPixels(*plane)) return nullptr;
  fillPlane(*plane, background);
  CScaleImageTMTC scaler(src, plane.get());
  // False only when nothing was drawn: the plane then keeps its background.
  (void)scaler.execute({0, 0, src.Width, src.Height}, r);
  return plane;
}

void drawScaledPreview(const uint8_t* src, SSize srcSize, uint8_t* dst, SSize dstSize, TRect dstRect, float angle,
                       float scaleX, float scaleY, TPointF srcCentre, uint8_t fill) {
  if (dst == nullptr || dstSize.W <= 0 || dstSize.H <= 0) return;
  if (!clipRectToSize(dstRect, dstSize)) return;
  auto at = [&](int32_t x, int32_t y) { return dst + (int64_t(y) * dstSize.W + x); };
  const bool drawable = std::isfinite(scaleX) && std::isfinite(scaleY) && scaleX != 0.0f && scaleY != 0.0f &&
                        std::isfinite(angle) && std::isfinite(srcCentre.X) && std::isfinite(srcCentre.Y);
  if (!drawable) {
    for (int32_t y = dstRect.Top; y < dstRect.Bottom; ++y)
      for (int32_t x = dstRect.Left; x < dstRect.Right; ++x) *at(x, y) = fill;
    return;
  }
  const CScaleImageBYTE scaler(src, srcSize, dst, dstSize);
  const int64_t cosA = floatToFix(dmath::cos(angle)), sinA = floatToFix(dmath::sin(angle));
  const int64_t halfW = int64_t(dstSize.W) << 15, halfH = int64_t(dstSize.H) << 15;
  const double centreX = double(srcCentre.X) * 65536.0, centreY = double(srcCentre.Y) * 65536.0;
  // Half the footprint: 1/scale pixels wide, at least one 16.16 step.
  const int64_t hw = std::max<int64_t>(roundSat(32768.0 / std::fabs(double(scaleX))), 1);
  const int64_t hh = std::max<int64_t>(roundSat(32768.0 / std::fabs(double(scaleY))), 1);
  for (int32_t y = dstRect.Top; y < dstRect.Bottom; ++y) {
    const int64_t dy = (int64_t(y) << 16) + 32768 - halfH;
    for (int32_t x = dstRect.Left; x < dstRect.Right; ++x) {
      const int64_t dx = (int64_t(x) << 16) + 32768 - halfW;
      const int64_t rx = ((dx * cosA) >> 16) - ((dy * sinA) >> 16);
      const int64_t ry = ((dx * sinA) >> 16) + ((dy * cosA) >> 16);
      const int64_t sx = roundSat(double(rx) / scaleX + centreX);
      const int64_t sy = roundSat(double(ry) / scaleY + centreY);
      uint8_t* d = at(x, y);
      if (!scaler.resampleClipped(d, {sx - hw, sy - hh, sx + hw, sy + hh})) *d = fill;
    }
  }
}

}  // namespace pg
