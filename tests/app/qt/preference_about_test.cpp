// The preferences dialog (values in and out, Initialize, Cancel, the pages,
// keeping the values across a restart) and the about box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

#include "app/about_info.h"
#include "app/app_profile.h"
#include "app/qt/about_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/preference_dialog.h"
#include "app/qt/print_dialog.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/temporary_tools.h"
#include "document/paper.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "platform/settings_store.h"
#include "toolwin/qt/tool_cursor_art.h"
#include "toolwin/qt/tool_form.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
  T* w = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

// Opens the preferences through the menu command; `inside` runs on the dialog,
// which then closes with OK or Cancel.
void editPreferences(TMainForm& form, std::function<void(TFormPreference&)> inside, bool ok) {
  QTimer::singleShot(0, [inside, ok] {
    auto* d = qobject_cast<TFormPreference*>(QApplication::activeModalWidget());
    if (d == nullptr) {
      ADD_FAILURE() << "no preferences dialog";
      return;
    }
    inside(*d);
    if (ok)
      d->accept();
    else
      d->reject();
  });
  form.actions().updateAll();
  form.actions().action("ActEditOpt")->trigger();
}

class PreferenceDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    resetAppProfile();
  }
  void TearDown() override { resetAppProfile(); }
};

TEST_F(PreferenceDialog, ChangedValuesAreKeptAcrossARestart) {
  // The nib set named in the dialog exists: a start that finds no file
  // clears the preference.
  testing::TempFolder folder;
  const std::string nibSet = folder.file("pens.psh");
  CPenShapeMngr nibs;
  nibs.addDefaults();
  ASSERT_TRUE(nibs.saveToFile(nibSet));
  CSettingsStore store;
  {
    TMainForm form;
    editPreferences(
        form,
        [&nibSet](TFormPreference& d) {
          child<QSpinBox>(d, "EdtUndo")->setValue(20);
          child<QComboBox>(d, "CmbMButtonProc")->setCurrentIndex(3);
          child<QCheckBox>(d, "ChkToolFindNext")->setChecked(true);
          child<QRadioButton>(d, "RadDrawCursorP")->setChecked(true);
          child<QSpinBox>(d, "NumGridX")->setValue(16);
          child<QDoubleSpinBox>(d, "NumGridOpaque")->setValue(100);
          child<QCheckBox>(d, "ChkImageIOOtherPath")->setChecked(true);
          child<QCheckBox>(d, "ChkUseLastFile")->setChecked(false);
          child<QLineEdit>(d, "EdtPSH")->setText(QString::fromStdString(nibSet));
        },
        true);
    ASSERT_TRUE(appProfile().save(store));
  }
  // The program starts again and reads the settings file it wrote.
  CSettingsStore reread;
  ASSERT_TRUE(reread.parse(store.serialize()));
  resetAppProfile();
  ASSERT_TRUE(appProfile().load(reread));
  CAppProfile& p = appProfile();
  EXPECT_EQ(p.undoMax, 20);
  EXPECT_EQ(p.mouseMBtnFunc, 3);
  EXPECT_FALSE(p.ToolFindNext);  // the box shows the inverse
  EXPECT_EQ(p.DrawToolCursor, 1);
  EXPECT_EQ(p.gridW, 16);
  EXPECT_EQ(p.GridColor >> 24, 255u);
  EXPECT_EQ(p.FileIODir, 3u);
  EXPECT_FALSE(p.UseLastFile);
  EXPECT_EQ(p.nibFile, nibSet);
  // And the dialog shows them again.
  TMainForm form;
  editPreferences(
      form,
      [&nibSet](TFormPreference& d) {
        EXPECT_EQ(child<QSpinBox>(d, "EdtUndo")->value(), 20);
        EXPECT_TRUE(child<QRadioButton>(d, "RadDrawCursorP")->isChecked());
        EXPECT_FALSE(child<QLineEdit>(d, "EdtCursorPath")->isEnabled());
        EXPECT_TRUE(child<QLineEdit>(d, "EdtPSH")->isEnabled());
        EXPECT_EQ(child<QLineEdit>(d, "EdtPSH")->text(), QString::fromStdString(nibSet));
      },
      false);
}

