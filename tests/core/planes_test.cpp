#include "core/planes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/limits.h"
#include "core/mem_utils.h"
#include "platform/debug_output.h"

namespace pg {
namespace planes_test {

// Captures the debug output and lets chosen allocations fail; restores both.
class PlaneFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    oldSink_ = setDebugSink([this](std::string_view t) { lines.emplace_back(t); });
  }
  void TearDown() override {
    setAllocFailHook({});
    setDebugSink(oldSink_);
  }
  // Makes the n-th allocation from now (1-based) fail; the others succeed.
  void failAllocation(int n) {
    auto count = std::make_shared<int>(0);
    setAllocFailHook([count, n](size_t) { return ++*count == n; });
  }
  std::vector<std::string> lines;

 private:
  DebugSink oldSink_;
};

std::unique_ptr<CDibCore> makePlane(const std::string& kind) {
  if (kind == "TChannel") return std::make_unique<TChannel>();
  if (kind == "TMTC") return std::make_unique<TMTC>();
  return std::make_unique<TTC>();
}

TEST(Planes, RowLayoutOfTheThreeClasses) {
  struct Case {
    const char* kind;
    std::vector<int32_t> rowOffsets;
    int32_t rowStep, bytesPerPixel;
    int64_t byteSize;
  };
  const Case cases[] = {
      {"TChannel", {3, 0}, -3, 1, 6},
      {"TMTC", {0, 12}, 3, 4, 24},
      {"TTC", {12, 0}, -3, 4, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    auto plane = makePlane(c.kind);
    ASSERT_TRUE(plane->Resize(3, 2));
    ASSERT_TRUE(isPlaneReady(plane.get()));
    EXPECT_EQ(plane->Width, 3);
    EXPECT_EQ(plane->Height, 2);
    EXPECT_EQ(std::vector<int32_t>(plane->RowOffsets, plane->RowOffsets + 2), c.rowOffsets);
    EXPECT_EQ(plane->RowStep(), c.rowStep);
    EXPECT_EQ(plane->isTopDown(), c.rowStep > 0);
    EXPECT_EQ(plane->BytesPerPixel(), c.bytesPerPixel);
    EXPECT_EQ(plane->ByteSize(), c.byteSize);
    EXPECT_EQ(plane->InfoPtr, static_cast<SDibInfo*>(plane.get()));
    // Every way of addressing pixel (2, 1) lands on the same byte, one row
    // step below pixel (2, 0).
    uint8_t* viaVirtual = plane->PixelAddress(2, 1);
    uint8_t* viaInfo = c.bytesPerPixel == 1 ? pixelAddr8(*plane->InfoPtr, 2, 1)
                                            : reinterpret_cast<uint8_t*>(pixelAddr32(*plane->InfoPtr, 2, 1));
    EXPECT_EQ(viaVirtual, viaInfo);
    EXPECT_EQ(viaVirtual, plane->Bits + c.rowOffsets[1] + 2 * c.bytesPerPixel);
    EXPECT_EQ(viaVirtual - plane->PixelAddress(2, 0), plane->RowStep() * plane->BytesPerPixel());
  }
}

TEST(Planes, TypedAccessorsMatchTheVirtualAddress) {
  TChannel ch(4, 3);
  TMTC mtc(4, 3);
  TTC tc(true, 4, 3);
  EXPECT_EQ(ch.pixelAt(3, 2), ch.PixelAddress(3, 2));
  EXPECT_EQ(reinterpret_cast<uint8_t*>(mtc.pixelAt(3, 2)), mtc.PixelAddress(3, 2));
  EXPECT_EQ(reinterpret_cast<uint8_t*>(tc.pixelAt(3, 2)), tc.PixelAddress(3, 2));
  *tc.pixelAt(1, 0) = 0x11223344;
  EXPECT_EQ(tc.getPixel(1, 0), 0x11223344u);
  // Row 0 is the top row: in a bottom-up plane it is the last row of memory.
  EXPECT_EQ(reinterpret_cast<uint8_t*>(tc.pixelAt(0, 0)), tc.Bits + 2 * 16);
}

TEST(Planes, TmtcResizeKeepsItsBlockByByteCount) {
  TMTC p;
  ASSERT_TRUE(p.Resize(2, 4));
  for (int i = 0; i < 8; ++i) reinterpret_cast<uint32_t*>(p.Bits)[i] = 0xA0000000u + i;
  uint8_t* block = p.Bits;

  ASSERT_TRUE(p.Resize(4, 2));  // same byte count: same block, old bytes in the new shape
  EXPECT_EQ(p.Bits, block);
  EXPECT_EQ(p.size(), (SSize{4, 2}));
  EXPECT_EQ(std::vector<int32_t>(p.RowOffsets, p.RowOffsets + 2), (std::vector<int32_t>{0, 16}));
  EXPECT_EQ(p.getPixel(1, 1), 0xA0000005u);

  ASSERT_TRUE(p.Resize(4, 4));
  block = p.Bits;
  int32_t* rows = p.RowOffsets;
  *p.pixelAt(3, 3) = 42;
  ASSERT_TRUE(p.Resize(4, 4));  // same size: nothing happens
  EXPECT_EQ(p.Bits, block);
  EXPECT_EQ(p.RowOffsets, rows);
  EXPECT_EQ(p.getPixel(3, 3), 42u);
}

TEST(Planes, TtcComparesTheUnclampedRequest) {
  TTC p;
  EXPECT_TRUE(p.OwnDC);
  ASSERT_TRUE(p.Resize(0, 0));  // a fresh plane answers True and stays empty
  EXPECT_FALSE(p.IsAllocated());
  EXPECT_EQ(p.size(), (SSize{0, 0}));

  ASSERT_TRUE(p.Resize(0, 5));
  EXPECT_EQ(p.size(), (SSize{1, 5}));
  ASSERT_TRUE(isPlaneReady(&p));
  *p.pixelAt(0, 2) = 7;
  ASSERT_TRUE(p.Resize(1, 5));  // equal to the current size: kept as it is
  EXPECT_EQ(p.getPixel(0, 2), 7u);
  ASSERT_TRUE(p.Resize(0, 5));  // differs from 1 x 5 as asked: rebuilt, zero-filled
  EXPECT_EQ(p.size(), (SSize{1, 5}));
  EXPECT_EQ(p.getPixel(0, 2), 0u);

  TTC withoutDC(false);
  EXPECT_FALSE(withoutDC.OwnDC);
  TTC sized(false, 3, 2);
  EXPECT_TRUE(isPlaneReady(&sized));
}

TEST(Planes, ChannelNeverReusesItsBlockAndNewBlocksAreZero) {
  TChannel ch(5, 5);
  std::memset(ch.Bits, 0xCD, 25);
  ASSERT_TRUE(ch.Resize(5, 5));
  for (int i = 0; i < 25; ++i) ASSERT_EQ(ch.Bits[i], 0) << i;

  TMTC m(6, 6);
  std::memset(m.Bits, 0xCD, 144);
  ASSERT_TRUE(m.Resize(7, 6));
  for (int i = 0; i < 168; ++i) ASSERT_EQ(m.Bits[i], 0) << i;
}

TEST(Planes, ZeroAreaAnswersTrueWithoutPixels) {
  for (const char* kind : {"TChannel", "TMTC"}) {
    SCOPED_TRACE(kind);
    auto plane = makePlane(kind);
    ASSERT_TRUE(plane->Resize(4, 4));
    EXPECT_TRUE(plane->Resize(0, 3));
    EXPECT_EQ(plane->Bits, nullptr);
    EXPECT_FALSE(isPlaneReady(plane.get()));
    EXPECT_TRUE(plane->Resize(3, 0));
    EXPECT_FALSE(plane->IsAllocated());
  }
  EXPECT_FALSE(isPlaneReady(nullptr));
}

TEST_F(PlaneFaults, AllocationFailureAnswersFalseAndLeavesThePlaneEmpty) {
  struct Case {
    const char* kind;
    int failingAllocation;  // 1: the pixel block, 2: the row-offset table
    const char* line;
  };
  const Case cases[] = {
      {"TChannel", 1, "TChannel::Resize: caught an exception!\\n"},
      {"TChannel", 2, "TChannel::Resize: caught an exception!\\n"},
      {"TMTC", 1, "TMTC::Resize: caught an exception!\\n"},
      {"TMTC", 2, "TMTC::Resize: caught an exception!\\n"},
      {"TTC", 1, "TTC::Resize: caught an exception!\\n"},
      {"TTC", 2, "TTC::Resize: caught an exception!\\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.kind << " allocation " << c.failingAllocation);
    lines.clear();
    auto plane = makePlane(c.kind);
    ASSERT_TRUE(plane->Resize(3, 3));
    failAllocation(c.failingAllocation);
    EXPECT_FALSE(plane->Resize(8, 6));
    setAllocFailHook({});
    ASSERT_EQ(lines, std::vector<std::string>{c.line});
    EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\\n");  // a backslash and n, not a line break
    EXPECT_FALSE(isPlaneReady(plane.get()));
    EXPECT_EQ(plane->size(), (SSize{0, 0}));  // not the new size without pixels
    EXPECT_EQ(plane->Bits, nullptr);
    EXPECT_EQ(plane->RowOffsets, nullptr);
    EXPECT_TRUE(plane->Resize(2, 2));  // and the plane is usable again
    EXPECT_TRUE(isPlaneReady(plane.get()));
  }
}

TEST_F(PlaneFaults, KeptBlockIsFreedWhenTheRowTableFails) {
  TMTC p(2, 4);
  failAllocation(1);  // the block is kept, so the first allocation is the row table
  EXPECT_FALSE(p.Resize(4, 2));
  EXPECT_EQ(p.Bits, nullptr);  // freed, not leaked (the sanitizer build checks the leak)
  EXPECT_EQ(p.size(), (SSize{0, 0}));
}

TEST_F(PlaneFaults, SizesBeyondTheLimitsAreRefused) {
  struct Case {
    int32_t w, h;
  };
  const Case cases[] = {{-1, 5}, {5, -1}, {INT_MIN, INT_MIN}, {20000, 20000}, {INT_MAX, INT_MAX}, {1 << 28, 2}};
  for (const char* kind : {"TChannel", "TMTC", "TTC"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << kind << " " << c.w << " x " << c.h);
      lines.clear();
      auto plane = makePlane(kind);
      ASSERT_TRUE(plane->Resize(2, 2));
      EXPECT_FALSE(plane->Resize(c.w, c.h));
      EXPECT_EQ(plane->size(), (SSize{0, 0}));
      EXPECT_FALSE(plane->IsAllocated());
      EXPECT_EQ(lines.size(), 1u);
    }
  }
}

TEST(Limits, PlaneAreaAndImageLimits) {
  EXPECT_TRUE(planeSizeAllowed(kMaxImageWidth, kMaxImageHeight));
  EXPECT_TRUE(planeSizeAllowed(kMaxPlaneArea, 1));
  EXPECT_TRUE(planeSizeAllowed(0, 0));
  EXPECT_FALSE(planeSizeAllowed(kMaxPlaneArea, 2));
  EXPECT_FALSE(planeSizeAllowed(16385, 16385));
  EXPECT_FALSE(planeSizeAllowed(-1, 0));
  EXPECT_EQ(kMaxLayers, 10000);
  // The largest 32-bit plane's byte offsets fit the signed 32-bit row table.
  EXPECT_LE(4 * kMaxPlaneArea, int64_t{INT32_MAX} + 1);
}

TEST(Planes, CopyPixelsFromRefusesAnotherSizeAndCrossesRowOrders) {
  TMTC src(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) *src.pixelAt(x, y) = 0xFF000000u | (y << 8) | x;
  TTC dst(true, 3, 2);
  ASSERT_TRUE(dst.copyPixelsFrom(src));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.getPixel(x, y), src.getPixel(x, y)) << x << "," << y;

  TMTC other(2, 3);  // same byte count, other shape
  EXPECT_FALSE(other.copyPixelsFrom(src));
  EXPECT_EQ(other.getPixel(0, 0), 0u);
  TMTC empty;
  EXPECT_FALSE(empty.copyPixelsFrom(src));
  EXPECT_FALSE(src.copyPixelsFrom(empty));
}

