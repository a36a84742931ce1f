// The preview frame's zoom, scroll and panning.
#include <gtest/gtest.h>

#include "filters/preview_frame_model.h"

namespace pg {
namespace {

TEST(PreviewFrameZoomTrack, TheMiddleIsOneHundredPerCentAndTheMappingsAreInverses) {
  const float ranges[][2] = {{6.25f, 1600.0f}, {50.0f, 1600.0f}, {99.0f, 1600.0f}, {10.0f, 400.0f}};
  for (const auto& r : ranges) {
    const float fraction = zoomTrackOut(0.5f, r[0], r[1]);
    EXPECT_NEAR(r[0] + fraction * (r[1] - r[0]), 100.0f, 1e-3f) << r[0];
    EXPECT_NEAR(zoomTrackOut(0.0f, r[0], r[1]), 0.0f, 1e-6f);
    EXPECT_NEAR(zoomTrackOut(1.0f, r[0], r[1]), 1.0f, 1e-6f);
    for (float p = 0.0f; p <= 1.0f; p += 0.125f)
      EXPECT_NEAR(zoomTrackIn(zoomTrackOut(p, r[0], r[1]), r[0], r[1]), p, 1e-5f) << r[0] << " " << p;
  }
  // Without 100 % inside the range the slider is linear; arguments are clamped.
  EXPECT_FLOAT_EQ(zoomTrackOut(0.3f, 100.0f, 1600.0f), 0.3f);
  EXPECT_FLOAT_EQ(zoomTrackIn(1.7f, 100.0f, 1600.0f), 1.0f);
  EXPECT_FLOAT_EQ(zoomTrackOut(-2.0f, 6.25f, 1600.0f), 0.0f);
}

TEST(PreviewFrameModel, ASmallLayerShowsAtOneHundredPerCentCentred) {
  CPreviewFrameModel m;
  m.setPaintBox(208, 208);
  m.bind(50, 30, TRect{0, 0, 50, 30});
  EXPECT_FLOAT_EQ(m.zoom(), 100.0f);
  EXPECT_FLOAT_EQ(m.zoomMin(), 100.0f);
  EXPECT_EQ(m.viewWidth(), 50);
  EXPECT_EQ(m.viewHeight(), 30);
  EXPECT_EQ(m.viewOriginX(), 79);
  EXPECT_EQ(m.viewOriginY(), 89);
  EXPECT_EQ(m.visibleRect(), (TRect{0, 0, 50, 30}));
}

TEST(PreviewFrameModel, ALargeLayerOpensCentredOnTheWorkRectangle) {
  CPreviewFrameModel m;
  m.setPaintBox(208, 208);
  m.bind(2060, 1030, TRect{1000, 400, 1100, 500});
  EXPECT_FLOAT_EQ(m.zoom(), 100.0f);
  EXPECT_FLOAT_EQ(m.zoomMin(), 10.0f);  // 206 of 2060
  EXPECT_EQ(m.visibleWidth(), 206);
  EXPECT_EQ(m.scrollX(), (1000 + 1100 - 206) / 2);
  EXPECT_EQ(m.scrollY(), (400 + 500 - 206) / 2);
  EXPECT_NEAR(m.trackPosition(), 0.5f, 1e-5f);
  // The slider's left end is the fit; zooming keeps the centre.
  m.setTrackPosition(0.0f);
  EXPECT_NEAR(m.zoom(), 10.0f, 1e-3f);
  EXPECT_EQ(m.visibleWidth(), 2060);
  m.setZoom(200.0f);
  EXPECT_EQ(m.visibleWidth(), 103);
  EXPECT_EQ(m.viewWidth(), 206);
  // A centre near the edge is held inside the image.
  m.setZoom(100.0f);
  m.centreOn(TRect{0, 0, 10, 10});
  EXPECT_EQ(m.scrollX(), 0);
  EXPECT_EQ(m.scrollY(), 0);
}

TEST(PreviewFrameModel, PanningStopsAtTheEdgesAndMovesTheStartOnlyOnAScrolledAxis) {
  CPreviewFrameModel m;
  m.setPaintBox(208, 208);
  m.bind(1000, 206, TRect{0, 0, 1000, 206});
  const int32_t x0 = m.scrollX();
  m.beginDrag(100, 100);
  // Only x can scroll (the image is exactly as high as the view).
  EXPECT_TRUE(m.dragTo(90, 80));
  EXPECT_EQ(m.scrollX(), x0 + 10);
  EXPECT_EQ(m.scrollY(), 0);
  // y never scrolled, so its start stayed: a further move up still counts from 100.
  EXPECT_TRUE(m.dragTo(80, 60));
  EXPECT_EQ(m.scrollX(), x0 + 20);
  EXPECT_TRUE(m.dragTo(-5000, 60));
  EXPECT_EQ(m.scrollX(), 1000 - 206);
  EXPECT_FALSE(m.dragTo(-6000, 60));
  EXPECT_TRUE(m.dragging());
  m.endDrag();
  EXPECT_FALSE(m.dragging());
  EXPECT_FALSE(m.dragTo(0, 0));
}

TEST(PreviewFrameModel, SizesNeverFallBelowOnePixel) {
  CPreviewFrameModel m;
  m.setPaintBox(0, 0);
  m.bind(1, 1, TRect{0, 0, 1, 1});
  EXPECT_GE(m.viewWidth(), 1);
  EXPECT_GE(m.visibleWidth(), 1);
  EXPECT_GE(m.viewHeight(), 1);
  CPreviewFrameModel unbound;
  unbound.setScrollX(50);
  EXPECT_EQ(unbound.scrollX(), 0);
}

}  // namespace
}  // namespace pg
