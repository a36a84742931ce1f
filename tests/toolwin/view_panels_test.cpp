// The logic behind the loupe, the view grabber's link to the navigator, the
// zoom field's slider and the colour sampler's kinds and menus.
#include <gtest/gtest.h>

#include <cmath>

#include "core/planes.h"
#include "document/paper_view.h"
#include "toolwin/colour_panel_model.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/loupe_model.h"
#include "toolwin/navigator_model.h"
#include "toolwin/tool_window_model.h"
#include "ui/memory_graphic.h"

namespace pg {
namespace {

// ---- loupe ----

// A 4 x 3 image whose pixel (x, y) is 0x00yyxx10 (blue low), so every
// sample names where it came from.
void fillNamed(TMTC& image) {
  ASSERT_TRUE(image.Resize(4, 3));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) *image.pixelAt(x, y) = (uint32_t(y) << 16) | (uint32_t(x) << 8) | 0x10u;
}

uint32_t named(int32_t x, int32_t y) { return 0xFF000000u | (uint32_t(y) << 16) | (uint32_t(x) << 8) | 0x10u; }

TEST(Loupe, PictureSamplesAroundThePointerAtTheMagnification) {
  TMTC image;
  fillNamed(image);
  struct Case {
    float magnification;
    TPointF pointer;
    int32_t px, py;          // a picture pixel
    uint32_t expected;
  };
  const Case cases[] = {
      // 100 %: the pointer's pixel at the centre (3, 2) of a 6 x 4 picture.
      {1.0f, {1.0f, 1.0f}, 3, 2, named(1, 1)},
      {1.0f, {1.0f, 1.0f}, 5, 2, named(3, 1)},
      {1.0f, {1.0f, 1.0f}, 3, 0, kLoupeGround},  // above the image
      // The pointer rounds to the nearer pixel centre.
      {1.0f, {1.6f, 0.4f}, 3, 2, named(2, 0)},
      // 200 %: two picture pixels per source pixel, the pointer's covering
      // the centre and the one right of it.
      {0.5f, {1.0f, 1.0f}, 4, 2, named(1, 1)},
      {0.5f, {1.0f, 1.0f}, 2, 2, named(0, 1)},
      {0.5f, {1.0f, 1.0f}, 1, 2, named(0, 1)},
      {0.5f, {1.0f, 1.0f}, 0, 2, kLoupeGround},
      // A pointer far outside shows only ground.
      {1.0f, {-1e30f, 5e30f}, 3, 2, kLoupeGround},
      // A senseless magnification is taken as 100 %.
      {std::nanf(""), {1.0f, 1.0f}, 4, 2, named(2, 1)},
  };
  for (const Case& c : cases) {
    TMemoryGraphic picture(6, 4);
    fillLoupePicture(image, c.pointer, c.magnification, picture);
    EXPECT_EQ(picture.getPixel(c.px, c.py), c.expected)
        << "magnification " << c.magnification << " pointer " << c.pointer.X << "," << c.pointer.Y << " at " << c.px
        << "," << c.py;
  }
}

TEST(Loupe, TransparentPixelsShowTheDocumentsBackground) {
  // A 16 x 8 image: the left half transparent, the right half opaque red
  // at half alpha over nothing.
  TMTC image;
  ASSERT_TRUE(image.Resize(16, 8));
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x) *image.pixelAt(x, y) = x < 8 ? 0x00000000u : 0x80FF0000u;
  struct Case {
    uint8_t background;
    int32_t px;  // picture column; the pointer is on pixel (4, 4) at the centre (8, 4)
    uint32_t expected;
  };
  const Case cases[] = {
      // The canvas colour is in the composite already: pixels as they are.
      {1, 8, 0xFF000000u},
      // The check pattern of the image's own pixels: (4, 4) is an even cell,
      // (12, 4) an odd one, where red at half alpha lies over it.
      {2, 8, 0xFF000000u | kCheckEvenColor},
      {2, 15, 0xFFEF6F6Fu},
      // No background shown: white.
      {0, 8, 0xFFFFFFFFu},
      {0, 15, 0xFFFF7F7Fu},
  };
  for (const Case& c : cases) {
    TMemoryGraphic picture(17, 9);
    fillLoupePicture(image, {4.0f, 4.0f}, 1.0f, picture, c.background);
    EXPECT_EQ(picture.getPixel(c.px, 4), c.expected) << "background " << int(c.background) << " column " << c.px;
  }
}

