#pragma once
// The tool options: what the current tool lets the user set.
//  - A painting tool: the brush list of the tool (its brushes, or the five
//    stored variants of a stroke tool) and the parameters of the selected
//    brush, each control shown only when the brush's parameter mask lets it
//    be set: the nib shape editor (size, minimum size, aspect and angle),
//    the pressure curve beside its number, the size slider whose travel
//    favours small sizes, and the other fields as numbers and switches.
//  - The gradient tool: the tool opacity, the gradient list with a preview
//    of the current gradient, the shape buttons, round trip, endless, own
//    settings and the repeat count.
//  - The fill tools: the colour range, the visible-picture switch and
//    anti-aliasing; the shape fills and the text: the tool opacity.
//  - The move tools: a button that ends the cursor-key move mode of the
//    document window (enabled while the mode is on).
// A plain widget that the main window may put into a dock panel of its
// own; the tool window owns its state.
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "brush/gradient.h"
#include "brush/shape_values.h"
#include "toolwin/qt/preset_popup_form.h"
#include "toolwin/option_fields.h"
#include "toolwin/tool_options.h"

class QAbstractButton;
class QAbstractSpinBox;
class QCheckBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace pg {

class TAirMapDropDown;
class TSubPaintDropDown;
class CPenShapeMngr;
class CToolWindowModel;
class TAspectRotation;
class TGradientPreview;
class TItemListView;
class TPgGlyphButton;
class TPgGlyphLabel;
class TPressureGamma;
class TPresetPopupForm;

class TToolOptionsPanel : public QWidget {
  Q_OBJECT
 public:
  TToolOptionsPanel(CToolWindowModel& model, CToolOptions& options, QWidget* parent = nullptr);
  // The options outlive the panel (a dock may free it first).
  ~TToolOptionsPanel() override;

  // The tool window's nibs (not owned): a click on the nib sample of the
  // shape editor opens their pop-up, for brushes that take a nib image.
  void setNibSet(CPenShapeMngr* nibs);
  // The open nib pop-up, or nullptr.
  TPresetPopupForm* nibPopup() const;
  // The nib last chosen in the pop-up (-1 after any other brush change).
  int32_t nibPopupIndex() const { return nibIndex_; }
  // The commands and preferences of the preset pop-ups: the nib pop-up and
  // those the arrow columns of the brush and gradient lists drop down.
  void setPopupSetup(std::function<SPresetPopupSetup(PresetPopupKind)> setup);

  // Shows the model's values again (the tool window calls it on a change).
  void refresh();
  // The panel opens at a moderate height: the parameters scroll.
  QSize sizeHint() const override;

  QSlider* sizeSlider() const { return sizeSlider_; }
  QDoubleSpinBox* sizeEdit() const { return sizeEdit_; }
  QSpinBox* minSizeEdit() const { return minSizeEdit_; }
  QLineEdit* nameEdit() const { return nameEdit_; }
  TItemListView* brushList() const { return brushList_; }
  QPushButton* saveButton() const { return saveButton_; }
  // New (a copy of the active item at the end) and delete, for the gradient
  // list and the brush collection's list.
  QToolButton* newItemButton() const { return newItem_; }
  QToolButton* deleteItemButton() const { return deleteItem_; }
  // The control of a parameter field (a number edit or a check box);
  // nullptr for the size fields, which have their own.
  QWidget* fieldControl(EParamField field) const;
  QSlider* nibScaleSlider() const;
  TAspectRotation* aspectEditor() const { return aspectEditor_; }
  TPressureGamma* pressureCurve() const { return pressureCurve_; }
  // The brush's falloff profile (or, without one, whether the pressure
  // softens the edge) and the shape the brush draws.
  TAirMapDropDown* falloffPicker() const { return falloff_; }
  TSubPaintDropDown* subPaintPicker() const { return subPaint_; }
  // The move tools' button that ends the cursor-key move mode.
  QPushButton* keyMoveEndButton() const { return moveOK_; }

  // The tool opacity of the tools without a brush that paint.
  QSpinBox* toolOpacityEdit() const { return toolOpacity_; }

  // The value labels beside the number fields (opacity, spacing, the three
  // effects, size, nib scale, minimum size, the gradient's repeat count):
  // each shows and hides with its field; the tool window binds them.
  struct SValueLabelSlot {
    TPgGlyphLabel* label = nullptr;
    QAbstractSpinBox* field = nullptr;
    float defaultValue = 0.0f;
    bool nibRadius = false;  // the size in pixels, whose drag follows the size slider
  };
  const std::vector<SValueLabelSlot>& valueLabelSlots() const { return labelSlots_; }

