#pragma once
// The rotation dialog ("回転"), the layer property dialog ("レイヤのプロパティ")
// with its preview, and its reduced form for a mask.
#include <QDialog>
#include <QImage>

#include "app/layer_option_model.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace pg {

class CLayerData;
class CMaskData;
class TMainForm;
class TMTC;

class TFormLayerOption : public QDialog {
  Q_OBJECT
 public:
  // A layer dialog shows the layer's pixels; a mask dialog (mask set, or
  // neither for a mask without image) shows the mask's.
  TFormLayerOption(const TLayerOptionValue& record, const TMTC* layerPixels, const CMaskData* mask, bool maskVariant,
                   int32_t layerW, int32_t layerH, int32_t docW, int32_t docH, QWidget* parent = nullptr);
  TLayerOptionValue result() const { return model_.result(); }
  bool previewReady() const { return !preview_.isNull(); }

  QLineEdit* nameEdit() const { return name_; }
  QComboBox* modeList() const { return modes_; }
  QDoubleSpinBox* opacityField() const { return opacity_; }
  QSlider* opacitySlider() const { return opacitySlider_; }
  QCheckBox* ditherBox() const { return dither_; }
  QDoubleSpinBox* ditherField() const { return ditherField_; }
  QDoubleSpinBox* xField() const { return x_; }
  QCheckBox* cropBox() const { return crop_; }
  const QImage& preview() const { return preview_; }

 private:
  void makePreview(const TMTC* layerPixels, const CMaskData* mask, int32_t layerW, int32_t layerH, int32_t docW,
                   int32_t docH, int32_t posX, int32_t posY);

  CLayerOptionModel model_;
  QImage preview_;
  QLineEdit* name_ = nullptr;
  QComboBox* modes_ = nullptr;
  QDoubleSpinBox* opacity_ = nullptr;
  QSlider* opacitySlider_ = nullptr;
  QCheckBox* dither_ = nullptr;
  QDoubleSpinBox* ditherField_ = nullptr;
  QSlider* ditherSlider_ = nullptr;
  QDoubleSpinBox* x_ = nullptr;
  QDoubleSpinBox* y_ = nullptr;
  QCheckBox* crop_ = nullptr;
};

// True on OK; the angle is wrapped into -180..180.
[[nodiscard]] bool execRotationDialog(TMainForm& form, float& angle);
// The layer's own record and pixels; false without a dialog when the preview
// cannot be made.
[[nodiscard]] bool execLayerOptionDialog(TMainForm& form, TLayerOptionValue& record, const CLayerData& layer, int32_t docW,
                           int32_t docH);
[[nodiscard]] bool execMaskOptionDialog(TMainForm& form, TLayerOptionValue& record, const CMaskData* mask, int32_t docW,
                          int32_t docH);

}  // namespace pg
