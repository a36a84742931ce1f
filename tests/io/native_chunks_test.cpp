// The layer and mask records with their tile blocks: every way a stored
// record or block can be wrong gives its code, and the list is left without
// a half-read item.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "core/block_compress.h"
#include "core/block_pool.h"
#include "core/mem_utils.h"
#include "core/parallel.h"
#include "io/native_layer_chunk.h"
#include "io/native_mask_chunk.h"
#include "io/native_tile_blocks.h"
#include "native_fixture.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;
using test::NativeDoc;

struct Mutation {
  const char* what;
  std::function<void(Bytes&)> change;
  FileResult code;
};

// The chunks of one layer of 64 x 40 (2 x 2 tiles): tile 0 holds pixels,
// the others are uniform, so the record (name "ab", 84 bytes) is followed
// by a packed block of one tile at 84 and a uniform block of three tiles.
class LayerChunk : public ::testing::Test {
 protected:
  LayerChunk() {
    CLayerData& l = source_.addLayer(1, 64, 40);
    l.name = "ab";
    for (int32_t i = 0; i < 4; ++i) l.image->tileRef(i) = STileRec{0x80000000u + uint32_t(i), 0};
    l.image->tileRef(0).block = 0;
    test::commitVaried(*l.image, 0, 5);
    CMemoryStream out;
    EXPECT_EQ(writeLayerChunks(out, l), kRcOk);
    bytes_ = out.bytes();
    uniformAt_ = 84 + 8 + chunkU32(bytes_.data() + 84 + 4);
  }

  // Reads the bytes as a layer chunk into an empty list.
  FileResult read(const Bytes& bytes, CLayerMngr& list) const {
    CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
    SChunkHead head;
    if (readChunkHead(in, head) != kRcOk) return FileResult(255);
    return readLayerChunk(in, list, head.size, nullProgress());
  }

  NativeDoc source_{64, 40};
  Bytes bytes_;
  int64_t uniformAt_ = 0;
};

TEST_F(LayerChunk, ReadsBackWhole) {
  CLayerMngr list;
  list.setDocumentSize(64, 40);
  ASSERT_EQ(read(bytes_, list), kRcOk);
  ASSERT_EQ(list.count(), 1);
  test::expectSameLayer(*source_.layers().getLayer(0), *list.getLayer(0));
  EXPECT_EQ(chunkU32(bytes_.data() + uniformAt_ + 20), 3u);
}

