#include "toolwin/qt/tool_cursor_art.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace pg {

namespace {

constexpr int kSize = 32;

// A line through the points, closed back to the first when `closed`.
void polyline(QPainterPath& path, std::initializer_list<QPointF> points, bool closed = false) {
  auto p = points.begin();
  path.moveTo(*p);
  for (++p; p != points.end(); ++p) path.lineTo(*p);
  if (closed) path.closeSubpath();
}

// Every line is drawn twice, wide in white and thin in black, so the cursor
// shows on light and dark pictures alike.
void outlined(QPainter& p, const QPainterPath& path, bool filled = false) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(filled ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
  p.drawPath(path);
}

// The precise cross-hair about (15, 15), its middle left open.
void crossHair(QPainter& p) {
  QPainterPath path;
  for (const auto& [x0, y0, x1, y1] : {std::array<int, 4>{15, 3, 15, 11}, {15, 19, 15, 27},
                                       {3, 15, 11, 15}, {19, 15, 27, 15}}) {
    polyline(path, {{x0 + 0.5, y0 + 0.5}, {x1 + 0.5, y1 + 0.5}});
  }
  outlined(p, path);
  p.setPen(Qt::black);
  p.drawPoint(15, 15);
}

// A small mark at the lower right: 1 plus, 2 minus, 3 cross.
void cornerMark(QPainter& p, int mark) {
  QPainterPath path;
  const double cx = 25.5, cy = 25.5;
  if (mark == 1 || mark == 2) {
    polyline(path, {{cx - 3, cy}, {cx + 3, cy}});
  }
  if (mark == 1) {
    polyline(path, {{cx, cy - 3}, {cx, cy + 3}});
  }
  if (mark == 3) {
    polyline(path, {{cx - 3, cy - 3}, {cx + 3, cy + 3}});
    polyline(path, {{cx + 3, cy - 3}, {cx - 3, cy + 3}});
  }
  outlined(p, path);
}

// A tool lying from its working tip at the lower left up to the right.
QPainterPath pencil() {
  QPainterPath b;
  polyline(b, {{2.5, 29.5}, {5.5, 21.5}, {23.5, 3.5}, {28.5, 8.5}, {10.5, 26.5}}, true);
  polyline(b, {{5.5, 21.5}, {10.5, 26.5}});
  return b;
}

QPainterPath eraser() {
  QPainterPath b;
  polyline(b, {{3.5, 24.5}, {17.5, 10.5}, {25.5, 18.5}, {12.5, 31.5}, {5.5, 29.5}}, true);
  polyline(b, {{8.5, 19.5}, {16.5, 27.5}});
  return b;
}

QPainterPath paintBrush() {
  QPainterPath b;
  b.moveTo(2.5, 29.5);
  b.cubicTo(3.5, 24.5, 5.5, 20.5, 9.5, 19.5);
  b.lineTo(12.5, 22.5);
  b.cubicTo(11.5, 26.5, 7.5, 28.5, 2.5, 29.5);
  polyline(b, {{11.0, 21.0}, {27.5, 4.5}});
  return b;
}

QPainterPath airbrush() {
  QPainterPath b;
  b.addRoundedRect(QRectF(12.5, 4.5, 8, 14), 2, 2);
  polyline(b, {{16.5, 18.5}, {9.5, 25.5}});
  for (const QPointF d : {QPointF(4.5, 27.5), QPointF(7.5, 29.5), QPointF(3.5, 31.0 - 0.5), QPointF(2.5, 25.5)})
    b.addEllipse(d, 0.6, 0.6);
  return b;
}

QPainterPath drop() {
  QPainterPath b;
  b.moveTo(16.5, 4.5);
  b.cubicTo(21.5, 12.5, 24.5, 16.5, 24.5, 20.5);
  b.cubicTo(24.5, 25.5, 20.5, 28.5, 16.5, 28.5);
  b.cubicTo(12.5, 28.5, 8.5, 25.5, 8.5, 20.5);
  b.cubicTo(8.5, 16.5, 11.5, 12.5, 16.5, 4.5);
  return b;
}

QPainterPath finger() {
  QPainterPath b;
  b.addRoundedRect(QRectF(3.5, 13.5, 18, 7), 3.5, 3.5);
  polyline(b, {{21.5, 12.5}, {28.5, 12.5}, {28.5, 22.5}, {21.5, 22.5}});
  return b;
}

QPainterPath stretch() {
  QPainterPath b = finger();
  polyline(b, {{2.5, 26.5}, {12.5, 26.5}});
  polyline(b, {{5.5, 23.5}, {2.5, 26.5}, {5.5, 29.5}});
  return b;
}

// A magnifier about (12, 12): 1 a plus inside, 2 a minus.
QPainterPath lens(int mark) {
  QPainterPath b;
  b.addEllipse(QPointF(12.5, 12.5), 8, 8);
  polyline(b, {{18.5, 18.5}, {28.5, 28.5}});
  polyline(b, {{9.5, 12.5}, {15.5, 12.5}});
  if (mark == 1) {
    polyline(b, {{12.5, 9.5}, {12.5, 15.5}});
  }
  return b;
}

// A round tool on a stick about (10, 10); the burn tool's head is filled dark.
QPainterPath lollipop() {
  QPainterPath b;
  b.addEllipse(QPointF(10.5, 10.5), 7, 7);
  polyline(b, {{15.5, 15.5}, {28.5, 28.5}});
  b.addEllipse(QPointF(10.5, 10.5), 1, 1);
  return b;
}

// The pointer of the selection tools, its tip at (3, 3).
QPainterPath pointer() {
  QPainterPath b;
  polyline(b, {{3.5, 3.5}, {3.5, 20.5}, {8.0, 16.0}, {12.5, 24.5}, {15.0, 23.0}, {11.0, 14.5}, {17.0, 14.5}}, true);
  return b;
}

// Four arrows out of (cx, cy): shafts reaching `reach`, heads `head` wide
// on each side.
QPainterPath arrowCross(double cx, double cy, double reach, double head) {
  QPainterPath b;
  polyline(b, {{cx, cy - reach}, {cx, cy + reach}});
  polyline(b, {{cx - reach, cy}, {cx + reach, cy}});
  for (const auto& [dx, dy] : {std::array<double, 2>{0, -1}, {0, 1}, {-1, 0}, {1, 0}}) {
    const double tx = cx + dx * reach, ty = cy + dy * reach;
    // The head's two ends sit back from the tip, one on each side of the shaft.
    const double bx = tx - dx * head, by = ty - dy * head, px = dy * dy * head, py = dx * dx * head;
    polyline(b, {{bx - px, by - py}, {tx, ty}, {bx + px, by + py}});
  }
  return b;
}

// A small four-way arrow at the lower right.
QPainterPath smallArrows() { return arrowCross(24.5, 24.5, 6.0, 2.0); }

QPainterPath bucket() {
  QPainterPath b;
  polyline(b, {{9.5, 10.5}, {20.5, 3.5}, {28.5, 15.5}, {17.5, 22.5}}, true);
  b.moveTo(9.5, 10.5);
  b.cubicTo(5.5, 14.5, 3.5, 20.5, 3.5, 25.5);
  b.addEllipse(QPointF(3.5, 27.5), 1.5, 1.5);
  return b;
}

// A wand whose sparkling tip is the hot spot.
QPainterPath wand() {
  QPainterPath b;
  polyline(b, {{7.5, 5.5}, {25.5, 23.5}, {23.5, 25.5}, {5.5, 7.5}}, true);
  for (const auto& [x0, y0, x1, y1] : {std::array<double, 4>{3.5, 0.5, 3.5, 2.5}, {0.5, 3.5, 2.5, 3.5},
                                       {6.0, 1.0, 7.5, 0.0}, {1.0, 6.0, 0.0, 7.5}}) {
    polyline(b, {{x0, y0}, {x1, y1}});
  }
  return b;
}

QPainterPath fourArrows() { return arrowCross(15.5, 15.5, 12.0, 3.0); }

QPainterPath iBeam() {
  QPainterPath b;
  polyline(b, {{15.5, 5.5}, {15.5, 25.5}});
  polyline(b, {{11.5, 4.5}, {19.5, 4.5}});
  polyline(b, {{11.5, 26.5}, {19.5, 26.5}});
  return b;
}

QPainterPath pipette() {
  QPainterPath b;
  polyline(b, {{2.5, 29.5}, {4.5, 23.5}, {17.5, 10.5}, {21.5, 14.5}, {8.5, 27.5}}, true);
  b.addRoundedRect(QRectF(18.5, 3.5, 9, 9), 3, 3);
  return b;
}

QPainterPath hand() {
  QPainterPath b;
  b.addRoundedRect(QRectF(9.5, 14.5, 14, 12), 4, 4);
  for (const double x : {11.0, 14.5, 18.0, 21.5}) b.addRoundedRect(QRectF(x - 1, x == 11.0 ? 8.5 : 5.5, 3, 10), 1.5, 1.5);
  polyline(b, {{10.5, 22.5}, {5.5, 17.5}});
  return b;
}

struct SDrawing {
  QPoint hot;
  QPainterPath path;
  bool filled = false;
  bool cross = false;  // the cross-hair goes under the picture
  int mark = 0;
  bool darkHead = false;  // the burn tool's head
};

[[nodiscard]] bool drawingOf(int32_t number, SDrawing& d) {
  switch (number) {
    case 6: case 7: case 8:
      d = {{3, 3}, pointer(), true, false, number - 5};
      return true;
    case 9: {
      QPainterPath move = pointer();
      move.addPath(smallArrows());
      d = {{3, 3}, move, true};
      return true;
    }
    case 12: d = {{2, 29}, pencil(), true}; return true;
    case 13: d = {{4, 29}, eraser(), true}; return true;
    case 14: d = {{2, 29}, paintBrush(), true}; return true;
    case 15: d = {{3, 30}, airbrush(), true}; return true;
    case 16: d = {{16, 20}, drop(), true}; return true;
    case 17: d = {{3, 17}, finger(), true}; return true;
    case 18: d = {{3, 17}, stretch(), true}; return true;
    case 19: d = {{10, 10}, lollipop(), false, false, 0, true}; return true;
    case 20: d = {{10, 10}, lollipop(), false}; return true;
    case 21: d = {{3, 27}, bucket(), true}; return true;
    case 22: case 23: case 24: case 25:
      d = {{3, 3}, wand(), true, false, number - 22};
      return true;
    case 26: {
      QPainterPath move = fourArrows();
      move.addRect(QRectF(12.5, 12.5, 6, 6));
      d = {{15, 15}, move};
      return true;
    }
    case 27: d = {{15, 15}, iBeam()}; return true;
    case 28: d = {{2, 29}, pipette(), true}; return true;
    case 29: case 30: case 31: d = {{16, 18}, hand(), true}; return true;
    case 32: case 33: d = {{12, 12}, lens(number == 32 ? 1 : 2)}; return true;
    case 34: case 35: case 36: case 37:
      d = {{15, 15}, {}, false, true, number - 34};
      return true;
    default:
      return false;
  }
}

}  // namespace

