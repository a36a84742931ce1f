#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include <functional>

#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_command.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "brush/stroke_settings.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "filters/filter_table.h"
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
  bool enabled(const char* name) { return testing::commandEnabled(form, name); }
  void run(const char* name) { testing::runCommand(form, name); }
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
  const bool inUse = paper().selectionEnabled();
  run("ActSelEnable");
  EXPECT_NE(paper().selectionEnabled(), inUse);
  form.actions().updateAll();
  EXPECT_EQ(form.actions().action("ActSelEnable")->isChecked(), paper().selectionEnabled());
  run("ActEditUndo");
  EXPECT_EQ(paper().selectionEnabled(), inUse);
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

// Delete (or Backspace) erases the selected area when there is one, and
// clears the whole layer when there is not; each is one undoable step.
TEST_F(MainFormCommandsTest, DeleteErasesTheSelectionOrClearsTheLayer) {
  run("ActEditFill");
  auto alphaAt = [&](int32_t x, int32_t y) {
    return paper().getLayer(paper().currentLayerIndex())->image->getPixel(x, y) >> 24;
  };
  ASSERT_EQ(alphaAt(20, 20), 255u);
  TStroke stroke;
  ASSERT_TRUE(paper().maskFigureRect(window->window().flow(), paper().currentLayerIndex(), TPointF{10, 10},
                                     TPointF{30, 30}, 0, stroke, true));
  // Shortcuts reach the active window only.
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  window->viewport()->setFocus();
  QTest::keyClick(window->viewport(), Qt::Key_Delete);
  EXPECT_EQ(alphaAt(20, 20), 0u);
  EXPECT_EQ(alphaAt(40, 40), 255u);
  run("ActEditUndo");
  EXPECT_EQ(alphaAt(20, 20), 255u);
  run("ActSelCancel");
  QTest::keyClick(window->viewport(), Qt::Key_Backspace);
  EXPECT_EQ(alphaAt(40, 40), 0u);
}

TEST_F(MainFormCommandsTest, BatchModeDisablesEveryGatedCommand) {
  run("ActSelAll");
  form.setBatchMode(true);
  for (const char* name : {"ActLyrDup", "ActSelAll", "ActSelCancel", "ActSelInvert", "ActSelExp1", "ActMaskNew",
                           "ActMaskDup"})
    EXPECT_FALSE(enabled(name)) << name;
  for (const char* name :
       {"ActImgSize", "ActImgReso", "ActLyrRot", "ActLyrScale", "ActLyrOpt", "ActLyrClearA", "ActLyrFillA",
        "ActLyrInvertA", "ActLyrSel2A", "ActLyrSelDup", "ActLyrMergeV", "ActMaskOption", "ActMaskNewFromLyrA",
        "ActEditFill", "ActEditDelete", "ActViewSel", "ActViewFlipLyr", "ActViewNoLyr", "ActFilePrint",
        "ActFilePrintPreview", "ActLyrProtectA"})
    EXPECT_FALSE(enabled(name)) << name;
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

TEST_F(MainFormCommandsTest, ImageQuarterTurnsExchangeTheSizeAndUndoRestoresIt) {
  run("ActImgRot90");
  EXPECT_EQ(paper().width(), 48);
  EXPECT_EQ(paper().height(), 64);
  run("ActEditUndo");
  EXPECT_EQ(paper().width(), 64);
  EXPECT_EQ(paper().height(), 48);
  for (const char* name : {"ActImgFlipH", "ActImgFlipV", "ActImgInvert", "ActImgRot180", "actLyrFlipLR",
                           "actLyrFlipTB", "actLyrRot180", "ActLyrRot90", "ActLyrRot270"})
    EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(MainFormCommandsTest, CropNeedsASelectionAndKeepsItsBounds) {
  EXPECT_FALSE(enabled("ActImgTrim"));
  run("ActSelAll");
  run("ActImgTrim");
  EXPECT_EQ(paper().width(), 64);
  EXPECT_EQ(paper().height(), 48);
  // A selection moved wholly off the image crops nothing.
  ASSERT_TRUE(paper().offsetMask(TPoint{500, 0}, false));
  if (enabled("ActImgTrim")) form.actions().action("ActImgTrim")->trigger();
  EXPECT_EQ(paper().width(), 64);
  EXPECT_EQ(paper().height(), 48);
  // No layer reaches past the document yet.
  EXPECT_FALSE(enabled("ActLyrTrimOut"));
}

}  // namespace
}  // namespace pg

