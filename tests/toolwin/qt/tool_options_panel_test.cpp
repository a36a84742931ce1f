// The tool options panel for the tools besides the brushes' number fields:
// the gradient tool's list and attribute buttons, the fill tools' range, and
// the nib shape editor and pressure curve of a brush, each driven by
// synthesised input and judged by the next gradient, fill or stroke.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QAction>
#include <QMenu>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "brush/gradient_mngr.h"
#include "brush/paint_param_kinds.h"
#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "replay/replay_types.h"
#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "record/event_store.h"
#include "test_support/qt_app.h"
#include "toolwin/doc_target.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/preset_popup_form.h"
#include "toolwin/preset_lists.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "ui/qt/air_map_controls.h"
#include "ui/qt/item_pickers.h"
#include "ui/qt/popup_base_form.h"
#include "ui/qt/nib_editor_widget.h"
#include "ui/qt/panel_controls.h"

namespace pg {
namespace {

using test::DocTarget;

class ToolOptionsPanelTest : public ::testing::Test {
 protected:
  // With the pen engine the pen-method kinds paint as under the main window.
  explicit ToolOptionsPanelTest(bool penEngine = false)
      : render(penEngine ? std::make_unique<CPenRender>() : nullptr), f(64, 48, {300, 200}, render.get()) {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    form = createToolWindow(mainWindow.get());
    form->setDocWindow(&target);
    panel = form->optionsPanel();
    panel->resize(260, 700);
    // The pickers take the pointer only while they are on the screen.
    panel->show();
  }
  ~ToolOptionsPanelTest() override { destroyToolWindow(form); }

  TPoint client(float x, float y) {
    TPointF p = f.window->imageToClient({x, y});
    return {static_cast<int32_t>(p.X), static_cast<int32_t>(p.Y)};
  }
  // A gradient drawn across the document's middle row, from x0 to x1.
  void drawGradient(float x0, float x1) {
    ASSERT_TRUE(f.shared.selectTool(ToolId::Gradation));
    f.window->selectToolHandlers(false);
    const float y = static_cast<float>(f.doc().height() / 2);
    f.window->mouseDown(PointerButton::Left, kLeftBit, client(x0, y), false);
    f.window->mouseMove(kLeftBit, client((x0 + x1) / 2, y));
    f.window->mouseMove(kLeftBit, client(x1, y));
    f.window->mouseUp(PointerButton::Left, 0, client(x1, y));
  }
  uint32_t pixel(int32_t x, int32_t y) { return f.doc().getLayer(0)->image->getPixelClamped(x, y) & 0x00FFFFFFu; }
  // A click in the middle of a control once the layout has placed it.
  static void click(QWidget* w) {
    QCoreApplication::processEvents();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
  }

  // A click on the nib list button of the shape editor; the pop-up it opened.
  TPresetPopupForm* clickNibButton() {
    QCoreApplication::processEvents();
    const TRect button = panel->aspectEditor()->layout().rightButton;
    QTest::mouseClick(panel->aspectEditor(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2));
    return panel->nibPopup();
  }

