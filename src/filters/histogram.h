#pragma once
// The histogram of a filter's region, as the levels and threshold dialogs
// show it: red, green, blue and grey bins weighted by selection coverage and
// pixel alpha, their extremes, and the picture of them.
#include <array>
#include <cstdint>

#include "filters/kernel_context.h"

namespace pg {

class TMemoryGraphic;

struct SHistogram {
  enum Channel : uint8_t { kRed = 0, kGreen = 1, kBlue = 2, kGrey = 3 };
  std::array<std::array<float, 256>, 4> bins{};
  float total = 0.0f;
  std::array<float, 4> largest{};
  // Before any data: lowest 0, highest 255, count 0.
  std::array<int32_t, 4> lowest{};
  std::array<int32_t, 4> highest{255, 255, 255, 255};
  std::array<int32_t, 4> count{};

  // Fills the bins from the unfiltered pixels of ctx's bounds (ctx.source),
  // each weighed by its selection coverage times its alpha. Nothing is
  // counted without a source or with empty bounds.
  void compute(const SFlt4Context& ctx);
};

// The picture, 258 x 102: a frame (shadow above and left, highlight below and
// right), white inside, and per channel a column of height up to 100 for each
// bin. Mode 0 draws red, green and blue multiplied over each other, 1 to 3 one
// of them, 4 the grey bins in black.
void drawHistogram(const SHistogram& h, uint8_t mode, uint32_t shadow, uint32_t highlight, TMemoryGraphic& g);

}  // namespace pg
