// The thumbnail chunk: scrambling, the chunk writer and readers, the walk to
// the document thumbnail, and the document's thumbnail picture.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numeric>
#include <random>

#include "core/planes.h"
#include "io/thumbnail_chunk.h"
#include "io/thumbnail_document.h"
#include "native_fixture.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;

SThumbnailDesc desc(uint16_t format, uint16_t kind, uint32_t w, uint32_t h, uint8_t g = 4, uint8_t s = 3) {
  SThumbnailDesc d;
  d.format = format;
  d.kind = kind;
  d.group = g;
  d.key = kThumbnailKey;
  d.step = s;
  d.sourceWidth = w * 3;
  d.sourceHeight = h * 3;
  d.width = w;
  d.height = h;
  return d;
}

Bytes seeded(size_t n, uint32_t seed) {
  Bytes b(n);
  std::mt19937 rng(seed);
  for (uint8_t& v : b) v = uint8_t(rng() % 7);  // packs to well below the raw size
  return b;
}

TEST(ThumbnailScramble, TenBytesWithGroupsOfFour) {
  SThumbnailDesc d;
  d.group = 4;
  d.step = 3;
  Bytes b(10);
  std::iota(b.begin(), b.end(), uint8_t{0});
  const Bytes original = b;
  // Without a key only the groups turn; the last two bytes are no group.
  scrambleThumbnailData(b.data(), b.size(), d);
  EXPECT_EQ(b, (Bytes{3, 2, 1, 0, 7, 6, 5, 4, 8, 9}));
  unscrambleThumbnailData(b.data(), b.size(), d);
  EXPECT_EQ(b, original);
  // With a key, bytes 0, 4 and 8 are XORed with its complement as well.
  d.key = 0x0F;
  scrambleThumbnailData(b.data(), b.size(), d);
  EXPECT_EQ(b, (Bytes{3 ^ 0xF0, 2, 1, 0, 7 ^ 0xF0, 6, 5, 4, 8 ^ 0xF0, 9}));
  unscrambleThumbnailData(b.data(), b.size(), d);
  EXPECT_EQ(b, original);
}

TEST(ThumbnailScramble, UndoneForAnyParametersAcrossPieces) {
  struct Case {
    uint8_t g, k, s, t;
    size_t length;
  };
  const Case cases[] = {
      {4, kThumbnailKey, 3, 0, 40000}, {7, 0x11, 3, 0, 16384}, {5, 0xFF, 1, 0, 16385}, {16, 1, 0, 9, 50000},
      {255, 0x80, 254, 3, 33000},      {0, 0x42, 2, 0, 20000}, {1, 0, 0, 0, 100},      {9, 0x42, 5, 200, 100},
  };
  for (const Case& c : cases) {
    SThumbnailDesc d;
    d.group = c.g;
    d.key = c.k;
    d.step = c.s;
    d.tail = c.t;
    Bytes b = seeded(c.length, c.g);
    for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 31 + 7);
    const Bytes original = b;
    scrambleThumbnailData(b.data(), b.size(), d);
    if ((c.g >= 2 || c.k != 0) && c.length > c.t) {
      EXPECT_NE(b, original) << int(c.g);
    }
    // The tail is never touched.
    for (size_t i = c.length - std::min<size_t>(c.t, c.length); i < c.length; ++i) {
      ASSERT_EQ(b[i], original[i]);
    }
    unscrambleThumbnailData(b.data(), b.size(), d);
    EXPECT_EQ(b, original) << int(c.g) << " " << c.length;
  }
}

