#pragma once
// TTrackArea: the zoom blur dialog's centre picker, a framed area with a grid
// and a marker that a press or a drag moves.
#include <QWidget>

#include <functional>

#include "ui/memory_graphic.h"

namespace pg {

class TTrackArea : public QWidget {
 public:
  explicit TTrackArea(QWidget* parent = nullptr);

  float positionX() const { return x_; }
  float positionY() const { return y_; }
  // Stores, repaints and fires OnChange unless both are unchanged.
  void setPosition(float x, float y);

  int32_t LinesAcross = 3;
  int32_t LinesDown = 3;
  QWidget* FocusControl = nullptr;
  std::function<void()> OnChange;
  const TMemoryGraphic& face();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void moveTo(QPoint p);
  void redraw();
  float x_ = 0.5f;
  float y_ = 0.5f;
  bool dragging_ = false;
  TMemoryGraphic image_;
};

}  // namespace pg
