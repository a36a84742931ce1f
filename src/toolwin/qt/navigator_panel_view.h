#pragma once
// The navigator panel (the preview with the visible part framed, zoom and
// rotation fields with their sliders, zoom buttons, the loupe that magnifies
// the canvas around the pointer) and the info panel (pointer position, drag
// geometry, the colour under the pointer) over their toolkit-free models.
#include <QWidget>
#include <array>
#include <functional>

#include "toolwin/loupe_model.h"
#include "toolwin/navigator_model.h"

class QDoubleSpinBox;
class QLabel;
class QMenu;
class QToolButton;

namespace pg {

class TGraphicTrackbar;
class TPgGlyphLabel;
class TLoupeControl;
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

  // The view grabber is to show the scale and the rotation (degrees).
  std::function<void(float, float)> OnGrabberShow;
  // The loupe shows the bound window's picture around the pointer (client
  // coordinates of the window).
  void updateLoupe(TPoint clientPointer);
  // The loupe's menu item was chosen.
  void loupeMenuClick(const QString& name);

  // Preferences: Shift's meaning on the sliders turned round; the preview's
  // turning drags reversed.
  void setForceDispParam(bool on) { forceDispParam_ = on; }
  bool counterRotation() const { return counterRotation_; }
  void setCounterRotation(bool on);

  QDoubleSpinBox* scaleEdit() const { return scale_; }
  QDoubleSpinBox* rotationEdit() const { return rotation_; }
  // The value labels of the two fields (the tool window binds them).
  TPgGlyphLabel* scaleLabel() const { return scaleLabel_; }
  TPgGlyphLabel* rotationLabel() const { return rotationLabel_; }
  TGraphicTrackbar* scaleSlider() const { return scaleSlider_; }
  TGraphicTrackbar* rotationSlider() const { return rotationSlider_; }
  TPreviewControl* preview() const { return preview_; }
  TLoupeControl* loupe() const { return loupeView_; }
  // The two menus, built as they open.
  void fillNavigatorMenu(QMenu& menu);
  void fillLoupeMenu(QMenu& menu);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void show();
  bool snaps() const;

  CNavigatorModel model_;
  TPreviewControl* preview_ = nullptr;
  QDoubleSpinBox* scale_ = nullptr;
  TPgGlyphLabel* scaleLabel_ = nullptr;
  TPgGlyphLabel* rotationLabel_ = nullptr;
  QDoubleSpinBox* rotation_ = nullptr;
  QToolButton* zoomIn_ = nullptr;
  QToolButton* zoomOut_ = nullptr;
  TGraphicTrackbar* scaleSlider_ = nullptr;
  TGraphicTrackbar* rotationSlider_ = nullptr;
  TLoupeControl* loupeView_ = nullptr;
  CLoupeModel loupe_;
  TPoint loupePointer_{-1, -1};
  bool forceDispParam_ = false;
  bool counterRotation_ = false;
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
