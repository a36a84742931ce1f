#include "ui/qt/trackbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "test_support/qt_app.h"
#include "ui/qt/app_event_router.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace trackbar_test {

struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

class TrackbarTest : public ::testing::Test, private QtAppFirst {
 protected:
  void SetUp() override {
    form = std::make_unique<QWidget>();
    form->setGeometry(50, 50, 300, 200);
    form->show();
  }
  void TearDown() override {
    form.reset();
    freeSharedCaptureEdits();
    QApplication::processEvents();
  }
  std::unique_ptr<QWidget> form;
  TNumMngr model;
};

TEST_F(TrackbarTest, DraggingSetsThePosition) {
  TGraphicTrackbar bar(form.get());
  bar.setGeometry(10, 10, 109, 14);
  bar.show();
  int changes = 0;
  bar.OnChange = [&] { ++changes; };
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(3, 5));
  EXPECT_EQ(bar.rawPosition(), 0.0f);
  QTest::mouseMove(&bar, QPoint(53, 5));
  EXPECT_FLOAT_EQ(bar.rawPosition(), 0.5f);
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(53, 5));
  EXPECT_FALSE(bar.dragging());
  QTest::mouseMove(&bar, QPoint(100, 5));
  EXPECT_FLOAT_EQ(bar.rawPosition(), 0.5f) << "moves without a press do nothing";
  EXPECT_EQ(changes, 2);
  // setPosition clamps and goes through the in-filter.
  bar.OnInFilter = [](QObject*, float& p) { p = p * 0.5f; };
  bar.setPosition(3.0f);
  EXPECT_FLOAT_EQ(bar.rawPosition(), 0.5f);
  EXPECT_EQ(changes, 2) << "an unchanged position fires nothing";
  bar.OnOutFilter = [](QObject*, float& p) { p = 1 - p; };
  bar.setPosition(0.5f);
  EXPECT_FLOAT_EQ(bar.getPosition(), 0.75f);
}

TEST_F(TrackbarTest, UpDownStepsRepeatsAndGreysAtTheEnds) {
  TNumUpDown ud(form.get());
  ud.setGeometry(10, 10, 16, 16);
  ud.show();
  ud.setAssociate(&model);
  model.setValue(255);
  EXPECT_EQ(ud.states().up, kBtnDisabled);
  QTest::mouseClick(&ud, Qt::LeftButton, {}, QPoint(8, 3));
  EXPECT_EQ(model.value(), 255) << "the inactive arrow ignores presses";
  QTest::mousePress(&ud, Qt::LeftButton, Qt::ShiftModifier, QPoint(8, 12));
  EXPECT_EQ(model.value(), 245);
  EXPECT_TRUE(ud.repeating());
  ud.repeatTick(true);
  ud.repeatTick(false);
  EXPECT_EQ(model.value(), 234);
  QTest::mouseRelease(&ud, Qt::LeftButton, {}, QPoint(8, 12));
  EXPECT_FALSE(ud.repeating());
  EXPECT_EQ(ud.states().up, kBtnNormal);
}

TEST_F(TrackbarTest, PopupClickOutsideAcceptsEscRestores) {
  auto* field = new TNumLabelEditPopup(form.get());
  field->setGeometry(10, 10, 60, 20);
  field->show();
  field->Orientation = gtHorizontal;
  field->setAssociate(&model);
  model.setValue(100);
  QWidget outside(form.get());
  outside.setGeometry(200, 150, 50, 30);
  outside.show();
  for (bool esc : {false, true}) {
    model.setValue(100);
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(50, 10));
    ASSERT_TRUE(field->isOpen());
    TTrackPopupForm* pop = field->popupForm();
    ASSERT_NE(pop, nullptr);
    EXPECT_TRUE(pop->isVisible());
    EXPECT_FLOAT_EQ(pop->trackbar().rawPosition(), 100.0f / 255.0f);
    QTest::mouseClick(&pop->trackbar(), Qt::LeftButton, {}, QPoint(103, 5));
    EXPECT_EQ(model.value(), 255);
    EXPECT_EQ(field->caption(), "255");
    if (esc)
      QTest::keyClick(&pop->trackbar(), Qt::Key_Escape);
    else
      QTest::mouseClick(&outside, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(field->isOpen());
    EXPECT_EQ(model.value(), esc ? 100 : 255);
  }
}

TEST_F(TrackbarTest, PressDragReleaseIsOneGesture) {
  auto* field = new TNumLabelEditPopup(form.get());
  field->setGeometry(10, 10, 60, 20);
  field->show();
  field->Orientation = gtHorizontal;
  field->HoldThresholdMs = 0;  // the press counts as held at once
  field->setAssociate(&model);
  QTest::mousePress(field, Qt::LeftButton, {}, QPoint(50, 10));
  ASSERT_TRUE(field->isOpen());
  TGraphicTrackbar& bar = field->popupForm()->trackbar();
  const QPoint mid = field->mapFromGlobal(bar.mapToGlobal(QPoint(53, 5)));
  QTest::mouseMove(field, mid);
  EXPECT_NEAR(model.value(), 127.5f, 0.01f);
  QTest::qWait(5);
  QTest::mouseRelease(field, Qt::LeftButton, {}, mid);
  EXPECT_FALSE(field->isOpen()) << "a late release closes with acceptance";
  EXPECT_NEAR(model.value(), 127.5f, 0.01f);
}

TEST_F(TrackbarTest, LabelPartEditsInPlace) {
  auto* field = new TNumLabelEditPopup(form.get());
  field->setGeometry(10, 10, 60, 20);
  field->show();
  field->setAssociate(&model);
  model.setValue(3);
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(field->isOpen()) << "the shared editor counts as open";
  EXPECT_EQ(field->popupForm(), nullptr);
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  ed.selectAll();
  QTest::keyClicks(&ed, "42");
  QTest::keyClick(&ed, Qt::Key_Return);
  EXPECT_FALSE(field->isOpen());
  EXPECT_EQ(model.value(), 42);
  EXPECT_EQ(field->caption(), "42");
}

}  // namespace trackbar_test
}  // namespace pg
