#include "toolwin/qt/tool_glyph_painter.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>

#include "ui/glyph_artwork.h"
#include "ui/glyph_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/qt_appearance.h"

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

}  // namespace

void paintToolGlyph(QPainter& painter, const QRect& rect, uint8_t glyph, int state) {
  const TPgGlyphManager* glyphs = glyphManager();
  if (!glyphs) return;
  const TMemoryGraphic& image = glyphs->glyph(glyph, static_cast<uint32_t>(state));
  blendToPainter(painter, rect.left() + (rect.width() - kGlyphSize) / 2, rect.top() + (rect.height() - kGlyphSize) / 2,
                 kGlyphSize, kGlyphSize, image, 0, 0);
}

void ensureToolGlyphs() {
  if (!glyphManager()) createGlyphManager(loadSystemColors(QApplication::palette()));
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
