// Document operations on a 4000 x 3000 picture: seed fill and magic wand,
// selection expand and contract against the plain form, layer rotate, image
// scale.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/seed_fill.h"
#include "document/selection_morph.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000;
constexpr int32_t kH = 3000;

// A maze: walls every 8 pixels with gaps, one large winding region.
void maze(TMTC& img) {
  fill(img, 0xFFFFFFFF);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const bool wall = (y % 8 == 0 && (x / 8 + y / 8) % 5 != 0) || (x % 8 == 0 && (x / 8 * 3 + y / 8) % 7 == 0);
      if (wall) *img.pixelAt(x, y) = 0xFF000000;
    }
}

void BM_SeedFillMaze(benchmark::State& state) {
  TMTC img(kW, kH);
  maze(img);
  TChannel out(kW, kH);
  for (auto _ : state) {
    fill(out, 0);
    CSeedFillTC f(1 << 20, img, out, TRect{0, 0, kW, kH});
    benchmark::DoNotOptimize(f.fill({1, 1}, 10));
  }
  state.counters["Mpx/s"] = benchmark::Counter(double(kW) * kH * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SeedFillMaze)->Unit(benchmark::kMillisecond);

void BM_MagicWandTiled(benchmark::State& state) {
  TMTC img(kW, kH);
  maze(img);
  CBlockVMTC tiles(kW, kH);
  benchmark::DoNotOptimize(tiles.copyFromPlane(img, 0, 0, 255));
  TChannel out(kW, kH);
  for (auto _ : state) {
    fill(out, 0);
    CSeedFillWithAlpha f(1 << 20, tiles, out, TRect{0, 0, kW, kH});
    benchmark::DoNotOptimize(f.fill({1, 1}, 800));
  }
  state.counters["Mpx/s"] = benchmark::Counter(double(kW) * kH * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MagicWandTiled)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> blobs() {
  std::vector<uint8_t> px(size_t(kW) * kH, 0);
  for (int32_t y = 500; y < 2500; ++y)
    for (int32_t x = 800; x < 3200; ++x)
      if (((x / 100) + (y / 100)) % 2 == 0) px[size_t(y) * kW + x] = 255;
  return px;
}

void BM_SelectExpand(benchmark::State& state) {
  const std::vector<uint8_t> src = blobs();
  for (auto _ : state) {
    std::vector<uint8_t> px = src;
    benchmark::DoNotOptimize(morphOctagon(px, kW, kH, int32_t(state.range(0)), true));
  }
}
BENCHMARK(BM_SelectExpand)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_SelectContract(benchmark::State& state) {
  const std::vector<uint8_t> src = blobs();
  for (auto _ : state) {
    std::vector<uint8_t> px = src;
    benchmark::DoNotOptimize(morphOctagon(px, kW, kH, int32_t(state.range(0)), false));
  }
}
BENCHMARK(BM_SelectContract)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// The plain form of the same shape, for comparison (small radii only).
void BM_SelectExpandPlain(benchmark::State& state) {
  const std::vector<uint8_t> src = blobs();
  const int32_t n = int32_t(state.range(0));
  const std::vector<int32_t> t = octagonHalfExtents(n);
  std::vector<uint8_t> out(src.size());
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        uint8_t best = 0;
        for (int32_t dx = -n; dx <= n && best < 255; ++dx)
          for (int32_t dy = -t[size_t(dx + n)]; dy <= t[size_t(dx + n)]; ++dy) {
            const int32_t sx = x + dx, sy = y + dy;
            if (sx >= 0 && sy >= 0 && sx < kW && sy < kH) best = std::max(best, src[size_t(sy) * kW + sx]);
          }
        out[size_t(y) * kW + x] = best;
      }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_SelectExpandPlain)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ImageStretch(benchmark::State& state) {
  CBlockVMTC src(kW, kH);
  TMTC img(kW, kH);
  maze(img);
  benchmark::DoNotOptimize(src.copyFromPlane(img, 0, 0, 255));
  for (auto _ : state) {
    CBlockVMTC dst(kW * 3 / 4, kH * 3 / 4);
    benchmark::DoNotOptimize(dst.stretchFrom(src));
  }
}
BENCHMARK(BM_ImageStretch)->Unit(benchmark::kMillisecond);

// A document of one 4000 x 3000 layer holding the maze, without undo.
struct MazeDocument {
  MazeDocument() : doc(nullptr), flow(&doc) {
    doc.setSizeValue(kW, kH);
    doc.layers()->setDocumentSize(kW, kH);
    doc.masks()->setDocumentSize(kW, kH);
    const int32_t at = doc.insertLayer(0, kW, kH, true, 255, 3);
    TMTC img(kW, kH);
    maze(img);
    benchmark::DoNotOptimize(doc.getLayer(at)->image->copyFromPlane(img, 0, 0, 255));
    doc.layers()->setCurrent(at);
    doc.setFlowImage(&flow);
  }
  TPaper doc;
  TFlowImage flow;
};

void BM_LayerRotate(benchmark::State& state) {
  MazeDocument m;
  for (auto _ : state) benchmark::DoNotOptimize(m.doc.rotateLayer(m.flow, 0, false, 30.0f));
}
BENCHMARK(BM_LayerRotate)->Unit(benchmark::kMillisecond);

// Down to three quarters and back, by the stretch (1) or the area average (2).
void BM_ImageScale(benchmark::State& state) {
  MazeDocument m;
  const int32_t method = int32_t(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(m.doc.scaleImage(m.flow, kW * 3 / 4, kH * 3 / 4, method, false));
    benchmark::DoNotOptimize(m.doc.scaleImage(m.flow, kW, kH, method, false));
  }
  state.counters["scales/s"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ImageScale)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
