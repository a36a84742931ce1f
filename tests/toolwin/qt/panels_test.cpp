#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "brush/paint_param.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "core/blend_modes.h"
#include "document/doc_recorder.h"
#include "platform/clock.h"
#include "record/event_store.h"
#include "record/record_test_util.h"
#include "record/state_packets.h"
#include "test_support/qt_app.h"
#include "toolwin/doc_target.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/qt/colour_panel_view.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "canvas/tool_numbering.h"

namespace pg {
namespace {

using test::DocTarget;

class PanelsTest : public ::testing::Test {
 protected:
  PanelsTest() {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    form = createToolWindow(mainWindow.get());
    form->layerPanel()->resize(210, 300);
    form->setDocWindow(&targetA);
  }
  ~PanelsTest() override { destroyToolWindow(form); }

  uint32_t events(test::DocWindowFixture& f) {
    auto* rec = dynamic_cast<CDocEventRecorder*>(f.doc().events());
    return rec ? rec->store().committedCount() : 0;
  }

  test::DocWindowFixture a{64, 48, {300, 200}};
  test::DocWindowFixture b{80, 60, {300, 200}};
  DocTarget targetA{a};
  DocTarget targetB{b};
  std::unique_ptr<QWidget> mainWindow;
  TToolForm* form = nullptr;
};

TEST_F(PanelsTest, TheLayerPanelShowsTheActiveDocumentAndFollowsAnother) {
  a.addLayers(3);
  EXPECT_TRUE(a.doc().setLayerOpacity(2, 102, true));
  EXPECT_TRUE(a.doc().setLayerBlendMode(2, 3, true));
  form->setDocWindow(&targetA);
  CLayerList& list = form->layerPanel()->layers();
  ASSERT_EQ(list.getCount(), 3);
  // Bottom-up: the top layer is the first row.
  EXPECT_LT(list.getItemRect(2).Top, list.getItemRect(0).Top);
  EXPECT_EQ(list.getItemDetail(2), "40%\t" + layerBlendName(3));
  // The row of the bottom layer shows its (white) thumbnail.
  const TMemoryGraphic& face = form->layerPanel()->layerListView()->face();
  TRect r = list.getItemRect(0);
  SSize t = list.getThumbSize(0);
  int32_t side = r.Bottom - r.Top - 1;
  int32_t x = r.Left + 18 + side / 2, y = r.Top + side / 2;
  ASSERT_GT(t.W, 0);
  EXPECT_EQ(face.getPixel(x, y) & 0x00FFFFFFu, 0x00FFFFFFu);
  EXPECT_EQ(form->layerPanel()->opacityEdit()->value(), 40);
  EXPECT_EQ(form->layerPanel()->blendMode()->currentIndex(), 3);
  EXPECT_TRUE(form->layerPanel()->deleteButton()->isEnabled());

  form->setDocWindow(&targetB);
  EXPECT_EQ(list.getCount(), 1);
  EXPECT_EQ(form->layerPanel()->opacityEdit()->value(), 100);
  EXPECT_FALSE(form->layerPanel()->deleteButton()->isEnabled());
  EXPECT_FALSE(form->layerPanel()->deleteMaskButton()->isEnabled());

  form->setDocWindow(nullptr);
  EXPECT_EQ(list.getCount(), 0);
  EXPECT_FALSE(form->layerPanel()->blendMode()->isEnabled());
  EXPECT_EQ(form->layerPanel()->blendMode()->currentText(), QString());
}

TEST_F(PanelsTest, DraggingTheOpacitySliderCommitsOneUndoableChange) {
  ManualClock clock(5000);
  test::ClockScope scope(&clock);
  QSlider* slider = form->layerPanel()->opacitySlider();
  int32_t undo = a.undoCount();
  uint32_t recorded = events(a);
  slider->setSliderDown(true);
  for (int v : {90, 75, 60, 40}) {
    slider->setValue(v);
    clock.advance(600);
    QTest::qWait(130);  // the preview timer looks
  }
  EXPECT_EQ(a.doc().currentLayer()->opacity, 102);  // previewed already
  EXPECT_EQ(a.undoCount(), undo);
  slider->setSliderDown(false);
  EXPECT_EQ(a.doc().currentLayer()->opacity, 102);
  EXPECT_EQ(a.undoCount(), undo + 1);
  EXPECT_EQ(events(a), recorded + 1);
  ASSERT_TRUE(a.window->undo());
  EXPECT_EQ(a.doc().currentLayer()->opacity, 255);
}

// ---- the next stroke follows the panels ----

struct StrokeResult {
  int32_t painted = 0;     // pixels that changed
  uint32_t darkest = 0;    // a pixel of the stroke's middle
};

StrokeResult strokeAcross(test::DocWindowFixture& f) {
  f.window->selectToolHandlers(false);
  int32_t y = f.doc().height() / 2;
  TPointF from = f.window->imageToClient({8.0f, static_cast<float>(y)});
  TPointF to = f.window->imageToClient({static_cast<float>(f.doc().width() - 8), static_cast<float>(y)});
  auto at = [](TPointF p) { return TPoint{static_cast<int32_t>(p.X), static_cast<int32_t>(p.Y)}; };
  f.window->mouseDown(PointerButton::Left, kLeftBit, at(from), false);
  for (int k = 1; k <= 8; ++k) {
    TPointF p{from.X + (to.X - from.X) * k / 8, from.Y};
    f.window->mouseMove(kLeftBit, at(p));
  }
  f.window->mouseUp(PointerButton::Left, 0, at(to));
  StrokeResult r;
  const CBlockVMTC& img = *f.doc().getLayer(0)->image;
  for (int32_t yy = 0; yy < f.doc().height(); ++yy)
    for (int32_t xx = 0; xx < f.doc().width(); ++xx)
      if ((img.getPixelClamped(xx, yy) & 0x00FFFFFFu) != 0x00FFFFFFu) ++r.painted;
  r.darkest = img.getPixelClamped(f.doc().width() / 2, y);
  return r;
}

TEST_F(PanelsTest, SizeOpacityAndColourFromThePanelsReachTheNextStroke) {
  TToolOptionsPanel* options = form->optionsPanel();
  options->sizeEdit()->setValue(2.0);
  form->opacityEdit()->setValue(100);
  StrokeResult thin = strokeAcross(a);
  ASSERT_TRUE(a.window->undo());

  options->sizeEdit()->setValue(12.0);
  StrokeResult wide = strokeAcross(a);
  EXPECT_GT(wide.painted, thin.painted * 2);
  ASSERT_TRUE(a.window->undo());

  // Half the opacity: the middle of the stroke is lighter.
  form->opacityEdit()->setValue(50);
  StrokeResult light = strokeAcross(a);
  EXPECT_GT(light.darkest & 0xFF, wide.darkest & 0xFF);
  ASSERT_TRUE(a.window->undo());

  // A red picked in the colour panel's fields.
  form->opacityEdit()->setValue(100);
  TColourPanelView* colour = form->colourPanel();
  colour->setColorSpace(0);
  colour->channel(0)->setValue(255);
  colour->channel(1)->setValue(0);
  colour->channel(2)->setValue(0);
  EXPECT_EQ(form->model().fgColor(), 0xFFFF0000u);
  StrokeResult red = strokeAcross(a);
  EXPECT_EQ(red.darkest & 0x00FFFFFFu, 0x00FF0000u);
}

// The tool window's gradient drop-down: its button switches brush strokes to
// the current gradient and back, and the recording says which it was.
TEST_F(PanelsTest, TheGradientListsButtonMakesTheNextStrokePaintWithTheGradient) {
  // A gradient of colours that are not the foreground's black, and not one colour.
  CGradMngr& set = form->gradients();
  int32_t pick = -1;
  for (int32_t i = 0; i < set.count() && pick < 0; ++i) {
    const CColorSlotGroup& stops = set.getItem(i)->Stops;
    if ((stops.colorAt(0) & 0xFFFFFF) != 0 && stops.colorAt(0) != stops.colorAt(0x10000)) pick = i;
  }
  ASSERT_GE(pick, 0);
  CGradientList& tools = form->toolOptions().toolGradientList();
  ASSERT_TRUE(tools.selectItem(pick, true));
  // The options' lists follow the pick.
  EXPECT_EQ(form->toolOptions().gradientList().getActiveIndex(), pick);
  EXPECT_EQ(form->toolOptions().gradientDropList().getActiveIndex(), pick);
  form->optionsPanel()->sizeEdit()->setValue(8.0);
  form->opacityEdit()->setValue(100);

  TItemListView* view = form->gradientListView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->geometry(), QRect(1, 260, 54, 32));
  const TRect b = tools.dropButtonRect();
  const QPoint button((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  auto recordedSwitches = [&](uint32_t from) {
    auto* rec = dynamic_cast<CDocEventRecorder*>(a.doc().events());
    int32_t flags = -1;
    if (rec == nullptr) return flags;
    for (const test::SPacket& p : test::packetsOf(rec->store(), from))
      if (p.type == kPktState && p.subcode == kStateSwitches && p.body.size() >= 2) flags = p.body[0] | p.body[1] << 8;
    return flags;
  };
  auto position = [&] {
    auto* rec = dynamic_cast<CDocEventRecorder*>(a.doc().events());
    return rec ? rec->store().writePosition() : 0u;
  };
  const uint32_t y = static_cast<uint32_t>(a.doc().height() / 2);
  auto pixel = [&](int32_t x) { return a.doc().getLayer(0)->image->getPixelClamped(x, static_cast<int32_t>(y)) & 0xFFFFFFu; };

  QTest::mouseClick(view, Qt::LeftButton, {}, button);
  EXPECT_TRUE(tools.dropDownPressed());
  EXPECT_TRUE(form->model().gradation());
  uint32_t from = position();
  StrokeResult graded = strokeAcross(a);
  ASSERT_GT(graded.painted, 0);
  // The stroke takes the gradient's colours along the document: not the
  // foreground's, and not one colour from end to end.
  const int32_t left = 10, right = a.doc().width() - 10;
  EXPECT_NE(pixel(left), 0u);
  EXPECT_NE(pixel(right), 0u);
  EXPECT_NE(pixel(left), pixel(right));
  const int32_t on = recordedSwitches(from);
  ASSERT_GE(on, 0);
  EXPECT_TRUE(on & 8);
  ASSERT_TRUE(a.window->undo());

  // Off again: the next stroke is the foreground's black.
  QTest::mouseClick(view, Qt::LeftButton, {}, button);
  EXPECT_FALSE(tools.dropDownPressed());
  EXPECT_FALSE(form->model().gradation());
  from = position();
  StrokeResult plain = strokeAcross(a);
  EXPECT_EQ(pixel(left), 0u);
  EXPECT_EQ(pixel(right), 0u);
  EXPECT_EQ(plain.darkest & 0xFFFFFFu, 0u);
  const int32_t off = recordedSwitches(from);
  ASSERT_GE(off, 0);
  EXPECT_FALSE(off & 8);
}

TEST_F(PanelsTest, TheOptionsShowTheBrushsFieldsAndTheirChangesReachTheNextStroke) {
  TToolOptionsPanel* options = form->optionsPanel();
  struct Case {
    uint8_t kind;
    EParamField field;
    bool shown;
  };
  const Case cases[] = {
      {0, kFieldSpacing, false}, {3, kFieldSpacing, true}, {0, kFieldAngle, false},
      {9, kFieldAngle, true},    {9, kFieldNibScale, false}, {0, kFieldOpacity, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << ", field " << int(c.field));
    form->model().setToolMode(modeOfPenSlot(PenSlot{c.kind}));
    ASSERT_NE(options->fieldControl(c.field), nullptr);
    EXPECT_EQ(!options->fieldControl(c.field)->isHidden(), c.shown);
  }

  form->model().setToolMode(modeOfPenSlot(PenSlot{0}));
  options->sizeEdit()->setValue(8.0);
  auto* opacity = qobject_cast<QDoubleSpinBox*>(options->fieldControl(kFieldOpacity));
  ASSERT_NE(opacity, nullptr);
  opacity->setValue(100);
  StrokeResult full = strokeAcross(a);
  ASSERT_TRUE(a.window->undo());
  opacity->setValue(30);
  EXPECT_EQ(form->opacityEdit()->value(), 30);
  StrokeResult faint = strokeAcross(a);
  EXPECT_GT(faint.darkest & 0xFF, full.darkest & 0xFF);
}

TEST_F(PanelsTest, AnImageNibIsSizedByItsScaleWithOneHundredPerCentMidway) {
  TToolOptionsPanel* options = form->optionsPanel();
  form->model().setToolMode(modeOfPenSlot(PenSlot{9}));
  TChannel plane(40, 20);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x) *plane.pixelAt(x, y) = uint8_t(x * 6);
  CPenShapeObj nib;
  ASSERT_TRUE(nib.setImage(plane, true));
  form->toolOptions().brushList().setNib(&nib);
  ASSERT_TRUE(form->toolOptions().paintParam().hasNib);
  EXPECT_TRUE(options->sizeEdit()->isHidden());
  QSlider* slider = options->nibScaleSlider();
  ASSERT_NE(slider, nullptr);
  EXPECT_FALSE(slider->isHidden());
  auto* scale = qobject_cast<QDoubleSpinBox*>(options->fieldControl(kFieldNibScale));
  ASSERT_NE(scale, nullptr);
  EXPECT_DOUBLE_EQ(scale->value(), 100.0);
  EXPECT_EQ(slider->value(), slider->maximum() / 2);
  slider->setValue(slider->maximum());
  EXPECT_DOUBLE_EQ(scale->value(), scale->maximum());
  EXPECT_FLOAT_EQ(form->toolOptions().paintParam().nibScale * 100.0f, static_cast<float>(scale->maximum()));
}

TEST_F(PanelsTest, NavigatorAndWindowDriveEachOther) {
  TNavigatorPanelView* nav = form->navigatorPanel();
  nav->scaleEdit()->setValue(200.0);
  EXPECT_FLOAT_EQ(a.doc().zoomValue(), 2.0f);
  a.window->setZoomCentred(1, 2);
  nav->windowViewChanged();
  EXPECT_DOUBLE_EQ(nav->scaleEdit()->value(), 50.0);
  nav->rotationEdit()->setValue(30.0);
  EXPECT_NEAR(a.doc().view().angleDeg(), -30.0f, 1e-3);
  a.window->setViewRotation(true, 45.0f);
  nav->windowViewChanged();
  EXPECT_NEAR(nav->rotationEdit()->value(), -45.0, 0.05);
}

TEST_F(PanelsTest, ClickingALayerRowMakesItCurrentAndItsBoxHidesIt) {
  a.addLayers(2);
  form->setDocWindow(&targetA);
  TItemListView* view = form->layerPanel()->layerListView();
  view->resize(200, 200);
  CLayerList& list = form->layerPanel()->layers();
  list.setBounds(200, 200);
  TRect r = list.getItemRect(0);
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 60, r.Top + 5));
  EXPECT_EQ(a.doc().currentLayerIndex(), 0);
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 5, r.Top + 5));
  EXPECT_FALSE(a.doc().getLayer(0)->visible);
}

TEST_F(PanelsTest, TheOptionsShowOnlyWhatTheBrushLetsBeSet) {
  TToolOptionsPanel* options = form->optionsPanel();
  form->model().setToolMode(ToolMode::Pencil);
  EXPECT_FALSE(options->sizeEdit()->isHidden());
  // The magic eraser paints no brush: no size to set.
  form->model().setToolMode(ToolMode::MagicEraser);
  EXPECT_TRUE(options->sizeEdit()->isHidden());
  EXPECT_TRUE(options->minSizeEdit()->isHidden());
}

TEST_F(PanelsTest, PickingASwatchSetsTheActiveColourAndAddingTakesIt) {
  CSwatchList& swatches = form->swatches();
  ASSERT_GT(swatches.getCount(), 5);
  ASSERT_TRUE(swatches.setActiveIndex(5));
  EXPECT_EQ(form->model().fgColor(), 0xFF000000u | swatches.colorAt(5));
  form->model().setFgColor(0xFF123456u);
  int32_t n = swatches.getCount();
  ASSERT_TRUE(swatches.duplicateClick(n, false));
  EXPECT_EQ(swatches.colorAt(n), 0x123456u);
}

}  // namespace
}  // namespace pg
