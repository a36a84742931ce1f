// The tool window's list panels driven by the mouse: the brush-set panel's
// pick paints the next stroke, the swatch menu's new colour and a double
// click on a swatch go through the colour picker, swatches travel between
// two swatch lists, value labels drag and reset their fields, layers and
// masks dragged onto the panel buttons are duplicated or deleted as
// recorded, undoable operations, and the lists' styles are kept.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <map>

#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"
#include "canvas/tool_numbering.h"
#include "core/block_image.h"
#include "document/doc_recorder.h"
#include "io/preset_pen_methods.h"
#include "record/event_store.h"
#include "test_support/qt_app.h"
#include "toolwin/doc_target.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "toolwin/swatch_list.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/preset_previews.h"

namespace pg {
namespace tool_window_lists_test {

constexpr uint8_t kBrushKind = 9;

QPoint centreOf(const CItemList& list, int32_t i) {
  const TRect r = list.getItemRect(i);
  return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

// Presses an item, drags it past the drag distance and lets it go at a
// screen point.
void dragItemTo(TItemListView* view, QPoint start, QPoint globalEnd) {
  QTest::mousePress(view, Qt::LeftButton, {}, start);
  for (QPoint step : {QPoint(0, 12), QPoint(0, 24)}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(start + step), view->mapToGlobal(QPointF(start + step)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
  }
  const QPoint end = view->mapFromGlobal(globalEnd);
  QMouseEvent move(QEvent::MouseMove, QPointF(end), QPointF(globalEnd), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &move);
  QTest::mouseRelease(view, Qt::LeftButton, {}, end);
}

// A sideways drag on a value label by dx pixels (left lowers the value).
void dragLabel(TPgGlyphLabel* label, int dx) {
  const QPoint c = label->rect().center();
  QTest::mousePress(label, Qt::LeftButton, {}, c);
  for (int k = 1; k <= 4; ++k) {
    const QPoint p = c + QPoint(dx * k / 4, 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(p), label->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(label, &move);
  }
  QTest::mouseRelease(label, Qt::LeftButton, {}, c + QPoint(dx, 0));
}

class ToolWindowLists : public ::testing::Test {
 protected:
  ToolWindowLists() {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    form = createToolWindow(mainWindow.get());
    form->setDocWindow(&target);
    form->applyPreferences({});  // turns the value labels on
  }
  ~ToolWindowLists() override { destroyToolWindow(form); }

  uint32_t events() {
    auto* rec = dynamic_cast<CDocEventRecorder*>(fixture.doc().events());
    return rec ? rec->store().committedCount() : 0;
  }

  // Paints across the document and answers the middle pixel; undone after.
  uint32_t strokeMiddle() {
    const test::DocWindowFixture::SStrokeMiddle r = fixture.strokeMiddle();
    EXPECT_TRUE(r.undone);
    return r.middle;
  }

  TItemListView* showBrushSet() {
    QWidget* panel = form->brushSetPanel();
    panel->resize(210, 400);
    panel->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(panel));
    return form->brushSetListView();
  }

  test::DocWindowFixture fixture{64, 48, {300, 200}};
  test::DocTarget target{fixture};
  std::unique_ptr<QWidget> mainWindow;
  TToolForm* form = nullptr;
};

TEST_F(ToolWindowLists, ABrushPickedInTheBrushSetPaintsTheNextStroke) {
  form->model().setToolMode(modeOfPenSlot(PenSlot{kBrushKind}));
  CPenMethodList& options = form->toolOptions().brushList();
  CPenMethodList& set = form->toolOptions().brushSetList();
  ASSERT_TRUE(set.showAll());
  EXPECT_EQ(set.getCount(), form->brushes().count());
  const int32_t original = form->brushes().currentIndex();
  // A faint copy of the current brush at the end of the set.
  ASSERT_TRUE(set.copyItem(set.getCount(), original, true));
  const int32_t faint = set.getCount() - 1;
  ASSERT_TRUE(set.selectItem(faint, true));
  options.setParamValue(ppOpacity, 0.2f);
  ASSERT_TRUE(options.storeCurrent());

  TItemListView* view = showBrushSet();
  set.makeVisible(original);
  QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(set, original));
  EXPECT_EQ(form->brushes().currentIndex(), original);
  const uint32_t full = strokeMiddle();
  set.makeVisible(faint);
  QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(set, faint));
  EXPECT_EQ(form->brushes().currentIndex(), faint);
  EXPECT_NEAR(options.paintParam().opacity, 0.2f, 1e-6);
  EXPECT_EQ(form->opacityEdit()->value(), 20);
  EXPECT_GT(strokeMiddle() & 0xFF, full & 0xFF);  // lighter: the picked brush painted
}

TEST_F(ToolWindowLists, ABrushOfAnotherKindBringsItsToolAlong) {
  form->model().setToolMode(modeOfPenSlot(PenSlot{kBrushKind}));
  CPenMethodList& set = form->toolOptions().brushSetList();
  TItemListView* view = showBrushSet();
  int32_t other = -1;
  for (int32_t i = 0; i < set.getCount() && other < 0; ++i) {
    bool ok = false;
    auto p = TPaintParam::CreateFromPenMethod(form->brushes().getItem(i), ok);
    if (ok && p->kind != kBrushKind) other = i;
  }
  ASSERT_GE(other, 0);
  set.makeVisible(other);
  QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(set, other));
  const uint8_t kind = form->toolOptions().paintParam().kind;
  EXPECT_NE(kind, kBrushKind);
  PenSlot slot{};
  ASSERT_TRUE(penSlotOfMode(form->model().toolMode(), slot));
  EXPECT_EQ(byteOf(slot), kind);
  EXPECT_EQ(form->toolOptions().brushList().managerIndexOf(form->toolOptions().brushList().getActiveIndex()), other);

