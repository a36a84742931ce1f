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

// What both panes share: the lamp's view, the drag a press starts and the
// change notice while it lasts.
class TLampPane : public TGraphicWidget {
 public:
  explicit TLampPane(QWidget* parent, int32_t width, int32_t height);
  const SLampView& view() const { return view_; }
  // Called with the new view during a drag.
  std::function<void(const SLampView&)> OnChange;

 protected:
  virtual ELampDrag pressAt(TPointF p) const = 0;
  virtual void dragTo(ELampDrag mode, TPointF p) = 0;
  virtual void redraw() = 0;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  TUiColor background() const;

  TMemoryGraphic face_;
  SLampView view_;
  ELampDrag drag_ = ELampDrag::None;
};

class TLightPreview final : public TLampPane {
 public:
  explicit TLightPreview(QWidget* parent = nullptr);
  CLightPreviewModel& model() { return model_; }
  // The lamp and the record it is lit by; redraws.
  void show(const SLampView& view, const SFltLightingHeader& header, const SLight4& light);

 private:
  ELampDrag pressAt(TPointF p) const override { return model_.press(view_, p); }
  void dragTo(ELampDrag mode, TPointF p) override { model_.drag(mode, view_, p); }
  void redraw() override;
  CLightPreviewModel model_;
  TMTC lit_;
  bool litValid_ = false;
};

class TLightControl final : public TLampPane {
 public:
  explicit TLightControl(QWidget* parent = nullptr);
  void show(const SLampView& view, const SLight4& light);

 private:
  ELampDrag pressAt(TPointF p) const override { return model_.press(view_, p); }
  void dragTo(ELampDrag mode, TPointF p) override { model_.drag(mode, view_, p); }
  void redraw() override;
  CLightSideModel model_;
  SLight4 light_;
};

}  // namespace pg
