#pragma once
// The colour panel: a second colour pair, the sampler (an area picker or a
// slider picker, chosen by two buttons, each kind with its own colour
// space) and three channel fields in the sampler's colour space. Every display follows the tool
// window's colour pair, which stays the one source of the colours.
#include <QWidget>
#include <array>

#include "toolwin/colour_panel_model.h"

class QLabel;
class QMenu;
class QSpinBox;

namespace pg {

class CToolWindowModel;
class TCustomColorPicker;
class TToolButton;
class TTwinColorCell;

class TColourPanelView : public QWidget {
  Q_OBJECT
 public:
  explicit TColourPanelView(CToolWindowModel& model, QWidget* parent = nullptr);
  // Shows the model's colours again.
  void refresh();
  const CColourSampler& sampler() const { return sampler_; }
  void setColorSpace(uint8_t space);
  // A click on the area (0) or slider (1) button, Alt stepping the space.
  void kindButtonClick(uint8_t kind, bool alt);
  void toggleBarColour();

  // The stored preferences: ColorSampler (kind << 16 | space) and
  // "bars fixed" (the opposite of colouring the sliders).
  void applySamplerPreferences(uint32_t colorSampler, bool barsFixed);
  uint32_t colorSamplerPreference() const { return sampler_.packed(); }
  bool barsFixedPreference() const { return !sampler_.barColour(); }

  TCustomColorPicker* picker() const { return picker_; }
  TTwinColorCell* cell() const { return cell_; }
  QSpinBox* channel(int i) const { return fields_[static_cast<size_t>(i)]; }
  TToolButton* kindButton(int kind) const { return kindButtons_[static_cast<size_t>(kind & 1)]; }
  // The menus: the sampler's own (on the picker) and the view's (elsewhere
  // on the panel), built as they open.
  void fillSamplerMenu(QMenu& menu);
  void fillViewMenu(QMenu& menu);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void fieldsChanged();
  void showSampler();
  void addSpaceItems(QMenu& menu, bool accelerators);

  CToolWindowModel& model_;
  CColourSampler sampler_;
  TTwinColorCell* cell_ = nullptr;
  TCustomColorPicker* picker_ = nullptr;
  std::array<TToolButton*, 2> kindButtons_{};
  std::array<QLabel*, 3> labels_{};
  std::array<QSpinBox*, 3> fields_{};
  bool showing_ = false;
};

}  // namespace pg
