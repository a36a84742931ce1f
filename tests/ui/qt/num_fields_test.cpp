#include "ui/qt/num_fields.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QTest>
#include <QWidget>

#include "test_support/qt_app.h"
#include "ui/qt/app_event_router.h"

namespace pg {
namespace num_fields_test {

struct QtAppFirst {
  QtAppFirst() { testing::ensureQtApp(); }
};

class NumFieldsTest : public ::testing::Test, private QtAppFirst {
 protected:
  void SetUp() override {
    form = std::make_unique<QWidget>();
    form->setGeometry(0, 0, 300, 200);
    form->show();
    QApplication::setActiveWindow(form.get());
  }
  void TearDown() override {
    form.reset();
    freeSharedCaptureEdits();
  }
  std::unique_ptr<QWidget> form;
  TNumMngr model;
};

TEST_F(NumFieldsTest, TypingBeyondTheRangeClampsTheModelAndLeavingReformats) {
  auto* edit = new TNumEdit(form.get());
  auto* other = new TNumEdit(form.get());
  other->move(0, 40);
  edit->setAssociate(&model);
  TNumLabel label(form.get());
  label.setAssociate(&model);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "3x00");
  EXPECT_EQ(model.value(), 255);
  EXPECT_EQ(edit->text(), "300") << "the field is not reformatted under the user";
  EXPECT_EQ(label.caption(), "255");
  // Leaving the field (the offscreen platform does not always move the
  // focus between windows, so the event is sent as the focus change would).
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &out);
  EXPECT_EQ(edit->text(), "255");
}

TEST_F(NumFieldsTest, ArrowsAndWheelStep) {
  auto* edit = new TNumEdit(form.get());
  edit->setAssociate(&model);
  model.setValue(100);
  edit->setFocus();
  struct {
    int key;
    Qt::KeyboardModifiers mods;
    float expect;
  } cases[] = {{Qt::Key_Up, Qt::NoModifier, 101}, {Qt::Key_Up, Qt::ShiftModifier, 111},
               {Qt::Key_Down, Qt::NoModifier, 110}, {Qt::Key_Down, Qt::ShiftModifier, 100}};
  for (const auto& c : cases) {
    QTest::keyClick(edit, static_cast<Qt::Key>(c.key), c.mods);
    EXPECT_EQ(model.value(), c.expect);
  }
  QWheelEvent up(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::ShiftModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit, &up);
  EXPECT_EQ(model.value(), 110);
  EXPECT_EQ(edit->text(), "110");
}

TEST_F(NumFieldsTest, CutAndPaste) {
  auto* edit = new TNumEdit(form.get());
  model.setValueDefault(7);
  model.setValue(255);
  edit->setAssociate(&model);
  edit->setFocus();
  edit->setSelection(2, 1);  // the last "5"
  edit->cut();
  EXPECT_EQ(model.value(), 25) << "what is left of a partial cut is the value";
  edit->selectAll();
  edit->cut();
  EXPECT_EQ(model.value(), 7) << "an emptied field falls back to the default";
  EXPECT_EQ(edit->text(), "7");
  QApplication::clipboard()->setText("42");
  edit->selectAll();
  edit->paste();
  EXPECT_EQ(model.value(), 42);
}

TEST_F(NumFieldsTest, NumLabelEditAcceptsOrRestores) {
  TNumLabelEdit label(form.get());
  label.setGeometry(10, 10, 50, 20);
  label.show();
  TNumLabel watcher(form.get());
  watcher.setAssociate(&model);
  label.setAssociate(&model);
  model.setValue(10);
  struct {
    Qt::Key key;
    float expect;
  } cases[] = {{Qt::Key_Escape, 10}, {Qt::Key_Return, 77}, {Qt::Key_Tab, 77}};
  for (const auto& c : cases) {
    model.setValue(10);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(label.isEditing());
    TCaptureNumEdit& ed = sharedCaptureNumEdit();
    ASSERT_TRUE(ed.isVisible());
    ed.selectAll();
    QTest::keyClicks(&ed, "77");
    EXPECT_EQ(watcher.caption(), "77") << "listeners show the typed value at once";
    QTest::keyClick(&ed, c.key);
    EXPECT_FALSE(label.isEditing());
    EXPECT_FALSE(ed.isVisible());
    EXPECT_EQ(model.value(), c.expect) << c.key;
    EXPECT_EQ(CAppEventRouter::instance().top(), nullptr);
  }
}

TEST_F(NumFieldsTest, ClickOutsideAcceptsAndIsConsumed) {
  TLabelEdit label(form.get());
  label.setGeometry(10, 10, 80, 20);
  label.setCaption("Layer 1");
  label.show();
  int changes = 0;
  label.OnChange = [&] { ++changes; };
  TLabelEdit below(form.get());
  below.setGeometry(10, 60, 80, 20);
  below.show();
  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(label.isEditing());
  TCaptureEdit& ed = sharedCaptureEdit();
  ed.selectAll();
  QTest::keyClicks(&ed, "Ink");
  QTest::mouseClick(&below, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(label.isEditing());
  EXPECT_EQ(label.caption(), "Ink");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(below.isEditing()) << "the click did not reach the control under it";
}

TEST_F(NumFieldsTest, TextLabelEditKeys) {
  TLabelEdit label(form.get());
  label.setGeometry(10, 10, 80, 20);
  label.setCaption("old");
  label.show();
  struct {
    Qt::Key key;
    const char* caption;
  } cases[] = {{Qt::Key_Escape, "old"}, {Qt::Key_Space, "new"}};
  for (const auto& c : cases) {
    label.setCaption("old");
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    TCaptureEdit& ed = sharedCaptureEdit();
    ed.selectAll();
    QTest::keyClicks(&ed, "new");
    QTest::keyClick(&ed, c.key);
    EXPECT_EQ(label.caption(), c.caption);
    EXPECT_FALSE(label.isEditing());
  }
}

TEST_F(NumFieldsTest, CtrlShortcutsAreBlockedWhileEditing) {
  int saves = 0, plain = 0;
  QAction save(form.get()), f5(form.get());
  save.setShortcut(QKeySequence("Ctrl+S"));
  f5.setShortcut(QKeySequence("F5"));
  save.setShortcutContext(Qt::ApplicationShortcut);
  f5.setShortcutContext(Qt::ApplicationShortcut);
  form->addAction(&save);
  form->addAction(&f5);
  QObject::connect(&save, &QAction::triggered, [&] { ++saves; });
  QObject::connect(&f5, &QAction::triggered, [&] { ++plain; });
  TLabelEdit label(form.get());
  label.setGeometry(10, 10, 80, 20);
  label.show();
  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
  TCaptureEdit& ed = sharedCaptureEdit();
  QTest::keyClick(&ed, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(&ed, Qt::Key_F5);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(plain, 1);
  EXPECT_TRUE(label.isEditing());
  CAppEventRouter::instance().applicationDeactivated();
  EXPECT_FALSE(label.isEditing()) << "leaving the application accepts";
}

}  // namespace num_fields_test
}  // namespace pg
