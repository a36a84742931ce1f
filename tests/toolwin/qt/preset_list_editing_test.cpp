// The option list opens the brush editor (double click, menu items), and
// what Apply writes into the set is what the list and the next stroke show.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "brush/paint_param.h"
#include "core/block_image.h"
#include "canvas/tool_numbering.h"
#include "io/preset_pen_methods.h"
#include "test_support/qt_app.h"
#include "toolwin/doc_target.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/qt/editor_num_row.h"
#include "toolwin/qt/gradient_editor_form.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/pen_editor_frames.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"

namespace pg {
namespace preset_list_editing_test {

// The pen-method kind the tests paint with (one that lays the colour down).
constexpr uint8_t kBrushKind = 9;

class PresetListEditing : public ::testing::Test {
 protected:
  PresetListEditing() {
    testing::ensureQtApp();
    mainWindow = std::make_unique<QWidget>();
    form = createToolWindow(mainWindow.get());
    form->setDocWindow(&target);
    form->setPresetPreferences(nullptr, prefs);
    form->model().setToolMode(modeOfPenSlot(PenSlot{kBrushKind}));
    view = form->optionsPanel()->brushList();
    view->resize(200, 120);
    form->optionsPanel()->show();
  }
  ~PresetListEditing() override { destroyToolWindow(form); }

  // Paints across the document and answers the middle pixel; undone after.
  uint32_t strokeMiddle() {
    const test::DocWindowFixture::SStrokeMiddle r = fixture.strokeMiddle();
    EXPECT_TRUE(r.undone);
    return r.middle;
  }

  // Once the editor's modal loop runs: act on it, then Close.
  void inEditor(std::function<void(TFormBrushEditor&)> act) {
    QTimer::singleShot(0, [this, act] {
      auto* editor = qobject_cast<TFormBrushEditor*>(QApplication::activeModalWidget());
      if (editor == nullptr) return;
      ++editorsSeen;
      act(*editor);
      editor->ButtonCancel->click();
    });
  }

  QPoint centreOfActive() {
    CItemList& list = form->toolOptions().brushList();
    TRect r = list.getItemRect(list.getActiveIndex());
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  test::DocWindowFixture fixture{64, 48, {300, 200}};
  test::DocTarget target{fixture};
  bool doubleClick = true;
  int32_t brushStyle = -1;
  TToolForm::SPresetEditorPrefs prefs{&brushStyle, nullptr, nullptr, &doubleClick};
  std::unique_ptr<QWidget> mainWindow;
  TToolForm* form = nullptr;
  TItemListView* view = nullptr;
  int editorsSeen = 0;
};

TEST_F(PresetListEditing, DoubleClickEditsTheBrushAndApplyReachesTheListAndTheNextStroke) {
  CPenMethodList& list = form->toolOptions().brushList();
  ASSERT_EQ(list.sourceKind(), CPenMethodList::kSourcePenMethods);
  const int32_t edited = form->brushes().currentIndex();
  const uint32_t full = strokeMiddle();

  inEditor([](TFormBrushEditor& e) {
    e.GrpPenMtd->densityRow()->model().setValue(25.0f);
    e.ButtonOK->click();  // Apply
  });
  QTest::mouseDClick(view, Qt::LeftButton, {}, centreOfActive());
  EXPECT_EQ(editorsSeen, 1);
  EXPECT_EQ(form->brushes().currentIndex(), edited);
  EXPECT_TRUE(form->brushes().modified());
  EXPECT_NEAR(list.paintParam().opacity, 0.25f, 1e-6);
  EXPECT_EQ(form->opacityEdit()->value(), 25);
  const uint32_t faint = strokeMiddle();
  EXPECT_GT(faint & 0xFF, full & 0xFF);  // lighter: the edited brush painted

  // Closed without Apply: nothing changes.
  inEditor([](TFormBrushEditor& e) { e.GrpPenMtd->densityRow()->model().setValue(90.0f); });
  QTest::mouseDClick(view, Qt::LeftButton, {}, centreOfActive());
  EXPECT_EQ(editorsSeen, 2);
  EXPECT_NEAR(list.paintParam().opacity, 0.25f, 1e-6);
}

TEST_F(PresetListEditing, DoubleClickOpensNothingWhenThePreferenceIsOff) {
  form->setOptionListDoubleClick(false);
  EXPECT_FALSE(doubleClick);
  inEditor([](TFormBrushEditor&) {});
  QTest::mouseDClick(view, Qt::LeftButton, {}, centreOfActive());
  QApplication::processEvents();
  EXPECT_EQ(editorsSeen, 0);
}

TEST_F(PresetListEditing, TheOptionMenuMakesAndEditsBrushesAndTogglesTheDoubleClick) {
  QMenu* menu = form->optionListMenu();
  ASSERT_NE(menu, nullptr);
  auto item = [menu](const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); };
  emit menu->aboutToShow();
  ASSERT_NE(item("MenuOptItemNew"), nullptr);
  EXPECT_EQ(item("MenuOptItemNew")->text(), QStringLiteral("新規ブラシ(&N)..."));
  EXPECT_TRUE(item("MenuOptItemNew")->isEnabled());
  EXPECT_TRUE(item("MenuOptItemEdit")->isEnabled());
  EXPECT_FALSE(item("MenuOptSetRevert")->isEnabled());  // the built-in set has no file
  EXPECT_TRUE(item("MenuOptDblClick")->isChecked());

