#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "brush/gradient_mngr.h"
#include "brush/paint_param.h"
#include "io/gradient_file.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "test_support/qt_app.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/preset_lists.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/qt/count_dialog.h"
#include "toolwin/qt/editor_num_row.h"
#include "toolwin/qt/gradient_editor_form.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/qt/num_fields.h"
#include "toolwin/qt/pen_editor_frames.h"
#include "ui/gradient_stops.h"
#include "ui/qt/gradient_edit.h"
#include "ui/qt/small_controls.h"

namespace pg {
namespace {

struct BrushSets {
  BrushSets() {
    methods.addMissingKinds();
    methods.setCurrentIndex(0);
    methods.setModified(false);
    nibs.addDefaults();
    nibs.setModified(false);
  }
  CPenMethodMngr methods;
  CPenShapeMngr nibs;
};

float opacityOf(const CPenMethodObj* m) {
  bool ok = false;
  auto p = TPaintParam::CreateFromPenMethod(m, ok);
  return ok ? p->opacity : -1.0f;
}

// Presses Close once the modal loop runs.
void closeSoon(int* result = nullptr) {
  QTimer::singleShot(0, [result] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* e = qobject_cast<TFormPresetEditor*>(w); e && e->isVisible()) {
        if (result) *result = 1;
        e->ButtonCancel->click();
      }
  });
}

TEST(BrushEditor, EditApplySaveAndReloadGivesTheEditedPenMethod) {
  testing::ensureQtApp();
  QTemporaryDir dir;
  const std::string path = dir.filePath("set.pmt").toStdString();
  BrushSets sets;
  sets.methods.setCurrentIndex(2);
  const float before = opacityOf(sets.methods.getItem(2));
  {
    TFormBrushEditor editor(sets.methods, sets.nibs, SPresetEditorContext{});
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("ブラシエディタ"));
    EXPECT_FALSE(editor.ButtonOK->isEnabled());
    editor.GrpPenMtd->densityRow()->model().setValue(37.0f);  // as typed into the edit
    EXPECT_TRUE(editor.ButtonOK->isEnabled());
    editor.GrpPenMtd->EdtName->setText(QStringLiteral("mine"));
    emit editor.GrpPenMtd->EdtName->textEdited(QStringLiteral("mine"));
    EXPECT_FLOAT_EQ(opacityOf(sets.methods.getItem(2)), before);  // nothing reaches the set before Apply
    editor.ButtonOK->click();
    EXPECT_FALSE(editor.ButtonOK->isEnabled());
    EXPECT_TRUE(editor.isVisible() == false && editor.result() == 0);  // Apply does not close
    EXPECT_TRUE(editor.LblPath->modified());
    EXPECT_TRUE(editor.applied());
  }
  EXPECT_TRUE(sets.methods.modified());
  ASSERT_TRUE(sets.methods.saveToFile(path));
  CPenMethodMngr reloaded;
  ASSERT_TRUE(reloaded.loadFromFile(path, false));
  EXPECT_NEAR(opacityOf(reloaded.getItem(2)), 0.37f, 1e-6);
  EXPECT_EQ(reloaded.getItem(2)->name(), "mine");
}

TEST(BrushEditor, SelectingAnotherPresetOrClosingWithoutApplyChangesNothing) {
  testing::ensureQtApp();
  BrushSets sets;
  const float before = opacityOf(sets.methods.getItem(0));
  TFormBrushEditor editor(sets.methods, sets.nibs, SPresetEditorContext{});
  editor.GrpPenMtd->densityRow()->model().setValue(12.0f);
  ASSERT_TRUE(editor.ButtonOK->isEnabled());
  CItemList& list = *static_cast<CItemList*>(&editor.listView()->list());
  list.selectItem(1, true);
  EXPECT_FALSE(editor.ButtonOK->isEnabled());
  list.selectItem(0, true);
  EXPECT_FLOAT_EQ(editor.GrpPenMtd->densityRow()->model().value(), before * 100.0f);  // reloaded
  EXPECT_FLOAT_EQ(opacityOf(sets.methods.getItem(0)), before);
  EXPECT_FALSE(sets.methods.modified());
  // Only one pen method of each kind: the kind box stays shut.
  EXPECT_FALSE(editor.GrpPenMtd->CmbType->isEnabled());
  int seen = 0;
  closeSoon(&seen);
  EXPECT_EQ(editor.showModalEditor(), 1);
  EXPECT_EQ(seen, 1);
  EXPECT_FALSE(sets.methods.modified());
}

