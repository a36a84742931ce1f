// The view state of a document: zoom, rotation, the mapping between window
// and document, the caption and the background display.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "document/mask_mngr.h"
#include "paper_view_fixture.h"

namespace pg::test {
namespace {

// ---- zoom ----------------------------------------------------------------------------

TEST(PaperZoom, SetZoomKeepsTheRatioInsideItsLimits) {
  struct Case {
    SRatio asked;
    SRatio stored;
  } cases[] = {
      {{1, 32}, {1, 16}}, {{32, 1}, {16, 1}}, {{16, 1}, {16, 1}}, {{1, 16}, {1, 16}},
      {{5, 4}, {5, 4}},   {{3, 6}, {3, 6}},   {{100000, 1}, {16, 1}},
  };
  DocFixture f;
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(f.doc->setZoom(c.asked.Num, c.asked.Den), ratioToFloat(c.stored)) << c.asked.Num;
    EXPECT_EQ(f.doc->view().zoom(), c.stored) << c.asked.Num << "/" << c.asked.Den;
  }
}

TEST(PaperZoom, RatiosThatAreNotPositiveLeaveTheZoomAlone) {
  DocFixture f;
  f.doc->setZoom(3, 2);
  for (const SRatio bad : {SRatio{0, 1}, SRatio{1, 0}, SRatio{0, 0}, SRatio{-2, 1}, SRatio{2, -1}, SRatio{INT32_MIN, 1}}) {
    EXPECT_FLOAT_EQ(f.doc->setZoom(bad.Num, bad.Den), 1.5f);
    EXPECT_EQ(f.doc->view().zoom(), (SRatio{3, 2}));
  }
}

TEST(PaperZoom, StepsGoThroughThePresetRatiosAndStopAtTheEnds) {
  DocFixture f;
  f.doc->zoomIn();
  EXPECT_EQ(f.doc->view().zoom(), (SRatio{3, 2}));
  f.doc->zoomOut();
  f.doc->zoomOut();
  EXPECT_EQ(f.doc->view().zoom(), (SRatio{2, 3}));
  f.doc->setZoom(16, 1);
  EXPECT_FALSE(f.doc->canZoomIn());
  f.doc->zoomIn();
  EXPECT_EQ(f.doc->view().zoom(), (SRatio{16, 1}));
  f.doc->setZoom(1, 16);
  EXPECT_FALSE(f.doc->canZoomOut());
  f.doc->zoomOut();
  EXPECT_EQ(f.doc->view().zoom(), (SRatio{1, 16}));
  f.doc->zoomReset();
  EXPECT_EQ(f.doc->view().zoom(), (SRatio{1, 1}));
}

// ---- rotation ----------------------------------------------------------------------------

TEST(PaperRotation, AnglesAreBroughtIntoOneTurnBelowZero) {
  struct Case {
    float asked, stored, sine, cosine;
  } cases[] = {
      {0, 0, 0, 1},       {90, -270, 1, 0},    {-360, 0, 0, 1},      {725, -355, NAN, NAN}, {360, 0, 0, 1},
      {-90, -90, -1, 0},  {180, -180, 0, -1},  {-720, 0, 0, 1},      {-1, -1, NAN, NAN},
      {1e30f, NAN, NAN, NAN},  // far out: somewhere in the turn
  };
  DocFixture f;
  for (const Case& c : cases) {
    f.doc->setViewAngle(c.asked);
    const float d = f.doc->view().angleDeg();
    EXPECT_TRUE(d > -360.0f && d <= 0.0f) << c.asked;
    if (!std::isnan(c.stored)) {
      EXPECT_EQ(d, c.stored) << c.asked;
    }
    EXPECT_FALSE(std::signbit(d) && d == 0.0f) << c.asked;
    EXPECT_FLOAT_EQ(f.doc->view().angleRad(), static_cast<float>(d * std::numbers::pi / 180.0)) << c.asked;
    if (!std::isnan(c.sine)) {
      EXPECT_EQ(f.doc->view().sinA(), c.sine) << c.asked;  // exact at the quarter turns
      EXPECT_EQ(f.doc->view().cosA(), c.cosine) << c.asked;
    } else {
      EXPECT_NEAR(f.doc->view().sinA(), std::sin(f.doc->view().angleRad()), 1e-6) << c.asked;
    }
  }
  f.doc->setViewAngle(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(f.doc->view().angleDeg(), 0.0f);
  EXPECT_EQ(f.doc->view().cosA(), 1.0f);
}

TEST(PaperRotation, PanningMovesTheCentreAgainstTheTurnedDelta) {
  DocFixture f;
  f.doc->setViewCenter(50, 40);
  f.doc->panView(10, -4);
  EXPECT_EQ(f.doc->view().center(), (TPointF{40, 44}));
  f.doc->setViewAngle(90);  // sine 1, cosine 0
  f.doc->panView(10, 0);
  EXPECT_EQ(f.doc->view().center(), (TPointF{40, 34}));
  f.doc->setViewRadians(0.5f);
  EXPECT_FLOAT_EQ(f.doc->view().angleDeg(), static_cast<float>(0.5 * 180.0 / std::numbers::pi));
  EXPECT_FLOAT_EQ(f.doc->view().sinA(), std::sin(0.5f));
}

// ---- coordinates -------------------------------------------------------------------------

TEST(PaperCoordinates, TheViewOriginIsTheDocumentPointAtTheWindowCentre) {
  DocFixture f;
  f.doc->setZoom(2, 1);
  f.doc->setScrollOffset(7, 5);
  EXPECT_EQ(f.doc->getViewOrigin(200, 100), (TPoint{57, 30}));
  EXPECT_EQ(f.doc->getViewOrigin(201, 101), (TPoint{57, 30}));  // integer halves
  f.doc->setScrollOrigin(30, 20);                                // the document sits inside the window
  EXPECT_EQ(f.doc->getViewOrigin(200, 100), (TPoint{35, 15}));
  f.doc->setViewAngle(30);
  f.doc->setViewCenter(12.7f, -3.9f);
  EXPECT_EQ(f.doc->getViewOrigin(200, 100), (TPoint{12, -3}));
}

TEST(PaperCoordinates, AtZoomTwoTheMarginPointIsAQuarterPixelBeforeTheScroll) {
  DocFixture f;
  f.doc->setZoom(2, 1);
  f.doc->setScrollOrigin(30, 20);
  f.doc->setScrollOffset(7, 5);
  float x = 30, y = 20;
  f.doc->windowToPaperF(200, 100, x, y);
  EXPECT_FLOAT_EQ(x, 6.75f);
  EXPECT_FLOAT_EQ(y, 4.75f);
}

// The unrotated mapping has half-pixel terms one way only: window to
// document to window gives back the point moved by 0.5 - 0.5 x zoom.
TEST(PaperCoordinates, UnrotatedRoundTripsAtSeveralZooms) {
  const SRatio zooms[] = {{1, 16}, {1, 3}, {1, 1}, {3, 2}, {4, 1}, {16, 1}};
  const TPointF points[] = {{0, 0}, {13, 7}, {199.5f, 99}, {-20, 310}};
  DocFixture f;
  f.doc->setScrollOrigin(3, 0);
  f.doc->setScrollOffset(11, 4);
  for (const SRatio z : zooms) {
    f.doc->setZoom(z.Num, z.Den);
    const float shift = 0.5f - 0.5f * f.doc->zoomValue();
    for (const TPointF w : points) {
      TPointF p = w;
      f.doc->windowToPaperF(200, 100, p.X, p.Y);
      f.doc->paperToWindowF(p);
      EXPECT_NEAR(p.X, w.X + shift, 1e-3) << z.Num << "/" << z.Den;
      EXPECT_NEAR(p.Y, w.Y + shift, 1e-3) << z.Num << "/" << z.Den;
    }
  }
}

TEST(PaperCoordinates, RotatedRoundTripsAtSeveralZoomsAndAngles) {
  ViewFixture f(40, 30, 200, 100);
  const SRatio zooms[] = {{1, 16}, {1, 3}, {1, 1}, {3, 2}, {16, 1}};
  const float angles[] = {30, 90, 180, 270, 333.3f};
  const TPointF points[] = {{0, 0}, {100, 50}, {13.25f, 77}, {199, -40}};
  f.doc->setViewCenter(17.5f, 9);
  for (const SRatio z : zooms)
    for (const float a : angles) {
      f.doc->setZoom(z.Num, z.Den);
      f.doc->setViewAngle(a);
      for (const TPointF w : points) {
        TPointF p = w;
        f.doc->windowToPaperF(200, 100, p.X, p.Y);
        f.doc->paperToWindowF(p);
        EXPECT_NEAR(p.X, w.X, 2e-3) << a << " " << z.Num << "/" << z.Den;
        EXPECT_NEAR(p.Y, w.Y, 2e-3) << a << " " << z.Num << "/" << z.Den;
      }
    }
}

TEST(PaperCoordinates, AQuarterTurnMapsRightOfTheCentreBelowIt) {
  ViewFixture f(40, 30, 200, 100);
  f.doc->setZoom(2, 1);
  f.doc->setViewAngle(90);
  f.doc->setViewCenter(50, 40);
  float x = 110, y = 50;
  f.doc->windowToPaperF(200, 100, x, y);
  EXPECT_EQ(x, 50.0f);
  EXPECT_EQ(y, 45.0f);
  TPointF w{50, 45};
  f.doc->paperToWindowF(w);
  EXPECT_EQ(w, (TPointF{110, 50}));
}

TEST(PaperCoordinates, IntegerPointsAreTruncatedAfterAddingOneHundredth) {
  struct Case {
    SRatio zoom;
    int32_t x;
    int32_t expect;
  } cases[] = {{{999, 1000}, 5, 5}, {{1001, 1000}, -5, -4}, {{1, 3}, 29, 9}, {{1, 3}, -29, -9}, {{2, 1}, 3, 6}};
  DocFixture f;
  for (const Case& c : cases) {
    f.doc->setZoom(c.zoom.Num, c.zoom.Den);
    TPoint p{c.x, 0};
    f.doc->paperToWindow(p);
    EXPECT_EQ(p.X, c.expect) << c.zoom.Num << "/" << c.zoom.Den << " " << c.x;
  }
  // Far outside every window the mapping saturates instead of overflowing.
  f.doc->setZoom(16, 1);
  TPoint far{INT32_MAX, INT32_MIN};
  f.doc->paperToWindow(far);
  EXPECT_EQ(far, (TPoint{INT32_MAX, INT32_MIN}));
}

TEST(PaperCoordinates, TheSelectionOutlineReadsTheDocumentsView) {
  ViewFixture f(40, 30, 200, 100);
  f.doc->setZoom(3, 2);
  f.doc->setViewAngle(90);
  f.doc->setViewCenter(20, 10);
  const CAntsView* view = f.doc->masks()->ants().view();
  ASSERT_EQ(view, &f.doc->antsView());
  EXPECT_FLOAT_EQ(view->zoom(), 1.5f);
  EXPECT_EQ(view->sinA(), 1.0f);
  int32_t x = 20, y = 12;
  view->paperToWindow(x, y);
  EXPECT_EQ(x, 103);  // 2 x 1.5 right of the centre
  EXPECT_EQ(y, 50);
  // A mask list that comes back through undo reads the same view.
  auto list = std::make_unique<CMaskMngr>(16);
  ASSERT_TRUE(f.doc->undoExchangeMaskList(list));
  EXPECT_EQ(f.doc->masks()->ants().view(), &f.doc->antsView());
}

// ---- caption -----------------------------------------------------------------------------------

struct CaptionPrefs final : CViewPrefs {
  bool full = false;
  bool fullPathCaption() const override { return full; }
};

TEST(PaperCaption, TheFilePartUnlessTheFullPathIsAskedFor) {
  struct Case {
    const char* name;
    const char* part;
  } cases[] = {{"C:\\pics\\cat.kci", "cat.kci"}, {"a:b", "b"},     {"/home/u/dog.kci", "dog.kci"},
               {"plain", "plain"},               {"dir\\", ""},    {"", ""}};
  DocFixture f;
  CaptionPrefs prefs;
  CViewPrefs* old = setViewPrefs(&prefs);
  for (const Case& c : cases) {
    f.doc->setName(c.name);
    prefs.full = false;
    EXPECT_EQ(f.doc->windowCaption(), c.part);
    prefs.full = true;
    EXPECT_EQ(f.doc->windowCaption(), c.name);
  }
  setViewPrefs(old);
}

// ---- background display ------------------------------------------------------------------------

TEST(PaperBackground, TheDisplayChangesOnlyOverWhitePaper) {
  ViewFixture f(40, 30, 64, 48);
  f.randomLayer(0, 5, lbmNormal, 40, 30);
  f.doc->setPaperColorValue(PaperColor::fromPixel(0x102030));
  EXPECT_FALSE(f.doc->toggleCanvasColor(false));
  EXPECT_TRUE(f.doc->showCanvasColor());
  f.doc->setPaperColorValue(PaperColor{});
  EXPECT_FALSE(f.doc->setBackgroundDisplay(true, false, true));  // nothing to change
  EXPECT_TRUE(f.window.repainted.empty());
  EXPECT_TRUE(f.doc->toggleCanvasColor(false));
  EXPECT_FALSE(f.doc->showCanvasColor());
  ASSERT_EQ(f.window.repainted.size(), 1u);
  EXPECT_EQ(f.window.repainted[0], (TRect{0, 0, 40, 30}));
  // The composite now keeps the picture's transparency.
  EXPECT_EQ(f.doc->composite().getPixel(0, 0), referencePixel(*f.doc, 0, 0));
  EXPECT_TRUE(f.doc->toggleBgPattern(true));
  EXPECT_TRUE(f.doc->showBgPattern());
  EXPECT_FALSE(f.doc->setBackgroundDisplay(false, true, false));
}

}  // namespace
}  // namespace pg::test
