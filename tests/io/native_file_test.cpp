// The native file as a whole: what the writer puts where, what the reader
// makes of it, and how each fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/mem_utils.h"
#include "core/parallel.h"
#include "core/planes.h"
#include "io/file_result_text.h"
#include "io/native_file_reader.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/native_layer_chunk.h"
#include "io/native_tile_blocks.h"
#include "io/thumbnail_chunk.h"
#include "native_fixture.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/packet_walker.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace native_file_test {

using test::NativeDoc;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kAll = kNativeLayers | kNativeMasks | kNativeThumbnail | kNativeEvents;

Bytes fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void putFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class NativeFile : public ::testing::Test {
 protected:
  NativeFile() : scoped_(messages_) {}

  std::string path(const std::string& name = "doc.kci") const { return folder_.file(name); }

  // Writes the document and reads it into a fresh one; both must succeed.
  std::unique_ptr<NativeDoc> roundTrip(NativeDoc& source, uint32_t flags) {
    EXPECT_TRUE(writeNativeFile(path(), *source.doc, flags));
    auto loaded = std::make_unique<NativeDoc>(0, 0);
    EXPECT_EQ(readNativeFile(path(), *loaded->doc), kRcOk);
    return loaded;
  }

  // Reads the bytes as a file into a fresh document: the code must be the
  // one given, and a refused file must leave the document untouched.
  void expectReadOrUntouched(const Bytes& file, FileResult code, const char* what) const {
    putFile(path("case.kci"), file);
    NativeDoc target(0, 0);
    EXPECT_EQ(readNativeFile(path("case.kci"), *target.doc), code) << what;
    if (code != kRcOk) {
      EXPECT_EQ(target.doc->width(), 0) << what;
      EXPECT_EQ(target.doc->layers()->count(), 0) << what;
      EXPECT_FALSE(target.doc->isReady()) << what;
    }
  }

  std::vector<std::string> shown() const {
    std::vector<std::string> texts;
    for (const auto& m : messages_.shown()) texts.push_back(m.text);
    return texts;
  }

  testing::TempFolder folder_;
  RecordingMessageService messages_;
  ScopedMessageService scoped_;
};

// A document with everything the file carries.
void furnish(NativeDoc& d) {
  d.record(5);
  d.doc->setResolution(350);
  d.doc->setBackgroundFlags(false, true);
  d.doc->setPaperColorValue(PaperColor::fromPixel(0x00C0B0A0));
  CLayerData& a = d.addLayer(1);
  a.opacity = 128;
  CLayerData& b = d.addLayer(2, 160, 96, 8);  // larger than the document, placed by its offset
  b.offsetX = 33;
  b.offsetY = 9;
  b.protectAlpha = true;
  b.dissolve = true;
  b.dissolveAmount = 77;
  b.seedRandom(0xDEADBEEF);
  CLayerData& c = d.addLayer(3, -1, -1, 21);
  c.visible = false;
  c.name = "";
  d.layers().setCurrent(1);
  d.layers().setNameCounter(41);
  // The list's first, empty mask, and two with images.
  d.addMask(4, 90, 64, -5, 12);
  d.addMask(5, 130, 200, 20, 0);
  d.masks().setCurrent(1);
  d.masks().setNameCounter(7);
  d.doc->undoSetSelectionFlags(true, true);
  d.doc->redraw(false);
}

