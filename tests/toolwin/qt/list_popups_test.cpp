// The pop-ups the compact lists of the tool options drop down from their
// arrow column: the brushes (a pick is the working brush at once, Esc gives
// the old one back), the two gradient lists kept on one gradient, and the
// style and size a pop-up keeps from one opening to the next.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSpinBox>
#include <QTest>

#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "ui/qt/item_pickers.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/trackbar.h"
#include "test_support/qt_app.h"
#include "toolwin/doc_window_fixture.h"
#include "toolwin/preset_lists.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/preset_popup_form.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"

namespace pg {
namespace {

// The tool window with its options panel on the screen (the lists take the
// pointer only there); no document is needed.
class ListPopupsTest : public ::testing::Test {
 protected:
  ListPopupsTest() {
    testing::ensureQtApp();
    host = std::make_unique<QWidget>();
    form = createToolWindow(host.get());
    panel = form->optionsPanel();
    panel->resize(260, 600);
    panel->show();
  }
  ~ListPopupsTest() override { destroyToolWindow(form); }

  std::unique_ptr<QWidget> host;
  TToolForm* form = nullptr;
  TToolOptionsPanel* panel = nullptr;
};

// A click on the arrow column at the right of a compact list.
void clickArrows(TItemListView* view) {
  QCoreApplication::processEvents();
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(view->width() - 7, view->height() / 2));
}

// A click in the middle of item i of a pop-up's list.
void pickInPopup(TPresetPopupForm* popup, int32_t i) {
  QCoreApplication::processEvents();
  popup->list().makeVisible(i);
  const TRect r = popup->list().getItemRect(i);
  QTest::mouseClick(popup->listView(), Qt::LeftButton, Qt::NoModifier,
                    QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

uint8_t kindOf(const CPenMethodObj* m) {
  uint8_t kind = 255;
  EXPECT_TRUE(m && m->paintKind(kind));
  return kind;
}

// The brush list's arrow drops every brush down; a pick is the working
// brush at once (a brush of another kind brings its tool along), Esc gives
// the old one back and Enter keeps the pick.
TEST_F(ListPopupsTest, TheBrushListsArrowDropsTheBrushesDownAndEscGivesTheOldOneBack) {
  form->model().setToolMode(ToolMode::Pencil);
  CPenMethodList& list = form->toolOptions().brushList();
  CPenMethodMngr& brushes = form->brushes();
  const int32_t original = brushes.currentIndex();
  const uint8_t kind = kindOf(brushes.getItem(original));
  // A second brush of the pencil's kind, and one of another kind.
  ASSERT_TRUE(list.copyInto(&list, -1, false, list.getActiveIndex()));
  const int32_t sameKind = brushes.count() - 1;
  ASSERT_TRUE(list.selectItem(list.listIndexOf(original), true));
  int32_t otherKind = -1;
  for (int32_t i = 0; i < brushes.count() && otherKind < 0; ++i)
    if (kindOf(brushes.getItem(i)) != kind) otherKind = i;
  ASSERT_GE(otherKind, 0);

  struct Case {
    const char* what;
    int32_t picked;
    bool toolChanges;
  };
  const Case cases[] = {{"a brush of the same kind", sameKind, false}, {"a brush of another kind", otherKind, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool keep : {false, true}) {
      SCOPED_TRACE(keep ? "kept" : "cancelled");
      ASSERT_EQ(brushes.currentIndex(), original);
      clickArrows(panel->brushList());
      auto* popup = static_cast<TPresetPopupForm*>(panel->brushList()->popup());
      ASSERT_NE(popup, nullptr);
      ASSERT_TRUE(popup->isOpen());
      EXPECT_EQ(popup->list().getCount(), brushes.count());  // every brush of every kind
      pickInPopup(popup, c.picked);
      // At once: the panel's list, the working brush and the tool.
      EXPECT_EQ(list.managerIndexOf(list.getActiveIndex()), c.picked);
      EXPECT_EQ(form->toolOptions().paintParam().kind, kindOf(brushes.getItem(c.picked)));
      EXPECT_EQ(form->model().toolMode() != ToolMode::Pencil, c.toolChanges);
      EXPECT_TRUE(form->toolOptions().hasBrush());
      QTest::keyClick(popup, keep ? Qt::Key_Return : Qt::Key_Escape);
      EXPECT_EQ(panel->brushList()->popup(), nullptr);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      const int32_t expected = keep ? c.picked : original;
      EXPECT_EQ(brushes.currentIndex(), expected);
      EXPECT_EQ(list.managerIndexOf(list.getActiveIndex()), expected);
      EXPECT_EQ(form->toolOptions().paintParam().kind, kindOf(brushes.getItem(expected)));
      EXPECT_EQ(form->model().toolMode() == ToolMode::Pencil, !keep || !c.toolChanges);
      // Back to the pencil's brush for the next round.
      form->model().setToolMode(ToolMode::Pencil);
      ASSERT_TRUE(list.selectItem(list.listIndexOf(original), true));
    }
  }
}

// The gradient tool's two lists show one gradient: a pick in the drop-down's
// pop-up moves the strip onto it too, scrolled into view.
TEST_F(ListPopupsTest, APickInOneGradientListMovesTheOther) {
  form->model().setToolMode(ToolMode::Gradation);
  CGradMngr& set = form->gradients();
  CGradientList& strip = form->toolOptions().gradientList();
  // More gradients than the strip shows at once.
  while (set.count() < 24) ASSERT_TRUE(strip.copyInto(&strip, -1, false, 1));
  ASSERT_TRUE(strip.selectItem(0, true));
  QCoreApplication::processEvents();
  const int32_t last = set.count() - 1;
  ASSERT_LT(strip.firstShown() + strip.visibleCount(), set.count());

  clickArrows(panel->gradientDropList());
  auto* popup = static_cast<TPresetPopupForm*>(panel->gradientDropList()->popup());
  ASSERT_NE(popup, nullptr);
  popup->list().makeVisible(last);
  pickInPopup(popup, last);
  EXPECT_EQ(set.currentIndex(), last);
  EXPECT_EQ(form->toolOptions().gradientDropList().getActiveIndex(), last);
  EXPECT_EQ(strip.getActiveIndex(), last);
  EXPECT_EQ(strip.compactDrawOrder().back(), last);  // shown, on top
  QTest::keyClick(popup, Qt::Key_Return);
  EXPECT_EQ(strip.getActiveIndex(), last);

  // And the other way: a click in the strip is the drop-down's gradient
  // (the first one shown, left of the active one at the end).
  QCoreApplication::processEvents();
  const int32_t shown = strip.compactDrawOrder().front();
  ASSERT_LT(shown, last);
  const TRect r = strip.getItemRect(shown);
  QTest::mouseClick(panel->gradientList(), Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 1, (r.Top + r.Bottom) / 2));
  EXPECT_EQ(set.currentIndex(), shown);
  EXPECT_EQ(form->toolOptions().gradientDropList().getActiveIndex(), shown);
  EXPECT_EQ(form->toolOptions().gradientDropList().pressedIndex(), shown);
}

// The gradient pop-up's band under the list, dropped down from the tool
// window's own gradient list: it shows the options' attributes with the
// panel's hints, and what it sets the panel shows and the next gradient a
// document draws takes.
TEST_F(ListPopupsTest, TheGradientPopupsBandSetsWhatThePanelShows) {
  form->model().setToolMode(ToolMode::Gradation);
  host->show();
  TItemListView* tools = form->gradientListView();
  clickArrows(tools);
  auto* popup = static_cast<TPresetPopupForm*>(tools->popup());
  ASSERT_NE(popup, nullptr);
  const TPgGlyphButton* panelButtons[6] = {panel->gradientShapeButton(0), panel->gradientShapeButton(1),
                                           panel->gradientShapeButton(2), panel->roundTripButton(),
                                           panel->endlessButton(),        nullptr};
  for (size_t i = 0; i < 6; ++i) {
    ASSERT_NE(popup->attrButton(i), nullptr);
    if (panelButtons[i]) {
      EXPECT_EQ(popup->attrButton(i)->toolTip(), panelButtons[i]->toolTip());
      EXPECT_EQ(popup->attrButton(i)->isDown(), panelButtons[i]->isDown()) << i;
    }
  }
  EXPECT_EQ(popup->repeatCount().value(), float(panel->repeatCountEdit()->value()));
  // The band sits under the list: the buttons in one row, the preview under them.
  EXPECT_GE(popup->attrButton(0)->y(), popup->listView()->geometry().bottom());
  EXPECT_EQ(popup->attrButton(1)->x() - popup->attrButton(0)->x(), 20);
  EXPECT_GT(popup->preview()->y(), popup->attrButton(0)->geometry().bottom());

  // A count typed in the pop-up, then the radial shape and round trip.
  popup->repeatCount().setValue(7.0f);
  for (size_t i : {size_t(1), size_t(kGradButtonRoundTrip)}) {
    QWidget* b = popup->attrButton(i);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() / 2, b->height() / 2));
  }
  EXPECT_EQ(panel->repeatCountEdit()->value(), 7);
  EXPECT_TRUE(panel->gradientShapeButton(1)->isDown());
  EXPECT_FALSE(panel->gradientShapeButton(0)->isDown());
  EXPECT_TRUE(panel->roundTripButton()->isDown());
  // A count out of range is held at the top.
  popup->repeatCount().setValue(9000.0f);
  EXPECT_EQ(panel->repeatCountEdit()->value(), kMaxGradRepeatCount);
  popup->repeatCount().setValue(7.0f);

