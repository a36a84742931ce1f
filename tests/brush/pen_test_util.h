#pragma once
// Shared pieces of the pen-engine tests: a document fake and a reference dab
// painter built straight from the shape image and the plot slot.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "brush/grade_map.h"
#include "brush/pen_render.h"
#include "brush/pen_shape.h"
#include "brush/plot_state.h"
#include "core/planes.h"

namespace pg::test {

class FakePenDocument : public IPenDocument {
 public:
  int32_t currentLayerIndex() const override { return current; }
  int32_t layerCount() const override { return layers; }
  TPoint layerOffset(int32_t) const override { return offset; }
  const TMTC* layerImage(int32_t) const override { return image; }
  bool isReplaying() const override { return replaying; }
  uint32_t replayVersion() const override { return version; }
  CPenShapeObj* activePenShape() const override { return nib; }

  int32_t current = 0;
  int32_t layers = 1;
  TPoint offset{};
  const TMTC* image = nullptr;
  bool replaying = false;
  uint32_t version = 40;
  CPenShapeObj* nib = nullptr;
};

// One round soft dab of radius `size` at (x, y) of the plane, every pixel of
// its box handed to plotProc32 with coverage (shape value x opacity) >> 32.
inline void referenceDab(const SPlotter& plot, TMTC& plane, TPoint origin, float size, float x, float y, float opacity,
                         uint32_t colour) {
  static CGradeMapObj map(2048);
  static CPenShape shape(&map);
  shape.setUseEdge(true);
  if (!(opacity > 0.0f)) return;
  const float r = std::max(0.1f, size);
  EXPECT_TRUE(shape.prepareSize(static_cast<int32_t>(std::lround(std::max(size, 0.0f) * 65536.0))));
  const int64_t op = std::min<int64_t>(0x10000, std::lround(std::min(opacity, 1.0f) * 65536.0));
  const int64_t cx = std::lround(static_cast<double>(x) * 65536.0), cy = std::lround(static_cast<double>(y) * 65536.0);
  const int32_t x0 = std::max(0, static_cast<int32_t>(std::floor(x - r)));
  const int32_t y0 = std::max(0, static_cast<int32_t>(std::floor(y - r)));
  const int32_t x1 = std::min(plane.Width, static_cast<int32_t>(std::ceil(x + r)));
  const int32_t y1 = std::min(plane.Height, static_cast<int32_t>(std::ceil(y + r)));
  for (int32_t py = y0; py < y1; ++py)
    for (int32_t px = x0; px < x1; ++px) {
      const int32_t v = shape.dabAt(static_cast<int32_t>(int64_t{px} * 65536 + 0x8000 - cx),
                                    static_cast<int32_t>(int64_t{py} * 65536 + 0x8000 - cy));
      const uint32_t c = static_cast<uint32_t>(std::min<int64_t>(255, (int64_t{std::max(v, 0)} * op) >> 32));
      plot.plotProc32(plot, plane.pixelAt(px, py), px + origin.X, py + origin.Y, c, colour);
    }
}

inline int64_t differingPixels(const TMTC& a, const TMTC& b) {
  int64_t n = 0;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x) n += a.getPixel(x, y) != b.getPixel(x, y);
  return n;
}

inline void clearPlane(TMTC& p, uint32_t v) {
  for (int32_t y = 0; y < p.Height; ++y) std::fill_n(p.pixelAt(0, y), p.Width, v);
}

}  // namespace pg::test
