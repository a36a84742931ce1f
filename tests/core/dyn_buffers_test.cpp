#include "core/dyn_buffers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/mem_utils.h"

namespace pg {
namespace {

// Lets every allocation fail while it lives.
struct FailAllAllocations {
  FailAllAllocations() { old = setAllocFailHook([](size_t) { return true; }); }
  ~FailAllAllocations() { setAllocFailHook(old); }
  AllocFailHook old;
};

std::vector<uint8_t> bytesOf(const SDynBuf& b) {
  auto* p = static_cast<const uint8_t*>(b.Data);
  return p ? std::vector<uint8_t>(p, p + dynBufByteSize(b)) : std::vector<uint8_t>{};
}

TEST(CDynStack, HandsElementsBackOldestFirstAndFlagsOverflow) {
  CDynStack s(8, 2);
  ASSERT_TRUE(s.isAllocated());
  const int64_t a = 0x1111, b = 0x2222, c = 0x3333;
  int64_t out = 0;
  EXPECT_TRUE(s.push(&a));
  EXPECT_TRUE(s.push(&b));
  EXPECT_FALSE(s.push(&c));
  EXPECT_TRUE(s.Overflow());
  EXPECT_EQ(s.Length(), 2);
  EXPECT_TRUE(s.take(&out));
  EXPECT_EQ(out, a);
  EXPECT_TRUE(s.Overflow());  // stays set until reset
  EXPECT_TRUE(s.take(&out));
  EXPECT_EQ(out, b);
  EXPECT_FALSE(s.take(&out));
  s.reset();
  EXPECT_FALSE(s.Overflow());
  EXPECT_EQ(s.Length(), 0);
}

TEST(CDynStack, OrderHoldsAcrossInterleavedPushesAndTakes) {
  CDynStack s(4, 3);
  std::vector<int32_t> taken;
  int32_t next = 0, v = 0;
  // Pushes and takes in an uneven pattern, so the elements wrap round the block.
  const char* script = "ppptpptttpptptpppttt";
  for (const char* op = script; *op; ++op) {
    if (*op == 'p') {
      if (s.push(&next)) ++next;
    } else if (s.take(&v)) {
      taken.push_back(v);
    }
  }
  std::vector<int32_t> expected(taken.size());
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<int32_t>(i);
  EXPECT_EQ(taken, expected);
  EXPECT_EQ(static_cast<int32_t>(taken.size()), next);
  EXPECT_EQ(s.Length(), 0);
}

TEST(CDynStack, WithoutBlockEveryPushOverflows) {
  std::unique_ptr<CDynStack> s;
  {
    FailAllAllocations fail;
    s = std::make_unique<CDynStack>(8, 16);
  }
  EXPECT_FALSE(s->isAllocated());
  int64_t a = 1;
  EXPECT_FALSE(s->push(&a));
  EXPECT_TRUE(s->Overflow());
  EXPECT_FALSE(s->take(&a));
}

TEST(DynBuf, SetLengthKeepsContentsAndANewElementSizeStartsOver) {
  SDynBuf b;
  dynBufInit(b);
  ASSERT_TRUE(dynBufSetLength(b, 4, 3));
  EXPECT_EQ(bytesOf(b), std::vector<uint8_t>(12, 0));  // new bytes are zero
  ASSERT_TRUE(dynBufFill(b, 0x5A));
  ASSERT_TRUE(dynBufSetLength(b, 4, 5));  // grown: kept, new part zero
  std::vector<uint8_t> expect(20, 0);
  std::fill(expect.begin(), expect.begin() + 12, 0x5A);
  EXPECT_EQ(bytesOf(b), expect);
  void* data = b.Data;
  EXPECT_TRUE(dynBufSetLength(b, 4, 5));  // same count: nothing happens
  EXPECT_EQ(b.Data, data);

  ASSERT_TRUE(dynBufSetLength(b, 2, 5));  // same count, new element size: freed and reallocated
  EXPECT_EQ(b.ElemSize, 2);
  EXPECT_EQ(bytesOf(b), std::vector<uint8_t>(10, 0));

  EXPECT_FALSE(dynBufSetLength(b, 2, 0));  // no data for no elements
  EXPECT_FALSE(dynBufAllocated(b));
  EXPECT_FALSE(dynBufSetLength(b, -1, 4));
  EXPECT_FALSE(dynBufSetLength(b, 4, -1));
  dynBufFree(b);
}

TEST(DynBuf, ByteSizeIsSixtyFourBits) {
  SDynBuf b{INT32_MAX, nullptr, 8};
  EXPECT_EQ(dynBufByteSize(b), int64_t{INT32_MAX} * 8);
  SGrid2D g{0, 0, INT32_MAX, 16, nullptr};
  EXPECT_EQ(grid2DByteSize(g), int64_t{INT32_MAX} * 16);
}

TEST(DynBuf, FailedResizeLeavesTheBufferAsItWas) {
  SDynBuf b;
  ASSERT_TRUE(dynBufSetLength(b, 1, 4));
  EXPECT_TRUE(dynBufFill(b, 3));
  void* data = b.Data;
  {
    FailAllAllocations fail;
    EXPECT_FALSE(dynBufSetLength(b, 1, 100));
    EXPECT_FALSE(dynBufResizeKeep(b, 2, 100));
  }
  EXPECT_EQ(b.Data, data);
  EXPECT_EQ(b.Count, 4);
  EXPECT_EQ(b.ElemSize, 1);
  EXPECT_EQ(bytesOf(b), std::vector<uint8_t>(4, 3));
  dynBufFree(b);
  EXPECT_EQ(b.Count, 0);
  EXPECT_EQ(b.ElemSize, 0);
}

TEST(DynBuf, ResizeKeepCopiesBytesAcrossElementSizes) {
  SDynBuf b;
  ASSERT_TRUE(dynBufSetLength(b, 1, 6));
  for (int i = 0; i < 6; ++i) static_cast<uint8_t*>(b.Data)[i] = static_cast<uint8_t>(i + 1);
  ASSERT_TRUE(dynBufResizeKeep(b, 2, 4));  // 6 bytes into 8
  EXPECT_EQ(bytesOf(b), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0, 0}));
  ASSERT_TRUE(dynBufResizeKeep(b, 4, 1));  // 8 bytes into 4
  EXPECT_EQ(bytesOf(b), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_TRUE(dynBufResizeKeep(b, 4, 1));
  dynBufFree(b);
}

TEST(DynBuf, MoveAssignAndDetach) {
  SDynBuf src, dst;
  ASSERT_TRUE(dynBufSetLength(src, 2, 3));
  EXPECT_TRUE(dynBufFill(src, 9));
  void* data = src.Data;
  ASSERT_TRUE(dynBufMove(dst, src));
  EXPECT_EQ(dst.Data, data);
  EXPECT_EQ(dst.Count, 3);
  EXPECT_FALSE(dynBufAllocated(src));
  EXPECT_FALSE(dynBufMove(dst, src));  // dst holds data: refused

  SDynBuf copy;
  ASSERT_TRUE(dynBufAssign(copy, dst));
  EXPECT_NE(copy.Data, dst.Data);
  EXPECT_EQ(bytesOf(copy), bytesOf(dst));

  SDynBuf empty;
  EXPECT_FALSE(dynBufAssign(copy, empty));  // from an empty source onto data: unchanged
  EXPECT_EQ(bytesOf(copy), std::vector<uint8_t>(6, 9));

  void* detached = dynBufDetach(copy);
  EXPECT_FALSE(dynBufAllocated(copy));
  EXPECT_EQ(copy.Count, 0);
  freeBlock(detached);
  dynBufFree(dst);
  EXPECT_FALSE(dynBufFill(dst, 1));
}

TEST(Grid2D, SetSizeFillAndLimits) {
  SGrid2D g;
  grid2DInit(g);
  ASSERT_TRUE(grid2DSetSize(g, 4, 3, 2));
  EXPECT_EQ(g.Count, 6);
  EXPECT_EQ(grid2DByteSize(g), 24);
  const uint8_t pattern[4] = {1, 2, 3, 4};
  grid2DFillElem(g, pattern);
  auto* p = static_cast<uint8_t*>(g.Data);
  EXPECT_EQ(p[20], 1);
  EXPECT_EQ(p[23], 4);
  void* data = g.Data;
  EXPECT_TRUE(grid2DSetSize(g, 4, 3, 2));
  EXPECT_EQ(g.Data, data);
  grid2DFill(g, 0);
  EXPECT_EQ(p[23], 0);

  EXPECT_FALSE(grid2DSetSize(g, 4, 70000, 70000));  // W*H beyond 32 bits
  EXPECT_FALSE(grid2DSetSize(g, 4, -3, 2));
  EXPECT_EQ(g.Count, 6);
  {
    FailAllAllocations fail;
    EXPECT_FALSE(grid2DSetSize(g, 4, 30, 20));
  }
  EXPECT_EQ(g.Data, data);
  EXPECT_EQ(g.W, 3);
  grid2DFree(g);
  EXPECT_FALSE(grid2DAllocated(g));
  EXPECT_EQ(g.Count, 0);
}

TEST(PairBuf, SetLengthAndMove) {
  SPairBuf a, b;
  pairBufInit(a);
  ASSERT_TRUE(pairBufSetLength(a, 4));
  EXPECT_TRUE(pairBufAllocated(a));
  static_cast<int64_t*>(a.Data)[3] = -7;
  ASSERT_TRUE(pairBufSetLength(a, 6));
  EXPECT_EQ(static_cast<int64_t*>(a.Data)[3], -7);
  EXPECT_EQ(static_cast<int64_t*>(a.Data)[5], 0);
  ASSERT_TRUE(pairBufMove(b, a));
  EXPECT_FALSE(pairBufAllocated(a));
  EXPECT_EQ(b.Count, 6);
  ASSERT_TRUE(pairBufSetLength(a, 1));
  EXPECT_FALSE(pairBufMove(b, a));
  EXPECT_FALSE(pairBufSetLength(a, -2));
  pairBufFree(a);
  pairBufFree(b);
  EXPECT_EQ(b.Count, 0);
}

}  // namespace
}  // namespace pg
