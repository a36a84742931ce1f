// The view grabber on the document window, the navigator's sliders and loupe,
// and the colour panel's two samplers, driven as a user drives them.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QDoubleSpinBox>

#include "test_support/qt_app.h"
#include "toolwin/doc_target.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/qt/colour_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_form.h"
#include "ui/colour_model.h"
#include "ui/grabber_logic.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/navigator.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/trackbar.h"

namespace pg {
namespace {

using test::DocTarget;

class ViewPanelsTest : public ::testing::Test {
 protected:
  ViewPanelsTest() {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    host = new QWidget(mainWindow.get());
    host->setGeometry(0, 0, 300, 200);
    mainWindow->resize(300, 200);
    mainWindow->show();
    form = createToolWindow(mainWindow.get());
    form->setViewPreferences(true, false);
    form->setGrabberHost(host);
    form->setDocWindow(&target);
  }
  ~ViewPanelsTest() override { destroyToolWindow(form); }

  // A point of a grabber part, in the grabber's coordinates.
  static QPoint partCentre(uint8_t part) {
    TRect r = grabberPartRect(part);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  test::DocWindowFixture doc{400, 300, {300, 200}};
  DocTarget target{doc};
  std::unique_ptr<QWidget> mainWindow;
  QWidget* host = nullptr;
  TToolForm* form = nullptr;
};

// ---- view grabber ----

TEST_F(ViewPanelsTest, TheGrabberSitsOnTheWindowOnlyForTheHand) {
  TViewGrabber* g = form->grabber();
  ASSERT_NE(g, nullptr);
  EXPECT_FALSE(g->isVisible());
  form->model().setToolMode(ToolMode::Hand);
  EXPECT_EQ(g->parentWidget(), host);
  EXPECT_TRUE(g->isVisible());
  EXPECT_EQ(g->pos(), QPoint(85, 27));
  // It follows the window's size.
  host->resize(400, 300);
  EXPECT_EQ(g->pos(), QPoint(135, 77));
  // The pointer reaches the document through the empty corners, not through
  // the ring.
  EXPECT_EQ(host->childAt(g->pos() + QPoint(2, 2)), nullptr);
  EXPECT_EQ(host->childAt(g->pos() + partCentre(gpZoomIn)), g);
  EXPECT_EQ(host->childAt(g->pos() + QPoint(20, 64)), g);  // on the ring, left side
  // Another tool, the preference off, or no window: it goes.
  form->model().setToolMode(ToolMode::Zoom);
  EXPECT_FALSE(g->isVisible());
  form->model().setToolMode(ToolMode::Hand);
  form->setViewPreferences(false, false);
  EXPECT_FALSE(g->isVisible());
  form->setViewPreferences(true, false);
  EXPECT_TRUE(g->isVisible());
  form->setGrabberHost(nullptr);
  EXPECT_FALSE(g->isVisible());
  EXPECT_EQ(g->parentWidget(), nullptr);
  // A window that closes with the grabber on it takes it along; the next
  // window gets a new one in the same state.
  form->setGrabberHost(host);
  form->navigatorPanel()->scaleEdit()->setValue(300.0);
  delete host;
  host = new QWidget(mainWindow.get());
  host->setGeometry(0, 0, 200, 200);
  host->show();
  form->setGrabberHost(host);
  ASSERT_NE(form->grabber(), nullptr);
  EXPECT_EQ(form->grabber()->parentWidget(), host);
  EXPECT_TRUE(form->grabber()->isVisible());
  EXPECT_FLOAT_EQ(form->grabber()->scale(), 3.0f);
}

TEST_F(ViewPanelsTest, TheGrabberTheNavigatorAndTheWindowDriveEachOther) {
  form->model().setToolMode(ToolMode::Hand);
  TViewGrabber* g = form->grabber();
  TNavigatorPanelView* nav = form->navigatorPanel();
  // Shift-dragging the slider snaps to a preset step: 200 %.
  const TPoint thumb = grabberThumbAt(2.0f);
  QTest::mousePress(g, Qt::LeftButton, Qt::ShiftModifier, QPoint(thumb.X + 6, partCentre(gpSlider).y()));
  QTest::mouseRelease(g, Qt::LeftButton, Qt::ShiftModifier, QPoint(thumb.X + 6, partCentre(gpSlider).y()));
  EXPECT_FLOAT_EQ(g->scale(), 2.0f);
  EXPECT_FLOAT_EQ(doc.doc().zoomValue(), 2.0f);
  EXPECT_DOUBLE_EQ(nav->scaleEdit()->value(), 200.0);
  // The -90 button: the panel shows -90, the window turns by +90.
  QTest::mouseClick(g, Qt::LeftButton, Qt::NoModifier, partCentre(gpTurnCounter));
  EXPECT_FLOAT_EQ(g->rotation(), 90.0f);
  EXPECT_NEAR(nav->rotationEdit()->value(), 90.0, 1e-3);
  EXPECT_NEAR(std::fmod(doc.doc().view().angleDeg() + 360.0, 360.0), 270.0, 1e-3);
  // The panel's changes move the grabber.
  nav->scaleEdit()->setValue(50.0);
  EXPECT_FLOAT_EQ(g->scale(), 0.5f);
  nav->rotationEdit()->setValue(-45.0);
  EXPECT_FLOAT_EQ(g->rotation(), -45.0f);
  // A double click in the window puts a shown grabber back to 100 %.
  EXPECT_TRUE(form->resetGrabberScale());
  EXPECT_FLOAT_EQ(doc.doc().zoomValue(), 1.0f);
  form->model().setToolMode(ToolMode::Zoom);
  EXPECT_FALSE(form->resetGrabberScale());
}

TEST_F(ViewPanelsTest, TheGrabberIsDrawnOverTheDocumentByItsAlpha) {
  form->model().setToolMode(ToolMode::Hand);
  const TMemoryGraphic& face = form->grabber()->picture();
  ASSERT_EQ(face.width(), kGrabberWidth);
  EXPECT_EQ(face.getPixel(2, 2) >> 24, 0u);                              // an empty corner
  EXPECT_NE(face.getPixel(20, 64) >> 24, 0u);                            // the ring
  EXPECT_NE(face.getPixel(partCentre(gpSlider).x(), partCentre(gpSlider).y()) >> 24, 0u);
}

// ---- navigator sliders ----

TEST_F(ViewPanelsTest, TheZoomSliderMapsAndSnapsAsThePreferenceSays) {
  TNavigatorPanelView* nav = form->navigatorPanel();
  nav->resize(220, 300);
  static_cast<QWidget*>(nav)->show();
  TGraphicTrackbar* s = nav->scaleSlider();
  // Without snapping the position is the zoom mapping: the middle is 100 %.
  s->dragTo(QPointF(s->width() / 2.0, s->height() / 2.0));
  const double free = zoomOfZoomSlider(s->rawPosition(), false);
  EXPECT_NEAR(doc.doc().zoomValue(), free, 1e-3);
  // A little off a step it snaps onto the step with the preference on.
  nav->setForceDispParam(true);
  s->setDragging(true);
  const float nearTwo = static_cast<float>(zoomSliderOfZoom(2.1));
  const TRect track = trackRect(s->orientation(), s->width(), s->height());
  const double x = track.Left + 0.5 + nearTwo * (track.Right - track.Left - 1);
  s->dragTo(QPointF(x, s->height() / 2.0));
  EXPECT_FLOAT_EQ(doc.doc().zoomValue(), 2.0f);
  EXPECT_DOUBLE_EQ(nav->scaleEdit()->value(), 200.0);
  // The rotation slider goes in 15-degree steps then.
  TGraphicTrackbar* r = nav->rotationSlider();
  r->dragTo(QPointF(r->width() * 0.6, r->height() / 2.0));
  const double degrees = nav->rotationEdit()->value();
  EXPECT_NEAR(std::fmod(degrees + 360.0, 15.0), 0.0, 1e-3) << degrees;
  // The navigator's menu reverses the preview's turning.
  EXPECT_TRUE(nav->preview()->AngleSign);
  QMenu menu;
  nav->fillNavigatorMenu(menu);
  ASSERT_EQ(menu.actions().size(), 1);
  menu.actions()[0]->trigger();
  EXPECT_TRUE(nav->counterRotation());
  EXPECT_FALSE(nav->preview()->AngleSign);
}

// ---- loupe ----

TEST_F(ViewPanelsTest, TheLoupeMagnifiesThePointersSurroundings) {
  TNavigatorPanelView* nav = form->navigatorPanel();
  nav->resize(220, 360);
  static_cast<QWidget*>(nav)->show();
  TLoupeControl* loupe = nav->loupe();
  ASSERT_GE(loupe->width(), 20);
  // One marked pixel of the picture under the pointer.
  const TPoint pointer{150, 100};
  const TPointF at = doc.window->clientToImage({150.0f, 100.0f});
  const int32_t px = static_cast<int32_t>(std::floor(at.X + 0.5f)), py = static_cast<int32_t>(std::floor(at.Y + 0.5f));
  *doc.doc().composite().pixelAt(px, py) = 0xFF123456u;
  // Without the centre lines, so that the marked pixel shows undarkened.
  nav->loupeMenuClick(QStringLiteral("MenuLoupeC"));
  nav->updateLoupe(pointer);
  const int32_t cx = loupe->picture().width() / 2, cy = loupe->picture().height() / 2;
  EXPECT_EQ(loupe->picture().getPixel(cx, cy), 0xFF123456u);
  EXPECT_NE(loupe->picture().getPixel(cx + 1, cy), 0xFF123456u);
  // At 400 % it covers four pixels each way.
  nav->loupeMenuClick(QStringLiteral("MenuLoupe4"));
  EXPECT_FLOAT_EQ(loupe->magnification(), 0.25f);
  for (int32_t d = 0; d < 4; ++d) EXPECT_EQ(loupe->picture().getPixel(cx + d, cy + d), 0xFF123456u) << d;
  EXPECT_NE(loupe->picture().getPixel(cx + 4, cy), 0xFF123456u);
  // The menu shows the choice and cannot offer the switch it lacks.
  QMenu menu;
  nav->fillLoupeMenu(menu);
  int checked = 0;
  for (QAction* a : menu.actions()) {
    if (a->isSeparator()) continue;
    if (a->objectName() == QLatin1String("MenuLoupeF")) {
      EXPECT_FALSE(a->isEnabled());
    }
    if (a->isChecked()) {
      ++checked;
      EXPECT_EQ(a->objectName(), QLatin1String("MenuLoupe4"));
    }
  }
  EXPECT_EQ(checked, 1);
}

// ---- colour sampler ----

TEST_F(ViewPanelsTest, TheSamplerButtonsSwitchPickersAndKeepTheColour) {
  TColourPanelView* panel = form->colourPanel();
  form->model().setActiveColor(0xFF3366CCu);
  ASSERT_NE(dynamic_cast<TColorPicker*>(panel->picker()), nullptr);
  EXPECT_EQ(panel->picker()->colorSpace(), cpHSV);
  QTest::mouseClick(panel->kindButton(1), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  ASSERT_NE(dynamic_cast<TSliderColorPicker*>(panel->picker()), nullptr);
  EXPECT_TRUE(panel->kindButton(1)->isDown());
  EXPECT_FALSE(panel->kindButton(0)->isDown());
  EXPECT_EQ(panel->picker()->colorSpace(), cpRGB);
  EXPECT_EQ(colorRecToRgba(panel->picker()->getColorRec(), 255), 0xFF3366CCu);
  // Alt steps the sliders RGB -> HSV; the fields follow the space.
  QTest::mouseClick(panel->kindButton(1), Qt::LeftButton, Qt::AltModifier, QPoint(6, 6));
  EXPECT_EQ(panel->picker()->colorSpace(), cpHSV);
  EXPECT_EQ(panel->channel(0)->maximum(), 359);
  // The picker still sets the colour after its replacement.
  SColorRec red = rgbaToColorRec(0xFFFF0000u);
  panel->picker()->setColorRec(red);
  EXPECT_EQ(form->model().activeColor() & 0xFFFFFFu, 0xFF0000u);
  // Back to the area, which kept its own space.
  QTest::mouseClick(panel->kindButton(0), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  ASSERT_NE(dynamic_cast<TColorPicker*>(panel->picker()), nullptr);
  EXPECT_EQ(panel->picker()->colorSpace(), cpHSV);
}

TEST_F(ViewPanelsTest, TheSamplerPreferencesRoundTripAndTheMenusShowThem) {
  TColourPanelView* panel = form->colourPanel();
  panel->applySamplerPreferences(0x10006u, false);
  ASSERT_NE(dynamic_cast<TSliderColorPicker*>(panel->picker()), nullptr);
  EXPECT_EQ(panel->picker()->colorSpace(), cpHSL);
  EXPECT_TRUE(panel->picker()->followColor());
  EXPECT_EQ(panel->colorSamplerPreference(), 0x10006u);
  EXPECT_FALSE(panel->barsFixedPreference());
  // The sampler's own menu: the three slider spaces, HSL checked, no
  // separators.
  QMenu sampler;
  panel->fillSamplerMenu(sampler);
  QStringList captions;
  for (QAction* a : sampler.actions()) {
    EXPECT_FALSE(a->isSeparator());
    captions << a->text();
    if (a->isChecked()) {
      EXPECT_EQ(a->text(), QStringLiteral("HSL"));
    }
  }
  EXPECT_EQ(captions, (QStringList{"HSV", "HSL", "RGB"}));
  // The view's menu turns the slider colouring off; the preference then
  // says the bars are fixed.
  QMenu view;
  panel->fillViewMenu(view);
  QAction* bars = view.findChild<QAction*>(QStringLiteral("MenuColorChgS"));
  if (!bars)
    for (QAction* a : view.actions())
      if (a->objectName() == QLatin1String("MenuColorChgS")) bars = a;
  ASSERT_NE(bars, nullptr);
  EXPECT_TRUE(bars->isChecked());
  bars->trigger();
  EXPECT_FALSE(panel->picker()->followColor());
  EXPECT_TRUE(panel->barsFixedPreference());
  // The area's menu lists all nine with accelerators in the view's menu.
  panel->kindButtonClick(CColourSampler::kArea, false);
  QMenu areaView;
  panel->fillViewMenu(areaView);
  QStringList areaCaptions;
  for (QAction* a : areaView.actions())
    if (!a->isSeparator() && a->text().contains(QLatin1Char('/'))) areaCaptions << a->text();
  EXPECT_EQ(areaCaptions, (QStringList{"H/SV(&U)", "S/HV(&S)", "V/HS(&V)", "H/SL(&E)", "S/HL(&T)", "L/HS(&L)",
                                       "R/GB(&R)", "G/RB(&G)", "B/RG(&B)"}));
  EXPECT_EQ(panel->colorSamplerPreference(), 3u);
}

}  // namespace
}  // namespace pg
