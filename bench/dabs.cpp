// Round dabs, the airbrush's hot path: 10,000 dabs of radius 4, 32 and 128
// scattered over a 4000 x 3000 flow image, plotted through the plot slots as
// a stroke sets them (blendPixelOpacity), with and without a selection mask
// weighting the coverage; and the same through the reference form, which
// calls the slots once per pixel.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "brush/dab_round.h"
#include "brush/plot_callbacks.h"
#include "brush/plot_state.h"
#include "core/block_image.h"
#include "core/planes.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000, kH = 3000, kDabs = 10000;

struct SDab {
  float x, y;
};

// The flow image and the dab centres, made once.
struct Scene {
  TMTC flow{kW, kH};
  std::unique_ptr<CBlockVCH> mask;
  std::vector<SDab> dabs;
  Scene() {
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) *flow.pixelAt(x, y) = 0x40808080u;
    // A selection: an ellipse-ish blob of partial values in the middle, the
    // rest uniform 0 or 255 tiles, as a real selection mostly is.
    mask = std::make_unique<CBlockVCH>(kW, kH);
    benchmark::DoNotOptimize(mask->fillRect({0, 0, kW / 2, kH}, 255));
    for (int32_t y = kH / 4; y < 3 * kH / 4; ++y)
      for (int32_t x = kW / 4; x < 3 * kW / 4; ++x) benchmark::DoNotOptimize(mask->setPixel(x, y, static_cast<uint8_t>((x ^ y) & 255)));
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> px(-50.0f, kW + 50.0f), py(-50.0f, kH + 50.0f);
    for (int i = 0; i < kDabs; ++i) dabs.push_back({px(rng), py(rng)});
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

template <bool Selection, bool Reference>
void BM_RoundDabs(benchmark::State& state) {
  Scene& s = scene();
  const float radius = static_cast<float>(state.range(0));
  SPlotter plot;
  plot.pixelBlendOp = &blendPixelOpacity;
  plot.plotProc32 = Selection ? &plotColorThroughSelection : &plotColorDirect;
  plot.plotSelectionMask = Selection ? s.mask.get() : nullptr;
  for (auto _ : state) {
    for (const SDab& d : s.dabs) {
      if (Reference)
        reference::paintRoundDab(plot, s.flow, 0x00336699u, 0.3f, radius, d.y, d.x);
      else
        paintRoundDab(plot, s.flow, 0x00336699u, 0.3f, radius, d.y, d.x);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kDabs);
}

BENCHMARK_TEMPLATE(BM_RoundDabs, false, false)->Name("RoundDabs")->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_RoundDabs, true, false)->Name("RoundDabsSelection")->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_RoundDabs, false, true)->Name("RoundDabsReference")->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_RoundDabs, true, true)->Name("RoundDabsReferenceSelection")->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
