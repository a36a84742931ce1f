#pragma once
// TPreviewControl, the navigator: the whole document fitted into the control
// with the visible part of the view as a (possibly turned) frame. Dragging
// moves the view; Alt-dragging or right-dragging turns it; a turning click
// without movement resets the angle. The owner renders the document into the
// thumbnail when asked.
#include <QWidget>

#include <array>
#include <functional>

#include "ui/display_controls.h"
#include "ui/memory_graphic.h"

namespace pg {

class TPreviewControl : public QWidget {
 public:
  explicit TPreviewControl(QWidget* parent = nullptr);
  void setHasImage(bool on);
  void setViewSize(int32_t w, int32_t h);
  void setImageSize(int32_t w, int32_t h);
  void setCentre(int32_t x, int32_t y);
  void setZoom(float z);
  void setRotation(float radians);
  void setCompact(bool on);
  // Asks the owner for the thumbnail again (the document changed) and repaints.
  void refreshImage();
  float rotation() const { return rotation_; }
  TPoint centre() const { return {centreX_, centreY_}; }
  const SNavigatorFit& fit() const { return fit_; }
  int32_t innerWidth() const { return fit_.imageRect.Right - fit_.imageRect.Left - 4; }
  int32_t innerHeight() const { return fit_.imageRect.Bottom - fit_.imageRect.Top - 4; }
  // Pointer angles are negated (the default).
  bool AngleSign = true;
  // (thumbnail, inner width, inner height): render the document into it.
  std::function<void(TMemoryGraphic&, int32_t, int32_t)> OnThumbnail;
  std::function<void(int32_t, int32_t)> OnCentre;
  std::function<void(float)> OnRotation;
  const TMemoryGraphic& face();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool insideImage(QPoint p) const;
  void refit();
  void render();
  TMemoryGraphic display_;
  TMemoryGraphic thumb_;
  SNavigatorFit fit_;
  bool hasImage_ = false;
  bool compact_ = false;
  int32_t viewW_ = 0, viewH_ = 0, imageW_ = 0, imageH_ = 0, centreX_ = 0, centreY_ = 0;
  float zoom_ = 1.0f, rotation_ = 0.0f;
  bool moving_ = false, turning_ = false, turned_ = false;
  QPoint press_;
  float startAngle_ = 0.0f;
};

}  // namespace pg
