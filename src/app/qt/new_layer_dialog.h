#pragma once
// "新規レイヤ": name, blend mode, opacity and initial colour of a new layer.
#include <QDialog>

#include "app/new_layer_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace pg {

class TMainForm;

class TFormNewLayer : public QDialog {
 public:
  TFormNewLayer(const SNewLayerRecord& record, QWidget* parent = nullptr);
  CNewLayerModel& model() { return model_; }
  QComboBox& modeList() { return *modes_; }
  QComboBox& colourList() { return *colours_; }
  QSpinBox& opacityField() { return *opacity_; }

 private:
  void showColours();
  CNewLayerModel model_;
  QLineEdit* name_;
  QComboBox* modes_;
  QComboBox* colours_;
  QSpinBox* opacity_;
  QSlider* slider_;
  QCheckBox* transparent_;
};

// Runs the dialog over the main window; on OK the record takes the name,
// blend mode, opacity and colour.
[[nodiscard]] bool execNewLayerDialog(TMainForm& form, SNewLayerRecord& record);

}  // namespace pg