TEST(Loupe, WithoutAnImageThePictureIsGround) {
  TMTC empty;
  TMemoryGraphic picture(5, 5);
  fillLoupePicture(empty, {0.0f, 0.0f}, 1.0f, picture);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(picture.getPixel(x, y), kLoupeGround);
}

TEST(Loupe, MenuSetsMagnificationAndCentreLines) {
  CLoupeModel loupe;
  EXPECT_FLOAT_EQ(loupe.magnification(), 1.0f);
  EXPECT_TRUE(loupe.grid());
  struct Case {
    const char* item;
    bool changes;
    float magnification;
    bool grid;
  };
  const Case steps[] = {
      {"MenuLoupe4", true, 0.25f, true},  {"MenuLoupe4", false, 0.25f, true}, {"MenuLoupe8", true, 0.125f, true},
      {"MenuLoupe2", true, 0.5f, true},   {"MenuLoupeC", true, 0.5f, false},  {"MenuLoupeF", false, 0.5f, false},
      {"MenuLoupe1", true, 1.0f, false},  {"MenuLoupeC", true, 1.0f, true},   {"NoSuchItem", false, 1.0f, true},
  };
  for (const Case& c : steps) {
    EXPECT_EQ(loupe.menuClick(c.item), c.changes) << c.item;
    EXPECT_FLOAT_EQ(loupe.magnification(), c.magnification) << c.item;
    EXPECT_EQ(loupe.grid(), c.grid) << c.item;
  }
  EXPECT_TRUE(loupe.itemChecked("MenuLoupe1"));
  EXPECT_FALSE(loupe.itemChecked("MenuLoupe2"));
  EXPECT_TRUE(loupe.itemChecked("MenuLoupeC"));
  // The fixed-position switch does nothing, so it cannot be chosen.
  EXPECT_FALSE(loupe.itemEnabled("MenuLoupeF"));
  EXPECT_TRUE(loupe.itemEnabled("MenuLoupe8"));
}

// ---- zoom field's slider ----

TEST(NavigatorSlider, FiltersTakeTheValueFractionToThePositionAndBack) {
  struct Case {
    double percent, position;
  };
  const Case cases[] = {{6.25, 0.0}, {100.0, 0.5}, {1600.0, 1.0}, {200.0, 31.0 / 45.0}, {50.0, 7.0 / 22.5}};
  for (const Case& c : cases) {
    const double fraction = (c.percent - 6.25) / (1600.0 - 6.25);
    EXPECT_NEAR(dispScaleInFilter(fraction), c.position, 1e-9) << c.percent;
    EXPECT_NEAR(dispScaleOutFilter(c.position, false), fraction, 1e-9) << c.percent;
  }
  // Snapping lands on the nearer preset step.
  const auto percentOf = [](double fraction) { return 6.25 + fraction * (1600.0 - 6.25); };
  EXPECT_NEAR(percentOf(dispScaleOutFilter(zoomSliderOfZoom(1.1), true)), 100.0, 1e-9);
  EXPECT_NEAR(percentOf(dispScaleOutFilter(zoomSliderOfZoom(2.4), true)), 200.0, 1e-9);
  EXPECT_NEAR(percentOf(dispScaleOutFilter(zoomSliderOfZoom(2.6), true)), 300.0, 1e-9);
  // Out-of-range positions stay at the ends.
  EXPECT_DOUBLE_EQ(dispScaleOutFilter(-3.0, false), 0.0);
  EXPECT_DOUBLE_EQ(dispScaleOutFilter(7.0, true), 1.0);
  EXPECT_DOUBLE_EQ(dispScaleInFilter(2.0), 1.0);
}