  std::unique_ptr<CPenRender> render;
  test::DocWindowFixture f;
  DocTarget target{f};
  std::unique_ptr<QWidget> mainWindow;
  TToolForm* form = nullptr;
  TToolOptionsPanel* panel = nullptr;
};

TEST_F(ToolOptionsPanelTest, EachToolShowsItsOwnControls) {
  struct Case {
    ToolMode mode;
    bool brush, gradient, fill, opacity;
  };
  const Case cases[] = {
      {ToolMode::Pencil, true, false, false, false},     {ToolMode::Gradation, false, true, false, true},
      {ToolMode::BucketFill, false, false, true, true},  {ToolMode::MagicEraser, false, false, true, false},
      {ToolMode::AutoSelect, false, false, true, false}, {ToolMode::FillRectangle, false, false, false, true},
      {ToolMode::Hand, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    form->model().setToolMode(c.mode);
    EXPECT_EQ(!panel->brushList()->isHidden(), c.brush);
    EXPECT_EQ(!panel->aspectEditor()->isHidden(), c.brush);
    EXPECT_EQ(!panel->gradientBox()->isHidden(), c.gradient);
    EXPECT_EQ(!panel->seedBox()->isHidden(), c.fill);
    EXPECT_EQ(!panel->toolOpacityEdit()->parentWidget()->isHidden(), c.opacity);
  }
}

TEST_F(ToolOptionsPanelTest, TheGradientButtonsReachTheNextGradient) {
  form->model().setToolMode(ToolMode::Gradation);
  CGradMngr& set = form->gradients();
  ASSERT_TRUE(set.isCurrentFixed());
  // The fixed entry always follows the shared repeat: no own settings.
  EXPECT_FALSE(panel->ownSettingsButton()->isEnabled());
  EXPECT_TRUE(panel->gradientShapeButton(0)->isDown());

  // From the foreground colour (black) to white between x 8 and 56.
  drawGradient(8, 56);
  const uint32_t plainLeft = pixel(2, 24), plainRight = pixel(61, 24);
  EXPECT_EQ(plainLeft, 0x000000u);
  EXPECT_EQ(plainRight, 0xFFFFFFu);
  ASSERT_TRUE(f.window->undo());

  // Round trip: the far end comes back to black.
  click(panel->roundTripButton());
  EXPECT_TRUE(panel->roundTripButton()->isDown());
  EXPECT_EQ(set.getRange().Mirror, 1);
  drawGradient(8, 56);
  EXPECT_EQ(pixel(2, 24), 0x000000u);
  EXPECT_EQ(pixel(61, 24), 0x000000u);
  EXPECT_GT(pixel(32, 24) & 0xFF, 0xF0u);
  ASSERT_TRUE(f.window->undo());

  // The shape buttons are one group; the count is typed.
  click(panel->gradientShapeButton(2));
  EXPECT_FALSE(panel->gradientShapeButton(0)->isDown());
  panel->repeatCountEdit()->setValue(3);
  const SGradRepeat expected{0, 2, 1, 0, 3};
  EXPECT_EQ(set.getRange(), expected);
  EXPECT_EQ(f.doc().gradient()->shape(), 0);
  drawGradient(8, 56);
  EXPECT_EQ(f.doc().gradient()->shape(), 2);
  EXPECT_EQ(f.doc().gradient()->count(), 3);
}

TEST_F(ToolOptionsPanelTest, AnotherGradientPickedInTheListDrawsWithItsOwnSettings) {
  form->model().setToolMode(ToolMode::Gradation);
  drawGradient(8, 56);
  const uint32_t fixedLeft = pixel(2, 24);
  ASSERT_TRUE(f.window->undo());

  // The third built-in runs through red, green and blue.
  TItemListView* view = panel->gradientList();
  // A strip wide enough for every gradient side by side.
  view->resize(400, 36);
  CGradientList& list = form->toolOptions().gradientList();
  list.setBounds(400, 36);
  const TRect r = list.getItemRect(3);
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  ASSERT_EQ(form->gradients().currentIndex(), 3);
  EXPECT_TRUE(panel->ownSettingsButton()->isEnabled());
  EXPECT_FALSE(panel->ownSettingsButton()->isDown());

  click(panel->ownSettingsButton());
  click(panel->gradientShapeButton(1));
  const CGradObj* g = form->gradients().getItem(3);
  EXPECT_EQ(g->Repeat.OwnSettings, 1);
  EXPECT_EQ(g->Repeat.Shape, 1);
  EXPECT_EQ(form->gradients().getRange().Shape, 0);

  drawGradient(8, 56);
  EXPECT_NE(pixel(2, 24), fixedLeft);
  EXPECT_EQ(f.doc().gradient()->shape(), 1);
}

// The left half white, the right half a light grey 15 levels darker.
void twoGreys(test::DocWindowFixture& f) {
  CBlockVMTC& img = *f.doc().getLayer(0)->image;
  for (int32_t y = 0; y < f.doc().height(); ++y)
    for (int32_t x = 0; x < f.doc().width(); ++x)
      ASSERT_TRUE(img.setPixel(x, y, x < 32 ? 0xFFFFFFFFu : 0xFFF0F0F0u));
}

int32_t redPixels(test::DocWindowFixture& f) {
  int32_t n = 0;
  for (int32_t y = 0; y < f.doc().height(); ++y)
    for (int32_t x = 0; x < f.doc().width(); ++x)
      if ((f.doc().getLayer(0)->image->getPixelClamped(x, y) & 0x00FFFFFFu) == 0x00FF0000u) ++n;
  return n;
}

TEST_F(ToolOptionsPanelTest, TheFillRangeReachesTheNextFillAndTheWandKeepsItsOwn) {
  f.shared.useDocumentSeedFill();
  form->toolOptions().bindSeeds(&f.shared.prefs.fillSeed, &f.shared.prefs.wandSeed);
  form->model().setFgColor(0xFFFF0000u);
  twoGreys(f);
  form->model().setToolMode(ToolMode::BucketFill);
  ASSERT_TRUE(f.shared.selectMode(ToolMode::BucketFill));
  f.window->selectToolHandlers(false);
  auto fillAt = [&](float x) {
    const TPoint p = client(x, 24);
    f.window->mouseDown(PointerButton::Left, kLeftBit, p, false);
    f.window->mouseUp(PointerButton::Left, 0, p);
  };
  const int32_t half = 32 * f.doc().height(), whole = 64 * f.doc().height();

  panel->seedAntiAliasCheck()->setChecked(false);
  panel->seedRangeEdit()->setValue(5);
  EXPECT_EQ(f.shared.prefs.fillSeed, (SSeedSettings{5, false, false}));
  fillAt(10);
  EXPECT_EQ(redPixels(f), half);
  ASSERT_TRUE(f.window->undo());
  EXPECT_EQ(redPixels(f), 0);

  panel->seedRangeEdit()->setValue(40);
  fillAt(10);
  EXPECT_EQ(redPixels(f), whole);

  // The wand keeps its own range; the panel shows it and edits it alone.
  form->model().setToolMode(ToolMode::AutoSelect);
  EXPECT_EQ(panel->seedRangeEdit()->value(), f.shared.prefs.wandSeed.limit);
  panel->seedRangeEdit()->setValue(77);
  // On the box itself: a check box takes clicks on its box and caption only.
  QTest::mouseClick(panel->seedVisibleCheck(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(6, panel->seedVisibleCheck()->height() / 2));
  EXPECT_EQ(f.shared.prefs.wandSeed.limit, 77);
  EXPECT_TRUE(f.shared.prefs.wandSeed.visible);
  EXPECT_EQ(f.shared.prefs.fillSeed.limit, 40);
  form->model().setToolMode(ToolMode::MagicEraser);
  EXPECT_EQ(panel->seedRangeEdit()->value(), 40);
  EXPECT_FALSE(panel->seedVisibleCheck()->isChecked());
}

int32_t strokePixels(test::DocWindowFixture& f, TPoint from, TPoint to) {
  f.window->selectToolHandlers(false);
  f.window->mouseDown(PointerButton::Left, kLeftBit, from, false);
  for (int k = 1; k <= 8; ++k) f.window->mouseMove(kLeftBit, {from.X + (to.X - from.X) * k / 8, from.Y});
  f.window->mouseUp(PointerButton::Left, 0, to);
  int32_t n = 0;
  for (int32_t y = 0; y < f.doc().height(); ++y)
    for (int32_t x = 0; x < f.doc().width(); ++x)
      if ((f.doc().getLayer(0)->image->getPixelClamped(x, y) & 0x00FFFFFFu) != 0x00FFFFFFu) ++n;
  return n;
}

// A drag of one of the editor's handles to a point, in four steps.
void dragHandle(TAspectRotation* editor, TPointF handle, TPointF to) {
  auto point = [](TPointF p) { return QPoint(static_cast<int>(p.X), static_cast<int>(p.Y)); };
  QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, point(handle));
  for (int k = 1; k <= 4; ++k)
    QTest::mouseMove(editor, point({handle.X + (to.X - handle.X) * k / 4, handle.Y + (to.Y - handle.Y) * k / 4}));
  QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, point(to));
}

TEST_F(ToolOptionsPanelTest, TheShapeEditorSizesTheNextStrokeAndTurnsOnlyWhereTheBrushLetsIt) {
  // The version-3 pencil's nib is round.
  form->model().setToolMode(modeOfPenSlot(PenSlot{0}));
  panel->sizeEdit()->setValue(2.0);
  TAspectRotation* editor = panel->aspectEditor();
  ASSERT_FALSE(editor->isHidden());
  EXPECT_FALSE(editor->state().handlesEnabled);
  EXPECT_FLOAT_EQ(editor->state().maxRadius(), 2.0f);
  const TPoint from = client(8, 24), to = client(56, 24);
  const int32_t thin = strokePixels(f, from, to);
  ASSERT_TRUE(f.window->undo());

  const TPointF grip = editor->geometry().outer[0];
  dragHandle(editor, grip, {grip.X + 40, grip.Y});
  EXPECT_GT(form->model().toolSize(), 6.0f);
  EXPECT_DOUBLE_EQ(panel->sizeEdit()->value(), form->model().toolSize());
  EXPECT_GT(strokePixels(f, from, to), thin * 2);

  // The current pencil flattens its nib with the shape handle: half way
  // to the centre is about half the aspect.
  form->model().setToolMode(ToolMode::Pencil);
  ASSERT_TRUE(editor->state().handlesEnabled);
  ASSERT_FLOAT_EQ(form->toolOptions().paintParam().aspect, 1.0f);
  const SNibGeometry g = editor->geometry();
  dragHandle(editor, g.outer[8], {(g.outer[8].X + g.centre.X) / 2, (g.outer[8].Y + g.centre.Y) / 2});
  EXPECT_NEAR(form->toolOptions().paintParam().aspect, 0.5f, 0.1f);
  auto* aspectField = qobject_cast<QDoubleSpinBox*>(panel->fieldControl(kFieldAspect));
  ASSERT_NE(aspectField, nullptr);
  EXPECT_NEAR(aspectField->value(), 100.0 - form->toolOptions().paintParam().aspect * 100.0, 0.5);
}

TEST_F(ToolOptionsPanelTest, ThePressureCurveSetsTheGammaOfTheNextStroke) {
  form->model().setToolMode(ToolMode::Pencil);
  TPressureGamma* curve = panel->pressureCurve();
  ASSERT_FALSE(curve->isHidden());
  EXPECT_FLOAT_EQ(curve->gamma(), 1.0f);
  QTest::mousePress(curve, Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
  QTest::mouseMove(curve, QPoint(34, 24));
  QTest::mouseMove(curve, QPoint(44, 24));
  QTest::mouseRelease(curve, Qt::LeftButton, Qt::NoModifier, QPoint(44, 24));
  const float gamma = curve->gamma();
  EXPECT_GT(gamma, 1.0f);
  EXPECT_FLOAT_EQ(form->toolOptions().paintParam().gamma, gamma);
  auto* number = qobject_cast<QDoubleSpinBox*>(panel->fieldControl(kFieldGamma));
  ASSERT_NE(number, nullptr);
  EXPECT_NEAR(number->value(), gamma, 0.005);
  EXPECT_FLOAT_EQ(f.shared.toolStroke().GAMMA, gamma);
  // A double click puts it back, typed values move the curve.
  QTest::mouseDClick(curve, Qt::LeftButton);
  EXPECT_FLOAT_EQ(f.shared.toolStroke().GAMMA, 1.0f);
  number->setValue(0.5);
  EXPECT_FLOAT_EQ(curve->gamma(), 0.5f);
}

TEST_F(ToolOptionsPanelTest, TheItemButtonsCopyAndDeleteTheActiveGradient) {
  form->model().setToolMode(ToolMode::Gradation);
  CGradMngr& set = form->gradients();
  const int32_t count = set.count();
  ASSERT_FALSE(panel->newItemButton()->isHidden());
  // The fixed entry may be copied, not deleted.
  EXPECT_TRUE(panel->newItemButton()->isEnabled());
  EXPECT_FALSE(panel->deleteItemButton()->isEnabled());
  click(panel->newItemButton());
  ASSERT_EQ(set.count(), count + 1);
  EXPECT_EQ(set.currentIndex(), count);
  EXPECT_TRUE(panel->deleteItemButton()->isEnabled());
  // The copy takes a typed name.
  QLineEdit* name = panel->nameEdit();
  EXPECT_FALSE(name->isReadOnly());
  name->clear();
  QTest::keyClicks(name, "dusk");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(set.currentItem()->Stops.name(), "dusk");
  // With Alt held nobody is asked.
  QCoreApplication::processEvents();
  QTest::mouseClick(panel->deleteItemButton(), Qt::LeftButton, Qt::AltModifier,
                    panel->deleteItemButton()->rect().center());
  EXPECT_EQ(set.count(), count);
  // The stroke tools keep variants: no item buttons.
  form->model().setToolMode(modeOfPenSlot(PenSlot{0}));
  EXPECT_TRUE(panel->newItemButton()->isHidden());
}

// The nib pop-up of the shape editor has the set commands of the nibs: a
// set without a file cannot be reverted, the others are there.
TEST_F(ToolOptionsPanelTest, TheNibPopUpOffersTheNibSetCommands) {
  form->model().setToolMode(ToolMode::Pencil);
  TPresetPopupForm* popup = clickNibButton();
  ASSERT_NE(popup, nullptr);
  form->nibs().setModified(true);
  emit popup->PresetPopupMenu->aboutToShow();
  const std::pair<const char*, bool> items[] = {
      {"MenuSetRevert", false}, {"MenuSetAppend", true}, {"MenuSetSave", true},   {"MenuSetOpen", true},
      {"MenuItemAppend", true}, {"MenuItemEdit", true},  {"MenuItemDelete", true},
  };
  for (const auto& [name, enabled] : items) {
    QAction* action = popup->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->isEnabled(), enabled) << name;
  }
  EXPECT_EQ(popup->findChild<QAction*>("MenuSetSave")->text(), QStringLiteral("ペン先集を保存(&S)..."));
  popup->closePopup();
}

TEST_F(ToolOptionsPanelTest, TheNibSampleOpensTheNibPopUpAndAPickedNibDrawsTheNextStroke) {
  TAspectRotation* editor = panel->aspectEditor();
  // A brush of the older kinds takes no nib image: no list button.
  form->model().setToolMode(modeOfPenSlot(PenSlot{0}));
  EXPECT_FALSE(editor->state().rightButtonVisible);

  form->model().setToolMode(ToolMode::Pencil);
  ASSERT_TRUE(editor->state().rightButtonVisible);
  panel->sizeEdit()->setValue(6.0);
  const TPoint from = client(8, 24), to = client(56, 24);
  const int32_t before = strokePixels(f, from, to);
  ASSERT_TRUE(f.window->undo());

  TPresetPopupForm* popup = clickNibButton();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->isOpen());
  auto& nibs = static_cast<CPenNibList&>(popup->list());
  ASSERT_GT(nibs.getCount(), 1);
  // The last nib, in the list as the pop-up shows it.
  const int32_t picked = nibs.getCount() - 1;
  ASSERT_NE(nibs.getActiveIndex(), picked);
  QCoreApplication::processEvents();
  const TRect item = nibs.getItemRect(picked);
  QTest::mouseClick(popup->listView(), Qt::LeftButton, Qt::NoModifier,
                    QPoint((item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2));
  ASSERT_EQ(nibs.getActiveIndex(), picked);
  const CPenShapeObj* nib = nibs.shapeAt(picked);
  ASSERT_NE(nib, nullptr);
  if (popup->isOpen()) popup->closePopup();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(panel->nibPopup(), nullptr);
  EXPECT_EQ(panel->nibPopupIndex(), picked);

  // The working brush carries the picked nib, and the next stroke draws with it.
  const TPaintParam& work = form->toolOptions().paintParam();
  EXPECT_EQ(work.hasNib != 0, nib->isImageNib());
  EXPECT_FLOAT_EQ(work.minSize, nib->params().shape.getMinSize());
  EXPECT_FLOAT_EQ(work.aspect, nib->params().shape.getAspect());
  EXPECT_FLOAT_EQ(work.angle, nib->params().shape.getAngle());
  EXPECT_NE(strokePixels(f, from, to), before);

  // Any other change of the brush forgets the chosen nib.
  panel->sizeEdit()->setValue(8.0);
  auto* spacing = qobject_cast<QDoubleSpinBox*>(panel->fieldControl(kFieldSpacing));
  ASSERT_NE(spacing, nullptr);
  spacing->setValue(spacing->value() + 5);
  EXPECT_EQ(panel->nibPopupIndex(), -1);
}

// The layer's pixels summed up: a stroke drawn otherwise sums otherwise.
uint64_t layerSum(test::DocWindowFixture& f) {
  uint64_t sum = 0;
  for (int32_t y = 0; y < f.doc().height(); ++y)
    for (int32_t x = 0; x < f.doc().width(); ++x) sum += f.doc().getLayer(0)->image->getPixelClamped(x, y) & 0x00FFFFFFu;
  return sum;
}

TEST_F(ToolOptionsPanelTest, TheFalloffPickerSetsTheBrushsProfileForTheNextStroke) {
  form->model().setToolMode(ToolMode::Airbrush);
  TAirMapDropDown* picker = panel->falloffPicker();
  ASSERT_FALSE(picker->isHidden());
  ASSERT_TRUE(picker->isEnabled());
  ASSERT_EQ(picker->active(), kAirMapFull);
  const TPaintParam& work = form->toolOptions().paintParam();
  const uint8_t type = work.falloffType;
  EXPECT_EQ(picker->kind(), type);
  panel->sizeEdit()->setValue(10.0);
  const TPoint from = client(8, 24), to = client(56, 24);
  (void)strokePixels(f, from, to);
  const uint64_t before = layerSum(f);
  ASSERT_TRUE(f.window->undo());

  // Escape puts the brush back as it was; Enter keeps the pick: the type of
  // the first button (6) with the pad's values 100 and 50.
  struct Case {
    Qt::Key key;
    uint8_t type;
    float a, b;
  };
  const Case cases[] = {{Qt::Key_Escape, type, work.falloffValue1, work.falloffValue2}, {Qt::Key_Return, 6, 1.0f, 0.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    click(picker);
    TPopupBaseForm* popup = picker->popupForm();
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(picker->typeButton(0), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(picker->pad(), Qt::LeftButton, {}, QPoint(90, 46));
    // Each change reaches the brush at once.
    EXPECT_EQ(work.falloffType, 6);
    QTest::keyClick(popup, c.key);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(work.falloffType, c.type);
    EXPECT_FLOAT_EQ(work.falloffValue1, c.a);
    EXPECT_FLOAT_EQ(work.falloffValue2, c.b);
  }
  (void)strokePixels(f, from, to);
  EXPECT_NE(layerSum(f), before);
}

class PenMethodOptionsPanelTest : public ToolOptionsPanelTest {
 protected:
  PenMethodOptionsPanelTest() : ToolOptionsPanelTest(true) {}
};

// The nib preview of the shape editor as drawn now.
std::vector<uint32_t> previewPixels(TAspectRotation* editor) {
  const TMemoryGraphic& g = editor->preview();
  if (!g.isValid()) return {};
  return {g.pixels(), g.pixels() + static_cast<size_t>(g.width()) * static_cast<size_t>(g.height())};
}

// On a pen-method brush, each control that shapes the dab (the editor's
// shape handle, the falloff pick, the hard edge) redraws the nib preview
// and reaches the next stroke.
TEST_F(PenMethodOptionsPanelTest, EachDabControlOfAPenMethodBrushRedrawsTheNibPreviewAndTheNextStroke) {
  form->model().setToolMode(ToolMode::Pencil);
  const TPaintParam& work = form->toolOptions().paintParam();
  ASSERT_GE(work.kind, 9);
  ASSERT_LE(work.kind, 17);
  panel->sizeEdit()->setValue(8.0);
  TAspectRotation* editor = panel->aspectEditor();
  ASSERT_FALSE(editor->isHidden());
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"aspect and angle",
       [&] {
         ASSERT_TRUE(editor->state().handlesEnabled);
         const float aspect = work.aspect, angle = work.angle;
         const SNibGeometry g = editor->geometry();
         // Toward the centre and a little aside: flatter and turned.
         dragHandle(editor, g.outer[8], {(g.outer[8].X + g.centre.X) / 2 + 6, (g.outer[8].Y + g.centre.Y) / 2 + 6});
         EXPECT_NE(work.aspect, aspect);
         EXPECT_NE(work.angle, angle);
       }},
      {"falloff",
       [&] {
         TAirMapDropDown* picker = panel->falloffPicker();
         ASSERT_TRUE(picker->isEnabled());
         click(picker);
         TPopupBaseForm* popup = picker->popupForm();
         ASSERT_NE(popup, nullptr);
         // The first button's profile (6), or the second's where the brush has it.
         const uint8_t before = work.falloffType;
         QTest::mouseClick(picker->typeButton(before == 6 ? 1 : 0), Qt::LeftButton, {}, QPoint(5, 5));
         QTest::keyClick(popup, Qt::Key_Return);
         QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
         EXPECT_NE(work.falloffType, before);
       }},
      {"hard edge",
       [&] {
         QWidget* check = panel->fieldControl(kFieldHardEdge);
         ASSERT_NE(check, nullptr);
         ASSERT_FALSE(check->isHidden());
         const uint8_t before = work.hardEdge;
         check->setFocus();
         QTest::keyClick(check, Qt::Key_Space);
         EXPECT_NE(work.hardEdge, before);
       }},
  };
  const TPoint from = client(8, 24), to = client(56, 24);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QCoreApplication::processEvents();
    const std::vector<uint32_t> shown = previewPixels(editor);
    ASSERT_FALSE(shown.empty());
    (void)strokePixels(f, from, to);
    const uint64_t painted = layerSum(f);
    ASSERT_TRUE(f.window->undo());
    c.change();
    EXPECT_NE(previewPixels(editor), shown) << "the preview still shows the old dab";
    (void)strokePixels(f, from, to);
    EXPECT_NE(layerSum(f), painted);
    ASSERT_TRUE(f.window->undo());
  }
}

// A replay shows the replayed pen-method brush in the panel (its size, its
// falloff, its dab in the preview), and its end gives the user's own brush
// back, to the panel and to the next stroke.
TEST_F(PenMethodOptionsPanelTest, AReplayShowsTheReplayedBrushAndItsEndTheUsersOwn) {
  form->model().setToolMode(ToolMode::Pencil);
  // Changes the user has not saved: the replay's detour to the hand tool
  // and back must not drop them.
  panel->sizeEdit()->setValue(8.0);
  click(panel->falloffPicker());
  ASSERT_NE(panel->falloffPicker()->popupForm(), nullptr);
  QTest::mouseClick(panel->falloffPicker()->typeButton(form->toolOptions().paintParam().falloffType == 6 ? 1 : 0),
                    Qt::LeftButton, {}, QPoint(5, 5));
  QTest::keyClick(panel->falloffPicker()->popupForm(), Qt::Key_Return);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const TPoint from = client(8, 24), to = client(56, 24);
  (void)strokePixels(f, from, to);
  const uint64_t own = layerSum(f);
  ASSERT_TRUE(f.window->undo());
  TAspectRotation* editor = panel->aspectEditor();
  const std::vector<uint32_t> ownPreview = previewPixels(editor);
  const uint8_t ownFalloff = panel->falloffPicker()->kind();

  form->model().updateEventPanel(true);
  SReplayPenState pen;
  ASSERT_TRUE(penRenderParamOfKind(pen.render, 13));
  pen.falloff.type = ownFalloff == 1 ? 2 : 1;
  CPenShapeObj nib;
  SPenShapeParam shape;
  shape.init(15.0f);
  shape.setAspect(0.4f);
  shape.setAngle(30.0f);
  nib.setParametric(nullptr, &shape, nullptr);
  pen.nib = &nib;
  ASSERT_TRUE(form->toolOptions().loadReplayParts(pen));
  QCoreApplication::processEvents();
  EXPECT_FALSE(panel->isEnabled());
  EXPECT_DOUBLE_EQ(panel->sizeEdit()->value(), 15.0);
  EXPECT_EQ(panel->falloffPicker()->kind(), form->toolOptions().paintParam().falloffType);
  EXPECT_NE(form->toolOptions().paintParam().falloffType, ownFalloff);
  EXPECT_NE(previewPixels(editor), ownPreview);

  form->model().updateEventPanel(false);
  form->toolOptions().clearReplayBrush();
  form->model().pushStrokeParams();
  QCoreApplication::processEvents();
  EXPECT_TRUE(panel->isEnabled());
  EXPECT_DOUBLE_EQ(panel->sizeEdit()->value(), 8.0);
  EXPECT_EQ(panel->falloffPicker()->kind(), ownFalloff);
  EXPECT_EQ(previewPixels(editor), ownPreview);
  (void)strokePixels(f, from, to);
  EXPECT_EQ(layerSum(f), own);
}

TEST_F(ToolOptionsPanelTest, WithoutAProfileTheFalloffPickerTogglesThePressureEdgeWhereTheBrushHasOne) {
  struct Case {
    ToolMode mode;
    uint8_t style;
    bool enabled;
  };
  const Case cases[] = {
      {ToolMode::PencilV3, kAirMapOff, false}, {ToolMode::EraserV3, kAirMapOff, true}, {ToolMode::AirbrushV3, kAirMapFive, true}};
  TAirMapDropDown* picker = panel->falloffPicker();
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    form->model().setToolMode(c.mode);
    EXPECT_EQ(picker->active(), c.style);
    EXPECT_EQ(picker->isEnabled(), c.enabled);
  }
  // A click on the eraser's picker lets the pressure soften the edge, the
  // next one stops it.
  form->model().setToolMode(ToolMode::EraserV3);
  const TPaintParam& work = form->toolOptions().paintParam();
  const uint8_t edge = work.pressureEdge;
  click(picker);
  EXPECT_NE(work.pressureEdge, edge);
  EXPECT_EQ(picker->kind(), work.pressureEdge ? 3 : 2);
  click(picker);
  EXPECT_EQ(work.pressureEdge, edge);
}

