#include "toolwin/qt/tool_form.h"

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "test_support/fake_tool_target.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_colour_cell.h"
#include "toolwin/qt/tool_options_panel.h"
#include "ui/glyph_manager.h"
#include "platform/string_table.h"
#include "toolwin/qt/item_list_view.h"
#include <QMouseEvent>
#include <QToolButton>

namespace pg {
namespace {

class ToolFormTest : public ::testing::Test {
 protected:
  ToolFormTest() {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    form = createToolWindow(mainWindow.get());
    form->setDocWindow(&window);
    window.calls.clear();
  }
  ~ToolFormTest() override { destroyToolWindow(form); }

  bool press(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    return form->handleShortcutKey(event);
  }
  void click(int button, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(form->toolButton(button), Qt::LeftButton, modifiers, QPoint(6, 6));
  }
  int downButton() const {
    int down = -1;
    for (int b = 0; b < kToolButtonCount; ++b)
      if (form->toolButton(b)->isDown()) {
        EXPECT_EQ(down, -1) << "two buttons down";
        down = b;
      }
    return down;
  }

  testing::FakeToolTarget window;
  std::unique_ptr<QWidget> mainWindow;
  TToolForm* form = nullptr;
};

TEST_F(ToolFormTest, ANewToolWindowShowsThePencil) {
  EXPECT_EQ(form->size(), QSize(56, 294));
  EXPECT_EQ(form->parentWidget(), mainWindow.get());
  EXPECT_EQ(downButton(), 0);
  EXPECT_EQ(form->toolButton(13)->geometry(), QRect(28, 140, 27, 21));
  EXPECT_EQ(form->toolButton(13)->toolTip(), QStringLiteral("スポイト"));
  EXPECT_EQ(form->toolButton(4)->glyph(), 9);
  EXPECT_EQ(form->toolButton(16), nullptr);
  EXPECT_EQ(form->toolButton(128 + 2), form->toolButton(2));
  EXPECT_TRUE(form->opacityEdit()->isEnabled());
  EXPECT_EQ(form->opacityEdit()->value(), 100);
  // The glyphs come from the glyph manager, which the tool window makes when needed.
  ASSERT_NE(glyphManager(), nullptr);
  QImage face = form->toolButton(13)->grab().toImage();
  QColor background = face.pixelColor(1, 1);
  int inked = 0;
  for (int y = 0; y < face.height(); ++y)
    for (int x = 0; x < face.width(); ++x) inked += qGray(face.pixel(x, y)) + 60 < background.lightness();
  EXPECT_GT(inked, 20);
  // Buttons with variants carry their menu; the others none.
  EXPECT_NE(form->toolButton(0)->variantMenu(), nullptr);
  EXPECT_EQ(form->toolButton(9)->variantMenu(), nullptr);
}

TEST_F(ToolFormTest, ClickingAToolButtonSelectsTheToolInTheDocumentWindow) {
  click(13);
  EXPECT_EQ(form->model().toolMode(), ToolMode::Eyedropper);
  EXPECT_EQ(downButton(), 13);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"handlers 0 end", "cursor", "handlers 28"}));

  // Alt+click on the current button steps to its next variant.
  click(10);
  click(10, Qt::AltModifier);
  EXPECT_EQ(form->model().toolMode(), ToolMode::LayerMoveWithSelection);
  EXPECT_EQ(form->toolButton(10)->glyph(), 36);
}

TEST_F(ToolFormTest, ALetterKeySwitchesTools) {
  EXPECT_TRUE(press(Qt::Key_S));
  EXPECT_EQ(form->model().toolMode(), ToolMode::Eraser);
  EXPECT_EQ(downButton(), 1);
  EXPECT_TRUE(press(Qt::Key_S, Qt::ShiftModifier));
  EXPECT_EQ(form->model().toolMode(), ToolMode::MagicEraser);
  EXPECT_EQ(form->toolButton(1)->glyph(), 3);
  EXPECT_EQ(window.calls.back(), "handlers 13");

  EXPECT_FALSE(press(Qt::Key_A, Qt::ControlModifier));
  EXPECT_EQ(form->model().toolMode(), ToolMode::MagicEraser);
  EXPECT_TRUE(press(Qt::Key_5));
  EXPECT_EQ(form->opacityEdit()->value(), 50);
  float before = form->model().toolSize();
  EXPECT_TRUE(press(Qt::Key_BracketRight));
  EXPECT_GT(form->model().toolSize(), before);
  EXPECT_FALSE(press(Qt::Key_F5));
}