TEST_F(NativeFile, RoundTripOfEverything) {
  NativeDoc source(100, 70);
  furnish(source);
  auto loaded = roundTrip(source, kAll);
  const TPaper& a = *source.doc;
  const TPaper& b = *loaded->doc;
  EXPECT_TRUE(messages_.shown().empty()) << shown().front();

  EXPECT_EQ(b.name(), path());
  EXPECT_EQ(b.width(), 100);
  EXPECT_EQ(b.height(), 70);
  EXPECT_EQ(b.resolution(), 350);
  EXPECT_FALSE(b.showCanvasColor());
  EXPECT_TRUE(b.showBgPattern());
  EXPECT_EQ(b.paperColor(), a.paperColor());
  EXPECT_TRUE(b.isReady());

  ASSERT_EQ(b.layers()->count(), 3);
  for (int32_t i = 0; i < 3; ++i) test::expectSameLayer(*a.layers()->getLayer(i), *b.layers()->getLayer(i));
  EXPECT_EQ(b.layers()->current(), 1);
  EXPECT_EQ(b.layers()->nameCounter(), 41);

  ASSERT_EQ(b.masks()->count(), 3);
  for (int32_t i = 0; i < 3; ++i) test::expectSameMask(*a.masks()->getMask(i), *b.masks()->getMask(i));
  EXPECT_EQ(b.masks()->current(), 1);
  EXPECT_EQ(b.masks()->nameCounter(), 7);
  EXPECT_TRUE(b.antsShown());
  EXPECT_TRUE(b.selectionEnabled());
  EXPECT_TRUE(b.masks()->hasAnts());

  // The recording comes back whole, followed by the reset point the reader
  // writes, and walks.
  const CEventMngr& store = loaded->store();
  const std::vector<uint8_t> saved = test::committedStream(source.store());
  const std::vector<uint8_t> back = test::committedStream(store);
  ASSERT_GT(back.size(), saved.size());
  EXPECT_TRUE(std::equal(saved.begin(), saved.end(), back.begin()));
  EXPECT_EQ(store.committedCount(), source.store().committedCount() + 1);
  EXPECT_TRUE(walkPackets(store.source(), 0, store.writePosition()).wellFormed());
  EXPECT_TRUE(store.isRecording());

  // The thumbnail is the source's picture, and the loaded document's
  // composite shows the same picture.
  TMTC expected, thumb, again;
  ASSERT_TRUE(makeDocumentThumbnail(*source.doc, expected));
  uint32_t w = 0, h = 0;
  ASSERT_EQ(readNativeThumbnail(path(), thumb, w, h), kRcOk);
  EXPECT_EQ(w, 100u);
  EXPECT_EQ(h, 70u);
  ASSERT_EQ(thumb.size(), expected.size());
  ASSERT_TRUE(makeDocumentThumbnail(*loaded->doc, again));
  for (int32_t y = 0; y < thumb.Height; ++y)
    for (int32_t x = 0; x < thumb.Width; ++x) {
      ASSERT_EQ(thumb.getPixel(x, y), expected.getPixel(x, y)) << x << "," << y;
      ASSERT_EQ(again.getPixel(x, y), expected.getPixel(x, y)) << x << "," << y;
    }
}

TEST_F(NativeFile, WrittenAgainGivesTheSameBytes) {
  // The recording is left out: reading adds its reset point to it.
  const uint32_t flags = kAll & ~kNativeEvents;
  NativeDoc source(70, 45);
  furnish(source);
  ASSERT_TRUE(writeNativeFile(path("a.kci"), *source.doc, flags));
  NativeDoc loaded(0, 0);
  ASSERT_EQ(readNativeFile(path("a.kci"), *loaded.doc), kRcOk);
  ASSERT_TRUE(writeNativeFile(path("b.kci"), *loaded.doc, flags));
  EXPECT_EQ(fileBytes(path("a.kci")), fileBytes(path("b.kci")));
}

TEST_F(NativeFile, HeaderFields) {
  NativeDoc source(123, 45);
  furnish(source);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kAll));
  const Bytes file = fileBytes(path());
  ASSERT_GE(file.size(), 56u);
  EXPECT_EQ(checkNativeHeader(file.data()), kRcOk);
  const SNativeHeader h = parseNativeHeader(file.data());
  EXPECT_EQ(h.width, 123u);
  EXPECT_EQ(h.height, 45u);
  EXPECT_EQ(h.version, 1u);
  EXPECT_EQ(chunkU16(file.data() + 20), 4);
  EXPECT_EQ(chunkU16(file.data() + 22), 58);
  EXPECT_EQ(h.flags, kAll | kNativeAntsShown | kNativeSelectionEnabled | kNativeCanvasColorOff | kNativeBgPattern |
                         kNativeLayerCounter | kNativeMaskCounter);
  EXPECT_EQ(h.paperColor, 0x00C0B0A0u);
  EXPECT_EQ(h.currentLayer, 1);
  EXPECT_EQ(h.currentMask, 1);
  EXPECT_EQ(h.resolution, 350);
  EXPECT_EQ(h.layerCount, 3);
  EXPECT_EQ(h.layerNameCounter, 41);
  EXPECT_EQ(h.maskCount, 3);
  EXPECT_EQ(h.maskNameCounter, 7);
  for (int i = 48; i < 56; ++i) EXPECT_EQ(file[size_t(i)], 0) << i;
  EXPECT_EQ(chunkU16(file.data() + 38), 0);
}