TEST_F(PreferenceDialog, CancelAfterInitializeChangesNothing) {
  CAppProfile& p = appProfile();
  p.undoMax = 77;
  p.gridW = 9;
  p.GridColor = 0x00ABCDEFu;
  testing::TempFolder folder;
  CPenMethodMngr brushes;
  ASSERT_GT(brushes.addMissingKinds(), 0);
  ASSERT_TRUE(brushes.saveToFile(folder.file("b.pmt")));
  p.brushFile = folder.file("b.pmt");
  p.UseLastFile = false;
  const CAppProfile before = p;
  TMainForm form;
  editPreferences(
      form,
      [](TFormPreference& d) {
        // A grid colour without opacity shows 50 %.
        EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(d, "NumGridOpaque")->value(), 50.0);
        QTest::mouseClick(child<QPushButton>(d, "BtnInitialize"), Qt::LeftButton);
        EXPECT_EQ(child<QSpinBox>(d, "EdtUndo")->value(), 8);
        EXPECT_EQ(child<QSpinBox>(d, "NumGridX")->value(), 32);
        EXPECT_TRUE(child<QCheckBox>(d, "ChkUseLastFile")->isChecked());
        EXPECT_TRUE(child<QLineEdit>(d, "EdtPMT")->text().isEmpty());
        EXPECT_FALSE(child<QLineEdit>(d, "EdtPMT")->isEnabled());
      },
      false);
  EXPECT_EQ(p.undoMax, before.undoMax);
  EXPECT_EQ(p.gridW, before.gridW);
  EXPECT_EQ(p.GridColor, before.GridColor);
  EXPECT_EQ(p.brushFile, before.brushFile);
  EXPECT_EQ(p.UseLastFile, before.UseLastFile);
  // Initialize then OK writes the defaults.
  editPreferences(
      form, [](TFormPreference& d) { QTest::mouseClick(child<QPushButton>(d, "BtnInitialize"), Qt::LeftButton); },
      true);
  EXPECT_EQ(p.undoMax, 8);
  EXPECT_EQ(p.GridColor, 0x80000000u);
}

TEST_F(PreferenceDialog, PagesAndEnablingRules) {
  TFormPreference d(SPreferenceValues::load(appProfile()));
  QListWidget* pages = child<QListWidget>(d, "LstPage");
  ASSERT_EQ(pages->count(), 5);
  for (int i = 0; i < 4; ++i) {
    pages->setCurrentRow(i);
    EXPECT_EQ(d.shownPage(), i);
  }
  pages->setCurrentRow(4);  // the AVI page is never shown
  EXPECT_EQ(d.shownPage(), -1);
  QCheckBox* ghost = child<QCheckBox>(d, "ChkBrushGhost");
  QCheckBox* centre = child<QCheckBox>(d, "ChkGhostCenter");
  ghost->setChecked(false);
  EXPECT_FALSE(centre->isEnabled());
  ghost->setChecked(true);
  EXPECT_TRUE(centre->isEnabled());
  QCheckBox* autoSize = child<QCheckBox>(d, "ChkAutoSize");
  autoSize->setChecked(false);
  EXPECT_FALSE(child<QCheckBox>(d, "ChkAutoSizeOnlyZoomOut")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>(d, "ChkAutoSizeOnlyEvent")->isEnabled());
  child<QRadioButton>(d, "RadDrawCursorS")->setChecked(true);
  EXPECT_TRUE(child<QPushButton>(d, "BtnCursorPath")->isEnabled());
}