  // New: a copy of the brush at the end, edited and applied.
  const int32_t count = form->brushes().count();
  const std::string name = form->brushes().current()->name();
  inEditor([](TFormBrushEditor& e) {
    e.GrpPenMtd->densityRow()->model().setValue(40.0f);
    e.ButtonOK->click();
  });
  item("MenuOptItemNew")->trigger();
  EXPECT_EQ(editorsSeen, 1);
  ASSERT_EQ(form->brushes().count(), count + 1);
  EXPECT_EQ(form->brushes().currentIndex(), count);
  EXPECT_EQ(form->brushes().current()->name(), name);
  EXPECT_NEAR(form->toolOptions().paintParam().opacity, 0.40f, 1e-6);
  CPenMethodList& list = form->toolOptions().brushList();
  EXPECT_EQ(list.managerIndexOf(list.getActiveIndex()), count);

  inEditor([](TFormBrushEditor&) {});
  item("MenuOptItemEdit")->trigger();
  EXPECT_EQ(editorsSeen, 2);

  item("MenuOptDblClick")->trigger();
  EXPECT_FALSE(doubleClick);
  EXPECT_FALSE(list.options() & kListDoubleClickEdit);
}

TEST_F(PresetListEditing, TheVariantsOfAStrokeToolHaveNoEditor) {
  form->model().setToolMode(modeOfPenSlot(PenSlot{0}));
  CPenMethodList& list = form->toolOptions().brushList();
  ASSERT_EQ(list.sourceKind(), CPenMethodList::kSourceVariants);
  EXPECT_FALSE(list.canNewItem());
  EXPECT_FALSE(list.canEditItem(list.getActiveIndex()));
  inEditor([](TFormBrushEditor&) {});
  QTest::mouseDClick(view, Qt::LeftButton, {}, centreOfActive());
  QApplication::processEvents();
  EXPECT_EQ(editorsSeen, 0);
}

// The gradient tool's list opens the gradient editor on the gradient under
// the pointer, under the same preference as the brushes.
TEST_F(PresetListEditing, DoubleClickOnTheGradientListEditsThatGradientUnderThePreference) {
  form->model().setToolMode(ToolMode::Gradation);
  TItemListView* gradientView = form->optionsPanel()->gradientList();
  ASSERT_NE(gradientView, nullptr);
  // A strip wide enough for every gradient side by side.
  gradientView->resize(400, 36);
  CGradientList& list = form->toolOptions().gradientList();
  list.setBounds(400, 36);
  const TRect r = list.getItemRect(2);
  const QPoint at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);

  int32_t currentInEditor = -1;
  for (bool on : {true, false}) {
    SCOPED_TRACE(on);
    form->setOptionListDoubleClick(on);
    editorsSeen = 0;
    QTimer::singleShot(0, [this, &currentInEditor] {
      auto* editor = qobject_cast<TFormGradEditor*>(QApplication::activeModalWidget());
      if (editor == nullptr) return;
      ++editorsSeen;
      currentInEditor = form->gradients().currentIndex();
      editor->ButtonCancel->click();
    });
    QTest::mouseClick(gradientView, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(gradientView, Qt::LeftButton, Qt::NoModifier, at);
    QApplication::processEvents();
    EXPECT_EQ(editorsSeen, on ? 1 : 0);
  }
  EXPECT_EQ(currentInEditor, 2);
  EXPECT_EQ(form->gradients().currentIndex(), 2);
}

}  // namespace preset_list_editing_test
}  // namespace pg
