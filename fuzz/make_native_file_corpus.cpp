// Writes the seed corpus of the native_file fuzz target into the folder given
// as the argument: documents written by the native writer (one layer;
// several layers with offsets, opacity, blend modes and hidden layers; masks;
// events in both forms; large ones), and truncated and corrupted copies; prints the
// reader's result for each. Build target make_native_file_corpus; run it as
//   build/fuzz/make_native_file_corpus fuzz/corpus/native_file
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "core/chunk_head.h"
#include "core/streams.h"
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
#include "platform/message_service.h"
#include "record/event_file.h"
#include "record/event_store.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

std::string gFolder;

class SilentMessages final : public MessageService {
 public:
  void warning(const std::string&) override {}
  void information(const std::string&) override {}
  int question(const std::string&, MessageButtons buttons) override { return refusingAnswer(buttons); }
};

// Writes one seed and prints the reader's result for it.
void save(const char* name, const Bytes& bytes) {
  std::ofstream out(gFolder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  TPaper doc(nullptr, services);
  CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
  std::printf("%-32s %6zu bytes  %3d\n", name, bytes.size(), int{fileResultNumber(readNativeStream(in, doc, name))});
}

std::unique_ptr<TPaper> newDocument(int32_t w, int32_t h) {
  DocServices services;
  services.makeRecorder = eventStoreRecorderFactory();
  auto doc = std::make_unique<TPaper>(nullptr, services);
  (void)doc->setSize(nullptr, w, h);  // a small document: fails only without memory
  return doc;
}

// A layer whose tiles are uniform or hold seeded pixels (one tile in
// committedOneIn on average).
CLayerData& addLayer(TPaper& doc, uint32_t seed, int32_t w, int32_t h, uint8_t mode, uint32_t committedOneIn = 2) {
  CLayerMngr& layers = *doc.layers();
  CLayerData& l = *layers.getLayer(layers.addLayer(w, h, mode, false, 255, true));
  std::mt19937 rng(seed);
  for (int32_t i = 0; i < l.image->tileCount(); ++i) {
    STileRec& t = l.image->tileRef(i);
    if (rng() % committedOneIn != 0) {
      t.uniform = rng();
      continue;
    }
    if (!l.image->commitTile(t)) std::abort();
    // Mostly a gradient, with a few seeded pixels: small when packed.
    for (int32_t k = 0; k < 1024; ++k) l.image->tilePixels(t)[k] = rng() % 32 ? 0xFF102030u + uint32_t(k >> 5) : rng();
  }
  l.name = "layer " + std::to_string(seed);
  return l;
}

CMaskData& addMask(TPaper& doc, uint32_t seed, int32_t w, int32_t h, int32_t ox, int32_t oy,
                   uint32_t committedOneIn = 2) {
  CMaskMngr& masks = *doc.masks();
  auto m = CMaskData::createSized(masks.count(), w, h);
  std::mt19937 rng(seed);
  for (int32_t i = 0; i < m->image->tileCount(); ++i) {
    STileRec& t = m->image->tileRef(i);
    if (rng() % committedOneIn != 0) {
      t.uniform = rng() & 0xFF;
      continue;
    }
    if (!m->image->commitTile(t)) std::abort();
    uint8_t* p = m->image->tileMemory(t);
    for (int32_t k = 0; k < 4096; ++k) p[k] = rng() % 32 ? uint8_t(k >> 6) : uint8_t(rng());
  }
  m->offsetX = ox;
  m->offsetY = oy;
  m->name = "mask " + std::to_string(seed);
  masks.insertMask(masks.count(), std::move(m));
  masks.renumber();
  return *masks.getMask(masks.count() - 1);
}

Bytes written(TPaper& doc, uint32_t flags) {
  const std::string path = gFolder + "/.writing.kci";
  doc.redraw(false);
  if (!writeNativeFile(path, doc, flags)) std::fprintf(stderr, "writing failed\n");
  std::ifstream in(path, std::ios::binary);
  Bytes b((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove(path);
  return b;
}

// Where the first chunk of the tag starts; the file's size when none.
size_t chunkAt(const Bytes& b, uint32_t tag, int nth = 0) {
  for (size_t at = 56; at + 8 <= b.size(); at += 8 + chunkU32(b.data() + at + 4))
    if (chunkU32(b.data() + at) == tag && nth-- == 0) return at;
  return b.size();
}

Bytes cut(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + long(std::min(n, b.size()))); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  SilentMessages silent;
  setMessageService(&silent);
  const uint32_t base = kNativeLayers | kNativeThumbnail;

  auto one = newDocument(40, 30);
  addLayer(*one, 1, 40, 30, 3);
  const Bytes oneLayer = written(*one, base);
  save("valid_one_layer", oneLayer);
  save("valid_one_layer_no_thumbnail", written(*one, kNativeLayers));

  auto many = newDocument(48, 40);
  addLayer(*many, 2, 48, 40, 0);
  CLayerData& big = addLayer(*many, 3, 80, 64, 8);
  big.offsetX = 20;
  big.offsetY = 11;
  big.opacity = 90;
  big.dissolve = true;
  big.dissolveAmount = 60;
  CLayerData& hidden = addLayer(*many, 4, 48, 40, 21);
  hidden.visible = false;
  hidden.protectAlpha = true;
  many->layers()->setCurrent(1);
  const Bytes layers = written(*many, base);
  save("valid_layers", layers);

  addMask(*many, 5, 48, 40, 0, 0);
  addMask(*many, 6, 20, 70, -6, 9);
  many->masks()->setCurrent(2);
  many->undoSetSelectionFlags(true, true);
  const Bytes masks = written(*many, base | kNativeMasks);
  save("valid_masks", masks);

  for (int i = 0; i < 4; ++i) (void)many->setPaperColor(PaperColor::fromPixel(0x203040u + uint32_t(i)), true);  // as above
  const Bytes events = written(*many, base | kNativeMasks | kNativeEvents);
  save("valid_events", events);
  // The same document with its recording in the unpacked container form.
  {
    Bytes b = cut(events, chunkAt(events, kTagEventsPacked));
    CMemoryStream container;
    if (writeEventContainer(container, *documentEventStore(*many), 48, 40) != kRcOk) std::abort();
    b.insert(b.end(), container.bytes().begin(), container.bytes().end());
    save("valid_events_container", b);
  }

  // Large documents that stay cheap to open: the largest width and the
  // largest height at a small area, with layers, masks and a recording; one
  // of the largest size with a small layer; and one whose layer declares
  // the largest image but whose file ends after a few of its tiles.
  for (const bool wide : {true, false}) {
    const int32_t w = wide ? 10000 : 40, h = wide ? 40 : 10000;
    auto strip = newDocument(w, h);
    addLayer(*strip, 7, w, h, 3, 25);
    CLayerData& moved = addLayer(*strip, 8, wide ? 3000 : 40, wide ? 40 : 3000, 12, 25);
    (wide ? moved.offsetX : moved.offsetY) = 6000;
    addMask(*strip, 9, w, h, 0, 0, 25);
    for (int i = 0; i < 3; ++i) (void)strip->setPaperColor(PaperColor::fromPixel(0x405060u + uint32_t(i)), true);  // as above
    save(wide ? "valid_wide_document" : "valid_tall_document",
         written(*strip, base | kNativeMasks | kNativeEvents));
  }
  Bytes largest;
  {
    auto large = newDocument(10000, 10000);
    addLayer(*large, 10, 64, 64, 3);
    largest = written(*large, base);
    save("valid_largest_document_small_layer", largest);
  }
  {
    Bytes b = largest;
    const size_t at = chunkAt(b, kTagLayer);
    putChunkU32(b.data() + at + 24, 313);
    putChunkU32(b.data() + at + 28, 313);
    putChunkU32(b.data() + at + 32, 10000);
    putChunkU32(b.data() + at + 36, 10000);
    save("broken_largest_layer_without_its_tiles", b);
  }

  // Cut short at every kind of place.
  save("broken_empty", {});
  save("broken_cut_header", cut(oneLayer, 30));
  save("broken_cut_thumbnail", cut(oneLayer, 56 + 60));
  save("broken_cut_layer_record", cut(layers, chunkAt(layers, kTagLayer) + 40));
  save("broken_cut_tile_block", cut(layers, chunkAt(layers, kTagLayerTiles, 1) + 50));
  save("broken_cut_mask", cut(masks, chunkAt(masks, kTagMaskTiles) + 20));
  save("broken_cut_events", cut(events, events.size() - 5));

  // Fields out of place.
  Bytes b = oneLayer;
  putChunkU32(b.data() + 8, 10001);
  save("broken_width", b);
  b = oneLayer;
  putChunkU32(b.data() + 16, 2);
  save("broken_version", b);
  b = layers;
  putChunkU16(b.data() + 32, 900);  // current layer past the list
  putChunkU16(b.data() + 40, 60000);
  save("broken_header_counts", b);
  b = layers;
  putChunkU32(b.data() + chunkAt(b, kTagLayer, 1) + 32, 0x7FFFFFFF);
  save("broken_layer_width", b);
  b = layers;
  b[chunkAt(b, kTagLayer, 1) + 14] = 250;
  putChunkU32(b.data() + chunkAt(b, kTagLayer, 1) + 40, 0x80000000u);
  save("broken_layer_mode_offset", b);
  b = layers;
  putChunkU32(b.data() + chunkAt(b, kTagLayerTiles) + 28, 1);
  save("broken_tile_raw_count", b);
  b = layers;
  putChunkU32(b.data() + chunkAt(b, kTagLayerTiles) + 20, 100000);
  save("broken_tile_count", b);
  b = layers;
  b[chunkAt(b, kTagLayerTiles) + 45] ^= 0x77;
  save("broken_tile_data", b);
  b = layers;
  putChunkU32(b.data() + chunkAt(b, kTagLayerTiles) + 16, 9);
  save("broken_tile_encoding", b);
  b = layers;
  putChunkU32(b.data() + chunkAt(b, kTagLayer) + 4, 0xFFFFFFF0u);
  save("broken_layer_size", b);
  b = masks;
  putChunkU32(b.data() + chunkAt(b, kTagMask, 1) + 24, 77);
  save("broken_mask_grid", b);
  b = masks;
  putChunkU32(b.data() + chunkAt(b, kTagMaskTiles) + 8, 32);
  save("broken_mask_tile_size", b);
  b = oneLayer;
  putChunkU32(b.data() + 56 + 8 + 24, 9999);  // thumbnail wider than it may be
  save("broken_thumbnail_width", b);
  b = oneLayer;
  b[56 + 48 + 3] ^= 0x01;  // scrambled data that no longer unpacks
  save("broken_thumbnail_data", b);
  b = events;
  putChunkU32(b.data() + chunkAt(b, kTagEventsPacked) + 56 + 8, 4);
  save("broken_event_block", b);
  b = oneLayer;
  for (uint32_t tag : {chunkTag("ABCD"), kTagLayerTiles, kTagEventBlock, kTagThumbnail}) {
    const size_t at = b.size();
    b.resize(at + 12, 0);
    storeChunkHead(b.data() + at, {tag, 4});
  }
  save("broken_stray_chunks", b);
  return 0;
}