// Every preference that takes effect at once, set through the dialog and
// checked on a document window: each case names the control, the value
// the dialog gets, and what the window shows before and after.
TEST_F(PreferenceDialog, EachPreferenceTakesEffectOnTheOpenWindowAtOnce) {
  TMainForm form;
  form.resize(800, 600);
  form.show();
  TDrawWindowWidget* w = form.newDrawWindow("a", 64, 48, 72);
  ASSERT_NE(w, nullptr);
  TDrawWindow& win = w->window();
  TPaper& paper = win.paper();
  QWidget* view = w->viewport();
  auto clientOf = [&win](float x, float y) {
    TPointF c = win.imageToClient({x, y});
    return QPoint(int(c.X), int(c.Y));
  };
  // Steps the window can undo after n fills.
  auto undoSteps = [&form](int fills) {
    for (int i = 0; i < fills; ++i) {
      form.actions().updateAll();
      form.actions().action("ActEditFill")->trigger();
    }
    int steps = 0;
    for (;;) {
      form.actions().updateAll();
      if (!form.actions().action("ActEditUndo")->isEnabled() || steps > 20) break;
      form.actions().action("ActEditUndo")->trigger();
      ++steps;
    }
    return steps;
  };
  // The colour a right click picks from the middle of the picture.
  auto rightClickPicks = [&] {
    form.canvas().selectMode(ToolMode::Pencil);
    form.canvas().setMainColor(0x123456);
    QTest::mouseClick(view, Qt::RightButton, {}, clientOf(32, 24));
    return form.canvas().mainColor() != 0x123456;
  };
  // The tool a middle-button press borrows while it is held.
  auto middleTool = [&] {
    form.canvas().selectMode(ToolMode::Pencil);
    const QPoint at = clientOf(32, 24);
    QTest::mousePress(view, Qt::MiddleButton, {}, at);
    ToolId held = form.canvas().currentTool();
    QTest::mouseRelease(view, Qt::MiddleButton, {}, at);
    return held;
  };
  auto gridPixel = [&paper] { return planeImage(paper.composite()).pixel(0, 7) & 0xFFFFFFu; };

  struct Case {
    const char* control;
    double value;
    std::function<std::string()> effect;
    std::string before, after;
  };
  paper.setName("/pictures/day/one.kci");
  win.updateTitle();
  paper.setGridSize(true, 32, 32, true);
  auto text = [](auto v) { return std::to_string(v); };
  const Case cases[] = {
      {"EdtUndo", 3, [&] { return text(undoSteps(5)); }, "5", "3"},
      {"NumGridX", 16, [&] { return text(paper.view().gridX()); }, "32", "16"},
      // Black at half opacity turns grey; red, red at half and then at full opacity.
      {"BoxGridColor", 0xFF0000, [&] { return qRed(gridPixel()) > qGreen(gridPixel()) + 64 ? "red" : "grey"; }, "grey",
       "red"},
      {"NumGridOpaque", 100, [&] { return text(gridPixel() == 0xFF0000u); }, "0", "1"},
      {"ChkDispFullPath", 1, [&] { return w->windowTitle().toStdString(); }, "one.kci", "/pictures/day/one.kci"},
      {"ChkRightButton", 0, [&] { return text(rightClickPicks()); }, "1", "0"},
      {"CmbMButtonProc", 1, [&] { return text(int(middleTool())); }, text(int(middleButtonTool(0))),
       text(int(middleButtonTool(1)))},
      {"ChkUseAutoScroll", 1, [&] { return text(win.shared().prefs.useAutoScroll); }, "0", "1"},
      {"ChkDispScrollBar", 1, [&] { return text(int(w->horizontalScrollBarPolicy())); },
       text(int(Qt::ScrollBarAlwaysOff)), text(int(Qt::ScrollBarAlwaysOn))},
      {"RadOtherCursorT", 1,
       [&] {
         // The screen cursor the tool window makes of the window's choice.
         form.canvas().selectTool(ToolId::Gradation);
         return text(form.toolWindow()->cursors().rows().screenCursorOf(win.cursorAt({0, 0})));
       },
       "5", "34"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.effect(), c.before) << c.control;
    editPreferences(
        form,
        [&c](TFormPreference& d) {
          SPreferenceValues v = d.values();
          v.setNumber(c.control, c.value);
          d.showValues(v);
        },
        true);
    EXPECT_EQ(c.effect(), c.after) << c.control;
  }
}

TEST(AboutBox, ShowsMemoryAndClosesOnAnyClickOrKey) {
  testing::ensureQtApp();
  SMemoryStatus m;
  m.physicalUsed = 1536;
  m.physicalTotal = 1023;
  TFormAbout box(m);
  bool found = false;
  for (QLabel* l : box.findChildren<QLabel*>())
    found = found || l->text() == QStringLiteral("1.50 KB / 1023 B");
  EXPECT_TRUE(found);
  struct Close {
    const char* how;
    std::function<void(TFormAbout&)> act;
  };
  const Close ways[] = {
      {"click on the box", [](TFormAbout& b) { QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(2, 2)); }},
      {"click on the picture",
       [](TFormAbout& b) { QTest::mouseClick(b.findChild<QLabel*>(QStringLiteral("BoxImage")), Qt::LeftButton); }},
      {"Enter", [](TFormAbout& b) { QTest::keyClick(&b, Qt::Key_Return); }},
      {"Esc", [](TFormAbout& b) { QTest::keyClick(&b, Qt::Key_Escape); }},
  };
  for (const Close& c : ways) {
    TFormAbout b(m);
    b.show();
    c.act(b);
    EXPECT_EQ(b.result(), QDialog::Accepted) << c.how;
    EXPECT_FALSE(b.isVisible()) << c.how;
  }
}

}  // namespace
}  // namespace pg
