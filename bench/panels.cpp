// The tool window's panels: refreshing the layer panel of a document with
// 200 layers (the visible rows' names, details and thumbnails), and the
// layer thumbnail after a stroke on a 4000 x 3000 layer, against the whole
// thumbnail.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/layer_lists.h"
#include "toolwin/layer_panel.h"
#include "ui/memory_graphic.h"

namespace pg {
namespace {

void BM_LayerPanelRefresh(benchmark::State& state) {
  const int32_t layers = static_cast<int32_t>(state.range(0));
  test::DocWindowFixture f(800, 600);
  f.addLayers(layers);
  CLayerList list;
  CMaskList masks;
  list.setOptions(kListKeepActive);
  list.setBounds(210, 600);
  masks.setBounds(210, 200);
  list.bind(f.window.get());
  masks.bind(f.window.get());
  CLayerPanel panel(list, masks);
  TMemoryGraphic cell;
  (void)cell.setSize(200, 33);
  for (auto _ : state) {
    panel.updateLayerPanel();
    // What painting the list reads and draws: only the rows in view.
    TRect area = list.itemArea();
    size_t text = 0;
    for (int32_t i = 0; i < list.getCount(); ++i) {
      TRect r = list.getItemRect(i);
      if (r.Bottom <= area.Top || r.Top >= area.Bottom) continue;
      text += list.getItemName(i).size() + list.getItemDetail(i).size();
      list.drawItemImage(cell, TRect{18, 0, 50, 32}, list.getDrawState(i), i);
    }
    benchmark::DoNotOptimize(text);
  }
  state.SetLabel(std::to_string(layers) + " layers");
}
BENCHMARK(BM_LayerPanelRefresh)->Arg(200)->Unit(benchmark::kMicrosecond);

std::unique_ptr<CLayerData> paintedLayer(int32_t w, int32_t h) {
  auto l = std::make_unique<CLayerData>(0, false);
  (void)l->createImage(w, h, 3);  // a benchmark fixture: measured as made
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = y * w / h; x < std::min(w, y * w / h + 200); ++x)
      benchmark::DoNotOptimize(l->image->setPixel(x, y, 0xFF000000u | static_cast<uint32_t>(x * 7)));
  (void)l->fitThumbnail();  // as above
  return l;
}

// A stroke's rectangle of 120 x 40 pixels: only its part of the thumbnail.
void BM_ThumbnailAfterStroke(benchmark::State& state) {
  auto l = paintedLayer(4000, 3000);
  const SRectXYWH stroke{1900, 1400, 120, 40};
  for (auto _ : state) {
    l->markThumbnailChanged(stroke);
    benchmark::DoNotOptimize(l->freshThumbnail());
  }
  state.SetLabel("4000x3000, stroke 120x40");
}
BENCHMARK(BM_ThumbnailAfterStroke)->Unit(benchmark::kMicrosecond);

void BM_ThumbnailWhole(benchmark::State& state) {
  auto l = paintedLayer(4000, 3000);
  for (auto _ : state) benchmark::DoNotOptimize(l->updateThumbnail());
  state.SetLabel("4000x3000, whole thumbnail");
}
BENCHMARK(BM_ThumbnailWhole)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pg
