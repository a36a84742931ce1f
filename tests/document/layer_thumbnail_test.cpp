// The layer thumbnail's box average against a plain per-pixel reference, on
// images whose tiles are uniform (alike or not) or painted, with boxes that
// run past the image's edges.
#include "document/layer_thumbnail.h"

#include <gtest/gtest.h>

#include <random>

#include "core/block_image.h"
#include "core/parallel.h"
#include "core/planes.h"

namespace pg {
namespace {

void referenceStretch(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail) {
  const int32_t dw = thumbnail.Width, dh = thumbnail.Height;
  const int64_t rx = (int64_t{src.Width} << 10) / dw, ry = (int64_t{src.Height} << 10) / dh;
  const int32_t bw = src.Width / dw + 1, bh = src.Height / dh + 1;
  const int64_t n = int64_t{bw} * bh;
  for (int32_t y = 0; y < dh; ++y)
    for (int32_t x = 0; x < dw; ++x) {
      const int32_t sx0 = src.X + int32_t((x * rx) >> 10), sy0 = src.Y + int32_t((y * ry) >> 10);
      int64_t sum[4] = {};
      for (int32_t j = 0; j < bh; ++j)
        for (int32_t i = 0; i < bw; ++i) {
          const uint32_t p = image.getPixelClamped(sx0 + i, sy0 + j);
          for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      uint32_t v = 0;
      for (int c = 0; c < 4; ++c) v |= uint32_t(sum[c] / n) << (8 * c);
      *thumbnail.pixelAt(x, y) = v;
    }
}

TEST(LayerThumbnail, BoxAverageMatchesThePlainReference) {
  struct Case {
    const char* what;
    int32_t w, h;
    SRectXYWH src;
    SSize thumb;
    int colours;       // distinct uniform colours drawn from
    int paintedEvery;  // every n-th tile painted (0: none)
  };
  const Case cases[] = {
      {"one uniform colour", 1000, 700, {0, 0, 1000, 700}, {48, 34}, 1, 0},
      {"two uniform colours", 1000, 700, {0, 0, 1000, 700}, {48, 34}, 2, 0},
      {"uniform with painted tiles", 640, 640, {0, 0, 640, 640}, {48, 48}, 1, 7},
      {"rectangle past the image", 500, 300, {-40, 25, 600, 320}, {40, 21}, 3, 11},
      {"small image in a far larger rectangle", 100, 80, {-600, -500, 1500, 1200}, {48, 36}, 2, 3},
      {"thumbnail larger than the image", 50, 40, {0, 0, 50, 40}, {64, 51}, 2, 3},
      {"large enough for rows on every core", 2048, 1400, {0, 0, 2048, 1400}, {48, 33}, 2, 5},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CBlockVMTC image(c.w, c.h);
    ASSERT_TRUE(image.isValid());
    uint32_t palette[3];
    for (uint32_t& p : palette) p = rng();
    for (int32_t i = 0; i < image.tileCount(); ++i) {
      STileRec& t = image.tileRef(i);
      t.uniform = palette[(i / 5) % c.colours];
      if (c.paintedEvery && i % c.paintedEvery == 0) {
        ASSERT_TRUE(image.commitTile(t));
        uint32_t* p = image.tilePixels(t);
        for (int32_t k = 0; k < 1024; ++k) p[k] = rng();
      }
    }
    TMTC plain(c.thumb.W, c.thumb.H);
    referenceStretch(image, c.src, plain);
    // The rows are made on every core: the same pixels at any thread count.
    for (const int workers : {1, 3}) {
      const int old = setParallelWorkers(workers);
      TMTC fast(c.thumb.W, c.thumb.H);
      const bool made = stretchImageToThumbnail(image, c.src, fast);
      setParallelWorkers(old);
      ASSERT_TRUE(made);
      for (int32_t y = 0; y < c.thumb.H; ++y)
        for (int32_t x = 0; x < c.thumb.W; ++x)
          ASSERT_EQ(*fast.pixelAt(x, y), *plain.pixelAt(x, y)) << x << "," << y << " on " << workers;
    }
  }
}

TEST(LayerThumbnail, UpdatingAChangedRectangleMatchesAWholeUpdate) {
  struct Case {
    const char* what;
    SRectXYWH src;
    SRectXYWH changed;
  };
  const Case cases[] = {
      {"a dab in the middle", {0, 0, 900, 600}, {400, 250, 30, 20}},
      {"a stroke along the top edge", {0, 0, 900, 600}, {0, 0, 900, 5}},
      {"one pixel in the corner", {0, 0, 900, 600}, {899, 599, 1, 1}},
      {"with a layer offset", {30, -20, 900, 600}, {500, 100, 60, 60}},
  };
  std::mt19937 rng(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CBlockVMTC image(960, 640);
    ASSERT_TRUE(image.isValid());
    TMTC whole(48, 32), part(48, 32);
    ASSERT_TRUE(stretchImageToThumbnail(image, c.src, whole));
    ASSERT_TRUE(stretchImageToThumbnail(image, c.src, part));
    // Paint the changed rectangle, then bring the thumbnails up to date.
    for (int32_t y = c.changed.Y; y < c.changed.Y + c.changed.Height; ++y)
      for (int32_t x = c.changed.X; x < c.changed.X + c.changed.Width; ++x) {
        uint32_t* p = image.pixelPtr(x, y);
        ASSERT_NE(p, nullptr);
        *p = rng();
      }
    ASSERT_TRUE(stretchImageToThumbnail(image, c.src, whole));
    ASSERT_TRUE(stretchImageToThumbnailRect(image, c.src, part, c.changed));
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 48; ++x) ASSERT_EQ(*part.pixelAt(x, y), *whole.pixelAt(x, y)) << x << "," << y;
  }
}

}  // namespace
}  // namespace pg
