#include "ui/qt/nib_editor_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>

#include "test_support/qt_app.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace nib_editor_widget_test {

struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

class NibEditorWidgetTest : public ::testing::Test, private QtAppFirst {
 protected:
  void SetUp() override {
    form = std::make_unique<QWidget>();
    form->setGeometry(0, 0, 200, 150);
    editor = new TAspectRotation(form.get());
    editor->move(10, 10);
    form->show();
    QApplication::setActiveWindow(form.get());
    editor->OnChange = [this] { ++changes; };
    editor->OnPreview = [this] {
      ++previews;
      EXPECT_EQ(editor->preview().pixels()[0], 0xFFFFFFFFu) << "the preview is cleared for the owner";
      editor->preview().fillRect({0, 0, 4, 4}, 0xFF0000FFu, copyChannel, copyChannel);
    };
  }
  void TearDown() override {
    form.reset();
    freeSharedCaptureEdits();
  }
  QPoint centreOf(const TRect& r) const { return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  std::unique_ptr<QWidget> form;
  TAspectRotation* editor = nullptr;
  int changes = 0, previews = 0;
};

TEST_F(NibEditorWidgetTest, DraggingHandlesChangesTheValues) {
  editor->setValues(true, 0, 0, 0, 0, 50, 10);
  changes = previews = 0;
  const QPoint radius(77, 38);
  QTest::mousePress(editor, Qt::LeftButton, {}, radius);
  QTest::mouseMove(editor, radius + QPoint(4, 0));
  QTest::mouseRelease(editor, Qt::LeftButton, {}, radius + QPoint(4, 0));
  EXPECT_FLOAT_EQ(editor->state().maxRadius(), 14);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(changes, previews);
  // The shape handle dragged to the left of the centre at half the radius.
  const SNibGeometry g = editor->geometry();
  const QPoint shape(45, 70);
  QTest::mousePress(editor, Qt::LeftButton, {}, shape);
  const QPoint to(static_cast<int>(g.centre.X) + 2 - 16, static_cast<int>(g.centre.Y) + 2);
  QTest::mouseMove(editor, to);
  QTest::mouseRelease(editor, Qt::LeftButton, {}, to);
  EXPECT_NEAR(editor->valueA(), 50, 2);
  EXPECT_FLOAT_EQ(editor->valueB(), 90);
  // A double-click on the preview resets both.
  QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FLOAT_EQ(editor->valueA(), 0);
  EXPECT_FLOAT_EQ(editor->valueB(), 0);
  // Read-only, it takes nothing.
  editor->setReadOnly(true);
  editor->setRotation(45);
  QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FLOAT_EQ(editor->valueB(), 45);
}

TEST_F(NibEditorWidgetTest, LabelEditsAcceptNormaliseOrRestore) {
  editor->setFlatteningAndRotation(10, 20);
  struct {
    uint8_t part;
    const char* typed;
    Qt::Key key;
    float flattening, rotation;
  } cases[] = {{npAngleLabel, "75", Qt::Key_Escape, 10, 20},
               {npAngleLabel, "180", Qt::Key_Return, 10, -180},
               {npFlatLabel, "150", Qt::Key_Return, 99, 20},
               {npFlatLabel, "42", Qt::Key_Escape, 10, 20}};
  for (const auto& c : cases) {
    editor->setFlatteningAndRotation(10, 20);
    const TRect r = c.part == npFlatLabel ? editor->layout().flatLabel : editor->layout().angleLabel;
    ASSERT_EQ(editor->partAt(centreOf(r)), c.part);
    QTest::mouseClick(editor, Qt::LeftButton, {}, centreOf(r));
    ASSERT_TRUE(editor->isEditingLabel());
    TCaptureNumEdit& ed = sharedCaptureNumEdit();
    ASSERT_TRUE(ed.isVisible());
    ed.selectAll();
    QTest::keyClicks(&ed, c.typed);
    QTest::keyClick(&ed, c.key);
    EXPECT_FALSE(editor->isEditingLabel());
    EXPECT_FLOAT_EQ(editor->valueA(), c.flattening) << c.typed;
    EXPECT_FLOAT_EQ(editor->valueB(), c.rotation) << c.typed;
  }
}

TEST_F(NibEditorWidgetTest, CornerButtons) {
  QPoint asked(-1, -1);
  editor->OnNibList = [&](QPoint p) { asked = p; };
  const QPoint right = centreOf(editor->layout().rightButton);
  QTest::mouseClick(editor, Qt::LeftButton, {}, right);
  EXPECT_EQ(asked, QPoint(-1, -1)) << "hidden, the nib-list button asks nothing";
  editor->setOption2(true);
  editor->ListBlocked = true;
  QTest::mouseClick(editor, Qt::LeftButton, {}, right);
  EXPECT_EQ(asked, QPoint(-1, -1));
  editor->ListBlocked = false;
  QTest::mouseClick(editor, Qt::LeftButton, {}, right);
  EXPECT_EQ(asked, editor->mapToGlobal(QPoint(0, editor->height() - 16)));

  const QPoint left = centreOf(editor->layout().leftButton);
  previews = 0;
  QTest::mouseClick(editor, Qt::LeftButton, {}, left);
  EXPECT_TRUE(editor->displayToggle());
  EXPECT_EQ(previews, 1);
  // With a nib image the display button is off and the first handle scales.
  editor->setSample(true, 64, 256, 100);
  QTest::mouseClick(editor, Qt::LeftButton, {}, left);
  EXPECT_TRUE(editor->displayToggle());
  QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(77, 38));
  QTest::mouseMove(editor, QPoint(300, 38));
  QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(300, 38));
  EXPECT_FLOAT_EQ(editor->state().imageScale(), 200);
  EXPECT_FLOAT_EQ(editor->state().maxRadius(), 1);
}

}  // namespace nib_editor_widget_test
}  // namespace pg
