#pragma once
// The tool window's colour pair: the foreground and background squares and
// the swap corner. A click chooses the side the colour edits work on, a
// double click opens the colour picker for that side, a click on the corner
// swaps the two colours. The colours themselves live in the tool window's
// model; the cell only shows them.
#include <QWidget>

#include "ui/memory_graphic.h"

namespace pg {

class CToolWindowModel;

class TToolColourCell : public QWidget {
  Q_OBJECT
 public:
  TToolColourCell(CToolWindowModel& model, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int sideAt(const QPoint& pos) const;  // 1, 2, or 0 off both squares

  CToolWindowModel& model_;
  TMemoryGraphic image_;
};

}  // namespace pg
