#include "ui/qt/graphic_image.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace pg {

QImage graphicImage(TMemoryGraphic& g) {
  if (!g.isValid()) return {};
  return QImage(reinterpret_cast<uchar*>(g.pixels()), g.width(), g.height(), 4 * g.width(), QImage::Format_ARGB32);
}

QImage graphicImageConst(const TMemoryGraphic& g) {
  if (!g.isValid()) return {};
  return QImage(reinterpret_cast<const uchar*>(g.pixels()), g.width(), g.height(), 4 * g.width(),
                QImage::Format_ARGB32);
}

namespace {

// The source rectangle clipped to the graphic, the target moved along.
[[nodiscard]] bool clipSource(const TMemoryGraphic& g, int32_t& x, int32_t& y, int32_t w, int32_t h, int32_t sx, int32_t sy,
                SRectXYWH& src) {
  if (!g.clipBounds(sx, sy, w, h, src)) return false;
  x += src.X - sx;
  y += src.Y - sy;
  return true;
}

}  // namespace

bool blitToPainter(QPainter& painter, int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& g,
                   int32_t sx, int32_t sy) {
  SRectXYWH src;
  if (!clipSource(g, x, y, w, h, sx, sy, src)) return false;
  // A small opaque copy: Qt would read the alpha bytes of any view.
  QImage opaque(src.Width, src.Height, QImage::Format_RGB32);
  if (opaque.isNull()) return false;
  for (int32_t row = 0; row < src.Height; ++row) {
    const uint32_t* s = g.pixelAddr(src.X, src.Y + row);
    auto* d = reinterpret_cast<uint32_t*>(opaque.scanLine(row));
    for (int32_t i = 0; i < src.Width; ++i) d[i] = s[i] | 0xFF000000u;
  }
  const auto mode = painter.compositionMode();
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(x, y, opaque);
  painter.setCompositionMode(mode);
  return true;
}

bool blendToPainter(QPainter& painter, int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& g,
                    int32_t sx, int32_t sy) {
  SRectXYWH src;
  if (!clipSource(g, x, y, w, h, sx, sy, src)) return false;
  const auto mode = painter.compositionMode();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QPoint(x, y), graphicImageConst(g), QRect(src.X, src.Y, src.Width, src.Height));
  painter.setCompositionMode(mode);
  return true;
}

void blitFace(QWidget& w, const TMemoryGraphic& g) {
  QPainter p(&w);
  blitToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

namespace {

// One axis of the alignment: the middle flag wins over the far one, and
// neither means the near side.
int alignOn(uint32_t flags, uint32_t middle, int alignMiddle, uint32_t far, int alignFar, int alignNear) {
  if (flags & middle) return alignMiddle;
  return (flags & far) ? alignFar : alignNear;
}

}  // namespace

int qtTextFlags(uint32_t flags) {
  int q = alignOn(flags, dtCenter, Qt::AlignHCenter, dtRight, Qt::AlignRight, Qt::AlignLeft);
  q |= alignOn(flags, dtVCenter, Qt::AlignVCenter, dtBottom, Qt::AlignBottom, Qt::AlignTop);
  if (flags & dtWordBreak) q |= Qt::TextWordWrap;
  if (flags & dtSingleLine) q |= Qt::TextSingleLine;
  if (flags & dtNoClip) q |= Qt::TextDontClip;
  if (!(flags & dtNoPrefix)) q |= Qt::TextShowMnemonic;
  return q;
}

namespace {

QString shownText(const QString& text, const QFontMetrics& fm, uint32_t flags, int width) {
  if ((flags & dtEndEllipsis) && !(flags & dtWordBreak)) return fm.elidedText(text, Qt::ElideRight, width);
  return text;
}

}  // namespace

bool drawText(TMemoryGraphic& g, const QString& text, TRect& rect, const QFont& font, TUiColor colour,
              uint32_t flags) {
  if (!g.isValid()) return false;
  const QFontMetrics fm(font);
  const int qflags = qtTextFlags(flags);
  if (flags & dtCalcRect) {
    const bool wrap = (flags & dtWordBreak) && !(flags & dtSingleLine);
    const int width = wrap ? std::max(1, rect.Right - rect.Left) : std::numeric_limits<int>::max() / 4;
    const QRect measured = fm.boundingRect(QRect(0, 0, width, std::numeric_limits<int>::max() / 4),
                                           qflags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter |
                                                      Qt::AlignBottom),
                                           text);
    if (!wrap) rect.Right = rect.Left + measured.width();
    rect.Bottom = rect.Top + std::max(measured.height(), fm.height());
    return true;
  }
  const QRect box(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
  {
    QImage view = graphicImage(g);
    QPainter p(&view);
    p.setFont(font);
    p.setPen(QColor(uiRed(colour), uiGreen(colour), uiBlue(colour)));
    if (!(flags & dtNoClip)) p.setClipRect(box);
    p.drawText(box, qflags, shownText(text, fm, flags, box.width()));
  }
  // Text output leaves the alpha bytes undefined: the whole box becomes opaque.
  g.fillRect(rect, uiOpaqueWhite, keepChannel, copyChannel);
  return true;
}

}  // namespace pg
