// One freehand stroke of 10,000 points across a 4000 x 3000 layer with a
// 64-pixel airbrush, painted by the pen-method engine and by the dab-table
// walker with the same brush values, through the stroke session the document
// window uses (undo record and merge included). Run one at a time
// (--benchmark_filter) on a quiet machine: the figures compare the engines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "brush/paint_param.h"
#include "brush/pen_render.h"
#include "brush/stroke_settings.h"
#include "canvas/pen_tools.h"
#include "document/paper.h"
#include "document/paper_stroke_session.h"
#include "stroke_document.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000;
constexpr int32_t kH = 3000;
constexpr int kPoints = 10000;

void strokeBench(benchmark::State& state, uint8_t kind, int32_t level) {
  bench::SStrokeDocument d(kW, kH);
  TPaper& doc = d.doc;
  TFlowImage& flow = d.flow;
  const int32_t at = d.layer;
  TStroke stroke(kStrokeCreatedByTool);
  CPenRender render;
  CPenTools tools(render);
  if (!doc.createPenEngine(stroke, render)) state.SkipWithError("no pen engine");
  TPaintParam brush(kind);
  brush.setSize(32.0f);  // the radius: a 64-pixel dab
  brush.setSpacing(0.1f);
  brush.setOpacity(0.6f);
  tools.applyStrokeParams(brush, stroke, doc.penEngine());
  stroke.color = 0xFF3060C0u;
  stroke.layerIndex = at;
  CStrokeSession session;
  int64_t strokes = 0;
  for (auto _ : state) {
    const float y0 = 1500.0f + static_cast<float>(strokes % 5) * 100.0f;
    (void)session.begin(doc, flow, stroke, false, level, 100.0f, y0, 1.0f);  // the workload only
    for (int i = 1; i < kPoints; ++i) {
      const float x = 100.0f + static_cast<float>(i) * 0.38f;
      const float y = y0 + 1000.0f * std::sin(static_cast<float>(i) * 0.002f);
      (void)session.point(doc, flow, stroke, false, false, x, y, 1.0f);  // the workload only
    }
    SRectXYWH r{};
    (void)session.end(doc, flow, stroke, false, r);  // the workload only
    ++strokes;
  }
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(strokes * kPoints), benchmark::Counter::kIsRate);
}

void BM_PenMethodEngine(benchmark::State& state) { strokeBench(state, 12, 2); }
void BM_DabTableWalker(benchmark::State& state) { strokeBench(state, 5, 1); }
BENCHMARK(BM_PenMethodEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DabTableWalker)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
