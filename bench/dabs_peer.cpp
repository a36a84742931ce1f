// The peer of bench_dabs: the same 10,000 round dabs of radius 4, 32 and 128
// at the same opacity over a 4000 x 3000 surface, painted by libmypaint's
// draw_dab on its fixed tiled surface. Built only where libmypaint is
// installed; run it beside bench_dabs to compare dabs per second.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

extern "C" {
#include <libmypaint/mypaint-fixed-tiled-surface.h>
}

namespace {

constexpr int kW = 4000, kH = 3000, kDabs = 10000;

struct SDab {
  float x, y;
};

std::vector<SDab> dabCentres() {
  std::vector<SDab> dabs;
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> px(-50.0f, kW + 50.0f), py(-50.0f, kH + 50.0f);
  for (int i = 0; i < kDabs; ++i) dabs.push_back({px(rng), py(rng)});
  return dabs;
}

void BM_PeerRoundDabs(benchmark::State& state) {
  static const std::vector<SDab> dabs = dabCentres();
  MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kW, kH);
  MyPaintSurface* surface = reinterpret_cast<MyPaintSurface*>(mypaint_fixed_tiled_surface_interface(fixed));
  const float radius = static_cast<float>(state.range(0));
  for (auto _ : state) {
    mypaint_surface_begin_atomic(surface);
    for (const SDab& d : dabs)
      mypaint_surface_draw_dab(surface, d.x, d.y, radius, 0.6f, 0.4f, 0.2f, 0.3f, 0.5f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    MyPaintRectangle roi;
    mypaint_surface_end_atomic(surface, &roi);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kDabs);
  mypaint_surface_unref(surface);
}
BENCHMARK(BM_PeerRoundDabs)->Name("PeerRoundDabs")->Arg(4)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

}  // namespace