  // The brush-set menu has the brush and set commands and the styles.
  QMenu* menu = form->brushSetMenu();
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  for (const char* name :
       {"MenuBrushNew", "MenuBrushDuplicate", "MenuBrushEdit", "MenuPMTAppend", "MenuPMTSaveAs", "MenuPMTOpen"}) {
    QAction* item = menu->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(item, nullptr) << name;
    EXPECT_TRUE(item->isEnabled()) << name;
  }
  EXPECT_FALSE(menu->findChild<QAction*>(QStringLiteral("MenuPMTRevert"))->isEnabled());  // never loaded from a file
  menu->findChild<QAction*>(QStringLiteral("MenuBrushDispText"))->trigger();
  EXPECT_EQ(set.displayStyle(), kListText);
}

TEST_F(ToolWindowLists, NewColourAndADoubleClickGoThroughTheColourPicker) {
  QWidget* panel = form->swatchPanel();
  panel->resize(210, 200);
  panel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  CSwatchList& swatches = form->swatches();
  const int32_t count = swatches.getCount();
  int dialogs = 0;
  // The real picker: its red, green and blue fields, then OK.
  auto answer = [&](float r, float g, float b, bool ok) {
    QTimer::singleShot(0, [&, r, g, b, ok] {
      auto* picker = dynamic_cast<TColorPickerForm*>(QApplication::activeModalWidget());
      if (picker == nullptr) return;
      ++dialogs;
      picker->Num[0].setValue(r);
      picker->Num[1].setValue(g);
      picker->Num[2].setValue(b);
      QTest::mouseClick(ok ? picker->ButtonOK : picker->ButtonCancel, Qt::LeftButton);
    });
  };
  QMenu* menu = form->swatchMenu();
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  QAction* newColour = menu->findChild<QAction*>(QStringLiteral("MenuSwatchAppend"));
  ASSERT_NE(newColour, nullptr);
  ASSERT_TRUE(newColour->isEnabled());
  answer(10, 200, 30, true);
  newColour->trigger();
  EXPECT_EQ(dialogs, 1);
  ASSERT_EQ(swatches.getCount(), count + 1);
  EXPECT_EQ(swatches.colorAt(count) & 0xFFFFFFu, 0x0AC81Eu);  // red 10, green 200, blue 30
  EXPECT_TRUE(swatches.manager().modified());

  // A double click on a swatch edits it; Cancel leaves it.
  swatches.makeVisible(0);
  answer(255, 0, 0, true);
  QTest::mouseClick(form->swatchListView(), Qt::LeftButton, {}, centreOf(swatches, 0));
  QTest::mouseDClick(form->swatchListView(), Qt::LeftButton, {}, centreOf(swatches, 0));
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(swatches.colorAt(0) & 0xFFFFFFu, 0xFF0000u);
  answer(0, 0, 255, false);
  QTest::mouseDClick(form->swatchListView(), Qt::LeftButton, {}, centreOf(swatches, 0));
  EXPECT_EQ(dialogs, 3);
  EXPECT_EQ(swatches.colorAt(0) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(swatches.getCount(), count + 1);
}

TEST_F(ToolWindowLists, ASwatchDroppedOnAnotherSwatchListIsCopiedThere) {
  QWidget* panel = form->swatchPanel();
  panel->setGeometry(0, 0, 210, 200);
  panel->show();
  CSwatchList other;
  other.setOptions(kListKeepActive);
  other.setAcceptBits(1);
  TItemListView otherView(other);
  otherView.setGeometry(400, 0, 200, 150);
  otherView.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&otherView));
  CSwatchList& swatches = form->swatches();
  swatches.setColorAt(0, 0x345678u);
  const int32_t count = swatches.getCount();
  dragItemTo(form->swatchListView(), centreOf(swatches, 0), otherView.mapToGlobal(QPoint(40, 40)));
  ASSERT_EQ(other.getCount(), 1);
  EXPECT_EQ(other.colorAt(0) & 0xFFFFFFu, 0x345678u);
  EXPECT_EQ(swatches.getCount(), count);  // the source keeps its swatch
  // A list of another kind takes nothing.
  TItemListView layers(form->layerPanel()->layers());
  layers.setGeometry(700, 0, 150, 150);
  layers.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&layers));
  const int32_t layerCount = fixture.doc().layerCount();
  dragItemTo(form->swatchListView(), centreOf(swatches, 0), layers.mapToGlobal(QPoint(40, 40)));
  EXPECT_EQ(fixture.doc().layerCount(), layerCount);
  EXPECT_EQ(other.getCount(), 1);
}