TEST_F(ToolOptionsPanelTest, TheShapePickerMakesTheBrushDrawRectanglesUntilAModeChangeWithAutoFreeHand) {
  form->model().setToolMode(ToolMode::Pencil);
  TSubPaintDropDown* shape = panel->subPaintPicker();
  ASSERT_FALSE(shape->isHidden());
  // The user picks the rectangle by its name.
  shape->RunMenu = [](QMenu& menu, QPoint) {
    for (QAction* a : menu.actions())
      if (a->text() == QString::fromUtf8("矩形描画")) return a->data().toInt();
    return 0;
  };
  click(shape);
  EXPECT_EQ(shape->kind(), 3u);
  EXPECT_EQ(form->model().toolId(), ToolId::BrushRectangle);

  // The document draws the rectangle's outline, not a line through its middle.
  ASSERT_TRUE(f.shared.selectTool(form->model().toolId()));
  f.window->selectToolHandlers(false);
  const TPoint a = client(10, 10), b = client(50, 40);
  f.window->mouseDown(PointerButton::Left, kLeftBit, a, false);
  f.window->mouseMove(kLeftBit, client(30, 25));
  f.window->mouseMove(kLeftBit, b);
  f.window->mouseUp(PointerButton::Left, 0, b);
  EXPECT_NE(pixel(30, 10), 0xFFFFFFu);
  EXPECT_NE(pixel(10, 25), 0xFFFFFFu);
  EXPECT_EQ(pixel(30, 25), 0xFFFFFFu);

  // Another brush keeps the shape; with AutoFreeHand a mode change starts freehand.
  form->model().setToolMode(ToolMode::Eraser);
  EXPECT_EQ(shape->kind(), 3u);
  SToolPreferences prefs = form->model().preferences();
  prefs.autoFreeHand = true;
  form->model().setPreferences(prefs);
  form->model().setToolMode(ToolMode::Pencil);
  EXPECT_EQ(shape->kind(), 0u);
  EXPECT_EQ(form->model().toolId(), ToolId::Brush);
}

