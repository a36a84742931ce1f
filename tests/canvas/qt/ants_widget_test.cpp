// The marching ants in the document window: the outline of a selection is
// drawn over the view at its zoom and rotation, and moves with each tick.
#include "document/doc_recorder.h"
// (the recorder comes before Qt, whose keyword macros it uses as names)
#include "widget_fixture.h"
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "document/ant_points.h"
#include "document/mask_mngr.h"

namespace pg {
namespace {

constexpr uint32_t kGrey = 0xFF808080u;

struct AntsFixture : WidgetFixture {
  AntsFixture() {
    // A grey picture, so that both colours of the dashes stand out.
    CLayerData* layer = doc().currentLayer();
    EXPECT_TRUE(layer->image->fillMaskedRect(SRectXYWH{0, 0, 400, 300}, 0xFFFFFFFFu, kGrey));
    doc().composeRect(SRectXYWH{0, 0, 400, 300}, false);
    widget->window().invalidateView();
  }
  void selectRect(float x0, float y0, float x1, float y1) {
    ASSERT_TRUE(doc().maskFigureRect(widget->window().flow(), doc().layers()->current(), {x0, y0}, {x1, y1}, 0,
                                     shared.toolStroke(), true));
  }
  QImage shot() { return view()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  uint8_t pattern() { return doc().masks()->ants().pattern(); }
  // The window pixel where the outline draws a document edge point.
  QPoint antAt(int32_t x, int32_t y) {
    doc().antsView().paperToWindow(x, y);
    return {x, y};
  }
  // Checks the left edge of a selection from y0 to y1 at x: every point is
  // a dash of the colour the pattern gives it.
  void expectLeftEdge(const QImage& image, int32_t x, int32_t y0, int32_t y1) {
    for (int32_t y = y0; y < y1; ++y) {
      const QPoint p = antAt(x, y);
      const QRgb expected = CAntPoints::isBlackAt(pattern(), p.x(), p.y()) ? 0xFF000000u : 0xFFFFFFFFu;
      EXPECT_EQ(image.pixel(p), expected) << "edge point " << x << "," << y;
    }
  }
};

TEST(Ants, TheOutlineOfARectangleIsDrawnAtFullSizeAndMovesWithTheTick) {
  AntsFixture f;
  f.selectRect(100, 80, 200, 160);
  const QImage first = f.shot();
  f.expectLeftEdge(first, 100, 80, 160);
  // The top edge too, and nothing inside or outside the outline.
  const QPoint top = f.antAt(150, 80);
  EXPECT_TRUE(first.pixel(top) == 0xFF000000u || first.pixel(top) == 0xFFFFFFFFu);
  EXPECT_EQ(first.pixel(f.at(150, 120)), kGrey);
  EXPECT_EQ(first.pixel(f.at(50, 40)), kGrey);

  ASSERT_TRUE(f.widget->antsTick());
  const QImage second = f.shot();
  f.expectLeftEdge(second, 100, 80, 160);
  int32_t moved = 0;
  for (int32_t y = 80; y < 160; ++y) moved += first.pixel(f.antAt(100, y)) != second.pixel(f.antAt(100, y));
  EXPECT_GT(moved, 20);
}

TEST(Ants, TheOutlineFollowsAZoomedAndATurnedView) {
  AntsFixture f;
  f.selectRect(100, 80, 200, 160);
  f.widget->window().setZoomCentred(2, 1);
  QImage image = f.shot();
  f.expectLeftEdge(image, 100, 90, 150);
  EXPECT_EQ(image.pixel(f.at(150, 120)), kGrey);

  f.widget->window().setZoomCentred(1, 1);
  f.widget->window().setViewRotation(true, -30.0f);
  ASSERT_TRUE(f.widget->window().isRotated());
  image = f.shot();
  f.expectLeftEdge(image, 100, 90, 150);
  EXPECT_EQ(image.pixel(f.at(150, 120)), kGrey);
}

TEST(Ants, ClearingTheSelectionTakesTheOutlineAwayAndTicksThenDoNothing) {
  AntsFixture f;
  f.selectRect(100, 80, 200, 160);
  (void)f.shot();
  ASSERT_TRUE(f.doc().maskFillNone(f.widget->window().flow(), f.doc().layers()->current(), true));
  const QImage image = f.shot();
  for (int32_t y = 80; y < 160; ++y) EXPECT_EQ(image.pixel(f.antAt(100, y)), kGrey);
  EXPECT_FALSE(f.widget->antsTick());
}

}  // namespace
}  // namespace pg