TEST(Planes, CreateCopyDuplicatesPixels) {
  TMTC src(4, 3);
  *src.pixelAt(3, 2) = 0x80FF0000u;
  auto copy = TMTC::CreateCopy(src);
  ASSERT_TRUE(isPlaneReady(copy.get()));
  EXPECT_EQ(copy->size(), (SSize{4, 3}));
  EXPECT_EQ(copy->getPixel(3, 2), 0x80FF0000u);
  EXPECT_NE(copy->Bits, src.Bits);

  TChannel ch(SSize{5, 2});
  *ch.pixelAt(4, 0) = 9;
  auto chCopy = TChannel::CreateCopy(ch);
  ASSERT_TRUE(isPlaneReady(chCopy.get()));
  EXPECT_EQ(chCopy->getPixel(4, 0), 9);
  EXPECT_EQ(std::memcmp(chCopy->Bits, ch.Bits, 10), 0);
}

TEST(Planes, ClampedReads) {
  TMTC p(2, 2);
  *p.pixelAt(0, 0) = 0x00FFFFFFu;  // white
  *p.pixelAt(1, 0) = 0x00FF0000u;  // red (blue in the low byte)
  *p.pixelAt(0, 1) = 0x0000FF00u;  // green
  *p.pixelAt(1, 1) = 0x000000FFu;  // blue
  struct Case {
    int32_t x, y;
    uint32_t pixel;
    uint8_t grey;
  };
  const Case cases[] = {
      {0, 0, 0x00FFFFFFu, 255}, {5, -3, 0x00FF0000u, 76}, {-1, 9, 0x0000FF00u, 149}, {1, 1, 0x000000FFu, 29},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(p.getPixelClamped(c.x, c.y), c.pixel);
    EXPECT_EQ(p.greyAtClamped(c.x, c.y), c.grey);
  }
  int32_t b = 1, g = 2, r = 3;
  p.accumulateRgb(-4, 0, b, g, r);  // white
  p.accumulateRgb(4, 0, b, g, r);   // red
  EXPECT_EQ(b, 1 + 255);
  EXPECT_EQ(g, 2 + 255);
  EXPECT_EQ(r, 3 + 510);
  SRgbSum sum;
  p.accumulateRgbRec(1, 1, sum);  // blue
  EXPECT_EQ(sum.R, 0);
  EXPECT_EQ(sum.B, 255);

  TChannel ch(3, 1);
  *ch.pixelAt(2, 0) = 77;
  EXPECT_EQ(ch.getPixelClamped(50, 50), 77);
  // A plane without pixels reads 0 instead of touching a null block.
  EXPECT_EQ(TChannel().getPixelClamped(0, 0), 0);
  EXPECT_EQ(TMTC().getPixelClamped(3, 3), 0u);
}

