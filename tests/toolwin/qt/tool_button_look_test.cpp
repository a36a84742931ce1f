// The tool buttons as they are seen: whichever tool is current, its sunk
// button still shows its glyph, and so does a button under the pointer.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>

#include "test_support/fake_tool_target.h"
#include "test_support/qt_app.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

// Pixels of the button that stand clearly apart from its face (taken just
// inside the frame, away from the glyph in the middle).
int inkedPixels(QWidget& button) {
  const QImage face = button.grab().toImage();
  const int background = qGray(face.pixel(2, 2));
  int inked = 0;
  for (int y = 2; y < face.height() - 2; ++y)
    for (int x = 2; x < face.width() - 2; ++x) inked += std::abs(qGray(face.pixel(x, y)) - background) > 60;
  return inked;
}

TEST(ToolButtonLook, EveryCurrentToolShowsItsGlyph) {
  testing::ensureQtApp();
  QWidget mainWindow;
  testing::FakeToolTarget window;
  TToolForm* form = createToolWindow(&mainWindow);
  form->setDocWindow(&window);
  for (int b = 0; b < kToolButtonCount; ++b) {
    TToolButton* button = form->toolButton(b);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    ASSERT_TRUE(button->isDown()) << b;
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_GT(inkedPixels(*button), 20) << "current tool, button " << b;
    QEnterEvent enter(QPointF(6, 6), QPointF(6, 6), QPointF(6, 6));
    QApplication::sendEvent(button, &enter);
    EXPECT_GT(inkedPixels(*button), 20) << "current tool under the pointer, button " << b;
    QApplication::sendEvent(button, &leave);
  }
  destroyToolWindow(form);
}

}  // namespace
}  // namespace pg