TEST_F(LayerChunk, EveryBadFieldGivesItsCode) {
  const int64_t p = 84;  // the packed block
  const int64_t u = uniformAt_;
  const Mutation cases[] = {
      {"record version 2", [](Bytes& b) { putChunkU16(b.data() + 62, 2); }, kRcVersion},
      {"record version 1", [](Bytes& b) { putChunkU16(b.data() + 62, 1); }, kRcOk},
      {"size below 72", [](Bytes& b) { putChunkU32(b.data() + 4, 71); }, kRcHeaderSize},
      {"record cut short", [](Bytes& b) { b.resize(50); }, kRcShortRead},
      {"name past the data", [](Bytes& b) { putChunkU32(b.data() + 4, 72 + 100000); }, kRcShortRead},
      {"tile width 16", [](Bytes& b) { putChunkU32(b.data() + 16, 16); }, kRcTileFormat},
      {"image width 0", [](Bytes& b) { putChunkU32(b.data() + 32, 0); }, kRcLayerCreate},
      {"image width 10,001", [](Bytes& b) { putChunkU32(b.data() + 32, 10001); }, kRcLayerCreate},
      {"columns not the image's", [](Bytes& b) { putChunkU32(b.data() + 24, 3); }, kRcTileOutside},
      {"rows not the image's", [](Bytes& b) { putChunkU32(b.data() + 28, 1); }, kRcTileOutside},
      {"block tag", [p](Bytes& b) { putChunkU32(b.data() + p, kTagMaskTiles); }, kRcWrongTag},
      {"block tile width 64", [p](Bytes& b) { putChunkU32(b.data() + p + 8, 64); }, kRcTileFormat},
      {"block tile height 16", [p](Bytes& b) { putChunkU32(b.data() + p + 12, 16); }, kRcTileFormat},
      {"no tiles", [p](Bytes& b) { putChunkU32(b.data() + p + 20, 0); }, kRcNoTiles},
      {"encoding 3", [p](Bytes& b) { putChunkU32(b.data() + p + 16, 3); }, kRcTileEncoding},
      {"raw count", [p](Bytes& b) { putChunkU32(b.data() + p + 28, 4095); }, kRcTileSizes},
      {"packed count 0", [p](Bytes& b) { putChunkU32(b.data() + p + 24, 0); }, kRcTileSizes},
      {"packed count past the block",
       [p](Bytes& b) { putChunkU32(b.data() + p + 24, chunkU32(b.data() + p + 4) - 31); },
       kRcTileSizes},
      {"block size below 32", [p](Bytes& b) { putChunkU32(b.data() + p + 4, 31); }, kRcTileSizes},
      {"packed data damaged", [p](Bytes& b) { b[size_t(p + 40 + chunkU32(b.data() + p + 24) / 2)] ^= 0x55; },
       kRcTileSizes},
      {"more tiles than the grid",
       [p](Bytes& b) {
         putChunkU32(b.data() + p + 20, 5);
         putChunkU32(b.data() + p + 28, 5 * 4096);
       },
       kRcTileOutside},
      {"seventeen packed tiles",
       [p](Bytes& b) {
         putChunkU32(b.data() + p + 20, 17);
         putChunkU32(b.data() + p + 28, 17 * 4096);
       },
       kRcTileSizes},
      {"uniform tiles past the grid", [u](Bytes& b) { putChunkU32(b.data() + u + 20, 4); }, kRcTileSizes},
      {"uniform block holding more than its tiles",
       [u](Bytes& b) {
         putChunkU32(b.data() + u + 20, 4);
         putChunkU32(b.data() + u + 4, 32 + 16);
         b.resize(b.size() + 4, 0);
       },
       kRcTileOutside},
      {"uniform values cut short", [](Bytes& b) { b.resize(b.size() - 2); }, kRcShortRead},
      {"uniform encoding 0", [u](Bytes& b) { putChunkU32(b.data() + u + 16, 0); }, kRcTileEncoding},
      {"blocks end early", [u](Bytes& b) { b.resize(size_t(u)); }, kRcShortRead},
      {"blend mode past the table", [](Bytes& b) { b[14] = 200; }, kRcOk},
      {"nominal width 0", [](Bytes& b) { putChunkU32(b.data() + 48, 0); }, kRcLayerCreate},
      {"nominal height past the largest image", [](Bytes& b) { putChunkU32(b.data() + 52, 10001); }, kRcLayerCreate},
      {"nominal width negative", [](Bytes& b) { putChunkU32(b.data() + 48, 0xFFFFFFF0u); }, kRcLayerCreate},
  };
  for (const Mutation& c : cases) {
    Bytes b = bytes_;
    c.change(b);
    CLayerMngr list;
    list.setDocumentSize(64, 40);
    EXPECT_EQ(read(b, list), c.code) << c.what;
    // A layer that fails is not left in the list.
    EXPECT_EQ(list.count(), c.code == kRcOk ? 1 : 0) << c.what;
    if (c.code == kRcOk) {
      EXPECT_LE(list.getLayer(0)->blendMode, 21) << c.what;
    }
  }
}

TEST_F(LayerChunk, BufferThatCannotBeHad) {
  // The tile the packed block unpacks into.
  tilePool().setFailAfter(0);
  CLayerMngr list;
  list.setDocumentSize(64, 40);
  const FileResult code = read(bytes_, list);
  tilePool().setFailAfter(-1);
  EXPECT_EQ(code, kRcOutOfMemory);
  EXPECT_EQ(list.count(), 0);
}

