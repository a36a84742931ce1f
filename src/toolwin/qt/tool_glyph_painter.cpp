#include "toolwin/qt/tool_glyph_painter.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>

namespace pg {

namespace {

QColor inkOf(int state) {
  const QPalette& pal = QApplication::palette();
  switch (state) {
    case 1: return pal.color(QPalette::HighlightedText);
    case 2: return pal.color(QPalette::Disabled, QPalette::WindowText);
    default: return pal.color(QPalette::WindowText);
  }
}

QPolygonF poly(std::initializer_list<QPointF> points) { return QPolygonF(QList<QPointF>(points)); }

void pencil(QPainter& p) { p.drawPolygon(poly({{5, 19}, {6, 15}, {16, 5}, {19, 8}, {9, 18}})); }
void eraser(QPainter& p) { p.drawPolygon(poly({{4, 15}, {12, 7}, {19, 14}, {11, 20}, {7, 20}})); }
void drop(QPainter& p) {
  QPainterPath d;
  d.moveTo(12, 3);
  d.cubicTo(16, 10, 19, 13, 19, 16);
  d.arcTo(5, 9, 14, 13, 0, -180);
  d.cubicTo(5, 13, 8, 10, 12, 3);
  p.drawPath(d);
}
void airbrush(QPainter& p) {
  p.drawPolygon(poly({{13, 4}, {20, 11}, {14, 13}, {11, 10}}));
  for (QPointF dot : {QPointF(5, 15), QPointF(8, 18), QPointF(5, 20), QPointF(9, 14), QPointF(3, 18)})
    p.drawEllipse(dot, 0.8, 0.8);
}
void blur(QPainter& p) {
  p.drawEllipse(QPointF(12, 12), 7, 7);
  p.drawEllipse(QPointF(12, 12), 3, 3);
}
void finger(QPainter& p) {
  p.drawRoundedRect(QRectF(9, 3, 6, 14), 3, 3);
  p.drawLine(QPointF(7, 21), QPointF(17, 21));
}
void spread(QPainter& p) {
  p.drawLine(QPointF(4, 12), QPointF(20, 12));
  p.drawPolyline(poly({{16, 8}, {20, 12}, {16, 16}}));
  p.drawPolyline(poly({{8, 8}, {4, 12}, {8, 16}}));
}
void burnDodge(QPainter& p, bool dodge) {
  p.drawEllipse(QPointF(12, 9), 6, 6);
  p.drawLine(QPointF(12, 15), QPointF(12, 21));
  if (!dodge) p.drawEllipse(QPointF(12, 9), 2.5, 2.5);
}
void shape(QPainter& p, int kind, bool filled, bool dashed) {
  QPen pen = p.pen();
  if (dashed) {
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
  }
  if (!filled) p.setBrush(Qt::NoBrush);
  switch (kind) {
    case 0: p.drawRect(QRectF(5, 6, 14, 12)); break;
    case 1: p.drawEllipse(QRectF(4, 6, 16, 12)); break;
    case 2: p.drawPolygon(poly({{12, 4}, {20, 10}, {17, 20}, {7, 20}, {4, 10}})); break;
    default: {
      QPainterPath lasso;
      lasso.moveTo(6, 8);
      lasso.cubicTo(10, 2, 22, 6, 18, 14);
      lasso.cubicTo(15, 20, 6, 20, 5, 14);
      lasso.closeSubpath();
      p.drawPath(lasso);
    }
  }
}
void bucket(QPainter& p) {
  p.drawPolygon(poly({{5, 10}, {12, 4}, {19, 11}, {12, 18}}));
  p.drawEllipse(QPointF(19, 18), 1.5, 2.5);
}
void gradient(QPainter& p, const QColor& ink) {
  QLinearGradient g(4, 0, 20, 0);
  QColor clear = ink;
  clear.setAlpha(0);
  g.setColorAt(0, ink);
  g.setColorAt(1, clear);
  p.setBrush(g);
  p.drawRect(QRectF(4, 6, 16, 12));
}
void wand(QPainter& p) {
  p.drawLine(QPointF(5, 20), QPointF(14, 11));
  p.drawLine(QPointF(17, 3), QPointF(17, 9));
  p.drawLine(QPointF(14, 6), QPointF(20, 6));
}
void moveCross(QPainter& p) {
  p.drawLine(QPointF(12, 3), QPointF(12, 21));
  p.drawLine(QPointF(3, 12), QPointF(21, 12));
  p.drawPolyline(poly({{9, 6}, {12, 3}, {15, 6}}));
  p.drawPolyline(poly({{9, 18}, {12, 21}, {15, 18}}));
  p.drawPolyline(poly({{6, 9}, {3, 12}, {6, 15}}));
  p.drawPolyline(poly({{18, 9}, {21, 12}, {18, 15}}));
}
void letter(QPainter& p) {
  p.drawPolyline(poly({{6, 20}, {12, 4}, {18, 20}}));
  p.drawLine(QPointF(8.5, 14), QPointF(15.5, 14));
}
void crop(QPainter& p) {
  p.drawPolyline(poly({{7, 3}, {7, 17}, {21, 17}}));
  p.drawPolyline(poly({{3, 7}, {17, 7}, {17, 21}}));
}
void eyedropper(QPainter& p) {
  p.drawLine(QPointF(4, 20), QPointF(13, 11));
  p.drawRoundedRect(QRectF(13, 4, 6, 9), 2, 2);
}
void hand(QPainter& p) {
  p.drawRoundedRect(QRectF(6, 11, 12, 10), 3, 3);
  for (int x : {7, 10, 13, 16}) p.drawLine(QPointF(x + 0.5, 11), QPointF(x + 0.5, 5));
}
void rotation(QPainter& p) {
  p.drawArc(QRectF(5, 5, 14, 14), 30 * 16, 270 * 16);
  p.drawPolyline(poly({{15, 3}, {18, 7}, {14, 9}}));
}
void zoom(QPainter& p) {
  p.drawEllipse(QPointF(10, 10), 6, 6);
  p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
}

// The variants that behave as in version 3 carry a small "3".
bool isCompatGlyph(uint8_t glyph) {
  switch (glyph) {
    case 1: case 4: case 6: case 8: case 10: case 12: case 15: case 17: return true;
    default: return false;
  }
}

}  // namespace

void paintToolGlyph(QPainter& painter, const QRect& rect, uint8_t glyph, int state) {
  QColor ink = inkOf(state);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.translate(rect.center().x() - 12 + 1, rect.center().y() - 12 + 1);
  QPen pen(ink, 1.4);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  QColor fill = ink;
  fill.setAlpha(90);
  painter.setBrush(fill);
  switch (glyph) {
    case 0: case 1: pencil(painter); break;
    case 2: case 4: eraser(painter); break;
    case 3: eraser(painter); wand(painter); break;
    case 5: case 6: drop(painter); break;
    case 7: case 8: airbrush(painter); break;
    case 9: case 10: blur(painter); break;
    case 11: case 12: finger(painter); break;
    case 13: spread(painter); break;
    case 14: case 15: burnDodge(painter, false); break;
    case 16: case 17: burnDodge(painter, true); break;
    case 18: painter.drawPolyline(poly({{4, 16}, {9, 8}, {14, 15}, {20, 6}})); break;
    case 19: painter.drawLine(QPointF(4, 19), QPointF(20, 5)); break;
    case 20: painter.drawPolyline(poly({{4, 18}, {10, 6}, {15, 16}, {20, 5}})); break;
    case 21: case 22: case 23: shape(painter, glyph == 21 ? 0 : glyph == 22 ? 1 : 2, false, false); break;
    case 24: case 25: case 26: case 27: shape(painter, glyph - 24, true, false); break;
    case 28: bucket(painter); break;
    case 29: gradient(painter, ink); break;
    case 30: case 31: case 32: case 33: shape(painter, glyph - 30, false, true); break;
    case 34: wand(painter); break;
    case 35: moveCross(painter); break;
    case 36: moveCross(painter); shape(painter, 0, false, true); break;
    case 37: letter(painter); break;
    case 38: letter(painter); shape(painter, 0, false, true); break;
    case 39: crop(painter); break;
    case 40: eyedropper(painter); break;
    case 41: hand(painter); break;
    case 42: rotation(painter); break;
    case 43: zoom(painter); break;
    default: break;
  }
  if (isCompatGlyph(glyph)) {
    QFont font = painter.font();
    font.setPixelSize(8);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(15, 14, 8, 10), Qt::AlignCenter, QStringLiteral("3"));
  }
  painter.restore();
}

