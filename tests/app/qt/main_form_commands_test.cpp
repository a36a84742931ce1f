#include <gtest/gtest.h>

#include <QAction>

#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

class MainFormCommandsTest : public ::testing::Test {
 protected:
  static TMainForm& makeForm() {
    testing::ensureQtApp();
    return *new TMainForm;
  }
  void SetUp() override {
    form.resize(800, 600);
    form.show();
    window = form.newDrawWindow("a", 64, 48, 72);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { delete &form; }
  bool enabled(const char* name) {
    form.actions().updateAll();
    return form.actions().action(name)->isEnabled();
  }
  void run(const char* name) {
    ASSERT_TRUE(enabled(name)) << name;
    form.actions().action(name)->trigger();
  }
  TPaper& paper() { return window->window().paper(); }

  TMainForm& form = makeForm();
  TDrawWindowWidget* window = nullptr;
};

TEST_F(MainFormCommandsTest, SelectionCommandsFollowTheSelectionAndUndo) {
  ASSERT_FALSE(paper().hasSelection());
  for (const char* name : {"ActSelCancel", "ActSelInvert", "ActSelExp1", "ActSelCol1", "ActMaskDup"})
    EXPECT_FALSE(enabled(name)) << name;
  run("ActSelAll");
  EXPECT_TRUE(paper().hasSelection());
  for (const char* name : {"ActSelCancel", "ActSelInvert", "ActSelExp1", "ActSelCol1", "ActMaskDup"})
    EXPECT_TRUE(enabled(name)) << name;
  // The selection's use toggles and shows as the check mark.
  const bool inUse = paper().selectionEnabled;
  run("ActSelEnable");
  EXPECT_NE(paper().selectionEnabled, inUse);
  form.actions().updateAll();
  EXPECT_EQ(form.actions().action("ActSelEnable")->isChecked(), paper().selectionEnabled);
  run("ActEditUndo");
  EXPECT_EQ(paper().selectionEnabled, inUse);
  run("ActEditUndo");
  EXPECT_FALSE(paper().hasSelection());
}

TEST_F(MainFormCommandsTest, TheLastMaskCannotBeDeleted) {
  const int32_t masks = paper().masks()->count();
  ASSERT_EQ(masks, 1);
  EXPECT_FALSE(enabled("ActMaskDel"));
  run("ActMaskNew");
  EXPECT_EQ(paper().masks()->count(), 2);
  run("ActMaskDel");
  EXPECT_EQ(paper().masks()->count(), 1);
  EXPECT_FALSE(enabled("ActMaskDel"));
}

TEST_F(MainFormCommandsTest, LayerCommandsChangeTheListAndUndoRestoresIt) {
  ASSERT_EQ(paper().layerCount(), 1);
  EXPECT_FALSE(enabled("ActLyrDel"));
  EXPECT_FALSE(enabled("ActLyrMergeD"));
  run("ActLyrDup");
  EXPECT_EQ(paper().layerCount(), 2);
  EXPECT_TRUE(enabled("ActLyrDel"));
  run("ActEditUndo");
  EXPECT_EQ(paper().layerCount(), 1);
}

TEST_F(MainFormCommandsTest, BatchModeDisablesEveryGatedCommand) {
  run("ActSelAll");
  form.setBatchMode(true);
  for (const char* name : {"ActLyrDup", "ActSelAll", "ActSelCancel", "ActSelInvert", "ActSelExp1", "ActMaskNew",
                           "ActMaskDup"})
    EXPECT_FALSE(enabled(name)) << name;
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST_F(MainFormCommandsTest, ImageQuarterTurnsExchangeTheSizeAndUndoRestoresIt) {
  run("ActImgRot90");
  EXPECT_EQ(paper().width, 48);
  EXPECT_EQ(paper().height, 64);
  run("ActEditUndo");
  EXPECT_EQ(paper().width, 64);
  EXPECT_EQ(paper().height, 48);
  for (const char* name : {"ActImgFlipH", "ActImgFlipV", "ActImgInvert", "ActImgRot180", "actLyrFlipLR",
                           "actLyrFlipTB", "actLyrRot180", "ActLyrRot90", "ActLyrRot270"})
    EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(MainFormCommandsTest, CropNeedsASelectionAndKeepsItsBounds) {
  EXPECT_FALSE(enabled("ActImgTrim"));
  run("ActSelAll");
  run("ActImgTrim");
  EXPECT_EQ(paper().width, 64);
  EXPECT_EQ(paper().height, 48);
  // A selection moved wholly off the image crops nothing.
  ASSERT_TRUE(paper().offsetMask(TPoint{500, 0}, false));
  if (enabled("ActImgTrim")) form.actions().action("ActImgTrim")->trigger();
  EXPECT_EQ(paper().width, 64);
  EXPECT_EQ(paper().height, 48);
  // No layer reaches past the document yet.
  EXPECT_FALSE(enabled("ActLyrTrimOut"));
}

}  // namespace
}  // namespace pg
