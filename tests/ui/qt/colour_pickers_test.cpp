#include "ui/qt/colour_pickers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "test_support/qt_app.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/qt_appearance.h"
#include "ui/ui_colour.h"

namespace pg {
namespace colour_pickers_test {

struct QtAppFirst {
  QtAppFirst() {
    testing::ensureQtApp();
    createQtUiManagers();
  }
};

class ColourPickersTest : public ::testing::Test, private QtAppFirst {
 protected:
  void TearDown() override { freeSharedCaptureEdits(); }
};

TEST_F(ColourPickersTest, AreaPressesSetTheChannels) {
  TColorPicker picker;
  picker.resize(170, 152);
  picker.show();
  int changes = 0;
  picker.OnChange = [&] { ++changes; };
  const SAreaPickerLayout l = picker.layout();
  const QPoint o(l.originX, l.originY);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.area.Right - 1, l.area.Top));
  EXPECT_FLOAT_EQ(picker.getColorRec().S, 1.0f);
  EXPECT_FLOAT_EQ(picker.getColorRec().V, 1.0f);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.area.Left, l.area.Bottom - 1));
  EXPECT_FLOAT_EQ(picker.getColorRec().S, 0.0f);
  EXPECT_FLOAT_EQ(picker.getColorRec().V, 0.0f);
  // Dragging out of the area keeps to the area's edge.
  QTest::mousePress(&picker, Qt::LeftButton, {}, o + QPoint(l.area.Left + 10, l.area.Top + 10));
  QTest::mouseMove(&picker, o + QPoint(l.area.Right + 40, l.area.Top - 40));
  QTest::mouseRelease(&picker, Qt::LeftButton, {}, o + QPoint(l.area.Right + 40, l.area.Top - 40));
  EXPECT_FLOAT_EQ(picker.getColorRec().S, 1.0f);
  EXPECT_FLOAT_EQ(picker.getColorRec().V, 1.0f);
  EXPECT_EQ(changes, 4);
  picker.setColorSpace(cpSHV);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.area.Right - 1, l.area.Top + 5));
  EXPECT_FLOAT_EQ(picker.getColorRec().H, 6.2831855f) << "hue 2pi at the right edge";
}

TEST_F(ColourPickersTest, SliderPickerDragsChannelsAndReadsTheSpectrum) {
  TSliderColorPicker picker;
  picker.resize(170, 100);
  picker.show();
  int changes = 0;
  picker.OnChange = [&] { ++changes; };
  const SSliderPickerLayout l = picker.layout();
  const QPoint o(l.originX, l.originY);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.sliders[1].Right - 1, l.sliders[1].Top + 3));
  EXPECT_FLOAT_EQ(picker.getColorRec().G, 1.0f);
  // A drag that starts on the blue slider stays with it, even over the red one.
  QTest::mousePress(&picker, Qt::LeftButton, {}, o + QPoint(l.sliders[2].Left + 20, l.sliders[2].Top + 2));
  QTest::mouseMove(&picker, o + QPoint(l.sliders[2].Right + 50, l.sliders[0].Top + 2));
  QTest::mouseRelease(&picker, Qt::LeftButton, {}, o + QPoint(l.sliders[2].Right + 50, l.sliders[0].Top + 2));
  EXPECT_FLOAT_EQ(picker.getColorRec().B, 1.0f);
  EXPECT_FLOAT_EQ(picker.getColorRec().R, 0.0f);
  // The spectrum's top-left corner is pure red.
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.spectrum.Left, l.spectrum.Top));
  EXPECT_EQ(colorRecToRgba(picker.getColorRec(), 255), 0xFFFF0000u);
  EXPECT_EQ(changes, 4);
  // Only RGB, HSV and HSL are shown as sliders.
  picker.setColorSpace(cpGRB);
  EXPECT_EQ(picker.colorSpace(), cpRGB);
  picker.setColorSpace(cpHSL);
  EXPECT_EQ(picker.colorSpace(), cpHSL);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, o + QPoint(l.sliders[0].Right - 1, l.sliders[0].Top + 2));
  EXPECT_FLOAT_EQ(picker.getColorRec().HL, 6.2831855f);
}

TEST_F(ColourPickersTest, ReplacingAPickerKeepsColourAndHandler) {
  QWidget form;
  auto* box = new QVBoxLayout(&form);
  TCustomColorPicker* picker = new TColorPicker(&form);
  box->addWidget(picker);
  form.show();
  picker->setColorSpace(cpSHV);
  picker->setFollowColor(false);
  picker->setColorRec(rgbaToColorRec(0xFF3080C0u));
  int changes = 0;
  picker->OnChange = [&] { ++changes; };
  QPointer<QWidget> old = picker;

  ASSERT_TRUE(replaceColorPicker(picker, 1, cpHSV));
  EXPECT_TRUE(old.isNull());
  ASSERT_NE(dynamic_cast<TSliderColorPicker*>(picker), nullptr);
  EXPECT_EQ(box->indexOf(picker), 0);
  EXPECT_EQ(colorRecToRgba(picker->getColorRec(), 255), 0xFF3080C0u);
  EXPECT_EQ(picker->colorSpace(), cpHSV);
  EXPECT_FALSE(picker->followColor());
  EXPECT_TRUE(picker->isVisible());
  picker->setColorRec(rgbaToColorRec(0xFF000000u));
  EXPECT_EQ(changes, 1);

  // The same kind is kept as it is; back to the area picker a space the
  // slider picker cannot show is taken.
  TCustomColorPicker* same = picker;
  EXPECT_TRUE(replaceColorPicker(picker, 1, cpSHV));
  EXPECT_EQ(picker, same);
  ASSERT_TRUE(replaceColorPicker(picker, 0, cpSHV));
  EXPECT_NE(dynamic_cast<TColorPicker*>(picker), nullptr);
  EXPECT_EQ(picker->colorSpace(), cpSHV);
  EXPECT_TRUE(isColorPicker(picker));
  EXPECT_FALSE(isColorPicker(&form));
}