TEST_F(NativeFile, SectionFlagsChooseTheChunks) {
  NativeDoc source(64, 64);
  furnish(source);
  struct Case {
    uint32_t flags;
    std::vector<uint32_t> tags;
  };
  const uint32_t L = kTagLayer, B = kTagLayerTiles, M = kTagMask, K = kTagMaskTiles, T = kTagThumbnail,
                 E = kTagEventsPacked, V = kTagEventBlock;
  const Case cases[] = {
      {kNativeLayers | kNativeThumbnail, {T, L, B, L, B, L, B}},
      {kNativeLayers, {L, B, L, B, L, B}},
      {kNativeLayers | kNativeMasks, {L, B, L, B, L, B, M, M, K, M, K}},
      {kNativeLayers | kNativeEvents, {L, B, L, B, L, B, E, V}},
      {0, {}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(writeNativeFile(path(), *source.doc, c.flags));
    const Bytes file = fileBytes(path());
    std::vector<uint32_t> tags = test::tagsOf(file);
    // Runs of tile blocks count once.
    tags.erase(std::unique(tags.begin(), tags.end(),
                           [](uint32_t a, uint32_t b) { return a == b && (a == kTagLayerTiles || a == kTagMaskTiles); }),
               tags.end());
    EXPECT_EQ(tags, c.tags) << "flags " << c.flags;
    const SNativeHeader h = parseNativeHeader(file.data());
    EXPECT_EQ(h.flags & 0xF, c.flags);
    EXPECT_EQ((h.flags & (kNativeAntsShown | kNativeSelectionEnabled | kNativeMaskCounter)) != 0,
              (c.flags & kNativeMasks) != 0);
    EXPECT_EQ((h.flags & kNativeLayerCounter) != 0, (c.flags & kNativeLayers) != 0);
  }
}

TEST_F(NativeFile, WithoutMasksAndEventsReopensWithOneEmptyMask) {
  NativeDoc source(64, 48);
  furnish(source);
  auto loaded = roundTrip(source, kNativeLayers | kNativeThumbnail);
  const CMaskMngr& masks = *loaded->doc->masks();
  ASSERT_EQ(masks.count(), 1);
  EXPECT_EQ(masks.current(), 0);
  EXPECT_FALSE(masks.getMask(0)->hasImage());
  EXPECT_EQ(masks.getMask(0)->name, resString(65323) + "1");
  EXPECT_FALSE(loaded->doc->antsShown());
  EXPECT_FALSE(loaded->doc->selectionEnabled());
  // The loaded document keeps its own recording.
  EXPECT_NE(test::committedStream(loaded->store()), test::committedStream(source.store()));
  EXPECT_EQ(loaded->doc->layers()->count(), 3);
}

TEST_F(NativeFile, UniformLayerIsOneBlockOfColours) {
  NativeDoc source(100, 70);
  CLayerData& l = *source.layers().getLayer(source.layers().addLayer(100, 70, 3, false, 255, true));
  l.image->fill(0x80112233u);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers));
  const Bytes file = fileBytes(path());
  const auto chunks = test::chunksOf(file);
  ASSERT_EQ(chunks.size(), 2u);
  const uint8_t* block = file.data() + 56 + 8 + chunks[0].size;
  const uint32_t n = 4 * 3;  // 100 x 70 in 32-pixel tiles
  EXPECT_EQ(chunkU32(block + 16), kTileEncodingUniform);
  EXPECT_EQ(chunkU32(block + 20), n);
  EXPECT_EQ(chunkU32(block + 4), 32 + 4 * n);
  EXPECT_EQ(chunkU32(block + 28), 4 * n);
  for (uint32_t i = 0; i < n; ++i) EXPECT_EQ(chunkU32(block + 40 + 4 * i), 0x80112233u);
}

