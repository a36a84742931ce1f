#pragma once
// TGradientEdit: the bar on which the user edits a gradient's colour stops.
// A click beside the markers adds a stop with the colour the bar shows there,
// a click on a marker selects it, dragging moves it between its neighbours
// and releasing it outside the control deletes it.
#include <QWidget>

#include <functional>

#include "ui/gradient_stops.h"

namespace pg {

class TGradientEdit : public QWidget {
 public:
  explicit TGradientEdit(QWidget* parent = nullptr);
  TGradientStops& stops() { return stops_; }
  // Re-renders after the stops were changed through stops() and fires
  // OnChange.
  void changed();
  void setColorSlotGroup(const CColorSlotGroup& g);
  std::function<void()> OnChange;
  const TMemoryGraphic& face() const { return face_; }
  bool dragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void render();
  TGradientStops stops_;
  TMemoryGraphic face_;
  TMemoryGraphic bar_;
  int32_t dragX_ = 0;
  bool dragging_ = false;
  bool outside_ = false;
};

}  // namespace pg
