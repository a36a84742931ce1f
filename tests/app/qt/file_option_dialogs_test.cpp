// The JPEG settings and new-layer dialogs: their controls follow each other
// through the models.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QSlider>
#include <QSpinBox>

#include "app/qt/jpeg_option_dialog.h"
#include "app/qt/new_layer_dialog.h"
#include "core/blend_modes.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

class FileOptionDialogs : public ::testing::Test {
 protected:
  void SetUp() override { testing::ensureQtApp(); }
};

TEST_F(FileOptionDialogs, JpegControlsFollowEachOther) {
  TFormJpegOption dialog(CJpegOptionModel(SJpegPresets{}, 0, 0, 0, false));
  EXPECT_EQ(dialog.presetList().currentIndex(), 0);
  EXPECT_EQ(dialog.qualityField().value(), 100);
  dialog.qualityField().setValue(91);
  EXPECT_EQ(dialog.presetList().currentIndex(), 1);
  EXPECT_EQ(dialog.model().record().choice, kJpegCustomChoice);
  dialog.presetList().setCurrentIndex(2);
  EXPECT_EQ(dialog.qualityField().value(), 75);
  EXPECT_EQ(dialog.model().record().choice, 2);
  dialog.qualitySlider().setValue(dialog.qualitySlider().maximum());
  EXPECT_EQ(dialog.qualityField().value(), 100);
  EXPECT_EQ(dialog.presetList().currentIndex(), 0);
}

TEST_F(FileOptionDialogs, NewLayerColourListFollowsTheMode) {
  SNewLayerRecord record;
  record.name = "a";
  TFormNewLayer dialog(record);
  EXPECT_EQ(dialog.modeList().count(), 22);
  dialog.modeList().setCurrentIndex(bmScreen);
  EXPECT_EQ(dialog.colourList().currentIndex(), 1);
  EXPECT_EQ(dialog.colourList().count(), 3);
  dialog.opacityField().setValue(100);
  EXPECT_EQ(dialog.model().result().opacity, 255);
}

}  // namespace
}  // namespace pg
