// The event report under the offscreen platform: its texts, and the index
// pictures placed, framed and left blank as they should be.
#include "app/qt/event_report_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "core/planes.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

void fillSolid(TMTC& m, int32_t w, int32_t h, uint32_t pixel) {
  ASSERT_TRUE(m.Resize(w, h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) *m.pixelAt(x, y) = pixel;
}

TEST(EventReportDialog, ShowsTheOutcomeNameTimeStepsAndPictures) {
  testing::ensureQtApp();
  TMTC wide, tall;
  fillSolid(wide, 96, 72, 0xFF2040E0u);
  fillSolid(tall, 48, 96, 0xFF10C010u);
  TEventReportParam p;
  p.outcome = 1;
  p.name = "work.ke4";
  p.elapsed = 3725004;
  p.steps = 321;
  p.images[0] = &wide;
  p.images[9] = &tall;
  TFormEventReport form;
  form.fill(p);
  EXPECT_EQ(form.windowTitle().toStdString(), "再生結果");
  EXPECT_EQ(form.LblState->text().toStdString(), "イベントの再生を中断しました");
  EXPECT_EQ(form.LblFileName->text().toStdString(), "work.ke4");
  EXPECT_EQ(form.LblTime->text().toStdString(), "1 時間 2 分 5 秒 004");
  EXPECT_EQ(form.LblStep->text().toStdString(), "321 ステップ");
  EXPECT_EQ(form.ButtonOK->text().toStdString(), "閉じる(&C)");
  const TMemoryGraphic& g = form.indexImage();
  ASSERT_EQ(g.width(), 512);
  ASSERT_EQ(g.height(), 206);
  const uint32_t blank = g.getPixel(0, 0);
  // Cell 0: a 96 x 72 picture at (4, 16) with a frame one pixel outside it.
  EXPECT_EQ(g.getPixel(4, 16), 0xFF2040E0u);
  EXPECT_EQ(g.getPixel(99, 87), 0xFF2040E0u);
  EXPECT_NE(g.getPixel(3, 15), blank);
  EXPECT_NE(g.getPixel(100, 88), blank);
  EXPECT_EQ(g.getPixel(4, 15 - 1), blank);
  // Cell 9 (row 1, column 4): a 48 x 96 picture at (436, 106).
  EXPECT_EQ(g.getPixel(436, 106), 0xFF10C010u);
  EXPECT_EQ(g.getPixel(483, 201), 0xFF10C010u);
  EXPECT_EQ(g.getPixel(435, 106) == blank, false);
  // Cell 5 (row 1, column 0) has no picture: blank.
  for (int32_t x = 0; x < 100; x += 7) EXPECT_EQ(g.getPixel(x, 150), blank) << x;
}

TEST(EventReportDialog, TenEmptyReferencesLeaveTheIndexBlank) {
  testing::ensureQtApp();
  TFormEventReport form;
  form.fill(TEventReportParam{});
  const TMemoryGraphic& g = form.indexImage();
  const uint32_t blank = g.getPixel(0, 0);
  for (int32_t y = 0; y < g.height(); y += 5)
    for (int32_t x = 0; x < g.width(); x += 5) ASSERT_EQ(g.getPixel(x, y), blank) << x << "," << y;
  EXPECT_EQ(form.LblTime->text().toStdString(), "0 秒 000");
}

}  // namespace
}  // namespace pg