// A record whose image declares more tiles than the rest of the file can
// carry is refused before the image is made. The record (84 bytes with its
// name) is made to declare a 10,000 x 10,000 image of side x side tiles and
// followed by its own blocks alone, by one byte fewer than the fewest blocks
// of that grid (least), or by exactly that many. The tile pool refuses every
// block, so a reader that went on to place tiles would answer memory.
// read(bytes) answers the code and how many items the list then holds.
void expectGridProvedByTheBytes(const Bytes& record, uint32_t side, size_t least,
                                const std::function<std::pair<FileResult, int32_t>(const Bytes&)>& read) {
  struct Case {
    const char* what;
    size_t bytesAfterRecord;
    FileResult code;
  };
  for (const Case c : {Case{"the record's own blocks alone", 0, kRcShortRead},
                       Case{"one byte short of the fewest blocks", least - 1, kRcShortRead},
                       Case{"as many bytes as the fewest blocks", least, kRcOutOfMemory}}) {
    Bytes b = record;
    putChunkU32(b.data() + 24, side);
    putChunkU32(b.data() + 28, side);
    putChunkU32(b.data() + 32, 10000);
    putChunkU32(b.data() + 36, 10000);
    if (c.bytesAfterRecord > 0) b.resize(84 + c.bytesAfterRecord, 0);
    tilePool().setFailAfter(0);
    const auto [code, items] = read(b);
    tilePool().setFailAfter(-1);
    EXPECT_EQ(code, c.code) << c.what;
    EXPECT_EQ(items, 0) << c.what;
  }
}

// 313 x 313 tiles take at least 6,124 heads with one packed word each.
TEST_F(LayerChunk, GridTheFileCannotCarryIsRefusedBeforeTheImage) {
  expectGridProvedByTheBytes(bytes_, 313, 269456, [this](const Bytes& b) {
    CLayerMngr list;
    list.setDocumentSize(10000, 10000);
    const FileResult code = read(b, list);
    return std::make_pair(code, list.count());
  });
}

TEST_F(LayerChunk, StoredValuesAreBroughtIntoRange) {
  Bytes b = bytes_;
  putChunkU32(b.data() + 8, 500);         // index past the list: appended
  putChunkU32(b.data() + 40, 0x80000000);  // offset far outside
  putChunkU32(b.data() + 44, 20000);
  CLayerMngr list;
  list.setDocumentSize(64, 40);
  ASSERT_EQ(read(b, list), kRcOk);
  const CLayerData& l = *list.getLayer(0);
  EXPECT_EQ(l.index, 0);
  EXPECT_EQ(l.offsetX, -10000);
  EXPECT_EQ(l.offsetY, 10000);
}

// The nominal size is the one stored, also where the image is smaller (a
// small layer on a larger document) or larger.
TEST_F(LayerChunk, NominalSizeIsKeptAsStored) {
  struct Case {
    uint32_t w, h;
  };
  for (const Case c : {Case{1, 1}, Case{200, 150}, Case{64, 40}, Case{10000, 10000}}) {
    Bytes b = bytes_;
    putChunkU32(b.data() + 48, c.w);
    putChunkU32(b.data() + 52, c.h);
    CLayerMngr list;
    list.setDocumentSize(64, 40);
    ASSERT_EQ(read(b, list), kRcOk) << c.w;
    const CLayerData& l = *list.getLayer(0);
    EXPECT_EQ(l.width, int32_t(c.w));
    EXPECT_EQ(l.height, int32_t(c.h));
    EXPECT_EQ(l.imageWidth(), 64);
  }
}

TEST_F(LayerChunk, WithoutExtendedFieldsTheDefaultsStay) {
  Bytes b = bytes_;
  putChunkU16(b.data() + 12, 0x1 | 0x20);  // visible, dissolve, but not 0x10
  CLayerMngr list;
  list.setDocumentSize(64, 40);
  ASSERT_EQ(read(b, list), kRcOk);
  EXPECT_FALSE(list.getLayer(0)->dissolve);
  EXPECT_EQ(list.getLayer(0)->dissolveAmount, 255);
}

