// Replay speed: a recording of 10,000 stroke points (50 strokes of 200
// points) on a 4000 x 3000 document replayed into a fresh document, against
// the same strokes painted directly through the document (the limit).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "brush/stroke_settings.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "replay/replay_session.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000;
constexpr int32_t kH = 3000;
constexpr int kStrokes = 50;
constexpr int kPointsPerStroke = 200;

struct Doc {
  explicit Doc(TStroke* tool) {
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory(SRecorderTools{tool, nullptr, nullptr});
    doc = std::make_unique<TPaper>(nullptr, s);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
  }
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

void paintAll(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record) {
  for (int s = 0; s < kStrokes; ++s) {
    for (int i = 0; i < kPointsPerStroke; ++i) {
      const float t = float(i) / kPointsPerStroke;
      const float x = 100.0f + 3800.0f * t;
      const float y = 100.0f + 2800.0f * float(s) / kStrokes + 40.0f * std::sin(t * 20.0f);
      const float p = 0.4f + 0.6f * t;
      if (i == 0)
        (void)doc.beginStroke(flow, stroke, record, x, y, p);  // the workload only
      else
        (void)doc.continueStroke(flow, stroke, record, false, x, y, p);  // as above
    }
    SRectXYWH r{};
    (void)doc.endStroke(flow, stroke, record, r, false);  // as above
  }
}

TStroke& tool() {
  static TStroke stroke;
  stroke.kind = skAirbrush;
  stroke.WIDTH = 20.0f;
  stroke.color = 0x003060C0u;
  return stroke;
}

void BM_PaintDirect(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Doc d(nullptr);
    if (!d.doc->newDocument("d", d.flow.get(), false, false, 72, kH, kW)) state.SkipWithError("no document");
    tool().layerIndex = 0;
    state.ResumeTiming();
    paintAll(*d.doc, *d.flow, tool(), false);
  }
  state.counters["points/s"] = benchmark::Counter(double(kStrokes * kPointsPerStroke), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PaintDirect)->Unit(benchmark::kMillisecond);

void BM_Replay(benchmark::State& state) {
  Doc x(&tool());
  if (!x.doc->newDocument("x", x.flow.get(), false, false, 72, kH, kW)) state.SkipWithError("no document");
  tool().layerIndex = 0;
  paintAll(*x.doc, *x.flow, tool(), true);
  CEventMngr& recorded = *documentEventStore(*x.doc);
  if (!recorded.seal()) {
    state.SkipWithError("the recording could not be sealed");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    Doc y(nullptr);
    CReplaySession session(*y.doc, *y.flow);
    // The image set-up is the document's creation, outside the timing as
    // for the direct painting.
    if (session.openStore(recorded) != ReplayStart::Started) state.SkipWithError("no start");
    state.ResumeTiming();
    while (session.step(1000) == ReplayStep::EventDone) {
    }
  }
  state.counters["points/s"] = benchmark::Counter(double(kStrokes * kPointsPerStroke), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Replay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
