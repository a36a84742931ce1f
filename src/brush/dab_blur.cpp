#include "brush/dab_blur.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "brush/dab_round.h"
#include "brush/plot_callbacks.h"
#include "core/blend_arith.h"
#include "core/fixed_point.h"

namespace pg {

namespace {

int32_t blurHalfSize(int32_t k) { return std::clamp(k, 1, kMaxBlurHalfSize); }

// Sums of colour and alpha over a set of samples. Weighted sums hold
// P[channel][alpha] per colour channel.
struct SSums {
  int64_t b = 0, g = 0, r = 0, a = 0;
  void add(const SSums& o) {
    b += o.b;
    g += o.g;
    r += o.r;
    a += o.a;
  }
  void sub(const SSums& o) {
    b -= o.b;
    g -= o.g;
    r -= o.r;
    a -= o.a;
  }
};

template <bool Weighted>
void addSample(SSums& s, uint32_t p) {
  const uint32_t a = pixelAlpha(p);
  if (Weighted) {
    s.b += productAt(pixelByte(p, 0), a);
    s.g += productAt(pixelByte(p, 1), a);
    s.r += productAt(pixelByte(p, 2), a);
  } else {
    s.b += pixelByte(p, 0);
    s.g += pixelByte(p, 1);
    s.r += pixelByte(p, 2);
  }
  s.a += a;
}

// Column x of the window rows y - k .. y + k, read clamped.
template <bool Weighted>
SSums columnSums(const CBlockVMTC& src, int32_t x, int32_t y, int32_t k) {
  SSums s;
  for (int64_t j = int64_t(y) - k; j <= int64_t(y) + k; ++j)
    addSample<Weighted>(s, src.getPixelClamped(x, static_cast<int32_t>(std::clamp<int64_t>(j, -1, src.height()))));
  return s;
}

// The whole window around (x, y), summed from scratch.
template <bool Weighted>
class CDirectWindow {
 public:
  CDirectWindow(const CBlockVMTC& src, int32_t k) : src_(src), k_(k) {}
  bool ready() const { return true; }
  SSums at(int32_t x, int32_t y) {
    SSums s;
    for (int64_t i = int64_t(x) - k_; i <= int64_t(x) + k_; ++i)
      s.add(columnSums<Weighted>(src_, static_cast<int32_t>(std::clamp<int64_t>(i, -1, src_.width())), y, k_));
    return s;
  }

 private:
  const CBlockVMTC& src_;
  int32_t k_;
};

// The window as 2k + 1 column sums, slid one column to the right when the
// next pixel asked for is the right neighbour of the last one, rebuilt
// otherwise.
template <bool Weighted>
class CSlidingWindow {
 public:
  CSlidingWindow(const CBlockVMTC& src, int32_t k) : src_(src), k_(k) {
    try {
      ring_.resize(static_cast<size_t>(2 * k + 1));
    } catch (...) {
      ring_.clear();
    }
  }
  bool ready() const { return !ring_.empty(); }
  SSums at(int32_t x, int32_t y) {
    if (valid_ && y == y_ && int64_t(x) == int64_t(x_) + 1) {
      total_.sub(ring_[head_]);
      ring_[head_] = columnSums<Weighted>(src_, clampX(int64_t(x) + k_), y, k_);
      total_.add(ring_[head_]);
      head_ = head_ + 1 == ring_.size() ? 0 : head_ + 1;
    } else {
      total_ = SSums{};
      for (size_t i = 0; i < ring_.size(); ++i) {
        ring_[i] = columnSums<Weighted>(src_, clampX(int64_t(x) - k_ + int64_t(i)), y, k_);
        total_.add(ring_[i]);
      }
      head_ = 0;
      valid_ = true;
    }
    x_ = x;
    y_ = y;
    return total_;
  }

 private:
  // Any column left (right) of the image reads as the first (last) one.
  int32_t clampX(int64_t v) const { return static_cast<int32_t>(std::clamp<int64_t>(v, -1, src_.width())); }

