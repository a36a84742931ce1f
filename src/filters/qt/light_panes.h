#pragma once
// The lighting dialog's two panes as widgets: TLightPreview (the lit copy
// of the filter area with the draggable lamp) and TLightControl (the side
// view for height, pitch and spread). The geometry, drags and drawing are
// the toolkit-free models' (filters/light_panes.h); the widgets pass the
// mouse to them and show their faces.
#include <functional>

#include "filters/light_panes.h"
#include "ui/qt/graphic_widget.h"

namespace pg {

class TLightPreview : public TGraphicWidget {
 public:
  explicit TLightPreview(QWidget* parent = nullptr);
  CLightPreviewModel& model() { return model_; }
  // The lamp and the record it is lit by; redraws.
  void show(const SLampView& view, const SFltLightingHeader& header, const SLight4& light);
  const SLampView& view() const { return view_; }
  // Called with the new view during a drag.
  std::function<void(const SLampView&)> OnChange;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void redraw();
  CLightPreviewModel model_;
  TMemoryGraphic face_;
  TMTC lit_;
  bool litValid_ = false;
  SLampView view_;
  ELampDrag drag_ = ELampDrag::None;
};

class TLightControl : public TGraphicWidget {
 public:
  explicit TLightControl(QWidget* parent = nullptr);
  void show(const SLampView& view, const SLight4& light);
  const SLampView& view() const { return view_; }
  std::function<void(const SLampView&)> OnChange;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void redraw();
  CLightSideModel model_;
  TMemoryGraphic face_;
  SLampView view_;
  SLight4 light_;
  ELampDrag drag_ = ELampDrag::None;
};

}  // namespace pg