namespace pg {
namespace {

uint32_t alphaAt(TPaper& p, int x, int y) {
  const CLayerData& l = *p.getLayer(p.currentLayerIndex());
  return l.image->getPixel(x + l.offsetX, y + l.offsetY) >> 24;
}

TEST_F(MainFormCommandsTest, LayerTransparencyCommandsAndTheirUndo) {
  struct Step {
    const char* command;
    uint32_t alpha;  // at (0, 0) afterwards
  };
  const Step steps[] = {{"ActLyrClearA", 0}, {"ActLyrInvertA", 255}, {"ActLyrClearA", 0}, {"ActLyrFillA", 255}};
  for (const Step& s : steps) {
    run(s.command);
    EXPECT_EQ(alphaAt(paper(), 0, 0), s.alpha) << s.command;
  }
  run("ActEditUndo");
  EXPECT_EQ(alphaAt(paper(), 0, 0), 0u);
  // The selection becomes the alpha: everything selected, everything opaque.
  run("ActSelAll");
  run("ActLyrSel2A");
  EXPECT_EQ(alphaAt(paper(), 5, 5), 255u);
  // Protecting the alpha is a checked switch of the current layer.
  EXPECT_FALSE(form.actions().action("ActLyrProtectA")->isChecked());
  run("ActLyrProtectA");
  form.actions().updateAll();
  EXPECT_TRUE(form.actions().action("ActLyrProtectA")->isChecked());
}

TEST_F(MainFormCommandsTest, LayerVisibilityCommandsFollowTheCounts) {
  run("ActLyrDup");
  ASSERT_EQ(paper().layerCount(), 2);
  EXPECT_FALSE(enabled("ActViewAllLyr"));  // both visible
  EXPECT_TRUE(enabled("ActViewCurLyr"));
  EXPECT_TRUE(enabled("ActLyrMergeV"));
  run("ActViewCurLyr");
  EXPECT_EQ(paper().layers()->visibleCount(), 1);
  EXPECT_FALSE(enabled("ActViewCurLyr"));  // the current one is the only visible one
  EXPECT_FALSE(enabled("ActLyrMergeV"));
  run("ActViewNoLyr");
  EXPECT_EQ(paper().layers()->visibleCount(), 0);
  EXPECT_FALSE(enabled("ActViewNoLyr"));
  run("ActViewFlipLyr");
  EXPECT_EQ(paper().layers()->visibleCount(), 2);
  run("ActLyrMergeV");
  EXPECT_EQ(paper().layerCount(), 1);
  run("ActEditUndo");
  EXPECT_EQ(paper().layerCount(), 2);
}

TEST_F(MainFormCommandsTest, ViewSwitchesAreCheckedAndGated) {
  struct Switch {
    const char* name;
    std::function<bool(TPaper&)> state;
  };
  const Switch switches[] = {{"ActViewGrid", [](TPaper& p) { return p.view().showGrid(); }},
                             {"ActViewCanvasCol", [](TPaper& p) { return p.showCanvasColor(); }}};
  for (const Switch& s : switches) {
    const bool before = s.state(paper());
    run(s.name);
    EXPECT_NE(s.state(paper()), before) << s.name;
    form.actions().updateAll();
    EXPECT_EQ(form.actions().action(s.name)->isChecked(), s.state(paper())) << s.name;
    run(s.name);
    EXPECT_EQ(s.state(paper()), before) << s.name;
  }
  // The transparency pattern only while the canvas colour is hidden; the
  // canvas colour switch only over white paper; the outline with a selection.
  ASSERT_TRUE(paper().showCanvasColor());
  EXPECT_FALSE(enabled("ActViewBGPat"));
  run("ActViewCanvasCol");
  EXPECT_TRUE(enabled("ActViewBGPat"));
  paper().setPaperColorValue(PaperColor::fromPixel(0x808080));
  EXPECT_FALSE(enabled("ActViewCanvasCol"));
  EXPECT_FALSE(enabled("ActViewSel"));
  run("ActSelAll");
  EXPECT_TRUE(enabled("ActViewSel"));
  // Repeat waits for a first filter.
  EXPECT_FALSE(enabled("ActFilterRepeat"));
  for (const char* name : {"actFilterGauss", "actFilterFloor", "actFilterMono", "actFilterGradateMap", "ActEditDens2A"})
    EXPECT_TRUE(enabled(name)) << name;
  // After a filter the Repeat item names it; greyscale leaves it so.
  run("actFilterNega");
  run("actFilterMono");
  form.actions().updateAll();
  EXPECT_TRUE(enabled("ActFilterRepeat"));
  EXPECT_EQ(form.actions().action("ActFilterRepeat")->text().toStdString(), "色調反転(&L)");
  resetFilterRepeat();
}

}  // namespace
}  // namespace pg

#include <QApplication>
#include <QMouseEvent>

#include "canvas/canvas_shared.h"
#include "canvas/view_layout.h"
#include "toolwin/navigator_model.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

