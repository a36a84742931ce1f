// The tool window's state across a restart and the preferences that change
// it while the program runs: a palette saved from the swatch menu comes back
// in the next main window and reverts to its file; the tool variants and the
// lists' display styles are kept; the brush-set panel is one of the Window
// menu's panels; the tool preferences take effect when the dialog closes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/app_profile.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "io/preset_common.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "platform/settings_store.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/swatch_list.h"
#include "toolwin/tool_tables.h"
#include "ui/qt/dock_view.h"

namespace pg {
namespace {

class ToolWindowSettings : public ::testing::Test {
 protected:
  ToolWindowSettings() : store(folder.file("settings")) {
    testing::ensureQtApp();
    setAppSettingsStore(&store);
    resetAppProfile();
    (void)appProfile().load(store);
    previousRunner = setFileDialogRunner([this](SFileDialogRequest& r) {
      if (r.kind != kDialogPalette + kDialogSaveOffset) return false;
      r.fileName = folder.file(paletteName);
      r.folder = folder.path().string();
      return true;
    });
  }
  ~ToolWindowSettings() override {
    (void)setFileDialogRunner(std::move(previousRunner));
    resetAppProfile();
    setAppSettingsStore(nullptr);
  }

  void exitProgram(TMainForm* form) {
    EXPECT_TRUE(form->close());
    ASSERT_TRUE(appProfile().save(store));
    delete form;
    resetAppProfile();
    (void)appProfile().load(store);
  }

  static QAction* menuItem(QMenu* menu, const char* name) {
    emit menu->aboutToShow();
    return menu->findChild<QAction*>(QString::fromLatin1(name));
  }

  testing::TempFolder folder;
  CFileSettingsStore store;
  FileDialogRunner previousRunner;
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  std::string paletteName;
};

TEST_F(ToolWindowSettings, APaletteSavedFromTheSwatchMenuComesBackAfterARestartAndReverts) {
  // The swatch file kinds the program writes.
  for (const char* name : {"mine.aco", "mine.pcs", "mine.kpl"}) {
    SCOPED_TRACE(name);
    paletteName = name;
    auto* form = new TMainForm;
    TToolForm& tools = *form->toolWindow();
    CSwatchList& swatches = tools.swatches();
    // A new colour through the swatch menu's picker.
    tools.RunColorDialog = [](SColorRec& c) {
      c = rgbaToColorRec(0xFF0A141Eu);
      return true;
    };
    QAction* add = menuItem(tools.swatchMenu(), "MenuSwatchAppend");
    ASSERT_NE(add, nullptr);
    add->trigger();
    const int32_t count = swatches.getCount();
    ASSERT_GT(count, 1);
    EXPECT_EQ(swatches.colorAt(count - 1) & 0xFFFFFFu, 0x0A141Eu);
    EXPECT_TRUE(swatches.manager().modified());
    QAction* save = menuItem(tools.swatchMenu(), "MenuOPLSaveAs");
    ASSERT_TRUE(save && save->isEnabled());
    save->trigger();
    EXPECT_EQ(swatches.manager().fileName(), folder.file(name));
    EXPECT_FALSE(swatches.manager().modified());
    exitProgram(form);

    auto* second = new TMainForm;
    CSwatchList& again = second->toolWindow()->swatches();
    EXPECT_EQ(again.manager().fileName(), folder.file(name));
    ASSERT_EQ(again.getCount(), count);
    EXPECT_EQ(again.colorAt(count - 1) & 0xFFFFFFu, 0x0A141Eu);
    // Unmodified, the revert item is off; after a delete it brings the file back.
    QMenu* menu = second->toolWindow()->swatchMenu();
    EXPECT_FALSE(menuItem(menu, "MenuOPLRevert")->isEnabled());
    ASSERT_TRUE(again.deleteItem(0, true));
    ASSERT_EQ(again.getCount(), count - 1);
    QAction* revert = menuItem(menu, "MenuOPLRevert");
    ASSERT_TRUE(revert->isEnabled());
    revert->trigger();
    EXPECT_EQ(again.getCount(), count);
    EXPECT_FALSE(again.manager().modified());
    EXPECT_EQ(again.colorAt(count - 1) & 0xFFFFFFu, 0x0A141Eu);
    exitProgram(second);
  }
}

TEST_F(ToolWindowSettings, ToolVariantsAndListStylesAreKeptAndTheBrushListIsAWindowPanel) {
  auto* form = new TMainForm;
  TToolForm& tools = *form->toolWindow();
  // The panels are arranged once the main window shows.
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  QApplication::processEvents();
  // Window > Brush list (Ctrl+7) shows and hides the brush-set panel.
  QAction* brushList = form->actions().action("actShowPenMtdList");
  ASSERT_NE(brushList, nullptr);
  form->actions().updateAll();
  EXPECT_TRUE(brushList->isEnabled());
  EXPECT_EQ(brushList->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_7));
  // In the default arrangement a tab beside the colour and the swatches.
  auto* view = qobject_cast<TCustomDockView*>(tools.brushSetPanel()->parentWidget());
  auto* colourView = qobject_cast<TCustomDockView*>(tools.colourPanel()->parentWidget());
  ASSERT_TRUE(view && colourView);
  ASSERT_NE(view->floatForm(), nullptr);
  EXPECT_EQ(view->floatForm(), colourView->floatForm());
  const bool shown = view->shown();
  brushList->trigger();
  EXPECT_NE(view->shown(), shown);
  brushList->trigger();
  EXPECT_EQ(view->shown(), shown);