TEST(ThumbnailChunk, RoundTripOfBothFormatsAndDepths) {
  struct Case {
    uint16_t format;
    uint16_t kind;
    uint32_t w, h;
  };
  for (const Case c : {Case{1, kPictureDocument, 256, 128}, Case{2, kPictureDocument, 13, 200},
                       Case{2, kPictureIcon, 128, 128}, Case{2, kPictureNib, 300, 17}, Case{1, 2, 5, 5}}) {
    const uint32_t bpp = pictureBytesPerPixel(c.kind);
    const Bytes pixels = seeded(size_t(c.w) * c.h * bpp, c.w);
    CMemoryStream out;
    ASSERT_EQ(out.write("pad!", 4), 4);
    ASSERT_EQ(writeThumbnailChunk(out, desc(c.format, c.kind, c.w, c.h, 7, 3), pixels.data()), kRcOk);
    // Head size = 40 + stored + padding, the stored data padded to 4.
    const SThumbnailDesc stored = parseThumbnailDesc(out.memory() + 12);
    EXPECT_EQ(chunkU32(out.memory() + 8), 40 + paddedTo4(stored.stored));
    EXPECT_EQ(out.size(), 4 + 48 + int64_t(paddedTo4(stored.stored)));
    EXPECT_EQ(stored.raw, c.w * c.h * bpp);
    EXPECT_EQ(stored.group, c.format == 2 ? 7 : 0);

    CFixedMemStream in(out.memory(), out.size());
    ASSERT_EQ(in.seek(4, SeekOrigin::Begin), 4);
    SThumbnailDesc back;
    Bytes picture;
    int64_t length = 0;
    ASSERT_EQ(readThumbnailChunk(in, back, picture, length), kRcOk);
    EXPECT_EQ(picture, pixels);
    EXPECT_EQ(length, out.size() - 4);
    EXPECT_EQ(in.position(), out.size());
    EXPECT_EQ(back.sourceWidth, c.w * 3);
    EXPECT_EQ(back.kind, c.kind);

    ASSERT_EQ(in.seek(4, SeekOrigin::Begin), 4);
    if (bpp == 4) {
      TMTC plane;
      ASSERT_EQ(readThumbnail(in, plane), kRcOk);
      EXPECT_EQ(plane.size(), (SSize{int32_t(c.w), int32_t(c.h)}));
      EXPECT_EQ(plane.getPixel(1, 0), chunkU32(pixels.data() + 4));
    } else {
      TChannel plane;
      ASSERT_EQ(readChannelThumbnail(in, back, plane, length), kRcOk);
      EXPECT_EQ(plane.size(), (SSize{int32_t(c.w), int32_t(c.h)}));
      EXPECT_EQ(0, std::memcmp(plane.Bits, pixels.data(), pixels.size()));
    }
  }
}

TEST(ThumbnailChunk, WriterRefusals) {
  const Bytes pixels(64 * 4, 1);
  CMemoryStream out;
  EXPECT_EQ(writeThumbnailChunk(out, desc(3, kPictureDocument, 8, 8), pixels.data()), kRcThumbFormat);
  EXPECT_EQ(writeThumbnailChunk(out, desc(2, 1, 8, 8), pixels.data()), kRcPictureKind);
  EXPECT_EQ(writeThumbnailChunk(out, desc(2, kPictureDocument, 0, 8), pixels.data()), kRcNothing);
  EXPECT_EQ(out.size(), 0);
  // A sink that takes nothing: a short write, and the position back.
  uint8_t small[60];
  CFixedMemStream tight(small, sizeof small);
  ASSERT_EQ(tight.seek(2, SeekOrigin::Begin), 2);
  EXPECT_EQ(writeThumbnailChunk(tight, desc(2, kPictureDocument, 8, 8), pixels.data()), kRcShortWrite);
  EXPECT_EQ(tight.position(), 2);
}

