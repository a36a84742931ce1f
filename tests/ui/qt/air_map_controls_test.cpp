#include "ui/qt/air_map_controls.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/popup_base_form.h"
#include "ui/qt/qt_appearance.h"

namespace pg {
namespace {

struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

struct AirMapControlsTest : ::testing::Test, private QtAppFirst {
  AirMapControlsTest() {
    form.setGeometry(100, 100, 300, 200);
    form.show();
  }
  ~AirMapControlsTest() override { freeSharedCaptureEdits(); }
  QWidget form;
};

TEST_F(AirMapControlsTest, PadDragsBothValuesAndIgnoresReadOnly) {
  TAirMapControl pad(&form);
  pad.setGeometry(0, 0, 98, 96);
  pad.show();
  int changes = 0;
  pad.OnChange = [&] { ++changes; };
  QTest::mousePress(&pad, Qt::LeftButton, {}, QPoint(30, 46));
  EXPECT_FLOAT_EQ(pad.valueA(), 0.0f) << "the left half gives A = 0";
  EXPECT_FLOAT_EQ(pad.valueB(), 0.5f);
  QTest::mouseMove(&pad, QPoint(90, 4));
  QTest::mouseRelease(&pad, Qt::LeftButton, {}, QPoint(90, 4));
  EXPECT_FLOAT_EQ(pad.valueA(), 1.0f);
  EXPECT_FLOAT_EQ(pad.valueB(), 1.0f);
  EXPECT_EQ(changes, 2);
  // A press on the frame starts nothing; nor does one on a read-only pad.
  QTest::mouseClick(&pad, Qt::LeftButton, {}, QPoint(1, 50));
  pad.setReadOnly(true);
  QTest::mouseClick(&pad, Qt::LeftButton, {}, QPoint(30, 90));
  EXPECT_FLOAT_EQ(pad.valueB(), 1.0f);
  EXPECT_EQ(changes, 2);
}

TEST_F(AirMapControlsTest, OffModeTogglesTwoTypes) {
  TAirMapDropDown drop(&form);
  drop.show();
  int changes = 0;
  drop.OnChange = [&] { ++changes; };
  drop.setActive(kAirMapFive);
  drop.setKind(4);
  drop.setValueA(30);
  drop.setActive(kAirMapOff);
  EXPECT_EQ(drop.kind(), kAirMapNone) << "a new mode starts without a type";
  EXPECT_FLOAT_EQ(drop.valueA(), 0.0f);
  EXPECT_EQ(drop.style(), kPickerPlain);
  changes = 0;
  for (uint8_t want : {2, 3, 2}) {
    QTest::mouseClick(&drop, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(drop.kind(), want);
    EXPECT_EQ(drop.popupForm(), nullptr);
  }
  EXPECT_EQ(changes, 3);
}

TEST_F(AirMapControlsTest, FullPopupEditsAndEscapeRestores) {
  TAirMapDropDown drop(&form);
  drop.show();
  drop.setActive(kAirMapFull);
  EXPECT_EQ(drop.style(), kPickerDropDown);
  drop.setKind(5);
  drop.setValueA(20);
  drop.setValueB(40);
  struct {
    Qt::Key key;
    uint8_t kind;
    float a, b;
  } cases[] = {{Qt::Key_Escape, 5, 20, 40}, {Qt::Key_Return, 4, 100, 50}};
  for (const auto& c : cases) {
    QTest::mouseClick(&drop, Qt::LeftButton, {}, QPoint(5, 5));
    TPopupBaseForm* popup = drop.popupForm();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->isOpen());
    EXPECT_TRUE(drop.dropped());
    // The current type's button is down; the pad shows the values.
    EXPECT_TRUE(drop.typeButton(2)->isDown());
    EXPECT_FLOAT_EQ(drop.pad()->valueA(), 0.2f);
    EXPECT_FLOAT_EQ(drop.pad()->valueB(), 0.4f);
    QTest::mouseClick(drop.typeButton(4), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(drop.kind(), 4);
    EXPECT_EQ(drop.pad()->kind(), 4);
    EXPECT_FALSE(drop.typeButton(2)->isDown());
    QTest::mouseClick(drop.pad(), Qt::LeftButton, {}, QPoint(90, 46));
    EXPECT_FLOAT_EQ(drop.valueA(), 100);
    EXPECT_FLOAT_EQ(drop.valueB(), 50);
    // A value typed in a field moves the pad.
    drop.ValueB.setValue(10);
    EXPECT_FLOAT_EQ(drop.pad()->valueB(), 0.1f);
    drop.ValueB.setValue(50);
    QTest::keyClick(popup, c.key);
    EXPECT_EQ(drop.popupForm(), nullptr);
    EXPECT_FALSE(drop.dropped());
    EXPECT_EQ(drop.kind(), c.kind) << c.key;
    EXPECT_FLOAT_EQ(drop.valueA(), c.a) << c.key;
    EXPECT_FLOAT_EQ(drop.valueB(), c.b) << c.key;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(AirMapControlsTest, FivePopupHasNoPad) {
  TAirMapDropDown drop(&form);
  drop.show();
  drop.setActive(kAirMapFive);
  QTest::mouseClick(&drop, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_NE(drop.popupForm(), nullptr);
  EXPECT_EQ(drop.pad(), nullptr);
  EXPECT_NE(drop.typeButton(4), nullptr);
  EXPECT_EQ(drop.typeButton(5), nullptr);
  EXPECT_FALSE(drop.typeButton(0)->isDown()) << "no type chosen, no button down";
  QTest::mouseClick(drop.typeButton(0), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(drop.kind(), 6);
  QTest::keyClick(drop.popupForm(), Qt::Key_Return);
  EXPECT_EQ(drop.kind(), 6);
}

}  // namespace
}  // namespace pg
