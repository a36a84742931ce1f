// Packet writes sit on the path of every stroke point: time per packet for
// 1,000,000 small packets written into the event store.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "record/event_store.h"
#include "record/packet_catalogue.h"

namespace {

constexpr int kPackets = 1000000;

// Small state packets, uncommitted: the recorder's state items.
void BM_OpenStatePackets(benchmark::State& state) {
  uint8_t body[4] = {1, 2, 3, 4};
  for (auto _ : state) {
    state.PauseTiming();
    pg::CEventMngr store(nullptr);
    if (!store.startRecording(nullptr, nullptr, 42, 42)) std::abort();
    state.ResumeTiming();
    bool ok = true;
    for (int i = 0; i < kPackets; ++i)
      ok &= store.writePacketOpen(pg::kPktState, pg::kStateLayerMask, 0, nullptr, 4, body);
    if (!ok) state.SkipWithError("a packet write failed");
    benchmark::DoNotOptimize(store.writePosition());
  }
  state.SetItemsProcessed(state.iterations() * kPackets);
  state.counters["ns_per_packet"] =
      benchmark::Counter(double(state.iterations()) * kPackets, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OpenStatePackets)->Unit(benchmark::kMillisecond);

// One-point chunks, each committed: the worst case of the index.
void BM_CommittedPointPackets(benchmark::State& state) {
  float point[3] = {10.5f, 20.25f, 0.75f};
  for (auto _ : state) {
    state.PauseTiming();
    pg::CEventMngr store(nullptr);
    if (!store.startRecording(nullptr, nullptr, 42, 42)) std::abort();
    state.ResumeTiming();
    bool ok = true;
    for (int i = 0; i < kPackets; ++i) ok &= store.writePacket(pg::kPktStrokeLast, 1, 0, nullptr, 12, point);
    if (!ok) state.SkipWithError("a packet write failed");
    benchmark::DoNotOptimize(store.writePosition());
  }
  state.SetItemsProcessed(state.iterations() * kPackets);
  state.counters["ns_per_packet"] =
      benchmark::Counter(double(state.iterations()) * kPackets, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CommittedPointPackets)->Unit(benchmark::kMillisecond);

// Strokes as the recorder writes them: a begin, chunks of 16 points, the last chunk.
void BM_StrokeChunks(benchmark::State& state) {
  uint8_t chunk[16 * 12] = {};
  uint8_t begin[4] = {};
  for (auto _ : state) {
    state.PauseTiming();
    pg::CEventMngr store(nullptr);
    if (!store.startRecording(nullptr, nullptr, 42, 42)) std::abort();
    state.ResumeTiming();
    bool ok = true;
    for (int i = 0; i < kPackets / 8; ++i) {
      ok &= store.writePacketOpen(pg::kPktStrokeBeginSimple, 0, 0, nullptr, 4, begin);
      for (int c = 0; c < 6; ++c)
        ok &= store.writePacketOpen(pg::kPktStrokePoints, 16, 0, nullptr, sizeof chunk, chunk);
      ok &= store.writePacket(pg::kPktStrokeLast, 16, 0, nullptr, sizeof chunk, chunk);
    }
    if (!ok) state.SkipWithError("a packet write failed");
    benchmark::DoNotOptimize(store.writePosition());
  }
  state.SetItemsProcessed(state.iterations() * kPackets);
  state.counters["ns_per_packet"] =
      benchmark::Counter(double(state.iterations()) * kPackets, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StrokeChunks)->Unit(benchmark::kMillisecond);

}  // namespace