TEST_F(NativeFile, CommittedRunsAreCutAtSixteenTiles) {
  NativeDoc source(40 * 32, 32);
  CLayerData& l = source.addLayer(9, 40 * 32, 32);
  for (int32_t i = 0; i < 40; ++i) {
    STileRec& t = l.image->tileRef(i);
    EXPECT_TRUE(l.image->commitTile(t));
    l.image->tilePixels(t)[5] = uint32_t(i + 1);
  }
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers));
  const Bytes file = fileBytes(path());
  std::vector<uint32_t> runs;
  int64_t at = 56;
  for (const SChunkHead& h : test::chunksOf(file)) {
    if (h.tag == kTagLayerTiles) {
      EXPECT_EQ(chunkU32(file.data() + at + 16), kTileEncodingPacked);
      runs.push_back(chunkU32(file.data() + at + 20));
      EXPECT_EQ(chunkU32(file.data() + at + 28), runs.back() * 4096);
      EXPECT_EQ(h.size, 32 + paddedTo4(chunkU32(file.data() + at + 24)));
    }
    at += 8 + h.size;
  }
  EXPECT_EQ(runs, (std::vector<uint32_t>{16, 16, 8}));
}

TEST_F(NativeFile, TilesScatteredInMemoryReadAndWriteAsTilesInOnePiece) {
  // Runs of tiles whose memory is one piece are packed from and unpacked
  // into the tiles themselves; scattered ones go through a buffer. Both
  // must give the same file and the same pixels.
  auto scattered = [](const CBlockVMTC& img) {
    for (int32_t i = 1; i < img.tileCount(); ++i)
      if (img.tileMemory(img.tileRef(i)) != img.tileMemory(img.tileRef(i - 1)) + 4096) return true;
    return false;
  };
  NativeDoc source(40 * 32, 32);
  CLayerData& backwards = source.addLayer(3, 40 * 32, 32);
  CLayerData& inOrder = source.addLayer(4, 40 * 32, 32);
  for (int32_t i = 0; i < 40; ++i) {
    test::commitVaried(*backwards.image, 39 - i, uint32_t(i));  // later tiles take lower blocks
    test::commitVaried(*inOrder.image, i, uint32_t(100 + i));
  }
  ASSERT_TRUE(scattered(*backwards.image));
  ASSERT_TRUE(writeNativeFile(path("a.kci"), *source.doc, kNativeLayers));

  // Free blocks left every other one, so that the reader's tiles scatter.
  NativeDoc filler(64 * 32, 32 * 32);
  CBlockVMTC& holes = *filler.addLayer(5, 64 * 32, 32 * 32).image;
  for (int32_t i = 0; i < holes.tileCount(); ++i) ASSERT_TRUE(holes.commitTile(holes.tileRef(i)));
  for (int32_t i = 1; i < holes.tileCount(); i += 2) holes.decommitTile(holes.tileRef(i));

  NativeDoc loaded(0, 0);
  ASSERT_EQ(readNativeFile(path("a.kci"), *loaded.doc), kRcOk);
  ASSERT_EQ(loaded.layers().count(), 2);
  EXPECT_TRUE(scattered(*loaded.layers().getLayer(0)->image));
  for (int32_t i = 0; i < 2; ++i) test::expectSameLayer(*source.layers().getLayer(i), *loaded.layers().getLayer(i));
  ASSERT_TRUE(writeNativeFile(path("b.kci"), *loaded.doc, kNativeLayers));
  EXPECT_EQ(fileBytes(path("a.kci")), fileBytes(path("b.kci")));
}

TEST_F(NativeFile, RecordSizeFollowsTheName) {
  struct Case {
    const char* name;
    uint32_t size;
  };
  for (const Case c : {Case{"abc", 76}, Case{"abcd", 80}, Case{"", 76}, Case{"abcdefg", 80}}) {
    NativeDoc source(32, 32);
    source.addLayer(1).name = c.name;
    CMemoryStream out;
    ASSERT_EQ(writeLayerRecord(out, *source.layers().getLayer(0)), kRcOk);
    EXPECT_EQ(chunkU32(out.memory() + 4), c.size) << c.name;
    EXPECT_EQ(uint64_t(out.size()), 8 + c.size);
    EXPECT_EQ(layerRecordBytes(*source.layers().getLayer(0)), 8 + c.size);
    EXPECT_EQ(chunkU16(out.memory() + 60), std::strlen(c.name) + 1);
  }
}