TEST(ThumbnailChunk, ReaderCodes) {
  const Bytes pixels = seeded(16 * 16 * 4, 3);
  CMemoryStream out;
  ASSERT_EQ(writeThumbnailChunk(out, desc(2, kPictureDocument, 16, 16), pixels.data()), kRcOk);
  const Bytes good = out.bytes();
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
    FileResult code;
  };
  const Case cases[] = {
      {"short head", [](Bytes& b) { b.resize(47); }, kRcShortRead},
      {"tag", [](Bytes& b) { putChunkU32(b.data(), kTagLayer); }, kRcWrongTag},
      {"format 3", [](Bytes& b) { putChunkU16(b.data() + 8, 3); }, kRcThumbFormat},
      {"format 0", [](Bytes& b) { putChunkU16(b.data() + 8, 0); }, kRcThumbFormat},
      {"kind 7", [](Bytes& b) { putChunkU16(b.data() + 10, 7); }, kRcPictureKind},
      {"document wider than 256", [](Bytes& b) { putChunkU32(b.data() + 24, 257); }, kRcTooLarge},
      {"height 0", [](Bytes& b) { putChunkU32(b.data() + 28, 0); }, kRcTooLarge},
      {"raw count", [](Bytes& b) { putChunkU32(b.data() + 36, 16 * 16 * 4 - 1); }, kRcHeaderSize},
      {"stored past the chunk", [](Bytes& b) { putChunkU32(b.data() + 32, chunkU32(b.data() + 4) - 39); },
       kRcHeaderSize},
      {"stored 0", [](Bytes& b) { putChunkU32(b.data() + 32, 0); }, kRcHeaderSize},
      {"tail past the data", [](Bytes& b) { b[15] = 255; putChunkU32(b.data() + 32, 3); }, kRcHeaderSize},
      {"chunk size below 40", [](Bytes& b) { putChunkU32(b.data() + 4, 39); }, kRcHeaderSize},
      {"data cut short", [](Bytes& b) { b.resize(60); }, kRcShortRead},
      {"damaged data", [](Bytes& b) { b[50] ^= 0x5A; }, kRcHeaderSize},
      {"wrong key", [](Bytes& b) { b[13] ^= 1; }, kRcHeaderSize},
  };
  for (const Case& c : cases) {
    Bytes b = good;
    c.change(b);
    CFixedMemStream in(b.data(), int64_t(b.size()));
    SThumbnailDesc d;
    Bytes picture;
    int64_t length = 0;
    EXPECT_EQ(readThumbnailChunk(in, d, picture, length), c.code) << c.what;
  }
  // The readers of one depth refuse the other.
  CFixedMemStream in(good.data(), int64_t(good.size()));
  TChannel channel;
  SThumbnailDesc d;
  int64_t length = 0;
  EXPECT_EQ(readChannelThumbnail(in, d, channel, length), kRcPictureKind);
  CMemoryStream nib;
  const Bytes bytes(25, 9);
  ASSERT_EQ(writeThumbnailChunk(nib, desc(2, kPictureNib, 5, 5), bytes.data()), kRcOk);
  CFixedMemStream nibIn(nib.memory(), nib.size());
  TMTC plane;
  EXPECT_EQ(readThumbnail(nibIn, plane), kRcPictureKind);
}

TEST(ThumbnailChunk, FindPassesOverOtherChunksAndPictures) {
  const Bytes grey(20 * 10, 7);
  const Bytes colour = seeded(20 * 10 * 4, 11);
  CMemoryStream out;
  SChunkHead other{chunkTag("ABCD"), 4};
  uint8_t head[8];
  storeChunkHead(head, other);
  ASSERT_EQ(out.write(head, 8), 8);
  ASSERT_EQ(out.write("1234", 4), 4);
  ASSERT_EQ(writeThumbnailChunk(out, desc(2, 2, 20, 10), grey.data()), kRcOk);
  ASSERT_EQ(writeThumbnailChunk(out, desc(2, kPictureDocument, 20, 10), colour.data()), kRcOk);
  {
    CFixedMemStream in(out.memory(), out.size());
    TMTC picture;
    ASSERT_EQ(findThumbnail(in, picture), kRcOk);
    ASSERT_EQ(picture.size(), (SSize{20, 10}));
    EXPECT_EQ(picture.getPixel(19, 9), chunkU32(colour.data() + colour.size() - 4));
  }
  struct Case {
    const char* what;
    size_t cut;  // the stream is cut to this many bytes
    FileResult code;
    bool found;
  };
  const size_t afterGrey = size_t(12 + 8 + chunkU32(out.memory() + 12 + 4));
  const Case cases[] = {
      {"no picture at all", 0, kRcOk, false},
      {"only other chunks", afterGrey, kRcOk, false},
      {"short head", afterGrey + 5, kRcShortRead, false},
      {"chunk past the end", 10, kRcChunkPastEnd, false},
      {"picture chunk past the end", 12 + 50, kRcChunkPastEnd, false},
  };
  for (const Case& c : cases) {
    CFixedMemStream in(out.memory(), int64_t(c.cut));
    TMTC picture;
    EXPECT_EQ(findThumbnail(in, picture), c.code) << c.what;
    EXPECT_EQ(picture.IsAllocated(), c.found) << c.what;
  }
}

