// The hot convolution kernels of the filters on a 4000 x 3000 opaque layer
// with random pixels and no selection image: Gaussian blur of radius 10,
// median of radius 3, motion blur of 30 pixels, and the grid loops.
#include <benchmark/benchmark.h>

#include <immintrin.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/block_image.h"
#include "core/parallel.h"
#include "core/planes.h"
#include "document/mask_data.h"
#include "filters/blur_filters.h"
#include "filters/conv_rows.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"
#include "filters/median_filter.h"
#include "filters/motion_blur_filters.h"
#include "test_support/plane_pixels.h"

namespace pg {
namespace {

// A layer, its unfiltered copy and the view's work plane, all holding the
// same random opaque pixels.
struct SLayerRun {
  std::unique_ptr<CBlockVMTC> layer, source;
  TMTC work;
  TChannel channel;
  CMaskData selection;
  SFlt4Context ctx;

  SLayerRun(int32_t w, int32_t h) : layer(std::make_unique<CBlockVMTC>(w, h)), source(std::make_unique<CBlockVMTC>(w, h)), work(w, h), channel(w, h) {
    testing::fillRandom(work, 7u);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *work.pixelAt(x, y) |= 0xFF000000u;
    benchmark::DoNotOptimize(layer->copyFromPlane(work, 0, 0, 255));
    benchmark::DoNotOptimize(source->copyFromPlane(work, 0, 0, 255));
    ctx.image = layer.get();
    ctx.selection = &selection;
    ctx.bounds = ctx.region = TRect{0, 0, w, h};
    ctx.source = source.get();
    ctx.workImage = &work;
    ctx.workChannel = &channel;
    ctx.maskValue = maskValueFor(&selection);
  }
};

SLayerRun& layerRun(int32_t w, int32_t h) {
  static SLayerRun run(w, h);
  return run;
}

void setLabel(benchmark::State& state, int32_t w, int32_t h) {
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
  state.SetItemsProcessed(state.iterations() * int64_t{w} * h);
}

// The second argument is the number of threads (1: the one-core figure; 0:
// as many as the process may use, which the "workers" counter shows: run
// under taskset it follows the CPUs given).
void BM_GaussianBlur(benchmark::State& state) {
  SLayerRun& run = layerRun(4000, 3000);
  const float radius = static_cast<float>(state.range(0));
  const int old = setParallelWorkers(static_cast<int>(state.range(1)));
  state.counters["workers"] = parallelWorkers();
  for (auto _ : state) benchmark::DoNotOptimize(gaussianBlur(run.ctx, radius));
  setParallelWorkers(old);
  setLabel(state, 4000, 3000);
}
BENCHMARK(BM_GaussianBlur)->Args({10, 1})->Args({10, 8})->Args({10, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MedianFilter(benchmark::State& state) {
  SLayerRun& run = layerRun(4000, 3000);
  const SFltMedian rec{static_cast<uint8_t>(state.range(0)), 0};
  for (auto _ : state) benchmark::DoNotOptimize(medianFilter(run.ctx, rec));
  setLabel(state, 4000, 3000);
}
BENCHMARK(BM_MedianFilter)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_MotionBlur(benchmark::State& state) {
  SLayerRun& run = layerRun(4000, 3000);
  const SFltMotionBlur rec{static_cast<uint8_t>(state.range(0)), 2, 30, 0.0f};
  for (auto _ : state) benchmark::DoNotOptimize(motionBlur(run.ctx, rec));
  setLabel(state, 4000, 3000);
}
BENCHMARK(BM_MotionBlur)->Arg(30)->Unit(benchmark::kMillisecond);

// The grid loops: the first argument is the number of threads, the second
// the vector level of the inner runs (0: the per-pixel reference).
template <class Run>
void gridBench(benchmark::State& state, Run&& run) {
  SLayerRun& layer = layerRun(4000, 3000);
  const int oldWorkers = setParallelWorkers(static_cast<int>(state.range(0)));
  const int oldLevel = setConvolutionVectorLevel(static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(run(layer.ctx));
  setConvolutionVectorLevel(oldLevel);
  setParallelWorkers(oldWorkers);
  setLabel(state, 4000, 3000);
}

// The alpha-weighted 3 x 3 loop with negative weights.
void BM_SharpenCustom(benchmark::State& state) {
  gridBench(state, [](const SFlt4Context& ctx) { return sharpenCustom(ctx, 0.5f); });
}
BENCHMARK(BM_SharpenCustom)->ArgsProduct({{1, 8}, {0, 2, 3}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The alpha-weighted 3 x 3 loop of blur.
void BM_Blur3x3(benchmark::State& state) {
  gridBench(state, [](const SFlt4Context& ctx) { return blurKernel(&ctx, nullptr, 0); });
}
BENCHMARK(BM_Blur3x3)->ArgsProduct({{1, 8}, {0, 2, 3}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The fixed-divisor 5 x 5 loop with the dialog's default grid.
void BM_Custom5x5(benchmark::State& state) {
  SCustom5x5Block block;
  block.Weights = {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0};
  block.Divisor = 4;
  gridBench(state, [&block](const SFlt4Context& ctx) { return custom5x5(ctx, block); });
}
BENCHMARK(BM_Custom5x5)->ArgsProduct({{1, 8}, {0, 2, 3}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The 5 x 5 box of blur more through the alpha-weighted loop.
void BM_BlurMore5x5(benchmark::State& state) {
  gridBench(state, [](const SFlt4Context& ctx) { return blurMoreBoxKernel(&ctx, nullptr, 0); });
}
BENCHMARK(BM_BlurMore5x5)->ArgsProduct({{1}, {0, 2, 3}})->Unit(benchmark::kMillisecond)->UseRealTime();

// A plain 8-bit filter of the kind a general image library offers (each of
// the four bytes filtered on its own, no alpha weighting, float scale): the
// yardstick for the grid loops where no such library is installed. Eight
// bytes at a time in 32-bit float lanes, a multiply-add per tap.
struct SYardTap {
  int32_t row, at;  // the tap's row of the window and its byte offset in it
  float w;
};

__attribute__((target("avx2,fma"))) void plainFilterRow(const uint8_t* const* rows, const SYardTap* taps, int32_t n,
                                                          int32_t bytes, uint8_t* out) {
  const __m256 lo = _mm256_setzero_ps(), hi = _mm256_set1_ps(255.0f);
  int32_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    __m256 a0 = _mm256_setzero_ps(), a1 = a0;
    for (int32_t t = 0; t < n; ++t) {
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[taps[t].row] + taps[t].at + i));
      const __m256 w = _mm256_set1_ps(taps[t].w);
      a0 = _mm256_fmadd_ps(_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(b)), w, a0);
      a1 = _mm256_fmadd_ps(_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(b, 8))), w, a1);
    }
    const __m256i q0 = _mm256_cvtps_epi32(_mm256_min_ps(_mm256_max_ps(a0, lo), hi));
    const __m256i q1 = _mm256_cvtps_epi32(_mm256_min_ps(_mm256_max_ps(a1, lo), hi));
    const __m256i w16 = _mm256_permute4x64_epi64(_mm256_packus_epi32(q0, q1), 0xD8);
    const __m128i b8 = _mm_packus_epi16(_mm256_castsi256_si128(w16), _mm256_extracti128_si256(w16, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), b8);
  }
}

void plainFilter(const TMTC& src, TMTC& dst, const int32_t* weights, int32_t kw, int32_t kh, float scale) {
  const int32_t inner = src.Width - kw + 1;
  std::vector<SYardTap> taps;
  for (int32_t j = 0; j < kh; ++j)
    for (int32_t k = 0; k < kw; ++k)
      if (weights[j * kw + k] != 0) taps.push_back({j, 4 * k, float(weights[j * kw + k]) * scale});
  std::vector<const uint8_t*> rows(static_cast<size_t>(kh), nullptr);
  for (int32_t y = 0; y + kh <= src.Height; ++y) {
    for (int32_t j = 0; j < kh; ++j) rows[size_t(j)] = reinterpret_cast<const uint8_t*>(src.pixelAt(0, y + j));
    plainFilterRow(rows.data(), taps.data(), int32_t(taps.size()), inner * 4,
                   reinterpret_cast<uint8_t*>(dst.pixelAt(kw / 2, y + kh / 2)));
  }
}

void BM_PlainFilterYardstick(benchmark::State& state) {
  SLayerRun& run = layerRun(4000, 3000);
  TMTC out(4000, 3000);
  const int32_t k3[9] = {0, -240, 0, -240, 999, -240, 0, -240, 0};
  const int32_t k5[25] = {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0};
  const bool five = state.range(0) == 5;
  for (auto _ : state) {
    if (five)
      plainFilter(run.work, out, k5, 5, 5, 0.25f);
    else
      plainFilter(run.work, out, k3, 3, 3, 1.0f / 39.0f);
    benchmark::DoNotOptimize(out.Bits);
  }
  setLabel(state, 4000, 3000);
}
BENCHMARK(BM_PlainFilterYardstick)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
