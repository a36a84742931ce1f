#pragma once
// "JPEG 設定": the JPEG export settings asked before a JPEG file is written.
#include <QDialog>

#include <memory>

#include "app/jpeg_option_model.h"

class QCheckBox;
class QComboBox;
class QSlider;
class QSpinBox;

namespace pg {

class TMainForm;

class TFormJpegOption : public QDialog {
 public:
  TFormJpegOption(const CJpegOptionModel& model, QWidget* parent = nullptr);
  CJpegOptionModel& model() { return model_; }
  QComboBox& presetList() { return *presets_; }
  QSpinBox& qualityField() { return *quality_; }
  QSlider& qualitySlider() { return *qualitySlider_; }

 private:
  // Shows the model in every control (the guard keeps their signals out).
  void showModel();
  CJpegOptionModel model_;
  QComboBox* presets_;
  QSpinBox* quality_;
  QSlider* qualitySlider_;
  QSpinBox* smoothing_;
  QSlider* smoothingSlider_;
  QCheckBox* progressive_;
  QCheckBox* greyscale_;
  bool guard_ = false;
};

// Runs the dialog over the main window with the preferences' settings; on OK
// stores them and fills the options.
[[nodiscard]] bool execJpegOptionDialog(TMainForm& form, SJpegSaveOptions& options);

}  // namespace pg
