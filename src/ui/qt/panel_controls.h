#pragma once
// Two small controls of the panels: TPressureGamma (drag to set a pressure
// curve's gamma, double-click resets it) and TGrabberControl (the dial,
// zoom slider and buttons that turn and zoom a view; its owner draws it
// with drawTo, the control itself only takes the pointer).
#include <QWidget>

#include <functional>

#include "ui/grabber_logic.h"
#include "ui/memory_graphic.h"

namespace pg {

class TPressureGamma : public QWidget {
 public:
  explicit TPressureGamma(QWidget* parent = nullptr);
  float gamma() const { return gamma_; }
  void setGamma(float g);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  std::function<void()> OnChange;
  const TMemoryGraphic& face() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  bool interactive() const { return isVisible() && isEnabled() && !readOnly_; }
  void render();
  TMemoryGraphic image_;
  float gamma_ = 1.0f;
  QPoint last_;
  bool dragging_ = false;
  bool readOnly_ = false;
};

class TGrabberControl : public QWidget {
 public:
  explicit TGrabberControl(QWidget* parent = nullptr);
  float scale() const { return scale_; }
  void setScale(float s);
  float rotation() const { return rotation_; }
  void setRotation(float degrees);
  // Composites the face, the knob and the thumb at (x, y).
  void drawTo(TMemoryGraphic& g, int32_t x, int32_t y) const;
  // Swaps the meaning of Shift (the preference for the adjust key).
  bool SwapAdjustKey = false;
  std::function<void()> OnChange, OnGrabberEnter, OnGrabberExit;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  void setHover(uint8_t part);
  void drawPart(uint8_t part, bool highlighted);
  void dragTo(QPoint p, Qt::KeyboardModifiers mods);
  TMemoryGraphic face_;
  float scale_ = 1.0f;
  float rotation_ = 0.0f;
  uint8_t hover_ = gpNone;
  uint8_t drag_ = gpNone;
};

}  // namespace pg
