// The preview frame over a real document and filter core.
#include <gtest/gtest.h>

#include "document/layer_data.h"
#include "filters/filter_run.h"
#include "filters/qt/preview_filter.h"
#include "filters/table_filters.h"
#include "replay/replay_fixture.h"
#include "test_support/qt_app.h"
#include "ui/qt/trackbar.h"

namespace pg::test {
namespace {

struct FrameFixture : ReplayFixture {
  FrameFixture() : ReplayFixture(64, 48) {
    pg::testing::ensureQtApp();
    CBlockVMTC& img = *x.doc->getLayer(x.doc->currentLayerIndex())->image;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) EXPECT_TRUE(img.setPixel(x, y, 0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | 77u));
  }
  CBlockVMTC& image() { return *x.doc->getLayer(x.doc->currentLayerIndex())->image; }
};

// The frame's pixel at a layer pixel shown at 100 %.
QRgb shownAt(TPreviewFilter& f, int32_t x, int32_t y) {
  const CPreviewFrameModel& m = f.model();
  return f.picture().pixel(m.viewOriginX() + x - m.scrollX(), m.viewOriginY() + y - m.scrollY());
}

TEST(PreviewFilter, ShowsTheFilteredLayerCentredAndLeavesACanvasPreviewAlone) {
  FrameFixture f;
  CFlt4Core core(*f.x.doc, *f.x.flow, false, &invert4Kernel, 0);
  ASSERT_TRUE(core.isValid());
  // A canvas preview of posterize is in the layer while the frame inverts.
  CFlt4Core canvas(*f.x.doc, *f.x.flow, false, &posterize4Kernel, 0);
  const uint8_t two[8] = {2, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(canvas.preview(two, 8));
  const uint64_t previewed = imageHash(f.image());
  const uint32_t original = 0xFF000000u | uint32_t(10 * 4) << 16 | uint32_t(7 * 5) << 8 | 77u;

  TPreviewFilter frame;
  ASSERT_TRUE(frame.bindCore(&core, [] { return std::vector<uint8_t>(); }));
  EXPECT_FLOAT_EQ(frame.model().zoom(), 100.0f);
  EXPECT_EQ(frame.model().viewWidth(), 64);
  EXPECT_EQ(frame.model().viewOriginX(), (208 - 64) / 2);
  EXPECT_TRUE(frame.filtered());
  EXPECT_EQ(shownAt(frame, 10, 7), (original ^ 0x00FFFFFFu));
  EXPECT_EQ(imageHash(f.image()), previewed);
  // The face colour lies around the frame.
  EXPECT_EQ(frame.picture().pixel(2, 2) | 0xFF000000u, frame.palette().color(QPalette::Window).rgb());
  canvas.endPreview();
}

TEST(PreviewFilter, ARefusingKernelKeepsThePreviousPicture) {
  FrameFixture f;
  CFlt4Core core(*f.x.doc, *f.x.flow, false, &posterize4Kernel, 0);
  std::vector<uint8_t> record = {4, 0, 0, 0, 0, 0, 0, 0};
  TPreviewFilter frame;
  ASSERT_TRUE(frame.bindCore(&core, [&] { return record; }));
  const QImage before = frame.picture();
  record.resize(3);  // a size the kernel refuses
  frame.drawView();
  EXPECT_FALSE(frame.filtered());
  EXPECT_EQ(frame.picture(), before);
}

TEST(PreviewFilter, TheZoomSliderSetsTheZoom) {
  FrameFixture f;
  CFlt4Core core(*f.x.doc, *f.x.flow, false, &invert4Kernel, 0);
  TPreviewFilter frame;
  ASSERT_TRUE(frame.bindCore(&core, [] { return std::vector<uint8_t>(); }));
  frame.zoomTrack()->setPosition(1.0f);
  EXPECT_FLOAT_EQ(frame.model().zoom(), 1600.0f);
  EXPECT_EQ(frame.model().visibleWidth(), 13);  // 206 / 16, rounded
  // A layer smaller than the box fits at 100 %: the slider runs linearly from there.
  frame.zoomTrack()->setPosition(0.5f);
  EXPECT_NEAR(frame.model().zoom(), 850.0f, 1e-3f);
}

TEST(PreviewFilter, AnUnusableCoreBindsNothing) {
  FrameFixture f;
  CFlt4Core core(*f.x.doc, *f.x.flow, false, &invert4Kernel, 9);
  TPreviewFilter frame;
  EXPECT_FALSE(frame.bindCore(&core, {}));
  EXPECT_FALSE(frame.model().bound());
}

}  // namespace
}  // namespace pg::test
