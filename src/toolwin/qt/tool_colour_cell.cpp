#include "toolwin/qt/tool_colour_cell.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "toolwin/qt/tool_glyph_painter.h"
#include "ui/qt/graphic_image.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

// Model colours are pixels (blue in the low byte), as UI colours are.
QColor qColorOfPixel(uint32_t pixel) { return QColor::fromRgb(pixel & 0xFFFFFFu); }
uint32_t pixelOfQColor(const QColor& c) { return 0xFF000000u | (c.rgb() & 0xFFFFFFu); }

}  // namespace

TToolColourCell::TToolColourCell(CToolWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setFocusPolicy(Qt::NoFocus);
}

int TToolColourCell::sideAt(const QPoint& pos) const {
  if (rectContains(colourPairForeground(width(), height()), pos.x(), pos.y())) return 1;
  if (rectContains(colourPairBackground(width(), height()), pos.x(), pos.y())) return 2;
  return 0;
}

void TToolColourCell::paintEvent(QPaintEvent*) {
  if (!image_.setSize(width(), height())) return;
  paintColourPair(image_, model_.fgColor(), model_.bgColor(), model_.activeSide());
  QPainter p(this);
  blendToPainter(p, 0, 0, width(), height(), image_, 0, 0);
}

void TToolColourCell::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || model_.replayDisplay()) return;
  if (int side = sideAt(event->pos())) {
    model_.chooseColourSide(side);
  } else if (rectContains(colourPairSwapArea(width(), height()), event->pos().x(), event->pos().y())) {
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
