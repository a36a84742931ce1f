// Compositing one 4096 x 4096 layer onto another, per blend mode, in
// megapixels per second (items per second).
//   Display: the mode's source-alpha operator onto an opaque plane (what the
//            view composition does for every visible layer).
//   Merge:   the mode's alpha-over operator onto a plane with its own alpha
//            (merging a layer down): random alphas below (the worst case, every
//            pixel on the exact per-pixel path), or an opaque layer below.
//   MergeLayers: Normal, one painted layer onto another (painted_layer.h).
// The source has a random colour and a random alpha at every pixel, so no
// shortcut for transparent or opaque runs applies; the Opaque variants use a
// fully opaque source.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "core/blend_modes.h"
#include "core/composite_core.h"
#include "painted_layer.h"

namespace pg {
namespace {

constexpr int kSize = 4096;

struct Planes {
  TMTC src, dst, dstStart;
  Planes(bool opaqueSource, bool opaqueDest) {
    benchmark::DoNotOptimize(src.Resize(kSize, kSize));
    benchmark::DoNotOptimize(dst.Resize(kSize, kSize));
    benchmark::DoNotOptimize(dstStart.Resize(kSize, kSize));
    std::mt19937 rng(42);
    for (int y = 0; y < kSize; ++y) {
      uint32_t* s = src.pixelAt(0, y);
      uint32_t* d = dstStart.pixelAt(0, y);
      for (int x = 0; x < kSize; ++x) {
        s[x] = opaqueSource ? (rng() | 0xFF000000u) : rng();
        d[x] = opaqueDest ? (rng() | 0xFF000000u) : rng();
      }
    }
    benchmark::DoNotOptimize(dst.copyPixelsFrom(dstStart));
  }
};

void runDisplay(benchmark::State& state, uint32_t mode, bool opaqueSource) {
  static Planes* planes[2] = {nullptr, nullptr};
  Planes*& p = planes[opaqueSource ? 1 : 0];
  if (p == nullptr) p = new Planes(opaqueSource, true);
  const PixelOp32 op = layerBlendInfo(mode)->SrcAlphaOp;
  for (auto _ : state) {
    benchmark::DoNotOptimize(blendPlaneRectOp(p->src, p->dst, {0, 0}, op, 255, {0, 0, kSize, kSize}));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kSize} * kSize);
}

void runMerge(benchmark::State& state, uint32_t mode, bool opaqueDest) {
  static Planes* planes[2] = {nullptr, nullptr};
  Planes*& p = planes[opaqueDest ? 1 : 0];
  if (p == nullptr) p = new Planes(false, opaqueDest);
  const PixelOp32 op = layerOverOp(mode);
  for (auto _ : state) {
    state.PauseTiming();
    benchmark::DoNotOptimize(p->dst.copyPixelsFrom(p->dstStart));
    state.ResumeTiming();
    benchmark::DoNotOptimize(blendRowsOpAlphaMap(p->src, p->dst, {0, 0}, op, 255, 255, {0, 0, kSize, kSize}));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kSize} * kSize);
}

// A painted layer merged down onto another (the peer's BM_PeerOverLayers
// composites the same two layers).
void BM_MergeLayers_Normal(benchmark::State& state) {
  static TMTC* planes = nullptr;  // source, destination start
  if (planes == nullptr) {
    planes = new TMTC[2];
    for (int k = 0; k < 2; ++k) {
      const std::vector<uint32_t> layer = bench::paintedLayer(kSize, 11 + static_cast<uint32_t>(k));
      benchmark::DoNotOptimize(planes[k].Resize(kSize, kSize));
      for (int y = 0; y < kSize; ++y)
        std::memcpy(planes[k].pixelAt(0, y), layer.data() + static_cast<size_t>(y) * kSize, kSize * 4);
    }
  }
  TMTC dst;
  benchmark::DoNotOptimize(dst.Resize(kSize, kSize));
  const PixelOp32 op = layerOverOp(lbmNormal);
  for (auto _ : state) {
    state.PauseTiming();
    benchmark::DoNotOptimize(dst.copyPixelsFrom(planes[1]));
    state.ResumeTiming();
    benchmark::DoNotOptimize(blendRowsOpAlphaMap(planes[0], dst, {0, 0}, op, 255, 255, {0, 0, kSize, kSize}));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kSize} * kSize);
}
BENCHMARK(BM_MergeLayers_Normal)->Unit(benchmark::kMillisecond)->UseRealTime();

#define PG_MODE_BENCH(Name, Mode)                                                                   \
  void BM_Display_##Name(benchmark::State& s) { runDisplay(s, Mode, false); }                       \
  void BM_DisplayOpaque_##Name(benchmark::State& s) { runDisplay(s, Mode, true); }                  \
  void BM_Merge_##Name(benchmark::State& s) { runMerge(s, Mode, false); }                           \
  void BM_MergeOntoOpaque_##Name(benchmark::State& s) { runMerge(s, Mode, true); }                  \
  BENCHMARK(BM_Display_##Name)->Unit(benchmark::kMillisecond)->UseRealTime();                       \
  BENCHMARK(BM_DisplayOpaque_##Name)->Unit(benchmark::kMillisecond)->UseRealTime();                 \
  BENCHMARK(BM_Merge_##Name)->Unit(benchmark::kMillisecond)->UseRealTime();                         \
  BENCHMARK(BM_MergeOntoOpaque_##Name)->Unit(benchmark::kMillisecond)->UseRealTime();

PG_MODE_BENCH(Normal, lbmNormal)
PG_MODE_BENCH(Multiply, lbmMultiply)
PG_MODE_BENCH(Add, lbmAdd)
PG_MODE_BENCH(Screen, lbmScreen)
PG_MODE_BENCH(Overlay, lbmOverlay)
PG_MODE_BENCH(SoftLight, lbmSoftLight)
PG_MODE_BENCH(Burn, lbmBurn)
PG_MODE_BENCH(VividLight, lbmVividLight)
PG_MODE_BENCH(Hue, lbmHue)
PG_MODE_BENCH(Color, lbmColor)
PG_MODE_BENCH(Luminosity, lbmLuminosity)

}  // namespace
}  // namespace pg