TEST(NavigatorSlider, ThePreferenceTurnsShiftRound) {
  EXPECT_FALSE(displaySliderSnaps(false, false));
  EXPECT_TRUE(displaySliderSnaps(true, false));
  EXPECT_TRUE(displaySliderSnaps(false, true));
  EXPECT_FALSE(displaySliderSnaps(true, true));
}

// ---- view grabber ----

TEST(NavigatorGrabber, GrabberPanelAndWindowStayInStep) {
  test::DocWindowFixture f(400, 300, {300, 200});
  CNavigatorModel nav;
  nav.bind(f.window.get());
  // The grabber's zoom reaches the panel and the window.
  nav.grabberChange(2.0f, 0.0f);
  EXPECT_DOUBLE_EQ(nav.scalePercent(), 200.0);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 2.0f);
  // Its angle is the panel's: the window turns the other way.
  nav.grabberChange(2.0f, 45.0f);
  EXPECT_NEAR(nav.rotationDegrees(), 45.0, 1e-4);
  EXPECT_NEAR(std::fmod(f.doc().view().angleDeg() + 360.0, 360.0), 315.0, 1e-3);
  // The panel's changes are shown on the grabber.
  nav.scaleFieldChanged(50.0);
  EXPECT_FLOAT_EQ(nav.grabberScale(), 0.5f);
  nav.rotationFieldChanged(-90.0);
  EXPECT_FLOAT_EQ(nav.grabberRotation(), -90.0f);
  // A window turned by +30 shows -30 on the grabber too.
  f.window->setViewRotation(true, 30.0f);
  nav.windowViewChanged();
  EXPECT_NEAR(nav.grabberRotation(), -30.0f, 1e-3);
  // A zoom of 20 is clamped on the way to the window and to the grabber.
  nav.grabberChange(20.0f, -30.0f);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 16.0f);
  EXPECT_DOUBLE_EQ(nav.scalePercent(), 1600.0);
}

TEST(NavigatorGrabber, HalfTurnFromTheGrabberDoesNotTurnAgain) {
  test::DocWindowFixture f(100, 100, {200, 200});
  CNavigatorModel nav;
  nav.bind(f.window.get());
  nav.rotationFieldChanged(180.0);
  EXPECT_FLOAT_EQ(nav.grabberRotation(), -180.0f);
  const float before = f.doc().view().angleDeg();
  // The grabber reports the same half turn it was shown: nothing moves.
  nav.grabberChange(nav.grabberScale(), -180.0f);
  EXPECT_FLOAT_EQ(f.doc().view().angleDeg(), before);
  EXPECT_NEAR(std::fabs(nav.rotationDegrees()), 180.0, 1e-4);
}

