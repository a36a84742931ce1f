#pragma once
// A small layer for kernel tests: the layer image, its unfiltered copy (the
// undo copy), the view's work plane holding the same pixels, a work channel
// and a selection, with the kernel context over them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <memory>
#include <random>

#include "core/block_image.h"
#include "core/planes.h"
#include "document/mask_data.h"
#include "filters/kernel_context.h"

namespace pg::testing {

class FilterFixture {
 public:
  FilterFixture(int32_t w, int32_t h)
      : layer(std::make_unique<CBlockVMTC>(w, h)), source(std::make_unique<CBlockVMTC>(w, h)), work(w, h), channel(w, h) {}

  int32_t width() const { return layer->width(); }
  int32_t height() const { return layer->height(); }

  // Layer, source and work plane := f(x, y).
  void setPixels(const std::function<uint32_t(int32_t, int32_t)>& f) {
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x) {
        const uint32_t v = f(x, y);
        if (!layer->setPixel(x, y, v)) std::abort();  // the fixture is shared with benchmarks
        if (!source->setPixel(x, y, v)) std::abort();  // the fixture is shared with benchmarks
        *work.pixelAt(x, y) = v;
      }
  }
  void fillRandom(uint32_t seed) {
    std::mt19937 rng(seed);
    setPixels([&rng](int32_t, int32_t) { return static_cast<uint32_t>(rng()); });
  }
  void fill(uint32_t v) {
    setPixels([v](int32_t, int32_t) { return v; });
  }

  // The work plane as the view leaves it after a larger layer: w x h, the
  // layer's pixels at its top left and `beyond` everywhere else.
  void growWork(int32_t w, int32_t h, uint32_t beyond) {
    TMTC held(width(), height());
    if (!held.copyPixelsFrom(work) || !work.Resize(w, h)) std::abort();  // shared with benchmarks: no gtest here
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *work.pixelAt(x, y) = x < width() && y < height() ? held.getPixel(x, y) : beyond;
  }

  // A selection image of the layer's size (document = layer coordinates
  // unless an offset is set) with values f(x, y).
  void setSelection(const std::function<uint8_t(int32_t, int32_t)>& f) {
    if (!mask.createImage(width(), height())) std::abort();  // shared with benchmarks: no gtest here
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x) if (!mask.image->setPixel(x, y, f(x, y))) std::abort();  // the fixture is shared with benchmarks
  }
  void randomSelection(uint32_t seed) {
    std::mt19937 rng(seed);
    // A third unselected, a third full, a third partial.
    setSelection([&rng](int32_t, int32_t) {
      const uint32_t r = rng() % 3;
      return static_cast<uint8_t>(r == 0 ? 0 : (r == 1 ? 255 : 1 + rng() % 254));
    });
  }

  // The context over the whole layer, or over region.
  SFlt4Context context() const { return context(TRect{0, 0, width(), height()}); }
  SFlt4Context context(const TRect& region) const {
    SFlt4Context c;
    c.image = layer.get();
    c.protectAlpha = protectAlpha ? 1 : 0;
    c.selection = &mask;
    c.bounds = TRect{0, 0, width(), height()};
    c.source = source.get();
    c.workImage = const_cast<TMTC*>(&work);
    c.workChannel = const_cast<TChannel*>(&channel);
    c.region = region;
    c.maskValue = maskValueFor(&mask);
    return c;
  }

  uint32_t pixel(int32_t x, int32_t y) const { return layer->getPixel(x, y); }
  uint32_t original(int32_t x, int32_t y) const { return source->getPixel(x, y); }

  // Every pixel of the layer equals the other fixture's.
  bool sameLayer(const FilterFixture& o) const {
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x)
        if (pixel(x, y) != o.pixel(x, y)) return false;
    return true;
  }
  // The layer still holds the unfiltered pixels.
  bool unchanged() const {
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x)
        if (pixel(x, y) != original(x, y)) return false;
    return true;
  }

  // FNV-1a over the layer's pixels, row by row: what golden pictures keep.
  uint64_t hash() const {
    uint64_t h = 1469598103934665603ull;
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x) {
        h ^= pixel(x, y);
        h *= 1099511628211ull;
      }
    return h;
  }
  // With PIGMORA_GOLDEN_DUMP=<folder>, writes the layer as <folder>/<name>.ppm
  // (colour only) for a person to look at.
  void dumpIfAsked(const std::string& name) const {
    const char* folder = std::getenv("PIGMORA_GOLDEN_DUMP");
    if (folder == nullptr) return;
    const std::string path = std::string(folder) + "/" + name + ".ppm";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::fprintf(out, "P6 %d %d 255\n", width(), height());
    for (int32_t y = 0; y < height(); ++y)
      for (int32_t x = 0; x < width(); ++x) {
        const uint32_t p = pixel(x, y);
        const unsigned char rgb[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
        std::fwrite(rgb, 1, 3, out);
      }
    std::fclose(out);
  }

  std::unique_ptr<CBlockVMTC> layer;
  std::unique_ptr<CBlockVMTC> source;
  TMTC work;
  TChannel channel;
  CMaskData mask;
  bool protectAlpha = false;
};

}  // namespace pg::testing