  const CBlockVMTC& src_;
  int32_t k_;
  std::vector<SSums> ring_;
  size_t head_ = 0;
  SSums total_;
  int32_t x_ = 0, y_ = 0;
  bool valid_ = false;
};

// The kernel-sampling dab over its box; Window gives the sums.
template <bool Weighted, class Window>
void kernelDab(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, Window& window, int32_t k, float opacity, float radius,
               float cy, float cx) {
  TRect box;
  TPoint offset;
  if (!source.isValid() || !dabBox(target, box, offset, radius, cy, cx)) return;
  const int64_t cx16 = floatToFix(cx), cy16 = floatToFix(cy);
  const int64_t r16 = floatToFix(radius);
  if (r16 <= 0) return;
  const uint32_t opacity255 = opacity > 0.0f ? static_cast<uint32_t>(std::min(opacity, 1.0f) * 255.0f) : 0u;
  const int64_t count = int64_t(2 * k + 1) * (2 * k + 1);
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const int64_t dy = int64_t(y) * 65536 + 32768 - cy16;
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const int64_t dx = int64_t(x) * 65536 + 32768 - cx16;
      const int64_t limit = std::numeric_limits<int32_t>::max();
      const int64_t d = std::llabs(dx) > limit || std::llabs(dy) > limit
                            ? limit
                            : fixHypot(static_cast<int32_t>(dx), static_cast<int32_t>(dy));
      if (d >= r16) continue;
      const SSums s = window.at(x, y);
      uint32_t colour;
      if (Weighted) {
        if (s.a == 0) continue;
        colour = static_cast<uint32_t>(s.b * 255 / s.a) | static_cast<uint32_t>(s.g * 255 / s.a) << 8 |
                 static_cast<uint32_t>(s.r * 255 / s.a) << 16 | static_cast<uint32_t>(s.a / count) << 24;
      } else {
        const uint32_t alpha = pixelAlpha(source.getPixelClamped(
            static_cast<int32_t>(std::clamp<int64_t>(int64_t(x) + k, -1, source.width())),
            static_cast<int32_t>(std::clamp<int64_t>(int64_t(y) + k, -1, source.height()))));
        colour = static_cast<uint32_t>(s.b / count) | static_cast<uint32_t>(s.g / count) << 8 |
                 static_cast<uint32_t>(s.r / count) << 16 | alpha << 24;
      }
      const uint32_t weight = static_cast<uint32_t>(255 - d * 255 / r16);
      (void)plotPlane32(&plot, target, x, y, colour, productAt(weight, opacity255));
    }
  }
}

template <bool Weighted>
void blurDabDirectT(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy,
                    float cx) {
  k = blurHalfSize(k);
  CDirectWindow<Weighted> window(source, k);
  kernelDab<Weighted>(plot, target, source, window, k, opacity, radius, cy, cx);
}

template <bool Weighted>
void blurDabT(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy, float cx) {
  k = blurHalfSize(k);
  CSlidingWindow<Weighted> window(source, k);
  if (!window.ready()) return blurDabDirectT<Weighted>(plot, target, source, k, opacity, radius, cy, cx);
  kernelDab<Weighted>(plot, target, source, window, k, opacity, radius, cy, cx);
}

// paintStrokeDab's walk; Window gives the plain sums.
template <class Window>
void strokeDab(TMTC& target, Window& window, int32_t k, float radius, float cy, float cx) {
  if (std::isnan(radius) || std::isnan(cx) || std::isnan(cy) || !target.IsAllocated()) return;
  // Rows trunc(cy - r) .. trunc(cy + r + 1), columns likewise, within the plane.
  auto truncI = [](double v) { return static_cast<int64_t>(std::clamp(std::trunc(v), -1073741824.0, 1073741824.0)); };
  const double r = radius;
  const int64_t y0 = std::max<int64_t>(truncI(double(cy) - r), 0);
  const int64_t y1 = std::min<int64_t>(truncI(double(cy) + r + 1.0), target.Height - 1);
  const int64_t x0 = std::max<int64_t>(truncI(double(cx) - r), 0);
  const int64_t x1 = std::min<int64_t>(truncI(double(cx) + r + 1.0), target.Width - 1);
  // Quarter pixels; radii past 2^24 pixels cover any plane whole, and keeping
  // R below 2^26 keeps d^2 * 255 inside 64 bits.
  const int64_t R = std::min<int64_t>(truncI(4.0 * double(radius)), int64_t(1) << 26);
  const int64_t R2 = R * R;
  if (R2 == 0) return;
  const int64_t cx4 = truncI(4.0 * double(cx)), cy4 = truncI(4.0 * double(cy));
  const int64_t count = int64_t(2 * k + 1) * (2 * k + 1);
  for (int64_t y = y0; y <= y1; ++y) {
    const int64_t dy = 4 * y - cy4;
    for (int64_t x = x0; x <= x1; ++x) {
      const int64_t dx = 4 * x - cx4;
      const int64_t d00 = dx * dx + dy * dy;
      if (d00 >= R2 || (dx + 4) * (dx + 4) + dy * dy >= R2 || dx * dx + (dy + 4) * (dy + 4) >= R2 ||
          (dx + 4) * (dx + 4) + (dy + 4) * (dy + 4) >= R2)
        continue;
      const int64_t w = 255 - d00 * 255 / R2;
      const SSums s = window.at(static_cast<int32_t>(x), static_cast<int32_t>(y));
      const uint32_t colour = static_cast<uint32_t>(s.b / count) | static_cast<uint32_t>(s.g / count) << 8 |
                              static_cast<uint32_t>(s.r / count) << 16;
      blendPixelTab(target, static_cast<int32_t>(x), static_cast<int32_t>(y), colour,
                    static_cast<uint32_t>(std::max<int64_t>(0, w)));
    }
  }
}

}  // namespace

