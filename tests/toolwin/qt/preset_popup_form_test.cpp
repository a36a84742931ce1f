#include "toolwin/qt/preset_popup_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "test_support/qt_app.h"
#include "toolwin/item_list.h"
#include "toolwin/qt/item_list_view.h"

namespace pg {
namespace {

TEST(PresetPopup, NoPenMethodPopupForAnEmptySet) {
  testing::ensureQtApp();
  QWidget owner;
  CPenMethodMngr empty;
  EXPECT_EQ(openPenMethodPopup(&owner, empty, {}, {}), nullptr);
  CPenMethodMngr set;
  set.addMissingKinds();
  int32_t stored = -1;  // never stored: the pop-up starts with small rows
  TPresetPopupForm* form = openPenMethodPopup(&owner, set, {}, SPresetPopupPrefs{&stored});
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->list().displayStyle(), kListSmallRows);
  EXPECT_EQ(form->height(), form->minimumHeight() + 96);
  delete form;
}

// The brush pop-up starts with every brush; its menu narrows it to the
// kind of the current brush and back.
TEST(PresetPopup, ThePenMethodPopupShowsAllBrushesOrTheCurrentKind) {
  testing::ensureQtApp();
  QWidget owner;
  CPenMethodMngr set;
  set.addMissingKinds();
  set.setCurrentIndex(set.count() - 1);
  std::unique_ptr<TPresetPopupForm> form(openPenMethodPopup(&owner, set, {}, {}));
  ASSERT_NE(form, nullptr);
  emit form->PresetPopupMenu->aboutToShow();
  QAction* all = form->findChild<QAction*>("MenuDispAll");
  ASSERT_NE(all, nullptr);
  EXPECT_TRUE(all->isChecked());
  EXPECT_EQ(form->list().getCount(), set.count());
  all->trigger();
  emit form->PresetPopupMenu->aboutToShow();
  EXPECT_FALSE(all->isChecked());
  ASSERT_LT(form->list().getCount(), set.count());
  EXPECT_EQ(form->list().getItemName(form->list().getActiveIndex()), set.current()->name());
  all->trigger();
  EXPECT_EQ(form->list().getCount(), set.count());
  EXPECT_EQ(form->list().getActiveIndex(), set.count() - 1);
  // Only the brushes have the switch.
  CPenShapeMngr nibs;
  nibs.addDefaults();
  std::unique_ptr<TPresetPopupForm> nibForm(openPenNibPopup(&owner, nibs, 0, {}, {}));
  EXPECT_EQ(nibForm->findChild<QAction*>("MenuDispAll"), nullptr);
}

TEST(PresetPopup, DeleteAsksFirstAndTheMenuNamesTheKind) {
  testing::ensureQtApp();
  QWidget owner;
  CPenShapeMngr nibs;
  nibs.addDefaults();
  std::vector<std::string> asked;
  bool answer = false;
  SPresetPopupCommands c;
  c.confirm = [&](const std::string& q) {
    asked.push_back(q);
    return answer;
  };
  std::unique_ptr<TPresetPopupForm> form(openPenNibPopup(&owner, nibs, 2, c, {}));
  EXPECT_EQ(form->list().getActiveIndex(), 2);
  emit form->PresetPopupMenu->aboutToShow();
  EXPECT_EQ(form->findChild<QAction*>("MenuItemDelete")->text(), QStringLiteral("ペン先を削除(&R)..."));
  const int32_t count = nibs.count();
  form->runMenuItem(PresetPopupItem::Delete);
  EXPECT_EQ(nibs.count(), count);  // No keeps it
  answer = true;
  form->runMenuItem(PresetPopupItem::Delete);
  EXPECT_EQ(nibs.count(), count - 1);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], "選択されたペン先を削除してよろしいですか？");
}

// A pop-up opened without a command for an item shows that item disabled,
// never as a click that does nothing; the list's own duplicate always works.
TEST(PresetPopup, ItemsWithoutACommandAreDisabled) {
  testing::ensureQtApp();
  QWidget owner;
  CPenShapeMngr nibs;
  nibs.addDefaults();
  struct Case {
    const char* item;
    bool withCommands;
    bool enabled;
  };
  const Case cases[] = {
      {"MenuItemAppend", false, false}, {"MenuItemEdit", false, false},   {"MenuItemDelete", false, false},
      {"MenuSetSave", false, false},    {"MenuItemDuplicate", false, true}, {"MenuItemAppend", true, true},
      {"MenuItemEdit", true, true},     {"MenuItemDelete", true, true},
  };
  SPresetPopupCommands all;
  all.newItem = [](int32_t) {};
  all.editItem = [](int32_t) {};
  all.confirm = [](const std::string&) { return false; };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.item) + (c.withCommands ? " with commands" : " without"));
    std::unique_ptr<TPresetPopupForm> form(
        openPenNibPopup(&owner, nibs, 2, c.withCommands ? all : SPresetPopupCommands{}, {}));
    ASSERT_NE(form, nullptr);
    emit form->PresetPopupMenu->aboutToShow();
    QAction* action = form->findChild<QAction*>(QString::fromLatin1(c.item));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->isEnabled(), c.enabled);
  }
}

TEST(PresetPopup, GradientPreviewSizesAndTheCloseGlyph) {
  testing::ensureQtApp();
  QWidget owner;
  CGradMngr set(false);
  set.addBuiltins();
  set.select(0);
  int32_t style = 255, width = -1, height = -1, preview = 2;
  std::unique_ptr<TPresetPopupForm> form(
      openGradientPopup(&owner, set, {}, SPresetPopupPrefs{&style, &width, &height, &preview}));
  EXPECT_EQ(form->list().displayStyle(), kListIcons);
  const int before = form->height();
  const int listBefore = form->listView()->height();
  form->setPreviewSize(0);  // hidden: the preview's height and 4 pixels go to the list
  EXPECT_EQ(form->height(), before - 100);
  EXPECT_EQ(form->listView()->height(), listBefore);
  form->setPreviewSize(3);
  EXPECT_EQ(form->height(), before - 100 + 196);

  form->popup(10, 10);
  ASSERT_TRUE(form->isOpen());
  const QPoint glyph(form->width() - 6, 6);
  // Pressed elsewhere, released on the glyph: stays open.
  QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(form->width() - 6, 60));
  QTest::mouseRelease(form.get(), Qt::LeftButton, {}, glyph);
  EXPECT_TRUE(form->isOpen());
  QTest::mousePress(form.get(), Qt::LeftButton, {}, glyph);
  QTest::mouseRelease(form.get(), Qt::LeftButton, {}, glyph);
  EXPECT_FALSE(form->isOpen());
  EXPECT_EQ(form->result(), 1);
  // Hiding stores the style, the size and the preview size.
  EXPECT_EQ(style, kListIcons);
  EXPECT_EQ(preview, 3);
  EXPECT_EQ(width, form->width());
  EXPECT_EQ(height, form->height());
}

}  // namespace
}  // namespace pg