TEST(BrushEditor, NewPenMethodLeavesAnUnchangedCopyWhenClosed) {
  testing::ensureQtApp();
  BrushSets sets;
  sets.methods.setCurrentIndex(4);
  closeSoon();
  EXPECT_TRUE(newPenMethod(sets.methods, sets.nibs, SPresetEditorContext{}));
  ASSERT_EQ(sets.methods.count(), 10);
  EXPECT_EQ(sets.methods.getItem(9)->getParams(), sets.methods.getItem(4)->getParams());
  EXPECT_EQ(sets.methods.currentIndex(), 9);
}

TEST(BrushEditor, NibModeEditsTheNibSet) {
  testing::ensureQtApp();
  QTemporaryDir dir;
  const std::string path = dir.filePath("set.psh").toStdString();
  BrushSets sets;
  sets.nibs.select(1);
  int32_t style = 5;  // stored list style
  SPresetEditorContext context;
  context.listStyle = &style;
  {
    TFormBrushEditor editor(sets.methods, sets.nibs, context);
    editor.setMode(TFormBrushEditor::kNibMode);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("ペン先エディタ"));
    EXPECT_EQ(editor.tabs(), nullptr);
    EXPECT_FALSE(editor.GrpPenMtd->isVisibleTo(&editor));
    EXPECT_TRUE(editor.GrpPenNib->isVisibleTo(&editor));
    editor.GrpPenNib->radiusRow()->model().setValue(23.5f);
    editor.GrpPenNib->aspectRow()->model().setValue(40.0f);
    EXPECT_TRUE(editor.ButtonOK->isEnabled());
    editor.ButtonOK->click();
    closeSoon();
    (void)editor.showModalEditor();  // what was stored shows in the set below
    EXPECT_EQ(editor.listView()->list().displayStyle(), 5);
  }
  EXPECT_TRUE(sets.nibs.modified());
  ASSERT_TRUE(sets.nibs.saveToFile(path));
  CPenShapeMngr reloaded;
  ASSERT_TRUE(reloaded.loadFromFile(path, false));
  TPaintParam p(9);
  ASSERT_TRUE(p.loadNib(reloaded.getItem(1)));
  EXPECT_NEAR(p.size, 23.5f, 1e-4);
  EXPECT_NEAR(p.aspect, 0.6f, 1e-6);
}

TEST(GradientEditor, EditApplySaveAndReloadGivesTheEditedGradient) {
  testing::ensureQtApp();
  QTemporaryDir dir;
  const std::string path = dir.filePath("set.kgs").toStdString();
  CGradMngr set(false);
  set.addBuiltins();
  set.select(1);
  set.setModified(false);
  {
    TFormGradEditor editor(set, SPresetEditorContext{}, SGradEditorColours{});
    TGradientStops& stops = editor.stopEditor()->stops();
    const int32_t before = stops.count();
    stops.setSelectIndex(0);
    editor.split(4);  // three stops between the first two
    EXPECT_EQ(stops.count(), before + 3);
    EXPECT_FLOAT_EQ(stops.posAt(1)->Position, stops.posAt(0)->Position + (stops.posAt(4)->Position - stops.posAt(0)->Position) / 4);
    editor.EdtName->setText(QStringLiteral("dawn"));
    emit editor.EdtName->textEdited(QStringLiteral("dawn"));
    EXPECT_TRUE(editor.ButtonOK->isEnabled());
    EXPECT_NE(set.getItem(1)->Stops.name(), "dawn");
    editor.ButtonOK->click();
  }
  EXPECT_TRUE(set.modified());
  ASSERT_TRUE(gradMngrSaveToFile(set, path));
  CGradMngr reloaded(false);
  ASSERT_TRUE(gradMngrLoadFromFile(reloaded, path, false));
  ASSERT_GT(reloaded.count(), 1);
  EXPECT_EQ(reloaded.getItem(1)->Stops.name(), "dawn");
  TGradientStops back;
  back.setColorSlotGroup(reloaded.getItem(1)->Stops);
  TGradientStops edited;
  edited.setColorSlotGroup(set.getItem(1)->Stops);
  EXPECT_EQ(back.count(), edited.count());
}

