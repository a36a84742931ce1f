#include "brush/text_raster.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace pg {
namespace {

// Outlines drawn in pixels (y up), stored in 26.6.
struct SOutlineBuilder {
  SGlyphOutline O;
  SOutlineBuilder& move(double x, double y) { return op(EOutlineOp::MoveTo, {{x, y}}); }
  SOutlineBuilder& line(double x, double y) { return op(EOutlineOp::LineTo, {{x, y}}); }
  SOutlineBuilder& quad(double cx, double cy, double x, double y) { return op(EOutlineOp::QuadTo, {{cx, cy}, {x, y}}); }
  SOutlineBuilder& rect(double l, double b, double r, double t) {
    return move(l, b).line(r, b).line(r, t).line(l, t).line(l, b);
  }
  SOutlineBuilder& op(EOutlineOp op, std::initializer_list<std::pair<double, double>> pts) {
    O.Ops.push_back(op);
    for (auto [x, y] : pts) O.Points.push_back({int32_t(x * 64), int32_t(y * 64)});
    return *this;
  }
};

// The levels as rows of text: '#' 64, '.' 0, '+' anything between.
std::vector<std::string> picture(const SGlyphBox& box, const std::vector<uint8_t>& levels) {
  std::vector<std::string> rows;
  for (int32_t y = 0; y < box.Dims.Height; ++y) {
    std::string r;
    for (int32_t x = 0; x < box.Dims.Width; ++x) {
      const uint8_t v = levels[size_t(y * box.Dims.Pitch + x)];
      r += v == 64 ? '#' : v == 0 ? '.' : '+';
    }
    rows.push_back(r);
  }
  return rows;
}

TEST(GlyphRaster, ContoursInsideOthersAreHoles) {
  SOutlineBuilder b;
  b.rect(0, 0, 10, 10).rect(3, 3, 7, 7);
  SGlyphBox box;
  std::vector<uint8_t> levels;
  ASSERT_TRUE(rasterGlyph(b.O, box, levels));
  EXPECT_EQ(box.Dims.Width, 10);
  EXPECT_EQ(box.Dims.Height, 10);
  EXPECT_EQ(box.Dims.Pitch, 12);
  EXPECT_EQ(box.OriginX, 0);
  EXPECT_EQ(box.OriginY, 10);
  EXPECT_EQ(levels.size(), 120u);
  const std::vector<std::string> want = {
      "##########", "##########", "##########", "###....###", "###....###",
      "###....###", "###....###", "##########", "##########", "##########",
  };
  EXPECT_EQ(picture(box, levels), want);
}

// Separate contours are joined into one polygon; the joins leave no ink.
TEST(GlyphRaster, SeparateContoursLeaveNothingBetween) {
  SOutlineBuilder b;
  b.rect(1, -2, 4, 1).rect(12, 3, 14, 6).rect(6, -2, 8, 6);
  SGlyphBox box;
  std::vector<uint8_t> levels;
  ASSERT_TRUE(rasterGlyph(b.O, box, levels));
  EXPECT_EQ(box.OriginX, 1);
  EXPECT_EQ(box.OriginY, 6);
  const std::vector<std::string> want = {
      ".....##....##",  //
      ".....##....##",  //
      ".....##....##",  //
      ".....##......",  //
      ".....##......",  //
      "###..##......",  //
      "###..##......",  //
      "###..##......",  //
  };
  EXPECT_EQ(picture(box, levels), want);
}

TEST(GlyphRaster, PartialPixelsGetPartialLevels) {
  struct Case {
    const char* Name;
    SGlyphOutline Outline;
    std::vector<int> Row;  // the levels of the first row
  };
  std::vector<Case> cases;
  cases.push_back({"half pixel either side", SOutlineBuilder().rect(0.5, 0, 3.5, 1).O, {32, 64, 64, 32}});
  cases.push_back({"quarter pixel", SOutlineBuilder().rect(0.25, 0, 2, 1).O, {48, 64}});
  // A right triangle: the diagonal pixels are half covered.
  cases.push_back({"diagonal", SOutlineBuilder().move(0, 0).line(4, 0).line(0, 4).line(0, 0).O, {64, 64, 64, 32}});
  for (const Case& c : cases) {
    SGlyphBox box;
    std::vector<uint8_t> levels;
    ASSERT_TRUE(rasterGlyph(c.Outline, box, levels)) << c.Name;
    ASSERT_EQ(box.Dims.Width, int32_t(c.Row.size())) << c.Name;
    const int32_t last = box.Dims.Height - 1;  // the bottom row, y 0..1
    for (size_t x = 0; x < c.Row.size(); ++x)
      EXPECT_NEAR(levels[size_t(last * box.Dims.Pitch) + x], c.Row[x], 2) << c.Name << " x " << x;
  }
}

TEST(GlyphRaster, CurvesAreFlattened) {
  // A round shape of four quadratic quarters, control points at the corners
  // of its 16 x 16 box: each corner keeps a third of its 8 x 8 / 2 triangle,
  // so the area is 256 - 4 x 32 / 3.
  SOutlineBuilder b;
  b.move(16, 8).quad(16, 16, 8, 16).quad(0, 16, 0, 8).quad(0, 0, 8, 0).quad(16, 0, 16, 8);
  SGlyphBox box;
  std::vector<uint8_t> levels;
  ASSERT_TRUE(rasterGlyph(b.O, box, levels));
  EXPECT_EQ(box.Dims.Width, 16);
  EXPECT_EQ(box.Dims.Height, 16);
  double area = 0;
  for (int32_t y = 0; y < box.Dims.Height; ++y)
    for (int32_t x = 0; x < box.Dims.Width; ++x) area += levels[size_t(y * box.Dims.Pitch + x)] / 64.0;
  EXPECT_NEAR(area, 213.3, 3.0);
  EXPECT_EQ(levels[size_t(8 * box.Dims.Pitch + 8)], 64);
  EXPECT_EQ(levels[0], 0);
}

TEST(GlyphRaster, EmptyAndHostileOutlines) {
  SGlyphBox box;
  std::vector<uint8_t> levels{1, 2, 3};
  // Nothing to fill: true, empty.
  ASSERT_TRUE(rasterGlyph(SGlyphOutline{}, box, levels));
  EXPECT_EQ(box.Dims.Width, 0);
  EXPECT_TRUE(levels.empty());
  ASSERT_TRUE(rasterGlyph(SOutlineBuilder().move(0, 0).line(5, 0).line(9, 0).O, box, levels));
  EXPECT_TRUE(levels.empty());

  struct Case {
    const char* Name;
    SGlyphOutline Outline;
  };
  std::vector<Case> bad;
  bad.push_back({"line before move", SOutlineBuilder().line(1, 1).O});
  SGlyphOutline shortPoints = SOutlineBuilder().rect(0, 0, 4, 4).O;
  shortPoints.Points.pop_back();
  bad.push_back({"ops without points", shortPoints});
  bad.push_back({"too wide", SOutlineBuilder().rect(0, 0, kMaxGlyphBoxSide + 1, 1).O});
  bad.push_back({"too large an area", SOutlineBuilder().rect(0, 0, 5000, 5000).O});
  SGlyphOutline far;
  far.Ops = {EOutlineOp::MoveTo, EOutlineOp::LineTo, EOutlineOp::LineTo, EOutlineOp::LineTo};
  far.Points = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
  bad.push_back({"extreme coordinates", far});
  for (const Case& c : bad) {
    levels = {1};
    EXPECT_FALSE(rasterGlyph(c.Outline, box, levels)) << c.Name;
    EXPECT_TRUE(levels.empty()) << c.Name;
    EXPECT_EQ(box.Dims.Width, 0) << c.Name;
  }
}

TEST(GlyphRaster, GridShrinksForLargeGlyphs) {
  struct Case {
    int32_t W, H, S;
  };
  for (const Case& c : {Case{1, 1, 8}, Case{32, 20, 8}, Case{10, 40, 6}, Case{64, 20, 4}, Case{65, 1, 3},
                        Case{128, 128, 2}, Case{129, 10, 1}, Case{8192, 8192, 1}, Case{0, 0, 8}})
    EXPECT_EQ(glyphSupersampling(c.W, c.H), c.S) << c.W << "x" << c.H;
}

}  // namespace
}  // namespace pg