// A part of a plane reads and writes the plane's pixels, but clamps and
// clips at its own edge; it never frees the plane's block.
TEST(Planes, APartStopsAtItsOwnEdge) {
  TMTC whole(4, 3);
  TChannel wholeCh(4, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      *whole.pixelAt(x, y) = uint32_t(y * 16 + x);
      *wholeCh.pixelAt(x, y) = uint8_t(y * 16 + x);
    }
  {
    TPlanePart<TMTC> part;
    part.lay(whole, SSize{2, 2});
    TPlanePart<TChannel> partCh;
    partCh.lay(wholeCh, SSize{9, 2});  // clamped to the whole's width
    EXPECT_EQ(part.size(), (SSize{2, 2}));
    EXPECT_EQ(partCh.size(), (SSize{4, 2}));
    EXPECT_EQ(part.getPixelClamped(9, 9), 0x11u);  // (1, 1), not (3, 2)
    EXPECT_EQ(partCh.getPixelClamped(9, 9), 0x13);  // (3, 1)
    EXPECT_EQ(part.RowStep(), whole.RowStep());
    EXPECT_EQ(partCh.RowStep(), wholeCh.RowStep());
    EXPECT_EQ(part.PixelAddress(1, 1), whole.PixelAddress(1, 1));
    EXPECT_EQ(partCh.PixelAddress(2, 1), wholeCh.PixelAddress(2, 1));
    *part.pixelAt(1, 0) = 0xABCDu;
    EXPECT_FALSE(part.Resize(8, 8));
    TMTC none;
    TPlanePart<TMTC> empty;
    empty.lay(none, SSize{2, 2});
    EXPECT_FALSE(empty.IsAllocated());
  }
  EXPECT_EQ(whole.getPixel(1, 0), 0xABCDu);  // written through, still the whole's
  EXPECT_EQ(whole.getPixel(3, 2), 0x23u);
}

TEST(Planes, BoundsAndClipping) {
  TChannel ch(10, 8);
  TRect r{-5, 2, 20, 4};
  EXPECT_TRUE(ch.clipRect(r));
  EXPECT_EQ(r, (TRect{0, 2, 10, 4}));
  SRectXYWH x{8, 7, 5, 5};
  EXPECT_TRUE(ch.clipRectWH(x));
  EXPECT_EQ(x, (SRectXYWH{8, 7, 2, 1}));
  TRect b;
  EXPECT_TRUE(ch.getBounds(b));
  EXPECT_EQ(b, (TRect{0, 0, 10, 8}));
  ch.Release();
  EXPECT_FALSE(ch.getBounds(b));
  EXPECT_EQ(b, (TRect{0, 0, 0, 0}));
  EXPECT_TRUE(ch.resizeTo({2, 3}));
  EXPECT_EQ(ch.size(), (SSize{2, 3}));
}

}  // namespace planes_test
}  // namespace pg
