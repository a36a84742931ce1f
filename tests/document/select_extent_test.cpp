// Selection expand and contract: the fast running extremes against the
// plain maximum over the element's table, and the document operation.
#include <gtest/gtest.h>

#include <random>

#include "doc_ops_fixture.h"
#include "document/selection_morph.h"

namespace pg::test {
namespace {

// The plain form: every pixel the extreme over the element from its table.
std::vector<uint8_t> reference(const std::vector<uint8_t>& src, int32_t w, int32_t h, int32_t n, bool grow) {
  const std::vector<int32_t> t = octagonHalfExtents(n);
  std::vector<uint8_t> out(src.size());
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      int32_t best = grow ? 0 : 255;
      for (int32_t dx = -n; dx <= n; ++dx)
        for (int32_t dy = -t[static_cast<size_t>(dx + n)]; dy <= t[static_cast<size_t>(dx + n)]; ++dy) {
          const int32_t sx = x + dx, sy = y + dy;
          const int32_t v = sx < 0 || sy < 0 || sx >= w || sy >= h ? 0 : src[static_cast<size_t>(sy * w + sx)];
          best = grow ? std::max(best, v) : std::min(best, v);
        }
      out[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>(best);
    }
  return out;
}

TEST(SelectExtent, TheElementTable) {
  EXPECT_EQ(octagonHalfExtents(1), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(octagonHalfExtents(4), (std::vector<int32_t>{2, 3, 4, 4, 4, 4, 4, 3, 2}));
  EXPECT_EQ(octagonHalfExtents(5), (std::vector<int32_t>{3, 4, 5, 5, 5, 5, 5, 5, 5, 4, 3}));
  EXPECT_TRUE(octagonHalfExtents(0).empty());
}

TEST(SelectExtent, RunningExtremesEqualThePlainForm) {
  std::mt19937 rng(5);
  for (int32_t n = 1; n <= 9; ++n) {
    for (int trial = 0; trial < 3; ++trial) {
      const int32_t w = 23 + trial * 7, h = 17 + trial * 5;
      std::vector<uint8_t> src(static_cast<size_t>(w * h));
      // Sparse grey blobs, some on the edges.
      for (auto& v : src) v = rng() % 9 == 0 ? static_cast<uint8_t>(rng() % 256) : 0;
      for (bool grow : {true, false}) {
        std::vector<uint8_t> fast = src;
        if (!grow)
          for (auto& v : fast) v = 255 - v;  // a mostly selected picture to shrink
        std::vector<uint8_t> input = fast;
        ASSERT_TRUE(morphOctagon(fast, w, h, n, grow));
        EXPECT_EQ(fast, reference(input, w, h, n, grow)) << "n " << n << (grow ? " grow" : " shrink") << " trial " << trial;
      }
    }
  }
}

struct ExtentFixture : OpsFixture {
  ExtentFixture() {
    addLayer(0, 1);
    EXPECT_TRUE(doc->maskFigureRect(*flow, 0, {20, 20}, {21, 21}, 0, stroke, false));  // one pixel
  }
  int32_t at(int32_t x, int32_t y) const { return doc->masks()->currentMask()->valueAtPaper(x, y); }
};

TEST(SelectExtent, ExpandingOnePixelByOneGivesAThreeByThreeBlock) {
  ExtentFixture f;
  f.roundTrip([&] { return f.doc->applySelectExpand(-1, true, 0, 1); }, (10 << 8) | 25, "expand");
  for (int32_t y = 18; y <= 22; ++y)
    for (int32_t x = 18; x <= 22; ++x)
      EXPECT_EQ(f.at(x, y) > 0, x >= 19 && x <= 21 && y >= 19 && y <= 21) << x << "," << y;
}

TEST(SelectExtent, ContractingANarrowSelectionRemovesIt) {
  ExtentFixture f;
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {10, 10}, {40, 14}, 0, f.stroke, false));  // 4 high
  f.roundTrip([&] { return f.doc->applySelectContract(-1, true, 0, 2); }, (10 << 8) | 26, "contract");
  EXPECT_EQ(f.at(20, 12), 0);
  EXPECT_EQ(f.at(20, 11), 0);
}

TEST(SelectExtent, ASelectionAtTheEdgeKeepsItsPlace) {
  ExtentFixture f;
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {0, 0}, {5, 5}, 0, f.stroke, false));
  ASSERT_TRUE(f.doc->applySelectExpand(-1, false, 0, 3));
  EXPECT_EQ(f.at(0, 0), 255);
  EXPECT_EQ(f.at(7, 4), 255);
  EXPECT_EQ(f.at(8, 4), 0);
}

TEST(SelectExtent, Refusals) {
  ExtentFixture f;
  const uint32_t from = f.position();
  EXPECT_FALSE(f.doc->applySelectExpand(-1, true, 0, 0));
  EXPECT_FALSE(f.doc->applySelectExpand(-1, true, 0, 1 << 30));
  EXPECT_FALSE(f.doc->applySelectContract(5, true, 0, 1));
  ASSERT_TRUE(f.doc->maskFillNone(*f.flow, 0, false));
  EXPECT_FALSE(f.doc->applySelectExpand(-1, true, 0, 2));  // nothing selected
  EXPECT_TRUE(f.packetsSince(from).empty());
}

}  // namespace
}  // namespace pg::test
