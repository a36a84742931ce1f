// Version 1.1 documents written by our own writer read back with their
// layers, pixels, current layer, paper colour and embedded recording; the
// run-length packets at their limits; files that are not such documents,
// store no layers, end early or carry a broken recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brush/stroke_settings.h"
#include "core/planes.h"
#include "core/plane_ops.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "io/legacy_document.h"
#include "legacy_document_fixture.h"
#include "native_fixture.h"
#include "platform/string_table.h"
#include "record/legacy_event_packet.h"
#include "record/legacy_stream_fixture.h"

namespace pg::test {
namespace {

constexpr int32_t kW = 20, kH = 12;

std::vector<uint32_t> pattern(uint32_t seed) {
  std::vector<uint32_t> p(size_t(kW * kH));
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      // Runs along the rows and single pixels between them.
      p[size_t(y * kW + x)] = (x < 8 ? seed : seed ^ uint32_t(x * 0x010203 + y * 0x300000)) & 0xFFFFFFu;
  return p;
}

uint32_t pixelOf(const TPaper& doc, int32_t layer, int32_t x, int32_t y) {
  const CLayerData& l = *doc.layers()->getLayer(layer);
  return l.image->getPixel(x + l.offsetX, y + l.offsetY);
}

std::vector<uint8_t> recording() {
  LegacyStream s(kW, kH);
  s.record(293, {0, 1, 2, 3}).record(256, {3}).end();
  return s.bytes();
}

TEST(LegacyDocument, ADocumentReadsBackWithItsLayersAndRecording) {
  SLegacyDocHeader h = legacyHeader(kW, kH);
  h.currentLayer = 1;
  h.legacyFlag = 1;
  const std::vector<LegacyDocLayerData> layers = {
      {{0, 255, 1}, pattern(0x102030)},  // an opaque kind
      {{3, 128, 0}, pattern(0xA0B0C0)},  // the normal mode, hidden, half opacity
      {{5, 40, 1}, pattern(0x00FF00)},
  };
  const std::vector<uint8_t> events = recording();
  const std::vector<uint8_t> file = writeLegacyDocument(h, layers, events);
  NativeDoc d(0, 0);
  TEventPacket packet;
  const SLegacyImportResult r = importLegacyBytes(file.data(), file.size(), "old.lgb", *d.doc, packet);
  ASSERT_EQ(r.status, LegacyImport::Layers) << r.message;
  EXPECT_FALSE(r.eventsRefused);
  EXPECT_TRUE(r.message.empty());
  TPaper& doc = *d.doc;
  EXPECT_EQ(doc.name(), "old.lgb");
  EXPECT_EQ(doc.width(), kW);
  EXPECT_EQ(doc.height(), kH);
  EXPECT_EQ(doc.paperColor(), PaperColor::fromPixel(0xF0E0D0));
  ASSERT_EQ(doc.layerCount(), 3);
  EXPECT_EQ(doc.currentLayerIndex(), 1);
  for (int32_t i = 0; i < 3; ++i) {
    const CLayerData& l = *doc.layers()->getLayer(i);
    EXPECT_EQ(l.blendMode, layers[size_t(i)].record.kind) << i;
    EXPECT_EQ(l.opacity, layers[size_t(i)].record.opacity) << i;
    EXPECT_EQ(l.visible, layers[size_t(i)].record.visible != 0) << i;
    EXPECT_EQ(l.name, doc.layers()->makeLayerName(i + 1 - doc.layers()->nameCounter())) << i;
    // Kinds below 3 are opaque, the others keep the file's alpha 0.
    const uint32_t alpha = layers[size_t(i)].record.kind < 3 ? 0xFF000000u : 0;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x)
        ASSERT_EQ(pixelOf(doc, i, x, y), layers[size_t(i)].pixels[size_t(y * kW + x)] | alpha)
            << "layer " << i << " at " << x << "," << y;
  }
  // The recording is the packet's, ready to play from its start.
  EXPECT_EQ(packet.bytes(), events);
  EXPECT_EQ(packet.readPosition(), 0u);
}

// A picture over several tiles, some of one colour whole, some in part at
// the image's edges, some varied: every pixel reads back, and the tiles of
// one colour take no memory.
TEST(LegacyDocument, TilesOfOneColourStayUniform) {
  constexpr int32_t w = 70, h = 40;  // 3 x 2 tiles, the last column and row in part
  std::vector<uint32_t> pixels(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t v = 0x336699;                                    // top left tile and the part tiles
      if (x >= 32 && x < 64 && y < 32) v = uint32_t(x * 7 + y);  // varied
      if (x < 32 && y >= 32) v = 0x0000FF;                      // bottom left, in part
      pixels[size_t(y) * w + size_t(x)] = v;
    }
  const std::vector<uint8_t> file = writeLegacyDocument(legacyHeader(w, h), {{{3, 255, 1}, pixels}}, {});
  NativeDoc d(0, 0);
  TEventPacket packet;
  ASSERT_EQ(importLegacyBytes(file.data(), file.size(), "tiles.lgb", *d.doc, packet).status, LegacyImport::Layers);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      ASSERT_EQ(pixelOf(*d.doc, 0, x, y), pixels[size_t(y) * w + size_t(x)]) << x << "," << y;
  EXPECT_EQ(d.doc->layers()->getLayer(0)->image->committedTiles(), 1);
}

// The packets of the run-length code at their limits, in the order the file
// holds the rows: bottom first.
TEST(LegacyDocument, RunLengthPackets) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    size_t written;
    std::vector<std::pair<size_t, uint32_t>> expect;  // (index in file order, pixel)
  };
  std::vector<Case> cases = {
      {"a run of 0 writes nothing", {0, 1, 2, 3, 2, 9, 9, 9}, 2, {{0, 0x090909}, {1, 0x090909}, {2, 0}}},
      {"a literal byte 255 writes nothing", {255, 2, 9, 9, 9}, 2, {{0, 0x090909}, {2, 0}}},
      {"a run of 124", {124, 0x11, 0x22, 0x33}, 124, {{0, 0x112233}, {123, 0x112233}, {124, 0}}},
      {"a run stops at the plane's end", {124, 1, 1, 1, 124, 2, 2, 2, 124, 3, 3, 3}, 240, {{239, 0x020202}}},
      {"a literal packet cut short keeps its whole pixels", {252, 1, 2, 3, 4, 5}, 1, {{0, 0x010203}, {1, 0}}},
      {"a run without its pixel", {5, 1, 2}, 0, {{0, 0}}},
  };
  std::vector<uint8_t> literals = {125};
  for (int k = 0; k < 130; ++k) literals.insert(literals.end(), {uint8_t(k), 0, 7});
  cases.push_back({"a literal byte 125 introduces 130 pixels", literals, 130, {{0, 0x000007}, {129, 0x810007}, {130, 0}}});
  for (const Case& c : cases) {
    TMTC plane(kW, kH);
    fill(plane, 0);
    EXPECT_EQ(decodeLegacyPixels(c.data.data(), c.data.size(), plane), c.written) << c.what;
    for (const auto& [k, px] : c.expect)
      EXPECT_EQ(*plane.pixelAt(int32_t(k % kW), int32_t(k / kW)), px) << c.what << " pixel " << k;
  }
}

