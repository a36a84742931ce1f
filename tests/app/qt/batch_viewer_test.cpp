// The viewer mode in the program's own process: the replay is shown in a
// window of its own while it runs and while the viewer waits, scaled to the
// window with the aspect kept, and the run ends with the viewer's code.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "app/batch_fixture.h"
#include "app/qt/batch_run.h"
#include "test_support/qt_app.h"

namespace pg::test {
namespace {

TEST(BatchViewer, ShowsTheReplayScaledToItsWindowAndEnds) {
  pg::testing::ensureQtApp();
  Recorded r;
  TPaper& live = *r.f.x.doc;
  live.composeRect(SRectXYWH{0, 0, live.width(), live.height()}, false);
  CommandLine cl;
  cl.state = r.render();
  cl.state.viewerMode = true;
  cl.state.batchWaitSeconds = 1;
  cl.files = {r.dir.file("strokes.ke4")};

  // While the viewer waits: a window twice as wide as the picture shows it
  // at its own height, centred between workspace margins.
  int looks = 0;
  QImage shown;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || w->windowTitle() != "strokes.ke4") continue;
      ++looks;
      w->resize(live.width() * 2, live.height());
      shown = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
  });
  probe.start(100);
  EXPECT_EQ(runBatch(cl), 13);
  probe.stop();
  EXPECT_GT(looks, 0);
  ASSERT_EQ(shown.size(), QSize(live.width() * 2, live.height()));
  EXPECT_EQ(shown.pixel(2, live.height() / 2) & 0xFFFFFFu, 0xCCCCCCu);
  EXPECT_EQ(shown.pixel(shown.width() - 3, live.height() / 2) & 0xFFFFFFu, 0xCCCCCCu);
  int same = 0, all = 0;
  for (int32_t y = 0; y < live.height(); y += 3)
    for (int32_t x = 0; x < live.width(); x += 3, ++all)
      same += (shown.pixel(live.width() / 2 + x, y) & 0xFFFFFFu) == (live.composite().getPixel(x, y) & 0xFFFFFFu);
  EXPECT_EQ(same, all);
  // The viewer writes nothing.
  EXPECT_TRUE(fs::is_empty(r.dir.path() / "out"));
  // Nothing of it stays up.
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

}  // namespace
}  // namespace pg::test
