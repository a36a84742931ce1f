#pragma once
// The scanner's options before a scan: the mode, the resolution and the
// area (millimetres from the bed's top-left corner), as the device offers
// them; a part the device does not offer is not shown.
#include <QDialog>

#include "app/scanner.h"

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace pg {

class TFormScanOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TFormScanOptions(const SScanOptions& options, QWidget* parent = nullptr);
  // The options with the user's choices.
  SScanOptions chosen() const;

 private:
  SScanOptions options_;
  QComboBox* mode_ = nullptr;
  QComboBox* resolutionList_ = nullptr;
  QSpinBox* resolution_ = nullptr;
  QDoubleSpinBox* area_[4] = {};
};

}  // namespace pg
