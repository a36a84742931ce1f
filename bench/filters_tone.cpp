// Colour and distortion kernels on a 4000 x 3000 layer: levels, hue and
// saturation (both lightness methods) and twirl. The argument is the layer:
// 0 random colours, 1 random colours inside a feathered selection, 2 flat
// areas of a few hundred colours, as an illustration has them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <random>

#include "filters/distort_filters.h"
#include "filters/filter_fixture.h"
#include "filters/levels_filter.h"
#include "filters/tone_filters.h"

namespace {

using pg::testing::FilterFixture;

constexpr int32_t kW = 4000, kH = 3000;

FilterFixture* makeLayer(int kind) {
  auto* f = new FilterFixture(kW, kH);
  if (kind == 2) {
    // Blocks of 40 x 30 pixels, each one of 256 colours.
    std::mt19937 rng(5);
    std::array<uint32_t, 256> colours;
    for (uint32_t& c : colours) c = rng() | 0xFF000000u;
    f->setPixels([&](int32_t x, int32_t y) { return colours[static_cast<size_t>((x / 40 * 7 + y / 30 * 13) & 255)]; });
    return f;
  }
  f->fillRandom(11);
  if (kind == 1)
    f->setSelection([](int32_t x, int32_t y) {
      const double dx = (x - kW / 2) / (kW * 0.4), dy = (y - kH / 2) / (kH * 0.4);
      const double d = dx * dx + dy * dy;
      return static_cast<uint8_t>(std::clamp((1.2 - d) * 1275.0, 0.0, 255.0));
    });
  return f;
}

FilterFixture& layer(int kind) {
  static std::array<FilterFixture*, 3> layers{};
  FilterFixture*& f = layers[static_cast<size_t>(kind)];
  if (f == nullptr) f = makeLayer(kind);
  return *f;
}

template <class Record>
void runKernel(benchmark::State& state, bool (*kernel)(const pg::SFlt4Context*, const void*, int32_t),
               const Record& rec) {
  FilterFixture& f = layer(static_cast<int>(state.range(0)));
  const pg::SFlt4Context ctx = f.context();
  uint8_t bytes[Record::kSize];
  rec.write(bytes);
  for (auto _ : state) {
    if (!kernel(&ctx, bytes, static_cast<int32_t>(Record::kSize))) state.SkipWithError("kernel failed");
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kW} * kH);
}

void levels(benchmark::State& state) {
  pg::SFltLevels rec;
  rec.InLow = {10, 0, 20, 0};
  rec.InHigh = {240, 255, 250, 230};
  rec.Mid = {130, 100, 90, 100};
  runKernel(state, &pg::levels4Kernel, rec);
}
BENCHMARK(levels)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void hueSaturation(benchmark::State& state, uint8_t linear) {
  pg::SFltHueSaturation rec;
  rec.Hue = 30;
  rec.Saturation = 20;
  rec.Lightness = 10;
  rec.Linear = linear;
  runKernel(state, &pg::hueSaturation4Kernel, rec);
}
BENCHMARK_CAPTURE(hueSaturation, curve, uint8_t{0})->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(hueSaturation, linear, uint8_t{1})->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void twirl(benchmark::State& state) {
  pg::SFltTwirl rec;
  rec.Angle = 50;
  runKernel(state, &pg::twirl4Kernel, rec);
}
BENCHMARK(twirl)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
