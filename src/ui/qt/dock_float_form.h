#pragma once
// A floating tool window holding a vertical stack of panes. It draws its own
// frame and caption: dragging the caption moves it with snapping, dragging the
// border resizes it within the limits of its panes, double-clicking the
// caption folds or opens every pane.
#include <QPoint>
#include <QRect>

#include <cstdint>

#include "ui/memory_graphic.h"
#include "ui/qt/base_forms.h"

namespace pg {

class TDockFloatManager;

class TDockFloatForm : public TBaseForm {
  Q_OBJECT
 public:
  // parentWindow: the main window, so that the form stays above it.
  TDockFloatForm(TDockFloatManager* manager, QWidget* parentWindow);
  ~TDockFloatForm() override;

  uint32_t formId() const { return id_; }
  void setFormId(uint32_t id) { id_ = id; }
  // The client area (below the caption, inside the border) in widget coordinates.
  QRect clientArea() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  enum Edge : uint8_t { kNone = 0, kLeft = 1, kRight = 2, kTop = 4, kBottom = 8, kMove = 16 };
  uint8_t edgesAt(const QPoint& p) const;

  TDockFloatManager* manager_;
  uint32_t id_ = 0;
  uint8_t grab_ = kNone;
  QPoint grabOffset_;  // pointer minus the window's top-left when a move began
  QRect grabBounds_;
  QPoint grabGlobal_;
  TMemoryGraphic face_;
  bool faceDirty_ = true;
};

}  // namespace pg
