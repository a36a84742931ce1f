// The recorder's headers come before Qt's (see the fixture).
#include "canvas/qt/widget_fixture.h"
// (the line above stays first)
#include "toolwin/qt/draw_window_view_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support/fake_tool_target.h"
#include "toolwin/qt/tool_button.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

TEST(DrawWindowViewCommands, FitOneToOneAndUpright) {
  WidgetFixture canvas;
  TDrawWindowViewCommands view(*canvas.widget);
  TDrawWindow& w = canvas.widget->window();
  (void)w.setZoomCentred(4, 1);
  w.setViewRotation(true, 30.0f);
  ASSERT_TRUE(w.isRotated());
  view.resetViewRotation();
  EXPECT_FALSE(w.isRotated());
  view.zoomOneToOne();
  EXPECT_FLOAT_EQ(canvas.doc().zoomValue(), 1.0f);
  view.zoomToFit();
  // 400 x 300 in a window of about 560 x 460 less 80: no longer 1:1.
  EXPECT_NE(canvas.doc().zoomValue(), 1.0f);
}

struct LoggingView final : IViewCommands {
  void resetViewRotation() override { log += "upright "; }
  void zoomToFit() override { log += "fit "; }
  void zoomOneToOne() override { log += "1:1 "; }
  std::string log;
};

TEST(DrawWindowViewCommands, ToolButtonDoubleClicksNeedADocumentWindow) {
  testing::ensureQtApp();
  QWidget host;
  TToolForm* form = createToolWindow(&host);
  LoggingView view;
  form->setViewCommands(&view);
  form->setButtonPreferences({false, true});
  QTest::mouseDClick(form->toolButton(kZoomButton), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(view.log, "");
  testing::FakeToolTarget window;
  form->setDocWindow(&window);
  QTest::mouseDClick(form->toolButton(kZoomButton), Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseDClick(form->toolButton(kHandButton), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(view.log, "upright 1:1 fit ");
  form->setDocWindow(nullptr);
  destroyToolWindow(form);
}

}  // namespace
}  // namespace pg
