#pragma once
// A pane's caption strip: the tabs of the panels grouped in the pane, the
// menu button of the active panel, and on panes below the first the resize
// grip of the pane above. Pressing a tab activates it, dragging it docks the
// panel elsewhere, double-clicking folds the pane.
#include <QPoint>
#include <QWidget>

#include <cstdint>

#include "ui/memory_graphic.h"

namespace pg {

class TDockFloatManager;

class TDockViewManager : public QWidget {
  Q_OBJECT
 public:
  TDockViewManager(TDockFloatManager* manager, uint32_t paneId, QWidget* parent);

  uint32_t paneId() const { return paneId_; }
  // Re-renders the face and the tab map from the model.
  void render();
  // The index in the pane of the tab under a client point; -1 for none.
  int tabAt(const QPoint& p) const;
  QRect menuButtonRect() const;
  const TMemoryGraphic& tabMap() const { return tabMap_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  [[nodiscard]] bool locate(int32_t& form, int32_t& pane) const;
  void setHover(bool hover);

  TDockFloatManager* manager_;
  uint32_t paneId_;
  TMemoryGraphic face_;
  TMemoryGraphic tabMap_{uiClear};
  // 0 idle, 1 a tab pressed (a drag may start), 2 the grip pressed, 3 dragging.
  uint8_t pressState_ = 0;
  QPoint pressPoint_;
  QPoint pressGlobal_;
  bool menuHover_ = false;
};

}  // namespace pg
