#pragma once
// The part of the tool options that exists so far: the current tool's name,
// the brush size (a slider whose travel favours small sizes, and its number)
// and the minimum size, each shown only when the current brush's parameter
// mask lets it be set. A plain widget that the main window may put into a
// dock panel of its own; the tool window owns its state.
#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace pg {

class CToolWindowModel;

class TToolOptionsPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TToolOptionsPanel(CToolWindowModel& model, QWidget* parent = nullptr);

  // Shows the model's values again (the tool window calls it on a change).
  void refresh();

  QSlider* sizeSlider() const { return sizeSlider_; }
  QDoubleSpinBox* sizeEdit() const { return sizeEdit_; }
  QSpinBox* minSizeEdit() const { return minSizeEdit_; }
  QLabel* toolName() const { return toolName_; }

 private:
  CToolWindowModel& model_;
  QLabel* toolName_ = nullptr;
  QLabel* sizeLabel_ = nullptr;
  QLabel* minSizeLabel_ = nullptr;
  QSlider* sizeSlider_ = nullptr;
  QDoubleSpinBox* sizeEdit_ = nullptr;
  QSpinBox* minSizeEdit_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace pg
