// Writes the seed corpus of the legacy_document fuzz target into the folder
// given as the argument: documents written by our own test writer, large
// ones among them, and cut and corrupted ones. Build target
// make_legacy_document_corpus; run it as
//   build/fuzz/make_legacy_document_corpus fuzz/corpus/legacy_document
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "io/legacy_document_fixture.h"
#include "record/legacy_stream_fixture.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

std::string gFolder;

void save(const char* name, const Bytes& bytes) {
  std::ofstream out(gFolder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::printf("%-24s %zu bytes\n", name, bytes.size());
}

std::vector<uint32_t> picture(int32_t w, int32_t h, uint32_t seed) {
  std::vector<uint32_t> p(size_t(w * h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p[size_t(y * w + x)] = (x * 7 / w + y * 5 / h) % 2 == 0 ? seed : (seed ^ uint32_t(x * 0x030201 + y * 0x10));
  return p;
}

// Bands of one colour a few hundred pixels long, with a few single pixels:
// mostly the longest runs, as a large picture packs.
std::vector<uint32_t> bands(int32_t w, int32_t h, uint32_t seed) {
  std::vector<uint32_t> p(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p[size_t(y) * size_t(w) + size_t(x)] = (x % 997 == 0) ? uint32_t(x * 31 + y) : seed + uint32_t((x / 300 + y / 50) % 7);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  const int32_t w = 96, h = 64;
  test::LegacyStream events(w, h);
  events.stroke(0, 0, 0x203040, 3 * 256, {{5, 5, 1024}, {40, 20, 700}, {80, 50, 300}})
      .polygon(1, nullptr, {{10, 10}, {50, 12}, {30, 60}})
      .record(258, {})
      .end();
  SLegacyDocHeader head = test::legacyHeader(w, h);
  head.currentLayer = 1;
  const std::vector<test::LegacyDocLayerData> layers = {
      {{0, 255, 1}, picture(w, h, 0xE0D0C0)},
      {{3, 200, 1}, picture(w, h, 0x2060A0)},
  };
  const Bytes doc = test::writeLegacyDocument(head, layers, events.bytes());
  save("two_layers.lgb", doc);
  save("no_events.lgb", test::writeLegacyDocument(head, layers, {}));
  SLegacyDocHeader stored = head;
  stored.storage = 1;
  save("no_layers.lgb", test::writeLegacyDocument(stored, layers, events.bytes()));
  Bytes cut = doc;
  cut.resize(doc.size() / 2);
  save("cut.lgb", cut);
  Bytes badEvents = doc;
  badEvents[badEvents.size() - events.bytes().size()] = 0x05;
  save("bad_events.lgb", badEvents);
  Bytes bigLayerCount = doc;
  bigLayerCount[20] = 255;
  save("layer_count.lgb", bigLayerCount);

  // Large documents that stay cheap to read: layers of the largest width
  // and of the largest height at a small area; one of the largest size whose
  // first layer's bytes cannot fill it; one whose second layer has no bytes.
  const std::vector<test::LegacyDocLayerData> wide = {{{0, 255, 1}, bands(10000, 4, 0x808080)},
                                                      {{5, 128, 1}, bands(10000, 4, 0x204060)}};
  save("large_wide.lgb", test::writeLegacyDocument(test::legacyHeader(10000, 4), wide, {}));
  save("large_tall.lgb",
       test::writeLegacyDocument(test::legacyHeader(3, 10000), {{{3, 255, 1}, bands(3, 10000, 0xC0A080)}}, {}));
  Bytes unfilled = test::writeLegacyDocument(test::legacyHeader(10000, 4), wide, {});
  putChunkU32(unfilled.data() + 12, 10000);  // the height: the first layer's bytes fill 4 rows
  save("large_size_unfilled.lgb", unfilled);
  Bytes secondEmpty = test::writeLegacyDocument(test::legacyHeader(10000, 4), wide, {});
  secondEmpty.resize(secondEmpty.size() / 2 + 12);
  save("large_second_layer_cut.lgb", secondEmpty);
  return 0;
}