SCursorArt cursorArt(int32_t number) {
  SDrawing d;
  if (!drawingOf(number, d)) return {};
  QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (d.cross) crossHair(p);
  if (!d.path.isEmpty()) outlined(p, d.path, d.filled);
  if (d.darkHead) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(11.0, 11.0), 5.5, 5.5);
  }
  if (d.mark != 0) cornerMark(p, d.mark);
  p.end();
  return {img, d.hot};
}

SCursorArt brushOutlineArt(int32_t number, float radius) {
  SCursorArt pen = cursorArt(number);
  if (!(radius >= kOutlineMinRadius) || radius > kOutlineMaxRadius) return pen;
  const int r = static_cast<int>(std::ceil(radius));
  // The circle's box, with the pen's picture placed so that its hot spot
  // falls on the centre; the image holds both.
  const QRect ring(-r - 2, -r - 2, 2 * r + 5, 2 * r + 5);
  QRect all = ring;
  if (!pen.image.isNull()) all |= QRect(-pen.hotSpot, pen.image.size());
  QImage img(all.size(), QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(-all.topLeft() + QPointF(0.5, 0.5));
  QPainterPath circle;
  circle.addEllipse(QPointF(0, 0), radius, radius);
  outlined(p, circle);
  p.resetTransform();
  if (!pen.image.isNull()) {
    // The pen's picture slightly faded, so the circle stays readable.
    p.setOpacity(0.85);
    p.drawImage(-all.topLeft() - pen.hotSpot, pen.image);
  } else {
    p.setPen(Qt::black);
    p.drawPoint(-all.topLeft());
  }
  p.end();
  return {img, -all.topLeft()};
}

QPoint cursorFileHotSpot(const QByteArray& bytes) {
  // Reserved word 0, type 2 (a cursor), at least one entry; the first entry's
  // fifth and sixth words hold the hot spot.
  if (bytes.size() < 6 + 16) return {-1, -1};
  auto word = [&](int at) {
    return static_cast<int>(static_cast<uint8_t>(bytes[at])) | (static_cast<int>(static_cast<uint8_t>(bytes[at + 1])) << 8);
  };
  if (word(0) != 0 || word(2) != 2 || word(4) < 1) return {-1, -1};
  return {word(6 + 4), word(6 + 6)};
}

void TToolCursors::applyPreferences(const SCursorPrefs& prefs) {
  fileLoaded_ = false;
  fileCursor_ = QCursor(Qt::ArrowCursor);
  if (rows_.apply(prefs)) {
    QFile f(QString::fromStdString(prefs.cursorFile));
    QPixmap pix;
    if (f.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = f.read(64 * 1024 * 1024);
      if (pix.loadFromData(bytes)) {
        QPoint hot = cursorFileHotSpot(bytes);
        if (!QRect(QPoint(0, 0), pix.size()).contains(hot)) hot = QPoint(pix.width() / 2, pix.height() / 2);
        fileCursor_ = QCursor(pix, hot.x(), hot.y());
        fileLoaded_ = true;
      }
    }
  }
}

QCursor TToolCursors::screenCursor(int32_t number) const {
  if (number == kCursorFromFile) return fileCursor_;
  if (number == kNoScreenCursor) return QCursor(Qt::BlankCursor);
  auto it = cache_.find(number);
  if (it != cache_.end()) return it->second;
  const SCursorArt art = cursorArt(number);
  const QCursor c = art.image.isNull() ? QCursor(Qt::ArrowCursor)
                                       : QCursor(QPixmap::fromImage(art.image), art.hotSpot.x(), art.hotSpot.y());
  cache_.emplace(number, c);
  return c;
}

QCursor TToolCursors::cursorFor(const SCursorChoice& c, float brushRadius) const {
  const int32_t number = rows_.screenCursorOf(c);
  if (c.kind != CursorKind::PenSlot || number == kCursorFromFile || !(brushRadius >= kOutlineMinRadius) ||
      brushRadius > kOutlineMaxRadius)
    return screenCursor(number);
  const SCursorArt art = brushOutlineArt(number, brushRadius);
  return QCursor(QPixmap::fromImage(art.image), art.hotSpot.x(), art.hotSpot.y());
}

}  // namespace pg