TEST(NavigatorGrabber, ShownOnlyForTheHandAndCentred) {
  struct Case {
    bool pref;
    ToolMode mode;
    bool replay, window, shown;
  };
  const Case cases[] = {
      {true, ToolMode::Hand, false, true, true},          {false, ToolMode::Hand, false, true, false},
      {true, ToolMode::ViewRotation, false, true, false}, {true, ToolMode::Zoom, false, true, false},
      {true, ToolMode::Hand, true, true, false},          {true, ToolMode::Hand, false, false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(viewGrabberShown(c.pref, c.mode, c.replay, c.window), c.shown) << int(c.mode);
  EXPECT_EQ(viewGrabberPlace({300, 200}), (TPoint{85, 27}));
  EXPECT_EQ(viewGrabberPlace({130, 147}), (TPoint{0, 0}));
  EXPECT_EQ(viewGrabberPlace({100, 100}), (TPoint{-14, -23}));
}

// ---- colour sampler ----

TEST(ColourSampler, KindButtonsSwitchAndAltSteps) {
  CColourSampler s;  // the area kind in HSV
  struct Step {
    uint8_t button;
    bool alt;
    bool replaced;
    uint8_t kind, space;
  };
  const Step steps[] = {
      {CColourSampler::kArea, true, false, CColourSampler::kArea, 4},      // Alt on its own button steps
      {CColourSampler::kSlider, true, true, CColourSampler::kSlider, 0},   // another kind: switch only
      {CColourSampler::kSlider, true, false, CColourSampler::kSlider, 3},  // RGB, HSV, HSL
      {CColourSampler::kSlider, true, false, CColourSampler::kSlider, 6},
      {CColourSampler::kSlider, true, false, CColourSampler::kSlider, 0},  // 6 goes to 0
      {CColourSampler::kSlider, false, false, CColourSampler::kSlider, 0}, // no Alt: nothing
      {CColourSampler::kArea, false, true, CColourSampler::kArea, 4},      // the area kept its space
  };
  for (const Step& st : steps) {
    EXPECT_EQ(s.kindButtonClick(st.button, st.alt), st.replaced);
    EXPECT_EQ(s.kind(), st.kind);
    EXPECT_EQ(s.space(), st.space);
  }
}

TEST(ColourSampler, SlidersRefuseTheSpacesTheyDoNotShow) {
  CColourSampler s;
  s.setKind(CColourSampler::kSlider);
  for (uint8_t space : {1, 2, 4, 5, 7, 8}) {
    s.setSpace(space);
    EXPECT_EQ(s.space(), 0) << int(space);
  }
  s.setSpace(6);
  EXPECT_EQ(s.space(), 6);
  // A stored preference that names such a space keeps the kind's own.
  CColourSampler t;
  t.unpack(packColorSampler(CColourSampler::kSlider, 4));
  EXPECT_EQ(t.kind(), CColourSampler::kSlider);
  EXPECT_EQ(t.space(), 0);
  // Unknown kinds and spaces from a damaged preference give the defaults.
  CColourSampler u;
  u.unpack(0x7F00FFu);
  EXPECT_EQ(u.kind(), CColourSampler::kArea);
  EXPECT_EQ(u.space(), 3);
  EXPECT_EQ(u.packed(), 3u);
}

TEST(ColourSampler, MenuCaptionsByKindAndAccelerator) {
  struct Case {
    uint8_t kind, space;
    bool accelerator;
    const char* caption;
  };
  const Case cases[] = {
      {CColourSampler::kArea, 0, false, "R/GB"},     {CColourSampler::kArea, 5, false, "V/HS"},
      {CColourSampler::kArea, 8, true, "L/HS(&L)"},  {CColourSampler::kArea, 3, true, "H/SV(&U)"},
      {CColourSampler::kArea, 6, true, "H/SL(&E)"},  {CColourSampler::kSlider, 1, false, "RGB"},
      {CColourSampler::kSlider, 4, true, "HSV(&S)"}, {CColourSampler::kSlider, 7, true, "HSL(&T)"},
      {CColourSampler::kArea, 9, true, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(colourSpaceCaption(c.kind, c.space, c.accelerator), c.caption) << int(c.kind) << "/" << int(c.space);
  EXPECT_EQ(samplerSpaces(CColourSampler::kArea), 0x1FF);
  EXPECT_EQ(samplerSpaces(CColourSampler::kSlider), 0x49);
}

// ---- colour pair ----

TEST(ColourPair, TheExchangePreferenceSwapsInsteadOfActivatingTheBackground) {
  struct Case {
    bool exchange;
    int side;
    uint32_t fg, bg;
    int activeSide;
  };
  const Case cases[] = {
      {false, 2, 0xFF112233u, 0xFF445566u, 2},
      {false, 1, 0xFF112233u, 0xFF445566u, 1},
      {true, 2, 0xFF445566u, 0xFF112233u, 1},
      {true, 1, 0xFF112233u, 0xFF445566u, 1},
  };
  for (const Case& c : cases) {
    CToolWindowModel m;
    m.setPreferences({false, false, c.exchange});
    m.setFgColor(0xFF112233u);
    m.setBgColor(0xFF445566u);
    m.chooseColourSide(c.side);
    EXPECT_EQ(m.fgColor(), c.fg) << c.exchange << " side " << c.side;
    EXPECT_EQ(m.bgColor(), c.bg) << c.exchange << " side " << c.side;
    EXPECT_EQ(m.activeSide(), c.activeSide) << c.exchange << " side " << c.side;
  }
}

}  // namespace
}  // namespace pg