TEST_F(ToolFormTest, TheVariantMenuChecksTheCurrentModeAndSelectsAnother) {
  QMenu* menu = form->toolButton(8)->variantMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 4);
  QAction* ellipse = menu->findChild<QAction*>(QStringLiteral("MenuSelectEllipse"));
  ASSERT_NE(ellipse, nullptr);
  ellipse->trigger();
  EXPECT_EQ(form->model().toolMode(), ToolMode::SelectEllipse);
  EXPECT_EQ(form->model().toolId(), ToolId::SelectEllipse);
  EXPECT_EQ(downButton(), 8);
  // A selection tool has no opacity: the edit shows 100 and is locked.
  EXPECT_FALSE(form->opacityEdit()->isEnabled());
  EXPECT_EQ(form->opacityEdit()->value(), 100);

  emit menu->aboutToShow();
  for (QAction* item : menu->actions()) EXPECT_EQ(item->isChecked(), item == ellipse) << item->objectName().toStdString();
}

TEST_F(ToolFormTest, TheDropDownMarkOpensTheVariantMenuWithoutSelecting) {
  TToolButton* eraser = form->toolButton(1);
  QTest::mouseClick(eraser, Qt::LeftButton, Qt::NoModifier, QPoint(eraser->width() - 2, eraser->height() - 2));
  EXPECT_TRUE(eraser->variantMenuOpen());
  EXPECT_EQ(form->model().toolMode(), ToolMode::Pencil);
  // While the menu is open the letter selects the remembered variant, even with Shift.
  EXPECT_TRUE(press(Qt::Key_S, Qt::ShiftModifier));
  EXPECT_TRUE(press(Qt::Key_S, Qt::ShiftModifier));
  EXPECT_EQ(form->model().toolMode(), ToolMode::Eraser);
  eraser->variantMenu()->close();
  EXPECT_TRUE(press(Qt::Key_S, Qt::ShiftModifier));
  EXPECT_EQ(form->model().toolMode(), ToolMode::MagicEraser);

  QTest::mouseClick(form->toolButton(9), Qt::RightButton);
  EXPECT_EQ(form->model().toolMode(), ToolMode::MagicEraser);
}

TEST_F(ToolFormTest, TheOpacityEditAndOptionsReachTheDocumentWindow) {
  form->opacityEdit()->setValue(40);
  ASSERT_FALSE(window.params.empty());
  EXPECT_FLOAT_EQ(window.params.back().opacity, 0.40001f);

  TToolOptionsPanel* options = form->optionsPanel();
  ASSERT_NE(options, nullptr);
  options->sizeEdit()->setValue(25.0);
  EXPECT_FLOAT_EQ(window.params.back().brushSize, 25.0f);
  options->sizeSlider()->setValue(options->sizeSlider()->maximum());
  EXPECT_FLOAT_EQ(form->model().toolSize(), 200.0f);
  EXPECT_DOUBLE_EQ(options->sizeEdit()->value(), 200.0);
}

TEST_F(ToolFormTest, TheColourCellChoosesTheSideAndSwaps) {
  TToolColourCell* cell = form->colourCell();
  form->model().setFgColor(0x102030);
  form->model().setBgColor(0x405060);
  QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(cell->width() - 3, cell->height() - 3));
  EXPECT_EQ(form->model().activeSide(), 2);
  QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(cell->width() - 4, 4));
  EXPECT_EQ(form->model().fgColor(), 0xFF405060u);
  EXPECT_EQ(form->model().bgColor(), 0xFF102030u);
  EXPECT_EQ(window.params.back().foreground, 0xFF405060u);
  QTest::mouseClick(cell, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(form->model().activeSide(), 1);
}

TEST_F(ToolFormTest, AReplayLocksAllButTheHandAndZoom) {
  form->model().updateEventPanel(true);
  for (int b = 0; b < kToolButtonCount; ++b) EXPECT_EQ(form->toolButton(b)->isEnabled(), b >= 14) << b;
  EXPECT_EQ(downButton(), 14);
  click(2);
  EXPECT_EQ(form->model().toolMode(), ToolMode::Hand);
  form->model().updateEventPanel(false);
  EXPECT_EQ(downButton(), 0);
}

TEST_F(ToolFormTest, ClosingTheWindowEndsTheBinding) {
  form->releaseDocWindow(&window);
  click(12);
  EXPECT_EQ(form->model().toolMode(), ToolMode::Crop);
  EXPECT_TRUE(window.calls.empty());
}