TEST_F(LayerChunk, UniformValuesReplaceHeldPixels) {
  CBlockVMTC image(64, 40);
  for (int32_t i = 0; i < 4; ++i) test::commitVaried(image, i, uint32_t(i));
  CFixedMemStream in(bytes_.data() + uniformAt_, int64_t(bytes_.size()) - uniformAt_);
  // The uniform block alone covers tiles 0..2 of a fresh cursor.
  EXPECT_EQ(readTileBlocks(in, image, kLayerTileBlocks), kRcShortRead);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(image.tileRef(i).committed()) << i;
    EXPECT_EQ(image.tileRef(i).uniform, 0x80000001u + uint32_t(i)) << i;
  }
  EXPECT_TRUE(image.tileRef(3).committed());
}

// Runs are compressed on several threads: the bytes must be those of one
// thread, for an image with many packed and uniform runs.
TEST(TileBlocks, BytesDoNotDependOnTheNumberOfThreads) {
  CBlockVMTC layer(1000, 700);
  std::mt19937 rng(3);
  for (int32_t i = 0; i < layer.tileCount(); ++i)
    if (rng() % 3 != 0) test::commitVaried(layer, i, rng());
  Bytes written[2];
  for (int k = 0; k < 2; ++k) {
    const int old = setParallelWorkers(k == 0 ? 1 : 4);
    CMemoryStream out;
    EXPECT_EQ(writeTileBlocks(out, layer, kLayerTileBlocks), kRcOk);
    setParallelWorkers(old);
    written[k] = out.bytes();
  }
  EXPECT_EQ(written[0], written[1]);
}

// Every tile of got is the one of want: committed with the same bytes, or
// uniform with the same colour.
void expectSameTiles(const CBlockVMTC& got, const CBlockVMTC& want) {
  for (int32_t i = 0; i < want.tileCount(); ++i) {
    const STileRec& w = want.tileRef(i);
    const STileRec& g = got.tileRef(i);
    ASSERT_EQ(g.committed(), w.committed()) << i;
    if (w.committed())
      ASSERT_EQ(std::memcmp(got.tileMemory(g), want.tileMemory(w), 4096), 0) << i;
    else
      ASSERT_EQ(g.uniform, w.uniform) << i;
  }
}

// Packed blocks expand on several threads, a batch at a time: the tiles must
// be those written whatever the number of threads, and a broken block must
// answer before a fault found further on in the file.
TEST(TileBlocks, ReadingDoesNotDependOnTheNumberOfThreads) {
  CBlockVMTC layer(2000, 1400);  // enough packed blocks for several batches
  std::mt19937 rng(11);
  for (int32_t i = 0; i < layer.tileCount(); ++i)
    if (rng() % 3 != 0) test::commitVaried(layer, i, rng());
    else layer.tileRef(i).uniform = rng();
  CMemoryStream out;
  ASSERT_EQ(writeTileBlocks(out, layer, kLayerTileBlocks), kRcOk);
  const Bytes bytes = out.bytes();
  // The first, the last but one and the last packed block.
  int64_t firstPacked = -1, lastPacked = -1, beforeLast = -1;
  for (int64_t at = 0; at < int64_t(bytes.size()); at += kChunkHeadBytes + chunkU32(bytes.data() + at + 4))
    if (chunkU32(bytes.data() + at + 16) == 1) {
      if (firstPacked < 0) firstPacked = at;
      beforeLast = lastPacked;
      lastPacked = at;
    }
  ASSERT_GE(firstPacked, 0);
  ASSERT_GT(beforeLast, firstPacked);

  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    FileResult code;
  };
  const Case cases[] = {
      {"whole", [](Bytes&) {}, kRcOk},
      {"first packed data damaged, file cut short later",
       [&](Bytes& b) {
         b[size_t(firstPacked + kTileBlockHeadBytes + 2)] ^= 0xFF;
         b.resize(size_t(lastPacked + 20));
       },
       kRcTileSizes},
      {"last packed data damaged", [&](Bytes& b) { b[size_t(lastPacked + kTileBlockHeadBytes + 2)] ^= 0xFF; },
       kRcTileSizes},
      {"a block damaged, the next cut short",
       [&](Bytes& b) {
         b[size_t(beforeLast + kTileBlockHeadBytes + 2)] ^= 0xFF;
         b.resize(size_t(lastPacked + 20));
       },
       kRcTileSizes},
      {"cut short", [&](Bytes& b) { b.resize(size_t(lastPacked + 20)); }, kRcShortRead},
  };
  for (const Case& c : cases)
    for (int workers : {1, 4}) {
      Bytes b = bytes;
      c.damage(b);
      const int old = setParallelWorkers(workers);
      CBlockVMTC image(2000, 1400);
      CFixedMemStream in(b.data(), int64_t(b.size()));
      const FileResult code = readTileBlocks(in, image, kLayerTileBlocks);
      setParallelWorkers(old);
      EXPECT_EQ(code, c.code) << c.name << ", " << workers << " threads";
      if (c.code != kRcOk) continue;
      SCOPED_TRACE(workers);
      expectSameTiles(image, layer);
    }
}

