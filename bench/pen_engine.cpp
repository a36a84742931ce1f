// The pen-method engine end to end: a 2,000-point pressure stroke (a wave
// across the image, pressure rising and falling) walked by the stroke manager
// and rendered by each of the seven pen methods into a 4000 x 3000 flow
// image, through the plot slots as a stroke sets them (blendPixelOpacity).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "brush/paint_param_records.h"
#include "brush/pen_render.h"
#include "brush/plot_state.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "core/blend_arith.h"
#include "core/planes.h"

namespace pg {
namespace {

constexpr int32_t kW = 4000, kH = 3000, kPoints = 2000;

struct Scene {
  TMTC flow{kW, kH};
  TMTC layer{kW, kH};
  std::vector<SStrokePoint> points;
  Scene() {
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) *layer.pixelAt(x, y) = 0xFF000000u | static_cast<uint32_t>((x * 7) ^ (y * 13));
    for (int i = 0; i < kPoints; ++i) {
      const float t = static_cast<float>(i) / kPoints;
      points.push_back({200.0f + t * 3600.0f, 1500.0f + 1000.0f * std::sin(t * 12.0f),
                        0.5f + 0.5f * std::sin(t * 30.0f)});
    }
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

class BenchDocument : public IPenDocument {
 public:
  int32_t currentLayerIndex() const override { return 0; }
  int32_t layerCount() const override { return 1; }
  TPoint layerOffset(int32_t) const override { return {}; }
  const TMTC* layerImage(int32_t) const override { return &scene().layer; }
  bool isReplaying() const override { return false; }
  uint32_t replayVersion() const override { return 0; }
  CPenShapeObj* activePenShape() const override { return nullptr; }
};

void BM_PenStroke(benchmark::State& state) {
  Scene& s = scene();
  BenchDocument doc;
  TStroke stroke;
  stroke.color = 0x00336699;
  CPenRender render;
  SPenRenderParam rp;
  rp.method = static_cast<uint8_t>(state.range(0));
  rp.effect = 30;
  rp.env = 40;
  rp.speed = 20;
  render.setRenderParam(rp, 7);
  SPenShapeParam sp;
  sp.init(12.0f);
  sp.setMinSize(0.2f);
  render.setShapeParam(sp);
  CStrokeMngr mngr(&stroke, &render);
  SStrokeParam p;
  p.pressureSize = 1;
  p.pressureOpacity = 1;
  mngr.setParam(p);
  SPlotter plot;
  plot.pixelBlendOp = blendPixelOpacity;
  int64_t dabs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int32_t y = 0; y < kH; ++y) std::copy_n(s.layer.pixelAt(0, y), kW, s.flow.pixelAt(0, y));
    state.ResumeTiming();
    mngr.beginStroke(0, SPenTarget{&s.flow, nullptr, {}, &plot}, &doc, &stroke);
    benchmark::DoNotOptimize(mngr.firstPoint(s.points[0]));
    for (int i = 1; i < kPoints; ++i) {
      benchmark::DoNotOptimize(mngr.addPoint(s.points[static_cast<size_t>(i)]));
      dabs += mngr.drawSegment();
    }
    mngr.endStroke();
    benchmark::DoNotOptimize(s.flow.getPixel(kW / 2, kH / 2));
  }
  state.counters["dabs"] = benchmark::Counter(static_cast<double>(dabs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PenStroke)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