TEST_F(ToolFormTest, TheSwatchButtonsAddAndTakeDraggedSwatches) {
  QWidget* panel = form->swatchPanel();
  panel->resize(160, 140);
  panel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  TItemListView* view = form->swatchListView();
  CSwatchList& list = form->swatches();
  const int32_t count = list.getCount();
  ASSERT_GE(count, 2);
  EXPECT_FALSE(form->swatchDeleteButton()->isEnabled());
  QTest::mouseClick(form->swatchNewButton(), Qt::LeftButton);
  EXPECT_EQ(list.getCount(), count + 1);

  // Drags the last swatch (in view after the addition) onto a button.
  auto dragOnto = [&](QToolButton* button, bool* enabledWhileDragging) {
    const TRect r = list.getItemRect(list.getCount() - 1);
    const QPoint start(r.Left + 2, r.Top + 2);
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    QTest::mouseMove(view, start + QPoint(12, 0));
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(24, 0)), view->mapToGlobal(QPointF(start + QPoint(24, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    if (enabledWhileDragging) *enabledWhileDragging = form->swatchDeleteButton()->isEnabled();
    const QPoint target = view->mapFromGlobal(button->mapToGlobal(button->rect().center()));
    QTest::mouseRelease(view, Qt::LeftButton, {}, target);
  };
  list.setColorAt(count, 0x123456u);
  dragOnto(form->swatchNewButton(), nullptr);
  ASSERT_EQ(list.getCount(), count + 2);
  EXPECT_EQ(list.colorAt(count + 1), 0x123456u);  // a copy at the end
  bool enabled = false;
  dragOnto(form->swatchDeleteButton(), &enabled);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(list.getCount(), count + 1);  // gone without a question
  EXPECT_FALSE(form->swatchDeleteButton()->isEnabled());
}

TEST_F(ToolFormTest, TheExitQueryAsksAboutModifiedSetsInOrderAndStopsAtCancel) {
  std::vector<std::string> order;
  auto set = [&](PresetSetKind kind, std::string word) {
    SPresetSetEntry e;
    e.kind = kind;
    e.word = word;
    e.modified = [] { return true; };
    e.path = [] { return std::string(); };
    e.save = [](const std::string&) { return true; };
    return e;
  };
  // Registered out of order; asked as brushes, nibs, swatches, gradients.
  form->addPresetSet(set(PresetSetKind::Gradients, "grads"));
  form->addPresetSet(set(PresetSetKind::Brushes, "brushes"));
  form->addPresetSet(set(PresetSetKind::Nibs, "nibs"));
  form->swatches().manager().setModified(true);
  struct Run {
    SaveAnswer answerAt;  // the answer to the third question; No before it
    bool result;
    size_t asked;
  };
  for (const Run run : {Run{SaveAnswer::No, true, 4}, Run{SaveAnswer::Cancel, false, 3}}) {
    order.clear();
    SPresetExitQuery q;
    q.ask = [&](const std::string& question) {
      order.push_back(question);
      return order.size() == 3 ? run.answerAt : SaveAnswer::No;
    };
    EXPECT_EQ(form->querySavePresets(0, q), run.result);
    ASSERT_EQ(order.size(), run.asked);
    EXPECT_NE(order[0].find("brushes"), std::string::npos);
    EXPECT_NE(order[1].find("nibs"), std::string::npos);
    EXPECT_NE(order[2].find(resString(65035)), std::string::npos);
  }
  order.clear();
  EXPECT_TRUE(form->querySavePresets(2));  // the preference says: never ask
  EXPECT_TRUE(order.empty());
}

TEST(ToolFormLifetime, DestroyingFreesTheOptionsPanelAndClearsThePointer) {
  testing::ensureQtApp();
  QWidget mainWindow;
  TToolForm* form = createToolWindow(&mainWindow);
  QPointer<TToolOptionsPanel> options = form->optionsPanel();
  QPointer<TToolForm> watched = form;
  destroyToolWindow(form);
  EXPECT_EQ(form, nullptr);
  EXPECT_TRUE(watched.isNull());
  EXPECT_TRUE(options.isNull());

  // A panel freed first by the container it was placed in leaves nothing dangling.
  form = createToolWindow(&mainWindow);
  auto* dock = new QWidget(&mainWindow);
  form->optionsPanel()->setParent(dock);
  delete dock;
  EXPECT_EQ(form->optionsPanel(), nullptr);
  form->model().setToolSize(30);
  destroyToolWindow(form);
}

}  // namespace
}  // namespace pg