// A file's images share one stock of buffers for their packed bytes: a read
// that stops early gives its buffers back too, and every image read after it
// gets the tiles written, however many blocks the stock saw before.
TEST(TileBlocks, ImagesReadInOneScopeShareTheirBuffers) {
  CBlockVMTC layer(1200, 900);
  std::mt19937 rng(3);
  for (int32_t i = 0; i < layer.tileCount(); ++i)
    if (rng() % 4 != 0) test::commitVaried(layer, i, rng());
  CMemoryStream out;
  ASSERT_EQ(writeTileBlocks(out, layer, kLayerTileBlocks), kRcOk);
  const Bytes whole = out.bytes();
  const Bytes cut(whole.begin(), whole.begin() + ptrdiff_t(whole.size() / 2));
  const CTileBlockBufferScope scope;
  for (int workers : {4, 1, 4}) {
    const int old = setParallelWorkers(workers);
    CBlockVMTC broken(1200, 900), image(1200, 900);
    CFixedMemStream cutIn(cut.data(), int64_t(cut.size())), in(whole.data(), int64_t(whole.size()));
    const FileResult cutCode = readTileBlocks(cutIn, broken, kLayerTileBlocks);
    const FileResult code = readTileBlocks(in, image, kLayerTileBlocks);
    setParallelWorkers(old);
    EXPECT_EQ(cutCode, kRcShortRead);
    ASSERT_EQ(code, kRcOk) << workers;
    SCOPED_TRACE(workers);
    expectSameTiles(image, layer);
  }
}

// The densest blocks the writer makes (flat committed tiles, packed sixteen
// at a time, and one uniform run over a whole 10,000 x 10,000 image) still
// carry the tiles they declare.
TEST(TileBlocks, LargestAndDensestImagesReadBack) {
  struct Case {
    const char* what;
    int32_t w, h;
    int32_t committedEvery;  // every n-th tile committed flat, 0 for none
  };
  for (const Case c : {Case{"every tile committed and flat", 10000, 96, 1},
                       Case{"the largest image, a few tiles committed", 10000, 10000, 40000}}) {
    CLayerData source(0);
    source.image = std::make_unique<CBlockVMTC>(c.w, c.h);
    CBlockVMTC& img = *source.image;
    for (int32_t i = 0; c.committedEvery > 0 && i < img.tileCount(); i += c.committedEvery) {
      STileRec& t = img.tileRef(i);
      t.uniform = 0xFF000000u | uint32_t(i);
      ASSERT_TRUE(img.commitTile(t)) << c.what;
    }
    source.width = c.w;
    source.height = c.h;
    CMemoryStream out;
    ASSERT_EQ(writeLayerChunks(out, source), kRcOk) << c.what;
    CFixedMemStream in(out.memory(), out.size());
    SChunkHead head;
    ASSERT_EQ(readChunkHead(in, head), kRcOk) << c.what;
    CLayerMngr list;
    list.setDocumentSize(c.w, c.h);
    ASSERT_EQ(readLayerChunk(in, list, head.size, nullProgress()), kRcOk) << c.what;
    const CBlockVMTC& read = *list.getLayer(0)->image;
    for (int32_t i = 0; c.committedEvery > 0 && i < img.tileCount(); i += c.committedEvery)
      EXPECT_EQ(read.getPixel(read.tileX(read.tileRef(i)), read.tileY(read.tileRef(i))), 0xFF000000u | uint32_t(i))
          << c.what << " tile " << i;
  }
}

