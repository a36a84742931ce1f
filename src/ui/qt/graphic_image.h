#pragma once
// The Qt side of TMemoryGraphic: a QImage over the graphic's own bytes
// (Format_ARGB32 is exactly its layout on little-endian machines: B, G, R, A,
// not premultiplied), its copy to a painter, and Qt text drawn into it.
#include <QFont>
#include <QImage>
#include <QString>

#include "core/rect.h"
#include "ui/memory_graphic.h"
#include "ui/text_flags.h"

class QPainter;
class QWidget;

namespace pg {

// A QImage sharing the graphic's pixels (no copy); null for an invalid
// graphic. Valid while the graphic keeps its size. Drawing into it with a
// QPainter changes the graphic.
QImage graphicImage(TMemoryGraphic& g);
// A read-only view; Qt copies it before any write.
QImage graphicImageConst(const TMemoryGraphic& g);

// Copies the rectangle (sx, sy, w, h) of the graphic to (x, y) of the
// painter's device as opaque pixels: the alpha bytes play no part, so a
// pixel with alpha 0 shows its stored colour. False when nothing of the
// rectangle lies in the graphic.
bool blitToPainter(QPainter& painter, int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& g,
                   int32_t sx, int32_t sy);
// Draws the rectangle over what the device holds, by the pixels' alpha.
bool blendToPainter(QPainter& painter, int32_t x, int32_t y, int32_t w, int32_t h, const TMemoryGraphic& g,
                    int32_t sx, int32_t sy);

// Paints the whole graphic at the widget's top-left (from its paint event).
void blitFace(QWidget& w, const TMemoryGraphic& g);

// Qt's alignment and text flags for a word of draw-text flags.
int qtTextFlags(uint32_t flags);

// Text into the graphic. With dtCalcRect the text is only measured: the
// rectangle's right and bottom are set so that it holds the text (with
// dtWordBreak its width is kept) and no pixel changes. Otherwise the text is
// drawn in the colour within the rectangle and every pixel of the rectangle
// ends with alpha 255; the rectangle is not changed. False for an invalid
// graphic.
bool drawText(TMemoryGraphic& g, const QString& text, TRect& rect, const QFont& font, TUiColor colour,
              uint32_t flags);

}  // namespace pg
