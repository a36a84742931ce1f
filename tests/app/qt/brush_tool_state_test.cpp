// The brushes as a new user meets them, through the tool window's buttons
// and the options panel: each brush tool starts at the size its stroke tool
// starts at; the size field is a radius, as in the brush editor, and a
// stroke at radius r is 2r wide; what is kept when the tool changes; and the
// strokes drawn so replay to the same pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include "app/app_profile.h"
#include "app/qt/main_form.h"
#include "brush/stroke_settings.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "replay/replay_compare.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "toolwin/tool_options.h"
#include "toolwin/tool_tables.h"

namespace pg {
namespace {

class BrushToolState : public ::testing::Test {
 protected:
  BrushToolState() {
    form.resize(1000, 800);
    form.show();
    window = form.newDrawWindow("brushes", 200, 120, 72);
  }
  ~BrushToolState() override {
    if (window != nullptr) window->window().exchangeModified(false);
    resetAppProfile();
  }

  TToolForm& tools() { return *form.toolWindow(); }
  TToolOptionsPanel& panel() { return *tools().optionsPanel(); }
  void clickButton(int button) { QTest::mouseClick(tools().toolButton(button), Qt::LeftButton, {}, QPoint(6, 6)); }
  // Types a value into a field and leaves it with Enter, as a user does.
  static void typeInto(QAbstractSpinBox* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  double sizeShown() { return panel().sizeEdit()->value(); }
  // A horizontal stroke by the mouse across the picture at image row y.
  void strokeAt(float y) {
    QWidget* view = window->viewport();
    const TPointF a = window->window().imageToClient({30.0f, y}), b = window->window().imageToClient({170.0f, y});
    const QPoint from(int(a.X), int(a.Y)), to(int(b.X), int(b.Y));
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 10; ++i) QTest::mouseMove(view, from + (to - from) * i / 10);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  }
  // How many rows of the picture's column x the strokes changed.
  int paintedRows(int32_t x) {
    TPaper& doc = window->window().paper();
    doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, false);
    int rows = 0;
    for (int32_t y = 0; y < doc.height(); ++y) rows += (doc.composite().getPixel(x, y) & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    return rows;
  }

  // The application and fresh preferences come before the main window.
  bool ready_ = [] {
    testing::ensureQtApp();
    resetAppProfile();
    return true;
  }();
  RecordingMessageService messages;
  ScopedMessageService scope{messages};
  TMainForm form;
  TDrawWindowWidget* window = nullptr;
};

// What each brush button starts with when no brush set was ever saved: the
// starting width of its tool's stroke settings, the pencil's one pixel too.
TEST_F(BrushToolState, EachBrushStartsAtTheStartingSizeOfItsTool) {
  ASSERT_NE(window, nullptr);
  struct SCase {
    int button;
    uint8_t strokeKind;
  };
  const SCase cases[] = {{0, 0}, {1, 3}, {2, 1}, {3, 5}, {4, 2}, {5, 7}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.button);
    clickButton(c.button);
    ASSERT_EQ(tools().model().toolMode(), toolButtonDef(c.button).defaultMode);
    SPenSetting start;
    ASSERT_TRUE(strokeDefaults(start, c.strokeKind));
    EXPECT_FLOAT_EQ(float(sizeShown()), start.WIDTH);
    EXPECT_FLOAT_EQ(window->window().shared().toolStroke().WIDTH, start.WIDTH) << "the next stroke paints at it";
  }
  EXPECT_GT(sizeShown(), 1.0) << "not every brush at one pixel";
}

// The field is called what the brush editor calls the same value, and a
// stroke at radius 20 is 40 pixels wide; the strokes replay alike.
TEST_F(BrushToolState, TheSizeIsARadiusInThePanelAsInTheEditorAndPaintsTwiceItsValue) {
  ASSERT_NE(window, nullptr);
  clickButton(0);
  auto caption = [](uint32_t id) {
    QString s = QString::fromStdString(resString(id));
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    return s.remove(QLatin1Char('&'));
  };
  bool named = false;
  for (const QLabel* l : panel().findChildren<QLabel*>()) named |= !l->isHidden() && l->text() == caption(68027);
  EXPECT_TRUE(named) << "the panel's size field is named as the editor's radius";

  for (const double radius : {20.0, 6.0}) {
    SCOPED_TRACE(radius);
    typeInto(panel().sizeEdit(), QString::number(radius));
    ASSERT_DOUBLE_EQ(sizeShown(), radius);
    EXPECT_FLOAT_EQ(window->window().shared().toolStroke().WIDTH, float(radius));
    const int before = paintedRows(100);
    strokeAt(radius > 10.0 ? 40.0f : 95.0f);
    EXPECT_NEAR(paintedRows(100) - before, 2.0 * radius, 2.0) << "a radius paints twice its value";
  }
  test::expectReplaysAlike(window->window().paper(), "strokes at the sizes typed into the panel");
}

// A change to the brush lives as long as the brush is the working one: a
// tool change loads the stored brush again, unless the change was saved
// with the save-settings button or the preferences save every change.
TEST_F(BrushToolState, ABrushChangeOutlivesAToolChangeWhenSavedOrSavedAutomatically) {
  ASSERT_NE(window, nullptr);
  auto* spacing = qobject_cast<QDoubleSpinBox*>(panel().fieldControl(kFieldSpacing));
  clickButton(2);  // the watercolour
  const double start = sizeShown();
  ASSERT_NE(spacing, nullptr);
  const double startSpacing = spacing->value();
  struct SCase {
    const char* how;
    bool save, autoSave, kept;
  };
  const SCase cases[] = {{"not saved", false, false, false},
                         {"the save-settings button", true, false, true},
                         {"saved automatically", false, true, true}};
  double size = start + 3.0;
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.how);
    tools().toolOptions().setAutoSave(c.autoSave);
    const double before = sizeShown();
    const double spacingBefore = spacing->value();
    typeInto(panel().sizeEdit(), QString::number(size));
    typeInto(spacing, QString::number(spacingBefore + 7));
    ASSERT_DOUBLE_EQ(sizeShown(), size);
    if (c.save) {
      ASSERT_TRUE(panel().saveButton()->isEnabled());
      QTest::mouseClick(panel().saveButton(), Qt::LeftButton);
    }
    clickButton(3);  // the airbrush, then back
    EXPECT_NE(sizeShown(), size);
    clickButton(2);
    EXPECT_DOUBLE_EQ(sizeShown(), c.kept ? size : before);
    EXPECT_EQ(spacing->value(), c.kept ? spacingBefore + 7 : spacingBefore);
    EXPECT_FLOAT_EQ(window->window().shared().toolStroke().WIDTH, float(sizeShown()));
    size += 3.0;
  }
  EXPECT_NE(startSpacing, spacing->value());
}

}  // namespace
}  // namespace pg
