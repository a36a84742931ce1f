#include "toolwin/qt/value_label_binding.h"

#include <gtest/gtest.h>

#include <QTest>

#include "test_support/qt_app.h"
#include "ui/qt/glyph_label.h"

namespace pg {
namespace {

TEST(ValueLabelBinding, DragAndDoubleClickReachTheModel) {
  testing::ensureQtApp();
  QWidget form;
  form.resize(100, 300);
  TPgGlyphLabel label(&form);
  label.setGeometry(10, 10, 24, 24);
  form.show();
  TNumMngr model;
  (void)model.setRange(20, 0, 100);
  model.setValueDefault(40);
  int ends = 0;
  SValueLabelBinding b;
  b.model = &model;
  b.onEnd = [&] { ++ends; };
  CValueLabels rules;
  rules.enableAll();
  bindValueLabel(label, rules, b);
  // The drag runs sideways: 30 pixels right is 0.3 of the range more, and a
  // vertical wander on the way changes nothing.
  QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&label, QPoint(5, 60));
  EXPECT_FLOAT_EQ(model.value(), 20);
  QTest::mouseMove(&label, QPoint(35, 60));
  EXPECT_FLOAT_EQ(model.value(), 50);
  QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(45, 5));
  EXPECT_FLOAT_EQ(model.value(), 60);
  EXPECT_EQ(ends, 1);
  QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FLOAT_EQ(model.value(), 40);
}

}  // namespace
}  // namespace pg
