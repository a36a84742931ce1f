// The canvas preview of a filter dialog on a 4000 x 3000 layer: the time from
// a value change to the updated view. The dialog filters the part of the
// layer the window shows first (a 1920 x 1080 window at 100 %) and the whole
// layer after; the preview frame filters only its 206 x 206 picture.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "filters/blur_filters.h"
#include "filters/filter_run.h"
#include "filters/median_filter.h"
#include "filters/record_bytes.h"

namespace pg {
namespace {

constexpr int32_t kDocW = 4000, kDocH = 3000;
constexpr int32_t kViewW = 1920, kViewH = 1080;

class BenchSurface final : public IViewSurface {
 public:
  BenchSurface() : buffer(kViewW, kViewH) {}
  SSize clientSize() const override { return buffer.size(); }
  TMTC* backBuffer() override { return &buffer; }
  void presentRect(const TRect&) override {}
  void updateNow() override {}
  TMTC buffer;
};

struct BenchDocument {
  TPaper doc{nullptr};
  BenchSurface surface;
  TFlowImage flow{&doc};
  int32_t layer = -1;

  BenchDocument() {
    (void)doc.setSize(nullptr, kDocW, kDocH);  // a small document: fails only without memory
    doc.setViewSurface(&surface);
    doc.setFlowImage(&flow);
    layer = doc.insertLayer(0, kDocW, kDocH, true, 255, 0);
    CBlockVMTC& img = *doc.getLayer(layer)->image;
    uint32_t s = 7;
    for (int32_t y = 0; y < kDocH; ++y)
      for (int32_t x = 0; x < kDocW; ++x) {
        s = s * 1664525u + 1013904223u;
        benchmark::DoNotOptimize(img.setPixel(x, y, 0xFF000000u | (s >> 8)));
      }
  }
};

BenchDocument& document() {
  static BenchDocument d;
  return d;
}

struct SFilterCase {
  FilterKernel kernel;
  std::array<uint8_t, 8> record;
};

SFilterCase gaussian8() {
  SFilterCase c{&gaussianBlurKernel, {}};
  writeRecF32(c.record.data(), 8.0f);
  return c;
}
// The largest radius the dialog offers.
SFilterCase gaussian10() {
  SFilterCase c{&gaussianBlurKernel, {}};
  writeRecF32(c.record.data(), kGaussianMaxAmount);
  return c;
}
// A 3 x 3 convolution at full strength.
SFilterCase sharpenFull() {
  SFilterCase c{&sharpenCustomKernel, {}};
  writeRecF32(c.record.data(), 1.0f);
  return c;
}
SFilterCase median3() {
  SFilterCase c{&medianKernel, {}};
  c.record[0] = 3;
  return c;
}

// What the dialog does on a value change: the visible part first.
void previewVisible(benchmark::State& state, SFilterCase c) {
  BenchDocument& d = document();
  CFlt4Core core(d.doc, d.flow, false, c.kernel, d.layer);
  const TRect visible{1000, 1000, 1000 + kViewW, 1000 + kViewH};
  // The dialog's first preview (on opening) has loaded the unfiltered copy.
  (void)core.preview(c.record.data(), 8, &visible);
  for (auto _ : state) {
    if (!core.preview(c.record.data(), 8, &visible)) state.SkipWithError("preview refused");
  }
  core.endPreview();
}

void previewWhole(benchmark::State& state, SFilterCase c) {
  BenchDocument& d = document();
  CFlt4Core core(d.doc, d.flow, false, c.kernel, d.layer);
  (void)core.preview(c.record.data(), 8);
  for (auto _ : state) {
    if (!core.preview(c.record.data(), 8)) state.SkipWithError("preview refused");
  }
  core.endPreview();
}

void previewFrame(benchmark::State& state, SFilterCase c) {
  BenchDocument& d = document();
  CFlt4Core core(d.doc, d.flow, false, c.kernel, d.layer);
  TMTC picture;
  const TRect shown{1900, 1400, 2106, 1606};
  for (auto _ : state) {
    if (!core.renderRegion(c.record.data(), 8, shown, picture)) state.SkipWithError("frame refused");
  }
}

BENCHMARK_CAPTURE(previewVisible, gaussian_r8, gaussian8())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewWhole, gaussian_r8, gaussian8())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewFrame, gaussian_r8, gaussian8())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewVisible, gaussian_r10, gaussian10())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewVisible, sharpen_custom, sharpenFull())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewWhole, sharpen_custom, sharpenFull())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewVisible, median_r3, median3())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewWhole, median_r3, median3())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(previewFrame, median_r3, median3())->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