TEST_F(ToolOptionsPanelTest, TheMoveButtonEndsTheCursorKeyMoveAsEnterWould) {
  // As the main window wires it: the button follows the window's mode.
  f.shared.onKeyMoveMode = [this](TDrawWindow&) { panel->refresh(); };
  TPaper& doc = f.doc();
  ASSERT_TRUE(doc.maskFigureRect(f.window->flow(), doc.currentLayerIndex(), {20, 10}, {40, 30}, 0,
                                 f.shared.toolStroke(), true));
  auto selected = [&](int32_t x, int32_t y) {
    TPoint off{};
    const CBlockVCH* m = doc.selectionImage(off);
    return m != nullptr && m->getPixelOr0(x + off.X, y + off.Y) == 255;
  };
  ASSERT_TRUE(selected(20, 20));
  form->model().setToolMode(ToolMode::SelectRectangle);
  ASSERT_TRUE(f.shared.selectMode(ToolMode::SelectRectangle));
  f.window->selectToolHandlers(false);
  QPushButton* end = panel->keyMoveEndButton();
  ASSERT_FALSE(end->isHidden());
  EXPECT_FALSE(end->isEnabled());  // nothing to end yet

  const int32_t undos = f.undoCount();
  const uint32_t events = static_cast<CDocEventRecorder*>(doc.events())->store().committedCount();
  for (int i = 0; i < 3; ++i) f.window->keyDown(keys::kRight, false);
  ASSERT_TRUE(f.window->inKeyMoveMode());
  ASSERT_TRUE(end->isEnabled());
  click(end);
  EXPECT_FALSE(f.window->inKeyMoveMode());
  EXPECT_FALSE(end->isEnabled());
  EXPECT_FALSE(selected(20, 20));
  EXPECT_TRUE(selected(42, 20));
  EXPECT_EQ(f.undoCount(), undos + 1);
  EXPECT_EQ(static_cast<CDocEventRecorder*>(doc.events())->store().committedCount(), events + 1);
  ASSERT_TRUE(f.window->undo());
  EXPECT_TRUE(selected(20, 20));

  // The layer moves show it too; the brushes do not.
  form->model().setToolMode(ToolMode::LayerMove);
  EXPECT_FALSE(end->isHidden());
  form->model().setToolMode(ToolMode::Pencil);
  EXPECT_TRUE(end->isHidden());
}

}  // namespace
}  // namespace pg
