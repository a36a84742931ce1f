// The brush, nib and gradient sets across a restart: what is edited, applied
// and saved comes back in the next main window over the same settings; the
// exit question asks about modified sets only, in order, and stops at Cancel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "app/app_profile.h"
#include "app/qt/main_form.h"
#include "brush/gradient_mngr.h"
#include "brush/paint_param.h"
#include "io/preset_common.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "platform/settings_store.h"
#include "platform/string_table.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/qt/editor_num_row.h"
#include "toolwin/qt/gradient_editor_form.h"
#include "toolwin/qt/pen_editor_frames.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

// Acts on the editor once its modal loop runs, presses Apply, then Close.
template <class Editor>
void applyInEditor(std::function<void(Editor&)> edit) {
  QTimer::singleShot(0, [edit] {
    auto* e = qobject_cast<Editor*>(QApplication::activeModalWidget());
    if (e == nullptr) return;
    edit(*e);
    e->ButtonOK->click();
    e->ButtonCancel->click();
  });
}

float opacityOf(const CPenMethodObj* m) {
  bool ok = false;
  auto p = TPaintParam::CreateFromPenMethod(m, ok);
  return ok ? p->opacity : -1.0f;
}

float nibRadiusOf(const CPenShapeObj* nib) {
  TPaintParam p(9);
  return nib && p.loadNib(nib) ? p.size : -1.0f;
}

class PresetSetsRestart : public ::testing::Test {
 protected:
  PresetSetsRestart() : store(folder.file("settings")) {
    testing::ensureQtApp();
    setAppSettingsStore(&store);
    resetAppProfile();
    (void)appProfile().load(store);
    // The save dialogs answer a file in the test folder by the set's kind.
    previousRunner = setFileDialogRunner([this](SFileDialogRequest& r) {
      const std::string name = r.kind == kDialogPenMethods + kDialogSaveOffset ? "mine.pmt"
                               : r.kind == kDialogPenShapes + kDialogSaveOffset ? "mine.psh"
                               : r.kind == kDialogGradients + kDialogSaveOffset ? "mine.kgs"
                                                                                : "";
      if (name.empty()) return false;
      r.fileName = folder.file(name);
      r.folder = folder.path().string();
      return true;
    });
  }
  ~PresetSetsRestart() override {
    (void)setFileDialogRunner(std::move(previousRunner));
    resetAppProfile();
    setAppSettingsStore(nullptr);
  }

  // What start-up does at the end: the preferences go to the store.
  void exitProgram(TMainForm* form) {
    ASSERT_TRUE(appProfile().save(store));
    delete form;
    resetAppProfile();
    (void)appProfile().load(store);
  }

  testing::TempFolder folder;
  CFileSettingsStore store;
  FileDialogRunner previousRunner;
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
};

TEST_F(PresetSetsRestart, EditedAndSavedBrushNibAndGradientComeBackAfterARestart) {
  auto* form = new TMainForm;
  TToolForm& tools = *form->toolWindow();
  const int32_t brush = tools.brushes().currentIndex();
  const int32_t nib = 1;
  const int32_t gradient = 1;  // the first after the two-colour entry
  EXPECT_FALSE(tools.brushes().modified());
  EXPECT_FALSE(tools.nibs().modified());
  EXPECT_FALSE(tools.gradients().modified());

  applyInEditor<TFormBrushEditor>([](TFormBrushEditor& e) { e.GrpPenMtd->densityRow()->model().setValue(33.0f); });
  EXPECT_TRUE(tools.editBrush(brush));
  applyInEditor<TFormBrushEditor>([](TFormBrushEditor& e) { e.GrpPenNib->radiusRow()->model().setValue(21.5f); });
  EXPECT_TRUE(tools.editNib(nib));
  applyInEditor<TFormGradEditor>([](TFormGradEditor& e) {
    e.EdtName->setText(QStringLiteral("dawn"));
    emit e.EdtName->textEdited(QStringLiteral("dawn"));
  });
  EXPECT_TRUE(tools.editGradient(gradient));
  EXPECT_TRUE(tools.brushes().modified() && tools.nibs().modified() && tools.gradients().modified());

  // Saved through the option list's menu and the set commands' dialogs.
  QMenu* menu = tools.optionListMenu();
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  QAction* saveAs = menu->findChild<QAction*>(QStringLiteral("MenuOptSetSaveAs"));
  ASSERT_NE(saveAs, nullptr);
  ASSERT_TRUE(saveAs->isEnabled());
  saveAs->trigger();
  EXPECT_TRUE(tools.presetSets().saveNibSetAs());
  EXPECT_TRUE(tools.presetSets().saveGradSetAs());
  EXPECT_EQ(tools.brushes().fileName(), folder.file("mine.pmt"));
  EXPECT_FALSE(tools.brushes().modified() || tools.nibs().modified() || tools.gradients().modified());

  // Nothing is modified now: closing asks nothing.
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(messages.shown().empty());
  exitProgram(form);

  TMainForm second;
  TToolForm& again = *second.toolWindow();
  EXPECT_EQ(again.brushes().fileName(), folder.file("mine.pmt"));
  EXPECT_NEAR(opacityOf(again.brushes().getItem(brush)), 0.33f, 1e-6);
  EXPECT_NEAR(nibRadiusOf(again.nibs().getItem(nib)), 21.5f, 1e-4);
  ASSERT_NE(again.gradients().getItem(gradient), nullptr);
  EXPECT_EQ(again.gradients().getItem(gradient)->Stops.name(), "dawn");
  EXPECT_FALSE(again.brushes().modified() || again.nibs().modified() || again.gradients().modified());
  // The option list shows the loaded brush set.
  EXPECT_EQ(again.toolOptions().brushList().manager(), &again.brushes());
}

TEST_F(PresetSetsRestart, TheExitQuestionAsksModifiedSetsInOrderAndStopsAtCancel) {
  {
    TMainForm fresh;  // a fresh start has nothing to ask
    EXPECT_TRUE(fresh.close());
    EXPECT_TRUE(messages.shown().empty());
  }
  auto* form = new TMainForm;
  TToolForm& tools = *form->toolWindow();

  applyInEditor<TFormGradEditor>([](TFormGradEditor& e) {
    e.EdtName->setText(QStringLiteral("late"));
    emit e.EdtName->textEdited(QStringLiteral("late"));
  });
  EXPECT_TRUE(tools.editGradient(1));
  applyInEditor<TFormBrushEditor>([](TFormBrushEditor& e) { e.GrpPenNib->radiusRow()->model().setValue(9.0f); });
  EXPECT_TRUE(tools.editNib(0));
  auto asked = [&] {
    std::vector<std::string> words;
    for (const auto& m : messages.shown())
      for (uint32_t id : {kResPenMethodSetWord, kResPenShapeSetWord, kResGradientSetWord})
        if (m.text.find(resString(id)) != std::string::npos) words.push_back(resString(id));
    return words;
  };
  // The nibs come before the gradients; Cancel keeps the program running.
  messages.queueAnswer(kMrCancel);
  EXPECT_FALSE(form->close());
  EXPECT_EQ(asked(), std::vector<std::string>{resString(kResPenShapeSetWord)});
  messages.clear();
  messages.queueAnswer(kMrNo);
  messages.queueAnswer(kMrNo);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(asked(), (std::vector<std::string>{resString(kResPenShapeSetWord), resString(kResGradientSetWord)}));
  exitProgram(form);
}

}  // namespace
}  // namespace pg
