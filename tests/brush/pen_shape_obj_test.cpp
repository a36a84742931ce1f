#include "brush/pen_shape_obj.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

// A plane of w x h with a ramp in it.
struct Ramp : TChannel {
  Ramp(int32_t w, int32_t h) : TChannel(w, h) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *pixelAt(x, y) = static_cast<uint8_t>(x * 7 + y * 3);
  }
};

class PenShapeObjTest : public ::testing::Test {
 protected:
  void SetUp() override { resetPenShapeIds(); }
};

TEST_F(PenShapeObjTest, NewNibIsParametric) {
  CPenShapeObj a, b;
  EXPECT_EQ(a.id(), 1u);
  EXPECT_EQ(b.id(), 2u);
  EXPECT_TRUE(a.paramsSet());
  EXPECT_EQ(a.kind(), CPenShapeObj::kParametric);
  EXPECT_FALSE(a.isImageNib());
  EXPECT_EQ(a.params().shape, (SPenShapeParam{1000, 1000, 0, 1000}));
  EXPECT_EQ(a.params().grade, SGradeMapParam{});
  EXPECT_EQ(a.params().edge, SEdgeParam{});
  EXPECT_EQ(a.scale(), 100);
  EXPECT_EQ(a.scaleMin(), 100);
  EXPECT_EQ(a.scaleMax(), 100);
  EXPECT_EQ(a.radius(), 10.0f);
  EXPECT_EQ(a.imageRef(), -1);
  EXPECT_FALSE(a.setScale(150));  // not an image nib
}

TEST_F(PenShapeObjTest, ScaleRangesOfImages) {
  struct Case {
    int32_t w, h;
    int32_t lo, hi, scale;
  };
  const Case cases[] = {
      {64, 16, 25, 500, 100},   // 400/16, min(51200/64, 500)
      {1, 1, 400, 500, 400},    // a pixel nib starts at its minimum
      {512, 512, 1, 100, 100},  // 400/512 = 0 -> 1; 51200/512
      {1024, 300, 1, 50, 50},
      {2, 1000, 51, 51, 51},    // 200 > 51: the size bound wins
      {1, 60000, 1, 1, 1},      // 51200/60000 = 0: kept at 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
    CPenShapeObj nib;
    Ramp img(c.w, c.h);
    ASSERT_TRUE(nib.setImage(img, false));
    EXPECT_TRUE(nib.isImageNib());
    EXPECT_EQ(nib.scaleMin(), c.lo);
    EXPECT_EQ(nib.scaleMax(), c.hi);
    EXPECT_EQ(nib.scale(), c.scale);
    EXPECT_EQ(nib.params().shape.size, c.scale * 100);
    EXPECT_EQ(nib.longerSide(), std::max(c.w, c.h));
  }
}

TEST_F(PenShapeObjTest, ImageAndScale) {
  CPenShapeObj nib;
  SPenShapeParam shape;
  shape.init(3.0f);
  shape.setAspect(0.5f);
  shape.setAngle(30.0f);
  nib.setParams(nullptr, &shape, nullptr);
  Ramp img(64, 16);
  const uint32_t before = nib.id();
  ASSERT_TRUE(nib.setImage(img, false));
  EXPECT_NE(nib.id(), before);  // every change renews the id
  EXPECT_EQ(nib.params().shape.aspect, 500);  // kept without the reset switch
  ASSERT_TRUE(nib.image() != nullptr);
  EXPECT_NE(nib.image(), &img);  // a copy
  EXPECT_EQ(nib.image()->getPixel(5, 2), img.getPixel(5, 2));
  EXPECT_FLOAT_EQ(nib.radius(), 64.0f * 100 / 100 / 2);

  const uint32_t id = nib.id();
  EXPECT_FALSE(nib.setScale(100));  // unchanged
  EXPECT_FALSE(nib.setScale(24));   // below the range
  EXPECT_FALSE(nib.setScale(501));  // above it
  EXPECT_EQ(nib.id(), id);
  EXPECT_TRUE(nib.setScale(250));
  EXPECT_EQ(nib.params().shape.size, 25000);
  EXPECT_FLOAT_EQ(nib.radius(), 80.0f);

  ASSERT_TRUE(nib.setImage(img, true));  // the reset switch
  EXPECT_EQ(nib.params().shape, (SPenShapeParam{10000, 1000, 0, 1000}));

  // Empty planes are refused and change nothing.
  TChannel empty;
  EXPECT_FALSE(nib.setImage(empty, true));
  EXPECT_TRUE(nib.isImageNib());

  nib.setParametric(nullptr, &shape, nullptr);
  EXPECT_FALSE(nib.isImageNib());
  EXPECT_EQ(nib.image(), nullptr);
  EXPECT_EQ(nib.scale(), 100);
  EXPECT_EQ(nib.params().shape, shape);
  EXPECT_FLOAT_EQ(nib.radius(), 3.0f);
}

TEST_F(PenShapeObjTest, AssignCopiesDeep) {
  CPenShapeObj src;
  Ramp img(20, 30);
  ASSERT_TRUE(src.setImage(img, true));
  ASSERT_TRUE(src.setScale(150));
  SGradeMapParam grade{1, 200, 300};
  SEdgeParam edge{1};
  src.setParams(&grade, nullptr, &edge);
  src.setShapeImage(42);

  CPenShapeObj dst;
  ASSERT_TRUE(dst.assign(src));
  EXPECT_TRUE(dst.isImageNib());
  EXPECT_EQ(dst.params(), src.params());
  EXPECT_EQ(dst.scale(), 150);
  EXPECT_EQ(dst.scaleMin(), src.scaleMin());
  EXPECT_EQ(dst.imageRef(), 42);
  ASSERT_NE(dst.image(), src.image());
  EXPECT_EQ(dst.image()->getPixel(19, 29), src.image()->getPixel(19, 29));
  EXPECT_NE(dst.id(), src.id());

  CPenShapeObj plain;
  ASSERT_TRUE(dst.assign(plain));
  EXPECT_FALSE(dst.isImageNib());
  EXPECT_EQ(dst.params(), plain.params());

  dst.reset();
  EXPECT_EQ(dst.params().shape.size, 1000);
  EXPECT_EQ(dst.imageRef(), -1);
}

}  // namespace
}  // namespace pg