TEST(LegacyDocument, FilesThatAreRefusedOrReadInPart) {
  const std::vector<LegacyDocLayerData> one = {{{3, 255, 1}, pattern(0x445566)}};
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    LegacyImport status;
    uint32_t messageId;      // 0: none
    bool touched;            // the document was set up from the file
    int32_t layers;          // when touched
    bool eventsRefused;
  };
  SLegacyDocHeader stored = legacyHeader(kW, kH);
  stored.storage = 1;
  std::vector<uint8_t> wrongMagic = writeLegacyDocument(legacyHeader(kW, kH), one, {});
  wrongMagic[3] = 'X';
  std::vector<uint8_t> firstVariant = wrongMagic;
  firstVariant[3] = ' ';
  std::vector<uint8_t> cutPixels = writeLegacyDocument(legacyHeader(kW, kH), one, {});
  cutPixels.resize(cutPixels.size() - 10);
  std::vector<uint8_t> brokenEvents = recording();
  brokenEvents[0] = 0x03;  // the first record is no canvas size
  std::vector<uint8_t> shortEvents = writeLegacyDocument(legacyHeader(kW, kH), one, recording());
  shortEvents.resize(shortEvents.size() - 1);
  // Layers written by hand after a header: a record and its pixel bytes.
  const auto withLayer = [](std::vector<uint8_t> file, std::vector<uint8_t> pixels) {
    file.insert(file.end(), {3, 255, 1, 0, 0, 0, 0, 0});
    putU32(file, uint32_t(pixels.size()));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
  };
  const std::vector<uint8_t> bare = writeLegacyDocument(legacyHeader(kW, kH), {}, {});
  // 240 pixels take at least two runs of 124: eight bytes.
  std::vector<uint8_t> shortFirst = withLayer(bare, {124, 1, 2, 3, 116, 1, 2});
  std::vector<uint8_t> longestRuns = withLayer(bare, {124, 1, 2, 3, 124, 1, 2, 3});
  std::vector<uint8_t> cutRecord(bare.begin(), bare.end());
  cutRecord.insert(cutRecord.end(), {3, 255, 1, 0, 0});
  // A second layer without pixel bytes would take the first one's again.
  std::vector<uint8_t> emptySecond = withLayer(writeLegacyDocument(legacyHeader(kW, kH), one, {}), {});
  emptySecond[20] = 1;
  std::vector<uint8_t> huge = writeLegacyDocument(legacyHeader(10001, 5), {}, {});
  std::vector<uint8_t> empty = writeLegacyDocument(legacyHeader(0, 5), {}, {});
  const std::vector<Case> cases = {
      {"another magic", wrongMagic, LegacyImport::UnknownFormat, 67800, false, 0, false},
      {"the first variant", firstVariant, LegacyImport::FirstVariant, 67801, false, 0, false},
      {"a header cut short", std::vector<uint8_t>(wrongMagic.begin(), wrongMagic.begin() + 20),
       LegacyImport::UnknownFormat, 67800, false, 0, false},
      {"a width beyond 10,000", huge, LegacyImport::BadSize, 67800, false, 0, false},
      {"a width of 0", empty, LegacyImport::BadSize, 67800, false, 0, false},
      {"no layers stored", writeLegacyDocument(stored, one, recording()), LegacyImport::NoLayers, 0, true, 1, false},
      {"pixels cut short", cutPixels, LegacyImport::Broken, 67803, true, 1, false},
      {"a first layer whose bytes cannot fill the image", shortFirst, LegacyImport::BadSize, 67803, false, 0, false},
      {"a first layer record cut short", cutRecord, LegacyImport::BadSize, 67803, false, 0, false},
      {"a first layer filled by the longest runs", longestRuns, LegacyImport::Layers, 0, true, 1, false},
      {"a later layer without pixel bytes ends the layers", emptySecond, LegacyImport::Broken, 67803, true, 1, false},
      {"a broken recording", writeLegacyDocument(legacyHeader(kW, kH), one, brokenEvents), LegacyImport::Layers,
       67802, true, 1, true},
      {"a recording cut short", shortEvents, LegacyImport::Layers, 67802, true, 1, true},
  };
  for (const Case& c : cases) {
    NativeDoc d(7, 5);
    EXPECT_TRUE(d.doc->setPaperColor(PaperColor::fromPixel(0x123456), false));
    TEventPacket packet;
    const SLegacyImportResult r = importLegacyBytes(c.file.data(), c.file.size(), "x.lgb", *d.doc, packet);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.message, c.messageId != 0 ? resString(c.messageId) : std::string()) << c.what;
    EXPECT_EQ(r.eventsRefused, c.eventsRefused) << c.what;
    // Only the stored recording of a document that stores no layers is kept.
    EXPECT_EQ(packet.size() != 0, c.status == LegacyImport::NoLayers) << c.what;
    if (!c.touched) {
      EXPECT_EQ(d.doc->width(), 7) << c.what;
      EXPECT_EQ(d.doc->paperColor(), PaperColor::fromPixel(0x123456)) << c.what;
      continue;
    }
    EXPECT_EQ(d.doc->width(), kW) << c.what;
    EXPECT_EQ(d.doc->paperColor(), PaperColor::fromPixel(0xF0E0D0)) << c.what;
    EXPECT_EQ(d.doc->layerCount(), c.layers) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
