// Layer thumbnails, mask combination and the selection outline on document-
// sized images.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/ant_points.h"
#include "document/layer_data.h"
#include "document/mask_mngr.h"

namespace pg {
namespace {

// A layer of w x h with a painted diagonal band, so that some tiles are
// committed and most are uniform.
std::unique_ptr<CLayerData> paintedLayer(int w, int h) {
  auto l = std::make_unique<CLayerData>(0, false);
  (void)l->createImage(w, h, 3);  // a benchmark fixture: measured as made
  for (int y = 0; y < h; ++y)
    for (int x = y * w / h; x < std::min(w, y * w / h + 200); ++x) benchmark::DoNotOptimize(l->image->setPixel(x, y, 0xFF000000u | (x * 7u)));
  return l;
}

void BM_LayerThumbnail(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = w * 3 / 4;
  auto l = paintedLayer(w, h);
  (void)l->fitThumbnail();  // as above
  for (auto _ : state) benchmark::DoNotOptimize(l->updateThumbnail());
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + " into 48x36");
}
BENCHMARK(BM_LayerThumbnail)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

// An elliptic selection of 4000 x 3000 made with the add mode, then traced.
struct Selection {
  CMaskMngr list{16};
  Selection() {
    list.setDocumentSize(4000, 3000);
    TChannel region(4000, 3000);
    for (int y = 0; y < 3000; ++y) {
      uint8_t* row = region.pixelAt(0, y);
      for (int x = 0; x < 4000; ++x) {
        const double dx = (x - 2000) / 1800.0, dy = (y - 1500) / 1300.0;
        row[x] = dx * dx + dy * dy < 1.0 && ((x / 37 + y / 41) % 5 != 0) ? 255 : 0;
      }
    }
    std::unique_ptr<CMaskData> old;
    (void)list.setMaskImage(0, region, kCombineAdd, old, TPoint{0, 0}, SSize{4000, 3000});  // as above
  }
};

void BM_TraceSelection(benchmark::State& state) {
  Selection s;
  for (auto _ : state) benchmark::DoNotOptimize(s.list.traceAnts(SSize{4000, 3000}, 0));
  state.counters["edges"] = static_cast<double>(s.list.ants().leftEdges().count());
}
BENCHMARK(BM_TraceSelection)->Unit(benchmark::kMillisecond);

class ZoomView : public CAntsView {
 public:
  float zoom() const override { return 4.0f; }
  float sinA() const override { return 0.0f; }
  float cosA() const override { return 1.0f; }
  void paperToWindow(int32_t& x, int32_t& y) const override {
    x = (x - 1500) * 4;
    y = (y - 1000) * 4;
  }
};

void BM_DrawAntsZoom4(benchmark::State& state) {
  Selection s;
  (void)s.list.traceAnts(SSize{4000, 3000}, 0);  // as above
  ZoomView view;
  s.list.setAntsView(&view);
  TMTC window(1920, 1080);
  for (auto _ : state) {
    benchmark::DoNotOptimize(s.list.drawAnts(window, SAntsClip{0, 0, 1920, 1080}));
    s.list.stepAnts();
  }
}
BENCHMARK(BM_DrawAntsZoom4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
