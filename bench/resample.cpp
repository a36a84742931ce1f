// View scaling and thumbnail workloads: the stretched view at zoom 3/1 and
// 1/3, the rotated view, the 4 x 4 supersampled reduction and an
// area-averaged thumbnail.
#include <benchmark/benchmark.h>

#include <random>

#include "core/area_scale.h"
#include "core/resample.h"
#include "test_support/literal_scale.h"
#include "test_support/plane_pixels.h"

namespace {

using pg::TMTC;

const TMTC& document() {
  static TMTC* doc = [] {
    auto* p = new TMTC(4000, 3000);
    pg::testing::fillRandom(*p, 7);
    return p;
  }();
  return *doc;
}

// zoom = num / den: the view shows a (1920 / zoom) x (1080 / zoom) part of the document.
void stretchView(benchmark::State& state, int num, int den) {
  const TMTC& doc = document();
  TMTC view(1920, 1080);
  const pg::SRectXYWH srcRect{100, 100, 1920 * den / num, 1080 * den / num};
  for (auto _ : state) {
    benchmark::DoNotOptimize(pg::stretchCopyRect(view, doc, {0, 0, 1920, 1080}, srcRect));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK_CAPTURE(stretchView, zoom_3_1, 3, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stretchView, zoom_1_3, 1, 3)->Unit(benchmark::kMillisecond);

void stretchViewReference(benchmark::State& state) {
  const TMTC& doc = document();
  TMTC view(1920, 1080);
  for (auto _ : state) {
    benchmark::DoNotOptimize(pg::reference::stretchCopyRect(view, doc, {0, 0, 1920, 1080}, {100, 100, 640, 360}));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(stretchViewReference)->Unit(benchmark::kMillisecond);

template <bool Reference>
void rotateView(benchmark::State& state) {
  const TMTC& doc = document();
  TMTC view(1920, 1080);
  const float angle = 30.0f * 3.14159265f / 180.0f;
  for (auto _ : state) {
    if (Reference)
      benchmark::DoNotOptimize(pg::reference::rotateScaleInto(doc, view, {2000, 1500}, 1.0f, angle, {0, 0, 1920, 1080}));
    else
      benchmark::DoNotOptimize(pg::rotateScaleAll(doc, view, {2000, 1500}, 1.0f, angle));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(rotateView<false>)->Name("rotateScaleInto_30deg")->Unit(benchmark::kMillisecond);
BENCHMARK(rotateView<true>)->Name("rotateScaleInto_30deg_reference")->Unit(benchmark::kMillisecond);

template <bool Reference>
void downsample(benchmark::State& state) {
  const TMTC& doc = document();
  TMTC out(1000, 750);
  for (auto _ : state) {
    if (Reference)
      pg::reference::downsample4x4(doc, out);
    else
      pg::downsample4x4(doc, out);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 750);
}
BENCHMARK(downsample<false>)->Name("downsample4x4_4000x3000")->Unit(benchmark::kMillisecond);
BENCHMARK(downsample<true>)->Name("downsample4x4_4000x3000_reference")->Unit(benchmark::kMillisecond);

// A 4000 x 3000 document to a 256 x 192 thumbnail (and the 48 x 48 layer
// thumbnail), through the inlined loop.
void thumbnail(benchmark::State& state) {
  const TMTC& doc = document();
  const pg::SSize box{int32_t(state.range(0)), int32_t(state.range(1))};
  for (auto _ : state) {
    auto t = pg::makeScaledCopy(box, doc, true, 0, false);
    benchmark::DoNotOptimize(t.get());
  }
}
BENCHMARK(thumbnail)->Args({256, 192})->Args({48, 48})->Unit(benchmark::kMillisecond);

// The same through the literal loop (one virtual call per sample), as the
// tiled layer and mask scalers run it.
void thumbnailLiteral(benchmark::State& state) {
  const TMTC& doc = document();
  TMTC out(256, 192);
  for (auto _ : state) {
    pg::testing::CLiteralScaleTMTC s(doc, out);
    benchmark::DoNotOptimize(s.execute({0, 0, 4000, 3000}, {0, 0, 256, 192}));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(thumbnailLiteral)->Unit(benchmark::kMillisecond);

// Enlarging twice: many destination pixels with one or two samples each.
void enlargeTwice(benchmark::State& state) {
  const TMTC& doc = document();
  TMTC out(2000, 2000);
  for (auto _ : state) {
    pg::CScaleImageTMTC s(doc, &out);
    benchmark::DoNotOptimize(s.execute({0, 0, 1000, 1000}, {0, 0, 2000, 2000}));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 2000 * 2000);
}
BENCHMARK(enlargeTwice)->Unit(benchmark::kMillisecond);

}  // namespace