TEST_F(MainFormCommandsTest, TheInformationPanelFollowsTheDragsOfTheCanvas) {
  TDrawWindow& w = window->window();
  QWidget* view = window->viewport();
  const CInfoModel& info = form.toolWindow()->infoPanel()->model();
  auto at = [&](float x, float y) {
    const TPointF p = w.imageToClient({x, y});
    return QPoint(qRound(p.X), qRound(p.Y));
  };
  auto move = [&](QPoint p) {
    QMouseEvent e(QEvent::MouseMove, p, p, view->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
  };
  const float z = paper().zoomValue();
  // A layer move: its offset as U and V.
  ASSERT_TRUE(w.shared().selectTool(ToolId::LayerMove));
  QTest::mousePress(view, Qt::LeftButton, {}, at(40, 30));
  move(at(45, 32));
  move(at(50, 34));
  EXPECT_EQ(info.texts().opt1Caption, "U");
  EXPECT_EQ(info.texts().opt2Caption, "V");
  EXPECT_NEAR(std::stof(info.texts().opt1), 10.0f, 1.0f);
  EXPECT_NEAR(std::stof(info.texts().opt2), 4.0f, 1.0f);
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(50, 34));
  // A crop rectangle: its start, then its size.
  ASSERT_TRUE(w.shared().selectTool(ToolId::Crop));
  QTest::mousePress(view, Qt::LeftButton, {}, at(10, 8));
  EXPECT_NEAR(std::stof(info.texts().selX), 10.0f, 1.0f / z + 0.01f);
  EXPECT_NEAR(std::stof(info.texts().selY), 8.0f, 1.0f / z + 0.01f);
  move(at(20, 14));
  move(at(30, 20));
  EXPECT_NEAR(std::stof(info.texts().selW), 20.0f, 1.0f / z + 0.01f);
  EXPECT_NEAR(std::stof(info.texts().selH), 12.0f, 1.0f / z + 0.01f);
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(30, 20));
}

TEST_F(MainFormCommandsTest, CropToTheSelectionFitsThePictureWhenThePreferenceAsks) {
  TDrawWindow& w = window->window();
  for (const int32_t adjust : {7, 1}) {
    SCOPED_TRACE(adjust);
    w.shared().prefs.autoSizeAdjust = adjust;
    w.setZoomCentred(1, 1);
    ASSERT_TRUE(paper().maskFigureRect(w.flow(), 0, {4, 4}, {24, 14}, 0, w.shared().toolStroke(), true));
    const float before = paper().zoomValue();
    run("ActImgTrim");
    ASSERT_EQ(paper().width(), 20);
    const SRatio fit = fitRatio(SSize{20, 10}, w.clientSize(), 0.0f, 1.0f, true);
    if (adjust == 1)
      EXPECT_FLOAT_EQ(paper().zoomValue(), std::min(16.0f, static_cast<float>(fit.Num) / static_cast<float>(fit.Den)));
    else
      EXPECT_FLOAT_EQ(paper().zoomValue(), before);
    run("ActEditUndo");
  }
}

TEST_F(MainFormCommandsTest, AQuarterTurnOfAnOblongLayerStillCoversTheDocument) {
  // The 64 x 48 layer turned about the centre leaves the document's left and
  // right columns uncovered: the rebuilt layer is trimmed to the document,
  // never less, so painting still reaches every pixel of it.
  TDrawWindow& w = window->window();
  ASSERT_TRUE(paper().maskFigureRect(w.flow(), 0, {28, 20}, {36, 28}, 0, w.shared().toolStroke(), true));
  ASSERT_TRUE(paper().fillLayerColor(w.flow(), 0, 0xFF0000u, w.shared().toolStroke(), true, true));
  run("ActSelCancel");
  run("ActLyrRot90");
  const CLayerData& l = *paper().getLayer(paper().currentLayerIndex());
  const TRect r = l.imageRect();
  EXPECT_LE(r.Left, 0);
  EXPECT_LE(r.Top, 0);
  EXPECT_GE(r.Right, 64);
  EXPECT_GE(r.Bottom, 48);
  auto at = [&](int x, int y) { return l.image->getPixel(x + l.offsetX, y + l.offsetY); };
  EXPECT_EQ(at(32, 24) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(at(2, 24) >> 24, 0u);  // uncovered by the turn: transparent, but there
  EXPECT_EQ(at(10, 24) >> 24, 255u);
  // Painting reaches the uncovered columns.
  ASSERT_TRUE(paper().maskFigureRect(w.flow(), 0, {0, 0}, {4, 48}, 0, w.shared().toolStroke(), true));
  ASSERT_TRUE(paper().fillLayerColor(w.flow(), 0, 0x00FF00u, w.shared().toolStroke(), true, true));
  EXPECT_EQ(at(2, 24), 0xFF00FF00u);
}

}  // namespace
}  // namespace pg
