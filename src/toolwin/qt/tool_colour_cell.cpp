#include "toolwin/qt/tool_colour_cell.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "toolwin/qt/tool_glyph_painter.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

// Model colours are pixels: blue in the low byte.
QColor qColorOfPixel(uint32_t pixel) { return QColor::fromRgb(pixel & 0xFFFFFFu); }
uint32_t pixelOfQColor(const QColor& c) { return 0xFF000000u | (c.rgb() & 0xFFFFFFu); }

}  // namespace

TToolColourCell::TToolColourCell(CToolWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setFocusPolicy(Qt::NoFocus);
}

int TToolColourCell::sideAt(const QPoint& pos) const {
  if (colourPairForeground(rect()).contains(pos)) return 1;
  if (colourPairBackground(rect()).contains(pos)) return 2;
  return 0;
}

void TToolColourCell::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintColourPair(p, rect(), qColorOfPixel(model_.fgColor()), qColorOfPixel(model_.bgColor()), model_.activeSide());
}

void TToolColourCell::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || model_.replayDisplay()) return;
  if (int side = sideAt(event->pos())) {
    model_.setActiveSide(side);
  } else if (colourPairSwapArea(rect()).contains(event->pos())) {
    model_.swapColors();
  }
}

void TToolColourCell::mouseDoubleClickEvent(QMouseEvent* event) {
  int side = sideAt(event->pos());
  if (event->button() != Qt::LeftButton || side == 0 || model_.replayDisplay()) return;
  model_.setActiveSide(side);
  QColor chosen = QColorDialog::getColor(qColorOfPixel(model_.activeColor()), this, QString(),
                                         QColorDialog::DontUseNativeDialog);
  if (chosen.isValid()) model_.setActiveColor(pixelOfQColor(chosen));
}

}  // namespace pg
