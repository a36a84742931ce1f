// Undo snapshots of full 4000 x 3000 layers: the time to take one, to swap it
// back and forth, and what eight of them plus 32 light records hold.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/block_image.h"
#include "document/undo_mngr.h"

namespace pg {
namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

// Every tile committed (one odd pixel per tile), as after painting all over.
std::unique_ptr<CBlockVMTC> paintedImage() {
  auto img = std::make_unique<CBlockVMTC>(kW, kH);
  for (int y = 0; y < kH; y += 32)
    for (int x = 0; x < kW; x += 32) benchmark::DoNotOptimize(img->setPixel(x, y, 0xFF000000u | static_cast<uint32_t>(x ^ y)));
  return img;
}

void BM_UndoSnapshotFullLayer(benchmark::State& state) {
  auto img = paintedImage();
  CUndoMngr m(UndoLimit{8}, RedoLimit{8});
  for (auto _ : state) benchmark::DoNotOptimize(m.record(0, 1, SRectXYWH{0, 0, kW, kH}, *img));
  state.counters["record MB"] = static_cast<double>(m.peekUndo()->memorySize()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_UndoSnapshotFullLayer)->Unit(benchmark::kMillisecond);

void BM_UndoRedoFullLayer(benchmark::State& state) {
  auto img = paintedImage();
  CUndoMngr m(UndoLimit{8}, RedoLimit{8});
  (void)m.record(0, 1, SRectXYWH{0, 0, kW, kH}, *img);  // the workload only
  SRectXYWH r{};
  for (auto _ : state) {
    (void)m.undo(*img, r);  // the workload only
    (void)m.redo(*img, r);  // the workload only
  }
}
BENCHMARK(BM_UndoRedoFullLayer)->Unit(benchmark::kMillisecond);

void BM_EightSnapshotsHeld(benchmark::State& state) {
  auto img = paintedImage();
  for (auto _ : state) {
    CUndoMngr m(UndoLimit{8}, RedoLimit{8});
    for (int i = 0; i < 8; ++i) (void)m.record(0, 1, SRectXYWH{0, 0, kW, kH}, *img);  // the workload only
    state.counters["held MB"] = static_cast<double>(m.memorySize()) / (1024.0 * 1024.0);
  }
}
BENCHMARK(BM_EightSnapshotsHeld)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace pg