TEST_F(ToolWindowLists, ValueLabelsDragAndResetTheirFields) {
  TNavigatorPanelView* nav = form->navigatorPanel();
  nav->resize(210, 200);
  static_cast<QWidget*>(nav)->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(nav));
  QDoubleSpinBox* rotation = nav->rotationEdit();
  ASSERT_TRUE(rotation->isEnabled());
  EXPECT_DOUBLE_EQ(rotation->value(), 0.0);
  dragLabel(nav->rotationLabel(), 25);  // a quarter of the range: from the middle to three quarters
  EXPECT_NEAR(rotation->value(), 90.0, 1.0);
  QTest::mouseDClick(nav->rotationLabel(), Qt::LeftButton, {}, nav->rotationLabel()->rect().center());
  EXPECT_DOUBLE_EQ(rotation->value(), 0.0);

  // The options' labels follow their fields in and out of sight.
  form->model().setToolMode(modeOfPenSlot(PenSlot{kBrushKind}));
  for (const TToolOptionsPanel::SValueLabelSlot& s : form->optionsPanel()->valueLabelSlots())
    EXPECT_EQ(s.label->isHidden(), s.field->isHidden()) << s.label->GlyphType();
}

TEST_F(ToolWindowLists, TheLayerOpacityLabelRecordsOneChangePerDrag) {
  TLayerPanelView* panel = form->layerPanel();
  panel->resize(210, 300);
  static_cast<QWidget*>(panel)->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  ASSERT_EQ(fixture.doc().currentLayer()->opacity, 255);
  const uint32_t before = events();
  dragLabel(panel->opacityLabel(), -40);  // 100 % left to 60 %
  EXPECT_EQ(panel->opacityEdit()->value(), 60);
  EXPECT_EQ(fixture.doc().currentLayer()->opacity, 153);
  EXPECT_EQ(events(), before + 1);
  ASSERT_TRUE(fixture.window->undo());
  EXPECT_EQ(fixture.doc().currentLayer()->opacity, 255);
  ASSERT_TRUE(fixture.window->redo());
  // A double click gives 100 % back as one change.
  QTest::mouseDClick(panel->opacityLabel(), Qt::LeftButton, {}, panel->opacityLabel()->rect().center());
  EXPECT_EQ(fixture.doc().currentLayer()->opacity, 255);
  EXPECT_EQ(events(), before + 2);
}

