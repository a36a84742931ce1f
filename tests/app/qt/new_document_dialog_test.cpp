#include "app/qt/new_document_dialog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "app/qt/value_dialog.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

using Presets = std::array<SPaperPreset, kUserPaperPresetCount>;

int positionOf(std::string_view name) {
  int position = findPaperTypeByName(name);
  EXPECT_GE(position, 0) << name;
  return position;
}

TEST(NewDocumentDialog, A4PortraitAt150DpiAnswers1240By1754) {
  testing::ensureQtApp();
  TFormNew form(Presets{}, 0, 0, QStringLiteral("page"));
  form.typeCombo()->setCurrentIndex(positionOf("A4"));
  QTest::mouseClick(form.portraitButton(), Qt::LeftButton);
  EXPECT_EQ(form.widthEdit()->text(), QStringLiteral("210"));
  EXPECT_EQ(form.heightEdit()->text(), QStringLiteral("297"));
  EXPECT_EQ(form.widthUnitCombo()->currentText(), QStringLiteral("mm"));
  EXPECT_EQ(form.heightUnitCombo()->currentText(), QStringLiteral("mm"));
  EXPECT_EQ(form.resolutionEdit()->value(), 150.0);

  QTest::mouseClick(form.buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  SNewDocumentSettings s = form.settings();
  EXPECT_EQ(s.fileName, "page");
  EXPECT_EQ(s.width, 1240);
  EXPECT_EQ(s.height, 1754);
  EXPECT_EQ(s.resolution, 150);
  EXPECT_FALSE(s.transparent);

  // Landscape swaps the sides; a unit change keeps the pixels.
  QTest::mouseClick(form.landscapeButton(), Qt::LeftButton);
  form.heightUnitCombo()->setCurrentIndex(1);
  EXPECT_EQ(form.widthUnitCombo()->currentIndex(), 1);
  EXPECT_EQ(form.widthEdit()->text(), QStringLiteral("11.6929"));
  EXPECT_EQ(form.settings().width, 1754);
  EXPECT_EQ(form.settings().height, 1240);
}

TEST(NewDocumentDialog, TheSelectionPassesOverSeparators) {
  testing::ensureQtApp();
  TFormNew form(Presets{}, 640, 480, QString());
  EXPECT_EQ(form.typeCombo()->currentIndex(), 0);
  form.typeCombo()->setCurrentIndex(1);
  EXPECT_EQ(form.typeCombo()->currentIndex(), 2);
  form.typeCombo()->setCurrentIndex(7);
  EXPECT_EQ(form.typeCombo()->currentIndex(), 8);
  form.typeCombo()->setCurrentIndex(7);
  EXPECT_EQ(form.typeCombo()->currentIndex(), 6);
}

TEST(NewDocumentDialog, CancelLeavesTheSettingsButKeepsPresetEdits) {
  testing::ensureQtApp();
  QApplication::clipboard()->clear();
  Presets presets{};
  SNewDocumentSettings settings;
  settings.fileName = "untouched";
  settings.width = 33;
  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    auto* form = qobject_cast<TFormNew*>(QApplication::activeModalWidget());
    if (!form) {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<TFormNew*>(w); f && f->isVisible()) form = f;
    }
    ASSERT_NE(form, nullptr);
    sawDialog = true;
    EXPECT_EQ(form->fileNameEdit()->text(), QStringLiteral("untouched"));
    EXPECT_EQ(form->typeCombo()->currentIndex(), 2);  // the first user preset
    form->widthEdit()->setValue(700);
    form->reject();
  });
  EXPECT_FALSE(showNewDocumentDialog(nullptr, settings, presets));
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(settings.fileName, "untouched");
  EXPECT_EQ(settings.width, 33);
  EXPECT_EQ(presets[0].width, 700.0f);
}

TEST(ValueDialog, TheFieldAndTheSliderShowOneValue) {
  testing::ensureQtApp();
  TFormValue dialog;
  dialog.setRange(50, 0, 10);
  EXPECT_EQ(dialog.numberField()->value(), 10.0);
  EXPECT_EQ(dialog.slider()->value(), 200);
  dialog.slider()->setValue(500);
  EXPECT_EQ(dialog.value().value(), 25.0f);
  EXPECT_EQ(dialog.numberField()->value(), 25.0);
  dialog.numberField()->setValue(50);
  EXPECT_EQ(dialog.slider()->value(), 1000);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("数値入力"));
}

}  // namespace
}  // namespace pg