TEST(GradientEditor, StopControlsAndSharedRepeat) {
  testing::ensureQtApp();
  CGradMngr set(false);
  set.addBuiltins();
  set.select(0);
  set.setModified(false);
  TFormGradEditor editor(set, SPresetEditorContext{}, SGradEditorColours{});
  TGradientStops& stops = editor.stopEditor()->stops();
  stops.setSelectIndex(0);
  editor.stopEditor()->changed();
  EXPECT_FALSE(editor.positionRow()->edit()->isEnabled());  // an end stop does not move
  editor.split(3);
  stops.setSelectIndex(1);
  editor.stopEditor()->changed();
  EXPECT_TRUE(editor.positionRow()->edit()->isEnabled());
  EXPECT_FALSE(editor.GrpRColor->isEnabled());
  editor.unionRight();
  ASSERT_EQ(stops.splitState(1), 2);
  stops.setSelectIndex(2);  // the right half shows the joined stop
  editor.stopEditor()->changed();
  EXPECT_TRUE(editor.GrpRColor->isEnabled());
  // "固定色(&X)" of the joined point sets the right half only.
  const uint8_t leftKind = stops.posAt(1)->Kind;
  editor.RadR[1]->click();
  EXPECT_EQ(stops.posAt(2)->Kind, 1);
  EXPECT_EQ(stops.posAt(1)->Kind, leftKind);
  editor.RadR[0]->click();
  EXPECT_EQ(stops.posAt(2)->Kind, 0);
  EXPECT_EQ(stops.posAt(1)->Kind, leftKind);

  // Own settings off: a shape change goes to the gradients without own
  // settings at once and is no edit to apply.
  editor.ButtonOK->click();
  ASSERT_FALSE(editor.ChkUnique->isChecked());
  editor.CmbType->setCurrentIndex(2);
  emit editor.CmbType->activated(2);
  EXPECT_FALSE(editor.ButtonOK->isEnabled());
  for (int32_t i = 0; i < set.count(); ++i) {
    if (set.getItem(i)->Repeat.OwnSettings == 0) {
      EXPECT_EQ(set.getItem(i)->Repeat.Shape, 2) << i;
    }
  }
  editor.ChkUnique->click();
  EXPECT_TRUE(editor.ButtonOK->isEnabled());
}

TEST(GradientEditor, CustomSplitAsksWithinTheFreeRoom) {
  testing::ensureQtApp();
  CGradMngr set(false);
  set.addBuiltins();
  set.select(0);
  TFormGradEditor editor(set, SPresetEditorContext{}, SGradEditorColours{});
  TGradientStops& stops = editor.stopEditor()->stops();
  SCountRequest asked;
  CountDialogRunner old = setCountDialogRunner([&](QWidget*, const SCountRequest& r, int& value) {
    asked = r;
    value = 3;
    return true;
  });
  stops.setSelectIndex(0);
  const int32_t before = stops.count();
  editor.splitCustom();
  EXPECT_EQ(asked.maximum, 16);
  EXPECT_EQ(stops.count(), before + 2);
  setCountDialogRunner([](QWidget*, const SCountRequest&, int&) { return false; });
  editor.splitCustom();  // Cancel does nothing
  EXPECT_EQ(stops.count(), before + 2);
  setCountDialogRunner(std::move(old));
}

}  // namespace
}  // namespace pg
