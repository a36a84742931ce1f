#pragma once
// The filter dialogs. TFormFilter carries the preview check box and the delay
// timer and drives the preview protocol; TFormFilterValues is every dialog of
// the value-and-slider family, built from its table row.
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "core/rect.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_dialog_protocol.h"
#include "filters/floor_command.h"
#include "ui/qt/base_forms.h"

class QCheckBox;
class QComboBox;
class QButtonGroup;
class QGridLayout;

namespace pg {

class CFlt4Core;
class TGraphicTrackbar;
class TNumEdit;
class TPickerColorCell;
class TPreviewFilter;
class TTrackArea;
class TLightPreview;
class TLightControl;


// What a dialog needs of the window it previews in.
struct SFilterPreviewTarget {
  // Repaints the document window after the canvas preview changed.
  std::function<void()> refresh;
  // The part of the layer the window shows (layer-image coordinates); false
  // when unknown. The canvas preview fills it first.
  std::function<bool(TRect&)> visibleLayerRect;
};

class TFormFilter : public TDialogBaseForm {
  Q_OBJECT
 public:
  TFormFilter(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target);
  ~TFormFilter() override;

  QCheckBox* CheckBoxPreview = nullptr;
  QTimer TimerUpdate;
  CFilterDialogProtocol& protocol() { return *protocol_; }
  // The record the controls say.
  const std::vector<uint8_t>& record() const { return protocol_->current; }
  bool attached() const { return attached_; }
  // The record bytes are a record filter's parameter bytes and extra block.
  void setRecordForm(bool on) { recordForm_ = on; }
  // How the record's bytes become the kernel's parameters, for a filter
  // whose kernel takes more than the bytes (the floor's textures): calls
  // run(parameter, size) and answers its result.
  using KernelParams =
      std::function<bool(const std::vector<uint8_t>& bytes, const std::function<bool(const void*, int32_t)>& run)>;
  void setKernelParams(KernelParams k) { kernelParams_ = std::move(k); }

 protected:
  // Derived dialogs hand over their controls here, then call attach.
  void setHooks(SFilterDialogHooks hooks);
  [[nodiscard]] bool attach(bool rememberedPreview);
  void showEvent(QShowEvent* e) override;
  CFlt4Core& core_;
  // Where the derived dialog puts its controls, above the check box.
  QGridLayout* grid_ = nullptr;

 private:
  void runPreview(const std::vector<uint8_t>& record);
  void completePreview();
  [[nodiscard]] bool previewBytes(const std::vector<uint8_t>& bytes, const TRect* clip);

  SFilterPreviewTarget target_;
  std::unique_ptr<CFilterDialogProtocol> protocol_;
  bool attached_ = false;
  bool shownOnce_ = false;
  bool recordForm_ = false;
  KernelParams kernelParams_;
  // A canvas preview limited to the visible part waits for its completion.
  QTimer completion_;
  std::vector<uint8_t> pendingRecord_;
};

class TFormFilterValues : public TFormFilter {
  Q_OBJECT
 public:
  // The gradient map's list of the tool window's gradients is made by the
  // host (parent, change handler); every pick previews at once, since the
  // record itself does not change. Other dialogs ignore it.
  using GradientListFactory = std::function<QWidget*(QWidget* parent, std::function<void()> changed)>;
  TFormFilterValues(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target, const SFilterDialogDef& def,
                    uint8_t layerProtect, uint32_t seed, const SFilterOpenInfo& info,
                    const GradientListFactory& gradientList = {});

  CFilterDialogModel& model() { return model_; }
  TNumEdit* edit(size_t i) const { return edits_[i]; }
  TGraphicTrackbar* track(size_t i) const { return tracks_[i]; }
  QCheckBox* checkBox(size_t i) const { return checks_[i]; }
  QButtonGroup* choice() const { return choice_; }
  TPreviewFilter* Preview = nullptr;
  QComboBox* choiceList() const { return choiceList_; }
  TTrackArea* picker() const { return picker_; }
  TPickerColorCell* colourCell(size_t i) const { return cells_[i]; }
  // The defaults, reset or renew button (null when the dialog has none).
  QPushButton* button(EFilterButton which) const;

  void ButtonOKClick() override;
  // The floor's texture buttons: browse and release for the ceiling, then
  // for the floor (null in other dialogs).
  QPushButton* textureButton(size_t i) const { return i < 4 ? textureButtons_[i] : nullptr; }
  CFloorDialogTextures* floorTextures() const { return floor_.get(); }
  // The lighting dialog's lamp panes (null in other dialogs).
  TLightPreview* lightPreview() const { return lightPreview_; }
  TLightControl* lightSide() const { return lightSide_; }
  // Takes an image file as a plane's texture; false (with the warning
  // shown) when it cannot be read.
  [[nodiscard]] bool loadTexture(size_t plane, const std::string& path);
  // The gradient map's list (null in other dialogs or without a factory).
  QWidget* gradientList() const { return gradientList_; }

 private:
  void syncWidgets();
  void buildTextureRow(int row);
  int placeGradientList(const GradientListFactory& make, int row);
  void browseTexture(size_t plane);
  void buildLightPanes(int rows);
  void syncLightPanes();
  void lampMoved(bool fromSide);

  const SFilterDialogDef& def_;
  CFilterDialogModel model_;
  std::vector<TNumEdit*> edits_;
  std::vector<TGraphicTrackbar*> tracks_;
  std::vector<QCheckBox*> checks_;
  QButtonGroup* choice_ = nullptr;
  QComboBox* choiceList_ = nullptr;
  QComboBox* secondList_ = nullptr;
  TTrackArea* picker_ = nullptr;
  QWidget* histogramView_ = nullptr;
  QWidget* gradientList_ = nullptr;
  QPushButton* auto_ = nullptr;
  std::vector<TPickerColorCell*> cells_;
  QPushButton* defaults_ = nullptr;
  QPushButton* reseed_ = nullptr;
  QPushButton* reset_ = nullptr;
  bool syncing_ = false;
  std::unique_ptr<CFloorDialogTextures> floor_;
  std::array<QPushButton*, 4> textureButtons_{};
  TLightPreview* lightPreview_ = nullptr;
  TLightControl* lightSide_ = nullptr;
};

// A seed for the random filters from the millisecond clock.
uint32_t filterSeedNow();

}  // namespace pg