TEST(DocumentThumbnail, FitsTheSquareWithTheDocumentsAspect) {
  struct Case {
    int32_t w, h, tw, th;
  };
  for (const Case c : {Case{1000, 500, 256, 128}, Case{500, 1000, 128, 256}, Case{300, 300, 256, 256},
                       Case{4000, 10, 256, 1}, Case{40, 30, 256, 192}}) {
    test::NativeDoc d(c.w, c.h);
    TMTC picture;
    ASSERT_TRUE(makeDocumentThumbnail(*d.doc, picture));
    EXPECT_EQ(picture.size(), (SSize{c.tw, c.th})) << c.w << "x" << c.h;
  }
}

// Every pixel of a plane, row by row.
std::vector<uint32_t> pixelsOf(const TMTC& plane) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) out.push_back(plane.getPixel(x, y));
  return out;
}

TEST(DocumentThumbnail, OpaquePictureWithoutTheGrid) {
  test::NativeDoc d(64, 64);
  d.addLayer(1);
  d.layers().getLayer(0)->opacity = 100;
  d.doc->setBackgroundFlags(false, d.doc->showBgPattern());  // a picture with transparency
  d.doc->view().setGrid(false, 4, 4);
  d.doc->redraw(false);
  const std::vector<uint32_t> plainComposite = pixelsOf(d.doc->composite());
  TMTC plain;
  ASSERT_TRUE(makeDocumentThumbnail(*d.doc, plain));
  d.doc->view().setGrid(true, 4, 4);
  d.doc->redraw(true);
  const std::vector<uint32_t> withGrid = pixelsOf(d.doc->composite());
  EXPECT_NE(withGrid, plainComposite);
  TMTC picture;
  ASSERT_TRUE(makeDocumentThumbnail(*d.doc, picture));
  // The picture has no grid, and the grid is back in the composite.
  EXPECT_EQ(pixelsOf(picture), pixelsOf(plain));
  EXPECT_EQ(pixelsOf(d.doc->composite()), withGrid);
  for (uint32_t p : pixelsOf(picture)) ASSERT_EQ(p >> 24, 255u);
}

TEST(DocumentThumbnail, ChunkOfTheDocument) {
  test::NativeDoc d(100, 50);
  d.addLayer(3);
  d.doc->redraw(false);
  CMemoryStream out;
  ASSERT_EQ(writeThumbnail(out, *d.doc, 2), kRcOk);
  const SThumbnailDesc stored = parseThumbnailDesc(out.memory() + 8);
  EXPECT_EQ(stored.format, 2);
  EXPECT_EQ(stored.kind, kPictureDocument);
  EXPECT_EQ(stored.group, 4);
  EXPECT_EQ(stored.step, 3);
  EXPECT_EQ(stored.key, kThumbnailKey);
  EXPECT_EQ(stored.tail, 0);
  EXPECT_EQ(stored.sourceWidth, 100u);
  EXPECT_EQ(stored.sourceHeight, 50u);
  EXPECT_EQ(stored.width, 256u);
  EXPECT_EQ(stored.height, 128u);
  EXPECT_EQ(writeThumbnail(out, *d.doc, 5), kRcThumbFormat);
  test::NativeDoc empty(0, 0);
  EXPECT_EQ(writeThumbnail(out, *empty.doc, 2), kRcNothing);

  // The event file's hook writes the same chunk.
  CPaperEventDocument events(*d.doc);
  CMemoryStream hook;
  ASSERT_EQ(events.writeThumbnailChunk(hook), kRcOk);
  EXPECT_EQ(hook.bytes(), Bytes(out.memory(), out.memory() + hook.size()));
  EXPECT_EQ(events.eventStore(), &d.store());
  EXPECT_EQ(events.eventImageWidth(), 100u);
  EXPECT_EQ(events.eventImageHeight(), 50u);
}

}  // namespace
}  // namespace pg
