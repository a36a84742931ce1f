#pragma once
// The one-number dialog: a label, a number field with its unit and a slider
// over the same value. Dialogs that ask for one number derive from it and set
// the range, the labels and the caption.
#include <QDialog>

#include "app/value_dialog_model.h"

class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;

namespace pg {

class TFormValue : public QDialog {
  Q_OBJECT
 public:
  explicit TFormValue(QWidget* parent = nullptr);

  // Range and value together (maximum first, as the value model takes them).
  void setRange(float maximum, float minimum, float value);
  void setValue(float value);
  const CValueDialogModel& value() const { return model_; }
  void setLabelText(const QString& text);
  void setUnitText(const QString& text);
  // The number of decimals the field shows (0 by default).
  void setDecimals(int decimals);

  QDoubleSpinBox* numberField() const { return number_; }
  QSlider* slider() const { return slider_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 private:
  void refresh();

  CValueDialogModel model_;
  QLabel* label_ = nullptr;
  QDoubleSpinBox* number_ = nullptr;
  QLabel* unit_ = nullptr;
  QSlider* slider_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  bool refreshing_ = false;
};

// OK and Cancel with the program's own captions.
QDialogButtonBox* makeOkCancelButtons(QDialog* dialog);

}  // namespace pg
