// The document window with a 4000 x 3000 document of 20 layers in a
// 1920 x 1080 client area: one pointer event of a brush stroke up to the
// updated back-buffer rectangle (at 100 % and 33 %), and a full repaint of
// the view (100 %, 50 %, 12.5 % and a turned 33 %).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {
namespace {

constexpr int32_t kDocW = 4000, kDocH = 3000, kLayers = 20;
constexpr int32_t kViewW = 1920, kViewH = 1080;

class QuietHost final : public IDrawWindowHost {
 public:
  void updateRect(const TRect&) override { ++updates; }
  void updateAll() override {}
  void beep() override {}
  void setCursor(const SCursorChoice&) override {}
  void applyScrollBars(const SScrollBars&) override {}
  void setAutoScrollTimer(bool) override {}
  void setCaption(const std::string&) override {}
  void screenToClient(float&, float&) const override {}
  int32_t askSaveChanges(const std::string&) override { return kAnswerNo; }
  int64_t updates = 0;
};

// Layers painted as in the composition benchmark: a diagonal band of varied
// pixels, a block of opaque tiles, the rest transparent.
struct BenchWindow {
  CCanvasShared shared;
  QuietHost host;
  std::unique_ptr<TDrawWindow> window;

  BenchWindow() {
    window = std::make_unique<TDrawWindow>(shared, &host);
    window->resize({kViewW, kViewH});
    if (!window->newDocument("bench", kDocW, kDocH, 72)) std::abort();
    TPaper& doc = window->paper();
    const uint8_t modes[] = {lbmNormal, lbmMultiply, lbmScreen, lbmOverlay, lbmNormal, lbmAdd, lbmSoftLight};
    for (int32_t i = 1; i < kLayers; ++i) {
      const int32_t at = doc.insertLayer(i, kDocW, kDocH, true, static_cast<uint8_t>(160 + i * 4), modes[i % 7]);
      CBlockVMTC& img = *doc.getLayer(at)->image;
      const int32_t shift = i * 150;
      for (int32_t y = 0; y < kDocH; ++y) {
        const int32_t x0 = (y * kDocW / kDocH + shift) % kDocW;
        for (int32_t x = x0; x < std::min(kDocW, x0 + 400); ++x)
          benchmark::DoNotOptimize(img.setPixel(x, y, (0x80u + ((x ^ y) & 0x7Fu)) << 24 | uint32_t(x * 2654435761u >> 8)));
      }
      benchmark::DoNotOptimize(img.fillMaskedRect(SRectXYWH{(i * 320) % 3200, (i * 230) % 2400, 640, 480}, 0xFFFFFFFFu,
                         0xFF000000u | (0x102030u * uint32_t(i + 1))));
    }
    // Strokes go to a layer in the middle of the stack.
    doc.layers()->setCurrent(10);
    doc.composeRect(SRectXYWH{0, 0, kDocW, kDocH}, false);
    shared.toolStroke().setWidth(12.0f);
    shared.setMainColor(0x204080);
  }
};

BenchWindow& benchWindow() {
  static BenchWindow w;
  return w;
}

void setView(BenchWindow& b, int32_t num, int32_t den, float degrees) {
  b.window->resetViewRotation();
  b.window->setZoomCentred(num, den);
  if (degrees != 0.0f) b.window->setViewRotation(true, degrees);
  b.window->paintAll();
}

double median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A large selection with a long outline (an ellipse over most of the
// picture with a grid of holes cut from it), shown but not limiting
// the painting, or none.
void showLargeSelection(BenchWindow& b, bool shown) {
  TPaper& doc = b.window->paper();
  TFlowImage& flow = b.window->flow();
  TStroke& stroke = b.shared.toolStroke();
  const int32_t layer = doc.currentLayerIndex();
  if (!shown) {
    (void)doc.maskFillNone(flow, layer, false);  // nothing to clear is fine
    return;
  }
  if (!doc.maskFigureEllipse(flow, layer, {100.0f, 100.0f}, {3900.0f, 2900.0f}, 0.0, 0, stroke, false)) std::abort();
  for (int32_t y = 400; y < 2600; y += 400)
    for (int32_t x = 400; x < 3600; x += 400)
      if (!doc.maskFigureRect(flow, layer, {float(x), float(y)}, {float(x + 120), float(y + 120)}, 2, stroke, false))
        std::abort();
  doc.undoSetSelectionFlags(false, true);
}

// One mouse event of a stroke: the point walked into dabs, the touched
// rectangle recomposed through 20 layers with the flow image standing in,
// and painted into the back buffer, with the marching ants' frame brought
// up to date as the window's paint does. Every 400 events the stroke ends
// and a new one begins (not timed). The third argument shows a large
// selection's outline over the view.
void BM_StrokeEventToBackBuffer(benchmark::State& state) {
  BenchWindow& b = benchWindow();
  setView(b, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)), 0.0f);
  showLargeSelection(b, state.range(2) != 0);
  TDrawWindow& w = *b.window;
  (void)w.antsFrame();
  TStroke& stroke = b.shared.toolStroke();
  std::vector<double> times;
  int64_t n = 0;
  for (auto _ : state) {
    const int64_t i = n % 400;
    if (i == 0) w.strokePoint(stroke, false, 300.0f, 300.0f, 1.0f);
    // A wave across the view, four window pixels per event.
    const float x = 300.0f + static_cast<float>(i) * 3.0f;
    const float y = 300.0f + 200.0f * std::sin(static_cast<float>(n % 4000) * 0.01f) + static_cast<float>(i) * 0.5f;
    const auto t0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(w.strokePoint(stroke, false, x, y, 1.0f));
    benchmark::DoNotOptimize(w.antsFrame().hasDashes());
    const auto t1 = std::chrono::steady_clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(s);
    times.push_back(s * 1e6);
    if (++n % 400 == 0) {
      w.strokeEnd(stroke, false, x, y);
      // The undo history is not what is measured: it stays small.
      w.paper().clearUndo();
    }
  }
  w.strokeEnd(stroke, false, 300.0f, 300.0f);
  w.paper().clearUndo();
  state.counters["median_us"] = median(times);
  state.counters["worst_us"] = times.empty() ? 0.0 : *std::max_element(times.begin(), times.end());
  showLargeSelection(b, false);
}
BENCHMARK(BM_StrokeEventToBackBuffer)
    ->Args({1, 1, 0})
    ->Args({1, 1, 1})
    ->Args({1, 3, 0})
    ->Args({1, 3, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// One tick of the marching ants over the large selection: the phase moves
// and the frame is drawn again (at 100 %, 400 % and a turned 33 %).
void BM_AntsTick(benchmark::State& state) {
  BenchWindow& b = benchWindow();
  setView(b, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
          static_cast<float>(state.range(2)));
  showLargeSelection(b, true);
  std::vector<double> times;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(b.window->antsTick());
    const auto t1 = std::chrono::steady_clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(s);
    times.push_back(s * 1e3);
  }
  state.counters["median_ms"] = median(times);
  showLargeSelection(b, false);
  setView(b, 1, 1, 0.0f);
}
BENCHMARK(BM_AntsTick)->Args({1, 1, 0})->Args({4, 1, 0})->Args({1, 3, -30})->UseManualTime()->Unit(benchmark::kMillisecond);

// A full repaint of the client area (the view buffer rebuilt when the view
// needs one, the view painted, the workspace around it), as after a scroll.
void BM_FullRepaint(benchmark::State& state) {
  BenchWindow& b = benchWindow();
  setView(b, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
          static_cast<float>(state.range(2)));
  std::vector<double> times;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    b.window->invalidateView();
    b.window->paintPending();
    const auto t1 = std::chrono::steady_clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(s);
    times.push_back(s * 1e3);
  }
  state.counters["median_ms"] = median(times);
  setView(b, 1, 1, 0.0f);
}
BENCHMARK(BM_FullRepaint)
    ->Args({1, 1, 0})
    ->Args({1, 2, 0})
    ->Args({1, 8, 0})
    ->Args({1, 3, -30})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
