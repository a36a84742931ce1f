// The document's picture: the layers composed into the composite and the
// view painted into a 1920 x 1080 window, for a 4000 x 3000 document of 20
// layers in mixed blend modes.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/layer_data.h"
#include "document/paper.h"

namespace pg {
namespace {

constexpr int32_t kDocW = 4000, kDocH = 3000, kLayers = 20;
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

// Each layer: a diagonal band of painted pixels 400 wide (committed tiles),
// a block of opaque uniform tiles, the rest transparent and uniform.
struct BenchDocument {
  TPaper doc{nullptr};
  BenchSurface surface;

  BenchDocument() {
    (void)doc.setSize(nullptr, kDocW, kDocH);  // as above
    doc.setViewSurface(&surface);
    const uint8_t modes[] = {lbmNormal, lbmMultiply, lbmScreen, lbmOverlay, lbmNormal, lbmAdd, lbmSoftLight};
    for (int32_t i = 0; i < kLayers; ++i) {
      const int32_t at = doc.insertLayer(i, kDocW, kDocH, true, static_cast<uint8_t>(160 + i * 4), modes[i % 7]);
      CBlockVMTC& img = *doc.getLayer(at)->image;
      const int32_t shift = i * 150;
      for (int32_t y = 0; y < kDocH; ++y) {
        const int32_t x0 = (y * kDocW / kDocH + shift) % kDocW;
        for (int32_t x = x0; x < std::min(kDocW, x0 + 400); ++x)
          benchmark::DoNotOptimize(img.setPixel(x, y, (0x80u + ((x ^ y) & 0x7Fu)) << 24 | uint32_t(x * 2654435761u >> 8)));
      }
      benchmark::DoNotOptimize(img.fillMaskedRect(SRectXYWH{(i * 320) % 3200, (i * 230) % 2400, 640, 480},
                                                  0xFFFFFFFFu, 0xFF000000u | (0x102030u * uint32_t(i + 1))));
    }
  }

  // The part of the document the window shows at the view's zoom.
  SRectXYWH visible() const {
    const float z = doc.zoomValue();
    return {doc.view().scrollOffset().X, doc.view().scrollOffset().Y, static_cast<int32_t>(kViewW / z),
            static_cast<int32_t>(kViewH / z)};
  }
};

BenchDocument& document() {
  static BenchDocument d;
  return d;
}

// A full repaint: the visible part composed, the view buffer built and the
// view painted into the back buffer. Zoom num / den; a turn in degrees; 1
// for the transparent display (check pattern) instead of the paper colour.
void BM_RepaintView(benchmark::State& state) {
  BenchDocument& d = document();
  const int32_t num = static_cast<int32_t>(state.range(0)), den = static_cast<int32_t>(state.range(1));
  const float degrees = static_cast<float>(state.range(2));
  d.doc.setBackgroundFlags(state.range(3) == 0, state.range(3) != 0);
  d.doc.setZoom(num, den);
  d.doc.setViewAngle(degrees);
  d.doc.setViewCenter(kDocW / 2.0f, kDocH / 2.0f);
  d.doc.setScrollOrigin(0, 0);
  d.doc.setScrollOffset(num > den ? 1500 : 0, num > den ? 1200 : 0);
  const SRectXYWH part = degrees != 0.0f ? SRectXYWH{0, 0, kDocW, kDocH} : d.visible();
  for (auto _ : state) {
    d.doc.composeRect(part, false);
    d.doc.buildViewBuffer();
    d.doc.paintWindow(d.surface.buffer);
    benchmark::DoNotOptimize(d.surface.buffer.Bits);
  }
  state.SetLabel(std::to_string(num) + "/" + std::to_string(den) + (degrees != 0.0f ? " turned" : "") +
                 (d.doc.viewFitsScale() && degrees == 0.0f ? ", magnified" : ", view buffer") +
                 (d.doc.showCanvasColor() ? "" : ", checked"));
  d.doc.setBackgroundFlags(true, false);
  state.counters["Mpx composed"] = double(part.Width) * part.Height / 1e6;
}
BENCHMARK(BM_RepaintView)
    ->Args({1, 2, 0, 0})
    ->Args({2, 1, 0, 0})
    ->Args({1, 1, 30, 0})
    ->Args({2, 1, 0, 1})
    ->Args({1, 1, 30, 1})
    ->Unit(benchmark::kMillisecond);

// The paint of a view without recomposing (scrolling over a composed picture).
void BM_PaintViewOnly(benchmark::State& state) {
  BenchDocument& d = document();
  const int32_t num = static_cast<int32_t>(state.range(0)), den = static_cast<int32_t>(state.range(1));
  d.doc.setZoom(num, den);
  d.doc.setViewAngle(0);
  d.doc.setScrollOffset(num > den ? 1500 : 0, num > den ? 1200 : 0);
  d.doc.composeRect(SRectXYWH{0, 0, kDocW, kDocH}, false);
  for (auto _ : state) {
    d.doc.buildViewBuffer();
    d.doc.paintWindow(d.surface.buffer);
    benchmark::DoNotOptimize(d.surface.buffer.Bits);
  }
}
BENCHMARK(BM_PaintViewOnly)->Args({1, 2})->Args({2, 1})->Unit(benchmark::kMillisecond);

// What one stroke point costs the picture: a 256 x 256 rectangle recomposed
// from all 20 layers and painted into the window.
void BM_RecomposeDirtyRect(benchmark::State& state) {
  BenchDocument& d = document();
  d.doc.setViewAngle(0);
  d.doc.setZoom(1, 1);
  d.doc.setScrollOffset(1500, 1200);
  const TRect dirty{1900, 1500, 1900 + 256, 1500 + 256};
  for (auto _ : state) {
    d.doc.composeRect(rectToXYWH(dirty), false);
    benchmark::DoNotOptimize(d.doc.paintWindowRect(&d.surface, dirty));
  }
}
BENCHMARK(BM_RecomposeDirtyRect)->Unit(benchmark::kMicrosecond);

// The whole composite, band by band, over the paper colour (0) or keeping
// the picture's transparency (1).
void BM_ComposeWholeDocument(benchmark::State& state) {
  BenchDocument& d = document();
  d.doc.setBackgroundFlags(state.range(0) == 0, d.doc.showBgPattern());
  for (auto _ : state) d.doc.composeRect(SRectXYWH{0, 0, kDocW, kDocH}, false);
  d.doc.setBackgroundFlags(true, d.doc.showBgPattern());
  state.counters["layers"] = kLayers;
}
BENCHMARK(BM_ComposeWholeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pg
