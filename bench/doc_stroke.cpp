// A whole freehand stroke on a 4000 x 3000 layer: 1,000 points of radius-20
// airbrush dabs across the layer, including the final undo record and the
// merge of the flow image into the layer's tiles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "brush/stroke_settings.h"
#include "document/paper.h"
#include "stroke_document.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000;
constexpr int32_t kH = 3000;
constexpr int kPoints = 1000;

void BM_DocStroke(benchmark::State& state) {
  bench::SStrokeDocument d(kW, kH);
  TPaper& doc = d.doc;
  TFlowImage& flow = d.flow;
  const int32_t at = d.layer;
  TStroke stroke;
  stroke.kind = skAirbrush;
  stroke.WIDTH = 20.0f;
  stroke.color = 0xFF3060C0u;
  stroke.layerIndex = at;
  int64_t strokes = 0;
  for (auto _ : state) {
    // A wave across the layer, a little lower each time.
    const float y0 = 200.0f + static_cast<float>(strokes % 20) * 120.0f;
    (void)doc.beginStroke(flow, stroke, true, 100.0f, y0, 1.0f);  // the workload only
    for (int i = 1; i < kPoints; ++i) {
      const float x = 100.0f + static_cast<float>(i) * 3.8f;
      const float y = y0 + 150.0f * std::sin(static_cast<float>(i) * 0.02f);
      (void)doc.continueStroke(flow, stroke, true, false, x, y, 1.0f);  // the workload only
    }
    SRectXYWH r{};
    (void)doc.endStroke(flow, stroke, true, r, false);  // the workload only
    ++strokes;
  }
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(strokes * kPoints), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DocStroke)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