void paintDropDownMark(QPainter& painter, const QRect& buttonRect, int state) {
  QPointF corner = buttonRect.bottomRight() + QPointF(-1, -1);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(inkOf(state));
  painter.drawPolygon(poly({corner, corner - QPointF(5, 0), corner - QPointF(0, 5)}));
  painter.restore();
}

void paintToolButtonFace(QPainter& painter, const QRect& rect, bool down, bool hot) {
  const QPalette& pal = QApplication::palette();
  QColor face = down ? pal.color(QPalette::Highlight) : pal.color(QPalette::Button);
  if (hot && !down) face = face.lighter(108);
  painter.fillRect(rect, face);
  painter.setPen(down ? pal.color(QPalette::Shadow) : pal.color(QPalette::Light));
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(down ? pal.color(QPalette::Light) : pal.color(QPalette::Mid));
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.drawLine(rect.topRight(), rect.bottomRight());
}

QRect colourPairForeground(const QRect& rect) {
  int side = rect.width() * 5 / 8;
  return QRect(rect.left(), rect.top(), side, side);
}

QRect colourPairBackground(const QRect& rect) {
  int side = rect.width() * 5 / 8;
  return QRect(rect.right() - side + 1, rect.bottom() - side + 1, side, side);
}

QRect colourPairSwapArea(const QRect& rect) {
  int side = rect.width() * 3 / 8;
  return QRect(rect.right() - side + 1, rect.top(), side, side);
}

void paintColourPair(QPainter& painter, const QRect& rect, const QColor& fg, const QColor& bg, int activeSide) {
  const QPalette& pal = QApplication::palette();
  QRect front = colourPairForeground(rect);
  QRect back = colourPairBackground(rect);
  painter.save();
  auto square = [&](const QRect& r, const QColor& c, bool active) {
    painter.fillRect(r, c);
    painter.setPen(QPen(active ? pal.color(QPalette::Highlight) : pal.color(QPalette::Shadow), active ? 2 : 1));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
  };
  square(back, bg, activeSide == 2);
  square(front, fg, activeSide != 2);
  // The swap mark: a bent double arrow in the free corner.
  QRect swap = colourPairSwapArea(rect).adjusted(3, 3, -3, -3);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(pal.color(QPalette::WindowText), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(swap.left() - swap.width(), swap.top(), swap.width() * 2, swap.height() * 2), 0, 90 * 16);
  painter.restore();
}

}  // namespace pg