TEST_F(NativeFile, HeaderErrorsLeaveTheDocumentUntouched) {
  NativeDoc source(64, 48);
  source.addLayer(1);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers));
  const Bytes good = fileBytes(path());
  struct Case {
    const char* what;
    int offset;  // -1: cut the file to 30 bytes
    uint32_t value;
    FileResult code;
  };
  const Case cases[] = {
      {"width 10,000", 8, 10000, kRcOk},        {"height 10,000", 12, 10000, kRcOk},
      {"width 10,001", 8, 10001, kRcTooLarge},  {"height 10,001", 12, 10001, kRcTooLarge},
      {"width 0", 8, 0, kRcTooLarge},           {"version 2", 16, 2, kRcVersion},
      {"size 40", 4, 40, kRcHeaderSize},        {"tag", 0, chunkTag("KPIX"), kRcWrongTag},
      {"version 0", 16, 0, kRcOk},              {"short", -1, 0, kRcShortRead},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    if (c.offset < 0)
      file.resize(30);
    else
      putChunkU32(file.data() + c.offset, c.value);
    expectReadOrUntouched(file, c.code, c.what);
  }
  NativeDoc target(0, 0);
  EXPECT_EQ(readNativeFile(path("missing.kci"), *target.doc), kRcFileMissing);
  EXPECT_EQ(readNativeFile(folder_.file(""), *target.doc), kRcCannotOpen);
}

// A header for hand-made files.
Bytes headerBytes(uint32_t w, uint32_t h, uint32_t flags) {
  SNativeHeader header;
  header.width = w;
  header.height = h;
  header.flags = flags;
  Bytes b(56);
  storeNativeHeader(b.data(), header);
  return b;
}

void appendChunk(Bytes& file, uint32_t tag, uint32_t size) {
  const size_t at = file.size();
  file.resize(at + 8 + size, 0);
  storeChunkHead(file.data() + at, {tag, size});
}

TEST_F(NativeFile, OnlyUnknownChunksGiveADefaultDocument) {
  Bytes file = headerBytes(50, 40, kNativeLayers | kNativeMasks);
  appendChunk(file, chunkTag("ABCD"), 12);
  appendChunk(file, chunkTag("WX\x01Z"), 0);
  putFile(path(), file);
  NativeDoc target(0, 0);
  ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk);
  // One message names the file, says what was found and what it means.
  EXPECT_EQ(shown(), (std::vector<std::string>{path() + "\r2個の未知のデータブロックを無視しました!  (id = WX?Z)" +
                                               "\r読み込み中にエラーが検出されました! (err=16)\r" +
                                               resString(kResReasonWrongFormat)}));
  const TPaper& doc = *target.doc;
  ASSERT_EQ(doc.layers()->count(), 1);
  const CLayerData& layer = *doc.layers()->getLayer(0);
  EXPECT_EQ(layer.blendMode, 3);
  EXPECT_TRUE(layer.visible);
  EXPECT_EQ(layer.opacity, 255);
  EXPECT_EQ(layer.imageWidth(), 50);
  EXPECT_EQ(doc.layers()->current(), 0);
  ASSERT_EQ(doc.masks()->count(), 1);
  EXPECT_FALSE(doc.masks()->getMask(0)->hasImage());
  EXPECT_EQ(doc.masks()->current(), 0);
}