TEST_F(ToolWindowLists, LayersAndMasksDroppedOnTheButtonsAreCopiedOrDeletedAsRecordedSteps) {
  fixture.addLayers(3);
  TLayerPanelView* panel = form->layerPanel();
  panel->setGeometry(0, 0, 210, 320);
  static_cast<QWidget*>(panel)->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  panel->refresh();
  CLayerList& layers = panel->layers();
  TItemListView* view = panel->layerListView();
  auto dragLayer = [&](int32_t i, QToolButton* button) {
    layers.makeVisible(i);
    QPoint start = centreOf(layers, i);
    dragItemTo(view, start, button->mapToGlobal(button->rect().center()));
  };
  fixture.doc().getLayer(1)->name = "middle";
  uint32_t recorded = events();
  const int32_t undos = fixture.undoCount();

  dragLayer(1, panel->deleteButton());
  ASSERT_EQ(fixture.doc().layerCount(), 2);
  for (int32_t i = 0; i < 2; ++i) EXPECT_NE(fixture.doc().getLayer(i)->name, "middle");
  EXPECT_EQ(events(), recorded + 1);
  EXPECT_EQ(fixture.undoCount(), undos + 1);
  ASSERT_TRUE(fixture.window->undo());
  ASSERT_EQ(fixture.doc().layerCount(), 3);
  EXPECT_EQ(fixture.doc().getLayer(1)->name, "middle");

  recorded = events();
  dragLayer(1, panel->newButton());
  ASSERT_EQ(fixture.doc().layerCount(), 4);
  EXPECT_EQ(events(), recorded + 1);
  EXPECT_EQ(fixture.doc().currentLayerIndex(), 2);  // the copy, right above its source

  // The last mask cannot go; a copy can, and then it can be dropped again.
  QWidget* maskPanel = panel->maskPanel();
  maskPanel->setGeometry(300, 0, 210, 200);
  maskPanel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(maskPanel));
  panel->refresh();
  CMaskList& masks = panel->masks();
  const int32_t maskCount = masks.getCount();
  auto dragMask = [&](QToolButton* button) {
    dragItemTo(panel->maskListView(), centreOf(masks, masks.getActiveIndex()),
               button->mapToGlobal(button->rect().center()));
  };
  dragMask(panel->newMaskButton());
  ASSERT_EQ(masks.getCount(), maskCount + 1);
  dragMask(panel->deleteMaskButton());
  EXPECT_EQ(masks.getCount(), maskCount);
}

