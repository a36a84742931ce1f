// BMP writing and reading of a 4000 x 3000 picture, and bilinear sampling of a
// tiled layer image against the same pixels in a plane (the tiled image pays
// a tile lookup per neighbour).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/bmp_file.h"
#include "core/layer_sampling.h"

namespace {

void fill(pg::TMTC& plane) {
  std::mt19937 rng(1);
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) *plane.pixelAt(x, y) = static_cast<uint32_t>(rng());
}

std::string benchFile() {
  return (std::filesystem::temp_directory_path() / ("pg-bench-" + std::to_string(::getpid()) + ".bmp")).string();
}

void BM_SaveBmp24(benchmark::State& state) {
  pg::TMTC plane(4000, 3000);
  fill(plane);
  const std::string name = benchFile();
  for (auto _ : state) benchmark::DoNotOptimize(pg::saveBmp24(plane, name, 72));
  std::filesystem::remove(name);
  state.SetBytesProcessed(state.iterations() * int64_t{4000} * 3000 * 3);
}
BENCHMARK(BM_SaveBmp24)->Unit(benchmark::kMillisecond);

void BM_ReadBmp24(benchmark::State& state) {
  pg::TMTC plane(4000, 3000);
  fill(plane);
  const std::string name = benchFile();
  if (!pg::saveBmp24(plane, name, 72)) state.SkipWithError("save failed");
  for (auto _ : state) {
    pg::TMTC back;
    auto file = pg::CFileStream::open(name, pg::CFileStream::Mode::Read);
    benchmark::DoNotOptimize(pg::readBmp(back, *file));
  }
  std::filesystem::remove(name);
  state.SetBytesProcessed(state.iterations() * int64_t{4000} * 3000 * 3);
}
BENCHMARK(BM_ReadBmp24)->Unit(benchmark::kMillisecond);

// One sample per pixel of a 1024 x 1024 area at a fractional offset, as a
// transform does.
template <bool kBlock>
void BM_SampleBilinear(benchmark::State& state) {
  pg::TMTC plane(1024, 1024);
  fill(plane);
  pg::CBlockVMTC block(1024, 1024);
  for (int32_t y = 0; y < 1024; ++y)
    for (int32_t x = 0; x < 1024; ++x) benchmark::DoNotOptimize(block.setPixel(x, y, plane.getPixel(x, y)));
  for (auto _ : state) {
    uint32_t sum = 0;
    for (int32_t y = 0; y < 1024; ++y)
      for (int32_t x = 0; x < 1024; ++x) {
        const int32_t sx = x * 65536 + 21845, sy = y * 65536 + 43690;
        sum += kBlock ? pg::sampleBilinearBlock(block, sx, sy, false) : pg::sampleBilinearPlane(plane, sx, sy, false);
      }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1024 * 1024);
}
BENCHMARK(BM_SampleBilinear<false>)->Name("BM_SampleBilinearPlane")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleBilinear<true>)->Name("BM_SampleBilinearBlock")->Unit(benchmark::kMillisecond);

}  // namespace