  // The magic eraser remembered on the eraser button, the dodge on burn.
  tools.model().setToolMode(ToolMode::MagicEraser);
  tools.model().setToolMode(ToolMode::Dodge);
  tools.model().setToolMode(ToolMode::Pencil);
  const uint32_t mask = tools.model().toolSubMode();
  EXPECT_NE(mask, 0u);
  tools.setListStyles({kListText, kListRows, kListLargeRows, kListIcons});
  exitProgram(form);
  EXPECT_EQ(appProfile().ToolSubMode, mask);

  TMainForm second;
  TToolForm& again = *second.toolWindow();
  EXPECT_EQ(again.model().toolSubMode(), mask);
  // A click on the eraser button brings its remembered variant back.
  again.model().buttonClicked(1, false, false);
  EXPECT_EQ(again.model().toolMode(), ToolMode::MagicEraser);
  const TToolForm::SListStyles s = again.listStyles();
  EXPECT_EQ(s.swatches, kListText);
  EXPECT_EQ(s.brushSet, kListRows);
  EXPECT_EQ(s.layers, kListLargeRows);
  EXPECT_EQ(s.masks, kListIcons);
}

TEST_F(ToolWindowSettings, ToolPreferencesTakeEffectWhenThePreferenceDialogCloses) {
  appProfile().ToolFindNext = false;
  appProfile().AutoFreeHand = false;
  TMainForm form;
  CToolWindowModel& model = form.toolWindow()->model();
  ASSERT_FALSE(model.preferences().toolFindNext);
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    // Each box flips its preference, off at the start.
    for (const char* name : {"ChkToolFindNext", "ChkAutoFreeHand"})
      if (auto* c = dialog->findChild<QCheckBox*>(QString::fromLatin1(name))) c->setChecked(!c->isChecked());
    dialog->accept();
  });
  form.actions().updateAll();
  form.actions().action("ActEditOpt")->trigger();
  ASSERT_TRUE(appProfile().ToolFindNext && appProfile().AutoFreeHand);
  EXPECT_TRUE(model.preferences().toolFindNext);
  EXPECT_TRUE(model.preferences().autoFreeHand);
  // S steps through the eraser's variants without Shift now.
  model.setToolMode(ToolMode::Pencil);
  ASSERT_TRUE(model.handleShortcutKey('S', 0));
  EXPECT_EQ(model.toolMode(), ToolMode::Eraser);
  ASSERT_TRUE(model.handleShortcutKey('S', 0));
  EXPECT_EQ(model.toolMode(), ToolMode::MagicEraser);
}

}  // namespace
}  // namespace pg
