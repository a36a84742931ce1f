// Picture codecs: PNG save of a 4096 x 4096 layer through the codec against
// libpng's own simplified writer at its default level (the codec should add
// nothing measurable), PNG and JPEG decoding, JPEG encoding.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "io/image_codecs.h"
#include "test_support/plane_pixels.h"

namespace {

// A picture that compresses like a painting: smooth areas with some noise.
const pg::TMTC& layer4k() {
  static const pg::TMTC& plane = *[] {
    auto* p = new pg::TMTC(4096, 4096);  // kept for the program's life
    pg::testing::fillWith(*p, [](int32_t x, int32_t y) {
      const uint32_t noise = (uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 29;
      return 0xFF000000u | uint32_t((x / 16 + noise) & 255) << 16 | uint32_t((y / 16) & 255) << 8 |
             uint32_t((x + y) / 32 & 255);
    });
    return p;
  }();
  return plane;
}

void PngEncodeCodec(benchmark::State& state) {
  const pg::TMTC& p = layer4k();
  for (auto _ : state) benchmark::DoNotOptimize(pg::encodePng(p, 72, true));
  state.SetBytesProcessed(state.iterations() * p.ByteSize());
}
BENCHMARK(PngEncodeCodec)->Unit(benchmark::kMillisecond);

void PngEncodeLibpngDirect(benchmark::State& state) {
  const pg::TMTC& p = layer4k();
  std::vector<uint8_t> rows(static_cast<size_t>(p.ByteSize()));
  for (int32_t y = 0; y < p.Height; ++y) std::memcpy(&rows[size_t(y) * 4 * 4096], p.pixelAt(0, y), 4 * 4096);
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4096;
    image.height = 4096;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rows.data(), 0, nullptr);
    out.resize(size);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * p.ByteSize());
}
BENCHMARK(PngEncodeLibpngDirect)->Unit(benchmark::kMillisecond);

void PngDecode(benchmark::State& state) {
  const std::vector<uint8_t> png = pg::encodePng(layer4k(), 72, true);
  for (auto _ : state) {
    pg::TMTC out;
    int32_t dpi = 0;
    benchmark::DoNotOptimize(pg::decodePng(png.data(), png.size(), out, dpi));
  }
  state.SetBytesProcessed(state.iterations() * layer4k().ByteSize());
}
BENCHMARK(PngDecode)->Unit(benchmark::kMillisecond);

void JpegEncodeDecode(benchmark::State& state) {
  const pg::TMTC& p = layer4k();
  for (auto _ : state) {
    const std::vector<uint8_t> jpg = pg::encodeJpeg(p, 72, {});
    pg::TMTC out;
    int32_t dpi = 0;
    benchmark::DoNotOptimize(pg::decodeJpeg(jpg.data(), jpg.size(), out, dpi));
  }
  state.SetBytesProcessed(state.iterations() * p.ByteSize());
}
BENCHMARK(JpegEncodeDecode)->Unit(benchmark::kMillisecond);

}  // namespace
