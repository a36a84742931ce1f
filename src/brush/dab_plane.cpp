#include "brush/dab_plane.h"

#include <algorithm>

#include "brush/gradient.h"
#include "brush/plot_rows.h"
#include "brush/plot_callbacks.h"
#include "core/colour.h"

namespace pg {

namespace reference {

void plotMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, TPoint point, uint32_t opacity,
              uint32_t colour, SRectXYWH rect) {
  if (!target.IsAllocated() || !coverage.IsAllocated()) return;
  if (!clipCopyRect(target.size(), coverage.size(), point, rect)) return;
  const uint32_t o = std::min<uint32_t>(opacity, 255);
  for (int32_t j = 0; j < rect.Height; ++j)
    for (int32_t i = 0; i < rect.Width; ++i) {
      const int32_t x = rect.X + i, y = rect.Y + j;
      plot.plotProc32(plot, target.pixelAt(point.X + i, point.Y + j), x, y, mulDiv255(coverage.getPixel(x, y), o),
                      colour);
    }
}

}  // namespace reference

void plotMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, TPoint point, uint32_t opacity,
              uint32_t colour, SRectXYWH rect) {
  const RowPlot32 plotRow = rowPlotter32(plot);
  if (plotRow == &reference::plotRow32)
    return reference::plotMask(plot, target, coverage, point, opacity, colour, rect);
  if (!target.IsAllocated() || !coverage.IsAllocated()) return;
  if (!clipCopyRect(target.size(), coverage.size(), point, rect)) return;
  const uint32_t o = std::min<uint32_t>(opacity, 255);
  uint8_t cov[256];
  for (int32_t j = 0; j < rect.Height; ++j) {
    const int32_t y = rect.Y + j;
    const uint8_t* src = coverage.pixelAt(rect.X, y);
    for (int32_t base = 0; base < rect.Width; base += 256) {
      const int32_t n = std::min(256, rect.Width - base);
      for (int32_t i = 0; i < n; ++i) cov[i] = static_cast<uint8_t>(mulDiv255(src[base + i], o));
      plotRow(plot, target.pixelAt(point.X + base, point.Y + j), rect.X + base, y, cov, n, colour);
    }
  }
}

void plotGradientMask(const SPlotter& plot, TMTC& target, const TChannel& coverage, const CGradation& gradient,
                      uint32_t opacity, SRectXYWH rect, TPoint point) {
  if (!target.IsAllocated() || !coverage.IsAllocated()) return;
  if (!clipCopyRect(target.size(), coverage.size(), point, rect)) return;
  const uint32_t o = std::min<uint32_t>(opacity, 255);
  for (int32_t j = 0; j < rect.Height; ++j)
    for (int32_t i = 0; i < rect.Width; ++i) {
      const uint32_t c = coverage.getPixel(rect.X + i, rect.Y + j);
      if (c == 0) continue;
      const int32_t x = point.X + i, y = point.Y + j;
      const uint32_t g = colorToPixel(gradient.evaluate(x, y));
      mergePixel(plot, target.pixelAt(x, y), g, mulDiv255(mulDiv255(c, o), pixelAlpha(g)));
    }
}

}  // namespace pg
