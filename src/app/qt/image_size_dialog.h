#pragma once
// The canvas size dialog ("画像サイズ") with its anchor control, and the
// resampling dialog ("画像解像度", or "拡大縮小" for a layer), over the
// toolkit-free models of app/image_size_model.h.
#include <QDialog>
#include <QWidget>

#include "app/image_size_model.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;

namespace pg {

class TMainForm;

// Nine cells that say where the old image stays on the new canvas.
class TSizePositionControl : public QWidget {
  Q_OBJECT
 public:
  explicit TSizePositionControl(QWidget* parent = nullptr);
  int32_t selected() const { return selected_; }
  void setSelected(int32_t cell);
  const SAnchorCells& cells() const { return cells_; }

 signals:
  void selectionChanged(int cell);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  SAnchorCells cells_;
  int32_t selected_ = 4;
};

// The two fields of one axis and its unit list.
struct SSizeAxisFields {
  QDoubleSpinBox* pixels = nullptr;
  QDoubleSpinBox* value = nullptr;
  QComboBox* unit = nullptr;
};

class TFormImageSize : public QDialog {
  Q_OBJECT
 public:
  TFormImageSize(int32_t width, int32_t height, int32_t resolution, QWidget* parent = nullptr);
  const CCanvasSizeModel& model() const { return model_; }
  const SSizeAxisFields& fields(int axis) const { return axes_[axis]; }
  QCheckBox* relativeBox() const { return relative_; }
  TSizePositionControl* anchor() const { return anchor_; }

 private:
  void refresh();

  CCanvasSizeModel model_;
  SSizeAxisFields axes_[2];
  QGroupBox* pixelGroup_ = nullptr;
  QCheckBox* relative_ = nullptr;
  TSizePositionControl* anchor_ = nullptr;
  bool guard_ = false;
};

class TFormResolution : public QDialog {
  Q_OBJECT
 public:
  TFormResolution(int32_t width, int32_t height, int32_t resolution, bool scaling, QWidget* parent = nullptr);
  const CResampleModel& model() const { return model_; }
  const SSizeAxisFields& fields(int axis) const { return axes_[axis]; }
  QCheckBox* aspectBox() const { return aspect_; }
  QDoubleSpinBox* resolutionField() const { return resolution_; }

 private:
  void refresh();

  CResampleModel model_;
  SSizeAxisFields axes_[2];
  QGroupBox* pixelGroup_ = nullptr;
  QCheckBox* aspect_ = nullptr;
  QDoubleSpinBox* resolution_ = nullptr;
  bool guard_ = false;
};

// True only on OK with a changed size (and resolution); then the record holds the result.
[[nodiscard]] bool execImageSizeDialog(TMainForm& form, SImageSizeRecord& record, int32_t resolution);
[[nodiscard]] bool execResolutionDialog(TMainForm& form, SResolutionRecord& record, bool scaling);

}  // namespace pg