  test::DocWindowFixture doc{32, 24, {100, 100}};
  doc.doc().applyGradientOptions();
  EXPECT_EQ(doc.doc().gradient()->count(), 7);
  EXPECT_EQ(doc.doc().gradient()->shape(), 1);
  EXPECT_EQ(doc.doc().gradient()->mirror(), 1);

  QTest::keyClick(popup, Qt::Key_Escape);
}

// A pop-up starts with the display style and size it had when it last
// closed; the preference default (-1) leaves the pop-up's own.
TEST_F(ListPopupsTest, APopUpOpensAsItLastClosed) {
  int32_t style = -1, width = -1, height = -1, preview = -1;
  TToolForm::SPresetPopupPrefsSet prefs;
  prefs.gradients = {&style, &width, &height, &preview};
  form->setPresetPopupPreferences(prefs);
  form->model().setToolMode(ToolMode::Gradation);

  clickArrows(panel->gradientList());
  auto* popup = static_cast<TPresetPopupForm*>(panel->gradientList()->popup());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->list().displayStyle(), kListIcons);
  EXPECT_EQ(popup->previewSize(), 2);
  const QSize opened = popup->size();
  ASSERT_TRUE(popup->list().setDisplayStyle(kListLargeRows));
  popup->setPreviewSize(1);
  popup->resize(opened.width() + 40, opened.height() + 30);
  QTest::keyClick(popup, Qt::Key_Return);
  EXPECT_EQ(style, kListLargeRows);
  EXPECT_EQ(preview, 1);
  EXPECT_EQ(width, opened.width() + 40);
  EXPECT_EQ(height, opened.height() + 30);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  clickArrows(panel->gradientList());
  popup = static_cast<TPresetPopupForm*>(panel->gradientList()->popup());
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->list().displayStyle(), kListLargeRows);
  EXPECT_EQ(popup->previewSize(), 1);
  EXPECT_EQ(popup->size(), QSize(opened.width() + 40, opened.height() + 30));
  popup->closePopup();
}

}  // namespace
}  // namespace pg