TEST_F(ToolWindowLists, DoubleClickOpensOptionsAndAltClickOnNewOpensTheNewLayerDialog) {
  TLayerPanelView* panel = form->layerPanel();
  panel->resize(210, 320);
  static_cast<QWidget*>(panel)->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  std::map<std::string, int> runs;
  std::map<std::string, QAction*> actions;
  for (const char* name : {"ActLyrOpt", "ActMaskOption", "ActLyrNew"}) {
    auto* a = new QAction(QString::fromLatin1(name), panel);
    QObject::connect(a, &QAction::triggered, [&runs, name] { ++runs[name]; });
    actions[name] = a;
  }
  form->bindPanelMenus([&](std::string_view name) -> QAction* {
    auto it = actions.find(std::string(name));
    return it == actions.end() ? nullptr : it->second;
  }, [] {});
  panel->refresh();
  CLayerList& layers = panel->layers();
  // Off the visibility column.
  QPoint onLayer = centreOf(layers, 0) + QPoint(30, 0);
  QTest::mouseDClick(panel->layerListView(), Qt::LeftButton, {}, onLayer);
  EXPECT_EQ(runs["ActLyrOpt"], 1);
  const int32_t count = fixture.doc().layerCount();
  QTest::mouseClick(panel->newButton(), Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(runs["ActLyrNew"], 1);
  EXPECT_EQ(fixture.doc().layerCount(), count);  // the dialog makes the layer, not the button
  QTest::mouseClick(panel->newButton(), Qt::LeftButton);
  EXPECT_EQ(fixture.doc().layerCount(), count + 1);
  EXPECT_EQ(runs["ActLyrNew"], 1);

  QWidget* maskPanel = panel->maskPanel();
  maskPanel->resize(210, 200);
  maskPanel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(maskPanel));
  CMaskList& masks = panel->masks();
  QTest::mouseDClick(panel->maskListView(), Qt::LeftButton, {}, centreOf(masks, masks.getActiveIndex()));
  EXPECT_EQ(runs["ActMaskOption"], 1);
}

TEST_F(ToolWindowLists, TheLoupeBackgroundFollowsTheDocumentsDisplayFlags) {
  struct Case {
    bool canvasColour, pattern;
    uint8_t background;
  } cases[] = {{true, true, 1}, {true, false, 1}, {false, true, 2}, {false, false, 0}};
  for (const Case& c : cases) {
    fixture.doc().setBackgroundFlags(c.canvasColour, c.pattern);
    form->setDocWindow(&target);
    EXPECT_EQ(form->navigatorPanel()->loupe()->Background, c.background) << c.canvasColour << c.pattern;
  }
}

TEST_F(ToolWindowLists, TheGradientToolsOptionListHasItsMenu) {
  form->model().setToolMode(ToolMode::Gradation);
  QMenu* menu = form->gradientListMenu();
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  QAction* item = menu->findChild<QAction*>(QStringLiteral("MenuOptItemNew"));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->text().contains(QStringLiteral("グラデーション")));
  QAction* save = menu->findChild<QAction*>(QStringLiteral("MenuOptSetSaveAs"));
  ASSERT_NE(save, nullptr);
  EXPECT_TRUE(save->text().contains(QStringLiteral("グラデーション集")));
}

TEST_F(ToolWindowLists, TheListStylesAreSetAndReadBackAndOthersAreRefused) {
  form->setListStyles({kListText, kListRows, kListSmallRows, kListIcons});
  TToolForm::SListStyles s = form->listStyles();
  EXPECT_EQ(s.swatches, kListText);
  EXPECT_EQ(s.brushSet, kListRows);
  EXPECT_EQ(s.layers, kListSmallRows);
  EXPECT_EQ(s.masks, kListIcons);
  // Never stored (-1) or a style the list does not take: each keeps its own.
  form->setListStyles({-1, -1, kListIcons, 99});
  s = form->listStyles();
  EXPECT_EQ(s.swatches, kListText);
  EXPECT_EQ(s.layers, kListSmallRows);
  EXPECT_EQ(s.masks, kListIcons);
}

}  // namespace tool_window_lists_test
}  // namespace pg
