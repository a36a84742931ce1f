#pragma once
// A painted layer for the compositing benchmarks: strokes of a round brush
// on a transparent layer, as an illustrator's layer looks. Most pixels are
// transparent or opaque, with soft edges a few pixels wide between them and
// some translucent strokes: the mix the shortcuts of the row kernels meet in
// real documents, where the random planes of the other benchmarks meet none.
// Straight (not premultiplied) BGRA8; the same seed gives the same layer.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace pg::bench {

inline std::vector<uint32_t> paintedLayer(int size, uint32_t seed) {
  std::vector<uint32_t> p(static_cast<size_t>(size) * static_cast<size_t>(size), 0u);
  std::mt19937 rng(seed);
  const int strokes = 60;
  for (int k = 0; k < strokes; ++k) {
    const uint32_t colour = rng() & 0xFFFFFFu;
    const float alpha = rng() % 3 == 0 ? static_cast<float>(96 + rng() % 160) : 255.0f;  // some translucent
    const float radius = static_cast<float>(8 + rng() % 120), edge = static_cast<float>(1 + rng() % 4);
    // A straight stroke: a capsule around the segment from a to b.
    const float ax = static_cast<float>(rng() % static_cast<uint32_t>(size));
    const float ay = static_cast<float>(rng() % static_cast<uint32_t>(size));
    const float angle = static_cast<float>(rng() % 6283) / 1000.0f;
    const float length = static_cast<float>(50 + rng() % 1500);
    const float segX = std::cos(angle) * length, segY = std::sin(angle) * length;
    const float bx = ax + segX, by = ay + segY, reach = radius + edge;
    const int x0 = std::max(0, static_cast<int>(std::min(ax, bx) - reach));
    const int x1 = std::min(size - 1, static_cast<int>(std::max(ax, bx) + reach));
    const int y0 = std::max(0, static_cast<int>(std::min(ay, by) - reach));
    const int y1 = std::min(size - 1, static_cast<int>(std::max(ay, by) + reach));
    for (int py = y0; py <= y1; ++py) {
      for (int px = x0; px <= x1; ++px) {
        const float vx = static_cast<float>(px) - ax, vy = static_cast<float>(py) - ay;
        const float t = std::clamp((vx * segX + vy * segY) / (length * length), 0.0f, 1.0f);
        const float ex = vx - t * segX, ey = vy - t * segY;
        const float cover = std::clamp((radius - std::sqrt(ex * ex + ey * ey)) / edge, 0.0f, 1.0f);
        const uint32_t sa = static_cast<uint32_t>(cover * alpha + 0.5f);
        if (sa == 0) continue;
        uint32_t& d = p[static_cast<size_t>(py) * static_cast<size_t>(size) + static_cast<size_t>(px)];
        const uint32_t da = d >> 24;
        const uint32_t outA = sa + da - da * sa / 255;
        uint32_t out = outA << 24;
        for (int c = 0; c < 3; ++c) {
          const uint32_t s = (colour >> (8 * c)) & 0xFFu, dc = (d >> (8 * c)) & 0xFFu;
          out |= ((s * sa * 255 + dc * da * (255 - sa)) / (255 * outA)) << (8 * c);
        }
        d = out;
      }
    }
  }
  return p;
}

}  // namespace pg::bench
