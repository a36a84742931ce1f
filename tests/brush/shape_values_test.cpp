// The shape value record and its previews: the dab preview reflects size,
// aspect, angle, falloff and nib; the profile curve is a symmetric,
// anti-aliased hill.
#include "brush/shape_values.h"

#include <gtest/gtest.h>

#include "brush/paint_param.h"
#include "brush/pen_shape_obj.h"
#include "core/plane_ops.h"

namespace pg {
namespace shape_values_test {

constexpr uint32_t kBlack = 0x000000;
int ink(const TMTC& p, int32_t x, int32_t y) { return 255 - static_cast<int>(p.getPixel(x, y) & 0xFF); }

TEST(ShapeValues, RecordsFromPenShapesAndPaintParameters) {
  SShapeValues v;
  v.size = 7.0f;
  shapeValuesFromPenShape(nullptr, v);
  EXPECT_EQ(v.size, 7.0f);  // a null shape leaves it alone

  CPenShapeObj shape;
  TChannel nib(3, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) nib.pixelAt(0, y)[x] = static_cast<uint8_t>(x * 100 + y);
  ASSERT_TRUE(shape.setImage(nib, true));
  shapeValuesFromPenShape(&shape, v);
  ASSERT_EQ(v.hasNib, 1);
  ASSERT_EQ(v.nibBytes.size(), 6u);
  EXPECT_EQ(v.nibBytes[0], 255);
  EXPECT_EQ(v.nibBytes[2], 55);   // 255 - 200
  EXPECT_EQ(v.nibBytes[4], 154);  // 255 - 101
  v.clear();
  EXPECT_EQ(v.hasNib, 0);
  EXPECT_TRUE(v.nibBytes.empty());
  EXPECT_EQ(v.size, shape.radius());

  // Paint parameters give a copy of their nib: the record outlives them safely.
  SShapeValues copied;
  {
    TPaintParam param(0);
    param.setNibImage(&nib);
    param.aspect = 0.5f;
    copied = shapeValuesOf(param);
  }
  EXPECT_EQ(copied.aspect, 0.5f);
  EXPECT_EQ(copied.nibBytes.size(), 6u);
}

TEST(ShapeValues, TheDabPreviewShowsSizeAspectAngleAndEdge) {
  TMTC plane(41, 41);
  SShapeValues v;
  v.size = 10.0f;
  v.aspect = 0.5f;
  v.falloffType = 0;  // linear: ink falls toward the rim
  drawNibPreview(plane, v, 1.5f, kBlack);
  EXPECT_GT(ink(plane, 20, 20), 240);
  EXPECT_GT(ink(plane, 30, 20), 0);    // 10 of 15 along the major axis
  EXPECT_LT(ink(plane, 30, 20), ink(plane, 25, 20));
  EXPECT_EQ(ink(plane, 20, 30), 0);    // the minor axis is 7.5
  EXPECT_EQ(ink(plane, 0, 0), 0);
  v.angle = 90.0f;
  drawNibPreview(plane, v, 1.5f, kBlack);
  EXPECT_GT(ink(plane, 20, 30), 0);
  EXPECT_EQ(ink(plane, 30, 20), 0);
  v.hardEdge = 1;
  drawNibPreview(plane, v, 1.5f, kBlack);
  EXPECT_EQ(ink(plane, 20, 33), 255);
}

TEST(ShapeValues, TheProfileCurveIsASymmetricHill) {
  TMTC plane(40, 20);
  fill(plane, 0xFFFFFFFFu);
  EXPECT_FALSE(drawFalloffCurve(plane, {30, 0, 50, 20}, 0, kBlack, 0, 0));  // outside
  EXPECT_FALSE(drawFalloffCurve(plane, {10, 5, 10, 20}, 0, kBlack, 0, 0));  // no width
  ASSERT_TRUE(drawFalloffCurve(plane, {0, 0, 40, 20}, 0, kBlack, 0, 0));
  for (int32_t y = 0; y < 20; ++y)
    // The mirror is about the centre sub-column: halves agree to one sub-cell.
    for (int32_t x = 0; x < 20; ++x) EXPECT_NEAR(ink(plane, x, y), ink(plane, 39 - x, y), 16) << x << "," << y;
  EXPECT_EQ(ink(plane, 19, 1), 255);   // full just under the centre's top
  EXPECT_GT(ink(plane, 19, 0), ink(plane, 10, 0));
  EXPECT_EQ(ink(plane, 0, 0), 0);      // empty near the rim's top
  EXPECT_GT(ink(plane, 0, 19), 0);     // but the rim's foot has some ink
  // A flat profile, or a floor of 1, fills the rectangle.
  for (const auto& [type, floor] : {std::pair{2u, 0.0f}, std::pair{0u, 1.0f}}) {
    fill(plane, 0xFFFFFFFFu);
    ASSERT_TRUE(drawFalloffCurve(plane, {0, 0, 40, 20}, type, kBlack, 0, floor));
    EXPECT_EQ(ink(plane, 0, 0), 255) << type;
    EXPECT_EQ(ink(plane, 39, 0), 255) << type;
  }
}

}  // namespace shape_values_test
}  // namespace pg
