// Tiled images on the hot paths of view composition and merging: composing
// 20 layers of 4000 x 3000 into a display plane, recomposing a 256 x 256
// dirty rectangle through them, compacting a fully committed layer, and what
// an empty 10,000 x 10,000 image costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/layer_composite.h"
#include "core/plane_ops.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000, kH = 3000, kLayers = 20;

// A layer whose tiles are painted with probability `density` percent (random
// pixels, partly transparent); the other tiles stay uniform and transparent.
std::unique_ptr<CBlockVMTC> makeLayer(std::mt19937& rng, int density) {
  auto img = std::make_unique<CBlockVMTC>(kW, kH);
  for (int32_t i = 0; i < img->tileCount(); ++i) {
    STileRec& t = img->tileRef(i);
    if (static_cast<int>(rng() % 100) >= density) continue;
    benchmark::DoNotOptimize(img->commitTile(t));
    uint32_t* p = img->tilePixels(t);
    const uint32_t base = rng();
    for (int j = 0; j < 1024; ++j) p[j] = (base ^ (rng() & 0x0F0F0F0Fu)) | (j & 1 ? 0xFF000000u : 0u);
  }
  return img;
}

struct Stack {
  std::vector<std::unique_ptr<CBlockVMTC>> layers;
  explicit Stack(int density) {
    std::mt19937 rng(1234 + density);
    for (int i = 0; i < kLayers; ++i) layers.push_back(makeLayer(rng, density));
  }
};

Stack& stack(int density) {
  static Stack full(100), sparse(25);
  return density == 100 ? full : sparse;
}

const uint32_t kMixed[] = {lbmNormal, lbmMultiply, lbmScreen, lbmOverlay, lbmColor, lbmLuminosity};

void compose(benchmark::State& state, bool mixed, SRectXYWH rect) {
  Stack& s = stack(static_cast<int>(state.range(0)));
  TMTC plane(kW, kH);
  fill(plane, 0xFFFFFFFFu);  // touch every page before timing
  for (auto _ : state) {
    fillRect(plane, rect, 0xFFFFFFFFu);
    for (int i = 0; i < kLayers; ++i) {
      SLayerBlendAttr attr;
      attr.blendMode = static_cast<uint8_t>(mixed ? kMixed[i % 6] : lbmNormal);
      attr.opacity = 230;
      benchmark::DoNotOptimize(s.layers[static_cast<size_t>(i)]->blendLayerToPlane(plane, attr, rect, TPoint{rect.X, rect.Y}));
    }
    benchmark::DoNotOptimize(plane.Bits);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{rect.Width} * rect.Height * kLayers);
}

// The whole frame in bands of 64 rows, every layer per band: the band of the
// plane stays in the cache while the 20 layers pass over it.
void BM_Compose20LayersNormalBanded(benchmark::State& state) {
  Stack& s = stack(static_cast<int>(state.range(0)));
  TMTC plane(kW, kH);
  fill(plane, 0xFFFFFFFFu);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; y += 64) {
      const SRectXYWH band{0, y, kW, std::min(64, kH - y)};
      fillRect(plane, band, 0xFFFFFFFFu);
      for (int i = 0; i < kLayers; ++i) {
        SLayerBlendAttr attr;
        attr.blendMode = lbmNormal;
        attr.opacity = 230;
        benchmark::DoNotOptimize(s.layers[static_cast<size_t>(i)]->blendLayerToPlane(plane, attr, band, TPoint{0, y}));
      }
    }
    benchmark::DoNotOptimize(plane.Bits);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH * kLayers);
}
BENCHMARK(BM_Compose20LayersNormalBanded)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_Compose20LayersNormal(benchmark::State& state) { compose(state, false, SRectXYWH{0, 0, kW, kH}); }
void BM_Compose20LayersMixedModes(benchmark::State& state) { compose(state, true, SRectXYWH{0, 0, kW, kH}); }
void BM_Recompose256DirtyRect(benchmark::State& state) { compose(state, false, SRectXYWH{1013, 777, 256, 256}); }
void BM_Recompose256DirtyRectMixed(benchmark::State& state) { compose(state, true, SRectXYWH{1013, 777, 256, 256}); }

// Argument: percent of painted tiles per layer.
BENCHMARK(BM_Compose20LayersNormal)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compose20LayersMixedModes)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recompose256DirtyRect)->Arg(25)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Recompose256DirtyRectMixed)->Arg(25)->Arg(100)->Unit(benchmark::kMicrosecond);

// Merging one full layer onto another through a table B operator.
void BM_MergeFullLayerNormalOver(benchmark::State& state) {
  Stack& s = stack(100);
  CBlockVMTC dst(kW, kH);
  for (auto _ : state) {
    state.PauseTiming();
    benchmark::DoNotOptimize(dst.assignTiles(*s.layers[0]));
    state.ResumeTiming();
    benchmark::DoNotOptimize(dst.blendFrom(*s.layers[1], TPoint{0, 0}, layerOverOp(lbmNormal), 255, 255, SRectXYWH{0, 0, kW, kH}));
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH);
}
BENCHMARK(BM_MergeFullLayerNormalOver)->Unit(benchmark::kMillisecond);

// Compaction of a fully committed layer. Argument 1: every tile flat (all are
// compared to the end and freed); 0: every tile mixed (compared up to the
// first difference).
void BM_CompactFullLayer(benchmark::State& state) {
  const bool flat = state.range(0) != 0;
  CBlockVMTC img(kW, kH);
  for (auto _ : state) {
    state.PauseTiming();
    for (int32_t i = 0; i < img.tileCount(); ++i) {
      STileRec& t = img.tileRef(i);
      t.uniform = 0x80102030u;
      benchmark::DoNotOptimize(img.commitTile(t));
      if (!flat) img.tilePixels(t)[1023] = 0xFF000000u;
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(img.compact());
  }
  state.SetItemsProcessed(state.iterations() * img.tileCount());
}
BENCHMARK(BM_CompactFullLayer)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

int64_t residentBytes() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return int64_t{resident} * 4096;
}

// What an untouched 10,000 x 10,000 layer costs: its records only.
void BM_EmptyHugeImage(benchmark::State& state) {
  int64_t grown = 0;
  uint64_t committed = 0;
  for (auto _ : state) {
    const int64_t before = residentBytes();
    CBlockVMTC img(10000, 10000);
    benchmark::DoNotOptimize(img.getPixel(9999, 9999));
    grown = std::max(grown, residentBytes() - before);  // the first pass pays the pages
    committed = img.committedBytes();
  }
  state.counters["resident_growth_bytes"] = static_cast<double>(grown);
  state.counters["committed_bytes"] = static_cast<double>(committed);
}
BENCHMARK(BM_EmptyHugeImage)->Iterations(3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pg