// Runs the dialog, letting `act` work on it once it is shown.
bool runDialog(SColorRec& colour, std::function<void(TColorPickerForm&)> act) {
  QTimer::singleShot(0, [act] {
    auto* form = dynamic_cast<TColorPickerForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    act(*form);
  });
  return pickColorDialog(colour);
}

TEST_F(ColourPickersTest, DialogReturnsTheChosenColourAndCancelLeavesIt) {
  SColorRec colour = rgbaToColorRec(0xFF102030u);
  const SColorRec before = colour;
  EXPECT_FALSE(runDialog(colour, [](TColorPickerForm& f) {
    f.Num[0].setValue(255);
    f.ButtonCancel->click();
  }));
  EXPECT_EQ(compareColorRec(colour, before), 0);

  EXPECT_TRUE(runDialog(colour, [](TColorPickerForm& f) {
    EXPECT_EQ(f.Num[0].value(), 0x10);
    EXPECT_EQ(f.Num[2].value(), 0x30);
    f.Edit[0]->setFocus();
    f.Edit[0]->selectAll();
    QTest::keyClicks(f.Edit[0], "255");
    EXPECT_EQ(colorRecToRgba(f.Swatch->getColorRec(), 255), 0xFFFF2030u) << "the swatch follows the field";
    EXPECT_EQ(colorRecToRgba(f.Picker->getColorRec(), 255), 0xFFFF2030u);
    f.ButtonOK->click();
  }));
  EXPECT_EQ(colorRecToRgba(colour, 255), 0xFFFF2030u);
}

TEST_F(ColourPickersTest, DialogFieldsFollowThePickerAndTheSwatchReverts) {
  SColorRec colour = rgbaToColorRec(0xFF00FF00u);
  EXPECT_TRUE(runDialog(colour, [](TColorPickerForm& f) {
    EXPECT_EQ(f.Num[3].value(), 120) << "hue in whole degrees";
    EXPECT_EQ(f.Num[6].value(), 120);
    f.Radio[5]->click();  // value slider
    EXPECT_EQ(f.Picker->colorSpace(), cpVHS);
    const SAreaPickerLayout l = f.Picker->layout();
    QTest::mouseClick(f.Picker, Qt::LeftButton, {}, QPoint(l.originX + l.slider.Left + 3, l.originY + l.slider.Bottom - 1));
    EXPECT_EQ(f.Num[5].value(), 0) << "value 0 at the slider's bottom";
    EXPECT_EQ(f.Num[1].value(), 0);
    QTest::mouseClick(f.Swatch, Qt::LeftButton, {}, QPoint(10, 5));  // the initial half
    EXPECT_EQ(f.Num[1].value(), 255);
    EXPECT_EQ(colorRecToRgba(f.Swatch->getColorRec(), 255), 0xFF00FF00u);
    f.ButtonOK->click();
  }));
  EXPECT_EQ(colorRecToRgba(colour, 255), 0xFF00FF00u);
}

}  // namespace colour_pickers_test
}  // namespace pg

namespace pg {
namespace colour_pickers_test {

TEST_F(ColourPickersTest, TwinCellSidesSwapAndDoubleClicks) {
  TTwinColorCell twin;
  twin.resize(45, 45);
  twin.show();
  int dialogs = 0;
  twin.RunDialog = [&](SColorRec& r) {
    ++dialogs;
    r = rgbaToColorRec(0xFF00FF00u);
    return true;
  };
  QTest::mouseClick(&twin, Qt::LeftButton, {}, QPoint(40, 40));  // the background swatch
  EXPECT_EQ(twin.activeSide(), 2);
  QTest::mouseDClick(&twin, Qt::LeftButton, {}, QPoint(5, 5));  // the inactive foreground
  EXPECT_EQ(dialogs, 0) << "the inactive side opens nothing";
  QTest::mouseDClick(&twin, Qt::LeftButton, {}, QPoint(40, 40));
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(colorRecToRgba(twin.background(), 255), 0xFF00FF00u);
  QTest::mouseClick(&twin, Qt::LeftButton, {}, QPoint(42, 2));  // the swap corner
  EXPECT_EQ(colorRecToRgba(twin.foreground(), 255), 0xFF00FF00u);
  EXPECT_EQ(colorRecToRgba(twin.background(), 255), 0xFF000000u);
}

}  // namespace colour_pickers_test
}  // namespace pg
