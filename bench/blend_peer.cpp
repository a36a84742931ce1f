// The peer of bench_blend_modes' BM_Merge_Normal: pixman's premultiplied OVER
// of one 4096 x 4096 plane onto another, both with a random alpha at every
// pixel (so no opaque or transparent shortcut applies), in megapixels per
// second. Built only where pixman is installed; run it beside
// bench_blend_modes --benchmark_filter=Merge_Normal to compare.
#include <benchmark/benchmark.h>

#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kSize = 4096;

// A premultiplied plane: every channel at most its alpha.
std::vector<uint32_t> premultipliedPlane(uint32_t seed) {
  std::vector<uint32_t> p(size_t{kSize} * kSize);
  std::mt19937 rng(seed);
  for (uint32_t& v : p) {
    const uint32_t r = rng(), a = r >> 24;
    uint32_t c = a << 24;
    for (int i = 0; i < 3; ++i) c |= (((r >> (8 * i)) & 0xFFu) * a / 255) << (8 * i);
    v = c;
  }
  return p;
}

void BM_PeerOverNonOpaque(benchmark::State& state) {
  static std::vector<uint32_t> src = premultipliedPlane(42), dstStart = premultipliedPlane(7);
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
BENCHMARK(BM_PeerOverNonOpaque)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
