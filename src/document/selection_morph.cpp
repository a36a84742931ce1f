#include "document/selection_morph.h"

#include <algorithm>
#include <climits>
#include <new>

namespace pg {

std::vector<int32_t> octagonHalfExtents(int32_t n) {
  std::vector<int32_t> t;
  if (n < 1) return t;
  const int32_t c = (n + 1) / 2;
  t.resize(static_cast<size_t>(2 * n + 1));
  for (int32_t dx = -n; dx <= n; ++dx) {
    const int32_t i = n - (dx < 0 ? -dx : dx);
    int32_t v;
    if (i == 0) {
      v = c;
    } else if (dx == 0) {
      v = n;
    } else {
      v = i < n - c ? c + i : n;
    }
    t[static_cast<size_t>(dx + n)] = v;
  }
  return t;
}

namespace {

// One line of the raster: `count` samples from `start`, `step` apart.
struct SLine {
  int64_t start;
  int64_t step;
  int32_t count;
};

// The running extreme over a window of 2r + 1 samples centred on each
// sample of a line, samples beyond the line being 0 (van Herk / Gil-Werman:
// prefix and suffix extremes per block of the window's length, so each
// sample costs three comparisons whatever r).
class CLineExtreme {
 public:
  bool prepare(int32_t longest, int32_t r) {
    const size_t len = static_cast<size_t>(longest) + 2 * static_cast<size_t>(r) + 1;
    try {
      buf_.assign(len, 0);
      pre_.assign(len, 0);
      suf_.assign(len, 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  void run(uint8_t* data, const SLine& line, int32_t r, bool grow) {
    const int32_t w = 2 * r + 1;
    const int32_t total = line.count + 2 * r;  // padded line
    std::fill(buf_.begin(), buf_.begin() + total, uint8_t{0});
    for (int32_t i = 0; i < line.count; ++i) buf_[static_cast<size_t>(i + r)] = data[line.start + i * line.step];
    const auto ext = [grow](uint8_t a, uint8_t b) { return grow ? std::max(a, b) : std::min(a, b); };
    for (int32_t i = 0; i < total; ++i)
      pre_[static_cast<size_t>(i)] = i % w == 0 ? buf_[static_cast<size_t>(i)]
                                                : ext(pre_[static_cast<size_t>(i - 1)], buf_[static_cast<size_t>(i)]);
    for (int32_t i = total - 1; i >= 0; --i)
      suf_[static_cast<size_t>(i)] = (i % w == w - 1 || i == total - 1)
                                         ? buf_[static_cast<size_t>(i)]
                                         : ext(suf_[static_cast<size_t>(i + 1)], buf_[static_cast<size_t>(i)]);
    // The window of output i covers padded samples i .. i + 2r.
    for (int32_t i = 0; i < line.count; ++i)
      data[line.start + i * line.step] = ext(suf_[static_cast<size_t>(i)], pre_[static_cast<size_t>(i + 2 * r)]);
  }

 private:
  std::vector<uint8_t> buf_, pre_, suf_;
};

// One pass of the running extreme along every line of a direction: rows
// (1, 0), columns (0, 1), diagonals (1, 1) or anti-diagonals (1, -1).
bool pass(std::vector<uint8_t>& px, int32_t w, int32_t h, int32_t dx, int32_t dy, int32_t r, bool grow) {
  if (r < 1) return true;
  CLineExtreme line;
  if (!line.prepare(std::max(w, h), r)) return false;
  uint8_t* data = px.data();
  const auto at = [w](int32_t x, int32_t y) { return static_cast<int64_t>(y) * w + x; };
  if (dy == 0) {
    for (int32_t y = 0; y < h; ++y) line.run(data, SLine{at(0, y), 1, w}, r, grow);
  } else if (dx == 0) {
    for (int32_t x = 0; x < w; ++x) line.run(data, SLine{at(x, 0), w, h}, r, grow);
  } else {
    // Each diagonal starts on the top row or on the first (last) column.
    const int64_t step = static_cast<int64_t>(w) * dy + dx;  // dy = 1 always; dx = +-1
    for (int32_t s = 0; s < w + h - 1; ++s) {
      int32_t x0, y0;
      if (s < w) {
        x0 = dx > 0 ? s : w - 1 - s;
        y0 = 0;
      } else {
        x0 = dx > 0 ? 0 : w - 1;
        y0 = s - w + 1;
      }
      const int32_t count = std::min(h - y0, dx > 0 ? w - x0 : x0 + 1);
      line.run(data, SLine{at(x0, y0), step, count}, r, grow);
    }
  }
  return true;
}

// The 3 x 3 cross (the diamond of radius 1), outside 0.
bool crossPass(std::vector<uint8_t>& px, int32_t w, int32_t h, bool grow) {
  std::vector<uint8_t> src;
  try {
    src = px;
  } catch (const std::bad_alloc&) {
    return false;
  }
  const auto get = [&](int32_t x, int32_t y) -> uint8_t {
    return x < 0 || y < 0 || x >= w || y >= h ? 0 : src[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
  };
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t v[5] = {get(x, y), get(x - 1, y), get(x + 1, y), get(x, y - 1), get(x, y + 1)};
      px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          grow ? *std::max_element(v, v + 5) : *std::min_element(v, v + 5);
    }
  return true;
}

}  // namespace

bool morphOctagon(std::vector<uint8_t>& pixels, int32_t w, int32_t h, int32_t n, bool grow) {
  if (n < 1 || w < 1 || h < 1 || pixels.size() != static_cast<size_t>(w) * static_cast<size_t>(h)) return false;
  // Growing passes values on from pass to pass: a margin of n keeps what an
  // early pass spreads beyond the raster for the later ones. Shrinking needs
  // none (beyond the raster everything is 0 after any pass).
  const int32_t m = grow ? n : 0;
  const int64_t ww = int64_t{w} + 2 * m, hh = int64_t{h} + 2 * m;
  if (ww > INT32_MAX || hh > INT32_MAX) return false;
  const int32_t W = static_cast<int32_t>(ww), H = static_cast<int32_t>(hh);
  std::vector<uint8_t> work;
  try {
    work.assign(static_cast<size_t>(ww) * static_cast<size_t>(hh), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y = 0; y < h; ++y)
    std::copy_n(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w), w,
                work.data() + static_cast<size_t>(y + m) * static_cast<size_t>(W) + static_cast<size_t>(m));
  const int32_t c = (n + 1) / 2;
  const int32_t d = n - c;
  // The square of half-side c, then the diamond of radius d: two diagonal
  // segments of half-length k give the diamond's even points of radius 2k,
  // and one or two crosses complete it.
  bool ok = pass(work, W, H, 1, 0, c, grow) && pass(work, W, H, 0, 1, c, grow);
  if (ok && d > 0) {
    const int32_t k = d % 2 == 1 ? d / 2 : d / 2 - 1;
    ok = pass(work, W, H, 1, 1, k, grow) && pass(work, W, H, -1, 1, k, grow) && crossPass(work, W, H, grow);
    if (ok && d % 2 == 0) ok = crossPass(work, W, H, grow);
  }
  if (!ok) return false;
  for (int32_t y = 0; y < h; ++y)
    std::copy_n(work.data() + static_cast<size_t>(y + m) * static_cast<size_t>(W) + static_cast<size_t>(m), w,
                pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w));
  return true;
}

}  // namespace pg
