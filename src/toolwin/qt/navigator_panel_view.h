#pragma once
// The navigator panel (the preview with the visible part framed, zoom and
// rotation fields, zoom buttons) and the info panel (pointer position, drag
// geometry, the colour under the pointer) over their toolkit-free models.
#include <QWidget>
#include <array>

#include "toolwin/navigator_model.h"

class QDoubleSpinBox;
class QLabel;
class QToolButton;

namespace pg {

class TPreviewControl;

class TNavigatorPanelView : public QWidget {
  Q_OBJECT
 public:
  explicit TNavigatorPanelView(QWidget* parent = nullptr);
  CNavigatorModel& model() { return model_; }
  void bind(TDrawWindow* window);
  // The window's view changed.
  void windowViewChanged() { model_.windowViewChanged(); }
  // Renders the document into the preview again.
  void updateImage();

  QDoubleSpinBox* scaleEdit() const { return scale_; }
  QDoubleSpinBox* rotationEdit() const { return rotation_; }
  TPreviewControl* preview() const { return preview_; }

 private:
  void show();

  CNavigatorModel model_;
  TPreviewControl* preview_ = nullptr;
  QDoubleSpinBox* scale_ = nullptr;
  QDoubleSpinBox* rotation_ = nullptr;
  QToolButton* zoomIn_ = nullptr;
  QToolButton* zoomOut_ = nullptr;
  bool showing_ = false;
};

class TInfoPanelView : public QWidget {
  Q_OBJECT
 public:
  explicit TInfoPanelView(QWidget* parent = nullptr);
  CInfoModel& model() { return model_; }
  void updateInfo(TDrawWindow* window, int32_t mode, float x, float y);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void show();

  CInfoModel model_;
  std::array<QLabel*, 12> values_{};
  QWidget* swatch_ = nullptr;
};

}  // namespace pg