// A document past 2048 x 2048 whose layers are all smaller than itself (its
// first layer deleted, a small one kept) is a file this program writes: it
// opens at its own size, and so does a new document of that size, saved; a
// bare header of that size does not.
TEST_F(NativeFile, ALargeDocumentOpensWithAnyLayerButNotFromABareHeader) {
  constexpr int32_t kSide = 2100;
  NativeDoc fresh(0, 0);
  ASSERT_TRUE(fresh.doc->newDocument("", nullptr, false, false, 72, kSide, kSide));
  ASSERT_TRUE(writeNativeFile(path("fresh.kci"), *fresh.doc, kNativeLayers | kNativeThumbnail));

  NativeDoc small(64, 48);
  small.addLayer(1);
  ASSERT_TRUE(writeNativeFile(path("small.kci"), *small.doc, kNativeLayers));
  Bytes smallLayer = fileBytes(path("small.kci"));
  putChunkU32(smallLayer.data() + 8, uint32_t(kSide));
  putChunkU32(smallLayer.data() + 12, uint32_t(kSide));

  // A bare header holds nothing this program writes: past 2048 x 2048 it is
  // refused before the document takes its size.
  const struct {
    const char* what;
    Bytes file;
    FileResult code;
  } bare[] = {
      {"bare header, 10,000 a side", headerBytes(10000, 10000, kNativeLayers), kRcTooLarge},
      {"bare header just past the area", headerBytes(kSide, kSide, 0), kRcTooLarge},
      {"bare header, small", headerBytes(2000, 2000, kNativeLayers), kRcOk},
  };
  for (const auto& c : bare) expectReadOrUntouched(c.file, c.code, c.what);

  for (const auto& [what, file] : {std::pair{"only a small layer", smallLayer},
                                   std::pair{"a new document saved", fileBytes(path("fresh.kci"))}}) {
    putFile(path("case.kci"), file);
    NativeDoc reopened(0, 0);
    ASSERT_EQ(readNativeFile(path("case.kci"), *reopened.doc), kRcOk) << what;
    EXPECT_EQ(reopened.doc->width(), kSide) << what;
    EXPECT_EQ(reopened.doc->height(), kSide) << what;
    EXPECT_GE(reopened.doc->layers()->count(), 1) << what;
  }
}

TEST_F(NativeFile, ChunkLoopEndings) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> build;
    FileResult loopCode;
  };
  const Case cases[] = {
      {"stray tile block", [](Bytes& f) { appendChunk(f, kTagLayerTiles, 32); }, kRcSkipped},
      {"stray mask block", [](Bytes& f) { appendChunk(f, kTagMaskTiles, 32); }, kRcSkipped},
      {"stray event block", [](Bytes& f) { appendChunk(f, kTagEventBlock, 20); }, kRcSkipped},
      {"thumbnail", [](Bytes& f) { appendChunk(f, kTagThumbnail, 40); }, kRcThumbSkipped},
      {"short head", [](Bytes& f) { f.resize(f.size() + 5, 0); }, kRcShortRead},
      {"chunk past the end",
       [](Bytes& f) {
         appendChunk(f, chunkTag("ABCD"), 4);
         putChunkU32(f.data() + f.size() - 8, 5);
       },
       kRcChunkPastEnd},
      {"unknown, then nothing wrong", [](Bytes& f) { appendChunk(f, chunkTag("ABCD"), 4); }, kRcWrongTag},
  };
  for (const Case& c : cases) {
    Bytes file = headerBytes(20, 20, 0);
    c.build(file);
    CFixedMemStream in(file.data(), int64_t(file.size()));
    ASSERT_EQ(in.seek(56, SeekOrigin::Begin), 56);
    auto layers = std::make_unique<CLayerMngr>();
    SNativeReadTarget target{layers.get(), nullptr, nullptr};
    SNativeReadNotes notes;
    EXPECT_EQ(readNativeChunks(in, target, nullProgress(), notes), c.loopCode) << c.what;
  }
}

TEST_F(NativeFile, BadLayerIsReportedAndLaterLayersAreRead) {
  NativeDoc source(64, 64);
  source.addLayer(1);
  test::commitVaried(*source.addLayer(2).image, 0, 7);
  source.addLayer(3);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers));
  Bytes file = fileBytes(path());
  // The second layer's first tile block claims a raw count that is not n x 4096.
  int64_t at = 56;
  int layerSeen = 0;
  for (const SChunkHead& h : test::chunksOf(file)) {
    if (h.tag == kTagLayer) ++layerSeen;
    if (h.tag == kTagLayerTiles && layerSeen == 2) {
      ASSERT_EQ(chunkU32(file.data() + at + 16), kTileEncodingPacked);
      putChunkU32(file.data() + at + 28, chunkU32(file.data() + at + 28) + 1);
      break;
    }
    at += 8 + h.size;
  }
  putFile(path(), file);
  NativeDoc target(0, 0);
  ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk);
  // The failed layer's other blocks are skipped as strays; the loop ends on
  // the third layer, read whole.
  EXPECT_EQ(shown(), (std::vector<std::string>{path() + "\rレイヤの読み込みに失敗しました! (err=25)\r" +
                                               resString(kResReasonDamaged)}));
  ASSERT_EQ(target.doc->layers()->count(), 2);
  test::expectSameLayer(*source.layers().getLayer(0), *target.doc->layers()->getLayer(0));
  CLayerData& third = *target.doc->layers()->getLayer(1);
  EXPECT_EQ(third.name, "layer 3");
  test::expectSameTiles(*source.layers().getLayer(2)->image, *third.image, "third");
}

