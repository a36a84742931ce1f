// Pen-method dab images: the rebuilds of a pressure stroke (aspect 40 %,
// angle 30 degrees, radius swept from 1 to 200 pixels and back), single
// rebuilds of round and elliptical dabs by radius (fast fill against the
// cell-by-cell reference), the direct-path disc, and the grade table build.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "brush/grade_map.h"
#include "brush/pen_shape.h"
#include "brush/pen_shape_grid.h"

namespace {

// A pressure stroke of 2,000 dabs whose radius follows the pressure.
void PressureStroke(benchmark::State& state) {
  pg::CGradeMapObj map(2048);
  pg::CPenShape shape(&map);
  shape.setUseEdge(true);
  uint32_t builds = 0;
  for (auto _ : state) {
    const uint32_t before = shape.buildCount();
    for (int i = 0; i < 2000; ++i) {
      const double p = 0.5 - 0.5 * std::cos(i * 2.0 * 3.14159265358979 / 2000.0);
      const int32_t radius = static_cast<int32_t>((1.0 + 199.0 * p) * 65536.0);
      benchmark::DoNotOptimize(shape.prepareShape(radius, 40, -30));
    }
    builds = shape.buildCount() - before;
    // The next iteration starts from the same shape.
    benchmark::DoNotOptimize(shape.prepareSize(0x10000));
  }
  state.counters["rebuilds"] = builds;
}
BENCHMARK(PressureStroke)->Unit(benchmark::kMillisecond);

void RoundDab(benchmark::State& state) {
  pg::CGradeMapObj map(2048);
  pg::CPenShape shape(&map);
  shape.setUseEdge(true);
  const int32_t r = static_cast<int32_t>(state.range(0)) << 16;
  for (auto _ : state) {
    benchmark::DoNotOptimize(shape.prepareSize(0x10000));
    benchmark::DoNotOptimize(shape.prepareSize(r));
  }
}
BENCHMARK(RoundDab)->Arg(2)->Arg(15)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

void EllipseDab(benchmark::State& state) {
  pg::CGradeMapObj map(2048);
  pg::CPenShape shape(&map);
  shape.setUseEdge(true);
  const int32_t r = static_cast<int32_t>(state.range(0)) << 16;
  for (auto _ : state) {
    benchmark::DoNotOptimize(shape.prepareSize(0x10000));
    benchmark::DoNotOptimize(shape.prepareShape(r, 40, 30));
  }
}
BENCHMARK(EllipseDab)->Arg(2)->Arg(15)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The grid fill alone, fast against the reference, for a round dab of radius 100.
void FillGrids(benchmark::State& state, bool fast) {
  pg::SShapeGridSpec s;
  s.gridW = s.gridH = s.centre2X = s.centre2Y = 201;
  s.radius = 100.0;
  std::vector<int32_t> d(201 * 201), e(201 * 201);
  for (auto _ : state) {
    if (fast) pg::fillShapeGrids(s, d.data(), e.data());
    else pg::fillShapeGridsRef(s, d.data(), e.data());
    benchmark::DoNotOptimize(e.data());
  }
}
BENCHMARK_CAPTURE(FillGrids, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FillGrids, reference, false)->Unit(benchmark::kMicrosecond);

// The direct path rebuilds on every dab: a disc at a moving sub-pixel centre.
void DirectDisc(benchmark::State& state) {
  pg::CGradeMapObj map(2048);
  pg::CPenShape shape(&map);
  const int32_t r = static_cast<int32_t>(state.range(0)) << 16;
  int32_t x = 0;
  for (auto _ : state) {
    x += 0x3333;
    benchmark::DoNotOptimize(shape.prepareDisc(x, 0x18000, r, false));
  }
}
BENCHMARK(DirectDisc)->Arg(3)->Arg(30)->Unit(benchmark::kMicrosecond);

void GradeTables(benchmark::State& state) {
  pg::CGradeMapObj map(2048);
  int32_t v = 0;
  for (auto _ : state) {
    v = (v + 1) % 1000;
    benchmark::DoNotOptimize(map.setParam(pg::SGradeMapParam{4, v, 100}));
  }
}
BENCHMARK(GradeTables)->Unit(benchmark::kMicrosecond);

}  // namespace