void blurDabAlpha(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy, float cx) {
  blurDabT<true>(plot, target, source, k, opacity, radius, cy, cx);
}
void blurDabAlphaDirect(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy,
                        float cx) {
  blurDabDirectT<true>(plot, target, source, k, opacity, radius, cy, cx);
}
void blurDab(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy, float cx) {
  blurDabT<false>(plot, target, source, k, opacity, radius, cy, cx);
}
void blurDabDirect(const SPlotter& plot, TMTC& target, const CBlockVMTC& source, int32_t k, float opacity, float radius, float cy,
                   float cx) {
  blurDabDirectT<false>(plot, target, source, k, opacity, radius, cy, cx);
}

void paintStrokeDab(TMTC& target, const CBlockVMTC& source, int32_t k, float radius, float cy, float cx) {
  if (!source.isValid()) return;
  k = blurHalfSize(k);
  CSlidingWindow<false> window(source, k);
  if (!window.ready()) return reference::paintStrokeDab(target, source, k, radius, cy, cx);
  strokeDab(target, window, k, radius, cy, cx);
}

namespace reference {

void paintStrokeDab(TMTC& target, const CBlockVMTC& source, int32_t k, float radius, float cy, float cx) {
  if (!source.isValid()) return;
  k = blurHalfSize(k);
  CDirectWindow<false> window(source, k);
  strokeDab(target, window, k, radius, cy, cx);
}

}  // namespace reference

void blurByWeight(TMTC& target, const CBlockVMTC& source, const TChannel& weight, const TChannel* mask,
                  SRectXYWH rect) {
  if (!target.IsAllocated() || !weight.IsAllocated() || !source.isValid()) return;
  if (!clipXYWHToSize(rect, target.size()) || !clipXYWHToSize(rect, weight.size())) return;
  if (mask != nullptr && (!mask->IsAllocated() || !clipXYWHToSize(rect, mask->size()))) return;
  for (int32_t y = rect.Y; y < rect.Y + rect.Height; ++y) {
    for (int32_t x = rect.X; x < rect.X + rect.Width; ++x) {
      uint32_t w = weight.getPixel(x, y);
      if (mask != nullptr) {
        const uint32_t m = mask->getPixel(x, y);
        if (m != 255) w = (w * m) >> 8;
      }
      if (w <= 1) {
        *target.pixelAt(x, y) = source.getPixelClamped(x, y);
        continue;
      }
      const uint32_t c = std::min<uint32_t>(w, 31);
      const uint32_t centre = 32 - c;
      uint32_t sum[3] = {0, 0, 0};
      for (int32_t j = -1; j <= 1; ++j)
        for (int32_t i = -1; i <= 1; ++i) {
          const uint32_t p = source.getPixelClamped(x + i, y + j);
          const uint32_t n = (i == 0 && j == 0) ? centre : 1;
          for (int b = 0; b < 3; ++b) sum[b] += pixelByte(p, b) * n;
        }
      const uint32_t total = centre + 8;
      const uint32_t colour = sum[0] / total | (sum[1] / total) << 8 | (sum[2] / total) << 16;
      lerpPixelRgbTab(target.pixelAt(x, y), colour, 255);
    }
  }
}

}  // namespace pg
