#include "ui/qt/dock_drawing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace pg {

namespace {

QPalette pal() { return QApplication::palette(); }

QFont tabFont() {
  QFont f = QApplication::font();
  f.setPixelSize(11);
  return f;
}

void raisedFrame(QPainter& p, const QRect& r) {
  p.setPen(pal().color(QPalette::Light));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(pal().color(QPalette::Dark));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

QSize measureCaptionTab(const QString& text) {
  const QFontMetrics fm(tabFont());
  return {fm.horizontalAdvance(text) + 24, 17};
}

void paintCaptionTab(QImage& image, const QString& text, bool active) {
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF r(0.5, 0.5, image.width() - 1.0, image.height() + 2.0);
  // A trapezoid tab whose slanted sides overlap the neighbours.
  QPainterPath path;
  path.moveTo(r.left(), r.bottom());
  path.lineTo(r.left() + 8, r.top());
  path.lineTo(r.right() - 8, r.top());
  path.lineTo(r.right(), r.bottom());
  path.closeSubpath();
  p.fillPath(path, active ? pal().color(QPalette::Window).lighter(112) : pal().color(QPalette::Button).darker(108));
  p.setPen(pal().color(QPalette::Shadow));
  p.drawPath(path);
  p.setFont(tabFont());
  p.setPen(pal().color(active ? QPalette::WindowText : QPalette::PlaceholderText));
  p.drawText(QRect(0, 1, image.width(), image.height() - 1), Qt::AlignCenter, text);
}

void paintStripFace(QImage& face, bool isTop) {
  face.fill(pal().color(QPalette::Button));
  QPainter p(&face);
  int top = 0;
  if (!isTop) {
    p.setPen(pal().color(QPalette::Light));
    p.drawLine(0, 1, face.width() - 1, 1);
    p.setPen(pal().color(QPalette::Dark));
    p.drawLine(0, 2, face.width() - 1, 2);
    top = 4;
  }
  const QRect r(0, top, face.width(), face.height() - top);
  raisedFrame(p, r.adjusted(0, 0, -1, -1));
  p.setPen(pal().color(QPalette::Shadow));
  p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
}

void paintMenuButton(QImage& face, const QRect& r, int state) {
  QPainter p(&face);
  p.setRenderHint(QPainter::Antialiasing, true);
  if (state == 1) {
    p.fillRect(r, pal().color(QPalette::Highlight).lighter(160));
    raisedFrame(p, r.adjusted(0, 0, -1, -1));
  }
  const QColor c = state == 2 ? pal().color(QPalette::Mid) : pal().color(QPalette::ButtonText);
  QPainterPath tri;
  const QPointF c0(r.center().x() + 0.5, r.center().y() + 2.5);
  tri.moveTo(c0.x() - 4, c0.y() - 4);
  tri.lineTo(c0.x() + 4, c0.y() - 4);
  tri.lineTo(c0.x(), c0.y());
  tri.closeSubpath();
  p.fillPath(tri, c);
}

void paintFloatFrame(QPainter& p, const QRect& bounds, int border, int captionHeight, const QString& title) {
  p.fillRect(bounds, pal().color(QPalette::Window));
  raisedFrame(p, bounds.adjusted(0, 0, -1, -1));
  const QRect cap(bounds.left() + border, bounds.top() + border, bounds.width() - 2 * border, captionHeight);
  QLinearGradient g(cap.topLeft(), cap.topRight());
  g.setColorAt(0, pal().color(QPalette::Highlight));
  g.setColorAt(1, pal().color(QPalette::Highlight).lighter(140));
  p.fillRect(cap, g);
  QFont f = QApplication::font();
  f.setPixelSize(11);
  p.setFont(f);
  p.setPen(pal().color(QPalette::HighlightedText));
  p.drawText(cap.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
}

void paintDropIndicator(QPainter& p, const QRect& r) {
  QColor fill = pal().color(QPalette::Highlight);
  fill.setAlpha(90);
  p.fillRect(r, fill);
  p.setPen(QPen(pal().color(QPalette::Highlight), 2));
  p.drawRect(r.adjusted(1, 1, -1, -1));
}

void paintPopupFrame(QPainter& p, const QRect& r) {
  p.setPen(pal().color(QPalette::Shadow));
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace pg
