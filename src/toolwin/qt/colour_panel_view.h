#pragma once
// The colour panel: a second colour pair, the area picker and three channel
// fields in the picker's colour space. Every display follows the tool
// window's colour pair, which stays the one source of the colours.
#include <QWidget>
#include <array>

#include "toolwin/colour_panel_model.h"

class QLabel;
class QSpinBox;

namespace pg {

class CToolWindowModel;
class TColorPicker;
class TTwinColorCell;

class TColourPanelView : public QWidget {
  Q_OBJECT
 public:
  explicit TColourPanelView(CToolWindowModel& model, QWidget* parent = nullptr);
  // Shows the model's colours again.
  void refresh();
  CColourSampler& sampler() { return sampler_; }
  void setColorSpace(uint8_t space);

  TColorPicker* picker() const { return picker_; }
  TTwinColorCell* cell() const { return cell_; }
  QSpinBox* channel(int i) const { return fields_[static_cast<size_t>(i)]; }

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void fieldsChanged();

  CToolWindowModel& model_;
  CColourSampler sampler_;
  TTwinColorCell* cell_ = nullptr;
  TColorPicker* picker_ = nullptr;
  std::array<QLabel*, 3> labels_{};
  std::array<QSpinBox*, 3> fields_{};
  bool showing_ = false;
};

}  // namespace pg
