// Batch render of a generated half hour of painting: about 600 strokes of
// 150 points (one every three seconds), a new layer every 60 strokes with its
// opacity and blend mode changed, a bucket fill and a blur every 100 strokes
// and an undo every 25, on a 3000 x 2000 document. The recording is made once
// and saved as an event file; each iteration replays it in render mode and
// writes the picture and the recording, as `pigmora -render` does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "app/batch_render.h"
#include "brush/stroke_settings.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "document/paper_ops.h"
#include "filters/filter_table.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"

namespace pg {
namespace {

constexpr int32_t kW = 3000;
constexpr int32_t kH = 2000;
constexpr int kStrokes = 600;
constexpr int kPointsPerStroke = 150;

// The folder of the generated recording and of the results.
const std::filesystem::path& workFolder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path p = std::filesystem::temp_directory_path() / "pigmora_bench_batch";
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

void strokeAt(TPaper& doc, TFlowImage& flow, TStroke& tool, int s) {
  tool.layerIndex = doc.currentLayerIndex();
  const float y0 = 50.0f + float((s * 37) % (kH - 100));
  const float x0 = 50.0f + float((s * 53) % 400);
  for (int i = 0; i < kPointsPerStroke; ++i) {
    const float t = float(i) / kPointsPerStroke;
    const float x = x0 + 2400.0f * t;
    const float y = y0 + 60.0f * std::sin(t * 9.0f + float(s));
    const float p = 0.3f + 0.7f * std::sin(t * 3.14159f);
    if (i == 0)
      (void)doc.beginStroke(flow, tool, true, x, y, p);
    else
      (void)doc.continueStroke(flow, tool, true, true, x, y, p);
  }
  SRectXYWH r{};
  (void)doc.endStroke(flow, tool, true, r, true);
}

// The half hour painted into a fresh recording document, as the painter
// did it (recorded, so that its undos have their steps).
void paintHalfHour(TPaper& doc, TFlowImage& flow, TStroke& tool) {
  (void)doc.newDocument("half hour", &flow, false, false, 150, kH, kW);
  const SFilterEntry* blur = filterByCommand("filterBlur");
  for (int st = 0; st < kStrokes; ++st) {
    tool.setKind(uint8_t(st % 3 == 0 ? skPen : skAirbrush));
    tool.setWidth(float(4 + st % 40));
    tool.setColor(0x00102030u + uint32_t(st * 0x00030507u));
    strokeAt(doc, flow, tool, st);
    if (st % 60 == 59) {
      const int32_t top = doc.layerCount();
      (void)doc.newLayerEx(&flow, top, true, 255, 3, kH, kW, true);
      (void)doc.setLayerOpacity(top, 180 + st % 70, true);
      (void)doc.setLayerBlendMode(top, st % 5, true);
    }
    if (st % 100 == 50) {
      (void)doc.bucketFillLayer(flow, doc.currentLayerIndex(), TPoint{kW / 2, kH / 2}, true, false, tool,
                                SRegionFillSettings{}, true);
      const FilterDialog none = [](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>&) { return true; };
      if (blur) (void)filterCommand(doc, flow, doc.currentLayerIndex(), *blur, false, none);
    }
    if (st % 25 == 24) {
      int32_t layer = 0;
      TRect rect{};
      (void)doc.undo(flow, layer, rect);
    }
  }
}

// A recording document and its tool.
struct SHalfHourDoc {
  TStroke tool;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
  SHalfHourDoc() {
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory(SRecorderTools{&tool, nullptr, nullptr});
    doc = std::make_unique<TPaper>(nullptr, s);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
  }
};

// The generated half hour, saved once; its path.
const std::string& recording() {
  static const std::string path = [] {
    SHalfHourDoc d;
    TPaper& doc = *d.doc;
    paintHalfHour(doc, *d.flow, d.tool);
    const std::string file = (workFolder() / "half_hour.ke4").string();
    CPaperEventDocument events(doc);
    if (!saveEventFile(file, events, false).saved()) return std::string();
    return file;
  }();
  return path;
}

void BM_BatchRenderHalfHour(benchmark::State& state) {
  const std::string& source = recording();
  if (source.empty()) {
    state.SkipWithError("the recording could not be made");
    return;
  }
  StartupState batch;
  batch.batchMode = true;
  batch.batchOutputFolder = (workFolder() / "out").string();
  std::filesystem::create_directories(batch.batchOutputFolder);
  uint32_t events = 0;
  for (auto _ : state) {
    const SBatchOutcome outcome = runBatchReplay(source, batch);
    if (outcome.code != BatchCode::Written) state.SkipWithError("the batch run failed");
    events = outcome.events;
  }
  state.counters["events"] = double(events);
  state.counters["recording MB"] = double(std::filesystem::file_size(source)) / 1e6;
}
BENCHMARK(BM_BatchRenderHalfHour)->Unit(benchmark::kSecond)->Iterations(2);

// The same half hour painted directly: the figure the batch render is held to.
void BM_PaintHalfHourDirectly(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto d = std::make_unique<SHalfHourDoc>();
    state.ResumeTiming();
    paintHalfHour(*d->doc, *d->flow, d->tool);
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PaintHalfHourDirectly)->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace
}  // namespace pg
