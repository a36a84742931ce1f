// The cursor pictures also go to cursors/ of the picture folder
// (PIGMORA_PICTURE_DIR, else a temporary folder) for a person to look at.
// The recorder's headers come before Qt's (see the fixture).
#include "canvas/qt/widget_fixture.h"
// (the line above stays first)
#include "toolwin/qt/tool_cursor_art.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <set>

#include "test_support/picture_folder.h"
#include "toolwin/qt/tool_form.h"

namespace pg {
namespace {

QString cursorPath(const QString& name) {
  return QString::fromStdString(testing::pictureFolder("cursors")) + "/" + name + ".png";
}

int alphaAt(const QImage& img, QPoint p) {
  return QRect(QPoint(0, 0), img.size()).contains(p) ? qAlpha(img.pixel(p)) : 0;
}

TEST(ToolCursorArt, EveryCursorOfTheTablesIsDrawn) {
  testing::ensureQtApp();
  std::set<int32_t> numbers = {6, 7, 8, 9, 23, 24, 25, 35, 36, 37};
  for (int row = 0; row < 2; ++row) {
    for (uint8_t n : penCursorRow(row)) numbers.insert(n);
    for (uint8_t n : otherCursorRow(row)) numbers.insert(n);
  }
  std::set<QByteArray> pictures;
  for (int32_t n : numbers) {
    const SCursorArt art = cursorArt(n);
    if (n == kArrowCursor) {
      EXPECT_TRUE(art.image.isNull()) << "the system arrow stands for 5";
      continue;
    }
    ASSERT_FALSE(art.image.isNull()) << n;
    EXPECT_EQ(art.image.size(), QSize(32, 32)) << n;
    EXPECT_TRUE(QRect(0, 0, 32, 32).contains(art.hotSpot)) << n;
    // Something is drawn within two pixels of the hot spot.
    int near = 0;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) near = std::max(near, alphaAt(art.image, art.hotSpot + QPoint(dx, dy)));
    EXPECT_GT(near, 0) << n << " hot " << art.hotSpot.x() << "," << art.hotSpot.y();
    EXPECT_TRUE(art.image.save(cursorPath(QString("cursor-%1").arg(n, 2, 10, QChar('0')))));
    pictures.insert(QByteArray(reinterpret_cast<const char*>(art.image.constBits()), art.image.sizeInBytes()));
  }
  EXPECT_EQ(pictures.size(), numbers.size() - 1) << "each cursor looks different";
  EXPECT_TRUE(cursorArt(3).image.isNull());
}

TEST(ToolCursorArt, BrushOutlineCirclesTheHotSpot) {
  testing::ensureQtApp();
  for (float r : {4.0f, 10.0f, 40.5f}) {
    const SCursorArt art = brushOutlineArt(12, r);
    const QPoint c = art.hotSpot;
    const int ri = static_cast<int>(std::lround(r));
    // The circle left of the centre (the pencil lies to the upper right).
    int onRing = 0;
    for (int d = -1; d <= 1; ++d) onRing = std::max(onRing, alphaAt(art.image, c + QPoint(-ri + d, 0)));
    EXPECT_GT(onRing, 100) << r;
    if (r >= 10) {
      EXPECT_EQ(alphaAt(art.image, c + QPoint(-ri / 2 - 1, 0)), 0) << r;
    }
    EXPECT_EQ(alphaAt(art.image, c + QPoint(-ri - 4, 0)), 0) << r;
  }
  EXPECT_TRUE(brushOutlineArt(12, 18.0f).image.save(cursorPath("brush-outline-18")));
  EXPECT_TRUE(brushOutlineArt(34, 8.0f).image.save(cursorPath("brush-outline-cross-8")));
  // Too small to see, or too large for a cursor: the pen's own picture.
  for (float r : {0.0f, 2.5f, 500.0f}) {
    const SCursorArt art = brushOutlineArt(12, r);
    EXPECT_EQ(art.image, cursorArt(12).image) << r;
    EXPECT_EQ(art.hotSpot, cursorArt(12).hotSpot) << r;
  }
}

TEST(ToolCursorArt, CursorFileHotSpot) {
  auto bytes = [](std::initializer_list<int> b) {
    QByteArray a;
    for (int v : b) a.append(static_cast<char>(v));
    a.append(QByteArray(16, '\0'));
    return a;
  };
  EXPECT_EQ(cursorFileHotSpot(bytes({0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 7, 0, 9, 1})), QPoint(7, 265));
  EXPECT_EQ(cursorFileHotSpot(bytes({0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 7, 0, 9, 0})), QPoint(-1, -1)) << "an icon";
  EXPECT_EQ(cursorFileHotSpot(bytes({0, 0, 2, 0, 0, 0})), QPoint(-1, -1)) << "no entry";
  EXPECT_EQ(cursorFileHotSpot(QByteArray(10, '\0')), QPoint(-1, -1)) << "too short";
}

TEST(ToolCursorArt, CursorFileLoadsOrFallsBackToTheArrow) {
  testing::ensureQtApp();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString png = dir.filePath("pen.png");
  QImage img(16, 16, QImage::Format_ARGB32);
  img.fill(Qt::red);
  ASSERT_TRUE(img.save(png));
  TToolCursors cursors;
  cursors.applyPreferences({0, 0, png.toStdString()});
  EXPECT_TRUE(cursors.fileCursorLoaded());
  QCursor c = cursors.cursorFor({CursorKind::PenSlot, 9}, 0.0f);
  EXPECT_EQ(c.shape(), Qt::BitmapCursor);
  EXPECT_EQ(c.pixmap().size(), QSize(16, 16));
  EXPECT_EQ(c.hotSpot(), QPoint(8, 8));
  // A file that cannot be read: the pens still ask for cursor 38, which is
  // the arrow then.
  cursors.applyPreferences({0, 0, dir.filePath("missing.cur").toStdString()});
  EXPECT_FALSE(cursors.fileCursorLoaded());
  EXPECT_EQ(cursors.rows().penCursor(static_cast<PenSlot>(0)), kCursorFromFile);
  EXPECT_EQ(cursors.cursorFor({CursorKind::PenSlot, 9}, 10.0f).shape(), Qt::ArrowCursor);
  cursors.applyPreferences({});
  EXPECT_EQ(cursors.cursorFor({CursorKind::Hidden, 0}, 10.0f).shape(), Qt::BlankCursor);
}

// The application object must exist before the fixture's widgets.
struct QtAppFirst {
  QtAppFirst() { testing::ensureQtApp(); }
};

struct CanvasCursorTest : ::testing::Test, private QtAppFirst {
  CanvasCursorTest() { form = createToolWindow(host.get()); }
  ~CanvasCursorTest() override { destroyToolWindow(form); }
  std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
  TToolForm* form = nullptr;
  WidgetFixture canvas;
};

TEST_F(CanvasCursorTest, EachToolShowsItsCursorAndTheBrushItsSize) {
  canvas.shared.toolStroke().setWidth(20.0f);
  ASSERT_TRUE(canvas.shared.selectMode(ToolMode::Pencil));
  canvas.widget->refreshCursor();
  QCursor c = canvas.view()->cursor();
  ASSERT_EQ(c.shape(), Qt::BitmapCursor);
  const int atOne = c.pixmap().width();
  EXPECT_GE(atOne, 2 * 20 + 4) << "the circle of radius 20 fits";
  EXPECT_LT(atOne, 2 * 20 + 40);
  // At 2:1 the circle doubles.
  canvas.widget->window().setZoomCentred(2, 1);
  c = canvas.view()->cursor();
  ASSERT_EQ(c.shape(), Qt::BitmapCursor);
  EXPECT_GE(c.pixmap().width(), 2 * 40 + 4);

  struct {
    ToolMode mode;
    int32_t number;
  } tools[] = {{ToolMode::Eyedropper, 28}, {ToolMode::LayerMove, 26}, {ToolMode::Zoom, 32}, {ToolMode::Hand, 31}};
  for (const auto& t : tools) {
    ASSERT_TRUE(canvas.shared.selectMode(t.mode)) << int(t.mode);
    canvas.widget->refreshCursor();
    c = canvas.view()->cursor();
    ASSERT_EQ(c.shape(), Qt::BitmapCursor) << int(t.mode);
    EXPECT_EQ(c.hotSpot(), cursorArt(t.number).hotSpot) << int(t.mode);
    EXPECT_EQ(c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              cursorArt(t.number).image)
        << int(t.mode);
  }
  // The precise set for the other tools.
  form->applyPreferences({0, 1, ""});
  canvas.widget->refreshCursor();
  EXPECT_EQ(canvas.view()->cursor().hotSpot(), cursorArt(31).hotSpot) << "the hand keeps its own cursor";
  ASSERT_TRUE(canvas.shared.selectMode(ToolMode::Eyedropper));
  canvas.widget->refreshCursor();
  EXPECT_EQ(canvas.view()->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
            cursorArt(34).image);
}

}  // namespace
}  // namespace pg
