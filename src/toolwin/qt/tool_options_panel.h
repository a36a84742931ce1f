#pragma once
// The tool options: the brush list of the current tool (its brushes, or the
// five stored variants of a stroke tool) and the parameters of the selected
// brush, each control shown only when the brush's parameter mask lets it be
// set. The brush size is a slider whose travel favours small sizes, with its
// number. A plain widget that the main window may put into a dock panel of
// its own; the tool window owns its state.
#include <QWidget>
#include <vector>

#include "toolwin/option_fields.h"

class QAbstractButton;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace pg {

class CToolOptions;
class CToolWindowModel;
class TItemListView;

class TToolOptionsPanel : public QWidget {
  Q_OBJECT
 public:
  TToolOptionsPanel(CToolWindowModel& model, CToolOptions& options, QWidget* parent = nullptr);

  // Shows the model's values again (the tool window calls it on a change).
  void refresh();
  // The panel opens at a moderate height: the parameters scroll.
  QSize sizeHint() const override;

  QSlider* sizeSlider() const { return sizeSlider_; }
  QDoubleSpinBox* sizeEdit() const { return sizeEdit_; }
  QSpinBox* minSizeEdit() const { return minSizeEdit_; }
  QLabel* toolName() const { return toolName_; }
  TItemListView* brushList() const { return brushList_; }
  QPushButton* saveButton() const { return saveButton_; }
  // The control of a parameter field (a number edit or a check box);
  // nullptr for the size fields, which have their own.
  QWidget* fieldControl(EParamField field) const;
  QSlider* nibScaleSlider() const;

 private:
  struct SRow {
    EParamField field;
    QLabel* label = nullptr;
    QDoubleSpinBox* number = nullptr;
    QAbstractButton* check = nullptr;
    QSlider* slider = nullptr;  // the nib scale's, whose travel keeps 100 % in the middle
  };
  void buildRows(QGridLayout* grid, int firstRow);

  CToolWindowModel& model_;
  CToolOptions& options_;
  QLabel* toolName_ = nullptr;
  TItemListView* brushList_ = nullptr;
  QLabel* sizeLabel_ = nullptr;
  QLabel* minSizeLabel_ = nullptr;
  QSlider* sizeSlider_ = nullptr;
  QDoubleSpinBox* sizeEdit_ = nullptr;
  QSpinBox* minSizeEdit_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  std::vector<SRow> rows_;
  bool refreshing_ = false;
};

}  // namespace pg