TEST_F(NativeFile, ManyFailingChunksGiveOneWarning) {
  // Hundreds of layer, mask and event chunks that cannot be read, then one
  // whole unknown chunk so that the loop ends on a chunk that was skipped.
  Bytes file = headerBytes(20, 20, kNativeLayers | kNativeMasks);
  for (int i = 0; i < 300; ++i) {
    appendChunk(file, kTagLayer, 4);
    appendChunk(file, kTagMask, 4);
    appendChunk(file, kTagEventsPacked, 48);
  }
  putFile(path(), file);
  NativeDoc target(0, 0);
  ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk);
  ASSERT_EQ(shown().size(), 1u);
  const std::string text = shown().front();
  EXPECT_EQ(text.rfind(path() + "\rレイヤの読み込みに失敗しました! (err=", 0), 0u) << text;
  EXPECT_NE(text.find("\rイベントデータ部の読み込みに失敗しました!\rイベントは破棄されました。\r"), std::string::npos) << text;
  EXPECT_NE(text.find("\r読み込み中にエラーが検出されました!"), std::string::npos) << text;
  EXPECT_EQ(target.doc->layers()->count(), 1);
}

TEST_F(NativeFile, EventsThatCannotBeReadAreDiscarded) {
  NativeDoc source(40, 40);
  source.addLayer(1);
  source.record(3);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers | kNativeEvents));
  const Bytes good = fileBytes(path());
  int64_t kevp = 56;
  for (const SChunkHead& h : test::chunksOf(good)) {
    if (h.tag == kTagEventsPacked) break;
    kevp += 8 + h.size;
  }
  struct Case {
    const char* what;
    int64_t offset;  // from the events header
    uint32_t value;
    const char* message;
  };
  const Case cases[] = {
      {"block offset", 56 + 8, 12, "不正なイベントブロックは読み込めません!"},
      {"version", 16, 44, "イベントデータ部の読み込みに失敗しました!\rイベントは破棄されました。"},
  };
  for (const Case& c : cases) {
    messages_.clear();
    Bytes file = good;
    if (c.offset == 16)
      putChunkU16(file.data() + kevp + 16, uint16_t(c.value));
    else
      putChunkU32(file.data() + kevp + c.offset, c.value);
    putFile(path(), file);
    NativeDoc target(0, 0);
    ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk) << c.what;
    ASSERT_FALSE(shown().empty()) << c.what;
    EXPECT_EQ(shown().front().rfind(path() + "\r" + c.message, 0), 0u) << c.what << ": " << shown().front();
    // The document records afresh: nothing of the file's events, only the
    // reset point the reader writes.
    const CEventMngr& store = target.store();
    EXPECT_TRUE(store.isRecording()) << c.what;
    EXPECT_EQ(store.committedCount(), 1u) << c.what;
    EXPECT_TRUE(walkPackets(store.source(), 0, store.writePosition()).wellFormed()) << c.what;
    EXPECT_EQ(target.doc->layers()->count(), 1) << c.what;
  }
}

