#pragma once
// Documents for the native file tests: a document that records into a real
// event store, layers with uniform and committed tiles, masks, and
// comparisons of everything the file carries, attribute by attribute and
// pixel by pixel.
#include <gtest/gtest.h>

#include <cstdint>
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
#include "io/thumbnail_document.h"
#include "record/event_store.h"

namespace pg::test {

// Commits tile i of a tiled image with seeded pixels that are not all equal.
template <class Image>
void commitVaried(Image& img, int32_t i, uint32_t seed) {
  STileRec& t = img.tileRef(i);
  EXPECT_TRUE(img.commitTile(t));
  uint8_t* p = img.tileMemory(t);
  std::mt19937 rng(seed);
  for (int32_t k = 0; k < 4096; ++k) p[k] = uint8_t(rng());
  p[0] = 1;
  p[1] = 2;
}

// A document of w x h with no window, recording into an event store.
struct NativeDoc {
  explicit NativeDoc(int32_t w = 100, int32_t h = 70) {
    DocServices s;
    s.makeRecorder = eventStoreRecorderFactory();
    doc = std::make_unique<TPaper>(nullptr, s);
    if (w > 0 && h > 0) {
      EXPECT_TRUE(doc->setSize(nullptr, w, h));
    }
  }

  CEventMngr& store() const { return *documentEventStore(*doc); }
  CLayerMngr& layers() const { return *doc->layers(); }
  CMaskMngr& masks() const { return *doc->masks(); }

  // A layer of the image size at the top, whose tiles are, by a seeded draw,
  // left uniform transparent, filled with one opaque colour (uniform), or
  // committed with varied pixels (never flat, so that they stay committed).
  CLayerData& addLayer(uint32_t seed, int32_t w = -1, int32_t h = -1, uint8_t mode = 3) {
    const int32_t at = layers().addLayer(w < 0 ? doc->width() : w, h < 0 ? doc->height() : h, mode, false, 255, true);
    CLayerData& l = *layers().getLayer(at);
    std::mt19937 rng(seed);
    CBlockVMTC& img = *l.image;
    for (int32_t i = 0; i < img.tileCount(); ++i) {
      STileRec& t = img.tileRef(i);
      switch (rng() % 3) {
        case 0:
          break;
        case 1:
          t.uniform = rng() | 0xFF000000u;
          break;
        default:
          commitVaried(img, i, rng());
          break;
      }
    }
    l.name = "layer " + std::to_string(seed);
    return l;
  }

  // A mask of w x h at the offset with a seeded mix of uniform and
  // committed tiles, appended to the list.
  CMaskData& addMask(uint32_t seed, int32_t w, int32_t h, int32_t ox, int32_t oy) {
    auto m = CMaskData::createSized(masks().count(), w, h);
    std::mt19937 rng(seed);
    CBlockVCH& img = *m->image;
    for (int32_t i = 0; i < img.tileCount(); ++i) {
      STileRec& t = img.tileRef(i);
      if (rng() % 2)
        t.uniform = rng() & 0xFF;
      else
        commitVaried(img, i, rng());
    }
    m->offsetX = ox;
    m->offsetY = oy;
    m->name = "mask " + std::to_string(seed);
    const int32_t at = masks().insertMask(masks().count(), std::move(m));
    masks().renumber();
    return *masks().getMask(at);
  }

  // n committed events written straight into the store.
  void record(int n) {
    for (int i = 0; i < n; ++i) EXPECT_TRUE(doc->setPaperColor(PaperColor::fromPixel(0x102030u + uint32_t(i)), true));
  }

  std::unique_ptr<TPaper> doc;
};

// The committed stream of a store.
inline std::vector<uint8_t> committedStream(const CEventMngr& store) {
  std::vector<uint8_t> b(store.committedEnd());
  if (!b.empty()) {
    EXPECT_EQ(store.readRange(0, b.data(), uint32_t(b.size())), b.size());
  }
  return b;
}

// Every tile of two images: committed or not alike, uniform colours alike,
// and every pixel inside the image alike.
template <class Image>
void expectSameTiles(const Image& a, const Image& b, const std::string& what) {
  ASSERT_EQ(a.width(), b.width()) << what;
  ASSERT_EQ(a.height(), b.height()) << what;
  for (int32_t i = 0; i < a.tileCount(); ++i) {
    const STileRec& ta = a.tileRef(i);
    const STileRec& tb = b.tileRef(i);
    ASSERT_EQ(ta.committed(), tb.committed()) << what << " tile " << i;
    if (!ta.committed()) {
      ASSERT_EQ(ta.uniform, tb.uniform) << what << " tile " << i;
    }
  }
  for (int32_t y = 0; y < a.height(); ++y)
    for (int32_t x = 0; x < a.width(); ++x) ASSERT_EQ(a.getPixel(x, y), b.getPixel(x, y)) << what << " at " << x << "," << y;
}

inline void expectSameLayer(const CLayerData& a, const CLayerData& b) {
  const std::string what = "layer " + std::to_string(a.index);
  EXPECT_EQ(a.index, b.index) << what;
  EXPECT_EQ(a.name, b.name) << what;
  EXPECT_EQ(a.offsetX, b.offsetX) << what;
  EXPECT_EQ(a.offsetY, b.offsetY) << what;
  EXPECT_EQ(a.width, b.width) << what;
  EXPECT_EQ(a.height, b.height) << what;
  EXPECT_EQ(a.protectAlpha, b.protectAlpha) << what;
  EXPECT_EQ(a.opacity, b.opacity) << what;
  EXPECT_EQ(a.blendMode, b.blendMode) << what;
  EXPECT_EQ(a.dissolve, b.dissolve) << what;
  EXPECT_EQ(a.dissolveAmount, b.dissolveAmount) << what;
  EXPECT_EQ(a.visible, b.visible) << what;
  EXPECT_EQ(a.randomState, b.randomState) << what;
  EXPECT_EQ(b.linkLevel, 0) << what;
  ASSERT_TRUE(a.image && b.image) << what;
  expectSameTiles(*a.image, *b.image, what);
}

// Places in the list are compared only when sameIndex is set.
inline void expectSameMask(const CMaskData& a, const CMaskData& b, bool sameIndex = true) {
  const std::string what = "mask " + std::to_string(a.index);
  if (sameIndex) {
    EXPECT_EQ(a.index, b.index) << what;
  }
  EXPECT_EQ(a.name, b.name) << what;
  EXPECT_EQ(a.offsetX, b.offsetX) << what;
  EXPECT_EQ(a.offsetY, b.offsetY) << what;
  ASSERT_EQ(a.hasImage(), b.hasImage()) << what;
  if (a.hasImage()) expectSameTiles(*a.image, *b.image, what);
}

// The chunks of a file after its header: tag and size, in order.
inline std::vector<SChunkHead> chunksOf(const std::vector<uint8_t>& file, int64_t from = 56) {
  std::vector<SChunkHead> out;
  for (int64_t at = from; at + 8 <= int64_t(file.size());) {
    const SChunkHead h = parseChunkHead(file.data() + at);
    out.push_back(h);
    at += 8 + int64_t{h.size};
  }
  return out;
}

inline std::vector<uint32_t> tagsOf(const std::vector<uint8_t>& file) {
  std::vector<uint32_t> tags;
  for (const SChunkHead& h : chunksOf(file)) tags.push_back(h.tag);
  return tags;
}

}  // namespace pg::test
