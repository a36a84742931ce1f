#include "app/qt/status_panels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace pg {

TStatusPanels::TStatusPanels(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(true);
  setMinimumHeight(fontMetrics().height() + 8);
}

void TStatusPanels::setPanelText(int panel, const QString& text) {
  if (panel < 0 || panel >= kStatusPanelCount || texts_[size_t(panel)] == text) return;
  texts_[size_t(panel)] = text;
  update();
}

QString TStatusPanels::panelText(int panel) const {
  return panel >= 0 && panel < kStatusPanelCount ? texts_[size_t(panel)] : QString();
}

void TStatusPanels::paintEvent(QPaintEvent*) {
  QPainter p(this);
  auto widths = statusPanelWidths(width());
  int left = 0;
  const QPalette& pal = palette();
  for (int i = 0; i < kStatusPanelCount; ++i) {
    QRect r(left, 1, widths[size_t(i)], height() - 2);
    left += widths[size_t(i)];
    if (r.width() <= 2) continue;
    // Panels 0 and 1 are raised; the others sunk.
    bool raised = i <= 1;
    p.setPen(raised ? pal.color(QPalette::Light) : pal.color(QPalette::Mid));
    p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(raised ? pal.color(QPalette::Mid) : pal.color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight() - QPoint(1, 0));
    p.drawLine(r.topRight() - QPoint(1, 0), r.bottomRight() - QPoint(1, 0));
    p.setPen(pal.color(QPalette::WindowText));
    int align = (i == 3 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
    p.drawText(r.adjusted(4, 0, -4, 0), align, texts_[size_t(i)]);
  }
}

void TStatusPanels::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QStatusBar::mousePressEvent(event);
  auto panel = statusPanelAt(int(event->position().x()), width());
  if (!panel) return;
  QPoint at = mapToGlobal(QPoint(statusPanelCentre(*panel, width()), 0));
  emit panelClicked(*panel, at);
}

}  // namespace pg