TEST(TileBlocks, ImageOfAnotherTileSizeIsRefused) {
  CBlockVCH mask(64, 64);
  CMemoryStream out;
  EXPECT_EQ(writeTileBlocks(out, mask, kLayerTileBlocks), kRcTileFormat);
  CBlockVMTC layer(32, 32);
  EXPECT_EQ(writeTileBlocks(out, layer, kMaskTileBlocks), kRcMaskTileFormat);
  EXPECT_EQ(out.size(), 0);
}

// A document of 100 x 70 with an empty mask and one of 100 x 70 (2 x 2
// tiles): tile 0 holds values, the others are uniform; the record (name
// "m", 84 bytes) is followed by a packed block at 84 and a uniform block.
class MaskChunk : public ::testing::Test {
 protected:
  MaskChunk() {
    CMaskData& m = source_.addMask(1, 100, 70, -3, 4);
    m.name = "m";
    for (int32_t i = 0; i < 4; ++i) m.image->tileRef(i) = STileRec{uint32_t(10 + i), 0};
    test::commitVaried(*m.image, 0, 3);
    CMemoryStream out;
    EXPECT_EQ(writeMaskChunks(out, m, 100, 70), kRcOk);
    bytes_ = out.bytes();
    uniformAt_ = 84 + 8 + chunkU32(bytes_.data() + 84 + 4);
  }

  FileResult read(const Bytes& bytes, CMaskMngr* list) const {
    CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
    SChunkHead head;
    if (readChunkHead(in, head) != kRcOk) return FileResult(255);
    return readMaskChunk(in, list, head.size, nullProgress());
  }

  static std::unique_ptr<CMaskMngr> emptyList() {
    auto list = std::make_unique<CMaskMngr>();
    list->setDocumentSize(100, 70);
    list->clear();
    return list;
  }

  NativeDoc source_{100, 70};
  Bytes bytes_;
  int64_t uniformAt_ = 0;
};

TEST_F(MaskChunk, ReadsBackWhole) {
  auto list = emptyList();
  ASSERT_EQ(read(bytes_, list.get()), kRcOk);
  ASSERT_EQ(list->count(), 1);
  test::expectSameMask(*source_.masks().getMask(1), *list->getMask(0), false);
  EXPECT_EQ(chunkU32(bytes_.data() + 48), 100u);
  EXPECT_EQ(chunkU32(bytes_.data() + 52), 70u);
  EXPECT_EQ(chunkU32(bytes_.data() + 12), kMaskHasImage);
}

TEST_F(MaskChunk, MaskWithoutImageIsItsRecordAlone) {
  const CMaskData& empty = *source_.masks().getMask(0);
  CMemoryStream out;
  ASSERT_EQ(writeMaskChunks(out, empty, 100, 70), kRcOk);
  EXPECT_EQ(out.size(), 80 + int64_t(paddedTo4(empty.name.size() + 1)));
  EXPECT_EQ(chunkU32(out.memory() + 12), 0u);
  EXPECT_EQ(chunkU32(out.memory() + 16), 0u);
  auto list = emptyList();
  ASSERT_EQ(read(out.bytes(), list.get()), kRcOk);
  ASSERT_EQ(list->count(), 1);
  EXPECT_FALSE(list->getMask(0)->hasImage());
  EXPECT_EQ(list->getMask(0)->name, empty.name);
}

