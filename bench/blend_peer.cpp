// The peer of bench_blend_modes' BM_Merge_Normal: pixman's premultiplied OVER
// of one 4096 x 4096 plane onto another, both with a random alpha at every
// pixel (so no opaque or transparent shortcut applies), in megapixels per
// second; and of BM_MergeLayers_Normal, the same two painted layers. Built
// only where pixman is installed; run it beside bench_blend_modes
// --benchmark_filter=Merge.*Normal to compare.
#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "painted_layer.h"

namespace {

constexpr int kSize = 4096;

uint32_t premultiplied(uint32_t v) {
  const uint32_t a = v >> 24;
  uint32_t c = a << 24;
  for (int i = 0; i < 3; ++i) c |= (((v >> (8 * i)) & 0xFFu) * a / 255) << (8 * i);
  return c;
}

// A premultiplied plane with a random colour and alpha at every pixel.
std::vector<uint32_t> randomPlane(uint32_t seed) {
  std::vector<uint32_t> p(size_t{kSize} * kSize);
  std::mt19937 rng(seed);
  for (uint32_t& v : p) v = premultiplied(rng());
  return p;
}

std::vector<uint32_t> paintedPlane(uint32_t seed) {
  std::vector<uint32_t> p = pg::bench::paintedLayer(kSize, seed);
  for (uint32_t& v : p) v = premultiplied(v);
  return p;
}

void runOver(benchmark::State& state, std::vector<uint32_t>& src, const std::vector<uint32_t>& dstStart) {
  std::vector<uint32_t> dst = dstStart;
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSize, kSize, src.data(), kSize * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSize, kSize, dst.data(), kSize * 4);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(dst.data(), dstStart.data(), dst.size() * 4);
    state.ResumeTiming();
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kSize, kSize);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * int64_t{kSize} * kSize);
}

void BM_PeerOverNonOpaque(benchmark::State& state) {
  static std::vector<uint32_t> src = randomPlane(42), dstStart = randomPlane(7);
  runOver(state, src, dstStart);
}
BENCHMARK(BM_PeerOverNonOpaque)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PeerOverLayers(benchmark::State& state) {
  static std::vector<uint32_t> src = paintedPlane(11), dstStart = paintedPlane(12);
  runOver(state, src, dstStart);
}
BENCHMARK(BM_PeerOverLayers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