  // The gradient tool's controls; shape buttons 0 linear, 1 radial, 2 circular.
  QWidget* gradientBox() const { return gradientBox_; }
  TItemListView* gradientList() const { return gradientList_; }
  // The compact drop-down of the same gradients beside the strip.
  TItemListView* gradientDropList() const { return gradientDropList_; }
  TPgGlyphButton* gradientShapeButton(int shape) const { return shapeButtons_.at(static_cast<size_t>(shape)); }
  TPgGlyphButton* roundTripButton() const { return roundTrip_; }
  TPgGlyphButton* endlessButton() const { return endless_; }
  TPgGlyphButton* ownSettingsButton() const { return ownSettings_; }
  QSpinBox* repeatCountEdit() const { return repeatCount_; }

  // The fill tools' controls.
  QWidget* seedBox() const { return seedBox_; }
  QSpinBox* seedRangeEdit() const { return seedRange_; }
  QCheckBox* seedVisibleCheck() const { return seedVisible_; }
  QCheckBox* seedAntiAliasCheck() const { return seedAntiAlias_; }

 private:
  struct SRow {
    EParamField field;
    QLabel* label = nullptr;
    QDoubleSpinBox* number = nullptr;
    QAbstractButton* check = nullptr;
    QSlider* slider = nullptr;  // the nib scale's, whose travel keeps 100 % in the middle
  };
  void buildRows(QGridLayout* grid, int firstRow);
  QWidget* buildGradientBox(QWidget* parent);
  QWidget* buildSeedBox(QWidget* parent);
  void refreshBrush();
  void refreshAspectEditor();
  void refreshGradient();
  void refreshSeeds();
  QWidget* buildPickers(QWidget* parent);
  void refreshPickers();
  void refreshKeyMove();
  void gradientControlsChanged();
  void seedControlsChanged();
  CToolOptions::SAspectValues editorValues() const;
  void drawNibPreview();
  float previewZoom() const;
  void openNibPopup(QPoint screen);
  void wireListPopups();

  CToolWindowModel& model_;
  CToolOptions& options_;
  QLabel* toolName_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  QWidget* opacityRow_ = nullptr;
  QSpinBox* toolOpacity_ = nullptr;
  TItemListView* brushList_ = nullptr;
  QWidget* brushBox_ = nullptr;
  TAspectRotation* aspectEditor_ = nullptr;
  CToolOptions::SAspectValues shownAspect_;
  // The dab and zoom the nib preview was last drawn from: a change the
  // editor's own values do not hold redraws it.
  SShapeValues previewValues_;
  float previewValuesZoom_ = 0.0f;
  TPressureGamma* pressureCurve_ = nullptr;
  QLabel* sizeLabel_ = nullptr;
  QLabel* minSizeLabel_ = nullptr;
  QSlider* sizeSlider_ = nullptr;
  QDoubleSpinBox* sizeEdit_ = nullptr;
  QSpinBox* minSizeEdit_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QToolButton* newItem_ = nullptr;
  QToolButton* deleteItem_ = nullptr;
  std::vector<SRow> rows_;
  std::vector<SValueLabelSlot> labelSlots_;
  TPgGlyphLabel* addValueLabel(QAbstractSpinBox* field, uint8_t glyph, float defaultValue, bool nibRadius = false);

  QWidget* gradientBox_ = nullptr;
  TItemListView* gradientList_ = nullptr;
  TItemListView* gradientDropList_ = nullptr;
  TGradientPreview* gradientPreview_ = nullptr;
  std::unique_ptr<CGradObj> previewGradient_;
  std::array<TPgGlyphButton*, 3> shapeButtons_{};
  TPgGlyphButton* roundTrip_ = nullptr;
  TPgGlyphButton* endless_ = nullptr;
  TPgGlyphButton* ownSettings_ = nullptr;
  QSpinBox* repeatCount_ = nullptr;

  TAirMapDropDown* falloff_ = nullptr;
  TSubPaintDropDown* subPaint_ = nullptr;
  QPushButton* moveOK_ = nullptr;

  QWidget* seedBox_ = nullptr;
  QSpinBox* seedRange_ = nullptr;
  QCheckBox* seedVisible_ = nullptr;
  QCheckBox* seedAntiAlias_ = nullptr;

  CPenShapeMngr* nibs_ = nullptr;
  QPointer<TPresetPopupForm> nibPopup_;
  int32_t nibIndex_ = -1;
  std::function<SPresetPopupSetup(PresetPopupKind)> popupSetup_;

  bool refreshing_ = false;
};

}  // namespace pg