TEST_F(MaskChunk, EveryBadFieldGivesItsCode) {
  const int64_t p = 84;
  const int64_t u = uniformAt_;
  const Mutation cases[] = {
      {"record version 1", [](Bytes& b) { putChunkU16(b.data() + 62, 1); }, kRcVersion},
      {"size below 72", [](Bytes& b) { putChunkU32(b.data() + 4, 10); }, kRcHeaderSize},
      {"record cut short", [](Bytes& b) { b.resize(40); }, kRcShortRead},
      {"image width 0 with tiles", [](Bytes& b) { putChunkU32(b.data() + 32, 0); }, kRcMaskCreate},
      {"image height 10,001", [](Bytes& b) { putChunkU32(b.data() + 36, 10001); }, kRcMaskCreate},
      {"tile width 32", [](Bytes& b) { putChunkU32(b.data() + 16, 32); }, kRcMaskTileFormat},
      {"columns not the image's", [](Bytes& b) { putChunkU32(b.data() + 24, 1); }, kRcMaskTileOutside},
      {"block tag", [p](Bytes& b) { putChunkU32(b.data() + p, kTagLayerTiles); }, kRcWrongTag},
      {"block tile width 32", [p](Bytes& b) { putChunkU32(b.data() + p + 8, 32); }, kRcMaskTileFormat},
      {"no tiles", [p](Bytes& b) { putChunkU32(b.data() + p + 20, 0); }, kRcMaskNoTiles},
      {"encoding 7", [p](Bytes& b) { putChunkU32(b.data() + p + 16, 7); }, kRcMaskTileEncoding},
      {"raw count", [p](Bytes& b) { putChunkU32(b.data() + p + 28, 1); }, kRcMaskTileSizes},
      {"packed data damaged", [p](Bytes& b) { b[size_t(p + 40 + 2)] ^= 0xFF; }, kRcMaskTileSizes},
      {"uniform values past the block", [u](Bytes& b) { putChunkU32(b.data() + u + 20, 9); }, kRcMaskTileSizes},
      {"more tiles than the grid",
       [p](Bytes& b) {
         putChunkU32(b.data() + p + 20, 9);
         putChunkU32(b.data() + p + 28, 9 * 4096);
       },
       kRcMaskTileOutside},
      {"blocks end early", [u](Bytes& b) { b.resize(size_t(u) + 10); }, kRcShortRead},
      {"without image flag the tiles are not read", [](Bytes& b) { putChunkU32(b.data() + 12, 0); }, kRcOk},
  };
  for (const Mutation& c : cases) {
    Bytes b = bytes_;
    c.change(b);
    auto list = emptyList();
    EXPECT_EQ(read(b, list.get()), c.code) << c.what;
    EXPECT_EQ(list->count(), c.code == kRcOk ? 1 : 0) << c.what;
  }
}

// 157 x 157 mask tiles take at least 1,541 heads with one packed word each.
TEST_F(MaskChunk, GridTheFileCannotCarryIsRefusedBeforeTheImage) {
  expectGridProvedByTheBytes(bytes_, 157, 67804, [this](const Bytes& b) {
    auto list = emptyList();
    const FileResult code = read(b, list.get());
    return std::make_pair(code, list->count());
  });
}

TEST_F(MaskChunk, ListThatCannotTakeTheMask) {
  EXPECT_EQ(read(bytes_, nullptr), kRcNoMaskList);
  auto list = emptyList();
  for (int32_t i = 0; i < kMaxFileMasks; ++i) list->insertMask(i, std::make_unique<CMaskData>(i));
  EXPECT_EQ(read(bytes_, list.get()), kRcMaskAdd);
  EXPECT_EQ(list->count(), kMaxFileMasks);
}

}  // namespace
}  // namespace pg
