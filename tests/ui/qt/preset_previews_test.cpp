#include "ui/qt/preset_previews.h"

#include <gtest/gtest.h>

#include "test_support/qt_app.h"
#include "ui/preview_faces.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace preset_previews_test {

struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

struct PresetPreviewsTest : ::testing::Test, private QtAppFirst {
  PresetPreviewsTest() {
    form.resize(200, 200);
    form.show();
  }
  QWidget form;
};

uint32_t at(const TMemoryGraphic& g, int32_t x, int32_t y) { return g.scanLine(y)[x] & 0xFFFFFFu; }

TEST_F(PresetPreviewsTest, LoupeKeepsItsPictureAtTheControlSize) {
  TLoupeControl loupe(&form);
  loupe.resize(60, 40);
  loupe.show();
  EXPECT_EQ(loupe.picture().width(), 60);
  EXPECT_EQ(loupe.picture().height(), 40);
  const uint32_t crossed = at(loupe.picture(), 30, 20);
  loupe.setGrid(false);
  EXPECT_EQ(at(loupe.picture(), 30, 20), 0xCCCCCCu);
  EXPECT_NE(crossed, 0xCCCCCCu);
  // The owner paints the canvas, then the frame goes over it.
  loupe.picture().fillRect({0, 0, 60, 40}, 0xFF112233u, copyChannel, copyChannel);
  loupe.finishPicture();
  EXPECT_EQ(at(loupe.picture(), 30, 20), 0x112233u);
  EXPECT_NE(at(loupe.picture(), 0, 0), 0x112233u);
  loupe.resize(2, 2);
  EXPECT_EQ(loupe.picture().width(), 4) << "never below 4 x 4";
  loupe.setMagnification(4);
  EXPECT_FLOAT_EQ(loupe.magnification(), 4);
  loupe.setMagnification(-1);
  EXPECT_FLOAT_EQ(loupe.magnification(), 4);
}

TEST_F(PresetPreviewsTest, GradientPreviewShowsThePresetOverCheckers) {
  TGradientPreview preview(&form);
  preview.resize(44, 20);
  preview.show();
  ASSERT_EQ(preview.content().width(), 40);
  // No gradient: the checkerboard shows through.
  const uint32_t empty = at(preview.face(), 2, 2);
  EXPECT_TRUE(empty == (kCheckerLight & 0xFFFFFFu) || empty == (kCheckerDark & 0xFFFFFFu));
  auto grad = CGradObj::CreateTwoColor(0x0000FFu, "red to blue", 0xFF0000u);
  preview.setGradient(grad.get(), grad->Repeat);
  EXPECT_EQ(at(preview.face(), 2, 10), 0xFF0000u) << "red at the left";
  EXPECT_EQ(at(preview.face(), 41, 10), 0x0000FFu) << "blue at the right";
  preview.setGradient(nullptr, SGradRepeat{});
  EXPECT_EQ(at(preview.face(), 2, 2), empty);
}

TEST_F(PresetPreviewsTest, NibPreviewDrawsTheDab) {
  TPenNibPreview preview(&form);
  preview.resize(40, 40);
  preview.show();
  SShapeValues v;
  v.size = 12;
  v.hardEdge = 1;
  preview.setNib(v);
  EXPECT_EQ(at(preview.content(), 18, 18), uiSysColors().windowText & 0xFFFFFFu);
  EXPECT_EQ(at(preview.content(), 1, 1), 0xFFFFFFu);
  EXPECT_EQ(at(preview.face(), 0, 0), uiSysColors().btnShadow & 0xFFFFFFu);
  v.aspect = 0.2f;
  preview.setNib(v);
  EXPECT_EQ(at(preview.content(), 18, 8), 0xFFFFFFu) << "a flat nib leaves the top empty";
}

}  // namespace preset_previews_test
}  // namespace pg
