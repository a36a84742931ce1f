// Saving and opening a native file: a 4000 x 3000 document of 20 layers,
// each with painted areas (committed tiles of soft gradients with some
// noise) and untouched ones (uniform tiles), plus a mask and a recording.
// The raw benchmarks write and read the same number of bytes as one plain
// file, the floor that the native file's figures are compared with; the
// first-touch one adds the first write to as much fresh memory as the opened
// document holds.
#include <benchmark/benchmark.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/block_pool.h"
#include "core/parallel.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "io/native_file_reader.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/thumbnail_document.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"

namespace {

using namespace pg;

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;
constexpr int kLayers = 20;
constexpr uint32_t kFlags = kNativeLayers | kNativeMasks | kNativeThumbnail | kNativeEvents;

std::unique_ptr<TPaper> newPaper() {
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  return std::make_unique<TPaper>(nullptr, services);
}

// Each layer paints about half of its tiles: a band that moves with the
// layer's index.
std::unique_ptr<TPaper> makeDocument() {
  auto doc = newPaper();
  (void)doc->setSize(nullptr, kWidth, kHeight);  // a small document: fails only without memory
  std::mt19937 rng(7);
  for (int n = 0; n < kLayers; ++n) {
    CLayerMngr& layers = *doc->layers();
    CLayerData& l = *layers.getLayer(layers.addLayer(kWidth, kHeight, 3, false, 255, true));
    l.name = "layer " + std::to_string(n);
    CBlockVMTC& img = *l.image;
    for (int32_t i = 0; i < img.tileCount(); ++i) {
      STileRec& t = img.tileRef(i);
      const int32_t column = i % img.columns();
      if ((column + n * 7) % img.columns() > img.columns() / 2) continue;
      benchmark::DoNotOptimize(img.commitTile(t));
      uint32_t* p = img.tilePixels(t);
      for (int32_t k = 0; k < 1024; ++k)
        p[k] = 0xFF000000u | uint32_t((k >> 5) * 4 + n) << 16 | uint32_t((k & 31) * 8) << 8 | (rng() & 0x0F);
    }
  }
  auto mask = CMaskData::createSized(1, kWidth, kHeight);
  benchmark::DoNotOptimize(mask->image->fillRect(SRectXYWH{500, 400, 2000, 1500}, 255));
  doc->masks()->insertMask(1, std::move(mask));
  // A recording of about 1 MB: layer commands, each with its data.
  CEventMngr& store = *documentEventStore(*doc);
  const std::vector<uint8_t> data(4000, 0x5A);
  for (int i = 0; i < 250; ++i) {
    const uint8_t body[4] = {uint8_t(i), 0, 0, 0};
    if (!store.writeDataPacket(5, uint32_t(data.size()), data.data()) ||
        !store.writePacket(kPktLayer, 1, 0, nullptr, 4, body))
      std::abort();
  }
  doc->redraw(false);
  return doc;
}

// Built once for every benchmark of the program.
TPaper& document() {
  static std::unique_ptr<TPaper> doc = makeDocument();
  return *doc;
}

std::string benchPath() { return (std::filesystem::temp_directory_path() / "pg-bench-native.kci").string(); }

void BM_SaveNativeFile(benchmark::State& state) {
  TPaper& doc = document();
  const std::string path = benchPath();
  for (auto _ : state) {
    if (!writeNativeFile(path, doc, kFlags)) state.SkipWithError("save failed");
  }
  const auto size = std::filesystem::file_size(path);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
  state.counters["MB"] = double(size) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveNativeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenNativeFile(benchmark::State& state) {
  const std::string path = benchPath();
  if (!writeNativeFile(path, document(), kFlags)) state.SkipWithError("save failed");
  for (auto _ : state) {
    auto doc = newPaper();
    if (readNativeFile(path, *doc) != kRcOk) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(doc->layers()->count());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenNativeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Save and open on one thread: the work itself, whatever else the machine
// runs (the figures above share the cores with whatever runs beside them).
void BM_SaveNativeFileOneThread(benchmark::State& state) {
  const int workers = setParallelWorkers(1);
  BM_SaveNativeFile(state);
  setParallelWorkers(workers);
}
BENCHMARK(BM_SaveNativeFileOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenNativeFileOneThread(benchmark::State& state) {
  const int workers = setParallelWorkers(1);
  BM_OpenNativeFile(state);
  setParallelWorkers(workers);
}
BENCHMARK(BM_OpenNativeFileOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bytes of the saved document, once.
const std::vector<char>& savedBytes() {
  static const std::vector<char> bytes = [] {
    const std::string path = benchPath();
    std::vector<char> out;
    if (!writeNativeFile(path, document(), kFlags)) return out;
    out.resize(std::filesystem::file_size(path));
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      out.resize(std::fread(out.data(), 1, out.size(), f));
      std::fclose(f);
    }
    std::filesystem::remove(path);
    return out;
  }();
  return bytes;
}

// As the native writer does: a temporary file, then renamed over the target;
// synced, the data is forced to the disk before the rename (as the writer
// does, so that a crash never leaves a damaged file under the name).
void saveRawBytes(benchmark::State& state, bool synced) {
  const std::vector<char>& bytes = savedBytes();
  const std::string path = benchPath() + ".raw";
  for (auto _ : state) {
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (ok && synced) ok = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    if (f != nullptr && std::fclose(f) != 0) ok = false;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) state.SkipWithError("raw write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  state.counters["MB"] = double(bytes.size()) / 1e6;
  std::filesystem::remove(path);
}

void BM_SaveRawBytes(benchmark::State& state) { saveRawBytes(state, false); }
BENCHMARK(BM_SaveRawBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor the native save is compared with.
void BM_SaveRawBytesSynced(benchmark::State& state) { saveRawBytes(state, true); }
BENCHMARK(BM_SaveRawBytesSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenRawBytes(benchmark::State& state) {
  const std::vector<char>& bytes = savedBytes();
  const std::string path = benchPath() + ".raw";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::vector<char> in(bytes.size());
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr || std::fread(in.data(), 1, in.size(), f) != in.size()) state.SkipWithError("raw read failed");
    if (f != nullptr) std::fclose(f);
    benchmark::DoNotOptimize(in.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenRawBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same read into memory the process has never touched (a new mapping
// each time, populated in one call as the tile pool maps its chunks): the
// floor that includes the first touch of every page.
void BM_OpenRawBytesFreshMemory(benchmark::State& state) {
  const std::vector<char>& bytes = savedBytes();
  const std::string path = benchPath() + ".raw";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  for (auto _ : state) {
    void* p = mmap(nullptr, bytes.size(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (p == MAP_FAILED) {
      state.SkipWithError("no memory");
      break;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr || std::fread(p, 1, bytes.size(), f) != bytes.size()) state.SkipWithError("raw read failed");
    if (f != nullptr) std::fclose(f);
    benchmark::DoNotOptimize(p);
    munmap(p, bytes.size());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenRawBytesFreshMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// How much memory the opened document holds: its tiles and its composite.
int64_t openedDocumentBytes(const std::string& path) {
  const uint64_t before = tilePool().blocksInUse();
  auto doc = newPaper();
  if (readNativeFile(path, *doc) != kRcOk) return 0;
  const uint64_t tiles = tilePool().blocksInUse() - before;
  return int64_t(tiles * CTilePool::kBlockBytes) + int64_t(doc->composite().Width) * doc->composite().Height * 4;
}

// The floor the native open is compared with: the file read into a buffer,
// plus the first write to every page of as much new memory as the opened
// document holds, taken as a program plainly would (new, then one write a
// page; the system's pages at their default size).
void BM_OpenRawBytesFirstTouch(benchmark::State& state) {
  const std::string path = benchPath();
  if (!writeNativeFile(path, document(), kFlags)) state.SkipWithError("save failed");
  const int64_t docBytes = openedDocumentBytes(path);
  const auto fileBytes = std::filesystem::file_size(path);
  std::vector<char> in(fileBytes);
  const long page = sysconf(_SC_PAGESIZE);
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr || std::fread(in.data(), 1, in.size(), f) != in.size()) state.SkipWithError("raw read failed");
    if (f != nullptr) std::fclose(f);
    std::unique_ptr<char[]> memory(new char[size_t(docBytes)]);
    for (int64_t at = 0; at < docBytes; at += page) memory[size_t(at)] = char(at);
    benchmark::DoNotOptimize(memory.get());
    benchmark::DoNotOptimize(in.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fileBytes));
  state.counters["MB"] = double(docBytes) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenRawBytesFirstTouch)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest document with nothing painted: a header of 10,000 x 10,000 and
// no chunks, so that the reader adds one empty layer. Every tile is uniform,
// so opening costs little beyond the composite plane.
void BM_OpenLargeEmptyDocument(benchmark::State& state) {
  SNativeHeader header;
  header.width = 10000;
  header.height = 10000;
  header.flags = kNativeLayers;
  uint8_t bytes[kNativeHeaderBytes];
  storeNativeHeader(bytes, header);
  const std::string path = benchPath();
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes, 1, sizeof bytes, f);
    std::fclose(f);
  }
  for (auto _ : state) {
    auto doc = newPaper();
    if (readNativeFile(path, *doc) != kRcOk) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(doc->layers()->count());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenLargeEmptyDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