TEST_F(NativeFile, FailedLayerIsCutOutAndTheSaveFails) {
  NativeDoc source(64, 64);
  source.addLayer(1);
  CLayerData& broken = source.addLayer(2);
  source.addLayer(3);
  broken.image.reset();  // nothing to write
  EXPECT_FALSE(writeNativeFile(path(), *source.doc, kNativeLayers | kNativeThumbnail));
  EXPECT_EQ(shown(), (std::vector<std::string>{"レイヤ (\"layer 2\") の保存に失敗しました! (err=22)"}));
  // The file was replaced all the same and reads without the failed layer.
  messages_.clear();
  NativeDoc target(0, 0);
  ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk);
  EXPECT_TRUE(messages_.shown().empty());
  ASSERT_EQ(target.doc->layers()->count(), 2);
  EXPECT_EQ(target.doc->layers()->getLayer(1)->name, "layer 3");
}

// The packing buffers are taken once for the whole save, not once a layer.
TEST_F(NativeFile, LayersOfASaveShareTheirPackingBuffers) {
  NativeDoc source(64, 64);
  for (int i = 1; i <= 3; ++i) test::commitVaried(*source.addLayer(i).image, 0, uint32_t(i));
  int slabs = 0;
  const int workers = setParallelWorkers(1);
  setAllocFailHook([&](size_t bytes) {
    slabs += bytes == packBufferBytes() ? 1 : 0;
    return false;
  });
  const bool saved = writeNativeFile(path(), *source.doc, kNativeLayers);
  setAllocFailHook({});
  setParallelWorkers(workers);
  EXPECT_TRUE(saved);
  EXPECT_EQ(slabs, 1);
}

TEST_F(NativeFile, LayerThatRunsOutOfMemoryIsCutOut) {
  NativeDoc source(64, 64);
  ASSERT_TRUE(source.addLayer(1).image->setSize(64, 64));  // uniform tiles only: no packing buffer
  test::commitVaried(*source.addLayer(2).image, 0, 2);
  int calls = 0;
  // The layers of a save share one stock of packing buffers, taken when the
  // first block is packed: the second layer, the first with pixels, cannot
  // have it.
  const int workers = setParallelWorkers(1);
  setAllocFailHook([&](size_t bytes) { return bytes == packBufferBytes() && ++calls == 1; });
  const bool saved = writeNativeFile(path(), *source.doc, kNativeLayers);
  setAllocFailHook({});
  setParallelWorkers(workers);
  EXPECT_FALSE(saved);
  EXPECT_EQ(shown(), (std::vector<std::string>{"レイヤ (\"layer 2\") の保存に失敗しました! (err=1)"}));
  NativeDoc target(0, 0);
  ASSERT_EQ(readNativeFile(path(), *target.doc), kRcOk);
  ASSERT_EQ(target.doc->layers()->count(), 1);
  EXPECT_EQ(target.doc->layers()->getLayer(0)->name, "layer 1");
}

TEST_F(NativeFile, SaveThatCannotCreateTheFileKeepsTheTarget) {
  NativeDoc source(32, 32);
  source.addLayer(1);
  EXPECT_FALSE(writeNativeFile(folder_.file("no/such/folder/doc.kci"), *source.doc, kNativeLayers));
  EXPECT_FALSE(writeNativeFile(folder_.file(""), *source.doc, kNativeLayers));
  // Nothing of a temporary file stays behind.
  EXPECT_EQ(folder_.entries(), 0u);
}

TEST_F(NativeFile, DocumentWithoutCompositeSavesWithoutThumbnail) {
  NativeDoc source(0, 0);
  source.doc->setSizeValue(32, 32);
  source.layers().setDocumentSize(32, 32);
  source.addLayer(1);
  EXPECT_FALSE(writeNativeFile(path(), *source.doc, kNativeLayers | kNativeThumbnail));
  EXPECT_EQ(test::tagsOf(fileBytes(path())), (std::vector<uint32_t>{kTagLayer, kTagLayerTiles}));
}

TEST_F(NativeFile, ThumbnailOfAFileWithoutOne) {
  NativeDoc source(300, 20);
  source.addLayer(1);
  ASSERT_TRUE(writeNativeFile(path(), *source.doc, kNativeLayers));
  TMTC picture;
  uint32_t w = 0, h = 0;
  EXPECT_EQ(readNativeThumbnail(path(), picture, w, h), kRcOk);
  EXPECT_FALSE(picture.IsAllocated());
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 20u);
  EXPECT_EQ(readNativeThumbnail(path("none.kci"), picture, w, h), kRcFileMissing);
}

}  // namespace native_file_test
}  // namespace pg
