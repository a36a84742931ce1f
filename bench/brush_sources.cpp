// Colour sources of the brush engine over a 1920 x 1080 plane: gradient
// fills (the row filler, and per-pixel evaluation as the plot call-backs do
// it) and screen tones (tile build, plane fill, per-pixel pattern lookups).
#include <benchmark/benchmark.h>

#include "brush/gradient.h"
#include "brush/screen_tone.h"
#include "brush/tone_list.h"
#include "core/planes.h"

namespace pg {
namespace {

constexpr int32_t kW = 1920;
constexpr int32_t kH = 1080;

CColorSlotGroup fiveStops() {
  CColorSlotGroup g;
  const uint32_t colours[] = {0xFF0000FFu, 0xFF00FFFFu, 0xFF00FF00u, 0x80FF0000u, 0xFFFFFFFFu};
  for (int32_t i = 0; i < 5; ++i) benchmark::DoNotOptimize(g.putColor(i, colours[i], static_cast<uint8_t>(255 - 20 * i), 0x4000));
  g.normalize();
  return g;
}

SFixPoint px(int32_t x, int32_t y) { return {x << 16, y << 16}; }

void gradientFill(benchmark::State& state, int32_t shape, int32_t mirror) {
  const CColorSlotGroup stops = fiveStops();
  CGradation g(&stops);
  benchmark::DoNotOptimize(g.setRepeat(shape, mirror, 3, 0));
  if (shape == 0)
    g.setPoints(px(100, 200), px(1500, 900));
  else
    g.setPoints(px(kW / 2, kH / 2), px(kW / 2 + 400, kH / 2 + 150));
  TMTC image(kW, kH);
  for (auto _ : state) {
    g.fillRect(image, {0, 0, kW, kH});
    benchmark::DoNotOptimize(image.Bits);
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_GradientLinear(benchmark::State& s) { gradientFill(s, 0, 0); }
void BM_GradientRadial(benchmark::State& s) { gradientFill(s, 2, 0); }
void BM_GradientRadialMirror(benchmark::State& s) { gradientFill(s, 2, 1); }
void BM_GradientAngular(benchmark::State& s) { gradientFill(s, 1, 0); }
BENCHMARK(BM_GradientLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradientRadial)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradientRadialMirror)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradientAngular)->Unit(benchmark::kMillisecond);

// The per-pixel path of gradation strokes: evaluate for every pixel.
void BM_GradientEvaluatePerPixel(benchmark::State& state) {
  const CColorSlotGroup stops = fiveStops();
  CGradation g(&stops);
  benchmark::DoNotOptimize(g.setRepeat(static_cast<int32_t>(state.range(0)), 0, 3, 0));
  g.setPoints(px(kW / 2, kH / 2), px(kW / 2 + 400, kH / 2 + 150));
  TMTC image(kW, kH);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y) {
      uint32_t* row = image.pixelAt(0, y);
      for (int32_t x = 0; x < kW; ++x) row[x] = colorToPixel(g.evaluate(x, y));
    }
    benchmark::DoNotOptimize(image.Bits);
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_GradientEvaluatePerPixel)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

SToneAttr screen(int32_t angle) {
  SToneAttr a;
  a.Shape = 0;
  a.Resolution = 600.0f;
  a.Ruling = 60.0f;
  a.Density = 40;
  a.Angle = angle;
  a.Smoothing = 3;
  return a;
}

// Building the tile: angle 15, 60 lines at 600 pixels per unit.
void BM_ToneSetup(benchmark::State& state) {
  const SToneAttr a = screen(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    CToneMaker m;
    benchmark::DoNotOptimize(m.setupFor(a));
  }
}
BENCHMARK(BM_ToneSetup)->Arg(0)->Arg(15)->Arg(45)->Unit(benchmark::kMillisecond);

void BM_ToneFillPlane(benchmark::State& state) {
  CToneMaker m;
  benchmark::DoNotOptimize(m.setupFor(screen(static_cast<int32_t>(state.range(0)))));
  TChannel plane(kW, kH);
  for (auto _ : state) {
    m.fillPlane(plane, 0, 0);
    benchmark::DoNotOptimize(plane.Bits);
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_ToneFillPlane)->Arg(0)->Arg(15)->Unit(benchmark::kMillisecond);

// The per-pixel path of tone strokes: patternAt for every pixel.
void BM_TonePatternAtPerPixel(benchmark::State& state) {
  CToneMngr m;
  benchmark::DoNotOptimize(m.addToneFromImage(screen(15), nullptr, 100, false, 0, 0));
  m.setCurrentIndex(0);
  TChannel plane(kW, kH);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y) {
      uint8_t* row = plane.pixelAt(0, y);
      for (int32_t x = 0; x < kW; ++x) row[x] = static_cast<uint8_t>(m.patternAt(x, y, 200));
    }
    benchmark::DoNotOptimize(plane.Bits);
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_TonePatternAtPerPixel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
